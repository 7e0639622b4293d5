// The macro commands of the frame. They reach the user only through the host (file
// dialogs, messages) and the document windows only through the hooks of a macro run, so
// that the Qt frame and batch mode share them.
#include "macro/LearnCommands.h"

#include "document/SafeWrite.h"
#include "editing/Recording.h"
#include "macro/MacroRun.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"

#include <cstdio>
#include <vector>

namespace varlin {
namespace {

// The refusal of every macro command but 89 while learning.
bool RefusedWhileLearning() {
    if (!IsLearning()) return false;
    ShowMessage(kNotLearnableMessage);
    return true;
}

bool AskMacroFile(FileDialogMode mode, int titleId, std::string& name) {
    FileDialogRequest request;
    request.mode = mode;
    request.titleId = titleId;
    request.filter = LoadAppString(kMacroFilter);
    request.registryValue = "MacroFile";
    std::vector<std::string> names;
    if (!HostAskFileNames(request, names) || names.empty() || names.front().empty()) return false;
    name = names.front();
    return true;
}

// Copies the learned macro to target through the safe save, so that a full disk or a
// failed write leaves an existing target as it was. True when the whole macro was written.
bool CopyLearnedFile(const std::string& source, const std::string& target) {
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (in == nullptr) {
        ShowMessage(kLearnFileBusyMessage);
        return false;
    }
    bool readFailed = false;
    const int written = WriteFileSafely(target, [in, &readFailed](ByteSink& sink) {
        char block[1 << 14];
        std::size_t got = 0;
        while ((got = std::fread(block, 1, sizeof block, in)) > 0) {
            if (!sink.Write(block, got)) return false;
        }
        readFailed = std::ferror(in) != 0;
        return !readFailed;
    });
    std::fclose(in);
    if (readFailed) ShowMessage(kLearnFileBusyMessage);
    return written == 0;
}

}  // namespace

int CommandRunMacro() {
    if (RefusedWhileLearning()) return 0;
    std::string name;
    if (AskMacroFile(FileDialogMode::Open, kRunMacroTitle, name))
        RunMacroFile(name);
    return 0;
}

int CommandToggleLearnMode() {
    ToggleLearnMode();
    return 0;
}

int CommandRunLearnedMacro() {
    if (RefusedWhileLearning()) return 0;
    EnsureLearnFileName();
    RunMacroFile(TheLearnRecorder().LearnFileName);
    return 0;
}

bool SaveLearnedMacro() {
    if (RefusedWhileLearning()) return false;
    std::string target;
    if (!AskMacroFile(FileDialogMode::Save, kSaveLearnedTitle, target)) return false;
    EnsureLearnFileName();
    return CopyLearnedFile(TheLearnRecorder().LearnFileName, target);
}

int CommandEditLearnedMacro() {
    if (RefusedWhileLearning()) return 0;
    EnsureLearnFileName();
    OpenDocumentForMacros(TheLearnRecorder().LearnFileName);
    return 0;
}

int CommandEditMacro() {
    if (RefusedWhileLearning()) return 0;
    std::string name;
    if (AskMacroFile(FileDialogMode::Open, kEditMacroTitle, name)) OpenDocumentForMacros(name);
    return 0;
}

}  // namespace varlin
