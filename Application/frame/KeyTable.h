// KeyTable: what the second key after a prefix key (F2, F3, F4) runs. A table is a list
// of entries tried in order; an entry names a typed character or a key-down by its
// virtual-key code, and runs a CommandId, a macro file, or both. F2's entries are fixed,
// F3's keys are fixed but the user assigns what they run, F4 has none.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlin {

// The two kinds of key message a prefix looks at (their Windows message numbers).
enum KeyMessageKind : int { kKeyDownMessage = 256, kCharMessage = 258 };

// One key message: a key-down with its virtual-key code, or a typed character with its
// character code.
struct KeyMessage {
    int kind = kKeyDownMessage;
    int key = 0;
};

struct KeyEntry {
    int key = 0;                // character code, or virtual-key code for key-downs
    int kind = kCharMessage;
    int commandId = -1;         // -1: no command
    std::string macroFile;      // empty: no macro file
};

constexpr int kKeyTableCapacity = 100;
constexpr int kKeyTableNameLength = 19;

struct KeyTable {
    std::string name;              // "F2", "F3", "F4" (the assignment dialog shows it)
    std::vector<KeyEntry> entries; // in the order added, never more than capacity
    int capacity = kKeyTableCapacity;
};

void SetKeyTableName(KeyTable& table, std::string_view name);

// Appends an entry without macro file; a full table stays as it is.
void AddKeyEntry(KeyTable& table, int key, int kind, int commandId);

// The first entry of the same kind whose key equals the message's key, letters a-z of a
// character message taken as A-Z; nullptr when none matches. Shift, Ctrl and Alt play
// no part.
const KeyEntry* FindKeyEntry(const KeyTable& table, const KeyMessage& message);
KeyEntry* FindKeyEntry(KeyTable& table, const KeyMessage& message);

// The fixed F2 sequences: characters first, then key-downs, in the order the menus
// document them.
void FillF2Table(KeyTable& table);
// The 50 keys that may follow F3 (A-Z, 0-9, then , . ; : + - * / ( ) = % $ &), none
// assigned yet.
void FillF3Table(KeyTable& table);

// True when an entry's macro file names something (more than blanks, bytes 1 to 32).
bool HasMacroFile(const KeyEntry& entry);

}  // namespace varlin
