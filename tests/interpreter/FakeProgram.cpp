// The fake program of the interpreter tests (see FakeProgram.h).
#include "FakeProgram.h"

namespace fake {

const MacroCommand table[] = {
    {"Backspace", 38, "", nullptr},
    {"Find", 33, "C[]L", "String,Mode"},
    {"GetDrag", 75, "*L*L*L*L", "FromLine,FromCol,ToLine,ToCol"},
    {"GetTotalLines", 43, "", nullptr},
    {"InsertChar", 54, "L", "AsciiCode"},
    {"InsertText", 55, "C[]", "Text"},
    {"Open", 22, "C[]", "Filename"},
    {"Print", 26, "", nullptr},
    {"Replace", 35, "C[]C[]L", "Find,Replace,Mode"},
    {"SetCaret", 57, "LL", "Line,Column"},
    {nullptr, 0, nullptr, nullptr},
};

int abortPolls = 0;
int abortStopAt = 0;

int32_t AbortCallback() {
    ++abortPolls;
    return abortStopAt > 0 && abortPolls >= abortStopAt ? 1 : 0;
}

namespace {

int32_t FunctionCallback(int32_t actionId, OPERAND** operands, int32_t count, char* userData) {
    auto* program = reinterpret_cast<Program*>(userData);
    Call call;
    call.actionId = actionId;
    for (int32_t i = 0; i < count; ++i) {
        const OPERAND* op = operands[i];
        if (op->Kind == 0)
            call.args.push_back(static_cast<const char*>(op->Value));
        else
            call.args.push_back(std::to_string(*static_cast<int32_t*>(op->Value)));
    }
    if (actionId == 75 && program->writeDrag) {   // GetDrag fills 1, 2, 3, 4
        for (int32_t i = 0; i < count; ++i)
            *static_cast<int32_t*>(operands[i]->Value) = i + 1;
    }
    program->calls.push_back(call);
    return program->nextResult;
}

void PrintHook(void* context, const char* text) {
    static_cast<Program*>(context)->printed.push_back(text);
}

void BeepHook(void* context) { ++static_cast<Program*>(context)->beeps; }

int32_t SendCommandHook(void* context, void*, int32_t commandId) {
    static_cast<Program*>(context)->commands.push_back(commandId);
    return 7;
}

void ReportHook(void* context, const MacroLibError* error) {
    char line[1024];
    MacroLib_FormatError(error, line, sizeof line);
    static_cast<Program*>(context)->reported.push_back(line);
}

}  // namespace

Program::Program() {
    instance.Version = MACROLIB_VERSION;
    instance.Context = this;
    instance.Print = PrintHook;
    instance.Beep = BeepHook;
    instance.SendCommand = SendCommandHook;
    instance.ReportError = ReportHook;
    instance.Error = &error;
}

int32_t Program::run(const std::string& script, const char* name) {
    abortPolls = 0;
    return MacroLib_RunText(&instance, nullptr, name, script.data(), script.size(), table,
                            FunctionCallback, AbortCallback, reinterpret_cast<char*>(this));
}

std::string Program::errorLine() const {
    char line[1024];
    MacroLib_FormatError(&error, line, sizeof line);
    return line;
}

std::string Script(const std::string& body, const std::string& declarations) {
    return "Macro \"T\"\n" + declarations + "begin\n" + body + "\nend\n";
}

}  // namespace fake
