// A compiled script: the byte code of a small stack machine with every name already
// resolved to a variable slot, a command-table entry or an internal function, so that
// running it never looks a name up. The compiler builds it; the machine runs it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Interpreter/MacroLib.h"

namespace macrolib {

// Limits that keep a hostile script from hurting the program that runs it.
constexpr size_t MaxScriptBytes = 4u << 20;     // larger files are refused
constexpr size_t MaxTextBytes = 16u << 20;      // no text value grows beyond this
constexpr int MaxNesting = 200;                 // blocks, parentheses and unary operators together
constexpr int MaxArguments = 64;                // arguments of one call

// A value of the language: a 32-bit integer, or a text when `text` is set. Texts are
// shared, so copying a value is cheap; a text is changed in place only by the value that
// holds its only reference (`s := s + t` appends instead of copying s).
struct Value {
    int32_t number = 0;
    std::shared_ptr<std::string> text;

    bool isText() const { return text != nullptr; }
};

inline Value IntegerValue(int32_t number) {
    Value v;
    v.number = number;
    return v;
}

inline Value TextValue(std::string s) {
    Value v;
    v.text = std::make_shared<std::string>(std::move(s));
    return v;
}

// A place in the script, 1-based.
struct Position {
    int32_t line = 0;
    int32_t column = 0;
};

// How often a running script asks the abort callback. A statement outside loops runs
// once, so it asks every time (weight PollAlways). Inside loops a statement weighs its
// instructions, and the callback is asked once that many instructions have piled up: a
// round of a loop costs nanoseconds, a call of the callback more than the round itself.
// A call of a function or work on texts can take long, so the statement after one asks
// again whatever its weight.
constexpr int32_t InstructionsBetweenPolls = 4096;
constexpr int32_t PollAlways = InstructionsBetweenPolls + 1;

enum class Op : uint8_t {
    PushInt,        // a: the integer
    PushText,       // a: index into texts
    Load,           // a: slot
    LoadMove,       // a: slot; moves the value out (the statement stores the variable and reads it no more)
    Store,          // a: slot; pops
    Pop,
    Add, Sub, Mul, Div, Mod, Neg,
    // An operator with a constant right side. a: the constant; b and shift: for div and
    // mod by 2 or more, the constant's reciprocal (Reciprocal.h).
    AddConst, SubConst, MulConst, DivConst, ModConst,
    // The same with a variable on the left (x mod 7); c: the variable. Pushes the result.
    LoadAddConst, LoadSubConst, LoadMulConst, LoadDivConst, LoadModConst,
    // The same with the result stored (x := … mod 7); c: the variable. Pops the left side.
    AddConstStore, SubConstStore, MulConstStore, DivConstStore, ModConstStore,
    // An operator with a variable on the left and the top value on the right (n + i * 3).
    // a: the variable; b: 1 when the statement stores into it and reads it no more (its
    // text may be taken, as LoadMove does).
    AddVariable, SubVariable, MulVariable,
    Eq, Ne, Lt, Le, Gt, Ge,
    Not,
    Truth,          // the top must be an integer; it becomes 0 or 1
    AndJump,        // a: target; when the top is 0 jump and keep it, else pop it
    OrJump,         // a: target; when the top is 1 jump and keep it, else pop it
    Jump,           // a: target
    JumpIfFalse,    // a: target; pops an integer
    Check,          // asks the abort callback; a: the statement's weight (see PollAlways)
    ForTest,        // a: variable, b: limit slot, c: target when the variable is past the limit
    ForNext,        // a: variable, b: limit slot, c: target of the next round
    ForNextCheck,   // ForNext whose target follows a Check, which it does itself
    IncrementBy,    // a: slot, b: constant; slot := slot + b (the shape of a counting loop)
    CheckIncrementBy,  // Check (weight 1; only inside loops), then IncrementBy; c: index into fused
    CheckIncrementJumpIfLess,  // CheckIncrementBy, then a loop's JumpIfLess as fused[c] says
    // The same when the loop tests the variable it counts (while i < n do … i := i + 1):
    // a: slot, step: the increment, b: the limit, c: the target; fused[] holds the
    // operator's place under this instruction's index.
    CountJumpIfLess,
    LessConst,      // a: constant; top := top < a (top an integer)
    JumpUnlessLess, // a: slot, b: constant, c: target; jump unless slot < b (a loop's test)
    JumpIfLess,     // a: slot, b: constant, c: target; jump if slot < b (the same test at the loop's foot)
    JumpIfLessCheck,  // JumpIfLess whose target follows a Check, which it does itself
    CallTable,      // a: index into calls; pops the value arguments, pushes the result
    CallInternal,   // a: internal function, b: argument count; pops them, pushes the result
    Exit,
};

// The operands of a fused instruction that do not fit an instruction: the place of a
// counting statement's operator, and the test at a loop's foot that may follow it.
struct FusedStep {
    Position operatorAt;
    int32_t at = -1;          // the CountJumpIfLess it belongs to, else -1
    int32_t testSlot = 0;
    int32_t limit = 0;
    int32_t target = 0;
    Position testAt;
};

struct Instruction {
    Op op;
    uint8_t shift = 0;   // the reciprocal's shift of DivConst and ModConst and their kin, else 0
    int16_t step = 0;    // the increment of CountJumpIfLess
    int32_t a = 0;
    int32_t b = 0;
    int32_t c = 0;
};

// How one argument of a command-table function is passed.
enum class ArgKind : int32_t { Text = 0, Integer = 1, IntegerOut = 2 };

// A call of a command-table function, as the compiler found it.
struct CallSite {
    int32_t entry = 0;                 // index into the command table
    std::vector<ArgKind> kinds;        // one per argument
    std::vector<int32_t> outSlots;     // the variable of each "*L" argument, else -1
};

struct Program {
    std::vector<Instruction> code;
    std::vector<Position> positions;   // one per instruction, read only for errors
    std::vector<FusedStep> fused;      // operands of fused instructions
    std::vector<std::shared_ptr<std::string>> texts;  // text literals, never changed
    std::vector<CallSite> calls;
    std::vector<std::string> slotNames;  // variables, then hidden loop limits
    int32_t slotCount = 0;
    int32_t maxStack = 0;
    std::string description;           // from Macro "…"
};

// Splits a signature into argument kinds; false when it holds an unknown code.
bool ParseSignature(const char* signature, std::vector<ArgKind>& kinds);

}  // namespace macrolib
