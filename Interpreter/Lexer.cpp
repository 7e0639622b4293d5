// The lexer of the macro language. It reads bytes, not characters: names and keywords are
// ASCII, text literals may hold any byte but NUL and a line end.
#include "Interpreter/Lexer.h"

#include <cstdio>
#include <cstring>

namespace macrolib {

namespace {

struct Keyword {
    const char* name;
    Tok kind;
};

constexpr Keyword keywords[] = {
    {"macro", Tok::KwMacro}, {"var", Tok::KwVar},     {"begin", Tok::KwBegin},
    {"end", Tok::KwEnd},     {"if", Tok::KwIf},       {"then", Tok::KwThen},
    {"else", Tok::KwElse},   {"while", Tok::KwWhile}, {"do", Tok::KwDo},
    {"for", Tok::KwFor},     {"to", Tok::KwTo},       {"exit", Tok::KwExit},
    {"div", Tok::KwDiv},     {"mod", Tok::KwMod},     {"and", Tok::KwAnd},
    {"or", Tok::KwOr},       {"not", Tok::KwNot},
};

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Compares a name with a lower-case keyword, ignoring the name's case.
bool SameWord(const std::string& name, const char* keyword) {
    size_t n = std::strlen(keyword);
    if (name.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != keyword[i])
            return false;
    }
    return true;
}

std::string DescribeByte(unsigned char c) {
    char buffer[48];
    if (c > 32 && c < 127)
        std::snprintf(buffer, sizeof buffer, "unexpected character '%c'", c);
    else
        std::snprintf(buffer, sizeof buffer, "unexpected byte 0x%02X", c);
    return buffer;
}

}  // namespace

Lexer::Lexer(const char* data, size_t length) : data_(data), length_(length) {}

Token Lexer::make(Tok kind, Position where, size_t length) {
    Token t;
    t.kind = kind;
    t.where = where;
    pos_ += length;
    return t;
}

Token Lexer::error(Position where, std::string text) {
    Token t;
    t.kind = Tok::Error;
    t.where = where;
    t.text = std::move(text);
    return t;
}

// Skips what carries no meaning. A NUL byte or an unclosed comment is an error, reported
// through `failure` (false returned).
bool Lexer::skipBlanksAndComments(Token& failure) {
    while (pos_ < length_) {
        unsigned char c = static_cast<unsigned char>(data_[pos_]);
        if (c == '\n') {
            ++pos_;
            newLine();
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++pos_;
        } else if (c == '/' && pos_ + 1 < length_ && data_[pos_ + 1] == '/') {
            while (pos_ < length_ && data_[pos_] != '\n') {
                if (data_[pos_] == '\0') {
                    failure = error(here(), "NUL byte in the script");
                    return false;
                }
                ++pos_;
            }
        } else if (c == '{') {
            Position start = here();
            ++pos_;
            while (pos_ < length_ && data_[pos_] != '}') {
                if (data_[pos_] == '\0') {
                    failure = error(here(), "NUL byte in the script");
                    return false;
                }
                ++pos_;
                if (data_[pos_ - 1] == '\n')
                    newLine();
            }
            if (pos_ >= length_) {
                failure = error(start, "comment not closed with '}'");
                return false;
            }
            ++pos_;
        } else {
            return true;
        }
    }
    return true;
}

Token Lexer::next() {
    Token failure;
    if (!skipBlanksAndComments(failure))
        return failure;
    Position where = here();
    if (pos_ >= length_)
        return make(Tok::End, where, 0);
    unsigned char c = static_cast<unsigned char>(data_[pos_]);
    char n = pos_ + 1 < length_ ? data_[pos_ + 1] : '\0';
    if (IsLetter(c))
        return lexName();
    if (IsDigit(c))
        return lexNumber();
    switch (c) {
    case '"': return lexText();
    case ':':
        if (n == '=')
            return make(Tok::Assign, where, 2);
        return error(where, "':' must be followed by '='");
    case ';': return make(Tok::Semicolon, where, 1);
    case ',': return make(Tok::Comma, where, 1);
    case '.': return make(Tok::Dot, where, 1);
    case '(': return make(Tok::LParen, where, 1);
    case ')': return make(Tok::RParen, where, 1);
    case '+': return make(Tok::Plus, where, 1);
    case '-': return make(Tok::Minus, where, 1);
    case '*': return make(Tok::Star, where, 1);
    case '=': return make(Tok::Equal, where, 1);
    case '<':
        if (n == '>')
            return make(Tok::NotEqual, where, 2);
        if (n == '=')
            return make(Tok::LessEqual, where, 2);
        return make(Tok::Less, where, 1);
    case '>':
        if (n == '=')
            return make(Tok::GreaterEqual, where, 2);
        return make(Tok::Greater, where, 1);
    case '\0': return error(where, "NUL byte in the script");
    default: return error(where, DescribeByte(c));
    }
}

Token Lexer::lexName() {
    Position where = here();
    size_t start = pos_;
    while (pos_ < length_ && (IsLetter(static_cast<unsigned char>(data_[pos_])) ||
                              IsDigit(static_cast<unsigned char>(data_[pos_]))))
        ++pos_;
    Token t;
    t.where = where;
    t.text.assign(data_ + start, pos_ - start);
    t.kind = Tok::Name;
    for (const Keyword& k : keywords) {
        if (SameWord(t.text, k.name)) {
            t.kind = k.kind;
            break;
        }
    }
    return t;
}

Token Lexer::lexNumber() {
    Position where = here();
    int64_t value = 0;
    bool tooLarge = false;
    while (pos_ < length_ && IsDigit(static_cast<unsigned char>(data_[pos_]))) {
        value = value * 10 + (data_[pos_] - '0');
        if (value > 2147483648LL) {
            tooLarge = true;
            value = 2147483648LL;
        }
        ++pos_;
    }
    if (pos_ < length_ && IsLetter(static_cast<unsigned char>(data_[pos_])))
        return error(where, "a number must not run into a name");
    if (tooLarge)
        return error(where, "number too large for 32 bits");
    Token t;
    t.kind = Tok::Number;
    t.where = where;
    t.number = value;
    return t;
}

// A text literal: \" is a quote, \\ a backslash, any other backslash stands for itself.
Token Lexer::lexText() {
    Position where = here();
    ++pos_;
    Token t;
    t.kind = Tok::Text;
    t.where = where;
    while (pos_ < length_) {
        char c = data_[pos_];
        if (c == '"') {
            ++pos_;
            return t;
        }
        if (c == '\n' || c == '\r')
            break;
        if (c == '\0')
            return error(here(), "NUL byte in the script");
        if (c == '\\' && pos_ + 1 < length_ && (data_[pos_ + 1] == '"' || data_[pos_ + 1] == '\\')) {
            t.text.push_back(data_[pos_ + 1]);
            pos_ += 2;
            continue;
        }
        t.text.push_back(c);
        ++pos_;
    }
    return error(where, "text not closed with '\"' on its line");
}

const char* TokenName(Tok kind) {
    switch (kind) {
    case Tok::End: return "the end of the script";
    case Tok::Error: return "an error";
    case Tok::Name: return "a name";
    case Tok::Number: return "a number";
    case Tok::Text: return "a text";
    case Tok::KwMacro: return "'Macro'";
    case Tok::KwVar: return "'var'";
    case Tok::KwBegin: return "'begin'";
    case Tok::KwEnd: return "'end'";
    case Tok::KwIf: return "'if'";
    case Tok::KwThen: return "'then'";
    case Tok::KwElse: return "'else'";
    case Tok::KwWhile: return "'while'";
    case Tok::KwDo: return "'do'";
    case Tok::KwFor: return "'for'";
    case Tok::KwTo: return "'to'";
    case Tok::KwExit: return "'exit'";
    case Tok::KwDiv: return "'div'";
    case Tok::KwMod: return "'mod'";
    case Tok::KwAnd: return "'and'";
    case Tok::KwOr: return "'or'";
    case Tok::KwNot: return "'not'";
    case Tok::Assign: return "':='";
    case Tok::Semicolon: return "';'";
    case Tok::Comma: return "','";
    case Tok::Dot: return "'.'";
    case Tok::LParen: return "'('";
    case Tok::RParen: return "')'";
    case Tok::Plus: return "'+'";
    case Tok::Minus: return "'-'";
    case Tok::Star: return "'*'";
    case Tok::Equal: return "'='";
    case Tok::NotEqual: return "'<>'";
    case Tok::Less: return "'<'";
    case Tok::LessEqual: return "'<='";
    case Tok::Greater: return "'>'";
    case Tok::GreaterEqual: return "'>='";
    }
    return "?";
}

}  // namespace macrolib
