// The library's entry points: reading a script file, compiling it against the program's
// command table, running it, and reporting a failure through the error record and the
// program's ReportError hook. No exception leaves these calls.
#include "Interpreter/MacroLib.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "Interpreter/Builtins.h"
#include "Interpreter/Compiler.h"
#include "Interpreter/Lexer.h"
#include "Interpreter/Machine.h"

namespace {

using namespace macrolib;

void CopyText(char* target, size_t size, const std::string& text) {
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

void SetError(MacroLibError& error, int32_t kind, const std::string& file, Position where,
              const std::string& text) {
    error.Kind = kind;
    error.Line = where.line;
    error.Column = where.column;
    CopyText(error.File, sizeof error.File, file);
    CopyText(error.Text, sizeof error.Text, text);
}

// The instance record, when the program gave one of this version.
const MacroLibInstance* InstanceOf(void* instance) {
    auto* record = static_cast<const MacroLibInstance*>(instance);
    return record && record->Version == MACROLIB_VERSION ? record : nullptr;
}

// Reads a whole script file; false with `problem` set. Files larger than the script limit
// are refused before they fill the memory.
bool ReadScript(const std::string& name, std::string& data, std::string& problem) {
    std::FILE* file = name.empty() ? nullptr : std::fopen(name.c_str(), "rb");
    if (!file) {
        problem = std::string("cannot open the script: ") +
                  (name.empty() ? "no file name" : std::strerror(errno));
        return false;
    }
    data.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        data.append(buffer, n);
        if (data.size() > MaxScriptBytes) {
            std::fclose(file);
            problem = "script larger than " + std::to_string(MaxScriptBytes >> 20) + " MiB";
            return false;
        }
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        problem = "cannot read the script";
        return false;
    }
    return true;
}

// The file name of a command text: the text inside its first pair of double quotes, or
// the whole text without surrounding blanks.
std::string FileNameOf(const char* commandText) {
    std::string text = commandText ? commandText : "";
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    if (text[first] == '"') {
        size_t close = text.find('"', first + 1);
        return text.substr(first + 1, close == std::string::npos ? std::string::npos
                                                                  : close - first - 1);
    }
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Ends a run: fills the error record and tells the program of a failure.
int32_t Finish(const MacroLibInstance* instance, int32_t result, const MacroLibError& error) {
    if (instance && instance->Error)
        *instance->Error = error;
    if (result != MACROLIB_OK && instance && instance->ReportError)
        instance->ReportError(instance->Context, &error);
    return result;
}

int32_t RunScript(void* instance, void* mainWindow, const std::string& name, const char* text,
                  size_t length, const MacroCommand* table, MacroFunctionCallback function,
                  MacroAbortCallback abort, char* userData) {
    const MacroLibInstance* record = InstanceOf(instance);
    MacroLibError error{};
    SetError(error, MACROLIB_NO_ERROR, name, {}, "");
    try {
        Program program;
        CompileError compileError;
        if (!Compile(text, length, table, program, compileError)) {
            SetError(error, MACROLIB_SYNTAX_ERROR, name, compileError.where, compileError.text);
            return Finish(record, MACROLIB_FAILED, error);
        }
        RunHooks hooks;
        hooks.instance = record;
        hooks.mainWindow = mainWindow;
        hooks.table = table;
        hooks.function = function;
        hooks.abort = abort;
        hooks.userData = userData;
        RunFailure failure;
        int32_t result = Execute(program, hooks, failure);
        if (result != MACROLIB_OK)
            SetError(error, failure.kind, name, failure.where, failure.text);
        return Finish(record, result, error);
    } catch (const std::bad_alloc&) {
        SetError(error, MACROLIB_RUN_ERROR, name, {}, "out of memory");
    } catch (...) {
        SetError(error, MACROLIB_RUN_ERROR, name, {}, "internal error");
    }
    return Finish(record, MACROLIB_FAILED, error);
}

}  // namespace

extern "C" {

int32_t Run_Macro(void* instance, void* mainWindow, const char* commandText,
                  const MacroCommand* table, MacroFunctionCallback function,
                  MacroAbortCallback abort, char* userData, int32_t version, int32_t /*reserved*/) {
    const MacroLibInstance* record = InstanceOf(instance);
    std::string name;
    std::string data;
    std::string problem;
    try {
        name = FileNameOf(commandText);
        if (version != MACROLIB_VERSION)
            problem = "interface version " + std::to_string(version) + " is not " +
                      std::to_string(MACROLIB_VERSION);
        else if (ReadScript(name, data, problem))
            return RunScript(instance, mainWindow, name, data.data(), data.size(), table, function,
                             abort, userData);
    } catch (...) {
        problem = "out of memory";
    }
    MacroLibError error{};
    SetError(error, MACROLIB_FILE_ERROR, name, {}, problem);
    return Finish(record, MACROLIB_FAILED, error);
}

int32_t MacroLib_RunText(void* instance, void* mainWindow, const char* name, const char* text,
                         size_t length, const MacroCommand* table, MacroFunctionCallback function,
                         MacroAbortCallback abort, char* userData) {
    return RunScript(instance, mainWindow, name ? name : "", text ? text : "", text ? length : 0,
                     table, function, abort, userData);
}

int32_t MacroLib_Check(const char* name, const char* text, size_t length,
                       const MacroCommand* table, MacroLibError* error) {
    MacroLibError record{};
    try {
        SetError(record, MACROLIB_NO_ERROR, name ? name : "", {}, "");
        Program program;
        CompileError compileError;
        if (!Compile(text ? text : "", text ? length : 0, table, program, compileError))
            SetError(record, MACROLIB_SYNTAX_ERROR, name ? name : "", compileError.where,
                     compileError.text);
    } catch (...) {
        SetError(record, MACROLIB_SYNTAX_ERROR, name ? name : "", {}, "out of memory");
    }
    if (error)
        *error = record;
    return record.Kind == MACROLIB_NO_ERROR ? MACROLIB_OK : MACROLIB_FAILED;
}

int32_t Get_MacroHeader(const char* fileName, char* buffer, int32_t size) {
    if (buffer && size > 0)
        buffer[0] = '\0';
    try {
        std::string data;
        std::string problem;
        if (!fileName || !ReadScript(fileName, data, problem))
            return -1;
        Lexer lexer(data.data(), data.size());
        if (lexer.next().kind != Tok::KwMacro)
            return -2;
        Token description = lexer.next();
        if (description.kind != Tok::Text)
            return -2;
        if (!buffer || size <= 0)
            return 0;
        CopyText(buffer, static_cast<size_t>(size), description.text);
        return static_cast<int32_t>(std::strlen(buffer));
    } catch (...) {
        return -1;
    }
}

const MacroCommand* Get_MacroLib_InternalFunctionList(int32_t version) {
    return version == MACROLIB_VERSION ? InternalFunctionList() : nullptr;
}

int32_t MacroLib_FormatError(const MacroLibError* error, char* buffer, int32_t size) {
    if (!error)
        return 0;
    char line[1024];
    int n = error->Line > 0
                ? std::snprintf(line, sizeof line, "%s:%d:%d: %s", error->File,
                                static_cast<int>(error->Line), static_cast<int>(error->Column),
                                error->Text)
                : std::snprintf(line, sizeof line, "%s: %s", error->File, error->Text);
    if (buffer && size > 0)
        CopyText(buffer, static_cast<size_t>(size), line);
    return n;
}

}  // extern "C"
