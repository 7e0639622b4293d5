// HTML sequences: the fixed table that pairs the German and West-European accented
// letters of the ANSI code table (Windows-1252) with their HTML character sequences, and
// the two conversions over it. The conversions look at stored bytes only, never at a
// document's code table.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varlin {

struct HtmlSequence {
    unsigned char character;   // a byte of the ANSI code table; 0 ends the table
    const char* sequence;
};

// The 23 pairs in their order, then the end entry. "&" comes first so that reading
// back finds "&amp;" before anything else that starts with "&".
extern const HtmlSequence kHtmlSequences[24];
constexpr int kHtmlSequenceCount = 23;

// The sequence of a byte (the first entry with that character), or null.
const char* HtmlSequenceOf(unsigned char c);

// Buffer form on zero-terminated texts. Converts in into out (size bytes): ASCII bytes
// are copied (so "&" and existing sequences stay), a byte from 128 up is replaced by its
// sequence when the sequence is shorter than the room left minus 2. Copying stops while
// fewer than 2 bytes of room are left; out is terminated when room is left. Returns the
// number of replacements. What does not fit is dropped: callers that must not lose text
// use the byte-string form below.
int ToHtmlSequences(const char* in, char* out, int size);

// Replaces every known sequence (exact, case-sensitive, ";" included; the first match in
// table order) by its character, in place; the text never grows. Returns the count.
int FromHtmlSequences(char* text);

// Byte-string forms for document lines, which may hold any byte (NUL included): the whole
// of in is converted into out, which is replaced. Returns the number of replacements.
int ToHtmlSequences(std::string_view in, std::string& out);
int FromHtmlSequences(std::string_view in, std::string& out);

// The same for a UTF-8 document's lines: the letters as UTF-8 characters, the rest (invalid
// bytes included) unchanged. HasNonAscii is the cheap test for the first.
int ToHtmlSequencesUtf8(std::string_view in, std::string& out);
int FromHtmlSequencesUtf8(std::string_view in, std::string& out);
int FromHtmlSequencesAs(std::string_view in, std::string& out, bool utf8);
bool HasNonAscii(std::string_view text);

// Whether a line holds a byte that ToHtmlSequences would replace: the cheap test that
// lets a long document skip its plain lines without copying them.
bool HasHtmlCharacter(std::string_view text);

}  // namespace varlin
