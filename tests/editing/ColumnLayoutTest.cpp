// Positions that follow a new line-number margin or tab distance: on a character, inside
// a tab, beyond the end of the line and inside the old margin; the marked range and the
// remembered positions of every window move too, and the undo step is forgotten.
#include "EditTestSupport.h"

#include "editing/ColumnLayout.h"

namespace varlin::test {
namespace {

struct ColumnLayoutTest : EditFixture {};

TEST_F(ColumnLayoutTest, ColumnsStayOnTheirCharacters) {
    struct Case {
        bool numbersBefore, numbersAfter;
        int tabBefore, tabAfter;
        int col, expected;
    } cases[] = {
        // "\tx y": x sits after the tab.
        {true, false, 8, 4, 13, 4},    // on the x: margin gone, tab shorter
        {false, true, 4, 8, 4, 13},    // and back
        {false, true, 8, 8, 0, 5},     // on the tab itself
        {true, true, 8, 4, 9, 5},      // inside the tab: the tab's start
        {true, false, 8, 8, 2, 0},     // inside the old margin: the start of the text
        {true, false, 8, 3, 20, 10},   // four columns beyond the end (16 before, 6 after)
        {false, false, 8, 2, 10, 4},   // on the y
    };
    for (const Case& c : cases) {
        Load(*w, "\tx y");
        options.LineNumbers = c.numbersAfter;
        options.TabDistance = c.tabAfter;
        EXPECT_EQ(FollowColumn(*w, 0, c.col, ColumnLayout{c.numbersBefore, c.tabBefore}), c.expected)
            << c.numbersBefore << c.numbersAfter << " " << c.tabBefore << "->" << c.tabAfter << " col " << c.col;
    }
}

TEST_F(ColumnLayoutTest, EveryWindowFollowsAndTheUndoStepGoes) {
    auto other = std::make_unique<EditWindow>();
    Load(*w, "\tab|c");
    Load(*other, "x\ty|");
    InsertChar(*w, 'z');                        // an undo step with old columns
    ASSERT_NE(GetUndoKind(), kUndoNone);
    PushPosition(*w);                           // on the c, column 11
    StartDrag(*w, kDragMarked, 0, 8, 0, 20);    // from the a to 8 beyond the end
    const Options before = options;
    options.TabDistance = 2;
    FollowColumnLayout(before);
    EXPECT_EQ(Render(*w), "\tabz|c");
    EXPECT_EQ(Render(*other), "x\ty|");
    EXPECT_EQ(w->FromCol, 2);
    EXPECT_EQ(w->ToCol, 14);
    EXPECT_EQ(w->pushedCols[0], 5);
    EXPECT_EQ(GetUndoKind(), kUndoNone);

    // The same layout again changes nothing, not even the undo step.
    InsertChar(*w, 'q');
    FollowColumnLayout(options);
    EXPECT_NE(GetUndoKind(), kUndoNone);
}

}  // namespace
}  // namespace varlin::test
