// The option switches of the frame's commands: insert mode (79), code table (81 and the
// cycle 406 that takes in UTF-8 documents) and the view of blanks and tabs (401). They change the options in memory only; the
// settings sheet is what stores them.
#pragma once

#include "editing/EditWindow.h"
#include "settings/Options.h"

namespace varlin {

constexpr int kVisibleBlankChar = 250;  // OEM middle dot
constexpr int kVisibleTabChar = 26;     // OEM right arrow

void ToggleInsertMode(Options& options);
// ANSI (2) becomes ASCII (1); any other value, a stored 0 included, becomes ANSI.
void ToggleCodeTable(Options& options);
// The click on the status field "Code": ANSI, ASCII, then the active document as UTF-8,
// then ANSI again (a UTF-8 document goes back to the global table set to ANSI). Without a
// document the code table toggles as with command 81.
void CycleCodeTable(Options& options, EditWindow* active);
// Visible dot and arrow become blanks, anything else becomes the dot and the arrow.
void ToggleViewChars(Options& options);

}  // namespace varlin
