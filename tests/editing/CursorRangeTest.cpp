// Cursor and marked range: margin widths, column conversions with tabs, scrolling with
// hysteresis and to the middle, scroll-bar halving, caret visibility, and the normalised
// range with its macro forms.
#include "EditTestSupport.h"

#include <utility>
#include <vector>

namespace varlin::test {
namespace {

TEST(Geometry, MarginGrowsWithTheDigitsOfTheLineCount) {
    Options o;
    SetCurrentOptions(&o);
    const std::vector<std::pair<int, int>> rows = {
        {0, 5}, {99999, 5}, {100000, 6}, {120000, 6}, {999999, 6}, {1000000, 7},
        {9999999, 7}, {10000000, 8}, {99999999, 8}, {100000000, 9},
    };
    for (auto [count, width] : rows) EXPECT_EQ(MarginWidth(count), width) << count;
    o.LineNumbers = 0;
    EXPECT_EQ(MarginWidth(120000), 0);
    SetCurrentOptions(nullptr);
}

TEST(Geometry, ColumnToIndexStopsOnTheTabThatCoversTheColumn) {
    // "a<tab>b": with stops every 8, text columns 1..7 are the tab, 8 is the b.
    const std::string t = "a\tb";
    struct Row { int tab; int col; int index; };
    const std::vector<Row> rows = {
        {8, 0, 0}, {8, 1, 1}, {8, 4, 1}, {8, 7, 1}, {8, 8, 2}, {8, 9, 3}, {8, 500, 3},
        {2, 1, 1}, {2, 2, 2}, {2, 3, 3},   // TabDistance 0 or 1 counts as stops every 2
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ColumnToIndex(t, r.col, 0, r.tab), r.index) << r.tab << "/" << r.col;
        EXPECT_EQ(ColumnToIndex(t, r.col + 6, 6, r.tab), r.index) << "with a margin of 6";
    }
    EXPECT_EQ(ColumnToIndex(t, 3, 6, 8), 0) << "a column in the margin gives index 0";
    EXPECT_EQ(IndexToColumn(t, 2, 0, 8), 8);
    EXPECT_EQ(IndexToColumn(t, 3, 5, 8), 14);
    EXPECT_EQ(IndexToColumn(t, 99, 5, 8), 14) << "stops at the end of the text";
    EXPECT_EQ(IndexToColumn("\t\t", 2, 0, 2), 4);
}

TEST(Geometry, HugeColumnsDoNotOverflow) {
    std::string tabs(3000, '\t');
    EXPECT_EQ(ColumnToIndex(tabs, 0x7FFFFFFF, 9, 1000), 3000);
    EXPECT_EQ(IndexToColumn(tabs, 3000, 9, 1000), 3000 * 1000 + 9);
}

struct ScrollFixture : EditFixture {
    std::vector<std::pair<ScrollBar, std::pair<int, int>>> bars;  // bar, (position, maximum)
    int shows = 0;
    int hides = 0;
    void SetUp() override {
        EditFixture::SetUp();
        for (int i = 0; i < 100; ++i) w->doc->SetLine(i, "line");
        w->view.context = this;
        w->view.setScrollBar = [](void* c, ScrollBar bar, int pos, int max, int) {
            static_cast<ScrollFixture*>(c)->bars.push_back({bar, {pos, max}});
        };
        w->view.showCaret = [](void* c, bool on) { ++(on ? static_cast<ScrollFixture*>(c)->shows
                                                          : static_cast<ScrollFixture*>(c)->hides); };
    }
};

TEST_F(ScrollFixture, LeavingTheViewScrollsByTheHysteresis) {
    // 25 x 80 headless; CaretHystVert 0, CaretHystHori 5 by default.
    SetCaret(*w, 25, 5);
    EXPECT_EQ(w->firstLine, 1) << "one line below the last visible line scrolls one line";
    SetCaret(*w, 25, 80);
    EXPECT_EQ(w->firstCol, 6) << "one column right of the view scrolls 1 + 5 columns";
    SetCaret(*w, 20, 40);
    EXPECT_EQ(w->firstLine, 1) << "inside the view nothing scrolls";
    EXPECT_EQ(w->firstCol, 6);
    SetCaret(*w, 0, 3);
    EXPECT_EQ(w->firstLine, 0);
    EXPECT_EQ(w->firstCol, 0) << "the origin never goes below 0";
    options.CaretHystVert = 3;
    SetCaret(*w, 30, 3);
    EXPECT_EQ(w->firstLine, 9);
    EXPECT_EQ(w->prevCaretLine, 0);
    EXPECT_EQ(w->prevCaretCol, 3);
}

TEST_F(ScrollFixture, CenterOnPutsTheLineInTheMiddleAndTheColumnInFourFifths) {
    CenterOn(*w, 100, 10);
    EXPECT_EQ(w->firstLine, 88);
    EXPECT_EQ(w->firstCol, 0);
    CenterOn(*w, 5, 200);
    EXPECT_EQ(w->firstLine, 0);
    EXPECT_EQ(w->firstCol, 136);
    ScrollHome(*w);
    EXPECT_EQ(w->firstCol, 0);
}

TEST_F(ScrollFixture, ScrollBarRangesAreHalvedTogetherWithThePosition) {
    SetScrollBar(*w, ScrollBar::Vertical, 0, 100000, 1000000);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].second.second, 1000000 >> 5);
    EXPECT_EQ(bars[0].second.first, 100000 >> 5);
    SetScrollBar(*w, ScrollBar::Vertical, 0, 500, 400);
    EXPECT_EQ(bars[1].second, std::make_pair(500, 500)) << "the range reaches at least the position";
    SetScrollBar(*w, ScrollBar::Vertical, 10, 5, 3);
    EXPECT_EQ(bars.size(), 2u) << "min above max sets nothing";
}

TEST_F(ScrollFixture, PagingKeepsTheCursorsPlaceInTheWindow) {
    SetCaret(*w, 3, 2);
    PageDown(*w);
    EXPECT_EQ(w->firstLine, 25);
    EXPECT_EQ(w->caretLine, 28);
    PageUp(*w);
    EXPECT_EQ(w->firstLine, 0);
    EXPECT_EQ(w->caretLine, 3);
    PageRight(*w);
    EXPECT_EQ(w->firstCol, 80);
    EXPECT_EQ(w->caretCol, 82);
    w->firstLine = 100;
    w->caretLine = 110;
    PageDown(*w);
    EXPECT_EQ(w->caretLine, 110) << "no paging down from beyond the document";
}

TEST_F(ScrollFixture, CaretShowAndHideNeverNest) {
    ShowCaret(*w);
    int baseShows = shows;
    StartDrag(*w, kDragMarked, 0, 0, 0, 2);
    ExtendDrag(*w, 0, 3);
    HideCaret(*w);
    EXPECT_EQ(hides, 1);
    ClearDrag(*w);
    ClearDrag(*w);
    EXPECT_EQ(shows, baseShows + 1);
    EXPECT_TRUE(IsCaretShown());
}

struct RangeFixture : EditFixture {
    DragRange Normalized(int& kind) {
        DragRange r;
        kind = GetNormalizedDrag(*w, r);
        return r;
    }
};

TEST_F(RangeFixture, ShiftMovementsMarkFromTheOldCursorPosition) {
    Load(*w, "0\n1\n2\n0123456789abcdef");
    struct Row { const char* actions; int fromLine, fromCol, toLine, toCol; };
    const std::vector<Row> rows = {
        {"Shift+ PosRight", 3, 10, 3, 10},
        {"Shift+ PosLeft", 3, 10, 3, 10},
        {"Shift+ PosRight PosRight PosRight", 3, 10, 3, 12},
        {"Shift+ PosLeft PosLeft PosRight", 3, 10, 3, 10},
        {"Shift+ LineUp", 2, 11, 3, 10},  // drawn backwards: the anchor's character is inside
        {"Shift+ LineDown LineDown", 3, 10, 5, 9},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.actions);
        ReleaseShift();
        ClearDrag(*w);
        SetCaret(*w, 3, 10);
        Act(*w, r.actions);
        int kind = 0;
        DragRange n = Normalized(kind);
        EXPECT_EQ(kind, kDragMarked);
        EXPECT_EQ(n.FromLine, r.fromLine);
        EXPECT_EQ(n.FromCol, r.fromCol);
        EXPECT_EQ(n.ToLine, r.toLine);
        EXPECT_EQ(n.ToCol, r.toCol);
    }
    ReleaseShift();
    PosRight(*w);
    EXPECT_FALSE(HasDrag(*w)) << "a movement without Shift clears the range";
}

TEST_F(RangeFixture, NormalisationOfDrawnRanges) {
    options.LineNumbers = 1;
    Load(*w, "a\nb\nc\nd\ne");
    const int m = MarginWidth(*w);
    const int M = MaxCols(*w) - 1;
    struct Row { int fl, fc, tl, tc; int kind; int nfl, nfc, ntl, ntc; };
    const std::vector<Row> rows = {
        {2, m, 4, m, 3, 2, m, 3, M},          // downwards to a line start: lines 2 and 3 whole
        {2, m + 3, 2, m + 3, 0, 0, 0, 0, 0},  // ends coincide: nothing marked
        {4, 2, 1, m + 7, 3, 1, m, 4, M},      // anchored in the margin: whole lines, ordered
        {3, M, 3, m + 2, 3, 3, m + 3, 3, M},  // backwards within a line
        {2, m + 1, 1, M, 3, 2, m, 2, m + 1},  // backwards from the end of a line: next line's start
    };
    for (const Row& r : rows) {
        w->dragKind = kDragMarked;
        w->FromLine = r.fl;
        w->FromCol = r.fc;
        w->ToLine = r.tl;
        w->ToCol = r.tc;
        int kind = 0;
        DragRange n = Normalized(kind);
        EXPECT_EQ(kind, r.kind) << r.fl << "," << r.fc << " - " << r.tl << "," << r.tc;
        if (kind == 0) continue;
        EXPECT_EQ(n.FromLine, r.nfl);
        EXPECT_EQ(n.FromCol, r.nfc);
        EXPECT_EQ(n.ToLine, r.ntl);
        EXPECT_EQ(n.ToCol, r.ntc);
    }
}

TEST_F(RangeFixture, MacroRangesUseOneBasedTextColumns) {
    for (int numbers : {0, 1}) {
        options.LineNumbers = numbers;
        Load(*w, "abcdef\nxyz");
        ClearDrag(*w);
        SetDragFromMacro(*w, 1, 1, 1, 3);
        int kind = 0;
        DragRange n = Normalized(kind);
        EXPECT_EQ(kind, kDragMarked);
        EXPECT_EQ(n.FromCol, MarginWidth(*w));
        EXPECT_EQ(n.ToCol, MarginWidth(*w) + 2) << "three characters";
        int a = 0, b = 0, c = 0, d = 0;
        ASSERT_EQ(GetDragForMacro(*w, a, b, c, d), 1);
        EXPECT_EQ(std::vector<int>({a, b, c, d}), std::vector<int>({1, 1, 1, 3}));
    }
    int a = -7;
    int b = -7, c = -7, d = -7;
    w->dragKind = kDragMouse;
    EXPECT_EQ(GetDragForMacro(*w, a, b, c, d), 0) << "a range still being drawn is not reported";
    w->dragKind = kDragMarked;
    w->ToLine = w->FromLine;
    w->ToCol = w->FromCol;
    EXPECT_EQ(GetDragForMacro(*w, a, b, c, d), 0);
    EXPECT_EQ(a, -7) << "the values are written only when a range is reported";
}

TEST_F(RangeFixture, GetCharacterIsSignedAndZeroBeyondTheText) {
    Load(*w, "a|\xDF");
    EXPECT_EQ(GetCharacter(*w), -33);
    Load(*w, "ab|");
    EXPECT_EQ(GetCharacter(*w), 0);
    w->caretLine = 50;
    EXPECT_EQ(GetCharacter(*w), 0);
}

TEST_F(RangeFixture, DragAllMarksTheWholeDocument) {
    Load(*w, "ab\nc|d");
    DragAll(*w);
    int kind = 0;
    DragRange n = Normalized(kind);
    EXPECT_EQ(kind, kDragMarked);
    EXPECT_EQ(n.FromLine, 0);
    EXPECT_EQ(n.FromCol, 0);
    EXPECT_EQ(n.ToLine, 1);
    EXPECT_EQ(n.ToCol, 1);
    EXPECT_EQ(w->caretCol, 1) << "the cursor does not move";
    Load(*w, "");
    DragAll(*w);
    EXPECT_EQ(w->dragKind, kDragNone) << "an empty document has nothing to mark";
}

}  // namespace
}  // namespace varlin::test
