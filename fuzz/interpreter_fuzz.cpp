// libFuzzer target for the macro interpreter: every input is compiled against a command
// table like the editor's and, when it compiles, run with an abort callback that ends it
// after a thousand polls (a poll comes before each statement after a call or text work,
// and once per few thousand instructions of integer statements in loops), so that loops
// and text growth are fuzzed as well.
#include <cstddef>
#include <cstdint>

#include "Interpreter/MacroLib.h"

namespace {

const MacroCommand table[] = {
    {"Find", 33, "C[]L", "String,Mode"},
    {"GetDrag", 75, "*L*L*L*L", "FromLine,FromCol,ToLine,ToCol"},
    {"GetTotalLines", 43, "", nullptr},
    {"InsertChar", 54, "L", "AsciiCode"},
    {"Print", 26, "", nullptr},
    {"Replace", 35, "C[]C[]L", "Find,Replace,Mode"},
    {nullptr, 0, nullptr, nullptr},
};

int polls = 0;

int32_t Abort() { return ++polls > 1000 ? 1 : 0; }

int32_t Function(int32_t actionId, OPERAND** operands, int32_t count, char*) {
    int32_t sum = actionId;
    for (int32_t i = 0; i < count; ++i) {
        if (operands[i]->Kind == 0) {
            for (const char* s = static_cast<const char*>(operands[i]->Value); *s; ++s)
                sum += *s;
        } else if (operands[i]->Kind == 2) {
            *static_cast<int32_t*>(operands[i]->Value) = sum;
        } else {
            sum ^= *static_cast<int32_t*>(operands[i]->Value);
        }
    }
    return sum;
}

void Quiet(void*, const char*) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    MacroLibError error{};
    if (MacroLib_Check("fuzz", text, size, table, &error) != MACROLIB_OK) {
        // The error must name a place inside the input.
        if (error.Line < 1 || error.Column < 1)
            __builtin_trap();
        return 0;
    }
    MacroLibInstance instance{};
    instance.Version = MACROLIB_VERSION;
    instance.Print = Quiet;
    instance.Error = &error;
    polls = 0;
    MacroLib_RunText(&instance, nullptr, "fuzz", text, size, table, Function, Abort, nullptr);
    return 0;
}
