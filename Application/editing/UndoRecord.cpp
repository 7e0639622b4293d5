// UndoRecord: saving the program's single undo step and applying it. Deleted text goes
// to a private temporary file with its length in front, because lines may hold any byte
// (NUL, CR and 0x1A included) and must come back exactly as they were.
#include "editing/UndoRecord.h"

#include "editing/BlockInsert.h"
#include "editing/EditActions.h"
#include "editing/RangeText.h"
#include "frame/Application.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "platform/TempFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace varlin {
namespace {

constexpr const char* kTempPrefix = "VLE";
constexpr long kHeaderSize = 8;
constexpr char kEndOfData = 0x1A;

void StorePositions(UndoRecord& u, const EditWindow& w) {
    u.savedCaretLine = w.caretLine;
    u.savedCaretCol = w.caretCol;
    u.savedFirstLine = w.firstLine;
    u.savedFirstCol = w.firstCol;
}

void CloseTempFile(UndoRecord& u) {
    if (u.tempFile) std::fclose(u.tempFile);
    u.tempFile = nullptr;
    if (!u.tempFileName.empty()) ::unlink(u.tempFileName.c_str());
    u.tempFileName.clear();
}

// Makes the file on the first call; false when there is none.
bool EnsureTempFile(UndoRecord& u) {
    if (u.tempFile) return true;
    if (u.tempFileTried) return false;
    u.tempFileTried = true;
    u.tempFileName = CreateTemporaryFileName(kTempPrefix);
    int error = errno;
    int fd = -1;
    if (!u.tempFileName.empty()) {
        fd = ::open(u.tempFileName.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        error = errno;
    }
    if (fd >= 0) u.tempFile = ::fdopen(fd, "r+b");
    if (!u.tempFile) {
        if (fd >= 0) {
            error = errno;
            ::close(fd);
        }
        ShowFileError(u.tempFileName.empty() ? std::string(kTempPrefix) : u.tempFileName, error);
        if (!u.tempFileName.empty()) ::unlink(u.tempFileName.c_str());
        u.tempFileName.clear();
        return false;
    }
    return true;
}

bool WriteHeader(std::FILE* f, std::uint64_t size) {
    unsigned char header[kHeaderSize];
    for (int k = 0; k < kHeaderSize; ++k) header[k] = static_cast<unsigned char>(size >> (8 * k));
    return std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(header, 1, kHeaderSize, f) == kHeaderSize;
}

bool WriteEnd(std::FILE* f) { return std::fputc(kEndOfData, f) != EOF && std::fflush(f) == 0; }

// The saved text of kind 1; false (after the file's error message) when it cannot be read.
bool ReadSavedText(UndoRecord& u, std::string& text) {
    std::FILE* f = u.tempFile;
    unsigned char header[kHeaderSize];
    if (!f || std::fseek(f, 0, SEEK_SET) != 0 || std::fread(header, 1, kHeaderSize, f) != kHeaderSize) {
        ShowFileError(u.tempFileName, errno);
        return false;
    }
    std::uint64_t size = 0;
    for (int k = kHeaderSize - 1; k >= 0; --k) size = (size << 8) | header[k];
    try {
        text.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        ShowMessage(1002);
        return false;
    }
    if (std::fread(text.data(), 1, text.size(), f) != text.size()) {
        ShowFileError(u.tempFileName, errno ? errno : EIO);
        return false;
    }
    return true;
}

// How the deletion of a range treats the break that its last slice counts. Deleting
// whole lines removes it with the lines. A range that is not whole lines but ends at the
// end of a line's text leaves its first line in place, and with it one line break: the
// saved text must then leave out its final CR LF, or Undo would bring back a line too
// many. At the end of the document the same holds, but truncating the file keeps its
// first line even when it starts at the first column, so that case is decided at Undo.
enum class LastBreak { None, Kept, Dropped, AtDocumentEnd };

LastBreak ClassifyLastBreak(const EditWindow& w, const DragRange& r) {
    const int count = w.LineCount();
    const int fromLine = std::max(r.FromLine, 0);
    if (fromLine >= count || r.ToLine < fromLine) return LastBreak::None;
    if (r.ToLine < count) {
        std::string_view last = w.doc->LineView(r.ToLine);
        if (static_cast<std::size_t>(ColumnToIndex(w, last, r.ToCol)) < last.size()) return LastBreak::None;
    }
    if (r.ToLine >= count - 1) return LastBreak::AtDocumentEnd;
    const int fromCol = r.FromLine < 0 ? MarginWidth(w) : r.FromCol;
    const bool wholeLines = ColumnToIndex(w, w.doc->LineView(fromLine), fromCol) == 0;
    return wholeLines ? LastBreak::Kept : LastBreak::Dropped;
}

// Kind 2: removes the text between the position before the insertion and the position
// after it, joining the lines it spans. False when the start lies after the end.
bool RemoveInsertion(EditWindow& w, const UndoRecord& u) {
    const int startLine = std::max(u.savedCaretLine, 0);
    const int endLine = u.insertEndLine;
    std::string_view a = w.doc->LineView(startLine);
    std::string_view b = w.doc->LineView(endLine);
    const std::size_t s = static_cast<std::size_t>(ColumnToIndex(w, a, u.savedCaretCol));
    const std::size_t e = static_cast<std::size_t>(ColumnToIndex(w, b, u.insertEndCol));
    if (endLine < startLine || (endLine == startLine && e <= s)) return false;
    std::string joined;
    joined.reserve(s + b.size() - e);
    joined.append(a.substr(0, s)).append(b.substr(e));
    if (endLine > startLine) w.doc->DeleteLines(startLine + 1, endLine - startLine);
    w.doc->SetLine(startLine, joined);
    return true;
}

}  // namespace

UndoRecord::~UndoRecord() { CloseTempFile(*this); }

UndoRecord& TheUndoRecord() {
    static UndoRecord record;
    return record;
}

void InitUndoRecord(Application& app) {
    UndoRecord& u = TheUndoRecord();
    u.app = &app;
    app.undo = &u;
    u.lineBufferSize = WorkBufferSize();
    u.undoKind = kUndoNone;
    EnsureTempFile(u);
}

void ResetUndoRecord() {
    UndoRecord& u = TheUndoRecord();
    CloseTempFile(u);
    if (u.app && u.app->undo == &u) u.app->undo = nullptr;
    u.app = nullptr;
    u.tempFileTried = false;
    u.undoKind = kUndoNone;
    u.lineBuffer.clear();
    u.lineBuffer.shrink_to_fit();
}

int GetUndoKind() { return TheUndoRecord().undoKind; }

void ForgetUndo() { TheUndoRecord().undoKind = kUndoNone; }

void SaveLineForUndo(EditWindow& w, std::string_view line) {
    UndoRecord& u = TheUndoRecord();
    if (u.undoKind == kUndoLine) return;
    u.lineBufferSize = WorkBufferSize();
    u.undoKind = kUndoNone;
    if (line.size() >= static_cast<std::size_t>(u.lineBufferSize)) return;
    try {
        u.lineBuffer.assign(line);
    } catch (const std::bad_alloc&) {
        return;
    }
    StorePositions(u, w);
    u.undoKind = kUndoLine;
}

void SaveTextForUndo(EditWindow& w, std::string_view text) {
    UndoRecord& u = TheUndoRecord();
    u.undoKind = kUndoNone;
    if (text.empty() || !EnsureTempFile(u)) return;
    std::FILE* f = u.tempFile;
    if (!WriteHeader(f, text.size()) || std::fwrite(text.data(), 1, text.size(), f) != text.size() ||
        !WriteEnd(f))
        return;
    StorePositions(u, w);
    u.endsWithLastBreak = false;
    u.undoKind = kUndoDeletedText;
}

void SaveRangeForUndo(EditWindow& w, const DragRange& range) {
    UndoRecord& u = TheUndoRecord();
    u.undoKind = kUndoNone;
    if (!EnsureTempFile(u)) return;
    long long size = RangeTextSize(w, range);
    const LastBreak lastBreak = ClassifyLastBreak(w, range);
    // A CR LF left out stays in the file behind the saved length.
    if (lastBreak == LastBreak::Dropped) size -= 2;
    if (size <= 0) return;
    if (!WriteHeader(u.tempFile, static_cast<std::uint64_t>(size))) {
        ShowMessage(kMessageWriteFailed, u.tempFileName);
        return;
    }
    if (WriteRangeToStream(w, range, u.tempFile, kHeaderSize, u.tempFileName) != 0) return;
    if (!WriteEnd(u.tempFile)) {
        ShowMessage(kMessageWriteFailed, u.tempFileName);
        return;
    }
    StorePositions(u, w);
    u.endsWithLastBreak = lastBreak == LastBreak::AtDocumentEnd;
    u.undoKind = kUndoDeletedText;
}

void BeginInsertUndo(EditWindow& w) {
    UndoRecord& u = TheUndoRecord();
    StorePositions(u, w);
    u.undoKind = kUndoNone;
}

void EndInsertUndo(EditWindow& w) {
    UndoRecord& u = TheUndoRecord();
    u.insertEndLine = w.caretLine;
    u.insertEndCol = w.caretCol;
    u.undoKind = kUndoInsertion;
}

void Undo(EditWindow& w) {
    UndoRecord& u = TheUndoRecord();
    switch (u.undoKind) {
    case kUndoDeletedText: {
        std::string text;
        if (!ReadSavedText(u, text)) return;
        const bool lineExists = w.caretLine >= 0 && w.caretLine < w.LineCount();
        if (u.endsWithLastBreak && lineExists && text.size() >= 2 &&
            text.compare(text.size() - 2, 2, "\r\n") == 0)
            text.resize(text.size() - 2);
        if (InsertTextAtCursor(w, text, LineEndRule::Exact) != 0) return;
        break;
    }
    case kUndoInsertion:
        if (!RemoveInsertion(w, u)) return;
        break;
    case kUndoLine:
        // The record does not remember its line: it goes where the cursor now stands.
        if (w.doc->SetLine(std::max(w.caretLine, 0), u.lineBuffer) != 0) return;
        break;
    default:
        HostBeep();
        return;
    }
    ClearDrag(w);
    w.modified = 1;
    u.undoKind = kUndoNone;
    w.caretLine = u.savedCaretLine;
    w.caretCol = u.savedCaretCol;
    w.firstLine = u.savedFirstLine;
    w.firstCol = u.savedFirstCol;
    PlaceSystemCaret(w);
    int visLines = 0;
    int visCols = 0;
    VisibleSize(w, visLines, visCols);
    SetScrollBar(w, ScrollBar::Vertical, 0, w.firstLine, std::max(w.LineCount(), w.firstLine));
    SetScrollBar(w, ScrollBar::Horizontal, 0, w.firstCol, std::max(MaxCols() - visCols + 1, w.firstCol));
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
}

}  // namespace varlin
