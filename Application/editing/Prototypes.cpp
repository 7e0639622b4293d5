// Prototypes: appends ";" to every routine head of the stored range.
#include "editing/Prototypes.h"

#include "document/Language.h"
#include "editing/EditActions.h"
#include "editing/EditWindow.h"
#include "editing/UndoHistory.h"
#include "platform/Memory.h"
#include "platform/Messages.h"

#include <new>
#include <string>

namespace varlin {

int MakePrototypes(EditWindow& w) {
    if (w.dragKind == kDragNone) return 0;
    const std::size_t limit = static_cast<std::size_t>(WorkBufferSize() - 1);
    int changed = 0;
    BeginHistoryStep(w);
    try {
        std::string text;
        text.reserve(limit + 1);
        for (int line = w.FromLine; line < w.ToLine && line < w.LineCount(); ++line) {
            if (!IsRoutineStart(*w.doc, line)) continue;
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
