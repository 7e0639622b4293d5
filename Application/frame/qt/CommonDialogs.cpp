// Installs commands 18, 76, 97, 122 and 303 on the Qt frame.
#include "frame/qt/CommonDialogs.h"

#include "frame/Application.h"
#include "frame/CommandRouting.h"
#include "frame/CommonCommands.h"
#include "frame/qt/AboutDialog.h"
#include "frame/qt/LanguageDialog.h"
#include "frame/qt/MainFrame.h"
#include "frame/qt/TranslationDialog.h"
#include "resources/StringTable.h"
#include "macro/DllTest.h"
#include "macro/qt/DllTestDialog.h"
#include "search/qt/BrowseOpenDialog.h"

namespace varlin {

void InstallCommonDialogs(MainFrame& frame) {
    RegisterBrowseOpenDialog();
    frame.RegisterCommand(kCmdBrowseOpen, [] { CommandBrowseAndOpen(); });
    RegisterDllTestDialog();
    RegisterLanguageDialog();
    frame.RegisterCommand(kCmdLanguage, [&frame] {
        if (CommandChooseLanguage(frame.application()) == 1) ApplyLanguage(frame);
    });
    frame.RegisterCommand(kCmdAbout, [&frame] {
        AboutDialog about(frame.application(), &frame);
        about.exec();
    });
    frame.RegisterCommand(kCmdTranslation, [&frame] {
        TranslationDialog assistance(&frame);
        assistance.saved = [&frame] {
            if (GetAppLanguage() == kLanguageEnglish) ApplyLanguage(frame);
        };
        assistance.exec();
    });
    frame.RegisterCommand(kCmdDllTest, [&frame] { CallDllTestFunction(VarlinWindowHandle(frame.winId())); });
}

}  // namespace varlin
