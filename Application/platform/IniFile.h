// IniFile: the settings file as sections of "name=value" lines, read whole and written
// back whole through a temporary file that is flushed to disk and renamed over the old
// one, so that a failed write (full disk, read-only folder) leaves the old file intact.
// The notation is the one QSettings uses for plain texts and numbers: values holding
// ',', ';', '=', '"' or outer blanks are quoted, with \\ \" \n \r \t and \xHHHH escapes.
#pragma once

#include <string>
#include <vector>

namespace varlin {

struct IniDocument {
    struct Entry {
        std::string key;
        std::string value;  // unescaped bytes
        // A line the file's reader does not understand (a comment, a line without "="):
        // kept as it stands, so that rewriting the file loses nothing a person wrote.
        bool verbatim = false;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections;

    // The section of that name, made (at the end) when there is none.
    Section& SectionFor(const std::string& section);
    // The value of key in section, or null when there is none.
    const std::string* Find(const std::string& section, const std::string& key) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);
    // Removes the values of the section and of every section below it ("name/..."), and
    // the sections themselves unless lines a person wrote (verbatim) keep them; false when
    // none existed.
    bool RemoveSection(const std::string& section);

    std::string Serialise() const;
    static IniDocument Parse(const std::string& text);
};

// Reads the file into doc. A missing file gives an empty document and true; any other
// failure (no permission, a folder in the way) gives false and sets error to errno. Only
// a regular file is read: a folder gives EISDIR, a pipe or device ENODEV (never blocks).
bool ReadIniFile(const std::string& path, IniDocument& doc, int& error);

// Replaces the file's content: writes a temporary file in the same folder (creating the
// folder when missing), flushes it to disk and renames it over the file. The temporary
// file (".NAME.save-XXXXXX") is locked while it is written; unlocked ones that writes cut
// short left behind are removed by the next write. On any failure
// the temporary file is removed, the old file stays as it was, the result is false and
// error tells why. Only a regular file (or a missing one) is replaced: anything else, a
// device above all, gives EISDIR or ENODEV and is left alone. Symbolic links are followed
// only when they belong to the user or root (ResolveTrustedLinks); another's gives EACCES.
bool WriteFileReplacing(const std::string& path, const std::string& content, int& error);
bool WriteFileReplacing(const std::string& path, const std::string& content);

// The value in the file's notation, and back.
std::string EscapeIniValue(const std::string& value);
std::string UnescapeIniValue(const std::string& text);

}  // namespace varlin
