// Sorting the marked lines: byte order both ways, which lines a range covers, the limit
// of 10000 lines, the dialog's part, and what every path does to undo, recording and the
// modified flag.
#include "EditTestSupport.h"

#include "editing/Recording.h"
#include "editing/Sort.h"

#include <cstdio>
#include <string>
#include <vector>

namespace varlin::test {
namespace {

struct SortFixture : EditFixture {
    std::FILE* learnFile = nullptr;

    void TearDown() override {
        StopLearning();
        EditFixture::TearDown();
    }
    void SetLines(const std::vector<std::string>& lines) {
        w->doc->Clear();
        for (std::size_t i = 0; i < lines.size(); ++i) w->doc->SetLine(static_cast<int>(i), lines[i]);
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (int i = 0; i < w->LineCount(); ++i) out.emplace_back(w->doc->LineView(i));
        return out;
    }
    // A range as the mouse draws it: anchor, then moving end (text columns, margin off).
    void Mark(int fromLine, int fromCol, int toLine, int toCol) {
        StartDrag(*w, kDragMarked, fromLine, fromCol, toLine, toCol);
    }
    // Learn mode into an anonymous file, read back by Learned().
    void StartLearning() {
        learnFile = std::tmpfile();
        ASSERT_NE(learnFile, nullptr);
        TheLearnRecorder().LearnFile = learnFile;
    }
    std::string Learned() {
        std::fflush(learnFile);
        std::rewind(learnFile);
        std::string text;
        for (int c; (c = std::fgetc(learnFile)) != EOF;) text += static_cast<char>(c);
        return text;
    }
    void StopLearning() {
        if (!learnFile) return;
        TheLearnRecorder().LearnFile = nullptr;
        std::fclose(learnFile);
        learnFile = nullptr;
    }
    // Leaves an undo step behind, so that a test can see Sort forget it.
    void MakeUndoStep() {
        SaveLineForUndo(*w, "old");
        ASSERT_NE(GetUndoKind(), kUndoNone);
    }
};

std::vector<std::string> Numbered(int n) {
    std::vector<std::string> lines;
    for (int i = n; i > 0; --i) lines.push_back("line " + std::to_string(100000 + i));
    return lines;
}

TEST_F(SortFixture, AscendingIsByteOrder) {
    SetLines({"b", "B", "a", "10", "9", "\xC4"});
    Mark(0, 0, 6, 0);
    Sort(*w, 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"10", "9", "B", "a", "b", "\xC4"}));
    EXPECT_EQ(w->modified, 1);
}

TEST_F(SortFixture, ShorterPrefixFirstAndEmptyLinesAtTheTop) {
    SetLines({"abc", "ab", "", "abd"});
    w->doc->SetNullLine(4);
    Mark(0, 0, 5, 0);
    Sort(*w, 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"", "", "ab", "abc", "abd"}));
}

TEST_F(SortFixture, AnyNonZeroOrderSortsDescending) {
    for (std::int32_t order : {1, 5, -1}) {
        SCOPED_TRACE(order);
        SetLines({"b", "\xE4", "A", "a"});
        Mark(0, 0, 4, 0);
        SortAction(*w, order);
        EXPECT_EQ(Lines(), (std::vector<std::string>{"\xE4", "b", "a", "A"}));
    }
    EXPECT_TRUE(host.dialogsWanted.empty()) << "a macro's order is never asked for";
}

TEST_F(SortFixture, RangeCoversWholeLinesOfItsNormalisedForm) {
    const std::vector<std::string> text = {"z0", "z1", "z2", "e3", "d4", "c5", "b6", "a7"};
    const struct {
        const char* name;
        int fromLine, fromCol, toLine, toCol;
        std::vector<std::string> expected;
    } cases[] = {
        {"middle of 3 to middle of 5", 3, 1, 5, 1, {"z0", "z1", "z2", "c5", "d4", "e3", "b6", "a7"}},
        {"drawn upwards", 5, 1, 3, 1, {"z0", "z1", "z2", "c5", "d4", "e3", "b6", "a7"}},
        {"ends at the start of line 6", 3, 0, 6, 0, {"z0", "z1", "z2", "c5", "d4", "e3", "b6", "a7"}},
        {"within one line", 4, 0, 4, 2, text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLines(text);
        w->modified = 0;
        Mark(c.fromLine, c.fromCol, c.toLine, c.toCol);
        Sort(*w, 0);
        EXPECT_EQ(Lines(), c.expected);
        EXPECT_EQ(w->modified, 1) << "flagged also when nothing moved";
    }
}

TEST_F(SortFixture, MovesEntriesWithoutCopyingText) {
    SetLines({"c", "b", "a"});
    const char* a = w->doc->LineView(2).data();
    const char* c = w->doc->LineView(0).data();
    Mark(0, 0, 3, 0);
    Sort(*w, 0);
    EXPECT_EQ(w->doc->LineView(0).data(), a);
    EXPECT_EQ(w->doc->LineView(2).data(), c);
}

TEST_F(SortFixture, TenThousandLinesAreSorted) {
    SetLines(Numbered(10000));
    Mark(0, 0, 10000, 0);
    Sort(*w, 0);
    EXPECT_TRUE(host.messageIds.empty());
    EXPECT_EQ(w->doc->LineView(0), "line 100001");
    EXPECT_EQ(w->doc->LineView(9999), "line 110000");
}

TEST_F(SortFixture, TenThousandAndOneAreRefusedYetFlaggedAndRecorded) {
    const std::vector<std::string> text = Numbered(10001);
    SetLines(text);
    Mark(0, 0, 10001, 0);
    StartLearning();
    Sort(*w, 0);
    EXPECT_EQ(host.messageIds, std::vector<int>{1113});
    EXPECT_EQ(Lines(), text);
    EXPECT_EQ(w->modified, 1);
    EXPECT_NE(Learned().find("Sort (0);"), std::string::npos);
}

TEST_F(SortFixture, RecordsItsOrder) {
    SetLines({"b", "a"});
    Mark(0, 0, 2, 0);
    StartLearning();
    SortAction(*w, 5);
    EXPECT_NE(Learned().find("\tSort (5);"), std::string::npos) << Learned();
}

TEST_F(SortFixture, NothingToSortBeepsAndStillForgetsUndo) {
    // An empty document.
    MakeUndoStep();
    Sort(*w, 0);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(GetUndoKind(), kUndoNone);
    // Lines, but nothing marked: no dialog either.
    SetLines({"b", "a"});
    MakeUndoStep();
    StartLearning();
    CommandSort(*w);
    EXPECT_EQ(host.beeps, 2);
    EXPECT_EQ(GetUndoKind(), kUndoNone);
    EXPECT_TRUE(host.dialogsWanted.empty());
    EXPECT_EQ(Lines(), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(w->modified, 0);
    EXPECT_EQ(Learned(), "");
}

TEST_F(SortFixture, MenuCommandSortsInTheOrderChosenInTheDialog) {
    SetLines({"a", "c", "b"});
    Mark(0, 0, 3, 0);
    int shown = -1;
    host.dialogAnswers.push_back([&](DialogId id, void* record) {
        EXPECT_EQ(id, DialogId::Sort);
        auto* r = static_cast<SortDialogRecord*>(record);
        shown = r->order;
        r->order = 1;
        return 1;
    });
    CommandSort(*w);
    EXPECT_EQ(shown, 0) << "the dialog starts at ascending";
    EXPECT_EQ(Lines(), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(w->modified, 1);
}

TEST_F(SortFixture, CancelledDialogChangesNothing) {
    SetLines({"b", "a"});
    Mark(0, 0, 2, 0);
    StartLearning();
    CommandSort(*w);  // no queued answer: the headless dialog is cancelled
    EXPECT_EQ(host.dialogsWanted.size(), 1u);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(w->modified, 0);
    EXPECT_EQ(Learned(), "");
}

}  // namespace
}  // namespace varlin::test
