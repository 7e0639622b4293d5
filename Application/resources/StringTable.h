// The program's string table: every user-visible text (messages with their type codes,
// command help texts, labels, status formats), keyed by its resource id, in German and
// English. Texts are UTF-8; "\n" in a message is a real line break.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace varlin {

enum class AppLanguage : int { German = 49, English = 44 };

// The language in which texts are loaded; German unless set (from "Settings").
void SetAppLanguage(int languageCode);
int GetAppLanguage();

// The text with this id in the current language (German where no translation exists);
// nullptr when the id has no text.
const char* FindAppString(int id);

// The text with this id, or "" when it is missing.
std::string LoadAppString(int id);

// Buffer form: copies at most size - 1 bytes; returns the length, or 0 (buffer untouched)
// for a null buffer, a size below 1 or a missing string.
int LoadAppString(int id, char* buffer, int size);

// The built-in texts, for the translation assistance: every id with a text in either
// language, ascending, and the text of one language without the user's own (nullptr
// when there is none).
std::vector<int> AllStringIds();
const char* BuiltInString(int id, int language);

// The user's own English texts, which take the place of the built-in ones while the
// language is English. Keys are a string id in decimal ("1201") or "menu:" and a German
// menu label ("menu:&Datei"). Texts found before stay valid until the next call.
void SetEnglishOverrides(std::map<std::string, std::string> overrides);
const std::map<std::string, std::string>& EnglishOverrides();
// The override of a key, or nullptr.
const char* FindEnglishOverride(const std::string& key);

}  // namespace varlin
