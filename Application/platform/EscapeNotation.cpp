// Expansion of the escape notation of search texts.
#include "platform/EscapeNotation.h"

#include <cstring>

namespace varlin {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

char Simple(char c) {
    switch (c) {
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'f': return '\f';
    case 'v': return '\v';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'e': return 27;
    case '\\': return '\\';
    default: return 0;
    }
}

}  // namespace

bool EscapeToBinary(const std::string& src, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < src.size(); ++i) {
        char c = src[i];
        if (c != '\\' || i + 1 >= src.size()) {
            out += c;
            continue;
        }
        char next = src[i + 1];
        if (next == '0') {
            out.clear();
            return false;
        }
        if (char simple = Simple(next)) {
            out += simple;
            ++i;
            continue;
        }
        if (next == 'x' && i + 2 < src.size() && HexDigit(src[i + 2]) >= 0) {
            int value = HexDigit(src[i + 2]);
            std::size_t used = 3;
            if (i + 3 < src.size() && HexDigit(src[i + 3]) >= 0) {
                value = value * 16 + HexDigit(src[i + 3]);
                used = 4;
            }
            if (value == 0) {
                out.clear();
                return false;
            }
            out += char(value);
            i += used - 1;
            continue;
        }
        out += c;  // a backslash that starts no notation stands for itself
    }
    return true;
}

int Korvel_EscapeToBinary(const char* src, char* dst, int size) {
    if (!dst || size < 1) return -1;
    dst[0] = '\0';
    if (!src) return -1;
    std::string out;
    if (!EscapeToBinary(src, out)) return -1;
    std::size_t n = out.size() < std::size_t(size - 1) ? out.size() : std::size_t(size - 1);
    std::memcpy(dst, out.data(), n);
    dst[n] = '\0';
    return int(n);
}

}  // namespace varlin
