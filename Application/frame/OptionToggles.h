// The three option switches of the frame's commands: insert mode (79), code table (81)
// and the view of blanks and tabs (401). They change the options in memory only; the
// settings sheet is what stores them.
#pragma once

#include "settings/Options.h"

namespace varlin {

constexpr int kVisibleBlankChar = 250;  // OEM middle dot
constexpr int kVisibleTabChar = 26;     // OEM right arrow

void ToggleInsertMode(Options& options);
// ANSI (2) becomes ASCII (1); any other value, a stored 0 included, becomes ANSI.
void ToggleCodeTable(Options& options);
// Visible dot and arrow become blanks, anything else becomes the dot and the arrow.
void ToggleViewChars(Options& options);

}  // namespace varlin
