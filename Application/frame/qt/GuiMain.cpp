// Start-up and exit of the editor with its windows: the Qt application with Qt's own
// German texts, the Application record, the Qt host, the frame shown as it was left,
// the command-line files opened from within the event loop, and the values written back.
#include "frame/qt/GuiMain.h"

#include "document/Languages.h"
#include "document/TextFile.h"
#include "editing/EditWindow.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "editing/qt/LanguageChoiceDialog.h"
#include "editing/qt/QtPrinting.h"
#include "editing/qt/SortDialog.h"
#include "frame/Application.h"
#include "frame/BatchRun.h"
#include "frame/HandOver.h"
#include "frame/TranslationFile.h"
#include "frame/qt/CommonDialogs.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/FrameAccessibility.h"
#include "frame/qt/KeyAssignmentDialog.h"
#include "frame/qt/LanguageDialog.h"
#include "frame/qt/MacroFrame.h"
#include "frame/qt/MainFrame.h"
#include "frame/qt/ProgramIcon.h"
#include "frame/qt/SingleFrame.h"
#include "frame/qt/PrefixKeysQt.h"
#include "frame/qt/ToolbarFrame.h"
#include "platform/ProgramFolders.h"
#include "platform/Registry.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"
#include "search/qt/FindDialogs.h"
#include "settings/qt/SettingsSheet.h"
#include "view/qt/EditView.h"
#include "view/qt/GotoDialog.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace varlin {
namespace {

// Texts from this size on are kept in a file-backed copy once loaded.
constexpr std::size_t kFileBackedTextFrom = std::size_t(8) << 20;

// The character cell of the fixed-pitch screen font, measured once.
void MeasureCharacterCell() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QFontMetrics metrics(font);
    ScreenCell().width = metrics.horizontalAdvance(QLatin1Char('M'));
    ScreenCell().height = metrics.height();
}

}  // namespace

FrameInstaller& FrameInstallers() {
    static FrameInstaller installers;
    return installers;
}

void InstallFrameParts(MainFrame& frame) {
    // A window reads the lines it shows; the text of a large file may wait in a file.
    SetFileBackedTextFrom(kFileBackedTextFrom);
    InstallPrefixKeys(frame);
    InstallToolbarAndStatusLine(frame);
    InstallDocumentWindows(frame);
    InstallMacroFrame(frame);  // scripts, F2 keys and menus reach the frame by one road
    InstallKeyAssignment(frame);
    RegisterSortDialog();
    RegisterLanguageChoiceDialog();
    RegisterGotoDialog();
    RegisterPrintDialog();
    RegisterSearchDialogs();
    RegisterSettingsSheet(ScreenFont(ScreenCell().width));
    InstallCommonDialogs(frame);
    InstallFrameAccessibility();
    frame.hooks().canUndo = [] { return CanUndoIn(ActiveEditWindow()); };
    frame.hooks().canRedo = [] { return CanRedoIn(ActiveEditWindow()); };
    frame.hooks().forgetUndo = [] { ForgetUndo(); };
    for (const auto& install : FrameInstallers()) install(frame);
}

int RunGui(int argc, char** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) words.emplace_back(argv[i]);
    WindowArguments arguments;
    std::string error;
    if (!ParseWindowArguments(words, arguments, error)) {
        std::fprintf(stderr, "varlin: %s\nvarlin --help lists the options.\n", error.c_str());
        return 2;
    }
    // Before any window: a second start ends within moments.
    FrameClaim claim = ClaimFrame(arguments, arguments.hasSettingsFile
                                                 ? AbsoluteName(arguments.settingsFile, QDir::currentPath().toStdString())
                                                 : SettingsFileName());
    if (claim.handedOver) return claim.status;

    // Qt sees no word of the command line: each is ours, and a file may be named like
    // one of Qt's options ("-style"). Qt's settings come from its environment variables.
    int qtArgc = 1;
    QApplication qtApp(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Varlin"));
    // Lets the desktop match the windows with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.korvel.varlin"));
    InstallQtHost();  // start-up may already have messages to show
    if (arguments.hasSettingsFile && !UseSettingsFile(arguments.settingsFile)) return 2;

    auto app = std::make_unique<Application>();
    // The standard button set is always shipped, so it tells a build folder from an installation.
    const ProgramFolders folders =
        FindProgramFolders(QCoreApplication::applicationDirPath().toStdString(), "stdbutt.vlb",
                           VARLIN_INSTALLED_DATA_DIR, SettingsFileName());
    if (InitApplication(*app, arguments.files, folders.data) != 1) return 1;
    app->userDirectory = folders.user;
    if (folders.user != folders.data) QDir().mkpath(QString::fromStdString(folders.user));
    InitUndoRecord();
    LoadTranslationOverrides();  // the user's own English texts, from the settings folder
    UseQtTranslation(app->language);  // Qt's own texts (file dialog, standard buttons)
    LoadLanguagesAtStart(folders.data);  // before the command line's files are opened
    QApplication::setWindowIcon(ProgramIcon());  // the frame's and the document windows'
    MeasureCharacterCell();

    MainFrame frame(*app);
    SetQtHostParent(&frame);
    InstallFrameParts(frame);
    frame.RefreshMenu();
    frame.ShowAsPersisted();
    if (!claim.socketPath.empty()) ServeHandOvers(frame, claim.socketPath);
    QTimer::singleShot(0, &frame, [&frame] { frame.OpenCommandLineFiles(); });
    int code = qtApp.exec();
    SaveOnExit(*app);
    ResetUndoRecord();  // deletes the undo record's temporary file
    DiscardLearnFile();
    return code;
}

}  // namespace varlin
