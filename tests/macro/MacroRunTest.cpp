// Running macros in the editor's core: the command table's shape, the application-level
// numbers of the function callback, the stop question, error reports, the learn-mode
// commands with their refusals, SendCommand's road, and learned runs of editing (one by
// hand, many at random) that replay to the same text.
#include "editing/BlockActions.h"
#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "editing/MacroCommands.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "frame/FrameCommands.h"
#include "macro/LearnCommands.h"
#include "macro/MacroRun.h"
#include "platform/HeadlessHost.h"
#include "platform/TempFiles.h"
#include "platform/TestFolder.h"
#include "platform/WriteSteps.h"
#include "settings/Options.h"
#include "view/DocumentWindow.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <iterator>
#include <random>
#include <memory>
#include <thread>
#include <vector>

namespace varlin {
namespace {

using test::ReadFile;
using test::WriteFile;

int CountCodes(const char* signature) {
    int n = 0;
    for (const char* p = signature; *p; ++n) {
        if (std::strncmp(p, "C[]", 3) == 0) p += 3;
        else if (std::strncmp(p, "*L", 2) == 0) p += 2;
        else if (*p == 'L') p += 1;
        else return -1;
    }
    return n;
}

int CountNames(const char* names) {
    if (names == nullptr) return 0;
    int n = 1;
    for (const char* p = names; *p; ++p) n += *p == ',';
    return n;
}

TEST(MacroCommandTable, HasSixtySixSortedEntriesWhoseNamesMatchTheirSignatures) {
    const MacroCommand* table = MacroCommandTable();
    int count = 0;
    for (; table[count].Name != nullptr; ++count) {
        const MacroCommand& e = table[count];
        ASSERT_NE(e.Signature, nullptr) << e.Name;
        EXPECT_EQ(CountCodes(e.Signature), CountNames(e.ArgNames)) << e.Name;
        EXPECT_TRUE(e.ArgNames == nullptr || *e.ArgNames != '\0') << e.Name;
        if (count > 0) {
            EXPECT_LT(std::strcmp(table[count - 1].Name, e.Name), 0) << e.Name;
        }
        EXPECT_EQ(FindMacroCommand(e.ActionId), &e) << "ActionId used twice: " << e.Name;
        EXPECT_STREQ(MacroActionName(e.ActionId), e.Name);
    }
    EXPECT_EQ(count, kMacroCommandCount);
    const MacroCommand& end = table[count];
    EXPECT_TRUE(end.ActionId == 0 && end.Signature == nullptr && end.ArgNames == nullptr);
    // Byte order puts upper case first.
    EXPECT_LT(FindMacroCommand(3), FindMacroCommand(39));  // LineUp before Linefeed
    EXPECT_STREQ(FindMacroCommand(33)->ArgNames, "String,Mode");
    EXPECT_STREQ(FindMacroCommand(75)->Signature, "*L*L*L*L");
    EXPECT_EQ(FindMacroCommand(48), nullptr);
}

// A frame that keeps count of what the callbacks asked of it, with real documents.
struct FakeFrame {
    std::vector<std::string> opened;
    std::vector<int> arranged;
    int closeAlls = 0;
    std::vector<std::unique_ptr<EditWindow>> windows;

    FrameWindows Windows() {
        FrameWindows f;
        f.context = this;
        f.openDocument = [](void* c, const std::string& name) {
            auto* self = static_cast<FakeFrame*>(c);
            self->opened.push_back(name);
            auto w = CreateEditWindow(name);
            if (!w) return -1;
            SetActiveEditWindow(w.get());
            FinishOpening(*w);
            self->windows.push_back(std::move(w));
            return 0;
        };
        f.closeAll = [](void* c) {
            ++static_cast<FakeFrame*>(c)->closeAlls;
            return 0;
        };
        f.arrange = [](void* c, int mode) { static_cast<FakeFrame*>(c)->arranged.push_back(mode); };
        return f;
    }
};

struct MacroRun : ::testing::Test {
    Options options;
    HeadlessHost host;
    FakeFrame frame;
    test::TestFolder folder;

    void SetUp() override {
        static test::TestFolder learnFolder;  // the learned file is made once per process
        if (TheLearnRecorder().LearnFileName.empty()) SetTemporaryBase(learnFolder.path());
        options.LineNumbers = 0;
        SetCurrentOptions(&options);
        host.writeMessagesToStderr = false;
        host.defaultAnswer = HeadlessHost::DefaultAnswer::Yes;
        host.Install();
        ReleaseShift();
        ForgetUndo();
        ClearMacroStop();
        SetMacroErrorReport(MacroErrorReport::Message);
        InstallFrameWindows(frame.Windows());
    }
    void TearDown() override {
        if (IsLearning()) ToggleLearnMode();
        InstallFrameWindows(FrameWindows{});
        SetActiveEditWindow(nullptr);
        frame.windows.clear();
        ReleaseShift();
        SetCurrentOptions(nullptr);
        SetTemporaryBase("");
    }

    std::string Script(const std::string& name, const std::string& body) {
        const std::string path = folder.File(name);
        WriteFile(path, "Macro \"test\"\nvar a, b, c, d;\nbegin\n" + body + "\nend\n");
        return path;
    }
    EditWindow& NewDocument(const std::string& text) {
        EXPECT_EQ(FrameOpenDocument(""), 0);
        EditWindow& w = *frame.windows.back();
        if (!text.empty()) InsertText(w, text);
        DocStart(w);
        return w;
    }
    std::vector<std::string> Printed(const std::string& body) {
        host.printedLines.clear();
        EXPECT_EQ(RunMacroFile(Script("p.vlm", body)), MACROLIB_OK);
        return host.printedLines;
    }
};

TEST_F(MacroRun, WithoutADocumentWindowActionsGiveMinusOneButAppLevelOnesZero) {
    EXPECT_EQ(Printed("Print (GetTotalLines ()); Print (SetLanguage (3)); Print (ArrangeTile ());"),
              (std::vector<std::string>{"-1", "0", "0"}));
}

TEST_F(MacroRun, ApplicationLevelFunctionsGoToTheFrame) {
    const std::string file = folder.File("f.txt");
    WriteFile(file, "x\r\n");
    EXPECT_EQ(Printed("Print (New ()); Open (\"" + file + "\"); ArrangeCols (); ArrangeRows ();"
                      "ArrangeCascade (); ArrangeTile (); CloseAll (); Print (GetTotalLines ());"),
              (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(frame.opened, (std::vector<std::string>{"", file}));
    EXPECT_EQ(frame.arranged, (std::vector<int>{1, 2, 4, 3}));
    EXPECT_EQ(frame.closeAlls, 1);
}

TEST_F(MacroRun, ToggleInsertModeSwitchesTheOption) {
    options.InsertMode = 1;
    Printed("ToggleInsertMode ();");
    EXPECT_EQ(options.InsertMode, 0);
}

TEST_F(MacroRun, EscapeAsksWhetherToStopAndNoGoesOn) {
    host.escapeAfterPolls = 3;
    host.answers = {IdNo};
    EXPECT_EQ(Printed("a := 1; a := 2; a := 3; a := 4; Print (a);"),
              (std::vector<std::string>{"4"}));
    EXPECT_EQ(host.messageIds, (std::vector<int>{kMacroStopQuestion}));

    host.messageIds.clear();
    host.escapeAfterPolls = 2;
    host.answers = {IdYes};
    host.printedLines.clear();
    EXPECT_EQ(RunMacroFile(Script("s.vlm", "a := 1; a := 2; Print (a);")), MACROLIB_STOPPED);
    EXPECT_TRUE(host.printedLines.empty());
    EXPECT_EQ(host.messageIds, (std::vector<int>{kMacroStopQuestion}));  // no 1115 after a stop
}

TEST_F(MacroRun, AStopRequestEndsAnEndlessLoopWithoutAQuestion) {
    RequestMacroStop();
    EXPECT_EQ(RunMacroFile(Script("l.vlm", "while 1 do a := a + 1; end;")), MACROLIB_STOPPED);
    EXPECT_TRUE(host.messageIds.empty());
    EXPECT_EQ(LastMacroError().Kind, MACROLIB_ABORTED);
}

// A loop of counting statements asks about Escape and stop requests in batches: both
// still end it.
TEST_F(MacroRun, AQuietEndlessLoopStopsOnEscapeAndOnARequestFromAnotherThread) {
    const std::string loop = Script("q.vlm", "while 1 do a := (a + 1) mod 7; end;");
    host.escapeAfterPolls = 5;
    host.answers = {IdYes};
    EXPECT_EQ(RunMacroFile(loop), MACROLIB_STOPPED);
    EXPECT_EQ(host.messageIds, (std::vector<int>{kMacroStopQuestion}));

    host.messageIds.clear();
    std::thread stopper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        RequestMacroStop();
    });
    EXPECT_EQ(RunMacroFile(loop), MACROLIB_STOPPED);
    stopper.join();
    EXPECT_TRUE(host.messageIds.empty());
}

TEST_F(MacroRun, ErrorsShowMessage1115InTheEditor) {
    EXPECT_EQ(RunMacroFile(Script("e.vlm", "a := 1 div 0;")), MACROLIB_FAILED);
    EXPECT_EQ(host.messageIds, (std::vector<int>{kMacroBrokenMessage}));
    EXPECT_EQ(LastMacroError().Line, 4);
    EXPECT_EQ(RunMacroFile(folder.File("missing.vlm")), MACROLIB_FAILED);
    EXPECT_EQ(host.messageIds.size(), 2u);
    // A script that cannot be opened is told in the program's own words, in its language.
    EXPECT_NE(host.messageTexts.back().find("Datei existiert nicht"), std::string::npos) << host.messageTexts.back();
    EXPECT_EQ(host.messageTexts.back().find("No such file"), std::string::npos);
    // Batch mode writes the line instead of showing the message.
    SetMacroErrorReport(MacroErrorReport::ErrorLine);
    testing::internal::CaptureStderr();
    RunMacroFile(Script("e.vlm", "a := 1 div 0;"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), folder.File("e.vlm") + ":4:8: division by zero\n");
    EXPECT_EQ(host.messageIds.size(), 2u);
}

// F2 Y onto an existing file: replaced only after Yes to 1335 (No shows the dialog again),
// and written by the safe save, so that a full disk leaves the old macro whole.
TEST_F(MacroRun, SavingTheLearnedMacroAsksFirstAndNeverCutsTheOldFile) {
    const std::string target = folder.File("old.vlm");
    const std::string old = "Macro \"old\"\nbegin\nend\n";
    WriteFile(target, old);
    ToggleLearnMode();
    ToggleLearnMode();
    host.fileNameAnswers.push_back({target});
    host.answers.push_back(IdNo);  // then the dialog again, cancelled
    EXPECT_FALSE(SaveLearnedMacro());
    EXPECT_EQ(host.messageIds, (std::vector<int>{kReplaceExistingFileMessage}));
    EXPECT_EQ(ReadFile(target), old);

    SetWriteStepHook([](WriteStep step) { return step == WriteStep::Write ? ENOSPC : 0; });
    host.fileNameAnswers.push_back({target});
    host.answers.push_back(IdYes);
    EXPECT_FALSE(SaveLearnedMacro());
    SetWriteStepHook(nullptr);
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(host.messageIds.size(), 3u);  // the question, then the disk's error

    host.fileNameAnswers.push_back({target});
    host.answers.push_back(IdYes);
    EXPECT_TRUE(SaveLearnedMacro());
    EXPECT_EQ(ReadFile(target), ReadFile(TheLearnRecorder().LearnFileName));
}

TEST_F(MacroRun, SendCommandTakesTheRoadOfAMenuItem) {
    EditWindow& w = NewDocument("f(a)");
    EXPECT_EQ(Printed("PosRight (); Print (SendCommand (53)); Print (GetCaretCol ());"),
              (std::vector<std::string>{"0", "4"}));       // to the matching bracket
    Printed("DocStart (); InsertText (\"xy\"); SendCommand (31);");   // undone
    EXPECT_EQ(w.doc->LineView(0), "f(a)");
    Printed("DocStart (); SendCommand (58);");                        // Tab
    EXPECT_EQ(w.doc->LineView(0), "\tf(a)");
    EXPECT_EQ(Printed("Print (SendCommand (999));"), (std::vector<std::string>{"-1"}));
    SetActiveEditWindow(nullptr);
    EXPECT_EQ(Printed("Print (SendCommand (31));"), (std::vector<std::string>{"-1"}));
}

TEST_F(MacroRun, LearnModeRefusesTheMacroCommandsWith1210) {
    ASSERT_EQ(SendFrameCommand(89), 0);
    ASSERT_TRUE(IsLearning());
    for (int command : {88, 90, 91, 92, 93}) {
        host.messageIds.clear();
        SendFrameCommand(command);
        EXPECT_EQ(host.messageIds, (std::vector<int>{kNotLearnableMessage})) << command;
        EXPECT_TRUE(host.dialogsWanted.empty());
    }
    EXPECT_TRUE(IsLearning());
    EXPECT_TRUE(frame.opened.empty());
    SendFrameCommand(89);
    EXPECT_FALSE(IsLearning());
    // Out of learn mode, 92 opens the learned macro as a document.
    SendFrameCommand(92);
    EXPECT_EQ(frame.opened, (std::vector<std::string>{TheLearnRecorder().LearnFileName}));
    EXPECT_EQ(frame.windows.back()->doc->LineView(0), "Macro \"Recorded\"");
}

TEST_F(MacroRun, ALearnedRunOfEditingReplaysToTheSameText) {
    const std::string start = "int f(int a)\n{\n  return a;\n}\nint g(void)\n{\n}";
    EditWindow& learned = NewDocument(start);
    ToggleLearnMode();
    NextRoutine(learned);
    LineEnd(learned);
    Linefeed(learned);
    for (char c : std::string("g(\"\xE4\");")) InsertChar(learned, static_cast<unsigned char>(c));
    DocStart(learned);
    ShiftKeyDown(learned);
    PosRight(learned);
    PosRight(learned);
    PosRight(learned);
    ShiftKeyUp(learned);
    Cut(learned);
    LineDown(learned);
    Paste(learned);
    DuplicateLine(learned);
    DeleteLine(learned);
    InsertLastDel(learned);
    DocEnd(learned);
    Backspace(learned);
    ToggleLearnMode();
    const std::string expected = [&] {
        std::string text;
        for (int i = 0; i < learned.LineCount(); ++i) text += std::string(learned.doc->LineView(i)) + "\n";
        return text;
    }();
    const int caretLine = learned.caretLine;
    const int caretCol = learned.caretCol;

    EditWindow& replay = NewDocument(start);
    EXPECT_EQ(SendFrameCommand(90), 0);  // run the learned macro
    EXPECT_EQ(LastMacroError().Kind, MACROLIB_NO_ERROR) << LastMacroError().Text;
    std::string text;
    for (int i = 0; i < replay.LineCount(); ++i) text += std::string(replay.doc->LineView(i)) + "\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(replay.caretLine, caretLine);
    EXPECT_EQ(replay.caretCol, caretCol);
    EXPECT_NE(ReadFile(TheLearnRecorder().LearnFileName).find("InsertChar (-28);"), std::string::npos);
}

// Random runs of learnable actions, learned and replayed on the same start: the replay must
// reach the same text and cursor, so every action records what it did, arguments included.
// (Tab over several lines is a command, not a macro action, and so is left out.)
TEST_F(MacroRun, RandomRunsReplayThroughLearnModeToTheSameText) {
    const std::string start = "int f(int a)\n{\n\treturn a; /* x */\n}\n\nvoid g(void) { h(\"(\"); }\n";
    std::mt19937 rng;
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const std::function<void(EditWindow&)> actions[] = {
        PosRight, PosLeft, LineUp, LineDown, ItemLeft, ItemRight, NextRoutine, PrevRoutine, LineStart,
        LineEnd, DocStart, DocEnd, PageDown, PageUp, InsertSpace, Backspace, Delete, InsertLine, DeleteLine,
        DuplicateLine, TruncateLineStart, TruncateLineEnd, InsertLastDel, Linefeed, PushPosition,
        GotoLastPushPos, GotoMatchingBracket, Cut, Copy, Paste, DragAll, ShiftKeyDown, ShiftKeyUp,
        [&](EditWindow& w) { InsertChar(w, "aZ (;\t\xE4\"\\"[pick(9)]); },
        [&](EditWindow& w) { InsertText(w, pick(2) ? "x\"y" : "\xDF\\n"); },
    };
    const int kinds = static_cast<int>(std::size(actions));
    auto textOf = [](const EditWindow& w) {
        std::string text;
        for (int i = 0; i < w.LineCount(); ++i) text += std::string(w.doc->LineView(i)) + "\n";
        return text;
    };
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        rng.seed(seed);
        options.InsertMode = pick(2);
        options.IndentMode = pick(2);
        options.AutoDelDrag = pick(2);
        host.clipboard = "clip\r\nboard";
        EditWindow& learned = NewDocument(start);
        ASSERT_TRUE(ToggleLearnMode());
        for (int step = 0; step < 400; ++step) actions[pick(kinds)](learned);
        ShiftKeyUp(learned);
        ASSERT_FALSE(ToggleLearnMode());

        host.clipboard = "clip\r\nboard";
        EditWindow& replay = NewDocument(start);
        ASSERT_EQ(SendFrameCommand(90), 0);
        ASSERT_EQ(LastMacroError().Kind, MACROLIB_NO_ERROR) << LastMacroError().Text;
        EXPECT_EQ(textOf(replay), textOf(learned));
        EXPECT_EQ((std::pair{replay.caretLine, replay.caretCol}), (std::pair{learned.caretLine, learned.caretCol}));
        EXPECT_NE(textOf(replay), start) << "the run changed nothing";
    }
}

TEST_F(MacroRun, AMacroThatRunsItselfStopsAtTheNestingLimit) {
    const std::string self = Script("self.vlm", "a := SendCommand (90); Print (\"back\");");
    const std::string saved = TheLearnRecorder().LearnFileName;
    TheLearnRecorder().LearnFileName = self;
    host.printedLines.clear();
    const int failures = MacroFailureCount();
    EXPECT_EQ(RunMacroFile(self), MACROLIB_OK);
    // The script went on, but the refused run counts as a failure for batch mode's status.
    EXPECT_EQ(MacroFailureCount(), failures + 1);
    TheLearnRecorder().LearnFileName = saved;
    EXPECT_EQ(host.printedLines.size(), std::size_t(kMaxMacroNesting));
    EXPECT_EQ(host.messageIds, (std::vector<int>{kMacroBrokenMessage}));
}

}  // namespace
}  // namespace varlin
