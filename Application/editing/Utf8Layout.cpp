// The text cells of a UTF-8 row.
#include "editing/Utf8Layout.h"

#include "textutil/CodeTables.h"
#include "textutil/Utf8.h"

#include <algorithm>

namespace varlin {

int LayoutUtf8Text(std::string_view text, char32_t* out, int size, char32_t tab, int margin, int tabStep) {
    if (size <= 0 || margin >= size) return std::max(margin, 0);
    const int step = std::max(tabStep, 1);
    const int textCells = size - margin;
    const int length = static_cast<int>(text.size());
    int col = 0;
    for (int i = 0; i < length;) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\t') {
            const long long stop = (static_cast<long long>(col) / step + 1) * step;
            if (stop >= textCells) break;
            out[margin + stop - 1] = tab;
            col = static_cast<int>(stop);
            ++i;
            continue;
        }
        int n = 1;
        const char32_t cp = byte < 0x80 ? char32_t(byte) : Utf8Decode(text, i, &n);
        const int width = CellWidth(cp);
        if (col + width > textCells - 1) break;
        if (cp == kInvalidByte)
            out[margin + col] = kCellInvalidByte | AnsiGlyph(byte);
        else if (cp < 32 || cp == 127)
            out[margin + col] = AnsiGlyph(static_cast<unsigned char>(cp));  // the OEM font's pictures
        else
            out[margin + col] = cp;
        if (width == 2) out[margin + col + 1] = kCellWideTail;
        col += width;
        i += n;
    }
    return margin + col;
}

}  // namespace varlin
