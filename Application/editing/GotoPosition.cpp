// The go-to operation and the pure rules of its dialog.
#include "editing/GotoPosition.h"

#include "editing/EditWindow.h"
#include "editing/MacroCommands.h"
#include "editing/Recording.h"
#include "platform/DialogHelpers.h"
#include "platform/Host.h"
#include "platform/Messages.h"

#include <algorithm>
#include <climits>

namespace varlin {
namespace {

// A 1-based number as a 0-based one; INT_MIN has no 0-based form and becomes -1, which
// the cursor operations read as "keep the current value".
int ZeroBased(std::int32_t n) { return n == INT_MIN ? -1 : n - 1; }

}  // namespace

int CheckGotoFields(const std::string& lineText, const std::string& columnText,
                    std::int32_t& line, std::int32_t& column) {
    if (!ValidateIntText(lineText, 1, kGotoLineMax)) return kBadLineMessage;
    if (!ValidateIntText(columnText, 1, kGotoColumnMax)) return kBadColumnMessage;
    line = ParseItemInt(lineText);
    column = ParseItemInt(columnText);
    return 0;
}

GotoPreviewRows GotoPreviewFor(const std::string& lineText, int rows) {
    GotoPreviewRows result;
    result.target = ParseItemInt(lineText) - 1;
    result.first = std::max(0, result.target - std::max(rows, 0) / 2 + 1);
    return result;
}

void GotoPosition(EditWindow& w, std::int32_t line, std::int32_t column) {
    ClearDrag(w);
    if (line < 0 && column < 0) {
        GotoDialogRecord record;
        record.line = w.caretLine + 1;
        record.column = w.caretCol + 1;
        record.window = &w;
        if (HostRunDialog(DialogId::Goto, &record) != 1) return;
        line = record.line;
        column = record.column;
    }
    RecordTwoLongs(kMacroGoto, line, column);
    const int l = ZeroBased(line);
    const int c = ZeroBased(column);
    // A part given as 0 or less keeps the cursor's own, as SetCaret does.
    CenterOn(w, l < 0 ? w.caretLine : l, c < 0 ? w.caretCol : c);
    SetCaret(w, l, c);
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
}

}  // namespace varlin
