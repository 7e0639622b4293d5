// The known languages: read at start-up, looked up by name and recognised by file name
// and first line.
#include "document/Languages.h"

#include "document/BuiltinLanguages.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace varlin {
namespace {

constexpr long kMaxDefinitionSize = 1 << 20;  // a definition is a page or two

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

bool AnyEqualsIgnoringCase(const std::vector<std::string>& list, std::string_view s) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& e) { return EqualsIgnoringCase(e, s); });
}

void ReportBroken(const std::string& file, const DefinitionError& error) {
    std::string reason = LoadAppString(error.reasonId);
    std::size_t at = reason.find("%s");
    if (at != std::string::npos) reason.replace(at, 2, error.detail);
    ShowMessage(kDefinitionNotUsedMessage, file.c_str(), std::to_string(error.line).c_str(), reason.c_str());
}

// Shipped definitions (the built-in copies and the data folder's files that equal them)
// are known to be sound: the tests match every rule. Their routine rules are compiled
// when first used; any other's are checked at once, so that a broken one is reported
// while the definitions are read and not while a window paints.
enum class Origin { Shipped, User };

LanguagePtr ParseOrReport(const std::string& file, std::string_view text, Origin origin) {
    DefinitionError error;
    RuleFailedLater later;
    if (origin == Origin::Shipped) later = [file](const DefinitionError& e) { ReportBroken(file, e); };
    LanguagePtr d = ParseLanguageDefinition(text, error, later);
    if (!d) ReportBroken(file, error);
    return d;
}

// The built-in definitions but those of the files named in skip (read from the folder).
std::vector<LanguagePtr> BuiltinLanguages(const std::vector<std::string>& skip = {}) {
    std::vector<LanguagePtr> all;
    for (const BuiltinLanguageFile* f = kBuiltinLanguageFiles; f->name; ++f) {
        if (std::find(skip.begin(), skip.end(), f->name) != skip.end()) continue;
        if (LanguagePtr d = ParseOrReport(f->name, f->text, Origin::Shipped)) all.push_back(std::move(d));
    }
    return all;
}

// The known languages; the built-in ones until LoadLanguages has run.
std::vector<LanguagePtr>& Known(bool loading = false) {
    static std::vector<LanguagePtr> known;
    static bool filled = false;
    if (!filled && !loading) known = BuiltinLanguages();
    filled = true;
    return known;
}

LanguagePtr ReadDefinition(const std::string& path, Origin origin) {
    struct stat st;
    std::FILE* f = nullptr;
    // Only regular files: a pipe or a device named *.vll would block or never end.
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxDefinitionSize)
        f = std::fopen(path.c_str(), "rb");
    if (!f) {
        ReportBroken(path, {0, kReasonUnreadable, {}});
        return nullptr;
    }
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t n = std::fread(text.data(), 1, text.size(), f);
    std::fclose(f);
    text.resize(n);
    // A shipped file that was changed after the build is checked at once like a user's.
    if (origin == Origin::Shipped) {
        const std::string name = std::filesystem::path(path).filename().string();
        const BuiltinLanguageFile* f = kBuiltinLanguageFiles;
        while (f->name && name != f->name) ++f;
        if (!f->name || text != f->text) origin = Origin::User;
    }
    return ParseOrReport(path, text, origin);
}

// A user's definition replaces the one of the same name where it stood; a new one goes last.
void AddOrReplace(std::vector<LanguagePtr>& all, LanguagePtr d) {
    for (LanguagePtr& e : all) {
        if (e->name == d->name) {
            e = std::move(d);
            return;
        }
    }
    all.push_back(std::move(d));
}

// The definition files of a folder, sorted, so that the order (and which one wins) does
// not depend on the file system.
std::vector<std::string> DefinitionFiles(const std::string& folder) {
    std::vector<std::string> files;
    if (folder.empty()) return files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& p = it->path();
        if (p.extension() == kLanguageFileExtension) files.push_back(p.string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void ReadFolder(const std::string& folder, Origin origin, std::vector<LanguagePtr>& into) {
    for (const std::string& file : DefinitionFiles(folder))
        if (LanguagePtr d = ReadDefinition(file, origin)) AddOrReplace(into, std::move(d));
}

std::string_view FileNamePart(std::string_view path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view NextWord(std::string_view& s) {
    std::size_t start = s.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        s = {};
        return {};
    }
    std::size_t end = s.find_first_of(" \t", start);
    std::string_view word = s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    s = end == std::string_view::npos ? std::string_view() : s.substr(end);
    return word;
}

// "python3.11" is known as "python3.11", "python3" or "python".
bool InterpreterIs(std::string_view interpreter, std::string_view known) {
    if (interpreter == known) return true;
    if (interpreter.size() <= known.size() || interpreter.substr(0, known.size()) != known) return false;
    return interpreter.substr(known.size()).find_first_not_of("0123456789.") == std::string_view::npos;
}

}  // namespace

LanguagePtr ReadLanguageFile(const std::string& path) { return ReadDefinition(path, Origin::User); }

void LoadLanguages(const std::string& dataFolder, const std::string& userFolder) {
    std::vector<LanguagePtr> all;
    if (!dataFolder.empty()) ReadFolder(dataFolder + "/" + kLanguageFolder, Origin::Shipped, all);
    // A shipped definition missing from the folder (or broken there, after its message)
    // is still known from the program's own copy, so that C/C++ never goes missing.
    std::vector<std::string> read;
    for (const LanguagePtr& d : all) read.push_back(d->name + kLanguageFileExtension);
    for (LanguagePtr& d : BuiltinLanguages(read))
        if (std::none_of(all.begin(), all.end(), [&](const LanguagePtr& e) { return e->name == d->name; }))
            all.push_back(std::move(d));
    ReadFolder(userFolder, Origin::User, all);
    Known(true) = std::move(all);
}

void LoadLanguagesAtStart(const std::string& dataFolder) {
    const std::string settings = SettingsFileName();
    const std::size_t slash = settings.rfind('/');
    LoadLanguages(dataFolder, slash == std::string::npos ? std::string() : settings.substr(0, slash));
}

const std::vector<LanguagePtr>& KnownLanguages() { return Known(); }

LanguagePtr FindLanguage(std::string_view name) {
    for (const LanguagePtr& d : Known())
        if (d->name == name) return d;
    return nullptr;
}

std::string ShebangInterpreter(std::string_view firstLine) {
    if (firstLine.substr(0, 2) != "#!") return {};
    std::string_view rest = firstLine.substr(2);
    std::string_view program = FileNamePart(NextWord(rest));
    if (program == "env") {
        std::string_view word;
        do word = NextWord(rest);
        while (!word.empty() && (word.front() == '-' || word.find('=') != std::string_view::npos));
        program = FileNamePart(word);
    }
    if (!program.empty() && program.back() == '\r') program.remove_suffix(1);
    return std::string(program);
}

LanguagePtr RecognizeLanguage(std::string_view fileName, std::string_view firstLine) {
    const std::vector<LanguagePtr>& all = Known();
    const std::string_view base = FileNamePart(fileName);
    const std::size_t dot = base.rfind('.');
    // The same extension as the rest of the program reads (document/Language.h), cut to 8.
    const std::string_view ext = dot == std::string_view::npos ? std::string_view() : base.substr(dot + 1, 8);
    if (!ext.empty())
        for (auto d = all.rbegin(); d != all.rend(); ++d)
            if (AnyEqualsIgnoringCase((*d)->extensions, ext)) return *d;
    if (!base.empty())
        for (auto d = all.rbegin(); d != all.rend(); ++d)
            if (AnyEqualsIgnoringCase((*d)->fileNames, base)) return *d;
    const std::string interpreter = ShebangInterpreter(firstLine);
    if (!interpreter.empty())
        for (auto d = all.rbegin(); d != all.rend(); ++d)
            for (const std::string& known : (*d)->shebangs)
                if (InterpreterIs(interpreter, known)) return *d;
    if (LanguagePtr d = FindLanguage(kFallbackLanguage)) return d;
    return all.empty() ? nullptr : all.front();
}

}  // namespace varlin
