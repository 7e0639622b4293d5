// Prefix keys with real key events through the application (offscreen): F2 and the
// second key reach the frame's routing, typed characters reach the document, beeps
// and the status field 505 follow the two-key sequences; with a real document window,
// F2 Home cuts the line start and F2 Page Down moves the page without ending F2.
#include "editing/EditWindow.h"
#include "frame/Application.h"
#include "frame/PrefixKeys.h"
#include "frame/qt/DocumentWindows.h"
#include "frame/qt/MainFrame.h"
#include "frame/qt/PrefixKeysQt.h"
#include "frame/qt/StatusLine.h"
#include "frame/qt/ToolbarFrame.h"
#include "platform/HeadlessHost.h"
#include "platform/Registry.h"
#include "view/qt/EditView.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <memory>

using namespace varlin;

namespace {

// A document window's stand-in: notes the keys it receives and the text typed into it.
class FakeDocument : public QWidget {
public:
    QString typed;
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        keys << e->key();
        typed += e->text();
    }
};

}  // namespace

class PrefixKeysTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetSettingsFile(dir_.filePath("settings.ini").toStdString()); }
    void cleanupTestCase() { SetSettingsFile(""); }

    void init() {
        app_ = std::make_unique<Application>();
        QVERIFY(InitApplication(*app_, {}, dir_.path().toStdString()) == 1);
        host_ = std::make_unique<HeadlessHost>();
        host_->writeMessagesToStderr = false;
        host_->Install();
        commands_.clear();
        FrameHooks hooks;
        hooks.documentCommand = [this](QMdiSubWindow*, int id) { commands_.push_back(id); };
        frame_ = std::make_unique<MainFrame>(*app_, hooks);
        InstallPrefixKeys(*frame_);
        area_ = InstallToolbarAndStatusLine(*frame_);
        frame_->resize(900, 600);
        frame_->show();
        QApplication::setActiveWindow(frame_.get());
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
        doc_ = new FakeDocument;
        doc_->setFocusPolicy(Qt::StrongFocus);
        QMdiSubWindow* w = frame_->mdiArea()->addSubWindow(doc_);
        w->show();
        frame_->mdiArea()->setActiveSubWindow(w);
        doc_->setFocus();
        QTRY_VERIFY(doc_->hasFocus());
    }
    void cleanup() {
        frame_.reset();
        app_.reset();
    }

    void f2SAndF2sSendSearch() {
        Key(Qt::Key_F2);
        QCOMPARE(Field505(), QString("F2"));
        QTest::keyClick(doc_, 'S');
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, 's');
        QCOMPARE(commands_, (std::vector<int>{40, 40}));
        QCOMPARE(doc_->typed, QString());
        QCOMPARE(Field505(), QString());
        QCOMPARE(host_->beeps, 0);
    }

    void f2TwiceCancelsAndTheLetterIsTyped() {
        Key(Qt::Key_F2);
        Key(Qt::Key_F2);
        QCOMPARE(Field505(), QString());
        QTest::keyClick(doc_, 'S');
        QCOMPARE(doc_->typed, QString("S"));
        QVERIFY(commands_.empty());
    }

    void f2ThenF3SwitchesTheTable() {
        KeyEntry* e = FindKeyEntry(app_->keyTableF3, {kCharMessage, 'Q'});
        e->commandId = 42;
        Key(Qt::Key_F2);
        Key(Qt::Key_F3);
        QCOMPARE(Field505(), QString("F3"));
        QTest::keyClick(doc_, 'q');
        QCOMPARE(commands_, (std::vector<int>{42}));  // F2 Q has no entry; F3 Q has
        QCOMPARE(Field505(), QString());
    }

    void f2KBeepsAndEndsThePrefix() {
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, 'K');
        QCOMPARE(host_->beeps, 1);
        QCOMPARE(doc_->typed, QString());
        QCOMPARE(Field505(), QString());
        QTest::keyClick(doc_, 'K');
        QCOMPARE(doc_->typed, QString("K"));
    }

    // Page Down is no F2 entry and types nothing: it pages as usual (here its accelerator
    // reaches the document) and F2 stays pending for the next key.
    void f2PageDownKeepsThePrefix() {
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, Qt::Key_PageDown);
        QCOMPARE(commands_, (std::vector<int>{206}));
        QCOMPARE(Field505(), QString("F2"));
        QTest::keyClick(doc_, 'e');
        QCOMPARE(commands_, (std::vector<int>{206, 42}));
    }

    void shiftAndCtrlAloneDoNotEndIt() {
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, Qt::Key_Shift, Qt::ShiftModifier);
        QTest::keyClick(doc_, Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(Field505(), QString("F2"));
        QTest::keyClick(doc_, 'E', Qt::ShiftModifier);
        QCOMPARE(commands_, (std::vector<int>{42}));
    }

    void keyDownEntriesIgnoreModifiers() {
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, Qt::Key_Home);
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, Qt::Key_Home, Qt::ControlModifier);
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, Qt::Key_F6);
        QCOMPARE(commands_, (std::vector<int>{48, 48, 50}));
        QVERIFY(!doc_->keys.contains(Qt::Key_Home) && !doc_->keys.contains(Qt::Key_F6));
    }

    // An accelerator takes its key before a character is made of it, so the prefix stays.
    void acceleratorActsAndThePrefixWaits() {
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, Qt::Key_S, Qt::ControlModifier);  // Ctrl+S: save, 13
        QCOMPARE(commands_, (std::vector<int>{13}));
        QCOMPARE(Field505(), QString("F2"));
        QCOMPARE(host_->beeps, 0);
    }

    // A key that types a control character (Ctrl+Q, no accelerator) ends the prefix with a
    // beep, as an unassigned letter does.
    void controlCharacterAfterF2Beeps() {
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(host_->beeps, 1);
        QVERIFY(!doc_->keys.contains(Qt::Key_Q));
        QCOMPARE(Field505(), QString());
        QVERIFY(commands_.empty());
    }

    void f4ThenALetterBeeps() {
        Key(Qt::Key_F4);
        QCOMPARE(Field505(), QString("F4"));
        QTest::keyClick(doc_, 'a');
        QCOMPARE(host_->beeps, 1);
        QCOMPARE(doc_->typed, QString());
        QCOMPARE(Field505(), QString());
    }

    void f3ThenAnUnassignedLetterDoesNothing() {
        Key(Qt::Key_F3);
        QTest::keyClick(doc_, 'x');
        QCOMPARE(host_->beeps, 0);
        QVERIFY(commands_.empty());
        QCOMPARE(doc_->typed, QString());
        QCOMPARE(Field505(), QString());
    }

    // Alt combinations belong to the menus; they neither end nor use the prefix.
    void altKeysAreNotExamined() {
        Key(Qt::Key_F2);
        QTest::keyClick(doc_, Qt::Key_S, Qt::AltModifier);
        QVERIFY(commands_.empty());
        QCOMPARE(Field505(), QString("F2"));
    }

    void realDocumentCutPageAndFind() {
        frame_.reset();
        std::ofstream(dir_.filePath("cut.txt").toStdString()) << "abcdef\r\nzweite\r\n";
        for (int i = 0; i < 60; ++i) std::ofstream(dir_.filePath("cut.txt").toStdString(), std::ios::app) << "z\r\n";
        frame_ = std::make_unique<MainFrame>(*app_);
        InstallPrefixKeys(*frame_);
        InstallToolbarAndStatusLine(*frame_);
        InstallDocumentWindows(*frame_);
        frame_->resize(900, 600);
        frame_->show();
        QApplication::setActiveWindow(frame_.get());
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
        QCOMPARE(OpenEditWindow(*frame_, dir_.filePath("cut.txt").toStdString()), 0);
        EditView* view = EditViewOf(frame_->currentDocument());
        QVERIFY(view);
        QTRY_VERIFY(view->hasFocus());
        EditWindow& w = view->window();
        for (int i = 0; i < 3; ++i) QTest::keyClick(view, Qt::Key_Right);
        Key(Qt::Key_F2, view);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(std::string(w.doc->LineView(0)), std::string("def"));
        QCOMPARE(Field505(), QString());

        Key(Qt::Key_F2, view);
        const int first = w.firstLine;
        QTest::keyClick(view, Qt::Key_PageDown);
        QVERIFY(w.firstLine > first);
        QCOMPARE(Field505(), QString("F2"));
        Key(Qt::Key_F2, view);
        QCOMPARE(Field505(), QString());

        // F2 S, with a real document, asks for the find dialog (cancelled by the test host).
        Key(Qt::Key_F2, view);
        QTest::keyClick(view, 's');
        QCOMPARE(host_->dialogsWanted, (std::vector<DialogId>{DialogId::Find}));
    }

private:
    void Key(Qt::Key key, QWidget* target = nullptr) { QTest::keyClick(target ? target : doc_, key); }
    QString Field505() { return area_ ? FrameAreaOf(*frame_)->statusLine()->fieldText(505) : QString(); }

    QTemporaryDir dir_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<HeadlessHost> host_;
    std::unique_ptr<MainFrame> frame_;
    FrameArea* area_ = nullptr;
    FakeDocument* doc_ = nullptr;
    std::vector<int> commands_;
};

QTEST_MAIN(PrefixKeysTest)
#include "prefix_keys.moc"
