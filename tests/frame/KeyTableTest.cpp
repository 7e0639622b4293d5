// The prefix-key tables: the fixed F2 sequences in their documented order, the 50 keys
// that may follow F3, and the matching rules (case of letters, message kind, codes that
// a character and a key share).
#include "frame/KeyTable.h"
#include "resources/Menus.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <span>
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

// The key after F2 that a menu's shortcut text names ("F2 S", "F2 Pos1"); false for others.
bool ParseF2Text(const std::string& text, KeyMessage& key) {
    static const std::map<std::string, int> kKeys = {{"Pos1", 36}, {"Ende", 35}, {"F6", 117}, {"F12", 123}};
    if (text.rfind("F2 ", 0) != 0) return false;
    const std::string rest = text.substr(3);
    if (rest.size() == 1) key = Char(static_cast<unsigned char>(rest[0]));
    else if (auto it = kKeys.find(rest); it != kKeys.end()) key = Down(it->second);
    else return false;
    return true;
}

void CheckF2Texts(const KeyTable& table, std::span<const MenuItem> items, int& checked) {
    for (const MenuItem& item : items) {
        if (item.flags & kMenuPopup) CheckF2Texts(table, item.children, checked);
        KeyMessage key{};
        if (!item.shortcut || !ParseF2Text(item.shortcut, key)) continue;
        EXPECT_EQ(CommandFor(table, key), item.id) << item.label << " " << item.shortcut;
        ++checked;
    }
}

// What the menus promise after F2 is what the table runs; one wrong entry would send
// another command. The second letters of find and replace, the letters of the toolbar's
// commands, the direction keys and F12 have no menu text of their own.
TEST(F2Table, EveryF2TextOfTheMenusRunsItsItem) {
    const KeyTable t = F2();
    int checked = 0;
    CheckF2Texts(t, MenuResource(kMenuIdNoDocument), checked);
    CheckF2Texts(t, MenuResource(kMenuIdDocument), checked);
    EXPECT_GE(checked, 26);
    const std::pair<KeyMessage, int> unshown[] = {
        {Char('A'), 12}, {Char('B'), 13}, {Char('C'), 20}, {Char('F'), 40}, {Char('I'), 79},
        {Char('L'), 89}, {Char('N'), 11}, {Char('R'), 42}, {Down(38), 212}, {Down(40), 213},
        {Down(37), 210}, {Down(39), 211}, {Down(123), 400}};
    for (auto [key, command] : unshown) EXPECT_EQ(CommandFor(t, key), command) << key.key;
    EXPECT_EQ(t.entries.size(), 39u);
    std::set<std::pair<int, int>> keys;
    for (const KeyEntry& e : t.entries) EXPECT_TRUE(keys.insert({e.kind, e.key}).second) << e.key;
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
