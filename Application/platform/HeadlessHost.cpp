#include "platform/HeadlessHost.h"

#include "resources/StringTable.h"
#include "textutil/Utf8.h"

#include <cstdio>

namespace varlin {
namespace {

HeadlessHost& Self(void* context) { return *static_cast<HeadlessHost*>(context); }

// Told on stderr in the language of the messages around it.
constexpr int kDialogCancelledText = 3471, kFileDialogCancelledText = 3475;

int AnswerFor(HeadlessHost::DefaultAnswer answer, MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok: return IdOk;
    case MessageButtons::OkCancel:
        return answer == HeadlessHost::DefaultAnswer::Cancel || answer == HeadlessHost::DefaultAnswer::No
                   ? IdCancel : IdOk;
    case MessageButtons::YesNo:
        return answer == HeadlessHost::DefaultAnswer::No || answer == HeadlessHost::DefaultAnswer::Cancel
                   ? IdNo : IdYes;
    case MessageButtons::YesNoCancel:
        if (answer == HeadlessHost::DefaultAnswer::No) return IdNo;
        if (answer == HeadlessHost::DefaultAnswer::Cancel) return IdCancel;
        return IdYes;
    case MessageButtons::YesNoDiscard:
        if (answer == HeadlessHost::DefaultAnswer::No) return IdNo;
        if (answer == HeadlessHost::DefaultAnswer::Cancel) return IdDiscard;
        return IdYes;
    }
    return IdOk;
}

int ShowMessage(void* context, const MessageRequest& request) {
    HeadlessHost& self = Self(context);
    self.messageIds.push_back(request.id);
    self.messageTexts.push_back(request.text);
    if (request.kind == MessageKind::Error) ++self.errorMessages;
    if (self.writeMessagesToStderr) {
        std::string flat = request.text;
        for (char& c : flat)
            if (c == '\n' || c == '\r') c = ' ';
        while (!flat.empty() && flat.back() == ' ') flat.pop_back();
        std::fprintf(stderr, "varlin: %d %s\n", request.id, flat.c_str());
    }
    if (!self.answers.empty()) {
        int answer = self.answers.front();
        self.answers.pop_front();
        return answer;
    }
    return AnswerFor(self.defaultAnswer, request.buttons);
}

void Beep(void* context) {
    HeadlessHost& self = Self(context);
    ++self.beeps;
    if (self.traceBeeps) std::fprintf(stderr, "beep\n");
}

bool AskFileNames(void* context, const FileDialogRequest&, std::vector<std::string>& names) {
    HeadlessHost& self = Self(context);
    if (self.fileNameAnswers.empty()) {
        if (self.writeMessagesToStderr)
            std::fprintf(stderr, "varlin: %s\n", LoadAppString(kFileDialogCancelledText).c_str());
        return false;
    }
    names = self.fileNameAnswers.front();
    self.fileNameAnswers.pop_front();
    return !names.empty();
}

int RunDialog(void* context, DialogId id, void* record) {
    HeadlessHost& self = Self(context);
    self.dialogsWanted.push_back(id);
    if (self.dialogAnswers.empty()) {
        if (self.dialogHandler) return self.dialogHandler(id, record);
        if (self.writeMessagesToStderr) {
            std::string text = LoadAppString(kDialogCancelledText);
            if (const std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, DialogName(id));
            std::fprintf(stderr, "varlin: %s\n", text.c_str());
        }
        return 2;
    }
    auto handler = std::move(self.dialogAnswers.front());
    self.dialogAnswers.pop_front();
    return handler(id, record);
}

bool SetClipboard(void* context, const std::string& bytes, ClipboardText kind) {
    HeadlessHost& self = Self(context);
    if (self.clipboardFails) return false;
    self.clipboard = bytes;
    self.clipboardKind = kind;
    return true;
}

bool GetClipboard(void* context, std::string& bytes, ClipboardText kind) {
    HeadlessHost& self = Self(context);
    if (self.clipboardFails) return false;
    if (kind == self.clipboardKind) bytes = self.clipboard;
    else bytes = kind == ClipboardText::Utf8 ? AnsiToUtf8(self.clipboard) : Utf8ToAnsi(self.clipboard);
    return true;
}

void SetWaitCursor(void*, bool) {}

bool PollEscape(void* context) {
    HeadlessHost& self = Self(context);
    if (self.escapeAfterPolls > 0 && --self.escapeAfterPolls == 0) return true;
    return false;
}

void PrintLine(void* context, const std::string& line) {
    HeadlessHost& self = Self(context);
    self.printedLines.push_back(line);
    if (self.printToStdout) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
}

}  // namespace

Host HeadlessHost::MakeHost() {
    Host host;
    host.context = this;
    host.showMessage = ShowMessage;
    host.beep = Beep;
    host.askFileNames = AskFileNames;
    host.runDialog = RunDialog;
    host.setClipboard = SetClipboard;
    host.getClipboard = GetClipboard;
    host.setWaitCursor = SetWaitCursor;
    host.pollEscape = PollEscape;
    host.printLine = PrintLine;
    return host;
}

void HeadlessHost::Install() { InstallHost(MakeHost()); }

void HeadlessHost::Reset() {
    answers.clear();
    dialogAnswers.clear();
    dialogHandler = nullptr;
    fileNameAnswers.clear();
    messageIds.clear();
    messageTexts.clear();
    dialogsWanted.clear();
    printedLines.clear();
    beeps = 0;
    errorMessages = 0;
    escapeAfterPolls = -1;
}

}  // namespace varlin
