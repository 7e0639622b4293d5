// UndoRecord: the one undo step of the whole program. The editing actions leave in it what
// is needed to take their change back: a copy of the line they change (kind 3), the text
// they delete (kind 1, kept in a temporary file of the record's own), or the extent of
// the text they insert (kind 2). The command Undo applies the step to a document window
// and empties the record; movements and the like forget it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace varlin {

struct Application;
struct EditWindow;
struct DragRange;

enum UndoKind : int { kUndoNone = 0, kUndoDeletedText = 1, kUndoInsertion = 2, kUndoLine = 3 };

struct UndoRecord {
    UndoRecord() = default;
    ~UndoRecord();  // closes and deletes the temporary file
    UndoRecord(const UndoRecord&) = delete;
    UndoRecord& operator=(const UndoRecord&) = delete;

    Application* app = nullptr;       // the owner, once start-up has named it
    int undoKind = kUndoNone;
    // The temporary file that holds deleted text (prefix "VLE", readable by its owner
    // only). Made once, at start-up or at the first save; it is never truncated: each
    // save writes from its start a length of 8 bytes (little-endian), the text, and 0x1A.
    std::string tempFileName;
    std::FILE* tempFile = nullptr;
    bool tempFileTried = false;       // the file is made (or its failure shown) only once
    int lineBufferSize = 0;           // the line buffer's size at the last kind-3 save
    std::string lineBuffer;           // kind 3: the line as it was before the first change
    // Kind 1 from a range: the saved text ends with the break of the document's last
    // line. Put back into a line that still exists, that break is one too many.
    bool endsWithLastBreak = false;
    int insertEndLine = 0;            // kind 2: the cursor after the insertion
    int insertEndCol = 0;
    int savedCaretLine = 0;           // the cursor and scroll origin when the record was made
    int savedCaretCol = 0;            // (kind 2: before the insertion)
    int savedFirstLine = 0;
    int savedFirstCol = 0;
};

// The program's one record.
UndoRecord& TheUndoRecord();
// Start-up: names the owner and makes the temporary file (its failure is shown once and
// the program runs on without kind 1).
void InitUndoRecord(Application& app);
// Exit, and tests: closes and deletes the temporary file and empties the record; the
// next save makes a new file.
void ResetUndoRecord();

// 0 nothing, 1 deleted text saved, 2 an insertion recorded, 3 a copy of one line.
int GetUndoKind();
void ForgetUndo();
// Before a line is changed: keeps the oldest copy while the kind stays 3.
void SaveLineForUndo(EditWindow& w, std::string_view line);
// Deleted text; nothing is saved (kind 0) for an empty text or without the file.
void SaveTextForUndo(EditWindow& w, std::string_view text);
// The text of a normalised range, before it is deleted.
void SaveRangeForUndo(EditWindow& w, const DragRange& range);
// Around an insertion: the start position before, the end position after.
void BeginInsertUndo(EditWindow& w);
void EndInsertUndo(EditWindow& w);

// Command 31: applies the record to w and empties it; beeps when there is nothing.
void Undo(EditWindow& w);

}  // namespace varlin
