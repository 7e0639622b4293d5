// Tab stops, position order and line-end trimming.
#include "platform/TextHelpers.h"

#include <climits>
#include <cstring>

namespace varlin {

int NextTabStop(int tabDistance, int column) {
    long long d = tabDistance < 2 ? 2 : tabDistance;
    long long stop = (column / d + 1) * d;
    if (column < 0 && column % d != 0) stop -= d;  // round toward the next stop on the right
    return stop > INT_MAX ? INT_MAX : int(stop);
}

int ComparePositions(int lineA, int colA, int lineB, int colB) {
    if (lineA != lineB) return lineA < lineB ? -1 : 1;
    if (colA != colB) return colA < colB ? -1 : 1;
    return 0;
}

int TrimLineEnd(char* text) {
    if (!text) return 0;
    std::size_t n = std::strlen(text);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == 26)) --n;
    text[n] = '\0';
    return int(n);
}

int CountLeadingBlanks(const char* text) {
    if (!text) return 0;
    int n = 0;
    while (text[n] == ' ' || text[n] == '\t') ++n;
    return n;
}

void BackslashesToSlashes(char* text) {
    if (!text) return;
    for (; *text; ++text)
        if (*text == '\\') *text = '/';
}

}  // namespace varlin
