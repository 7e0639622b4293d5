// DocumentStyle: the choices a document makes for itself where the program's options
// would otherwise decide: the line ends of a new document, and what its file's
// .editorconfig asks for (line ends, UTF-8 or Latin-1, tabs or blanks for indentation,
// the tab width, and trimming trailing blanks and the last line end at a save). Languages
// indented with blanks by custom (Python, YAML) get blanks for Tab by their extension.
#pragma once

#include "document/LineStore.h"

#include <string>
#include <string_view>

namespace varlin {

// A document without a file: its line ends are the option NewFilesLf's, whatever
// KeepLineEnds says.
void StartNewDocument(LineStore& store);

// Takes the .editorconfig properties of name into the store (the line ends at once, and
// at a load the reading as UTF-8 or not; the rest is asked for below). Called when the
// file is loaded and when the document is saved under another name.
enum class StyleFor { Load, Save };
void ApplyEditorConfig(LineStore& store, const std::string& name, StyleFor use);

// Whether the language of a file with this name is indented with blanks by custom (a
// small table by extension, until languages are described by files of their own).
bool BlankIndentedLanguage(std::string_view fileName);

// Whether Tab and the indentation Enter copies insert blanks: the file's indent_style, else
// the option TabSpaces or the language's custom.
bool IndentsWithBlanks(const LineStore& store);
// Columns from one tab stop to the next: the file's tab width, else TabDistance (at least 2).
int TabWidthOf(const LineStore& store);
// Columns one Tab of blanks moves on to: the file's indent_size, else the tab width.
int IndentWidthOf(const LineStore& store);

// The line ends a save writes: the document's own (kept with KeepLineEnds, or chosen for
// it by a new document or its .editorconfig), else CR LF.
LineEnds SavedLineEnds(const LineStore& store);

}  // namespace varlin
