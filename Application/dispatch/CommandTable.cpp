// The rows of the document window's command table.
#include "dispatch/CommandTable.h"

#include "dispatch/Dispatch.h"
#include "editing/BlockActions.h"
#include "editing/EditActions.h"
#include "editing/GotoPosition.h"
#include "editing/HtmlCommands.h"
#include "editing/LanguageChoice.h"
#include "editing/Printing.h"
#include "editing/Prototypes.h"
#include "editing/Sort.h"
#include "editing/UndoRecord.h"
#include "search/FindReplace.h"

namespace varlin {
namespace {

void RunSave(EditWindow& w) { SaveDocument(w); }
void RunSaveAs(EditWindow& w) { SaveDocumentAs(w, ""); }
void RunAppend(EditWindow& w) { Append(w, ""); }
void RunSplit(EditWindow& w) { Split(w, ""); }
void RunFind(EditWindow& w) { CommandFind(w); }
void RunFindNext(EditWindow& w) { CommandFindNext(w); }
void RunReplace(EditWindow& w) { CommandReplace(w); }
void RunSort(EditWindow& w) { CommandSort(w); }
void RunGoto(EditWindow& w) { GotoPosition(w, -1, -1); }
void RunPrototypes(EditWindow& w) { CommandMakePrototypes(w); }
void RunFromHtml(EditWindow& w) { CommandLinesFromHtml(w); }
void RunToHtml(EditWindow& w) { CommandLinesToHtml(w); }
// Tab and Shift+Tab share the command; the Shift state tells them apart.
void RunTab(EditWindow& w) { TabKey(w, IsShiftDown() ? TabDirection::Outdent : TabDirection::Indent); }

constexpr CommandEffect kRun = CommandEffect::None;

constexpr DocumentCommand kTable[] = {
    {13, RunSave, kRun},
    {14, RunSaveAs, kRun},
    {15, CloseDocument, kRun},
    {16, Print, kRun},
    {31, Undo, kRun},
    {402, Redo, kRun},
    {405, ToggleDocumentUtf8, kRun},
    {kCmdDocumentLanguage, ChooseDocumentLanguage, kRun},
    {32, Delete, kRun},
    {33, Cut, kRun},
    {34, Copy, kRun},
    {35, Paste, kRun},
    {36, RunAppend, kRun},
    {37, RunSplit, kRun},
    {38, TruncateFile, kRun},
    {39, RunGoto, kRun},
    {40, RunFind, kRun},
    {41, RunFindNext, kRun},
    {42, RunReplace, kRun},
    {44, InsertLine, kRun},
    {45, DeleteLine, kRun},
    {46, DuplicateLine, kRun},
    {47, TruncateLineEnd, kRun},
    {48, TruncateLineStart, kRun},
    {49, InsertSpace, kRun},
    {50, InsertLastDel, kRun},
    {51, PushPosition, kRun},
    {52, GotoLastPushPos, kRun},
    {53, GotoMatchingBracket, kRun},
    {54, RunSort, kRun},
    {55, Linefeed, kRun},
    {56, Backspace, kRun},
    {kCmdRoutineList, nullptr, CommandEffect::OpenRoutineList},
    {58, RunTab, kRun},
    {201, LineUp, kRun},
    {202, LineDown, kRun},
    {203, PosRight, kRun},
    {204, PosLeft, kRun},
    {205, PageUp, kRun},
    {206, PageDown, kRun},
    {207, PageLeft, kRun},
    {208, PageRight, kRun},
    {210, LineStart, kRun},
    {211, LineEnd, kRun},
    {212, DocStart, kRun},
    {213, DocEnd, kRun},
    {214, ItemLeft, kRun},
    {215, ItemRight, kRun},
    {216, PrevRoutine, kRun},
    {217, NextRoutine, kRun},
    {233, DragAll, kRun},
    {240, RunPrototypes, kRun},
    {301, RunFromHtml, kRun},
    {302, RunToHtml, kRun},
};

}  // namespace

std::span<const DocumentCommand> DocumentCommandTable() { return kTable; }

namespace {

const DocumentCommand* FindRow(int commandId) {
    for (const DocumentCommand& row : kTable) {
        if (row.commandId == commandId) return &row;
    }
    return nullptr;
}

bool RowHasOperation(const DocumentCommand& row) {
    return row.run != nullptr || row.effect != CommandEffect::None;
}

}  // namespace

bool DocumentCommandHasOperation(int commandId) {
    const DocumentCommand* row = FindRow(commandId);
    return row != nullptr && RowHasOperation(*row);
}

CommandEffect RunWindowCommand(EditWindow& w, int commandId) {
    const DocumentCommand* row = FindRow(commandId);
    if (row == nullptr || !RowHasOperation(*row)) return CommandEffect::NotHandled;
    if (row->run) row->run(w);
    return row->effect;
}

}  // namespace varlin
