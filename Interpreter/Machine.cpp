// The byte-code machine. Values live on a stack sized by the compiler and in variable
// slots; integers are checked for overflow (an error, never a silent wrap) and every
// operation checks the kinds of its values, since variables take either kind.
#include "Interpreter/Machine.h"

#include <cstdio>

#include "Interpreter/Builtins.h"
#include "Interpreter/Reciprocal.h"

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

// Integer arithmetic; false with `error` set. One function per operator, so that each
// instruction has its own code instead of a switch on the operator. Where the compiler
// has them, its overflow built-ins leave one instruction and the overflow flag.
#if defined(__GNUC__) || defined(__clang__)
inline bool AddIntegers(int32_t l, int32_t r, int32_t& result, const char*& error) {
    return !__builtin_add_overflow(l, r, &result) || (error = Overflow, false);
}

inline bool SubtractIntegers(int32_t l, int32_t r, int32_t& result, const char*& error) {
    return !__builtin_sub_overflow(l, r, &result) || (error = Overflow, false);
}

inline bool MultiplyIntegers(int32_t l, int32_t r, int32_t& result, const char*& error) {
    return !__builtin_mul_overflow(l, r, &result) || (error = Overflow, false);
}
#else
// Stores a 64-bit result when it fits 32 bits; false for an overflow.
inline bool Fits(int64_t wide, int32_t& result) {
    if (wide < INT32_MIN || wide > INT32_MAX)
        return false;
    result = static_cast<int32_t>(wide);
    return true;
}

inline bool AddIntegers(int32_t l, int32_t r, int32_t& result, const char*& error) {
    return Fits(int64_t{l} + r, result) || (error = Overflow, false);
}

inline bool SubtractIntegers(int32_t l, int32_t r, int32_t& result, const char*& error) {
    return Fits(int64_t{l} - r, result) || (error = Overflow, false);
}

inline bool MultiplyIntegers(int32_t l, int32_t r, int32_t& result, const char*& error) {
    return Fits(int64_t{l} * r, result) || (error = Overflow, false);
}
#endif

// Division and remainder truncate toward zero (the remainder takes the sign of the
// left side). They divide in 32 bits, which takes a fraction of the time of a 64-bit
// division; the divisor -1 is the one case whose 32-bit division traps, so it is apart.
inline bool DivideIntegers(int32_t l, int32_t r, int32_t& result, const char*& error) {
    if (r == 0)
        return error = DivisionByZero, false;
    if (r == -1) {
        if (l == INT32_MIN)
            return error = Overflow, false;
        result = -l;
        return true;
    }
    result = l / r;
    return true;
}

inline bool Remainder(int32_t l, int32_t r, int32_t& result, const char*& error) {
    if (r == 0)
        return error = DivisionByZero, false;
    result = r == -1 ? 0 : l % r;
    return true;
}

// The operators with a constant right side (Op::AddConst …): a is the constant, b the
// reciprocal of a divisor of 2 or more.
inline bool AddConstant(int32_t l, const Instruction& in, int32_t& result, const char*& error) {
    return AddIntegers(l, in.a, result, error);
}

inline bool SubtractConstant(int32_t l, const Instruction& in, int32_t& result, const char*& error) {
    return SubtractIntegers(l, in.a, result, error);
}

inline bool MultiplyConstant(int32_t l, const Instruction& in, int32_t& result, const char*& error) {
    return MultiplyIntegers(l, in.a, result, error);
}

inline bool DivideConstant(int32_t l, const Instruction& in, int32_t& result, const char*& error) {
    if (in.shift == 0)
        return DivideIntegers(l, in.a, result, error);
    result = QuotientByReciprocal(l, in.b, in.shift);
    return true;
}

inline bool RemainderConstant(int32_t l, const Instruction& in, int32_t& result, const char*& error) {
    if (in.shift == 0)
        return Remainder(l, in.a, result, error);
    result = RemainderByReciprocal(l, in.a, in.b, in.shift);
    return true;
}

}  // namespace

// The dispatch: threaded where the compiler takes the address of a label (every
// instruction jumps straight to the next one's code, which the processor predicts per
// instruction), else one switch in a loop.
#if !defined(VARLIN_THREADED_DISPATCH) && (defined(__GNUC__) || defined(__clang__))
#define VARLIN_THREADED_DISPATCH 1
#endif

#if VARLIN_THREADED_DISPATCH
#define OP(name) L_##name:
#define NEXT() goto* labels[static_cast<uint8_t>(ip->op)]
#define FALLTHROUGH
#else
#define OP(name) case Op::name:
#define NEXT() continue
#define FALLTHROUGH [[fallthrough]]
#endif

int32_t Execute(const Program& program, const RunHooks& hooks, RunFailure& failure) {
    std::vector<Value> slots(program.slotCount);
    std::vector<Value> stack(program.maxStack + 1);
    Value* const base = stack.data();
    Value* sp = base;   // the next free place
    Value* vars = slots.data();
    CallScratch scratch;
    const Instruction* const code = program.code.data();
    const Instruction* ip = code;
    const char* fault = nullptr;
    std::string faultText;
    Position faultWhere{};   // set where the failing place is not the instruction's own
    const MacroAbortCallback abort = hooks.abort;
    int32_t quiet = 0;       // instructions that may still run before the callback is asked

// Weighs a statement; asks the callback once the weights pass InstructionsBetweenPolls.
#define POLL(weight)                                \
    if ((quiet -= (weight)) < 0) {                  \
        quiet = InstructionsBetweenPolls;           \
        if (abort && abort() != 0)                  \
            goto stopped;                           \
    }
// An operator of two integers on the top two values, or of the top value and the
// instruction's constant; `kinds` is the error when a text takes part.
#define INTEGER_OPERATOR(function, kinds)                                  \
    if (sp[-2].isText() || sp[-1].isText()) {                              \
        fault = kinds;                                                     \
        goto failed;                                                       \
    }                                                                      \
    if (!function(sp[-2].number, sp[-1].number, sp[-2].number, fault))     \
        goto failed;                                                       \
    --sp;                                                                  \
    ++ip;                                                                  \
    NEXT();
#define CONSTANT_OPERATOR(function, kinds)                                 \
    if (sp[-1].isText()) {                                                 \
        fault = kinds;                                                     \
        goto failed;                                                       \
    }                                                                      \
    if (!function(sp[-1].number, *ip, sp[-1].number, fault))               \
        goto failed;                                                       \
    ++ip;                                                                  \
    NEXT();
// The same with the variable ip->c on the left, the result pushed.
#define LOAD_CONSTANT_OPERATOR(function, kinds)                            \
    {                                                                      \
        const Value& v = vars[ip->c];                                      \
        if (v.isText()) {                                                  \
            fault = kinds;                                                 \
            goto failed;                                                   \
        }                                                                  \
        if (!function(v.number, *ip, sp->number, fault))                   \
            goto failed;                                                   \
        sp->text.reset();                                                  \
        ++sp;                                                              \
        ++ip;                                                              \
        NEXT();                                                            \
    }
// The same with the top value on the left, the result stored into the variable ip->c.
#define CONSTANT_OPERATOR_STORE(function, kinds)                           \
    {                                                                      \
        if (sp[-1].isText()) {                                             \
            fault = kinds;                                                 \
            goto failed;                                                   \
        }                                                                  \
        int32_t result;                                                    \
        if (!function(sp[-1].number, *ip, result, fault))                  \
            goto failed;                                                   \
        --sp;                                                              \
        Value& v = vars[ip->c];                                            \
        v.number = result;                                                 \
        if (v.isText())                                                    \
            v.text.reset();                                                \
        ++ip;                                                              \
        NEXT();                                                            \
    }
// An operator of two integers, the variable ip->a on the left and the top value on the right.
#define VARIABLE_OPERATOR(function)                                        \
    {                                                                      \
        const Value& v = vars[ip->a];                                      \
        if (v.isText() || sp[-1].isText()) {                               \
            fault = KindsOfArithmetic;                                     \
            goto failed;                                                   \
        }                                                                  \
        if (!function(v.number, sp[-1].number, sp[-1].number, fault))      \
            goto failed;                                                   \
        ++ip;                                                              \
        NEXT();                                                            \
    }
// A loop's back jump to ip->c, which follows the Check of the body's first statement:
// that Check is done here, and a stop is told at it.
#define JUMP_PAST_CHECK()                                                  \
    ip = code + ip->c;                                                     \
    if ((quiet -= ip[-1].a) < 0) {                                         \
        quiet = InstructionsBetweenPolls;                                  \
        if (abort && abort() != 0) {                                       \
            --ip;                                                          \
            goto stopped;                                                  \
        }                                                                  \
    }
#define COMPARISON(relation)                                               \
    if (!sp[-2].isText() && !sp[-1].isText()) {                            \
        sp[-2].number = sp[-2].number relation sp[-1].number;              \
    } else if (sp[-2].isText() && sp[-1].isText()) {                       \
        sp[-2].number = sp[-2].text->compare(*sp[-1].text) relation 0;     \
        sp[-2].text.reset();                                               \
        sp[-1].text.reset();                                               \
        quiet = 0;                                                         \
    } else {                                                               \
        fault = KindsOfComparison;                                         \
        goto failed;                                                       \
    }                                                                      \
    --sp;                                                                  \
    ++ip;                                                                  \
    NEXT();

#if VARLIN_THREADED_DISPATCH
    // In the order of Op.
    static void* const labels[] = {
        &&L_PushInt, &&L_PushText, &&L_Load, &&L_LoadMove, &&L_Store, &&L_Pop,
        &&L_Add, &&L_Sub, &&L_Mul, &&L_Div, &&L_Mod, &&L_Neg,
        &&L_AddConst, &&L_SubConst, &&L_MulConst, &&L_DivConst, &&L_ModConst,
        &&L_LoadAddConst, &&L_LoadSubConst, &&L_LoadMulConst, &&L_LoadDivConst, &&L_LoadModConst,
        &&L_AddConstStore, &&L_SubConstStore, &&L_MulConstStore, &&L_DivConstStore,
        &&L_ModConstStore, &&L_AddVariable, &&L_SubVariable, &&L_MulVariable,
        &&L_Eq, &&L_Ne, &&L_Lt, &&L_Le, &&L_Gt, &&L_Ge,
        &&L_Not, &&L_Truth, &&L_AndJump, &&L_OrJump, &&L_Jump, &&L_JumpIfFalse, &&L_Check,
        &&L_ForTest, &&L_ForNext, &&L_ForNextCheck, &&L_IncrementBy, &&L_CheckIncrementBy,
        &&L_CheckIncrementJumpIfLess, &&L_CountJumpIfLess, &&L_LessConst,
        &&L_JumpUnlessLess, &&L_JumpIfLess, &&L_JumpIfLessCheck, &&L_CallTable, &&L_CallInternal, &&L_Exit,
    };
    static_assert(sizeof labels / sizeof labels[0] == static_cast<size_t>(Op::Exit) + 1);
    NEXT();
#else
    for (;;) {
        switch (ip->op) {
#endif

    OP(PushInt)
        sp->number = ip->a;
        sp->text.reset();
        ++sp;
        ++ip;
        NEXT();
    OP(PushText)
        sp->text = program.texts[ip->a];
        ++sp;
        ++ip;
        NEXT();
    OP(Load) {
        const Value& v = vars[ip->a];
        if (v.isText())
            sp->text = v.text;
        else
            sp->text.reset();
        sp->number = v.number;
        ++sp;
        ++ip;
        NEXT();
    }
    OP(LoadMove) {
        Value& v = vars[ip->a];
        sp->number = v.number;
        if (v.isText())
            sp->text = std::move(v.text);
        else
            sp->text.reset();
        ++sp;
        ++ip;
        NEXT();
    }
    OP(Store) {
        Value& top = *--sp;
        Value& v = vars[ip->a];
        if (top.isText() || v.isText())
            v = std::move(top);
        else
            v.number = top.number;
        ++ip;
        NEXT();
    }
    OP(Pop)
        (--sp)->text.reset();
        ++ip;
        NEXT();
    OP(Add)
    addTopTwo:
        if (sp[-2].isText() && sp[-1].isText()) {
            std::shared_ptr<std::string>& l = sp[-2].text;
            const std::string& r = *sp[-1].text;
            if (l->size() + r.size() > MaxTextBytes) {
                faultText = "text longer than " + std::to_string(MaxTextBytes >> 20) + " MiB";
                goto failed;
            }
            if (l.use_count() == 1) {
                l->append(r);   // nobody else sees this text: grow it where it is
            } else {
                auto joined = std::make_shared<std::string>();
                joined->reserve(l->size() + r.size());
                joined->append(*l).append(r);
                l = std::move(joined);
            }
            (--sp)->text.reset();
            quiet = 0;
            ++ip;
            NEXT();
        }
        INTEGER_OPERATOR(AddIntegers, KindsOfPlus)
    OP(Sub)
        INTEGER_OPERATOR(SubtractIntegers, KindsOfArithmetic)
    OP(Mul)
        INTEGER_OPERATOR(MultiplyIntegers, KindsOfArithmetic)
    OP(Div)
        INTEGER_OPERATOR(DivideIntegers, KindsOfArithmetic)
    OP(Mod)
        INTEGER_OPERATOR(Remainder, KindsOfArithmetic)
    OP(AddConst)
        CONSTANT_OPERATOR(AddConstant, KindsOfPlus)
    OP(SubConst)
        CONSTANT_OPERATOR(SubtractConstant, KindsOfArithmetic)
    OP(MulConst)
        CONSTANT_OPERATOR(MultiplyConstant, KindsOfArithmetic)
    OP(DivConst)
        CONSTANT_OPERATOR(DivideConstant, KindsOfArithmetic)
    OP(ModConst)
        CONSTANT_OPERATOR(RemainderConstant, KindsOfArithmetic)
    OP(LoadAddConst)
        LOAD_CONSTANT_OPERATOR(AddConstant, KindsOfPlus)
    OP(LoadSubConst)
        LOAD_CONSTANT_OPERATOR(SubtractConstant, KindsOfArithmetic)
    OP(LoadMulConst)
        LOAD_CONSTANT_OPERATOR(MultiplyConstant, KindsOfArithmetic)
    OP(LoadDivConst)
        LOAD_CONSTANT_OPERATOR(DivideConstant, KindsOfArithmetic)
    OP(LoadModConst)
        LOAD_CONSTANT_OPERATOR(RemainderConstant, KindsOfArithmetic)
    OP(AddConstStore)
        CONSTANT_OPERATOR_STORE(AddConstant, KindsOfPlus)
    OP(SubConstStore)
        CONSTANT_OPERATOR_STORE(SubtractConstant, KindsOfArithmetic)
    OP(MulConstStore)
        CONSTANT_OPERATOR_STORE(MultiplyConstant, KindsOfArithmetic)
    OP(DivConstStore)
        CONSTANT_OPERATOR_STORE(DivideConstant, KindsOfArithmetic)
    OP(ModConstStore)
        CONSTANT_OPERATOR_STORE(RemainderConstant, KindsOfArithmetic)
    OP(AddVariable) {
        Value& v = vars[ip->a];
        if (!v.isText() && !sp[-1].isText()) {
            if (!AddIntegers(v.number, sp[-1].number, sp[-1].number, fault))
                goto failed;
            ++ip;
            NEXT();
        }
        // A text takes part: as the load (or the move) of the variable and Add do it.
        *sp = std::move(sp[-1]);
        sp[-1].number = v.number;
        if (ip->b)
            sp[-1].text = std::move(v.text);
        else
            sp[-1].text = v.text;
        ++sp;
        goto addTopTwo;
    }
    OP(SubVariable)
        VARIABLE_OPERATOR(SubtractIntegers)
    OP(MulVariable)
        VARIABLE_OPERATOR(MultiplyIntegers)
    OP(Neg)
        if (sp[-1].isText()) {
            fault = KindsOfArithmetic;
            goto failed;
        }
        if (sp[-1].number == INT32_MIN) {
            fault = Overflow;
            goto failed;
        }
        sp[-1].number = -sp[-1].number;
        ++ip;
        NEXT();
    OP(Eq)
        COMPARISON(==)
    OP(Ne)
        COMPARISON(!=)
    OP(Lt)
        COMPARISON(<)
    OP(Le)
        COMPARISON(<=)
    OP(Gt)
        COMPARISON(>)
    OP(Ge)
        COMPARISON(>=)
    OP(LessConst)
        if (sp[-1].isText()) {
            fault = KindsOfComparison;
            goto failed;
        }
        sp[-1].number = sp[-1].number < ip->a;
        ++ip;
        NEXT();
    OP(JumpUnlessLess) {
        const Value& v = vars[ip->a];
        if (v.isText()) {
            fault = KindsOfComparison;
            goto failed;
        }
        ip = v.number < ip->b ? ip + 1 : code + ip->c;
        NEXT();
    }
    OP(JumpIfLess) {
        const Value& v = vars[ip->a];
        if (v.isText()) {
            fault = KindsOfComparison;
            goto failed;
        }
        ip = v.number < ip->b ? code + ip->c : ip + 1;
        NEXT();
    }
    OP(JumpIfLessCheck) {
        const Value& v = vars[ip->a];
        if (v.isText()) {
            fault = KindsOfComparison;
            goto failed;
        }
        if (v.number < ip->b) {
            JUMP_PAST_CHECK()
        } else {
            ++ip;
        }
        NEXT();
    }
    OP(Not)
    OP(Truth)
        if (sp[-1].isText()) {
            fault = KindsOfLogic;
            goto failed;
        }
        sp[-1].number = ip->op == Op::Not ? sp[-1].number == 0 : sp[-1].number != 0;
        ++ip;
        NEXT();
    OP(AndJump)
    OP(OrJump)
        if ((sp[-1].number != 0) == (ip->op == Op::OrJump)) {
            ip = code + ip->a;
        } else {
            --sp;
            ++ip;
        }
        NEXT();
    OP(Jump)
        ip = code + ip->a;
        NEXT();
    OP(JumpIfFalse)
        if ((--sp)->isText()) {
            fault = KindsOfLogic;
            goto failed;
        }
        ip = sp->number ? ip + 1 : code + ip->a;
        NEXT();
    OP(Check)
        POLL(ip->a)
        ++ip;
        NEXT();
    OP(CheckIncrementJumpIfLess) {
        // i := i + 1 as a loop's last statement, with the loop's test at its foot.
        POLL(2)
        Value& v = vars[ip->a];
        if (v.isText()) {
            fault = ip->b >= 0 ? KindsOfPlus : KindsOfArithmetic;
            goto failedAtOperator;
        }
        if (!AddIntegers(v.number, ip->b, v.number, fault))
            goto failedAtOperator;
        const FusedStep& step = program.fused[ip->c];
        const Value& tested = vars[step.testSlot];
        if (tested.isText()) {
            fault = KindsOfComparison;
            faultWhere = step.testAt;
            goto report;
        }
        ip = tested.number < step.limit ? code + step.target : ip + 1;
        NEXT();
    }
    OP(CountJumpIfLess) {
        POLL(2)
        Value& v = vars[ip->a];
        if (v.isText()) {
            fault = ip->step >= 0 ? KindsOfPlus : KindsOfArithmetic;
            goto failedAtOperator;
        }
        int32_t next;
        if (!AddIntegers(v.number, ip->step, next, fault))
            goto failedAtOperator;
        v.number = next;
        ip = next < ip->b ? code + ip->c : ip + 1;
        NEXT();
    }
    OP(CheckIncrementBy)
        POLL(1)
        FALLTHROUGH;
    OP(IncrementBy) {
        Value& v = vars[ip->a];
        if (v.isText()) {
            fault = ip->b >= 0 ? KindsOfPlus : KindsOfArithmetic;
            goto failedAtOperator;
        }
        if (!AddIntegers(v.number, ip->b, v.number, fault))
            goto failedAtOperator;
        ++ip;
        NEXT();
    }
    OP(ForTest)
    OP(ForNext) {
        Value& v = vars[ip->a];
        const Value& limit = vars[ip->b];
        if (v.isText() || limit.isText()) {
            fault = "the loop variable and its limit must be integers";
            goto failed;
        }
        if (ip->op == Op::ForTest) {
            ip = v.number > limit.number ? code + ip->c : ip + 1;
        } else if (v.number < limit.number) {
            ++v.number;
            ip = code + ip->c;
        } else {
            ++ip;
        }
        NEXT();
    }
    OP(ForNextCheck) {
        // The limit's hidden slot was found an integer by ForTest, and nothing else
        // writes it; the body may have made the variable a text.
        Value& v = vars[ip->a];
        const Value& limit = vars[ip->b];
        if (v.isText()) {
            fault = "the loop variable and its limit must be integers";
            goto failed;
        }
        if (v.number < limit.number) {
            ++v.number;
            JUMP_PAST_CHECK()
        } else {
            ++ip;
        }
        NEXT();
    }
    OP(CallTable) {
        const CallSite& site = program.calls[ip->a];
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
        quiet = 0;
        ++ip;
        NEXT();
    }
    OP(CallInternal) {
        sp -= ip->b;
        {
            // Its own scope: the threaded dispatch must not jump out of a live Value.
            Value result;
            if (!CallInternalFunction(ip->a, sp, hooks, result, faultText))
                goto failed;
            for (int32_t i = 1; i < ip->b; ++i)
                sp[i].text.reset();
            *sp++ = std::move(result);
        }
        quiet = 0;
        ++ip;
        NEXT();
    }
    OP(Exit)
        return MACROLIB_OK;

#if !VARLIN_THREADED_DISPATCH
        }
    }
#endif

stopped:
    failure.kind = MACROLIB_ABORTED;
    failure.where = program.positions[ip - code];
    failure.text = "stopped";
    return MACROLIB_STOPPED;

failedAtOperator:
    // A fused instruction keeps its operator's place apart from the statement's.
    if (ip->op == Op::CheckIncrementBy || ip->op == Op::CheckIncrementJumpIfLess) {
        faultWhere = program.fused[ip->c].operatorAt;
    } else if (ip->op == Op::CountJumpIfLess) {
        for (const FusedStep& step : program.fused)
            if (step.at == ip - code)
                faultWhere = step.operatorAt;
    } else {
        faultWhere = program.positions[ip - code];
    }
    goto report;

failed:
    faultWhere = program.positions[ip - code];
report:
    failure.kind = MACROLIB_RUN_ERROR;
    failure.where = faultWhere;
    failure.text = fault ? fault : faultText;
    return MACROLIB_FAILED;
}

#undef OP
#undef NEXT
#undef FALLTHROUGH
#undef POLL
#undef INTEGER_OPERATOR
#undef CONSTANT_OPERATOR
#undef LOAD_CONSTANT_OPERATOR
#undef CONSTANT_OPERATOR_STORE
#undef JUMP_PAST_CHECK
#undef VARIABLE_OPERATOR
#undef COMPARISON

}  // namespace macrolib
