// The translatable texts and the override file.
#include "frame/TranslationFile.h"

#include "platform/FileNames.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "resources/Menus.h"
#include "resources/StringTable.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace varlin {
namespace {

// Ids whose texts are data: a control's class name and the status fields' definitions.
bool IsDataText(int id) { return id == 1711 || (id >= 1800 && id <= 1899 && id != 1850 && id != 1851); }

std::size_t Characters(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80 && c != '&';
    return n;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

void AddMenuTexts(std::span<const MenuItem> items, std::set<std::string>& seen, std::vector<TranslatableText>& out) {
    for (const MenuItem& item : items) {
        if (item.label && !(item.flags & kMenuSeparator)) {
            const std::string key = MenuOverrideKey(item);
            if (seen.insert(key).second) out.push_back({key, Trimmed(item.label), item.english ? item.english : ""});
        }
        AddMenuTexts(item.children, seen, out);
    }
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

bool Unescape(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i >= text.size()) return false;
        if (text[i] == 'n') out += '\n';
        else if (text[i] == 't') out += '\t';
        else if (text[i] == '\\') out += '\\';
        else return false;
    }
    return true;
}

bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > text.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

// The text an override replaces.
const std::string& ReplacedText(const TranslatableText& t) { return t.english.empty() ? t.german : t.english; }

}  // namespace

std::vector<std::string> TextConversions(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        std::size_t k = i + 1;
        if (k < text.size() && text[k] == '%') {
            i = k;
            continue;
        }
        std::string conversion;
        if (k < text.size() && text[k] >= '1' && text[k] <= '9') {  // Qt's %1 ... %99, or printf's %1$s
            std::size_t end = k;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
            // Digits before a length, a conversion or a precision are printf's width.
            const bool width = end < text.size() && std::strchr(".hlLqjztdiouxXeEfFgGaAcspn", text[end]);
            if (end >= text.size() || (text[end] != '$' && !width)) {
                out.push_back(text.substr(k, end - k));
                i = end - 1;
                continue;
            }
            if (!width) {
                conversion = text.substr(k, end + 1 - k);  // a position: kept whole, never matched loosely
                k = end + 1;
            }
        }
        while (k < text.size() && std::strchr("-+ #0'", text[k])) ++k;
        for (int part = 0; part < 2; ++part) {  // width, then precision
            if (part == 1) {
                if (k >= text.size() || text[k] != '.') break;
                ++k;
            }
            if (k < text.size() && text[k] == '*') {
                conversion += '*';
                ++k;
            }
            while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
        }
        while (k < text.size() && std::strchr("hlLqjzt", text[k])) conversion += text[k++];
        conversion += k < text.size() ? text[k] : '%';  // a lone "%" at the end counts too
        out.push_back(conversion);
        i = k;
    }
    return out;
}

bool OverrideKeepsConversions(const std::string& key, const std::string& text) {
    for (const TranslatableText& t : TranslatableTexts())
        if (t.key == key) return TextConversions(text) == TextConversions(ReplacedText(t));
    return false;
}

std::vector<TranslatableText> TranslatableTexts() {
    std::vector<TranslatableText> texts;
    for (int id : AllStringIds()) {
        const char* german = BuiltInString(id, 49);
        if (!german || IsDataText(id)) continue;
        const char* english = BuiltInString(id, 44);
        texts.push_back({std::to_string(id), german, english ? english : ""});
    }
    std::set<std::string> seen;
    AddMenuTexts(MenuResource(kMenuIdNoDocument), seen, texts);
    AddMenuTexts(MenuResource(kMenuIdDocument), seen, texts);
    return texts;
}

bool TranslationTooLong(const std::string& german, const std::string& english) {
    return Characters(Trimmed(english)) * 2 > Characters(Trimmed(german)) * 3;
}

std::string TranslationFileName() {
    const std::string folder = Korvel_StripFileName(SettingsFileName());
    return Korvel_Assemble_FileName(folder, "varlin-en", "txt");
}

TranslationFileResult ReadTranslationFile(const std::string& path, std::map<std::string, std::string>& texts,
                                          int& badLine) {
    texts.clear();
    badLine = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return TranslationFileResult::Missing;
    std::map<std::string, std::vector<std::string>> known;  // key: the conversions it must keep
    for (const TranslatableText& t : TranslatableTexts()) known[t.key] = TextConversions(ReplacedText(t));
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1) {
            if (line != kTranslationFileHeader) {
                badLine = 1;  // not a file of ours
                break;
            }
            continue;
        }
        if (line.empty()) continue;
        const std::size_t tab = line.find('\t');
        std::string text;
        const auto key = tab == std::string::npos ? known.end() : known.find(line.substr(0, tab));
        if (key == known.end() || !ValidUtf8(line) || !Unescape(line.substr(tab + 1), text) ||
            TextConversions(text) != key->second) {
            badLine = number;
            break;
        }
        texts[line.substr(0, tab)] = text;
    }
    if (number == 0 && badLine == 0) badLine = 1;  // an empty file is not ours either
    if (badLine == 0 && number >= 1 && !in.eof()) badLine = number;
    if (badLine != 0) {
        texts.clear();
        return TranslationFileResult::Broken;
    }
    return TranslationFileResult::Loaded;
}

std::string FormatTranslationFile(const std::map<std::string, std::string>& texts) {
    std::string out = std::string(kTranslationFileHeader) + "\n";
    for (const auto& [key, text] : texts) out += key + "\t" + Escape(text) + "\n";
    return out;
}

bool WriteTranslationFile(const std::string& path, const std::map<std::string, std::string>& texts) {
    return WriteFileReplacing(path, FormatTranslationFile(texts));
}

void LoadTranslationOverrides() {
    std::map<std::string, std::string> texts;
    int badLine = 0;
    const std::string path = TranslationFileName();
    switch (ReadTranslationFile(path, texts, badLine)) {
    case TranslationFileResult::Loaded: SetEnglishOverrides(std::move(texts)); break;
    case TranslationFileResult::Missing: SetEnglishOverrides({}); break;
    case TranslationFileResult::Broken:
        SetEnglishOverrides({});
        ShowMessage(kTranslationBrokenMessage, path + ":" + std::to_string(badLine));
        break;
    }
}

}  // namespace varlin
