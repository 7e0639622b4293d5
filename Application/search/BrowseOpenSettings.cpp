// Loading and storing the browse-and-open record.
#include "search/BrowseOpenSettings.h"

#include "platform/FileNames.h"
#include "platform/Registry.h"
#include "search/FindSettings.h"

#include <filesystem>
#include <system_error>

namespace varlin {
namespace {

constexpr const char* kLastUsedKey = "LastUsed";
constexpr const char* kOpenFileValue = "OpenFile";
// Room for a whole path of this platform, not the 255 bytes of old.
constexpr int kPathSize = 4096;

std::int32_t ReadFlag(const char* name, std::int32_t fallback) {
    return Korvel_ReadLongFromHKCU(kFindKey, name, fallback) != 0 ? 1 : 0;
}

}  // namespace

void SplitBrowsePath(const std::string& path, std::string& folder, std::string& pattern) {
    const std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) {
        folder.clear();
        pattern = path;
        return;
    }
    folder = cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
    pattern = path.substr(cut + 1);
}

std::string JoinBrowsePath(const std::string& folder, const std::string& pattern) {
    return Korvel_Assemble_FileName(folder, pattern, "");
}

void LoadBrowseOpen(BrowseOpenRecord& r) {
    r.searchText = CutFindText(Korvel_ReadStringFromHKCU(kFindKey, "BrowseText", "", kFindTextMax + 1));
    r.subfolders = ReadFlag("BrowseSubfolders", 1);
    r.capsSens = ReadFlag("BrowseCapsSens", 0);
    r.expandEscapes = ReadFlag("BrowseEscapes", 0);
    r.regex = ReadFlag("BrowseRegex", 0);
    const std::string last = Korvel_ReadStringFromHKCU(kLastUsedKey, kOpenFileValue, "", kPathSize);
    std::error_code ec;
    if (!last.empty() && std::filesystem::is_directory(last, ec)) r.path = JoinBrowsePath(last, "*.*");
    else r.path = Korvel_ConvertFilenameToWildcard(last);
}

bool StoreBrowseOpen(const BrowseOpenRecord& r) {
    RegistryBatch batch;
    Korvel_WriteStringToHKCU(kFindKey, "BrowseText", CutFindText(r.searchText));
    Korvel_WriteLongToHKCU(kFindKey, "BrowseSubfolders", r.subfolders ? 1 : 0);
    Korvel_WriteLongToHKCU(kFindKey, "BrowseCapsSens", r.capsSens ? 1 : 0);
    Korvel_WriteLongToHKCU(kFindKey, "BrowseEscapes", r.expandEscapes ? 1 : 0);
    Korvel_WriteLongToHKCU(kFindKey, "BrowseRegex", r.regex ? 1 : 0);
    Korvel_WriteStringToHKCU(kLastUsedKey, kOpenFileValue, r.path);
    return batch.Commit();
}

}  // namespace varlin
