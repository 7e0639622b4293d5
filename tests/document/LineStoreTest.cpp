// Line store: null versus empty lines, growth past the end, moving entries, sorting,
// memory that follows the document, and the comment index the painter reads.
#include "document/LineStore.h"
#include "platform/HeadlessHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace varlin {
namespace {

class LineStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.writeMessagesToStderr = false;
        host.Install();
    }
    HeadlessHost host;
};

std::vector<std::string> Lines(const LineStore& s) {
    std::vector<std::string> out;
    for (int i = 0; i < s.GetLineCount(); ++i)
        out.push_back(s.IsNullLine(i) ? "<null>" : std::string(s.LineView(i)));
    return out;
}

void Fill(LineStore& s, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "<null>")
            s.SetNullLine(int(i));
        else
            s.SetLine(int(i), lines[i]);
    }
}

TEST_F(LineStoreTest, WritingPastTheEndPadsWithNullLinesThatTrimTailDrops) {
    LineStore a;
    ASSERT_EQ(a.SetLine(5, "x"), 0);
    EXPECT_EQ(a.GetLineCount(), 6);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a.IsLineEmpty(i), 1) << i;
    a.TrimTail();
    EXPECT_EQ(a.GetLineCount(), 6);

    LineStore b;
    ASSERT_EQ(b.SetNullLine(5), 0);
    EXPECT_EQ(b.GetLineCount(), 6);
    b.TrimTail();
    EXPECT_EQ(b.GetLineCount(), 0);

    LineStore c;  // a stored "" is a line, not a gap
    Fill(c, {"a", "", "<null>"});
    c.TrimTail();
    EXPECT_EQ(Lines(c), (std::vector<std::string>{"a", ""}));
}

TEST_F(LineStoreTest, InsertAndDeleteKeepTheirBounds) {
    LineStore empty;
    EXPECT_EQ(empty.InsertLines(0, 1), 0);
    EXPECT_EQ(empty.GetLineCount(), 0);

    LineStore s;
    Fill(s, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    EXPECT_EQ(s.InsertLines(10, 1), 0);  // not at the end
    EXPECT_EQ(s.GetLineCount(), 10);
    ASSERT_EQ(s.InsertLines(1, 2), 0);
    EXPECT_EQ(Lines(s)[0], "0");
    EXPECT_TRUE(s.IsNullLine(1));
    EXPECT_TRUE(s.IsNullLine(2));
    EXPECT_EQ(Lines(s)[3], "1");
    s.DeleteLines(1, 2);
    s.DeleteLines(3, 100);
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"0", "1", "2"}));
    s.DeleteLines(-1, 1);
    s.DeleteLines(3, 1);
    EXPECT_EQ(s.GetLineCount(), 3);
}

TEST_F(LineStoreTest, ReadsOfMissingLinesAreEmptyAndNeverFail) {
    LineStore s;
    s.SetLine(0, " ");
    EXPECT_EQ(s.IsLineEmpty(0), 0);  // a blank is text
    EXPECT_EQ(s.IsLineEmpty(1), 1);
    EXPECT_EQ(s.IsLineEmpty(-1), 1);
    EXPECT_EQ(s.LineView(7), "");
    EXPECT_EQ(s.SetLine(-1, "x"), -1);
    char buffer[4] = {'q', 'q', 'q', 'q'};
    s.GetLine(9, buffer, sizeof buffer);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(LineStoreTest, GetLineCutsToTheBuffer) {
    LineStore s;
    s.SetLine(0, std::string(5000, 'a'));
    std::vector<char> buffer(3000, 'z');
    s.GetLine(0, buffer.data(), 3000);
    EXPECT_EQ(std::string(buffer.data()).size(), 2999u);
}

TEST_F(LineStoreTest, LinesKeepEveryByteValue) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += char(c);
    LineStore s;
    s.SetLine(0, all);
    EXPECT_EQ(s.LineView(0), all);
    s.SetLine(0, s.LineView(0).substr(1));  // a view of the line it replaces
    EXPECT_EQ(s.LineView(0), all.substr(1));
}

TEST_F(LineStoreTest, CapacityIsANumberAndEmptyStoresAreSmall) {
    std::vector<std::unique_ptr<LineStore>> stores;
    std::size_t total = 0;
    for (int i = 0; i < 10; ++i) {
        stores.push_back(std::make_unique<LineStore>());
        EXPECT_EQ(stores.back()->Capacity(), kInitialLineCapacity);
        total += stores.back()->MemoryUsed();
    }
    EXPECT_LT(total, 10u * 1024);

    LineStore s;
    ASSERT_EQ(s.SetLine(kInitialLineCapacity, "x"), 0);  // the first index past the capacity
    EXPECT_EQ(s.Capacity(), kInitialLineCapacity + kLineCapacityGrowth);
    s.Clear();
    EXPECT_EQ(s.GetLineCount(), 0);
    EXPECT_LT(s.MemoryUsed(), 1024u);
}

TEST_F(LineStoreTest, BlockLinesCostNoAllocationUntilChanged) {
    LineStore s;
    std::string text = "alpha\r\nbeta\r\n";
    auto block = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), block.get());
    const char* p = block.get();
    ASSERT_EQ(s.AdoptBlock(std::move(block), text.size()), 0);
    ASSERT_EQ(s.AppendBlockLine(p, 5), 0);
    ASSERT_EQ(s.AppendBlockLine(p + 7, 4), 0);
    ASSERT_EQ(s.AppendBlockLine(p, 0), 0);
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"alpha", "beta", ""}));
    std::size_t before = s.MemoryUsed();
    s.SetLine(1, "gamma");
    EXPECT_GT(s.MemoryUsed(), before);
    EXPECT_LE(s.MemoryUsed(), before + 5 + 64);  // the line, its slot, a few more slots
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"alpha", "gamma", ""}));

    // A loaded file costs its block and four bytes a line, whatever the lengths.
    constexpr int kLines = 100000;
    std::string file;
    for (int i = 0; i < kLines; ++i) file += std::string(std::size_t(i % 300), 'x') + (i % 2 ? "\n" : "\r\n");
    auto big = std::make_unique<char[]>(file.size());
    std::copy(file.begin(), file.end(), big.get());
    const char* q = big.get();
    LineStore t;
    ASSERT_EQ(t.ReserveLines(kLines), 1);
    ASSERT_EQ(t.AdoptBlock(std::move(big), file.size()), 0);
    for (std::size_t at = 0; at < file.size();) {
        const std::size_t end = file.find('\n', at);
        const std::size_t size = end - at - (file[end - 1] == '\r' ? 1 : 0);
        ASSERT_EQ(t.AppendBlockLine(q + at, size), 0);
        at = end + 1;
    }
    EXPECT_LE(t.MemoryUsed(), file.size() + 4 * kLines + 2048);
    EXPECT_EQ(t.LineView(kLines - 1), std::string(std::size_t((kLines - 1) % 300), 'x'));
}

// Random changes of every kind against a plain model, on lines loaded from two blocks
// whose lines end in one, two, three or no bytes (so that both kinds of entry meet every
// change), with lines of any byte and length, set from views of lines of the store itself.
TEST_F(LineStoreTest, RandomChangesMatchAModel) {
    using Model = std::vector<std::optional<std::string>>;
    std::mt19937 rng(20261207);
    auto randomText = [&](std::size_t most) {
        std::string t(rng() % 4 == 0 ? rng() % most : rng() % 12, ' ');
        for (char& c : t) c = rng() % 3 == 0 ? char(rng()) : char('a' + rng() % 26);
        return t;
    };
    auto same = [](const LineStore& s, const Model& m) {
        if (s.GetLineCount() != int(m.size())) return false;
        for (std::size_t i = 0; i < m.size(); ++i)
            if (s.IsNullLine(int(i)) != !m[i] || s.LineView(int(i)) != m[i].value_or("")) return false;
        return true;
    };
    const char* const ends[] = {"\n", "\r\n", "", "\r\r\n"};
    const bool canCopy = FileBackedCopy("x", 1) != nullptr;
    for (int round = 0; round < 30; ++round) {
        LineStore s;
        Model m;
        for (int b = 0; b < 2; ++b) {
            std::string text;
            std::vector<std::pair<std::size_t, std::size_t>> spans;
            for (int k = int(rng() % 100); k > 0; --k) {
                std::string line = randomText(400);
                spans.emplace_back(text.size(), line.size());
                text += line + ends[rng() % 8 == 0 ? rng() % 4 : rng() % 2];
            }
            auto block = std::make_unique<char[]>(text.size() + 1);
            std::copy(text.begin(), text.end(), block.get());
            const char* p = block.get();
            ASSERT_EQ(s.AdoptBlock(std::move(block), text.size()), 0);
            for (auto [at, size] : spans) {
                ASSERT_EQ(s.AppendBlockLine(p + at, size), 0);
                m.push_back(text.substr(at, size));
            }
            // Every other round the text moves to a file-backed copy, as a window's does
            // (where the machine has a temporary folder that takes one).
            if (round % 2 && !text.empty() && canCopy) {
                TextBlock copy = FileBackedCopy(p, text.size());
                ASSERT_TRUE(copy && IsFileBacked(copy));
                ASSERT_TRUE(s.ReplaceLastBlock(std::move(copy)));
            }
        }
        ASSERT_TRUE(same(s, m));
        for (int step = 0; step < 400; ++step) {
            const int count = int(m.size());
            const int i = int(rng() % (count + 3));
            const int n = 1 + int(rng() % 5);
            auto extend = [&](int to) {
                if (to >= int(m.size())) m.resize(std::size_t(to) + 1);
            };
            const int op = int(rng() % 8);
            if (op <= 1) {  // a copy of part of another line, or a new text
                const int j = count ? int(rng() % count) : 0;
                std::string_view from = s.LineView(j);
                std::string_view text = rng() % 2 ? from.substr(std::min<std::size_t>(from.size(), rng() % 3)) : "";
                std::string fresh = randomText(300);
                if (text.empty()) text = fresh;
                const std::string value(text);
                ASSERT_EQ(op == 0 ? s.SetLine(i, text) : s.SetPooledLine(i, text), 0);
                extend(i);
                m[std::size_t(i)] = value;
            } else if (op == 2) {
                ASSERT_EQ(s.SetNullLine(i), 0);
                extend(i);
                m[std::size_t(i)].reset();
            } else if (op == 3) {
                ASSERT_EQ(s.InsertLines(i, n), 0);
                if (i < count) m.insert(m.begin() + i, std::size_t(n), std::nullopt);
            } else if (op == 4) {
                s.DeleteLines(i, n);
                if (i < count) m.erase(m.begin() + i, m.begin() + std::min(count, i + n));
            } else if (op == 5) {
                s.TrimTail();
                while (!m.empty() && !m.back()) m.pop_back();
            } else {
                const int to = std::min(i + n * 8, count - 1);
                const bool descending = op == 7;
                s.SortLines(i, to, descending);
                if (to > i)
                    std::stable_sort(m.begin() + i, m.begin() + to + 1, [&](const auto& a, const auto& b) {
                        return descending ? b.value_or("") < a.value_or("") : a.value_or("") < b.value_or("");
                    });
            }
            if (step % 50 == 0) s.ReleaseReadPages();
            ASSERT_TRUE(same(s, m)) << "round " << round << " step " << step << " op " << op << " at " << i;
            // A block run holds its lines' bytes in order, from the first non-empty one's
            // start to the last one's end.
            const char* data = nullptr;
            std::size_t size = 0;
            const int from = int(rng() % (m.size() + 1));
            const int run = s.BlockRun(from, 1 + int(rng() % 40), &data, &size);
            const char* at = data;
            const char* end = data;
            for (int k = from; k < from + run; ++k) {
                const std::string_view v = s.LineView(k);
                if (v.empty()) continue;
                ASSERT_TRUE(v.data() >= at && v.data() + v.size() <= data + size) << "step " << step << " line " << k;
                if (at == data) {
                    ASSERT_EQ(v.data(), data);
                }
                at = end = v.data() + v.size();
            }
            ASSERT_EQ(end, data + size);
        }
        // Emptied line by line, the store takes a loaded block again.
        s.DeleteLines(0, s.GetLineCount());
        auto again = std::make_unique<char[]>(5);
        std::copy_n("ab\ncd", 5, again.get());
        const char* q = again.get();
        ASSERT_EQ(s.AdoptBlock(std::move(again), 5), 0);
        ASSERT_EQ(s.AppendBlockLine(q, 2), 0);
        ASSERT_EQ(s.AppendBlockLine(q + 3, 2), 0);
        ASSERT_TRUE(same(s, Model{"ab", "cd"}));
        s.Clear();
        EXPECT_LT(s.MemoryUsed(), 1024u);
    }
    EXPECT_TRUE(host.messageIds.empty());
}

// Lines stored by SetPooledLine share blocks; each must still read, change, move and go
// on its own, whatever kind of entry it replaces or is replaced by.
TEST_F(LineStoreTest, PooledLinesBehaveLikeAnyOther) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += char(c);
    const std::string longest(0xFFFD, 'p');  // the longest line a pooled entry holds
    const std::string tooLong(0xFFFE, 'q');  // one more: an allocation of its own
    LineStore s;
    std::string text = "loaded\n";
    auto block = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), block.get());
    const char* p = block.get();
    ASSERT_EQ(s.AdoptBlock(std::move(block), text.size()), 0);
    ASSERT_EQ(s.AppendBlockLine(p, 6), 0);
    ASSERT_EQ(s.SetPooledLine(0, "over loaded"), 0);
    ASSERT_EQ(s.SetPooledLine(1, all), 0);
    ASSERT_EQ(s.SetPooledLine(2, ""), 0);
    ASSERT_EQ(s.SetPooledLine(3, longest), 0);
    ASSERT_EQ(s.SetPooledLine(4, tooLong), 0);
    ASSERT_EQ(s.SetPooledLine(6, "c"), 0);  // past the end: line 5 is null
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"over loaded", all, "", longest, tooLong, "<null>", "c"}));

    s.SetPooledLine(1, s.LineView(1).substr(1));  // a view of the line it replaces
    s.SetLine(0, s.LineView(0).substr(5));
    EXPECT_EQ(s.LineView(1), all.substr(1));
    EXPECT_EQ(s.LineView(0), "loaded");
    s.InsertLines(1, 2);
    s.SetPooledLine(2, "b");
    s.DeleteLines(3, 3);  // the pooled lines of all, "" and longest
    s.TrimTail();
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"loaded", "<null>", "b", tooLong, "<null>", "c"}));
    s.SortLines(0, 5, true);
    EXPECT_EQ(Lines(s), (std::vector<std::string>{tooLong, "loaded", "c", "b", "<null>", "<null>"}));
    s.Clear();
    EXPECT_EQ(s.GetLineCount(), 0);
    EXPECT_LT(s.MemoryUsed(), 1024u);
}

// A pool block goes back with its last line, so that replacing all lines again and again
// (or changing them one by one afterwards) does not pile up memory.
TEST_F(LineStoreTest, PooledLinesGiveTheirMemoryBack) {
    constexpr int kLines = 50000;
    const std::string line(40, 'x');
    LineStore s;
    for (int i = 0; i < kLines; ++i) ASSERT_EQ(s.SetLine(i, line), 0);
    const std::size_t own = s.MemoryUsed();
    for (int i = 0; i < kLines; ++i) ASSERT_EQ(s.SetPooledLine(i, line), 0);
    const std::size_t pooled = s.MemoryUsed();
    EXPECT_LE(pooled, own + (1u << 20));  // no more than a block over a record per line

    for (int round = 0; round < 5; ++round)
        for (int i = 0; i < kLines; ++i) ASSERT_EQ(s.SetPooledLine(i, line), 0);
    EXPECT_LE(s.MemoryUsed(), pooled + (1u << 20));

    // Changed one by one, the lines leave their blocks, which go back (but for the one
    // being filled).
    for (int i = 0; i < kLines; ++i) ASSERT_EQ(s.SetLine(i, line), 0);
    EXPECT_LE(s.MemoryUsed(), own + (1u << 20));
    s.DeleteLines(0, kLines);
    EXPECT_LE(s.MemoryUsed() + kLines * (line.size() + 8), own + (1u << 20));

    // A few lines set again and again (4.8 MB in all) keep to a block or two.
    const std::size_t few = s.MemoryUsed();
    for (int round = 0; round < 100000; ++round) ASSERT_EQ(s.SetPooledLine(round % 3, line), 0);
    EXPECT_LE(s.MemoryUsed(), few + (1u << 20));
    EXPECT_EQ(Lines(s), (std::vector<std::string>{line, line, line}));
}

TEST_F(LineStoreTest, SortingTreatsNullAsEmptyAndComparesUnsignedBytes) {
    LineStore s;
    Fill(s, {"b", "<null>", "a"});
    s.SortLines(0, 2, false);
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"<null>", "a", "b"}));

    LineStore u;
    Fill(u, {"\xE4", "z", "A"});
    u.SortLines(0, 2, false);
    EXPECT_EQ(Lines(u), (std::vector<std::string>{"A", "z", "\xE4"}));
    u.SortLines(0, 2, true);
    EXPECT_EQ(Lines(u), (std::vector<std::string>{"\xE4", "z", "A"}));
}

TEST_F(LineStoreTest, SortingTenThousandLinesIsRefused) {
    LineStore s;
    s.SetLine(10000, "a");
    s.SetLine(0, "b");
    s.SortLines(0, 10000, false);
    EXPECT_EQ(host.messageIds, std::vector<int>{1113});
    EXPECT_EQ(s.LineView(0), "b");
    s.SortLines(0, 9999, false);
    EXPECT_EQ(host.messageIds.size(), 1u);
    EXPECT_EQ(s.LineView(9999), "b");
}

struct CommentCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<CommentSpan> expected;  // newest first
};

TEST_F(LineStoreTest, CommentIndexFindsTheSpansThePainterShows) {
    const int cap = kInitialLineCapacity;
    const std::vector<CommentCase> cases = {
        {"quoted marker opens nothing, real one stays open",
         {"s = \"/*\"; /* open", "still"},
         {{0, 10, cap, 5000}}},
        {"closed on a later line",
         {"s = \"/*\"; /* open", "x */ y"},
         {{0, 10, 1, 3}}},
        {"line comment hides a block opener",
         {"a // b /* c", "d"},
         {{0, 2, 0, 5000}}},
        {"two spans, newest first",
         {"/* a */ b // c"},
         {{0, 10, 0, 5000}, {0, 0, 0, 6}}},
        {"quote inside a block comment skips its marker",
         {"/* \"*/\" */"},
         {{0, 0, 0, 9}}},
        {"an unclosed string ends with its line",
         {"\"abc", "/* x */"},
         {{1, 0, 1, 6}}},
    };
    for (const CommentCase& c : cases) {
        LineStore s;
        Fill(s, c.lines);
        s.BuildCommentIndex(0, s.GetLineCount());
        const auto& got = s.CommentIndex();
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (std::size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].startLine, c.expected[k].startLine) << c.name;
            EXPECT_EQ(got[k].startCol, c.expected[k].startCol) << c.name;
            EXPECT_EQ(got[k].endLine, c.expected[k].endLine) << c.name;
            EXPECT_EQ(got[k].endCol, c.expected[k].endCol) << c.name;
        }
    }
}

TEST_F(LineStoreTest, CommentIndexSeesABlockOpenedAboveTheRange) {
    LineStore s;
    Fill(s, {"/* begins", "inside", "inside", "ends */"});
    s.BuildCommentIndex(2, 4);
    ASSERT_EQ(s.CommentIndex().size(), 1u);
    EXPECT_EQ(s.CommentIndex()[0].startLine, 0);
    EXPECT_EQ(s.CommentIndex()[0].endLine, 3);
    s.InsertLines(1, 2);
    EXPECT_EQ(s.CommentIndex()[0].startLine, 0);
    EXPECT_EQ(s.CommentIndex()[0].endLine, 5);
    s.DeleteLines(0, 1);
    EXPECT_EQ(s.CommentIndex()[0].startLine, -1);
}

TEST_F(LineStoreTest, NoCommentIndexWithoutColouring) {
    LineStore s;
    s.highlight = false;
    s.SetLine(0, "/* x */");
    EXPECT_FALSE(s.HasCommentDelimiter(0));
    s.BuildCommentIndex(0, 1);
    EXPECT_TRUE(s.CommentIndex().empty());
}

}  // namespace
}  // namespace varlin
