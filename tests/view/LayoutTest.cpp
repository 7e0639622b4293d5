// The row layout: the number field, tabs expanded to their stops with the tab character in
// the last cell, the fill character everywhere else, the limits of the row, and the
// characters that paint the cells in either code table.
#include "settings/Options.h"
#include "textutil/CodeTables.h"
#include "editing/RowLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varlin {
namespace {

// The cells of a layout as text: '.' for the fill 250, '>' for the tab 26, other bytes as
// they are; trailing fill dots cut off after `keep` cells.
std::string Cells(const std::vector<unsigned char>& row, std::size_t keep) {
    std::string out;
    for (std::size_t i = 0; i < keep && i < row.size(); ++i) {
        unsigned char c = row[i];
        out += c == 250 ? '.' : c == 26 ? '>' : static_cast<char>(c);
    }
    return out;
}

struct LayoutCase {
    const char* name;
    int line;
    std::string text;
    RowGeometry geometry;
    int fill;
    int tab;
    int size;
    std::string expected;  // the first expected.size() cells
    int result;
};

TEST(LayoutLineTest, CellsOfTheRow) {
    const LayoutCase cases[] = {
        {"a tab b with line numbers", 0, "a\tb", {5, 8}, 250, 26, 100, "   1 a......>b....", 14},
        {"five digits fill the field", 11999, "x", {5, 8}, 250, 26, 100, "12000x...", 6},
        {"blank fill and tab", 0, "a\tb", {5, 8}, 32, 32, 100, "   1 a       b    ", 14},
        {"no margin", 6, "\tx", {0, 4}, 250, 26, 40, "...>x..", 5},
        {"tab at a stop goes a whole step", 0, "abcd\tx", {0, 4}, 250, 26, 40, "abcd...>x.", 9},
        {"tab distance below 2 counts as 2", 0, "\t\tx", {0, 2}, 250, 26, 40, ".>.>x.", 5},
        {"a row beyond the document", 60, "", {5, 8}, 250, 26, 100, "  61 ....", 5},
        {"six-column field", 123455, "z", {6, 8}, 250, 26, 100, "123456z.", 7},
        {"trailing blanks stay blanks", 0, "ab  ", {0, 8}, 250, 26, 40, "ab  ...", 4},
        {"text stops before the last cell", 0, std::string(40, 'q'), {0, 8}, 250, 26, 25,
         std::string(24, 'q') + ".", 24},
        {"a tab reaching the row end stops", 0, std::string(20, 'a') + "\tx", {0, 8}, 250, 26, 24,
         std::string(20, 'a') + "....", 20},
        {"too small a row is fill only", 0, "abc", {5, 8}, 250, 26, 19, "...................", 0},
    };
    for (const LayoutCase& c : cases) {
        std::vector<unsigned char> row(static_cast<std::size_t>(c.size), 0);
        int used = LayoutLine(c.line, c.text, row.data(), c.size, c.fill, c.tab, c.geometry);
        EXPECT_EQ(Cells(row, c.expected.size()), c.expected) << c.name;
        EXPECT_EQ(used, c.result) << c.name;
        for (std::size_t i = static_cast<std::size_t>(std::max(used, 0)); i < row.size(); ++i) {
            if (row[i] != c.fill) {
                ADD_FAILURE() << c.name << ": cell " << i << " after the text is not fill";
                break;
            }
        }
    }
}

TEST(LayoutLineTest, TheMarginFollowsTheLineCount) {
    Options options;
    SetCurrentOptions(&options);
    EXPECT_EQ(MarginWidth(12000), 5);
    EXPECT_EQ(MarginWidth(120000), 6);
    options.LineNumbers = 0;
    EXPECT_EQ(MarginWidth(12000), 0);
    SetCurrentOptions(nullptr);
}

TEST(LayoutGlyphsTest, BytesPaintThroughTheCodeTable) {
    std::u16string row(40, u'?');
    const std::string text = "\xE4\t\x84";
    // ANSI: 228 is the a-umlaut, as OEM 132 shows it; 132 is the low quotation mark.
    LayoutGlyphs(0, text, row.data(), 40, 250, 26, kCodeTableAnsi, RowGeometry{0, 4});
    EXPECT_EQ(row[0], u'\u00E4');
    EXPECT_EQ(row[0], OemGlyph(132));
    EXPECT_EQ(row.substr(1, 3), u"\u00B7\u00B7\u2192");
    EXPECT_EQ(row[4], u'\u201E');
    // OEM: 132 is the a-umlaut.
    LayoutGlyphs(0, text, row.data(), 40, 32, 32, kCodeTableOem, RowGeometry{0, 4});
    EXPECT_EQ(row[4], u'\u00E4');
    EXPECT_EQ(row.substr(1, 3), u"   ");
}

TEST(LayoutGlyphsTest, ControlBytesAndNulPaintAsGlyphs) {
    std::u16string row(30, u'?');
    const std::string text("\x00\x1A\x01", 3);
    LayoutGlyphs(8, text, row.data(), 30, 250, 26, kCodeTableAnsi, RowGeometry{5, 8});
    EXPECT_EQ(row.substr(0, 5), u"   9 ");
    EXPECT_EQ(row[5], u' ');
    EXPECT_EQ(row[6], u'\u2192');
    EXPECT_EQ(row[7], OemGlyph(1));
    EXPECT_EQ(row[8], u'\u00B7');
}

}  // namespace
}  // namespace varlin
