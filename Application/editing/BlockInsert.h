// BlockInsert: putting a text of many lines in at the cursor, the one algorithm behind
// pasting, inserting a file and undoing a deletion. The text's first line joins the
// cursor line before the cursor, its last line takes the rest of the cursor line, and
// the lines between are inserted with a single InsertLines, so that the work grows with
// the text and not with the document.
#pragma once

#include "editing/EditWindow.h"

#include <string>
#include <string_view>

namespace varlin {

// How a line of the source loses its line end. Reader: trailing CR, LF and 0x1A go, as
// the file reader drops them. Exact: only the LF and one CR before it go, so that text
// the editor wrote out itself (the undo record's) comes back byte for byte.
enum class LineEndRule { Reader, Exact };

// Inserts text at the cursor and puts the cursor just after it, before the former rest of
// the line. The document's line buffer grows to hold the longest line; only a line
// longer than the largest buffer is continued on further lines, so nothing is ever lost. An empty text changes nothing but
// the cursor, which goes to the column of its index. Refused with a beep when the cursor
// line is longer than the line buffer. 0, or -1 (message 1002 when memory ran out).
int InsertTextAtCursor(EditWindow& w, std::string_view text, LineEndRule rule);

// 16-bit little-endian text as the editor reads it: the first byte of every pair is kept,
// the second dropped; a lone byte at the end is dropped.
std::string NarrowWideText(std::string_view bytes);

enum class PieceKind { Plain, Wide };

// Inserts the content of an open file at the cursor. Plain: read from offset in text
// translation mode (CR LF is LF, 0x1A ends it). Wide: read raw from offset and narrowed.
// name is only used in messages. 0, or -1 after the file's error message.
int InsertStream(EditWindow& w, int fd, long offset, PieceKind kind, const std::string& name);

}  // namespace varlin
