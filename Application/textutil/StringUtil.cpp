// String utilities on caller buffers: each routine is one pass over its input and keeps
// no state between calls except the cursor of the token routines.
#include "textutil/StringUtil.h"

#include "textutil/CodeTables.h"

#include <cstring>

namespace varlin {

void CopyString(char* dst, const char* src, int size) {
    if (!dst || size < 1) return;
    if (!src) src = "";
    int i = 0;
    for (; i < size - 1 && src[i]; ++i) dst[i] = src[i];
    std::memset(dst + i, 0, std::size_t(size - i));
}

void AppendString(char* dst, const char* src, int size) {
    if (!dst || !src || size < 1) return;
    int length = int(strnlen(dst, std::size_t(size)));
    if (length >= size) {
        length = size - 1;
        dst[length] = '\0';
    }
    for (; length < size - 1 && *src; ++length, ++src) dst[length] = *src;
    dst[length] = '\0';
}

bool IsBlankChar(int c) {
    unsigned char b = (unsigned char)c;
    return b >= 1 && b <= 32;
}

bool IsBlank(const char* s) {
    if (!s) return true;
    for (; *s; ++s)
        if (!IsBlankChar(*s)) return false;
    return true;
}

int NextToken(const char** cursor, char sep, char* out, int outSize) {
    if (!out || outSize < 1) return 0;
    out[0] = '\0';
    if (!cursor || !*cursor || !**cursor || sep == '\0') return 0;
    const char* p = *cursor;
    int n = 0;
    for (; *p && *p != sep; ++p)
        if (n < outSize - 1) out[n++] = *p;
    out[n] = '\0';
    if (*p == sep) ++p;
    *cursor = p;
    return 1;
}

void GetListItem(const char* list, int index, char sep, char* out, int outSize) {
    if (!out || outSize < 1) return;
    out[0] = '\0';
    if (index < 0) return;
    const char* cursor = list;
    for (int i = 0; i <= index; ++i)
        if (!NextToken(&cursor, sep, out, outSize)) return;
}

int InsertBlanks(char* s, int pos, int n, int size) {
    if (!s || n < 0 || pos < 0 || size < 1) return -1;
    int length = int(strnlen(s, std::size_t(size)));
    if (length >= size || length + n >= size - 1 || pos > length) return -1;
    std::memmove(s + pos + n, s + pos, std::size_t(length - pos + 1));
    std::memset(s + pos, ' ', std::size_t(n));
    return 0;
}

void DeleteChars(char* s, int pos, int n, int size) {
    if (!s || pos < 0 || n < 1 || size < 1) return;
    int length = int(strnlen(s, std::size_t(size)));
    if (pos >= length) return;
    if (n > length - pos) n = length - pos;
    // Moves the rest with its terminator, or terminates at the buffer's last byte when
    // the text filled the buffer without one.
    int tail = length - pos - n;
    std::memmove(s + pos, s + pos + n, std::size_t(tail));
    s[pos + tail] = '\0';
}

void EscapeQuotes(const char* in, char* out, int size) {
    if (!out || size < 1) return;
    int room = size;
    char* o = out;
    for (; in && *in && room >= 3; ++in) {
        if (*in == '"') {
            *o++ = '\\';
            --room;
        }
        *o++ = *in;
        --room;
    }
    if (room >= 1) *o = '\0';
}

bool IsNotLowerLetter(int c) {
    unsigned char b = (unsigned char)c;
    return !(IsAnsiAlphaNumeric(b) && IsAnsiLower(b));
}

bool IsIdentifierBreak(int c) {
    unsigned char b = (unsigned char)c;
    bool letter = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
    bool digit = b >= '0' && b <= '9';
    return !(letter || digit || b == '_');
}

const char* FindText(const char* s, const char* sub) {
    if (!s || !sub) return nullptr;
    return std::strstr(s, sub);
}

int FindFrom(const char* s, int start, const char* sub) {
    if (!s || !sub || start < 0) return -1;
    std::size_t length = std::strlen(s);
    if (std::size_t(start) > length) return -1;
    const char* hit = std::strstr(s + start, sub);
    return hit ? int(hit - s) : -1;
}

char* ReadPiece(char* buf, int size, std::FILE* file, int wide) {
    if (!buf || size < 1 || !file) return nullptr;
    if (!wide) return std::fgets(buf, size, file);
    int stored = 0;
    // Like fgets, a full buffer ends the piece; the rest of the line is the next piece.
    while (stored < size - 1) {
        int low = std::fgetc(file);
        if (low == EOF) break;
        int high = std::fgetc(file);
        if (high == EOF) break;  // a pair cut by the end of the file
        buf[stored++] = char(low);
        if (low == '\n') break;
    }
    if (stored == 0) return nullptr;
    buf[stored] = '\0';
    return buf + stored;
}

}  // namespace varlin
