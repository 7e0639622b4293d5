// The jump to the matching bracket: pairs from the bracket list, nesting of the same word,
// words inside longer words, and the three messages when there is nothing to jump to.
#include "EditTestSupport.h"

#include <vector>

namespace varlin::test {
namespace {

struct BracketCase {
    const char* name;
    const char* before;
    const char* after;
    int message;  // 0 when the jump succeeds
};

struct Brackets : EditFixture {};

TEST_F(Brackets, JumpsAndRefusals) {
    const std::vector<BracketCase> cases = {
        {"closing round bracket to its opening one", "f(|)", "f|()", 0},
        {"opening bracket over a nested pair", "f|(a, (b))", "f(a, (b)|)", 0},
        {"nested pairs across lines", "|((a)\n)", "((a)\n|)", 0},
        {"end goes back to the last letter of begin", "begin\nx\ny\n|end", "begi|n\nx\ny\nend", 0},
        {"begin goes forwards to the first letter of end", "|begin\nbegin end\nend", "begin\nbegin end\n|end", 0},
        {"#if matches at #ifdef", "|#ifdef X\n#endif", "#ifdef X\n|#endif", 0},
        {"words count inside longer words", "|begin\nbeginning\nend\nend", "begin\nbeginning\nend\n|end", 0},
        {"braces inside strings count too", "|{ \"}\" }", "{ \"|}\" }", 0},
        {"no bracket under the cursor", "a|bc", "a|bc", 1211},
        {"cursor on an empty line", "(a)\n|", "(a)\n|", 1211},
        {"no closing partner", "|(a\nb", "|(a\nb", 1213},
        {"no opening partner", "a\nb|)", "a\nb|)", 1212},
    };
    for (const BracketCase& c : cases) {
        SCOPED_TRACE(c.name);
        host.messageIds.clear();
        Load(*w, c.before);
        GotoMatchingBracket(*w);
        EXPECT_EQ(Render(*w), c.after);
        if (c.message == 0) {
            EXPECT_TRUE(host.messageIds.empty());
        } else {
            ASSERT_EQ(host.messageIds.size(), 1u);
            EXPECT_EQ(host.messageIds[0], c.message);
        }
    }
}

TEST_F(Brackets, TabsAndTheMarginAreCountedInTheTargetColumn) {
    options.LineNumbers = 1;
    Load(*w, "|(\n\t)");
    GotoMatchingBracket(*w);
    EXPECT_EQ(w->caretLine, 1);
    EXPECT_EQ(w->caretCol, 5 + 8);
}

TEST_F(Brackets, TheListIsReadInPairsAndEndsAtAnEmptyItem) {
    options.BracketList = "<<,>>,,x,y";
    Load(*w, "a|<< b >> c");
    GotoMatchingBracket(*w);
    EXPECT_EQ(Render(*w), "a<< b |>> c");
    GotoMatchingBracket(*w);
    EXPECT_EQ(Render(*w), "a<|< b >> c") << "backwards: the partner's last character";
    Load(*w, "|x y");
    GotoMatchingBracket(*w);
    ASSERT_EQ(host.messageIds.size(), 1u);
    EXPECT_EQ(host.messageIds[0], 1211) << "items after an empty one are not read";
}

}  // namespace
}  // namespace varlin::test
