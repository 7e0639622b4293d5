// The lines a replace loop changed since the window was last brought up to date: repainted
// together, the whole window when one of them holds or held a block-comment delimiter.
#pragma once

#include "editing/EditWindow.h"
#include "platform/ViewHooks.h"

namespace varlin {

struct ChangedLines {
    int first = -1;
    int last = -1;
    bool all = false;
    void Add(EditWindow& w, int line, bool hadDelimiter) {
        if (hadDelimiter || w.doc->HasCommentDelimiter(line)) all = true;
        if (first < 0) first = line;
        last = line;
    }
    void Repaint(EditWindow& w) {
        if (all)
            ViewInvalidateAll(w.view);
        else if (first >= 0)
            ViewInvalidateLines(w.view, first, last);
        first = last = -1;
        all = false;
    }
};

}  // namespace varlin
