// A new user's walk through the menus: every item of both menus, without and with a
// document, in German and in English, chosen with the keyboard through the real menu bar
// (Alt and the first popup's letter, arrows, Return), every dialog or message it opens
// answered with Escape, on the frame as the editor builds it with its real dialogs. The
// program must still be running after each item; built with the sanitizers, the walk
// also shows any use of freed memory (the menus switch language under their own items).
#include "edit_view_support.h"
#include "modal_support.h"

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

// Escape to whatever a command opened: the widget with the focus in a modal dialog (so
// that the key takes the road a user's would), else the dialog itself.
void EscapeModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus && modal->isAncestorOf(focus) ? focus : modal;
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
        QVERIFY(h_.Open("x\n"));
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
            for (QAction* item : ItemsOf(popup)) {
                const int id = item->data().toInt();
                if (id == kExit) continue;
                // Every item needs the menu it was found in: documents closed by the
                // item before are opened again.
                if (withDocument && h_.frame->documentCount() == 0) QVERIFY(h_.Open("eins\nzwei\n"));
                if (!withDocument && h_.frame->documentCount() > 0) CloseAll();
                QTRY_COMPARE(h_.frame->currentMenuId(), menuId);
                if (IsLearning() && id != 89) ToggleLearnMode();  // so the macro items stay enabled
                QVERIFY2(ChooseItem(top, item), qPrintable(Describe(top, item)));
                QVERIFY2(h_.frame->isVisible(), qPrintable(Describe(top, item)));
                ++walked_;
            }
        }
    }

    // The items a keyboard reaches: enabled, not separators, those of submenus too.
    static QList<QAction*> ItemsOf(QMenu* popup) {
        QList<QAction*> items;
        emit popup->aboutToShow();  // the enabling the popup gets when it opens
        for (QAction* a : popup->actions()) {
            if (a->isSeparator() || !a->isVisible() || !a->isEnabled()) continue;
            if (a->menu()) items += ItemsOf(a->menu());
            else items += a;
        }
        return items;
    }

    // Opens popup top with Alt and the first popup's letter and the arrows, goes down to
    // the item (into its submenu when it is in one) and presses Return.
    bool ChooseItem(int top, QAction* item) {
        QMenuBar* bar = h_.frame->menuBar();
        QTest::keyClick(h_.frame.get(), MnemonicOf(bar->actions().front()->text()), Qt::AltModifier);
        for (int i = 0; i < top; ++i) {
            QMenu* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!open) return false;
            QTest::keyClick(open, Qt::Key_Right);
        }
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!popup) return false;
        QMenu* owner = qobject_cast<QMenu*>(item->parent());
        if (owner != popup) {
            // The submenu: down to its entry in the popup, then Right.
            if (!Reach(popup, owner->menuAction())) return false;
            QTest::keyClick(popup, Qt::Key_Right);
            popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (popup != owner) return false;
        }
        if (!Reach(popup, item)) return false;
        if (escape_) escaper_.start();
        QTest::keyClick(popup, Qt::Key_Return);
        for (int wait = 0; wait < 1000 && QApplication::activeModalWidget(); ++wait) QTest::qWait(10);
        escaper_.stop();
        if (QApplication::activeModalWidget()) return false;
        CloseStrayWindows();
        return QApplication::activePopupWidget() == nullptr;
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
            for (QAction* item : ItemsOf(h_.frame->menuBar()->actions()[top]->menu()))
                if (item->data().toInt() == commandId) return ChooseItem(top, item);
        }
        return false;
    }

    // The language dialog through the menu; English chosen with the mouse, OK with Return.
    void SwitchToEnglishThroughTheMenu() {
        CloseAll();
        WhenModalShows<LanguageDialog>([](LanguageDialog* dialog) {
            QTest::mouseClick(dialog->findChild<QRadioButton*>(QString::number(44)), Qt::LeftButton);
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        escape_ = false;
        QVERIFY(Choose(kLanguage));
        escape_ = true;
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

    QString Describe(int top, QAction* item) const {
        return QString("language %1, menu %2, popup %3, item %4 \"%5\"")
            .arg(GetAppLanguage()).arg(h_.frame->currentMenuId()).arg(top).arg(item->data().toInt()).arg(item->text());
    }

    EditViewHarness h_;
    QTimer escaper_;
    bool escape_ = true;
    int walked_ = 0;
};

QTEST_MAIN(MenuWalkTest)
#include "menu_walk.moc"
