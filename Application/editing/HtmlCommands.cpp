// The HTML commands: one walk over the document that converts each line which can
// change and stores it back only when it changed and still fits the line work buffer.
#include "editing/HtmlCommands.h"

#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "platform/Host.h"
#include "platform/Memory.h"
#include "platform/Messages.h"
#include "textutil/HtmlSequences.h"
#include "editing/UndoHistory.h"

#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace varlin {
namespace {

using Convert = int (*)(std::string_view, std::string&);
using MayChange = bool (*)(std::string_view);

bool HasAmpersand(std::string_view text) {
    return !text.empty() && std::memchr(text.data(), '&', text.size()) != nullptr;
}

int ConvertLines(EditWindow& w, Convert convert, MayChange mayChange) {
    const std::size_t limit = static_cast<std::size_t>(WorkBufferSize(w) - 1);
    // Without its work buffer the command does not start: nothing changes, not even the
    // modified flag.
    std::string converted;
    BeginHistoryStep(w);
    try {
        converted.reserve(limit + 1);
    } catch (const std::bad_alloc&) {
        ShowMessage(kOutOfMemoryMessage);
        return -1;
    }
    int result = 0;
    {
        WaitCursor wait;
        try {
            const int count = w.LineCount();
            for (int line = 0; line < count; ++line) {
                std::string_view text = w.doc->LineView(line);
                // Most lines of a document hold nothing to convert: they are only read.
                if (!mayChange(text)) continue;
                if (convert(text, converted) == 0 || converted.size() > limit) continue;
                if (w.doc->SetLine(line, converted) != 0) {
                    result = -1;  // the store has shown why
                    break;
                }
            }
        } catch (const std::bad_alloc&) {
            ShowMessage(kOutOfMemoryMessage);
            result = -1;
        }
    }
    RepaintAll(w);
    w.modified = 1;
    return result;
}

}  // namespace

int LinesToHtml(EditWindow& w) {
    if (w.doc->utf8) return ConvertLines(w, ToHtmlSequencesUtf8, HasNonAscii);
    return ConvertLines(w, static_cast<Convert>(ToHtmlSequences), HasHtmlCharacter);
}

int LinesFromHtml(EditWindow& w) {
    if (w.doc->utf8) return ConvertLines(w, FromHtmlSequencesUtf8, HasAmpersand);
    return ConvertLines(w, static_cast<Convert>(FromHtmlSequences), HasAmpersand);
}

}  // namespace varlin
