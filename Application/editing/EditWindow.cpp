// EditWindow: construction, the active window, the coordinate conversions between display
// columns and character indexes, the line work buffer, and the repaint and status helpers
// through which every action reaches the view.
#include "editing/EditWindow.h"

#include "document/DocumentStyle.h"
#include "editing/EditActions.h"
#include "editing/UndoRecord.h"
#include "settings/Options.h"
#include "textutil/Utf8.h"
#include "editing/UndoHistory.h"

#include <algorithm>
#include <vector>

namespace varlin {
namespace {
EditWindow* g_activeWindow = nullptr;
std::vector<EditWindow*> g_windows;  // every window that exists, oldest first
}  // namespace

EditWindow::EditWindow() : doc(std::make_unique<LineStore>(this)) {
    StartHistory(*this);
    g_windows.push_back(this);
}

EditWindow::~EditWindow() {
    if (g_activeWindow == this) g_activeWindow = nullptr;
    ForgetUndoOf(*this);
    g_windows.erase(std::remove(g_windows.begin(), g_windows.end(), this), g_windows.end());
}

void ForEachEditWindow(const std::function<void(EditWindow&)>& action) {
    const std::vector<EditWindow*> windows = g_windows;  // the action may close one
    for (EditWindow* w : windows)
        if (std::find(g_windows.begin(), g_windows.end(), w) != g_windows.end()) action(*w);
}

EditWindow* ActiveEditWindow() { return g_activeWindow; }
void SetActiveEditWindow(EditWindow* window) { g_activeWindow = window; }

// ---- Geometry --------------------------------------------------------------------------

int MarginWidth(int lineCount) { return CurrentOptions().LineNumbers == 0 ? 0 : NumberMarginWidth(lineCount); }

int NumberMarginWidth(int lineCount) {
    if (lineCount <= 99999) return 5;
    if (lineCount <= 999999) return 6;
    if (lineCount <= 9999999) return 7;
    if (lineCount <= 99999999) return 8;
    return 9;
}

int MarginWidth(const EditWindow& w) { return MarginWidth(w.LineCount()); }

int MaxCols(const EditWindow& w) { return 5 * WorkBufferSize(w); }

int TabStepWidth(const EditWindow& w) { return TabWidthOf(*w.doc); }

int ColumnToIndex(std::string_view text, int col, int margin, int tabStep) {
    // Walked in 64 bits: a target far right of a long line of tabs must not overflow.
    const long long target = static_cast<long long>(col) - margin;
    long long textCol = 0;
    int i = 0;
    const int length = static_cast<int>(text.size());
    while (textCol < target && i < length) {
        if (text[i] == '\t') {
            long long stop = (textCol / tabStep + 1) * tabStep;
            if (stop > target) break;  // the target lies inside this tab
            textCol = stop;
        } else {
            ++textCol;
        }
        ++i;
    }
    return i;
}

int IndexToColumn(std::string_view text, int index, int margin, int tabStep) {
    long long textCol = 0;
    const int end = std::min<int>(std::max(index, 0), static_cast<int>(text.size()));
    for (int i = 0; i < end; ++i) {
        if (text[i] == '\t')
            textCol = (textCol / tabStep + 1) * tabStep;
        else
            ++textCol;
    }
    long long col = textCol + margin;
    return col > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(col);
}

int ColumnToIndex(const EditWindow& w, std::string_view text, int col) {
    if (w.doc->utf8) return Utf8IndexOfCell(text, static_cast<long long>(col) - MarginWidth(w), TabStepWidth(w));
    return ColumnToIndex(text, col, MarginWidth(w), TabStepWidth(w));
}

int IndexToColumn(const EditWindow& w, std::string_view text, int index) {
    if (!w.doc->utf8) return IndexToColumn(text, index, MarginWidth(w), TabStepWidth(w));
    const long long col = Utf8Cells(text, index, TabStepWidth(w)) + MarginWidth(w);
    return col > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(col);
}

int NextCharIndex(const EditWindow& w, std::string_view text, int i) {
    return w.doc->utf8 ? Utf8Next(text, i) : i + 1;
}

int PrevCharIndex(const EditWindow& w, std::string_view text, int i) {
    return w.doc->utf8 ? Utf8Prev(text, i) : i - 1;
}

int CharLengthAt(const EditWindow& w, std::string_view text, int i) {
    return w.doc->utf8 && i < static_cast<int>(text.size()) ? Utf8CharLength(text, i) : 1;
}

int DocumentCodeTable(const EditWindow& w) {
    return w.doc->utf8 ? static_cast<int>(kCodeTableUtf8) : CurrentOptions().CodeTable;
}

void VisibleSize(const EditWindow& w, int& lines, int& cols) {
    ViewViewportSize(w.view, &lines, &cols);
    lines = std::max(lines, 1);
    cols = std::max(cols, 1);
}

void SetScrollBar(EditWindow& w, ScrollBar bar, int min, int pos, int max) {
    if (min > max) return;
    long long range = static_cast<long long>(std::max(max, pos)) - min;
    long long position = static_cast<long long>(pos) - min;
    int lines = 0;
    int cols = 0;
    VisibleSize(w, lines, cols);
    long long page = bar == ScrollBar::Vertical ? lines : cols;
    while (range > 32767) {
        range >>= 1;
        position >>= 1;
        page >>= 1;
    }
    if (bar == ScrollBar::Vertical) w.vertScrollMax = static_cast<int>(range);
    ViewSetScrollBar(w.view, bar, static_cast<int>(position), static_cast<int>(range),
                     static_cast<int>(std::max(page, 1LL)));
}

// ---- The line work buffer --------------------------------------------------------------

int WorkBufferSize(const EditWindow& w) { return w.doc->LineBuffer(); }

std::string WorkLine(const EditWindow& w, int line, bool* cut) {
    std::string_view stored = w.doc->LineView(line);
    const std::size_t limit = static_cast<std::size_t>(WorkBufferSize(w) - 1);
    if (cut) *cut = stored.size() > limit;
    return std::string(stored.substr(0, limit));
}

// ---- Repaint and status ----------------------------------------------------------------

void RepaintLine(EditWindow& w, int line, bool hadDelimiter) {
    if (hadDelimiter || w.doc->HasCommentDelimiter(line))
        ViewInvalidateAll(w.view);
    else
        ViewInvalidateLines(w.view, line, line);
}

void RepaintFrom(EditWindow& w, int line) {
    // Down to the last row shown, so that rows emptied by a deletion are painted too.
    int lines = 0;
    int cols = 0;
    VisibleSize(w, lines, cols);
    long long last = std::max<long long>({line, w.LineCount(), static_cast<long long>(w.firstLine) + lines});
    ViewInvalidateLines(w.view, line, static_cast<int>(std::min<long long>(last, 0x7FFFFFFF)));
}

void RepaintAll(EditWindow& w) { ViewInvalidateAll(w.view); }

void RefreshStatus(EditWindow& w, int field) { ViewRefreshStatus(w.view, field); }

}  // namespace varlin
