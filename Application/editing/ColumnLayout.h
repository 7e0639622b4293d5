// Positions across a change of the column layout. Positions are display columns, which
// depend on the line-number margin and the tab step; when the options change either
// (the settings sheet), every document window's cursor, range and remembered positions
// move along so that they stay on the same characters.
#pragma once

#include "settings/Options.h"

namespace varlin {

struct EditWindow;

// The options that decide where a character's display column lies.
struct ColumnLayout {
    bool lineNumbers = true;
    int tabStep = 8;
};
ColumnLayout ColumnLayoutOf(const Options& options);

// Moves one position from the layout before to the current one: a column on a character
// goes to that character's column, one inside a tab to the tab's start, one beyond the
// end of the line keeps its distance from the end, one inside the old margin goes to
// the start of the text.
int FollowColumn(const EditWindow& w, int line, int col, const ColumnLayout& before);

// Moves the positions of every document window after the options went from before to
// their current values; nothing when the layout is the same. The undo step is forgotten,
// since its columns belong to the old layout.
void FollowColumnLayout(const Options& before);
void FollowColumnLayout(EditWindow& w, const ColumnLayout& before);

}  // namespace varlin
