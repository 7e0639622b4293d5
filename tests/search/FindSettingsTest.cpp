// The stored search request under "Find": defaults on a fresh store, what is written and
// read back (ReplaceAll never), and a settings file whose "Find" section is garbage.
#include "search/FindSettings.h"

#include "platform/Registry.h"
#include "platform/TestFolder.h"

#include <gtest/gtest.h>

namespace varlin {
namespace {

struct Stored : ::testing::Test {
    test::TestFolder folder;
    std::string file = folder.File("settings.ini");
    void SetUp() override { SetSettingsFile(file); }
    void TearDown() override { SetSettingsFile(""); }
};

TEST_F(Stored, FreshStoreGivesAnEmptyRequest) {
    FindSettings s;
    s.FindString = "old";
    s.CapsSens = 1;
    LoadFindSettings(s);
    EXPECT_EQ(s.FindString, "");
    EXPECT_EQ(s.ReplaceString, "");
    EXPECT_EQ(s.CapsSens + s.StartOfLine + s.EndOfLine + s.ExpandEscapes + s.Regex, 0);
}

TEST_F(Stored, RoundTripKeepsBytesAndFlagsButNotReplaceAll) {
    FindSettings s;
    s.FindString = "a=b; \"\xE4\" \\t";
    s.ReplaceString = " lead";
    s.CapsSens = 1;
    s.EndOfLine = 1;
    s.ExpandEscapes = 1;
    s.Regex = 1;
    s.ReplaceAll = 1;
    ASSERT_TRUE(StoreFindSettings(s));
    FindSettings back;
    LoadFindSettings(back);
    EXPECT_EQ(back.FindString, s.FindString);
    EXPECT_EQ(back.ReplaceString, s.ReplaceString);
    EXPECT_EQ(back.CapsSens, 1);
    EXPECT_EQ(back.StartOfLine, 0);
    EXPECT_EQ(back.EndOfLine, 1);
    EXPECT_EQ(back.ExpandEscapes, 1);
    EXPECT_EQ(back.Regex, 1);
    EXPECT_EQ(back.ReplaceAll, 0);
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Find", "ReplaceAll", -1), -1);
}

TEST_F(Stored, LongTextsAreCutAt255) {
    FindSettings s;
    s.FindString = std::string(300, 'f');
    s.ReplaceString = std::string(256, 'r');
    ASSERT_TRUE(StoreFindSettings(s));
    FindSettings back;
    LoadFindSettings(back);
    EXPECT_EQ(back.FindString, std::string(255, 'f'));
    EXPECT_EQ(back.ReplaceString, std::string(255, 'r'));
}

TEST_F(Stored, GarbageInTheFindSectionGivesDefaults) {
    test::WriteFile(file,
                    "[Find]\n"
                    "FindString=\"unterminated \\x\n"
                    "CapsSens=yes\n"
                    "StartOfLine=99999999999999999999\n"
                    "EndOfLine=-7\n"
                    "\x01\x02\xFF no equals sign\n"
                    "ExpandEscapes=\n"
                    "ReplaceString=" + std::string(5000, 'z') + "\n");
    FindSettings s;
    LoadFindSettings(s);
    EXPECT_LE(s.FindString.size(), 255u);
    EXPECT_EQ(s.ReplaceString, std::string(255, 'z'));
    EXPECT_EQ(s.CapsSens, 0);
    EXPECT_EQ(s.StartOfLine, 0);
    EXPECT_EQ(s.EndOfLine, 1);  // any number but 0 is a set flag
    EXPECT_EQ(s.ExpandEscapes, 0);
}

TEST(FindMode, BitsMapToFlagsByUse) {
    struct Row { std::int32_t mode; ModeUse use; std::int32_t caps, start, end, all, back; };
    const Row rows[] = {
        {0, ModeUse::Find, 0, 0, 0, 0, 0},
        {7, ModeUse::Find, 1, 1, 1, 0, 7},
        {16 | 2, ModeUse::Find, 0, 1, 0, 0, 2},       // Find ignores ReplaceAll
        {16 | 4, ModeUse::Replace, 0, 0, 1, 1, 20},
        {-1, ModeUse::Replace, 1, 1, 1, 1, 55},       // other bits are ignored
        {8 | 32, ModeUse::Replace, 0, 0, 0, 0, 32},   // 32: a regular expression
        {16 | 32, ModeUse::Find, 0, 0, 0, 0, 32},
    };
    for (const Row& r : rows) {
        FindSettings s;
        ApplyMode(s, r.mode, r.use);
        EXPECT_EQ(s.CapsSens, r.caps) << r.mode;
        EXPECT_EQ(s.StartOfLine, r.start) << r.mode;
        EXPECT_EQ(s.EndOfLine, r.end) << r.mode;
        EXPECT_EQ(s.ReplaceAll, r.all) << r.mode;
        EXPECT_EQ(ModeOf(s, r.use), r.back) << r.mode;
    }
}

}  // namespace
}  // namespace varlin
