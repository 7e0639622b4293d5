// The words of batch mode: what is a bad command line (exit status 2) and what each
// accepted word turns into.
#include "frame/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>

namespace varlin {
namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

TEST(BatchArguments, BadCommandLinesAreRefusedWithAReason) {
    const char* bad[] = {
        "",                              // no --run at all
        "--run",                         // no SCRIPT
        "a.txt --run",                   // still no SCRIPT
        "--run s.vlm --run t.vlm",
        "--run s.vlm --answer maybe",
        "--run s.vlm --answer",
        "--run s.vlm --set TabDistance",  // no '='
        "--run s.vlm --set =4",
        "--run s.vlm --timeout 0",
        "--run s.vlm --timeout -3",
        "--run s.vlm --timeout 5x",
        "--run s.vlm --timeout nan",
        "--run s.vlm --timeout inf",
        "--run s.vlm --settings=",
        "--run s.vlm --no-save=1",
        "--run s.vlm --frobnicate",
        "--run s.vlm -x",
    };
    for (const char* line : bad) {
        BatchArguments a;
        std::string error;
        EXPECT_FALSE(ParseBatchArguments(Words(line), a, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
}

TEST(BatchArguments, EveryOptionIsTakenInBothForms) {
    BatchArguments a;
    std::string error;
    ASSERT_TRUE(ParseBatchArguments(
        Words("one.txt --run=s.vlm --no-save --answer cancel --settings=my.ini --set "
              "TabDistance=4 --set=LineNumbers=0 --trace --timeout 1.5 two.txt - -- --three"),
        a, error))
        << error;
    EXPECT_EQ(a.script, "s.vlm");
    EXPECT_TRUE(a.noSave);
    EXPECT_EQ(a.answer, BatchAnswer::Cancel);
    EXPECT_TRUE(a.hasSettingsFile);
    EXPECT_EQ(a.settingsFile, "my.ini");
    ASSERT_EQ(a.sets.size(), 2u);
    EXPECT_EQ(a.sets[0], (std::pair<std::string, std::string>{"TabDistance", "4"}));
    EXPECT_EQ(a.sets[1], (std::pair<std::string, std::string>{"LineNumbers", "0"}));
    EXPECT_TRUE(a.trace);
    EXPECT_DOUBLE_EQ(a.timeoutSeconds, 1.5);
    // Files keep their order; "-" is a name, and "--" ends the options.
    EXPECT_EQ(a.files, (std::vector<FileSpot>{{"one.txt"}, {"two.txt"}, {"-"}, {"--three"}}));
}

TEST(BatchArguments, DefaultsAnswerYesAndSaveWithoutLimit) {
    BatchArguments a;
    std::string error;
    ASSERT_TRUE(ParseBatchArguments(Words("--run s.vlm"), a, error));
    EXPECT_EQ(a.answer, BatchAnswer::Yes);
    EXPECT_FALSE(a.noSave);
    EXPECT_FALSE(a.hasSettingsFile);
    EXPECT_EQ(a.timeoutSeconds, 0);
    EXPECT_TRUE(a.files.empty());
}

}  // namespace
}  // namespace varlin
