// Comment index: the store's list of lines holding block markers must give the same
// start line as reading back line by line from the range, and the same spans over the
// range, after any mix of loading, edits, sorting and changes of language. The reference
// below reads back that way and then reads every line down to the range; the store skips
// the lines between, which can only hold line comments above the range.
#include "document/Language.h"
#include "document/LineStore.h"
#include "platform/HeadlessHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace varlin {
namespace {

class CommentIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.writeMessagesToStderr = false;
        host.Install();
    }
    HeadlessHost host;
};

int ReferenceStart(const LineStore& s, int from) {
    int start = from - 1;
    while (start > 0 && !s.HasCommentDelimiter(start)) --start;
    return std::max(start, 0);
}

bool At(std::string_view text, std::size_t k, const std::string& marker) {
    return !marker.empty() && text.size() - k >= marker.size() && text.compare(k, marker.size(), marker) == 0;
}

// The index as the painter expects it, newest first, from the look-back line by line.
std::vector<CommentSpan> ReferenceIndex(const LineStore& s, int from, int to) {
    std::vector<CommentSpan> spans;
    if (!s.highlight) return spans;
    to = std::min(to, s.GetLineCount());
    bool inBlock = false;
    for (int line = ReferenceStart(s, from); line < to; ++line) {
        std::string_view text = s.LineView(line);
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (text[k] == '"') {
                std::size_t close = text.find('"', k + 1);
                if (close == std::string_view::npos) break;
                k = close;
            } else if (inBlock) {
                if (At(text, k, s.blockCloseMarker)) {
                    spans.back().endLine = line;
                    spans.back().endCol = int(k) + 1;
                    inBlock = false;
                    k += s.blockCloseMarker.size() - 1;
                }
            } else if (At(text, k, s.lineCommentMarker)) {
                spans.push_back({line, int(k), line, kCommentOpenEndCol});
                break;
            } else if (At(text, k, s.blockOpenMarker)) {
                spans.push_back({line, int(k), s.Capacity(), kCommentOpenEndCol});
                inBlock = true;
                k += s.blockOpenMarker.size() - 1;
            }
        }
    }
    std::reverse(spans.begin(), spans.end());
    return spans;
}

// The spans that reach line from or below, in the index's order: all the painter reads.
std::string Describe(const std::vector<CommentSpan>& spans, int from) {
    std::string out;
    for (const CommentSpan& c : spans)
        if (c.endLine >= from)
            out += "{" + std::to_string(c.startLine) + "," + std::to_string(c.startCol) + "," +
                   std::to_string(c.endLine) + "," + std::to_string(c.endCol) + "}";
    return out;
}

// The store's index and start line against the reference, for one range.
::testing::AssertionResult SameIndex(LineStore& s, int from, int to) {
    const int start = s.CommentScanStart(from);
    if (start != ReferenceStart(s, from))
        return ::testing::AssertionFailure() << "from " << from << ": start " << start << ", read back "
                                             << ReferenceStart(s, from);
    s.BuildCommentIndex(from, to);
    const std::string got = Describe(s.CommentIndex(), from), want = Describe(ReferenceIndex(s, from, to), from);
    if (got != want)
        return ::testing::AssertionFailure() << "range " << from << ".." << to << ": " << got << " instead of " << want;
    return ::testing::AssertionSuccess();
}

void Fill(LineStore& s, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) s.SetLine(int(i), lines[i]);
}

struct StartCase {
    const char* name;
    std::vector<std::string> lines;
    int from;
    int start;
};

TEST_F(CommentIndexTest, StartLineIsTheNearestMarkedLineAbove) {
    const std::vector<StartCase> cases = {
        {"no marker anywhere", {"a", "b", "c", "d"}, 3, 0},
        {"a closing marker stops the look-back", {"/* a", "b */", "x", "y"}, 3, 1},
        {"the range's own first line is not looked at", {"a", "b", "/* c", "d"}, 2, 0},
        {"a marker in quotes counts", {"a", "s = \"*/\";", "x"}, 2, 1},
        {"a line comment is no marker", {"a", "// b", "c"}, 2, 0},
        {"half a marker is none", {"a", "/", "*", "c"}, 4, 0},
        {"a range from line 1 starts at 0", {"/* a", "b"}, 1, 0},
        {"a range past the end looks back from there", {"a", "/* b", "c"}, 50, 1},
    };
    for (const StartCase& c : cases) {
        LineStore s;
        Fill(s, c.lines);
        EXPECT_EQ(s.CommentScanStart(c.from), c.start) << c.name;
        EXPECT_TRUE(SameIndex(s, c.from, c.from + 3)) << c.name;
    }
}

TEST_F(CommentIndexTest, LinesBetweenTheStartLineAndTheRangeAreNotRead) {
    LineStore s;
    Fill(s, {"/* a */ // b", "// c", "x // d", "/* e", "// f", "g */ // h"});
    s.BuildCommentIndex(5, 6);
    ASSERT_EQ(s.CommentScanStart(5), 3);
    // The block opened on the start line, closed in the range, and the range's own line
    // comment; nothing from line 4 (inside the block) or from lines 0 to 2.
    EXPECT_EQ(Describe(s.CommentIndex(), 0), "{5,5,5,5000}{3,0,5,3}");
}

TEST_F(CommentIndexTest, EditsAfterALoadMoveTheStartLine) {
    LineStore s;
    std::string text;
    for (int i = 0; i < 300; ++i) text += "int x;\n";
    auto block = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), block.get());
    const char* p = block.get();
    ASSERT_EQ(s.AdoptBlock(std::move(block), text.size()), 0);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(s.AppendBlockLine(p + 7 * i, 6), 0);
    EXPECT_EQ(s.CommentScanStart(250), 0);

    s.SetLine(100, "/* open");
    EXPECT_EQ(s.CommentScanStart(250), 100);
    s.BuildCommentIndex(250, 260);
    ASSERT_EQ(s.CommentIndex().size(), 1u);
    EXPECT_EQ(s.CommentIndex()[0].startLine, 100);
    EXPECT_EQ(s.CommentIndex()[0].endLine, s.Capacity());

    s.InsertLines(50, 10);
    EXPECT_EQ(s.CommentScanStart(250), 110);
    s.DeleteLines(105, 20);  // takes the marked line with it
    EXPECT_EQ(s.CommentScanStart(250), 0);
    s.SetLine(200, "x */");
    s.SetNullLine(200);
    EXPECT_EQ(s.CommentScanStart(250), 0);
}

TEST_F(CommentIndexTest, ChangingTheLanguageRereadsTheMarkers) {
    LineStore s;
    Fill(s, {"a", "(* pascal", "b", "/* c", "d"});
    s.SetFileName("unit.c");
    SelectLanguage(s, 1);
    EXPECT_EQ(s.CommentScanStart(3), 0);
    s.SetFileName("unit.pas");
    SelectLanguage(s, 1);
    EXPECT_EQ(s.CommentScanStart(3), 1);
    EXPECT_EQ(s.CommentScanStart(5), 1);
    SelectLanguage(s, 0);
    EXPECT_EQ(s.CommentScanStart(5), 0);
    s.BuildCommentIndex(0, 5);
    EXPECT_TRUE(s.CommentIndex().empty());
}

// Short lines of marker characters, so that markers come and go with most edits.
std::string RandomLine(std::mt19937& random) {
    static const char* const pieces[] = {"/*", "*/", "(*", "*)", "//", "\"", "/", "*", "(", ")", "{", "}", "a", " "};
    std::string line;
    const int n = int(random() % 6);
    for (int k = 0; k < n; ++k) line += pieces[random() % (sizeof pieces / sizeof *pieces)];
    return line;
}

void LoadLines(LineStore& s, std::mt19937& random, int n) {
    std::vector<std::string> lines;
    std::string text;
    for (int i = 0; i < n; ++i) {
        lines.push_back(RandomLine(random));
        text += lines.back();
    }
    auto block = std::make_unique<char[]>(text.size() + 1);
    std::copy(text.begin(), text.end(), block.get());
    const char* p = block.get();
    ASSERT_EQ(s.AdoptBlock(std::move(block), text.size()), 0);
    for (const std::string& line : lines) {
        ASSERT_EQ(s.AppendBlockLine(p, line.size()), 0);
        p += line.size();
    }
}

TEST_F(CommentIndexTest, RandomEditsGiveTheIndexOfTheLookBack) {
    struct Markers { const char* open; const char* close; };
    const Markers markers[] = {{"/*", "*/"}, {"(*", "*)"}, {"{", "}"}, {"", ""}, {"/*", ""}};
    for (unsigned seed = 1; seed <= 150; ++seed) {
        std::mt19937 random(seed);
        LineStore s;
        LoadLines(s, random, int(random() % 40));
        for (int step = 0; step < 80; ++step) {
            const int count = s.GetLineCount();
            const int at = count > 0 ? int(random() % unsigned(count)) : 0;
            switch (random() % 20) {
            case 0: case 1: case 2: case 3: case 4: case 5:
                s.SetLine(int(random() % unsigned(count + 3)), RandomLine(random));
                break;
            case 6:
                s.SetNullLine(int(random() % unsigned(count + 3)));
                break;
            case 7: case 8: case 9:
                s.InsertLines(at, 1 + int(random() % 3));
                break;
            case 10: case 11: case 12:
                s.DeleteLines(at, 1 + int(random() % 4));
                break;
            case 13: case 14:
                s.SortLines(at, at + int(random() % 8), random() % 2 == 0);
                break;
            case 15:
                s.TrimTail();
                break;
            case 16: {
                const Markers& m = markers[random() % (sizeof markers / sizeof *markers)];
                s.blockOpenMarker = m.open;
                s.blockCloseMarker = m.close;
                break;
            }
            case 17:
                s.highlight = !s.highlight;
                break;
            case 18:
                LoadLines(s, random, int(random() % 5));  // more lines appended by the reader
                break;
            default:
                if (random() % 4 == 0) {
                    s.Clear();
                    LoadLines(s, random, int(random() % 40));
                }
                break;
            }
            for (int q = 0; q < 3; ++q) {
                const int from = int(random() % unsigned(s.GetLineCount() + 3));
                ASSERT_TRUE(SameIndex(s, from, from + int(random() % 10))) << "seed " << seed << " step " << step;
            }
        }
    }
}

}  // namespace
}  // namespace varlin
