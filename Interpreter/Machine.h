// The machine: runs a compiled program statement by statement, asking the abort callback
// between statements and calling the program back for its command-table functions.
#pragma once

#include <string>

#include "Interpreter/MacroLib.h"
#include "Interpreter/Program.h"

namespace macrolib {

// What a run may reach outside the script; any pointer may be null.
struct RunHooks {
    const MacroLibInstance* instance = nullptr;
    void* mainWindow = nullptr;
    const MacroCommand* table = nullptr;
    MacroFunctionCallback function = nullptr;
    MacroAbortCallback abort = nullptr;
    char* userData = nullptr;
};

// Why a run stopped early.
struct RunFailure {
    int32_t kind = MACROLIB_NO_ERROR;   // MACROLIB_RUN_ERROR or MACROLIB_ABORTED
    Position where;
    std::string text;
};

// Runs the program; returns MACROLIB_OK, MACROLIB_FAILED or MACROLIB_STOPPED.
int32_t Execute(const Program& program, const RunHooks& hooks, RunFailure& failure);

}  // namespace macrolib
