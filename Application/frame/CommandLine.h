// The command line: usage text and batch mode (running a macro script on files without
// a window, as "sed -i" runs a script).
#pragma once

namespace varlin {

extern const char* const kUsageText;

// Runs "varlin --run SCRIPT [options] [FILE...]"; returns the exit status
// (0 done, 1 script error or error message, 2 bad command line, 130 aborted).
int RunBatch(int argc, char** argv);

}  // namespace varlin
