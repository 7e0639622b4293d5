#include "platform/Host.h"

#include "platform/StopRequest.h"

#include "platform/HeadlessHost.h"
#include "platform/Messages.h"
#include "resources/StringTable.h"

#include <sys/stat.h>

namespace varlin {
namespace {

Host& InstalledHost() {
    static HeadlessHost fallback;
    static Host host = fallback.MakeHost();
    return host;
}

}  // namespace

Host& TheHost() { return InstalledHost(); }

void InstallHost(const Host& host) { InstalledHost() = host; }

const char* DialogName(DialogId id) {
    const bool english = GetAppLanguage() == int(AppLanguage::English);
    switch (id) {
    case DialogId::Find: return english ? "Find" : "Suchen";
    case DialogId::Replace: return english ? "Replace" : "Ersetzen";
    case DialogId::ReplaceQuestion: return english ? "Confirm replace" : "Ersetzen bestätigen";
    case DialogId::Sort: return english ? "Sort" : "Sortieren";
    case DialogId::Goto: return english ? "Go to" : "Gehe zu";
    case DialogId::Print: return english ? "Print" : "Drucken";
    case DialogId::KeyTable: return english ? "Key assignment" : "Tastenbelegung";
    case DialogId::MacroList: return english ? "Macros" : "Makros";
    case DialogId::DllTest: return english ? "DLL test" : "DLL-Test";
    case DialogId::Settings: return english ? "Settings" : "Einstellungen";
    case DialogId::BrowseOpen: return english ? "Browse and open" : "Durchsuchen und öffnen";
    case DialogId::Language: return english ? "Language" : "Sprache";
    case DialogId::DocumentLanguage: return english ? "Document language" : "Sprache des Dokuments";
    }
    return "?";
}

int HostShowMessage(const MessageRequest& request) {
    Host& h = TheHost();
    return h.showMessage ? h.showMessage(h.context, request) : IdOk;
}

void HostBeep() {
    Host& h = TheHost();
    if (h.beep) h.beep(h.context);
}

bool HostAskFileNames(const FileDialogRequest& request, std::vector<std::string>& names) {
    Host& h = TheHost();
    for (;;) {
        names.clear();
        if (!h.askFileNames || !h.askFileNames(h.context, request, names)) return false;
        // A name typed into a save dialog may be that of a file the user did not mean to
        // lose; No goes back to the dialog, where cancelling ends the command.
        struct stat info {};
        if (request.mode != FileDialogMode::Save || names.empty() || names.front().empty() ||
            ::stat(names.front().c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
            return true;
        }
        if (ShowMessage(kReplaceExistingFileMessage, names.front()) == IdYes) return true;
    }
}

int HostRunDialog(DialogId id, void* record) {
    Host& h = TheHost();
    return h.runDialog ? h.runDialog(h.context, id, record) : 2;
}

bool HostSetClipboard(const std::string& bytes, ClipboardText kind) {
    Host& h = TheHost();
    return h.setClipboard && h.setClipboard(h.context, bytes, kind);
}

bool HostGetClipboard(std::string& bytes, ClipboardText kind) {
    Host& h = TheHost();
    bytes.clear();
    return h.getClipboard && h.getClipboard(h.context, bytes, kind);
}

void HostSetWaitCursor(bool on) {
    Host& h = TheHost();
    if (h.setWaitCursor) h.setWaitCursor(h.context, on);
}

bool HostPollEscape() {
    // Ctrl+C and --timeout reach every loop that polls for Escape.
    if (StopRequested()) return true;
    Host& h = InstalledHost();   // asked before every statement of a script: no extra call
    return h.pollEscape && h.pollEscape(h.context);
}

void HostPrintLine(const std::string& line) {
    Host& h = TheHost();
    if (h.printLine) h.printLine(h.context, line);
}

}  // namespace varlin
