// The frame's key chain. Keys are taken at the widget that has the focus, before it sees
// them, and only for the frame window: dialogs and open popup menus have their own keys.
#include "frame/qt/FrameKeyFilter.h"

#include "frame/qt/MainFrame.h"
#include "platform/Host.h"
#include "platform/qt/KeyCodes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>

namespace varlin {

FrameKeyFilter::FrameKeyFilter(MainFrame& frame) : frame_(frame) {}

bool FrameKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) return false;
    auto* receiver = qobject_cast<QWidget*>(watched);
    if (!receiver || receiver->window() != &frame_) return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Claiming a key keeps Qt's own shortcuts from taking it before the key chain or
        // the widget sees it. Only the menu bar's Alt+letter mnemonics (and the keys of
        // toolbar controls) are left to Qt: a document window has no other shortcuts, and
        // Qt's own (Ctrl+W closing a window) are not the editor's.
        if (!WouldConsume(receiver, key) && (LeftToQt(key) || ControlWantsKey(receiver, key))) {
            return false;
        }
        key->accept();
        return true;
    }
    if (IsPropagation(receiver, key)) return false;
    lastEvent_ = key;
    lastKey_ = key->key();
    lastModifiers_ = key->modifiers();
    lastReceiver_ = receiver;
    return HandleKey(receiver, key);
}

// Qt offers a key that the focused widget left unused to its parents, the same event
// object each time; a new event may well reuse the address of the last one, though.
bool FrameKeyFilter::IsPropagation(QWidget* receiver, const QKeyEvent* event) const {
    return event == lastEvent_ && lastReceiver_ && receiver != lastReceiver_ &&
           receiver->isAncestorOf(lastReceiver_) && event->key() == lastKey_ &&
           event->modifiers() == lastModifiers_;
}

bool FrameKeyFilter::HandleKey(QWidget* receiver, QKeyEvent* event) {
    if (MdiKey(event, true)) return true;
    FrameHooks& hooks = frame_.hooks();
    if (hooks.prefixKey && hooks.prefixKey(event)) return true;
    if (ControlWantsKey(receiver, event)) return false;
    int command = AcceleratorCommand(event);
    if (command < 0) return false;
    if (!frame_.HasOperation(command)) HostBeep();  // F1 and the others without an operation
    else frame_.RunCommand(command);
    return true;
}

bool FrameKeyFilter::LeftToQt(const QKeyEvent* event) {
    Qt::KeyboardModifiers mods = event->modifiers();
    return (mods & Qt::AltModifier) && !(mods & Qt::ControlModifier);
}

bool FrameKeyFilter::WouldConsume(QWidget* receiver, QKeyEvent* event) {
    if (MdiKey(event, false)) return true;
    FrameHooks& hooks = frame_.hooks();
    if (hooks.prefixKey) {
        int k = event->key();
        if (k == Qt::Key_F2 || k == Qt::Key_F3 || k == Qt::Key_F4) return true;
        if (hooks.prefixPending && hooks.prefixPending()) return true;
    }
    return !ControlWantsKey(receiver, event) && AcceleratorCommand(event) >= 0;
}

// The keys of the MDI window menu: Ctrl+F4 closes the current document window, Ctrl+F6
// and Ctrl+Tab go to the next one (with Shift to the previous one). Without a document
// window they are no MDI keys, and Ctrl+F4 reaches the accelerator table.
bool FrameKeyFilter::MdiKey(QKeyEvent* event, bool run) {
    Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    bool shift = mods & Qt::ShiftModifier;
    if ((mods & ~Qt::ShiftModifier) != Qt::ControlModifier) return false;
    QMdiSubWindow* current = frame_.currentDocument();
    if (!current) return false;
    int k = event->key();
    if (k == Qt::Key_F4 && !shift) {
        if (run) current->close();
        return true;
    }
    if (k == Qt::Key_F6 || k == Qt::Key_Tab || k == Qt::Key_Backtab) {
        if (run) {
            if (shift || k == Qt::Key_Backtab) frame_.mdiArea()->activatePreviousSubWindow();
            else frame_.mdiArea()->activateNextSubWindow();
        }
        return true;
    }
    return false;
}

bool FrameKeyFilter::ControlWantsKey(QWidget* receiver, QKeyEvent* event) {
    FrameHooks& hooks = frame_.hooks();
    if (hooks.controlWantsKey) return hooks.controlWantsKey(receiver, event);
    for (QWidget* w = receiver; w; w = w->parentWidget()) {
        if (qobject_cast<QToolBar*>(w)) return true;
    }
    return false;
}

}  // namespace varlin
