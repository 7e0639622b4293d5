// The escape notation of search and replace texts: substitute notations for control
// characters, turned into the bytes themselves before a search.
//
//   \n  line feed (10)      \r  carriage return (13)   \t  tab (9)
//   \f  form feed (12)      \v  vertical tab (11)      \a  bell (7)
//   \b  backspace (8)       \e  escape (27)            \\  one backslash
//   \xH or \xHH  the byte with that hexadecimal value (one or two digits)
//
// Any other backslash (\q, a lone backslash at the end, \x without a digit) stands for
// itself, so a Windows path can be searched as typed. \0 and \x00 are refused: the texts
// are zero-terminated, and a NUL would silently end the pattern.
#pragma once

#include <string>

namespace varlin {

// Expands src into dst (size bytes, at most size - 1 of them written, terminated).
// Returns the length of the result, or -1 for a refused notation (dst is then "") or
// a null src / dst or size < 1.
int Korvel_EscapeToBinary(const char* src, char* dst, int size);

// The same on strings; false (out empty) for a refused notation.
bool EscapeToBinary(const std::string& src, std::string& out);

}  // namespace varlin
