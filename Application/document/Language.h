// Language: the programming language of a document, chosen once from the extension of
// its file name (Java, Delphi, C/C++, or plain text when colouring is off), and the
// syntax classes the painter asks for position by position: inside a comment, start of
// a routine, keyword. Also the fixed routine-line test and the bracket list parsing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varlin {

class LineStore;

// One keyword; a table ends with an entry whose wordLength is 0.
struct KeywordEntry {
    std::uint32_t wordLength;
    const char* word;
};

extern const KeywordEntry kKeywordsCpp[];
extern const KeywordEntry kKeywordsJava[];
extern const KeywordEntry kKeywordsDelphi[];

enum LanguageLabel : int {
    kLabelText = 1614,
    kLabelJava = 1615,
    kLabelCpp = 1616,
    kLabelDelphi = 1617,
};

constexpr int kMaxExtensionLength = 8;
constexpr int kMaxBracketLength = 19;

// Sets the store's colouring flag and its language fields from its file name.
void SelectLanguage(LineStore& store, int flag);
int GetLanguageLabelId(const LineStore& store);

// The language's routine pattern applied to a line (painting, prototypes).
bool IsRoutineStart(const LineStore& store, int line);
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
