// The byte-code machine. Values live on a stack sized by the compiler and in variable
// slots; integers are checked for overflow (an error, never a silent wrap) and every
// operation checks the kinds of its values, since variables take either kind.
#include "Interpreter/Machine.h"

#include <cstdio>

#include "Interpreter/Builtins.h"

namespace macrolib {

namespace {

const char* const KindsOfPlus = "'+' needs two integers or two texts";
const char* const KindsOfArithmetic = "arithmetic needs integers";
const char* const KindsOfComparison = "cannot compare a text with an integer";
const char* const KindsOfLogic = "a condition must be an integer";
const char* const Overflow = "integer overflow";
const char* const DivisionByZero = "division by zero";

// The scratch of one call of a program function: kept across calls so that a loop of
// calls does not allocate, and sized before any pointer into it is taken.
struct CallScratch {
    std::vector<OPERAND> operands;
    std::vector<OPERAND*> pointers;
    std::vector<int32_t> integers;
    std::vector<std::string> texts;
};

std::string ArgumentError(const char* function, size_t index, const char* wanted) {
    return std::string(function) + ": argument " + std::to_string(index + 1) + " must be " + wanted;
}

// Calls a command of the program with the value arguments in `args`, writing back the
// "*L" arguments into their variables. False with `error` on a wrong kind of argument.
bool CallProgram(const CallSite& site, const Value* args, std::vector<Value>& slots,
                 const RunHooks& hooks, CallScratch& scratch, int32_t& result, std::string& error) {
    const char* name = hooks.table[site.entry].Name;
    size_t n = site.kinds.size();
    scratch.operands.resize(n);
    scratch.pointers.resize(n);
    scratch.integers.resize(n);
    scratch.texts.resize(n);
    const Value* next = args;
    for (size_t i = 0; i < n; ++i) {
        OPERAND& op = scratch.operands[i];
        op.Kind = static_cast<int32_t>(site.kinds[i]);
        op.Index = static_cast<int32_t>(i);
        switch (site.kinds[i]) {
        case ArgKind::Text:
            if (!next->isText()) {
                error = ArgumentError(name, i, "a text");
                return false;
            }
            scratch.texts[i] = *next->text;   // a copy the program may even write into
            op.Value = scratch.texts[i].data();
            ++next;
            break;
        case ArgKind::Integer:
            if (next->isText()) {
                error = ArgumentError(name, i, "an integer");
                return false;
            }
            scratch.integers[i] = next->number;
            op.Value = &scratch.integers[i];
            ++next;
            break;
        case ArgKind::IntegerOut: {
            const Value& v = slots[site.outSlots[i]];
            scratch.integers[i] = v.isText() ? 0 : v.number;
            op.Value = &scratch.integers[i];
            break;
        }
        }
        scratch.pointers[i] = &op;
    }
    result = hooks.function ? hooks.function(hooks.table[site.entry].ActionId,
                                             scratch.pointers.data(), static_cast<int32_t>(n),
                                             hooks.userData)
                            : -1;
    for (size_t i = 0; i < n; ++i) {
        if (site.kinds[i] == ArgKind::IntegerOut)
            slots[site.outSlots[i]] = IntegerValue(scratch.integers[i]);
    }
    return true;
}

bool Compare(Op op, const Value& l, const Value& r, int32_t& result) {
    int order;
    if (l.isText() && r.isText())
        order = l.text->compare(*r.text);
    else if (!l.isText() && !r.isText())
        order = l.number < r.number ? -1 : l.number > r.number ? 1 : 0;
    else
        return false;
    switch (op) {
    case Op::Eq: result = order == 0; break;
    case Op::Ne: result = order != 0; break;
    case Op::Lt: result = order < 0; break;
    case Op::Le: result = order <= 0; break;
    case Op::Gt: result = order > 0; break;
    default: result = order >= 0; break;
    }
    return true;
}

// Stores a 64-bit result when it fits 32 bits; false for an overflow. (Done in 64 bits
// rather than with compiler built-ins so that every compiler takes it.)
bool Fits(int64_t wide, int32_t& result) {
    if (wide < INT32_MIN || wide > INT32_MAX)
        return false;
    result = static_cast<int32_t>(wide);
    return true;
}

// Integer arithmetic of two values; false with `error` set.
bool Arithmetic(Op op, int32_t l, int32_t r, int32_t& result, const char*& error) {
    switch (op) {
    case Op::Add:
        return Fits(int64_t{l} + r, result) || (error = Overflow, false);
    case Op::Sub:
        return Fits(int64_t{l} - r, result) || (error = Overflow, false);
    case Op::Mul:
        return Fits(int64_t{l} * r, result) || (error = Overflow, false);
    case Op::Div:
        if (r == 0)
            return error = DivisionByZero, false;
        return Fits(int64_t{l} / r, result) || (error = Overflow, false);
    default:  // Mod
        if (r == 0)
            return error = DivisionByZero, false;
        result = static_cast<int32_t>(int64_t{l} % r);
        return true;
    }
}

}  // namespace

int32_t Execute(const Program& program, const RunHooks& hooks, RunFailure& failure) {
    std::vector<Value> slots(program.slotCount);
    std::vector<Value> stack(program.maxStack + 1);
    Value* const base = stack.data();
    Value* sp = base;   // the next free place
    Value* vars = slots.data();
    CallScratch scratch;
    const Instruction* const code = program.code.data();
    size_t pc = 0;
    const char* fault = nullptr;
    std::string faultText;
    const MacroAbortCallback abort = hooks.abort;

    for (;;) {
        const Instruction& in = code[pc];
        switch (in.op) {
        case Op::PushInt:
            sp->number = in.a;
            sp->text.reset();
            ++sp;
            ++pc;
            break;
        case Op::PushText:
            sp->text = program.texts[in.a];
            ++sp;
            ++pc;
            break;
        case Op::Load:
            *sp++ = vars[in.a];
            ++pc;
            break;
        case Op::Store:
            vars[in.a] = std::move(*--sp);
            ++pc;
            break;
        case Op::Pop:
            (--sp)->text.reset();
            ++pc;
            break;
        case Op::Add:
            if (sp[-2].isText() && sp[-1].isText()) {
                const std::string& l = *sp[-2].text;
                const std::string& r = *sp[-1].text;
                if (l.size() + r.size() > MaxTextBytes) {
                    faultText = "text longer than " + std::to_string(MaxTextBytes >> 20) + " MiB";
                    goto failed;
                }
                std::string joined;
                joined.reserve(l.size() + r.size());
                joined.append(l).append(r);
                sp[-2].text = std::make_shared<const std::string>(std::move(joined));
                (--sp)->text.reset();
                ++pc;
                break;
            }
            if (sp[-2].isText() || sp[-1].isText()) {
                fault = KindsOfPlus;
                goto failed;
            }
            [[fallthrough]];
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
        case Op::Mod:
            if (sp[-2].isText() || sp[-1].isText()) {
                fault = in.op == Op::Add ? KindsOfPlus : KindsOfArithmetic;
                goto failed;
            }
            if (!Arithmetic(in.op, sp[-2].number, sp[-1].number, sp[-2].number, fault))
                goto failed;
            --sp;
            ++pc;
            break;
        case Op::Neg:
            if (sp[-1].isText()) {
                fault = KindsOfArithmetic;
                goto failed;
            }
            if (sp[-1].number == INT32_MIN) {
                fault = Overflow;
                goto failed;
            }
            sp[-1].number = -sp[-1].number;
            ++pc;
            break;
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge: {
            int32_t result;
            if (!Compare(in.op, sp[-2], sp[-1], result)) {
                fault = KindsOfComparison;
                goto failed;
            }
            --sp;
            sp->text.reset();
            sp[-1].text.reset();
            sp[-1].number = result;
            ++pc;
            break;
        }
        case Op::LessConst:
            if (sp[-1].isText()) {
                fault = KindsOfComparison;
                goto failed;
            }
            sp[-1].number = sp[-1].number < in.a;
            ++pc;
            break;
        case Op::JumpUnlessLess: {
            const Value& v = vars[in.a];
            if (v.isText()) {
                fault = KindsOfComparison;
                goto failed;
            }
            pc = v.number < in.b ? pc + 1 : in.c;
            break;
        }
        case Op::JumpIfLess: {
            const Value& v = vars[in.a];
            if (v.isText()) {
                fault = KindsOfComparison;
                goto failed;
            }
            pc = v.number < in.b ? in.c : pc + 1;
            break;
        }
        case Op::Not:
        case Op::Truth:
            if (sp[-1].isText()) {
                fault = KindsOfLogic;
                goto failed;
            }
            sp[-1].number = in.op == Op::Not ? sp[-1].number == 0 : sp[-1].number != 0;
            ++pc;
            break;
        case Op::AndJump:
        case Op::OrJump:
            if ((sp[-1].number != 0) == (in.op == Op::OrJump)) {
                pc = in.a;
            } else {
                --sp;
                ++pc;
            }
            break;
        case Op::Jump:
            pc = in.a;
            break;
        case Op::JumpIfFalse:
            if ((--sp)->isText()) {
                fault = KindsOfLogic;
                goto failed;
            }
            pc = sp->number ? pc + 1 : in.a;
            break;
        case Op::Check:
            if (abort && abort() != 0) {
                failure.kind = MACROLIB_ABORTED;
                failure.where = program.positions[pc];
                failure.text = "stopped";
                return MACROLIB_STOPPED;
            }
            ++pc;
            break;
        case Op::IncrementBy: {
            Value& v = vars[in.a];
            if (v.isText()) {
                fault = in.b >= 0 ? KindsOfPlus : KindsOfArithmetic;
                goto failed;
            }
            if (!Fits(int64_t{v.number} + in.b, v.number)) {
                fault = Overflow;
                goto failed;
            }
            ++pc;
            break;
        }
        case Op::ForTest:
        case Op::ForNext: {
            Value& v = vars[in.a];
            const Value& limit = vars[in.b];
            if (v.isText() || limit.isText()) {
                fault = "the loop variable and its limit must be integers";
                goto failed;
            }
            if (in.op == Op::ForTest) {
                pc = v.number > limit.number ? in.c : pc + 1;
            } else if (v.number < limit.number) {
                ++v.number;
                pc = in.c;
            } else {
                ++pc;
            }
            break;
        }
        case Op::CallTable: {
            const CallSite& site = program.calls[in.a];
            size_t values = 0;
            for (int32_t slot : site.outSlots)
                values += slot < 0;
            sp -= values;
            int32_t result;
            if (!CallProgram(site, sp, slots, hooks, scratch, result, faultText))
                goto failed;
            for (size_t i = 1; i < values; ++i)
                sp[i].text.reset();
            sp->text.reset();
            sp->number = result;
            ++sp;
            ++pc;
            break;
        }
        case Op::CallInternal: {
            sp -= in.b;
            Value result;
            if (!CallInternalFunction(in.a, sp, hooks, result, faultText))
                goto failed;
            for (int32_t i = 1; i < in.b; ++i)
                sp[i].text.reset();
            *sp++ = std::move(result);
            ++pc;
            break;
        }
        case Op::Exit:
            return MACROLIB_OK;
        }
    }

failed:
    failure.kind = MACROLIB_RUN_ERROR;
    failure.where = program.positions[pc];
    failure.text = fault ? fault : faultText;
    return MACROLIB_FAILED;
}

}  // namespace macrolib
