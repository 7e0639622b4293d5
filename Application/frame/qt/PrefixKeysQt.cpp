// A key event through the prefix handler. Qt delivers a key and its text as one event;
// the handler sees them as the two messages they would have been: the key-down first,
// then, unless the accelerators took the key, the character it types.
#include "frame/qt/PrefixKeysQt.h"

#include "frame/Application.h"
#include "frame/PrefixKeys.h"
#include "frame/qt/MainFrame.h"
#include "macro/MacroRun.h"
#include "platform/qt/KeyCodes.h"

#include <QApplication>
#include <QKeyEvent>

namespace varlin {
namespace {

bool HandlePrefixKeyEvent(MainFrame& frame, QKeyEvent* event) {
    Application& app = frame.application();
    // Alt combinations are the system's keys (menu mnemonics); the prefix never sees them.
    if ((event->modifiers() & Qt::AltModifier) && !IsAltGrCharacter(event)) return false;
    if (HandlePrefixKey(app, {kKeyDownMessage, VirtualKeyFromQt(event->key())})) return true;
    if (app.prefixState == kNoPrefix) return false;
    // An accelerator consumes its key-down, so no character follows it.
    FrameHooks& hooks = frame.hooks();
    QWidget* focus = QApplication::focusWidget();
    const bool control = hooks.controlWantsKey && hooks.controlWantsKey(focus, event);
    if (!control && AcceleratorCommand(event) >= 0) return false;
    const int character = CharacterOfKeyEvent(event);
    if (character < 0) return false;
    return HandlePrefixKey(app, {kCharMessage, character}) != 0;
}

}  // namespace

int CharacterOfKeyEvent(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Escape: return 27;
    default: break;
    }
    const int key = event->key();
    if ((event->modifiers() & Qt::ControlModifier) && !IsAltGrCharacter(event)) {
        return key >= Qt::Key_A && key <= Qt::Key_Z ? key - Qt::Key_A + 1 : -1;
    }
    const QList<uint> text = event->text().toUcs4();
    if (text.isEmpty()) return -1;
    const uint c = text.front();
    if (c < 0x20 || c == 0x7F) return -1;
    return int(c);
}

void InstallPrefixKeys(MainFrame& frame) {
    FrameHooks& hooks = frame.hooks();
    hooks.prefixKey = [&frame](QKeyEvent* event) { return HandlePrefixKeyEvent(frame, event); };
    hooks.prefixPending = [&frame] { return frame.application().prefixState != kNoPrefix; };
    PrefixKeyHooks& prefix = ThePrefixKeyHooks();
    prefix.sendCommand = [&frame](int commandId) { frame.RunCommand(commandId); };
    prefix.hasOperation = [&frame](int commandId) { return frame.HasOperation(commandId); };
    prefix.runMacroFile = [&frame](const std::string& fileName) {
        if (frame.hooks().runMacroFile) frame.hooks().runMacroFile(fileName);
        else RunMacroFile(fileName);
    };
    // The hooks point at this frame until it goes, or until another frame installs its own
    // (tests make many frames).
    static const MainFrame* installed = nullptr;
    installed = &frame;
    QObject::connect(&frame, &QObject::destroyed, [gone = &frame] {
        if (installed != gone) return;
        installed = nullptr;
        PrefixKeyHooks& h = ThePrefixKeyHooks();
        h.sendCommand = nullptr;
        h.hasOperation = nullptr;
        h.runMacroFile = nullptr;
    });
}

}  // namespace varlin
