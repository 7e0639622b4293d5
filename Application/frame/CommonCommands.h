// The application-level commands that run a dialog of the common library's kind and then
// act on its answer: browse and open (18), the DLL test (76) and the language choice (97).
// Each asks the host for its dialog; only the Qt frame registers them as commands (batch
// mode, without dialogs, gives -1 for them).
#pragma once

namespace varlin {

struct Application;

// Command 18: the browse-and-open dialog on the stored record, which is written back
// whatever the dialog answered; after OK a document window for every chosen name, in
// order. Returns 0.
int CommandBrowseAndOpen();

// The record of the language choice: the offered codes (49 German, 44 English) and the
// current one; the dialog sets `chosen`.
struct LanguageChoice {
    int offered[2] = {49, 44};
    int current = 49;
    int chosen = 49;
};

// Command 97: the language dialog. Choosing the current language changes nothing (not
// even the store); another one becomes the program's language at once and is written to
// "Settings"/"ApplicationLanguage". Returns 1 when the language changed, else 0; the
// windows then retranslate themselves.
int CommandChooseLanguage(Application& app);

}  // namespace varlin
