// UndoRecord: the program's single undo step. Only the kind is kept so far; what each
// save stores, and the Undo command that applies it, belong to the record's own work.
#include "editing/UndoRecord.h"

namespace varlin {
namespace {
int g_undoKind = kUndoNone;
}  // namespace

int GetUndoKind() { return g_undoKind; }

void ForgetUndo() { g_undoKind = kUndoNone; }

void SaveLineForUndo(EditWindow&, std::string_view) {
    if (g_undoKind != kUndoLine) g_undoKind = kUndoLine;
}

void SaveTextForUndo(EditWindow&, std::string_view text) {
    g_undoKind = text.empty() ? kUndoNone : kUndoDeletedText;
}

void SaveRangeForUndo(EditWindow&, const DragRange&) { g_undoKind = kUndoDeletedText; }

void BeginInsertUndo(EditWindow&) { g_undoKind = kUndoNone; }

void EndInsertUndo(EditWindow&) { g_undoKind = kUndoInsertion; }

}  // namespace varlin
