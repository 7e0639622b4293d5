// Option switches run by the frame's commands 79, 81, 406 and 401.
#include "frame/OptionToggles.h"

#include "editing/EditActions.h"

namespace varlin {

void ToggleInsertMode(Options& options) { options.InsertMode = options.InsertMode ? 0 : 1; }

void ToggleCodeTable(Options& options) {
    options.CodeTable = options.CodeTable == kCodeTableAnsi ? kCodeTableOem : kCodeTableAnsi;
}

void CycleCodeTable(Options& options, EditWindow* active) {
    if (active && active->doc->utf8) {
        options.CodeTable = kCodeTableAnsi;
        SetDocumentUtf8(*active, false);
    } else if (active && options.CodeTable == kCodeTableOem) {
        SetDocumentUtf8(*active, true);
    } else {
        ToggleCodeTable(options);
    }
}

void ToggleViewChars(Options& options) {
    if (options.VbChar != ' ') {
        options.VbChar = ' ';
        options.TabChar = ' ';
    } else {
        options.VbChar = kVisibleBlankChar;
        options.TabChar = kVisibleTabChar;
    }
}

}  // namespace varlin
