// The frame window with real widgets (offscreen): the German menus and their switching,
// enabling from the flag table with and without a document, help texts, the key chain
// (accelerators to a test sink, AltGr characters typed, the MDI keys), closing refused
// while a document stays open, command-line files, the option switches and arranging.
#include "frame/Application.h"
#include "frame/qt/MainFrame.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <set>

using namespace varlin;

namespace {

// The content of a document window in these tests: takes the focus, notes typed text,
// and closes only when allowed.
class FakeDocument : public QWidget {
public:
    bool mayClose = true;
    QString typed;

protected:
    void keyPressEvent(QKeyEvent* e) override { typed += e->text(); }
    void closeEvent(QCloseEvent* e) override {
        if (mayClose) e->accept();
        else e->ignore();
    }
};

QStringList BarLabels(QMainWindow& frame) {
    QStringList labels;
    for (QAction* a : frame.menuBar()->actions()) labels << a->text();
    return labels;
}

QMenu* PopupOf(QAction* action) {
    for (QObject* o : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(o)) return menu;
    }
    return nullptr;
}

}  // namespace

class FrameWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetSettingsFile(dir_.filePath("settings.ini").toStdString()); }
    void cleanupTestCase() { SetSettingsFile(""); }

    void init() {
        app_ = std::make_unique<Application>();
        QVERIFY(InitApplication(*app_, {}, "/tmp") == 1);
        app_->options->AutoOpen = 0;
        commands_.clear();
        headless_ = std::make_unique<HeadlessHost>();
        headless_->writeMessagesToStderr = false;
        headless_->Install();
        FrameHooks hooks;
        hooks.documentCommand = [this](QMdiSubWindow*, int id) { commands_.push_back(id); };
        hooks.documentState = [this](QMdiSubWindow*, DocumentMenuState& s) {
            s = docState_;
            return true;
        };
        hooks.recording = [this] { return recording_; };
        hooks.canUndo = [this] { return canUndo_; };
        frame_ = std::make_unique<MainFrame>(*app_, hooks);
        frame_->RefreshMenu();
        frame_->resize(900, 600);
        frame_->show();
        QApplication::setActiveWindow(frame_.get());
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    }
    void cleanup() {
        for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList()) {
            if (auto* d = dynamic_cast<FakeDocument*>(w->widget())) d->mayClose = true;
        }
        frame_.reset();
        docState_ = {};
        recording_ = canUndo_ = false;
    }

    void captionAndMenuWithoutDocument() {
        QCOMPARE(frame_->windowTitle(), QString("Varlin  4.4.0"));
        QCOMPARE(frame_->currentMenuId(), 107);
        QCOMPARE(BarLabels(*frame_), (QStringList{"&Datei", "&Makros", "&Extras", "&?"}));
        QCOMPARE(frame_->findAction(12)->text(), QString::fromUtf8("&Öffnen\tStrg+O"));
        QCOMPARE(frame_->findAction(122)->text(), QString::fromUtf8("&Info über Varlin..."));
        QVERIFY(frame_->findAction(13) == nullptr);
    }

    void englishMenusAfterALanguageChange() {
        SetAppLanguage(44);
        frame_->RetranslateMenus();
        SetAppLanguage(49);
        QCOMPARE(BarLabels(*frame_), (QStringList{"&File", "&Macros", "E&xtras", "&?"}));
        QCOMPARE(frame_->findAction(12)->text(), QString("&Open\tCtrl+O"));
        frame_->RetranslateMenus();
        QCOMPARE(frame_->findAction(12)->text(), QString::fromUtf8("&Öffnen\tStrg+O"));
    }

    void menuSwitchesWithDocuments() {
        QMdiSubWindow* w = AddDocument();
        QTRY_COMPARE(frame_->currentMenuId(), 108);
        QCOMPARE(BarLabels(*frame_), (QStringList{"&Datei", "&Bearbeiten", "Anzeige", "&Zeilen",
                                                  "&Makros", "&Extras", "&Sprachen", "&Fenster", "&?"}));
        QCOMPARE(frame_->findAction(302)->text(), QString("&HTML-Sequencen erzeugen...\tF2 H"));
        QCOMPARE(frame_->findAction(14)->text(), QString("Speichern &als...\tStrg+Alt+S"));
        w->close();
        QTRY_COMPARE(frame_->currentMenuId(), 107);
    }

    // The enabling table decides among the commands that have an operation; this bare
    // frame has none of the other parts, so their commands are given stand-ins.
    void GiveOperations(std::initializer_list<int> ids) {
        for (int id : ids) frame_->RegisterCommand(id, [] {});
    }

    void enablingWithoutDocument() {
        GiveOperations({88, 89, 90, 91, 92, 93, 94, 95, 73, 82, 83, 76});
        OpenPopupOf(88);
        for (int id : {88, 89, 90, 91, 92, 93, 94, 95, 73, 82, 83, 76, 11, 12, 19}) {
            QVERIFY2(frame_->findAction(id)->isEnabled(), qPrintable(QString::number(id)));
        }
        QCOMPARE(frame_->findAction(89)->text(), QString("Makro &lernen\tF2 L"));
        OpenPopupOf(18);
        OpenPopupOf(97);
        OpenPopupOf(122);
        for (int id : {18, 97, 122}) QVERIFY(!frame_->findAction(id)->isEnabled());  // no operation here
    }

    void enablingWhileRecording() {
        GiveOperations({88, 89, 90, 91, 92, 93, 94, 73, 82, 83, 76});
        recording_ = true;
        OpenPopupOf(88);
        for (int id : {88, 90, 91, 92, 93}) QVERIFY(!frame_->findAction(id)->isEnabled());
        QVERIFY(frame_->findAction(94)->isEnabled());
        QVERIFY(frame_->findAction(89)->isEnabled());
        QCOMPARE(frame_->findAction(89)->text(), QString("&Lernen beenden\tF2 L"));
        OpenPopupOf(73);
        for (int id : {73, 82, 83, 76}) QVERIFY(!frame_->findAction(id)->isEnabled());
    }

    void enablingFromTheDocumentState() {
        AddDocument();
        QTRY_COMPARE(frame_->currentMenuId(), 108);
        OpenPopupOf(13);
        OpenPopupOf(33);
        OpenPopupOf(240);
        for (int id : {13, 31, 33, 34, 37, 54, 240}) QVERIFY(!frame_->findAction(id)->isEnabled());
        QVERIFY(frame_->findAction(35)->isEnabled());
        docState_.modified = true;
        docState_.rangeMarked = true;
        canUndo_ = true;
        OpenPopupOf(13);
        OpenPopupOf(33);
        OpenPopupOf(240);
        for (int id : {13, 31, 33, 34, 37, 54, 240}) QVERIFY(frame_->findAction(id)->isEnabled());
    }

    void windowMenuListsTheDocuments() {
        QMdiSubWindow* first = AddDocument();
        first->setWindowTitle("eins.c");
        QMdiSubWindow* second = AddDocument();
        second->setWindowTitle("a&b.c");
        QTRY_COMPARE(frame_->currentMenuId(), 108);
        QMenu* windows = PopupOf(frame_->findAction(106));
        for (int round = 0; round < 2; ++round) emit windows->aboutToShow();  // no duplicates
        QStringList listed;
        QAction* firstEntry = nullptr;
        for (QAction* a : windows->actions()) {
            if (!a->isCheckable()) continue;
            listed << a->text() + (a->isChecked() ? "*" : "");
            if (!firstEntry) firstEntry = a;
        }
        QCOMPARE(listed, (QStringList{"&1 eins.c", "&2 a&&b.c*"}));
        firstEntry->trigger();
        QCOMPARE(frame_->currentDocument(), first);
    }

    void registeredDialogIsEnabled() {
        int ran = 0;
        frame_->RegisterCommand(122, [&] { ++ran; });
        OpenPopupOf(122);
        QVERIFY(frame_->findAction(122)->isEnabled());
        frame_->findAction(122)->trigger();
        QCOMPARE(ran, 1);
    }

    void helpTextOfPointedItem() {
        QCOMPARE(PointAt(12), QString::fromUtf8("Öffnen einer bestehenden Datei"));
        AddDocument();
        QTRY_COMPARE(frame_->currentMenuId(), 108);
        QCOMPARE(PointAt(53), QString("Passende Klammer"));  // no help string: the item's text
        QCOMPARE(PointAt(52), QString("Sprung auf zuletzt gemerkte Position"));
        frame_->menuBar()->setActiveAction(nullptr);  // the menu closed: the fields come back
        QCOMPARE(frame_->statusBar()->currentMessage(), QString());
    }

    void acceleratorsReachTheDocument_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("command");
        const int C = Qt::ControlModifier, S = Qt::ShiftModifier, A = Qt::AltModifier;
        QTest::newRow("Left") << int(Qt::Key_Left) << 0 << 204;
        QTest::newRow("Right") << int(Qt::Key_Right) << 0 << 203;
        QTest::newRow("Ctrl+Left") << int(Qt::Key_Left) << C << 214;
        QTest::newRow("Ctrl+Right") << int(Qt::Key_Right) << C << 215;
        QTest::newRow("Up") << int(Qt::Key_Up) << 0 << 201;
        QTest::newRow("Shift+Down") << int(Qt::Key_Down) << S << 202;
        QTest::newRow("Ctrl+Up") << int(Qt::Key_Up) << C << 216;
        QTest::newRow("Shift+Ctrl+Down") << int(Qt::Key_Down) << (S | C) << 217;
        QTest::newRow("Home") << int(Qt::Key_Home) << 0 << 210;
        QTest::newRow("Shift+End") << int(Qt::Key_End) << S << 211;
        QTest::newRow("Ctrl+Home") << int(Qt::Key_Home) << C << 212;
        QTest::newRow("Ctrl+End") << int(Qt::Key_End) << C << 213;
        QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 0 << 205;
        QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 0 << 206;
        QTest::newRow("Ctrl+PageUp") << int(Qt::Key_PageUp) << C << 207;
        QTest::newRow("Shift+Ctrl+PageDown") << int(Qt::Key_PageDown) << (S | C) << 208;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 55;
        QTest::newRow("Keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 55;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << 56;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << 58;
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << S << 58;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << 32;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 0 << 15;
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << C << 31;
        QTest::newRow("Ctrl+Alt+S") << int(Qt::Key_S) << (C | A) << 14;
        QTest::newRow("F9") << int(Qt::Key_F9) << 0 << 13;
        QTest::newRow("Alt+F1") << int(Qt::Key_F1) << A << 41;
    }
    void acceleratorsReachTheDocument() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, command);
        FakeDocument* doc = nullptr;
        AddDocument(&doc);
        QTRY_VERIFY(doc->hasFocus());
        QTest::keyClick(doc, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(commands_, std::vector<int>{command});
        QCOMPARE(doc->typed, QString());
    }

    void altGrCharactersType() {
        FakeDocument* doc = nullptr;
        AddDocument(&doc);
        QTRY_VERIFY(doc->hasFocus());
        // As the platforms report AltGr: as AltGr, as Ctrl+Alt with the letter's key, or
        // as the character's own key.
        const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
        struct Typed { int key; Qt::KeyboardModifiers mods; const char* text; };
        const Typed cases[] = {
            {Qt::Key_Q, ctrlAlt, "@"},           {Qt::Key_7, ctrlAlt, "{"},
            {Qt::Key_8, ctrlAlt, "["},           {Qt::Key_9, ctrlAlt, "]"},
            {Qt::Key_0, ctrlAlt, "}"},           {Qt::Key_ssharp, ctrlAlt, "\\"},
            {Qt::Key_Plus, ctrlAlt, "~"},        {Qt::Key_Less, ctrlAlt, "|"},
            {Qt::Key_At, Qt::GroupSwitchModifier, "@"}, {Qt::Key_BraceLeft, Qt::NoModifier, "{"},
            {Qt::Key_R, ctrlAlt | Qt::GroupSwitchModifier, "r"},
        };
        for (const Typed& t : cases) {
            QKeyEvent press(QEvent::KeyPress, t.key, t.mods, QString::fromLatin1(t.text));
            QApplication::sendEvent(doc, &press);
        }
        QCOMPARE(doc->typed, QString("@{[]}\\~|@{r"));
        QCOMPARE(commands_, std::vector<int>{});
    }

    void ctrlF4ClosesTheDocumentWindow() {
        FakeDocument* doc = nullptr;
        QMdiSubWindow* w = AddDocument(&doc);
        QTRY_VERIFY(doc->hasFocus());
        QTest::keyClick(doc, Qt::Key_F4, Qt::ControlModifier);
        QVERIFY(w->isHidden() || !frame_->mdiArea()->subWindowList().contains(w));
        QCOMPARE(commands_, std::vector<int>{});
        QTRY_COMPARE(frame_->currentMenuId(), 107);
    }

    void qtOwnShortcutsDoNotAct() {
        FakeDocument* doc = nullptr;
        QMdiSubWindow* w = AddDocument(&doc);
        QTRY_VERIFY(doc->hasFocus());
        QTest::keyClick(doc, Qt::Key_W, Qt::ControlModifier);  // Qt would close the window
        QVERIFY(!w->isHidden());
        QCOMPARE(doc->typed.size(), 1);  // the document sees the key itself
        QCOMPARE(commands_, std::vector<int>{});
    }

    void menuMnemonicStillOpensItsMenu() {
        QTest::keyClick(frame_.get(), Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QCOMPARE(qobject_cast<QMenu*>(QApplication::activePopupWidget())->title(), QString("&Datei"));
        QApplication::activePopupWidget()->close();
    }

    void noDocumentDropsDocumentCommands() {
        QTest::keyClick(frame_.get(), Qt::Key_Left);
        frame_->RunCommand(13);
        QCOMPARE(commands_, std::vector<int>{});
    }

    void closingRefusedWhileADocumentStays() {
        FakeDocument* keeps = nullptr;
        AddDocument();
        AddDocument(&keeps);
        keeps->mayClose = false;
        QVERIFY(!frame_->close());
        QVERIFY(frame_->isVisible());
        QCOMPARE(frame_->documentCount(), 1);
        keeps->mayClose = true;
        QVERIFY(frame_->close());
        QCOMPARE(frame_->documentCount(), 0);
    }

    void commandLineFilesInOrderThenAutoOpen() {
        app_->commandFiles = {{"a.c"}, {"mit blank.h"}, {"b.txt"}};
        app_->options->AutoOpen = 1;
        std::vector<std::string> events;
        frame_->RegisterCommand(12, [&] { events.push_back("open dialog"); });
        frame_->hooks().openDocument = [&](MainFrame&, const std::string& name) {
            events.push_back(name);
            return name == "a.c" ? -1 : 0;  // a file that fails does not stop the others
        };
        frame_->OpenCommandLineFiles();
        QCOMPARE(events.size(), std::size_t(3));
        QTRY_COMPARE(events.size(), std::size_t(4));
        QCOMPARE(events, (std::vector<std::string>{"a.c", "mit blank.h", "b.txt", "open dialog"}));
    }

    void postedCommandWaitsForALongLoop() {
        int ran = 0;
        frame_->RegisterCommand(73, [&] { ++ran; });
        frame_->PostCommand(73);
        SetEscapePollInterval(0);
        QVERIFY(!QtHostPollEscape());  // the loop's poll processes events, but runs no command
        QCOMPARE(ran, 0);
        QTRY_COMPARE(ran, 1);
    }

    void filesWaitWithoutDocumentWindows() {
        app_->commandFiles = {{"x.c"}};
        frame_->OpenCommandLineFiles();
        frame_->RunCommand(11);
        QCOMPARE(frame_->waitingFiles(), (std::vector<std::string>{"x.c", ""}));
    }

    void openDialogOpensEveryChosenFile() {
        headless_->fileNameAnswers.push_back({"/tmp/eins.c", "/tmp/zwei.c"});
        std::vector<std::string> recorded;
        recording_ = true;
        frame_->hooks().recordAction = [&](int action, const std::vector<std::string>& args) {
            recorded.push_back(std::to_string(action));
            recorded.insert(recorded.end(), args.begin(), args.end());
        };
        frame_->RunCommand(12);
        QCOMPARE(frame_->waitingFiles(), (std::vector<std::string>{"/tmp/eins.c", "/tmp/zwei.c"}));
        // One Open line, as batch mode writes it, and only for a file that did open.
        QCOMPARE(recorded, (std::vector<std::string>{"22", "/tmp/eins.c"}));
        recorded.clear();
        frame_->hooks().openDocument = [](MainFrame&, const std::string& name) { return name == "/tmp/zwei.c" ? 0 : -1; };
        headless_->fileNameAnswers.push_back({"/tmp/missing.c", "/tmp/zwei.c"});
        frame_->RunCommand(12);
        QCOMPARE(recorded, (std::vector<std::string>{"22", "/tmp/zwei.c"}));
        headless_->fileNameAnswers.push_back({"/tmp/missing.c"});
        frame_->RunCommand(12);
        QCOMPARE(recorded.size(), std::size_t(2));
    }

    void optionSwitches() {
        QMdiSubWindow* w = AddDocument();
        int repaints = 0;
        frame_->hooks().repaintDocument = [&](QMdiSubWindow* r) { repaints += r == w; };
        app_->options->CodeTable = 2;
        frame_->RunCommand(81);
        QCOMPARE(app_->options->CodeTable, 1);
        QCOMPARE(commands_, std::vector<int>{81});  // the document hears of it as well
        QCOMPARE(repaints, 1);
        frame_->RunCommand(401);
        QCOMPARE(app_->options->VbChar, 32);
        frame_->RunCommand(401);
        QCOMPARE(app_->options->VbChar, 250);
        QCOMPARE(repaints, 3);
        QCOMPARE(commands_, std::vector<int>{81});

        int forgot = 0;
        std::vector<int> recorded;
        frame_->hooks().forgetUndo = [&] { ++forgot; };
        frame_->hooks().recordAction = [&](int a, const std::vector<std::string>&) { recorded.push_back(a); };
        app_->options->InsertMode = 1;
        recording_ = true;
        frame_->RunCommand(79);
        QCOMPARE(app_->options->InsertMode, 0);
        QCOMPARE(forgot, 1);
        QCOMPARE(recorded, std::vector<int>{79});
    }

    void arrangeSideBySideAndBelow() {
        QMdiSubWindow* a = AddDocument();
        QMdiSubWindow* b = AddDocument();
        const QRect area = frame_->mdiArea()->viewport()->rect();
        frame_->RunCommand(101);
        QCOMPARE(a->geometry().width() + b->geometry().width(), area.width());
        QCOMPARE(a->geometry().height(), area.height());
        QVERIFY(a->geometry().x() != b->geometry().x());
        frame_->RunCommand(102);
        QCOMPARE(a->geometry().height() + b->geometry().height(), area.height());
        QCOMPARE(a->geometry().width(), area.width());
        frame_->RunCommand(106);
        QCOMPARE(frame_->documentCount(), 0);
    }

    // "Überlappend" from its menu item: every window keeps a size to work in, each title
    // bar shows, and the current window stays current and on top.
    void cascadeLeavesWorkableWindows() {
        frame_->resize(1280, 860);
        std::vector<QMdiSubWindow*> windows;
        for (int i = 0; i < 12; ++i) windows.push_back(AddDocument());
        frame_->mdiArea()->setActiveSubWindow(windows[4]);
        QTRY_COMPARE(frame_->currentMenuId(), 108);
        frame_->findAction(103)->trigger();
        const QRect area = frame_->mdiArea()->viewport()->rect();
        std::set<int> tops;
        for (QMdiSubWindow* w : windows) {
            QVERIFY(area.contains(w->geometry()));
            QVERIFY(w->width() >= area.width() * 2 / 3 && w->height() >= area.height() * 2 / 3);
            tops.insert(w->y());
        }
        QVERIFY(tops.size() > 3);
        QCOMPARE(frame_->currentDocument(), windows[4]);
        QCOMPARE(frame_->mdiArea()->subWindowList(QMdiArea::StackingOrder).back(), windows[4]);
    }

    // Ctrl+F4 on the current window gives the keys back to the window used before it.
    void closingReturnsToTheWindowUsedBefore() {
        std::vector<FakeDocument*> docs(4);
        std::vector<QMdiSubWindow*> windows;
        for (FakeDocument*& d : docs) windows.push_back(AddDocument(&d));
        for (int i : {1, 3, 0}) frame_->mdiArea()->setActiveSubWindow(windows[std::size_t(i)]);
        for (int expected : {3, 1, 2}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
            QTRY_COMPARE(frame_->currentDocument(), windows[std::size_t(expected)]);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(docs[std::size_t(expected)]));
        }
    }

    void geometryFollowsTheWindow() {
        frame_->showNormal();
        frame_->resize(800, 600);
        QTRY_COMPARE(app_->mainWindWidth, 800);
        QCOMPARE(app_->mainWindHeight, 600);
        frame_->showMaximized();
        QTRY_COMPARE(app_->mainWindMax, 1);
        QCOMPARE(app_->mainWindWidth, 800);
        frame_->showNormal();
        QTRY_COMPARE(app_->mainWindMax, 0);
    }

private:
    QMdiSubWindow* AddDocument(FakeDocument** out = nullptr) {
        auto* doc = new FakeDocument;
        doc->setFocusPolicy(Qt::StrongFocus);
        QMdiSubWindow* w = frame_->mdiArea()->addSubWindow(doc);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->resize(300, 200);
        w->show();
        frame_->mdiArea()->setActiveSubWindow(w);
        doc->setFocus();
        if (out) *out = doc;
        return w;
    }

    // Opens (in effect) the popup holding the command's item, as the menu does.
    void OpenPopupOf(int commandId) {
        QAction* action = frame_->findAction(commandId);
        QVERIFY(action);
        QMenu* popup = PopupOf(action);
        QVERIFY(popup);
        emit popup->aboutToShow();
    }

    // Opens the popup of the command's item and points at the item, as the mouse does.
    QString PointAt(int commandId) {
        QAction* action = frame_->findAction(commandId);
        QMenu* popup = PopupOf(action);
        frame_->menuBar()->setActiveAction(nullptr);
        QMenu* top = popup;
        while (QMenu* parent = qobject_cast<QMenu*>(PopupOf(top->menuAction()))) top = parent;
        frame_->menuBar()->setActiveAction(top->menuAction());
        if (popup != top) top->setActiveAction(popup->menuAction());
        popup->setActiveAction(action);
        return frame_->statusBar()->currentMessage();
    }

    QTemporaryDir dir_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<HeadlessHost> headless_;
    std::unique_ptr<MainFrame> frame_;
    std::vector<int> commands_;
    DocumentMenuState docState_;
    bool recording_ = false;
    bool canUndo_ = false;
};

QTEST_MAIN(FrameWindowTest)
#include "frame_window.moc"
