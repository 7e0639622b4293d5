// Prototypes: command 240 "C++ Prototypes erzeugen..." turns the heads of routine
// definitions in the marked lines into declarations by appending ";" to each. A line
// with its ";" is no longer a routine start, so running the command again changes
// nothing. Not recorded for macros; the cursor, the range and the undo step stay.
#pragma once

namespace varlin {

struct EditWindow;

constexpr int kMakePrototypesCommand = 240;

// Walks the lines from the range's FromLine up to, not including, its ToLine as the range
// is stored (anchor to moving end, not normalised): a range drawn upwards or within one
// line changes nothing. A line counts when the document's language calls it a routine
// start, so nothing happens with colouring off. A line already as long as the line work
// buffer allows has no room for the ";" and stays. Returns the number of lines changed.
int MakePrototypes(EditWindow& w);

// The entry point of the document window's command table.
inline int CommandMakePrototypes(EditWindow& w) { return MakePrototypes(w); }

}  // namespace varlin
