// Integer arithmetic at the edges of 32 bits, every result checked against 64-bit
// arithmetic: a result that does not fit is a run error at the operator, never a wrap.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>

#include "FakeProgram.h"
#include "Interpreter/Reciprocal.h"

namespace {

const int32_t values[] = {INT32_MIN, INT32_MIN + 1, -65536, -46341, -2, -1, 0,
                          1,         2,             46341,  65536,  INT32_MAX - 1, INT32_MAX};

// What a script prints for a 64-bit result, or the error it must stop with.
struct Outcome {
    bool ok;
    int64_t value;
    const char* error;
};

Outcome Expected(const std::string& op, int64_t a, int64_t b) {
    if ((op == "div" || op == "mod") && b == 0) return {false, 0, "division by zero"};
    int64_t r = op == "+" ? a + b : op == "-" ? a - b : op == "*" ? a * b
              : op == "div" ? a / b : a % b;
    if (r < INT32_MIN || r > INT32_MAX) return {false, 0, "integer overflow"};
    return {true, r, nullptr};
}

// Runs "prefix <expression>;" as line 4 and checks the print or the error at column.
void Check(const std::string& prefix, const std::string& expression, std::size_t column,
           const Outcome& want) {
    const std::string line = prefix + expression;
    SCOPED_TRACE(line);
    fake::Program program;
    program.run(fake::Script(line, "var a, b, n;\n"));
    if (want.ok) {
        EXPECT_EQ(program.error.Kind, MACROLIB_NO_ERROR) << program.errorLine();
        ASSERT_EQ(program.printed.size(), 1u);
        EXPECT_EQ(program.printed[0], std::to_string(want.value));
        return;
    }
    EXPECT_EQ(program.error.Kind, MACROLIB_RUN_ERROR);
    EXPECT_EQ(program.errorLine(), "test.vlm:4:" + std::to_string(prefix.size() + column + 1) +
                                       ": " + want.error);
    EXPECT_TRUE(program.printed.empty());
}

std::string Literal(int32_t v) { return std::to_string(v); }

TEST(Arithmetic, BinaryOperatorsMatch64BitsOrStopAtTheOperator) {
    for (const char* op : {"+", "-", "*", "div", "mod"}) {
        for (int32_t a : values) {
            for (int32_t b : values) {
                const Outcome want = Expected(op, a, b);
                const std::string tail = std::string(" ") + op + " ";
                // Variables, literals, and x := x op k (one instruction for + and -).
                const std::string vars = "a := " + Literal(a) + "; b := " + Literal(b) + "; ";
                Check(vars, "Print (a" + tail + "b);", 9, want);
                const std::string left = "Print (" + Literal(a);
                Check("", left + tail + Literal(b) + ");", left.size() + 1, want);
                const std::string assign = "a := " + Literal(a) + "; a := a";
                Check("", assign + tail + Literal(b) + "; Print (a);", assign.size() + 1, want);
            }
        }
    }
}

TEST(Arithmetic, UnaryMinusAndForBoundsAtTheEdges) {
    for (int32_t a : values) {
        const int64_t negated = -int64_t{a};
        const Outcome want = negated > INT32_MAX ? Outcome{false, 0, "integer overflow"}
                                                 : Outcome{true, negated, nullptr};
        const std::string vars = "a := " + Literal(a) + "; ";
        Check(vars, "Print (-a);", 7, want);
        Check(vars, "Print (- (a));", 7, want);
    }
    // Loops that start or end at the edges count as 64-bit arithmetic says.
    for (int32_t from : values) {
        for (int32_t to : values) {
            const int64_t count = std::max<int64_t>(0, int64_t{to} - from + 1);
            if (count > 5) continue;
            const std::string line = "n := 0; for a := " + Literal(from) + " to " + Literal(to) +
                                     " do n := n + 1; b := a; end Print (Str (n) + \" \" + Str (b));";
            SCOPED_TRACE(line);
            fake::Program program;
            program.run(fake::Script(line, "var a, b, n;\n"));
            EXPECT_EQ(program.error.Kind, MACROLIB_NO_ERROR) << program.errorLine();
            ASSERT_EQ(program.printed.size(), 1u);
            EXPECT_EQ(program.printed[0],
                      std::to_string(count) + " " + std::to_string(count ? to : 0));
        }
    }
}

// A constant divisor divides by its reciprocal: exact against the processor's division at
// the divisors' edges (powers of two and their neighbours) and for random pairs.
TEST(Arithmetic, DivisionByAReciprocalIsExact) {
    std::mt19937 random(38);
    std::vector<int32_t> divisors = {2, 3, 7, 10, 641, 46341, 1000003, INT32_MAX - 1, INT32_MAX};
    for (int k = 2; k < 31; ++k)
        for (int32_t d : {(1 << k) - 1, 1 << k, (1 << k) + 1})
            divisors.push_back(d);
    for (int i = 0; i < 200; ++i)
        divisors.push_back(static_cast<int32_t>(random() % INT32_MAX) + 1);
    for (int32_t d : divisors) {
        int32_t low = 0;
        uint8_t shift = 0;
        if (!macrolib::MakeReciprocal(d, low, shift))
            continue;
        std::vector<int32_t> numerators(std::begin(values), std::end(values));
        for (int64_t near : {int64_t{d}, 2 * int64_t{d}, int64_t{INT32_MAX} / d * d})
            for (int64_t n : {near - 1, near, near + 1, -near - 1, -near, -near + 1})
                if (n >= INT32_MIN && n <= INT32_MAX)
                    numerators.push_back(static_cast<int32_t>(n));
        for (int i = 0; i < 2000; ++i)
            numerators.push_back(static_cast<int32_t>(random()));
        for (int32_t n : numerators) {
            ASSERT_EQ(macrolib::QuotientByReciprocal(n, low, shift), n / d) << n << " div " << d;
            ASSERT_EQ(macrolib::RemainderByReciprocal(n, d, low, shift), n % d) << n << " mod " << d;
        }
    }
}

}  // namespace
