// The go-to operation without a window: the dialog's record starts at the cursor (margin
// included), Goto is recorded only when the dialog ends with OK, the range goes also on
// cancel; the field rules and the preview's rows.
#include "EditTestSupport.h"
#include "editing/GotoPosition.h"
#include "editing/Recording.h"

namespace varlin::test {
namespace {

std::vector<std::string>* g_recorded = nullptr;
void Trace(const std::string& line) { g_recorded->push_back(line); }

struct GotoTest : EditFixture {
    std::vector<std::string> recorded;
    void SetUp() override {
        EditFixture::SetUp();
        g_recorded = &recorded;
        TheLearnRecorder().traceLine = Trace;
        for (int i = 0; i < 100; ++i) w->doc->SetLine(i, "text");
    }
    void TearDown() override {
        TheLearnRecorder().traceLine = nullptr;
        EditFixture::TearDown();
    }
};

TEST_F(GotoTest, DialogStartsAtTheCursorAndOnlyOkMovesAndRecords) {
    options.LineNumbers = 1;  // 100 lines: a margin of 5 that the column counts
    w->caretLine = 7;
    w->caretCol = MarginWidth(*w);
    StartDrag(*w, kDragMarked, 1, 5, 3, 5);
    GotoDialogRecord seen;
    host.dialogAnswers.push_back([&](DialogId id, void* r) {
        EXPECT_EQ(id, DialogId::Goto);
        seen = *static_cast<GotoDialogRecord*>(r);
        return 2;
    });
    GotoPosition(*w, -1, -1);
    EXPECT_EQ(seen.line, 8);
    EXPECT_EQ(seen.column, 6);
    EXPECT_EQ(seen.window, w.get());
    EXPECT_FALSE(HasDrag(*w));
    EXPECT_EQ(w->caretLine, 7);
    EXPECT_TRUE(recorded.empty());

    host.dialogAnswers.push_back([](DialogId, void* r) {
        auto* record = static_cast<GotoDialogRecord*>(r);
        record->line = 200;  // beyond the end: accepted
        record->column = 9;
        return 1;
    });
    GotoPosition(*w, -1, -1);
    EXPECT_EQ(w->caretLine, 199);
    EXPECT_EQ(w->caretCol, 8);
    EXPECT_EQ(recorded, std::vector<std::string>{"Goto (200,9);"});

    GotoPosition(*w, 10, 1);  // directly, as a macro or the routine list does
    EXPECT_EQ(w->caretLine, 9);
    EXPECT_EQ(w->caretCol, 0);
    EXPECT_EQ(host.dialogsWanted.size(), 2u);
}

TEST(GotoFields, NumbersOfTheFieldsAndRowsOfThePreview) {
    struct Case {
        const char* line;
        const char* column;
        int message;
    };
    const Case cases[] = {
        {"1", "1", 0},          {"999999", "5000", 0}, {"0", "1", 1111},  {"1000000", "1", 1111},
        {"12a", "1", 1111},     {"", "1", 1111},       {"-3", "1", 1111}, {"12", "5001", 1112},
        {"12", "", 1112},       {"12", " 4", 1112},    {"x", "0", 1111},
    };
    for (const Case& c : cases) {
        std::int32_t line = -7, column = -7;
        EXPECT_EQ(CheckGotoFields(c.line, c.column, line, column), c.message) << c.line << " " << c.column;
        if (c.message == 0) EXPECT_EQ(line, std::atoi(c.line));
        else EXPECT_EQ(line, -7);
    }
    // Ten rows around line 21 (0-based 20): lines 16 to 25, the target the fifth row.
    EXPECT_EQ(GotoPreviewFor("21", 10).first, 16);
    EXPECT_EQ(GotoPreviewFor("21", 10).target, 20);
    EXPECT_EQ(GotoPreviewFor("2", 10).first, 0);
    EXPECT_EQ(GotoPreviewFor("abc", 10).target, -1);  // no number: no row is the target
}

}  // namespace
}  // namespace varlin::test
