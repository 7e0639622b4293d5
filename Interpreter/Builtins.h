// The interpreter's own functions (Print, Str, Val, …): their list in the command-table
// layout, which the program shows beside its own commands, and their implementations.
#pragma once

#include <string>

#include "Interpreter/Machine.h"
#include "Interpreter/Program.h"

namespace macrolib {

enum class Internal : int32_t {
    Print, Str, Val, Len, Chr, Asc, Mid, Pos, Upper, Lower, Beep, SendCommand, Count
};

// The list ended by a null Name, as Get_MacroLib_InternalFunctionList returns it.
const MacroCommand* InternalFunctionList();

// The function of that name (case-sensitive), or -1.
int FindInternal(const std::string& name);
int InternalArgumentCount(int id);
const char* InternalName(int id);

// Runs internal function `id` on its arguments. False with `error` set (naming the
// function) when an argument has the wrong kind or a value is out of range.
bool CallInternalFunction(int id, const Value* args, const RunHooks& hooks, Value& result,
                          std::string& error);

}  // namespace macrolib
