// Taking file names apart and putting them together, and splitting a command line.
#include "platform/FileNames.h"

namespace varlin {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::size_t BaseStart(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string Korvel_GetExtension(const std::string& fileName, std::size_t maxLength) {
    std::size_t base = BaseStart(fileName);
    std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || dot <= base) return std::string();
    return fileName.substr(dot + 1, maxLength);
}

std::string Korvel_StripFileName(const std::string& path) {
    std::size_t base = BaseStart(path);
    if (base == 0) return std::string();
    std::size_t end = base - 1;
    while (end > 0 && IsSeparator(path[end - 1])) --end;  // "a//b" -> "a"
    return end == 0 ? path.substr(0, 1) : path.substr(0, end);
}

std::string Korvel_Assemble_FileName(const std::string& folder, const std::string& base,
                                     const std::string& extension) {
    std::string name = folder;
    if (!name.empty() && !IsSeparator(name.back())) name += '/';
    name += base;
    if (!extension.empty()) name += '.' + extension;
    return name;
}

std::string Korvel_ConvertFilenameToWildcard(const std::string& fileName) {
    std::string extension = Korvel_GetExtension(fileName, std::string::npos);
    std::string pattern = extension.empty() ? "*.*" : "*." + extension;
    std::size_t base = BaseStart(fileName);
    return base == 0 ? pattern : fileName.substr(0, base) + pattern;
}

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Korvel_ScanString(const std::string& text, std::size_t& pos, std::string& word, char sep, int size) {
    std::size_t limit = size > 1 ? std::size_t(size - 1) : 0;
    for (;;) {
        word.clear();
        while (pos < text.size() && text[pos] == sep) ++pos;
        if (pos >= text.size()) return -1;
        bool quoted = false;
        bool hadQuote = false;
        for (; pos < text.size() && (quoted || text[pos] != sep); ++pos) {
            if (text[pos] == '"') {
                quoted = !quoted;
                hadQuote = true;
            } else if (word.size() < limit) {
                word += text[pos];
            }
        }
        if (!word.empty() || !hadQuote) return int(word.size());
    }
}

}  // namespace varlin
