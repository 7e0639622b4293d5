// The lexer: turns the bytes of a script into tokens one at a time, with the line and
// column of each, skipping blanks, line ends and comments. Keywords are found in any case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Interpreter/Program.h"

namespace macrolib {

enum class Tok {
    End,          // end of the script
    Error,        // a lexical error; the token's text says which
    Name, Number, Text,
    KwMacro, KwVar, KwBegin, KwEnd, KwIf, KwThen, KwElse, KwWhile, KwDo, KwFor, KwTo,
    KwExit, KwDiv, KwMod, KwAnd, KwOr, KwNot,
    Assign,       // :=
    Semicolon, Comma, Dot, LParen, RParen,
    Plus, Minus, Star,
    Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual,
};

struct Token {
    Tok kind = Tok::End;
    Position where;
    std::string text;      // a name, the decoded text of a literal, or an error text
    int64_t number = 0;    // a number literal (up to 2147483648, which only a minus makes valid)
};

class Lexer {
public:
    Lexer(const char* data, size_t length);
    Token next();

private:
    bool skipBlanksAndComments(Token& error);
    Token lexName();
    Token lexNumber();
    Token lexText();
    Token make(Tok kind, Position where, size_t length);
    Token error(Position where, std::string text);
    Position here() const { return {line_, static_cast<int32_t>(pos_ - lineStart_ + 1)}; }
    void newLine() { ++line_; lineStart_ = pos_; }

    const char* data_;
    size_t length_;
    size_t pos_ = 0;
    size_t lineStart_ = 0;  // offset of the current line's first byte
    int32_t line_ = 1;
};

const char* TokenName(Tok kind);

}  // namespace macrolib
