// UndoRecord: the one undo step of the whole program. The editing actions leave in it what
// is needed to take their change back: a copy of the line they change (kind 3), the text
// they delete (kind 1, kept in a temporary file of the record's own), or the extent of
// the text they insert (kind 2). The command Undo applies the step to a document window
// and empties the record; movements and the like forget it.
//
// A step belongs to the window that made it and to the lines it changed, and remembers
// how those lines read when it was done. Undo gives back exactly what the step changed, or,
// in another window or once something else has changed the step's lines, changes nothing
// and beeps. Actions that keep the record but insert or delete lines above it tell it
// (ShiftUndoLines), so that it follows its lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace varlin {

struct EditWindow;
struct DragRange;

enum UndoKind : int { kUndoNone = 0, kUndoDeletedText = 1, kUndoInsertion = 2, kUndoLine = 3 };

struct UndoRecord {
    UndoRecord() = default;
    ~UndoRecord();  // closes and deletes the temporary file
    UndoRecord(const UndoRecord&) = delete;
    UndoRecord& operator=(const UndoRecord&) = delete;

    int undoKind = kUndoNone;
    // The temporary file that holds deleted text (prefix "VLE", readable by its owner
    // only). Made once, at start-up or at the first save; it is never truncated: each
    // save writes from its start a length of 8 bytes (little-endian), the text, and 0x1A.
    std::string tempFileName;
    std::FILE* tempFile = nullptr;
    bool tempFileTried = false;       // the file is made (or its failure shown) only once
    int lineBufferSize = 0;           // the line buffer's size at the last kind-3 save
    std::string lineBuffer;           // kind 3: the line as it was before the first change
    std::vector<std::string> joinedLines;  // kind 3: the lines Delete joined onto it since
    // Kind 1 from a range: the saved text ends with the break of the document's last
    // line. Put back into a line that still exists, that break is one too many.
    bool endsWithLastBreak = false;

    // Where the step applies. Lines and character indexes, not display columns, so that
    // the margin and the tab width may change meanwhile.
    const EditWindow* window = nullptr;  // the window whose document the step changed
    int stepLine = 0;     // kind 3 the changed line; kind 1 the line the text goes back
                          // into; kind 2 the first line of the insertion
    int stepIndex = 0;    // kind 1 the index the text goes back at; kind 2 the insertion's start
    int insertEndIndex = 0;  // kind 2: the index just after the insertion, in insertEndLine
    int addedFrom = -1;   // the line count before a step that wrote past the end (its lines
                          // from there on go again with it); -1 when it did not
    bool complete = false;        // the action's change is done (kind 1 and 2 apply only then)
    // The document was as loaded or saved when the step began, and nothing but the step
    // has changed it since: undoing the step brings back the saved text.
    bool fromSavedText = false;
    std::uint64_t linesPrint = 0; // how the step's lines read when it was done
    int stepNumber = 0;           // counts the steps begun, so a kept step is told from a new one
    int stepRevision = 0;         // counts the changes made by the current step

    int insertEndLine = 0;            // kind 2: the cursor after the insertion
    int insertEndCol = 0;
    int savedCaretLine = 0;           // the cursor and scroll origin when the record was made
    int savedCaretCol = 0;            // (kind 2: before the insertion)
    int savedFirstLine = 0;
    int savedFirstCol = 0;
};

// The program's one record.
UndoRecord& TheUndoRecord();
// Start-up: makes the temporary file (its failure is shown once and
// the program runs on without kind 1).
void InitUndoRecord();
// Exit, and tests: closes and deletes the temporary file and empties the record; the
// next save makes a new file.
void ResetUndoRecord();

// 0 nothing, 1 deleted text saved, 2 an insertion recorded, 3 a copy of one line.
int GetUndoKind();
void ForgetUndo();
// Before the cursor line is changed: keeps the oldest copy while the step is a copy of
// this line of this window and nothing else has changed the line since.
void SaveLineForUndo(EditWindow& w, std::string_view line);
// Delete's join: the lower line, joined onto the line just saved, comes back with it.
void SaveJoinedLineForUndo(EditWindow& w, std::string_view lower);
// Deleted text; nothing is saved (kind 0) for an empty text or without the file.
void SaveTextForUndo(EditWindow& w, std::string_view text);
// The text of a normalised range, before it is deleted.
void SaveRangeForUndo(EditWindow& w, const DragRange& range);
// Around an insertion: the start position before, the end position after.
void BeginInsertUndo(EditWindow& w);
void EndInsertUndo(EditWindow& w);
// After the change of a kind 1 or 3 step: the step applies to the lines as they now read.
// Deleted text goes back where the action left the cursor.
void EndUndoStep(EditWindow& w);
// Lines were inserted (delta > 0) or deleted (delta < 0) at `at` by an action that keeps
// the record: a step below follows its lines; one whose lines are hit is forgotten.
void ShiftUndoLines(const EditWindow& w, int at, int delta);
// The window goes: its step goes with it.
void ForgetUndoOf(const EditWindow& w);
// Whether Undo in w has a step to apply (the menu item is enabled by it).
bool CanUndoIn(const EditWindow* w);

// Command 31: applies the record to w and empties it; beeps when there is nothing, when the
// step is another window's, and when its lines have changed since (then it is forgotten).
void Undo(EditWindow& w);
// Places the caret, scroll bars and whole screen of a window whose text and position an undo
// or redo has just set back.
void ShowViewAfterUndo(EditWindow& w);
// Redo: with a history (UndoSteps > 1) replays the step just undone; beeps otherwise.
void Redo(EditWindow& w);
bool CanRedoIn(const EditWindow* w);

}  // namespace varlin
