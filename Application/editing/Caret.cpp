// The cursor of a document window: placing it, scrolling it into view with hysteresis or
// to the middle, the program's Shift state that turns movements into marking, and the one
// application-wide caret visibility flag.
#include "editing/EditWindow.h"

#include "editing/EditActions.h"
#include "settings/Options.h"
#include "textutil/Utf8.h"

#include <algorithm>

namespace varlin {
namespace {

// The origin stays well inside 32 bits, so that origin + viewport never overflows.
constexpr long long kMaxOrigin = 0x7FFF0000LL;

bool g_programShift = false;
bool (*g_shiftQuery)() = nullptr;
bool g_caretShown = false;

int ClampOrigin(long long value) {
    return static_cast<int>(std::clamp(value, 0LL, kMaxOrigin));
}

// One axis of EnsureVisible: the step that brings pos back inside first ... first+visible-1
// and then `hysteresis` cells further.
long long HysteresisStep(long long pos, long long first, long long visible, long long hysteresis) {
    if (pos < first) return pos - first - hysteresis;
    if (pos > first + visible - 1) return pos - (first + visible - 1) + hysteresis;
    return 0;
}

}  // namespace

void MoveOrigin(EditWindow& w, long long dLines, long long dCols) {
    int visLines = 0;
    int visCols = 0;
    VisibleSize(w, visLines, visCols);
    if (dLines != 0) {
        int newFirst = ClampOrigin(w.firstLine + dLines);
        int moved = newFirst - w.firstLine;
        w.firstLine = newFirst;
        if (moved != 0) ViewScrollBy(w.view, moved, 0);
        SetScrollBar(w, ScrollBar::Vertical, 0, w.firstLine, std::max(w.LineCount(), w.firstLine));
    }
    if (dCols != 0) {
        int newFirst = ClampOrigin(w.firstCol + dCols);
        int moved = newFirst - w.firstCol;
        w.firstCol = newFirst;
        if (moved != 0) ViewScrollBy(w.view, 0, moved);
        SetScrollBar(w, ScrollBar::Horizontal, 0, w.firstCol,
                     std::max(MaxCols(w) - visCols + 1, w.firstCol));
    }
}

void EnsureVisible(EditWindow& w, int line, int col) {
    if (line < 0 || col < 0) return;
    const Options& o = CurrentOptions();
    int visLines = 0;
    int visCols = 0;
    VisibleSize(w, visLines, visCols);
    long long dy = HysteresisStep(line, w.firstLine, visLines, o.CaretHystVert);
    long long dx = HysteresisStep(col, w.firstCol, visCols, o.CaretHystHori);
    MoveOrigin(w, dy, dx);
}

void CenterOn(EditWindow& w, int line, int col) {
    int visLines = 0;
    int visCols = 0;
    VisibleSize(w, visLines, visCols);
    long long dy = static_cast<long long>(line) - (static_cast<long long>(w.firstLine) + visLines / 2);
    long long fourFifths = (static_cast<long long>(visCols) * 4) / 5;
    long long newFirstCol = col > fourFifths ? col - fourFifths : 0;
    MoveOrigin(w, dy, newFirstCol - w.firstCol);
}

void ScrollHome(EditWindow& w) {
    if (w.firstCol <= 0) return;
    int visLines = 0;
    int visCols = 0;
    VisibleSize(w, visLines, visCols);
    w.firstCol = 0;
    SetScrollBar(w, ScrollBar::Horizontal, 0, 0, MaxCols(w) - visCols + 1);
    ViewInvalidateAll(w.view);
}

void PlaceSystemCaret(const EditWindow& w) {
    EditWindow* active = ActiveEditWindow();
    if (active != nullptr && active != &w) return;
    long long row = static_cast<long long>(w.caretLine) - w.firstLine;
    long long column = static_cast<long long>(w.caretCol) - w.firstCol;
    ViewPlaceCaret(w.view, static_cast<int>(std::clamp(row, -1000000LL, 1000000LL)),
                   static_cast<int>(std::clamp(column, -1000000LL, 1000000LL)));
}

void SetCaret(EditWindow& w, int line, int col) {
    line = std::min(line, kMaxDocumentLines);
    EnsureVisible(w, line, col);
    w.prevCaretLine = w.caretLine;
    w.prevCaretCol = w.caretCol;
    if (line >= 0) w.caretLine = line;
    if (col >= 0) w.caretCol = col;
    PlaceSystemCaret(w);
    RefreshStatus(w, kStatusLine);
    RefreshStatus(w, kStatusColumn);
}

TextPos GetCaret(const EditWindow& w) { return TextPos{w.caretLine, w.caretCol}; }
int GetCaretLine(const EditWindow& w) { return w.caretLine; }
int GetCaretCol(const EditWindow& w) { return w.caretCol; }

void ExtendOrClear(EditWindow& w, int line, int col) {
    if (!IsShiftDown()) {
        ClearDrag(w);
        return;
    }
    if (w.dragKind != kDragMarked)
        StartDrag(w, kDragMarked, w.prevCaretLine, w.prevCaretCol, line, col);
    else
        ExtendDrag(w, line, col);
}

int GetCharacter(const EditWindow& w) {
    std::string text = WorkLine(w, w.caretLine);
    int i = ColumnToIndex(w, text, w.caretCol);
    if (i >= static_cast<int>(text.size())) return 0;
    if (w.doc->utf8) {
        // A character's code point; a byte of no valid sequence as a code-table
        // document gives it, so that InsertChar types it back the same.
        const char32_t c = Utf8Decode(text, i);
        if (c != kInvalidByte) return static_cast<int>(c);
    }
    return static_cast<signed char>(text[i]);
}

void PressShift() { g_programShift = true; }
void ReleaseShift() { g_programShift = false; }
bool IsShiftDown() { return g_programShift || (g_shiftQuery != nullptr && g_shiftQuery()); }
void SetShiftKeyQuery(bool (*query)()) { g_shiftQuery = query; }

void ShowCaret(EditWindow& w) {
    if (g_caretShown) return;
    g_caretShown = true;
    ViewShowCaret(w.view, true);
}

void HideCaret(EditWindow& w) {
    if (!g_caretShown) return;
    g_caretShown = false;
    ViewShowCaret(w.view, false);
}

bool IsCaretShown() { return g_caretShown; }

}  // namespace varlin
