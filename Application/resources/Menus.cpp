// The menu resources 107 and 108, item by item as the program shows them.
#include "resources/Menus.h"

namespace varlin {
namespace {

constexpr MenuItem kNoDocFile[] = {
    {11, "&Neu", "Strg+N", 0, {}},
    {12, "&Öffnen", "Strg+O", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {18, "&Durchsuchen und öffnen          ", "F2 V", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {19, "&Ende", "Alt+F4", 0, {}},
};

constexpr MenuItem kNoDocMacros[] = {
    {89, "Makro ler&nen", nullptr, 0, {}},
    {90, "Gelerntes Makro &ausführen", "F2 0", 0, {}},
    {92, "Gelerntes Makro &bearbeiten...", "F2 X", 0, {}},
    {91, "Gelerntes Makro &speichern...", "F2 Y", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {88, "&Makro ausführen...", "F2 M", 0, {}},
    {93, "Ma&kro bearbeiten...", "F2 Q", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {94, "Makros &Tasten zuordnen...", "F2 Z", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {95, "&Liste aller Makrobefehle anzeigen...", "F2 J", 0, {}},
};

constexpr MenuItem kNoDocExtras[] = {
    {73, "&Einstellungen ...", nullptr, 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {82, "&Buttons...", nullptr, 0, {}},
    {83, "&Statuszeile...", nullptr, 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {97, "Sprache...", nullptr, 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {76, "Aufruf einer DLL-&Testfunktion...", nullptr, 0, {}},
};

constexpr MenuItem kNoDocHelp[] = {
    {122, "&Info über Varlin...", nullptr, 0, {}},
};

constexpr MenuItem kMenuNoDocument[] = {
    {0, "&Datei", nullptr, kMenuPopup, kNoDocFile},
    {0, "&Makros", nullptr, kMenuPopup, kNoDocMacros},
    {0, "&Extras", nullptr, kMenuPopup, kNoDocExtras},
    {0, "&?", nullptr, kMenuPopup, kNoDocHelp},
};

constexpr MenuItem kDocFile[] = {
    {11, "&Neu", "Strg+N", 0, {}},
    {12, "&Öffnen", "Strg+O", 0, {}},
    {18, "&Durchsuchen und öffnen          ", "F2 V", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {13, "&Speichern", "Strg+S", 0, {}},
    {14, "Speichern &als...", "Strg+Alt+S", 0, {}},
    {15, "S&chließen", "Esc", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {16, "&Drucken...", "F2 D", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {19, "&Ende", "Alt+F4", 0, {}},
};

constexpr MenuItem kDocJumpTo[] = {
    {212, "Datei&anfang", "Strg+Pos1", 0, {}},
    {213, "Datei&ende", "Strg+Ende", 0, {}},
    {216, "Anfang &voriges Unterprogramm", "Strg+Oben", 0, {}},
    {217, "Anfang &nächstes Unterprogramm   ", "Strg+Unten", 0, {}},
    {53, "Passende &Klammer", "F2 )", 0, {}},
};

constexpr MenuItem kDocEdit[] = {
    {31, "&Rückgängig", "Strg+Z", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {32, "&Löschen", "Lösch", 0, {}},
    {33, "&Ausschneiden", "Shift+Lösch", 0, {}},
    {34, "&Kopieren", "Strg+Einfg", 0, {}},
    {35, "&Einfügen", "Shift+Einfg", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {36, "Einfügen a&us Datei...", "F2 +", 0, {}},
    {37, "Kopieren &in Datei...", "F2 -", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {40, "Su&chen...", "F2 S", 0, {}},
    {41, "&Weitersuchen...", "Alt+F1", 0, {}},
    {42, "Erse&tzen...", "F2 E", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {38, "Datei a&bschneiden", "F2 T", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {39, "S&prung auf &Zeile...", "F2 G", 0, {}},
    {0, "Sprun&g auf...", nullptr, kMenuPopup, kDocJumpTo},
    {51, "P&osition speichern", "F2 <", 0, {}},
    {52, "Sprung auf gespeic&herte Position   ", "F2 >", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {54, "&Sortieren...", "F2 O", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {233, "Alles markieren", "Strg+A", 0, {}},
};

constexpr MenuItem kDocView[] = {
    {401, "Umschalten der Ansicht            ", "Alt+F12", 0, {}},
};

constexpr MenuItem kDocLines[] = {
    {44, "Zeile &einfügen", "F5", 0, {}},
    {45, "Zeile &löschen", "F6", 0, {}},
    {46, "Zeile &duplizieren", "F2 =", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {48, "Zeilen&anfang abschneiden", "F2 Pos1", 0, {}},
    {47, "Zeilene&nde abschneiden", "F2 Ende", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {50, "&Zuletzt gelöschte Zeile einfügen   ", "F2 F6", 0, {}},
};

constexpr MenuItem kDocMacros[] = {
    {89, "Makro ler&nen", nullptr, 0, {}},
    {90, "Gelerntes Makro &ausführen", "F2 0", 0, {}},
    {92, "Gelerntes Makro &bearbeiten...", "F2 X", 0, {}},
    {91, "Gelerntes Makro &speichern...", "F2 Y", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {88, "&Makro ausführen...", "F2 M", 0, {}},
    {93, "Ma&kro bearbeiten...", "F2 Q", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {94, "Makros &Tasten zuordnen...", "F2 Z", 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {95, "&Liste aller Makrobefehle anzeigen...   ", "F2 J", 0, {}},
};

constexpr MenuItem kDocExtras[] = {
    {73, "&Einstellungen ...", nullptr, 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {82, "&Buttons...", nullptr, 0, {}},
    {83, "&Statuszeile...", nullptr, 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {97, "Sprache...", nullptr, 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {76, "Aufruf einer DLL-&Testfunktion...", nullptr, 0, {}},
};

constexpr MenuItem kDocLanguages[] = {
    {302, "&HTML-Sequencen erzeugen...", "F2 H", kShortcutAfterTab, {}},
    {301, "HTML-Sequenzen a&uflösen...", "F2 U", kShortcutAfterTab, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {240, "C++ Prototypes erzeugen...", "F2 ;", kShortcutAfterTab, {}},
};

constexpr MenuItem kDocWindow[] = {
    {101, "&Nebeneinander", nullptr, 0, {}},
    {102, "&Untereinander", nullptr, 0, {}},
    {103, "&Überlappend", nullptr, 0, {}},
    {104, "&Kacheln", nullptr, 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {105, "&Symbole anordnen", nullptr, 0, {}},
    {0, nullptr, nullptr, kMenuSeparator, {}},
    {106, "&Alle schließen", nullptr, 0, {}},
};

constexpr MenuItem kDocHelp[] = {
    {122, "&Info über Varlin...", nullptr, 0, {}},
};

constexpr MenuItem kMenuDocument[] = {
    {0, "&Datei", nullptr, kMenuPopup, kDocFile},
    {0, "&Bearbeiten", nullptr, kMenuPopup, kDocEdit},
    {0, "Anzeige", nullptr, kMenuPopup, kDocView},
    {0, "&Zeilen", nullptr, kMenuPopup, kDocLines},
    {0, "&Makros", nullptr, kMenuPopup, kDocMacros},
    {0, "&Extras", nullptr, kMenuPopup, kDocExtras},
    {0, "&Sprachen", nullptr, kMenuPopup, kDocLanguages},
    {0, "&Fenster", nullptr, kMenuPopup, kDocWindow},
    {0, "&?", nullptr, kMenuPopup, kDocHelp},
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
