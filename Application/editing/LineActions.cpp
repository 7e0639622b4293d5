// Line actions: inserting, deleting and duplicating lines, cutting a line before or after
// the cursor, bringing back the last deleted text, Enter with its indentation, cutting
// off the rest of the file, and Tab / Shift+Tab over the marked lines.
#include "document/DocumentStyle.h"
#include "editing/EditActions.h"

#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "settings/Options.h"
#include "editing/UndoHistory.h"

#include <algorithm>

namespace varlin {
namespace {

constexpr int kMessageTruncateFile = 1302;

int Length(const std::string& s) { return static_cast<int>(s.size()); }

// The copy of a line that will be written back; refused (beep) when the stored line is
// longer than the work buffer and writing the copy back would lose its end.
bool EditableCopy(const EditWindow& w, int line, std::string& text) {
    bool cut = false;
    text = WorkLine(w, line, &cut);
    if (cut) HostBeep();
    return !cut;
}

// Writes a changed line back and repaints it (the window when a comment delimiter was or is in it).
void WriteBack(EditWindow& w, int line, std::string_view text) {
    const bool hadDelimiter = w.doc->HasCommentDelimiter(line);
    w.doc->SetLine(line, text);
    RepaintLine(w, line, hadDelimiter);
    w.modified = 1;
}

bool BelowCount(const EditWindow& w) { return w.caretLine >= 0 && w.caretLine < w.LineCount(); }

}  // namespace

void StoreLastDel(EditWindow& w, std::string_view text) {
    if (!text.empty()) w.lastDel.assign(text);
}

void InsertLine(EditWindow& w) {
    RecordAction(kActInsertLine);
    if (!BelowCount(w)) return;
    ClearDrag(w);
    BeginHistoryStep(w);
    if (w.doc->InsertLines(w.caretLine, 1) != 0) return;
    ShiftUndoLines(w, w.caretLine, 1);
    RepaintFrom(w, w.caretLine);
    RefreshStatus(w, kStatusAll);
    w.modified = 1;
}

void DeleteLine(EditWindow& w) {
    RecordAction(kActDeleteLine);
    if (!BelowCount(w)) return;
    ClearDrag(w);
    const int line = w.caretLine;
    // The whole stored line, also beyond the work buffer: nothing of it is lost.
    std::string text(w.doc->LineView(line));
    StoreLastDel(w, text);
    // With its line break at any length: Undo puts the text back as a line of its own.
    SaveTextForUndo(w, text + "\r\n");
    SetCaret(w, line, MarginWidth(w));
    w.doc->DeleteLines(line, 1);
    EndUndoStep(w);
    RepaintFrom(w, line);
    RefreshStatus(w, kStatusAll);
    w.modified = 1;
}

void DuplicateLine(EditWindow& w) {
    RecordAction(kActDuplicateLine);
    if (!BelowCount(w)) return;
    const int line = w.caretLine;
    std::string text(w.doc->LineView(line));
    BeginHistoryStep(w);
    if (w.doc->InsertLines(line, 1) != 0) return;
    ShiftUndoLines(w, line, 1);
    w.doc->SetLine(line, text);
    RepaintFrom(w, line);
    RefreshStatus(w, kStatusAll);
    w.modified = 1;
}

void TruncateLineStart(EditWindow& w) {
    RecordAction(kActTruncateLineStart);
    if (!BelowCount(w)) return;
    ForgetUndo();
    ClearDrag(w);
    std::string t;
    if (!EditableCopy(w, w.caretLine, t)) return;
    int i = ColumnToIndex(w, t, w.caretCol);
    std::string removed = t.substr(0, static_cast<std::size_t>(i));
    StoreLastDel(w, removed);
    SaveTextForUndo(w, removed);
    if (i > 0) WriteBack(w, w.caretLine, std::string_view(t).substr(static_cast<std::size_t>(i)));
    SetCaret(w, w.caretLine, MarginWidth(w));
    EndUndoStep(w);
}

void TruncateLineEnd(EditWindow& w) {
    RecordAction(kActTruncateLineEnd);
    if (!BelowCount(w)) return;
    ForgetUndo();
    ClearDrag(w);
    std::string t;
    if (!EditableCopy(w, w.caretLine, t)) return;
    int i = ColumnToIndex(w, t, w.caretCol);
    std::string removed = t.substr(static_cast<std::size_t>(i));
    StoreLastDel(w, removed);
    SaveTextForUndo(w, removed);
    if (!removed.empty()) WriteBack(w, w.caretLine, std::string_view(t).substr(0, static_cast<std::size_t>(i)));
    EndUndoStep(w);
}

void InsertLastDel(EditWindow& w) {
    RecordAction(kActInsertLastDel);
    if (!BelowCount(w)) return;
    ClearDrag(w);
    if (w.lastDel.empty()) return;
    const int line = w.caretLine;
    std::string t;
    if (!EditableCopy(w, line, t)) return;
    int i = ColumnToIndex(w, t, w.caretCol);
    BeginInsertUndo(w);
    if (!OpenGap(t, i, Length(w.lastDel), WorkBufferSize(w))) {
        HostBeep();
        return;
    }
    t.replace(static_cast<std::size_t>(i), w.lastDel.size(), w.lastDel);
    WriteBack(w, line, t);
    SetCaret(w, line, IndexToColumn(w, t, i + Length(w.lastDel)));
    EndInsertUndo(w);
}

void Linefeed(EditWindow& w) {
    RecordAction(kActLinefeed);
    ForgetUndo();
    ClearDrag(w);
    const int line = w.caretLine;
    if (line >= w.LineCount() || line < 0) {
        SetCaret(w, line < 0x7FFFFFF0 ? line + 1 : line, MarginWidth(w));
        return;
    }
    std::string t;
    if (!EditableCopy(w, line, t)) return;
    if (w.doc->InsertLines(line, 1) != 0) return;
    int i = ColumnToIndex(w, t, w.caretCol);
    int blanks = 0;
    while (blanks < i && (t[static_cast<std::size_t>(blanks)] == ' ' || t[static_cast<std::size_t>(blanks)] == '\t'))
        ++blanks;
    int n = CurrentOptions().IndentMode ? blanks : 0;
    std::string indent = t.substr(0, static_cast<std::size_t>(n));
    // A document indented with blanks gets its copied indentation as blanks of the same width.
    if (IndentsWithBlanks(*w.doc) && indent.find('\t') != std::string::npos) {
        indent.assign(static_cast<std::size_t>(IndexToColumn(w, t, n) - MarginWidth(w)), ' ');
        n = Length(indent);
    }
    std::string lower = indent + t.substr(static_cast<std::size_t>(i));
    if (Length(lower) > WorkBufferSize(w) - 1) lower.resize(static_cast<std::size_t>(WorkBufferSize(w) - 1));
    w.doc->SetLine(line, std::string_view(t).substr(0, static_cast<std::size_t>(i)));
    w.doc->SetLine(line + 1, lower);
    SetCaret(w, line + 1, IndexToColumn(w, lower, n));
    RefreshStatus(w, kStatusLineCount);
    RepaintFrom(w, line);
    w.modified = 1;
}

void TruncateFile(EditWindow& w) {
    RecordAction(kActTruncateFile);
    ForgetUndo();
    ClearDrag(w);
    if (!BelowCount(w)) return;
    if (ShowMessage(kMessageTruncateFile) != IdYes) return;
    const int line = w.caretLine;
    std::string t;
    if (!EditableCopy(w, line, t)) return;
    SaveRangeForUndo(w, DragRange{line, w.caretCol, w.LineCount(), MarginWidth(w)});
    w.doc->DeleteLines(line + 1, w.LineCount() - line - 1);
    int i = ColumnToIndex(w, t, w.caretCol);
    StoreLastDel(w, std::string_view(t).substr(static_cast<std::size_t>(i)));
    w.doc->SetLine(line, std::string_view(t).substr(0, static_cast<std::size_t>(i)));
    EndUndoStep(w);
    RepaintFrom(w, line);
    RefreshStatus(w, kStatusAll);
    w.modified = 1;
}

namespace {

bool StartsBlank(std::string_view t) { return !t.empty() && (t[0] == ' ' || t[0] == '\t'); }

// Shift+Tab: only when every line of the range begins with a blank or a tab or is empty.
void OutdentLines(EditWindow& w, int from, int to) {
    for (int l = from; l <= to; ++l) {
        std::string_view t = w.doc->LineView(l);
        if (!t.empty() && !StartsBlank(t)) return;
    }
    const FileStyle& style = w.doc->Style();
    const int most = style.indentSize > 0 || style.tabWidth > 0 ? IndentWidthOf(*w.doc)
                                                                : std::max(CurrentOptions().TabDistance, 0);
    for (int l = from; l <= to; ++l) {
        std::string_view t = w.doc->LineView(l);
        if (t.empty()) continue;
        std::size_t drop = 1;
        if (t[0] == ' ') {
            drop = 0;
            while (drop < t.size() && static_cast<int>(drop) < most && (t[drop] == ' ' || t[drop] == '\t'))
                ++drop;
        }
        if (drop > 0) w.doc->SetLine(l, std::string(t.substr(drop)));
    }
}

void IndentLines(EditWindow& w, int from, int to) {
    // One tab, or in a document indented with blanks one indentation step of blanks.
    const std::string step = IndentsWithBlanks(*w.doc) ? std::string(std::size_t(IndentWidthOf(*w.doc)), ' ') : "\t";
    for (int l = from; l <= to; ++l) {
        if (w.doc->IsLineEmpty(l)) continue;
        bool cut = false;
        std::string t = WorkLine(w, l, &cut);
        if (cut || !OpenGap(t, 0, Length(step), WorkBufferSize(w))) continue;  // no room: line unchanged
        t.replace(0, step.size(), step);
        w.doc->SetLine(l, t);
    }
}

// Tab without a range: a tab character, or in a document indented with blanks, blanks up
// to the next indentation stop (typed one by one, as a macro records and replays them).
void TypeTab(EditWindow& w) {
    if (!IndentsWithBlanks(*w.doc)) {
        InsertChar(w, '\t');
        return;
    }
    const int width = IndentWidthOf(*w.doc);
    for (int k = 0; k < width; ++k) {
        const int before = w.caretCol;
        InsertChar(w, ' ');
        if (w.caretCol == before || (w.caretCol - MarginWidth(w)) % width == 0) return;  // full, or at the stop
    }
}

}  // namespace

void TabKey(EditWindow& w, TabDirection direction) {
    DragRange r;
    if (GetNormalizedDrag(w, r) == kDragNone || r.FromLine == r.ToLine) {
        TypeTab(w);
        return;
    }
    StartDrag(w, kDragMarked, r.FromLine, MarginWidth(w), r.ToLine, WorkBufferSize(w));
    // Lines past the end of the document are empty: nothing to shift there.
    const int from = std::max(r.FromLine, 0);
    const int to = std::min(r.ToLine, w.LineCount() - 1);
    BeginHistoryStep(w);
    if (direction == TabDirection::Indent)
        IndentLines(w, from, to);
    else
        OutdentLines(w, from, to);
    w.modified = 1;
    ViewInvalidateLines(w.view, r.FromLine, r.ToLine);
}

}  // namespace varlin
