// The frame's core tables and the Application record: routing, menu enabling, option
// switches, the command line's words and the persisted window values.
#include "frame/Application.h"
#include "editing/EditWindow.h"
#include "frame/CommandRouting.h"
#include "frame/FrameCommands.h"
#include "frame/MenuEnabling.h"
#include "frame/OptionToggles.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace varlin {
namespace {

TEST(CommandRouting, ApplicationCommandsStayInTheFrame) {
    for (int id : {11, 12, 18, 19, 73, 76, 79, 82, 83, 88, 89, 90, 91, 92, 93, 94, 95, 97, 101,
                   102, 103, 104, 106, 122, 303, 401}) {
        EXPECT_EQ(RouteOfCommand(id), CommandRoute::Frame) << id;
    }
    EXPECT_EQ(RouteOfCommand(81), CommandRoute::FrameThenDocument);
}

TEST(CommandRouting, EverythingElseGoesToTheDocument) {
    for (int id : {13, 14, 15, 16, 31, 40, 44, 55, 58, 105, 121, 201, 217, 233, 240, 301, 302,
                   40010, 0, -1}) {
        EXPECT_EQ(RouteOfCommand(id), CommandRoute::Document) << id;
    }
}

// Batch mode's road (no windows of an owner): a command that reaches no operation gives
// -1 to SendCommand and does nothing, with a document or without; the routine list needs
// a window and is one of them.
TEST(CommandRoads, WithoutAnOperationSendCommandGivesMinusOne) {
    Options options;
    SetCurrentOptions(&options);
    EditWindow w;
    w.doc->SetLine(0, "abc");
    SetActiveEditWindow(&w);
    const int column = w.caretCol;
    for (int id : {20, 105, 121, 124, 125, 232, 400, 40010, 57, 0, 9999}) {
        EXPECT_FALSE(CommandHasOperation(id)) << id;
        EXPECT_EQ(SendFrameCommand(id), -1) << id;
    }
    EXPECT_EQ(w.doc->LineView(0), "abc");
    EXPECT_TRUE(CommandHasOperation(203));
    EXPECT_EQ(SendFrameCommand(203), 0);
    EXPECT_GT(w.caretCol, column);
    SetActiveEditWindow(nullptr);
    EXPECT_EQ(SendFrameCommand(203), -1);  // no document: dropped
    SetCurrentOptions(nullptr);
}

TEST(MenuEnabling, WithoutDocumentMacroAndSettingsItemsFollowRecording) {
    int idle = ComputeMenuFlags({});
    EXPECT_EQ(idle, kMenuNotRecording);
    MenuState recordingState;
    recordingState.recording = true;
    int recording = ComputeMenuFlags(recordingState);
    EXPECT_EQ(recording, 0);
    for (int id : {88, 90, 91, 92, 93, 73, 82, 83, 76}) {
        EXPECT_TRUE(IsMenuItemEnabled(id, idle)) << id;
        EXPECT_FALSE(IsMenuItemEnabled(id, recording)) << id;
    }
    EXPECT_TRUE(IsMenuItemEnabled(89, recording));
    EXPECT_EQ(LearnMacroTextId(idle), 1700);
    EXPECT_EQ(LearnMacroTextId(recording), 1701);
}

TEST(MenuEnabling, DocumentItemsNeedTheirState) {
    MenuState s;
    s.documentActive = true;
    int plain = ComputeMenuFlags(s);
    for (int id : {13, 31, 33, 34, 37, 54, 240, 402}) EXPECT_FALSE(IsMenuItemEnabled(id, plain)) << id;
    for (int id : {32, 35, 15, 401, 11}) EXPECT_TRUE(IsMenuItemEnabled(id, plain)) << id;
    s.modified = true;
    s.rangeMarked = true;
    s.canUndo = true;
    s.canRedo = true;
    int busy = ComputeMenuFlags(s);
    for (int id : {13, 31, 33, 34, 37, 54, 240, 402}) EXPECT_TRUE(IsMenuItemEnabled(id, busy)) << id;
}

TEST(MenuEnabling, DocumentBitsIgnoredWithoutActiveDocument) {
    MenuState s;
    s.modified = true;
    s.rangeMarked = true;
    s.canUndo = true;
    EXPECT_EQ(ComputeMenuFlags(s), kMenuNotRecording);
}

TEST(OptionToggles, CodeTableTwiceReturnsAndZeroBecomesAnsi) {
    Options o;
    o.CodeTable = 2;
    ToggleCodeTable(o);
    EXPECT_EQ(o.CodeTable, 1);
    ToggleCodeTable(o);
    EXPECT_EQ(o.CodeTable, 2);
    o.CodeTable = 0;
    ToggleCodeTable(o);
    EXPECT_EQ(o.CodeTable, 2);
}

TEST(OptionToggles, ViewTwiceReturnsToDotAndArrow) {
    Options o;
    ToggleViewChars(o);
    EXPECT_EQ(o.VbChar, 32);
    EXPECT_EQ(o.TabChar, 32);
    ToggleViewChars(o);
    EXPECT_EQ(o.VbChar, 250);
    EXPECT_EQ(o.TabChar, 26);
    o.VbChar = 'x';  // anything but a blank counts as visible
    ToggleViewChars(o);
    EXPECT_EQ(o.VbChar, 32);
}

TEST(OptionToggles, InsertMode) {
    Options o;
    o.InsertMode = 5;
    ToggleInsertMode(o);
    EXPECT_EQ(o.InsertMode, 0);
    ToggleInsertMode(o);
    EXPECT_EQ(o.InsertMode, 1);
}

class WindowSettings : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = folder_.File("frame_settings.ini");
        SetSettingsFile(file_);
    }
    void TearDown() override { SetSettingsFile(""); }
    test::TestFolder folder_;
    std::string file_;
};

TEST_F(WindowSettings, EmptyStoreGivesMaximizedAt700By500) {
    Application app;
    app.mainWindMax = 0;
    app.language = 0;
    LoadWindowSettings(app);
    EXPECT_EQ(app.mainWindMax, 1);
    EXPECT_EQ(app.mdiWindMax, 1);
    EXPECT_EQ(app.mainWindWidth, 700);
    EXPECT_EQ(app.mainWindHeight, 500);
    EXPECT_EQ(app.language, 49);
}

TEST_F(WindowSettings, SavedGeometryAndLanguageComeBack) {
    Application app;
    app.mainWindMax = 0;
    app.mainWindWidth = 800;
    app.mainWindHeight = 600;
    app.language = 44;
    SaveOnExit(app);
    Application next;
    LoadWindowSettings(next);
    EXPECT_EQ(next.mainWindMax, 0);
    EXPECT_EQ(next.mainWindWidth, 800);
    EXPECT_EQ(next.mainWindHeight, 600);
    EXPECT_EQ(next.language, 44);
}

TEST_F(WindowSettings, InitGivesTheCaption) {
    Application app;
    ASSERT_EQ(InitApplication(app, {{"a.c", 3}}, "/opt/varlin"), 1);
    EXPECT_EQ(FrameCaption(app), "Varlin  4.4.0");
    EXPECT_EQ(app.commandFiles, (std::vector<FileSpot>{{"a.c", 3}}));
    EXPECT_NE(app.options, nullptr);
    app.title = std::string(120, 'T');
    EXPECT_EQ(FrameCaption(app).size(), 99u);
}

}  // namespace
}  // namespace varlin
