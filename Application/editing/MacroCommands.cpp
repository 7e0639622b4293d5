// The macro command table as data. The order matters: the interpreter and the macro list
// may rely on it being sorted, and a test checks that it is.
#include "editing/MacroCommands.h"

namespace varlin {
namespace {

const MacroCommand kTable[kMacroCommandCount + 1] = {
    {"Append", 31, "C[]", "Filename"},
    {"ArrangeCascade", 61, "", nullptr},
    {"ArrangeCols", 59, "", nullptr},
    {"ArrangeRows", 60, "", nullptr},
    {"ArrangeTile", 62, "", nullptr},
    {"Backspace", 38, "", nullptr},
    {"Close", 25, "", nullptr},
    {"CloseAll", 58, "", nullptr},
    {"Copy", 29, "", nullptr},
    {"Cut", 27, "", nullptr},
    {"Delete", 30, "", nullptr},
    {"DeleteLine", 19, "", nullptr},
    {"DocEnd", 12, "", nullptr},
    {"DocStart", 11, "", nullptr},
    {"DragAll", 80, "", nullptr},
    {"DuplicateLine", 41, "", nullptr},
    {"Find", 33, "C[]L", "String,Mode"},
    {"FindNext", 34, "", nullptr},
    {"GetCaretCol", 45, "", nullptr},
    {"GetCaretLine", 44, "", nullptr},
    {"GetCharacter", 64, "", nullptr},
    {"GetDrag", 75, "*L*L*L*L", "FromLine,FromCol,ToLine,ToCol"},
    {"GetTotalLines", 43, "", nullptr},
    {"Goto", 37, "LL", "Line,Column"},
    {"GotoLastPushPos", 53, "", nullptr},
    {"InsertChar", 54, "L", "AsciiCode"},
    {"InsertLastDel", 42, "", nullptr},
    {"InsertLine", 20, "", nullptr},
    {"InsertSpace", 49, "", nullptr},
    {"InsertText", 55, "C[]", "Text"},
    {"IsLineEmpty", 56, "L", "Line"},
    {"ItemLeft", 5, "", nullptr},
    {"ItemRight", 6, "", nullptr},
    {"LineDown", 4, "", nullptr},
    {"LineEnd", 10, "", nullptr},
    {"LineStart", 9, "", nullptr},
    {"LineUp", 3, "", nullptr},
    {"Linefeed", 39, "", nullptr},
    {"New", 21, "", nullptr},
    {"NextRoutine", 7, "", nullptr},
    {"Open", 22, "C[]", "Filename"},
    {"PageDown", 14, "", nullptr},
    {"PageLeft", 15, "", nullptr},
    {"PageRight", 16, "", nullptr},
    {"PageUp", 13, "", nullptr},
    {"Paste", 28, "", nullptr},
    {"PosLeft", 2, "", nullptr},
    {"PosRight", 1, "", nullptr},
    {"PrevRoutine", 8, "", nullptr},
    {"Print", 26, "", nullptr},
    {"PushPosition", 52, "", nullptr},
    {"Replace", 35, "C[]C[]L", "Find,Replace,Mode"},
    {"Save", 23, "", nullptr},
    {"SaveAs", 24, "C[]", "Filename"},
    {"SetCaret", 57, "LL", "Line,Column"},
    {"SetCodeTable", 46, "L", "Table"},
    {"SetDrag", 76, "LLLL", "FromLine,FromCol,ToLine,ToCol"},
    {"SetLanguage", 47, "L", "Code"},
    {"ShiftKeyDown", 50, "", nullptr},
    {"ShiftKeyUp", 51, "", nullptr},
    {"Sort", 40, "L", "Order"},
    {"Split", 32, "C[]", "Filename"},
    {"ToggleInsertMode", 79, "", nullptr},
    {"TruncateFile", 36, "", nullptr},
    {"TruncateLineEnd", 18, "", nullptr},
    {"TruncateLineStart", 17, "", nullptr},
    {nullptr, 0, nullptr, nullptr},
};

}  // namespace

const MacroCommand* MacroCommandTable() { return kTable; }

const MacroCommand* FindMacroCommand(int actionId) {
    for (const MacroCommand* e = kTable; e->Name != nullptr; ++e)
        if (e->ActionId == actionId) return e;
    return nullptr;
}

const char* MacroActionName(int actionId) {
    const MacroCommand* e = FindMacroCommand(actionId);
    return e ? e->Name : nullptr;
}

}  // namespace varlin
