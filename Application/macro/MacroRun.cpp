// The callbacks of a macro run and RunMacroFile. The instance record handed to the
// interpreter carries the program's hooks: Print and Beep go to the host, SendCommand to
// the frame's command routing (the road of a menu item), errors to message 1115 or to
// standard error.
#include "macro/MacroRun.h"

#include "editing/Dispatch.h"
#include "editing/EditWindow.h"
#include "frame/FrameCommands.h"
#include "macro/MacroCommands.h"
#include "macro/Recording.h"
#include "platform/Host.h"
#include "platform/Messages.h"

#include <atomic>
#include <cstdio>

namespace varlin {
namespace {

std::atomic<int> g_stopRequested{0};
static_assert(std::atomic<int>::is_always_lock_free, "the stop flag is set from a signal handler");
MacroErrorReport g_errorReport = MacroErrorReport::Message;
int g_nesting = 0;
MacroLibError g_lastError{};

const char* FirstText(OPERAND** operands, std::int32_t count) {
    if (operands == nullptr || count < 1 || operands[0] == nullptr) return nullptr;
    return static_cast<const char*>(operands[0]->Value);
}

void PrintHook(void*, const char* text) { HostPrintLine(text ? text : ""); }
void BeepHook(void*) { HostBeep(); }
std::int32_t SendCommandHook(void*, void*, std::int32_t commandId) {
    return SendFrameCommand(commandId);
}

void ReportErrorHook(void*, const MacroLibError* error) {
    if (error == nullptr) return;
    if (g_errorReport == MacroErrorReport::ErrorLine) {
        char line[1024];
        MacroLib_FormatError(error, line, sizeof line);
        std::fprintf(stderr, "%s\n", line);
        std::fflush(stderr);
        return;
    }
    // The user stopped it: nothing to tell.
    if (error->Kind != MACROLIB_ABORTED) ShowMessage(kMacroBrokenMessage);
}

}  // namespace

std::int32_t Macro_Function_Callback(std::int32_t actionId, OPERAND** operands,
                                     std::int32_t count, char*) {
    switch (actionId) {
    case kMacroNew: FrameOpenDocument(""); return 0;
    case kMacroOpen: {
        const char* name = FirstText(operands, count);
        if (name == nullptr) return -1;
        if (FrameOpenDocument(name) == 0) RecordFileName(kMacroOpen, name);
        return 0;
    }
    case kMacroSetLanguage: return 0;
    case kMacroCloseAll: FrameCloseAll(); return 0;
    case kMacroArrangeCols: FrameArrange(1); return 0;
    case kMacroArrangeRows: FrameArrange(2); return 0;
    case kMacroArrangeCascade: FrameArrange(4); return 0;
    case kMacroArrangeTile: FrameArrange(3); return 0;
    case kMacroToggleInsertMode: FrameToggleInsertMode(); return 0;
    default: break;
    }
    EditWindow* w = ActiveEditWindow();
    if (w == nullptr) return -1;
    return DispatchAction(*w, actionId, operands, count);
}

std::int32_t Macro_Abort_Callback() {
    if (MacroStopRequested()) return 1;
    if (!HostPollEscape()) return 0;
    return ShowMessage(kMacroStopQuestion) == IdYes ? 1 : 0;
}

void SetMacroErrorReport(MacroErrorReport report) { g_errorReport = report; }

int RunMacroFile(Application* app, const std::string& fileName) {
    MacroLibError error{};
    MacroLibInstance instance{};
    instance.Version = MACROLIB_VERSION;
    instance.Context = app;
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
        ReportErrorHook(app, &error);
        g_lastError = error;
        return MACROLIB_FAILED;
    }
    // The file name in double quotes, as the interpreter's command text expects it. The
    // name is not cut: a cut name would run another file.
    const std::string commandText = "\"" + fileName + "\"";
    ++g_nesting;
    int result = Run_Macro(&instance, nullptr, commandText.c_str(), MacroCommandTable(),
                           Macro_Function_Callback, Macro_Abort_Callback,
                           reinterpret_cast<char*>(app), MACROLIB_VERSION, 0);
    --g_nesting;
    g_lastError = error;
    return result;
}

const MacroLibError& LastMacroError() { return g_lastError; }

void RequestMacroStop() { g_stopRequested.store(1, std::memory_order_relaxed); }
void ClearMacroStop() { g_stopRequested.store(0, std::memory_order_relaxed); }
bool MacroStopRequested() { return g_stopRequested.load(std::memory_order_relaxed) != 0; }

}  // namespace varlin
