// Language: the document's language and the syntax classes. The classes read the store's
// language fields, which only SelectLanguage and a choice by hand set, so a document keeps
// its language for life (saving under another name does not change it).
#include "document/Language.h"

#include "document/Languages.h"
#include "document/LineStore.h"
#include "resources/StringTable.h"
#include "textutil/CodeTables.h"

#include <algorithm>
#include <cstring>

namespace varlin {

namespace {

constexpr int kOpenEnd = 5000;  // the end column of a span that runs to the end of lines

// The first three languages keep their label ids; the others show their definition's label.
int LabelIdOf(const LanguageDefinition& d) {
    if (d.name == "java") return kLabelJava;
    if (d.name == "cpp") return kLabelCpp;
    if (d.name == "delphi") return kLabelDelphi;
    return kLabelOther;
}

void ClearLanguageFields(LineStore& store) {
    store.lineCommentMarker.clear();
    store.blockOpenMarker.clear();
    store.blockCloseMarker.clear();
    store.keywordTable = nullptr;
    store.languageLabelId = kLabelText;
}

void FillLanguageFields(LineStore& store, const LanguageDefinition& d) {
    store.languageLabelId = LabelIdOf(d);
    store.keywordTable = d.keywordTable.data();
    store.lineCommentMarker = d.lineComment;
    store.blockOpenMarker = d.blockOpen;
    store.blockCloseMarker = d.blockClose;
}

bool SameIgnoringCase(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::string FileExtension(std::string_view name) {
    std::size_t slash = name.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
    std::size_t dot = base.rfind('.');
    if (dot == std::string_view::npos) return {};
    return std::string(base.substr(dot + 1, kMaxExtensionLength));
}

void SelectLanguage(LineStore& store, int flag) {
    store.highlight = flag != 0;
    ClearLanguageFields(store);
    store.language = RecognizeLanguage(store.FileName(), store.LineView(0));
    if (store.highlight && store.language) FillLanguageFields(store, *store.language);
}

void SetDocumentLanguage(LineStore& store, const std::shared_ptr<const LanguageDefinition>& language) {
    store.highlight = language != nullptr;
    ClearLanguageFields(store);
    store.language = language;
    if (language) FillLanguageFields(store, *language);
}

int GetLanguageLabelId(const LineStore& store) { return store.languageLabelId; }

std::string LanguageLabel(const LineStore& store) {
    if (!store.highlight || !store.language) return LoadAppString(kLabelText);
    return store.language->label;
}

bool MatchesRoutinePattern(std::string_view pattern, std::string_view text) {
    if (pattern.empty() || text.empty()) return false;
    // Groups of four: operator, negation, test character, separating blank. A group cut
    // short by the end of the pattern reads the missing characters as zero.
    auto at = [&](std::size_t i) { return i < pattern.size() ? pattern[i] : '\0'; };
    for (std::size_t pos = 0; pos < pattern.size(); pos += 4) {
        char op = at(pos), negation = at(pos + 1), test = at(pos + 2);
        bool holds;
        switch (op) {
        case '<': holds = text.front() == test; break;
        case '=': holds = text.find(test) != std::string_view::npos; break;
        case '>': holds = text.back() == test; break;
        default: return false;
        }
        if (negation == '!') holds = !holds;
        if (!holds) return false;
    }
    return true;
}

bool IsPrototypeHead(const LineStore& store, int line) {
    if (!store.highlight) return false;
    std::string_view text = store.LineView(line);
    if (text.empty() || !IsAnsiAlphaNumeric(static_cast<unsigned char>(text.front())))
        return false;
    return store.language && MatchesRoutinePattern(store.language->routinePattern, text);
}

bool HasRoutineRule(const LineStore& store) { return store.language && store.language->routineRule; }

bool IsRoutineStart(const LineStore& store, int line) {
    if (!store.highlight) return false;
    if (HasRoutineRule(store)) {
        std::string_view text = store.LineView(line);
        return !text.empty() && store.language->routineRule->Matches(text);
    }
    return IsPrototypeHead(store, line);
}

bool IsDocumentRoutineLine(const LineStore& store, std::string_view text, std::string* name) {
    if (HasRoutineRule(store)) return !text.empty() && store.language->routineRule->Matches(text, name);
    return IsRoutineLine(text);
}

bool IsRoutineLine(std::string_view text) {
    return !text.empty() && IsAnsiAlphaNumeric(static_cast<unsigned char>(text.front())) &&
           text.find('(') != std::string_view::npos &&
           text.find('#') == std::string_view::npos &&
           text.find('.') == std::string_view::npos && text.back() != ';';
}

bool CommentRunAt(const LineStore& store, int line, int index, int& runLength) {
    runLength = 1;
    if (!store.highlight) return false;
    for (const CommentSpan& span : store.CommentIndex()) {
        if (line < span.startLine || line > span.endLine) continue;
        int begin = line == span.startLine ? span.startCol : 0;
        int end = line == span.endLine ? span.endCol : kOpenEnd;
        if (index >= begin && index <= end) {
            runLength = end - index + 1;
            return true;
        }
    }
    return false;
}

bool KeywordRunAt(const LineStore& store, int line, int index, int& runLength) {
    std::string_view text = store.LineView(line);
    if (!store.highlight || text.empty()) {
        runLength = kOpenEnd;
        return false;
    }
    if (index < 0 || static_cast<std::size_t>(index) >= text.size()) return false;
    const LanguageDefinition& rules = store.language ? *store.language : PlainScanRules();
    std::size_t start = static_cast<std::size_t>(index);
    if (rules.isQuote[static_cast<unsigned char>(text[start])]) {
        std::size_t close = StringEnd(rules, text, start);
        runLength = close == std::string_view::npos ? int(text.size() - start) + 1
                                                    : int(close - start) + 1;
        return false;
    }
    std::size_t end = start;
    while (end < text.size() && rules.isWord[static_cast<unsigned char>(text[end])]) ++end;
    std::size_t length = end - start;
    runLength = length == 0 ? 1 : int(length);
    if (length == 0 || !store.keywordTable) return false;
    const char* word = text.data() + start;
    for (const KeywordEntry* k = store.keywordTable; k->wordLength != 0; ++k) {
        if (k->wordLength != length) continue;
        if (rules.keywordsIgnoreCase ? SameIgnoringCase(k->word, word, length)
                                     : std::memcmp(k->word, word, length) == 0)
            return true;
    }
    return false;
}

std::vector<std::string> ParseBracketList(std::string_view list) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (pos <= list.size() && !list.empty()) {
        std::size_t comma = list.find(',', pos);
        std::string_view item = list.substr(pos, comma == std::string_view::npos
                                                     ? std::string_view::npos
                                                     : comma - pos);
        items.emplace_back(item.substr(0, kMaxBracketLength));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return items;
}

}  // namespace varlin
