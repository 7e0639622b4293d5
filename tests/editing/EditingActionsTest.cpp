// Editing actions as tables: a text with the cursor marked '|', the actions, and the text
// and cursor expected afterwards ('~' for each empty column the cursor stands beyond the
// text, '@' for lines past the end of the document that the cursor reached).
#include "EditTestSupport.h"

#include "platform/Host.h"
#include "textutil/CodeTables.h"

#include <vector>

namespace varlin::test {
namespace {

struct Case {
    const char* name;
    const char* before;
    const char* actions;
    const char* after;
    std::function<void(Options&)> setup = nullptr;
    int beeps = 0;
};

struct ActionTable : EditFixture {
    void RunCases(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            options = Options();
            options.LineNumbers = 0;
            if (c.setup) c.setup(options);
            w = std::make_unique<EditWindow>();
            ReleaseShift();
            host.beeps = 0;
            Load(*w, c.before);
            Act(*w, c.actions);
            ReleaseShift();
            EXPECT_EQ(Render(*w), c.after);
            EXPECT_EQ(host.beeps, c.beeps);
        }
    }
};

auto Opt(int Options::*field, int value) {
    return [field, value](Options& o) { o.*field = value; };
}

TEST_F(ActionTable, CharacterMovements) {
    RunCases({
        {"PosRight passes a tab whole", "a|\tb", "PosRight", "a\t|b"},
        {"PosRight beyond the text moves into the empty space", "abc|", "PosRight", "abc~|"},
        {"PosLeft at the first column stays", "|abc", "PosLeft", "|abc"},
        {"PosLeft from beyond the text jumps to its end", "abc|", "PosRight PosRight PosLeft", "abc|"},
        {"PosLeft never wraps to the line above", "ab\n|cd", "PosLeft", "ab\n|cd"},
        {"LineUp keeps a column beyond the text", "ab\nabcd|ef", "LineUp", "ab~~|\nabcdef"},
        {"LineUp on line 0 stays", "a|b", "LineUp", "a|b"},
        {"LineDown goes below the last line", "ab|", "LineDown", "ab\n@~~|"},
        {"LineEnd and LineStart", "ab|c", "LineEnd", "abc|"},
        {"LineStart", "ab|c", "LineStart", "|abc"},
        {"DocStart", "a\nb|", "DocStart", "|a\nb"},
        {"DocEnd goes one past the last line", "a|\nb", "DocEnd", "a\nb\n@|"},
    });
}

TEST_F(ActionTable, ItemMovements) {
    RunCases({
        {"ItemRight passes digits like punctuation", "|abc123 def", "ItemRight", "abc123 |def"},
        {"ItemRight to the next word", "|hello world", "ItemRight", "hello |world"},
        {"ItemRight to the next capital", "|getValue", "ItemRight", "get|Value"},
        {"ItemRight stays in the line", "ab|c\nd", "ItemRight ItemRight", "abc|\nd"},
        {"ItemLeft to the capitalised part", "getValue|", "ItemLeft", "get|Value"},
        {"ItemLeft to the previous word", "hello |world", "ItemLeft", "|hello world"},
        {"ItemLeft over a run of capitals", "XMLParser|", "ItemLeft", "|XMLParser"},
        {"ItemLeft treats accented capitals as capitals", "ab\xC4x|", "ItemLeft", "ab|\xC4x"},
    });
}

TEST_F(ActionTable, RoutineJumps) {
    RunCases({
        {"NextRoutine skips declarations, directives and member calls",
         "|x\nvoid f(int);\n#define X(a)\na.b(c)\nint main(void)\ny", "NextRoutine",
         "x\nvoid f(int);\n#define X(a)\na.b(c)\n|int main(void)\ny"},
        {"NextRoutine without a routine ends past the last line", "|x\ny", "NextRoutine", "x\ny\n@|"},
        {"PrevRoutine without a routine ends on line 0", "x\ny|", "PrevRoutine", "x|\ny"},
        {"PrevRoutine from the routine itself goes further up", "x\nint main(void)\nint g()|",
         "PrevRoutine", "x\nint mai|n(void)\nint g()"},
    });
}

TEST_F(ActionTable, Typing) {
    RunCases({
        {"insert mode", "a|c", "type:b", "ab|c"},
        {"typing far beyond the text appends at its end", "abc|",
         "PosRight PosRight PosRight PosRight PosRight PosRight PosRight PosRight PosRight PosRight type:x",
         "abcx|"},
        {"overwrite mode replaces", "a|bc", "type:x", "ax|c", Opt(&Options::InsertMode, 0)},
        {"overwrite mode appends at the end", "ab|", "type:xy", "abxy|", Opt(&Options::InsertMode, 0)},
        {"the acute accent becomes an apostrophe", "|", "type:\xB4", "'|"},
        {"OEM documents get OEM characters", "|", "type:\xE4", "\x84|", Opt(&Options::CodeTable, 1)},
        {"a tab is typed as a character", "a|b", "Tab", "a\t|b"},
        {"typing below the document adds the lines", "ab|", "LineDown LineDown type:x", "ab\n\nx|"},
        {"a full line refuses another character", "ab|cdef", "type:x", "ab|cdef",
         Opt(&Options::LngLineBuffer, 8), 1},
        {"a line with room takes one more", "ab|cde", "type:x", "abx|cde", Opt(&Options::LngLineBuffer, 8)},
        {"overwrite mode refuses past the buffer", "abcdefg|", "type:x", "abcdefg|",
         [](Options& o) { o.InsertMode = 0; o.LngLineBuffer = 8; }, 1},
        {"typing over a marked range replaces it", "a|bcd", "Shift+ PosRight PosRight Shift- type:x", "ax|d"},
        {"without AutoDelDrag the range only goes away", "a|bcd", "Shift+ PosRight PosRight Shift- type:x",
         "abcx|d", Opt(&Options::AutoDelDrag, 0)},
        {"InsertSpace opens a blank and stays", "a|bc", "InsertSpace", "a| bc"},
        {"InsertSpace past the document does nothing", "a|", "LineDown InsertSpace", "a\n@~|"},
    });
}

TEST_F(ActionTable, ControlCharactersAreIgnored) {
    Load(*w, "a|b");
    InsertChar(*w, 10);
    InsertChar(*w, 0);
    InsertChar(*w, -1 & ~0xFF);  // code 0xFFFFFF00: the low byte 0 is what would be typed
    InsertChar(*w, 256 + 13);
    EXPECT_EQ(Render(*w), "a|b");
}

TEST_F(ActionTable, BackspaceAndDelete) {
    RunCases({
        {"Backspace removes the character before", "ab|c", "Backspace", "a|c"},
        {"Backspace beyond the text removes the last character", "abc|", "PosRight PosRight Backspace", "ab|"},
        {"Backspace at line 0 column 0 does nothing", "|abc", "Backspace", "|abc"},
        {"Backspace at the first column joins", "ab\n|cd", "Backspace", "ab|cd"},
        {"Backspace past the document does nothing", "ab|", "LineDown Backspace", "ab\n@~~|"},
        {"a join that would not fit is refused", "abcd\n|efg", "Backspace", "abcd\n|efg",
         Opt(&Options::LngLineBuffer, 8), 1},
        {"Delete removes the character under the cursor", "a|bc", "Delete", "a|c"},
        {"Delete at the end joins the next line", "abc|\ndef", "Delete", "abc|def"},
        {"Delete beyond the end goes to the end first", "abc|\ndef", "PosRight PosRight Delete", "abc|def"},
        {"Delete on the last line only moves to its end", "abc|", "PosRight Delete", "abc|"},
        {"Delete with a range removes the range", "a|bcd", "Shift+ PosRight PosRight Shift- Delete", "a|d"},
        {"Delete of whole lines", "|ab\ncd\nef", "Shift+ LineDown LineDown Shift- Delete", "|ef"},
        {"a Delete join that would not fit is refused", "abcd|\nefgh", "Delete", "abcd|\nefgh",
         Opt(&Options::LngLineBuffer, 8), 1},
    });
}

TEST_F(ActionTable, Enter) {
    RunCases({
        {"IndentMode keeps the indentation", "    foo |bar", "Enter", "    foo \n    |bar"},
        {"without IndentMode the new line starts at the left", "    foo |bar", "Enter", "    foo \n|bar",
         Opt(&Options::IndentMode, 0)},
        {"inside the indentation only the blanks before the cursor count", "  |  x", "Enter", "  \n  |  x"},
        {"tabs count as indentation", "\tif|(x)", "Enter", "\tif\n\t|(x)"},
        {"at the end of the text", "ab|", "Enter", "ab\n|"},
        {"past the last line the cursor only moves", "a|", "LineDown Enter", "a\n@\n@|"},
    });
}

TEST_F(ActionTable, LineActions) {
    RunCases({
        {"InsertLine puts an empty line at the cursor", "x\nab|c", "InsertLine", "x\n~~|\nabc"},
        {"DeleteLine", "x\nab|c\nd", "DeleteLine", "x\n|d"},
        {"DeleteLine then InsertLastDel puts the text into a line", "abc|\nxy", "DeleteLine PosRight InsertLastDel",
         "xabc|y"},
        {"DuplicateLine", "a|b\nc", "DuplicateLine", "a|b\nab\nc"},
        {"TruncateLineEnd then InsertLastDel", "abc|def", "TruncateLineEnd", "abc|"},
        {"InsertLastDel after TruncateLineEnd", "abc|def", "TruncateLineEnd InsertLastDel", "abcdef|"},
        {"TruncateLineStart", "abc|def", "TruncateLineStart", "|def"},
        {"TruncateLineStart at column 0 keeps the last deleted text", "ab|c\nxyz",
         "TruncateLineEnd LineDown LineStart TruncateLineStart LineEnd InsertLastDel", "ab\nxyzc|"},
        {"InsertLastDel without room beeps", "ab|\nxyz", "TruncateLineStart LineDown InsertLastDel",
         "\n|xyz", Opt(&Options::LngLineBuffer, 6), 1},
        {"TruncateFile cuts the rest", "a\nb|c\nd", "TruncateFile", "a\nb|"},
        {"line actions past the document do nothing", "a|", "LineDown InsertLine DeleteLine DuplicateLine",
         "a\n@~|"},
    });
}

TEST_F(ActionTable, TruncateFileAsksFirst) {
    Load(*w, "a\nb|c\nd");
    host.answers.push_back(IdNo);
    TruncateFile(*w);
    EXPECT_EQ(Render(*w), "a\nb|c\nd");
    ASSERT_EQ(host.messageIds.size(), 1u);
    EXPECT_EQ(host.messageIds[0], 1302);
    TruncateFile(*w);
    EXPECT_EQ(Render(*w), "a\nb|");
    EXPECT_EQ(w->lastDel, "c");
    EXPECT_EQ(w->modified, 1);
}

TEST_F(ActionTable, TabOverSeveralLines) {
    RunCases({
        {"Tab indents every non-empty line", "|a\nb\n\nc", "Shift+ LineDown LineDown LineDown Shift- Tab",
         "\ta\n\tb\n\n|c"},
        {"Shift+Tab takes a tab or a run of blanks", "|\ta\n  \tb\n\nc", "Shift+ LineDown LineDown LineDown Shift- ShiftTab",
         "a\nb\n\n|c"},
        {"Shift+Tab needs every line to begin with a blank", "|\ta\nb\nc", "Shift+ LineDown LineDown Shift- ShiftTab",
         "\ta\nb\n|c"},
        {"a line without room keeps its text", "|abcdef\nab\nc", "Shift+ LineDown LineDown Shift- Tab",
         "abcdef\n\tab\n|c", Opt(&Options::LngLineBuffer, 8)},
    });
}

TEST_F(ActionTable, TabDistanceTwoOutdentsTwoBlanks) {
    options.TabDistance = 2;
    Load(*w, "|     a\n  b\nc");
    Act(*w, "Shift+ LineDown LineDown Shift- ShiftTab");
    EXPECT_EQ(Render(*w), "   a\nb\n|c");
}

TEST_F(ActionTable, PositionStackKeepsTheFourNewest) {
    Load(*w, "0\n1\n2\n3\n4\n5\n6");
    for (int line = 0; line < 5; ++line) {
        SetCaret(*w, line, line);
        PushPosition(*w);
    }
    EXPECT_EQ(std::vector<int>(w->pushedLines, w->pushedLines + 4), std::vector<int>({4, 3, 2, 1}));
    SetCaret(*w, 6, 0);
    GotoLastPushPos(*w);
    EXPECT_EQ(GetCaretLine(*w), 4);
    EXPECT_EQ(GetCaretCol(*w), 4);
    SetCaret(*w, 6, 0);
    GotoLastPushPos(*w);
    EXPECT_EQ(GetCaretLine(*w), 4) << "the stack is not popped";
    EXPECT_TRUE(host.messageIds.empty());
}

TEST_F(ActionTable, GotoWithoutAPositionShowsMessage1203) {
    Load(*w, "a|b");
    GotoLastPushPos(*w);
    ASSERT_EQ(host.messageIds.size(), 1u);
    EXPECT_EQ(host.messageIds[0], 1203);
    EXPECT_EQ(Render(*w), "a|b");
}

TEST_F(ActionTable, ModifiedAndLastDeletedText) {
    Load(*w, "abc|\n");
    PosLeft(*w);
    LineDown(*w);
    EXPECT_EQ(w->modified, 0) << "movements change nothing";
    TruncateLineEnd(*w);
    EXPECT_EQ(w->lastDel, "") << "nothing removed, nothing stored";
    EXPECT_EQ(w->modified, 0);
    LineUp(*w);
    TruncateLineEnd(*w);
    EXPECT_EQ(w->lastDel, "c");
    EXPECT_EQ(w->modified, 1);
}

TEST_F(ActionTable, UndoKindsFollowTheActions) {
    Load(*w, "ab|c\nd");
    InsertChar(*w, 'x');
    EXPECT_EQ(GetUndoKind(), kUndoLine);
    PosLeft(*w);
    PosRight(*w);
    EXPECT_EQ(GetUndoKind(), kUndoLine) << "left and right keep a line copy";
    LineDown(*w);
    EXPECT_EQ(GetUndoKind(), kUndoNone);
    DeleteLine(*w);
    EXPECT_EQ(GetUndoKind(), kUndoDeletedText);
    Linefeed(*w);
    EXPECT_EQ(GetUndoKind(), kUndoNone);
}

TEST_F(ActionTable, LinesLongerThanTheBufferAreNeverCut) {
    // A line stored longer than the work buffer (the buffer was made smaller after
    // loading) is refused by every action that would write back its first part only.
    options.LngLineBuffer = 8;
    const std::string longLine = "abcdefghijklmnop";
    for (auto action : {+[](EditWindow& x) { InsertChar(x, 'x'); }, +[](EditWindow& x) { Backspace(x); },
                        +[](EditWindow& x) { Delete(x); }, +[](EditWindow& x) { Linefeed(x); },
                        +[](EditWindow& x) { TruncateLineStart(x); }, +[](EditWindow& x) { InsertSpace(x); }}) {
        w->doc->Clear();
        w->doc->SetLine(0, longLine);
        SetCaret(*w, 0, 3);
        action(*w);
        EXPECT_EQ(w->doc->LineView(0), longLine);
    }
    DeleteLine(*w);
    EXPECT_EQ(w->lastDel, longLine) << "a deleted line is kept whole";
}

TEST_F(ActionTable, MarginShiftsEveryColumnByItsWidth) {
    options.LineNumbers = 1;
    Load(*w, "ab|c\n\tx");
    EXPECT_EQ(w->caretCol, 7);
    Act(*w, "Backspace LineDown LineStart PosRight");
    EXPECT_EQ(Render(*w), "ac\n\t|x");
    EXPECT_EQ(w->caretCol, 5 + 8);
    SetCaret(*w, 0, 2);  // inside the margin
    PosLeft(*w);
    EXPECT_EQ(w->caretCol, 5) << "PosLeft from the margin goes to the first text column";
    SetCaret(*w, 1, 3);
    Backspace(*w);
    EXPECT_EQ(Render(*w), "ac\n|<\tx") << "Backspace in the margin does nothing";
}

}  // namespace
}  // namespace varlin::test

namespace varlin::test {
namespace {

struct RepaintFixture : EditFixture {
    int wholeWindow = 0;
    std::vector<std::pair<int, int>> lines;
    void SetUp() override {
        EditFixture::SetUp();
        w->view.context = this;
        w->view.invalidateAll = [](void* c) { ++static_cast<RepaintFixture*>(c)->wholeWindow; };
        w->view.invalidateLines = [](void* c, int a, int b) { static_cast<RepaintFixture*>(c)->lines.push_back({a, b}); };
    }
};

TEST_F(RepaintFixture, ACommentDelimiterMadeOrRemovedRepaintsTheWindow) {
    ASSERT_TRUE(w->doc->highlight) << "a new document is coloured as C/C++";
    Load(*w, "x\na|b\nc");
    InsertChar(*w, 'q');
    EXPECT_EQ(wholeWindow, 0);
    EXPECT_EQ(lines.back(), std::make_pair(1, 1)) << "a plain change repaints its line";
    InsertChar(*w, '/');
    InsertChar(*w, '*');
    EXPECT_EQ(wholeWindow, 1) << "the line now opens a block comment";
    Backspace(*w);
    EXPECT_EQ(wholeWindow, 2) << "the line no longer opens it";
}

}  // namespace
}  // namespace varlin::test
