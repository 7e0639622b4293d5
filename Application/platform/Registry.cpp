// The settings store. On Linux (and wherever a settings file is set) it is an INI file,
// read fresh for every call and replaced whole for every write (IniFile), so that a
// failed write never leaves an empty or half-written file. On Windows without a file of
// its own it is the registry key of QSettings("Korvel Software", "Varlin").
#include "platform/Registry.h"

#include "platform/DialogHelpers.h"
#include "platform/FileKinds.h"
#include "platform/IniFile.h"
#include "platform/Messages.h"
#include "platform/TrustedLinks.h"
#include "platform/UserSettingsPath.h"
#include "resources/StringTable.h"

#ifdef _WIN32
#include <QSettings>
#endif

#include <cerrno>
#include <climits>

namespace varlin {
namespace {

std::string g_settingsFile;  // empty: the user's own store

// The open batch: the document that collects its writes, and whether reading it worked.
struct PendingBatch {
    IniDocument doc;
    bool readable = true;
};
PendingBatch* g_batch = nullptr;
int g_batchDepth = 0;

// A settings file that cannot be read or written is told once (every find stores its
// settings, so a message per write would drown the user), again after a write worked.
constexpr int kSettingsNotWritten = 1262;
constexpr int kSettingsNotReadable = 1263;
constexpr int kKindFolder = 1541;
bool g_readReported = false;
bool g_writeReported = false;
int g_problemsTold = 0;

void ReportSettingsProblem(bool& reported, int messageId, int error) {
    if (reported) return;
    reported = true;
    ++g_problemsTold;
    const std::string name = SettingsFileName();
    if (error == EISDIR) {
        const std::string kind = LoadAppString(kKindFolder);
        ShowMessage(kNotARegularFileMessage, name.c_str(), kind.c_str());
    } else if (std::string link, resolved; error == EACCES && !ResolveTrustedLinks(name, resolved, &link) &&
                                           !link.empty()) {
        ShowMessage(kForeignLinkMessage, link.c_str(), name.c_str());
    } else if (error != ENODEV || !RefuseSpecialFile(name)) {
        ShowMessage(messageId, name);
    }
}

bool ReadStore(IniDocument& doc) {
    int error = 0;
    if (ReadIniFile(SettingsFileName(), doc, error)) return true;
    ReportSettingsProblem(g_readReported, kSettingsNotReadable, error);
    return false;
}

bool WriteStore(const IniDocument& doc) {
    int error = 0;
    if (WriteFileReplacing(SettingsFileName(), doc.Serialise(), error)) {
        g_writeReported = false;
        return true;
    }
    ReportSettingsProblem(g_writeReported, kSettingsNotWritten, error);
    return false;
}

// Registry paths use backslashes ("EditWind\\Sub"); the file uses slashes.
std::string SectionName(const std::string& key) {
    std::string name = key;
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

#ifdef _WIN32
bool UseNativeStore() { return g_settingsFile.empty(); }
QSettings& NativeStore() {
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Korvel Software", "Varlin");
    return settings;
}
QString NativeKey(const std::string& key, const std::string& value) {
    return QString::fromStdString(SectionName(key) + "/" + value);
}
#else
constexpr bool UseNativeStore() { return false; }
#endif

// The stored text of a value, or false when it is missing or the store cannot be read.
bool ReadRaw(const std::string& key, const std::string& value, std::string& out) {
#ifdef _WIN32
    if (UseNativeStore()) {
        QVariant v = NativeStore().value(NativeKey(key, value));
        if (!v.isValid()) return false;
        out = v.toString().toStdString();
        return true;
    }
#endif
    IniDocument doc;
    if (g_batch) doc = g_batch->doc;
    else if (!ReadStore(doc)) return false;
    const std::string* found = doc.Find(SectionName(key), value);
    if (!found) return false;
    out = *found;
    return true;
}

bool WriteRaw(const std::string& key, const std::string& value, const std::string& data) {
#ifdef _WIN32
    if (UseNativeStore()) {
        NativeStore().setValue(NativeKey(key, value), QString::fromStdString(data));
        NativeStore().sync();
        return NativeStore().status() == QSettings::NoError;
    }
#endif
    if (g_batch) {
        g_batch->doc.Set(SectionName(key), value, data);
        return g_batch->readable;
    }
    IniDocument doc;
    // A file that exists but cannot be read is not replaced by one holding only this value.
    if (!ReadStore(doc)) {
        ReportSettingsProblem(g_writeReported, kSettingsNotWritten, 0);
        return false;
    }
    doc.Set(SectionName(key), value, data);
    return WriteStore(doc);
}

// A string read with a buffer size: at most size - 1 bytes, "" for a size below 1.
std::string CutToSize(std::string text, int size) {
    if (size < 1) return std::string();
    if (text.size() > std::size_t(size - 1)) {
        text.resize(std::size_t(size - 1));
        // Do not leave half a UTF-8 character at the cut.
        std::size_t lead = text.size();
        while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
        if (lead > 0) {
            unsigned char c = static_cast<unsigned char>(text[lead - 1]);
            std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (c >= 0xC0 && text.size() - (lead - 1) < need) text.resize(lead - 1);
        }
    }
    return text;
}

}  // namespace

void SetSettingsFile(const std::string& fileName) {
    g_settingsFile = fileName;
    g_readReported = g_writeReported = false;
}

std::string SettingsFileName() {
    if (!g_settingsFile.empty()) return g_settingsFile;
#ifdef _WIN32
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Korvel Software", "Varlin");
    return settings.fileName().toStdString();
#else
    return UserSettingsPath();   // the XDG config folder, without loading Qt
#endif
}

std::int32_t Korvel_ReadLongFromHKCU(const std::string& key, const std::string& value,
                                     std::int32_t defaultValue) {
    std::string raw;
    long long number = 0;
    if (!ReadRaw(key, value, raw) || !ParseStrictNumber(raw, INT32_MIN, INT32_MAX, number)) return defaultValue;
    return std::int32_t(number);
}

std::uint32_t Korvel_ReadColorFromHKCU(const std::string& key, const std::string& value,
                                       std::uint32_t defaultValue) {
    // Colours are written as unsigned numbers; a signed 32-bit form is read as well.
    std::string raw;
    long long number = 0;
    if (!ReadRaw(key, value, raw) || !ParseStrictNumber(raw, INT32_MIN, UINT32_MAX, number)) return defaultValue;
    return std::uint32_t(number);
}

std::string Korvel_ReadStringFromHKCU(const std::string& key, const std::string& value,
                                      const std::string& defaultValue, int size) {
    std::string text;
    if (!ReadRaw(key, value, text)) text = defaultValue;
    return CutToSize(std::move(text), size);
}

std::string Korvel_ReadStringFromRegistry(const std::string& root, const std::string& key,
                                          const std::string& value, const std::string& defaultValue,
                                          int size) {
#ifdef _WIN32
    if (UseNativeStore() && (root == "HKEY_LOCAL_MACHINE" || root == "HKLM")) {
        QSettings machine(QSettings::NativeFormat, QSettings::SystemScope, "Korvel Software", "Varlin");
        const QVariant v = machine.value(NativeKey(key, value));
        return CutToSize(v.isValid() ? v.toString().toStdString() : defaultValue, size);
    }
#else
    (void)root;
#endif
    return Korvel_ReadStringFromHKCU(key, value, defaultValue, size);
}

bool Korvel_WriteLongToHKCU(const std::string& key, const std::string& value, std::int32_t data) {
    return WriteRaw(key, value, std::to_string(data));
}

bool Korvel_WriteColorToHKCU(const std::string& key, const std::string& value, std::uint32_t data) {
    return WriteRaw(key, value, std::to_string(data));
}

bool Korvel_WriteStringToHKCU(const std::string& key, const std::string& value, const std::string& data) {
    return WriteRaw(key, value, data);
}

bool Korvel_DeleteRegistryKey(const std::string& key) {
#ifdef _WIN32
    if (UseNativeStore()) {
        NativeStore().remove(QString::fromStdString(SectionName(key)));
        NativeStore().sync();
        return NativeStore().status() == QSettings::NoError;
    }
#endif
    if (g_batch) {
        g_batch->doc.RemoveSection(SectionName(key));
        return g_batch->readable;
    }
    IniDocument doc;
    if (!ReadStore(doc)) return false;
    if (!doc.RemoveSection(SectionName(key))) return true;  // nothing to delete
    return WriteStore(doc);
}

RegistryBatch::RegistryBatch() {
    // Nested batches join the outermost one.
    if (g_batchDepth++ > 0 || UseNativeStore()) return;
    g_batch = new PendingBatch;
    g_batch->readable = ReadStore(g_batch->doc);
}

RegistryBatch::~RegistryBatch() {
    if (--g_batchDepth > 0) return;
    delete g_batch;
    g_batch = nullptr;
}

void RetellSettingsProblems() {
    g_readReported = false;
    g_writeReported = false;
}

int SettingsProblemsTold() { return g_problemsTold; }

bool RegistryBatch::Commit() {
    if (g_batchDepth > 1) return true;  // the outermost batch writes
    if (!g_batch) return true;          // the native store writes at once
    if (!g_batch->readable) {
        ReportSettingsProblem(g_writeReported, kSettingsNotWritten, 0);
        return false;
    }
    bool ok = WriteStore(g_batch->doc);
    delete g_batch;
    g_batch = nullptr;
    return ok;
}

}  // namespace varlin
