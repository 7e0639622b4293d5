// The editing actions of a document window: cursor movements, character and line editing,
// the last deleted text, the position stack, truncation, Tab over ranges and the jump to
// the matching bracket. Each is a free function on the EditWindow with plain arguments,
// so that key handling, menus and the macro dispatcher call the same code. Each action
// records itself into the macro being learned as its ActionId says.
#pragma once

#include "editing/EditWindow.h"

#include <string>
#include <string_view>

namespace varlin {

// ActionIds of the editing actions (the numbers of the macro command table).
enum EditActionId : int {
    kActPosRight = 1, kActPosLeft = 2, kActLineUp = 3, kActLineDown = 4,
    kActItemLeft = 5, kActItemRight = 6, kActNextRoutine = 7, kActPrevRoutine = 8,
    kActLineStart = 9, kActLineEnd = 10, kActDocStart = 11, kActDocEnd = 12,
    kActPageUp = 13, kActPageDown = 14, kActPageLeft = 15, kActPageRight = 16,
    kActTruncateLineStart = 17, kActTruncateLineEnd = 18, kActDeleteLine = 19,
    kActInsertLine = 20, kActDelete = 30, kActTruncateFile = 36, kActBackspace = 38,
    kActLinefeed = 39, kActDuplicateLine = 41, kActInsertLastDel = 42,
    kActInsertSpace = 49, kActShiftKeyDown = 50, kActShiftKeyUp = 51,
    kActPushPosition = 52, kActGotoLastPushPos = 53, kActInsertChar = 54,
    kActInsertText = 55, kActDragAll = 80,
};

// ---- Movements (Movements.cpp) ---------------------------------------------------------
void PosRight(EditWindow& w);
void PosLeft(EditWindow& w);
void LineUp(EditWindow& w);
void LineDown(EditWindow& w);
void ItemLeft(EditWindow& w);
void ItemRight(EditWindow& w);
void NextRoutine(EditWindow& w);
void PrevRoutine(EditWindow& w);
void LineStart(EditWindow& w);
void LineEnd(EditWindow& w);
void DocStart(EditWindow& w);
void DocEnd(EditWindow& w);
void PageUp(EditWindow& w);
void PageDown(EditWindow& w);
void PageLeft(EditWindow& w);
void PageRight(EditWindow& w);
void DragAll(EditWindow& w);
// Macro actions 50 and 51: record themselves, then PressShift / ReleaseShift.
void ShiftKeyDown(EditWindow& w);
void ShiftKeyUp(EditWindow& w);

// ---- Scrolling requests (Scrolling.cpp) ------------------------------------------------
// The scroll steps of the window's scroll bars and wheel; paging moves through them.
enum class ScrollCode {
    LineBack, LineForward, PageBack, PageForward, ThumbTrack, Start, End,
    WheelForward,  // towards the user: down by MouseWheelScroll lines
    WheelBack,     // away from the user: up
    Other,         // thumb released, end of scroll: no step
};
// Drops the undo step, moves the origin by the code's step and places the caret; the
// cursor itself does not move.
void ScrollRequest(EditWindow& w, ScrollBar bar, ScrollCode code, int thumbPosition = 0);
// Moves the origin by whole columns and lines (never below 0), as mouse marking does.
void ScrollOriginBy(EditWindow& w, int dCols, int dLines);

// ---- Character editing (CharEditing.cpp) -----------------------------------------------
void InsertChar(EditWindow& w, int code);
void InsertText(EditWindow& w, std::string_view text);
void InsertSpace(EditWindow& w);
void Backspace(EditWindow& w);
// Delete: the marked range when there is one, else the character under the cursor (or,
// at the end of the text, the join with the next line).
void Delete(EditWindow& w);
// Deletes a normalised range; returns the display column where the cursor belongs on
// FromLine afterwards, or -1 when nothing could be done.
int DeleteRange(EditWindow& w, const DragRange& range);

// Opens room for n blanks at index i of text (at the end when i is beyond it); false when
// the length plus n reaches bufferSize - 1.
bool OpenGap(std::string& text, int i, int n, int bufferSize);

// ---- Line actions (LineActions.cpp) ----------------------------------------------------
void InsertLine(EditWindow& w);
void DeleteLine(EditWindow& w);
void DuplicateLine(EditWindow& w);
void TruncateLineStart(EditWindow& w);
void TruncateLineEnd(EditWindow& w);
void InsertLastDel(EditWindow& w);
void Linefeed(EditWindow& w);
void TruncateFile(EditWindow& w);
enum class TabDirection { Indent, Outdent };
// The Tab key (command 58): a tab character, or over a range of several lines the shift
// of the marked lines by one tab.
void TabKey(EditWindow& w, TabDirection direction);

// Replaces the last deleted text when text is not empty.
void StoreLastDel(EditWindow& w, std::string_view text);

// ---- Position stack (Positions.cpp) ----------------------------------------------------
void PushPosition(EditWindow& w);
void GotoLastPushPos(EditWindow& w);

// ---- Brackets (Brackets.cpp) -----------------------------------------------------------
void GotoMatchingBracket(EditWindow& w);

// ---- The document's reading of its bytes (DocumentCode.cpp) ----------------------------
// Reads the document as UTF-8 or through the global code table: the bytes stay as they
// are; the marked range goes (its columns would mean other characters), the view and the
// status line follow.
void SetDocumentUtf8(EditWindow& w, bool utf8);
// Command 405: the one reading for the other.
void ToggleDocumentUtf8(EditWindow& w);

// ---- The line work buffer (EditWindow.cpp) --------------------------------------------
// The size B of the line work buffer of the window's document (LineStore::LineBuffer).
int WorkBufferSize(const EditWindow& w);
// Line i as an action edits it: at most B - 1 characters. `cut` tells whether the stored
// line is longer (an action that writes the line back must then leave it alone, or the
// rest of the line would be lost).
std::string WorkLine(const EditWindow& w, int line, bool* cut = nullptr);

}  // namespace varlin
