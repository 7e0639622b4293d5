// The settings file format and its safe replacement on disk.
#include "platform/IniFile.h"

#include "platform/TempFiles.h"
#include "platform/TrustedLinks.h"
#include "platform/WriteSteps.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace varlin {
namespace {

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return std::string();
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x100) {
        out += char(code);  // a byte of the value, as written by EscapeIniValue
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

bool NeedsQuotes(const std::string& v) {
    if (v.empty()) return false;
    if (v.front() == ' ' || v.back() == ' ' || v.front() == '\t' || v.back() == '\t' || v.front() == '@')
        return true;
    return v.find_first_of(",;=\"") != std::string::npos;
}

#ifndef _WIN32
// The temporary file beside the settings file: ".NAME.save-XXXXXX", as a document's save.
constexpr const char* kTemporaryTag = ".save-";

std::string ParentFolder(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool MakeFolders(const std::string& folder) {
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    std::string parent = ParentFolder(folder);
    if (parent != folder && !MakeFolders(parent)) return false;
#ifdef _WIN32
    return ::mkdir(folder.c_str()) == 0 || errno == EEXIST;
#else
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
#endif
}

bool WriteAll(int fd, const std::string& content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        if (const int injected = CheckWriteStep(WriteStep::Write)) {
            errno = injected;
            return false;
        }
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= std::size_t(n);
    }
    return true;
}
#endif

}  // namespace

const std::string* IniDocument::Find(const std::string& section, const std::string& key) const {
    for (const Section& s : sections) {
        if (s.name != section) continue;
        for (const Entry& e : s.entries)
            if (!e.verbatim && e.key == key) return &e.value;
    }
    return nullptr;
}

IniDocument::Section& IniDocument::SectionFor(const std::string& section) {
    for (Section& s : sections)
        if (s.name == section) return s;
    sections.push_back(Section{section, {}});
    return sections.back();
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
    Section* target = &SectionFor(section);
    for (Entry& e : target->entries) {
        if (!e.verbatim && e.key == key) {
            e.value = value;
            return;
        }
    }
    target->entries.push_back(Entry{key, value, false});
}

bool IniDocument::RemoveSection(const std::string& section) {
    const std::string prefix = section + "/";
    auto inside = [&](const Section& s) {
        return s.name == section || s.name.compare(0, prefix.size(), prefix) == 0;
    };
    // The values go; the lines a person wrote there that are no values (comments) stay.
    bool found = false;
    for (Section& s : sections) {
        if (!inside(s)) continue;
        found = true;
        std::erase_if(s.entries, [](const Entry& e) { return !e.verbatim; });
    }
    std::erase_if(sections, [&](const Section& s) { return inside(s) && s.entries.empty(); });
    return found;
}

std::string EscapeIniValue(const std::string& value) {
    std::string out;
    bool quote = NeedsQuotes(value);
    if (quote) out += '"';
    for (unsigned char c : value) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%04x", c);
                out += hex;
            } else {
                out += char(c);
            }
        }
    }
    if (quote) out += '"';
    return out;
}

std::string UnescapeIniValue(const std::string& raw) {
    std::string text = Trim(raw);
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c != '\\' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        char e = text[++i];
        switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'v': out += '\v'; break;
        case '0': out += '\0'; break;
        case 'x': {
            unsigned code = 0;
            int digits = 0;
            while (digits < 4 && i + 1 < text.size() && HexValue(text[i + 1]) >= 0) {
                code = code * 16 + unsigned(HexValue(text[++i]));
                ++digits;
            }
            if (digits == 0) out += 'x';
            else AppendUtf8(out, code);
            break;
        }
        default: out += e; break;  // \\ \" \; and any other character stand for themselves
        }
    }
    (void)quoted;
    return out;
}

std::string IniDocument::Serialise() const {
    std::string out;
    for (const Section& s : sections) {
        if (s.entries.empty()) continue;
        if (!out.empty()) out += '\n';
        if (!s.name.empty() || &s != &sections.front()) out += '[' + s.name + "]\n";
        for (const Entry& e : s.entries)
            out += e.verbatim ? e.value + '\n' : e.key + '=' + EscapeIniValue(e.value) + '\n';
    }
    return out;
}

IniDocument IniDocument::Parse(const std::string& text) {
    IniDocument doc;
    std::string current;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty()) continue;
        // Only "[name]" is a section; "[name" or "[" is a line a person wrote, kept as it
        // stands, since a section made of it would vanish from the file once empty.
        if (line[0] == '[' && line.size() > 1 && line.back() == ']') {
            current = Trim(line.substr(1, line.size() - 2));
            doc.SectionFor(current);
            continue;
        }
        std::size_t eq = line.find('=');
        std::string key = eq == std::string::npos ? std::string() : Trim(line.substr(0, eq));
        if (line[0] == ';' || line[0] == '#' || line[0] == '[' || key.empty()) {
            doc.SectionFor(current).entries.push_back(Entry{std::string(), line, true});
            continue;
        }
        doc.Set(current, key, UnescapeIniValue(line.substr(eq + 1)));
    }
    return doc;
}

bool ReadIniFile(const std::string& path, IniDocument& doc, int& error) {
    doc = IniDocument();
    error = 0;
#ifndef _WIN32
    // Opened without waiting: a pipe named as the settings file would block start-up.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return error == ENOENT;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
        ::close(fd);
        return false;
    }
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) {
        error = errno;
        ::close(fd);
        return false;
    }
#else
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = errno;
        return error == ENOENT;
    }
#endif
    std::string text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    bool failed = std::ferror(f) != 0;
    if (failed) error = errno ? errno : EIO;
    std::fclose(f);
    if (failed) return false;
    doc = IniDocument::Parse(text);
    return true;
}

bool WriteFileReplacing(const std::string& path, const std::string& content) {
    int error = 0;
    return WriteFileReplacing(path, content, error);
}

#ifdef _WIN32
bool WriteFileReplacing(const std::string& path, const std::string& content, int& error) {
    error = EIO;
    QString name = QString::fromLocal8Bit(path.c_str());
    if (!QDir().mkpath(QFileInfo(name).absolutePath())) return false;
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(content.data(), qint64(content.size())) != qint64(content.size())) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) return false;
    error = 0;
    return true;
}
#else
bool WriteFileReplacing(const std::string& path, const std::string& content, int& error) {
    error = 0;
    // Replace the file a symbolic link points at, not the link; but follow no link that
    // another user could have planted on the way.
    std::string target;
    if (!ResolveTrustedLinks(path, target)) {
        error = errno;
        return false;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        // A rename over /dev/null (as root) would put a file where the device was.
        error = S_ISDIR(old.st_mode) ? EISDIR : ENODEV;
        return false;
    }
    std::string folder = ParentFolder(target);
    if (!MakeFolders(folder)) {
        error = errno ? errno : ENOTDIR;
        return false;
    }
    // The temporary files of writes that were cut short (a crash, kill -9) go first.
    const std::size_t slash = target.find_last_of('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    RemoveUnheldTemporaries(target, kTemporaryTag);
    std::string temp;
    int fd = CreateHeldFile(folder, "." + base + kTemporaryTag, temp);
    if (fd < 0) {
        error = errno;
        return false;
    }
    // A second descriptor keeps the lock until the rename: an unheld file is a leftover.
    const int held = ::dup(fd);
    if (exists) ::fchmod(fd, old.st_mode & 07777);
    errno = 0;
    bool ok = WriteAll(fd, content);
    if (ok && (errno = CheckWriteStep(WriteStep::Sync)) != 0) ok = false;
    ok = ok && ::fsync(fd) == 0;
    if (!ok) error = errno ? errno : EIO;
    const int injected = CheckWriteStep(WriteStep::Close);
    if ((::close(fd) != 0 || injected) && ok) {
        error = injected ? injected : errno;
        ok = false;
    }
    if (ok && (error = CheckWriteStep(WriteStep::Rename)) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (held >= 0) ::close(held);
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself must reach the disk too.
    if (CheckWriteStep(WriteStep::SyncFolder) != 0) return true;
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
#endif

}  // namespace varlin
