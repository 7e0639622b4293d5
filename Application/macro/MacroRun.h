// Running a macro: the two functions the interpreter calls back (a function of the
// command table; the question whether to stop) and RunMacroFile, which hands a script
// file, the command table and the program's hooks (Print, Beep, SendCommand, errors) to
// the interpreter. A run is synchronous; the editor keeps no state about it beyond the
// nesting depth and a stop request.
#pragma once

#include "Interpreter/MacroLib.h"

#include <cstdint>
#include <string>

namespace varlin {

struct Application;

// A call of a table function. New, Open, SetLanguage, CloseAll, the four arrangements
// and ToggleInsertMode are the frame's (0); every other number goes to the action
// dispatcher of the active document window, or gives -1 when there is none.
std::int32_t Macro_Function_Callback(std::int32_t actionId, OPERAND** operands,
                                     std::int32_t count, char* userData);
// Asked between statements: 1 after a stop request, or when Escape was pressed and the
// user answers Yes to message 1307; else 0.
std::int32_t Macro_Abort_Callback();

// How a failed run is told: the editor shows message 1115, batch mode writes the
// "FILE:LINE:COL: text" line to standard error.
enum class MacroErrorReport { Message, ErrorLine };
void SetMacroErrorReport(MacroErrorReport report);

// Runs the script file with the command table; app is the user data the callbacks get
// (may be null). Returns MACROLIB_OK, MACROLIB_FAILED or MACROLIB_STOPPED. A run nested
// deeper than kMaxMacroNesting (a script that runs itself) fails without running.
int RunMacroFile(Application* app, const std::string& fileName);
constexpr int kMaxMacroNesting = 16;

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
