// The callbacks of a macro run and RunMacroFile. The instance record handed to the
// interpreter carries the program's hooks: Print and Beep go to the host, SendCommand to
// the frame's command routing (the road of a menu item, through MacroRunHooks), errors
// to message 1115 or to standard error.
#include "macro/MacroRun.h"

#include "editing/MacroCommands.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "platform/StopRequest.h"

#include <cerrno>
#include <cstdio>

namespace varlin {
namespace {

MacroErrorReport g_errorReport = MacroErrorReport::Message;
bool g_pollEscape = true;
int g_nesting = 0;
int g_failures = 0;
MacroLibError g_lastError{};

MacroRunHooks g_hooks;

void PrintHook(void*, const char* text) { HostPrintLine(text ? text : ""); }
void BeepHook(void*) { HostBeep(); }
std::int32_t SendCommandHook(void*, void*, std::int32_t commandId) {
    return g_hooks.sendCommand ? g_hooks.sendCommand(commandId) : -1;
}

std::int32_t CallFunction(std::int32_t actionId, OPERAND** operands, std::int32_t count,
                          char* userData) {
    if (g_hooks.callFunction == nullptr) return -1;
    return g_hooks.callFunction(actionId, operands, count, userData);
}

void ReportErrorHook(void*, const MacroLibError* error) {
    if (error == nullptr) return;
    char line[1024];
    MacroLib_FormatError(error, line, sizeof line);
    if (g_errorReport == MacroErrorReport::ErrorLine) {
        std::fprintf(stderr, "%s\n", line);
        std::fflush(stderr);
        return;
    }
    // The user stopped it: nothing to tell.
    if (error->Kind == MACROLIB_ABORTED) return;
    // The message says what failed; the line below it says where ("FILE:LINE:COL: text").
    // A script that cannot be opened is told with the program's own file message, in the
    // user's language like the message above it.
    MessageRequest request = BuildMessageRequest(kMacroBrokenMessage);
    request.text += "\n\n";
    std::FILE* file = nullptr;
    if (error->Kind == MACROLIB_FILE_ERROR && error->File[0] != '\0' &&
        (file = std::fopen(error->File, "rb")) == nullptr) {
        request.text += BuildMessageRequest(MessageIdForErrno(errno), error->File).text;
    } else {
        request.text += line;
    }
    if (file) std::fclose(file);
    HostShowMessage(request);
}

}  // namespace

void SetMacroRunHooks(const MacroRunHooks& hooks) { g_hooks = hooks; }

int OpenDocumentForMacros(const std::string& fileName) {
    return g_hooks.openDocument ? g_hooks.openDocument(fileName) : -1;
}

// Asked between the statements of a script (see the interpreter's "Stopping a script"):
// one load, and one call of the host where a keyboard may press Escape.
std::int32_t Macro_Abort_Callback() {
    if (StopRequested()) return 1;
    if (!g_pollEscape || !HostPollEscape()) return 0;
    return ShowMessage(kMacroStopQuestion) == IdYes ? 1 : 0;
}

void SetMacroErrorReport(MacroErrorReport report) { g_errorReport = report; }
void SetMacroEscapePolling(bool on) { g_pollEscape = on; }

bool MacroRunning() { return g_nesting > 0; }

int RunMacroFile(const std::string& fileName) {
    MacroLibError error{};
    MacroLibInstance instance{};
    instance.Version = MACROLIB_VERSION;
    instance.Print = PrintHook;
    instance.Beep = BeepHook;
    instance.SendCommand = SendCommandHook;
    instance.ReportError = ReportErrorHook;
    instance.Error = &error;
    if (g_nesting >= kMaxMacroNesting) {
        // A script that runs itself (through SendCommand) would otherwise recurse until
        // the stack runs out.
        error.Kind = MACROLIB_RUN_ERROR;
        std::snprintf(error.File, sizeof error.File, "%s", fileName.c_str());
        std::snprintf(error.Text, sizeof error.Text, "macros nested deeper than %d levels",
                      kMaxMacroNesting);
        ReportErrorHook(nullptr, &error);
        g_lastError = error;
        ++g_failures;
        return MACROLIB_FAILED;
    }
    // The file name in double quotes, as the interpreter's command text expects it. The
    // name is not cut: a cut name would run another file.
    const std::string commandText = "\"" + fileName + "\"";
    ++g_nesting;
    int result = Run_Macro(&instance, nullptr, commandText.c_str(), MacroCommandTable(),
                           CallFunction, Macro_Abort_Callback, nullptr, MACROLIB_VERSION, 0);
    --g_nesting;
    g_lastError = error;
    if (result == MACROLIB_FAILED) ++g_failures;
    return result;
}

int MacroFailureCount() { return g_failures; }

const MacroLibError& LastMacroError() { return g_lastError; }

void RequestMacroStop() { RequestStop(); }
void ClearMacroStop() { ClearStopRequest(); }
bool MacroStopRequested() { return StopRequested(); }

}  // namespace varlin
