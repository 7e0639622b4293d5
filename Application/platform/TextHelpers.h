// Small text and position helpers shared by editing, painting, printing and recording:
// tab stops, ordering of text positions, trimming line ends, leading blanks, and turning
// backslashes of file names into slashes.
#pragma once

namespace varlin {

// The first tab stop after column: (column / d + 1) * d, where a distance below 2 counts
// as 2. A column so large that the next stop would overflow gives INT_MAX.
int NextTabStop(int tabDistance, int column);

// -1, 0 or 1 as (lineA, colA) lies before, at or after (lineB, colB).
int ComparePositions(int lineA, int colA, int lineB, int colB);

// Removes trailing CR, LF and end-of-file characters (26) in place; returns the new
// length (0 for a null text).
int TrimLineEnd(char* text);

// The number of blanks and tabs at the start of text (0 for a null text).
int CountLeadingBlanks(const char* text);

// Replaces every backslash by a slash, in place.
void BackslashesToSlashes(char* text);

}  // namespace varlin
