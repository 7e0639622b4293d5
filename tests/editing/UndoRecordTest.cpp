// The undo record: which action leaves which kind of step, Undo of every kind bringing
// the document back byte for byte (the cursor and scroll origin included), the beep of an
// empty record, and the temporary file that holds deleted text.
#include "BlockTestSupport.h"

#include "editing/UndoHistory.h"
#include "platform/TempFiles.h"

#include <random>
#include <sys/stat.h>

using namespace std::string_literals;

namespace varlin::test {
namespace {

struct UndoTest : BlockFixture {};

struct KindCase {
    const char* name;
    const char* before;
    std::function<void(EditWindow&)> action;
    int kind;
};

void Mark(EditWindow& w) { SetDragFromMacro(w, 1, 1, 1, 2); }

TEST_F(UndoTest, EachActionLeavesItsKind) {
    const std::vector<KindCase> cases = {
        {"typing keeps a line copy", "ab|", [](EditWindow& w) { Act(w, "type:x"); }, kUndoLine},
        {"Delete of a character", "a|b", [](EditWindow& w) { Act(w, "Delete"); }, kUndoLine},
        {"the join by Delete", "a|\nb", [](EditWindow& w) { Act(w, "Delete"); }, kUndoLine},
        {"Backspace within a line", "ab|", [](EditWindow& w) { Act(w, "Backspace"); }, kUndoLine},
        {"the join by Backspace forgets", "a\n|b", [](EditWindow& w) { Act(w, "Backspace"); }, kUndoNone},
        {"DeleteLine saves text", "a|b", [](EditWindow& w) { Act(w, "DeleteLine"); }, kUndoDeletedText},
        {"TruncateLineEnd", "a|b", [](EditWindow& w) { Act(w, "TruncateLineEnd"); }, kUndoDeletedText},
        {"TruncateLineStart at the first column saves nothing", "|ab",
         [](EditWindow& w) { Act(w, "TruncateLineStart"); }, kUndoNone},
        {"TruncateFile", "a|b\nc", [](EditWindow& w) { Act(w, "TruncateFile"); }, kUndoDeletedText},
        {"Delete of a range", "ab", [](EditWindow& w) { Mark(w); Delete(w); }, kUndoDeletedText},
        {"Cut", "ab", [](EditWindow& w) { Mark(w); Cut(w); }, kUndoDeletedText},
        {"Paste", "ab|", [](EditWindow& w) { Paste(w); }, kUndoInsertion},
        {"InsertLastDel", "ab|", [](EditWindow& w) { w.lastDel = "z"; InsertLastDel(w); }, kUndoInsertion},
        {"Copy forgets", "ab", [](EditWindow& w) { Mark(w); Copy(w); }, kUndoNone},
        {"Enter forgets", "ab|", [](EditWindow& w) { Act(w, "Enter"); }, kUndoNone},
        {"LineDown forgets", "ab|", [](EditWindow& w) { Act(w, "LineDown"); }, kUndoNone},
        {"DragAll forgets", "ab|", [](EditWindow& w) { Act(w, "DragAll"); }, kUndoNone},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.name);
        host.clipboard = "clip";
        Load(*w, c.before);
        Act(*w, "type:q PosLeft");  // any earlier step, to see that it is replaced
        Load(*w, c.before);
        c.action(*w);
        EXPECT_EQ(GetUndoKind(), c.kind);
    }
}

TEST_F(UndoTest, ActionsThatLeaveTheRecordAlone) {
    Load(*w, "ab|c\nd");
    Act(*w, "type:x");
    Act(*w, "InsertLine DuplicateLine PushPosition GotoLastPushPos");
    EXPECT_EQ(GetUndoKind(), kUndoLine);
}

struct UndoCase {
    const char* name;
    const char* before;
    std::function<void(EditWindow&)> change;
    const char* afterUndo;  // the document and the cursor after Undo
};

TEST_F(UndoTest, UndoBackToTheSavedTextClearsModified) {
    Load(*w, "ab|");
    Act(*w, "type:xy");
    ASSERT_EQ(w->modified, 1);
    Undo(*w);
    EXPECT_EQ(w->modified, 0);
    // Saved under another name with the step kept: undoing it leads away from the file.
    Act(*w, "type:z");
    w->modified = 0;
    HistorySaved(*w);
    Undo(*w);
    EXPECT_EQ(w->modified, 1);
}

TEST_F(UndoTest, UndoBringsTheTextAndCursorBack) {
    const std::vector<UndoCase> cases = {
        {"three typed characters go back at once", "ab|cd", [](EditWindow& w) { Act(w, "type:xyz"); }, "ab|cd"},
        {"a kind-3 step survives PosLeft and PosRight", "ab|cd",
         [](EditWindow& w) { Act(w, "type:x PosLeft PosLeft type:y PosRight PosRight Backspace Delete"); },
         "ab|cd"},
        {"DeleteLine restores the line and the column", "a\nbc|d\ne",
         [](EditWindow& w) { Act(w, "DeleteLine"); }, "a\nbc|d\ne"},
        {"DeleteLine of the last line adds no line", "a\nbc|d",
         [](EditWindow& w) { Act(w, "DeleteLine"); }, "a\nbc|d"},
        {"TruncateLineEnd", "ab|cd", [](EditWindow& w) { Act(w, "TruncateLineEnd"); }, "ab|cd"},
        {"TruncateLineStart", "ab|cd", [](EditWindow& w) { Act(w, "TruncateLineStart"); }, "ab|cd"},
        {"TruncateFile gives back every line and no more", "a\nb|c\nd\ne",
         [](EditWindow& w) { Act(w, "TruncateFile"); }, "a\nb|c\nd\ne"},
        {"a multi-line range", "l1\nl|2\nl3\nl4",
         [](EditWindow& w) { Act(w, "Shift+ LineDown LineDown Shift- Delete"); }, "l1\nl2\nl3\nl|4"},
        {"a range to the end of a line's text", "l|1\nl2\nl3",
         [](EditWindow& w) { SetDragFromMacro(w, 1, 2, 2, 5); Delete(w); }, "l|1\nl2\nl3"},
        {"whole lines at the end", "l1\n|l2\nl3",
         [](EditWindow& w) { Act(w, "Shift+ LineDown LineDown Shift-"); Cut(w); }, "l1\nl2\nl3\n@|"},
        {"the whole document", "l1\nl2|", [](EditWindow& w) { Act(w, "DragAll Delete"); }, "l1\nl2|"},
        {"a paste of two lines", "ab|cd", [](EditWindow& w) { Paste(w); }, "ab|cd"},
        {"a paste that ends in a line break joins the line again", "ab|cd\ne",
         [](EditWindow&) {}, "ab|cd\ne"},
        {"InsertLastDel", "ab|cd", [](EditWindow& w) { w.lastDel = "zz"; InsertLastDel(w); }, "ab|cd"},
    };
    for (const UndoCase& c : cases) {
        SCOPED_TRACE(c.name);
        host.clipboard = std::string(c.name).find("line break") != std::string::npos ? "X\nY\n" : "X\nY";
        if (std::string(c.name).find("line break") != std::string::npos) {
            Load(*w, c.before);
            Paste(*w);
        } else {
            Load(*w, c.before);
        }
        w->modified = 1;  // changed before the step: undoing it leaves the document changed
        c.change(*w);
        host.beeps = 0;
        Undo(*w);
        EXPECT_EQ(Render(*w), c.afterUndo);
        EXPECT_EQ(w->modified, 1);
        EXPECT_EQ(GetUndoKind(), kUndoNone);
        Undo(*w);
        EXPECT_EQ(host.beeps, 1) << "a second Undo finds the record empty";
        EXPECT_EQ(Render(*w), c.afterUndo);
    }
}

TEST_F(UndoTest, DeletedBytesOfEveryKindComeBackExactly) {
    std::mt19937 random(12345);
    const std::string alphabet = "ab \t\r\n\x1A\0\xFF"s;
    for (int round = 0; round < 600; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::string> lines(1 + random() % 6);
        for (std::string& line : lines)
            for (unsigned n = random() % 7; n > 0; --n) {
                char c = alphabet[random() % alphabet.size()];
                if (c != '\n') line += c;
            }
        SetLines(*w, lines);
        const std::string before = DocText(*w);
        const int count = w->LineCount();
        const int fl = 1 + static_cast<int>(random() % count);
        const int tl = fl + static_cast<int>(random() % (count - fl + 2));
        const int fc = 1 + static_cast<int>(random() % 8);
        const int tc = static_cast<int>(random() % 8);
        SetDragFromMacro(*w, fl, fc, tl, tc);
        SCOPED_TRACE(::testing::Message() << "range " << fl << "," << fc << " - " << tl << "," << tc);
        if (!HasDrag(*w)) continue;
        w->caretLine = static_cast<int>(random() % (count + 1));
        w->caretCol = static_cast<int>(random() % 9);
        const TextPos caret = GetCaret(*w);
        if (round % 3 == 0)
            Cut(*w);
        else if (round % 3 == 1)
            Delete(*w);
        else
            TruncateFile(*w);
        if (GetUndoKind() != kUndoDeletedText) continue;  // nothing was in the range
        Undo(*w);
        EXPECT_EQ(DocText(*w), before);
        EXPECT_EQ(w->caretLine, caret.line);
        EXPECT_EQ(w->caretCol, caret.col);
    }
}

// Ranges several times the size of the temporary file's write buffer, with lines and
// line ends across its edges and one line larger than it, come back byte for byte.
TEST_F(UndoTest, LargeRangesComeBackByteForByte) {
    options.LngLineBuffer = 1 << 20;
    constexpr std::size_t kBuffer = 1 << 18;
    auto text = [](std::size_t n, unsigned seed) {
        std::string t(n, ' ');
        for (std::size_t i = 0; i < n; ++i) t[i] = char('!' + (i * 7 + seed * 13) % 90);
        return t;
    };
    std::vector<std::vector<std::string>> shapes(3);
    for (unsigned i = 0; i < 20000; ++i) shapes[0].push_back(text(i % 97, i));        // four buffers
    for (unsigned i = 0; i < 1100; ++i) shapes[1].push_back(text(1000 + i % 3, i));   // every edge crossed
    shapes[2] = {"head", text(3 * kBuffer + 7, 1), "", text(kBuffer - 2, 2), "tail"};  // larger than the buffer
    const std::function<void(EditWindow&)> removals[] = {
        [](EditWindow& w) { DragAll(w); Cut(w); },
        [](EditWindow& w) { SetDragFromMacro(w, 2, 5, w.LineCount() - 1, 3); Delete(w); },
        [](EditWindow& w) { SetCaret(w, 0, 3); TruncateFile(w); },
    };
    for (std::size_t shape = 0; shape < shapes.size(); ++shape) {
        for (std::size_t removal = 0; removal < std::size(removals); ++removal) {
            SCOPED_TRACE(::testing::Message() << "shape " << shape << ", removal " << removal);
            SetLines(*w, shapes[shape]);
            const std::string before = DocText(*w);
            removals[removal](*w);
            ASSERT_EQ(GetUndoKind(), kUndoDeletedText);
            ASSERT_LT(DocText(*w).size(), before.size() / 2);
            Undo(*w);
            EXPECT_TRUE(DocText(*w) == before) << "the document differs after Undo";
        }
    }
}

TEST_F(UndoTest, LinesAsLongAsTheBufferComeBackAsTheyWere) {
    options.LngLineBuffer = 8;  // lines of at most 7 characters
    Load(*w, "12|3456\nnext");
    Act(*w, "DeleteLine");
    Undo(*w);
    EXPECT_EQ(Render(*w), "12|3456\nnext") << "a deleted long line is not joined to the next";

    Load(*w, "1234567\n1234567\nx");
    SetDragFromMacro(*w, 1, 3, 2, 5);
    Delete(*w);
    EXPECT_EQ(DocText(*w), "1267\nx");
    Undo(*w);
    EXPECT_EQ(DocText(*w), "1234567\n1234567\nx");
}

TEST_F(UndoTest, AutoDelDragPasteUndoesOnlyThePaste) {
    options.AutoDelDrag = 1;
    Load(*w, "one |two three");
    Act(*w, "Shift+ ItemRight Shift-");
    host.clipboard = "2";
    Paste(*w);
    EXPECT_EQ(Render(*w), "one 2|three");
    Undo(*w);
    EXPECT_EQ(DocText(*w), "one three") << "the replaced range does not come back";
}

TEST_F(UndoTest, MovementsForgetEveryKindButPosLeftAndPosRightKeepALineCopy) {
    Load(*w, "ab|cd\nef");
    host.clipboard = "X";
    Paste(*w);
    Act(*w, "LineDown");
    host.beeps = 0;
    Undo(*w);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(DocText(*w), "abXcd\nef");

    Load(*w, "ab|cd\nef");
    Paste(*w);
    Act(*w, "PosLeft");
    EXPECT_EQ(GetUndoKind(), kUndoNone) << "PosLeft forgets a kind-2 step";
}

TEST_F(UndoTest, UndoRestoresTheScrollOriginOfTheSave) {
    Load(*w, "ab|cd");
    w->firstLine = 0;
    Act(*w, "type:x");
    w->firstLine = 7;
    w->firstCol = 3;
    Undo(*w);
    EXPECT_EQ(w->firstLine, 0);
    EXPECT_EQ(w->firstCol, 0);
}

TEST_F(UndoTest, AnEmptyInsertionLeavesNothingToUndo) {
    Load(*w, "ab|cd");
    Act(*w, "type:x");
    host.clipboard = "";
    Paste(*w);  // replaces the typing's step, inserts nothing
    host.beeps = 0;
    Undo(*w);
    EXPECT_EQ(Render(*w), "abx|cd");
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(UndoTest, TheTemporaryFileIsPrivateAndGoesAway) {
    Load(*w, "a|b");
    Act(*w, "DeleteLine");
    const UndoRecord& u = TheUndoRecord();
    ASSERT_FALSE(u.tempFileName.empty());
    const std::string base = u.tempFileName.substr(u.tempFileName.find_last_of('/') + 1);
    EXPECT_EQ(base.rfind("VLE", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(u.tempFileName.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    // A longer save and then a shorter one: the file is never truncated, the length tells.
    const std::string name = u.tempFileName;
    Load(*w, "a longer line|");
    Act(*w, "DeleteLine");
    Load(*w, "x|");
    Act(*w, "DeleteLine");
    Undo(*w);
    EXPECT_EQ(DocText(*w), "x");
    ResetUndoRecord();
    EXPECT_NE(::stat(name.c_str(), &st), 0) << "the file is deleted";
}

TEST_F(UndoTest, WithoutATemporaryFileDeletedTextIsNotKept) {
    ResetUndoRecord();
    SetTemporaryBase(WriteFile("not-a-folder", ""));
    Load(*w, "a|b\nc");
    Act(*w, "DeleteLine");
    EXPECT_EQ(host.messageIds.size(), 1u) << "the file error is shown once";
    EXPECT_EQ(GetUndoKind(), kUndoNone);
    Act(*w, "DeleteLine");
    EXPECT_EQ(host.messageIds.size(), 1u);
    host.beeps = 0;
    Undo(*w);
    EXPECT_EQ(host.beeps, 1);
    Act(*w, "type:z");
    EXPECT_EQ(GetUndoKind(), kUndoLine) << "the other kinds go on working";
    SetTemporaryBase("");
}

}  // namespace
}  // namespace varlin::test
