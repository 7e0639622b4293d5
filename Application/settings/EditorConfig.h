// EditorConfig: what the .editorconfig files above a file say of it (read through
// libeditorconfig), as the few properties the editor honours. A document takes them when
// its file is loaded or saved under a new name; they override the program's options for it.
#pragma once

#include <string>

namespace varlin {

// Our own message: an .editorconfig file could not be read (its name and line); its
// properties are ignored.
constexpr int kEditorConfigBrokenMessage = 1272;

struct FileStyle {
    enum LineEnd { AnyLineEnd, Lf, CrLf };
    enum Charset { AnyCharset, Utf8, Latin1 };
    enum Indent { AnyIndent, Tabs, Blanks };
    LineEnd endOfLine = AnyLineEnd;  // "cr" is not offered by the editor: left as any
    Charset charset = AnyCharset;
    Indent indentStyle = AnyIndent;
    int indentSize = 0;        // 0 when not given; "tab" gives the tab width
    int tabWidth = 0;          // 0 when not given; indent_size when only that is a number
    int trimTrailing = -1;     // trim_trailing_whitespace: -1 not given, 0, 1
    int finalNewline = -1;     // insert_final_newline: -1 not given, 0, 1

    bool operator==(const FileStyle&) const = default;
};

// The properties for the file path (made absolute first). A broken .editorconfig shows
// message 1272 and gives no properties at all; unknown properties and values are ignored.
FileStyle EditorConfigOf(const std::string& path);

}  // namespace varlin
