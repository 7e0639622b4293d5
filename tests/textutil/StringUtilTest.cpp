// The string utilities on caller buffers: bounds, neutral results and the token rules.
#include "textutil/StringUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace varlin {
namespace {

TEST(CopyString, CutsToTheBufferAndZeroFillsTheRest) {
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    CopyString(buf, "abcdef", 4);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(buf[4], 'x');  // never beyond size
    CopyString(buf, "ab", 8);
    for (int i = 2; i < 8; ++i) EXPECT_EQ(buf[i], '\0');
    CopyString(buf, nullptr, 8);
    EXPECT_STREQ(buf, "");
    buf[0] = 'q';
    CopyString(buf, "z", 0);
    EXPECT_EQ(buf[0], 'q');
    CopyString(nullptr, "z", 5);  // no crash
}

TEST(AppendString, AppendsWhatFits) {
    char buf[8] = "abc";
    AppendString(buf, "def", 5);
    EXPECT_STREQ(buf, "abcd");
    char full[4] = {'a', 'b', 'c', 'd'};  // not terminated within size
    AppendString(full, "x", 4);
    EXPECT_STREQ(full, "abc");
    char keep[4] = "ab";
    AppendString(keep, nullptr, 4);
    EXPECT_STREQ(keep, "ab");
}

TEST(IsBlank, BlankBytesAreOneTo32Only) {
    EXPECT_TRUE(IsBlank(nullptr));
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank(" \t \x01"));
    EXPECT_FALSE(IsBlank(" \xA0"));
    EXPECT_FALSE(IsBlank("\xFF"));
    EXPECT_FALSE(IsBlankChar(0));
    EXPECT_TRUE(IsBlankChar(32));
    EXPECT_FALSE(IsBlankChar(33));
    EXPECT_FALSE(IsBlankChar(160));
}

std::string Tokens(const char* text, char sep, int outSize = 32) {
    const char* cursor = text;
    char out[64];
    std::string all;
    while (NextToken(&cursor, sep, out, outSize)) all += std::string("[") + out + "]";
    EXPECT_STREQ(out, "");
    return all;
}

TEST(NextToken, SplitsKeepingEmptyTokens) {
    EXPECT_EQ(Tokens("a,b", ','), "[a][b]");
    EXPECT_EQ(Tokens("a,,b", ','), "[a][][b]");
    EXPECT_EQ(Tokens(" a , b ", ','), "[ a ][ b ]");
    EXPECT_EQ(Tokens("a,", ','), "[a]");
    EXPECT_EQ(Tokens("", ','), "");
    EXPECT_EQ(Tokens("abcdef,g", ',', 3), "[ab][g]");  // the rest of a long token is skipped
}

TEST(NextToken, NeutralResults) {
    char out[4] = "zz";
    const char* cursor = "a,b";
    EXPECT_EQ(NextToken(&cursor, ',', out, 0), 0);
    EXPECT_STREQ(out, "zz");
    EXPECT_EQ(NextToken(&cursor, '\0', out, 4), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(NextToken(nullptr, ',', out, 4), 0);
    const char* none = nullptr;
    EXPECT_EQ(NextToken(&none, ',', out, 4), 0);
}

TEST(GetListItem, PicksTheIndexedToken) {
    const char* brackets = "(,),begin,end,{,},[,],#if,#endif";
    char out[32];
    GetListItem(brackets, 2, ',', out, sizeof out);
    EXPECT_STREQ(out, "begin");
    GetListItem(brackets, 9, ',', out, sizeof out);
    EXPECT_STREQ(out, "#endif");
    GetListItem(brackets, 10, ',', out, sizeof out);
    EXPECT_STREQ(out, "");
    GetListItem(brackets, -1, ',', out, sizeof out);
    EXPECT_STREQ(out, "");
}

TEST(InsertBlanks, GrowsOnlyWithinTheBuffer) {
    char buf[8] = "abc";
    EXPECT_EQ(InsertBlanks(buf, 1, 2, 7), 0);
    EXPECT_STREQ(buf, "a  bc");
    char small[8] = "abc";
    EXPECT_EQ(InsertBlanks(small, 1, 2, 6), -1);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(InsertBlanks(small, 3, 1, 8), 0);  // at the end
    EXPECT_STREQ(small, "abc ");
    EXPECT_EQ(InsertBlanks(small, 9, 1, 8), -1);  // beyond the text
    EXPECT_EQ(InsertBlanks(small, 0, -1, 8), -1);
    EXPECT_STREQ(small, "abc ");
}

TEST(DeleteChars, RemovesAtMostTheRest) {
    struct Case { const char* text; int pos, n; const char* expected; } cases[] = {
        {"abc", 1, 5, "a"}, {"abc", 0, 1, "bc"}, {"abc", 1, 1, "ac"},
        {"abc", 3, 1, "abc"}, {"abc", 7, 1, "abc"}, {"abc", 1, 0, "abc"}, {"abc", 0, 3, ""},
    };
    for (const Case& c : cases) {
        char buf[8];
        std::strcpy(buf, c.text);
        DeleteChars(buf, c.pos, c.n, sizeof buf);
        EXPECT_STREQ(buf, c.expected) << c.text << " " << c.pos << " " << c.n;
    }
}

TEST(EscapeQuotes, EscapesAndStopsWithRoomForTheTerminator) {
    char out[16];
    EscapeQuotes("a\"b", out, sizeof out);
    EXPECT_STREQ(out, "a\\\"b");
    EscapeQuotes("abcdef", out, 5);  // room 5: three characters, then room 2 stops
    EXPECT_STREQ(out, "abc");
    EscapeQuotes("\"\"\"", out, 6);  // one escaped quote (room 6 -> 4), second (4 -> 2)
    EXPECT_STREQ(out, "\\\"\\\"");
    std::memset(out, 'x', sizeof out);
    EscapeQuotes("abc", out, 2);
    EXPECT_STREQ(out, "");
    EscapeQuotes(nullptr, out, 4);
    EXPECT_STREQ(out, "");
}

TEST(CharacterTests, LowerLetterAndIdentifierBreak) {
    EXPECT_TRUE(IsNotLowerLetter('A'));
    EXPECT_TRUE(IsNotLowerLetter('1'));
    EXPECT_TRUE(IsNotLowerLetter('-'));
    EXPECT_FALSE(IsNotLowerLetter('a'));
    EXPECT_FALSE(IsNotLowerLetter(0xE4));      // ä as an int
    EXPECT_FALSE(IsNotLowerLetter((char)0xE4)); // ä as a (signed) char
    EXPECT_TRUE(IsNotLowerLetter(0xC4));
    EXPECT_FALSE(IsIdentifierBreak('_'));
    EXPECT_FALSE(IsIdentifierBreak('z'));
    EXPECT_FALSE(IsIdentifierBreak('9'));
    EXPECT_TRUE(IsIdentifierBreak(' '));
    EXPECT_TRUE(IsIdentifierBreak((char)0xE4));  // letters outside ASCII break identifiers
}

TEST(FindText, FirstOccurrenceFromAnIndex) {
    const char* s = "abcabc";
    EXPECT_EQ(FindText(s, "ca"), s + 2);
    EXPECT_EQ(FindText(s, "x"), nullptr);
    EXPECT_EQ(FindText(nullptr, "x"), nullptr);
    EXPECT_EQ(FindFrom(s, 0, "bc"), 1);
    EXPECT_EQ(FindFrom(s, 2, "bc"), 4);
    EXPECT_EQ(FindFrom(s, 5, "bc"), -1);
    EXPECT_EQ(FindFrom(s, 6, ""), 6);
    EXPECT_EQ(FindFrom(s, 7, ""), -1);  // beyond the text
    EXPECT_EQ(FindFrom(s, -1, "a"), -1);
}

std::FILE* FileWith(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

TEST(ReadPiece, PlainReadsLikeFgets) {
    std::FILE* f = FileWith("ab\ncdefg");
    char buf[4];
    EXPECT_EQ(ReadPiece(buf, 4, f, 0), buf);
    EXPECT_STREQ(buf, "ab\n");
    EXPECT_EQ(ReadPiece(buf, 4, f, 0), buf);
    EXPECT_STREQ(buf, "cde");
    EXPECT_EQ(ReadPiece(buf, 4, f, 0), buf);
    EXPECT_STREQ(buf, "fg");
    EXPECT_EQ(ReadPiece(buf, 4, f, 0), nullptr);
    std::fclose(f);
}

TEST(ReadPiece, WideKeepsLowBytesAndDropsACutPair) {
    std::FILE* f = FileWith(std::string("a\0b\0\n\0c\0d", 9));
    char buf[16];
    char* end = ReadPiece(buf, sizeof buf, f, 1);
    EXPECT_STREQ(buf, "ab\n");
    EXPECT_EQ(end, buf + 3);
    end = ReadPiece(buf, sizeof buf, f, 1);
    EXPECT_STREQ(buf, "c");  // the pair "d" + end of file is dropped
    EXPECT_EQ(end, buf + 1);
    EXPECT_EQ(ReadPiece(buf, sizeof buf, f, 1), nullptr);
    std::fclose(f);
}

TEST(ReadPiece, WideStopsWhenTheBufferIsFull) {
    std::FILE* f = FileWith(std::string("a\0b\0c\0\n\0", 8));
    char buf[3];
    ReadPiece(buf, sizeof buf, f, 1);
    EXPECT_STREQ(buf, "ab");
    ReadPiece(buf, sizeof buf, f, 1);
    EXPECT_STREQ(buf, "c\n");
    std::fclose(f);
}

}  // namespace
}  // namespace varlin
