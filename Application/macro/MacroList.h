// The macro list ("Liste aller Makrobefehle anzeigen", command 95): every function of the
// editor's command table and of the interpreter's own list as "Name (ArgNames)", in one
// alphabetical order; the line the user takes is typed into the active document as if
// the user had typed it (and so is recorded in learn mode).
#pragma once

#include "Interpreter/MacroLib.h"

#include <string>
#include <vector>

namespace varlin {

constexpr int kMacroListCommand = 95;
constexpr int kMacroListLineSize = 300;  // a line is cut to 299 characters
constexpr int kMacroListTextSize = 200;  // a taken line must be shorter than 199

// The record the dialog (DialogId::MacroList) works on.
struct MacroListRequest {
    std::vector<std::string> lines;  // sorted; the dialog selects the first
    bool canTake = false;            // "Ü&bernehmen" is enabled only with a document window
    std::string text;                // the line taken, or empty
};

// "%s (%s)" of Name and ArgNames (empty for null), cut to 299 characters.
std::string MacroListLine(const MacroCommand& entry);
// The lines of both tables (entries with a Signature), ordered as a sorted list box
// orders them: letters without regard to case, ties in byte order.
std::vector<std::string> MacroListLines(const MacroCommand* editorTable,
                                        const MacroCommand* internalTable);
// What taking a line does to the request: the line when it is shorter than 199
// characters, else an empty text.
void TakeMacroListLine(MacroListRequest& request, const std::string& line);

// Command 95: the dialog on both tables; after OK the taken text is typed into the active
// document window character by character.
int CommandMacroList();

}  // namespace varlin
