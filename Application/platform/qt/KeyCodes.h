// Qt key events in the notation of the key tables: Windows virtual-key codes and the
// Shift / Ctrl / Alt bits. Shared by the accelerators and the prefix keys.
#pragma once

#include <Qt>

class QKeyEvent;

namespace varlin {

// The virtual-key code of a Qt key, or 0 for keys the tables cannot name (characters
// such as @ or { that only exist as typed text).
int VirtualKeyFromQt(int qtKey);

// Shift, Ctrl and Alt of a Qt modifier set as kModShift | kModCtrl | kModAlt.
int ModifiersFromQt(Qt::KeyboardModifiers modifiers);

// True for a printable character typed with AltGr (reported as AltGr, or as Ctrl+Alt as
// Windows does) other than the key's own letter: such a key types, it never runs an
// accelerator.
bool IsAltGrCharacter(const QKeyEvent* event);

// The accelerator table's CommandId for a key event, or -1.
int AcceleratorCommand(const QKeyEvent* event);

}  // namespace varlin
