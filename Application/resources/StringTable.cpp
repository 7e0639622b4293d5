#include "resources/StringTable.h"

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
        if (const char* text = FindIn(kEnglish, sizeof kEnglish / sizeof kEnglish[0], id)) return text;
    }
    return FindIn(kGerman, sizeof kGerman / sizeof kGerman[0], id);
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
