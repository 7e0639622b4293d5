// Batch mode: runs a macro script on files without a window. Each FILE becomes a document
// of an EditWindow with headless ViewHooks, the script runs with it active, a changed
// document is saved (unless --no-save) and closed without questions. Messages go to
// standard error as "varlin: <id> <text>", questions get the --answer, dialogs are
// cancelled, Print writes to standard output.
#pragma once

#include "frame/CommandLine.h"

#include <string>

namespace varlin {

// Uses the settings file of --settings (the window program's too), made empty when it
// does not exist yet. A folder, a pipe, a device or an unreadable file is refused with a
// message: false.
bool UseSettingsFile(const std::string& name);

// Carries out checked arguments; returns the exit status (BatchExit).
int RunBatch(const BatchArguments& arguments);

}  // namespace varlin
