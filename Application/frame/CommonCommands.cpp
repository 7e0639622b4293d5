// Commands 18, 76 and 97 in the core.
#include "frame/CommonCommands.h"

#include "frame/Application.h"
#include "frame/FrameCommands.h"
#include "platform/Host.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"
#include "search/BrowseOpenSettings.h"
#include "settings/Options.h"

namespace varlin {
namespace {


}  // namespace

int CommandBrowseAndOpen() {
    BrowseOpenRecord record;
    LoadBrowseOpen(record);
    record.filter = DialogFileFilter(CurrentOptions().FileNameFilter);
    record.codeTable = CurrentOptions().CodeTable;
    const int result = HostRunDialog(DialogId::BrowseOpen, &record);
    StoreBrowseOpen(record);
    if (result != 1) return 0;
    for (const std::string& name : record.chosen) FrameOpenDocument(name);
    return 0;
}

int CommandChooseLanguage(Application& app) {
    LanguageChoice choice;
    choice.current = choice.chosen = app.language;
    if (HostRunDialog(DialogId::Language, &choice) != 1) return 0;
    if (choice.chosen == app.language) return 0;
    if (choice.chosen != kLanguageGerman && choice.chosen != kLanguageEnglish) return 0;
    app.language = choice.chosen;
    SetAppLanguage(app.language);
    app.title = LoadAppString(kTitleStringId);
    if (app.title.empty()) app.title = "Varlin";
    Korvel_WriteLongToHKCU("Settings", "ApplicationLanguage", app.language);
    return 1;
}

}  // namespace varlin
