// Start-up and exit of the Application record, and the command line's words.
#include "frame/Application.h"

#include "frame/KeyTableStore.h"
#include "frame/PrefixKeys.h"
#include "platform/FileNames.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"

namespace varlin {
namespace {

constexpr const char* kMainWindowKey = "MainWindow";
constexpr const char* kSettingsKey = "Settings";

}  // namespace

void LoadWindowSettings(Application& app) {
    app.mainWindMax = Korvel_ReadLongFromHKCU(kMainWindowKey, "MainWindMax", 1);
    app.mdiWindMax = Korvel_ReadLongFromHKCU(kMainWindowKey, "MdiWindMax", 1);
    app.mainWindHeight = Korvel_ReadLongFromHKCU(kMainWindowKey, "MainWindHeight", 500);
    app.mainWindWidth = Korvel_ReadLongFromHKCU(kMainWindowKey, "MainWindWidth", 700);
    app.language = Korvel_ReadLongFromHKCU(kSettingsKey, "ApplicationLanguage", kLanguageGerman);
}

void SaveOnExit(const Application& app) {
    RegistryBatch batch;  // one replacement of the settings file for all values and keys
    Korvel_WriteLongToHKCU(kMainWindowKey, "MainWindMax", app.mainWindMax);
    Korvel_WriteLongToHKCU(kMainWindowKey, "MdiWindMax", app.mdiWindMax);
    Korvel_WriteLongToHKCU(kMainWindowKey, "MainWindHeight", app.mainWindHeight);
    Korvel_WriteLongToHKCU(kMainWindowKey, "MainWindWidth", app.mainWindWidth);
    Korvel_WriteLongToHKCU(kSettingsKey, "ApplicationLanguage", app.language);
    SaveKeyTable(app.keyTableF3, kF3RegistryKey);
    batch.Commit();
}

int InitApplication(Application& app, const std::string& commandLine,
                    const std::string& programDirectory) {
    app.commandLine = commandLine;
    app.programDirectory = programDirectory;
    app.userDirectory = programDirectory;
    LoadWindowSettings(app);
    // Texts are loaded in the user's language from here on, the title included.
    SetAppLanguage(app.language);
    app.title = LoadAppString(kTitleStringId);
    if (app.title.empty()) app.title = "Varlin";
    app.version = VARLIN_VERSION;
    app.options = &CurrentOptions();
    LoadOptions(*app.options);
    SetupKeyTables(app);
    LoadKeyTable(app.keyTableF3, kF3RegistryKey);
    return 1;
}

std::string FrameCaption(const Application& app) {
    std::string caption = app.title + "  " + app.version;
    if (caption.size() > std::size_t(kMaxCaptionLength)) caption.resize(kMaxCaptionLength);
    return caption;
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    // Room for a whole path of this platform, not just the 511 characters of old.
    constexpr int kWordSize = 4096;
    std::vector<std::string> words;
    std::size_t pos = 0;
    std::string word;
    while (Korvel_ScanString(commandLine, pos, word, ' ', kWordSize) >= 1) words.push_back(word);
    return words;
}

std::string JoinCommandLine(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& w : words) {
        if (w.empty()) continue;
        if (!line.empty()) line += ' ';
        if (w.find(' ') != std::string::npos) line += '"' + w + '"';
        else line += w;
    }
    return line;
}

}  // namespace varlin
