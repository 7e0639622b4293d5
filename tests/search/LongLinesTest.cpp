// Lines far longer than LngLineBuffer: loaded whole, typed into at both ends, replaced
// in the middle, undone, sorted and saved byte for byte, as any other line.
#include "document/TextFile.h"
#include "editing/BlockActions.h"
#include "editing/Sort.h"
#include "search/SearchTestSupport.h"

namespace varlin::test {
namespace {

struct LongLines : SearchFixture {};

TEST_F(LongLines, AreEditedSearchedSortedAndSavedLikeAnyOther) {
    for (std::size_t n : {std::size_t(5000), std::size_t(100000), std::size_t(10000000)}) {
        std::string line(n, 'a');
        line[n / 2] = 'Q';
        const std::string file = folder.File("long.txt");
        WriteFile(file, "zz\n" + line + "\nb\n");
        host.messageIds.clear();
        ASSERT_EQ(varlin::Load(*w->doc, file, 1), 0) << n;
        EXPECT_TRUE(host.messageIds.empty()) << n;
        ASSERT_EQ(w->LineCount(), 3) << n;

        Act(*w, "DocStart LineDown LineEnd type:E LineStart type:S");
        Replace(*w, "Q", "MID", 16);
        Act(*w, "LineEnd type:X");
        Undo(*w);
        std::string edited = "S" + line + "E";
        edited.replace(n / 2 + 1, 1, "MID");
        EXPECT_TRUE(w->doc->LineView(1) == edited) << n;

        DragAll(*w);
        Sort(*w, 0);
        ASSERT_EQ(SaveTo(*w->doc, file), 0) << n;
        EXPECT_TRUE(ReadFile(file) == edited + "\nb\nzz\n") << n;
    }
}

}  // namespace
}  // namespace varlin::test
