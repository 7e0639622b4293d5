// The accelerator table "Accel", in the order of the resource.
#include "resources/Accelerators.h"

namespace varlin {
namespace {

constexpr Accelerator kAccel[] = {
    {'A', kModCtrl, 233},  // Ctrl+A
    {'C', kModCtrl, 34},  // Ctrl+C
    {'F', kModCtrl, 40},  // Ctrl+F
    {'L', kModShift | kModCtrl | kModAlt, 303},  // Shift+Ctrl+Alt+L
    {'N', kModCtrl, 11},  // Ctrl+N
    {'O', kModCtrl, 12},  // Ctrl+O
    {'R', kModCtrl, 42},  // Ctrl+R
    {'R', kModAlt, 401},  // Alt+R
    {'S', kModCtrl, 13},  // Ctrl+S
    {'S', kModCtrl | kModAlt, 14},  // Ctrl+Alt+S
    {'V', kModCtrl, 35},  // Ctrl+V
    {kVkBack, 0, 56},  // Backspace
    {kVkDelete, 0, 32},  // Delete
    {kVkDelete, kModShift, 33},  // Shift+Delete
    {kVkDown, 0, 202},  // Down
    {kVkDown, kModCtrl, 217},  // Ctrl+Down
    {kVkDown, kModShift, 202},  // Shift+Down
    {kVkDown, kModShift | kModCtrl, 217},  // Shift+Ctrl+Down
    {kVkEnd, 0, 211},  // End
    {kVkEnd, kModCtrl, 213},  // Ctrl+End
    {kVkEnd, kModShift, 211},  // Shift+End
    {kVkEnd, kModShift | kModCtrl, 213},  // Shift+Ctrl+End
    {kVkEscape, 0, 15},  // Esc
    {kVkF1, 0, 121},  // F1
    {kVkF1, kModCtrl, 124},  // Ctrl+F1
    {kVkF1, kModAlt, 41},  // Alt+F1
    {kVkF1, kModCtrl | kModAlt, 125},  // Ctrl+Alt+F1
    {kVkF1, kModShift, 57},  // Shift+F1
    {kVkF12, kModCtrl, 40010},  // Ctrl+F12
    {kVkF12, kModAlt, 401},  // Alt+F12
    {kVkF4, kModCtrl, 15},  // Ctrl+F4
    {kVkF5, 0, 44},  // F5
    {kVkF6, 0, 45},  // F6
    {kVkF9, 0, 13},  // F9
    {kVkF9, kModShift, 14},  // Shift+F9
    {kVkHome, 0, 210},  // Home
    {kVkHome, kModCtrl, 212},  // Ctrl+Home
    {kVkHome, kModShift, 210},  // Shift+Home
    {kVkHome, kModShift | kModCtrl, 212},  // Shift+Ctrl+Home
    {kVkInsert, 0, 49},  // Insert
    {kVkInsert, kModCtrl, 34},  // Ctrl+Insert
    {kVkInsert, kModShift, 35},  // Shift+Insert
    {kVkLeft, 0, 204},  // Left
    {kVkLeft, kModCtrl, 214},  // Ctrl+Left
    {kVkLeft, kModShift, 204},  // Shift+Left
    {kVkLeft, kModShift | kModCtrl, 214},  // Shift+Ctrl+Left
    {kVkNext, 0, 206},  // Page Down
    {kVkNext, kModCtrl, 208},  // Ctrl+Page Down
    {kVkNext, kModShift, 206},  // Shift+Page Down
    {kVkNext, kModShift | kModCtrl, 208},  // Shift+Ctrl+Page Down
    {kVkPrior, 0, 205},  // Page Up
    {kVkPrior, kModCtrl, 207},  // Ctrl+Page Up
    {kVkPrior, kModShift, 205},  // Shift+Page Up
    {kVkPrior, kModShift | kModCtrl, 207},  // Shift+Ctrl+Page Up
    {kVkReturn, 0, 55},  // Enter
    {kVkRight, 0, 203},  // Right
    {kVkRight, kModCtrl, 215},  // Ctrl+Right
    {kVkRight, kModShift, 203},  // Shift+Right
    {kVkRight, kModShift | kModCtrl, 215},  // Shift+Ctrl+Right
    {kVkTab, 0, 58},  // Tab
    {kVkTab, kModShift, 58},  // Shift+Tab
    {kVkUp, 0, 201},  // Up
    {kVkUp, kModCtrl, 216},  // Ctrl+Up
    {kVkUp, kModShift, 201},  // Shift+Up
    {kVkUp, kModShift | kModCtrl, 216},  // Shift+Ctrl+Up
    {'X', kModCtrl, 33},  // Ctrl+X
    {'Y', kModCtrl, 402},  // Ctrl+Y
    {'Z', kModCtrl, 31},  // Ctrl+Z
};

}  // namespace

std::span<const Accelerator> AcceleratorTable() { return kAccel; }

int FindAccelerator(int virtualKey, int modifiers) {
    for (const Accelerator& a : kAccel) {
        if (a.key == virtualKey && a.modifiers == modifiers) return a.commandId;
    }
    return -1;
}

}  // namespace varlin
