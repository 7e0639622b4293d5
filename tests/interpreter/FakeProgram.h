// A stand-in for the program that runs macros: a small command table in the editor's
// layout, a function callback that records every call, hooks that collect printed lines,
// beeps and sent commands, and an abort callback that stops after a set number of polls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Interpreter/MacroLib.h"

namespace fake {

// One call that reached the program.
struct Call {
    int32_t actionId = 0;
    std::vector<std::string> args;   // texts as they are, integers in decimal
};

struct Program {
    std::vector<Call> calls;
    std::vector<std::string> printed;
    std::vector<int32_t> commands;
    int beeps = 0;
    int32_t nextResult = 0;          // what the next call of the table returns
    bool writeDrag = true;           // whether GetDrag fills its out-arguments
    MacroLibError error{};
    MacroLibInstance instance{};
    std::vector<std::string> reported;  // errors passed to ReportError, formatted

    Program();
    // Runs a script held in memory; returns what MacroLib_RunText returns.
    int32_t run(const std::string& script, const char* name = "test.vlm");
    // The error line, "FILE:LINE:COL: text".
    std::string errorLine() const;
};

// The command table: a few real entries of the editor's table, sorted by name.
extern const MacroCommand table[];

// The abort callback stops the script at poll number `stopAt` (0: never); `polls` counts.
extern int abortPolls;
extern int abortStopAt;
int32_t AbortCallback();

// The first line of a script, with its begin: "Macro \"T\"\n<declarations>begin\n".
std::string Script(const std::string& body, const std::string& declarations = "");

}  // namespace fake
