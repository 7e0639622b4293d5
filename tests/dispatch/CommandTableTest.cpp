// The document window's command table: every row is a command the frame routes to the
// document, no number twice, the rows without an operation are the known ones, and the
// rows run their operations on a window (movement, editing, saving, closing).
#include "dispatch/CommandTable.h"
#include "dispatch/Dispatch.h"
#include "editing/EditActions.h"
#include "frame/CommandRouting.h"
#include "platform/HeadlessHost.h"
#include "platform/TestFolder.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <unistd.h>

namespace varlin {
namespace {

TEST(CommandTableTest, RowsAreDocumentCommandsOnce) {
    std::set<int> seen;
    std::set<int> withoutOperation;
    for (const DocumentCommand& row : DocumentCommandTable()) {
        EXPECT_TRUE(seen.insert(row.commandId).second) << row.commandId << " twice";
        EXPECT_NE(RouteOfCommand(row.commandId), CommandRoute::Frame) << row.commandId;
        if (!row.run && row.effect == CommandEffect::None) withoutOperation.insert(row.commandId);
    }
    EXPECT_EQ(seen.size(), 54u);  // Redo (402) and the document's language (410) among them
    // Every row does what it says.
    EXPECT_EQ(withoutOperation, (std::set<int>{}));
}

class CommandRowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        options.LineNumbers = 0;
        SetCurrentOptions(&options);
        host.writeMessagesToStderr = false;
        host.Install();
        ReleaseShift();
        w.doc->SetLine(0, "abc");
        w.doc->SetLine(1, "def");
    }
    void TearDown() override {
        SetCloseRequestHandler(nullptr);
        SetCurrentOptions(nullptr);
    }
    std::string FileText() const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    Options options;
    HeadlessHost host;
    EditWindow w;
    test::TestFolder folder;
    std::string path = folder.File("commands.txt");
};

TEST_F(CommandRowsTest, RowsRunTheirOperations) {
    EXPECT_EQ(RunWindowCommand(w, 203), CommandEffect::None);
    EXPECT_EQ(RunWindowCommand(w, 203), CommandEffect::None);
    EXPECT_EQ(w.caretCol, 2);
    RunWindowCommand(w, 55);  // Enter splits the line at the cursor
    EXPECT_EQ(w.doc->LineView(0), "ab");
    EXPECT_EQ(w.doc->LineView(1), "c");
    RunWindowCommand(w, 213);  // Ctrl+End: below the last line
    EXPECT_EQ(w.caretLine, 3);
    EXPECT_EQ(RunWindowCommand(w, 57), CommandEffect::OpenRoutineList);
    EXPECT_EQ(RunWindowCommand(w, 11), CommandEffect::NotHandled);
    EXPECT_EQ(RunWindowCommand(w, 9999), CommandEffect::NotHandled);
    for (const DocumentCommand& row : DocumentCommandTable()) {
        if (!DocumentCommandHasOperation(row.commandId)) {
            EXPECT_EQ(RunWindowCommand(w, row.commandId), CommandEffect::NotHandled) << row.commandId;
        }
    }
}

TEST_F(CommandRowsTest, SaveWritesAndSaveAsAsksForAName) {
    options.LockMode = 0;
    w.modified = 1;
    host.fileNameAnswers.push_back({path});
    RunWindowCommand(w, 13);  // without a name Save asks as SaveAs does
    EXPECT_EQ(FileText(), "abc\r\ndef\r\n");
    EXPECT_EQ(w.doc->FileName(), path);
    EXPECT_EQ(w.modified, 0);
    w.doc->SetLine(0, "xyz");
    w.modified = 1;
    RunWindowCommand(w, 13);
    EXPECT_EQ(FileText(), "xyz\r\ndef\r\n");
    EXPECT_EQ(w.modified, 0);
    w.modified = 1;
    RunWindowCommand(w, 14);  // the dialog is cancelled: nothing changes
    EXPECT_EQ(w.modified, 1);
}

EditWindow* g_closed = nullptr;

TEST_F(CommandRowsTest, CloseAsksTheWindowsOwner) {
    SetCloseRequestHandler([](EditWindow& x) { g_closed = &x; });
    RunWindowCommand(w, 15);
    EXPECT_EQ(g_closed, &w);
}

TEST_F(CommandRowsTest, TabAndShiftTabShareTheirCommand) {
    RunWindowCommand(w, 58);
    EXPECT_EQ(w.doc->LineView(0), "\tabc");
    // With Shift held the same command runs the outdent, as TabKey does it.
    EditWindow expected;
    for (EditWindow* x : {&w, &expected}) {
        x->doc->SetLine(0, "\t\tabc");
        x->doc->SetLine(1, "\tdef");
        StartDrag(*x, kDragMarked, 0, 0, 2, 0);
    }
    TabKey(expected, TabDirection::Outdent);
    PressShift();
    RunWindowCommand(w, 58);
    ReleaseShift();
    EXPECT_EQ(w.doc->LineView(0), expected.doc->LineView(0));
    EXPECT_EQ(w.doc->LineView(1), expected.doc->LineView(1));
    EXPECT_NE(w.doc->LineView(0), "\t\tabc");
}

}  // namespace
}  // namespace varlin
