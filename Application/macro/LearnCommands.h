// The frame's macro commands: run a macro file (88), learn mode on and off (89), run the
// learned macro (90), save it under a name (91), open it in a document window (92), open
// a macro file in a document window (93). While learn mode is on, all but 89 refuse with
// message 1210, since running or editing macros cannot be learned.
#pragma once

namespace varlin {

constexpr int kNotLearnableMessage = 1210;
constexpr int kLearnFileBusyMessage = 1114;
constexpr int kMacroFilter = 1404;          // "Varlin Makros (*.vlm)|*.vlm|"
constexpr int kRunMacroTitle = 1510;
constexpr int kEditMacroTitle = 1511;
constexpr int kSaveLearnedTitle = 1512;

// Each returns 0 (the command was carried out, refused or cancelled).
int CommandRunMacro();
int CommandToggleLearnMode();
int CommandRunLearnedMacro();
// Command 91 up to the copy: true when the learned macro was written to the chosen file,
// after which the caller opens the key assignment so the macro can get a key at once.
bool SaveLearnedMacro();
int CommandEditLearnedMacro();
int CommandEditMacro();

}  // namespace varlin
