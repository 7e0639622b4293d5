// The stack of remembered positions of a document window: the four newest cursor
// positions pushed with F2 <, newest first, and the jump back to the newest one, which
// does not pop it (repeating the jump returns to the same place).
#include "editing/EditActions.h"

#include "editing/Recording.h"
#include "platform/Messages.h"

namespace varlin {
namespace {
constexpr int kMessageNoPosition = 1203;
}  // namespace

void PushPosition(EditWindow& w) {
    RecordAction(kActPushPosition);
    for (int k = kPushedPositions - 1; k > 0; --k) {
        w.pushedLines[k] = w.pushedLines[k - 1];
        w.pushedCols[k] = w.pushedCols[k - 1];
    }
    w.pushedLines[0] = w.caretLine;
    w.pushedCols[0] = w.caretCol;
}

void GotoLastPushPos(EditWindow& w) {
    RecordAction(kActGotoLastPushPos);
    ClearDrag(w);
    if (w.pushedLines[0] == -1) {
        ShowMessage(kMessageNoPosition);
        return;
    }
    CenterOn(w, w.pushedLines[0], w.pushedCols[0]);
    SetCaret(w, w.pushedLines[0], w.pushedCols[0]);
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
}

}  // namespace varlin
