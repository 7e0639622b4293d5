// Menu enabling: the state bits computed when a popup opens and the table that says which
// items need which bits. Items not in the table are always enabled.
#pragma once

#include <string>

namespace varlin {

enum MenuStateBits : int {
    kMenuModified = 1,        // the active document is modified
    kMenuCanUndo = 2,         // the undo record holds something
    kMenuRangeMarked = 4,     // the active document has a marked range
    kMenuDocumentActive = 16,
    kMenuNotRecording = 32,   // macro recording is off
    kMenuCanRedo = 64,        // the active document has an undone step to replay
};

// What the frame knows when a popup opens.
struct MenuState {
    bool recording = false;
    bool documentActive = false;
    bool modified = false;
    bool rangeMarked = false;
    bool canUndo = false;
    bool canRedo = false;
};

// The document bits are only taken while a document window is active.
int ComputeMenuFlags(const MenuState& state);

// True when every bit the table requires of this item is set in the flags.
bool IsMenuItemEnabled(int commandId, int flags);

constexpr int kLearnMacroItem = 89;
constexpr int kReadAsUtf8Item = 405;  // checked while the current document reads as UTF-8
constexpr int kLearnMacroOffText = 1700;  // "Makro &lernen ... F2 L"
constexpr int kLearnMacroOnText = 1701;   // "&Lernen beenden ... F2 L"

// String id of the text that replaces item 89's label in this state.
int LearnMacroTextId(int flags);

}  // namespace varlin
