// Host: the one record of function pointers through which the core reaches the user
// (messages, beeps, file dialogs, named dialogs, clipboard, wait cursor, Escape polling).
// The Qt host fills it with real windows; the headless host serves tests and batch mode.
#pragma once

#include <string>
#include <vector>

namespace varlin {

// Kind and buttons of a message, taken from the type code at the start of its text.
enum class MessageKind { Error, Information, Question };
// YesNoDiscard: a third answer that deletes something kept for the user; Escape is No.
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDiscard };

// Button results, as the message box returns them.
enum MessageResult : int { IdOk = 1, IdCancel = 2, IdDiscard = 3, IdYes = 6, IdNo = 7 };

struct MessageRequest {
    int id = 0;                 // MessageId (string resource number)
    MessageKind kind = MessageKind::Information;
    MessageButtons buttons = MessageButtons::Ok;
    std::string text;           // type code removed, "%s" filled in, "\n" as line breaks
    std::string caption;        // string 1516, "Varlin Fehler"
};

enum class FileDialogMode { Open, OpenMany, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    int titleId = 0;            // string id of the dialog title, 0 for the default
    std::string filter;         // "Desc|pattern|Desc|pattern|" as FileNameFilter stores it
    std::string registryValue;  // value under "LastUsed" that remembers the folder, may be empty
    std::string initialName;    // file name to start with, may be empty
};

// Dialogs that the core asks the host to run on a record of settings. The numbers are
// the dialog template ids; the record's type is fixed per dialog by the code that asks.
enum class DialogId : int {
    Find = 2200,
    Replace = 900,
    ReplaceQuestion = 2300,
    Sort = 2400,
    Goto = 2000,
    Print = 2100,
    KeyTable = 2500,
    MacroList = 2600,
    DllTest = 1000,
    Settings = 2800,
    BrowseOpen = 3300,
    Language = 3400,
    DocumentLanguage = 3610,
};

const char* DialogName(DialogId id);

// How the clipboard's bytes read: Windows-1252 (a code-table document) or UTF-8.
enum class ClipboardText { Ansi, Utf8 };

struct Host {
    void* context = nullptr;
    // Shows a message modally and returns the button pressed (IdOk, IdCancel, IdYes, IdNo).
    int (*showMessage)(void* context, const MessageRequest& request) = nullptr;
    void (*beep)(void* context) = nullptr;
    // Asks for one or more file names; false when cancelled.
    bool (*askFileNames)(void* context, const FileDialogRequest& request,
                         std::vector<std::string>& names) = nullptr;
    // Runs a named dialog on a record; returns 1 for OK, 2 (or 0) for cancel.
    int (*runDialog)(void* context, DialogId id, void* record) = nullptr;
    // The clipboard as bytes of the document, read as the kind says; false when it cannot
    // be opened or read.
    bool (*setClipboard)(void* context, const std::string& bytes, ClipboardText kind) = nullptr;
    bool (*getClipboard)(void* context, std::string& bytes, ClipboardText kind) = nullptr;
    void (*setWaitCursor)(void* context, bool on) = nullptr;
    // True when Escape was pressed since the last poll (long loops ask between steps).
    bool (*pollEscape)(void* context) = nullptr;
    // A line that a macro prints: standard output in batch mode, a message box in the editor.
    void (*printLine)(void* context, const std::string& line) = nullptr;
};

// The program's host. Until one is installed, the headless host with default answers serves.
Host& TheHost();
void InstallHost(const Host& host);

// Convenience wrappers that tolerate missing hooks.
int HostShowMessage(const MessageRequest& request);
void HostBeep();
// In save mode an existing file is only taken after the user agreed to replace it (message
// 1335); otherwise the dialog is shown again.
bool HostAskFileNames(const FileDialogRequest& request, std::vector<std::string>& names);
constexpr int kReplaceExistingFileMessage = 1335;
int HostRunDialog(DialogId id, void* record);
bool HostSetClipboard(const std::string& bytes, ClipboardText kind = ClipboardText::Ansi);
bool HostGetClipboard(std::string& bytes, ClipboardText kind = ClipboardText::Ansi);
void HostSetWaitCursor(bool on);
bool HostPollEscape();
void HostPrintLine(const std::string& line);

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
public:
    WaitCursor() { HostSetWaitCursor(true); }
    ~WaitCursor() { HostSetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace varlin
