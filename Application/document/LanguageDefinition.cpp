// The reader of language definition files: "KEY = VALUE" lines, blank lines and "#"
// comment lines; list keys may be given on several lines, every other key once.
#include "document/LanguageDefinition.h"


namespace varlin {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Appends the blank-separated words of s to words.
void AppendWords(std::string_view s, std::vector<std::string>& words) {
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        std::size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > start) words.emplace_back(s.substr(start, i - start));
    }
}

std::vector<std::string> Words(std::string_view s) {
    std::vector<std::string> words;
    AppendWords(s, words);
    return words;
}

bool ParseYesNo(std::string_view value, bool& out) {
    if (value == "yes") out = true;
    else if (value == "no") out = false;
    else return false;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One byte written as itself or as \xHH; -1 for anything else.
int ParseByte(std::string_view s) {
    if (s.size() == 1) return static_cast<unsigned char>(s[0]);
    if (s.size() == 4 && s[0] == '\\' && s[1] == 'x' && HexDigit(s[2]) >= 0 && HexDigit(s[3]) >= 0)
        return HexDigit(s[2]) * 16 + HexDigit(s[3]);
    return -1;
}

// "A-Z a-z 0-9 _ \x80-\xff": single bytes and ranges.
bool ParseByteSet(std::string_view value, std::array<bool, 256>& set) {
    set.fill(false);
    std::vector<std::string> items = Words(value);
    if (items.empty()) return false;
    for (const std::string& item : items) {
        std::size_t dash = item.find('-', 1);
        int from = -1, to = -1;
        if (dash != std::string::npos) {
            from = ParseByte(std::string_view(item).substr(0, dash));
            to = ParseByte(std::string_view(item).substr(dash + 1));
        } else {
            from = to = ParseByte(item);
        }
        if (from < 0 || to < from) return false;
        for (int c = from; c <= to; ++c) set[static_cast<std::size_t>(c)] = true;
    }
    return true;
}

// The group syntax: operator, negation, test character, blank; four characters a group.
bool ValidRoutinePattern(std::string_view p) {
    if (p.empty()) return false;
    for (std::size_t i = 0; i < p.size(); i += 4) {
        char op = p[i];
        if (op != '<' && op != '=' && op != '>') return false;
        if (i + 3 < p.size() && p[i + 3] != ' ') return false;
    }
    return true;
}

bool ValidName(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '-' || c == '_' || c == '+';
        if (!ok) return false;
    }
    return true;
}

void DefaultWordBytes(std::array<bool, 256>& set) {
    for (int c = 0; c < 256; ++c)
        set[static_cast<std::size_t>(c)] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                           (c >= '0' && c <= '9') || c == '_' || c >= 128;
}

// Reads one "KEY = VALUE" into d; a reason id, or 0 when it was taken.
int TakeValue(LanguageDefinition& d, std::string_view key, std::string_view value,
              std::vector<std::string>& seen, std::string& detail, int line,
              const RuleFailedLater& ruleFailedLater) {
    auto append = [](std::vector<std::string>& to, std::string_view v) {
        AppendWords(v, to);
        return 0;
    };
    if (key == "extensions") return append(d.extensions, value);
    if (key == "files") return append(d.fileNames, value);
    if (key == "shebang") return append(d.shebangs, value);
    if (key == "keywords") return append(d.keywords, value);

    for (const std::string& s : seen)
        if (s == key) return kReasonTwice;
    seen.emplace_back(key);
    bool ok = true;
    if (key == "name") {
        if (!ValidName(value)) return kReasonBadName;
        d.name = value;
    } else if (key == "label") {
        ok = !value.empty();
        d.label = value;
    } else if (key == "keywords-case") {
        ok = value == "sensitive" || value == "insensitive";
        d.keywordsIgnoreCase = value == "insensitive";
    } else if (key == "word-chars") {
        ok = ParseByteSet(value, d.isWord);
    } else if (key == "line-comment") {
        ok = Words(value).size() == 1;
        d.lineComment = value;
    } else if (key == "line-comment-after-blank") {
        ok = ParseYesNo(value, d.lineCommentAfterBlank);
    } else if (key == "block-comment") {
        std::vector<std::string> markers = Words(value);
        ok = markers.size() == 2;
        if (ok) {
            d.blockOpen = markers[0];
            d.blockClose = markers[1];
        }
    } else if (key == "quotes") {
        for (const std::string& q : Words(value)) {
            int c = ParseByte(q);
            if (c < 0) return kReasonBadValue;
            d.isQuote[static_cast<std::size_t>(c)] = true;
        }
    } else if (key == "escape") {
        d.escape = ParseByte(value);
        ok = d.escape >= 0;
    } else if (key == "strings-in-comments") {
        ok = ParseYesNo(value, d.stringsInComments);
    } else if (key == "routine-pattern") {
        ok = ValidRoutinePattern(value);
        d.routinePattern = value;
    } else if (key == "routine" && ruleFailedLater) {
        d.routineRule = RoutineRule::CompileOnFirstUse(value, [line, ruleFailedLater](const std::string& message) {
            ruleFailedLater({line, kReasonBadRule, message});
        });
    } else if (key == "routine") {
        std::string error;
        d.routineRule = RoutineRule::Compile(value, error);
        if (!d.routineRule) {
            detail = error;
            return kReasonBadRule;
        }
    } else {
        return kReasonUnknownKey;
    }
    return ok ? 0 : kReasonBadValue;
}

}  // namespace

const LanguageDefinition& PlainScanRules() {
    static const LanguageDefinition rules = [] {
        LanguageDefinition d;
        d.isQuote['"'] = true;
        d.stringsInComments = true;
        for (int c = 0; c < 256; ++c)
            d.isWord[static_cast<std::size_t>(c)] = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '#';
        return d;
    }();
    return rules;
}

std::size_t StringEnd(const LanguageDefinition& rules, std::string_view text, std::size_t at) {
    const char quote = text[at];
    for (std::size_t k = at + 1; k < text.size(); ++k) {
        if (text[k] == quote) return k;
        if (static_cast<unsigned char>(text[k]) == rules.escape) ++k;
    }
    return std::string_view::npos;
}

std::shared_ptr<LanguageDefinition> ParseLanguageDefinition(std::string_view text, DefinitionError& error,
                                                            const RuleFailedLater& ruleFailedLater) {
    auto d = std::make_shared<LanguageDefinition>();
    DefaultWordBytes(d->isWord);
    std::vector<std::string> seen;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNumber;
        if (line.empty() || line.front() == '#') continue;
        std::size_t equals = line.find('=');
        int reason = 0;
        std::string detail;
        if (equals == std::string_view::npos) {
            reason = kReasonNoEquals;
        } else {
            std::string_view key = Trim(line.substr(0, equals));
            detail = key;
            reason = TakeValue(*d, key, Trim(line.substr(equals + 1)), seen, detail, lineNumber, ruleFailedLater);
        }
        if (reason != 0) {
            error = {lineNumber, reason, detail};
            return nullptr;
        }
    }
    if (d->name.empty() || d->label.empty()) {
        error = {lineNumber, kReasonMissing, d->name.empty() ? "name" : "label"};
        return nullptr;
    }
    d->keywordTable.reserve(d->keywords.size() + 1);
    for (const std::string& k : d->keywords)
        d->keywordTable.push_back({static_cast<std::uint32_t>(k.size()), k.c_str()});
    d->keywordTable.push_back({0, nullptr});
    return d;
}

}  // namespace varlin
