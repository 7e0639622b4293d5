// Running a macro: the question whether to stop, which the interpreter asks between
// statements, and RunMacroFile, which hands a script file, the command table and the
// program's hooks (Print, Beep, SendCommand, errors) to the interpreter. A run is synchronous; the editor keeps no state about it beyond the
// nesting depth and a stop request.
#pragma once

#include "Interpreter/MacroLib.h"

#include <cstdint>
#include <string>

namespace varlin {

// What a run reaches above this folder, handed over by the frame when it installs the
// owner of the windows: the carrying out of a table function (Macro_Function_Callback),
// the road of a menu item (SendCommand) and the opening of a document (the learned macro
// or a macro file to edit). A missing one gives -1.
struct MacroRunHooks {
    MacroFunctionCallback callFunction = nullptr;
    int (*sendCommand)(int commandId) = nullptr;
    int (*openDocument)(const std::string& fileName) = nullptr;
};
void SetMacroRunHooks(const MacroRunHooks& hooks);
// Opens a document through the hooks; 0, or -1 when it was not opened.
int OpenDocumentForMacros(const std::string& fileName);
// Asked between statements: 1 after a stop request, or when Escape was pressed and the
// user answers Yes to message 1307; else 0.
std::int32_t Macro_Abort_Callback();

// How a failed run is told: the editor shows message 1115, batch mode writes the
// "FILE:LINE:COL: text" line to standard error.
enum class MacroErrorReport { Message, ErrorLine };
void SetMacroErrorReport(MacroErrorReport report);

// Whether a running script asks the host for the Escape key before each statement (on
// by default). Batch mode has no keyboard: Ctrl+C and --timeout stop its scripts.
void SetMacroEscapePolling(bool on);

// Runs the script file with the command table. Returns MACROLIB_OK, MACROLIB_FAILED or MACROLIB_STOPPED. A run nested
// deeper than kMaxMacroNesting (a script that runs itself) fails without running.
int RunMacroFile(const std::string& fileName);
constexpr int kMaxMacroNesting = 16;
// Whether a script is running now (files handed to the frame wait until it ends).
bool MacroRunning();

// How many runs have failed since the program started, nested ones and those refused by
// the nesting limit included: a caller compares it before and after its own run, since a
// script may go on after a macro it started through SendCommand has failed.
int MacroFailureCount();

// The error record of the last run that ended (Kind 0 after a success).
const MacroLibError& LastMacroError();

// A stop request from outside the script (Ctrl+C, a time limit); safe to call from a
// signal handler or another thread. It stays until cleared.
void RequestMacroStop();
void ClearMacroStop();
bool MacroStopRequested();

constexpr int kMacroBrokenMessage = 1115;
constexpr int kMacroStopQuestion = 1307;

}  // namespace varlin
