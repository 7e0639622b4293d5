// UndoHistory: many undo steps per document, and redo, when the option UndoSteps is more
// than 1 (with 1 the program keeps its one UndoRecord and none of this does anything).
//
// A document's history hears of every change to its lines from the line store (the
// store's LineJournal) and keeps, per step, only what the change took away: the lines it
// replaced or deleted, and the number of lines it inserted. Undoing a step writes those
// back through the store, and what that takes away becomes the step to redo, so Undo and
// Redo cost time in proportion to what the step changed.
//
// Where one step ends and the next begins is told by the undo record's operations: each
// record the single-step program would make begins a step, typing within one line stays
// one step, and whatever would forget the record ends the step instead. Actions that
// change lines without a record (line insertion, replacing, sorting ...) call
// BeginHistoryStep first, so that they are steps of their own.
#pragma once

#include <cstddef>

namespace varlin {

struct EditWindow;

// UndoSteps > 1 in the current options.
bool UndoHistoryOn();

// Step boundaries (no-ops unless UndoHistoryOn).
void EndHistoryStep();                                     // whatever would forget the record
void HistoryLineStep(EditWindow& w, int line);             // before typing in `line`
void HistoryRecordStep(EditWindow& w);                     // before a deletion or insertion record
void HistoryStepDone(EditWindow& w);                       // the recorded change is made
// Before an action that changes lines without a record. `joinNext`: the record the action
// makes next (typing or pasting after the deletion of the marked range) joins this step.
void BeginHistoryStep(EditWindow& w, bool joinNext = false);

bool HistoryCanUndo(const EditWindow* w);
bool HistoryCanRedo(const EditWindow* w);
// Undo and Redo in w; beep when there is nothing to take back or to replay.
void HistoryUndo(EditWindow& w);
void HistoryRedo(EditWindow& w);
// The document was saved as it now reads: Undo and Redo back to here clear `modified`.
void HistorySaved(EditWindow& w);
// A new document (or one that tests set up): an empty history from here on, when on.
void StartHistory(EditWindow& w);
// The window goes: its history goes with it.
void DropHistory(const EditWindow& w);

struct HistorySize {
    int undoSteps = 0;
    int redoSteps = 0;
    std::size_t bytes = 0;
};
HistorySize HistorySizeOf(const EditWindow& w);

}  // namespace varlin
