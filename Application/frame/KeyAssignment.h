// The assignment of macro files to the keys of a prefix table (the dialog "Zuordnen von
// Makros", command 94, F2 Z). The dialog's window is the host's; what a row shows, which
// buttons may be pressed and what they change is decided here, on the table itself, so
// a change is in force for the next key at once. The store sees it only at exit.
#pragma once

#include "frame/KeyTable.h"

#include <string>

namespace varlin {

// What the dialog works on: the table and the prefix name its rows show ("F3").
struct KeyAssignmentRecord {
    KeyTable* table = nullptr;
    std::string prefixName;
};

constexpr int kKeyListColumnsText = 1851;   // "Taste|100\tMakrodatei|300\tMakrobeschreibung|200"
constexpr int kMacroFileTitle = 1513;       // "Makrodatei"
constexpr int kKeyCommandText = 1852;       // "Befehl %s": a row bound to a command
constexpr int kMacroDescriptionSize = 500;

// The three texts of a row: "F3 A", the macro file (empty without one) and the macro's
// description (empty without a macro, or when the file gives none); for a row bound to a
// command instead, "Befehl 40" and the command's help text.
struct KeyRowTexts {
    std::string key;
    std::string file;
    std::string description;
};
KeyRowTexts KeyRow(const KeyTable& table, const std::string& prefixName, int row);

// "Makro zuordnen..." needs a selected row, "Zuordnung aufheben" a row that names a macro.
bool CanAssignRow(const KeyTable& table, int row);
bool CanClearRow(const KeyTable& table, int row);

// Asks for a macro file and makes it the row's macro; the row's command stays. False when
// the user cancelled or the row does not exist.
bool AssignMacroToRow(KeyTable& table, int row);
// The row runs nothing any more: no macro, no command.
void ClearRow(KeyTable& table, int row);

// Shows the dialog over the table; its result (2 when it was closed).
int EditKeyTable(KeyTable& table, const std::string& prefixName);
// Command 94: the dialog over the program's F3 table.
int CommandAssignKeys(KeyTable& f3Keys);

}  // namespace varlin
