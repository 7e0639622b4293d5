// The colour runs of a row, in the painter's order: the number field, comments (also
// opened above the rows shown), a routine start red to the right edge, keywords and plain
// text, and the marked range inverted without syntax colours.
#include "document/Language.h"
#include "document/LineStore.h"
#include "settings/Options.h"
#include "editing/RowLayout.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace varlin {
namespace {

// Runs as text: "first+count:colour" with colour T L H K C, an "i" for inverse.
std::string Describe(const std::vector<CellRun>& runs) {
    std::ostringstream out;
    for (const CellRun& r : runs) {
        const char* names = "TLHKC";
        out << r.first << '+' << r.count << ':' << names[static_cast<int>(r.color)]
            << (r.inverse ? "i" : "") << ' ';
    }
    std::string s = out.str();
    if (!s.empty()) s.pop_back();
    return s;
}

class PaintRunsTest : public ::testing::Test {
protected:
    void SetUp() override { SetCurrentOptions(&options); }
    void TearDown() override { SetCurrentOptions(nullptr); }

    void Open(const std::vector<std::string>& lines, int highlight = 1) {
        store.SetFileName("test.c");
        SelectLanguage(store, highlight);
        for (std::size_t i = 0; i < lines.size(); ++i) store.SetLine(static_cast<int>(i), lines[i]);
    }
    std::string Runs(int line, int first, int count, const DragRange* range = nullptr,
                     RowGeometry g = RowGeometry{5, 8}) {
        store.BuildCommentIndex(line, line + 1);  // the end is exclusive
        std::vector<CellRun> runs;
        RowColorRuns(store, line, store.LineView(line), g, first, count, range, 100, runs);
        return Describe(runs);
    }

    Options options;
    LineStore store;
};

TEST_F(PaintRunsTest, SyntaxColoursOfARow) {
    Open({"int main(void) // entry", "x = 1; // note", "int x;", "\tif (a) return;", "x = \"int\";"});
    EXPECT_EQ(Runs(0, 0, 60), "0+5:L 5+55:H") << "a routine start is red to the edge";
    EXPECT_EQ(Runs(1, 0, 60), "0+5:L 5+7:T 12+48:C") << "a line comment and the cells after it";
    EXPECT_EQ(Runs(2, 0, 20), "0+5:L 5+3:K 8+12:T");
    EXPECT_EQ(Runs(3, 0, 30), "0+5:L 5+8:T 13+2:K 15+5:T 20+6:K 26+4:T")
        << "runs count characters but are applied to cells; the tab stands in front";
    EXPECT_EQ(Runs(4, 0, 20), "0+5:L 5+15:T") << "a keyword inside a string is no keyword";
}

TEST_F(PaintRunsTest, RunsFromAScrolledColumnAndWithoutMargin) {
    Open({"x = 1; // note"});
    EXPECT_EQ(Runs(0, 3, 10), "3+2:L 5+7:T 12+1:C");
    EXPECT_EQ(Runs(0, 8, 10, nullptr, RowGeometry{0, 8}), "8+10:C");
}

TEST_F(PaintRunsTest, ABlockCommentOpenedAboveTheRowsShown) {
    Open({"/* start", "int x;", "end */ int y;"});
    EXPECT_EQ(Runs(1, 0, 20), "0+5:L 5+15:C");
    EXPECT_EQ(Runs(2, 0, 20), "0+5:L 5+6:C 11+1:T 12+3:K 15+5:T");
}

TEST_F(PaintRunsTest, ColouringOffPaintsTextOnly) {
    Open({"int main(void) // entry"}, 0);
    EXPECT_EQ(Runs(0, 0, 40), "0+5:L 5+35:T");
}

TEST_F(PaintRunsTest, TheMarkedRangeIsInvertedWithoutSyntaxColours) {
    Open({"a", "b", "", "int abcdef", "x", "int uvwxyz"});
    const DragRange range{3, 9, 5, 11};  // normalised: (3, 9) ... (5, 11) inclusive
    EXPECT_EQ(Runs(3, 0, 100, &range), "0+5:L 5+3:K 8+1:T 9+91:Ti") << "to the right edge";
    EXPECT_EQ(Runs(4, 0, 100, &range), "0+5:L 5+95:Ti") << "a whole line to the edge";
    EXPECT_EQ(Runs(5, 0, 100, &range), "0+5:L 5+7:Ti 12+88:T") << "up to the last column";
    EXPECT_EQ(Runs(2, 0, 100, &range), "0+5:L 5+95:T") << "outside the range";
    EXPECT_EQ(Runs(4, 50, 10, &range), "50+10:Ti") << "scrolled right";
}

}  // namespace
}  // namespace varlin
