// The user's own English texts: every text the program shows (the string table's and the
// menus' labels) with its German and built-in English form, the marks the translation
// assistance puts on them, and the override file in the settings folder that holds the
// user's texts and is loaded at start-up.
//
// The file is UTF-8 text: the line "# Varlin English texts 1", then one text a line, its
// key, a tab and the text, with \n, \t and \\ for line break, tab and backslash. Keys are
// string ids in decimal or "menu:" with the German label. A file with another first line,
// a malformed line, an unknown key or a text whose conversions ("%s", "%ld") differ from
// the built-in text's is not used at all.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace varlin {

constexpr const char* kTranslationFileHeader = "# Varlin English texts 1";
constexpr int kTranslationBrokenMessage = 3460;

struct TranslatableText {
    std::string key;      // "1201" or "menu:&Datei"
    std::string german;
    std::string english;  // the built-in English text, "" when there is none
};

// Every text with a German form: the string table's ids ascending, then the menus' labels
// (each German label once), without texts that are data rather than words (the status
// fields' definitions, a control's class name).
std::vector<TranslatableText> TranslatableTexts();

// The English text is longer than the German one by more than half (characters counted,
// mnemonic markers not).
bool TranslationTooLong(const std::string& german, const std::string& english);

// The file beside the settings file: "varlin-en.txt".
std::string TranslationFileName();

constexpr int kTranslationRefusedMessage = 3462;

// The conversions of a text in their order, each as its length modifier and conversion
// ("ld", "s", "*d" for a width taken from the arguments; "1" for Qt's "%1"); "%%" is
// none. A text that is a format for snprintf must keep these, or the arguments are read
// as what they are not: a text from a file is never a format of its own.
std::vector<std::string> TextConversions(const std::string& text);

// Whether text may take the place of the built-in text of key: the same conversions in
// the same order as the text it replaces (the built-in English one, else the German).
bool OverrideKeepsConversions(const std::string& key, const std::string& text);

enum class TranslationFileResult { Loaded, Missing, Broken };
// Reads a file into texts by key; for a broken one badLine is the first bad line (1-based).
TranslationFileResult ReadTranslationFile(const std::string& path, std::map<std::string, std::string>& texts,
                                          int& badLine);
std::string FormatTranslationFile(const std::map<std::string, std::string>& texts);
// Replaces the file safely; false when it could not be written.
bool WriteTranslationFile(const std::string& path, const std::map<std::string, std::string>& texts);

// At start-up: the user's file becomes the string table's English overrides; a broken or
// foreign one is left unused and reported by message 3460 with its name and line.
void LoadTranslationOverrides();

}  // namespace varlin
