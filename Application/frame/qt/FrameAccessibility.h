// FrameAccessibility: how the frame's menus read to accessibility clients. A menu item's
// label carries its mnemonic ampersands and, after a tab, the shortcut text the menu shows
// at its right edge; a client gets the plain label as the name and the shortcut as the
// item's key binding.
#pragma once

#include <QString>

class QAction;
class QAccessibleInterface;

namespace varlin {

// Installs the factory of the menu items' interfaces; once is enough.
void InstallFrameAccessibility();

// A label without its mnemonic marks ("&&" stays one "&"), without its shortcut text and
// without the blanks that aligned it: "S&prung auf &Zeile...\tF2 G" is "Sprung auf Zeile...".
QString MenuItemName(const QString& label);
// The shortcut text after the tab, "" when there is none.
QString MenuItemShortcut(const QString& label);

}  // namespace varlin
