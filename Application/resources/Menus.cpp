// The menu resources 107 and 108, item by item as the program shows them.
#include "resources/Menus.h"

#include "resources/StringTable.h"

#include <utility>

namespace varlin {
namespace {

constexpr MenuItem kNoDocFile[] = {
    {11, "&Neu", "&New", "Strg+N", 0, {}},
    {12, "&Öffnen", "&Open", "Strg+O", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {18, "&Durchsuchen und öffnen          ", "&Browse and open", "F2 V", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {19, "&Ende", "E&xit", "Alt+F4", 0, {}},
};

constexpr MenuItem kNoDocMacros[] = {
    {89, "Makro ler&nen", "Re&cord macro", nullptr, 0, {}},
    {90, "Gelerntes Makro &ausführen", "R&un recorded macro", "F2 0", 0, {}},
    {92, "Gelerntes Makro &bearbeiten...", "&Edit recorded macro...", "F2 X", 0, {}},
    {91, "Gelerntes Makro &speichern...", "&Save recorded macro...", "F2 Y", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {88, "&Makro ausführen...", "&Run macro...", "F2 M", 0, {}},
    {93, "Ma&kro bearbeiten...", "Edi&t macro...", "F2 Q", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {94, "Makros &Tasten zuordnen...", "Assign macros to &keys...", "F2 Z", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {95, "&Liste aller Makrobefehle anzeigen...", "&List all macro commands...", "F2 J", 0, {}},
};

constexpr MenuItem kNoDocExtras[] = {
    {73, "&Einstellungen ...", "&Settings...", nullptr, 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {82, "&Buttons...", "&Buttons...", nullptr, 0, {}},
    {83, "&Statuszeile...", "Status &line...", nullptr, 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {97, "Sprache...", "Language...", nullptr, 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {76, "Aufruf einer DLL-&Testfunktion...", "Call a DLL &test function...", nullptr, 0, {}},
};

constexpr MenuItem kNoDocHelp[] = {
    {122, "&Info über Varlin...", "&About Varlin...", nullptr, 0, {}},
};

constexpr MenuItem kMenuNoDocument[] = {
    {0, "&Datei", "&File", nullptr, kMenuPopup, kNoDocFile},
    {0, "&Makros", "&Macros", nullptr, kMenuPopup, kNoDocMacros},
    {0, "&Extras", "E&xtras", nullptr, kMenuPopup, kNoDocExtras},
    {0, "&?", "&?", nullptr, kMenuPopup, kNoDocHelp},
};

constexpr MenuItem kDocFile[] = {
    {11, "&Neu", "&New", "Strg+N", 0, {}},
    {12, "&Öffnen", "&Open", "Strg+O", 0, {}},
    {18, "&Durchsuchen und öffnen          ", "&Browse and open", "F2 V", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {13, "&Speichern", "&Save", "Strg+S", 0, {}},
    {14, "Speichern &als...", "Save &as...", "Strg+Alt+S", 0, {}},
    {15, "S&chließen", "&Close", "Esc", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {16, "&Drucken...", "&Print...", "F2 D", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {19, "&Ende", "E&xit", "Alt+F4", 0, {}},
};

constexpr MenuItem kDocJumpTo[] = {
    {212, "Datei&anfang", "&Start of file", "Strg+Pos1", 0, {}},
    {213, "Datei&ende", "&End of file", "Strg+Ende", 0, {}},
    {216, "Anfang &voriges Unterprogramm", "&Previous routine", "Strg+Oben", 0, {}},
    {217, "Anfang &nächstes Unterprogramm   ", "&Next routine", "Strg+Unten", 0, {}},
    {53, "Passende &Klammer", "Matching &bracket", "F2 )", 0, {}},
};

constexpr MenuItem kDocEdit[] = {
    {31, "&Rückgängig", "&Undo", "Strg+Z", 0, {}},
    {402, "&Wiederherstellen", "&Redo", "Strg+Y", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {32, "&Löschen", "&Delete", "Lösch", 0, {}},
    {33, "&Ausschneiden", "Cu&t", "Shift+Lösch", 0, {}},
    {34, "&Kopieren", "&Copy", "Strg+Einfg", 0, {}},
    {35, "&Einfügen", "&Paste", "Shift+Einfg", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {36, "Einfügen a&us Datei...", "Insert fro&m file...", "F2 +", 0, {}},
    {37, "Kopieren &in Datei...", "Copy t&o file...", "F2 -", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {40, "Su&chen...", "&Find...", "F2 S", 0, {}},
    {41, "&Weitersuchen...", "Find &next...", "Alt+F1", 0, {}},
    {42, "Erse&tzen...", "R&eplace...", "F2 E", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {38, "Datei a&bschneiden", "Trunc&ate file", "F2 T", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {39, "S&prung auf &Zeile...", "&Go to line...", "F2 G", 0, {}},
    {0, "Sprun&g auf...", "&Jump to...", nullptr, kMenuPopup, kDocJumpTo},
    {51, "P&osition speichern", "Remember po&sition", "F2 <", 0, {}},
    {52, "Sprung auf gespeic&herte Position   ", "Jump to remem&bered position", "F2 >", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {54, "&Sortieren...", "So&rt...", "F2 O", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {233, "Alles markieren", "Select all", "Strg+A", 0, {}},
};

constexpr MenuItem kDocView[] = {
    {401, "Umschalten der Ansicht            ", "Toggle view", "Alt+F12", 0, {}},
    {405, "Als &UTF-8 lesen", "Read as &UTF-8", nullptr, 0, {}},
};

constexpr MenuItem kDocLines[] = {
    {44, "Zeile &einfügen", "&Insert line", "F5", 0, {}},
    {45, "Zeile &löschen", "&Delete line", "F6", 0, {}},
    {46, "Zeile &duplizieren", "D&uplicate line", "F2 =", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {48, "Zeilen&anfang abschneiden", "Truncate line &start", "F2 Pos1", 0, {}},
    {47, "Zeilene&nde abschneiden", "Truncate line &end", "F2 Ende", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {50, "&Zuletzt gelöschte Zeile einfügen   ", "Insert &last deleted line", "F2 F6", 0, {}},
};

constexpr MenuItem kDocMacros[] = {
    {89, "Makro ler&nen", "Re&cord macro", nullptr, 0, {}},
    {90, "Gelerntes Makro &ausführen", "R&un recorded macro", "F2 0", 0, {}},
    {92, "Gelerntes Makro &bearbeiten...", "&Edit recorded macro...", "F2 X", 0, {}},
    {91, "Gelerntes Makro &speichern...", "&Save recorded macro...", "F2 Y", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {88, "&Makro ausführen...", "&Run macro...", "F2 M", 0, {}},
    {93, "Ma&kro bearbeiten...", "Edi&t macro...", "F2 Q", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {94, "Makros &Tasten zuordnen...", "Assign macros to &keys...", "F2 Z", 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {95, "&Liste aller Makrobefehle anzeigen...   ", "&List all macro commands...", "F2 J", 0, {}},
};

constexpr MenuItem kDocExtras[] = {
    {73, "&Einstellungen ...", "&Settings...", nullptr, 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {82, "&Buttons...", "&Buttons...", nullptr, 0, {}},
    {83, "&Statuszeile...", "Status &line...", nullptr, 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {97, "Sprache...", "Language...", nullptr, 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {76, "Aufruf einer DLL-&Testfunktion...", "Call a DLL &test function...", nullptr, 0, {}},
};

constexpr MenuItem kDocLanguages[] = {
    {302, "&HTML-Sequencen erzeugen...", "&Create HTML sequences...", "F2 H", kShortcutAfterTab, {}},
    {301, "HTML-Sequenzen a&uflösen...", "&Resolve HTML sequences...", "F2 U", kShortcutAfterTab, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {240, "C++ Prototypes erzeugen...", "C++ prototypes...", "F2 ;", kShortcutAfterTab, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {410, "Sprache des &Dokuments...", "Document &language...", nullptr, 0, {}},
};

constexpr MenuItem kDocWindow[] = {
    {101, "&Nebeneinander", "&Side by side", nullptr, 0, {}},
    {102, "&Untereinander", "&One below the other", nullptr, 0, {}},
    {103, "&Überlappend", "&Cascade", nullptr, 0, {}},
    {104, "&Kacheln", "&Tile", nullptr, 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {105, "&Symbole anordnen", "&Arrange icons", nullptr, 0, {}},
    {0, nullptr, nullptr, nullptr, kMenuSeparator, {}},
    {106, "&Alle schließen", "Close a&ll", nullptr, 0, {}},
};

constexpr MenuItem kDocHelp[] = {
    {122, "&Info über Varlin...", "&About Varlin...", nullptr, 0, {}},
};

constexpr MenuItem kMenuDocument[] = {
    {0, "&Datei", "&File", nullptr, kMenuPopup, kDocFile},
    {0, "&Bearbeiten", "&Edit", nullptr, kMenuPopup, kDocEdit},
    {0, "Anzeige", "&View", nullptr, kMenuPopup, kDocView},
    {0, "&Zeilen", "&Lines", nullptr, kMenuPopup, kDocLines},
    {0, "&Makros", "&Macros", nullptr, kMenuPopup, kDocMacros},
    {0, "&Extras", "E&xtras", nullptr, kMenuPopup, kDocExtras},
    {0, "&Sprachen", "L&anguages", nullptr, kMenuPopup, kDocLanguages},
    {0, "&Fenster", "&Window", nullptr, kMenuPopup, kDocWindow},
    {0, "&?", "&?", nullptr, kMenuPopup, kDocHelp},
};

}  // namespace

std::span<const MenuItem> MenuResource(int menuId) {
    if (menuId == kMenuIdNoDocument) return kMenuNoDocument;
    if (menuId == kMenuIdDocument) return kMenuDocument;
    return {};
}

const MenuItem* FindMenuItem(std::span<const MenuItem> menu, int commandId) {
    for (const MenuItem& item : menu) {
        if (item.flags & kMenuPopup) {
            if (const MenuItem* found = FindMenuItem(item.children, commandId)) return found;
        } else if (!(item.flags & kMenuSeparator) && item.id == commandId) {
            return &item;
        }
    }
    return nullptr;
}

std::string MenuOverrideKey(const MenuItem& item) {
    std::string label = item.label ? item.label : "";
    while (!label.empty() && label.back() == ' ') label.pop_back();
    return "menu:" + label;
}

const char* MenuItemLabel(const MenuItem& item, int language) {
    if (language == kMenuLanguageEnglish && item.english) {
        if (!EnglishOverrides().empty() && item.label) {
            if (const char* own = FindEnglishOverride(MenuOverrideKey(item))) return own;
        }
        return item.english;
    }
    return item.label;
}

std::string ShortcutText(const MenuItem& item, int language) {
    if (!item.shortcut) return std::string();
    std::string text = item.shortcut;
    if (language != kMenuLanguageEnglish) return text;
    // The key names of the German keyboard, as an English one labels them.
    static const std::pair<const char*, const char*> kNames[] = {
        {"Strg", "Ctrl"}, {"Lösch", "Del"}, {"Einfg", "Ins"}, {"Pos1", "Home"},
        {"Ende", "End"},  {"Oben", "Up"},   {"Unten", "Down"},
    };
    for (auto [german, english] : kNames) {
        for (std::size_t at = text.find(german); at != std::string::npos; at = text.find(german, at)) {
            text.replace(at, std::string(german).size(), english);
            at += std::string(english).size();
        }
    }
    return text;
}

std::string MenuItemResourceText(const MenuItem& item) {
    std::string text = item.label ? item.label : "";
    if (item.shortcut) {
        text += (item.flags & kShortcutAfterTab) ? '\t' : '\b';
        text += item.shortcut;
    }
    return text;
}

std::string StripMnemonic(const std::string& label) {
    std::string out;
    out.reserve(label.size());
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) ++i;
        else if (label[i] == '&') continue;
        out += label[i];
    }
    return out;
}

}  // namespace varlin
