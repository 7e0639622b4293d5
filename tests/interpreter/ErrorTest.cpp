// Errors stop the script and say where: each row is a script, the error line the program
// gets ("FILE:LINE:COL: text") and whether statements before the fault ran.
#include <gtest/gtest.h>

#include "FakeProgram.h"
#include "platform/TestFolder.h"

namespace {

struct ErrorCase {
    const char* script;
    int32_t kind;
    const char* line;
};

// Line 1 is the Macro line, line 2 "begin" unless the script says otherwise.
const ErrorCase errorCases[] = {
    // Syntax: found before anything runs.
    {"begin end", MACROLIB_SYNTAX_ERROR, "t.vlm:1:1: a script starts with Macro \"Description\""},
    {"Macro begin end", MACROLIB_SYNTAX_ERROR,
     "t.vlm:1:7: expected the description in double quotes after 'Macro'"},
    {"Macro \"T\"\nbegin\n  Print (1)\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:4:1: expected ';', found 'end'"},
    {"Macro \"T\"\nbegin\n  Nope ();\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:3: unknown function 'Nope'"},
    {"Macro \"T\"\nbegin\n  x := 1;\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:3: unknown variable 'x'"},
    {"Macro \"T\"\nbegin\n  Find (\"a\");\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:3: Find: 2 arguments expected, 1 given"},
    {"Macro \"T\"\nbegin\n  Backspace (1);\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:3: Backspace: 0 arguments expected, 1 given"},
    {"Macro \"T\"\nbegin\n  Mid (\"a\", 1);\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:3: Mid: 3 arguments expected, 2 given"},
    {"Macro \"T\"\nvar a;\nbegin\n  GetDrag (a, 1, a, a);\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:4:15: GetDrag: argument 2 must be a variable"},
    {"Macro \"T\"\nbegin\n  Print (\"abc);\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:10: text not closed with '\"' on its line"},
    {"Macro \"T\"\nbegin { open\n\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:2:7: comment not closed with '}'"},
    {"Macro \"T\"\nbegin\n  Print (2147483648);\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:10: number too large for 32 bits"},
    {"Macro \"T\"\nbegin\n  Print (1 < 2 < 3);\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:16: comparisons cannot be chained; use 'and'"},
    {"Macro \"T\"\nbegin\n  if 1 then Print (1);\n", MACROLIB_SYNTAX_ERROR,
     "t.vlm:4:1: expected 'end', found the end of the script"},
    {"Macro \"T\"\nbegin\nend\nPrint (1);", MACROLIB_SYNTAX_ERROR,
     "t.vlm:4:1: text after the script's final 'end'"},
    {"Macro \"T\"\nvar a, a;\nbegin end", MACROLIB_SYNTAX_ERROR,
     "t.vlm:2:8: variable 'a' declared twice"},
    {"Macro \"T\"\nbegin\n  Print (1) := 2;\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:13: expected ';', found ':='"},
    {"Macro \"T\"\nbegin\n  a # b;\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:5: unexpected character '#'"},
    {"Macro \"T\"\nbegin\n  then;\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:3: a statement cannot start with 'then'"},
    {"Macro \"T\"\nbegin\n  Print (12ab);\nend", MACROLIB_SYNTAX_ERROR,
     "t.vlm:3:10: a number must not run into a name"},
    // Run errors: the statements before the fault have run.
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (1 div 0);\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:12: division by zero"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (5 mod (2 - 2));\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:12: division by zero"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (2147483647 + 1);\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:21: integer overflow"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (-2147483648 * -1);\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:22: integer overflow"},
    {"Macro \"T\"\nvar i;\nbegin\n  Print (1);\n  i := 2147483647; i := i + 1;\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:27: integer overflow"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (\"a\" + 1);\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:14: '+' needs two integers or two texts"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (\"a\" < 1);\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:14: cannot compare a text with an integer"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  if \"a\" then end\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:3: a condition must be an integer"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Find (1, 0);\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:3: Find: argument 1 must be a text"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  SetCaret (1, \"2\");\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:3: SetCaret: argument 2 must be an integer"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (Len (5));\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:10: Len: argument 1 must be a text"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (Chr (0));\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:10: Chr: code out of range (1 to 255, or -128 to -1)"},
    {"Macro \"T\"\nbegin\n  Print (1);\n  Print (Val (\"99999999999\"));\nend", MACROLIB_RUN_ERROR,
     "t.vlm:4:10: Val: number out of range"},
    {"Macro \"T\"\nvar i;\nbegin\n  Print (1);\n  while i < 3 do i := \"x\"; end\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:11: cannot compare a text with an integer"},
    // A loop whose body ends counting: the foot's test and the count are one instruction.
    {"Macro \"T\"\nvar i, j;\nbegin\n  Print (1);\n  while j < 3 do j := \"x\"; i := i + 1; end\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:11: cannot compare a text with an integer"},
    {"Macro \"T\"\nvar i;\nbegin\n  Print (1);\n  i := 2147483640; while i < 2147483647 do i := i + 10; end\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:51: integer overflow"},
    // Operators that take a variable or a constant into the instruction fail at themselves.
    {"Macro \"T\"\nvar a, b;\nbegin\n  Print (1); a := \"x\";\n  b := (a + 1) mod 5;\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:11: '+' needs two integers or two texts"},
    {"Macro \"T\"\nvar a, b;\nbegin\n  Print (1); a := \"x\";\n  b := b - a;\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:10: arithmetic needs integers"},
    {"Macro \"T\"\nvar a, b;\nbegin\n  Print (1); a := \"x\";\n  b := a * b * 2;\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:10: arithmetic needs integers"},
    {"Macro \"T\"\nvar a;\nbegin\n  Print (1);\n  a := a + Str (1);\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:10: '+' needs two integers or two texts"},
    {"Macro \"T\"\nvar a;\nbegin\n  Print (1);\n  for a := 1 to 2 do a := (a + 1) mod 0; end\nend",
     MACROLIB_RUN_ERROR, "t.vlm:5:35: division by zero"},
    {"Macro \"T\"\nvar i;\nbegin\n  Print (1);\n  i := \"x\";\n  for i := i to 3 do end\nend",
     MACROLIB_RUN_ERROR, "t.vlm:6:3: the loop variable and its limit must be integers"},
};

TEST(MacroErrors, StopTheScriptAndSayWhere) {
    for (const ErrorCase& c : errorCases) {
        fake::Program program;
        EXPECT_EQ(program.run(c.script, "t.vlm"), MACROLIB_FAILED) << c.script;
        EXPECT_EQ(program.error.Kind, c.kind) << c.script;
        EXPECT_EQ(program.errorLine(), c.line) << c.script;
        ASSERT_EQ(program.reported.size(), 1u) << c.script;
        EXPECT_EQ(program.reported[0], c.line);
        // Nothing runs after a syntax error; a run error leaves the first Print done.
        EXPECT_EQ(program.printed.size(), c.kind == MACROLIB_RUN_ERROR ? 1u : 0u) << c.script;
    }
}

TEST(MacroErrors, ASuccessfulRunClearsTheRecordAndReportsNothing) {
    fake::Program program;
    program.run("junk");
    ASSERT_EQ(program.error.Kind, MACROLIB_SYNTAX_ERROR);
    program.reported.clear();
    EXPECT_EQ(program.run(fake::Script("")), MACROLIB_OK);
    EXPECT_EQ(program.error.Kind, MACROLIB_NO_ERROR);
    EXPECT_TRUE(program.reported.empty());
}

TEST(MacroErrors, ALongLineIsCutNotOverrun) {
    MacroLibError error{};
    error.Kind = MACROLIB_RUN_ERROR;
    error.Line = 12;
    error.Column = 3;
    std::snprintf(error.File, sizeof error.File, "%s", "/some/where/script.vlm");
    std::snprintf(error.Text, sizeof error.Text, "%s", "division by zero");
    char small[16];
    int32_t full = MacroLib_FormatError(&error, small, sizeof small);
    EXPECT_EQ(full, 45);
    EXPECT_STREQ(small, "/some/where/scr");
}

TEST(MacroCheck, ReadsWithoutRunning) {
    MacroLibError error{};
    const std::string good = fake::Script("Print (1 div 0);");
    EXPECT_EQ(MacroLib_Check("c.vlm", good.data(), good.size(), fake::table, &error), MACROLIB_OK);
    EXPECT_EQ(error.Kind, MACROLIB_NO_ERROR);
    const std::string bad = fake::Script("Find ();");
    EXPECT_EQ(MacroLib_Check("c.vlm", bad.data(), bad.size(), fake::table, &error), MACROLIB_FAILED);
    EXPECT_STREQ(error.Text, "Find: 2 arguments expected, 0 given");
    EXPECT_EQ(error.Line, 3);
}

TEST(RunMacro, ReadsTheFileNamedInQuotes) {
    varlin::test::TestFolder folder;
    std::string path = folder.File("run macro.vlm");
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    fputs("Macro \"Recorded\"\n\n\tbegin\n\tInsertChar (65);\n\tend\n", f);
    fclose(f);
    fake::Program program;
    std::string command = "\"" + path + "\"";
    EXPECT_EQ(Run_Macro(&program.instance, nullptr, command.c_str(), fake::table, nullptr, nullptr,
                        nullptr, MACROLIB_VERSION, 0),
              MACROLIB_OK);
    EXPECT_EQ(program.error.Kind, MACROLIB_NO_ERROR);
}

TEST(RunMacro, AMissingFileIsAFileErrorWithoutPlace) {
    fake::Program program;
    EXPECT_EQ(Run_Macro(&program.instance, nullptr, "\"/no/such/dir/x.vlm\"", fake::table, nullptr,
                        nullptr, nullptr, MACROLIB_VERSION, 0),
              MACROLIB_FAILED);
    EXPECT_EQ(program.error.Kind, MACROLIB_FILE_ERROR);
    EXPECT_EQ(program.errorLine(),
              "/no/such/dir/x.vlm: cannot open the script: No such file or directory");
    ASSERT_EQ(program.reported.size(), 1u);

    EXPECT_EQ(Run_Macro(&program.instance, nullptr, "\"\"", fake::table, nullptr, nullptr, nullptr,
                        MACROLIB_VERSION, 0),
              MACROLIB_FAILED);
    EXPECT_STREQ(program.error.Text, "cannot open the script: no file name");
}

TEST(RunMacro, RefusesAnotherInterfaceVersion) {
    fake::Program program;
    EXPECT_EQ(Run_Macro(&program.instance, nullptr, "\"x.vlm\"", fake::table, nullptr, nullptr,
                        nullptr, 43, 0),
              MACROLIB_FAILED);
    EXPECT_EQ(program.error.Kind, MACROLIB_FILE_ERROR);
}

TEST(RunMacro, WorksWithoutAnInstanceRecord) {
    // The bare call as the editor's interface states it: no hooks, no error record.
    EXPECT_EQ(MacroLib_RunText(nullptr, nullptr, "x", "Macro \"x\" begin Beep (); end", 28,
                               fake::table, nullptr, nullptr, nullptr),
              MACROLIB_OK);
    EXPECT_EQ(MacroLib_RunText(nullptr, nullptr, "x", "Macro", 5, nullptr, nullptr, nullptr,
                               nullptr),
              MACROLIB_FAILED);
}

}  // namespace
