// The language: expressions and their values, every statement kind, the lexical rules
// (keywords in any case, comments, CR LF, the two escapes). Results are read back through
// Print, so each case states the script's visible effect.
#include <gtest/gtest.h>

#include "FakeProgram.h"
#include "platform/TestFolder.h"

namespace {

struct ExpressionCase {
    const char* expression;
    const char* printed;
};

// One row per rule of the expression language; Print shows an integer in decimal.
const ExpressionCase expressionCases[] = {
    {"1 + 2 * 3", "7"},
    {"(1 + 2) * 3", "9"},
    {"7 div 2", "3"},
    {"-7 div 2", "-3"},              // truncates toward zero
    {"-7 mod 3", "-1"},              // the sign of the dividend
    {"7 mod -3", "1"},
    {"-2147483648", "-2147483648"},  // only the minus makes the literal valid
    {"-2147483648 mod -1", "0"},
    {"- (3 - 5)", "2"},
    {"10 - 2 - 3", "5"},             // left to right
    {"\"ab\" + \"cd\"", "abcd"},
    {"\"a\\\"b\\\\c\\d\"", "a\"b\\c\\d"},   // \" and \\ are escapes, other backslashes stay
    {"\"C:\\temp\"", "C:\\temp"},
    {"3 < 4", "1"},
    {"4 <= 3", "0"},
    {"\"abc\" < \"abd\"", "1"},
    {"\"b\" > \"abc\"", "1"},
    {"\"\xe4\" > \"z\"", "1"},       // bytes compare unsigned
    {"\"x\" = \"x\"", "1"},
    {"2 <> 2", "0"},
    {"1 < 2 and 2 < 3", "1"},
    {"0 or 5", "1"},
    {"not 0", "1"},
    {"not 1 = 2", "1"},              // not binds looser than comparison
    {"not not 7", "1"},
    {"0 and 1 div 0", "0"},          // and/or stop at a decided left side
    {"1 or 1 div 0", "1"},
    {"Str(12) + Str(-3)", "12-3"},
    {"Val(\"  -42abc\")", "-42"},
    {"Val(\"abc\")", "0"},
    {"Len(\"hello\")", "5"},
    {"Chr(65) + Chr(-33)", "A\xdf"},  // recorded negative codes mean bytes 128..255
    {"Asc(\"\xdf\")", "223"},
    {"Asc(\"\")", "0"},
    {"Mid(\"hello\", 2, 3)", "ell"},
    {"Mid(\"hello\", 0, 2)", "he"},
    {"Mid(\"hello\", 4, 99)", "lo"},
    {"Mid(\"hello\", 9, 1)", ""},
    {"Pos(\"ll\", \"hello\")", "3"},
    {"Pos(\"x\", \"hello\")", "0"},
    {"Pos(\"\", \"hello\")", "0"},
    {"Upper(\"a\xe4z\") + Lower(\"AbC\")", "A\xe4Zabc"},   // ASCII letters only
    {"Len(\"\")", "0"},
};

TEST(MacroExpressions, GiveTheirValues) {
    for (const ExpressionCase& c : expressionCases) {
        fake::Program program;
        std::string script = fake::Script(std::string("Print (") + c.expression + ");");
        ASSERT_EQ(program.run(script), MACROLIB_OK) << c.expression << ": " << program.errorLine();
        ASSERT_EQ(program.printed.size(), 1u) << c.expression;
        EXPECT_EQ(program.printed[0], c.printed) << c.expression;
    }
}

struct StatementCase {
    const char* name;
    const char* body;
    const char* declarations;
    const char* printed;   // the printed lines joined by '|'
};

const StatementCase statementCases[] = {
    {"assignment", "a := 5; b := a * 2; Print (b);", "var a, b;\n", "10"},
    {"variables start as 0", "Print (a);", "var a;\n", "0"},
    {"a variable takes either kind", "a := 1; a := \"t\"; Print (a);", "var a;\n", "t"},
    {"if then", "if 1 then Print (1); end;", "", "1"},
    {"if else", "if 0 then Print (1); else Print (2); end", "", "2"},
    {"nested if", "if 1 then if 0 then Print (1); else Print (2); end end", "", "2"},
    {"while", "while i < 3 do Print (i); i := i + 1; end;", "var i;\n", "0|1|2"},
    {"while never", "while 0 do Print (1); end", "", ""},
    {"for", "for i := 1 to 3 do Print (i); end", "var i;\n", "1|2|3"},
    {"for empty range", "for i := 3 to 1 do Print (i); end Print (i);", "var i;\n", "3"},
    {"for bounds taken once", "n := 2; for i := 1 to n do n := 5; Print (i); end",
     "var i, n;\n", "1|2"},
    {"for up to the largest integer", "for i := 2147483646 to 2147483647 do Print (i); end",
     "var i;\n", "2147483646|2147483647"},
    {"exit", "Print (1); exit; Print (2);", "", "1"},
    {"exit in a loop", "while 1 do exit; end", "", ""},
    {"empty statements", ";; Print (1);;", "", "1"},
    {"semicolon after end optional", "if 1 then Print (1); end Print (2);", "", "1|2"},
    {"keywords in any case", "IF 1 THEN Print (1); ELSE end WHILE 0 Do EnD", "", "1"},
    {"comments", "// a line\n{ a block\nover lines } Print (1); // end", "", "1"},
    {"several var lines", "a := 1; b := 2; Print (a + b);", "var a;\nVAR b;\n", "3"},
    {"increment and decrement", "a := 10; a := a + 5; a := a - 3; Print (a);", "var a;\n", "12"},
    {"text in a counting shape", "a := \"x\"; a := a + \"y\"; Print (a);", "var a;\n", "xy"},
    // A text that grows in place must leave every copy of it and every literal alone.
    {"grown text keeps its copies", "a := \"x\"; b := a; a := a + \"y\"; c := a; a := a + \"z\"; "
     "Print (a); Print (b); Print (c);", "var a, b, c;\n", "xyz|x|xy"},
    {"text added to itself", "a := \"ab\"; a := a + a; a := a + Mid (a, 2, 2); Print (a);",
     "var a;\n", "ababba"},
    {"growing in a loop", "a := \"\"; for i := 1 to 3 do a := a + Str (i) + \"-\"; "
     "if i = 2 then b := a; end end Print (a + b);", "var a, b, i;\n", "1-2-3-1-2-"},
    {"a variable left of a computed side", "a := 7; b := 2; Print (a - b * 3); "
     "Print (a * (b + 1)); Print (a + b mod 4); a := \"x\"; b := a + Str (1); Print (a + b);",
     "var a, b;\n", "1|21|9|xx1"},
    {"a literal grown twice", "for i := 1 to 2 do a := \"k\"; a := a + \"!\"; Print (a); end",
     "var a, i;\n", "k!|k!"},
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i)
        out += (i ? "|" : "") + lines[i];
    return out;
}

TEST(MacroStatements, RunAsWritten) {
    for (const StatementCase& c : statementCases) {
        fake::Program program;
        int32_t result = program.run(fake::Script(c.body, c.declarations));
        EXPECT_EQ(result, MACROLIB_OK) << c.name << ": " << program.errorLine();
        EXPECT_EQ(Joined(program.printed), c.printed) << c.name;
    }
}

TEST(MacroScript, ReadsCrLfLinesAndAFinalDot) {
    fake::Program program;
    ASSERT_EQ(program.run("Macro \"T\"\r\n\r\n\tbegin\r\n\tPrint (1);\r\n\tend.\r\n"), MACROLIB_OK)
        << program.errorLine();
    EXPECT_EQ(Joined(program.printed), "1");
}

TEST(MacroScript, CountsLinesOfCrLfFilesOnce) {
    fake::Program program;
    program.run("Macro \"T\"\r\nbegin\r\n\r\n  Nope ();\r\nend\r\n");
    EXPECT_EQ(program.errorLine(), "test.vlm:4:3: unknown function 'Nope'");
}

TEST(MacroScript, NamesAreCaseSensitive) {
    fake::Program program;
    EXPECT_EQ(program.run(fake::Script("A := 1;", "var a;\n")), MACROLIB_FAILED);
    EXPECT_EQ(program.errorLine(), "test.vlm:4:1: unknown variable 'A'");
    EXPECT_EQ(program.run(fake::Script("insertChar (1);")), MACROLIB_FAILED);
}

TEST(MacroHeader, GivesTheDescription) {
    varlin::test::TestFolder folder;
    std::string path = folder.File("header.vlm");
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    fputs("// saved by hand\r\nMACRO \"Zeilen \\\"sortieren\\\"\"\r\nbegin\r\nend\r\n", f);
    fclose(f);
    char buffer[500];
    EXPECT_EQ(Get_MacroHeader(path.c_str(), buffer, sizeof buffer), 18);
    EXPECT_STREQ(buffer, "Zeilen \"sortieren\"");
    char small[7];
    EXPECT_EQ(Get_MacroHeader(path.c_str(), small, sizeof small), 6);
    EXPECT_STREQ(small, "Zeilen");

    EXPECT_LT(Get_MacroHeader((path + ".missing").c_str(), buffer, sizeof buffer), 0);
    f = fopen(path.c_str(), "wb");
    fputs("begin end", f);
    fclose(f);
    EXPECT_LT(Get_MacroHeader(path.c_str(), buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
}

TEST(MacroInternalList, HasTheOwnFunctionsInTheTableLayout) {
    EXPECT_EQ(Get_MacroLib_InternalFunctionList(43), nullptr);
    const MacroCommand* list = Get_MacroLib_InternalFunctionList(MACROLIB_VERSION);
    ASSERT_NE(list, nullptr);
    std::string names;
    int count = 0;
    for (; list[count].Name; ++count) {
        names += std::string(list[count].Name) + "(" +
                 (list[count].ArgNames ? list[count].ArgNames : "") + ") ";
        EXPECT_NE(list[count].Signature, nullptr);
    }
    EXPECT_EQ(count, 12);
    EXPECT_NE(names.find("Mid(Text,From,Count) "), std::string::npos);
    EXPECT_NE(names.find("Beep() "), std::string::npos);
    EXPECT_NE(names.find("SendCommand(CommandId) "), std::string::npos);
}

}  // namespace
