// UTF-8 reading of byte strings: sequences, boundaries, validation, encoding, and the
// Unicode classes from the generated tables.
#include "textutil/Utf8.h"

#include "textutil/CodeTables.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace varlin {
namespace {

struct CodeRange {
    char32_t first;
    char32_t last;
};

// Characters first..last at the given stride fold to themselves + delta.
struct FoldRun {
    char32_t first;
    char32_t last;
    int stride;
    int delta;
};

#include "textutil/UnicodeTables.inc"

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

template <std::size_t N>
bool InRanges(const CodeRange (&table)[N], char32_t cp) {
    const CodeRange* end = table + N;
    const CodeRange* it = std::upper_bound(table, end, cp, [](char32_t v, const CodeRange& r) { return v < r.first; });
    return it != table && cp <= (it - 1)->last;
}

}  // namespace

int Utf8SequenceLength(const char* s, std::size_t avail) {
    if (avail == 0) return 0;
    const auto* u = reinterpret_cast<const unsigned char*>(s);
    const unsigned char c = u[0];
    if (c < 0x80) return 1;
    if (c < 0xC2 || c > 0xF4) return 0;  // continuation, overlong lead, beyond U+10FFFF
    if (c < 0xE0) return avail >= 2 && IsContinuation(u[1]) ? 2 : 0;
    if (c < 0xF0) {
        if (avail < 3 || !IsContinuation(u[1]) || !IsContinuation(u[2])) return 0;
        if (c == 0xE0 && u[1] < 0xA0) return 0;   // overlong
        if (c == 0xED && u[1] >= 0xA0) return 0;  // surrogate
        return 3;
    }
    if (avail < 4 || !IsContinuation(u[1]) || !IsContinuation(u[2]) || !IsContinuation(u[3])) return 0;
    if (c == 0xF0 && u[1] < 0x90) return 0;  // overlong
    if (c == 0xF4 && u[1] >= 0x90) return 0;  // above U+10FFFF
    return 4;
}

int Utf8CharLength(std::string_view text, int i) {
    const int n = Utf8SequenceLength(text.data() + i, text.size() - i);
    return n == 0 ? 1 : n;
}

char32_t Utf8Decode(std::string_view text, int i, int* length) {
    const int n = Utf8SequenceLength(text.data() + i, text.size() - i);
    if (length) *length = n == 0 ? 1 : n;
    const auto* u = reinterpret_cast<const unsigned char*>(text.data() + i);
    switch (n) {
    case 1: return u[0];
    case 2: return (char32_t(u[0] & 0x1F) << 6) | (u[1] & 0x3F);
    case 3: return (char32_t(u[0] & 0x0F) << 12) | (char32_t(u[1] & 0x3F) << 6) | (u[2] & 0x3F);
    case 4:
        return (char32_t(u[0] & 0x07) << 18) | (char32_t(u[1] & 0x3F) << 12) | (char32_t(u[2] & 0x3F) << 6) |
               (u[3] & 0x3F);
    default: return kInvalidByte;
    }
}

int Utf8CharStart(std::string_view text, int i) {
    const int size = static_cast<int>(text.size());
    if (i >= size) return size;
    if (i <= 0) return 0;
    // A lead byte at most three bytes back whose valid sequence reaches over i owns it; a
    // lead byte is never inside another sequence, so it is a boundary.
    for (int j = i; j >= 0 && j >= i - 3; --j) {
        if (!IsContinuation(static_cast<unsigned char>(text[j]))) {
            if (j == i) return i;
            const int n = Utf8SequenceLength(text.data() + j, text.size() - j);
            return n > i - j ? j : i;
        }
    }
    return i;
}

int Utf8Next(std::string_view text, int i) {
    if (i >= static_cast<int>(text.size())) return i + 1;
    return i + Utf8CharLength(text, i);
}

int Utf8Prev(std::string_view text, int i) {
    if (i <= 0) return 0;
    if (i > static_cast<int>(text.size())) return i - 1;
    for (int j = i - 1; j >= 0 && j >= i - 4; --j) {
        if (!IsContinuation(static_cast<unsigned char>(text[j]))) {
            const int n = Utf8SequenceLength(text.data() + j, text.size() - j);
            return n == i - j ? j : i - 1;
        }
    }
    return i - 1;
}

bool LooksLikeUtf8(const char* data, std::size_t size) {
    if (size >= kUtf8Bom.size() && std::memcmp(data, kUtf8Bom.data(), kUtf8Bom.size()) == 0) return true;
    bool multibyte = false;
    if (IsValidUtf8(data, size, &multibyte)) return multibyte;
    Utf8Tally tally;
    tally.Add(data, size);
    return tally.Mostly();
}

void Utf8Tally::Add(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size;) {
        // ASCII eight bytes at a time: most of any text.
        if (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, data + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const int n = Utf8SequenceLength(data + i, size - i);
        if (n == 0) ++invalid;
        else if (n > 1) ++multibyte;
        i += std::size_t(n == 0 ? 1 : n);
    }
}

int EncodeUtf8(char32_t cp, char* out) {
    auto* u = reinterpret_cast<unsigned char*>(out);
    if (cp < 0x80) {
        u[0] = static_cast<unsigned char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        u[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
        u[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
    if (cp < 0x10000) {
        u[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
        u[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        u[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 3;
    }
    if (cp > 0x10FFFF) return 0;
    u[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
    u[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
    u[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
    u[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 4;
}

std::string Utf8Of(char32_t cp) {
    char buffer[4];
    return std::string(buffer, EncodeUtf8(cp, buffer));
}

std::string AnsiToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
            continue;
        }
        const char16_t glyph = AnsiGlyph(byte);
        out += Utf8Of(glyph == 0xFFFD ? byte : glyph);
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (int i = 0; i < static_cast<int>(text.size());) {
        int n = 1;
        const char32_t cp = Utf8Decode(text, i, &n);
        if (cp == kInvalidByte || cp < 0x80) {
            out += text[i];
        } else {
            char byte = '?';
            for (int b = 0x80; b < 0x100; ++b) {
                const char16_t glyph = AnsiGlyph(static_cast<unsigned char>(b));
                if (glyph == cp || (glyph == 0xFFFD && cp == char32_t(b))) {
                    byte = static_cast<char>(b);
                    break;
                }
            }
            out += byte;
        }
        i += n;
    }
    return out;
}

bool IsUnicodeWordChar(char32_t cp) {
    if (cp < 0x80) return (cp >= '0' && cp <= '9') || ((cp | 0x20) >= 'a' && (cp | 0x20) <= 'z');
    return cp != kInvalidByte && InRanges(kWordRanges, cp);
}

int CellWidth(char32_t cp) { return cp >= 0x1100 && cp != kInvalidByte && InRanges(kWideRanges, cp) ? 2 : 1; }

char32_t SimpleFold(char32_t cp) {
    if (cp < 0x80) return cp >= 'A' && cp <= 'Z' ? cp + 0x20 : cp;
    if (cp == kInvalidByte) return cp;
    const FoldRun* end = kFoldRuns + std::size(kFoldRuns);
    const FoldRun* it =
        std::upper_bound(kFoldRuns, end, cp, [](char32_t v, const FoldRun& r) { return v < r.first; });
    if (it == kFoldRuns) return cp;
    const FoldRun& run = *(it - 1);
    if (cp > run.last || (cp - run.first) % run.stride != 0) return cp;
    return static_cast<char32_t>(static_cast<long long>(cp) + run.delta);
}

std::string FoldUtf8SameLength(std::string_view text) {
    std::string out(text);
    for (int i = 0; i < static_cast<int>(text.size());) {
        int n = 1;
        const char32_t cp = Utf8Decode(text, i, &n);
        if (cp >= 'A' && cp <= 'Z') {
            out[i] = static_cast<char>(cp + 0x20);
        } else if (cp >= 0x80 && cp != kInvalidByte) {
            char folded[4];
            if (EncodeUtf8(SimpleFold(cp), folded) == n) out.replace(i, n, folded, n);
        }
        i += n;
    }
    return out;
}

long long Utf8Cells(std::string_view text, int end, int tabStep) { return Utf8CellsFrom(text, 0, end, 0, tabStep); }

long long Utf8CellsFrom(std::string_view text, int from, int end, long long startCell, int tabStep) {
    end = std::min<int>(std::max(end, 0), static_cast<int>(text.size()));
    const long long step = std::max(tabStep, 1);
    long long cells = startCell;
    int i = std::max(from, 0);
    while (i < end) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            cells = c == '\t' ? (cells / step + 1) * step : cells + 1;
            ++i;
            continue;
        }
        int length = 1;
        const char32_t cp = Utf8Decode(text, i, &length);
        if (i + length > end) break;  // an index inside a character stands at its start
        cells += CellWidth(cp);
        i += length;
    }
    return cells;
}

int Utf8IndexOfCell(std::string_view text, long long target, int tabStep) {
    const int size = static_cast<int>(text.size());
    long long cells = 0;
    int i = 0;
    while (cells < target && i < size) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        long long next;
        int length = 1;
        if (c == '\t')
            next = (cells / tabStep + 1) * tabStep;
        else if (c < 0x80)
            next = cells + 1;
        else
            next = cells + CellWidth(Utf8Decode(text, i, &length));
        if (next > target) break;  // the target lies inside this tab or wide character
        cells = next;
        i += length;
    }
    return i;
}

}  // namespace varlin
