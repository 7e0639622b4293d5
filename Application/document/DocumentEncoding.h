// How a document's bytes are read as characters: through the global code table, or as
// UTF-8 (a per-document choice, LineStore::utf8). The bytes themselves never change with
// the choice; a file is recognised as UTF-8 when it is valid UTF-8 holding a multi-byte
// character, or when it starts with the byte-order mark.
#pragma once

#include "document/LineStore.h"

namespace varlin {

// Whether the lines of a loaded document read as UTF-8 (one pass at memory speed; a
// sequence never spans lines, since a line end is ASCII).
bool LinesLookLikeUtf8(const LineStore& store);

// After a load: the document becomes UTF-8 when detect is on and its lines look like it.
void RecognizeEncoding(LineStore& store, bool detect);

}  // namespace varlin
