// The search engine of a document window: a forward, line-by-line search from a position
// to the end of the document (never wrapping), optionally ignoring case (ANSI upper case,
// so that "ä" finds "Ä") and demanding that a hit begins or ends its line; and the two
// steps of a replace at a hit, replacing the matched text and marking the hit.
//
// Lines are compared as the line work buffer would hold them (cut after LngLineBuffer - 1
// characters), converted from OEM to ANSI when the document is in the OEM table, since
// search texts are typed in ANSI. The conversion and the upper-casing are one 256-entry
// table applied to the bytes as they are compared, so no line is ever copied.
#pragma once

#include "search/FindSettings.h"

#include <string>
#include <string_view>
#include <vector>

namespace varlin {

struct EditWindow;

// A search request made ready for comparing, once per command.
struct SearchPattern {
    std::string text;              // expanded and cut; upper case unless CapsSens
    bool startOfLine = false;
    bool endOfLine = false;
    bool folded = false;           // line bytes pass through fold[] before comparing
    bool utf8Folded = false;       // line characters are folded (FoldUtf8SameLength)
    unsigned char fold[256] = {};
    // The line bytes that fold to the pattern's first byte (at most 256 of them).
    unsigned char firstBytes[256] = {};
    int firstByteCount = 0;
    // The same for the pattern's last byte; the scan asks for both ends at once, which
    // skips the many places where only a common first letter stands.
    unsigned char lastBytes[256] = {};
    int lastByteCount = 0;
    // For the vector scan, filled with the rest: up to three first and three last bytes,
    // each repeated sixteen times (unused places repeat the first), and whether the scan
    // asks for the last byte too.
    alignas(16) unsigned char firstSpread[3][16] = {};
    alignas(16) unsigned char lastSpread[3][16] = {};
    bool scanBothEnds = false;
    // Each set is one byte or two that differ in one bit: firstSpread[0] and lastSpread[0]
    // then hold the byte or'ed with that bit, [1] the bit.
    bool scanByBit = false;
};

// Builds the pattern from FindString (expanded when ExpandEscapes is set, else cut at 255
// characters) for a document in codeTable (1 OEM, 3 UTF-8, anything else ANSI; a UTF-8
// document ignores case by Unicode simple case folding, character for character). Returns false
// when it is empty: a text that expands to nothing, or a refused notation, finds nothing.
bool CompilePattern(const FindSettings& settings, int codeTable, SearchPattern& pattern);

// The index of the first occurrence of the pattern in line at or after from; -1 when
// there is none. The line is taken as it is given (the caller cuts it).
int FindInLine(const SearchPattern& pattern, std::string_view line, int from);
// Every index at or after from where the pattern stands in line, ascending (overlapping
// ones too): what FindInLine gives from from, and from each hit + 1 on, in one pass.
void FindAllInLine(const SearchPattern& pattern, std::string_view line, int from, std::vector<int>& hits);

// From (line, col), a display column, to the end of the document: 1 with (line, col) set
// to the first hit, or 0 with both unchanged. Of each line only the first occurrence at or
// after the start is tested against StartOfLine and EndOfLine. The first form shows the
// wait cursor while it searches, and searches with a regular expression when the request
// says so (Regex); that may also give -1, a bad expression or a search cut short, for which
// a message has been shown.
int SearchForward(const FindSettings& settings, EditWindow& w, int& line, int& col);
int SearchForward(const SearchPattern& pattern, EditWindow& w, int& line, int& col);

// Whether the pattern stands at index of line.
bool PatternAt(const SearchPattern& pattern, std::string_view line, int index);

// The same on character indexes, for loops that keep their position as an index: from
// index in line (the work buffer's copy of it) to the first hit. lineText, when given,
// receives the whole stored line of the hit (not cut to the work buffer).
int SearchFromIndex(const SearchPattern& pattern, const EditWindow& w, int& line, int& index,
                    std::string_view* lineText = nullptr);

// The display column of toIndex in text, walking only from fromIndex, whose column
// fromCol is known (toIndex >= fromIndex; past the text's end counts as its end).
int AdvanceColumn(const EditWindow& w, std::string_view text, int fromIndex, int fromCol, int toIndex);
// The same with the margin width and tab step given (they stay while a loop runs).
int AdvanceColumn(std::string_view text, int fromIndex, int fromCol, int toIndex, int marginWidth,
                  int tabStep);

// The matched length of a request: FindString's length after expansion when ExpandEscapes
// is set, else its length cut at 255.
int MatchedLength(const FindSettings& settings);

// The replacement bytes as stored into the line: expanded (ExpandEscapes) or cut at 255,
// then converted from ANSI to OEM when codeTable is 1. False for a refused notation.
bool PrepareReplacement(const std::string& replaceText, int expandEscapes, int codeTable,
                        std::string& bytes);

// Replaces matchedLength characters at (line, col) by replaceText (prepared as above):
// 0 with col moved behind the inserted text, or -1 when the line would reach
// LngLineBuffer - 1 characters (message 1110; the line stays as it was), the notation
// was refused or the line could not be stored. The caller repaints the line.
int ReplaceAtHit(EditWindow& w, int matchedLength, const std::string& replaceText, int line,
                 int& col, int expandEscapes);
// The same with the replacement already prepared; and on a character index, leaving the
// new column to the caller.
int ReplacePrepared(EditWindow& w, int matchedLength, std::string_view replacement, int line,
                    int& col);
int ReplaceAtIndex(EditWindow& w, int matchedLength, std::string_view replacement, int line,
                   int index);

// Makes the hit of `length` characters at (line, col) the marked range. The caller
// repaints the hit's line; a previous mark on another line is repainted here.
void MarkHit(EditWindow& w, int line, int col, int length);
// The same with both columns known: the hit spans fromCol up to (not including) toCol.
void MarkHitColumns(EditWindow& w, int line, int fromCol, int toCol);

}  // namespace varlin
