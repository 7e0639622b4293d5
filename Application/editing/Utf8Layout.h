// The text cells of a UTF-8 document's row: each character in its cell, a wide one in two
// (the second marked as its tail), a byte of no valid sequence as its Windows-1252 glyph
// marked invalid so that the painter can set it apart. The caller lays out the row's
// fill and number field first (RowLayout); only the text's cells are written here.
#pragma once

#include <string_view>

namespace varlin {

// A cell's value is a code point, or one of these marks.
constexpr char32_t kCellWideTail = 0x110000;      // the second cell of a wide character
constexpr char32_t kCellInvalidByte = 0x200000;   // or'ed onto the glyph of an invalid byte

// Lays text out from cell margin of out[0, size): tabs put tab into the cell before their
// stop, the layout stops where RowLayout's would (before the row's last cell, at a tab
// whose stop reaches the end, at a wide character that no longer fits). Returns margin
// plus the text cells used.
int LayoutUtf8Text(std::string_view text, char32_t* out, int size, char32_t tab, int margin, int tabStep);

}  // namespace varlin
