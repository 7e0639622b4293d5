// The search engine: pattern compilation, the scan of line views, and the replace and mark
// steps at a hit. The scan looks for the places where a byte that can begin a hit stands
// with one that can end it the pattern's length further (SSE2, else memchr), and only
// compares the rest of the pattern there, so a document is searched at memory speed
// whether or not case is told apart. Lines that lie one after another in their read block
// (a file as loaded) are scanned a run of lines at a time rather than line by line.
#include "search/SearchEngine.h"

#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "platform/EscapeNotation.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "search/RegexSearch.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"
#include "textutil/Utf8.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#define VARLIN_SEARCH_SSE2 1
#endif

namespace varlin {
namespace {

constexpr int kLineOverflowMessage = 1110;
// Up to this many candidate first bytes are looked for with SSE2 (or memchr per byte);
// more candidates (never the case for letters) go through the fold table byte by byte.
constexpr int kMemchrCandidates = 3;

// The text as a zero-terminated buffer of 256 bytes would hold it: expanded or copied,
// cut at 255 characters and at a NUL. False for a refused notation.
bool ExpandText(const std::string& text, int expand, std::string& out) {
    std::string plain = text.substr(0, std::min(text.find('\0'), text.size()));
    if (!expand) {
        out = CutFindText(plain);
        return true;
    }
    char buffer[kFindTextMax + 1];
    const int n = Korvel_EscapeToBinary(plain.c_str(), buffer, sizeof buffer);
    if (n < 0) {
        out.clear();
        return false;
    }
    out.assign(buffer, static_cast<std::size_t>(n));
    return true;
}

// The line as the work buffer holds it.
std::string_view CutLine(const EditWindow& w, int line) {
    std::string_view v = w.doc->LineView(line);
    const std::size_t limit = static_cast<std::size_t>(std::max(WorkBufferSize(w) - 1, 0));
    return v.size() > limit ? v.substr(0, limit) : v;
}

// Whether the pattern stands at i of data from its byte `from` on (the earlier ones are
// known to match).
inline bool MatchesAt(const SearchPattern& p, const unsigned char* data, std::size_t i, std::size_t from) {
    const std::size_t n = p.text.size();
    const auto* pat = reinterpret_cast<const unsigned char*>(p.text.data());
    if (p.utf8Folded) {
        // Folding keeps every character's length, so the line's n bytes fold on their own.
        const std::string folded = FoldUtf8SameLength(std::string_view(reinterpret_cast<const char*>(data + i), n));
        return folded == p.text;
    }
    if (!p.folded) return std::memcmp(data + i + from, pat + from, n - from) == 0;
    for (std::size_t j = from; j < n; ++j)
        if (p.fold[data[i + j]] != pat[j]) return false;
    return true;
}

// Fills the vector scan's copies of the candidate bytes (see SearchPattern).
void SpreadCandidates(SearchPattern& p) {
    auto spread = [](unsigned char (&out)[3][16], const unsigned char* bytes, int count) {
        for (int k = 0; k < 3; ++k)
            std::memset(out[k], count > k ? bytes[k] : bytes[0], sizeof out[k]);
    };
    spread(p.firstSpread, p.firstBytes, p.firstByteCount);
    p.scanBothEnds = p.text.size() > 1 && p.lastByteCount > 0 && p.lastByteCount <= kMemchrCandidates;
    spread(p.lastSpread, p.lastBytes, p.scanBothEnds ? p.lastByteCount : 1);
    // One byte, or two that differ in one bit (a letter's two cases): a byte v is one of
    // them when v | bit equals the first | bit, one comparison instead of three.
    auto oneBitApart = [](const unsigned char* bytes, int count, unsigned char& value, unsigned char& bit) {
        if (count < 1 || count > 2) return false;
        bit = count == 2 ? static_cast<unsigned char>(bytes[0] ^ bytes[1]) : 0;
        value = static_cast<unsigned char>(bytes[0] | bit);
        return (bit & (bit - 1)) == 0;
    };
    unsigned char firstValue = 0, firstBit = 0, lastValue = 0, lastBit = 0;
    p.scanByBit = oneBitApart(p.firstBytes, p.firstByteCount, firstValue, firstBit) &&
                  (!p.scanBothEnds || oneBitApart(p.lastBytes, p.lastByteCount, lastValue, lastBit));
    if (p.scanByBit) {
        std::memset(p.firstSpread[0], firstValue, 16);
        std::memset(p.firstSpread[1], firstBit, 16);
        std::memset(p.lastSpread[0], lastValue, 16);
        std::memset(p.lastSpread[1], lastBit, 16);
    }
}

// A UTF-8 pattern without case: an ASCII first byte has its two cases as candidates; any
// other first character may have a partner with another lead byte, so every byte is.
bool CompileUtf8FoldedPattern(const FindSettings& s, SearchPattern& p) {
    p.startOfLine = s.StartOfLine != 0;
    p.endOfLine = s.EndOfLine != 0;
    p.folded = true;
    for (int b = 0; b < 256; ++b) p.fold[b] = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
    p.firstByteCount = 0;
    p.lastByteCount = 0;  // only the first byte is looked for
    if (p.text.empty()) return false;
    const auto first = static_cast<unsigned char>(p.text[0]);
    for (int b = 0; b < 256; ++b)
        if (first >= 0x80 || p.fold[b] == first) p.firstBytes[p.firstByteCount++] = static_cast<unsigned char>(b);
    SpreadCandidates(p);
    return true;
}

int FindUtf8Folded(const SearchPattern& p, std::string_view line, std::size_t start) {
    const std::size_t n = p.text.size();
    if (n == 0 || line.size() < n || start > line.size() - n) return -1;
    const auto* data = reinterpret_cast<const unsigned char*>(line.data());
    const auto first = static_cast<unsigned char>(p.text[0]);
    for (std::size_t i = start; i <= line.size() - n; ++i) {
        if (first < 0x80 ? p.fold[data[i]] != first : data[i] < 0xC2) continue;
        if (MatchesAt(p, data, i, 0)) return static_cast<int>(i);
    }
    return -1;
}

#ifndef VARLIN_SEARCH_SSE2
std::size_t NextOf(const unsigned char* data, unsigned char c, std::size_t from, std::size_t last) {
    if (from > last) return SIZE_MAX;
    const void* hit = std::memchr(data + from, c, last + 1 - from);
    return hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - data) : SIZE_MAX;
}
#endif

#ifdef VARLIN_SEARCH_SSE2
// Whether a byte of v is one of up to three candidates (spread by SpreadCandidates), as a
// byte mask; ByBit: the candidates are a value and a bit (SearchPattern::scanByBit).
template <bool ByBit>
struct Candidates {
    __m128i c0, c1, c2;
    explicit Candidates(const unsigned char (&spread)[3][16]) {
        c0 = _mm_load_si128(reinterpret_cast<const __m128i*>(spread[0]));
        c1 = _mm_load_si128(reinterpret_cast<const __m128i*>(spread[1]));
        c2 = _mm_load_si128(reinterpret_cast<const __m128i*>(spread[2]));
    }
    __m128i In(__m128i v) const {
        if (ByBit) return _mm_cmpeq_epi8(_mm_or_si128(v, c1), c0);
        return _mm_or_si128(_mm_cmpeq_epi8(v, c0), _mm_or_si128(_mm_cmpeq_epi8(v, c1), _mm_cmpeq_epi8(v, c2)));
    }
};

bool IsCandidate(const unsigned char* bytes, int count, unsigned char b) {
    for (int k = 0; k < count; ++k)
        if (bytes[k] == b) return true;
    return false;
}

// The first index in from ... last that holds one of the (at most three) candidate first
// bytes and, n - 1 bytes further, one of the candidate last bytes (when there are at most
// three of those), sixteen places at a time; SIZE_MAX when there is none. One pass
// whatever the number of candidates, which matters when case is ignored and letters have
// two. The last byte of a hit is at most at last + n - 1, the end of the data.
template <bool ByBit>
std::size_t NextCandidateBy(const SearchPattern& p, const unsigned char* data, std::size_t from,
                            std::size_t last) {
    const std::size_t tail = p.text.size() - 1;
    const bool bothEnds = p.scanBothEnds;
    const Candidates<ByBit> first(p.firstSpread);
    const Candidates<ByBit> lastOnes(p.lastSpread);
    // The candidates among the sixteen places from at on (their last bytes from at + tail).
    auto places = [&](const unsigned char* at) {
        __m128i eq = first.In(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
        if (bothEnds) eq = _mm_and_si128(eq, lastOnes.In(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + tail))));
        return static_cast<unsigned>(_mm_movemask_epi8(eq));
    };
    const std::size_t end = last + 1;
    std::size_t i = from;
    for (; i + 16 <= end; i += 16) {
        const unsigned mask = places(data + i);
        if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    }
    if (i >= end) return SIZE_MAX;
    if (tail > kFindTextMax) {
        for (; i < end; ++i)
            if (IsCandidate(p.firstBytes, p.firstByteCount, data[i]) &&
                (!bothEnds || IsCandidate(p.lastBytes, p.lastByteCount, data[i + tail])))
                return i;
        return SIZE_MAX;
    }
    // The last places (fewer than sixteen; most of a short line) in one more step: the
    // sixteen places that end with them when there are so many (those before i masked
    // off), else a copy padded with zeros, since the bytes behind the data may not be read.
    unsigned mask = 0;
    std::size_t base = i;
    if (end >= 16) {
        base = end - 16;
        mask = places(data + base) & (0xFFFFu << (i - base));
    } else {
        const std::size_t count = end - i;
        const std::size_t have = count + tail;  // the bytes from i to the end of the data
        unsigned char copy[16 + kFindTextMax + 16];
        std::memcpy(copy, data + i, have);
        std::memset(copy + have, 0, 16 + tail - have);
        mask = places(copy) & ((1u << count) - 1);
    }
    return mask != 0 ? base + static_cast<std::size_t>(__builtin_ctz(mask)) : SIZE_MAX;
}

std::size_t NextCandidate(const SearchPattern& p, const unsigned char* data, std::size_t from, std::size_t last) {
    return p.scanByBit ? NextCandidateBy<true>(p, data, from, last) : NextCandidateBy<false>(p, data, from, last);
}

// FindInLine's scan of the line's places start ... last.
template <bool ByBit>
int FindCandidateHit(const SearchPattern& p, const unsigned char* data, std::size_t start, std::size_t last) {
    for (std::size_t i = NextCandidateBy<ByBit>(p, data, start, last); i != SIZE_MAX;
         i = i < last ? NextCandidateBy<ByBit>(p, data, i + 1, last) : SIZE_MAX)
        if (MatchesAt(p, data, i, 1)) return static_cast<int>(i);
    return -1;
}

// FindAllInLine's scan of the places start ... last (sixteen places or more in all):
// sixteen places at a time, every candidate of them tried, the last places in the sixteen
// that end with them.
template <bool ByBit>
void CollectHits(const SearchPattern& p, const unsigned char* data, std::size_t start, std::size_t last,
                 std::vector<int>& hits) {
    const std::size_t tail = p.text.size() - 1;
    const bool bothEnds = p.scanBothEnds;
    const Candidates<ByBit> first(p.firstSpread);
    const Candidates<ByBit> lastOnes(p.lastSpread);
    auto places = [&](std::size_t at) {
        __m128i eq = first.In(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at)));
        if (bothEnds)
            eq = _mm_and_si128(eq, lastOnes.In(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + tail))));
        return static_cast<unsigned>(_mm_movemask_epi8(eq));
    };
    auto take = [&](std::size_t base, unsigned mask) __attribute__((always_inline)) {
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t i = base + static_cast<std::size_t>(__builtin_ctz(mask));
            if (MatchesAt(p, data, i, 1)) hits.push_back(static_cast<int>(i));
        }
    };
    const std::size_t end = last + 1;
    std::size_t i = start;
    for (; i + 16 <= end; i += 16) take(i, places(i));
    if (i < end) take(end - 16, places(end - 16) & (0xFFFFu << (i - (end - 16))));
}
#endif

// Lines that lie one after another in their read block (a file as loaded) are searched as
// one piece of memory, a run of lines at a time, instead of line by line: the per-line
// calls cost more than the scan itself on lines of a few dozen bytes. A run starts short,
// so that a replace-all with a hit in every other line reads no further than the next
// hit, and doubles while nothing is found.
constexpr int kFirstRun = 16;
constexpr int kLongestRun = 1 << 16;
constexpr int kLinesBeforeRuns = 4;

// Whether a pattern can be looked for over a run: its first byte has at most three
// candidates (and the scan has SSE2); any other pattern is searched line by line.
bool ScansRuns(const SearchPattern& p) {
#ifdef VARLIN_SEARCH_SSE2
    return !p.text.empty() && p.firstByteCount > 0 && p.firstByteCount <= kMemchrCandidates;
#else
    (void)p;
    return false;
#endif
}

#ifdef VARLIN_SEARCH_SSE2
// The line of from ... to that holds the byte at: the last non-empty one starting at or
// before it (lines of a run are in address order; empty ones have no address there).
int LineHolding(const LineStore& doc, int from, int to, const char* at) {
    int lo = from;
    int hi = to;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        int m = mid;
        while (m <= hi && doc.LineView(m).empty()) ++m;
        if (m <= hi && doc.LineView(m).data() <= at)
            lo = m;
        else
            hi = mid - 1;
    }
    return lo;
}
#endif

// The first line from l on that may hold a hit, for the line-by-line search to take up:
// one whose text cut at limit bytes holds the pattern, or the first line that does not lie
// in a read block; count when no line from l on holds the pattern. A hit in the block that
// runs across a line end, or beyond the cut, is none.
int NextLineWithHit(const SearchPattern& p, const LineStore& doc, int l, int count, std::size_t limit) {
#ifdef VARLIN_SEARCH_SSE2
    const std::size_t n = p.text.size();
    int want = kFirstRun;
    while (l < count) {
        const char* data = nullptr;
        std::size_t size = 0;
        const int run = doc.BlockRun(l, want, &data, &size);
        if (run == 0) return l;
        const auto* bytes = reinterpret_cast<const unsigned char*>(data);
        if (size >= n) {
            const std::size_t last = size - n;
            for (std::size_t i = NextCandidate(p, bytes, 0, last); i != SIZE_MAX;
                 i = i < last ? NextCandidate(p, bytes, i + 1, last) : SIZE_MAX) {
                if (!MatchesAt(p, bytes, i, 1)) continue;
                const int k = LineHolding(doc, l, l + run - 1, data + i);
                const std::string_view v = doc.LineView(k);
                if (v.empty() || data + i < v.data()) continue;
                const auto offset = static_cast<std::size_t>(data + i - v.data());
                if (offset + n <= std::min(v.size(), limit)) return k;
            }
        }
        l += run;
        want = std::min(want * 2, kLongestRun);
    }
    return count;
#else
    (void)p, (void)doc, (void)count, (void)limit;
    return l;
#endif
}

}  // namespace

bool CompilePattern(const FindSettings& s, int codeTable, SearchPattern& p) {
    ExpandText(s.FindString, s.ExpandEscapes, p.text);
    const bool ignoreCase = s.CapsSens == 0;
    const bool oem = codeTable == kCodeTableOem;
    const bool utf8 = codeTable == kCodeTableUtf8;
    p.utf8Folded = utf8 && ignoreCase;
    if (p.utf8Folded) {
        p.text = FoldUtf8SameLength(p.text);
        return CompileUtf8FoldedPattern(s, p);
    }
    if (ignoreCase) AnsiUpperBytes(p.text);
    p.startOfLine = s.StartOfLine != 0;
    p.endOfLine = s.EndOfLine != 0;
    p.folded = ignoreCase || oem;
    for (int b = 0; b < 256; ++b) {
        unsigned char f = static_cast<unsigned char>(b);
        if (oem) f = OemToAnsi(f);
        if (ignoreCase) f = AnsiUpper(f);
        p.fold[b] = f;
    }
    p.firstByteCount = 0;
    if (p.text.empty()) return false;
    const auto first = static_cast<unsigned char>(p.text[0]);
    const auto lastByte = static_cast<unsigned char>(p.text.back());
    p.lastByteCount = 0;
    for (int b = 0; b < 256; ++b) {
        if (p.fold[b] == first) p.firstBytes[p.firstByteCount++] = static_cast<unsigned char>(b);
        if (p.fold[b] == lastByte) p.lastBytes[p.lastByteCount++] = static_cast<unsigned char>(b);
    }
    SpreadCandidates(p);
    return true;
}

int FindInLine(const SearchPattern& p, std::string_view line, int from) {
    const std::size_t n = p.text.size();
    const std::size_t start = static_cast<std::size_t>(std::max(from, 0));
    if (p.utf8Folded) return FindUtf8Folded(p, line, start);
    // No byte of the line can begin a hit when none folds to the pattern's first byte.
    if (n == 0 || p.firstByteCount == 0 || line.size() < n || start > line.size() - n) return -1;
    const auto* data = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t last = line.size() - n;  // the last index a hit can begin at
    if (p.firstByteCount > kMemchrCandidates) {
        const auto first = static_cast<unsigned char>(p.text[0]);
        for (std::size_t i = start; i <= last; ++i)
            if (p.fold[data[i]] == first && MatchesAt(p, data, i, 1)) return static_cast<int>(i);
        return -1;
    }
#ifdef VARLIN_SEARCH_SSE2
    return p.scanByBit ? FindCandidateHit<true>(p, data, start, last) : FindCandidateHit<false>(p, data, start, last);
#else
    // The next place of each candidate byte; the smallest is the next place to try.
    std::size_t next[kMemchrCandidates];
    for (int k = 0; k < p.firstByteCount; ++k) next[k] = NextOf(data, p.firstBytes[k], start, last);
    for (;;) {
        int best = -1;
        for (int k = 0; k < p.firstByteCount; ++k)
            if (next[k] != SIZE_MAX && (best < 0 || next[k] < next[best])) best = k;
        if (best < 0) return -1;
        const std::size_t i = next[best];
        if (MatchesAt(p, data, i, 1)) return static_cast<int>(i);
        next[best] = NextOf(data, p.firstBytes[best], i + 1, last);
    }
#endif
}

void FindAllInLine(const SearchPattern& p, std::string_view line, int from, std::vector<int>& hits) {
    hits.clear();
#ifdef VARLIN_SEARCH_SSE2
    const std::size_t n = p.text.size();
    const std::size_t start = static_cast<std::size_t>(std::max(from, 0));
    // A line with sixteen places or more (most lines with a hit), in one pass.
    if (!p.utf8Folded && n > 0 && p.firstByteCount > 0 && p.firstByteCount <= kMemchrCandidates &&
        line.size() >= n + 15 && start <= line.size() - n) {
        const auto* data = reinterpret_cast<const unsigned char*>(line.data());
        if (p.scanByBit)
            CollectHits<true>(p, data, start, line.size() - n, hits);
        else
            CollectHits<false>(p, data, start, line.size() - n, hits);
        return;
    }
#endif
    for (int hit = FindInLine(p, line, from); hit >= 0; hit = FindInLine(p, line, hit + 1)) hits.push_back(hit);
}

bool PatternAt(const SearchPattern& p, std::string_view line, int index) {
    if (index < 0 || p.text.empty() || static_cast<std::size_t>(index) > line.size() ||
        line.size() - static_cast<std::size_t>(index) < p.text.size())
        return false;
    return MatchesAt(p, reinterpret_cast<const unsigned char*>(line.data()), static_cast<std::size_t>(index), 0);
}

int SearchFromIndex(const SearchPattern& p, const EditWindow& w, int& line, int& index,
                    std::string_view* lineText) {
    const int count = w.LineCount();
    if (line >= count || p.text.empty()) return 0;
    const std::size_t n = p.text.size();
    const int startLine = std::max(line, 0);
    const bool runs = ScansRuns(p);
    const std::size_t limit = static_cast<std::size_t>(std::max(WorkBufferSize(w) - 1, 0));
    int missed = 0;  // lines without a hit since the last scan of a run
    for (int l = startLine; l < count; ++l) {
        // Runs are scanned from the line after a few that held no hit: a hit in one of the
        // next lines (a replace-all in a dense text) is found sooner on its own, and so is
        // one in the start line, which may be searched from an index inside it.
        if (runs && missed >= kLinesBeforeRuns) {
            missed = 0;
            l = NextLineWithHit(p, *w.doc, l, count, limit);
            if (l >= count) break;
        }
        ++missed;
        const std::string_view whole = w.doc->LineView(l);
        if (whole.size() < n) continue;
        const std::string_view v = whole.size() > limit ? whole.substr(0, limit) : whole;
        if (v.size() < n) continue;
        const int from = l == line ? index : 0;
        int pos = 0;
        if (p.startOfLine) {
            // The first occurrence at or after a start past index 0 cannot begin the line.
            if (from > 0 || !MatchesAt(p, reinterpret_cast<const unsigned char*>(v.data()), 0, 0)) continue;
        } else {
            pos = FindInLine(p, v, from);
            if (pos < 0) continue;
        }
        if (p.endOfLine && static_cast<std::size_t>(pos) != v.size() - n) continue;
        line = l;
        index = pos;
        if (lineText) *lineText = whole;
        return 1;
    }
    return 0;
}

int SearchForward(const SearchPattern& p, EditWindow& w, int& line, int& col) {
    if (line >= w.LineCount() || p.text.empty()) return 0;
    int l = line;
    int index = line >= 0 ? ColumnToIndex(w, CutLine(w, line), col) : 0;
    if (!SearchFromIndex(p, w, l, index)) return 0;
    line = l;
    col = IndexToColumn(w, CutLine(w, l), index);
    return 1;
}

int AdvanceColumn(const EditWindow& w, std::string_view text, int fromIndex, int fromCol, int toIndex) {
    if (w.doc->utf8) {
        const long long margin = MarginWidth(w);
        const long long col = margin + Utf8CellsFrom(text, fromIndex, toIndex, fromCol - margin, TabStepWidth(w));
        return static_cast<int>(std::min<long long>(col, 0x7FFFFFFF));
    }
    return AdvanceColumn(text, fromIndex, fromCol, toIndex, MarginWidth(w), TabStepWidth(w));
}

int AdvanceColumn(std::string_view text, int fromIndex, int fromCol, int toIndex, int marginWidth,
                  int tabStep) {
    const long long margin = marginWidth;
    const long long step = std::max(tabStep, 1);
    long long textCol = static_cast<long long>(fromCol) - margin;
    const int end = std::min<int>(toIndex, static_cast<int>(text.size()));
    for (int i = std::max(fromIndex, 0); i < end; ++i)
        textCol = text[static_cast<std::size_t>(i)] == '\t' ? (textCol / step + 1) * step : textCol + 1;
    return static_cast<int>(std::min<long long>(textCol + margin, 0x7FFFFFFF));
}

int SearchForward(const FindSettings& s, EditWindow& w, int& line, int& col) {
    if (s.Regex) return RegexSearchForward(s, w, line, col);
    SearchPattern pattern;
    if (!CompilePattern(s, DocumentCodeTable(w), pattern)) return 0;
    WaitCursor wait;
    return SearchForward(pattern, w, line, col);
}

int MatchedLength(const FindSettings& s) {
    std::string text;
    ExpandText(s.FindString, s.ExpandEscapes, text);
    return static_cast<int>(text.size());
}

bool PrepareReplacement(const std::string& replaceText, int expandEscapes, int codeTable,
                        std::string& bytes) {
    if (!ExpandText(replaceText, expandEscapes, bytes)) return false;
    // The stored line stays in its table: a replacement typed in ANSI goes in as OEM.
    if (codeTable == kCodeTableOem) AnsiToOemBytes(bytes);
    return true;
}

int ReplaceAtIndex(EditWindow& w, int matchedLength, std::string_view replacement, int line,
                   int index) {
    if (line < 0 || line >= w.LineCount()) return -1;
    const std::string_view stored = w.doc->LineView(line);
    const long long limit = static_cast<long long>(WorkBufferSize(w)) - 1;
    // A line longer than the work buffer would lose its end if it were written back.
    const bool cut = static_cast<long long>(stored.size()) > limit;
    const int len = static_cast<int>(stored.size());
    const int i = std::clamp(index, 0, len);
    const int m = std::clamp(matchedLength, 0, len - i);
    if (cut || static_cast<long long>(len) - m + static_cast<long long>(replacement.size()) >= limit) {
        ShowMessage(kLineOverflowMessage);
        return -1;
    }
    // One buffer for the whole program: a replace-all makes no allocation per hit but the
    // line's own.
    static std::string rebuilt;
    rebuilt.assign(stored.substr(0, static_cast<std::size_t>(i)));
    rebuilt.append(replacement);
    rebuilt.append(stored.substr(static_cast<std::size_t>(i + m)));
    return w.doc->SetLine(line, rebuilt) == 0 ? 0 : -1;
}

int ReplacePrepared(EditWindow& w, int matchedLength, std::string_view replacement, int line,
                    int& col) {
    if (line < 0 || line >= w.LineCount()) return -1;
    const int i = ColumnToIndex(w, w.doc->LineView(line), col);
    if (ReplaceAtIndex(w, matchedLength, replacement, line, i) != 0) return -1;
    col = IndexToColumn(w, w.doc->LineView(line), i + static_cast<int>(replacement.size()));
    return 0;
}

int ReplaceAtHit(EditWindow& w, int matchedLength, const std::string& replaceText, int line,
                 int& col, int expandEscapes) {
    std::string bytes;
    if (!PrepareReplacement(replaceText, expandEscapes, DocumentCodeTable(w), bytes)) return -1;
    return ReplacePrepared(w, matchedLength, bytes, line, col);
}

void MarkHitColumns(EditWindow& w, int line, int fromCol, int toCol) {
    // The previous hit's mark goes; its line is repainted only when it is another one.
    if (w.dragKind != kDragNone) {
        if (w.FromLine != w.ToLine)
            ViewInvalidateAll(w.view);
        else if (w.FromLine != line)
            ViewInvalidateLines(w.view, w.FromLine, w.FromLine);
    }
    w.dragKind = kDragMarked;
    w.FromLine = line;
    w.ToLine = line;
    w.FromCol = fromCol;
    w.ToCol = toCol;
    RefreshStatus(w, kStatusRange);
}

void MarkHit(EditWindow& w, int line, int col, int length) {
    const std::string_view v = CutLine(w, line);
    const int i = ColumnToIndex(w, v, col);
    MarkHitColumns(w, line, col, IndexToColumn(w, v, i + std::max(length, 0)));
}

}  // namespace varlin
