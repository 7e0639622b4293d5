// The core's command router: application-level commands here or at the owner of the
// windows, document commands through the document window's command table.
#include "frame/FrameCommands.h"

#include "dispatch/CommandTable.h"
#include "dispatch/Dispatch.h"
#include "editing/ColumnLayout.h"
#include "editing/EditWindow.h"
#include "editing/MacroCommands.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "frame/CommandRouting.h"
#include "frame/KeyAssignment.h"
#include "frame/OptionToggles.h"
#include "macro/LearnCommands.h"
#include "macro/MacroList.h"
#include "macro/MacroRun.h"
#include "platform/Host.h"
#include "settings/Options.h"
#include "settings/SettingsSheet.h"

#include <vector>

namespace varlin {
namespace {

FrameWindows g_windows;

const char* FirstText(OPERAND** operands, std::int32_t count) {
    if (operands == nullptr || count < 1 || operands[0] == nullptr) return nullptr;
    return static_cast<const char*>(operands[0]->Value);
}

constexpr int kOpenTitle = 1501;  // "Öffnen"

// Command 12 without windows of our own: the host's open dialog, every chosen file in a
// document of its own; one Open line is recorded, for the first file that did open (the
// Qt frame's dialog records by the same rule).
int OpenWithDialog() {
    FileDialogRequest request;
    request.mode = FileDialogMode::OpenMany;
    request.titleId = kOpenTitle;
    request.filter = DialogFileFilter(CurrentOptions().FileNameFilter);
    request.registryValue = "OpenFile";
    std::vector<std::string> names;
    if (!HostAskFileNames(request, names) || names.empty()) return 0;
    const std::string* opened = nullptr;
    for (const std::string& name : names) {
        if (FrameOpenDocument(name) == 0 && !opened) opened = &name;
    }
    if (opened) RecordFileName(kMacroOpen, *opened);
    return 0;
}

// Command 73 without windows of our own: the host's sheet, the documents following it.
int CommandSettings() {
    SettingsSheetRecord record;
    record.options = &CurrentOptions();
    record.optionsChanged = [](const Options& before) { FollowColumnLayout(before); };
    EditOptions(record);
    return 0;
}

int SaveLearnedThenAssign() {
    if (SaveLearnedMacro() && g_windows.f3Keys) CommandAssignKeys(*g_windows.f3Keys);
    return 0;
}

int AssignKeys() { return g_windows.f3Keys ? CommandAssignKeys(*g_windows.f3Keys) : -1; }

struct CoreCommand {
    int commandId;
    int (*run)();
};

// The application-level commands that the core carries out; the others (settings,
// search-and-open, language, about box, ...) need windows of an owner.
constexpr CoreCommand kCoreCommands[] = {
    {kCmdNew, [] { FrameOpenDocument(""); return 0; }},
    {kCmdOpen, OpenWithDialog},
    {kCmdInsertMode, [] { FrameToggleInsertMode(); return 0; }},
    {kCmdCodeTable, [] { ToggleCodeTable(CurrentOptions()); return 0; }},
    {kCmdViewToggle, [] { ToggleViewChars(CurrentOptions()); return 0; }},
    {kCmdCycleCode, [] { CycleCodeTable(CurrentOptions(), ActiveEditWindow()); return 0; }},
    {kCmdRunMacro, CommandRunMacro},
    {kCmdLearnMacro, CommandToggleLearnMode},
    {kCmdRunLearned, CommandRunLearnedMacro},
    {kCmdSaveLearned, SaveLearnedThenAssign},
    {kCmdEditLearned, CommandEditLearnedMacro},
    {kCmdEditMacro, CommandEditMacro},
    {kCmdAssignKeys, AssignKeys},
    {kCmdMacroList, CommandMacroList},
    {kCmdSettings, CommandSettings},
    {kCmdArrangeCols, [] { FrameArrange(1); return 0; }},
    {kCmdArrangeRows, [] { FrameArrange(2); return 0; }},
    {kCmdTile, [] { FrameArrange(3); return 0; }},
    {kCmdCascade, [] { FrameArrange(4); return 0; }},
    {kCmdCloseAll, [] { FrameCloseAll(); return 0; }},
};

const CoreCommand* FindCoreCommand(int commandId) {
    for (const CoreCommand& c : kCoreCommands) {
        if (c.commandId == commandId) return &c;
    }
    return nullptr;
}

int CoreFrameCommand(int commandId) {
    const CoreCommand* command = FindCoreCommand(commandId);
    return command ? command->run() : -1;
}

}  // namespace

FrameWindows& TheFrameWindows() { return g_windows; }

void InstallFrameWindows(const FrameWindows& windows) {
    g_windows = windows;
    MacroRunHooks hooks;
    hooks.callFunction = Macro_Function_Callback;
    hooks.sendCommand = SendFrameCommand;
    hooks.openDocument = FrameOpenDocument;
    SetMacroRunHooks(hooks);
    SetCloseRequestHandler(g_windows.closeDocument ? [](EditWindow& w) {
        g_windows.closeDocument(g_windows.context, w);
    } : CloseRequestHandler(nullptr));
}

int SendFrameCommand(int commandId) {
    if (g_windows.runCommand) return g_windows.runCommand(g_windows.context, commandId);
    return RouteCommand(commandId);
}

bool CommandHasOperation(int commandId) {
    if (g_windows.hasOperation) return g_windows.hasOperation(g_windows.context, commandId);
    if (commandId == kCmdAssignKeys) return g_windows.f3Keys != nullptr;
    if (RouteOfCommand(commandId) != CommandRoute::Document) return FindCoreCommand(commandId) != nullptr;
    // Without a window of the owner's, the routine list (57) has nowhere to open.
    return DocumentCommandHasOperation(commandId) &&
           (g_windows.documentCommand || commandId != kCmdRoutineList);
}

int RouteCommand(int commandId) {
    if (!CommandHasOperation(commandId)) return -1;
    EditWindow* w = ActiveEditWindow();
    switch (RouteOfCommand(commandId)) {
    case CommandRoute::Frame: return CoreFrameCommand(commandId);
    case CommandRoute::FrameThenDocument: {
        int result = CoreFrameCommand(commandId);
        if (w != nullptr) RunDocumentCommand(*w, commandId);
        return result;
    }
    case CommandRoute::Document: break;
    }
    return w == nullptr ? -1 : RunDocumentCommand(*w, commandId);
}

int RunDocumentCommand(EditWindow& w, int commandId) {
    if (g_windows.documentCommand)
        return g_windows.documentCommand(g_windows.context, w, commandId);
    // The routine list (57) needs a window of the owner's: without one nothing happens.
    const CommandEffect effect = RunWindowCommand(w, commandId);
    return effect == CommandEffect::None ? 0 : -1;
}

int FrameOpenDocument(const std::string& fileName) {
    if (g_windows.openDocument == nullptr) return -1;
    return g_windows.openDocument(g_windows.context, fileName);
}

int FrameCloseAll() {
    if (g_windows.closeAll == nullptr) return 0;
    return g_windows.closeAll(g_windows.context);
}

void FrameArrange(int mode) {
    if (g_windows.arrange) g_windows.arrange(g_windows.context, mode);
}

void FrameToggleInsertMode() {
    // The Qt frame's own switch also updates its status line and menu.
    if (g_windows.runCommand) {
        g_windows.runCommand(g_windows.context, kCmdInsertMode);
        return;
    }
    ForgetUndo();
    ToggleInsertMode(CurrentOptions());
    RecordAction(kMacroToggleInsertMode);
    if (EditWindow* w = ActiveEditWindow()) RefreshStatus(*w, kStatusAll);
}

std::int32_t Macro_Function_Callback(std::int32_t actionId, OPERAND** operands,
                                     std::int32_t count, char*) {
    switch (actionId) {
    case kMacroNew: FrameOpenDocument(""); return 0;
    case kMacroOpen: {
        const char* name = FirstText(operands, count);
        if (name == nullptr) return -1;
        if (FrameOpenDocument(name) == 0) RecordFileName(kMacroOpen, name);
        return 0;
    }
    case kMacroSetLanguage: return 0;
    case kMacroCloseAll: FrameCloseAll(); return 0;
    case kMacroArrangeCols: FrameArrange(1); return 0;
    case kMacroArrangeRows: FrameArrange(2); return 0;
    case kMacroArrangeCascade: FrameArrange(4); return 0;
    case kMacroArrangeTile: FrameArrange(3); return 0;
    case kMacroToggleInsertMode: FrameToggleInsertMode(); return 0;
    default: break;
    }
    EditWindow* w = ActiveEditWindow();
    if (w == nullptr) return -1;
    return DispatchAction(*w, actionId, operands, count);
}

}  // namespace varlin
