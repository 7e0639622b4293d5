// HTML sequences: the table both ways, the case-sensitive and one-pass reading back, the
// buffer bounds of the zero-terminated form and the whole-line byte-string form.
#include "textutil/HtmlSequences.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace varlin {
namespace {

std::string To(std::string_view in) {
    std::string out;
    ToHtmlSequences(in, out);
    return out;
}

std::string From(std::string_view in) {
    std::string out;
    FromHtmlSequences(in, out);
    return out;
}

// The pairs as the user's documents know them (bytes of Windows-1252), in table order.
const struct {
    unsigned char byte;
    const char* sequence;
} kExpected[] = {
    {38, "&amp;"},     {228, "&auml;"},   {246, "&ouml;"},   {252, "&uuml;"},   {196, "&Auml;"},
    {214, "&Ouml;"},   {220, "&Uuml;"},   {223, "&szlig;"},  {225, "&aacute;"}, {233, "&eacute;"},
    {237, "&iacute;"}, {243, "&oacute;"}, {250, "&uacute;"}, {224, "&agrave;"}, {232, "&egrave;"},
    {236, "&igrave;"}, {242, "&ograve;"}, {249, "&ugrave;"}, {226, "&acirc;"},  {234, "&ecirc;"},
    {238, "&icirc;"},  {244, "&ocirc;"},  {251, "&ucirc;"},
};

TEST(HtmlSequenceTable, HoldsTheTwentyThreePairsInOrderAndEnds) {
    ASSERT_EQ(std::size(kExpected), static_cast<std::size_t>(kHtmlSequenceCount));
    for (int i = 0; i < kHtmlSequenceCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kHtmlSequences[i].character, kExpected[i].byte);
        EXPECT_STREQ(kHtmlSequences[i].sequence, kExpected[i].sequence);
    }
    EXPECT_EQ(kHtmlSequences[kHtmlSequenceCount].character, 0);
}

TEST(HtmlSequenceTable, EveryAccentedLetterGoesThereAndBack) {
    for (const auto& e : kExpected) {
        if (e.byte == '&') continue;  // "&" is only ever read back, never written
        const std::string letter(1, static_cast<char>(e.byte));
        SCOPED_TRACE(e.sequence);
        EXPECT_EQ(To(letter), e.sequence);
        EXPECT_EQ(From(e.sequence), letter);
    }
}

TEST(HtmlSequences, Conversions) {
    const struct {
        const char* plain;
        const char* html;
    } cases[] = {
        {"Gr\xFC\xDF" "e", "Gr&uuml;&szlig;e"},
        {"caf\xE9", "caf&eacute;"},
        {"\xC4rger \xFC" "ber \xD6l", "&Auml;rger &uuml;ber &Ouml;l"},
        {"plain ascii", "plain ascii"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.html);
        EXPECT_EQ(To(c.plain), c.html);
        EXPECT_EQ(From(c.html), c.plain);
    }
}

TEST(HtmlSequences, ForwardLeavesAmpersandsAndOtherHighBytes) {
    EXPECT_EQ(To("a & b"), "a & b");
    EXPECT_EQ(To("&auml; bleibt"), "&auml; bleibt");
    // Bytes from 128 up without an entry (É, €, the OEM block) are copied.
    EXPECT_EQ(To("\xC9\x80\xB0"), "\xC9\x80\xB0");
}

TEST(HtmlSequences, ForwardTwiceEqualsOnce) {
    const std::string once = To("Gr\xFC\xDF" "e & caf\xE9 &amp; \xC9");
    EXPECT_EQ(To(once), once);
}

TEST(HtmlSequences, ReadingBackIsExactAndOnePass) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"a &amp; b", "a & b"},
        {"&Eacute;", "&Eacute;"},          // not in the table
        {"&AUML;", "&AUML;"},              // other case
        {"&auml", "&auml"},                // no ";"
        {"& &; &&auml;", "& &; &\xE4"},
        {"&amp;auml;", "&auml;"},          // the "&" written is not read again
        {"ends with &", "ends with &"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(From(c.in), c.out);
        char buffer[64];
        std::strcpy(buffer, c.in);
        FromHtmlSequences(buffer);
        EXPECT_STREQ(buffer, c.out);
    }
}

TEST(HtmlSequences, CountsReplacements) {
    std::string out;
    EXPECT_EQ(ToHtmlSequences("Gr\xFC\xDF" "e &", out), 2);
    EXPECT_EQ(FromHtmlSequences("&amp;&auml;&Eacute;", out), 2);
    char buffer[32] = "x &uuml;&uuml;";
    EXPECT_EQ(FromHtmlSequences(buffer), 2);
    EXPECT_EQ(FromHtmlSequences(nullptr), 0);
}

TEST(HtmlSequences, LineBytesAfterANulAreConvertedToo) {
    const std::string line("a\0\xE4", 3);
    EXPECT_EQ(To(line), std::string("a\0&auml;", 8));
    EXPECT_EQ(From(std::string("&amp;\0&amp;", 11)), std::string("&\0&", 3));
}

TEST(ToHtmlSequencesBuffer, ReplacesOnlyWhileTheSequenceFitsWithRoomToSpare) {
    char out[16];
    // "ä" needs its 6 bytes to be less than the room minus 2: a size of 9 is the least.
    EXPECT_EQ(ToHtmlSequences("\xE4", out, 9), 1);
    EXPECT_STREQ(out, "&auml;");
    EXPECT_EQ(ToHtmlSequences("\xE4", out, 8), 0);
    EXPECT_STREQ(out, "\xE4");
}

TEST(ToHtmlSequencesBuffer, NeverWritesBeyondSize) {
    char out[16];
    std::memset(out, 'x', sizeof out);
    ToHtmlSequences("abcdefgh", out, 4);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(out[4], 'x');
    std::memset(out, 'x', sizeof out);
    ToHtmlSequences("abc", out, 1);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[1], 'x');
    ToHtmlSequences("abc", out, 0);  // nothing written
    EXPECT_EQ(out[1], 'x');
    EXPECT_EQ(ToHtmlSequences(nullptr, out, 8), 0);
    EXPECT_STREQ(out, "");
}

}  // namespace
}  // namespace varlin
