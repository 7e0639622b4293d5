// Prototypes: appends ";" to every routine head of the stored range.
#include "editing/Prototypes.h"

#include "document/Language.h"
#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "editing/UndoHistory.h"
#include "platform/Memory.h"
#include "platform/Messages.h"
#include "platform/StopRequest.h"

#include <algorithm>
#include <new>
#include <string>

namespace varlin {

int MakePrototypes(EditWindow& w) {
    if (w.dragKind == kDragNone) return 0;
    const std::size_t limit = static_cast<std::size_t>(WorkBufferSize(w) - 1);
    int changed = 0;
    BeginHistoryStep(w);
    try {
        std::string text;
        text.reserve(limit + 1);
        // Only lines that exist are visited, however far the stored range reaches, and
        // Ctrl+C or a time limit stops the walk.
        const int end = std::min(w.ToLine, w.LineCount());
        for (int line = std::max(w.FromLine, 0); line < end && !StopRequested(); ++line) {
            if (!IsPrototypeHead(*w.doc, line)) continue;
            std::string_view stored = w.doc->LineView(line);
            if (stored.size() >= limit) continue;
            text.assign(stored);
            text += ';';
            if (w.doc->SetLine(line, text) != 0) break;
            ++changed;
        }
    } catch (const std::bad_alloc&) {
        ShowMessage(kOutOfMemoryMessage);
    }
    ViewInvalidateLines(w.view, w.FromLine, w.ToLine);
    if (changed > 0) w.modified = 1;
    return changed;
}

}  // namespace varlin
