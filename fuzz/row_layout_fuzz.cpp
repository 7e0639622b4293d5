// The layout of a row: the input's first bytes give the row's width, margin, tab step,
// code table, a UTF-8 document or not, the language and a marked range; the rest are the
// lines of a small document. Every line is laid out as the painter and printing lay it
// out (into exactly the row's cells), and checked against the column arithmetic of
// editing: each character sits in the cell its index gives and that cell gives its index
// back; the glyph layout stops where the byte layout stops; a UTF-8 row's cells agree
// with Utf8Cells; and the colour runs of a row cover its cells once, left to right.
#include "FuzzSupport.h"

#include "document/Language.h"
#include "document/LineStore.h"
#include "editing/RowLayout.h"
#include "editing/Utf8Layout.h"
#include "settings/Options.h"
#include "textutil/Utf8.h"

#include <memory>
#include <vector>

namespace {

using namespace varlin;

struct Row {
    int size = 0;
    RowGeometry geometry;
    int codeTable = 0;
    unsigned char fill = 250;
    unsigned char tab = 26;
};

void CheckByteLayout(int line, std::string_view text, const Row& row) {
    const RowGeometry& g = row.geometry;
    auto cells = std::make_unique<unsigned char[]>(std::size_t(row.size));
    const int used = LayoutLine(line, text, cells.get(), row.size, row.fill, row.tab, g);
    auto glyphs = std::make_unique<char16_t[]>(std::size_t(row.size));
    if (LayoutGlyphs(line, text, glyphs.get(), row.size, row.fill, row.tab, row.codeTable, g) != used)
        fuzz::Fail("the glyph layout stopped elsewhere than the byte layout");
    if (row.size < kMinRowCells) {
        if (used != 0) fuzz::Fail("a row too narrow was laid out");
        return;
    }
    if (used < g.margin || used > row.size - 1) fuzz::Fail("the layout used cells outside the row");
    const int step = std::max(g.tabStep, 1);
    for (int i = 0; i < int(text.size()); ++i) {
        const int col = IndexToColumn(text, i, g.margin, step);
        const int end = text[i] == '\t' ? IndexToColumn(text, i + 1, g.margin, step) : col + 1;
        if (end > used) break;  // the layout stopped before this character
        if (ColumnToIndex(text, col, g.margin, step) != i) fuzz::Fail("a column did not give back its index");
        const unsigned char want = text[i] == '\t' ? row.tab : static_cast<unsigned char>(text[i]);
        if (cells[std::size_t(end - 1)] != want) fuzz::Fail("a character is not in the cell of its column");
    }
}

void CheckUtf8Layout(std::string_view text, const Row& row) {
    if (row.size < kMinRowCells) return;
    const RowGeometry& g = row.geometry;
    const int step = std::max(g.tabStep, 1);
    auto cells = std::make_unique<char32_t[]>(std::size_t(row.size));  // zeros
        const int used = LayoutUtf8Text(text, cells.get(), row.size, U'\t', g.margin, step);
    if (used < g.margin || used > row.size - 1) fuzz::Fail("a UTF-8 layout used cells outside the row");
    for (int i = 0; i < int(text.size()); i = Utf8Next(text, i)) {
        const long long cell = Utf8Cells(text, i, step);
        const int next = Utf8Next(text, i);
        const long long end = Utf8Cells(text, next, step);
        if (g.margin + end > used) break;
        if (Utf8IndexOfCell(text, cell, step) != i) fuzz::Fail("a UTF-8 cell did not give back its index");
        const char32_t value = cells[std::size_t(g.margin + end - 1)];
        if (text[i] != '\t' && end - cell == 1 && (value & ~kCellInvalidByte) == 0)
            fuzz::Fail("a character's cell is empty");
    }
}

void CheckRuns(const LineStore& store, int line, std::string_view text, const Row& row,
               const DragRange* range, int firstCell, int cellCount) {
    std::vector<CellRun> runs;
    RowColorRuns(store, line, text, row.geometry, firstCell, cellCount, range, 200, runs);
    int next = std::max(firstCell, 0);
    for (const CellRun& run : runs) {
        if (run.first != next || run.count <= 0) fuzz::Fail("the colour runs do not follow each other");
        next += run.count;
    }
    if (next != std::max(firstCell, 0) + std::max(cellCount, 0)) fuzz::Fail("the colour runs do not cover the row");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::QuietHost();
    fuzz::InputReader input(data, size);
    Row row;
    row.size = input.Byte();
    row.geometry.margin = input.Byte() % 12;
    row.geometry.tabStep = input.Byte() % 20;
    const std::uint8_t flags = input.Byte();
    row.geometry.utf8 = flags & 1;
    row.codeTable = (flags >> 1) & 1;
    if (flags & 4) row.fill = ' ', row.tab = '\t';
    static const char* const kNames[] = {"a.c", "b.java", "c.pas", "d.txt"};
    const int lineBase = input.Byte() * 9973;
    const int firstCell = input.Byte() % 64 - 4;
    const int cellCount = input.Byte() % 128 - 4;
    DragRange range{input.Byte() % 4, input.Byte() % 40, input.Byte() % 4, input.Byte() % 40};
    const bool marked = flags & 8;

    LineStore store;
    store.SetFileName(kNames[(flags >> 4) & 3]);
    SelectLanguage(store, 1);
    for (int i = 0; i < 8 && !input.Rest().empty(); ++i) {
        const std::string_view line = input.Piece('\n');
        if (store.InsertLines(i, 1) != 0 || store.SetLine(i, line) != 0) fuzz::Fail("a line was not stored");
    }
    store.BuildCommentIndex(0, store.GetLineCount());
    for (int i = 0; i < store.GetLineCount(); ++i) {
        const std::string text(store.LineView(i));
        CheckByteLayout(lineBase + i, text, row);
        if (row.geometry.utf8) CheckUtf8Layout(text, row);
        CheckRuns(store, i, text, row, marked ? &range : nullptr, firstCell, cellCount);
    }
    return 0;
}
