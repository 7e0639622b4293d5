// Scrolling requests of a document window: the steps of its scroll bars and wheel, which
// move the view without moving the cursor. Paging goes through them, so that the cursor
// keeps its place in the window.
#include "editing/EditActions.h"

#include "editing/UndoRecord.h"
#include "settings/Options.h"

#include <algorithm>

namespace varlin {
namespace {

constexpr long long kMaxOrigin = 0x7FFF0000LL;

long long VerticalStep(const EditWindow& w, ScrollCode code, int thumb, int visLines) {
    const long long count = w.LineCount();
    switch (code) {
    case ScrollCode::LineBack: return -1;
    case ScrollCode::LineForward: return 1;
    case ScrollCode::PageBack: return -std::max(visLines, 1);
    case ScrollCode::PageForward: return std::max(visLines, 1);
    case ScrollCode::ThumbTrack: {
        // The bar's range was halved for long documents: scale the thumb back up.
        long long s = 1;
        if (w.vertScrollMax > 0 && count / w.vertScrollMax >= 1) s = count / w.vertScrollMax;
        return static_cast<long long>(thumb) * s - w.firstLine;
    }
    case ScrollCode::Start: return -static_cast<long long>(w.firstLine);
    case ScrollCode::End: return count - visLines - w.firstLine;
    case ScrollCode::WheelForward: return CurrentOptions().MouseWheelScroll;
    case ScrollCode::WheelBack: return -static_cast<long long>(CurrentOptions().MouseWheelScroll);
    case ScrollCode::Other: return 0;
    }
    return 0;
}

long long HorizontalStep(const EditWindow& w, ScrollCode code, int thumb, int visCols) {
    switch (code) {
    case ScrollCode::LineBack: return -1;
    case ScrollCode::LineForward: return 1;
    case ScrollCode::PageBack: return -std::max(visCols, 1);
    case ScrollCode::PageForward: return std::max(visCols, 1);
    case ScrollCode::ThumbTrack: return static_cast<long long>(thumb) - w.firstCol;
    case ScrollCode::Start: return -static_cast<long long>(w.firstCol);
    case ScrollCode::End: return static_cast<long long>(MaxCols(w)) - visCols - w.firstCol;
    default: return 0;
    }
}

}  // namespace

void ScrollRequest(EditWindow& w, ScrollBar bar, ScrollCode code, int thumbPosition) {
    ForgetUndo();
    int visLines = 0;
    int visCols = 0;
    VisibleSize(w, visLines, visCols);
    if (bar == ScrollBar::Vertical) {
        long long d = VerticalStep(w, code, thumbPosition, visLines);
        d = std::clamp<long long>(d, -static_cast<long long>(w.firstLine), kMaxOrigin - w.firstLine);
        if (d != 0) {
            w.firstLine += static_cast<int>(d);
            ViewScrollBy(w.view, static_cast<int>(d), 0);
            SetScrollBar(w, ScrollBar::Vertical, 0, w.firstLine, w.LineCount());
        }
    } else {
        long long d = HorizontalStep(w, code, thumbPosition, visCols);
        const long long limit = static_cast<long long>(MaxCols(w)) - visCols + 1;
        if (w.firstCol + d > limit) d = limit - w.firstCol;
        if (w.firstCol + d < 0) d = -static_cast<long long>(w.firstCol);
        if (d != 0) {
            w.firstCol += static_cast<int>(d);
            ViewScrollBy(w.view, 0, static_cast<int>(d));
            SetScrollBar(w, ScrollBar::Horizontal, 0, w.firstCol, static_cast<int>(std::max(limit, 0LL)));
        }
    }
    PlaceSystemCaret(w);
}

void ScrollOriginBy(EditWindow& w, int dCols, int dLines) {
    long long newCol = std::clamp<long long>(static_cast<long long>(w.firstCol) + dCols, 0, kMaxOrigin);
    long long newLine = std::clamp<long long>(static_cast<long long>(w.firstLine) + dLines, 0, kMaxOrigin);
    int movedCols = static_cast<int>(newCol - w.firstCol);
    int movedLines = static_cast<int>(newLine - w.firstLine);
    w.firstCol = static_cast<int>(newCol);
    w.firstLine = static_cast<int>(newLine);
    if (movedCols != 0 || movedLines != 0) ViewScrollBy(w.view, movedLines, movedCols);
    SetScrollBar(w, ScrollBar::Vertical, 0, w.firstLine, w.LineCount());
    PlaceSystemCaret(w);
}

}  // namespace varlin
