// The prefix-key tables: the fixed F2 sequences in their documented order, the 50 keys
// that may follow F3, and the matching rules (case of letters, message kind, codes that
// a character and a key share).
#include "frame/KeyTable.h"

#include <gtest/gtest.h>

#include <string>

namespace varlin {
namespace {

KeyMessage Char(int c) { return {kCharMessage, c}; }
KeyMessage Down(int vk) { return {kKeyDownMessage, vk}; }

int CommandFor(const KeyTable& table, KeyMessage m) {
    const KeyEntry* e = FindKeyEntry(table, m);
    return e ? e->commandId : -999;
}

KeyTable F2() {
    KeyTable t;
    FillF2Table(t);
    return t;
}

// The menus name these sequences ("F2 S"); one wrong entry would send another command.
TEST(F2Table, EntriesInTheirOrder) {
    KeyTable t = F2();
    std::string keys;
    std::vector<int> commands;
    for (const KeyEntry& e : t.entries) {
        keys += e.kind == kCharMessage ? std::string(1, char(e.key)) : "<" + std::to_string(e.key) + ">";
        commands.push_back(e.commandId);
    }
    EXPECT_EQ(keys, ";)+-0<=>ABDCEFGHIJLMNOQRSTUVXYZ<38><40><37><39><36><35><117><123>");
    EXPECT_EQ(commands, (std::vector<int>{240, 53, 36, 37, 90, 51, 46, 52, 12, 13, 16, 20, 42, 40, 39, 302,
                                          79, 95, 89, 88, 11, 54, 93, 42, 40, 38, 301, 18, 92, 91, 94,
                                          212, 213, 210, 211, 48, 47, 50, 400}));
}

TEST(F2Table, LettersMatchInEitherCase) {
    KeyTable t = F2();
    for (char c = 'A'; c <= 'Z'; ++c) {
        EXPECT_EQ(CommandFor(t, Char(c)), CommandFor(t, Char(c - 'A' + 'a'))) << c;
    }
    EXPECT_EQ(CommandFor(t, Char('s')), 40);
    EXPECT_EQ(CommandFor(t, Char('g')), 39);
}

TEST(F2Table, FreeKeysHaveNoEntry) {
    KeyTable t = F2();
    for (int c : {'K', 'P', 'W', 'k', 'p', 'w', '1', '5', '9', '$', '{'}) {
        EXPECT_EQ(FindKeyEntry(t, Char(c)), nullptr) << char(c);
    }
}

// Character codes and virtual-key codes overlap: '&' is 38 like Up, '$' 36 like Home,
// '{' 123 like F12, 'S' 83 like the S key. Only the kind tells them apart.
TEST(F2Table, KindSeparatesSharedCodes) {
    KeyTable t = F2();
    EXPECT_EQ(FindKeyEntry(t, Char(38)), nullptr);
    EXPECT_EQ(CommandFor(t, Down(38)), 212);
    EXPECT_EQ(FindKeyEntry(t, Char(36)), nullptr);
    EXPECT_EQ(CommandFor(t, Down(36)), 48);
    EXPECT_EQ(FindKeyEntry(t, Down('S')), nullptr);
    EXPECT_EQ(FindKeyEntry(t, Down('s')), nullptr);  // only characters are folded
}

TEST(F2Table, OnlyAsciiLettersAreFolded) {
    KeyTable t;
    AddKeyEntry(t, 0xC4, kCharMessage, 1);  // Ä
    EXPECT_EQ(FindKeyEntry(t, Char(0xE4)), nullptr);  // ä is another character
    EXPECT_EQ(CommandFor(t, Char(0xC4)), 1);
}

TEST(F3Table, FiftyUnassignedKeysInOrder) {
    KeyTable t;
    FillF3Table(t);
    std::string keys;
    for (const KeyEntry& e : t.entries) {
        keys += char(e.key);
        EXPECT_EQ(e.kind, kCharMessage);
        EXPECT_EQ(e.commandId, -1);
        EXPECT_FALSE(HasMacroFile(e));
    }
    EXPECT_EQ(keys, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,.;:+-*/()=%$&");
    EXPECT_EQ(FindKeyEntry(t, Char('a')), &t.entries[0]);
    EXPECT_EQ(FindKeyEntry(t, Down(36)), nullptr);  // Home is not '$'
}

TEST(KeyTable, FirstMatchingEntryWins) {
    KeyTable t;
    AddKeyEntry(t, 'Q', kCharMessage, 1);
    AddKeyEntry(t, 'Q', kCharMessage, 2);
    EXPECT_EQ(CommandFor(t, Char('q')), 1);
}

TEST(KeyTable, AddingToAFullTableIsIgnored) {
    KeyTable t;
    for (int i = 0; i < kKeyTableCapacity + 5; ++i) AddKeyEntry(t, 1000 + i, kCharMessage, i);
    EXPECT_EQ(t.entries.size(), std::size_t(kKeyTableCapacity));
    EXPECT_EQ(FindKeyEntry(t, Char(1000 + kKeyTableCapacity)), nullptr);
}

TEST(KeyTable, MacroFileNeedsMoreThanBlanks) {
    struct Case {
        std::string file;
        bool named;
    } cases[] = {{"", false}, {"   ", false}, {"\t\r\n", false}, {std::string("\0x", 2), false},
                 {"a.vlm", true}, {"  a ", true}, {"\xE4", true}};
    for (const Case& c : cases) {
        KeyEntry e;
        e.macroFile = c.file;
        EXPECT_EQ(HasMacroFile(e), c.named) << c.file;
    }
}

}  // namespace
}  // namespace varlin
