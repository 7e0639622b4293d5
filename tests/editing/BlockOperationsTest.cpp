// The block operations: what a range gives to the clipboard and to files, what Delete and
// Cut take away, how pasted and inserted text lands at the cursor, and what the actions
// do when the clipboard, the file or the range is not as expected.
#include "BlockTestSupport.h"

#include "editing/BlockInsert.h"
#include "editing/RangeText.h"
#include "editing/Recording.h"
#include "platform/TempFiles.h"
#include "platform/TestFolder.h"

#include <sys/stat.h>

using namespace std::string_literals;

namespace varlin::test {
namespace {

struct Blocks : BlockFixture {};

// A range marked as a test case states it: with the macro form (1-based, To inclusive),
// with Shift and movements, or in the line-number margin.
struct SliceCase {
    const char* name;
    std::string text;
    std::function<void(EditWindow&)> mark;
    std::string copied;       // the clipboard after Copy
    const char* afterDelete;  // the document after Delete ('|' the cursor)
};

void Macro(EditWindow& w, int fl, int fc, int tl, int tc) { SetDragFromMacro(w, fl, fc, tl, tc); }

TEST_F(Blocks, SlicesCopyAndDelete) {
    const std::vector<SliceCase> cases = {
        {"middle of line 2 to middle of line 4", "line1\nline2\nline3\nline4\nline5",
         [](EditWindow& w) { Macro(w, 2, 3, 4, 2); }, "ne2\r\nline3\r\nli",
         "line1\nli|ne4\nline5"},
        {"Shift+Down over two lines from the start takes whole lines", "l1\n|l2\nl3\nl4",
         [](EditWindow& w) { Act(w, "Shift+ LineDown LineDown Shift-"); }, "l2\r\nl3\r\n", "l1\n|l4"},
        {"Shift+End from the start takes the text without the break", "l1\n|abc\nl3",
         [](EditWindow& w) { Act(w, "Shift+ LineEnd Shift-"); }, "abc", "l1\n|\nl3"},
        {"a range to the end of a line keeps the next line apart", "ab|cd\nef",
         [](EditWindow& w) { Act(w, "Shift+ LineEnd Shift-"); }, "cd", "ab|\nef"},
        {"a range past the last line ends with the last line's break", "a\n|b\nc",
         [](EditWindow& w) { Macro(w, 2, 1, 9, 4); }, "b\r\nc\r\n", "a\n@|"},
        {"a range that starts past the last line is empty", "a|",
         [](EditWindow& w) { Macro(w, 4, 1, 6, 2); }, "", "a\n@\n@\n@|"},
        {"bytes of every kind go out unchanged", "x\0y\r\x1A\n|z"s,
         [](EditWindow& w) { Macro(w, 1, 1, 2, 1); }, "x\0y\r\x1A\r\nz"s, "|"},
    };
    for (const SliceCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetUndoRecord();
        host.clipboard = "old";
        Load(*w, c.text);
        c.mark(*w);
        Copy(*w);
        EXPECT_EQ(host.clipboard, c.copied.empty() ? "old" : c.copied);
        EXPECT_TRUE(HasDrag(*w)) << "Copy leaves the range marked";
        DragRange r;
        GetNormalizedDrag(*w, r);
        EXPECT_EQ(RangeTextSize(*w, r), static_cast<long long>(c.copied.size()));
        Delete(*w);
        EXPECT_EQ(Render(*w), c.afterDelete);
        EXPECT_FALSE(HasDrag(*w));
    }
}

TEST_F(Blocks, WholeLinesMarkedInTheMargin) {
    options.LineNumbers = 1;
    Load(*w, "l1\nl2\nl3\nl4");
    StartDrag(*w, kDragMarked, 1, 0, 2, 0);  // drawn in the line-number field
    Copy(*w);
    EXPECT_EQ(host.clipboard, "l2\r\nl3\r\n");
    Delete(*w);
    EXPECT_EQ(DocText(*w), "l1\nl4");
    EXPECT_EQ(w->caretLine, 1);
    EXPECT_EQ(w->caretCol, MarginWidth(*w));
}

struct PasteCase {
    const char* name;
    std::string before;  // '~' an empty column before the cursor, '@' a line past the end
    std::string clipboard;
    std::string after;
    int caretCol = -1;   // a column to put the cursor on instead
};

TEST_F(Blocks, PasteLandsAtTheCursor) {
    const std::vector<PasteCase> cases = {
        {"two lines split the cursor line", "ab|cd", "X\nY", "abX\nY|cd"},
        {"CR LF line ends read as LF", "ab|cd", "X\r\nY", "abX\nY|cd"},
        {"a trailing LF leaves the rest on the next line", "ab|cd\nnext", "X\n", "abX\n|cd\nnext"},
        {"one line without a break stays in the line", "ab|cd", "XY", "abXY|cd"},
        {"an empty clipboard leaves the line alone", "ab|cd", "", "ab|cd"},
        {"an empty clipboard does not move the cursor", "ab~~~|", "", "ab~~~|"},
        {"trailing CRs and 0x1A are dropped like the file reader", "|", "a\r\r\nb\x1A", "a\nb|"},
        {"a lone CR inside a line stays", "|", "a\rb", "a\rb|"},
        {"NUL bytes are kept", "|", "a\0b\n\0"s, "a\0b\n\0|"s},
        {"on the last line a trailing LF makes a last empty line", "ab|", "X\n", "abX\n|"},
        {"below the last line a trailing LF adds no line", "a\n@|", "X\n", "a\nX\n@|"},
        {"below the last line the gap reads as empty lines", "a\n\n@|", "X", "a\n\nX|"},
        {"inside a tab the text goes before the tab", "a\tb", "X", "aX|\tb", 3},
    };
    for (const PasteCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string before = c.before;
        // '~' marks empty columns beyond the text, '@' a line past the end.
        std::size_t extra = std::count(before.begin(), before.end(), '~');
        before.erase(std::remove(before.begin(), before.end(), '~'), before.end());
        bool below = before.find('@') != std::string::npos;
        before.erase(std::remove(before.begin(), before.end(), '@'), before.end());
        Load(*w, before);
        if (below) w->doc->DeleteLines(w->LineCount() - 1, 1);
        w->caretCol += static_cast<int>(extra);
        if (c.caretCol >= 0) w->caretCol = c.caretCol;
        host.clipboard = c.clipboard;
        host.beeps = 0;
        Paste(*w);
        EXPECT_EQ(Render(*w), c.after);
        EXPECT_EQ(host.beeps, 0);
        EXPECT_TRUE(host.messageIds.empty());
    }
}

TEST_F(Blocks, PastedLinesLongerThanTheBufferGrowTheDocumentsBuffer) {
    options.LngLineBuffer = 6;  // lines of at most 5 characters
    Load(*w, "ab|cd");
    host.clipboard = "123456\nXY";
    Paste(*w);
    EXPECT_EQ(Render(*w), "ab123456\nXY|cd") << "nothing is split, cut off or overwritten";
    EXPECT_GT(w->doc->LineBuffer(), 9);
    Act(*w, "LineUp LineEnd type:Z");  // and the line takes typing at its end
    EXPECT_EQ(Render(*w), "ab123456Z|\nXYcd");
}

TEST_F(Blocks, AutoDelDragReplacesTheRange) {
    options.AutoDelDrag = 1;
    Load(*w, "one |two three");
    Act(*w, "Shift+ ItemRight Shift-");  // marks "two "
    host.clipboard = "2\n";
    Paste(*w);
    EXPECT_EQ(Render(*w), "one 2\n|three");
    EXPECT_FALSE(HasDrag(*w));

    options.AutoDelDrag = 0;
    Load(*w, "one |two three");
    Act(*w, "Shift+ ItemRight Shift-");
    Paste(*w);
    EXPECT_EQ(Render(*w), "one two 2\n|three") << "without AutoDelDrag the text goes in at the cursor";
}

TEST_F(Blocks, CutCopiesThenDeletesAndRefusesWithoutARange) {
    Load(*w, "ab|cdef");
    Act(*w, "Shift+ PosRight PosRight Shift-");
    Cut(*w);
    EXPECT_EQ(host.clipboard, "cd");
    EXPECT_EQ(Render(*w), "ab|ef");
    EXPECT_EQ(GetUndoKind(), kUndoDeletedText);

    host.beeps = 0;
    Cut(*w);
    Copy(*w);
    Split(*w, PathOf("never"));
    EXPECT_EQ(host.beeps, 3) << "Cut, Copy and Split without a range beep";
    EXPECT_FALSE(std::filesystem::exists(PathOf("never")));
}

TEST_F(Blocks, ClipboardFailuresLeaveTheDocumentAlone) {
    options.AutoDelDrag = 1;
    Load(*w, "ab|cdef");
    Act(*w, "Shift+ PosRight PosRight Shift-");
    host.clipboardFails = true;
    Cut(*w);
    EXPECT_EQ(host.messageIds, std::vector<int>{1042});
    EXPECT_EQ(DocText(*w), "abcdef") << "a failed copy prevents the deletion";
    EXPECT_TRUE(HasDrag(*w));
    Paste(*w);
    EXPECT_EQ(host.messageIds, (std::vector<int>{1042, 1043}));
    EXPECT_EQ(DocText(*w), "abcdef") << "an unreadable clipboard does not cost the range";
}

TEST_F(Blocks, AppendInsertsAFileAtTheCursor) {
    const std::string plain = WriteFile("plain.txt", "one\r\ntwo\r\n\x1A" "after the end");
    Load(*w, "ab|cd");
    Append(*w, plain);
    EXPECT_EQ(Render(*w), "abone\ntwo\n|cd") << "CR LF reads as LF and 0x1A ends the file";
    EXPECT_EQ(GetUndoKind(), kUndoInsertion);
    EXPECT_EQ(w->modified, 1);

    const std::string empty = WriteFile("empty.txt", "");
    Load(*w, "ab|cd");
    Append(*w, empty);
    EXPECT_EQ(Render(*w), "ab|cd");
}

TEST_F(Blocks, RegistryFilesAreReadAsSixteenBitText) {
    const std::string wide = "\xFF\xFE" "W\0i\0n\0\r\0\n\0x\0=\0\xE4\0"s;
    struct Case {
        const char* name;
        std::string bytes;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"a.reg", wide, "Win\nx=\xE4|"},
        {"B.REG", wide, "Win\nx=\xE4|"},
        {"odd.Reg", wide + "Z", "Win\nx=\xE4|"},   // a lone last byte is dropped
        {"ansi.reg", "REGEDIT4\r\n", "REGEDIT4\n@|"},  // no byte-order mark: plain text
        {"bom.txt", "\xFF\xFEx\0"s, "\xFF\xFEx\0|"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(*w, "|");
        Append(*w, WriteFile(c.name, c.bytes));
        EXPECT_EQ(Render(*w), c.after);
    }
}

TEST_F(Blocks, AppendRefusesWhatIsNoFile) {
    Load(*w, "ab|cd");
    Append(*w, folder.string());
    Append(*w, PathOf("missing.txt"));
    Append(*w, "/dev/null");
    EXPECT_EQ(host.messageIds, (std::vector<int>{1020, 1026, 1020}));
    EXPECT_EQ(Render(*w), "ab|cd");
    EXPECT_EQ(w->modified, 0);
}

TEST_F(Blocks, AppendAsksForANameWhenGivenNone) {
    const std::string file = WriteFile("chosen.txt", "X");
    Load(*w, "ab|cd");
    Append(*w, "");
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(lastRequest.titleId, 1504);
    EXPECT_EQ(lastRequest.registryValue, "AppendFile");
    EXPECT_EQ(lastRequest.mode, FileDialogMode::Open);
    EXPECT_FALSE(lastRequest.filter.empty());
    EXPECT_EQ(Render(*w), "ab|cd") << "a cancelled dialog ends the action";
    host.fileNameAnswers.push_back({file});
    Append(*w, "");
    EXPECT_EQ(Render(*w), "abX|cd");
}

TEST_F(Blocks, SplitReplacesTheFileAndKeepsTheRange) {
    const std::string target = WriteFile("out.txt", "an older and longer content");
    Load(*w, "l1\nl2\nl3");
    SetDragFromMacro(*w, 2, 1, 3, 1);
    host.fileNameAnswers.push_back({target});
    Split(*w, "");
    EXPECT_EQ(lastRequest.titleId, 1505);
    EXPECT_EQ(lastRequest.mode, FileDialogMode::Save);
    EXPECT_EQ(lastRequest.registryValue, "AppendFile");
    EXPECT_EQ(ReadFile("out.txt"), "l2\r\nl");
    EXPECT_TRUE(HasDrag(*w));
    EXPECT_EQ(DocText(*w), "l1\nl2\nl3");
    EXPECT_EQ(GetUndoKind(), kUndoNone);
}

TEST_F(Blocks, SplitOfSeveralWriteBuffersIsByteForByte) {
    // Lines crossing the edges of the 256 KB write buffer, and one line larger than it.
    std::vector<std::string> lines{"first"};
    for (int i = 0; i < 1200; ++i) lines.push_back(std::string(500 + i % 700, char('a' + i % 26)));
    lines.insert(lines.begin() + 600, std::string(3 * (1 << 18) + 7, 'L'));
    lines.push_back("end");
    SetLines(*w, lines);
    SetDragFromMacro(*w, 2, 1, int(lines.size()), 1);
    Split(*w, PathOf("part.txt"));
    std::string expected;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) expected += lines[i] + "\r\n";
    expected += "e";
    const std::string written = ReadFile("part.txt");
    EXPECT_TRUE(written == expected) << written.size() << " of " << expected.size() << " bytes";
}

TEST_F(Blocks, SplitOntoAFolderOrAMissingFolderShowsTheFileError) {
    Load(*w, "abc");
    SetDragFromMacro(*w, 1, 1, 1, 2);
    Split(*w, folder.string());
    Split(*w, PathOf("missing/out.txt"));
    EXPECT_EQ(host.messageIds, (std::vector<int>{1020, 1026}));
    EXPECT_EQ(DocText(*w), "abc");
    EXPECT_TRUE(HasDrag(*w));
}

TEST_F(Blocks, SplitOntoAReadOnlyFileChangesNothing) {
    const std::string target = WriteFile("ro.txt", "keep");
    ::chmod(target.c_str(), 0444);
    ::chmod(folder.c_str(), 0755);
    Load(*w, "abc");
    SetDragFromMacro(*w, 1, 1, 1, 2);
    // As root every file is writable: the attempt runs as an unprivileged user.
    const int shown = RunUnprivileged([&] {
        Split(*w, target);
        return host.messageIds == std::vector<int>{1025} ? 1 : 2;
    });
    ASSERT_NE(shown, -1) << "no unprivileged child";
    EXPECT_EQ(shown, 1) << "message 1025";
    EXPECT_EQ(ReadFile("ro.txt"), "keep");
}

TEST_F(Blocks, TheActionsAreLearnedWithTheChosenFileNames) {
    // The learned file is made once per process: in a folder removed at exit.
    static TestFolder learnFolder;
    if (TheLearnRecorder().LearnFileName.empty()) SetTemporaryBase(learnFolder.path());
    const std::string file = WriteFile("in.txt", "X");
    Load(*w, "ab|cd");
    ASSERT_TRUE(ToggleLearnMode());
    SetDragFromMacro(*w, 1, 1, 1, 1);
    Copy(*w);
    Cut(*w);
    Paste(*w);
    host.fileNameAnswers.push_back({file});
    Append(*w, "");
    Append(*w, "");  // cancelled: nothing is learned
    SetDragFromMacro(*w, 1, 1, 1, 1);
    Split(*w, PathOf("out.txt"));
    ASSERT_FALSE(ToggleLearnMode());
    SetTemporaryBase("");
    std::ifstream in(TheLearnRecorder().LearnFileName, std::ios::binary);
    const std::string learned((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(learned.find("\tCopy ();\r\n\tCut ();\r\n\tPaste ();\r\n\tAppend (\"" + file +
                           "\");\r\n\tSplit (\"" + PathOf("out.txt") + "\");\r\n\tend"),
              std::string::npos)
        << learned;
}

}  // namespace
}  // namespace varlin::test
