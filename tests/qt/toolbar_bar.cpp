// The toolbar in the frame (offscreen): the standard set with our pictures, buttons that
// route their commands and run macro files, the routine list's fill and choose
// notifications, the bar on every side of the frame, and the button configuration
// (command 82) stored in the current button file and under "Buttons".
#include "frame/Application.h"
#include "frame/ButtonSet.h"
#include "frame/qt/ButtonConfigDialog.h"
#include "frame/qt/MainFrame.h"
#include "frame/qt/StatusLine.h"
#include "frame/qt/Toolbar.h"
#include "frame/qt/ToolbarFrame.h"
#include "frame/qt/ToolbarIcons.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <set>

using namespace varlin;

class ToolbarTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetSettingsFile(dir_.filePath("settings.ini").toStdString()); }
    void cleanupTestCase() { SetSettingsFile(""); }

    void init() {
        QFile::remove(dir_.filePath("settings.ini"));
        QFile::remove(dir_.filePath("CurrentButtons.vlb"));
        app_ = std::make_unique<Application>();
        QVERIFY(InitApplication(*app_, {}, dir_.path().toStdString()) == 1);
        host_ = std::make_unique<HeadlessHost>();
        host_->writeMessagesToStderr = false;
        host_->Install();
        commands_.clear();
        macros_.clear();
        gotoLines_.clear();
        fills_ = 0;
        FrameHooks hooks;
        hooks.documentCommand = [this](QMdiSubWindow*, int id) { commands_.push_back(id); };
        hooks.runMacroFile = [this](const std::string& f) {
            macros_.push_back(f);
            return 0;
        };
        hooks.fillRoutineList = [this](QMdiSubWindow*, QComboBox* box) {
            ++fills_;
            box->clear();
            box->addItem("main", 0);
            box->addItem("helper", 5);
            box->addItem("broken", -1);
            box->setCurrentIndex(0);
        };
        hooks.gotoLine = [this](QMdiSubWindow*, int line) { gotoLines_.push_back(line); };
        frame_ = std::make_unique<MainFrame>(*app_, hooks);
        area_ = InstallToolbarAndStatusLine(*frame_);
        frame_->resize(1000, 600);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    }
    void cleanup() {
        SetButtonConfigDialogHandler(nullptr);
        frame_.reset();
        app_.reset();
    }

    void standardSetWithPicturesAndRoutineList() {
        FrameToolbar* bar = area_->toolbar();
        QCOMPARE(bar->buttonSet(), BuiltInButtonSet());  // no stdbutt.vlb in this folder
        for (int id : CommandsWithImages()) {
            QAction* a = bar->commandAction(id);
            QVERIFY2(a && !a->icon().isNull(), qPrintable(QString::number(id)));
            QVERIFY(!a->toolTip().isEmpty());
        }
        QCOMPARE(bar->commandAction(40)->toolTip(), QString::fromUtf8(LoadAppString(40)));  // its help text
        QVERIFY(bar->routineList());
        QCOMPARE(frame_->hooks().routineList(), static_cast<QComboBox*>(bar->routineList()));
        QCOMPARE(bar->controlHandle(300), static_cast<QWidget*>(bar->routineList()));
        QCOMPARE(bar->controlHandle(301), static_cast<QWidget*>(nullptr));
    }

    // Every picture draws something, and no two pictures are the same.
    void picturesAreDistinct() {
        std::set<QByteArray> seen;
        for (int id : CommandsWithImages()) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter p(&image);
            QVERIFY(PaintToolbarIcon(p, id, 16));
            p.end();
            int inked = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) inked += qAlpha(image.pixel(x, y)) > 0;
            QVERIFY2(inked > 20, qPrintable(QString::number(id)));
            QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes()));
            QVERIFY2(seen.insert(bytes).second, qPrintable(QString::number(id)));
        }
        QImage none(16, 16, QImage::Format_ARGB32);
        QPainter p(&none);
        QVERIFY(!PaintToolbarIcon(p, 54, 16));
    }

    // The theme's icon where it has the command's name, the drawn one elsewhere and when
    // the option keeps the drawn set; the bar follows a change of the option.
    void iconsFromTheDesktopTheme() {
        QTemporaryDir themes;
        QDir(themes.path()).mkpath("probe/16x16/actions");
        QFile index(themes.filePath("probe/index.theme"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=probe\nDirectories=16x16/actions\n[16x16/actions]\nSize=16\nType=Fixed\n");
        index.close();
        QPixmap red(16, 16);
        red.fill(Qt::red);
        QVERIFY(red.save(themes.filePath("probe/16x16/actions/edit-undo.png")));
        const QStringList paths = QIcon::themeSearchPaths();
        const QString theme = QIcon::themeName();
        QIcon::setThemeSearchPaths({themes.path()});
        QIcon::setThemeName("probe");
        FrameToolbar* bar = area_->toolbar();
        for (int themeIcons : {0, 1}) {
            app_->options->ThemeIcons = themeIcons;
            area_->UpdateAllStatusFields();
            QCOMPARE(bar->commandAction(31)->icon().name(), QString(themeIcons ? "edit-undo" : ""));
            QVERIFY(!bar->commandAction(31)->icon().isNull());
        }
        QCOMPARE(ToolbarIcon(13).name(), QString());  // not in the theme: drawn
        QVERIFY(!ToolbarIcon(13).isNull());
        QIcon::setThemeSearchPaths(paths);
        QIcon::setThemeName(theme);
    }

    void buttonsRouteTheirCommands() {
        AddDocument();
        QTRY_VERIFY(area_->toolbar()->commandAction(40)->isEnabled());  // with the document's menu
        area_->toolbar()->commandAction(40)->trigger();   // to the document window
        area_->toolbar()->commandAction(401)->trigger();  // the frame's own
        QCOMPARE(commands_, (std::vector<int>{40}));
        QCOMPARE(app_->options->VbChar, 32);
    }

    void macroButtonRunsItsFile() {
        area_->ApplyButtons(ButtonSet{{{ButtonKind::Macro, 0, "/tmp/a b.vlm"}}}, kButtonsTop);
        QList<QAction*> actions = area_->toolbar()->actions();
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions[0]->toolTip(), QString("/tmp/a b.vlm"));
        actions[0]->trigger();
        QCOMPARE(macros_, (std::vector<std::string>{"/tmp/a b.vlm"}));
    }

    void macroListNotificationShowsTheList() {
        bool shown = false;
        frame_->RegisterCommand(95, [&shown] { shown = true; });
        area_->HandleNotification(ToolbarNotification(kBarMacroList));
        QVERIFY(shown);
    }

    void routineListIsFilledBeforeItDropsDown() {
        RoutineListBox* box = area_->toolbar()->routineList();
        box->showPopup();
        QCOMPARE(fills_, 0);  // no document: nothing to fill, the list stays empty
        QCOMPARE(box->count(), 0);
        box->hidePopup();
        AddDocument();
        box->showPopup();
        QCOMPARE(fills_, 1);
        QCOMPARE(box->count(), 3);
        box->hidePopup();
    }

    void choosingAnEntryGoesToItsLine() {
        AddDocument();
        RoutineListBox* box = area_->toolbar()->routineList();
        // The choice may be told before or after the list closes.
        box->showPopup();
        box->setCurrentIndex(1);
        emit box->activated(1);
        box->hidePopup();
        box->showPopup();
        box->setCurrentIndex(0);
        box->hidePopup();
        emit box->activated(0);
        QCOMPARE(gotoLines_, (std::vector<int>{5, 0}));
        QCOMPARE(host_->beeps, 0);
    }

    void closingWithoutAChoiceDoesNothing() {
        AddDocument();
        RoutineListBox* box = area_->toolbar()->routineList();
        box->showPopup();
        box->hidePopup();
        QTest::qWait(1);
        emit box->activated(0);  // a later choice with the list closed is no closing
        QVERIFY(gotoLines_.empty());
    }

    void entryWithNegativeLineBeeps() {
        AddDocument();
        RoutineListBox* box = area_->toolbar()->routineList();
        box->showPopup();
        box->setCurrentIndex(2);
        emit box->activated(2);
        box->hidePopup();
        QVERIFY(gotoLines_.empty());
        QCOMPARE(host_->beeps, 1);
    }

    void barOnEverySide() {
        StatusConfig status = area_->statusConfig();
        for (int location : {kButtonsTop, kButtonsBottom, kButtonsLeft, kButtonsRight, kButtonsHidden}) {
            area_->ApplyButtons(area_->toolbar()->buttonSet(), location);
            const QRect bar = area_->toolbar()->geometry();
            const QRect docs = area_->mdiArea()->geometry();
            const QRect line = area_->statusLine()->geometry();
            const QRect all = area_->rect();
            QCOMPARE(line.bottom(), all.bottom());  // the status line at the bottom, full width
            QCOMPARE(line.width(), all.width());
            switch (location) {
            case kButtonsTop: QVERIFY(bar.bottom() < docs.top() && bar.top() == 0); break;
            case kButtonsBottom: QVERIFY(bar.top() > docs.bottom() && bar.bottom() < line.top()); break;
            case kButtonsLeft:
                QVERIFY(bar.right() < docs.left() && bar.left() == 0);
                QCOMPARE(area_->toolbar()->orientation(), Qt::Vertical);
                QVERIFY(bar.width() < 200);
                break;
            case kButtonsRight: QVERIFY(bar.left() > docs.right() && bar.right() == all.right()); break;
            default:
                QVERIFY(!area_->toolbar()->isVisible());
                QCOMPARE(docs.top(), 0);
                break;
            }
        }
        Q_UNUSED(status);
    }

    void configurationIsStoredAndShown() {
        SetButtonConfigDialogHandler([](ButtonConfigDialog& d) {
            d.chosen()->setCurrentRow(0);
            for (int i = d.chosen()->count(); i > 3; --i) {
                d.chosen()->setCurrentRow(3);
                d.RemoveSelected();
            }
            d.MoveSelected(1);  // nothing below the last: stays
            d.chosen()->setCurrentRow(0);
            d.MoveSelected(1);  // Neu below Öffnen
            d.AddMacro("/m/x.vlm");
            d.findChild<QRadioButton*>("location1")->setChecked(true);
            d.accept();
            return int(QDialog::Accepted);
        });
        frame_->RunCommand(82);
        const ButtonSet expected{{{ButtonKind::Command, 12, {}},
                                  {ButtonKind::Command, 11, {}},
                                  {ButtonKind::Macro, 0, "/m/x.vlm"},
                                  {ButtonKind::Command, 13, {}}}};
        QCOMPARE(area_->toolbar()->buttonSet(), expected);
        QCOMPARE(area_->buttonsLocation(), int(kButtonsLeft));
        QCOMPARE(LoadButtonsLocation(), int(kButtonsLeft));
        QCOMPARE(LoadCurrentButtonSet(dir_.path().toStdString(), dir_.path().toStdString()), expected);
        QVERIFY(QFile::exists(dir_.filePath("CurrentButtons.vlb")));
    }

    void cancelledConfigurationChangesNothing() {
        SetButtonConfigDialogHandler([](ButtonConfigDialog& d) {
            d.chosen()->clear();
            return int(QDialog::Rejected);
        });
        frame_->RunCommand(82);
        QCOMPARE(area_->toolbar()->buttonSet(), BuiltInButtonSet());
        QVERIFY(!QFile::exists(dir_.filePath("CurrentButtons.vlb")));
    }

    void routineListOnlyOnce() {
        SetButtonConfigDialogHandler([](ButtonConfigDialog& d) {
            d.available()->setCurrentRow(1);  // the routine list
            d.AddSelected();
            d.accept();
            return int(QDialog::Accepted);
        });
        frame_->RunCommand(82);
        QCOMPARE(host_->beeps, 1);
        int lists = 0;
        for (const ButtonSpec& b : area_->toolbar()->buttonSet().buttons) lists += b.kind == ButtonKind::Control;
        QCOMPARE(lists, 1);
    }

    void tooltipsFollowTheLanguage() {
        SetAppLanguage(44);
        frame_->RetranslateMenus();
        QCOMPARE(area_->toolbar()->commandAction(12)->toolTip(), QString("Open an existing file"));
        SetAppLanguage(49);
        frame_->RetranslateMenus();
        QCOMPARE(area_->toolbar()->commandAction(12)->toolTip(), QString::fromUtf8("Öffnen einer bestehenden Datei"));
    }

    void learnButtonShowsRecording() {
        area_->ApplyButtons(ButtonSet{{{ButtonKind::Command, 89, {}}}}, kButtonsTop);
        QAction* learn = area_->toolbar()->commandAction(89);
        QVERIFY(learn);
        frame_->hooks().setButtonActive(89, true);
        QVERIFY(learn->isChecked());
        learn->trigger();  // nothing took the command: the state stays as the program has it
        QVERIFY(learn->isChecked());
        area_->ApplyButtons(area_->toolbar()->buttonSet(), kButtonsTop);
        QVERIFY(area_->toolbar()->commandAction(89)->isChecked());
    }

private:
    void AddDocument() {
        auto* doc = new QWidget;
        QMdiSubWindow* w = frame_->mdiArea()->addSubWindow(doc);
        w->show();
        frame_->mdiArea()->setActiveSubWindow(w);
    }

    QTemporaryDir dir_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<HeadlessHost> host_;
    std::unique_ptr<MainFrame> frame_;
    FrameArea* area_ = nullptr;
    std::vector<int> commands_;
    std::vector<std::string> macros_;
    std::vector<int> gotoLines_;
    int fills_ = 0;
};

QTEST_MAIN(ToolbarTest)
#include "toolbar_bar.moc"
