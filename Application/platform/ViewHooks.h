// ViewHooks: the only way the core reaches the window that shows a document. Every hook
// may be null (headless); the helpers below then do nothing and the viewport is 25 x 80.
#pragma once

namespace varlin {

enum class ScrollBar { Horizontal, Vertical };

struct ViewHooks {
    void* context = nullptr;
    // Repaint document lines first..last (inclusive); the view maps them to its rows.
    void (*invalidateLines)(void* context, int firstLine, int lastLine) = nullptr;
    void (*invalidateAll)(void* context) = nullptr;
    // Scroll the shown pixels by whole rows and columns (positive: content moves up/left).
    void (*scrollBy)(void* context, int rows, int columns) = nullptr;
    void (*setScrollBar)(void* context, ScrollBar bar, int position, int maximum, int page) = nullptr;
    // Place the caret at a row and column of the viewport (0-based, margin included).
    void (*placeCaret)(void* context, int row, int column) = nullptr;
    void (*showCaret)(void* context, bool visible) = nullptr;
    // Size of the text area in whole lines and columns.
    void (*viewportSize)(void* context, int* lines, int* columns) = nullptr;
    // Refresh one status-line field (500 line, 501 column, 502 line count, 503 range ...)
    // or, for field 0, all of them; the view passes it on while its window is active.
    void (*refreshStatus)(void* context, int field) = nullptr;
};

constexpr int kHeadlessViewLines = 25;
constexpr int kHeadlessViewColumns = 80;

inline void ViewInvalidateLines(const ViewHooks& v, int first, int last) {
    if (v.invalidateLines) v.invalidateLines(v.context, first, last);
}
inline void ViewInvalidateAll(const ViewHooks& v) {
    if (v.invalidateAll) v.invalidateAll(v.context);
}
inline void ViewScrollBy(const ViewHooks& v, int rows, int columns) {
    if (v.scrollBy) v.scrollBy(v.context, rows, columns);
}
inline void ViewSetScrollBar(const ViewHooks& v, ScrollBar bar, int position, int maximum, int page) {
    if (v.setScrollBar) v.setScrollBar(v.context, bar, position, maximum, page);
}
inline void ViewPlaceCaret(const ViewHooks& v, int row, int column) {
    if (v.placeCaret) v.placeCaret(v.context, row, column);
}
inline void ViewShowCaret(const ViewHooks& v, bool visible) {
    if (v.showCaret) v.showCaret(v.context, visible);
}
inline void ViewRefreshStatus(const ViewHooks& v, int field) {
    if (v.refreshStatus) v.refreshStatus(v.context, field);
}
inline void ViewViewportSize(const ViewHooks& v, int* lines, int* columns) {
    *lines = kHeadlessViewLines;
    *columns = kHeadlessViewColumns;
    if (v.viewportSize) v.viewportSize(v.context, lines, columns);
}

}  // namespace varlin
