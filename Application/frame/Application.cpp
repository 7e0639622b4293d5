// Start-up and exit of the Application record.
#include "frame/Application.h"

#include "frame/KeyTableStore.h"
#include "frame/PrefixKeys.h"
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

int InitApplication(Application& app, std::vector<FileSpot> commandFiles,
                    const std::string& programDirectory) {
    app.commandFiles = std::move(commandFiles);
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

}  // namespace varlin
