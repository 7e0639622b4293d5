// The settings store: QSettings("Korvel Software", "Varlin") (the registry key on
// Windows, an INI file on Linux), or a file of its own for tests and batch runs.
// Keys and value names are those of the registry ("Options", "LngLineBuffer").
// A missing or unreadable value gives the caller's default; a failed write keeps the old file.
#pragma once

#include <cstdint>
#include <string>

namespace varlin {

// Points the store at a settings file (INI format); an empty name restores the user's store.
void SetSettingsFile(const std::string& fileName);
std::string SettingsFileName();

std::int32_t Korvel_ReadLongFromHKCU(const std::string& key, const std::string& value,
                                     std::int32_t defaultValue);
std::uint32_t Korvel_ReadColorFromHKCU(const std::string& key, const std::string& value,
                                       std::uint32_t defaultValue);
std::string Korvel_ReadStringFromHKCU(const std::string& key, const std::string& value,
                                      const std::string& defaultValue, int size = 500);
// Writes return false when the value could not be stored (the old file stays as it was).
bool Korvel_WriteLongToHKCU(const std::string& key, const std::string& value, std::int32_t data);
bool Korvel_WriteColorToHKCU(const std::string& key, const std::string& value, std::uint32_t data);
bool Korvel_WriteStringToHKCU(const std::string& key, const std::string& value, const std::string& data);
bool Korvel_DeleteRegistryKey(const std::string& key);

// A string value under a root of the registry ("HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"),
// cut like Korvel_ReadStringFromHKCU. Only the current user's store exists on Linux and
// in a settings file of our own, so there every root reads from it; on Windows
// "HKEY_LOCAL_MACHINE" (or "HKLM") reads the machine-wide key of the same name.
std::string Korvel_ReadStringFromRegistry(const std::string& root, const std::string& key,
                                          const std::string& value, const std::string& defaultValue,
                                          int size = 500);

// A settings file that cannot be read or written is told once, not at every write. A
// store the user asked for calls RetellSettingsProblems first, so its failure is told
// again; SettingsProblemsTold counts the messages shown so far.
void RetellSettingsProblems();
int SettingsProblemsTold();

// Groups the writes made while it lives into one replacement of the settings file, so
// that a record of many values (the options) is stored all at once or not at all. Reads
// meanwhile see the pending values. Commit returns false when the file could not be
// written (or could not be read first); a batch that is not committed discards its writes.
class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    bool Commit();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;
};

}  // namespace varlin
