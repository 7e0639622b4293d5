// EditWindow: the core record of one document window. It owns the document's lines, and
// holds the cursor (caret), the scroll origin, the marked range ("Drag"), the last deleted
// text, the remembered positions and the modified flag. It reaches the screen only through
// its ViewHooks; without hooks it behaves as a headless window of 25 lines by 80 columns.
//
// Positions are (line, display column): lines are 0-based, display columns count character
// cells from the left edge of the text area with the line-number margin included, tabs
// expanded. This header holds the record and the cursor and range operations; the editing
// actions are declared in editing/EditActions.h.
#pragma once

#include "document/LineStore.h"
#include "platform/ViewHooks.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace varlin {

struct TextPos {
    int line = 0;
    int col = 0;
};

// The marked range: anchor (From) and moving end (To). Stored as drawn; the normalised
// form (GetNormalizedDrag) has From before To with both ends inclusive.
struct DragRange {
    int FromLine = 0;
    int FromCol = 0;
    int ToLine = 0;
    int ToCol = 0;
};

enum DragKind : int { kDragNone = 0, kDragMouse = 1, kDragMarked = 3 };

// Status-line fields that the cursor and range operations refresh (0 asks for all).
enum StatusField : int {
    kStatusAll = 0,
    kStatusLine = 500,
    kStatusColumn = 501,
    kStatusLineCount = 502,
    kStatusRange = 503,
};

constexpr int kPushedPositions = 4;

struct EditWindow {
    EditWindow();
    ~EditWindow();
    EditWindow(const EditWindow&) = delete;
    EditWindow& operator=(const EditWindow&) = delete;

    std::unique_ptr<LineStore> doc;   // created and destroyed with the window
    int Maximized = 0;
    int WindowHeight = 0;
    int WindowWidth = 0;

    // Cursor and range (see the header comment for the coordinates).
    int dragKind = kDragNone;
    int FromLine = 0;
    int FromCol = 0;
    int ToLine = 0;
    int ToCol = 0;
    int mouseAnchorLine = 0;          // where the last plain click put the cursor
    int mouseAnchorCol = 0;
    int prevCaretLine = 0;            // the caret before the last placement: the anchor
    int prevCaretCol = 0;             // that a Shift movement starts its range from
    int caretLine = 0;
    int caretCol = 0;
    int firstLine = 0;                // scroll origin: first line and column shown
    int firstCol = 0;

    // The last deleted text (its size is lastDelLen of the record's description; empty
    // when there is none).
    std::string lastDel;
    int pushedLines[kPushedPositions] = {-1, -1, -1, -1};  // newest first, -1 empty
    int pushedCols[kPushedPositions] = {0, 0, 0, 0};
    int modified = 0;

    // The view's hooks; null hooks give the headless behaviour.
    ViewHooks view;
    // The vertical scroll bar's range maximum as last set (after halving), which the
    // thumb-track step scales by.
    int vertScrollMax = 0;

    int LineCount() const { return doc->GetLineCount(); }
};

// The document window that has the focus; null when none. The caret is placed only for
// the active window (or when there is none).
EditWindow* ActiveEditWindow();
void SetActiveEditWindow(EditWindow* window);
// Runs action on every document window there is (with or without a view).
void ForEachEditWindow(const std::function<void(EditWindow&)>& action);

// ---- Geometry --------------------------------------------------------------------------

// Width of the line-number margin: 0 with LineNumbers off, else 5 up to 99999 lines,
// 6, 7, 8 for each further digit, 9 above 99999999. Also the first text column.
int MarginWidth(int lineCount);
int MarginWidth(const EditWindow& w);
// The margin's width while line numbers are shown.
int NumberMarginWidth(int lineCount);
// MaxCols = 5 x the document's line buffer; the widest display column is MaxCols - 1.
int MaxCols(const EditWindow& w);
// The tab step of the window's document: its file's tab width, else max(TabDistance, 2).
int TabStepWidth(const EditWindow& w);

// Display column -> character index in text (a column inside a tab gives the tab's
// index, one past the text the text's length); and index -> display column.
int ColumnToIndex(std::string_view text, int col, int margin, int tabStep);
int IndexToColumn(std::string_view text, int index, int margin, int tabStep);
int ColumnToIndex(const EditWindow& w, std::string_view text, int col);
int IndexToColumn(const EditWindow& w, std::string_view text, int index);
// The window's forms read a UTF-8 document by whole characters (a wide one takes two
// cells, an index inside a character stands at its start). The index after the character
// at i, the start of the character ending at i, and the byte length of the character at i:
// single bytes in a code-table document.
int NextCharIndex(const EditWindow& w, std::string_view text, int i);
int PrevCharIndex(const EditWindow& w, std::string_view text, int i);
int CharLengthAt(const EditWindow& w, std::string_view text, int i);

// The code table the window's bytes are read through: kCodeTableUtf8 for a UTF-8
// document, else the global CodeTable.
int DocumentCodeTable(const EditWindow& w);

// Viewport size in whole lines and columns (headless 25 x 80), never below 1.
void VisibleSize(const EditWindow& w, int& lines, int& cols);

// A scroll bar's range 0 ... max(max, pos) - min and position pos - min, both halved
// together while the range exceeds 32767; nothing when min > max.
void SetScrollBar(EditWindow& w, ScrollBar bar, int min, int pos, int max);

// Moves the scroll origin by whole lines and columns (never below 0), scrolls the view's
// pixels and sets the scroll bars: vertical 0 ... max(count, firstLine), horizontal
// 0 ... max(MaxCols - visCols + 1, firstCol). Nothing for a step of 0.
void MoveOrigin(EditWindow& w, long long dLines, long long dCols);

// ---- Cursor ----------------------------------------------------------------------------

// Negative line or col keep the current value. Scrolls (EnsureVisible), remembers the old
// position in prevCaret*, places the system caret, refreshes status fields 500 and 501.
void SetCaret(EditWindow& w, int line, int col);
TextPos GetCaret(const EditWindow& w);
int GetCaretLine(const EditWindow& w);
int GetCaretCol(const EditWindow& w);
// Scrolls just far enough to show (line, col), plus CaretHystVert / CaretHystHori.
void EnsureVisible(EditWindow& w, int line, int col);
// Scrolls so that line stands in the middle and col within the left four fifths.
void CenterOn(EditWindow& w, int line, int col);
// Back to the first column when scrolled to the right.
void ScrollHome(EditWindow& w);
// After every movement: extends the range while Shift is down, else clears it.
void ExtendOrClear(EditWindow& w, int line, int col);
// The byte under the caret, sign-extended (in a UTF-8 document the code point of the
// character there); 0 at and beyond the end of the text.
int GetCharacter(const EditWindow& w);
// Moves the system caret to the cursor's pixel cell (for the active window only).
void PlaceSystemCaret(const EditWindow& w);

// The Shift state held by the program (macro actions ShiftKeyDown / ShiftKeyUp). The
// view may install a query of the real keyboard; Shift counts as down when either is.
void PressShift();
void ReleaseShift();
bool IsShiftDown();
void SetShiftKeyQuery(bool (*query)());

// Caret visibility through one application-wide flag, so show and hide never nest.
void ShowCaret(EditWindow& w);
void HideCaret(EditWindow& w);
bool IsCaretShown();

// ---- Marked range ----------------------------------------------------------------------

void StartDrag(EditWindow& w, int kind, int fromLine, int fromCol, int toLine, int toCol);
void ExtendDrag(EditWindow& w, int line, int col);
void ClearDrag(EditWindow& w);
// The range with From before To and both ends inclusive; kind 0 when nothing is marked
// (also when the two ends coincide). A From column in the margin means whole lines.
int GetNormalizedDrag(const EditWindow& w, DragRange& range);
bool HasDrag(const EditWindow& w);
// Macro SetDrag: 1-based lines, 1-based text columns, To inclusive.
void SetDragFromMacro(EditWindow& w, int fromLine, int fromCol, int toLine, int toCol);
// Macro GetDrag: 0, or 1 with the four values (written only then).
int GetDragForMacro(const EditWindow& w, int& fromLine, int& fromCol, int& toLine, int& toCol);

// ---- Repaint and status helpers used by the actions ----------------------------------

// The line, or the whole window when the line holds a block-comment delimiter now or held
// one before the change (hadDelimiter), since comment colouring below may change.
void RepaintLine(EditWindow& w, int line, bool hadDelimiter = false);
void RepaintFrom(EditWindow& w, int line);          // the line and everything below
void RepaintAll(EditWindow& w);
void RefreshStatus(EditWindow& w, int field);

}  // namespace varlin
