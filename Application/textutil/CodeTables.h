// The two code tables of the documents: Windows-1252 ("ANSI", CodeTable 2) and code page
// 850 ("OEM", shown as "ASCII", CodeTable 1). Conversion both ways (what the platform's
// CharToOemA / OemToCharA do), the ANSI character classes and case mapping
// (IsCharAlphaNumericA, IsCharUpperA, IsCharLowerA, CharUpperA, CharLowerA), and the
// Unicode character that paints each byte. All of it is fixed data, independent of locale.
#pragma once

#include <string>

namespace varlin {

// Conversion of one byte, a zero-terminated text (src and dst may be the same buffer,
// dst needs room for src's length + 1), or a byte string that may hold NUL.
// A character without a place in the other table becomes its nearest plain equivalent
// or '?'; bytes below 128 never change.
unsigned char AnsiToOem(unsigned char c);
unsigned char OemToAnsi(unsigned char c);
void AnsiToOemString(const char* src, char* dst);
void OemToAnsiString(const char* src, char* dst);
void AnsiToOemBytes(std::string& bytes);
void OemToAnsiBytes(std::string& bytes);

// Classification and case of ANSI bytes. Upper-casing keeps characters whose capital has
// no place in the table (ß, µ); the strings are changed in place.
bool IsAnsiAlphaNumeric(unsigned char c);
bool IsAnsiUpper(unsigned char c);
bool IsAnsiLower(unsigned char c);
unsigned char AnsiUpper(unsigned char c);
unsigned char AnsiLower(unsigned char c);
void AnsiUpperString(char* s);
void AnsiLowerString(char* s);
void AnsiUpperBytes(std::string& bytes);

// The character that paints a byte: Windows-1252 for ANSI, code page 850 for OEM; both
// show the graphic glyphs of the OEM font for bytes 1-31 and 127 (26 is →), and OEM 250
// is the middle dot ·. Byte 0 paints as a blank.
char16_t AnsiGlyph(unsigned char c);
char16_t OemGlyph(unsigned char c);
// By CodeTable value: 1 OEM, anything else ANSI.
char16_t GlyphOf(unsigned char c, int codeTable);

}  // namespace varlin
