// The marked range ("Drag") of a document window: starting, extending and clearing it,
// its normalised form with both ends inclusive, and the 1-based form the macro actions
// SetDrag and GetDrag exchange. The caret is hidden while a range exists.
#include "editing/EditWindow.h"

#include <algorithm>

namespace varlin {
namespace {

bool Before(int lineA, int colA, int lineB, int colB) {
    return lineA < lineB || (lineA == lineB && colA < colB);
}

void OrderEnds(DragRange& r) {
    if (Before(r.ToLine, r.ToCol, r.FromLine, r.FromCol)) {
        std::swap(r.FromLine, r.ToLine);
        std::swap(r.FromCol, r.ToCol);
    }
}

// Range ends from macros are kept within +-2^30, so that normalising them never overflows.
int Clamp32(long long v) { return static_cast<int>(std::clamp<long long>(v, -0x40000000LL, 0x40000000LL)); }

void RepaintSpan(EditWindow& w, int a, int b) {
    ViewInvalidateLines(w.view, std::min(a, b), std::max(a, b));
}

}  // namespace

void StartDrag(EditWindow& w, int kind, int fromLine, int fromCol, int toLine, int toCol) {
    ClearDrag(w);
    w.dragKind = kind;
    w.FromLine = fromLine;
    w.FromCol = fromCol;
    w.ToLine = toLine;
    w.ToCol = toCol;
    HideCaret(w);
    RepaintSpan(w, fromLine, toLine);
    RefreshStatus(w, kStatusRange);
}

void ExtendDrag(EditWindow& w, int line, int col) {
    if (w.dragKind == kDragNone || (w.ToLine == line && w.ToCol == col)) return;
    HideCaret(w);
    int oldTo = w.ToLine;
    w.ToLine = line;
    w.ToCol = col;
    RepaintSpan(w, oldTo, line);
    RefreshStatus(w, kStatusRange);
}

void ClearDrag(EditWindow& w) {
    if (w.dragKind == kDragNone) return;
    w.dragKind = kDragNone;
    ViewInvalidateAll(w.view);
    RefreshStatus(w, kStatusRange);
    ShowCaret(w);
}

int GetNormalizedDrag(const EditWindow& w, DragRange& r) {
    if (w.dragKind == kDragNone) return kDragNone;
    int kind = w.dragKind;
    r = DragRange{w.FromLine, w.FromCol, w.ToLine, w.ToCol};
    const int m = MarginWidth(w);
    const int M = MaxCols(w) - 1;
    if (r.FromCol < m) {
        // Anchored in the margin: whole lines From ... To.
        if (r.ToLine < r.FromLine) std::swap(r.FromLine, r.ToLine);
        r.FromCol = m;
        r.ToCol = M;
        return kind;
    }
    if (Before(r.FromLine, r.FromCol, r.ToLine, r.ToCol)) {
        // The moving end's own character is outside the range.
        if (r.ToCol - 1 < m) {
            r.ToCol = M;
            r.ToLine -= 1;
        } else {
            r.ToCol -= 1;
        }
    } else if (r.FromLine == r.ToLine && r.FromCol == r.ToCol) {
        return kDragNone;
    } else {
        // Drawn backwards: the anchor's character stays inside, the end's is left out.
        if (r.ToCol >= M) {
            r.ToCol = m;
            r.ToLine += 1;
        } else {
            r.ToCol += 1;
        }
    }
    if (r.ToCol < m) r.ToCol = m;
    OrderEnds(r);
    return kind;
}

bool HasDrag(const EditWindow& w) {
    DragRange r;
    return GetNormalizedDrag(w, r) != kDragNone;
}

void SetDragFromMacro(EditWindow& w, int fromLine, int fromCol, int toLine, int toCol) {
    const long long m = MarginWidth(w);
    w.dragKind = kDragMarked;
    // Lines far beyond the end stop where no document can reach.
    w.FromLine = std::min(Clamp32(static_cast<long long>(fromLine) - 1), kMaxDocumentLines);
    w.FromCol = Clamp32(static_cast<long long>(fromCol) - 1 + m);
    w.ToLine = std::min(Clamp32(static_cast<long long>(toLine) - 1), kMaxDocumentLines);
    w.ToCol = Clamp32(static_cast<long long>(toCol) + m);
    RepaintSpan(w, w.FromLine, w.ToLine);
    RefreshStatus(w, kStatusRange);
}

int GetDragForMacro(const EditWindow& w, int& fromLine, int& fromCol, int& toLine, int& toCol) {
    DragRange r;
    if (w.dragKind == kDragNone || GetNormalizedDrag(w, r) != kDragMarked) return 0;
    const long long m = MarginWidth(w);
    fromLine = Clamp32(static_cast<long long>(r.FromLine) + 1);
    fromCol = Clamp32(static_cast<long long>(r.FromCol) + 1 - m);
    toLine = Clamp32(static_cast<long long>(r.ToLine) + 1);
    toCol = Clamp32(static_cast<long long>(r.ToCol) + 1 - m);
    return 1;
}

}  // namespace varlin
