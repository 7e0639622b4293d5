// The pure part of the dialog helpers: mapping control ids to option values through
// pair tables, and reading numbers from the text of a control. The Qt dialogs use these
// to fill and read their controls; the control access itself lives in qt/.
#pragma once

#include <string>

namespace varlin {

// A (key, value) pair of a lookup table; a table ends with key -1.
struct LookupEntry {
    int key;
    int value;
};

// The value of key, or -1 when the table does not hold it.
int LookupPair(int key, const LookupEntry* table);
// The key of value, or -1.
int LookupPairReverse(int value, const LookupEntry* table);

// What GetItemInt makes of a control's text (at most 99 characters are looked at):
// leading blanks skipped, an optional sign, then decimal digits up to the first other
// character; no digits give 0. A number beyond the 32-bit range is held at its bound
// instead of wrapping.
int ParseItemInt(const std::string& text);

// What ValidateItemInt checks: every character is a digit or '-' and the value lies
// within [lowest, highest]. An empty text counts as 0; a lone or misplaced '-' fails.
bool ValidateIntText(const std::string& text, int lowest, int highest);

// A whole text that is a decimal number within [low, high] (blanks around it and a sign
// allowed). Garbage, an empty text and an overflow are no number: false, out untouched.
bool ParseStrictNumber(const std::string& text, long long low, long long high, long long& out);

}  // namespace varlin
