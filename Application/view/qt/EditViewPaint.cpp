// Painting a document window: only the rows and cells of the invalid region are laid out
// and drawn, each run opaque over its own cells, so nothing is erased first and nothing
// flickers. The caret is drawn last, inverting its cell.
#include "view/qt/EditView.h"

#include "editing/EditActions.h"
#include "editing/Utf8Layout.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace varlin {
namespace {

constexpr int kInset = 4;

QColor ToQColor(Color c) { return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c)); }

QColor ColorOf(CellColor color, const Options& o) {
    switch (color) {
    case CellColor::LineNumbers: return ToQColor(o.ColorLineNumbers);
    case CellColor::Highlight: return ToQColor(o.ColorHighlight);
    case CellColor::Keywords: return ToQColor(o.ColorKeywords);
    case CellColor::Comments: return ToQColor(o.ColorComments);
    case CellColor::Text: break;
    }
    return ToQColor(o.ColorText);
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

void EditView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(font_);
    const Options& o = CurrentOptions();
    const QColor background = ToQColor(o.ColorBackground);
    for (const QRect& rect : event->region()) PaintRows(painter, rect);
    releaseTimer_.start();
    // The strips above and left of the text area.
    painter.fillRect(QRect(0, 0, viewport()->width(), kInset), background);
    painter.fillRect(QRect(0, 0, kInset, viewport()->height()), background);
    if (caretDrawn()) {
        const QRect caret = cellRect(caretRow_, caretColumn_);
        if (event->region().intersects(caret)) {
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.fillRect(caret, Qt::white);
        }
    }
}

void EditView::PaintRows(QPainter& painter, const QRect& area) {
    const QRect text = area.intersected(QRect(kInset, kInset, viewport()->width(), viewport()->height()));
    if (text.isEmpty()) return;
    EditWindow& w = *w_;
    const long long firstRow = static_cast<long long>(FloorDiv(text.top() - kInset, ch_)) + w.firstLine;
    const long long lastRow = static_cast<long long>(FloorDiv(text.bottom() - kInset, ch_)) + w.firstLine;
    const int c0 = FloorDiv(text.left() - kInset, cw_) + w.firstCol;
    const int c1 = FloorDiv(text.right() - kInset, cw_) + w.firstCol;
    const int maxCols = MaxCols(w);
    DragRange range;
    const bool marked = GetNormalizedDrag(w, range) != kDragNone;
    // Comments opened above the window must be known to the rows shown.
    const int count = w.LineCount();
    if (firstRow < count)
        w.doc->BuildCommentIndex(static_cast<int>(firstRow), static_cast<int>(std::min<long long>(lastRow + 1, count)));
    const int cells = std::min(maxCols - c0, c1 - c0 + 1);
    for (long long line = firstRow; line <= lastRow && line <= 0x7FFFFFFFLL; ++line) {
        if (cells > 0) PaintRow(painter, static_cast<int>(line), c0, cells, marked ? &range : nullptr, maxCols);
    }
    // Beyond the widest column (only seen when scrolled far right) there is background.
    const int xEnd = kInset + (maxCols - w.firstCol) * cw_;
    if (xEnd <= text.right())
        painter.fillRect(QRect(QPoint(std::max(xEnd, text.left()), text.top()), text.bottomRight()),
                         QColor(ToQColor(CurrentOptions().ColorBackground)));
}

// One row from cell firstCell on, cellCount cells: laid out once, then drawn run by run.
void EditView::PaintRow(QPainter& painter, int line, int firstCell, int cellCount,
                        const DragRange* range, int maxCols) {
    const Options& o = CurrentOptions();
    EditWindow& w = *w_;
    const RowGeometry geometry = GeometryOf(w);
    std::string_view text = w.doc->LineView(line);
    text = text.substr(0, static_cast<std::size_t>(WorkBufferSize(w) - 1));
    // Only the cells up to the painted ones are laid out (a row may have thousands): two
    // more than those, so that the rule that text ends before a row's last cell, and a
    // tab or wide character that would reach it, never touch a painted cell.
    const int laidOut =
        maxCols < kMinRowCells ? maxCols : std::min(maxCols, std::max(firstCell + cellCount + 2, kMinRowCells));
    glyphs_.resize(static_cast<std::size_t>(laidOut));
    const bool utf8 = w.doc->utf8;
    // A UTF-8 row takes its fill and number field from the common layout, its text cells
    // from the UTF-8 one.
    LayoutGlyphs(line, utf8 ? std::string_view() : text, glyphs_.data(), laidOut, o.VbChar, o.TabChar, o.CodeTable,
                 geometry);
    if (utf8) {
        cells32_.assign(glyphs_.begin(), glyphs_.end());
        if (laidOut >= kMinRowCells)
            LayoutUtf8Text(text, cells32_.data(), laidOut, OemGlyph(static_cast<unsigned char>(o.TabChar)),
                           geometry.margin, geometry.tabStep);
    }
    RowColorRuns(*w.doc, line, text, geometry, firstCell, cellCount, range, maxCols, runs_);
    const QColor background = ToQColor(o.ColorBackground);
    const QColor foreground = ToQColor(o.ColorText);
    const int y = kInset + static_cast<int>(static_cast<long long>(line) - w.firstLine) * ch_;
    for (const CellRun& run : runs_) {
        const int x = kInset + (run.first - w.firstCol) * cw_;
        const QRect cellsRect(x, y, run.count * cw_, ch_);
        painter.fillRect(cellsRect, run.inverse ? foreground : background);
        const QColor pen = run.inverse ? background : ColorOf(run.color, o);
        if (utf8) {
            PaintUtf8Run(painter, run, x, y, pen);
            continue;
        }
        painter.setPen(pen);
        const QString glyphs = QString::fromUtf16(glyphs_.data() + run.first, run.count);
        painter.drawText(QPoint(x, y + ascent_), glyphs);
    }
}

void EditView::PaintUtf8Run(QPainter& painter, const CellRun& run, int x, int y, const QColor& pen) {
    const QColor invalidPen = run.inverse ? pen : ToQColor(CurrentOptions().ColorComments);
    // Latin letters and the like share the font's cell width; everything else (wide
    // characters, combining marks, glyphs from other fonts) is set into its own cell.
    auto plain = [](char32_t c) { return c < 0x300; };
    const char32_t* cells = cells32_.data() + run.first;
    int k = 0;
    while (k < run.count) {
        const char32_t c = cells[k];
        if (plain(c)) {
            int end = k + 1;
            while (end < run.count && plain(cells[end])) ++end;
            painter.setPen(pen);
            painter.drawText(QPoint(x + k * cw_, y + ascent_),
                             QString::fromUcs4(cells + k, end - k));
            k = end;
            continue;
        }
        if (c != kCellWideTail) {
            const bool invalid = (c & kCellInvalidByte) != 0;
            const char32_t glyph = invalid ? c & ~kCellInvalidByte : c;
            painter.setPen(invalid ? invalidPen : pen);
            painter.drawText(QPoint(x + k * cw_, y + ascent_), QString::fromUcs4(&glyph, 1));
        }
        ++k;
    }
}

}  // namespace varlin
