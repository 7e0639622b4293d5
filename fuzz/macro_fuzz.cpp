// The macro interpreter with the editor's callbacks: the input is a script, run as batch
// mode runs one (RunMacroFile, the editor's command table, Macro_Function_Callback, the
// frame's SendCommand road) with a small C source open as the active document, without
// a window. Dialogs are cancelled; questions are answered Yes, No or Cancel, by the
// script's length (so that the fuzzer, changing it, tries every answer).
//
// A script ends after kPollLimit polls of the stop flag (before every statement and in
// long loops) or kTimeLimit, through the stop request that Ctrl+C and --timeout use, so
// that endless loops end quickly. The four actions that take a file name reach only
// plain names, in the scratch folder (any other name gives -1).
//
// What the script left in every open document is written out and read back: each line
// that a file can hold as it is (no LF in it, no CR or 0x1A at its end, room in the line
// buffer) must read back as it was. VARLIN_FUZZ_TRACE=1
// writes what each run did (polls, messages, printed lines) to standard error.
#include "FuzzSupport.h"

#include "document/TextFile.h"
#include "editing/EditWindow.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "frame/Application.h"
#include "frame/BatchDocuments.h"
#include "frame/FrameCommands.h"
#include "macro/MacroRun.h"
#include "platform/Host.h"
#include "platform/StopRequest.h"
#include "settings/Options.h"
#include "view/DocumentWindow.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace varlin;

constexpr int kPollLimit = 20000;
constexpr auto kTimeLimit = std::chrono::seconds(2);

int g_polls = 0;
std::chrono::steady_clock::time_point g_deadline;

bool CountingPoll(void*) {
    if (++g_polls > kPollLimit || ((g_polls & 63) == 0 && std::chrono::steady_clock::now() > g_deadline)) {
        RequestStop();
        return true;
    }
    return false;
}

BatchDocuments g_documents;

// Open, SaveAs, Append and Split reach only plain names in the scratch folder.
bool PlainName(const char* name) {
    const std::string_view s(name);
    if (s.size() > 40 || (!s.empty() && s.front() == '.')) return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '_' || c == '-' || c == ' ';
    });
}

std::int32_t GuardedFunction(std::int32_t actionId, OPERAND** operands, std::int32_t count,
                             char* userData) {
    const bool takesName = actionId == 22 || actionId == 24 || actionId == 31 || actionId == 32;
    if (!takesName) return Macro_Function_Callback(actionId, operands, count, userData);
    if (count != 1 || !PlainName(static_cast<const char*>(operands[0]->Value))) return -1;
    // A blank name asks for a file (a dialog, cancelled); any other is one in the scratch folder.
    const std::string name = static_cast<const char*>(operands[0]->Value);
    std::string path = name.find_first_not_of(' ') == std::string::npos ? name : fuzz::ScratchPath(name);
    OPERAND inScratch = *operands[0];
    inScratch.Value = path.data();
    OPERAND* changed[] = {&inScratch};
    return Macro_Function_Callback(actionId, changed, 1, userData);
}

const char kDocument[] =
    "/* sample */\r\n"
    "#include <stdio.h>\r\n"
    "\r\n"
    "int main(int argc, char** argv)\r\n"
    "{\r\n"
    "\tprintf(\"%d\\n\", argc); // count\r\n"
    "\treturn 0;\r\n"
    "}\r\n"
    "// Grüße, 日本語\r\n";

struct Rig {
    Application app;
    Options initial;
};

Rig& TheRig() {
    static Rig* rig = [] {
        HeadlessHost& host = fuzz::QuietHost();
        auto* r = new Rig;
        if (InitApplication(r->app, {}, std::string()) != 1) fuzz::Fail("no application");
        r->initial = CurrentOptions();
        SetMacroErrorReport(MacroErrorReport::Message);
        SetMacroEscapePolling(true);
        FrameWindows windows = BatchWindows(g_documents);
        windows.f3Keys = &r->app.keyTableF3;
        InstallFrameWindows(windows);
        MacroRunHooks hooks;
        hooks.callFunction = GuardedFunction;
        hooks.sendCommand = SendFrameCommand;
        hooks.openDocument = FrameOpenDocument;
        SetMacroRunHooks(hooks);
        (void)host;
        return r;
    }();
    return *rig;
}

// Writes the document's lines to a file and reads them back: every line that a file can
// hold as it is must come back unchanged.
void CheckWrittenDocument(const LineStore& doc) {
    const Options& options = CurrentOptions();
    const std::size_t room = std::size_t(std::max(1, options.LineBufferSize() - 1));
    const std::size_t endSize = std::string_view(LineEndBytes(doc.lineEnds)).size();
    for (int i = 0; i < doc.GetLineCount(); ++i) {
        const std::string_view line = doc.LineView(i);
        if (line.find('\n') != std::string_view::npos || line.size() + endSize > room ||
            (options.LockMode == 0 && line.find('\x1A') != std::string_view::npos) ||
            (!line.empty() && (line.back() == '\r' || line.back() == '\x1A')))
            return;  // not a line a file holds as it is
    }
    const std::string path = fuzz::ScratchPath("written.txt");
    if (WriteRange(doc, path, 0, doc.GetLineCount() - 1, doc.lineEnds) != 0) fuzz::Fail("a document was not written");
    LineStore back;
    if (Load(back, path, 1) != 0) fuzz::Fail("a document written did not load");
    const int count = doc.GetLineCount();
    if (back.GetLineCount() != count) fuzz::Fail("a document written read back with another number of lines");
    for (int i = 0; i < count; ++i)
        if (back.LineView(i) != doc.LineView(i)) fuzz::Fail("a line written read back changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Rig& rig = TheRig();
    static const HeadlessHost::DefaultAnswer kAnswers[] = {
        HeadlessHost::DefaultAnswer::Yes, HeadlessHost::DefaultAnswer::No, HeadlessHost::DefaultAnswer::Cancel};
    HeadlessHost& host = fuzz::QuietHost(kAnswers[size % 3]);
    Host counting = host.MakeHost();
    counting.pollEscape = CountingPoll;
    InstallHost(counting);
    CurrentOptions() = rig.initial;
    ClearStopRequest();
    g_polls = 0;
    g_deadline = std::chrono::steady_clock::now() + kTimeLimit;

    fuzz::ClearScratchFiles();
    const std::string script = fuzz::ScratchPath("script.vlm");
    const std::string document = fuzz::ScratchPath("sample.c");
    fuzz::WriteFile(script, std::string_view(reinterpret_cast<const char*>(data), data ? size : 0));
    fuzz::WriteFile(document, kDocument);
    InitUndoRecord();
    if (g_documents.Open(document) != 0) fuzz::Fail("the sample document did not open");
    RunMacroFile(script);
    if (std::getenv("VARLIN_FUZZ_TRACE")) {
        std::fprintf(stderr, "polls %d, messages %zu, printed %zu:", g_polls, host.messageIds.size(), host.printedLines.size());
        for (int id : host.messageIds) std::fprintf(stderr, " %d", id);
        for (const auto& l : host.printedLines) std::fprintf(stderr, " [%s]", l.c_str());
        std::fprintf(stderr, "\n");
    }
    for (const auto& w : g_documents.open) CheckWrittenDocument(*w->doc);
    g_documents.Finish(false);
    DiscardLearnFile();
    ResetUndoRecord();
    ClearStopRequest();
    return 0;
}
