// The search engine on its own: which occurrence a search from a position finds, with the
// flags, the code tables, escape notation and the line buffer's limit, and the replace
// step at a hit with its overflow rule.
#include "search/SearchTestSupport.h"

#include "platform/Messages.h"
#include "textutil/CodeTables.h"

#include <cstring>
#include <random>
#include <vector>

namespace varlin {
namespace {

using test::Load;
using test::Render;

struct Fixture : test::SearchFixture {};

constexpr int kEscapes = 8;  // a test-only flag next to the Mode bits: ExpandEscapes

struct SearchCase {
    const char* name;
    const char* text;       // '|' marks the start of the search
    const char* pattern;
    int flags;              // Mode bits 1, 2, 4 and kEscapes
    int codeTable;
    const char* expected;   // the text with '|' at the hit, or nullptr for none
};

// Bytes: E4 ä, C4 Ä, FC ü in ANSI; 81 ü, 9A Ü, 84 ä, 8E Ä in the OEM table.
const SearchCase kCases[] = {
    {"HitAtTheStartIsFound", "ab|cd abcd", "cd", 1, 2, "ab|cd abcd"},
    {"HitLeftOfTheStartIsSkipped", "cd |x cd", "cd", 1, 2, "cd x |cd"},
    {"NoWrapAround", "foo\nbar|", "foo", 0, 2, nullptr},
    {"LaterLine", "x|y\nzz\n  needle", "needle", 0, 2, "xy\nzz\n  |needle"},
    {"CaseIgnoredAscii", "|one TWO", "two", 0, 2, "one |TWO"},
    {"CaseToldApart", "|one TWO two", "two", 1, 2, "one TWO |two"},
    {"UmlautFoldsWithoutCapsSens", "|x\xC4y", "\xE4", 0, 2, "x|\xC4y"},
    {"UmlautKeptWithCapsSens", "|x\xC4y", "\xE4", 1, 2, nullptr},
    {"SharpSHasNoCapital", "|STRASSE stra\xDF" "e", "\xDF", 0, 2, "STRASSE stra|\xDF" "e"},
    {"StartOfLineFromTheMiddleSkipsTheLine", "a|b ab\nxab\nab", "ab", 2, 2, "ab ab\nxab\n|ab"},
    {"StartOfLineAtIndexZero", "|ab\n", "ab", 2, 2, "|ab\n"},
    {"EndOfLine", "|ab x\nxab", "ab", 4, 2, "ab x\nx|ab"},
    // Only the first occurrence at or after the start is tested against the line's end.
    {"EndOfLineTestsOnlyTheFirstOccurrence", "|ab ab\nab", "ab", 4, 2, "ab ab\n|ab"},
    {"EndOfLineFromBehindTheFirst", "ab |ab", "ab", 4, 2, "ab |ab"},
    {"BothEnds", "|abab\nab", "ab", 6, 2, "abab\n|ab"},
    {"OemByteFoundByAnsiPattern", "|x\x81y", "\xFC", 1, 1, "x|\x81y"},
    {"OemCapitalFoundWithoutCapsSens", "|x\x9Ay", "\xFC", 0, 1, "x|\x9Ay"},
    {"AnsiDocumentIsNotConverted", "|x\x81y", "\xFC", 1, 2, nullptr},
    {"CodeTableZeroIsAnsi", "|x\xFCy", "\xFC", 1, 0, "x|\xFCy"},
    {"TabsGiveDisplayColumns", "|\tab", "ab", 0, 2, "\t|ab"},
    {"EscapeNotationExpanded", "|a\tb", "a\\tb", kEscapes, 2, "|a\tb"},
    {"EscapeNotationLiteralWithoutFlag", "|a\tb a\\tb", "a\\tb", 0, 2, "a\tb |a\\tb"},
    {"NotationExpandingToNothingFindsNothing", "|abc", "\\0", kEscapes, 2, nullptr},
    {"PatternLongerThanLine", "|ab", "abc", 0, 2, nullptr},
    {"CandidateAfterAFailedOne", "|iIx ix", "IX", 0, 2, "i|Ix ix"},
};

class SearchCases : public Fixture, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchCases, FindsTheFirstHitFromTheStart) {
    const SearchCase& c = GetParam();
    options.CodeTable = c.codeTable;
    Load(*w, c.text);
    FindSettings s;
    s.FindString = c.pattern;
    ApplyMode(s, c.flags, ModeUse::Find);
    s.ExpandEscapes = (c.flags & kEscapes) ? 1 : 0;
    int line = w->caretLine;
    int col = w->caretCol;
    const int found = SearchForward(s, *w, line, col);
    if (!c.expected) {
        EXPECT_EQ(found, 0);
        EXPECT_EQ(line, w->caretLine);
        EXPECT_EQ(col, w->caretCol);
        return;
    }
    ASSERT_EQ(found, 1);
    w->caretLine = line;
    w->caretCol = col;
    EXPECT_EQ(Render(*w), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Search, SearchCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Fixture, ColumnsCountTheLineNumberMargin) {
    options.LineNumbers = 1;
    Load(*w, "ab\ncd");
    FindSettings s;
    s.FindString = "d";
    int line = 0;
    int col = MarginWidth(*w);
    ASSERT_EQ(SearchForward(s, *w, line, col), 1);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(col, MarginWidth(*w) + 1);
}

TEST_F(Fixture, StartBelowTheDocumentFails) {
    Load(*w, "ab");
    FindSettings s;
    s.FindString = "ab";
    int line = 1;
    int col = 0;
    EXPECT_EQ(SearchForward(s, *w, line, col), 0);
}

TEST_F(Fixture, PatternIsCutAt255Characters) {
    const std::string head(255, 'p');
    Load(*w, head + "X");
    FindSettings s;
    s.FindString = head + std::string(100, 'q');  // the part behind 255 is never compared
    s.CapsSens = 1;
    int line = 0;
    int col = 0;
    ASSERT_EQ(SearchForward(s, *w, line, col), 1);
    EXPECT_EQ(col, 0);
    EXPECT_EQ(MatchedLength(s), 255);
}

TEST_F(Fixture, LinesAreSearchedAsTheWorkBufferHoldsThem) {
    options.LngLineBuffer = 50;
    // A line of exactly B - 1 characters is searched to its end; a longer one (only a
    // program can store it) only as far as the buffer reaches.
    const std::string full = std::string(47, '.') + "zz";
    const std::string longer = std::string(49, '.') + "zz";
    Load(*w, longer + "\n" + full);
    FindSettings s;
    s.FindString = "zz";
    s.EndOfLine = 1;
    int line = 0;
    int col = 0;
    ASSERT_EQ(SearchForward(s, *w, line, col), 1);
    EXPECT_EQ(line, 1);
    EXPECT_EQ(col, 47);
}

TEST_F(Fixture, ManyCandidateBytesAreScannedThroughTheTable) {
    // With the OEM table '?' stands for every byte without an ANSI place, so many bytes
    // fold to it; the scan must still find the first real one.
    options.CodeTable = 1;
    SearchPattern p;
    FindSettings s;
    s.FindString = "?x";
    ASSERT_TRUE(CompilePattern(s, 1, p));
    ASSERT_GT(p.firstByteCount, 3);
    Load(*w, "|a?b?x");
    int line = 0;
    int col = 0;
    ASSERT_EQ(SearchForward(p, *w, line, col), 1);
    EXPECT_EQ(FindInLine(p, "a?b?x", 0), col);
}

TEST_F(Fixture, FirstByteThatNoOemByteReachesFindsNothing) {
    // An ANSI character without a place in the OEM table can never begin a hit in an OEM
    // document; in particular no NUL byte may stand in for it.
    FindSettings s;
    s.CapsSens = 1;
    SearchPattern p;
    int unreachable = -1;
    for (int b = 128; b < 256 && unreachable < 0; ++b) {
        s.FindString = std::string(1, static_cast<char>(b)) + "x";
        ASSERT_TRUE(CompilePattern(s, 1, p));
        if (p.firstByteCount == 0) unreachable = b;
    }
    ASSERT_GE(unreachable, 0);
    EXPECT_EQ(FindInLine(p, std::string_view("a\0x\0x", 5), 0), -1);
}

TEST(FindInLineRandom, AgreesWithSearchingAConvertedCopy) {
    // The scan compares bytes through one table; the reference converts a copy of the line
    // as a buffer would be converted (OEM to ANSI, upper case) and searches it plainly.
    std::mt19937 random(11);
    const std::string alphabet = std::string("iInN?x\t ", 9) + std::string("\0\xE4\xC4\x81\x9A\x84\xFF\x9F", 8);
    auto text = [&](int maxLength) {
        std::string t;
        const int length = static_cast<int>(random() % static_cast<unsigned>(maxLength + 1));
        for (int i = 0; i < length; ++i) t += alphabet[random() % alphabet.size()];
        return t;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string line = text(70);
        FindSettings s;
        s.FindString = text(3);
        if (round % 2 && !line.empty()) {  // a piece of the line itself, so that long patterns hit too
            const std::size_t at = random() % line.size();
            s.FindString = line.substr(at, 1 + random() % 12);
        }
        s.CapsSens = static_cast<int>(random() % 2);
        const int codeTable = static_cast<int>(random() % 3);
        const int from = static_cast<int>(random() % 72);
        SearchPattern p;
        if (!CompilePattern(s, codeTable, p)) continue;  // empty after the cut at a NUL
        std::string copy = line;
        if (codeTable == 1) OemToAnsiBytes(copy);
        if (!s.CapsSens) AnsiUpperBytes(copy);
        const std::size_t expected = copy.find(p.text, static_cast<std::size_t>(from));
        const int want = expected == std::string::npos ? -1 : static_cast<int>(expected);
        ASSERT_EQ(FindInLine(p, line, from), want) << "round " << round;
        // All hits in one pass are the hits one after the other.
        std::vector<int> all, oneByOne;
        FindAllInLine(p, line, from, all);
        for (int hit = FindInLine(p, line, from); hit >= 0; hit = FindInLine(p, line, hit + 1)) oneByOne.push_back(hit);
        ASSERT_EQ(all, oneByOne) << "round " << round;
    }
}

TEST_F(Fixture, SearchOverTheReadBlockAgreesWithLineByLine) {
    // Lines as a load leaves them (one after another in a block, separated by line ends,
    // by nothing where a long line was split, here also by letters) are searched a run at
    // a time; the same lines stored one by one are searched line by line. Some lines of
    // the block are stored again (own and pooled), some are empty, some longer than the
    // work buffer, the later ones may lie in a second block; every pattern, flag, code
    // table and start must give the same hit.
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"i", "I", "n", "x", "\t", "\r", "\xE4", "\xC4",
                                             "\xC3\xA9", "\xC3\x89", " ", "ab"};
    auto piece = [&] { return pieces[random() % pieces.size()]; };
    const std::vector<std::string> gaps = {"\n", "\r\n", "", "iX"};
    EditWindow byLine;
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> lines(static_cast<std::size_t>(1 + random() % 200));
        std::string block;
        std::vector<std::size_t> starts;
        for (std::string& line : lines) {
            const int n = random() % 8 == 0 ? 0 : static_cast<int>(random() % 12);
            for (int k = 0; k < n; ++k) line += piece();
            starts.push_back(block.size());
            block += line + gaps[random() % gaps.size()];
        }
        w->doc->Clear();
        byLine.doc->Clear();
        // The lines from `second` on lie in a second block (a run must not reach across).
        const std::size_t second = random() % 2 ? random() % lines.size() : lines.size();
        const char* base[2] = {};
        for (int b = 0; b < 2; ++b) {
            auto owned = std::make_unique<char[]>(block.size() + 1);
            std::memcpy(owned.get(), block.data(), block.size());
            base[b] = owned.get();
            ASSERT_EQ(w->doc->AdoptBlock(std::move(owned), block.size()), 0);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(w->doc->AppendBlockLine(base[i >= second] + starts[i], lines[i].size()), 0);
            ASSERT_EQ(byLine.doc->SetLine(static_cast<int>(i), lines[i]), 0);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const unsigned r = random() % 10;
            if (r == 0) w->doc->SetLine(static_cast<int>(i), lines[i]);
            if (r == 1) w->doc->SetPooledLine(static_cast<int>(i), lines[i]);
        }
        for (int query = 0; query < 150; ++query) {
            options.LngLineBuffer = random() % 4 == 0 ? 4 + static_cast<int>(random() % 20) : 3000;
            FindSettings s;
            const std::string& source = lines[random() % lines.size()];
            if (random() % 3 != 0 && !source.empty()) {
                const std::size_t at = random() % source.size();
                s.FindString = source.substr(at, 1 + random() % 6);
            } else {
                s.FindString = piece() + piece();
            }
            s.CapsSens = static_cast<int>(random() % 2);
            s.StartOfLine = random() % 5 == 0 ? 1 : 0;
            s.EndOfLine = random() % 5 == 0 ? 1 : 0;
            SearchPattern p;
            if (!CompilePattern(s, static_cast<int>(random() % 4), p)) continue;
            int fastLine = static_cast<int>(random() % (lines.size() + 1)) - 1;
            int fastIndex = random() % 2 ? 0 : static_cast<int>(random() % 8);
            int line = fastLine;
            int index = fastIndex;
            const int found = SearchFromIndex(p, *w, fastLine, fastIndex);
            ASSERT_EQ(found, SearchFromIndex(p, byLine, line, index)) << "round " << round << " query " << query;
            ASSERT_EQ(fastLine, line) << "round " << round << " query " << query;
            ASSERT_EQ(fastIndex, index) << "round " << round << " query " << query;
        }
    }
}

// ---- ReplaceAtHit ----------------------------------------------------------------------

TEST_F(Fixture, ReplaceMovesBehindTheInsertedText) {
    Load(*w, "say abc now");
    int col = 4;
    ASSERT_EQ(ReplaceAtHit(*w, 3, "wxyz", 0, col, 0), 0);
    EXPECT_EQ(Text(), "say wxyz now");
    EXPECT_EQ(col, 8);
}

TEST_F(Fixture, ReplacementIsStoredInTheOemTable) {
    options.CodeTable = 1;
    Load(*w, "x\x81y");
    int col = 1;
    ASSERT_EQ(ReplaceAtHit(*w, 1, "\xC4", 0, col, 0), 0);  // Ä
    EXPECT_EQ(Text(), "x\x8Ey");
}

TEST_F(Fixture, ReplacementWithEscapes) {
    Load(*w, "a-b");
    int col = 1;
    ASSERT_EQ(ReplaceAtHit(*w, 1, "\\t", 0, col, 1), 0);
    EXPECT_EQ(Text(), "a\tb");
    col = 0;
    EXPECT_EQ(ReplaceAtHit(*w, 1, "\\0", 0, col, 1), -1);  // refused: nothing is replaced
    EXPECT_EQ(Text(), "a\tb");
}

TEST_F(Fixture, OverflowIsRefusedAtTheBufferLimit) {
    options.LngLineBuffer = 10;
    // A result of B - 2 characters fits; one of B - 1 is refused with message 1110.
    Load(*w, "abcdefg");
    int col = 0;
    ASSERT_EQ(ReplaceAtHit(*w, 1, "AB", 0, col, 0), 0);
    EXPECT_EQ(Text(), "ABbcdefg");
    col = 0;
    EXPECT_EQ(ReplaceAtHit(*w, 1, "XY", 0, col, 0), -1);
    EXPECT_EQ(Text(), "ABbcdefg");
    EXPECT_EQ(col, 0);
    EXPECT_EQ(host.messageIds, std::vector<int>{1110});
}

TEST_F(Fixture, LineLongerThanTheBufferIsNotCut) {
    options.LngLineBuffer = 10;
    const std::string longLine = "ab" + std::string(20, '.');
    Load(*w, longLine);
    int col = 0;
    EXPECT_EQ(ReplaceAtHit(*w, 1, "", 0, col, 0), -1);
    EXPECT_EQ(Text(), longLine);
}

TEST_F(Fixture, MarkHitMarksTheMatchedLength) {
    Load(*w, "\tab cd");
    MarkHit(*w, 0, 8, 2);
    EXPECT_EQ(w->dragKind, kDragMarked);
    EXPECT_EQ(w->FromLine, 0);
    EXPECT_EQ(w->ToLine, 0);
    EXPECT_EQ(w->FromCol, 8);
    EXPECT_EQ(w->ToCol, 10);
    DragRange r;
    ASSERT_EQ(GetNormalizedDrag(*w, r), kDragMarked);
    EXPECT_EQ(r.ToCol, 9);  // inclusive: the hit's last character
}

}  // namespace
}  // namespace varlin
