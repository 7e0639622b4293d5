// Command routing: which CommandId the frame carries out itself and which it passes on
// to the active document window. The table is the only place that decides it.
#pragma once

namespace varlin {

enum class CommandRoute {
    Document,          // the active document window's command table runs it (dropped without one)
    Frame,             // an application-level command
    FrameThenDocument, // the frame runs it, then passes it on as well (code table, 81)
};

// Command ids of the application-level commands.
enum FrameCommand : int {
    kCmdNew = 11, kCmdOpen = 12, kCmdBrowseOpen = 18, kCmdExit = 19,
    kCmdSettings = 73, kCmdDllTest = 76, kCmdInsertMode = 79, kCmdCodeTable = 81,
    kCmdButtons = 82, kCmdStatusLine = 83,
    kCmdRunMacro = 88, kCmdLearnMacro = 89, kCmdRunLearned = 90, kCmdSaveLearned = 91,
    kCmdEditLearned = 92, kCmdEditMacro = 93, kCmdAssignKeys = 94, kCmdMacroList = 95,
    kCmdLanguage = 97,
    kCmdArrangeCols = 101, kCmdArrangeRows = 102, kCmdCascade = 103, kCmdTile = 104,
    kCmdCloseAll = 106, kCmdAbout = 122, kCmdTranslation = 303, kCmdViewToggle = 401, kCmdCycleCode = 406,
};

CommandRoute RouteOfCommand(int commandId);

}  // namespace varlin
