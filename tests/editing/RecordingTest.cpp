// Learn mode: the learned-macro file line for line (head, one line per action, foot, CR LF),
// the argument formats, quoting that the script reads back unchanged, and the refusal of
// a file that someone else holds.
#include "Interpreter/Lexer.h"
#include "editing/EditActions.h"
#include "editing/Recording.h"
#include "platform/HeadlessHost.h"
#include "platform/TempFiles.h"
#include "platform/TestFolder.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace varlin {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Recording : ::testing::Test {
    Options options;
    HeadlessHost host;
    void SetUp() override {
        // The learned file is made once per process: in a folder removed at exit.
        static test::TestFolder folder;
        if (TheLearnRecorder().LearnFileName.empty()) SetTemporaryBase(folder.path());
        SetCurrentOptions(&options);
        host.writeMessagesToStderr = false;
        host.Install();
        ASSERT_FALSE(IsLearning());
    }
    void TearDown() override {
        if (IsLearning()) ToggleLearnMode();
        SetCurrentOptions(nullptr);
        SetTemporaryBase("");
    }
    // Learns what `body` does and gives back the learned file.
    template <typename F>
    std::string Learn(F body) {
        EXPECT_TRUE(ToggleLearnMode());
        body();
        EXPECT_FALSE(ToggleLearnMode());
        return ReadAll(TheLearnRecorder().LearnFileName);
    }
};

const char* kHead = "Macro \"Recorded\"\r\n\r\n\tbegin\r\n";
const char* kFoot = "\tend\r\n";

TEST_F(Recording, TypingAndMovingAreLearnedLineByLine) {
    EditWindow w;
    std::string file = Learn([&] {
        InsertChar(w, 'A');
        InsertChar(w, 0xDF);   // ß
        InsertChar(w, 10);     // control characters are neither typed nor learned
        PosRight(w);
        LineDown(w);
        ShiftKeyDown(w);
        LineUp(w);
        ShiftKeyUp(w);
        Linefeed(w);
        Backspace(w);
        DeleteLine(w);
        DragAll(w);
        SetCaret(w, 0, 0);      // never learned
    });
    EXPECT_EQ(file, std::string(kHead) +
                        "\tInsertChar (65);\r\n"
                        "\tInsertChar (-33);\r\n"
                        "\tPosRight ();\r\n"
                        "\tLineDown ();\r\n"
                        "\tShiftKeyDown ();\r\n"
                        "\tLineUp ();\r\n"
                        "\tShiftKeyUp ();\r\n"
                        "\tLinefeed ();\r\n"
                        "\tBackspace ();\r\n"
                        "\tDeleteLine ();\r\n"
                        "\tDragAll ();\r\n" +
                        kFoot);
    EXPECT_EQ(w.LineCount(), 0) << "the run typed, split, joined and deleted one line";
}

TEST_F(Recording, StartingAndEndingAtOnceLeavesHeadAndFoot) {
    EXPECT_EQ(Learn([] {}), std::string(kHead) + kFoot);
    const std::string name = TheLearnRecorder().LearnFileName;
    EXPECT_EQ(name.substr(name.rfind('/') + 1, 2), "LR");
    Learn([] {});
    EXPECT_EQ(TheLearnRecorder().LearnFileName, name) << "the name is made once";
}

TEST_F(Recording, NothingIsWrittenOutsideLearnMode) {
    Learn([] {});
    RecordAction(1);
    RecordLong(54, 65);
    EXPECT_EQ(ReadAll(TheLearnRecorder().LearnFileName), std::string(kHead) + kFoot);
}

TEST_F(Recording, ArgumentFormats) {
    std::string file = Learn([] {
        RecordFileName(22, "C:\\dir\\x.txt");
        RecordTextLong(33, "say \"hi\"", 3);
        RecordTwoTextsLong(35, "a", "b\"", 0);
        RecordTwoLongs(37, 10, 1);
        RecordLong(40, -1);
        RecordAction(48);       // no name in the table: nothing written
        RecordAction(0);
    });
    EXPECT_EQ(file, std::string(kHead) +
                        "\tOpen (\"C:/dir/x.txt\");\r\n"
                        "\tFind (\"say \\\"hi\\\"\",3);\r\n"
                        "\tReplace (\"a\",\"b\\\"\",0);\r\n"
                        "\tGoto (10,1);\r\n"
                        "\tSort (-1);\r\n" +
                        kFoot);
}

// What the macro language reads back from a quoted text.
std::string ReadBack(const std::string& quoted) {
    std::string literal = "\"" + quoted + "\"";
    macrolib::Lexer lexer(literal.data(), literal.size());
    macrolib::Token t = lexer.next();
    EXPECT_EQ(t.kind, macrolib::Tok::Text) << quoted;
    return t.text;
}

TEST_F(Recording, QuotedTextsReadBackUnchanged) {
    struct Row { std::string text; std::string quoted; };
    const std::vector<Row> rows = {
        {"plain", "plain"},
        {"a\"b", "a\\\"b"},
        {"C:\\dir\\file", "C:\\dir\\file"},   // a backslash before a letter stays single
        {"ends in \\", "ends in \\\\"},
        {"\\\"", "\\\\\\\""},                 // backslash, quote
        {"two \\\\ n", "two \\\\\\ n"},       // a backslash before a backslash is doubled
        {"\\n\\t", "\\n\\t"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(QuoteRecordedText(r.text), r.quoted) << r.text;
        EXPECT_EQ(ReadBack(QuoteRecordedText(r.text)), r.text) << r.text;
    }
}

TEST_F(Recording, LongTextsAreCutWithoutSwallowingTheClosingQuote) {
    for (std::size_t fill : {506u, 507u, 508u, 509u}) {
        std::string text = std::string(fill, 'x') + "\\abc\\\"def";
        std::string quoted = QuoteRecordedText(text);
        EXPECT_LE(quoted.size(), 511u);
        std::string back = ReadBack(quoted);
        EXPECT_EQ(back, text.substr(0, back.size())) << "a prefix of the text, read back exactly";
        EXPECT_GE(back.size(), 508u);
    }
}

TEST_F(Recording, AFileHeldByAnotherOpenerIsRefusedWithMessage1114) {
    Learn([] { RecordAction(1); });
    const std::string name = TheLearnRecorder().LearnFileName;
    const std::string before = ReadAll(name);
    int fd = ::open(name.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    struct flock lock {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    EXPECT_FALSE(ToggleLearnMode());
    EXPECT_FALSE(IsLearning());
    ASSERT_EQ(host.messageIds.size(), 1u);
    EXPECT_EQ(host.messageIds[0], 1114);
    EXPECT_EQ(ReadAll(name), before) << "the held file is not emptied";
    ::close(fd);
    EXPECT_TRUE(ToggleLearnMode());
}

}  // namespace
}  // namespace varlin
