// Reading and writing text files: the line-end rules in both read modes, the split of
// over-long lines, the line-count question, round trips that must lose no byte, and the
// save commands' use of the file dialog.
#include "document/DocumentEncoding.h"
#include "document/FileTestSupport.h"
#include "document/TextFile.h"
#include "platform/StopRequest.h"

#include <algorithm>
#include <random>
#include <sys/stat.h>

namespace varlin {
namespace {

using testing::DocumentFileTest;
using testing::ReadBytes;
using testing::StoreLines;
using testing::WriteBytes;
using Lines = std::vector<std::string>;

class TextFileTest : public DocumentFileTest {};

struct ReadCase {
    const char* name;
    std::string bytes;
    int lockMode;
    int lineBuffer;
    Lines expected;
};

TEST_F(TextFileTest, LineEndsFollowTheReadingRulesAndNoLineIsSplit) {
    const std::string s20(20, 's');
    const std::vector<ReadCase> cases = {
        {"empty file", "", 1, 3000, {}},
        {"no end on the last line", "abc", 1, 3000, {"abc"}},
        {"final empty line is kept", "a\r\n\r\n", 1, 3000, {"a", ""}},
        {"CR CR LF", "abc\r\r\n", 1, 3000, {"abc"}},
        {"CR CR LF, text mode", "abc\r\r\n", 0, 3000, {"abc"}},
        {"mixed ends", "a\nb\r\nc", 0, 3000, {"a", "b", "c"}},
        {"lone CR stays inside", "ab\rcd\r", 1, 3000, {"ab\rcd"}},
        {"lone CR file is one line", "ab\rcd\ref\r", 1, 5, {"ab\rcd\ref"}},
        {"0x1A ends a text-mode file", "ab\x1A" "cd\r\nef", 0, 3000, {"ab"}},
        {"0x1A stays inside in raw mode", "ab\x1A" "cd\r\nef\x1A", 1, 3000, {"ab\x1A" "cd", "ef"}},
        {"a full line ends inside CR LF, raw", "12345678\r\nx", 1, 10, {"12345678", "x"}},
        {"a full line and its end", "123456789\r\r\n\r\n", 1, 10, {"123456789", ""}},
        {"no split in text mode", "12345678\r\n", 0, 10, {"12345678"}},
        {"long line whole", s20 + "\r\nx", 1, 10, {s20, "x"}},
        {"exact fit at the end of file", "123456789", 1, 10, {"123456789"}},
        {"buffer of two bytes", "ab\n", 1, 2, {"ab"}},
        {"buffer of no byte", "ab\n", 1, -5, {"ab"}},
    };
    for (const ReadCase& c : cases) {
        options.LockMode = c.lockMode;
        options.LngLineBuffer = c.lineBuffer;
        WriteBytes(Path("in.txt"), c.bytes);
        LineStore store;
        ASSERT_EQ(Load(store, Path("in.txt"), 1), 0) << c.name;
        EXPECT_EQ(StoreLines(store), c.expected) << c.name;
    }
}

TEST_F(TextFileTest, RandomFilesLoadAsTheReadingRulesSay) {
    // Lines longer and shorter than the sixteen bytes the reader looks at in one step,
    // LFs anywhere in such a step, line buffers far below the lines: the lines must be
    // those of the rules applied byte by byte, none split, and the document's buffer
    // must hold the longest.
    std::mt19937 random(5);
    const char bytes[] = {'a', 'b', '\n', '\r', 0x1A};
    for (int round = 0; round < 300; ++round) {
        std::string file;
        const int length = static_cast<int>(random() % 300);
        for (int i = 0; i < length; ++i) file += random() % 4 ? 'a' + static_cast<char>(random() % 3) : bytes[random() % 5];
        const bool text = random() % 2;
        const int buffer = random() % 3 ? 2 + static_cast<int>(random() % 40) : 3000;
        std::string rest;
        for (std::size_t i = 0; i < file.size(); ++i) {
            if (text && file[i] == 0x1A) break;
            if (!(text && file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n')) rest += file[i];
        }
        Lines expected;
        for (std::size_t pos = 0; pos < rest.size();) {
            const std::size_t lf = rest.find('\n', pos);
            const std::size_t end = lf == std::string::npos ? rest.size() : lf + 1;
            std::size_t keep = end;
            while (keep > pos && (rest[keep - 1] == '\r' || rest[keep - 1] == '\n' || rest[keep - 1] == 0x1A)) --keep;
            expected.push_back(rest.substr(pos, keep - pos));
            pos = end;
        }
        options.LockMode = text ? 0 : 1;
        options.LngLineBuffer = buffer;
        host.messageIds.clear();
        WriteBytes(Path("in.txt"), file);
        LineStore store;
        ASSERT_EQ(Load(store, Path("in.txt"), 1), 0) << round;
        ASSERT_EQ(StoreLines(store), expected) << round;
        EXPECT_EQ(std::count(host.messageIds.begin(), host.messageIds.end(), kLineTooLongMessage), 0) << round;
        for (const std::string& line : expected) ASSERT_LT(line.size(), std::size_t(store.LineBuffer())) << round;
        EXPECT_GE(store.LineBuffer(), buffer) << round;
    }
}

// A load reads the whole block once to recognise UTF-8; it must decide as reading the
// lines one by one does, whatever the reader took away between them.
TEST_F(TextFileTest, RecognitionOfALoadDecidesAsTheLinesOneByOne) {
    struct Case { const char* name; std::string bytes; int lockMode; int lineBuffer; bool utf8; } cases[] = {
        {"umlauts, CR LF", "gr\xC3\xBC\xC3\x9F" "e\r\nx\r\n", 0, 3000, true},
        {"plain ASCII", "abc\r\n", 0, 3000, false},
        {"the mark alone", "\xEF\xBB\xBF" "abc", 0, 3000, true},
        {"a character cut by the line end", "a\xC3\r\n\xBC" "b\r\n\xC3\xBC", 0, 3000, false},
        {"a lone CR inside", "\xC3\xBC\rx\n", 1, 3000, true},
        {"invalid byte after a text-mode Ctrl+Z", "\xC3\xBC\x1A\xFF", 0, 3000, true},
        {"the same raw", "\xC3\xBC\x1A\xFF", 1, 3000, false},
        {"multi-byte only after a text-mode Ctrl+Z", "abc\x1A\xC3\xBC", 0, 3000, false},
        {"a character across the option's buffer", "abcdefg\xC3\xBC\r\n", 1, 9, true},
    };
    for (const Case& c : cases) {
        options.LockMode = c.lockMode;
        options.LngLineBuffer = c.lineBuffer;
        WriteBytes(Path("in.txt"), c.bytes);
        for (int detect : {1, 0}) {
            options.DetectUtf8 = detect;
            LineStore store;
            ASSERT_EQ(Load(store, Path("in.txt"), 1), 0) << c.name;
            EXPECT_EQ(store.utf8, c.utf8 && detect) << c.name << " detect " << detect;
            if (detect) {
                EXPECT_EQ(store.utf8, LinesLookLikeUtf8(store)) << c.name;
            }
        }
    }
}

// A name typed into the save dialog that names an existing file replaces it only after
// Yes to 1335; No shows the dialog again. A name given by a script replaces unasked.
TEST_F(TextFileTest, SaveAsOverAnExistingFileAsksFirst) {
    const std::string existing = Path("existing.txt");
    WriteBytes(existing, "keep\r\n");
    LineStore store;
    store.SetLine(0, "new");
    host.fileNameAnswers.push_back({existing});
    host.answers.push_back(IdNo);
    host.fileNameAnswers.push_back({Path("fresh.txt")});  // the dialog again: another name
    EXPECT_EQ(SaveAs(store, {}), 1);
    EXPECT_EQ(host.messageIds, (std::vector<int>{kReplaceExistingFileMessage}));
    EXPECT_EQ(ReadBytes(existing), "keep\r\n");
    EXPECT_EQ(ReadBytes(Path("fresh.txt")), "new\r\n");

    host.fileNameAnswers.push_back({existing});
    host.answers.push_back(IdYes);
    EXPECT_EQ(SaveAs(store, {}), 1);
    EXPECT_EQ(ReadBytes(existing), "new\r\n");

    host.messageIds.clear();
    const std::string other = Path("other.txt");  // not a file a document holds
    WriteBytes(other, "keep\r\n");
    EXPECT_EQ(SaveAs(store, other), 1);
    EXPECT_TRUE(host.messageIds.empty());
    EXPECT_EQ(ReadBytes(other), "new\r\n");
}

TEST_F(TextFileTest, LongLinesLoadWholeUpToTheLargestLineBuffer) {
    struct Case { std::size_t length; int result; } cases[] = {
        {0, 0},  // the option stays the least a document gets
        {5000, 0},
        {std::size_t(kMaxLineBuffer) - 1, 0},
        {std::size_t(kMaxLineBuffer), -1},  // refused, not split
    };
    for (const Case& c : cases) {
        host.messageIds.clear();
        const std::string line(c.length, 'x');
        WriteBytes(Path("long.txt"), "a\r\n" + line + "\r\n");
        LineStore store;
        ASSERT_EQ(Load(store, Path("long.txt"), 1), c.result) << c.length;
        if (c.result != 0) {
            EXPECT_EQ(store.GetLineCount(), 0);
            EXPECT_EQ(host.messageIds, std::vector<int>{kLineTooLongMessage});
            continue;
        }
        EXPECT_TRUE(host.messageIds.empty()) << c.length;
        ASSERT_EQ(store.GetLineCount(), 2) << c.length;
        EXPECT_EQ(store.LineView(1), line);
        EXPECT_GE(store.LineBuffer(), std::max<int>(int(c.length) + 1, 3000));
        EXPECT_LE(store.LineBuffer(), kMaxLineBuffer);
    }
}

TEST_F(TextFileTest, MoreThanHalfAMillionLinesAsksFirst) {
    WriteBytes(Path("exact.txt"), std::string(500000, '\n'));
    LineStore store;
    ASSERT_EQ(Load(store, Path("exact.txt"), 1), 0);
    EXPECT_TRUE(host.messageIds.empty());
    EXPECT_EQ(store.GetLineCount(), 500000);

    WriteBytes(Path("more.txt"), std::string(500000, '\n') + "x");
    host.answers = {IdNo};
    EXPECT_EQ(Load(store, Path("more.txt"), 1), -1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1304});
    EXPECT_NE(host.messageTexts[0].find("500.000"), std::string::npos);

    host.answers = {IdYes};
    ASSERT_EQ(Load(store, Path("more.txt"), 1), 0);
    EXPECT_EQ(store.GetLineCount(), 500001);
    EXPECT_EQ(store.LineView(500000), "x");
}

TEST_F(TextFileTest, RoundTripsKeepLfFilesWithKeepLineEndsAndWriteCrLfOtherwise) {
    const std::string s2999(2999, 'x');
    std::string all;
    for (int c = 0; c < 256; ++c)
        if (c != '\n' && c != '\r' && c != 0x1A) all += char(c);
    struct Case {
        const char* name;
        std::string in;
        std::string kept;     // KeepLineEnds 1
        std::string crlf;     // KeepLineEnds 0
    } cases[] = {
        {"every byte value", all + "\r\n" + all + "\r\n", all + "\r\n" + all + "\r\n", all + "\r\n" + all + "\r\n"},
        {"LF file", "a\nb\n", "a\nb\n", "a\r\nb\r\n"},
        {"CR LF file", "a\r\nb\r\n", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"one CR LF among LFs counts as CR LF", "a\nb\r\nc\n", "a\r\nb\r\nc\r\n", "a\r\nb\r\nc\r\n"},
        {"lone CR stays inside an LF line", "a\rb\nc\n", "a\rb\nc\n", "a\rb\r\nc\r\n"},
        {"missing last end is added", "a\nb", "a\nb\n", "a\r\nb\r\n"},
        {"no line end at all: CR LF", "abc", "abc\r\n", "abc\r\n"},
        {"only LF bytes", "\n\n\n", "\n\n\n", "\r\n\r\n\r\n"},
        {"trailing empty line stays", "a\r\n\r\n", "a\r\n\r\n", "a\r\n\r\n"},
        {"tabs and trailing blanks stay", "\tx  \n", "\tx  \n", "\tx  \r\n"},
        {"empty file stays empty", "", "", ""},
        {"a line that fills the buffer", s2999 + "\r\n", s2999 + "\r\n", s2999 + "\r\n"},
    };
    for (int lockMode : {0, 1}) {
        for (int keep : {0, 1}) {
            options.LockMode = lockMode;
            options.KeepLineEnds = keep;
            for (const Case& c : cases) {
                WriteBytes(Path("rt.txt"), c.in);
                LineStore store;
                ASSERT_EQ(Load(store, Path("rt.txt"), 1), 0) << c.name;
                ASSERT_EQ(SaveTo(store, Path("rt.txt")), 0) << c.name;
                EXPECT_EQ(ReadBytes(Path("rt.txt")), keep ? c.kept : c.crlf)
                    << c.name << " LockMode " << lockMode << " KeepLineEnds " << keep;
            }
        }
    }
    // A new document is written with CR LF; the choice of a loaded one goes along to
    // another name, and KeepLineEnds 0 at the time of the save writes CR LF.
    options.KeepLineEnds = 1;
    LineStore fresh;
    fresh.SetLine(0, "x");
    ASSERT_EQ(SaveTo(fresh, Path("new.txt")), 0);
    EXPECT_EQ(ReadBytes(Path("new.txt")), "x\r\n");
    WriteBytes(Path("lf.txt"), "x\n");
    LineStore store;
    ASSERT_EQ(Load(store, Path("lf.txt"), 1), 0);
    ASSERT_EQ(SaveTo(store, Path("copy.txt")), 0);
    EXPECT_EQ(ReadBytes(Path("copy.txt")), "x\n");
    options.KeepLineEnds = 0;
    ASSERT_EQ(SaveTo(store, Path("copy.txt")), 0);
    EXPECT_EQ(ReadBytes(Path("copy.txt")), "x\r\n");
}

TEST_F(TextFileTest, AMillionLfLinesKeepTheirBytesThroughAnEditElsewhere) {
    std::string bytes;
    for (int i = 0; i < 1000000; ++i) bytes += (i % 7 ? "line\n" : "\n");
    WriteBytes(Path("big.txt"), bytes);
    host.answers = {IdYes};  // more than 500,000 lines
    LineStore store;
    ASSERT_EQ(Load(store, Path("big.txt"), 1), 0);
    ASSERT_EQ(store.SetLine(3, "changed"), 0);
    ASSERT_EQ(SaveTo(store, Path("big.txt")), 0);
    bytes.replace(bytes.find("line\n", 10), 4, "changed");
    EXPECT_TRUE(ReadBytes(Path("big.txt")) == bytes);
}

// A window keeps a large text in a file-backed copy: the lines read as loaded, edits and
// saves lose nothing, and another program that empties the file after the load takes
// nothing from the window, whose copy is its own.
TEST_F(TextFileTest, ALargeTextInAFileBackedCopyLosesNoByte) {
    std::string bytes;
    Lines lines;
    for (int i = 0; i < 100000; ++i) {
        lines.push_back(i % 5 ? "line " + std::to_string(i) + std::string(std::size_t(i % 40), 'x') : "");
        bytes += lines.back() + (i % 3 ? "\r\n" : "\n");
    }
    WriteBytes(Path("big.txt"), bytes);
    WriteBytes(Path("small.txt"), "a\r\nb\r\n");
    SetFileBackedTextFrom(bytes.size() / 2);
    LineStore store, small;
    ASSERT_EQ(Load(store, Path("big.txt"), 1), 0);
    ASSERT_EQ(Load(small, Path("small.txt"), 1), 0);
    SetFileBackedTextFrom(0);
    // The text is not in the program's memory, where the machine has a temporary folder
    // that takes a copy; else it is, as before. A small one always is.
    if (FileBackedCopy("x", 1))
        EXPECT_LT(store.MemoryUsed(), bytes.size() / 4);
    else
        EXPECT_GT(store.MemoryUsed(), bytes.size() / 2);
    EXPECT_GT(small.MemoryUsed(), 4u);
    ASSERT_EQ(StoreLines(store), lines);

    WriteBytes(Path("big.txt"), "");
    ASSERT_EQ(store.SetLine(7, "changed"), 0);
    store.DeleteLines(100, 50);
    store.ReleaseReadPages();
    lines[7] = "changed";
    lines.erase(lines.begin() + 100, lines.begin() + 150);
    ASSERT_EQ(StoreLines(store), lines);
    host.answers = {IdYes};  // the file changed on disk: written over all the same
    ASSERT_EQ(SaveTo(store, Path("big.txt")), 0);
    std::string saved;
    for (const std::string& line : lines) saved += line + "\r\n";
    EXPECT_TRUE(ReadBytes(Path("big.txt")) == saved);
}

TEST_F(TextFileTest, ACtrlZThatCutsATextModeLoadIsToldAndSavingOverTheFileAsks) {
    options.LockMode = 0;
    const std::string bytes = std::string("ab\r\ncd\x1A") + "rest\r\n";
    WriteBytes(Path("z.txt"), bytes);
    LineStore store;
    ASSERT_EQ(Load(store, Path("z.txt"), 1), 0);
    EXPECT_EQ(StoreLines(store), (Lines{"ab", "cd"}));
    ASSERT_EQ(host.messageIds, std::vector<int>{kCutAtCtrlZMessage});
    EXPECT_NE(host.messageTexts[0].find(Path("z.txt")), std::string::npos);
    EXPECT_NE(host.messageTexts[0].find(" 6 "), std::string::npos);  // bytes before it

    host.answers = {IdNo};
    EXPECT_EQ(SaveTo(store, Path("z.txt")), -1);
    EXPECT_EQ(ReadBytes(Path("z.txt")), bytes);
    host.answers = {IdYes};
    ASSERT_EQ(SaveTo(store, Path("z.txt")), 0);
    EXPECT_EQ(ReadBytes(Path("z.txt")), "ab\r\ncd\r\n");
    ASSERT_EQ(SaveTo(store, Path("z.txt")), 0);  // asked once: the file is whole now
    EXPECT_EQ(host.messageIds,
              (std::vector<int>{kCutAtCtrlZMessage, kSaveCutFileQuestion, kSaveCutFileQuestion}));
}

TEST_F(TextFileTest, CtrlZRulesByPlaceAndMode) {
    struct Case {
        const char* name;
        int lockMode;
        std::string bytes;
        bool told;
    } cases[] = {
        {"last byte: nothing lost", 0, "ab\r\n\x1A", false},
        {"inside, text mode", 0, "a\x1A" "b", true},
        {"raw mode keeps it", 1, "a\x1A" "b", false},
    };
    for (const Case& c : cases) {
        options.LockMode = c.lockMode;
        host.messageIds.clear();
        WriteBytes(Path("c.txt"), c.bytes);
        LineStore store;
        ASSERT_EQ(Load(store, Path("c.txt"), 1), 0) << c.name;
        EXPECT_EQ(!host.messageIds.empty(), c.told) << c.name;
        EXPECT_EQ(store.cutAtCtrlZ >= 0, c.told) << c.name;
    }
}

TEST_F(TextFileTest, ASaveAsksWhenAnotherProgramChangedTheFileButNotWhenItWasOnlyTouched) {
    const std::string name = Path("c.txt");
    for (int lockMode : {0, 1}) {  // the lock is advisory: others may write all the same
        options.LockMode = lockMode;
        WriteBytes(name, "ours\n");
        LineStore store;
        ASSERT_EQ(Load(store, name, 1), 0);
        store.SetLine(0, "edited");
        host.messageIds.clear();

        // Rewritten with the same bytes (a new inode and time): no change to speak of.
        WriteBytes(name + ".tmp", "ours\n");
        ASSERT_EQ(::rename((name + ".tmp").c_str(), name.c_str()), 0);
        ASSERT_EQ(SaveTo(store, name), 0);
        EXPECT_TRUE(host.messageIds.empty()) << lockMode;

        // Their change, then our save: asked, and No keeps theirs.
        WriteBytes(name, "them\n\n\n");
        host.answers = {IdNo};
        EXPECT_EQ(SaveTo(store, name), -1);
        EXPECT_EQ(ReadBytes(name), "them\n\n\n");
        EXPECT_EQ(host.messageIds, std::vector<int>{kChangedOnDiskQuestion}) << lockMode;
        host.answers = {IdYes};
        ASSERT_EQ(SaveTo(store, name), 0);
        EXPECT_EQ(ReadBytes(name), "edited\n");
        ASSERT_EQ(SaveTo(store, name), 0);  // our own save is no change by another
        EXPECT_EQ(host.messageIds.size(), 2u);
    }
}

// Ctrl+C and --timeout reach a load that is under way (a file another program keeps
// growing is read until then): it ends without a message, and the next load works.
TEST_F(TextFileTest, AStopRequestEndsALoad) {
    WriteBytes(Path("a.txt"), "one\ntwo\n");
    LineStore store;
    RequestStop();
    EXPECT_EQ(Load(store, Path("a.txt"), 1), -1);
    ClearStopRequest();
    EXPECT_TRUE(host.messageIds.empty());
    EXPECT_EQ(store.GetLineCount(), 0);
    EXPECT_EQ(Load(store, Path("a.txt"), 1), 0);
    EXPECT_EQ(StoreLines(store), (Lines{"one", "two"}));
}

TEST_F(TextFileTest, NullLinesAtTheEndAreNotSavedButInsideTheyAreEmpty) {
    LineStore store;
    store.SetLine(0, "a");
    store.SetLine(2, "c");
    store.SetLine(1, "b");
    store.SetNullLine(1);
    store.SetNullLine(4);
    ASSERT_EQ(SaveTo(store, Path("n.txt")), 0);
    EXPECT_EQ(ReadBytes(Path("n.txt")), "a\r\n\r\nc\r\n");
    EXPECT_EQ(store.FileName(), Path("n.txt"));
}

TEST_F(TextFileTest, WriteRangeClampsToTheDocument) {
    LineStore store;
    for (int i = 0; i < 5; ++i) store.SetLine(i, std::string(1, char('a' + i)));
    ASSERT_EQ(WriteRange(store, Path("r.txt"), -3, 1), 0);
    EXPECT_EQ(ReadBytes(Path("r.txt")), "a\r\nb\r\n");
    ASSERT_EQ(WriteRange(store, Path("r.txt"), 3, 99), 0);
    EXPECT_EQ(ReadBytes(Path("r.txt")), "d\r\ne\r\n");
    ASSERT_EQ(WriteRange(store, Path("r.txt"), 4, 2), 0);  // nothing to write: empty file
    EXPECT_EQ(ReadBytes(Path("r.txt")), "");
    EXPECT_TRUE(store.FileName().empty());
}


TEST_F(TextFileTest, NamesWithBlanksAndUmlauts) {
    const std::string name = Path("neue Datei \xC3\xA4\xC3\xB6\xC3\xBC \xE4.txt");
    WriteBytes(name, "eins\r\n");
    LineStore store;
    ASSERT_EQ(Load(store, name, 1), 0);
    EXPECT_EQ(store.FileName(), name);
    store.SetLine(1, "zwei");
    ASSERT_EQ(SaveTo(store, name), 0);
    EXPECT_EQ(ReadBytes(name), "eins\r\nzwei\r\n");
}

TEST_F(TextFileTest, MissingFilesAndFolders) {
    LineStore store;
    options.LockMode = 0;
    EXPECT_EQ(Load(store, Path("none.txt"), 1), -1);
    EXPECT_EQ(Load(store, dir, 1), -1);
    EXPECT_EQ(host.messageIds, (std::vector<int>{1022, 1022}));

    host.messageIds.clear();
    options.LockMode = 1;
    host.answers = {IdYes, IdYes};
    EXPECT_EQ(Load(store, Path("none.txt"), 1), -1);
    EXPECT_EQ(Load(store, dir, 1), -1);
    EXPECT_EQ(host.messageIds, (std::vector<int>{1209, 1026, 1209, 1020}));

    host.messageIds.clear();
    store.SetLine(0, "x");
    EXPECT_EQ(SaveTo(store, dir), -1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1020});
}

TEST_F(TextFileTest, OnlyRegularFilesAreLoadedOrWritten) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    for (int lockMode : {0, 1}) {
        options.LockMode = lockMode;
        for (const std::string& name : {Path("fifo"), std::string("/dev/zero"), std::string("/dev/null")}) {
            host.messageIds.clear();
            LineStore store;
            EXPECT_EQ(Load(store, name, 1), -1) << name;  // at once: no hang, no endless read
            EXPECT_EQ(host.messageIds, std::vector<int>{1265}) << name;
            store.SetLine(0, "x");
            host.messageIds.clear();
            EXPECT_EQ(SaveTo(store, name), -1) << name;
            EXPECT_EQ(host.messageIds, std::vector<int>{1265}) << name;
        }
    }
    EXPECT_NE(host.messageTexts.back().find("Gerät"), std::string::npos);
}

TEST_F(TextFileTest, LoadingSelectsTheLanguageWithTheColouringSetting) {
    WriteBytes(Path("A.JAVA"), "class A {}\n");
    LineStore store;
    EXPECT_EQ(store.languageLabelId, 1616);  // a new document is C/C++
    ASSERT_EQ(Load(store, Path("A.JAVA"), 1), 0);
    EXPECT_EQ(store.languageLabelId, 1615);
    ASSERT_EQ(Load(store, Path("A.JAVA"), 0), 0);
    EXPECT_EQ(store.languageLabelId, 1614);
    ASSERT_EQ(SaveTo(store, Path("b.pas")), 0);  // saving keeps the language
    EXPECT_EQ(store.languageLabelId, 1614);
}

TEST_F(TextFileTest, SaveAsAsksForANameOnlyWhenItHasNone) {
    LineStore store;
    store.SetLine(0, "x");
    EXPECT_EQ(Save(store), SaveOutcome::Cancelled);  // no queued answer: cancelled
    EXPECT_TRUE(store.FileName().empty());

    host.fileNameAnswers.push_back({Path("chosen.txt")});
    EXPECT_EQ(Save(store), SaveOutcome::SavedAs);
    EXPECT_EQ(store.FileName(), Path("chosen.txt"));
    EXPECT_EQ(ReadBytes(Path("chosen.txt")), "x\r\n");

    store.SetLine(0, "y");
    EXPECT_EQ(Save(store), SaveOutcome::Saved);
    EXPECT_EQ(SaveAs(store, "  \t"), 2);  // blank: the dialog is asked and cancelled
    EXPECT_EQ(SaveAs(store, Path("other.txt")), 1);
    EXPECT_EQ(store.FileName(), Path("other.txt"));
    EXPECT_EQ(ReadBytes(Path("other.txt")), "y\r\n");
}

}  // namespace
}  // namespace varlin
