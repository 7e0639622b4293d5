// Options: defaults of a fresh user, values read back after saving, malformed stored
// values, texts at their limit, and options set by name for batch runs.
#include "platform/Registry.h"
#include "platform/TestFolder.h"
#include "resources/StringTable.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

namespace varlin {
namespace {

class OptionsStore : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsFile(file);
        SetAppLanguage(int(AppLanguage::German));
    }
    void TearDown() override { SetSettingsFile(""); }
    Options Loaded() {
        Options o;
        InitOptions(o);
        return o;
    }
    test::TestFolder folder;
    std::string file = folder.File("settings.ini");
};

TEST_F(OptionsStore, FreshUserGetsEveryDefault) {
    Options o = Loaded();
    EXPECT_EQ(o.LngLineBuffer, 3000);
    EXPECT_EQ(o.ApplicationLanguage, 49);
    EXPECT_EQ(o.CodeTable, 2);
    EXPECT_EQ(o.InsertMode, 1);
    EXPECT_EQ(o.IndentMode, 1);
    EXPECT_EQ(o.AutoOpen, 0);
    EXPECT_EQ(o.LockMode, 1);
    EXPECT_EQ(o.AutoDelDrag, 1);
    EXPECT_EQ(o.MouseWheelScroll, 15);
    EXPECT_EQ(o.LineNumbers, 1);
    EXPECT_EQ(o.HighLightLang, 1);
    EXPECT_EQ(o.VbChar, 250);
    EXPECT_EQ(o.TabChar, 26);
    EXPECT_EQ(o.TabDistance, 8);
    EXPECT_EQ(o.CaretHystVert, 0);
    EXPECT_EQ(o.CaretHystHori, 5);
    EXPECT_EQ(o.MouseHystVert, 0);
    EXPECT_EQ(o.MouseHystHori, 0);
    EXPECT_EQ(o.ColorText, MakeColor(0, 0, 0));
    EXPECT_EQ(o.ColorLineNumbers, MakeColor(64, 64, 64));
    EXPECT_EQ(o.ColorHighlight, MakeColor(255, 0, 0));
    EXPECT_EQ(o.ColorKeywords, MakeColor(0, 157, 0));
    EXPECT_EQ(o.ColorComments, MakeColor(0, 0, 255));
    EXPECT_EQ(o.ColorBackground, MakeColor(255, 251, 240));
    EXPECT_EQ(o.BracketList, "(,),begin,end,{,},[,],#if,#endif");
    EXPECT_EQ(o.FileNameFilter, LoadAppString(1400));
    EXPECT_FALSE(o.FileNameFilter.empty());
}

TEST_F(OptionsStore, SavedValuesComeBackAfterTheNextStart) {
    Options o = Loaded();
    std::int32_t n = 100;
    for (std::int32_t* f : {&o.LngLineBuffer, &o.ApplicationLanguage, &o.CodeTable, &o.InsertMode,
                            &o.IndentMode, &o.AutoOpen, &o.LockMode, &o.KeepLineEnds, &o.AutoDelDrag, &o.MouseWheelScroll,
                            &o.LineNumbers, &o.HighLightLang, &o.VbChar, &o.TabChar, &o.TabDistance,
                            &o.CaretHystVert, &o.CaretHystHori, &o.MouseHystVert, &o.MouseHystHori})
        *f = n++;
    for (Color* c : {&o.ColorText, &o.ColorLineNumbers, &o.ColorHighlight, &o.ColorKeywords,
                     &o.ColorComments, &o.ColorBackground})
        *c = MakeColor(n++, 2, 3);
    o.BracketList = "<,>";
    o.FileNameFilter = "Alles|*|";
    ASSERT_TRUE(SaveOptions(o));
    Options back = Loaded();
    EXPECT_EQ(back.LngLineBuffer, 100);
    EXPECT_EQ(back.MouseHystHori, 118);
    EXPECT_EQ(back.ColorText, MakeColor(119, 2, 3));
    EXPECT_EQ(back.ColorBackground, MakeColor(124, 2, 3));
    EXPECT_EQ(back.BracketList, "<,>");
    EXPECT_EQ(back.FileNameFilter, "Alles|*|");
    // Stored once more, the file does not change: every field went through unchanged.
    std::string first = test::ReadFile(file);
    ASSERT_TRUE(SaveOptions(back));
    EXPECT_EQ(test::ReadFile(file), first);
}

TEST_F(OptionsStore, MalformedValuesGiveDefaultsNotZero) {
    test::WriteFile(file,
                    "[Options]\nLockMode=ja\nLngLineBuffer=99999999999\nTabDistance=\nInsertMode=1x\n"
                    "ColorText=rot\n");
    Options o = Loaded();
    EXPECT_EQ(o.LockMode, 1);
    EXPECT_EQ(o.LngLineBuffer, 3000);
    EXPECT_EQ(o.TabDistance, 8);
    EXPECT_EQ(o.InsertMode, 1);
    EXPECT_EQ(o.ColorText, MakeColor(0, 0, 0));
}

TEST_F(OptionsStore, StoredValuesAreUsedUnclampedButWorkSafely) {
    test::WriteFile(file, "[Options]\nLngLineBuffer=-5\nTabDistance=-3\nCodeTable=0\nMouseWheelScroll=-1\n");
    Options o = Loaded();
    EXPECT_EQ(o.LngLineBuffer, -5);
    EXPECT_EQ(o.TabDistance, -3);
    EXPECT_EQ(o.CodeTable, 0);
    EXPECT_EQ(o.MouseWheelScroll, -1);
    EXPECT_EQ(o.LineBufferSize(), 1);
    EXPECT_EQ(o.TabStep(), 2);
    o.LngLineBuffer = 2147483647;
    EXPECT_EQ(o.LineBufferSize(), kMaxLineBuffer);
}

TEST_F(OptionsStore, EmptyBracketListStaysEmptyAndLongTextsAreCut) {
    test::WriteFile(file, "[Options]\nBracketList=\nFileNameFilter=\"" + std::string(600, 'f') + "\"\n");
    Options o = Loaded();
    EXPECT_EQ(o.BracketList, "");
    EXPECT_EQ(o.FileNameFilter, std::string(499, 'f'));
    o.BracketList = std::string(700, 'b');
    ASSERT_TRUE(SaveOptions(o));
    EXPECT_EQ(Loaded().BracketList, std::string(499, 'b'));
}

TEST_F(OptionsStore, ColoursDefaultToTheRecordsCurrentValue) {
    Options o;
    o.ColorText = MakeColor(1, 2, 3);
    LoadOptions(o);
    EXPECT_EQ(o.ColorText, MakeColor(1, 2, 3));
}

TEST_F(OptionsStore, FailedSaveKeepsTheStoredOptions) {
    Options o = Loaded();
    o.TabDistance = 3;
    ASSERT_TRUE(SaveOptions(o));
    std::string before = test::ReadFile(file);
    ::chmod(folder.path().c_str(), 0555);
    int result = test::RunUnprivileged([&] {
        if (::access(folder.path().c_str(), W_OK) == 0) return 2;
        Options changed = o;
        changed.TabDistance = 4;
        return SaveOptions(changed) ? 1 : 0;
    });
    ::chmod(folder.path().c_str(), 0755);
    if (result == -1 || result == 2) GTEST_SKIP() << test::kRightsStay;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(test::ReadFile(file), before);
}

TEST(SetOptionByName, AcceptsValidValuesOnly) {
    Options o;
    EXPECT_TRUE(SetOptionByName(o, "TabDistance", "4"));
    EXPECT_EQ(o.TabDistance, 4);
    EXPECT_TRUE(SetOptionByName(o, "lockmode", "0"));
    EXPECT_EQ(o.LockMode, 0);
    EXPECT_TRUE(SetOptionByName(o, "BracketList", ""));
    EXPECT_EQ(o.BracketList, "");
    EXPECT_TRUE(SetOptionByName(o, "ColorText", "255"));
    EXPECT_EQ(o.ColorText, MakeColor(255, 0, 0));
    EXPECT_FALSE(SetOptionByName(o, "TabDistance", "vier"));
    EXPECT_FALSE(SetOptionByName(o, "LngLineBuffer", "99999999999"));
    EXPECT_FALSE(SetOptionByName(o, "ColorText", "-1"));
    EXPECT_FALSE(SetOptionByName(o, "NoSuchOption", "1"));
    EXPECT_EQ(o.TabDistance, 4);
    EXPECT_EQ(o.LngLineBuffer, 3000);
}

}  // namespace
}  // namespace varlin
