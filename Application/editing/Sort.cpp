// Sorting the marked lines: the action's steps around LineStore::SortLines, which does
// the work on the entries alone.
#include "editing/Sort.h"

#include "document/LineStore.h"
#include "editing/EditWindow.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "platform/Host.h"
#include "editing/UndoHistory.h"

namespace varlin {

const LookupEntry kSortOrderRadios[] = {
    {0, kSortAscendingRadio},
    {1, kSortDescendingRadio},
    {-1, -1},
};

int SortRadioForOrder(std::int32_t order) { return LookupPair(order, kSortOrderRadios); }

std::int32_t SortOrderForRadio(int radioId) {
    int order = LookupPairReverse(radioId, kSortOrderRadios);
    return order < 0 ? 0 : order;
}

void Sort(EditWindow& w, std::int32_t order) {
    // Whatever happens next, an older step must not be undone over sorted lines.
    ForgetUndo();
    BeginHistoryStep(w);
    if (w.LineCount() == 0) {
        HostBeep();
        return;
    }
    DragRange range;
    if (GetNormalizedDrag(w, range) == kDragNone) {
        HostBeep();
        return;
    }
    if (order < 0) {
        SortDialogRecord record;
        if (HostRunDialog(DialogId::Sort, &record) != 1) return;
        order = record.order;
    }
    RecordLong(kSortActionId, order);
    w.doc->SortLines(range.FromLine, range.ToLine, order != 0);
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
    w.modified = 1;
}

int SortAction(EditWindow& w, std::int32_t order) {
    // A macro names its order: a negative one must not open a dialog in the middle of a
    // script (or of a batch run without windows).
    Sort(w, order < 0 ? static_cast<std::int32_t>(SortOrder::Descending) : order);
    return 0;
}

int CommandSort(EditWindow& w) {
    Sort(w, -1);
    return 0;
}

}  // namespace varlin
