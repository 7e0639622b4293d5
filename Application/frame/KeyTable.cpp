// The prefix-key tables: adding, finding, and the fixed contents of F2 and F3.
#include "frame/KeyTable.h"

#include "resources/Accelerators.h"

namespace varlin {
namespace {

struct FixedEntry {
    int key;
    int commandId;
};

// F2 followed by a typed character. Letters stand in upper case; lower case finds them
// through FindKeyEntry. K, P, W and the digits 1 to 9 are left free.
constexpr FixedEntry kF2Characters[] = {
    {';', 240}, {')', 53}, {'+', 36}, {'-', 37}, {'0', 90}, {'<', 51}, {'=', 46}, {'>', 52},
    {'A', 12},  {'B', 13}, {'D', 16}, {'C', 20}, {'E', 42}, {'F', 40}, {'G', 39}, {'H', 302},
    {'I', 79},  {'J', 95}, {'L', 89}, {'M', 88}, {'N', 11}, {'O', 54}, {'Q', 93}, {'R', 42},
    {'S', 40},  {'T', 38}, {'U', 301}, {'V', 18}, {'X', 92}, {'Y', 91}, {'Z', 94},
};

// F2 followed by a key that types nothing.
constexpr FixedEntry kF2KeyDowns[] = {
    {kVkUp, 212},   {kVkDown, 213}, {kVkLeft, 210}, {kVkRight, 211},
    {kVkHome, 48},  {kVkEnd, 47},   {kVkF6, 50},    {kVkF12, 400},
};

constexpr char kF3Punctuation[] = ",.;:+-*/()=%$&";

int MatchValue(const KeyMessage& message) {
    if (message.kind == kCharMessage && message.key >= 'a' && message.key <= 'z') {
        return message.key - 'a' + 'A';
    }
    return message.key;
}

}  // namespace

void SetKeyTableName(KeyTable& table, std::string_view name) {
    table.name = std::string(name.substr(0, kKeyTableNameLength));
}

void AddKeyEntry(KeyTable& table, int key, int kind, int commandId) {
    if (int(table.entries.size()) >= table.capacity) return;
    table.entries.push_back(KeyEntry{key, kind, commandId, {}});
}

const KeyEntry* FindKeyEntry(const KeyTable& table, const KeyMessage& message) {
    const int value = MatchValue(message);
    for (const KeyEntry& entry : table.entries) {
        if (entry.key == value && entry.kind == message.kind) return &entry;
    }
    return nullptr;
}

KeyEntry* FindKeyEntry(KeyTable& table, const KeyMessage& message) {
    return const_cast<KeyEntry*>(FindKeyEntry(static_cast<const KeyTable&>(table), message));
}

void FillF2Table(KeyTable& table) {
    for (const FixedEntry& e : kF2Characters) AddKeyEntry(table, e.key, kCharMessage, e.commandId);
    for (const FixedEntry& e : kF2KeyDowns) AddKeyEntry(table, e.key, kKeyDownMessage, e.commandId);
}

void FillF3Table(KeyTable& table) {
    for (int c = 'A'; c <= 'Z'; ++c) AddKeyEntry(table, c, kCharMessage, -1);
    for (int c = '0'; c <= '9'; ++c) AddKeyEntry(table, c, kCharMessage, -1);
    for (const char* p = kF3Punctuation; *p; ++p) AddKeyEntry(table, *p, kCharMessage, -1);
}

bool HasMacroFile(const KeyEntry& entry) {
    for (unsigned char c : entry.macroFile) {
        if (c == 0) break;  // the name ends there, as a C string would
        if (c > 32) return true;
    }
    return false;
}

}  // namespace varlin
