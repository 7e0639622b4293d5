// RowLayout: one document line as a row of fixed character cells, the way the screen,
// the go-to preview and printing show it: the line-number field, the text with its tabs
// expanded, and the fill character in every cell no text covers; plus the colour runs
// of such a row (comments, routine starts, keywords, line numbers, the marked range).
// Nothing here draws: the Qt view paints the cells and runs it is given.
#pragma once

#include "editing/EditWindow.h"

#include <string_view>
#include <vector>

namespace varlin {

class LineStore;

// What a row's layout depends on besides its text: the margin width (the line-number
// field, 0 without line numbers) and the tab step (max(TabDistance, 2)).
struct RowGeometry {
    int margin = 0;
    int tabStep = 8;
    bool utf8 = false;  // cells hold whole UTF-8 characters (editing/Utf8Layout.h)
};

// The geometry of a window's rows as the options and its line count give it.
RowGeometry GeometryOf(const EditWindow& w);

// Below this many cells a row holds fill characters only.
constexpr int kMinRowCells = 20;

// Lays out line (0-based; the field shows line + 1) into size cells: all of them get
// fillChar, then the number field and the text from cell margin on, a tab putting tabChar
// into the cell before its stop. Layout stops at the end of the text, before the last
// cell of the row, or at a tab whose stop reaches size - margin. Returns the margin plus
// the text cells used, or 0 when size is below kMinRowCells.
int LayoutLine(int line, std::string_view text, unsigned char* out, int size, int fillChar,
               int tabChar, const RowGeometry& geometry);

// The same layout as the characters that paint it: text bytes through the document's
// code table (CodeTable 1 shows code page 850, otherwise Windows-1252), the fill and tab
// characters always as their OEM glyphs (250 is the middle dot, 26 the arrow).
int LayoutGlyphs(int line, std::string_view text, char16_t* out, int size, int fillChar,
                 int tabChar, int codeTable, const RowGeometry& geometry);

// The colours a cell can take; the painter maps them onto the options' colours.
enum class CellColor { Text, LineNumbers, Highlight, Keywords, Comments };

// Cells first ... first + count - 1 of a row in one colour; inverse cells are the marked
// range (background colour on the text colour, no syntax colour).
struct CellRun {
    int first = 0;
    int count = 0;
    CellColor color = CellColor::Text;
    bool inverse = false;
};

// The runs of cells firstCell ... firstCell + cellCount - 1 of a row, left to right, in
// the painter's order: the number field, then syntax colours (comment, routine start for
// the rest of the row, keyword or plain run) outside the marked range and one inverse run
// inside it. text is the document's own line as the painter copied it; range is the
// normalised marked range, or null when nothing is marked; maxCols bounds a mark that
// runs to the end of its line. The comment index must have been built for the row.
void RowColorRuns(const LineStore& store, int line, std::string_view text,
                  const RowGeometry& geometry, int firstCell, int cellCount,
                  const DragRange* range, int maxCols, std::vector<CellRun>& runs);

}  // namespace varlin
