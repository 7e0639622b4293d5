// Language recognition and the syntax classes: the choice by extension, routine starts
// by pattern and by the fixed rule, keyword and string runs, comments per language, and
// the bracket list.
#include "document/Language.h"
#include "document/LineStore.h"
#include "platform/HeadlessHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace varlin {
namespace {

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.writeMessagesToStderr = false;
        host.Install();
    }
    // A store named name, coloured or not, holding lines.
    void Open(LineStore& store, const std::string& name, int highlight,
              const std::vector<std::string>& lines = {}) {
        store.SetFileName(name);
        SelectLanguage(store, highlight);
        for (std::size_t i = 0; i < lines.size(); ++i) store.SetLine(int(i), lines[i]);
    }
    HeadlessHost host;
};

int TableSize(const KeywordEntry* table) {
    int n = 0;
    for (; table[n].wordLength != 0; ++n)
        EXPECT_EQ(table[n].wordLength, std::strlen(table[n].word)) << table[n].word;
    return n;
}

TEST_F(LanguageTest, KeywordTablesAreComplete) {
    for (auto [name, size] : {std::pair{"a.c", 55}, {"A.java", 59}, {"u.pas", 105}}) {
        LineStore store;
        Open(store, name, 1);
        EXPECT_EQ(TableSize(store.keywordTable), size) << name;
    }
}

TEST_F(LanguageTest, TheExtensionChoosesTheLanguage) {
    struct Case {
        const char* name;
        int highlight;
        int label;
        const char* blockOpen;
    } cases[] = {
        {"Test.JAVA", 1, 1615, "/*"},     {"src/unit1.PAS", 1, 1617, "(*"},
        {"readme.txt", 1, 1616, "/*"},    {"Makefile", 1, kLabelOther, ""},
        {"", 1, 1616, "/*"},              {"dir.pas/Makefile", 1, kLabelOther, ""},
        {"x.javascript", 1, 1616, "/*"},  {"Test.java", 0, 1614, ""},
        {"dir.pas/x.cfg", 1, 1616, "/*"},
    };
    for (const Case& c : cases) {
        LineStore store;
        Open(store, c.name, c.highlight);
        EXPECT_EQ(GetLanguageLabelId(store), c.label) << c.name;
        EXPECT_EQ(store.blockOpenMarker, c.blockOpen) << c.name;
        EXPECT_EQ(store.highlight, c.highlight != 0) << c.name;
    }
    EXPECT_EQ(FileExtension("x.javascript"), "javascri");
    EXPECT_EQ(FileExtension("/a.b/c"), "");
}

TEST_F(LanguageTest, WithoutColouringNoClassIsEverReported) {
    LineStore store;
    Open(store, "a.cpp", 0, {"int main(void) /* c */ // d"});
    store.BuildCommentIndex(0, 1);
    int run = 0;
    EXPECT_FALSE(IsRoutineStart(store, 0));
    EXPECT_TRUE(IsRoutineLine(store.LineView(0)));  // the fixed rule ignores colouring
    EXPECT_FALSE(KeywordRunAt(store, 0, 0, run));
    EXPECT_FALSE(CommentRunAt(store, 0, 17, run));
}

TEST_F(LanguageTest, RoutineStartsByPatternAndByTheFixedRule) {
    struct Case {
        const char* line;
        bool routine;
    } cases[] = {
        {"int main(void)", true},
        {"foo (a, b)", true},
        {"void f(int) ", true},
        {"  void f(int)", false},
        {"\tvoid f(int)", false},
        {"procedure TForm1.Click(Sender: TObject)", false},
        {"void f(int a);", false},
        {"#define X(a) a", false},
        {"x = 1", false},
        {"\xC4nderung(x)", true},  // an ANSI letter starts a word
        {"", false},
    };
    LineStore store;
    std::vector<std::string> lines;
    for (const Case& c : cases) lines.push_back(c.line);
    Open(store, "a.c", 1, lines);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(IsRoutineStart(store, int(i)), cases[i].routine) << cases[i].line;
        EXPECT_EQ(IsRoutineLine(cases[i].line), cases[i].routine) << cases[i].line;
    }
    EXPECT_FALSE(IsRoutineStart(store, 99));
}

TEST_F(LanguageTest, RoutinePatternOperators) {
    EXPECT_TRUE(MatchesRoutinePattern("<=a", "abc"));
    EXPECT_FALSE(MatchesRoutinePattern("<!a", "abc"));
    EXPECT_TRUE(MatchesRoutinePattern(">=c =!x", "abc"));
    EXPECT_FALSE(MatchesRoutinePattern("?=a", "abc"));  // unknown operator
    EXPECT_FALSE(MatchesRoutinePattern("", "abc"));     // no pattern never matches
    EXPECT_FALSE(MatchesRoutinePattern("=", "abc"));    // a cut group tests for NUL
}

TEST_F(LanguageTest, KeywordRunsWordsAndStrings) {
    struct Case {
        const char* line;
        int index;
        bool keyword;
        int run;
    } cases[] = {
        {"\"if\" x", 0, false, 4},
        {"\"if", 0, false, 4},  // unclosed: to the end plus one
        {"print(x)", 0, false, 5},
        {"#include <a>", 0, true, 8},
        {"x1int", 2, true, 3},
        {"x1int", 1, false, 1},
        {"if_x", 0, true, 2},
        {"Int", 0, false, 3},  // case counts
    };
    LineStore store;
    std::vector<std::string> lines;
    for (const Case& c : cases) lines.push_back(c.line);
    Open(store, "a.cpp", 1, lines);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int run = -7;
        EXPECT_EQ(KeywordRunAt(store, int(i), cases[i].index, run), cases[i].keyword)
            << cases[i].line;
        EXPECT_EQ(run, cases[i].run) << cases[i].line;
    }
    int run = -7;
    store.SetLine(20, "");
    EXPECT_FALSE(KeywordRunAt(store, 20, 0, run));
    EXPECT_EQ(run, 5000);
    run = -7;
    EXPECT_FALSE(KeywordRunAt(store, 0, 6, run));  // the end of the line: run untouched
    EXPECT_EQ(run, -7);
}

TEST_F(LanguageTest, DelphiKeywordsAndComments) {
    LineStore store;
    Open(store, "unit1.pas", 1, {"{ braces } (* star *) // line", "Begin begin"});
    store.BuildCommentIndex(0, 2);
    int run = 0;
    EXPECT_FALSE(CommentRunAt(store, 0, 2, run));
    EXPECT_EQ(run, 1);
    EXPECT_TRUE(CommentRunAt(store, 0, 11, run));
    EXPECT_EQ(run, 10);  // "(* star *)" to its closing parenthesis
    EXPECT_TRUE(CommentRunAt(store, 0, 25, run));
    EXPECT_EQ(run, 5000 - 25 + 1);
    EXPECT_FALSE(KeywordRunAt(store, 1, 0, run));
    EXPECT_TRUE(KeywordRunAt(store, 1, 6, run));
    EXPECT_EQ(run, 5);
}

TEST_F(LanguageTest, CommentSpansOverSeveralLines) {
    LineStore store;
    Open(store, "a.c", 1, {"x /* a", "b", "c */ y"});
    store.BuildCommentIndex(0, 3);
    int run = 0;
    EXPECT_FALSE(CommentRunAt(store, 0, 1, run));
    EXPECT_TRUE(CommentRunAt(store, 0, 2, run));
    EXPECT_TRUE(CommentRunAt(store, 1, 0, run));
    EXPECT_TRUE(CommentRunAt(store, 2, 3, run));  // the closing marker's second character
    EXPECT_EQ(run, 1);
    EXPECT_FALSE(CommentRunAt(store, 2, 5, run));
}

TEST_F(LanguageTest, BracketListItemsAsTheyStand) {
    EXPECT_EQ(ParseBracketList("(,),begin,end,{,},[,],#if,#endif"),
              (std::vector<std::string>{"(", ")", "begin", "end", "{", "}", "[", "]", "#if",
                                        "#endif"}));
    EXPECT_EQ(ParseBracketList(" < , > ,"), (std::vector<std::string>{" < ", " > ", ""}));
    EXPECT_EQ(ParseBracketList(std::string(25, 'a') + ",b")[0], std::string(19, 'a'));
    EXPECT_TRUE(ParseBracketList("").empty());
}

}  // namespace
}  // namespace varlin
