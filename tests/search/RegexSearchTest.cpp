// Searching and replacing with regular expressions (Mode bit 32): what a search finds with
// the flags and code tables, what replacing gives (groups, case conversion, empty
// matches), the messages for bad expressions, explosive ones and Escape, FindNext and
// recording, and the literal text the plain engine looks for first.
#include "search/SearchTestSupport.h"

#include "editing/Recording.h"
#include "platform/TempFiles.h"
#include "search/RegexPattern.h"

#include <fstream>
#include <random>
#include <sstream>

namespace varlin {
namespace {

using test::Load;
using test::Render;

struct Regex : test::SearchFixture {
    void Use(int codeTable) {
        options.CodeTable = codeTable == 3 ? 2 : codeTable;
        w->doc->utf8 = codeTable == 3;
    }
};

constexpr int kRe = 32;
constexpr int kAll = 16 | 32;

struct FindCase {
    const char* name;
    const char* text;      // '|' marks the start
    const char* pattern;
    int mode;              // bit 32 is added
    int codeTable;         // 1 OEM, 2 ANSI, 3 a UTF-8 document
    const char* expected;  // '|' at the hit; nullptr: none
};

const FindCase kFinds[] = {
    {"DigitClass", "|k x k7", "k\\d", 1, 2, "k x |k7"},
    {"HitAtTheStart", "|k1", "k\\d", 1, 2, "|k1"},
    {"CaretAnchorIsTheLineStartOnly", "a|b ab\nab", "^ab", 1, 2, "ab ab\n|ab"},
    {"DollarIsTheLineEnd", "|ab x\nab", "ab$", 1, 2, "ab x\n|ab"},
    {"StartOfLineBit", "x|y\nzy\nyz", "y", 2 | 1, 2, "xy\nzy\n|yz"},
    {"EndOfLineBitTriesLaterMatches", "|ab ab", "a.", 4 | 1, 2, "ab |ab"},
    {"NoMatchSpansALineEnd", "|a\nb", "a.b", 1, 2, nullptr},
    {"EmptyMatchAtTheCursor", "a|b", "x*", 1, 2, "a|b"},
    {"CaselessAscii", "|x ABC", "b.", 0, 2, "x A|BC"},
    {"CaselessAnsiUmlaut", "|x\xC4y", "\xE4y", 0, 2, "x|\xC4y"},
    {"CaseToldApartAnsi", "|x\xC4y", "\xE4y", 1, 2, nullptr},
    {"CaselessAnsiByEscape", "|x\xC4", "\\xe4", 0, 2, "x|\xC4"},
    {"CaselessAnsiRange", "|x\xC4", "[\xE0-\xFE]", 0, 2, "x|\xC4"},
    {"CodeTableDotIsOneByte", "|\xC3\xBCx", "^.x", 1, 2, nullptr},
    {"Utf8DotIsOneCharacter", "|\xC3\xBCx", "^.x", 1, 3, "|\xC3\xBCx"},
    {"Utf8CaselessUnicode", "|a \xC3\x9C", "\xC3\xBC", 0, 3, "a |\xC3\x9C"},
    {"Utf8CaselessGreekSigma", "|x \xCE\xA3", "\xCF\x83", 0, 3, "x |\xCE\xA3"},
    // The Kelvin sign folds to k: no literal prefilter may pass the line over.
    {"Utf8KelvinSign", "|a\n\xE2\x84\xAA" "1", "k1", 0, 3, "a\n|\xE2\x84\xAA" "1"},
    {"OemLineMatchedInAnsi", "|x\x81y", "\xFC", 1, 1, "x|\x81y"},
    {"OemCapitalCaseless", "|x\x9Ay", "[\xFC]", 0, 1, "x|\x9Ay"},
    {"EscapeNotationNotApplied", "|a\tb a\\tb", "a\\\\tb", 1, 2, "a\tb |a\\tb"},
    {"ExpressionEscapeForTab", "|a\\tb a\tb", "a\\tb", 1, 2, "a\\tb |a\tb"},
    {"LiteralLeftOutOfAnAlternative", "|x\ny", "q|y", 1, 2, "x\n|y"},
};

class Finds : public Regex, public ::testing::WithParamInterface<FindCase> {};

TEST_P(Finds, FirstMatchFromTheStart) {
    const FindCase& c = GetParam();
    Use(c.codeTable);
    Load(*w, c.text);
    FindSettings s;
    s.FindString = c.pattern;
    ApplyMode(s, c.mode | kRe, ModeUse::Find);
    int line = w->caretLine;
    int col = w->caretCol;
    const int found = SearchForward(s, *w, line, col);
    EXPECT_TRUE(host.messageIds.empty());
    if (!c.expected) {
        EXPECT_EQ(found, 0);
        return;
    }
    ASSERT_EQ(found, 1);
    w->caretLine = line;
    w->caretCol = col;
    EXPECT_EQ(Render(*w), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Regex, Finds, ::testing::ValuesIn(kFinds),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReplaceCase {
    const char* name;
    const char* text;
    const char* pattern;
    const char* replacement;
    int mode;              // bits 16 and 32 are added
    int codeTable;
    const char* expected;  // the text afterwards, without the cursor
};

const ReplaceCase kReplaces[] = {
    {"EmptyMatchesOncePerPlace", "abc", "x*", "-", 1, 2, "-a-b-c-"},
    {"EmptyAfterAMatchAsTheLibrary", "xaxb", "x*", "-", 1, 2, "--a--b-"},
    {"LineStartsOnly", "ab\n\ncd", "^", "> ", 1, 2, "> ab\n> \n> cd"},
    {"LineEndsOnly", "ab\ncd", "$", ";", 1, 2, "ab;\ncd;"},
    {"FromTheCursorOn", "a|a a", "a", "b", 1, 2, "ab b"},
    {"NumberedGroups", "joe@home x@y", "(\\w+)@(\\w+)", "$2 at ${1}", 1, 2, "home at joe y at x"},
    {"NamedGroup", "abbbc", "(?<run>b+)", "[${run}]", 1, 2, "a[bbb]c"},
    {"DollarSign", "5", "\\d", "$$$0", 1, 2, "$5"},
    {"CaseConversion", "hello World", "(\\w+) (\\w+)", "\\U$1\\E \\L$2", 1, 2, "HELLO world"},
    {"ReplacementHoldingTheMatchDoesNotLoop", "aaa", "a", "aa", 1, 2, "aaaaaa"},
    {"LookbehindSeesTheLineAsItWas", "aaa", "(?<=a)a", "b", 1, 2, "abb"},
    {"StartOfLineBitOncePerLine", "aaa\naa", "a", "b", 2 | 1, 2, "baa\nba"},
    {"EndOfLineBit", "aaa\nxa", "a", "b", 4 | 1, 2, "aab\nxb"},
    {"Utf8Characters", "\xC3\xBC" "a", ".", "<$0>", 1, 3, "<\xC3\xBC><a>"},
    {"Utf8UpperCase", "\xC3\xBC", ".", "\\U$0", 1, 3, "\xC3\x9C"},
    {"OemKeepsCapturesAndConvertsTheTemplate", "\x81x", "(\xFC)x", "$1\xE4", 1, 1, "\x81\x84"},
    {"AnsiUpperCase", "\xE4x", ".", "\\U$0", 1, 2, "\xC4X"},
    {"OemUpperCase", "\x84x", "(.)", "\\U$1", 1, 1, "\x8EX"},
    {"CaselessWordBoundaries", "int x; INT y; print", "\\bint\\b", "long", 0, 2, "long x; long y; print"},
};

class Replaces : public Regex, public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(Replaces, AllAtOnceAndOneByOneAgree) {
    const ReplaceCase& c = GetParam();
    Use(c.codeTable);
    Load(*w, c.text);
    Replace(*w, c.pattern, c.replacement, c.mode | kAll);
    EXPECT_EQ(Text(), c.expected);
    EXPECT_TRUE(host.messageIds.empty());
    // Asking, with "&Ja" every time, goes through the changed line instead; it agrees
    // wherever no match looks at text a replacement changed.
    if (std::string(c.name) == "LookbehindSeesTheLineAsItWas") return;
    Load(*w, c.text);
    for (int i = 0; i < 40; ++i) AnswerQuestion(2301);
    Replace(*w, c.pattern, c.replacement, c.mode | kRe);
    EXPECT_EQ(Text(), c.expected);
    EXPECT_EQ(host.messageIds, std::vector<int>{1201});
    host.dialogAnswers.clear();
}

INSTANTIATE_TEST_SUITE_P(Regex, Replaces, ::testing::ValuesIn(kReplaces),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Regex, MarkCoversTheMatchThenTheReplacement) {
    Load(*w, "|x  abcc y");
    AnswerDialog(2301, [this](DialogId, FindSettings&) {
        // The hit is marked over its real length while the question is asked.
        EXPECT_EQ(w->ToCol - w->FromCol, 4);
    });
    Replace(*w, "ab+c+", "Z", kRe | 1);
    EXPECT_EQ(Text(), "x  Z y");
    Load(*w, "|abcc abc");
    Replace(*w, "ab+c+", "ZZZ", kAll | 1);
    EXPECT_EQ(Render(*w), "ZZZ |ZZZ");
    EXPECT_EQ(w->dragKind, kDragMarked);
    EXPECT_EQ(w->ToCol - w->FromCol, 3);
}

TEST_F(Regex, BadExpressionSaysWhereAndDoesNothing) {
    Load(*w, "|ab)c");
    Find(*w, "ab)c", kRe | 1);
    ASSERT_EQ(host.messageIds, std::vector<int>{1240});
    EXPECT_NE(host.messageTexts[0].find(" 3:"), std::string::npos) << host.messageTexts[0];
    Replace(*w, "ab)c", "x", kAll);
    EXPECT_EQ(Text(), "ab)c");
    EXPECT_EQ(host.messageIds, (std::vector<int>{1240, 1240}));
    host.messageIds.clear();
    // The same text without bit 32 is a plain search.
    Find(*w, "ab)c", 1);
    EXPECT_TRUE(host.messageIds.empty());
}

TEST_F(Regex, BadReplacementsStopWithAMessage) {
    Load(*w, "ab ab");
    Replace(*w, "b", "${nosuch}", kAll | 1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1243});
    Replace(*w, "b", "x\\ny", kAll | 1);
    EXPECT_EQ(host.messageIds, (std::vector<int>{1243, 1244}));
    EXPECT_EQ(Text(), "ab ab");
}

TEST_F(Regex, ExplosivePatternIsCutOffNotReportedAsNotFound) {
    Load(*w, "x\n" + std::string(40, 'a') + "b\nend");
    Find(*w, "(a+)+$", kRe | 1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1241});
    EXPECT_NE(host.messageTexts[0].find('2'), std::string::npos);  // the line
    EXPECT_EQ(w->caretLine, 0);
    Load(*w, std::string(40, 'a') + "b");
    Replace(*w, "(a+)+$", "x", kAll | 1);
    EXPECT_EQ(Text(), std::string(40, 'a') + "b");
    EXPECT_EQ(host.messageIds, (std::vector<int>{1241, 1241}));
}

TEST_F(Regex, EscapeStopsALongSearch) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "line\n";
    Load(*w, text + "z9");
    host.escapeAfterPolls = 2;
    Find(*w, "\\d", kRe | 1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1242});
    EXPECT_EQ(w->caretLine, 0);
}

TEST_F(Regex, FindNextRepeatsTheModeAndLearnModeRecordsIt) {
    static test::TestFolder learnFolder;  // the learned file is made once per process
    if (TheLearnRecorder().LearnFileName.empty()) SetTemporaryBase(learnFolder.path());
    Load(*w, "|k k1 k2");
    ASSERT_TRUE(ToggleLearnMode());
    Find(*w, "k\\d", 33);
    EXPECT_EQ(Render(*w), "k |k1 k2");
    FindNext(*w);
    EXPECT_EQ(Render(*w), "k k1 |k2");
    ASSERT_FALSE(ToggleLearnMode());
    SetTemporaryBase("");
    EXPECT_EQ(Stored().Regex, 1);
    std::ifstream in(TheLearnRecorder().LearnFileName, std::ios::binary);
    std::ostringstream file;
    file << in.rdbuf();
    EXPECT_NE(file.str().find("\tFind (\"k\\d\",33);\r\n\tFindNext ();\r\n"), std::string::npos) << file.str();
}

// The required literal must stand in every line the expression matches: random lines
// over a small alphabet, each expression's matches checked against its literal.
TEST(RequiredLiteral, EveryMatchHoldsIt) {
    struct Case {
        const char* pattern;
        const char* literal;
    };
    const Case cases[] = {
        {"abc", "abc"},         {"ab?c", "a"},          {"a+bcd", "bcd"},      {"ab{2}cd", "cd"},
        {"(ab){2}cd", "cd"},    {"a|bcd", ""},          {"x(?i)abc", ""},      {"\\x61bcd", "bcd"},
        {"\\p{Ll}abc", "abc"},  {"[abc]+dd", "dd"},     {"\\.a\\.", ".a."},    {"a*?bc", "bc"},
        {"(?:a|b)cc", "cc"},    {"\\Qab\\E", ""},       {"(*UTF)ab", ""},      {"\\cabc", "bc"},
        {"ab\\d+c", "ab"},      {"\\1ab", "ab"},        {"(?<n>a)\\k<n>bc", "bc"},
    };
    std::mt19937 random(7);
    for (const Case& c : cases) {
        const std::string literal = RequiredLiteral(c.pattern, false, false);
        EXPECT_EQ(literal, c.literal) << c.pattern;
        FindSettings s;
        s.FindString = c.pattern;
        s.CapsSens = 1;
        RegexPattern re;
        RegexError error;
        if (!re.Compile(s, 2, error)) continue;  // \1 without a group
        for (int i = 0; i < 2000; ++i) {
            std::string line;
            const int n = int(random() % 12);
            for (int k = 0; k < n; ++k) line += "abcd.\x01"[random() % 6];
            std::size_t start = 0, end = 0;
            if (re.Match(line, 0, false, start, end) == MatchResult::Match) {
                ASSERT_NE(line.find(literal), std::string::npos) << c.pattern << " on " << line;
            }
        }
    }
    EXPECT_EQ(RequiredLiteral("kasten", true, true), "ten");  // k and s fold beyond ASCII
}

}  // namespace
}  // namespace varlin
