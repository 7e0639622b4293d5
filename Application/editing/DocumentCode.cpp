// Switching a document between the global code table and UTF-8 by hand.
#include "editing/EditActions.h"

#include "editing/UndoRecord.h"

namespace varlin {

void SetDocumentUtf8(EditWindow& w, bool utf8) {
    if (w.doc->utf8 == utf8) return;
    ForgetUndo();  // the one undo step remembers a column, which now means another character
    w.doc->utf8 = utf8;
    ClearDrag(w);
    SetCaret(w, w.caretLine, w.caretCol);
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
}

void ToggleDocumentUtf8(EditWindow& w) { SetDocumentUtf8(w, !w.doc->utf8); }

}  // namespace varlin
