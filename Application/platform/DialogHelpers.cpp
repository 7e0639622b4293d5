// Pair tables and number texts of the dialogs.
#include "platform/DialogHelpers.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace varlin {

int LookupPair(int key, const LookupEntry* table) {
    if (!table) return -1;
    for (; table->key != -1; ++table)
        if (table->key == key) return table->value;
    return -1;
}

int LookupPairReverse(int value, const LookupEntry* table) {
    if (!table) return -1;
    for (; table->key != -1; ++table)
        if (table->value == value) return table->key;
    return -1;
}

int ParseItemInt(const std::string& text) {
    std::string s = text.substr(0, 99);
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > 1LL + INT_MAX) value = 1LL + INT_MAX;  // held at the bound
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return int(value);
}

bool ValidateIntText(const std::string& text, int lowest, int highest) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '-' ? i != 0 || text.size() == 1 : c < '0' || c > '9') return false;
    }
    long long value = 0;
    if (!text.empty() && !ParseStrictNumber(text, LLONG_MIN / 2, LLONG_MAX / 2, value)) return false;
    return value >= lowest && value <= highest;
}

bool ParseStrictNumber(const std::string& text, long long low, long long high, long long& out) {
    const char* s = text.c_str();
    while (*s == ' ' || *s == '\t') ++s;
    const char* digits = s + ((*s == '-' || *s == '+') ? 1 : 0);
    if (*digits < '0' || *digits > '9') return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(s, &end, 10);
    if (errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0' || value < low || value > high) return false;
    out = value;
    return true;
}

}  // namespace varlin
