// Batch mode's run: the documents without windows (the FrameWindows of batch mode), the
// stop requests of Ctrl+C and --timeout, and the loop over the FILEs. A document whose
// script failed or was stopped is not saved: a half-done edit is not written over a file.
#include "frame/BatchRun.h"

#include "dispatch/Dispatch.h"
#include "document/Languages.h"
#include "document/TextFile.h"
#include "editing/EditWindow.h"
#include "editing/MacroCommands.h"
#include "editing/Printing.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "frame/Application.h"
#include "frame/BatchDocuments.h"
#include "frame/FrameCommands.h"
#include "macro/MacroRun.h"
#include "platform/FileKinds.h"
#include "platform/HeadlessHost.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "platform/TrustedLinks.h"
#include "resources/StringTable.h"
#include "settings/Options.h"
#include "view/DocumentWindow.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace varlin {
namespace {

constexpr std::size_t kScriptReadLimit = (4u << 20) + 1;  // the interpreter refuses more
constexpr int kSettingsNotReadable = 1263;
constexpr int kKindFolder = 1541;
constexpr int kScriptUnreadableText = 3470, kDialogCancelledText = 3471, kNoPdfWriterText = 3472;
constexpr int kBadSetText = 3473, kNothingPrintedText = 3474;

// --timeout: a thread that asks the script to stop when the time is up, unless the run
// ends first.
class StopTimer {
public:
    explicit StopTimer(double seconds) {
        if (seconds <= 0) return;
        thread_ = std::thread([this, seconds] {
            std::unique_lock<std::mutex> lock(mutex_);
            const auto limit = std::chrono::duration<double>(seconds);
            if (!done_.wait_for(lock, limit, [this] { return finished_; })) RequestMacroStop();
        });
    }
    ~StopTimer() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        thread_.join();
    }

private:
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
};

extern "C" void OnInterrupt(int) {
    RequestMacroStop();
    // A second Ctrl+C ends the program at once (an operation that never asks may hang).
    std::signal(SIGINT, SIG_DFL);
}

void TraceLine(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

HeadlessHost::DefaultAnswer HostAnswer(BatchAnswer answer) {
    switch (answer) {
    case BatchAnswer::No: return HeadlessHost::DefaultAnswer::No;
    case BatchAnswer::Cancel: return HeadlessHost::DefaultAnswer::Cancel;
    case BatchAnswer::Yes: break;
    }
    return HeadlessHost::DefaultAnswer::Yes;
}

// Batch mode's own texts, in the language of its messages: "varlin: " and the text of
// the string id with each "%s" taken in turn from values.
void SayOnStderr(int id, std::initializer_list<std::string> values = {}) {
    std::string text = LoadAppString(id);
    std::size_t from = 0;
    for (const std::string& value : values) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    std::fprintf(stderr, "varlin: %s\n", text.c_str());
}

// Reads and checks the script once, before any FILE is touched: a script that cannot
// run at all leaves every file alone.
bool CheckScript(const std::string& script) {
    MacroLibError error{};
    std::FILE* file = std::fopen(script.c_str(), "rb");
    if (file == nullptr) {
        ShowFileError(script, errno);
        return false;
    }
    std::string text;
    char block[65536];
    std::size_t got = 0;
    while (text.size() < kScriptReadLimit && (got = std::fread(block, 1, sizeof block, file)) > 0)
        text.append(block, got);
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    if (readFailed) {
        SayOnStderr(kScriptUnreadableText, {script});
        return false;
    }
    if (MacroLib_Check(script.c_str(), text.data(), text.size(), MacroCommandTable(), &error) ==
        MACROLIB_OK)
        return true;
    char line[1024];
    MacroLib_FormatError(&error, line, sizeof line);
    std::fprintf(stderr, "%s\n", line);
    return false;
}

// --print-to: batch mode's print dialog takes the PDF file, and the marked lines when a
// range is marked; every other dialog is cancelled as without a window. A stop request
// abandons the job, so that no file is left.
std::function<int(DialogId, void*)> PrintToHandler(const std::string& file) {
    return [file](DialogId id, void* record) {
        if (id != DialogId::Print || record == nullptr) {
            SayOnStderr(kDialogCancelledText, {DialogName(id)});
            return 2;
        }
        auto& print = *static_cast<PrintDialogRecord*>(record);
        const PdfJobOpener open = ThePdfJobOpener();
        if (open == nullptr) {
            SayOnStderr(kNoPdfWriterText);
            return 2;
        }
        print.selectionChosen = print.selectionOffered;
        if (const int error = open(file, print.job); error != 0) {
            ShowFileError(file, error);
            return 2;
        }
        // Ctrl+C and --timeout abandon a long job as "Abbrechen" does in the window.
        print.job.progressAborted = [](void*) { return MacroStopRequested(); };
        return 1;
    };
}

struct RunState {
    bool failed = false;   // a script error, or a FILE that could not be opened
    bool stopped = false;
};

// One run of the script with the documents open now; saves and closes them after it.
void RunOnce(BatchDocuments& docs, const BatchArguments& arguments, RunState& state) {
    const int failuresBefore = MacroFailureCount();
    const int result = RunMacroFile(arguments.script);
    if (result == MACROLIB_STOPPED) state.stopped = true;
    // A macro that the script started (SendCommand 90, F3 keys) may have failed, or been
    // refused by the nesting limit, while the script itself went on.
    if (result == MACROLIB_FAILED || MacroFailureCount() != failuresBefore) state.failed = true;
    docs.Finish(result == MACROLIB_OK && !arguments.noSave);
    if (docs.unsaved > 0) state.failed = true;
}

}  // namespace

// The settings file of --settings, made empty when it does not exist yet. A folder, a
// pipe or a device is refused (a pipe would block the start, a device could be replaced
// by a file), and so is a file that cannot be read.
bool UseSettingsFile(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            const std::string kind = LoadAppString(kKindFolder);
            ShowMessage(kNotARegularFileMessage, name.c_str(), kind.c_str());
            return false;
        }
        if (RefuseSpecialFile(name)) return false;
        if (::access(name.c_str(), R_OK) != 0) {
            ShowMessage(kSettingsNotReadable, name);
            return false;
        }
    } else {
        // A dangling link is followed only when it is the user's or root's: one another
        // user planted would have us make a file of the planter's choosing.
        std::string target, link;
        if (!ResolveTrustedLinks(name, target, &link)) {
            if (!link.empty()) ShowMessage(kForeignLinkMessage, link.c_str(), name.c_str());
            else std::fprintf(stderr, "varlin: cannot create the settings file %s: %s\n", name.c_str(),
                              std::strerror(errno));
            return false;
        }
        const int created = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (created < 0 && errno != EEXIST) {
            std::fprintf(stderr, "varlin: cannot create the settings file %s: %s\n", name.c_str(),
                         std::strerror(errno));
            return false;
        }
        if (created >= 0) ::close(created);
    }
    SetSettingsFile(name);
    return true;
}

int RunBatch(const BatchArguments& arguments) {
    HeadlessHost host;
    host.defaultAnswer = HostAnswer(arguments.answer);
    host.writeMessagesToStderr = true;
    host.traceBeeps = arguments.trace;
    host.printToStdout = true;
    if (!arguments.printTo.empty()) host.dialogHandler = PrintToHandler(arguments.printTo);
    host.Install();
    if (arguments.hasSettingsFile && !UseSettingsFile(arguments.settingsFile))
        return kBatchBadCommandLine;
    const int jobsBefore = FinishedPrintJobs();

    auto app = std::make_unique<Application>();
    if (InitApplication(*app, arguments.files, std::string()) != 1)
        return kBatchFailed;
    for (const auto& [name, value] : arguments.sets) {
        if (!SetOptionByName(CurrentOptions(), name, value)) {
            SayOnStderr(kBadSetText, {name, value});
            return kBatchBadCommandLine;
        }
    }
    if (!CheckScript(arguments.script)) return kBatchFailed;
    // The shipped definitions are the program's own copies here (the same files); the
    // user's come from the settings folder, which --settings may have changed.
    LoadLanguagesAtStart(std::string());

    InitUndoRecord();
    SetMacroErrorReport(MacroErrorReport::ErrorLine);
    SetMacroEscapePolling(false);
    if (arguments.trace) TheLearnRecorder().traceLine = TraceLine;
    BatchDocuments docs;
    FrameWindows windows = BatchWindows(docs);
    windows.f3Keys = &app->keyTableF3;  // F2 Z in a script: the dialog, cancelled without windows
    InstallFrameWindows(windows);
    ClearMacroStop();
    std::signal(SIGINT, OnInterrupt);

    RunState state;
    {
        StopTimer timer(arguments.timeoutSeconds);
        if (arguments.files.empty()) {
            RunOnce(docs, arguments, state);
        } else {
            for (const FileSpot& file : arguments.files) {
                if (MacroStopRequested()) {
                    state.stopped = true;
                    break;
                }
                if (docs.Open(file.name) != 0) {
                    // Its message has been shown; the next FILE is still done.
                    state.failed = true;
                    continue;
                }
                if (file.line > 0 && ActiveEditWindow()) PlaceCursorAt(*ActiveEditWindow(), file.line, file.column);
                RunOnce(docs, arguments, state);
                if (state.stopped) break;
            }
        }
    }
    std::signal(SIGINT, SIG_DFL);

    DiscardLearnFile();
    TheLearnRecorder().traceLine = nullptr;
    InstallFrameWindows(FrameWindows{});
    ResetUndoRecord();
    SetMacroErrorReport(MacroErrorReport::Message);
    SetMacroEscapePolling(true);
    std::fflush(stdout);
    if (state.stopped || MacroStopRequested()) return kBatchAborted;
    // --print-to promises a file: a run that wrote none has failed, also when it beeped only.
    if (!arguments.printTo.empty() && FinishedPrintJobs() == jobsBefore && host.errorMessages == 0) {
        SayOnStderr(kNothingPrintedText, {arguments.printTo});
        return kBatchFailed;
    }
    if (state.failed || host.errorMessages > 0) return kBatchFailed;
    return kBatchDone;
}

}  // namespace varlin
