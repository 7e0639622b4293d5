// A search request whose text is a regular expression (Mode bit 32), compiled once per
// command with PCRE2 and its JIT, and matched against one line at a time: a match never
// spans a line end, and ^ and $ are the line's start and end.
//
// In a UTF-8 document a character is one unit and case folds by Unicode's rules. In a
// code-table document the bytes are matched, read in the ANSI table as the plain search
// reads them: the letters above ASCII have their cases by that table, and an OEM line is
// converted in a copy of the same length, so that every offset holds for the stored line.
//
// Matching is bounded: a pattern whose matching explodes ends with MatchResult::Limit
// instead of taking minutes, and the callers say so rather than report "not found".
#pragma once

#include "search/FindSettings.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace varlin {

enum class MatchResult { Match, NoMatch, Limit };

// Where and why the library refused an expression: a character position counted from 1
// and the library's own words.
struct RegexError {
    int position = 0;
    std::string text;
};

class RegexPattern {
public:
    RegexPattern();
    ~RegexPattern();
    RegexPattern(const RegexPattern&) = delete;
    RegexPattern& operator=(const RegexPattern&) = delete;

    // Compiles FindString (never expanded: the expression has escapes of its own) with
    // CapsSens, StartOfLine and EndOfLine for a document in codeTable (1 OEM, 3 UTF-8,
    // else ANSI). False with `error` filled when the library refuses it.
    bool Compile(const FindSettings& settings, int codeTable, RegexError& error);

    // The first match in line at or after `from`; notEmptyAtFrom refuses an empty match
    // at `from` itself (the next search after an empty match). On Match, [start, end).
    MatchResult Match(std::string_view line, std::size_t from, bool notEmptyAtFrom, std::size_t& start,
                      std::size_t& end);

    // The replacement for the last match in `line` (the stored line that Match was given):
    // `$1`, `${name}`, `$$`, `\U`...`\E` and the rest of the library's extended syntax. The
    // template is in the ANSI table; in an OEM document its characters go in as OEM, the
    // captured text as it stands (when the template changes case, by way of the ANSI
    // table, unless a byte of the line has no ANSI form). False with `error` for a bad
    // template.
    bool Expand(std::string_view line, std::string_view replaceTemplate, std::string& out, RegexError& error);

    // A text every match holds (a run of literal characters of the expression, compared
    // with the same CapsSens), which the plain engine can look for across many lines at
    // once before a line is matched; empty when no such text is known.
    const std::string& RequiredText() const { return required_; }

    bool StartOfLine() const { return startOfLine_; }

private:
    struct Library;
    std::unique_ptr<Library> lib_;
    std::string required_;
    std::string copy_;           // the line as matched, when it is not matched as stored
    std::string templateSource_; // the latest replacement template as given,
    std::string template_;       // as expanded (in the OEM table for an OEM document)
    bool templateLiteral_ = false;  // no '$' or '\\': the template is the replacement
    bool templateChangesCase_ = false;  // \U, \L, \u or \l
    bool templateReady_ = false;
    unsigned char fold_[256] = {};
    bool useCopy_ = false;
    bool oem_ = false;
    bool utf8_ = false;
    bool startOfLine_ = false;
};

// The longest run of characters that every match of `pattern` holds, read from the
// expression's top level only (no alternative, outside groups and classes, not made
// optional by a quantifier); empty when there is none or the expression changes its own
// options. caselessUtf8 leaves out the letters that Unicode folds to more than one ASCII
// partner (k, s) and everything above ASCII. Exposed for tests.
std::string RequiredLiteral(std::string_view pattern, bool utf8, bool caselessUtf8);

}  // namespace varlin
