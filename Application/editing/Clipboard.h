// Clipboard: the marked range going out to the clipboard and clipboard text coming in at
// the cursor. The clipboard holds the document's bytes with CR LF between lines; the
// host decides how other programs see them.
#pragma once

#include "editing/EditWindow.h"
#include "platform/Host.h"

namespace varlin {

constexpr int kMessageClipboardWrite = 1042;  // "Fehler beim Schreiben in die Zwischenablage"
constexpr int kMessageClipboardRead = 1043;   // "Fehler beim Lesen aus der Zwischenablage"

// Puts the range's text on the clipboard. An empty range leaves the clipboard alone and
// counts as success. 0, or -1 after message 1004 or 1042.
int CopyRangeToClipboard(const EditWindow& w, const DragRange& range);

// Reads the clipboard's text as a document of the kind wants it; false after message 1043.
bool ReadClipboardText(std::string& text, ClipboardText kind);
// The kind of clipboard text a document exchanges: UTF-8 or its code table's bytes.
ClipboardText ClipboardKindOf(const EditWindow& w);

// Inserts the clipboard's text at the cursor (nothing for an empty clipboard).
void PasteText(EditWindow& w);

}  // namespace varlin
