// No dead roads: every menu item, toolbar button, F2 key, accelerator and row of the
// document window's command table, walked on the frame as the editor builds it. A
// command that reaches no operation must be greyed in the menus and on the toolbar,
// beep (and do nothing else) when reached by a key, and give -1 to SendCommand; a
// command that has one must be enabled by the enabling table and nothing else, and run
// from SendCommand without -1. Whether a command has an operation is read from the real
// tables, so the walk stays true as parts add their commands.
#include "edit_view_support.h"

#include "dispatch/CommandTable.h"
#include "frame/CommandRouting.h"
#include "frame/FrameCommands.h"
#include "frame/KeyTable.h"
#include "frame/MenuEnabling.h"
#include "frame/qt/GuiMain.h"
#include "frame/qt/Toolbar.h"
#include "frame/qt/ToolbarFrame.h"
#include "editing/Recording.h"
#include "platform/TempFiles.h"
#include "resources/Accelerators.h"
#include "resources/Menus.h"

#include <QMenu>
#include <QTimer>

#include <map>
#include <set>

using namespace varlin;
using namespace varlin::test;

namespace {

void CollectMenu(std::span<const MenuItem> items, std::set<int>& ids) {
    for (const MenuItem& item : items) {
        if (item.id > 0) ids.insert(item.id);
        CollectMenu(item.children, ids);
    }
}

// The Qt key of a virtual key, for the keys the tables use without an operation.
int QtKeyOf(int vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return vk;
    if (vk >= kVkF1 && vk <= kVkF12) return Qt::Key_F1 + (vk - kVkF1);
    return 0;
}

Qt::KeyboardModifiers QtModifiers(int modifiers) {
    Qt::KeyboardModifiers m;
    if (modifiers & kModShift) m |= Qt::ShiftModifier;
    if (modifiers & kModCtrl) m |= Qt::ControlModifier;
    if (modifiers & kModAlt) m |= Qt::AltModifier;
    return m;
}

}  // namespace

class CommandRoadsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(h_.Start());
        SetTemporaryBase(h_.dir.path().toStdString());
        InstallFrameParts(*h_.frame);
        h_.frame->RefreshMenu();
        // Dialogs that a command opens with windows of their own are closed at once.
        watchdog_.setInterval(20);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        watchdog_.start();
    }
    void cleanup() {
        watchdog_.stop();
        if (IsLearning()) ToggleLearnMode();
        InstallFrameWindows(FrameWindows{});
        h_.Stop();
    }

    void menusAndToolbarGreyWhatHasNoOperation() {
        for (int menuId : {kMenuIdNoDocument, kMenuIdDocument}) {
            if (menuId == kMenuIdDocument) QVERIFY(h_.Open("abc\n"));
            QTRY_COMPARE(h_.frame->currentMenuId(), menuId);
            std::set<int> ids;
            CollectMenu(MenuResource(menuId), ids);
            const int flags = h_.frame->MenuFlags();
            for (int id : ids) {
                QAction* action = h_.frame->findAction(id);
                QVERIFY2(action, qPrintable(QString::number(id)));
                emit qobject_cast<QMenu*>(action->parent())->aboutToShow();
                const bool expected = h_.frame->HasOperation(id) && IsMenuItemEnabled(id, flags);
                QVERIFY2(action->isEnabled() == expected,
                         qPrintable(QString("menu %1 item %2").arg(menuId).arg(id)));
            }
        }
        // Every command a button may carry: the buttons of the editor's menus.
        FrameToolbar* bar = FrameAreaOf(*h_.frame)->toolbar();
        ButtonSet every;
        for (int id : AllCommands()) every.buttons.push_back(ButtonSpec{ButtonKind::Command, id, {}});
        bar->Build(every);
        FrameAreaOf(*h_.frame)->UpdateButtonEnabling();
        for (int id : AllCommands()) {
            // Buttons follow the menu's enabling, which never enables a command without one.
            const bool enabled = bar->commandAction(id)->isEnabled();
            QVERIFY2(enabled == h_.frame->IsCommandEnabled(id), qPrintable(QString("button %1").arg(id)));
            QVERIFY2(!enabled || h_.frame->HasOperation(id), qPrintable(QString("button %1").arg(id)));
        }
    }

    // A key of a command without an operation beeps once and changes nothing; the
    // command is not run (and so cannot look like success).
    void keysWithoutAnOperationBeep() {
        EditView* view = h_.Open("abc\n");
        QVERIFY(view);
        KeyTable f2;
        FillF2Table(f2);
        int walked = 0;
        for (const KeyEntry& e : f2.entries) {
            if (h_.frame->HasOperation(e.commandId)) continue;
            ++walked;
            h_.host.beeps = 0;
            Type(view, {}, Qt::Key_F2);
            if (e.kind == kCharMessage) Type(view, QString(QChar(e.key)), QtKeyOf(e.key));
            else Type(view, {}, QtKeyOf(e.key));
            QVERIFY2(h_.host.beeps == 1, qPrintable(QString("F2 key %1").arg(e.key)));
            QCOMPARE(h_.frame->application().prefixState, 0);
        }
        for (const Accelerator& a : AcceleratorTable()) {
            if (h_.frame->HasOperation(a.commandId)) continue;
            QVERIFY2(QtKeyOf(a.key) != 0, qPrintable(QString("key %1 cannot be sent").arg(a.key)));
            ++walked;
            h_.host.beeps = 0;
            Type(view, {}, QtKeyOf(a.key), QtModifiers(a.modifiers));
            QVERIFY2(h_.host.beeps == 1, qPrintable(QString("accelerator of %1").arg(a.commandId)));
        }
        QVERIFY(walked >= 6);  // F2 C, F2 F12, F1, Ctrl+F1, Ctrl+Alt+F1, Ctrl+F12 at least
        QCOMPARE(h_.Text(), std::string("abc"));
        QCOMPARE(h_.host.messageIds, std::vector<int>{});
        QCOMPARE(h_.host.dialogsWanted, std::vector<DialogId>{});
        QCOMPARE(h_.frame->documentCount(), 1);
    }

    // SendCommand, the road every menu item, button and key ends on: -1 exactly for the
    // commands without an operation, while a document window is open.
    void sendCommandReachesEveryOperation() {
        std::set<int> ids = AllCommands();
        for (const DocumentCommand& row : DocumentCommandTable()) ids.insert(row.commandId);
        ids.erase(kCmdExit);  // would end the walk
        for (int id : ids) {
            if (h_.frame->documentCount() == 0) QVERIFY(h_.Open("abc\n"));
            QTRY_VERIFY(h_.frame->currentDocument() != nullptr);
            const int expected = h_.frame->HasOperation(id) ? 0 : -1;
            QVERIFY2(SendFrameCommand(id) == expected, qPrintable(QString("command %1").arg(id)));
        }
    }

private:
    // The commands of the menus, the F2 keys and the accelerators.
    static std::set<int> AllCommands() {
        std::set<int> ids;
        CollectMenu(MenuResource(kMenuIdNoDocument), ids);
        CollectMenu(MenuResource(kMenuIdDocument), ids);
        KeyTable f2;
        FillF2Table(f2);
        for (const KeyEntry& e : f2.entries) ids.insert(e.commandId);
        for (const Accelerator& a : AcceleratorTable()) ids.insert(a.commandId);
        return ids;
    }

    EditViewHarness h_;
    QTimer watchdog_;
};

QTEST_MAIN(CommandRoadsTest)
#include "command_roads.moc"
