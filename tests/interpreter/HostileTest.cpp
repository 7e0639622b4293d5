// Scripts written to hurt: random bytes, huge texts, deep nesting, NUL bytes, runaway
// growth. Each must end in a clean result with a placed error, never in a crash, a
// stack overflow or unbounded memory. The inputs the fuzzer once crashed on are kept in
// tests/interpreter/cases/ and run here too.
#include <gtest/gtest.h>

#include "TestPaths.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "FakeProgram.h"

namespace {

std::string Repeat(const std::string& s, int n) {
    std::string out;
    out.reserve(s.size() * n);
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

TEST(HostileScripts, TenThousandNestedIfsMeetTheNestingLimit) {
    fake::Program program;
    std::string script = "Macro \"T\"\nbegin\n" + Repeat("if 1 then ", 10000) +
                         Repeat("end ", 10000) + "\nend\n";
    EXPECT_EQ(program.run(script), MACROLIB_FAILED);
    EXPECT_EQ(program.error.Kind, MACROLIB_SYNTAX_ERROR);
    // The 200th if opens the 200th level; its condition would be the 201st.
    EXPECT_EQ(program.errorLine(), "test.vlm:3:" + std::to_string(199 * 10 + 4) +
                                       ": nested deeper than 200 levels");
}

TEST(HostileScripts, NestingBelowTheLimitIsFine) {
    fake::Program program;
    std::string script = fake::Script(Repeat("if 1 then ", 150) + "Print (1);" + Repeat(" end", 150));
    EXPECT_EQ(program.run(script), MACROLIB_OK) << program.errorLine();
    EXPECT_EQ(program.printed.size(), 1u);
}

struct DeepCase {
    const char* name;
    std::string expression;
};

TEST(HostileScripts, DeepExpressionsMeetTheLimitToo) {
    const DeepCase cases[] = {
        {"parentheses", Repeat("(", 100000) + "1" + Repeat(")", 100000)},
        {"minus signs", Repeat("- ", 100000) + "x"},
        {"nots", Repeat("not ", 100000) + "1"},
        {"nested calls", Repeat("Len (Str (", 50000) + "1" + Repeat("))", 50000)},
    };
    for (const DeepCase& c : cases) {
        fake::Program program;
        EXPECT_EQ(program.run(fake::Script("Print (" + c.expression + ");")), MACROLIB_FAILED)
            << c.name;
        EXPECT_NE(std::string(program.error.Text).find("nested deeper"), std::string::npos)
            << c.name << ": " << program.errorLine();
    }
}

TEST(HostileScripts, LongFlatChainsNeedNoDepth) {
    // Left-associative chains are loops in the parser and the machine, not recursion.
    fake::Program program;
    std::string script = fake::Script("Print (1" + Repeat(" + 1", 200000) + ");\n" +
                                      "Print (1 = 1" + Repeat(" and 1", 100000) + ");");
    ASSERT_EQ(program.run(script), MACROLIB_OK) << program.errorLine();
    EXPECT_EQ(program.printed, (std::vector<std::string>{"200001", "1"}));
}

TEST(HostileScripts, AOneMebibyteTextIsJustAText) {
    fake::Program program;
    std::string big(1 << 20, 'x');
    ASSERT_EQ(program.run(fake::Script("InsertText (\"" + big + "\"); Print (Len (\"" + big + "\"));")),
              MACROLIB_OK);
    EXPECT_EQ(program.printed, std::vector<std::string>{"1048576"});
    ASSERT_EQ(program.calls.size(), 1u);
    EXPECT_EQ(program.calls[0].args[0].size(), size_t{1} << 20);
}

TEST(HostileScripts, AnUnclosedMebibyteTextStopsAtItsQuote) {
    fake::Program program;
    EXPECT_EQ(program.run(fake::Script("Print (\"" + std::string(1 << 20, 'x'))), MACROLIB_FAILED);
    EXPECT_EQ(program.errorLine(), "test.vlm:3:8: text not closed with '\"' on its line");
}

TEST(HostileScripts, TextsCannotGrowWithoutBound) {
    fake::Program program;
    EXPECT_EQ(program.run(fake::Script("s := \"x\"; while 1 do s := s + s; end", "var s;\n")),
              MACROLIB_FAILED);
    EXPECT_EQ(program.errorLine(), "test.vlm:4:29: text longer than 16 MiB");
}

TEST(HostileScripts, OversizedScriptsAreRefusedWhole) {
    fake::Program program;
    std::string script = fake::Script("{" + std::string(5 << 20, ' ') + "}");
    EXPECT_EQ(program.run(script), MACROLIB_FAILED);
    EXPECT_EQ(program.errorLine(), "test.vlm: script larger than 4 MiB");
}

TEST(HostileScripts, NulBytesAreAnErrorWhereverTheyStand) {
    const std::string places[] = {
        std::string("Print (1);\0", 11),
        std::string("Print (\"a\0b\");", 14),
        std::string("// note \0\n", 10),
        std::string("{ \0 }", 5),
    };
    for (const std::string& body : places) {
        fake::Program program;
        EXPECT_EQ(program.run(fake::Script(body)), MACROLIB_FAILED);
        EXPECT_STREQ(program.error.Text, "NUL byte in the script");
        EXPECT_EQ(program.error.Line, 3);
        EXPECT_GT(program.error.Column, 0);
    }
}

// Random bytes, and random sequences of the language's own words, which get further.
TEST(HostileScripts, RandomInputEndsCleanly) {
    static const char* const words[] = {
        "Macro", "\"T\"", "var", "a", "b", ",", ";", "begin", "end", "if", "then", "else",
        "while", "do", "for", ":=", "to", "exit", "(", ")", "1", "-", "+", "*", "div", "mod",
        "<", "=", "and", "or", "not", "Print", "Str", "Mid", "GetDrag", "Find", "\"x\"", "\n",
    };
    std::mt19937 random(20261207);
    for (int round = 0; round < 3000; ++round) {
        std::string script;
        if (round % 2 == 0) {
            size_t length = random() % 200;
            for (size_t i = 0; i < length; ++i)
                script.push_back(static_cast<char>(random() % 256));
        } else {
            script = "Macro \"T\" var a, b; begin ";
            size_t length = random() % 60;
            for (size_t i = 0; i < length; ++i)
                script += std::string(words[random() % (sizeof words / sizeof words[0])]) + " ";
        }
        fake::Program program;
        fake::abortStopAt = 500;
        int32_t result = program.run(script);
        fake::abortStopAt = 0;
        ASSERT_TRUE(result == MACROLIB_OK || result == MACROLIB_FAILED || result == MACROLIB_STOPPED);
        if (program.error.Kind == MACROLIB_SYNTAX_ERROR) {
            ASSERT_GE(program.error.Line, 1) << script;
            ASSERT_GE(program.error.Column, 1) << script;
        }
    }
}

TEST(HostileScripts, KeptFuzzerCasesRunCleanly) {
    std::filesystem::path folder = std::filesystem::path(VARLIN_TEST_DATA) / "interpreter" / "cases";
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        FILE* f = std::fopen(entry.path().string().c_str(), "rb");
        ASSERT_TRUE(f) << name;
        std::string script;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            script.append(buffer, n);
        std::fclose(f);
        fake::Program program;
        fake::abortStopAt = 5000;
        int32_t result = program.run(script, name.c_str());
        fake::abortStopAt = 0;
        EXPECT_TRUE(result == MACROLIB_OK || result == MACROLIB_FAILED || result == MACROLIB_STOPPED)
            << name;
        ++count;
    }
    EXPECT_GT(count, 0);
}

}  // namespace
