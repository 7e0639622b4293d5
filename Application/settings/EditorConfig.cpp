// EditorConfig through libeditorconfig: the library finds the .editorconfig files from
// the file's folder up to the root (or one marked root = true), matches their sections'
// globs and settles precedence; here only its answer is read.
#include "settings/EditorConfig.h"

#include "platform/Host.h"
#include "platform/Messages.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <string_view>

#ifdef VARLIN_EDITORCONFIG
#include <editorconfig/editorconfig.h>
#endif

#include <unistd.h>

namespace varlin {
namespace {

// The library hands values over as written; the properties are compared without case.
std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

// A width of 1 to 1000 columns, else 0 (not given).
int Width(const std::string& value) {
    if (value.empty() || value.size() > 4 || !std::all_of(value.begin(), value.end(), ::isdigit)) return 0;
    const int n = std::atoi(value.c_str());
    return n >= 1 && n <= 1000 ? n : 0;
}

int Flag(const std::string& value) { return value == "true" ? 1 : value == "false" ? 0 : -1; }

void Take(FileStyle& style, const std::string& name, const std::string& value, bool& sizeIsTab) {
    if (name == "end_of_line") {
        style.endOfLine = value == "lf" ? FileStyle::Lf : value == "crlf" ? FileStyle::CrLf : FileStyle::AnyLineEnd;
    } else if (name == "charset") {
        style.charset = value == "utf-8" || value == "utf-8-bom" ? FileStyle::Utf8
                        : value == "latin1"                        ? FileStyle::Latin1
                                                                   : FileStyle::AnyCharset;
    } else if (name == "indent_style") {
        style.indentStyle = value == "tab" ? FileStyle::Tabs : value == "space" ? FileStyle::Blanks : FileStyle::AnyIndent;
    } else if (name == "indent_size") {
        sizeIsTab = value == "tab";
        style.indentSize = Width(value);
    } else if (name == "tab_width") {
        style.tabWidth = Width(value);
    } else if (name == "trim_trailing_whitespace") {
        style.trimTrailing = Flag(value);
    } else if (name == "insert_final_newline") {
        style.finalNewline = Flag(value);
    }
}

std::string Absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    char here[PATH_MAX];
    if (!::getcwd(here, sizeof here)) return path;
    return std::string(here) + "/" + path;
}

}  // namespace

FileStyle EditorConfigOf(const std::string& path) {
    FileStyle style;
#ifdef VARLIN_EDITORCONFIG
    if (path.empty()) return style;
    editorconfig_handle handle = editorconfig_handle_init();
    if (!handle) return style;
    const std::string full = Absolute(path);
    const int result = editorconfig_parse(full.c_str(), handle);
    if (result != 0) {
        // A line number: that file is broken. Anything else (no memory) is no fault of
        // the user's files and goes unmentioned.
        if (result > 0) {
            const char* broken = editorconfig_handle_get_err_file(handle);
            ShowMessage(kEditorConfigBrokenMessage, broken ? broken : full.c_str(),
                        std::to_string(result).c_str());
        }
        editorconfig_handle_destroy(handle);
        return style;
    }
    bool sizeIsTab = false;
    const int count = editorconfig_handle_get_name_value_count(handle);
    for (int i = 0; i < count; ++i) {
        const char* name = nullptr;
        const char* value = nullptr;
        editorconfig_handle_get_name_value(handle, i, &name, &value);
        if (name && value) Take(style, Lower(name), Lower(value), sizeIsTab);
    }
    editorconfig_handle_destroy(handle);
    // As the format has it: a tab width follows a numeric indent size, and the indent
    // size "tab" follows the tab width.
    if (style.tabWidth == 0) style.tabWidth = style.indentSize;
    if (sizeIsTab) style.indentSize = style.tabWidth;
#else
    (void)path;
#endif
    return style;
}

}  // namespace varlin
