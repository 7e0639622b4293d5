// The core's command router and, until the document window brings its own, the core's
// table of document commands: each CommandId runs the same operation as its key.
#include "frame/FrameCommands.h"

#include "editing/BlockActions.h"
#include "editing/Dispatch.h"
#include "editing/EditActions.h"
#include "editing/HtmlCommands.h"
#include "editing/Prototypes.h"
#include "editing/Sort.h"
#include "editing/UndoRecord.h"
#include "frame/CommandRouting.h"
#include "frame/OptionToggles.h"
#include "macro/LearnCommands.h"
#include "macro/MacroCommands.h"
#include "macro/Recording.h"
#include "platform/Host.h"
#include "resources/StringTable.h"
#include "search/FindReplace.h"
#include "settings/Options.h"

#include <vector>

namespace varlin {
namespace {

FrameWindows g_windows;

constexpr int kOpenTitle = 1501;  // "Öffnen"

using Operation = void (*)(EditWindow&);

struct DocumentCommandEntry {
    int commandId;
    Operation run;
};

// The document window's commands whose operations exist, by CommandId.
const DocumentCommandEntry kDocumentCommands[] = {
    {13, [](EditWindow& w) { SaveDocument(w); }},
    {14, [](EditWindow& w) { SaveDocumentAs(w, ""); }},
    {15, CloseDocument},
    {31, Undo},
    {32, Delete},
    {33, Cut},
    {34, Copy},
    {35, Paste},
    {36, [](EditWindow& w) { Append(w, ""); }},
    {37, [](EditWindow& w) { Split(w, ""); }},
    {38, TruncateFile},
    {kFindCommandId, [](EditWindow& w) { CommandFind(w); }},
    {kFindNextCommandId, [](EditWindow& w) { CommandFindNext(w); }},
    {kReplaceCommandId, [](EditWindow& w) { CommandReplace(w); }},
    {44, InsertLine},
    {45, DeleteLine},
    {46, DuplicateLine},
    {47, TruncateLineEnd},
    {48, TruncateLineStart},
    {49, InsertSpace},
    {50, InsertLastDel},
    {51, PushPosition},
    {52, GotoLastPushPos},
    {53, GotoMatchingBracket},
    {kSortCommandId, [](EditWindow& w) { CommandSort(w); }},
    {55, Linefeed},
    {56, Backspace},
    {58, [](EditWindow& w) {
         TabKey(w, IsShiftDown() ? TabDirection::Outdent : TabDirection::Indent);
     }},
    {201, LineUp},
    {202, LineDown},
    {203, PosRight},
    {204, PosLeft},
    {205, PageUp},
    {206, PageDown},
    {207, PageLeft},
    {208, PageRight},
    {210, LineStart},
    {211, LineEnd},
    {212, DocStart},
    {213, DocEnd},
    {214, ItemLeft},
    {215, ItemRight},
    {216, PrevRoutine},
    {217, NextRoutine},
    {233, DragAll},
    {kMakePrototypesCommand, [](EditWindow& w) { CommandMakePrototypes(w); }},
    {kLinesFromHtmlCommand, [](EditWindow& w) { CommandLinesFromHtml(w); }},
    {kLinesToHtmlCommand, [](EditWindow& w) { CommandLinesToHtml(w); }},
};

int CoreDocumentCommand(EditWindow& w, int commandId) {
    for (const DocumentCommandEntry& e : kDocumentCommands) {
        if (e.commandId != commandId) continue;
        e.run(w);
        return 0;
    }
    return -1;
}

// Command 12 without windows of our own: the host's open dialog, every chosen file in a
// document of its own; the first is recorded.
int OpenWithDialog() {
    FileDialogRequest request;
    request.mode = FileDialogMode::OpenMany;
    request.titleId = kOpenTitle;
    request.filter = CurrentOptions().FileNameFilter;
    request.registryValue = "OpenFile";
    std::vector<std::string> names;
    if (!HostAskFileNames(request, names) || names.empty()) return 0;
    RecordFileName(kMacroOpen, names.front());
    for (const std::string& name : names) FrameOpenDocument(name);
    return 0;
}

// The application-level commands that the core carries out.
int CoreFrameCommand(int commandId) {
    switch (commandId) {
    case kCmdNew: FrameOpenDocument(""); return 0;
    case kCmdOpen: return OpenWithDialog();
    case kCmdInsertMode: FrameToggleInsertMode(); return 0;
    case kCmdCodeTable: ToggleCodeTable(CurrentOptions()); return 0;
    case kCmdViewToggle: ToggleViewChars(CurrentOptions()); return 0;
    case kCmdRunMacro: return CommandRunMacro();
    case kCmdLearnMacro: return CommandToggleLearnMode();
    case kCmdRunLearned: return CommandRunLearnedMacro();
    case kCmdSaveLearned: return CommandSaveLearnedMacro();
    case kCmdEditLearned: return CommandEditLearnedMacro();
    case kCmdEditMacro: return CommandEditMacro();
    case kCmdArrangeCols: FrameArrange(1); return 0;
    case kCmdArrangeRows: FrameArrange(2); return 0;
    case kCmdTile: FrameArrange(3); return 0;
    case kCmdCascade: FrameArrange(4); return 0;
    case kCmdCloseAll: FrameCloseAll(); return 0;
    default: return -1;  // its part is not there (settings, key tables, about box, ...)
    }
}

}  // namespace

FrameWindows& TheFrameWindows() { return g_windows; }

void InstallFrameWindows(const FrameWindows& windows) {
    g_windows = windows;
    SetCloseRequestHandler(g_windows.closeDocument ? [](EditWindow& w) {
        g_windows.closeDocument(g_windows.context, w);
    } : CloseRequestHandler(nullptr));
}

int SendFrameCommand(int commandId) {
    if (g_windows.runCommand) {
        g_windows.runCommand(g_windows.context, commandId);
        return 0;
    }
    return RouteCommand(commandId);
}

int RouteCommand(int commandId) {
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
    return CoreDocumentCommand(w, commandId);
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
    ForgetUndo();
    ToggleInsertMode(CurrentOptions());
    RecordAction(kMacroToggleInsertMode);
    if (EditWindow* w = ActiveEditWindow()) RefreshStatus(*w, kStatusAll);
}

}  // namespace varlin
