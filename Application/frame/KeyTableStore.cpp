// Reading and writing the F3 assignments.
#include "frame/KeyTableStore.h"

#include "platform/DialogHelpers.h"
#include "platform/Registry.h"

#include <cstdio>

namespace varlin {
namespace {

constexpr std::string_view kActionPrefix = "ACTION=";
constexpr std::string_view kMacroPrefix = "MACRO=";

void ClearEntry(KeyEntry& entry) {
    entry.commandId = -1;
    entry.macroFile.clear();
}

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string KeyValueName(const KeyEntry& entry) {
    char name[32];
    std::snprintf(name, sizeof name, "%s-%03d", entry.kind == kCharMessage ? "CHAR" : "VIRTKEY",
                  entry.key);
    return name;
}

std::string KeyValueData(const KeyEntry& entry) {
    if (HasMacroFile(entry)) return std::string(kMacroPrefix) + entry.macroFile;
    return std::string(kActionPrefix) + std::to_string(entry.commandId);
}

void ParseKeyValue(const std::string& data, KeyEntry& entry) {
    ClearEntry(entry);
    if (StartsWith(data, kActionPrefix)) {
        long long number = 0;
        if (ParseStrictNumber(data.substr(kActionPrefix.size()), -1, kMaxCommandId, number))
            entry.commandId = int(number);
    } else if (StartsWith(data, kMacroPrefix) && data.size() - kMacroPrefix.size() <= kMaxStoredMacroName) {
        entry.macroFile = data.substr(kMacroPrefix.size());
        // A name of blanks only, or one holding a NUL, names no file of ours.
        if (!HasMacroFile(entry) || entry.macroFile.find('\0') != std::string::npos)
            entry.macroFile.clear();
    }
}

void LoadKeyTable(KeyTable& table, const std::string& registryKey) {
    for (KeyEntry& entry : table.entries) ClearEntry(entry);
    // One more byte than the longest accepted value, so that a longer one shows itself.
    constexpr int kReadSize = int(kMacroPrefix.size() + kMaxStoredMacroName) + 2;
    for (KeyEntry& entry : table.entries) {
        if (entry.key <= 0) continue;
        ParseKeyValue(Korvel_ReadStringFromHKCU(registryKey, KeyValueName(entry), "", kReadSize),
                      entry);
    }
}

bool SaveKeyTable(const KeyTable& table, const std::string& registryKey) {
    RegistryBatch batch;
    bool ok = Korvel_DeleteRegistryKey(registryKey);
    for (const KeyEntry& entry : table.entries) {
        if (entry.key <= 0) continue;
        ok = Korvel_WriteStringToHKCU(registryKey, KeyValueName(entry), KeyValueData(entry)) && ok;
    }
    return batch.Commit() && ok;
}

}  // namespace varlin
