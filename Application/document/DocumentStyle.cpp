// DocumentStyle: the options of one document, from its .editorconfig, its language and,
// where neither says anything, the program's options.
#include "document/DocumentStyle.h"

#include "platform/FileNames.h"
#include "settings/EditorConfig.h"
#include "settings/Options.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace varlin {
namespace {

// Extensions (lower case) of the languages whose sources are indented with blanks.
const char* const kBlankIndentedExtensions[] = {"py", "pyw", "pyi", "yaml", "yml"};

}  // namespace

void StartNewDocument(LineStore& store) {
    store.lineEnds = CurrentOptions().NewFilesLf != 0 ? LineEnds::Lf : LineEnds::CrLf;
    store.lineEndsChosen = true;
}

void ApplyEditorConfig(LineStore& store, const std::string& name, StyleFor use) {
    const FileStyle style = EditorConfigOf(name);
    store.fileStyle.reset();
    if (style == FileStyle{}) return;
    store.fileStyle = std::make_unique<FileStyle>(style);
    if (style.endOfLine != FileStyle::AnyLineEnd) {
        store.lineEnds = style.endOfLine == FileStyle::Lf ? LineEnds::Lf : LineEnds::CrLf;
        store.lineEndsChosen = true;
    }
    // A save changes no byte of the text, so how it is read stays as it was.
    if (use == StyleFor::Load && style.charset != FileStyle::AnyCharset) store.utf8 = style.charset == FileStyle::Utf8;
}

bool BlankIndentedLanguage(std::string_view fileName) {
    std::string extension = Korvel_GetExtension(std::string(fileName), 8);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return std::any_of(std::begin(kBlankIndentedExtensions), std::end(kBlankIndentedExtensions),
                       [&](const char* e) { return extension == e; });
}

bool IndentsWithBlanks(const LineStore& store) {
    if (store.Style().indentStyle != FileStyle::AnyIndent) return store.Style().indentStyle == FileStyle::Blanks;
    return CurrentOptions().TabSpaces != 0 || BlankIndentedLanguage(store.FileName());
}

int TabWidthOf(const LineStore& store) {
    return store.Style().tabWidth > 0 ? std::max(store.Style().tabWidth, 2) : CurrentOptions().TabStep();
}

int IndentWidthOf(const LineStore& store) {
    return store.Style().indentSize > 0 ? store.Style().indentSize : TabWidthOf(store);
}

LineEnds SavedLineEnds(const LineStore& store) {
    return CurrentOptions().KeepLineEnds != 0 || store.lineEndsChosen ? store.lineEnds : LineEnds::CrLf;
}

}  // namespace varlin
