// Mapping of Qt key codes onto virtual-key codes, and the accelerator lookup of a key event.
#include "platform/qt/KeyCodes.h"

#include "resources/Accelerators.h"

#include <QKeyEvent>

namespace varlin {

int VirtualKeyFromQt(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;  // same codes
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return kVkF1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return kVkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return kVkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kVkReturn;
    case Qt::Key_Shift: return kVkShift;
    case Qt::Key_Control: return kVkControl;
    case Qt::Key_Alt: return kVkMenu;
    case Qt::Key_Escape: return kVkEscape;
    case Qt::Key_Space: return kVkSpace;
    case Qt::Key_PageUp: return kVkPrior;
    case Qt::Key_PageDown: return kVkNext;
    case Qt::Key_End: return kVkEnd;
    case Qt::Key_Home: return kVkHome;
    case Qt::Key_Left: return kVkLeft;
    case Qt::Key_Up: return kVkUp;
    case Qt::Key_Right: return kVkRight;
    case Qt::Key_Down: return kVkDown;
    case Qt::Key_Insert: return kVkInsert;
    case Qt::Key_Delete: return kVkDelete;
    default: return 0;
    }
}

int ModifiersFromQt(Qt::KeyboardModifiers modifiers) {
    int mods = 0;
    if (modifiers & Qt::ShiftModifier) mods |= kModShift;
    if (modifiers & Qt::ControlModifier) mods |= kModCtrl;
    if (modifiers & Qt::AltModifier) mods |= kModAlt;
    return mods;
}

bool IsAltGrCharacter(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty()) return false;
    char16_t c = text.at(0).unicode();
    if (c < 0x20 || c == 0x7F) return false;
    Qt::KeyboardModifiers m = event->modifiers();
    if (m & Qt::GroupSwitchModifier) return true;
    if (!(m & Qt::ControlModifier) || !(m & Qt::AltModifier)) return false;
    // Ctrl+Alt with the key's own letter or digit is a key combination (Ctrl+Alt+S saves
    // under a new name); any other character is what AltGr typed on that key.
    int key = event->key();
    bool plain = (key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9);
    return !(plain && QChar(c).toUpper().unicode() == key);
}

int AcceleratorCommand(const QKeyEvent* event) {
    if (IsAltGrCharacter(event)) return -1;
    int vk = VirtualKeyFromQt(event->key());
    if (vk == 0) return -1;
    return FindAccelerator(vk, ModifiersFromQt(event->modifiers()));
}

}  // namespace varlin
