// The language choice in the Qt frame (offscreen): choosing English switches the menus,
// a toolbar tip, a status text, a message, Qt's own texts and an open dialog at once and
// is stored; back to German the same; choosing the current language changes nothing; a
// restart reads the choice back. The about box lists the libraries in the language too.
#include "edit_view_support.h"

#include "frame/CommonCommands.h"
#include "frame/qt/AboutDialog.h"
#include "frame/qt/CommonDialogs.h"
#include "frame/qt/LanguageDialog.h"
#include "frame/qt/ProgramIcon.h"
#include "frame/qt/StatusLine.h"
#include "frame/qt/Toolbar.h"
#include "frame/qt/ToolbarFrame.h"
#include "macro/qt/DllTestDialog.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>

using namespace varlin;
using namespace varlin::test;

class LanguageSwitchTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(h_.Start());
        area_ = InstallToolbarAndStatusLine(*h_.frame);
        InstallCommonDialogs(*h_.frame);
        UseQtTranslation(49);
    }
    void cleanup() {
        SetAppLanguage(49);
        UseQtTranslation(49);
        h_.Stop();
    }

    void everyPartSwitchesAtOnceAndTheChoiceIsKept() {
        h_.Open("one\ntwo\n");
        h_.frame->RefreshMenu();
        DllTestRecord record;
        DllTestDialog open(record, h_.frame.get());  // a dialog that is open meanwhile
        open.show();
        Choose(44);
        QCOMPARE(h_.app->language, 44);
        QCOMPARE(Korvel_ReadLongFromHKCU("Settings", "ApplicationLanguage", 0), 44);
        QCOMPARE(h_.frame->findAction(12)->text().section('\t', 0, 0), QString("&Open"));
        QCOMPARE(area_->toolbar()->commandAction(12)->toolTip(), QString("Open an existing file"));
        QCOMPARE(area_->statusLine()->fieldText(500), QString("Line 1"));
        ShowMessage(1201);
        QCOMPARE(h_.host.messageTexts.back(), std::string("The search text was not found."));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Cancel"));
        QCOMPARE(open.windowTitle(), QString("Call a DLL Test Function"));
        QCOMPARE(open.findChild<QLabel*>("1003")->text(), QString("Name of the &DLL"));

        Choose(49);
        QCOMPARE(h_.frame->findAction(12)->text().section('\t', 0, 0), QString::fromUtf8("&Öffnen"));
        QCOMPARE(area_->statusLine()->fieldText(500), QString("Zeile 1"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Abbrechen"));
        QCOMPARE(open.windowTitle(), QString("Aufruf einer DLL-Testfunktion"));

        // A restart reads the stored choice.
        Choose(44);
        Application restarted;
        QCOMPARE(InitApplication(restarted, {}, "/tmp"), 1);
        QCOMPARE(restarted.language, 44);
        QCOMPARE(GetAppLanguage(), 44);
    }

    void choosingTheCurrentLanguageChangesNothing() {
        Korvel_DeleteRegistryKey("Settings");
        QAction* before = h_.frame->findAction(12);
        Choose(h_.app->language);
        QCOMPARE(Korvel_ReadLongFromHKCU("Settings", "ApplicationLanguage", -1), -1);  // not written
        QCOMPARE(h_.frame->findAction(12), before);  // the menus were kept
    }

    void theWindowsCarryTheProgramsIconAndTheAboutBoxItsLibraries() {
        QApplication::setWindowIcon(ProgramIcon());
        h_.Open("x\n");
        const QImage icon = h_.frame->currentDocument()->windowIcon().pixmap(32).toImage();
        QCOMPARE(icon, ProgramIcon().pixmap(32).toImage());
        QVERIFY(!h_.frame->windowIcon().isNull());
        AboutDialog about(*h_.app);
        const QString modules = about.findChild<QLabel*>("modules")->text();
        QVERIFY(modules.contains(QString("Qt ") + qVersion()));
        QVERIFY(modules.contains(QString("Varlin-Programm ") + VARLIN_VERSION));
    }

private:
    void Choose(int language) {
        h_.host.dialogAnswers.push_back([language](DialogId id, void* record) {
            if (id != DialogId::Language) return 2;
            static_cast<LanguageChoice*>(record)->chosen = language;
            return 1;
        });
        h_.frame->RunCommand(97);
        QVERIFY(h_.host.dialogAnswers.empty());
    }

    EditViewHarness h_;
    FrameArea* area_ = nullptr;
};

QTEST_MAIN(LanguageSwitchTest)
#include "language_switch.moc"
