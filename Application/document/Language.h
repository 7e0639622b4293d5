// Language: the programming language of a document, chosen once from its file name or
// first line (document/Languages.h; plain text when colouring is off), and the syntax
// classes the painter asks for position by position: inside a comment, start of a
// routine, keyword. Also the routine tests of the jumps and the routine list, the fixed
// routine-line test and the bracket list parsing.
#pragma once

#include "document/LanguageDefinition.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace varlin {

class LineStore;

enum LanguageLabel : int {
    kLabelText = 1614,
    kLabelJava = 1615,
    kLabelCpp = 1616,
    kLabelDelphi = 1617,
    kLabelOther = 0,  // a language beyond the first three: its label is its definition's
};

constexpr int kMaxExtensionLength = 8;
constexpr int kMaxBracketLength = 19;

// Sets the store's colouring flag and its language fields from its file name and first
// line. With colouring off the document shows as "Text" but keeps the language it was
// recognised as for its routine jumps and list.
void SelectLanguage(LineStore& store, int flag);
// Sets the language chosen by hand: a definition (colouring on), or null for "Text".
void SetDocumentLanguage(LineStore& store, const std::shared_ptr<const LanguageDefinition>& language);
int GetLanguageLabelId(const LineStore& store);
// The label status field 508 shows: the definition's, or string 1614 "Text".
std::string LanguageLabel(const LineStore& store);

// The routine start the painter colours: the language's routine rule, or for a language
// with a routine pattern that pattern (also for prototypes).
bool IsRoutineStart(const LineStore& store, int line);
// Whether the routine head pattern of the first languages holds (prototypes): false for a
// language that has a routine rule instead, whose lines are no C heads.
bool IsPrototypeHead(const LineStore& store, int line);
// The routine test of the jumps and the routine list: the language's rule, or the fixed
// rule for languages without one. With name, a rule's match gives the routine's name
// there (left alone when the fixed rule decides).
bool IsDocumentRoutineLine(const LineStore& store, std::string_view text, std::string* name = nullptr);
// Whether the document's language has a routine rule (else the fixed rule serves).
bool HasRoutineRule(const LineStore& store);
// The fixed routine test, independent of language and colouring (routine jumps, lists).
bool IsRoutineLine(std::string_view text);
// Applies a routine pattern ("==( =!# =!. >!;") to a text; an empty pattern never matches.
bool MatchesRoutinePattern(std::string_view pattern, std::string_view text);

// True when the character at index of line lies inside a comment of the comment index;
// runLength is the rest of the covering span, or 1.
bool CommentRunAt(const LineStore& store, int line, int index, int& runLength);
// True when a keyword starts at index; runLength is the word or string run there.
bool KeywordRunAt(const LineStore& store, int line, int index, int& runLength);

// The extension of a file name without its dot, cut to 8 characters; "" for none.
std::string FileExtension(std::string_view name);

// The items of a bracket list as they stand (blanks kept, each cut to 19 characters):
// items 1, 3, 5 ... open, the item after each closes it.
std::vector<std::string> ParseBracketList(std::string_view list);

}  // namespace varlin
