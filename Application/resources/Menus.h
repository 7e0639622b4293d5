// The two menu resources of the frame as data: 107 while no document window is open, 108
// while at least one is, in German and English. Labels carry their mnemonic ("&"); the
// shortcut text is kept beside the label and is only shown, never bound (the keys live
// in the accelerator table and the prefix-key tables).
#pragma once

#include <span>
#include <string>

namespace varlin {

enum MenuItemFlags : unsigned {
    kMenuPopup = 1,          // opens the child items
    kMenuSeparator = 2,
    kShortcutAfterTab = 4,   // the shortcut follows a tab instead of the right-aligning backspace
};

struct MenuItem {
    int id;                  // CommandId; 0 for popups and separators
    const char* label;       // German label with its mnemonic; trailing blanks belong to it
    const char* english;     // the label in English
    const char* shortcut;    // shortcut text shown beside the label, nullptr when none
    unsigned flags;
    std::span<const MenuItem> children;
};

constexpr int kMenuIdNoDocument = 107;
constexpr int kMenuIdDocument = 108;

// The top-level popups of menu 107 or 108; an empty span for any other id.
std::span<const MenuItem> MenuResource(int menuId);

// The first item with this CommandId anywhere in the menu, or nullptr.
const MenuItem* FindMenuItem(std::span<const MenuItem> menu, int commandId);

constexpr int kMenuLanguageEnglish = 44;

// The key of a label among the user's own English texts: "menu:" and the German label
// without the blanks that pad it.
std::string MenuOverrideKey(const MenuItem& item);

// The label and the shortcut text in a language (49 German, 44 English); in English the
// user's own text where there is one.
const char* MenuItemLabel(const MenuItem& item, int language);
std::string ShortcutText(const MenuItem& item, int language);

// The label as a resource holds it: label, then backspace (or tab) and the shortcut text.
std::string MenuItemResourceText(const MenuItem& item);

// The label without mnemonic markers ("&&" stays one "&"), for the status line.
std::string StripMnemonic(const std::string& label);

}  // namespace varlin
