// BlockActions: the actions on the marked range as a block and on blocks from outside:
// cutting, copying and pasting through the clipboard, inserting a file at the cursor and
// writing the range to a file. Delete with a range is the character editing's Delete.
// Each action records itself into the macro being learned.
#pragma once

#include "editing/EditWindow.h"

#include <string_view>

namespace varlin {

// ActionIds of the block actions (the numbers of the macro command table).
enum BlockActionId : int {
    kActCut = 27, kActPaste = 28, kActCopy = 29, kActAppend = 31, kActSplit = 32,
};

constexpr int kAppendDialogTitle = 1504;  // "Einfügen aus Datei"
constexpr int kSplitDialogTitle = 1505;   // "Kopieren in Datei"
constexpr const char* kAppendFileValue = "AppendFile";  // under "LastUsed"

// Cut (27): copies the range to the clipboard and, only when that worked, deletes it as
// Delete does. Without a range: beep.
void Cut(EditWindow& w);
// Copy (29): forgets the undo step; copies the range (which stays marked), or beeps.
void Copy(EditWindow& w);
// Paste (28): the clipboard's text at the cursor, replacing the range with AutoDelDrag.
void Paste(EditWindow& w);
// Append (31): the content of a file at the cursor; an empty name asks for one. Files
// named *.reg that start with the 16-bit byte-order mark are read as 16-bit text.
void Append(EditWindow& w, std::string_view fileName);
// Split (32): writes the range to a file, which is replaced; an empty name asks for one.
void Split(EditWindow& w, std::string_view fileName);

}  // namespace varlin
