// The compiler of the macro language: a recursive-descent parser that writes byte code as
// it goes. Every recursion (blocks, parentheses, unary operators) passes through a depth
// guard, so a hostile script meets the nesting limit long before the stack runs out.
#include "Interpreter/Compiler.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "Interpreter/Builtins.h"
#include "Interpreter/Lexer.h"
#include "Interpreter/Reciprocal.h"

namespace macrolib {

bool ParseSignature(const char* signature, std::vector<ArgKind>& kinds) {
    kinds.clear();
    for (const char* s = signature; s && *s;) {
        if (std::strncmp(s, "C[]", 3) == 0) {
            kinds.push_back(ArgKind::Text);
            s += 3;
        } else if (*s == 'L') {
            kinds.push_back(ArgKind::Integer);
            s += 1;
        } else if (std::strncmp(s, "*L", 2) == 0) {
            kinds.push_back(ArgKind::IntegerOut);
            s += 2;
        } else {
            return false;
        }
    }
    return true;
}

namespace {

#define TRY(x)        \
    do {              \
        if (!(x))     \
            return false; \
    } while (0)

class Compiler {
public:
    Compiler(const char* data, size_t length, const MacroCommand* table, Program& program)
        : lexer_(data, length), table_(table), p_(program) {}

    bool script();
    CompileError error;

private:
    // Tokens.
    bool advance();
    bool fail(Position where, std::string text);
    bool expect(Tok kind);
    bool skipOptionalSemicolon();

    // Emitting, with the depth of the value stack kept for its size.
    size_t emit(Op op, Position where, int32_t a = 0, int32_t b = 0, int32_t c = 0);
    size_t emitJumpIfFalse(Position where);
    void stack(int change);
    void patch(size_t at, int32_t target);
    int32_t label();

    // Statements.
    bool statements();
    bool statement();
    bool statementBody(const Token& start);
    bool assignment(const Token& name);
    bool ifStatement();
    bool whileStatement();
    bool forStatement();
    bool blockEnd();
    bool referencedOnceIn(size_t begin, int slot, size_t& at) const;

    // Expressions; each leaves one value on the stack.
    bool expression();
    bool orExpression();
    bool andExpression();
    bool notExpression();
    bool comparison();
    bool additive();
    void emitOperator(Op op, Position where, size_t leftStart, size_t rightStart);
    bool term();
    bool unary();
    bool primary();
    bool call(const Token& name);
    bool tableCall(const Token& name, int entry);
    bool internalCall(const Token& name, int id);

    struct Depth {
        Compiler& c;
        bool ok;
        explicit Depth(Compiler& compiler) : c(compiler), ok(++c.depth_ <= MaxNesting) {}
        ~Depth() { --c.depth_; }
    };
    bool tooDeep(Position where);

    Lexer lexer_;
    Token tok_;
    const MacroCommand* table_;
    Program& p_;
    std::unordered_map<std::string, int> tableIndex_;
    std::unordered_map<std::string, int> variables_;
    int depth_ = 0;
    int stackDepth_ = 0;
    int32_t lastLabel_ = 0;     // highest code index a jump may reach: no fusing across it
    size_t checks_ = 0;         // Check instructions emitted so far
    int loops_ = 0;             // loops around the statement being read
};

bool Compiler::fail(Position where, std::string text) {
    if (error.text.empty()) {
        error.where = where;
        error.text = std::move(text);
    }
    return false;
}

bool Compiler::advance() {
    tok_ = lexer_.next();
    if (tok_.kind == Tok::Error)
        return fail(tok_.where, tok_.text);
    return true;
}

bool Compiler::expect(Tok kind) {
    if (tok_.kind != kind)
        return fail(tok_.where, std::string("expected ") + TokenName(kind) + ", found " +
                                    TokenName(tok_.kind));
    return advance();
}

bool Compiler::skipOptionalSemicolon() {
    return tok_.kind == Tok::Semicolon ? advance() : true;
}

bool Compiler::tooDeep(Position where) {
    return fail(where, "nested deeper than " + std::to_string(MaxNesting) + " levels");
}

size_t Compiler::emit(Op op, Position where, int32_t a, int32_t b, int32_t c) {
    p_.code.push_back({op, 0, 0, a, b, c});
    p_.positions.push_back(where);
    if (op == Op::Check)
        ++checks_;
    return p_.code.size() - 1;
}

// The jump of an if or while. A condition `x < k` and its jump become one instruction.
size_t Compiler::emitJumpIfFalse(Position where) {
    std::vector<Instruction>& code = p_.code;
    size_t n = code.size();
    stack(-1);
    if (n >= 2 && static_cast<int32_t>(n - 2) >= lastLabel_ && code[n - 2].op == Op::Load &&
        code[n - 1].op == Op::LessConst) {
        code[n - 2] = {Op::JumpUnlessLess, 0, 0, code[n - 2].a, code[n - 1].a, 0};
        p_.positions[n - 2] = p_.positions[n - 1];
        code.pop_back();
        p_.positions.pop_back();
        return n - 2;
    }
    return emit(Op::JumpIfFalse, where);
}

void Compiler::stack(int change) {
    stackDepth_ += change;
    if (stackDepth_ > p_.maxStack)
        p_.maxStack = stackDepth_;
}

int32_t Compiler::label() {
    lastLabel_ = static_cast<int32_t>(p_.code.size());
    return lastLabel_;
}

void Compiler::patch(size_t at, int32_t target) {
    Instruction& in = p_.code[at];
    if (in.op == Op::ForTest || in.op == Op::JumpUnlessLess)
        in.c = target;
    else
        in.a = target;
}

// Macro "Description"  [var a, b;]…  begin … end [; or .]
bool Compiler::script() {
    TRY(advance());
    if (tok_.kind != Tok::KwMacro)
        return fail(tok_.where, "a script starts with Macro \"Description\"");
    TRY(advance());
    if (tok_.kind != Tok::Text)
        return fail(tok_.where, "expected the description in double quotes after 'Macro'");
    p_.description = tok_.text;
    TRY(advance());
    while (tok_.kind == Tok::KwVar) {
        TRY(advance());
        for (;;) {
            if (tok_.kind != Tok::Name)
                return fail(tok_.where, std::string("expected a variable name, found ") +
                                            TokenName(tok_.kind));
            if (variables_.count(tok_.text))
                return fail(tok_.where, "variable '" + tok_.text + "' declared twice");
            variables_[tok_.text] = p_.slotCount++;
            p_.slotNames.push_back(tok_.text);
            TRY(advance());
            if (tok_.kind != Tok::Comma)
                break;
            TRY(advance());
        }
        TRY(expect(Tok::Semicolon));
    }
    TRY(expect(Tok::KwBegin));
    TRY(statements());
    TRY(expect(Tok::KwEnd));
    if (tok_.kind == Tok::Semicolon || tok_.kind == Tok::Dot)
        TRY(advance());
    if (tok_.kind != Tok::End)
        return fail(tok_.where, "text after the script's final 'end'");
    emit(Op::Exit, tok_.where);
    return true;
}

bool Compiler::statements() {
    while (tok_.kind != Tok::KwEnd && tok_.kind != Tok::KwElse && tok_.kind != Tok::End)
        TRY(statement());
    return true;
}

bool Compiler::statement() {
    if (tok_.kind == Tok::Semicolon)
        return advance();
    Token start = tok_;
    size_t check = emit(Op::Check, start.where, PollAlways);
    TRY(statementBody(start));
    // Inside a loop the statement weighs its instructions (see PollAlways).
    Instruction& in = p_.code[check];
    if (loops_ > 0 && in.op == Op::Check)
        in.a = static_cast<int32_t>(std::min<size_t>(p_.code.size() - check, PollAlways));
    return true;
}

bool Compiler::statementBody(const Token& start) {
    switch (start.kind) {
    case Tok::Name:
        TRY(advance());
        if (tok_.kind == Tok::Assign)
            TRY(assignment(start));
        else if (tok_.kind == Tok::LParen) {
            TRY(call(start));
            emit(Op::Pop, start.where);
            stack(-1);
        } else {
            return fail(tok_.where, "expected ':=' or '(' after '" + start.text + "'");
        }
        return expect(Tok::Semicolon);
    case Tok::KwIf: return ifStatement();
    case Tok::KwWhile: return whileStatement();
    case Tok::KwFor: return forStatement();
    case Tok::KwExit:
        emit(Op::Exit, start.where);
        TRY(advance());
        return expect(Tok::Semicolon);
    default:
        return fail(start.where, std::string("a statement cannot start with ") +
                                     TokenName(start.kind));
    }
}

bool Compiler::assignment(const Token& name) {
    auto found = variables_.find(name.text);
    if (found == variables_.end())
        return fail(name.where, "unknown variable '" + name.text + "'");
    int slot = found->second;
    TRY(advance());
    size_t begin = p_.code.size();
    TRY(expression());
    // x := x + k and x := x - k are the heart of counting loops: one instruction.
    std::vector<Instruction>& code = p_.code;
    if (code.size() == begin + 1 && static_cast<int32_t>(begin) >= lastLabel_ &&
        code[begin].c == slot &&
        (code[begin].op == Op::LoadAddConst ||
         (code[begin].op == Op::LoadSubConst && code[begin].a != INT32_MIN))) {
        int32_t k = code[begin].op == Op::LoadAddConst ? code[begin].a : -code[begin].a;
        Position where = p_.positions[begin];
        code.resize(begin);
        p_.positions.resize(begin);
        if (loops_ > 0 && begin > 0 && code[begin - 1].op == Op::Check) {
            // The statement's own Check goes with it: one instruction for the whole
            // statement, with the abort at the statement and an overflow at the operator.
            // (Only inside loops: outside, the callback is asked before every statement.)
            code[begin - 1] = {Op::CheckIncrementBy, 0, 0, slot, k,
                               static_cast<int32_t>(p_.fused.size())};
            FusedStep step;
            step.operatorAt = where;
            p_.fused.push_back(step);
        } else {
            emit(Op::IncrementBy, where, slot, k);
        }
        stack(-1);
        return true;
    }
    // s := s + t: the old value of s is moved, not copied, so that its text has one
    // owner and grows in place. Only when the rest of the expression does not read s.
    size_t at;
    if (referencedOnceIn(begin, slot, at)) {
        if (at == begin && code[at].op == Op::Load)
            code[at].op = Op::LoadMove;
        else if (code[at].op == Op::AddVariable)
            code[at].b = 1;
    }
    // x := … mod 7: the last operator stores its result itself.
    Instruction& last = code.back();
    if (last.op >= Op::AddConst && last.op <= Op::ModConst &&
        static_cast<int32_t>(code.size() - 1) >= lastLabel_) {
        last.op = static_cast<Op>(static_cast<int>(last.op) - static_cast<int>(Op::AddConst) +
                                  static_cast<int>(Op::AddConstStore));
        last.c = slot;
    } else {
        emit(Op::Store, name.where, slot);
    }
    stack(-1);
    return true;
}

// Whether the code from `begin` on reads or writes variable `slot` in one instruction
// only, found `at` (an expression holds no jumps back, so that is the only read before
// the store).
bool Compiler::referencedOnceIn(size_t begin, int slot, size_t& at) const {
    size_t found = 0;
    for (size_t i = begin; i < p_.code.size(); ++i) {
        const Instruction& in = p_.code[i];
        bool uses = false;
        if (in.op == Op::Load || in.op == Op::LoadMove ||
            (in.op >= Op::AddVariable && in.op <= Op::MulVariable))
            uses = in.a == slot;
        else if (in.op >= Op::LoadAddConst && in.op <= Op::LoadModConst)
            uses = in.c == slot;
        else if (in.op == Op::CallTable)
            for (int32_t out : p_.calls[in.a].outSlots)
                uses = uses || out == slot;
        if (uses) {
            at = i;
            ++found;
        }
    }
    return found == 1;
}

// The `end` of a block, with its optional `;`.
bool Compiler::blockEnd() {
    TRY(expect(Tok::KwEnd));
    return skipOptionalSemicolon();
}

bool Compiler::ifStatement() {
    Depth depth(*this);
    if (!depth.ok)
        return tooDeep(tok_.where);
    Position where = tok_.where;
    TRY(advance());
    TRY(expression());
    TRY(expect(Tok::KwThen));
    size_t skipThen = emitJumpIfFalse(where);
    TRY(statements());
    if (tok_.kind == Tok::KwElse) {
        size_t skipElse = emit(Op::Jump, tok_.where);
        patch(skipThen, label());
        TRY(advance());
        TRY(statements());
        patch(skipElse, label());
    } else {
        patch(skipThen, label());
    }
    return blockEnd();
}

bool Compiler::whileStatement() {
    Depth depth(*this);
    if (!depth.ok)
        return tooDeep(tok_.where);
    Position where = tok_.where;
    int32_t top = label();
    TRY(advance());
    TRY(expression());
    TRY(expect(Tok::KwDo));
    size_t exitJump = emitJumpIfFalse(where);
    int32_t body = label();
    size_t checksBefore = checks_;
    ++loops_;
    TRY(statements());
    --loops_;
    if (checks_ == checksBefore)  // an empty body must still listen for the abort
        emit(Op::Check, where, 1);
    std::vector<Instruction>& code = p_.code;
    if (code[body].op == Op::Check)   // the round's condition weighs with its first statement
        code[body].a = std::min<int32_t>(code[body].a + static_cast<int32_t>(exitJump + 1) - top,
                                         PollAlways);
    const Instruction test = code[exitJump];
    const size_t last = code.size() - 1;
    if (test.op == Op::JumpUnlessLess && code[last].op == Op::CheckIncrementBy &&
        static_cast<int32_t>(last) >= lastLabel_) {
        // A body that ends counting (i := i + 1) takes the test at the foot into that
        // statement: one instruction per round for the shortest loops. Nothing jumps to
        // the foot itself (no label after the statement).
        Instruction& in = code[last];
        FusedStep& step = p_.fused[in.c];
        if (in.a == test.a && in.b >= INT16_MIN && in.b <= INT16_MAX) {
            // It tests what it counts: all in the instruction.
            step.at = static_cast<int32_t>(last);
            in = {Op::CountJumpIfLess, 0, static_cast<int16_t>(in.b), in.a, test.b, body};
        } else {
            in.op = Op::CheckIncrementJumpIfLess;
            step.testSlot = test.a;
            step.limit = test.b;
            step.target = body;
            step.testAt = p_.positions[exitJump];
        }
    } else if (test.op == Op::JumpUnlessLess) {   // test again at the foot: one jump per round
        if (code[body].op == Op::Check)
            emit(Op::JumpIfLessCheck, p_.positions[exitJump], test.a, test.b, body + 1);
        else
            emit(Op::JumpIfLess, p_.positions[exitJump], test.a, test.b, body);
    } else {
        emit(Op::Jump, where, top);
    }
    patch(exitJump, label());
    return blockEnd();
}

// for i := a to b do … end: a and b are taken once; the body runs for i = a … b.
bool Compiler::forStatement() {
    Depth depth(*this);
    if (!depth.ok)
        return tooDeep(tok_.where);
    Position where = tok_.where;
    TRY(advance());
    if (tok_.kind != Tok::Name)
        return fail(tok_.where, "expected the loop variable after 'for'");
    auto found = variables_.find(tok_.text);
    if (found == variables_.end())
        return fail(tok_.where, "unknown variable '" + tok_.text + "'");
    int slot = found->second;
    Position varWhere = tok_.where;
    TRY(advance());
    TRY(expect(Tok::Assign));
    TRY(expression());
    emit(Op::Store, varWhere, slot);
    stack(-1);
    TRY(expect(Tok::KwTo));
    Position limitWhere = tok_.where;
    TRY(expression());
    int limit = p_.slotCount++;
    p_.slotNames.push_back("(limit)");
    emit(Op::Store, limitWhere, limit);
    stack(-1);
    TRY(expect(Tok::KwDo));
    size_t test = emit(Op::ForTest, where, slot, limit);
    int32_t body = label();
    size_t checksBefore = checks_;
    ++loops_;
    TRY(statements());
    --loops_;
    if (checks_ == checksBefore)
        emit(Op::Check, where, 1);
    if (p_.code[body].op == Op::Check)   // the next round skips the Check, done by ForNextCheck
        emit(Op::ForNextCheck, where, slot, limit, body + 1);
    else
        emit(Op::ForNext, where, slot, limit, body);
    patch(test, label());
    return blockEnd();
}

bool Compiler::expression() {
    Depth depth(*this);
    if (!depth.ok)
        return tooDeep(tok_.where);
    return orExpression();
}

bool Compiler::orExpression() {
    TRY(andExpression());
    while (tok_.kind == Tok::KwOr) {
        Position where = tok_.where;
        emit(Op::Truth, where);
        size_t jump = emit(Op::OrJump, where);
        stack(-1);
        TRY(advance());
        TRY(andExpression());
        emit(Op::Truth, where);
        patch(jump, label());
    }
    return true;
}

bool Compiler::andExpression() {
    TRY(notExpression());
    while (tok_.kind == Tok::KwAnd) {
        Position where = tok_.where;
        emit(Op::Truth, where);
        size_t jump = emit(Op::AndJump, where);
        stack(-1);
        TRY(advance());
        TRY(notExpression());
        emit(Op::Truth, where);
        patch(jump, label());
    }
    return true;
}

bool Compiler::notExpression() {
    if (tok_.kind != Tok::KwNot)
        return comparison();
    Depth depth(*this);
    if (!depth.ok)
        return tooDeep(tok_.where);
    Position where = tok_.where;
    TRY(advance());
    TRY(notExpression());
    emit(Op::Not, where);
    return true;
}

bool Compiler::comparison() {
    TRY(additive());
    Op op;
    switch (tok_.kind) {
    case Tok::Equal: op = Op::Eq; break;
    case Tok::NotEqual: op = Op::Ne; break;
    case Tok::Less: op = Op::Lt; break;
    case Tok::LessEqual: op = Op::Le; break;
    case Tok::Greater: op = Op::Gt; break;
    case Tok::GreaterEqual: op = Op::Ge; break;
    default: return true;
    }
    Position where = tok_.where;
    TRY(advance());
    TRY(additive());
    Instruction& last = p_.code.back();
    if (op == Op::Lt && last.op == Op::PushInt &&
        static_cast<int32_t>(p_.code.size() - 1) >= lastLabel_) {
        last.op = Op::LessConst;   // x < 10000000: the usual loop condition
        p_.positions.back() = where;
    } else {
        emit(op, where);
    }
    stack(-1);
    switch (tok_.kind) {
    case Tok::Equal: case Tok::NotEqual: case Tok::Less:
    case Tok::LessEqual: case Tok::Greater: case Tok::GreaterEqual:
        return fail(tok_.where, "comparisons cannot be chained; use 'and'");
    default: return true;
    }
}

bool Compiler::additive() {
    size_t leftStart = p_.code.size();
    TRY(term());
    while (tok_.kind == Tok::Plus || tok_.kind == Tok::Minus) {
        Op op = tok_.kind == Tok::Plus ? Op::Add : Op::Sub;
        Position where = tok_.where;
        TRY(advance());
        size_t rightStart = p_.code.size();
        TRY(term());
        emitOperator(op, where, leftStart, rightStart);
    }
    return true;
}

// An arithmetic operator whose left side was read from leftStart, its right side from
// rightStart. A constant right side (i mod 7) goes into the instruction; a variable on
// the left of +, - and * does (n + i * 3), its load moved past the right side, when
// nothing there jumps and nothing writes the variable.
void Compiler::emitOperator(Op op, Position where, size_t leftStart, size_t rightStart) {
    std::vector<Instruction>& code = p_.code;
    const Instruction& left = code[leftStart];
    if (code.back().op != Op::PushInt && rightStart == leftStart + 1 && left.op == Op::Load &&
        lastLabel_ <= static_cast<int32_t>(leftStart) &&
        (op == Op::Add || op == Op::Sub || op == Op::Mul)) {
        const int32_t slot = left.a;
        size_t at;
        if (referencedOnceIn(leftStart, slot, at)) {   // the load itself only
            code.erase(code.begin() + static_cast<std::ptrdiff_t>(leftStart));
            p_.positions.erase(p_.positions.begin() + static_cast<std::ptrdiff_t>(leftStart));
            emit(op == Op::Add ? Op::AddVariable : op == Op::Sub ? Op::SubVariable : Op::MulVariable,
                 where, slot);
            stack(-1);
            return;
        }
    }
    Instruction& last = p_.code.back();
    if (last.op == Op::PushInt && static_cast<int32_t>(p_.code.size() - 1) >= lastLabel_) {
        switch (op) {
        case Op::Add: last.op = Op::AddConst; break;
        case Op::Sub: last.op = Op::SubConst; break;
        case Op::Mul: last.op = Op::MulConst; break;
        case Op::Div: last.op = Op::DivConst; break;
        default: last.op = Op::ModConst; break;
        }
        if (last.op == Op::DivConst || last.op == Op::ModConst)
            MakeReciprocal(last.a, last.b, last.shift);
        p_.positions.back() = where;
        // x mod 7: the variable goes into the instruction as well.
        size_t n = p_.code.size();
        if (n >= 2 && p_.code[n - 2].op == Op::Load && static_cast<int32_t>(n - 2) >= lastLabel_) {
            Instruction& left = p_.code[n - 2];
            Instruction fused = p_.code[n - 1];
            fused.op = static_cast<Op>(static_cast<int>(fused.op) - static_cast<int>(Op::AddConst) +
                                       static_cast<int>(Op::LoadAddConst));
            fused.c = left.a;
            left = fused;
            p_.positions[n - 2] = where;
            p_.code.pop_back();
            p_.positions.pop_back();
        }
    } else {
        emit(op, where);
    }
    stack(-1);
}

bool Compiler::term() {
    size_t leftStart = p_.code.size();
    TRY(unary());
    while (tok_.kind == Tok::Star || tok_.kind == Tok::KwDiv || tok_.kind == Tok::KwMod) {
        Op op = tok_.kind == Tok::Star ? Op::Mul : tok_.kind == Tok::KwDiv ? Op::Div : Op::Mod;
        Position where = tok_.where;
        TRY(advance());
        size_t rightStart = p_.code.size();
        TRY(unary());
        emitOperator(op, where, leftStart, rightStart);
    }
    return true;
}

bool Compiler::unary() {
    if (tok_.kind != Tok::Minus)
        return primary();
    Depth depth(*this);
    if (!depth.ok)
        return tooDeep(tok_.where);
    Position where = tok_.where;
    TRY(advance());
    if (tok_.kind == Tok::Number) {   // -2147483648 is only reachable this way
        emit(Op::PushInt, where, static_cast<int32_t>(-tok_.number));
        stack(1);
        return advance();
    }
    TRY(unary());
    emit(Op::Neg, where);
    return true;
}

bool Compiler::primary() {
    Token t = tok_;
    switch (t.kind) {
    case Tok::Number:
        if (t.number > INT32_MAX)
            return fail(t.where, "number too large for 32 bits");
        emit(Op::PushInt, t.where, static_cast<int32_t>(t.number));
        stack(1);
        return advance();
    case Tok::Text:
        emit(Op::PushText, t.where, static_cast<int32_t>(p_.texts.size()));
        p_.texts.push_back(std::make_shared<std::string>(std::move(tok_.text)));
        stack(1);
        return advance();
    case Tok::LParen:
        TRY(advance());
        TRY(expression());
        return expect(Tok::RParen);
    case Tok::Name: {
        TRY(advance());
        if (tok_.kind == Tok::LParen)
            return call(t);
        auto found = variables_.find(t.text);
        if (found == variables_.end())
            return fail(t.where, "unknown variable '" + t.text + "'");
        emit(Op::Load, t.where, found->second);
        stack(1);
        return true;
    }
    default:
        return fail(t.where, std::string("expected a value, found ") + TokenName(t.kind));
    }
}

// A call, with the current token on its '('; leaves the result on the stack. A command
// of the program hides an internal function of the same name, except when only the
// internal one fits an empty or non-empty argument list: Print () prints the document,
// Print (x) prints x.
bool Compiler::call(const Token& name) {
    if (tableIndex_.empty() && table_) {
        for (int i = 0; table_[i].Name; ++i)
            tableIndex_.emplace(table_[i].Name, i);
    }
    auto found = tableIndex_.find(name.text);
    int entry = found == tableIndex_.end() ? -1 : found->second;
    int internal = FindInternal(name.text);
    if (entry < 0 && internal < 0)
        return fail(name.where, "unknown function '" + name.text + "'");
    TRY(advance());
    bool emptyCall = tok_.kind == Tok::RParen;
    if (entry >= 0 && internal >= 0) {
        std::vector<ArgKind> kinds;
        bool tableEmpty = ParseSignature(table_[entry].Signature, kinds) && kinds.empty();
        if (tableEmpty != emptyCall)
            entry = -1;
    }
    return entry >= 0 ? tableCall(name, entry) : internalCall(name, internal);
}

bool Compiler::tableCall(const Token& name, int entry) {
    CallSite site;
    site.entry = entry;
    std::vector<ArgKind> kinds;
    if (!ParseSignature(table_[entry].Signature, kinds))
        return fail(name.where, name.text + ": unknown signature in the command table");
    int given = 0;
    int values = 0;
    while (tok_.kind != Tok::RParen) {
        if (given > 0)
            TRY(expect(Tok::Comma));
        if (given >= MaxArguments)
            return fail(tok_.where, name.text + ": too many arguments");
        ArgKind kind = given < static_cast<int>(kinds.size()) ? kinds[given] : ArgKind::Integer;
        if (kind == ArgKind::IntegerOut) {
            auto found = tok_.kind == Tok::Name ? variables_.find(tok_.text) : variables_.end();
            if (found == variables_.end())
                return fail(tok_.where, name.text + ": argument " + std::to_string(given + 1) +
                                            " must be a variable");
            site.outSlots.push_back(found->second);
            TRY(advance());
        } else {
            TRY(expression());
            site.outSlots.push_back(-1);
            ++values;
        }
        site.kinds.push_back(kind);
        ++given;
    }
    if (given != static_cast<int>(kinds.size()))
        return fail(name.where, name.text + ": " + std::to_string(kinds.size()) +
                                    (kinds.size() == 1 ? " argument" : " arguments") +
                                    " expected, " + std::to_string(given) + " given");
    emit(Op::CallTable, name.where, static_cast<int32_t>(p_.calls.size()));
    p_.calls.push_back(std::move(site));
    stack(1 - values);
    return advance();
}

bool Compiler::internalCall(const Token& name, int id) {
    int given = 0;
    while (tok_.kind != Tok::RParen) {
        if (given > 0)
            TRY(expect(Tok::Comma));
        if (given >= MaxArguments)
            return fail(tok_.where, name.text + ": too many arguments");
        TRY(expression());
        ++given;
    }
    int wanted = InternalArgumentCount(id);
    if (given != wanted)
        return fail(name.where, name.text + ": " + std::to_string(wanted) +
                                    (wanted == 1 ? " argument" : " arguments") + " expected, " +
                                    std::to_string(given) + " given");
    emit(Op::CallInternal, name.where, id, given);
    stack(1 - given);
    return advance();
}

}  // namespace

bool Compile(const char* data, size_t length, const MacroCommand* table, Program& program,
             CompileError& error) {
    program = Program();
    if (length > MaxScriptBytes) {
        error.where = {0, 0};
        error.text = "script larger than " + std::to_string(MaxScriptBytes >> 20) + " MiB";
        return false;
    }
    Compiler compiler(data, length, table, program);
    if (compiler.script())
        return true;
    error = compiler.error;
    return false;
}

}  // namespace macrolib
