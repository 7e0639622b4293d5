// Prototypes from routine heads: only the stored range drawn downwards counts, only the
// language's routine starts change, and a line without room for ";" stays as it is.
#include "EditTestSupport.h"

#include "document/Language.h"
#include "editing/Prototypes.h"

#include <string>
#include <vector>

namespace varlin::test {
namespace {

struct PrototypeFixture : EditFixture {
    void SetUp() override {
        EditFixture::SetUp();
        SelectLanguage(*w->doc, 1);  // no name: C/C++ with colouring on
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
};

const std::vector<std::string> kHeads = {"int f(int a)", "{", "void g(void)"};

TEST_F(PrototypeFixture, StoredRangeDecides) {
    const struct {
        const char* name;
        int fromLine, fromCol, toLine, toCol;
        std::vector<std::string> expected;
    } cases[] = {
        {"downwards from line 0 to the start of line 3", 0, 0, 3, 0, {"int f(int a);", "{", "void g(void);"}},
        {"down to the start of line 2 leaves line 2", 0, 0, 2, 0, {"int f(int a);", "{", "void g(void)"}},
        {"upwards from line 3 to line 0", 3, 0, 0, 0, kHeads},
        {"within one line", 0, 0, 0, 5, kHeads},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLines(kHeads);
        w->modified = 0;
        StartDrag(*w, kDragMarked, c.fromLine, c.fromCol, c.toLine, c.toCol);
        MakePrototypes(*w);
        EXPECT_EQ(Lines(), c.expected);
        EXPECT_EQ(w->modified, c.expected != kHeads ? 1 : 0);
        EXPECT_EQ(w->dragKind, kDragMarked) << "the range stays";
        EXPECT_EQ(w->ToLine, c.toLine);
    }
}

TEST_F(PrototypeFixture, TrailingBlankStaysBeforeTheSemicolon) {
    SetLines({"int main(void) "});
    StartDrag(*w, kDragMarked, 0, 0, 1, 0);
    MakePrototypes(*w);
    EXPECT_EQ(w->doc->LineView(0), "int main(void) ;");
}

TEST_F(PrototypeFixture, SecondRunChangesNothing) {
    SetLines(kHeads);
    StartDrag(*w, kDragMarked, 0, 0, 3, 0);
    EXPECT_EQ(MakePrototypes(*w), 2);
    w->modified = 0;
    EXPECT_EQ(MakePrototypes(*w), 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"int f(int a);", "{", "void g(void);"}));
    EXPECT_EQ(w->modified, 0);
}

TEST_F(PrototypeFixture, NothingWithColouringOffOrWithoutRange) {
    SetLines(kHeads);
    MakePrototypes(*w);  // nothing marked
    EXPECT_EQ(Lines(), kHeads);
    SelectLanguage(*w->doc, 0);
    StartDrag(*w, kDragMarked, 0, 0, 3, 0);
    EXPECT_EQ(MakePrototypes(*w), 0);
    EXPECT_EQ(Lines(), kHeads);
    EXPECT_EQ(w->modified, 0);
}

TEST_F(PrototypeFixture, FullLineHasNoRoomForTheSemicolon) {
    options.LngLineBuffer = 16;  // at most 15 characters
    const std::string full = "int h(long a)xy";  // 15: no room
    SetLines({full, "int k(long a)x"});           // 14: room for one more
    StartDrag(*w, kDragMarked, 0, 0, 2, 0);
    MakePrototypes(*w);
    EXPECT_EQ(Lines(), (std::vector<std::string>{full, "int k(long a)x;"}));
}

TEST_F(PrototypeFixture, LeavesCursorAndUndoAlone) {
    Load(*w, "int f(int a)\n{|\n");
    SelectLanguage(*w->doc, 1);
    SaveLineForUndo(*w, "before");
    const int undoKind = GetUndoKind();
    const int caretLine = w->caretLine, caretCol = w->caretCol;
    StartDrag(*w, kDragMarked, 0, 0, 2, 0);
    MakePrototypes(*w);
    EXPECT_EQ(w->doc->LineView(0), "int f(int a);");
    EXPECT_EQ(w->caretLine, caretLine);
    EXPECT_EQ(w->caretCol, caretCol);
    EXPECT_EQ(GetUndoKind(), undoKind);
}

}  // namespace
}  // namespace varlin::test
