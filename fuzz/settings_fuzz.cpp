// The settings reader: the input is a settings file. Its text, read and written back,
// reads the same again (and every value survives its own notation); the records read
// from it (options, find settings, browse and open, the F3 keys) are stored and read
// once more, and storing them a second time writes the same file; the lines a person
// wrote that the reader does not understand (comments, lines without "=") stay.
#include "FuzzSupport.h"

#include "frame/KeyTable.h"
#include "frame/KeyTableStore.h"
#include "platform/IniFile.h"
#include "search/BrowseOpenSettings.h"
#include "search/FindSettings.h"
#include "settings/Options.h"

#include <tuple>
#include <vector>

namespace {

using namespace varlin;

bool SameEntries(const IniDocument& a, const IniDocument& b) {
    auto entries = [](const IniDocument& d) {
        std::vector<std::tuple<std::string, std::string, std::string, bool>> out;
        for (const auto& s : d.sections)
            for (const auto& e : s.entries) out.emplace_back(s.name, e.key, e.value, e.verbatim);
        return out;
    };
    return entries(a) == entries(b);
}

std::vector<std::string> VerbatimLines(const IniDocument& d) {
    std::vector<std::string> lines;
    for (const auto& s : d.sections)
        for (const auto& e : s.entries)
            if (e.verbatim) lines.push_back(s.name + "\n" + e.value);
    return lines;
}

// Whether every line of part is in whole, in the same order.
bool Keeps(const std::vector<std::string>& whole, const std::vector<std::string>& part) {
    std::size_t at = 0;
    for (const std::string& line : whole)
        if (at < part.size() && line == part[at]) ++at;
    return at == part.size();
}

// Reads every record from the settings file and stores it again, in one batch (one read
// and one write of the file, as at exit); the file afterwards.
std::string ReadAndStore(const std::string& path) {
    RegistryBatch batch;
    Options options;
    LoadOptions(options);
    FindSettings find;
    LoadFindSettings(find);
    BrowseOpenRecord browse;
    LoadBrowseOpen(browse);
    KeyTable keys;
    FillF3Table(keys);
    LoadKeyTable(keys, "KeyTableF3");
    if (!SaveOptions(options) || !StoreFindSettings(find) || !StoreBrowseOpen(browse) ||
        !SaveKeyTable(keys, "KeyTableF3") || !batch.Commit())
        fuzz::Fail("a record could not be stored");
    return fuzz::ReadFile(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::QuietHost();
    const std::string text(reinterpret_cast<const char*>(data), data ? size : 0);

    const IniDocument read = IniDocument::Parse(text);
    const std::string written = read.Serialise();
    const IniDocument again = IniDocument::Parse(written);
    if (!SameEntries(read, again)) fuzz::Fail("the settings text read differently once written");
    if (again.Serialise() != written) fuzz::Fail("writing the settings text again changed it");
    for (const auto& s : read.sections)
        for (const auto& e : s.entries)
            if (!e.verbatim && UnescapeIniValue(EscapeIniValue(e.value)) != e.value)
                fuzz::Fail("a value did not survive its notation");

    const std::string path = fuzz::SettingsFile();
    fuzz::WriteFile(path, text);
    const std::string stored = ReadAndStore(path);
    if (!Keeps(VerbatimLines(IniDocument::Parse(stored)), VerbatimLines(read)))
        fuzz::Fail("storing the settings lost a line a person wrote");
    if (ReadAndStore(path) != stored) fuzz::Fail("the records read back were stored differently");
    return 0;
}
