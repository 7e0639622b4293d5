// The code tables: round trips, nearest equivalents, case and the painted glyphs.
#include "textutil/CodeTables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace varlin {
namespace {

// The five bytes that Windows-1252 leaves undefined, and the typographic characters of
// 0x80-0x9F that code page 850 has no place for: all of 0x80-0x9F except the florin.
bool HasPlaceInOem(int b) { return b < 0x80 || b >= 0xA0 || b == 0x83; }

TEST(CodeTables, EveryAnsiByteWithAnOemPlaceSurvivesTheRoundTrip) {
    for (int b = 0; b < 256; ++b) {
        if (!HasPlaceInOem(b)) continue;
        EXPECT_EQ(OemToAnsi(AnsiToOem((unsigned char)b)), b) << "byte " << b;
    }
}

TEST(CodeTables, AnsiToOemIsOneToOneOnMappedBytes) {
    bool seen[256] = {};
    for (int b = 0; b < 256; ++b) {
        if (!HasPlaceInOem(b)) continue;
        unsigned char o = AnsiToOem((unsigned char)b);
        EXPECT_FALSE(seen[o]) << "two ANSI bytes map to OEM " << int(o);
        seen[o] = true;
    }
}

TEST(CodeTables, KnownLetters) {
    struct Case { unsigned char ansi, oem; } cases[] = {
        {0xE4, 0x84}, {0xF6, 0x94}, {0xFC, 0x81}, {0xC4, 0x8E}, {0xD6, 0x99},
        {0xDC, 0x9A}, {0xDF, 0xE1}, {0xE9, 0x82}, {0xA7, 0xF5}, {0x83, 0x9F}, {0xB7, 0xFA},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnsiToOem(c.ansi), c.oem) << int(c.ansi);
        EXPECT_EQ(OemToAnsi(c.oem), c.ansi) << int(c.oem);
    }
}

TEST(CodeTables, UnmappableCharactersBecomeNearestEquivalentOrQuestionMark) {
    EXPECT_EQ(AnsiToOem(0x93), '"');   // left double quotation mark
    EXPECT_EQ(AnsiToOem(0x96), '-');   // en dash
    EXPECT_EQ(AnsiToOem(0x8A), 'S');   // S with caron
    EXPECT_EQ(AnsiToOem(0x81), '?');   // undefined in 1252
    EXPECT_EQ(OemToAnsi(0xC4), '-');   // box drawing horizontal
    EXPECT_EQ(OemToAnsi(0xB3), '|');   // box drawing vertical
    EXPECT_EQ(OemToAnsi(0xDA), '+');   // corner
    EXPECT_EQ(OemToAnsi(0xB0), '?');   // light shade
    EXPECT_EQ(OemToAnsi(0xD5), 'i');   // dotless i
}

TEST(CodeTables, ControlBytesAreNotConverted) {
    for (int b = 0; b < 32; ++b) {
        EXPECT_EQ(AnsiToOem((unsigned char)b), b);
        EXPECT_EQ(OemToAnsi((unsigned char)b), b);
    }
}

TEST(CodeTables, StringConversionInPlaceAndWithNul) {
    char text[] = "Gr\xFC\xDF" "e";
    AnsiToOemString(text, text);
    EXPECT_STREQ(text, "Gr\x81\xE1" "e");
    OemToAnsiString(text, text);
    EXPECT_STREQ(text, "Gr\xFC\xDF" "e");
    std::string bytes("\xE4\0\xF6", 3);
    AnsiToOemBytes(bytes);
    EXPECT_EQ(bytes, std::string("\x84\0\x94", 3));
}

TEST(CodeTables, Classification) {
    struct Case { unsigned char c; bool alnum, upper, lower; } cases[] = {
        {'A', true, true, false}, {'z', true, false, true}, {'5', true, false, false},
        {'-', false, false, false}, {0xC4, true, true, false}, {0xE4, true, false, true},
        {0xDF, true, false, true}, {0xD7, false, false, false}, {0xF7, false, false, false},
        {0x8A, true, true, false}, {0x9A, true, false, true}, {0xA0, false, false, false},
        {0xB5, true, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsAnsiAlphaNumeric(c.c), c.alnum) << int(c.c);
        EXPECT_EQ(IsAnsiUpper(c.c), c.upper) << int(c.c);
        EXPECT_EQ(IsAnsiLower(c.c), c.lower) << int(c.c);
    }
}

TEST(CodeTables, CaseMappingKeepsLettersWithoutAPartner) {
    EXPECT_EQ(AnsiUpper(0xE4), 0xC4);
    EXPECT_EQ(AnsiUpper(0xFF), 0x9F);  // y with diaeresis
    EXPECT_EQ(AnsiUpper(0xDF), 0xDF);  // sharp s has no single capital
    EXPECT_EQ(AnsiUpper(0xB5), 0xB5);  // micro sign
    EXPECT_EQ(AnsiUpper(0xF7), 0xF7);  // division sign is no letter
    EXPECT_EQ(AnsiLower(0xDE), 0xFE);
    char text[] = "stra\xDF" "e \xF6l";
    AnsiUpperString(text);
    EXPECT_STREQ(text, "STRA\xDF" "E \xD6L");
    // Every upper-case mapping lands on an upper-case letter and back.
    for (int b = 0; b < 256; ++b) {
        unsigned char u = AnsiUpper((unsigned char)b);
        if (u != b) {
            EXPECT_TRUE(IsAnsiUpper(u)) << b;
            EXPECT_EQ(AnsiLower(u), b) << b;
        }
    }
}

TEST(CodeTables, GlyphsForPainting) {
    EXPECT_EQ(OemGlyph(26), u'→');
    EXPECT_EQ(OemGlyph(250), u'·');
    EXPECT_EQ(OemGlyph(1), u'☺');
    EXPECT_EQ(OemGlyph(0xC4), u'─');
    EXPECT_EQ(OemGlyph(0x84), u'ä');
    EXPECT_EQ(AnsiGlyph(0xE4), u'ä');
    EXPECT_EQ(AnsiGlyph(0x80), u'€');
    EXPECT_EQ(AnsiGlyph('A'), u'A');
    EXPECT_EQ(GlyphOf(0x84, 1), u'ä');
    EXPECT_EQ(GlyphOf(0xE4, 2), u'ä');
    // Every byte paints as some visible character of its table.
    for (int b = 1; b < 256; ++b) {
        EXPECT_NE(OemGlyph((unsigned char)b), 0) << b;
        EXPECT_NE(AnsiGlyph((unsigned char)b), 0) << b;
    }
    // The glyph of an OEM byte and of its ANSI twin agree wherever both tables hold it.
    for (int b = 0x20; b < 256; ++b) {
        if (!HasPlaceInOem(b) || b == 0x7F) continue;
        EXPECT_EQ(AnsiGlyph((unsigned char)b), OemGlyph(AnsiToOem((unsigned char)b))) << b;
    }
}

}  // namespace
}  // namespace varlin
