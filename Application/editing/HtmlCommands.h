// The two commands that convert a whole document between accented letters and HTML
// sequences, line by line, without asking: 302 "&HTML-Sequencen erzeugen..." and 301
// "HTML-Sequenzen a&uflösen...". They leave the cursor, the marked range and the undo
// step alone and are not recorded for macros.
#pragma once

namespace varlin {

struct EditWindow;

constexpr int kLinesToHtmlCommand = 302;
constexpr int kLinesFromHtmlCommand = 301;

// Command 302. A line that holds a convertible byte is replaced by its converted form,
// unless that form would be longer than the line work buffer holds (LngLineBuffer - 1
// characters): such a line stays as it is, whole, rather than being cut. The document is
// marked modified also when no line changed. 0, or -1 when memory ran out (message 1002;
// the lines converted so far stay converted).
int LinesToHtml(EditWindow& w);

// Command 301, the reverse, under the same rule.
int LinesFromHtml(EditWindow& w);

// The entry points of the document window's command table.
inline int CommandLinesToHtml(EditWindow& w) { return LinesToHtml(w); }
inline int CommandLinesFromHtml(EditWindow& w) { return LinesFromHtml(w); }

}  // namespace varlin
