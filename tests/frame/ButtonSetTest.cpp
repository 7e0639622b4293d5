// Button sets and their files: the text format both ways, what a damaged or foreign file
// gives, the shipped standard set, and which file the toolbar takes at start-up.
#include "TestPaths.h"
#include "frame/ButtonSet.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace varlin {
namespace {

ButtonSpec Command(int id) { return {ButtonKind::Command, id, {}}; }
ButtonSpec Separator() { return {ButtonKind::Separator, 0, {}}; }
ButtonSpec RoutineList() { return {ButtonKind::Control, kRoutineListControl, {}}; }
ButtonSpec Macro(const std::string& f) { return {ButtonKind::Macro, 0, f}; }

ButtonSet Parse(const std::string& text) {
    ButtonSet set;
    EXPECT_TRUE(ParseButtonSet(text, set)) << text;
    return set;
}

TEST(ButtonFile, EveryKindSurvivesTheRoundTrip) {
    ButtonSet set{{Command(11), Separator(), RoutineList(), Macro("/home/u/my macros/a b.vlm"), Command(401)}};
    const std::string text = FormatButtonSet(set);
    EXPECT_EQ(text, "VarlinButtons 1\nbutton 11\nseparator\ncontrol 300\nmacro /home/u/my macros/a b.vlm\nbutton 401\n");
    EXPECT_EQ(Parse(text), set);
}

TEST(ButtonFile, ToleratesWindowsLineEndsCommentsAndAByteOrderMark) {
    ButtonSet set = Parse("\xEF\xBB\xBFVarlinButtons 1\r\n; a comment\r\n# another\r\n\r\n  button 13  \r\nmacro C:\\m\\x.vlm\r\n");
    EXPECT_EQ(set, (ButtonSet{{Command(13), Macro("C:\\m\\x.vlm")}}));
}

TEST(ButtonFile, BadLinesAreSkippedTheRestIsKept) {
    ButtonSet set = Parse("VarlinButtons 1\nbutton 0\nbutton -3\nbutton x\nbutton 12 13\nbutton 12\n"
                          "control 301\ncontrol 300\ncontrol 300\nmacro\nseparator now\nwhatever 5\nbutton 40\n");
    EXPECT_EQ(set, (ButtonSet{{Command(12), RoutineList(), Command(40)}}));
}

TEST(ButtonFile, TextWithoutTheHeaderIsNoButtonFile) {
    ButtonSet set{{Command(11)}};
    for (const char* text : {"", "button 11\n", "VarlinButtons 2\nbutton 12\n", "\x00\x01\x02"}) {
        EXPECT_FALSE(ParseButtonSet(text, set));
    }
    EXPECT_EQ(set, (ButtonSet{{Command(11)}}));  // untouched
}

// A name with a line break would put a line of its own into the file.
TEST(ButtonFile, MacroNamesThatCannotBeWrittenAreDropped) {
    ButtonSet set{{Macro("a.vlm\nbutton 19"), Macro("   "), Command(12)}};
    EXPECT_EQ(FormatButtonSet(set), "VarlinButtons 1\nbutton 12\n");
}

TEST(ButtonFile, ShippedStandardSetIsTheBuiltInOne) {
    ButtonSet shipped;
    ASSERT_TRUE(ReadButtonFile(std::string(VARLIN_TEST_DATA) + "/../Application/resources/stdbutt.vlb", shipped));
    EXPECT_EQ(shipped, BuiltInButtonSet());
    for (int id : CommandsWithImages()) {
        EXPECT_TRUE(std::find(shipped.buttons.begin(), shipped.buttons.end(), Command(id)) != shipped.buttons.end())
            << id;
    }
}

struct ButtonFilesTest : ::testing::Test {
    test::TestFolder folder;
    HeadlessHost host;
    void SetUp() override {
        SetSettingsFile(folder.File("settings.ini"));
        host.writeMessagesToStderr = false;
        host.Install();
    }
    void TearDown() override { SetSettingsFile(""); }
};

TEST_F(ButtonFilesTest, CurrentFileThenStandardFileThenBuiltIn) {
    // The standard set is read from the program's folder, the current one from the user's.
    const std::string dir = folder.path();
    const std::string user = folder.File("user");
    ASSERT_EQ(::mkdir(user.c_str(), 0700), 0);
    EXPECT_EQ(CurrentButtonFilePath(user), user + "/CurrentButtons.vlb");
    EXPECT_EQ(LoadCurrentButtonSet(dir, user), BuiltInButtonSet());

    ASSERT_TRUE(WriteButtonFile(StandardButtonFilePath(dir), ButtonSet{{Command(16)}}));
    EXPECT_EQ(LoadCurrentButtonSet(dir, user), (ButtonSet{{Command(16)}}));

    ASSERT_TRUE(WriteButtonFile(dir + "/CurrentButtons.vlb", ButtonSet{{Command(18)}}));
    EXPECT_EQ(LoadCurrentButtonSet(dir, user), (ButtonSet{{Command(16)}}));
    ASSERT_TRUE(WriteButtonFile(user + "/CurrentButtons.vlb", ButtonSet{{Command(19)}}));
    EXPECT_EQ(LoadCurrentButtonSet(dir, user), (ButtonSet{{Command(19)}}));

    // The registry names another current file; a foreign file there falls back as well.
    test::WriteFile(dir + "/other.vlb", "not a button file\n");
    SaveCurrentButtonFilePath(dir + "/other.vlb");
    EXPECT_EQ(CurrentButtonFilePath(user), dir + "/other.vlb");
    EXPECT_EQ(LoadCurrentButtonSet(dir, user), (ButtonSet{{Command(16)}}));
}

TEST_F(ButtonFilesTest, FailedWriteIsReportedAndSaysSo) {
    EXPECT_FALSE(WriteButtonFile(folder.File("missing/folder/x.vlb"), ButtonSet{{Command(11)}}));
    EXPECT_EQ(host.messageIds.size(), 1u);
}

TEST_F(ButtonFilesTest, LocationOfTheBar) {
    EXPECT_EQ(LoadButtonsLocation(), kButtonsTop);
    for (int stored : {1, 2, 3, 4}) {
        SaveButtonsLocation(stored);
        EXPECT_EQ(LoadButtonsLocation(), stored);
    }
    for (int stored : {0, 5, -1}) {
        SaveButtonsLocation(stored);
        EXPECT_EQ(LoadButtonsLocation(), kButtonsHidden) << stored;
    }
}

}  // namespace
}  // namespace varlin
