// The action dispatcher as a script sees it: the numbers it refuses, the query results
// with their 1-based lines and margins, GetDrag's out-arguments, and the guards against
// callers that break a signature.
#include "editing/EditTestSupport.h"

#include "dispatch/Dispatch.h"
#include "editing/BlockActions.h"
#include "editing/MacroCommands.h"
#include "editing/Sort.h"
#include "search/FindReplace.h"

#include <climits>
#include <deque>

namespace varlin {
namespace {

using test::Load;
using test::Render;

// The operands of one call, built the way the interpreter hands them over. Values live in
// deques so that the pointers stay put while operands are added.
struct Call {
    std::deque<std::int32_t> longs;
    std::deque<std::string> texts;
    std::deque<OPERAND> records;
    std::vector<OPERAND*> pointers;

    Call& L(std::int32_t v) {
        longs.push_back(v);
        return Add(&longs.back());
    }
    Call& T(std::string v) {
        texts.push_back(std::move(v));
        return Add(texts.back().data());
    }
    Call& Add(void* value) {
        records.push_back(OPERAND{0, static_cast<std::int32_t>(records.size()), value});
        pointers.push_back(&records.back());
        return *this;
    }
    std::int32_t Run(EditWindow& w, int actionId) {
        return DispatchAction(w, actionId, pointers.empty() ? nullptr : pointers.data(),
                              static_cast<int>(pointers.size()));
    }
};

struct Dispatch : test::EditFixture {
    std::int32_t Do(int actionId) { return Call().Run(*w, actionId); }
};

TEST_F(Dispatch, NumbersWithoutAnActionGiveMinusOneAndChangeNothing) {
    // Outside the table, gaps of the table, the frame's numbers and SetCodeTable (1).
    const int refused[] = {INT_MIN, -1, 0, 21, 22, 46, 47, 48, 58, 59, 60, 61, 62, 63,
                           65, 70, 74, 77, 78, 79, 81, 1000};
    for (int id : refused) {
        Load(*w, "ab|c\nxyz");
        w->modified = 0;
        EXPECT_EQ(Call().L(1).Run(*w, id), -1) << "ActionId " << id;
        EXPECT_EQ(Render(*w), "ab|c\nxyz") << "ActionId " << id;
        EXPECT_EQ(w->modified, 0) << "ActionId " << id;
    }
}

TEST_F(Dispatch, ANewDocumentAnswersItsQueries) {
    EXPECT_EQ(Do(kMacroGetCaretLine), 1);
    EXPECT_EQ(Do(kMacroGetTotalLines), 0);
    EXPECT_EQ(Call().L(0).Run(*w, kMacroIsLineEmpty), 1);   // line -1 is out of range
    EXPECT_EQ(Call().L(1).Run(*w, kMacroIsLineEmpty), 1);
    EXPECT_EQ(Call().L(INT_MIN).Run(*w, kMacroIsLineEmpty), 1);
    EXPECT_EQ(Do(kMacroGetCharacter), 0);
}

TEST_F(Dispatch, IsLineEmptyCountsABlankAsText) {
    Load(*w, "|\n \nx");
    EXPECT_EQ(Call().L(1).Run(*w, kMacroIsLineEmpty), 1);
    EXPECT_EQ(Call().L(2).Run(*w, kMacroIsLineEmpty), 0);
    EXPECT_EQ(Call().L(3).Run(*w, kMacroIsLineEmpty), 0);
    EXPECT_EQ(Call().L(4).Run(*w, kMacroIsLineEmpty), 1);
}

TEST_F(Dispatch, SetCaretOneOneStandsInTheMarginWithLineNumbers) {
    options.LineNumbers = 1;
    Load(*w, "|hello");
    EXPECT_EQ(Do(kMacroGetCaretCol), 6);  // the first text column behind a margin of 5
    EXPECT_EQ(Call().L(1).L(1).Run(*w, kMacroSetCaret), 0);
    EXPECT_EQ(w->caretCol, 0);
    EXPECT_EQ(Do(kMacroGetCaretCol), 1);
    EXPECT_EQ(Do(kMacroGetCaretLine), 1);
}

TEST_F(Dispatch, SetCaretDoesNotClampNorTouchTheRange) {
    Load(*w, "ab\ncd|");
    Call().L(1).L(1).L(1).L(2).Run(*w, kMacroSetDrag);
    ASSERT_TRUE(HasDrag(*w));
    Call().L(40).L(90).Run(*w, kMacroSetCaret);
    EXPECT_EQ(w->caretLine, 39);
    EXPECT_EQ(w->caretCol, 89);
    EXPECT_TRUE(HasDrag(*w));
    // INT_MIN has no 0-based form: the cursor keeps that coordinate.
    Call().L(INT_MIN).L(3).Run(*w, kMacroSetCaret);
    EXPECT_EQ(w->caretLine, 39);
    EXPECT_EQ(w->caretCol, 2);
}

TEST_F(Dispatch, GetDragGivesBackSetDragAndWritesNothingWithoutARange) {
    Load(*w, "|abcdef\nsecond");
    EXPECT_EQ(Call().L(1).L(1).L(1).L(3).Run(*w, kMacroSetDrag), 0);
    Call got;
    got.L(-7).L(-7).L(-7).L(-7);
    EXPECT_EQ(got.Run(*w, kMacroGetDrag), 1);
    EXPECT_EQ(std::vector<std::int32_t>(got.longs.begin(), got.longs.end()),
              (std::vector<std::int32_t>{1, 1, 1, 3}));

    EXPECT_EQ(Do(kActLineDown), 0);  // a plain movement clears the range
    Call none;
    none.L(77).L(78).L(79).L(80);
    EXPECT_EQ(none.Run(*w, kMacroGetDrag), 0);
    EXPECT_EQ(std::vector<std::int32_t>(none.longs.begin(), none.longs.end()),
              (std::vector<std::int32_t>{77, 78, 79, 80}));
}

TEST_F(Dispatch, GetCharacterIsSignExtended) {
    Load(*w, "|\xE4x");
    EXPECT_EQ(Do(kMacroGetCharacter), -28);
    Do(kActPosRight);
    EXPECT_EQ(Do(kMacroGetCharacter), 'x');
}

TEST_F(Dispatch, ActionsGiveZeroAlsoWhenTheyDoNothing) {
    Load(*w, "|");
    EXPECT_EQ(Do(kActPosLeft), 0);
    EXPECT_EQ(Do(kActBackspace), 0);
    EXPECT_EQ(Do(kActDeleteLine), 0);
    EXPECT_EQ(Do(kActCut), 0);  // nothing marked: a beep
    EXPECT_EQ(host.beeps, 1);
}

TEST_F(Dispatch, TextAndNumberArgumentsReachTheirActions) {
    Load(*w, "a|b");
    EXPECT_EQ(Call().L('x').Run(*w, kActInsertChar), 0);
    EXPECT_EQ(Call().T("yz").Run(*w, kActInsertText), 0);
    EXPECT_EQ(Do(kActInsertSpace), 0);
    EXPECT_EQ(Render(*w), "axyz| b");
    EXPECT_EQ(w->modified, 1);
    EXPECT_EQ(Do(kMacroGetTotalLines), 1);
}

TEST_F(Dispatch, GotoPlacesTheCursorWithoutTheDialog) {
    Load(*w, "|x");
    EXPECT_EQ(Call().L(10).L(1).Run(*w, kMacroGoto), 0);
    EXPECT_TRUE(host.dialogsWanted.empty());
    EXPECT_EQ(Do(kMacroGetCaretLine), 10);
    EXPECT_EQ(Do(kMacroGetCaretCol), 1);
    // A part of 0 or less keeps the cursor's own.
    Call().L(0).L(3).Run(*w, kMacroGoto);
    EXPECT_EQ(Do(kMacroGetCaretLine), 10);
    EXPECT_EQ(Do(kMacroGetCaretCol), 3);
}

TEST_F(Dispatch, SortAndFindRunFromTheirRows) {
    Load(*w, "|c\nb\na");
    Do(kActDragAll);
    EXPECT_EQ(Call().L(0).Run(*w, kSortActionId), 0);
    EXPECT_EQ(w->doc->LineView(0), "a");
    EXPECT_EQ(w->doc->LineView(2), "c");
    Do(kActDocStart);
    EXPECT_EQ(Call().T("c").L(0).Run(*w, kFindActionId), 0);
    EXPECT_EQ(Do(kMacroGetCaretLine), 3);
}

TEST_F(Dispatch, MissingOrNullOperandsAreRefused) {
    Load(*w, "a|b");
    EXPECT_EQ(Call().Run(*w, kActInsertChar), -1);
    EXPECT_EQ(Call().L(1).Run(*w, kMacroSetCaret), -1);
    Call nullValue;
    nullValue.Add(nullptr);
    EXPECT_EQ(nullValue.Run(*w, kActInsertText), -1);
    EXPECT_EQ(Call().L(1).L(2).L(3).Run(*w, kMacroGetDrag), -1);
    EXPECT_EQ(Render(*w), "a|b");
}

}  // namespace
}  // namespace varlin
