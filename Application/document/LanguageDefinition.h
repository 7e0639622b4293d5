// LanguageDefinition: one language as a data file (docs/language-files.md) and the reader
// of that format. A definition names the language, says which files it is recognised by,
// and holds what colouring and the routine commands need: keywords, comment markers,
// string quotes, the word characters and the routine rule.
#pragma once

#include "document/RoutineRule.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace varlin {

// One keyword; a table ends with an entry whose wordLength is 0.
struct KeywordEntry {
    std::uint32_t wordLength;
    const char* word;
};

struct LanguageDefinition {
    std::string name;   // the key a user's definition replaces by ("cpp", "python")
    std::string label;  // shown in status field 508 and the language dialog
    std::vector<std::string> extensions;  // without dot, compared ignoring case
    std::vector<std::string> fileNames;   // whole names, compared ignoring case
    std::vector<std::string> shebangs;    // interpreter names of a "#!" first line
    std::vector<std::string> keywords;
    bool keywordsIgnoreCase = false;
    std::string lineComment;
    bool lineCommentAfterBlank = false;  // only at the line start or after a blank or tab
    std::string blockOpen;
    std::string blockClose;
    std::array<bool, 256> isQuote{};
    int escape = -1;                  // the byte that makes the next one part of a string
    bool stringsInComments = false;   // quotes are looked at inside block comments too
    std::array<bool, 256> isWord{};   // the bytes a keyword run is made of
    std::string routinePattern;       // the group syntax of the first three languages
    std::unique_ptr<RoutineRule> routineRule;
    // keywords as the table the syntax classes walk, pointing into `keywords`.
    std::vector<KeywordEntry> keywordTable;
};

// Where and why a definition could not be read: line 0 for the file as a whole.
struct DefinitionError {
    int line = 0;
    int reasonId = 0;       // string id of the reason (below)
    std::string detail;     // the key, or PCRE2's message
};

// The reasons a definition is refused, as string ids of their texts.
enum DefinitionReason : int {
    kReasonNoEquals = 3601,       // a line that is neither blank, comment nor KEY = VALUE
    kReasonUnknownKey = 3602,
    kReasonBadValue = 3603,       // yes/no, a character, two markers, a range of bytes
    kReasonTwice = 3604,          // a single-valued key given again
    kReasonMissing = 3605,        // name or label missing
    kReasonBadRule = 3606,        // the routine rule does not compile
    kReasonBadName = 3607,        // a name that is not letters, digits, "-", "_", "+"
    kReasonUnreadable = 3608,     // not a regular file, too large, or not readable
};

// The scanning rules of a store that has no language: the double quote without escape,
// quotes looked at inside block comments, ASCII letters and "#" as word bytes.
const LanguageDefinition& PlainScanRules();

// Where the string that opens with the quote at text[at] closes: the index of its closing
// quote, or npos when the line ends first (an escape byte takes the byte after it along).
std::size_t StringEnd(const LanguageDefinition& rules, std::string_view text, std::size_t at);

// Reads a definition; null with error filled when the text is not a sound definition.
// Never throws for any text (out of memory aside) and takes time linear in its length
// (the rule's compilation aside, which PCRE2 bounds). With ruleFailedLater, the routine
// rule is compiled on its first use instead (for the shipped definitions, which start-up
// should not pay for) and a failure then is told to it with the rule's line.
using RuleFailedLater = std::function<void(const DefinitionError& error)>;
std::shared_ptr<LanguageDefinition> ParseLanguageDefinition(std::string_view text, DefinitionError& error,
                                                            const RuleFailedLater& ruleFailedLater = {});

}  // namespace varlin
