// The regular expressions of the search on PCRE2: compiling with the JIT, bounded
// matching of one line, the extended substitution, and the literal text the plain engine
// looks for first.
#include "search/RegexPattern.h"

#include "settings/Options.h"
#include "textutil/CodeTables.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

namespace varlin {
namespace {

// The library's own default step limit, set explicitly: `(a+)+$` on a line of a's gives
// up within a fraction of a second. The depth limit bounds the interpreter's backtracking
// memory when the JIT is not available; the JIT stack bounds the compiled code's.
constexpr std::uint32_t kMatchLimit = 10'000'000;
constexpr std::uint32_t kDepthLimit = 100'000;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 1024 * 1024;
// The subject of an empty line, whose view may have no address.
constexpr char kNoText[] = "";

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    const int n = pcre2_get_error_message(code, buffer, sizeof buffer);
    return n > 0 ? std::string(reinterpret_cast<const char*>(buffer), std::size_t(n)) : std::string("?");
}

// Characters before byte `offset` of text, counted from 1 (UTF-8 continuation bytes are
// no characters of their own).
int CharacterPosition(std::string_view text, std::size_t offset, bool utf8) {
    offset = std::min(offset, text.size());
    if (!utf8) return int(offset) + 1;
    int count = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++count;
    return count;
}

// ---- Character tables of the ANSI table --------------------------------------------

// Where the library keeps what in its character tables (its own generator's layout): the
// lower-case and flip-case tables, then ten class bitmaps of 32 bytes, then a type byte
// per character.
constexpr std::size_t kLowerCase = 0;
constexpr std::size_t kFlipCase = 256;
constexpr std::size_t kClassBits = 512;
constexpr std::size_t kUpperBits = kClassBits + 96;
constexpr std::size_t kLowerBits = kClassBits + 128;
constexpr std::size_t kTypes = kClassBits + 320;
constexpr std::size_t kTablesLength = kTypes + 256;

bool Bit(const std::uint8_t* bits, unsigned c) { return (bits[c / 8] >> (c % 8)) & 1; }
void SetBit(std::uint8_t* bits, unsigned c, bool on) {
    if (on) bits[c / 8] = std::uint8_t(bits[c / 8] | (1u << (c % 8)));
    else bits[c / 8] = std::uint8_t(bits[c / 8] & ~(1u << (c % 8)));
}

// The library's tables for ASCII with the letters above it paired by their cases in the
// ANSI table, so that without CapsSens "\xE4" and "[\xE0-\xFE]" meet "\xC4" as the plain
// search does and \U upper-cases them; above ASCII no byte is in another class. Null,
// leaving the library's own tables (ASCII case only), when the layout is not the one
// known here.
const std::uint8_t* AnsiTables() {
    static const std::uint8_t* const tables = []() -> const std::uint8_t* {
        const std::uint8_t* made = pcre2_maketables(nullptr);
        if (!made) return nullptr;
        static std::uint8_t t[kTablesLength];
        std::memcpy(t, made, sizeof t);
        pcre2_maketables_free(nullptr, made);
        const bool known = t[kLowerCase + 'A'] == 'a' && t[kFlipCase + 'a'] == 'A' && t[kFlipCase + 'A'] == 'a' &&
                           Bit(t + kUpperBits, 'A') && !Bit(t + kUpperBits, 'a') && Bit(t + kLowerBits, 'z') &&
                           Bit(t + kClassBits + 64, '7') && Bit(t + kClassBits, ' ');
        if (!known) return nullptr;
        for (unsigned c = 0x80; c < 256; ++c) {
            for (std::size_t bits = kClassBits; bits < kTypes; bits += 32) SetBit(t + bits, c, false);
            t[kTypes + c] = 0;
            t[kLowerCase + c] = std::uint8_t(c);
            t[kFlipCase + c] = std::uint8_t(c);
            const auto u = static_cast<unsigned char>(c);
            // Only letters whose two cases lead to each other.
            if (AnsiUpper(u) != u && AnsiLower(AnsiUpper(u)) == u) {
                t[kFlipCase + c] = AnsiUpper(u);
                SetBit(t + kLowerBits, c, true);
            } else if (AnsiLower(u) != u && AnsiUpper(AnsiLower(u)) == u) {
                t[kLowerCase + c] = AnsiLower(u);
                t[kFlipCase + c] = AnsiLower(u);
                SetBit(t + kUpperBits, c, true);
            }
        }
        return t;
    }();
    return tables;
}

// ---- The required literal --------------------------------------------------------------

// Skips what follows a backslash at p (p on the character after it) that is no literal
// character: the arguments of \x{..}, \xHH, \o{..}, octal and back-reference digits, \cX,
// \g, \k, \p, \P, \N. Returns the index after the escape.
std::size_t SkipEscapeArgument(std::string_view s, std::size_t p) {
    const char c = s[p++];
    auto skipBracketed = [&](std::size_t q) {
        const char open = s[q];
        const char close = open == '{' ? '}' : open == '<' ? '>' : open == '\'' ? '\'' : 0;
        if (!close) return q;
        const std::size_t end = s.find(close, q + 1);
        return end == std::string_view::npos ? s.size() : end + 1;
    };
    if (p >= s.size()) return p;
    switch (c) {
    case 'x':
        if (s[p] == '{') return skipBracketed(p);
        for (int k = 0; k < 2 && p < s.size() && std::isxdigit(static_cast<unsigned char>(s[p])); ++k) ++p;
        return p;
    case 'c':
        return p + 1;
    case 'o': case 'p': case 'P': case 'N': case 'k':
        return skipBracketed(p);
    case 'g':
        if (s[p] == '{' || s[p] == '<' || s[p] == '\'') return skipBracketed(p);
        while (p < s.size() && (std::isdigit(static_cast<unsigned char>(s[p])) || s[p] == '-' || s[p] == '+')) ++p;
        return p;
    default:
        if (c >= '0' && c <= '9')
            while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) ++p;
        return p;
    }
}

// The index after the class that opens at p ("[").
std::size_t SkipClass(std::string_view s, std::size_t p) {
    ++p;
    if (p < s.size() && s[p] == '^') ++p;
    if (p < s.size() && s[p] == ']') ++p;  // a leading ']' is a member
    while (p < s.size() && s[p] != ']') {
        if (s[p] == '\\') {
            p += 2;
        } else if (s[p] == '[' && p + 1 < s.size() && s[p + 1] == ':') {
            const std::size_t end = s.find(":]", p + 2);
            p = end == std::string_view::npos ? s.size() : end + 2;
        } else {
            ++p;
        }
    }
    return std::min(p + 1, s.size());
}

// The index after the group that opens at p ("("), or npos for one that changes options
// ("(?i)", "(?x:"), verbs ("(*UTF)") or quoting inside, after which nothing is known.
std::size_t SkipGroup(std::string_view s, std::size_t p) {
    int depth = 0;
    while (p < s.size()) {
        const char c = s[p];
        if (c == '\\') {
            if (p + 1 < s.size() && s[p + 1] == 'Q') return std::string_view::npos;
            p += 2;
        } else if (c == '[') {
            p = SkipClass(s, p);
        } else if (c == '(') {
            if (p + 1 < s.size() && s[p + 1] == '*') return std::string_view::npos;
            if (p + 2 < s.size() && s[p + 1] == '?' &&
                (std::isalpha(static_cast<unsigned char>(s[p + 2])) || s[p + 2] == '-' || s[p + 2] == '^'))
                return std::string_view::npos;
            ++depth;
            ++p;
        } else if (c == ')') {
            ++p;
            if (--depth == 0) return p;
        } else {
            ++p;
        }
    }
    return std::string_view::npos;
}

bool IsQuantifierStart(char c) { return c == '*' || c == '+' || c == '?' || c == '{'; }

}  // namespace

std::string RequiredLiteral(std::string_view s, bool utf8, bool caselessUtf8) {
    std::string best;
    std::string run;
    auto endRun = [&] {
        if (run.size() > best.size()) best = run;
        run.clear();
    };
    // A character usable in the literal: any but those that fold to more than their two
    // ASCII cases when case is ignored in a UTF-8 document.
    auto usable = [&](unsigned char c) {
        if (!caselessUtf8) return true;
        if (c >= 0x80) return false;
        const int lower = std::tolower(c);
        return lower != 'k' && lower != 's';
    };
    std::size_t p = 0;
    while (p < s.size()) {
        const auto c = static_cast<unsigned char>(s[p]);
        std::size_t next = p + 1;
        std::string literal;  // the character at p when it stands for itself
        if (c == '\\') {
            if (p + 1 >= s.size()) return {};
            const auto e = static_cast<unsigned char>(s[p + 1]);
            if (e == 'Q') return {};
            if (std::isalnum(e)) {
                next = SkipEscapeArgument(s, p + 1);
            } else {
                literal.assign(1, char(e));
                next = p + 2;
            }
        } else if (c == '|') {
            return {};
        } else if (c == '[') {
            next = SkipClass(s, p);
        } else if (c == '(') {
            if (p + 1 < s.size() && s[p + 1] == '*') return {};
            next = SkipGroup(s, p);
            if (next == std::string_view::npos) return {};
        } else if (c == '{') {
            // A counted repeat is skipped whole; a brace that is none stands for itself in
            // the expression but is left out here, which costs nothing but length.
            const std::size_t close = s.find('}', p);
            if (close != std::string_view::npos &&
                s.substr(p + 1, close - p - 1).find_first_not_of("0123456789, ") == std::string_view::npos)
                next = close + 1;
        } else if (c == '.' || c == '^' || c == '$' || c == ')' || IsQuantifierStart(char(c))) {
            // no literal
        } else {
            literal.assign(1, char(c));
            if (utf8 && c >= 0xC0)
                while (next < s.size() && (static_cast<unsigned char>(s[next]) & 0xC0) == 0x80) literal += s[next++];
        }
        // A quantified atom may repeat or vanish: its character ends the run, unused.
        if (next < s.size() && IsQuantifierStart(s[next])) {
            endRun();
        } else if (!literal.empty() && usable(static_cast<unsigned char>(literal[0]))) {
            run += literal;
        } else {
            endRun();
        }
        p = next;
    }
    endRun();
    return best;
}

// ---- The compiled expression -----------------------------------------------------------

struct RegexPattern::Library {
    pcre2_code* code = nullptr;
    pcre2_match_data* match = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    bool jit = false;
    ~Library() {
        pcre2_match_data_free(match);
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(jitStack);
        pcre2_code_free(code);
    }
};

RegexPattern::RegexPattern() = default;
RegexPattern::~RegexPattern() = default;

bool RegexPattern::Compile(const FindSettings& s, int codeTable, RegexError& error) {
    lib_ = std::make_unique<Library>();
    utf8_ = codeTable == kCodeTableUtf8;
    oem_ = codeTable == kCodeTableOem;
    startOfLine_ = s.StartOfLine != 0;
    const bool caseless = s.CapsSens == 0;
    const std::string pattern = s.FindString.substr(0, std::min(s.FindString.find('\0'), s.FindString.size()));
    // An OEM line is matched in a copy converted to the ANSI table, in which the
    // expression is typed.
    useCopy_ = oem_;
    if (useCopy_)
        for (int b = 0; b < 256; ++b) fold_[b] = OemToAnsi(static_cast<unsigned char>(b));
    std::uint32_t options = 0;
    if (caseless) options |= PCRE2_CASELESS;
    if (s.StartOfLine) options |= PCRE2_ANCHORED;
    if (s.EndOfLine) options |= PCRE2_ENDANCHORED;
    // \C could end a match inside a character.
    if (utf8_) options |= PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF | PCRE2_NEVER_BACKSLASH_C;
    int code = 0;
    PCRE2_SIZE offset = 0;
    pcre2_compile_context* compileContext = nullptr;
    if (!utf8_ && AnsiTables()) {
        compileContext = pcre2_compile_context_create(nullptr);
        if (compileContext) pcre2_set_character_tables(compileContext, AnsiTables());
    }
    lib_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &code,
                               &offset, compileContext);
    pcre2_compile_context_free(compileContext);
    if (!lib_->code) {
        error.position = CharacterPosition(pattern, offset, utf8_);
        error.text = ErrorText(code);
        return false;
    }
    lib_->jit = pcre2_jit_compile(lib_->code, PCRE2_JIT_COMPLETE) == 0;
    lib_->match = pcre2_match_data_create_from_pattern(lib_->code, nullptr);
    lib_->context = pcre2_match_context_create(nullptr);
    if (!lib_->match || !lib_->context) {
        error.position = 0;
        error.text = ErrorText(PCRE2_ERROR_NOMEMORY);
        return false;
    }
    pcre2_set_match_limit(lib_->context, kMatchLimit);
    pcre2_set_depth_limit(lib_->context, kDepthLimit);
    if (lib_->jit) {
        lib_->jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
        if (lib_->jitStack) pcre2_jit_stack_assign(lib_->context, nullptr, lib_->jitStack);
    }
    // The plain engine, given it with the same CapsSens, folds it as it folds the lines.
    required_ = RequiredLiteral(pattern, utf8_, utf8_ && caseless);
    return true;
}

MatchResult RegexPattern::Match(std::string_view line, std::size_t from, bool notEmptyAtFrom, std::size_t& start,
                                std::size_t& end) {
    if (!lib_ || !lib_->code || from > line.size()) return MatchResult::NoMatch;
    // An anchored expression can only begin the line.
    if (startOfLine_ && from > 0) return MatchResult::NoMatch;
    std::string_view subject = line;
    if (useCopy_) {
        copy_.resize(line.size());
        for (std::size_t i = 0; i < line.size(); ++i) copy_[i] = char(fold_[static_cast<unsigned char>(line[i])]);
        subject = copy_;
    }
    const std::uint32_t options = notEmptyAtFrom ? PCRE2_NOTEMPTY_ATSTART : 0;
    const auto* data = reinterpret_cast<PCRE2_SPTR>(subject.data() ? subject.data() : kNoText);
    const int rc = lib_->jit ? pcre2_jit_match(lib_->code, data, subject.size(), from, options, lib_->match, lib_->context)
                             : pcre2_match(lib_->code, data, subject.size(), from, options, lib_->match, lib_->context);
    if (rc == PCRE2_ERROR_NOMATCH) return MatchResult::NoMatch;
    if (rc < 0) return MatchResult::Limit;  // a limit, or anything else that cut it short
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(lib_->match);
    start = ovector[0];
    end = ovector[1];
    // \K in a lookahead can put the start behind the end; such a match is taken as empty.
    if (end < start) end = start;
    return MatchResult::Match;
}

bool RegexPattern::Expand(std::string_view line, std::string_view replaceTemplate, std::string& out, RegexError& error) {
    if (replaceTemplate != templateSource_ || !templateReady_) {
        templateSource_.assign(replaceTemplate);
        template_ = templateSource_;
        if (oem_) AnsiToOemBytes(template_);
        templateLiteral_ = template_.find_first_of("$\\") == std::string::npos;
        templateChangesCase_ = false;
        for (std::size_t i = 0; i + 1 < template_.size(); ++i)
            if (template_[i] == '\\') {
                const char e = template_[i + 1];
                templateChangesCase_ = templateChangesCase_ || e == 'U' || e == 'L' || e == 'u' || e == 'l';
                ++i;
            }
        templateReady_ = true;
    }
    // Without '$' and '\\' the template is the replacement, whatever was matched.
    if (templateLiteral_) {
        out = template_;
        return true;
    }
    // Case is changed by the ANSI table: an OEM line's captures then come from its ANSI
    // copy and the result goes back to OEM, where every byte of the line survives that.
    const bool viaAnsi = oem_ && templateChangesCase_ &&
                         std::all_of(line.begin(), line.end(), [](char c) {
                             const auto u = static_cast<unsigned char>(c);
                             return AnsiToOem(OemToAnsi(u)) == u;
                         });
    const std::string& templ = viaAnsi ? templateSource_ : template_;
    const std::uint32_t options = PCRE2_SUBSTITUTE_MATCHED | PCRE2_SUBSTITUTE_REPLACEMENT_ONLY |
                                  PCRE2_SUBSTITUTE_EXTENDED | PCRE2_SUBSTITUTE_UNSET_EMPTY |
                                  PCRE2_SUBSTITUTE_OVERFLOW_LENGTH;
    // The library takes the subject the match was made on, and copies captures from it:
    // a folded copy gets the stored bytes back in the same place.
    std::string_view source = line;
    if (useCopy_ && copy_.size() == line.size()) {
        for (std::size_t i = 0; i < line.size(); ++i)
            copy_[i] = viaAnsi ? char(fold_[static_cast<unsigned char>(line[i])]) : line[i];
        source = copy_;
    }
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(source.data() ? source.data() : kNoText);
    PCRE2_SIZE length = std::max<std::size_t>(64, templ.size() * 2);
    for (int attempt = 0; attempt < 2; ++attempt) {
        out.resize(length);
        const int rc = pcre2_substitute(lib_->code, subject, line.size(), 0, options, lib_->match, lib_->context,
                                        reinterpret_cast<PCRE2_SPTR>(templ.data()), templ.size(),
                                        reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
        if (rc >= 0) {
            out.resize(length);
            if (viaAnsi) AnsiToOemBytes(out);
            return true;
        }
        if (rc != PCRE2_ERROR_NOMEMORY) {
            // The library leaves the offset of the fault in the template in `length`.
            error.position = CharacterPosition(templ, length, utf8_);
            error.text = ErrorText(rc);
            return false;
        }
        // `length` is now the size needed.
    }
    error.position = 0;
    error.text = ErrorText(PCRE2_ERROR_NOMEMORY);
    return false;
}

}  // namespace varlin
