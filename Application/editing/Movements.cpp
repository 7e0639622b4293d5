// Cursor movements: by character, line, word part ("item"), routine, page, to the ends of
// the line and the document, and marking the whole document. Every movement records
// itself, forgets the undo step (character moves keep a line copy), places the caret and
// then extends the marked range while Shift is down or clears it.
#include "editing/EditActions.h"

#include "document/Language.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "textutil/CodeTables.h"
#include "textutil/Utf8.h"

#include <climits>

namespace varlin {
namespace {

void Arrive(EditWindow& w, int line, int col) {
    SetCaret(w, line, col);
    ExtendOrClear(w, line, col);
}

void BeginMove(int actionId) {
    RecordAction(actionId);
    ForgetUndo();
}

// Character moves keep a line copy, so that typing with left and right moves in between
// is undone as a whole.
void BeginCharMove(int actionId) {
    RecordAction(actionId);
    if (GetUndoKind() != kUndoLine) ForgetUndo();
}

// The characters of a line as the item movements see them: ANSI bytes, or in a UTF-8
// document whole characters by their Unicode class (a capital is a letter that folds to
// another). Past the end of the text there is no character.
struct LineChars {
    const EditWindow& w;
    const std::string& t;

    int Size() const { return static_cast<int>(t.size()); }
    int Next(int i) const { return NextCharIndex(w, t, i); }
    int Prev(int i) const { return PrevCharIndex(w, t, i); }
    bool Upper(int i) const {
        if (i < 0 || i >= Size()) return false;
        if (!w.doc->utf8) return t[i] != 0 && IsAnsiUpper(static_cast<unsigned char>(t[i]));
        const char32_t c = Utf8Decode(t, i);
        return IsUnicodeWordChar(c) && SimpleFold(c) != c;
    }
    bool Alnum(int i) const {
        if (i < 0 || i >= Size()) return false;
        if (!w.doc->utf8) return t[i] != 0 && IsAnsiAlphaNumeric(static_cast<unsigned char>(t[i]));
        return IsUnicodeWordChar(Utf8Decode(t, i));
    }
    bool LowerLetter(int i) const {
        if (!Alnum(i)) return false;
        if (!w.doc->utf8) return IsAnsiLower(static_cast<unsigned char>(t[i]));
        // Letters without case (and marks) go with the lower-case part of a word, digits
        // do not, as in the ANSI classes.
        return !Upper(i) && !(t[i] >= '0' && t[i] <= '9');
    }
};

// Home for movements that start by scrolling back to the first column.
int FirstTextColumnScrolledHome(EditWindow& w) {
    if (w.firstCol > 0) ScrollHome(w);
    return MarginWidth(w);
}

}  // namespace

void PosRight(EditWindow& w) {
    BeginCharMove(kActPosRight);
    std::string t = WorkLine(w, w.caretLine);
    int i = ColumnToIndex(w, t, w.caretCol);
    int col = w.caretCol;
    if (i >= static_cast<int>(t.size())) {
        if (col < MaxCols(w) - 1) ++col;
    } else {
        col = IndexToColumn(w, t, NextCharIndex(w, t, i));
    }
    Arrive(w, w.caretLine, col);
}

void PosLeft(EditWindow& w) {
    BeginCharMove(kActPosLeft);
    const int margin = MarginWidth(w);
    int col = w.caretCol;
    if (col <= margin && w.firstCol > 0) {
        col = margin;
        ScrollHome(w);
    }
    std::string t = WorkLine(w, w.caretLine);
    int i = ColumnToIndex(w, t, col);
    int c = IndexToColumn(w, t, i);
    if (c != col)
        col = c;  // beyond the text or inside a tab: to the character's own column
    else if (i >= 1)
        col = IndexToColumn(w, t, PrevCharIndex(w, t, i));
    Arrive(w, w.caretLine, col);
}

void LineUp(EditWindow& w) {
    BeginMove(kActLineUp);
    Arrive(w, w.caretLine > 0 ? w.caretLine - 1 : w.caretLine, w.caretCol);
}

void LineDown(EditWindow& w) {
    BeginMove(kActLineDown);
    Arrive(w, w.caretLine < INT_MAX - 1 ? w.caretLine + 1 : w.caretLine, w.caretCol);
}

void ItemLeft(EditWindow& w) {
    BeginMove(kActItemLeft);
    int col = w.caretCol;
    if (col <= MarginWidth(w) && w.firstCol > 0) {
        col = MarginWidth(w);
        ScrollHome(w);
    }
    std::string t = WorkLine(w, w.caretLine);
    const LineChars c{w, t};
    int i = ColumnToIndex(w, t, col);
    // Back over what separates, then over the lower-case part of the word, then over the
    // capitals in front of it: the start of a word or of its capitalised part.
    while (i > 0 && (c.Upper(i) || !c.Alnum(c.Prev(i)))) i = c.Prev(i);
    while (i > 0 && !(c.Upper(i) || !c.Alnum(c.Prev(i)))) i = c.Prev(i);
    while (i > 0 && c.Upper(c.Prev(i))) i = c.Prev(i);
    Arrive(w, w.caretLine, IndexToColumn(w, t, i));
}

void ItemRight(EditWindow& w) {
    BeginMove(kActItemRight);
    std::string t = WorkLine(w, w.caretLine);
    const int n = static_cast<int>(t.size());
    const LineChars c{w, t};
    int i = ColumnToIndex(w, t, w.caretCol);
    while (i < n && c.Upper(i)) i = c.Next(i);
    while (i < n && c.LowerLetter(i)) i = c.Next(i);
    while (i < n && !c.LowerLetter(i) && !c.Upper(i)) i = c.Next(i);
    Arrive(w, w.caretLine, IndexToColumn(w, t, i));
}

void NextRoutine(EditWindow& w) {
    BeginMove(kActNextRoutine);
    const int count = w.LineCount();
    int line = w.caretLine;
    while (line < count) {
        ++line;
        if (line < count && IsDocumentRoutineLine(*w.doc, WorkLine(w, line))) break;
    }
    CenterOn(w, line, w.caretCol);
    Arrive(w, line, w.caretCol);
}

void PrevRoutine(EditWindow& w) {
    BeginMove(kActPrevRoutine);
    // Lines past the end are empty and never start a routine: begin the walk at count.
    int line = w.caretLine < w.LineCount() ? w.caretLine : w.LineCount();
    while (line > 0) {
        --line;
        if (IsDocumentRoutineLine(*w.doc, WorkLine(w, line))) break;
    }
    CenterOn(w, line, w.caretCol);
    Arrive(w, line, w.caretCol);
}

void LineStart(EditWindow& w) {
    BeginMove(kActLineStart);
    Arrive(w, w.caretLine, FirstTextColumnScrolledHome(w));
}

void LineEnd(EditWindow& w) {
    BeginMove(kActLineEnd);
    std::string t = WorkLine(w, w.caretLine);
    Arrive(w, w.caretLine, IndexToColumn(w, t, static_cast<int>(t.size())));
}

void DocStart(EditWindow& w) {
    BeginMove(kActDocStart);
    Arrive(w, 0, FirstTextColumnScrolledHome(w));
}

void DocEnd(EditWindow& w) {
    BeginMove(kActDocEnd);
    int col = FirstTextColumnScrolledHome(w);
    Arrive(w, w.LineCount(), col);
}

namespace {

// Paging keeps the cursor's place relative to the window: the window scrolls by its own
// page step and the cursor follows the origin.
void Page(EditWindow& w, int actionId, ScrollBar bar, ScrollCode code) {
    BeginMove(actionId);
    if (actionId == kActPageDown && w.firstLine >= w.LineCount()) return;
    long long dLine = static_cast<long long>(w.caretLine) - w.firstLine;
    long long dCol = static_cast<long long>(w.caretCol) - w.firstCol;
    ScrollRequest(w, bar, code);
    long long line = w.firstLine + dLine;
    long long col = w.firstCol + dCol;
    auto fit = [](long long v) { return static_cast<int>(v < 0 ? 0 : (v > INT_MAX - 1 ? INT_MAX - 1 : v)); };
    Arrive(w, fit(line), fit(col));
}

}  // namespace

void PageUp(EditWindow& w) { Page(w, kActPageUp, ScrollBar::Vertical, ScrollCode::PageBack); }
void PageDown(EditWindow& w) { Page(w, kActPageDown, ScrollBar::Vertical, ScrollCode::PageForward); }
void PageLeft(EditWindow& w) { Page(w, kActPageLeft, ScrollBar::Horizontal, ScrollCode::PageBack); }
void PageRight(EditWindow& w) { Page(w, kActPageRight, ScrollBar::Horizontal, ScrollCode::PageForward); }

void DragAll(EditWindow& w) {
    BeginMove(kActDragAll);
    const int count = w.LineCount();
    if (count < 1) return;
    std::string last = WorkLine(w, count - 1);
    StartDrag(w, kDragMarked, 0, 0, count - 1, IndexToColumn(w, last, static_cast<int>(last.size())));
}

void ShiftKeyDown(EditWindow&) {
    RecordAction(kActShiftKeyDown);
    PressShift();
}

void ShiftKeyUp(EditWindow&) {
    RecordAction(kActShiftKeyUp);
    ReleaseShift();
}

}  // namespace varlin
