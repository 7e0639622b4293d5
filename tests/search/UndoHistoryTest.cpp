// The undo history of UndoSteps > 1: steps as the user sees them, the modified flag that
// follows the history across a save, the limits in steps and bytes, and the big changes
// (replace-all, a large paste) that are one step each and keep only what they changed.
#include "search/SearchTestSupport.h"

#include "editing/BlockActions.h"
#include "editing/UndoHistory.h"

#include <malloc.h>

namespace varlin {
namespace {

struct UndoHistoryTest : test::SearchFixture {
    void Start(const std::string& text, int steps = 100) {
        options.UndoSteps = steps;
        test::Load(*w, text);
        StartHistory(*w);
        SetActiveEditWindow(w.get());
    }
    void TearDown() override {
        SetActiveEditWindow(nullptr);
        SearchFixture::TearDown();
    }
    void Type(const std::string& s) {
        for (char c : s) InsertChar(*w, c);
    }
};

TEST_F(UndoHistoryTest, StepsUndoAndRedoWithTheModifiedFlagFollowingTheSave) {
    Start("|one\ntwo");
    Type("ab");
    PosLeft(*w);  // typing goes on within the line: still the first step
    Type("c");
    LineDown(*w);
    Type("X");
    DeleteLine(*w);
    EXPECT_EQ(Text(), "acbone");
    HistorySaved(*w);
    w->modified = 0;

    Undo(*w);  // the line deletion
    EXPECT_EQ(Text(), "acbone\ntwXo");
    EXPECT_EQ(w->modified, 1);
    Redo(*w);
    EXPECT_EQ(Text(), "acbone");
    EXPECT_EQ(w->modified, 0) << "back at the saved state";
    Undo(*w);
    Undo(*w);
    Undo(*w);
    EXPECT_EQ(Text(), "one\ntwo");
    const int beeps = host.beeps;
    Undo(*w);
    EXPECT_EQ(host.beeps, beeps + 1);
    Redo(*w);
    EXPECT_EQ(Text(), "acbone\ntwo");
    EXPECT_TRUE(CanRedoIn(w.get()));
    Type("!");  // a new edit: what was undone can no longer be replayed
    EXPECT_FALSE(CanRedoIn(w.get()));
    Redo(*w);
    EXPECT_EQ(host.beeps, beeps + 2);
    Undo(*w);
    Undo(*w);
    EXPECT_EQ(Text(), "one\ntwo");
    EXPECT_EQ(w->modified, 1) << "the saved state was given up with the redo list";
}

TEST_F(UndoHistoryTest, OldestStepsGoFirstPastTheLimitOfStepsOrBytes) {
    Start("|a\nb\nc\nd\ne\nf", 3);
    for (int k = 0; k < 5; ++k) DeleteLine(*w);
    EXPECT_EQ(HistorySizeOf(*w).undoSteps, 3);
    while (CanUndoIn(w.get())) Undo(*w);
    EXPECT_EQ(Text(), "c\nd\ne\nf");

    // Four lines of 400 KB each against a limit of 1 MB: two deletions fit.
    options.UndoMemory = 1;
    const std::string big(400 * 1024, 'x');
    Start(big + "\n" + big + "\n" + big + "\n" + big + "\nend");
    for (int k = 0; k < 4; ++k) DeleteLine(*w);
    EXPECT_EQ(HistorySizeOf(*w).undoSteps, 2);
    EXPECT_LE(HistorySizeOf(*w).bytes, std::size_t(1) << 20);
    // A single step bigger than the limit is still kept.
    Start(big + big + big + "\nend");
    DeleteLine(*w);
    Undo(*w);
    EXPECT_EQ(w->doc->LineView(0).size(), big.size() * 3);
}

// UndoMemory bounds what the process really holds, not only what the steps count: the
// steps of replace-all after replace-all must not leave the heap in pieces that stay.
TEST_F(UndoHistoryTest, ReplaceAllsAgainAndAgainKeepTheMemoryBounded) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "unavailable here: the sanitizer's allocator gives no heap figures";
#endif
    std::string text;
    for (int i = 0; i < 1000000; ++i) text += "a\n";  // steps of tens of megabytes
    options.UndoMemory = 1;
    Start(text, 10000);
    const auto held = [] {
        const struct mallinfo2 m = mallinfo2();
        return m.arena + m.hblkhd;  // the heap and the blocks mapped of their own
    };
    std::size_t afterTwo = 0;
    for (int k = 0; k < 5; ++k) {
        DocStart(*w);
        Replace(*w, k % 2 ? "B" : "a", k % 2 ? "a" : "B", kModeReplaceAll);
        if (k == 1) afterTwo = held();
    }
    EXPECT_EQ(HistorySizeOf(*w).undoSteps, 1);
    EXPECT_LT(held(), afterTwo + afterTwo / 8) << "grew from " << afterTwo;
}

TEST_F(UndoHistoryTest, ReplaceAllAndALargePasteAreOneStepKeepingOnlyWhatTheyChanged) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "line a " + std::to_string(i) + "\n";
    text += "end";
    Start(text);
    const std::string before = Text();
    Replace(*w, "a", "bb", kModeReplaceAll);
    const std::string replaced = Text();
    ASSERT_NE(replaced, before);
    EXPECT_EQ(HistorySizeOf(*w).undoSteps, 1);
    Undo(*w);
    EXPECT_EQ(Text(), before);
    Redo(*w);
    EXPECT_EQ(Text(), replaced);

    Start("ab|cd\nlast");
    std::string clip;
    for (int i = 0; i < 100000; ++i) clip += "pasted line " + std::to_string(i) + "\r\n";
    host.clipboard = clip;
    Paste(*w);
    const std::string pasted = Text();
    EXPECT_EQ(HistorySizeOf(*w).undoSteps, 1);
    EXPECT_LT(HistorySizeOf(*w).bytes, 4096u) << "the step keeps the one line it changed, not the text";
    Undo(*w);
    EXPECT_EQ(Text(), "abcd\nlast");
    EXPECT_GT(HistorySizeOf(*w).bytes, clip.size() / 2) << "the redo step holds the text it takes out";
    Redo(*w);
    EXPECT_EQ(Text(), pasted);
}

TEST_F(UndoHistoryTest, OneStepKeepsTheSingleRecordAndRedoBeeps) {
    Start("|abc", 1);
    Type("x");
    Undo(*w);
    EXPECT_EQ(Text(), "abc");
    EXPECT_FALSE(CanRedoIn(w.get()));
    const int beeps = host.beeps;
    Redo(*w);
    EXPECT_EQ(host.beeps, beeps + 1);
    EXPECT_EQ(Text(), "abc");
}

}  // namespace
}  // namespace varlin
