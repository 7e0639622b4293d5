// The accelerator table "Accel": keys that run a CommandId wherever the frame has the
// focus. Keys are Windows virtual-key codes so that the table, the prefix-key tables and
// macro scripts share one notation; the Qt frame maps its key codes onto them.
#pragma once

#include <span>

namespace varlin {

// Virtual-key codes used by the tables (letters and digits are their capital ASCII code).
enum VirtualKey : int {
    kVkBack = 8, kVkTab = 9, kVkReturn = 13, kVkShift = 16, kVkControl = 17, kVkMenu = 18,
    kVkEscape = 27, kVkSpace = 32, kVkPrior = 33, kVkNext = 34, kVkEnd = 35, kVkHome = 36,
    kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40, kVkInsert = 45, kVkDelete = 46,
    kVkF1 = 112, kVkF2, kVkF3, kVkF4, kVkF5, kVkF6, kVkF7, kVkF8, kVkF9, kVkF10, kVkF11, kVkF12,
};

enum KeyModifiers : int { kModNone = 0, kModShift = 1, kModCtrl = 2, kModAlt = 4 };

struct Accelerator {
    int key;        // virtual-key code
    int modifiers;  // exactly these of Shift, Ctrl and Alt must be held
    int commandId;
};

std::span<const Accelerator> AcceleratorTable();

// The CommandId for a key with exactly these modifiers, or -1 when the table has none.
int FindAccelerator(int virtualKey, int modifiers);

}  // namespace varlin
