// The prefix handler on key messages: which messages it consumes, what runs, when it
// beeps, and how the pending prefix changes, driven as sequences of messages.
#include "frame/Application.h"
#include "frame/PrefixKeys.h"
#include "platform/HeadlessHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varlin {
namespace {

constexpr int kWithoutOperation = 20;  // F2 C
constexpr int kF2 = 113, kF3 = 114, kF4 = 115, kShift = 16, kCtrl = 17, kPageDown = 34, kHome = 36;

KeyMessage Char(int c) { return {kCharMessage, c}; }
KeyMessage Down(int vk) { return {kKeyDownMessage, vk}; }

struct PrefixFixture : ::testing::Test {
    Application app;
    HeadlessHost host;
    std::vector<std::string> ran;      // "cmd 40", "macro x.vlm" in the order they ran
    std::vector<int> refreshed;        // status fields refreshed

    void SetUp() override {
        host.writeMessagesToStderr = false;
        host.Install();
        SetupKeyTables(app);
        PrefixKeyHooks& h = ThePrefixKeyHooks();
        h.sendCommand = [this](int id) { ran.push_back("cmd " + std::to_string(id)); };
        h.hasOperation = [](int id) { return id != kWithoutOperation; };
        h.runMacroFile = [this](const std::string& f) { ran.push_back("macro " + f); };
        h.refreshStatusField = [this](int field) { refreshed.push_back(field); };
    }
    void TearDown() override { ThePrefixKeyHooks() = {}; }

    // Sends the messages; returns the consumed flags as a string of 1 and 0.
    std::string Send(std::initializer_list<KeyMessage> messages) {
        std::string consumed;
        for (const KeyMessage& m : messages) consumed += HandlePrefixKey(app, m) ? '1' : '0';
        return consumed;
    }
};

struct SequenceCase {
    const char* name;
    std::vector<KeyMessage> messages;
    std::string consumed;
    std::vector<std::string> ran;
    int beeps;
    int stateAfter;
};

TEST_F(PrefixFixture, Sequences) {
    const SequenceCase cases[] = {
        {"F2 S", {Down(kF2), Char('S')}, "11", {"cmd 40"}, 0, 0},
        {"F2 s with its key-down", {Down(kF2), Down('S'), Char('s')}, "101", {"cmd 40"}, 0, 0},
        {"F2 F2 S types", {Down(kF2), Down(kF2), Char('S')}, "110", {}, 0, 0},
        {"F2 F3 switches", {Down(kF2), Down(kF3)}, "11", {}, 0, 3},
        {"F2 K beeps", {Down(kF2), Down('K'), Char('K')}, "101", {}, 1, 0},
        {"F2 C has no operation: beeps", {Down(kF2), Char('c')}, "11", {}, 1, 0},
        {"F2 Page Down stays", {Down(kF2), Down(kPageDown)}, "10", {}, 0, 2},
        {"F2 Page Down G", {Down(kF2), Down(kPageDown), Down('G'), Char('g')}, "1001", {"cmd 39"}, 0, 0},
        {"F2 Home", {Down(kF2), Down(kHome)}, "11", {"cmd 48"}, 0, 0},
        {"F2 Shift Ctrl wait", {Down(kF2), Down(kShift), Down(kCtrl), Char('=')}, "1001", {"cmd 46"}, 0, 0},
        {"F4 x beeps", {Down(kF4), Char('x')}, "11", {}, 1, 0},
        {"F4 F4 cancels", {Down(kF4), Down(kF4), Char('x')}, "110", {}, 0, 0},
        {"F3 unassigned", {Down(kF3), Char('q')}, "11", {}, 0, 0},
        {"F3 unknown character", {Down(kF3), Char('#')}, "11", {}, 1, 0},
        {"no prefix", {Char('S'), Down(kHome)}, "00", {}, 0, 0},
        {"key-up is not looked at", {Down(kF2), {257, 'S'}, Char('S')}, "101", {"cmd 40"}, 0, 0},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        app.prefixState = 0;
        ran.clear();
        host.beeps = 0;
        std::string consumed;
        for (const KeyMessage& m : c.messages) consumed += HandlePrefixKey(app, m) ? '1' : '0';
        EXPECT_EQ(consumed, c.consumed);
        EXPECT_EQ(ran, c.ran);
        EXPECT_EQ(host.beeps, c.beeps);
        EXPECT_EQ(app.prefixState, c.stateAfter);
    }
}

TEST_F(PrefixFixture, F3RunsTheCommandThenTheMacro) {
    KeyEntry* e = FindKeyEntry(app.keyTableF3, Char('F'));
    ASSERT_NE(e, nullptr);
    e->commandId = 40;
    e->macroFile = "find.vlm";
    EXPECT_EQ(Send({Down(kF3), Char('f')}), "11");
    EXPECT_EQ(ran, (std::vector<std::string>{"cmd 40", "macro find.vlm"}));
}

TEST_F(PrefixFixture, CommandZeroIsSentBlankMacroIsNot) {
    KeyEntry* e = FindKeyEntry(app.keyTableF3, Char('1'));
    e->commandId = 0;
    e->macroFile = "   ";
    Send({Down(kF3), Char('1')});
    EXPECT_EQ(ran, (std::vector<std::string>{"cmd 0"}));
}

TEST_F(PrefixFixture, StatusFieldFollowsEveryChange) {
    Send({Down(kF2), Down(kPageDown), Down(kF3), Char('Z')});
    EXPECT_EQ(refreshed, (std::vector<int>{505, 505, 505}));
}

// A command's dialog must not see the prefix as pending (the status line would still
// show it while the dialog is open).
TEST_F(PrefixFixture, PrefixHasEndedWhenTheCommandRuns) {
    int seen = -1;
    ThePrefixKeyHooks().sendCommand = [&](int) { seen = app.prefixState; };
    Send({Down(kF2), Char('G')});
    EXPECT_EQ(seen, 0);
}

// The assignment dialog (F2 Z) may rebuild the tables while the entry runs; the handler
// must not read the entry it found afterwards.
TEST_F(PrefixFixture, CommandThatRebuildsTheTablesIsSafe) {
    KeyEntry* e = FindKeyEntry(app.keyTableF3, Char('M'));
    e->commandId = 94;
    e->macroFile = "m.vlm";
    ThePrefixKeyHooks().sendCommand = [&](int id) {
        ran.push_back("cmd " + std::to_string(id));
        SetupKeyTables(app);
        app.keyTableF3.entries.shrink_to_fit();
    };
    EXPECT_EQ(Send({Down(kF3), Char('m')}), "11");
    EXPECT_EQ(ran, (std::vector<std::string>{"cmd 94", "macro m.vlm"}));
}

TEST_F(PrefixFixture, F4TableIsEmptyAndEveryCharacterBeeps) {
    EXPECT_TRUE(app.keyTableF4.entries.empty());
    for (int c : {'a', 'Z', '0', ' '}) {
        host.beeps = 0;
        EXPECT_EQ(Send({Down(kF4), Char(c)}), "11");
        EXPECT_EQ(host.beeps, 1);
    }
}

TEST_F(PrefixFixture, InitApplicationFillsTheTables) {
    Application fresh;
    ASSERT_EQ(InitApplication(fresh, {}, "/tmp"), 1);
    EXPECT_EQ(fresh.keyTableF2.entries.size(), 39u);
    EXPECT_EQ(fresh.keyTableF3.entries.size(), 50u);
    EXPECT_TRUE(fresh.keyTableF4.entries.empty());
    EXPECT_EQ(fresh.keyTableF3.name, "F3");
}

}  // namespace
}  // namespace varlin
