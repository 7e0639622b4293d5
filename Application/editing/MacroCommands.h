// The macro command table: every editor function a macro script may call, by the name the
// script uses, with the ActionId that the interpreter hands back for it and the kinds and
// names of its arguments. The interpreter checks calls against it, recording takes the
// names of the actions from it, and the macro list shows it.
#pragma once

#include "Interpreter/MacroLib.h"

namespace varlin {

constexpr int kMacroCommandCount = 66;

// ActionIds that no editing file owns: the frame's and the document file's functions.
enum MacroActionId : int {
    kMacroNew = 21, kMacroOpen = 22, kMacroSave = 23, kMacroSaveAs = 24, kMacroClose = 25,
    kMacroPrint = 26, kMacroGoto = 37, kMacroGetTotalLines = 43, kMacroGetCaretLine = 44,
    kMacroGetCaretCol = 45, kMacroSetCodeTable = 46, kMacroSetLanguage = 47,
    kMacroIsLineEmpty = 56, kMacroSetCaret = 57, kMacroCloseAll = 58, kMacroArrangeCols = 59,
    kMacroArrangeRows = 60, kMacroArrangeCascade = 61, kMacroArrangeTile = 62,
    kMacroGetCharacter = 64, kMacroGetDrag = 75, kMacroSetDrag = 76,
    kMacroToggleInsertMode = 79,
};

// The table, sorted by Name in byte order (upper case before lower case), ended by an
// entry whose four fields are all zero. It is constant for the life of the program.
const MacroCommand* MacroCommandTable();

// The entry of an ActionId, or null when the table has none (48, 63, 65 to 74, ...).
const MacroCommand* FindMacroCommand(int actionId);
// Its Name, or null.
const char* MacroActionName(int actionId);

}  // namespace varlin
