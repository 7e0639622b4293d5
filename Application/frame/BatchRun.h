// Batch mode: runs a macro script on files without a window. Each FILE becomes a document
// of an EditWindow with headless ViewHooks, the script runs with it active, a changed
// document is saved (unless --no-save) and closed without questions. Messages go to
// standard error as "varlin: <id> <text>", questions get the --answer, dialogs are
// cancelled, Print writes to standard output.
#pragma once

#include "frame/CommandLine.h"

namespace varlin {

// Carries out checked arguments; returns the exit status (BatchExit).
int RunBatch(const BatchArguments& arguments);

}  // namespace varlin
