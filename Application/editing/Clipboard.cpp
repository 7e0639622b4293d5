// Clipboard: copying the range out and pasting text in, both through the Host.
#include "editing/Clipboard.h"

#include "editing/BlockInsert.h"
#include "editing/RangeText.h"
#include "platform/Host.h"
#include "platform/Messages.h"

namespace varlin {

ClipboardText ClipboardKindOf(const EditWindow& w) {
    return w.doc->utf8 ? ClipboardText::Utf8 : ClipboardText::Ansi;
}

int CopyRangeToClipboard(const EditWindow& w, const DragRange& range) {
    if (RangeTextSize(w, range) <= 0) return 0;
    std::string text;
    {
        WaitCursor wait;
        if (!RangeText(w, range, text)) return -1;
    }
    if (!HostSetClipboard(text, ClipboardKindOf(w))) {
        ShowMessage(kMessageClipboardWrite);
        return -1;
    }
    return 0;
}

bool ReadClipboardText(std::string& text, ClipboardText kind) {
    text.clear();
    if (HostGetClipboard(text, kind)) return true;
    text.clear();
    ShowMessage(kMessageClipboardRead);
    return false;
}

void PasteText(EditWindow& w) {
    std::string text;
    if (!ReadClipboardText(text, ClipboardKindOf(w)) || text.empty()) return;
    InsertTextAtCursor(w, text, LineEndRule::Reader);
}

}  // namespace varlin
