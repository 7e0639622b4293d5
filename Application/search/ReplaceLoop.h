// The replace loop of one Replace command (used by FindReplace.cpp only).
#pragma once

#include "search/FindSettings.h"

namespace varlin {

struct EditWindow;

// Replaces from the cursor on: asks at each hit until ReplaceAll is set, then replaces the
// rest without asking. The request has been recorded and stored by the caller.
void RunReplaceLoop(EditWindow& w, FindSettings& settings);

}  // namespace varlin
