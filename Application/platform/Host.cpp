#include "platform/Host.h"

#include "platform/StopRequest.h"

#include "platform/HeadlessHost.h"

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
    switch (id) {
    case DialogId::Find: return "Suchen";
    case DialogId::Replace: return "Ersetzen";
    case DialogId::ReplaceQuestion: return "Ersetzen bestätigen";
    case DialogId::Sort: return "Sortieren";
    case DialogId::Goto: return "Gehe zu";
    case DialogId::Print: return "Drucken";
    case DialogId::KeyTable: return "Tastenbelegung";
    case DialogId::MacroList: return "Makros";
    case DialogId::DllTest: return "DLL-Test";
    case DialogId::Settings: return "Einstellungen";
    case DialogId::BrowseOpen: return "Durchsuchen und öffnen";
    case DialogId::Language: return "Sprache";
    case DialogId::DocumentLanguage: return "Sprache des Dokuments";
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
    names.clear();
    return h.askFileNames && h.askFileNames(h.context, request, names);
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
