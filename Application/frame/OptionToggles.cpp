// Option switches run by the frame's commands 79, 81 and 401.
#include "frame/OptionToggles.h"

namespace varlin {

void ToggleInsertMode(Options& options) { options.InsertMode = options.InsertMode ? 0 : 1; }

void ToggleCodeTable(Options& options) {
    options.CodeTable = options.CodeTable == kCodeTableAnsi ? kCodeTableOem : kCodeTableAnsi;
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
