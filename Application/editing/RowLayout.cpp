// The row layout and the colour runs of a row. Layout is done once per painted row, so it
// walks the text once and writes each cell once after the fill.
#include "editing/RowLayout.h"

#include "document/Language.h"
#include "document/LineStore.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"
#include "textutil/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace varlin {
namespace {

// The number field: line + 1 right-aligned in margin - 1 characters and a blank, cut to
// margin characters (a number as wide as the field loses its blank).
template <typename Cell>
void WriteNumberField(int line, Cell* out, int margin) {
    char field[32];
    const int width = std::min(margin - 1, 20);
    std::snprintf(field, sizeof field, "%*lld ", width, static_cast<long long>(line) + 1);
    for (int i = 0; i < margin && field[i] != '\0'; ++i) out[i] = static_cast<Cell>(field[i]);
}

// The common walk of both layouts; glyph turns a text byte into its cell.
template <typename Cell, typename Glyph>
int Layout(int line, std::string_view text, Cell* out, int size, Cell fill, Cell tab,
           const RowGeometry& g, Glyph glyph) {
    if (size <= 0) return 0;
    std::fill(out, out + size, fill);
    if (size < kMinRowCells) return 0;
    const int margin = std::clamp(g.margin, 0, size - 1);
    const int step = std::max(g.tabStep, 1);
    if (margin > 0) WriteNumberField(line, out, margin);
    const int textCells = size - margin;  // the text area's width in cells
    int col = 0;                          // text column of the next character
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\t') {
            const long long stop = (static_cast<long long>(col) / step + 1) * step;
            if (stop >= textCells) break;
            out[margin + stop - 1] = tab;
            col = static_cast<int>(stop);
        } else {
            if (col >= textCells - 1) break;
            out[margin + col] = glyph(c);
            ++col;
        }
    }
    return margin + col;
}

}  // namespace

RowGeometry GeometryOf(const EditWindow& w) { return RowGeometry{MarginWidth(w), TabStepWidth(w), w.doc->utf8}; }

int LayoutLine(int line, std::string_view text, unsigned char* out, int size, int fillChar,
               int tabChar, const RowGeometry& geometry) {
    return Layout<unsigned char>(line, text, out, size, static_cast<unsigned char>(fillChar),
                                 static_cast<unsigned char>(tabChar), geometry,
                                 [](unsigned char c) { return c; });
}

int LayoutGlyphs(int line, std::string_view text, char16_t* out, int size, int fillChar,
                 int tabChar, int codeTable, const RowGeometry& geometry) {
    const char16_t fill = OemGlyph(static_cast<unsigned char>(fillChar));
    const char16_t tab = OemGlyph(static_cast<unsigned char>(tabChar));
    return Layout<char16_t>(line, text, out, size, fill, tab, geometry,
                            [codeTable](unsigned char c) { return GlyphOf(c, codeTable); });
}

namespace {

// Builds the runs of one row; the routine test is made once, when a run first asks.
class RunBuilder {
public:
    RunBuilder(const LineStore& store, int line, std::string_view text, const RowGeometry& g,
               std::vector<CellRun>& runs)
        : store_(store), line_(line), text_(text), g_(g), runs_(runs) {}

    void Add(int first, int count, CellColor color, bool inverse) {
        if (count <= 0) return;
        if (!runs_.empty()) {
            CellRun& last = runs_.back();
            if (last.color == color && last.inverse == inverse && last.first + last.count == first) {
                last.count += count;
                return;
            }
        }
        runs_.push_back(CellRun{first, count, color, inverse});
    }

    // Syntax colours for cells col ... col + n - 1.
    void Syntax(int col, int n) {
        while (n > 0) {
            const int step = std::max(g_.tabStep, 1);
            const int index = g_.utf8 ? Utf8IndexOfCell(text_, static_cast<long long>(col) - g_.margin, step)
                                      : ColumnToIndex(text_, col, g_.margin, step);
            CellColor color = CellColor::Text;
            int run = 0;
            if (CommentRunAt(store_, line_, index, run)) {
                color = CellColor::Comments;
            } else if (IsRoutine()) {
                color = CellColor::Highlight;
                run = n;
            } else {
                run = -1;  // stays so at and beyond the end of the text
                if (KeywordRunAt(store_, line_, index, run)) color = CellColor::Keywords;
                if (run <= 0) run = n;
            }
            if (g_.utf8 && run > 0 && run < n && color != CellColor::Highlight) {
                // The run counts bytes; the row counts cells.
                const long long from = static_cast<long long>(col) - g_.margin;
                run = static_cast<int>(std::min<long long>(
                    Utf8CellsFrom(text_, index, index + run, from, step) - from, n));
            }
            run = std::clamp(run, 1, n);
            Add(col, run, color, false);
            col += run;
            n -= run;
        }
    }

private:
    bool IsRoutine() {
        if (routine_ < 0) routine_ = IsRoutineStart(store_, line_) ? 1 : 0;
        return routine_ == 1;
    }

    const LineStore& store_;
    int line_;
    std::string_view text_;
    const RowGeometry& g_;
    std::vector<CellRun>& runs_;
    int routine_ = -1;
};

}  // namespace

void RowColorRuns(const LineStore& store, int line, std::string_view text,
                  const RowGeometry& geometry, int firstCell, int cellCount,
                  const DragRange* range, int maxCols, std::vector<CellRun>& runs) {
    runs.clear();
    RunBuilder builder(store, line, text, geometry, runs);
    int col = std::max(firstCell, 0);
    int rest = std::max(cellCount, 0);
    const int margin = geometry.margin;
    if (margin > 0 && col < margin && rest > 0) {
        const int n = std::min(margin - col, rest);
        builder.Add(col, n, CellColor::LineNumbers, false);
        col += n;
        rest -= n;
    }
    if (range && line >= range->FromLine && line <= range->ToLine) {
        const int markStart = line == range->FromLine ? range->FromCol : margin;
        const long long markEnd =
            line == range->ToLine ? static_cast<long long>(range->ToCol) + 1 : maxCols;
        int n = static_cast<int>(std::clamp<long long>(markStart - col, 0, rest));
        builder.Syntax(col, n);
        col += n;
        rest -= n;
        n = static_cast<int>(std::clamp<long long>(markEnd - col, 0, rest));
        builder.Add(col, n, CellColor::Text, true);
        col += n;
        rest -= n;
        n = static_cast<int>(std::clamp<long long>(static_cast<long long>(maxCols) - col, 0, rest));
        builder.Syntax(col, n);
        return;
    }
    builder.Syntax(col, rest);
}

}  // namespace varlin
