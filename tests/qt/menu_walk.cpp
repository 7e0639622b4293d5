// A new user's walk through the menus: every item of both menus, without and with a
// document, in German and in English, chosen with the keyboard through the real menu bar
// (Alt and the first popup's letter, arrows, Return), every dialog or message it opens
// answered with Escape, on the frame as the editor builds it with its real dialogs. The
// program must still be running after each item; built with the sanitizers, the walk
// also shows any use of freed memory (the menus switch language under their own items).
#include "edit_view_support.h"

#include "editing/Recording.h"
#include "frame/qt/GuiMain.h"
#include "frame/qt/LanguageDialog.h"
#include "platform/TempFiles.h"
#include "platform/qt/QtHost.h"
#include "resources/Menus.h"
#include "resources/StringTable.h"

#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>

using namespace varlin;
using namespace varlin::test;

namespace {

constexpr int kExit = 19;
constexpr int kLanguage = 97;

// Escape to whatever a command opened: to the widget with the focus in a modal dialog
// (so that the key takes the road a user's would), and when that did not close it, to
// the dialog itself.
bool g_chooseEnglish = false;  // the language dialog gets English (Space) and Return instead

void EscapeModal() {
    static QWidget* last = nullptr;
    static int tries = 0;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    if (auto* english = modal->findChild<QRadioButton*>(QString::number(44)); english && g_chooseEnglish) {
        english->setFocus();
        QTest::keyClick(english, Qt::Key_Space);
        QTest::keyClick(english->isChecked() ? english : modal, english->isChecked() ? Qt::Key_Return : Qt::Key_Escape);
        return;
    }
    tries = modal == last ? tries + 1 : 0;
    last = modal;
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus && modal->isAncestorOf(focus) && tries % 2 == 0 ? focus : modal;
    QTest::keyClick(target, Qt::Key_Escape);
}

}  // namespace

class MenuWalkTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(h_.Start(true));
        SetTemporaryBase(h_.dir.path().toStdString());
        InstallFrameParts(*h_.frame);
        InstallQtHost(h_.frame.get());  // real message boxes and file dialogs
        h_.frame->RefreshMenu();
        // A modal window that stays through several rounds gets Escape again; one that
        // a focused field keeps (a line edit's own completer) at last on itself.
        escaper_.setInterval(15);
        QObject::connect(&escaper_, &QTimer::timeout, [] { EscapeModal(); });
    }
    void cleanup() {
        escaper_.stop();
        if (IsLearning()) ToggleLearnMode();
        SetAppLanguage(49);
        UseQtTranslation(49);
        h_.host.Install();
        h_.Stop();
    }

    void everyItemByKeyboardInBothLanguagesLeavesTheProgramRunning() {
        for (int language : {49, 44}) {
            if (language == 44) SwitchToEnglishThroughTheMenu();
            QCOMPARE(GetAppLanguage(), language);
            for (bool withDocument : {false, true}) {
                CloseAll();
                if (withDocument) QVERIFY(h_.Open("eins\nzwei\ndrei\n"));
                QTRY_COMPARE(h_.frame->currentMenuId(), withDocument ? kMenuIdDocument : kMenuIdNoDocument);
                Walk(withDocument);
            }
        }
        QVERIFY(walked_ > 100);
        // Exit with a changed document: the save question, Escape, and the program stays.
        CloseAll();
        QVERIFY(h_.Open("x\n", "last.c"));
        QTest::keyClick(h_.Current(), Qt::Key_A);
        QVERIFY(Choose(kExit));
        QVERIFY(h_.frame->isVisible());
        QCOMPARE(h_.frame->documentCount(), 1);
    }

private:
    // Walks every item of the menu shown now; the items that close documents or the
    // frame are left to the end of the test.
    void Walk(bool withDocument) {
        const int menuId = h_.frame->currentMenuId();
        const QList<QAction*> tops = h_.frame->menuBar()->actions();
        for (int top = 0; top < tops.size(); ++top) {
            QMenu* popup = tops[top]->menu();
            // Taken afresh for every item: the window list's items are made anew each time
            // the popup opens, and an item may change what is enabled.
            for (int index = 0; index < ItemsOf(popup).size(); ++index) {
                const int id = ItemsOf(popup)[index]->data().toInt();
                if (id == kExit) continue;  // it would end the frame: tried last, with a question to refuse
                // Every item needs the menu it was found in: documents closed by the
                // item before are opened again.
                if (withDocument && h_.frame->documentCount() == 0) QVERIFY(h_.Open("eins\nzwei\n"));
                if (!withDocument && h_.frame->documentCount() > 0) CloseAll();
                QTRY_COMPARE(h_.frame->currentMenuId(), menuId);
                if (IsLearning() && id != 89) ToggleLearnMode();  // so the macro items stay enabled
                if (qEnvironmentVariableIsSet("MENU_WALK_TRACE")) qInfo("%s", qPrintable(Describe(top, id)));
                QVERIFY2(ChooseItem(top, index, id), qPrintable(Describe(top, id)));
                QVERIFY2(h_.frame->isVisible(), qPrintable(Describe(top, id)));
                ++walked_;
            }
        }
    }

    // The items a keyboard reaches: enabled, not separators, those of submenus too.
    static QList<QAction*> ItemsOf(QMenu* popup, bool opening = true) {
        QList<QAction*> items;
        if (opening) emit popup->aboutToShow();  // the enabling the popup gets when it opens
        for (QAction* a : popup->actions()) {
            if (a->isSeparator() || !a->isVisible() || !a->isEnabled()) continue;
            if (a->menu()) items += ItemsOf(a->menu(), opening);
            else items += a;
        }
        return items;
    }

    // Opens popup top with Alt and the first popup's letter and the arrows, goes down to
    // the item (into its submenu when it is in one) and presses Return.
    bool ChooseItem(int top, int index, int id) {
        why_.clear();
        QMenuBar* bar = h_.frame->menuBar();
        // A dialog that closed gives the activation back as a window manager would.
        QApplication::setActiveWindow(h_.frame.get());
        QTest::keyClick(h_.frame.get(), MnemonicOf(bar->actions().front()->text()), Qt::AltModifier);
        for (int i = 0; i < top; ++i) {
            QMenu* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!open) return Fail("no popup after Alt");
            QTest::keyClick(open, Qt::Key_Right);
        }
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!popup) return Fail("no popup");
        // The item as the open popup has it (the window list's are new ones now).
        const QList<QAction*> items = ItemsOf(popup, false);
        QAction* item = nullptr;
        for (QAction* a : items)
            if (id != 0 && a->data().toInt() == id) item = a;
        if (!item && id == 0 && index < items.size()) item = items[index];  // the window list
        if (!item) return Fail("item gone");
        QMenu* owner = qobject_cast<QMenu*>(item->parent());
        if (owner != popup) {
            // The submenu: down to its entry in the popup, then Right.
            if (!Reach(popup, owner->menuAction())) return Fail("submenu not reached");
            QTest::keyClick(popup, Qt::Key_Right);
            popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (popup != owner) return Fail("submenu not open");
        }
        if (!Reach(popup, item)) return Fail("item not reached");
        if (item->data().toInt() != id) return Fail("another item reached");
        escaper_.start();
        QTest::keyClick(popup, Qt::Key_Return);
        for (int wait = 0; wait < 1000 && QApplication::activeModalWidget(); ++wait) QTest::qWait(10);
        escaper_.stop();
        if (QWidget* modal = QApplication::activeModalWidget()) return Fail(modal->metaObject()->className() + QString(" stayed"));
        CloseStrayWindows();
        if (QApplication::activePopupWidget()) return Fail("a popup stayed open");
        return true;
    }

    bool Fail(const QString& why) {
        why_ = why;
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        return false;
    }

    static bool Reach(QMenu* popup, QAction* target) {
        for (int step = 0; step <= popup->actions().size() + 1; ++step) {
            if (popup->activeAction() == target) return true;
            QTest::keyClick(popup, Qt::Key_Down);
        }
        return popup->activeAction() == target;
    }

    bool Choose(int commandId) {
        for (int top = 0; top < h_.frame->menuBar()->actions().size(); ++top) {
            const QList<QAction*> items = ItemsOf(h_.frame->menuBar()->actions()[top]->menu());
            for (int index = 0; index < items.size(); ++index)
                if (items[index]->data().toInt() == commandId) return ChooseItem(top, index, commandId);
        }
        return false;
    }

    // The language dialog through the menu; English chosen with Space, OK with Return.
    void SwitchToEnglishThroughTheMenu() {
        CloseAll();
        if (IsLearning()) ToggleLearnMode();
        QTRY_COMPARE(h_.frame->currentMenuId(), kMenuIdNoDocument);
        g_chooseEnglish = true;
        QVERIFY2(Choose(kLanguage), qPrintable(why_));
        g_chooseEnglish = false;
        QTRY_COMPARE(h_.frame->menuBar()->actions().front()->text(), QString("&File"));
    }

    // Windows without modality that a command left open (none should be).
    void CloseStrayWindows() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w == h_.frame.get() || !w->isVisible() || w->inherits("QMenu")) continue;
            QTest::keyClick(w, Qt::Key_Escape);
            w->close();
        }
    }

    void CloseAll() {
        for (QMdiSubWindow* w : h_.frame->mdiArea()->subWindowList()) {
            if (EditView* view = EditViewOf(w)) view->window().modified = 0;
        }
        h_.frame->mdiArea()->closeAllSubWindows();
        QTRY_COMPARE(h_.frame->documentCount(), 0);
    }

    static int MnemonicOf(const QString& label) {
        const int at = label.indexOf('&');
        return at >= 0 && at + 1 < label.size() ? label.at(at + 1).toUpper().unicode() : 0;
    }

    QString Describe(int top, int id) const {
        return QString("language %1, menu %2, popup %3, item %4: %5")
            .arg(GetAppLanguage()).arg(h_.frame->currentMenuId()).arg(top).arg(id).arg(why_);
    }

    EditViewHarness h_;
    QTimer escaper_;
    QString why_;
    int walked_ = 0;
};

QTEST_MAIN(MenuWalkTest)
#include "menu_walk.moc"
