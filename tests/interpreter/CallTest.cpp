// Calls that leave the script: command-table functions with their ActionIds and OPERANDs,
// out-arguments, the program's hooks behind Print, Beep and SendCommand, and the abort
// callback that stops endless loops.
#include <gtest/gtest.h>

#include "FakeProgram.h"
#include "Interpreter/Program.h"

namespace {

using fake::Call;

std::string Describe(const std::vector<Call>& calls) {
    std::string out;
    for (const Call& c : calls) {
        out += std::to_string(c.actionId) + "(";
        for (size_t i = 0; i < c.args.size(); ++i)
            out += (i ? "," : "") + c.args[i];
        out += ")";
    }
    return out;
}

TEST(MacroCalls, ReachTheProgramWithActionIdAndArgumentsInOrder) {
    fake::Program program;
    ASSERT_EQ(program.run(fake::Script("Find (\"x\" + \"y\", 3); Replace (\"a\", \"b\", -1);\n"
                                       "SetCaret (2 * 5, 1); Backspace ();")),
              MACROLIB_OK)
        << program.errorLine();
    EXPECT_EQ(Describe(program.calls), "33(xy,3)35(a,b,-1)57(10,1)38()");
}

TEST(MacroCalls, GiveTheProgramsResultAsTheirValue) {
    fake::Program program;
    program.nextResult = -1;
    ASSERT_EQ(program.run(fake::Script("Print (GetTotalLines () + 1);")), MACROLIB_OK);
    EXPECT_EQ(program.printed, std::vector<std::string>{"0"});
}

TEST(MacroCalls, ReplayARecordedScript) {
    // The shape that recording writes: a tab before every line, CR LF, signed characters.
    const char* recorded =
        "Macro \"Recorded\"\r\n\r\n\tbegin\r\n"
        "\tOpen (\"C:/dir/x.txt\");\r\n"
        "\tInsertChar (65);\r\n"
        "\tInsertChar (-33);\r\n"
        "\tFind (\"say \\\"hi\\\"\",0);\r\n"
        "\tReplace (\"C:\\temp\",\"\",1);\r\n"
        "\tPrint ();\r\n"
        "\tBackspace ();\r\n"
        "\tend\r\n";
    fake::Program program;
    ASSERT_EQ(program.run(recorded), MACROLIB_OK) << program.errorLine();
    EXPECT_EQ(Describe(program.calls),
              "22(C:/dir/x.txt)54(65)54(-33)33(say \"hi\",0)35(C:\\temp,,1)26()38()");
    EXPECT_TRUE(program.printed.empty());   // Print () is the program's, not the interpreter's
}

TEST(MacroCalls, PrintWithAValueIsTheInterpretersOwn) {
    fake::Program program;
    ASSERT_EQ(program.run(fake::Script("Print (\"a\"); Print (); Print (7);")), MACROLIB_OK);
    EXPECT_EQ(program.printed, (std::vector<std::string>{"a", "7"}));
    EXPECT_EQ(Describe(program.calls), "26()");
}

TEST(MacroOutArguments, ReceiveWhatTheProgramWrites) {
    fake::Program program;
    ASSERT_EQ(program.run(fake::Script("r := GetDrag (a, b, c, d);\n"
                                       "Print (Str (r) + \":\" + Str (a) + Str (b) + Str (c) + Str (d));",
                                       "var a, b, c, d, r;\n")),
              MACROLIB_OK)
        << program.errorLine();
    EXPECT_EQ(program.printed, std::vector<std::string>{"0:1234"});
}

TEST(MacroOutArguments, KeepTheirValueWhenTheProgramWritesNothing) {
    // GetDrag writes only when there is a marked range: the variables must stay as they were.
    fake::Program program;
    program.writeDrag = false;
    ASSERT_EQ(program.run(fake::Script("a := 9; b := -4; GetDrag (a, b, a, b); Print (a + b);",
                                       "var a, b;\n")),
              MACROLIB_OK);
    EXPECT_EQ(program.printed, std::vector<std::string>{"5"});
    EXPECT_EQ(Describe(program.calls), "75(9,-4,9,-4)");
}

TEST(MacroOutArguments, MustBeVariablesNotValues) {
    fake::Program program;
    EXPECT_EQ(program.run(fake::Script("GetDrag (a, b, c, 4);", "var a, b, c;\n")), MACROLIB_FAILED);
    EXPECT_STREQ(program.error.Text, "GetDrag: argument 4 must be a variable");
    EXPECT_EQ(program.run(fake::Script("GetDrag (a, b, c, (d));", "var a, b, c, d;\n")),
              MACROLIB_FAILED);
    EXPECT_TRUE(program.calls.empty());
}

TEST(MacroHooks, ReachTheProgramForBeepAndSendCommand) {
    fake::Program program;
    ASSERT_EQ(program.run(fake::Script("Beep (); Print (SendCommand (31)); SendCommand (58);")),
              MACROLIB_OK);
    EXPECT_EQ(program.beeps, 1);
    EXPECT_EQ(program.commands, (std::vector<int32_t>{31, 58}));
    EXPECT_EQ(program.printed, std::vector<std::string>{"7"});
    EXPECT_TRUE(program.calls.empty());   // never through the command table
}

TEST(MacroHooks, SendCommandWithoutAHookGivesMinusOne) {
    MacroLibInstance bare{};
    bare.Version = MACROLIB_VERSION;
    MacroLibError error{};
    bare.Error = &error;
    const std::string script = fake::Script("if SendCommand (31) <> -1 then x := 1 div 0; end", "var x;\n");
    EXPECT_EQ(MacroLib_RunText(&bare, nullptr, "t", script.data(), script.size(), fake::table,
                               nullptr, nullptr, nullptr),
              MACROLIB_OK)
        << error.Text;
}

TEST(MacroHooks, ARecordOfAnotherVersionIsIgnored) {
    fake::Program program;
    program.instance.Version = 43;
    program.run("junk");
    EXPECT_EQ(program.error.Kind, MACROLIB_NO_ERROR);   // not written: the record is not ours
    EXPECT_TRUE(program.reported.empty());
}

struct AbortCase {
    const char* name;
    const char* body;
};

// Each of these would run forever; the abort callback must get its say in all of them.
const AbortCase endlessLoops[] = {
    {"empty while", "while 1 do end"},
    {"while with a body", "while 1 do i := i + 1; end"},
    {"counting while", "while i < 2147483647 do i := i + 1; end"},
    {"while with a nested empty if", "while 1 do if 0 then end end"},
    {"for over the whole range", "for i := 0 to 2147483647 do end"},
    {"for resetting its variable", "for i := 1 to 2 do i := 0; end"},
};

TEST(MacroAbort, StopsEveryKindOfEndlessLoop) {
    for (const AbortCase& c : endlessLoops) {
        fake::Program program;
        fake::abortStopAt = 1000;
        int32_t result = program.run(fake::Script(c.body, "var i;\n"));
        fake::abortStopAt = 0;
        EXPECT_EQ(result, MACROLIB_STOPPED) << c.name;
        EXPECT_EQ(program.error.Kind, MACROLIB_ABORTED) << c.name;
        EXPECT_EQ(fake::abortPolls, 1000) << c.name;
        EXPECT_EQ(program.reported.size(), 1u) << c.name;
    }
}

TEST(MacroAbort, IsAskedBeforeEveryStatement) {
    fake::Program program;
    ASSERT_EQ(program.run(fake::Script("Backspace (); Backspace (); Backspace ();")), MACROLIB_OK);
    EXPECT_EQ(fake::abortPolls, 3);

    fake::abortStopAt = 2;   // the second poll: the first call ran, the second did not
    EXPECT_EQ(program.run(fake::Script("Backspace ();\n  Find (\"a\", 0);")), MACROLIB_STOPPED);
    fake::abortStopAt = 0;
    EXPECT_EQ(Describe(program.calls), "38()38()38()38()");
    EXPECT_EQ(program.errorLine(), "test.vlm:4:3: stopped");
}

// Inside a loop, statements that only count are asked about in batches, yet at least
// once per few thousand instructions; a statement after a call is asked about again.
TEST(MacroAbort, QuietLoopsAreAskedInBatches) {
    fake::Program program;
    const int rounds = 100000;
    const std::string quiet = "for i := 1 to " + std::to_string(rounds) + " do n := n + i mod 7; end";
    ASSERT_EQ(program.run(fake::Script(quiet, "var i, n;\n")), MACROLIB_OK);
    EXPECT_GE(fake::abortPolls, rounds / macrolib::InstructionsBetweenPolls);
    EXPECT_LT(fake::abortPolls, rounds / 100);

    fake::abortStopAt = 3;
    EXPECT_EQ(program.run(fake::Script("while 1 do\n  n := (n + 1) mod 7;\nend", "var n;\n")),
              MACROLIB_STOPPED);
    EXPECT_EQ(program.errorLine(), "test.vlm:5:3: stopped");

    fake::abortStopAt = 0;
    ASSERT_EQ(program.run(fake::Script("for i := 1 to 100 do Backspace (); end", "var i;\n")),
              MACROLIB_OK);
    EXPECT_EQ(fake::abortPolls, 100);   // the for statement's, then one after each call
}

// A macro may run another one from inside a callback (an F3 key inside a script).
int32_t NestedRun(int32_t actionId, OPERAND**, int32_t, char* userData) {
    if (actionId != 38)
        return 0;
    auto* program = reinterpret_cast<fake::Program*>(userData);
    std::string inner = fake::Script("Print (\"inner\");");
    return MacroLib_RunText(&program->instance, nullptr, "inner", inner.data(), inner.size(),
                            fake::table, nullptr, nullptr, nullptr);
}

TEST(MacroCalls, MayRunAnotherScriptFromInsideACallback) {
    fake::Program program;
    std::string outer = fake::Script("Print (Backspace ()); Print (\"outer\");");
    EXPECT_EQ(MacroLib_RunText(&program.instance, nullptr, "outer", outer.data(), outer.size(),
                               fake::table, NestedRun, nullptr, reinterpret_cast<char*>(&program)),
              MACROLIB_OK);
    EXPECT_EQ(program.printed, (std::vector<std::string>{"inner", "0", "outer"}));
}

}  // namespace
