// The program's string table: every user-visible text (messages with their type codes,
// command help texts, labels, status formats), keyed by its resource id, in German and
// English. Texts are UTF-8; "\n" in a message is a real line break.
#pragma once

#include <string>

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

}  // namespace varlin
