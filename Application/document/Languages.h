// Languages: the language definitions the program knows and the recognition of a file's
// language. The shipped definitions are data files in the folder "languages" of the
// program's data folder; the same files are built into the program, which uses them
// until LoadLanguages has read the folder, and when the folder holds none. The user's
// own definitions in the settings folder add languages or replace shipped ones by name.
#pragma once

#include "document/LanguageDefinition.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace varlin {

using LanguagePtr = std::shared_ptr<const LanguageDefinition>;

constexpr const char* kLanguageFolder = "languages";     // below the data folder
constexpr const char* kLanguageFileExtension = ".vll";
constexpr const char* kFallbackLanguage = "cpp";          // unknown files, new documents

// Message 3600: a definition file not used, with its name, the line and the reason.
constexpr int kDefinitionNotUsedMessage = 3600;

// Reads the shipped definitions from dataFolder/languages (the built-in ones when it holds
// none) and then userFolder's *.vll files; either folder may be "". A file that cannot be
// read or is not a sound definition is named in message 3600 and left out.
void LoadLanguages(const std::string& dataFolder, const std::string& userFolder);

// LoadLanguages with the user's definitions from the folder of the settings file.
void LoadLanguagesAtStart(const std::string& dataFolder);

// Every known language, in the order they were read (the user's last).
const std::vector<LanguagePtr>& KnownLanguages();
LanguagePtr FindLanguage(std::string_view name);

// The language of a file: by the extension of fileName (ignoring case), then by the whole
// name, then by the interpreter of a "#!" firstLine; else the fallback (C/C++). Where two
// definitions claim the same, the one read last (a user's) wins.
LanguagePtr RecognizeLanguage(std::string_view fileName, std::string_view firstLine);

// The interpreter a "#!" line names: the last part of its program's path, or of the
// program "env" runs ("#!/usr/bin/env -S python3 -u" gives "python3"); "" for none.
std::string ShebangInterpreter(std::string_view firstLine);

// Reads one definition file; null after message 3600 when it is broken or unreadable.
LanguagePtr ReadLanguageFile(const std::string& path);

}  // namespace varlin
