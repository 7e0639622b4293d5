#include "resources/StringTable.h"

#include <algorithm>
#include <cstring>

namespace varlin {
namespace {

struct StringEntry {
    int id;
    const char* text;
};

#include "resources/Strings_de.inc"
#include "resources/Strings_en.inc"

int g_language = int(AppLanguage::German);
// Replaced whole by SetEnglishOverrides; the old map is kept alive one generation so that
// texts a caller still holds from just before stay readable.
std::map<std::string, std::string> g_overrides;
std::map<std::string, std::string> g_previousOverrides;

constexpr std::size_t kGermanCount = sizeof kGerman / sizeof kGerman[0];
constexpr std::size_t kEnglishCount = sizeof kEnglish / sizeof kEnglish[0];

const char* FindIn(const StringEntry* table, std::size_t count, int id) {
    // Tables are sorted by id.
    std::size_t lo = 0, hi = count;
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (table[mid].id < id) lo = mid + 1;
        else hi = mid;
    }
    return lo < count && table[lo].id == id ? table[lo].text : nullptr;
}

}  // namespace

void SetAppLanguage(int languageCode) { g_language = languageCode; }
int GetAppLanguage() { return g_language; }

const char* FindAppString(int id) {
    if (g_language == int(AppLanguage::English)) {
        if (!g_overrides.empty()) {
            if (const char* own = FindEnglishOverride(std::to_string(id))) return own;
        }
        if (const char* text = FindIn(kEnglish, kEnglishCount, id)) return text;
    }
    return FindIn(kGerman, kGermanCount, id);
}

std::vector<int> AllStringIds() {
    std::vector<int> ids;
    for (const StringEntry& e : kGerman) ids.push_back(e.id);
    for (const StringEntry& e : kEnglish) ids.push_back(e.id);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

const char* BuiltInString(int id, int language) {
    if (language == int(AppLanguage::English)) return FindIn(kEnglish, kEnglishCount, id);
    return FindIn(kGerman, kGermanCount, id);
}

void SetEnglishOverrides(std::map<std::string, std::string> overrides) {
    g_previousOverrides = std::move(g_overrides);
    g_overrides = std::move(overrides);
}

const std::map<std::string, std::string>& EnglishOverrides() { return g_overrides; }

const char* FindEnglishOverride(const std::string& key) {
    auto it = g_overrides.find(key);
    return it == g_overrides.end() ? nullptr : it->second.c_str();
}

std::string LoadAppString(int id) {
    const char* text = FindAppString(id);
    return text ? std::string(text) : std::string();
}

int LoadAppString(int id, char* buffer, int size) {
    const char* text = FindAppString(id);
    if (!buffer || size < 1 || !text) return 0;
    std::size_t length = std::strlen(text);
    if (length > std::size_t(size - 1)) length = std::size_t(size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return int(length);
}

}  // namespace varlin
