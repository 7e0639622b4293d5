// The F3 assignments in the settings store: one string value per key of the table under
// a key of its own ("KeyTableF3"), named after the key ("CHAR-065" for F3 A) and holding
// "MACRO=<file>" or "ACTION=<CommandId>". Read once at start-up, written once at exit.
#pragma once

#include "frame/KeyTable.h"

#include <string>

namespace varlin {

constexpr const char* kF3RegistryKey = "KeyTableF3";

// The longest macro file name a stored value may carry. A longer value is not a name
// that was ever written by us; cutting it would name another file, so it is refused.
constexpr std::size_t kMaxStoredMacroName = 4095;
// CommandIds are 16-bit numbers; a stored command outside 0..65535 is refused.
constexpr int kMaxCommandId = 65535;

// "CHAR-065" for a character entry, "VIRTKEY-113" for any other kind.
std::string KeyValueName(const KeyEntry& entry);
// "MACRO=<file>" when the entry names a macro file, else "ACTION=<commandId>".
std::string KeyValueData(const KeyEntry& entry);

// Takes a stored value into the entry; anything that is not a well-formed
// "ACTION=<number>" (-1 or a CommandId) or "MACRO=<name>" (not blank) leaves it cleared.
void ParseKeyValue(const std::string& data, KeyEntry& entry);

// Clears every entry, then reads each entry's value from the key. Values for keys the
// table does not have are not looked at.
void LoadKeyTable(KeyTable& table, const std::string& registryKey);

// Replaces the key with the table's values in one write of the store, so that values of
// keys no longer in the table go and a failed write keeps the old values. False when the
// store could not be written.
bool SaveKeyTable(const KeyTable& table, const std::string& registryKey);

}  // namespace varlin
