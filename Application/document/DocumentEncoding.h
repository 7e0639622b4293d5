// How a document's bytes are read as characters: through the global code table, or as
// UTF-8 (a per-document choice, LineStore::utf8). The bytes themselves never change with
// the choice; a file is recognised as UTF-8 when it holds multi-byte characters and at
// most a few bytes of no valid sequence (Utf8Tally), or when it starts with the
// byte-order mark.
#pragma once

#include "document/LineStore.h"

#include <cstddef>

namespace varlin {

// Whether the lines of a document read as UTF-8, line by line (a sequence never spans
// lines, since a line end is ASCII).
bool LinesLookLikeUtf8(const LineStore& store);

// After a load: the document becomes UTF-8 when detect is on and its text looks like it.
// block (when given) is the text the lines were cut from, each two lines apart by at
// least one line-end byte: those are ASCII, so the block is valid exactly when every line
// is, and it is read in one pass instead of line by line.
void RecognizeEncoding(LineStore& store, bool detect, const char* block = nullptr, std::size_t size = 0);

}  // namespace varlin
