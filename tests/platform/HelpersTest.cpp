// Small helpers of the message and dialog layer: pair tables, number texts, tab stops,
// position order, line-end trimming, and allocation that reports 1002.
#include "platform/DialogHelpers.h"
#include "platform/HeadlessHost.h"
#include "platform/Memory.h"
#include "platform/TextHelpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace varlin {
namespace {

TEST(LookupPair, MapsBothWaysAndMissesGiveMinusOne) {
    const LookupEntry table[] = {{802, 1}, {803, 2}, {-1, 0}};
    EXPECT_EQ(LookupPair(803, table), 2);
    EXPECT_EQ(LookupPair(804, table), -1);
    EXPECT_EQ(LookupPairReverse(1, table), 802);
    EXPECT_EQ(LookupPairReverse(0, table), -1);  // CodeTable 0 selects no button
    EXPECT_EQ(LookupPair(1, nullptr), -1);
}

TEST(ValidateIntText, DigitsAndBounds) {
    struct Case { const char* text; int lo, hi; bool ok; } cases[] = {
        {"5", 1, 10, true}, {"-5", 1, 10, false}, {"12a", 1, 100, false}, {"", 1, 10, false},
        {"", 0, 10, true}, {"-", -5, 5, false}, {"5-", 0, 100, false}, {" 5", 0, 10, false},
        {"-3", -5, 5, true}, {"99999999999999999999", 0, INT_MAX, false}, {"10", 1, 10, true},
    };
    for (const Case& c : cases) EXPECT_EQ(ValidateIntText(c.text, c.lo, c.hi), c.ok) << c.text;
}

TEST(ParseItemInt, ConvertsLikeTheControlsDo) {
    struct Case { const char* text; int value; } cases[] = {
        {"42", 42}, {"  42x", 42}, {"abc", 0}, {"", 0}, {"-7", -7}, {"300", 300},
        {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseItemInt(c.text), c.value) << c.text;
}

TEST(NextTabStop, StepsToTheNextMultiple) {
    struct Case { int d, col, stop; } cases[] = {
        {8, 0, 8}, {8, 7, 8}, {8, 8, 16}, {0, 0, 2}, {1, 3, 4}, {-3, 5, 6}, {4, INT_MAX - 1, INT_MAX},
        {8, -3, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(NextTabStop(c.d, c.col), c.stop) << c.d << " " << c.col;
}

TEST(ComparePositions, LineFirstThenColumn) {
    EXPECT_EQ(ComparePositions(1, 9, 2, 0), -1);
    EXPECT_EQ(ComparePositions(2, 0, 1, 9), 1);
    EXPECT_EQ(ComparePositions(2, 3, 2, 4), -1);
    EXPECT_EQ(ComparePositions(2, 4, 2, 4), 0);
}

TEST(LineHelpers, TrimBlanksAndSlashes) {
    char text[] = "abc\r\n\x1A\n";
    EXPECT_EQ(TrimLineEnd(text), 3);
    EXPECT_STREQ(text, "abc");
    char inner[] = "a\rb";
    EXPECT_EQ(TrimLineEnd(inner), 3);
    EXPECT_EQ(TrimLineEnd(nullptr), 0);
    EXPECT_EQ(CountLeadingBlanks(" \t x "), 3);
    EXPECT_EQ(CountLeadingBlanks(nullptr), 0);
    char path[] = "C:\\a\\b.vlm";
    BackslashesToSlashes(path);
    EXPECT_STREQ(path, "C:/a/b.vlm");
}

TEST(Memory, CopiesAndReportsFailure) {
    static HeadlessHost host;
    host.Reset();
    host.writeMessagesToStderr = false;
    host.Install();
    auto copy = DupString("abc");
    ASSERT_TRUE(copy);
    EXPECT_STREQ(copy.get(), "abc");
    EXPECT_FALSE(DupString(nullptr));
    EXPECT_FALSE(AllocOrReport(0));
    auto block = AllocOrReport(16);
    ASSERT_TRUE(block);
    EXPECT_EQ(block[15], '\0');
    EXPECT_TRUE(host.messageIds.empty());
#ifndef __SANITIZE_ADDRESS__  // the sanitizer stops at an impossible allocation itself
    EXPECT_FALSE(AllocOrReport(LLONG_MAX));
    EXPECT_EQ(host.messageIds, std::vector<int>{1002});
#endif
}

}  // namespace
}  // namespace varlin
