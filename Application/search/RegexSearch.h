// The forward search of a document with a regular expression (Mode bit 32): line by line
// from a position to the end, never wrapping, each line matched as the work buffer holds
// it. Where the expression holds a literal text, the plain engine first looks for that
// across many lines at once, so that only lines that hold it are matched.
//
// A search can end three ways besides a hit: nothing found, cut off by the library's
// limits (an expression whose matching explodes), or stopped by Escape or a stop request,
// which are polled between lines. Only the first is "not found"; the messages for the
// others are here, so that every caller says the same.
#pragma once

#include "search/RegexPattern.h"
#include "search/SearchEngine.h"

namespace varlin {

struct EditWindow;

enum class RegexOutcome { Hit, NotFound, CutOff, Stopped };

// A match: its line and the character indexes [start, end) in it.
struct RegexHit {
    int line = 0;
    int start = 0;
    int end = 0;
};

struct RegexSearcher {
    RegexPattern regex;
    SearchPattern literal;   // the expression's required text for the plain engine
    bool useLiteral = false;

    // Compiles the request for the document's code table; on a bad expression shows
    // message 1240 with the position and the library's words and returns false.
    bool Compile(const FindSettings& settings, int codeTable);

    // From `index` of `line` on; notEmptyAtIndex refuses an empty match right there (the
    // search after an empty match). On CutOff and Stopped, hit.line is where it ended.
    RegexOutcome SearchFrom(const EditWindow& w, int line, int index, bool notEmptyAtIndex, RegexHit& hit);
};

// Message 1241 (a limit cut the search off in `line`, 0-based) or 1242 (stopped there).
void ShowSearchCutShort(RegexOutcome outcome, int line);

// SearchForward for a request with Regex set: 1 with (line, col) on the first match, 0
// when there is none, -1 when a message said why the search found nothing (a bad
// expression, a search cut short). Shows the wait cursor meanwhile.
int RegexSearchForward(const FindSettings& settings, EditWindow& w, int& line, int& col);

// Message 1243: a bad replacement template.
void ShowReplacementError(const RegexError& error);

}  // namespace varlin
