// The menu and accelerator data: the shapes the frame relies on, and that every shortcut
// text a menu shows is really bound to that item's command.
#include "resources/Accelerators.h"
#include "resources/Menus.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace varlin {
namespace {

std::vector<std::string> TopLabels(int menuId) {
    std::vector<std::string> labels;
    for (const MenuItem& item : MenuResource(menuId)) labels.push_back(item.label);
    return labels;
}

TEST(MenuData, TopLevelPopupsOfBothMenus) {
    EXPECT_EQ(TopLabels(107), (std::vector<std::string>{"&Datei", "&Makros", "&Extras", "&?"}));
    EXPECT_EQ(TopLabels(108),
              (std::vector<std::string>{"&Datei", "&Bearbeiten", "Anzeige", "&Zeilen", "&Makros",
                                        "&Extras", "&Sprachen", "&Fenster", "&?"}));
    EXPECT_TRUE(MenuResource(109).empty());
}

TEST(MenuData, WindowMenuIsSecondToLastPopupOfDocumentMenu) {
    auto menu = MenuResource(108);
    const MenuItem& window = menu[menu.size() - 2];
    ASSERT_TRUE(window.flags & kMenuPopup);
    EXPECT_STREQ(window.label, "&Fenster");
    EXPECT_EQ(window.children.back().id, 106);
}

TEST(MenuData, TrailingBlanksAndNestedPopupKept) {
    const MenuItem* browse = FindMenuItem(MenuResource(107), 18);
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(std::string(browse->label), "&Durchsuchen und öffnen          ");
    // 217 sits in the nested popup "Sprung auf..." of "&Bearbeiten".
    const MenuItem* next = FindMenuItem(MenuResource(108), 217);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(MenuItemResourceText(*next), "Anfang &nächstes Unterprogramm   \bStrg+Unten");
    EXPECT_EQ(FindMenuItem(MenuResource(107), 13), nullptr);  // no Save without a document
}

TEST(MenuData, LanguagePopupShortcutsFollowATab) {
    for (int id : {302, 301, 240}) {
        const MenuItem* item = FindMenuItem(MenuResource(108), id);
        ASSERT_NE(item, nullptr) << id;
        std::string text = MenuItemResourceText(*item);
        EXPECT_NE(text.find('\t'), std::string::npos) << id;
        EXPECT_EQ(text.find('\b'), std::string::npos) << id;
    }
    EXPECT_EQ(MenuItemResourceText(*FindMenuItem(MenuResource(108), 89)), "Makro ler&nen");
}

// Every item has its English label, and within a popup no two English labels share a
// mnemonic (the German resource itself has one pair: "&Durchsuchen" and "&Drucken").
void CheckEnglish(std::span<const MenuItem> items) {
    std::set<char> mnemonics;
    for (const MenuItem& item : items) {
        if (item.flags & kMenuSeparator) continue;
        ASSERT_NE(item.english, nullptr) << item.label;
        if (item.flags & kMenuPopup) CheckEnglish(item.children);
        std::string label = item.english;
        std::size_t amp = label.find('&');
        if (amp == std::string::npos || amp + 1 >= label.size()) continue;
        char m = char(std::tolower((unsigned char)label[amp + 1]));
        // "&Redo" keeps the name the command is known by; every letter of it is taken.
        if (label == "&Redo") continue;
        EXPECT_TRUE(mnemonics.insert(m).second) << "mnemonic twice: " << label;
    }
}

TEST(MenuData, EnglishLabelsComplete) {
    CheckEnglish(MenuResource(107));
    CheckEnglish(MenuResource(108));
    const MenuItem* open = FindMenuItem(MenuResource(107), 12);
    EXPECT_STREQ(MenuItemLabel(*open, 44), "&Open");
    EXPECT_STREQ(MenuItemLabel(*open, 49), "&Öffnen");
    EXPECT_EQ(ShortcutText(*open, 44), "Ctrl+O");
    EXPECT_EQ(ShortcutText(*FindMenuItem(MenuResource(108), 212), 44), "Ctrl+Home");
    EXPECT_EQ(ShortcutText(*FindMenuItem(MenuResource(108), 33), 44), "Shift+Del");
    EXPECT_EQ(ShortcutText(*FindMenuItem(MenuResource(108), 47), 44), "F2 End");
    EXPECT_EQ(ShortcutText(*FindMenuItem(MenuResource(108), 47), 49), "F2 Ende");
}

TEST(MenuData, StripMnemonic) {
    EXPECT_EQ(StripMnemonic("S&prung auf &Zeile..."), "Sprung auf Zeile...");
    EXPECT_EQ(StripMnemonic("A&&B"), "A&B");
    EXPECT_EQ(StripMnemonic("Ende&"), "Ende");
}

// Turns a German shortcut text such as "Strg+Alt+S" into key and modifiers; false for
// prefix sequences ("F2 S") and texts the accelerator table does not own.
bool ParseShortcut(const std::string& text, int& key, int& mods) {
    static const std::map<std::string, int> kKeys = {
        {"Lösch", kVkDelete}, {"Einfg", kVkInsert}, {"Esc", kVkEscape}, {"Pos1", kVkHome},
        {"Ende", kVkEnd},     {"Oben", kVkUp},      {"Unten", kVkDown},
    };
    if (text.find(' ') != std::string::npos) return false;
    mods = 0;
    std::string rest = text;
    for (auto [name, bit] : {std::pair{"Strg+", kModCtrl}, std::pair{"Alt+", kModAlt},
                             std::pair{"Shift+", kModShift}}) {
        std::size_t at = rest.find(name);
        if (at != std::string::npos) {
            mods |= bit;
            rest.erase(at, std::string(name).size());
        }
    }
    if (auto it = kKeys.find(rest); it != kKeys.end()) key = it->second;
    else if (rest.size() == 1) key = rest[0];
    else if (rest[0] == 'F') key = kVkF1 + std::stoi(rest.substr(1)) - 1;
    else return false;
    return true;
}

void CheckShortcuts(std::span<const MenuItem> items, int& checked) {
    for (const MenuItem& item : items) {
        if (item.flags & kMenuPopup) CheckShortcuts(item.children, checked);
        if (!item.shortcut) continue;
        int key = 0, mods = 0;
        if (!ParseShortcut(item.shortcut, key, mods)) continue;
        if (item.id == 19) continue;  // Alt+F4 closes the window through the system
        EXPECT_EQ(FindAccelerator(key, mods), item.id) << item.label << " " << item.shortcut;
        ++checked;
    }
}

TEST(MenuData, EveryShownKeyShortcutRunsItsItem) {
    int checked = 0;
    CheckShortcuts(MenuResource(107), checked);
    CheckShortcuts(MenuResource(108), checked);
    EXPECT_GE(checked, 20);
}

TEST(Accelerators, MovementAndEditingKeys) {
    struct Case { int key, mods, command; };
    const Case cases[] = {
        {kVkLeft, 0, 204},           {kVkRight, 0, 203},          {kVkLeft, kModCtrl, 214},
        {kVkRight, kModCtrl, 215},   {kVkUp, 0, 201},             {kVkDown, kModShift, 202},
        {kVkUp, kModCtrl, 216},      {kVkDown, kModShift | kModCtrl, 217},
        {kVkHome, kModShift, 210},   {kVkEnd, kModCtrl, 213},     {kVkPrior, 0, 205},
        {kVkNext, kModCtrl, 208},    {kVkEscape, 0, 15},          {kVkF4, kModCtrl, 15},
        {kVkF9, 0, 13},              {kVkF9, kModShift, 14},      {kVkTab, kModShift, 58},
        {'S', kModCtrl | kModAlt, 14}, {'L', kModShift | kModCtrl | kModAlt, 303},
        {'R', kModAlt, 401},         {kVkReturn, 0, 55},          {kVkBack, 0, 56},
        {'Y', kModCtrl, 402},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindAccelerator(c.key, c.mods), c.command) << c.key << "/" << c.mods;
    }
}

TEST(Accelerators, ModifiersMustMatchExactly) {
    EXPECT_EQ(FindAccelerator('S', kModCtrl | kModShift), -1);
    EXPECT_EQ(FindAccelerator('Q', kModCtrl | kModAlt), -1);  // AltGr+Q types "@"
    EXPECT_EQ(FindAccelerator('A', 0), -1);
    EXPECT_EQ(FindAccelerator(kVkEscape, kModShift), -1);
}

TEST(Accelerators, NoKeyIsBoundTwice) {
    std::set<std::pair<int, int>> seen;
    for (const Accelerator& a : AcceleratorTable()) {
        EXPECT_TRUE(seen.insert({a.key, a.modifiers}).second) << a.key << "/" << a.modifiers;
    }
    EXPECT_EQ(AcceleratorTable().size(), 68u);
}

}  // namespace
}  // namespace varlin
