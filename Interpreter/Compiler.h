// The compiler: parses a script and emits its byte code in one pass, resolving every
// name once against the declared variables, the program's command table and the
// interpreter's own functions.
#pragma once

#include <cstddef>
#include <string>

#include "Interpreter/MacroLib.h"
#include "Interpreter/Program.h"

namespace macrolib {

struct CompileError {
    Position where;
    std::string text;
};

// Compiles `length` bytes of script; false with `error` set at the first fault.
// `table` may be null (no command functions).
bool Compile(const char* data, size_t length, const MacroCommand* table, Program& program,
             CompileError& error);

}  // namespace macrolib
