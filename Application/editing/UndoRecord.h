// UndoRecord: the one undo step of the whole program. The editing actions leave in it what
// is needed to take their change back: a copy of the line they change, the text they
// delete, or the extent of the text they insert. These are the entry points the actions
// call; the record itself keeps only its kind here, and the step's content and the Undo
// command come with the record's own implementation.
#pragma once

#include <string_view>

namespace varlin {

struct EditWindow;
struct DragRange;

enum UndoKind : int { kUndoNone = 0, kUndoDeletedText = 1, kUndoInsertion = 2, kUndoLine = 3 };

// 0 nothing, 1 deleted text saved, 2 an insertion recorded, 3 a copy of one line.
int GetUndoKind();
void ForgetUndo();
// Before a line is changed: keeps the oldest copy while the kind stays 3.
void SaveLineForUndo(EditWindow& w, std::string_view line);
// Deleted text (n bytes); nothing saved for an empty text.
void SaveTextForUndo(EditWindow& w, std::string_view text);
void SaveRangeForUndo(EditWindow& w, const DragRange& range);
// Around an insertion: the start position before, the end position after.
void BeginInsertUndo(EditWindow& w);
void EndInsertUndo(EditWindow& w);

}  // namespace varlin
