// The window program's words and files at a line: which word is a file, an option or a
// line, and when a colon belongs to the name (the file exists with it).
#include "frame/CommandLine.h"
#include "platform/TestFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

namespace varlin {
namespace {

struct Case {
    std::vector<std::string> words;
    std::vector<FileSpot> files;  // expected; ignored when bad
    bool bad = false;
};

TEST(WindowArguments, FormsOfFilesLinesAndOptions) {
    test::TestFolder folder;
    ASSERT_EQ(::chdir(folder.path().c_str()), 0);
    for (const char* name : {"log:3", "t:1:2", "-x", "q\"x.txt", "with blank.c"}) test::WriteFile(name, "");
    const Case cases[] = {
        {{"a.c", "b.h"}, {{"a.c"}, {"b.h"}}},
        {{"a.c:12"}, {{"a.c", 12}}},
        {{"a.c:12:5"}, {{"a.c", 12, 5}}},
        {{"log:3"}, {{"log:3"}}},            // exists with the colon
        {{"log:3:7"}, {{"log:3", 7}}},       // the file log:3, line 7
        {{"t:1:2"}, {{"t:1:2"}}},
        {{"+7", "a.c"}, {{"a.c", 7}}},
        {{"+7", "b:3"}, {{"b:3", 7}}},       // +LINE takes the name as it stands
        {{"+0", "a.c"}, {{"a.c"}}},
        {{"a.c:", ":5", "a.c:x", "a:1x"}, {{"a.c:"}, {":5"}, {"a.c:x"}, {"a:1x"}}},
        {{"a.c:99999999999999"}, {{"a.c", INT_MAX}}},
        {{"with blank.c", "q\"x.txt", "", "it's"}, {{"with blank.c"}, {"q\"x.txt"}, {"it's"}}},
        {{"-", "+", "+x"}, {{"-"}, {"+"}, {"+x"}}},
        {{"--", "-x", "--help", "+3", "--"}, {{"-x"}, {"--help"}, {"+3"}, {"--"}}},
        {{"-x"}, {}, true},
        {{"--frobnicate"}, {}, true},
        {{"--settings"}, {}, true},
        {{"--settings="}, {}, true},
    };
    for (const Case& c : cases) {
        WindowArguments a;
        std::string error;
        const std::string shown = ::testing::PrintToString(c.words);
        ASSERT_EQ(ParseWindowArguments(c.words, a, error), !c.bad) << shown << ": " << error;
        if (c.bad) {
            EXPECT_FALSE(error.empty()) << shown;
            continue;
        }
        ASSERT_EQ(a.files.size(), c.files.size()) << shown;
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            EXPECT_EQ(a.files[i].name, c.files[i].name) << shown;
            EXPECT_EQ(a.files[i].line, c.files[i].line) << shown;
            EXPECT_EQ(a.files[i].column, c.files[i].column) << shown;
        }
    }
    ASSERT_EQ(::chdir("/"), 0);
}

TEST(WindowArguments, OptionsAndTheModeOfTheProgram) {
    WindowArguments a;
    std::string error;
    ASSERT_TRUE(ParseWindowArguments({"--wait", "--new-frame", "--settings=s.ini", "x"}, a, error));
    EXPECT_TRUE(a.wait && a.newFrame && a.hasSettingsFile);
    EXPECT_EQ(a.settingsFile, "s.ini");

    const std::pair<std::vector<std::string>, ProgramMode> modes[] = {
        {{"a.c"}, ProgramMode::Window},
        {{"a.c", "--help"}, ProgramMode::Help},
        {{"--version"}, ProgramMode::Version},
        {{"a.c", "--run", "s.vlm"}, ProgramMode::Batch},
        {{"--run=s.vlm"}, ProgramMode::Batch},
        {{"--", "--help", "--run"}, ProgramMode::Window},  // files named like options
    };
    for (const auto& [words, mode] : modes) EXPECT_EQ(ModeOfWords(words), mode) << ::testing::PrintToString(words);
}

TEST(BatchArguments, FilesTakeTheirLines) {
    BatchArguments a;
    std::string error;
    ASSERT_TRUE(ParseBatchArguments({"--run", "s.vlm", "+4", "a.c", "b.c:2:3", "--", "+5"}, a, error));
    EXPECT_EQ(a.files, (std::vector<FileSpot>{{"a.c", 4}, {"b.c", 2, 3}, {"+5"}}));
}

}  // namespace
}  // namespace varlin
