// The dispatch table of macro actions. Each row reads its operands, runs the action that
// keys and menus run as well (so that it records itself exactly as they do) and gives the
// script its value. Rows whose action belongs to a part that does not exist yet give -1.
#include "dispatch/Dispatch.h"

#include "document/TextFile.h"
#include "editing/BlockActions.h"
#include "editing/EditActions.h"
#include "editing/GotoPosition.h"
#include "editing/MacroCommands.h"
#include "editing/Printing.h"
#include "editing/Recording.h"
#include "editing/Sort.h"
#include "editing/UndoRecord.h"
#include "search/FindReplace.h"
#include "editing/UndoHistory.h"

#include <climits>

namespace varlin {
namespace {

CloseRequestHandler g_closeRequest = nullptr;

// The operands of one call; every access checks the count and the pointers, so that a
// caller that breaks the signature gets -1 instead of a crash.
struct Operands {
    OPERAND** list;
    int count;

    bool Has(int n) const {
        if (n > 0 && (list == nullptr || count < n)) return false;
        for (int i = 0; i < n; ++i)
            if (list[i] == nullptr || list[i]->Value == nullptr) return false;
        return true;
    }
    const char* Text(int i) const { return static_cast<const char*>(list[i]->Value); }
    std::int32_t Long(int i) const { return *static_cast<const std::int32_t*>(list[i]->Value); }
    std::int32_t* Out(int i) const { return static_cast<std::int32_t*>(list[i]->Value); }
};

// A 1-based number from a script as a 0-based one; INT_MIN (which has no 0-based form)
// becomes -1, which the cursor operations read as "keep the current value".
int ZeroBased(std::int32_t n) { return n == INT_MIN ? -1 : n - 1; }

using Plain = void (*)(EditWindow&);

// The actions without arguments and without a value, by ActionId.
Plain PlainAction(int actionId) {
    switch (actionId) {
    case kActPosRight: return PosRight;
    case kActPosLeft: return PosLeft;
    case kActLineUp: return LineUp;
    case kActLineDown: return LineDown;
    case kActItemLeft: return ItemLeft;
    case kActItemRight: return ItemRight;
    case kActNextRoutine: return NextRoutine;
    case kActPrevRoutine: return PrevRoutine;
    case kActLineStart: return LineStart;
    case kActLineEnd: return LineEnd;
    case kActDocStart: return DocStart;
    case kActDocEnd: return DocEnd;
    case kActPageUp: return PageUp;
    case kActPageDown: return PageDown;
    case kActPageLeft: return PageLeft;
    case kActPageRight: return PageRight;
    case kActTruncateLineStart: return TruncateLineStart;
    case kActTruncateLineEnd: return TruncateLineEnd;
    case kActDeleteLine: return DeleteLine;
    case kActInsertLine: return InsertLine;
    case kActCut: return Cut;
    case kActPaste: return Paste;
    case kActCopy: return Copy;
    case kActDelete: return Delete;
    case kActTruncateFile: return TruncateFile;
    case kActBackspace: return Backspace;
    case kActLinefeed: return Linefeed;
    case kActDuplicateLine: return DuplicateLine;
    case kActInsertLastDel: return InsertLastDel;
    case kActInsertSpace: return InsertSpace;
    case kActShiftKeyDown: return ShiftKeyDown;
    case kActShiftKeyUp: return ShiftKeyUp;
    case kActPushPosition: return PushPosition;
    case kActGotoLastPushPos: return GotoLastPushPos;
    case kActDragAll: return DragAll;
    default: return nullptr;
    }
}

// The rows with arguments or a value of their own.
std::int32_t ActionWithOperands(EditWindow& w, int actionId, const Operands& op) {
    switch (actionId) {
    case kMacroSave: SaveDocument(w); return 0;
    case kMacroSaveAs:
        if (!op.Has(1)) return -1;
        SaveDocumentAs(w, op.Text(0));
        return 0;
    case kMacroClose: CloseDocument(w); return 0;
    case kMacroPrint: Print(w); return 0;
    case kActAppend:
        if (!op.Has(1)) return -1;
        Append(w, op.Text(0));
        return 0;
    case kActSplit:
        if (!op.Has(1)) return -1;
        Split(w, op.Text(0));
        return 0;
    case kFindActionId:
        if (!op.Has(2)) return -1;
        return FindAction(w, op.Text(0), op.Long(1));
    case kFindNextActionId: return FindNextAction(w);
    case kReplaceActionId:
        if (!op.Has(3)) return -1;
        return ReplaceAction(w, op.Text(0), op.Text(1), op.Long(2));
    case kMacroGoto:
        if (!op.Has(2)) return -1;
        GotoPosition(w, op.Long(0), op.Long(1));
        return 0;
    case kSortActionId:
        if (!op.Has(1)) return -1;
        return SortAction(w, op.Long(0));
    case kMacroGetTotalLines: return w.LineCount();
    case kMacroGetCaretLine: return w.caretLine + 1;
    case kMacroGetCaretCol: return w.caretCol + 1;
    case kActInsertChar:
        if (!op.Has(1)) return -1;
        InsertChar(w, op.Long(0));
        return 0;
    case kActInsertText:
        if (!op.Has(1)) return -1;
        InsertText(w, op.Text(0));
        return 0;
    case kMacroSetCodeTable:
        // 3 reads the document as UTF-8, 0 through the global code table.
        if (!op.Has(1) || (op.Long(0) != 0 && op.Long(0) != 3)) return -1;
        SetDocumentUtf8(w, op.Long(0) == 3);
        return 0;
    case kMacroIsLineEmpty:
        if (!op.Has(1)) return -1;
        return w.doc->IsLineEmpty(ZeroBased(op.Long(0)));
    case kMacroSetCaret:
        if (!op.Has(2)) return -1;
        SetCaret(w, ZeroBased(op.Long(0)), ZeroBased(op.Long(1)));
        return 0;
    case kMacroGetCharacter: return GetCharacter(w);
    case kMacroGetDrag: {
        if (!op.Has(4)) return -1;
        int fromLine = 0, fromCol = 0, toLine = 0, toCol = 0;
        if (GetDragForMacro(w, fromLine, fromCol, toLine, toCol) != 1) return 0;
        *op.Out(0) = fromLine;
        *op.Out(1) = fromCol;
        *op.Out(2) = toLine;
        *op.Out(3) = toCol;
        return 1;
    }
    case kMacroSetDrag:
        if (!op.Has(4)) return -1;
        SetDragFromMacro(w, op.Long(0), op.Long(1), op.Long(2), op.Long(3));
        return 0;
    default:
        // New, Open, SetLanguage, the window commands and ToggleInsertMode are the
        // frame's.
        return -1;
    }
}

}  // namespace

std::int32_t DispatchAction(EditWindow& w, int actionId, OPERAND** operands, int count) {
    if (actionId < 1 || actionId > 80) return -1;
    if (Plain action = PlainAction(actionId)) {
        action(w);
        return 0;
    }
    return ActionWithOperands(w, actionId, Operands{operands, count});
}

int SaveDocument(EditWindow& w) {
    RecordAction(kMacroSave);
    return StoreDocument(w);
}

int StoreDocument(EditWindow& w) {
    switch (Save(*w.doc)) {
    case SaveOutcome::Saved:
        ForgetUndo();
        w.modified = 0;
        HistorySaved(w);
        break;
    case SaveOutcome::SavedAs:
        w.modified = 0;
        HistorySaved(w);
        break;
    case SaveOutcome::Failed:
    case SaveOutcome::Cancelled:
        return -1;
    }
    RefreshStatus(w, kStatusAll);
    return 0;
}

int SaveDocumentAs(EditWindow& w, const char* name) {
    if (SaveAs(*w.doc, name ? name : "") != 1) return -1;
    w.modified = 0;
    HistorySaved(w);
    RefreshStatus(w, kStatusAll);
    return 0;
}

void CloseDocument(EditWindow& w) {
    RecordAction(kMacroClose);
    if (g_closeRequest) g_closeRequest(w);
}

void SetCloseRequestHandler(CloseRequestHandler handler) { g_closeRequest = handler; }

}  // namespace varlin
