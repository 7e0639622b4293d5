// Positions across a change of the line-number margin or the tab step.
#include "editing/ColumnLayout.h"

#include "editing/EditWindow.h"
#include "editing/UndoRecord.h"

#include <algorithm>

namespace varlin {

ColumnLayout ColumnLayoutOf(const Options& options) {
    return ColumnLayout{options.LineNumbers != 0, options.TabStep()};
}

int FollowColumn(const EditWindow& w, int line, int col, const ColumnLayout& before) {
    const int oldMargin = before.lineNumbers ? NumberMarginWidth(w.LineCount()) : 0;
    const int newMargin = MarginWidth(w);
    if (col < oldMargin) return newMargin;
    const std::string_view text = w.doc->LineView(line);
    // A document whose file sets its tab width keeps it whatever TabDistance becomes.
    const int oldStep = w.doc->Style().tabWidth > 0 ? TabStepWidth(w) : before.tabStep;
    const int index = ColumnToIndex(text, col, oldMargin, oldStep);
    const int newCol = IndexToColumn(text, index, newMargin, TabStepWidth(w));
    if (index < static_cast<int>(text.size())) return newCol;
    // Beyond the end of the line the distance from the end is kept.
    const long long beyond = static_cast<long long>(col) - IndexToColumn(text, index, oldMargin, oldStep);
    return static_cast<int>(std::min<long long>(newCol + std::max(beyond, 0LL), MaxCols(w) - 1));
}

void FollowColumnLayout(EditWindow& w, const ColumnLayout& before) {
    auto follow = [&](int line, int& col) { col = FollowColumn(w, line, col, before); };
    follow(w.caretLine, w.caretCol);
    follow(w.prevCaretLine, w.prevCaretCol);
    follow(w.mouseAnchorLine, w.mouseAnchorCol);
    if (w.dragKind != kDragNone) {
        follow(w.FromLine, w.FromCol);
        follow(w.ToLine, w.ToCol);
    }
    for (int i = 0; i < kPushedPositions; ++i)
        if (w.pushedLines[i] >= 0) follow(w.pushedLines[i], w.pushedCols[i]);
    EnsureVisible(w, w.caretLine, w.caretCol);
    PlaceSystemCaret(w);
    RefreshStatus(w, kStatusAll);
}

void FollowColumnLayout(const Options& before) {
    const ColumnLayout old = ColumnLayoutOf(before);
    const ColumnLayout now = ColumnLayoutOf(CurrentOptions());
    if (old.lineNumbers == now.lineNumbers && old.tabStep == now.tabStep) return;
    ForgetUndo();
    ForEachEditWindow([&old](EditWindow& w) { FollowColumnLayout(w, old); });
}

}  // namespace varlin
