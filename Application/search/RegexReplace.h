// The replace loop of a Replace command whose search text is a regular expression (used
// by ReplaceLoop.cpp only).
#pragma once

#include "search/FindSettings.h"

namespace varlin {

struct EditWindow;

// Replaces from the cursor on, asking at each match until ReplaceAll is set. Each match
// is replaced by the expansion of ReplaceString ($1, ${name}, \U...\E); the search goes on
// behind the inserted text, and after an empty match never at the same place again, so
// that "x*" by "-" turns "abc" into "-a-b-c-". Replacing all takes each line's matches in
// the line as it was, left to right, in one pass.
void RunRegexReplaceLoop(EditWindow& w, FindSettings& settings);

}  // namespace varlin
