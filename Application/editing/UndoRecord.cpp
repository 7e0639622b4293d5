// UndoRecord: saving the program's single undo step and applying it. Deleted text goes
// to a private temporary file with its length in front, because lines may hold any byte
// (NUL, CR and 0x1A included) and must come back exactly as they were.
#include "editing/UndoRecord.h"

#include "editing/BlockInsert.h"
#include "editing/EditActions.h"
#include "editing/RangeText.h"
#include "editing/UndoHistory.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "platform/TempFiles.h"
#include "settings/Options.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
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

// A new step replaces whatever the record held.
void BeginStep(UndoRecord& u, const EditWindow& w) {
    ++u.stepNumber;
    u.stepRevision = 0;
    u.window = &w;
    u.fromSavedText = w.modified == 0;
    u.complete = false;
    u.addedFrom = -1;
    u.joinedLines.clear();
}

// Lines the step wrote past the end of the document go again with it: the count before.
int AddedFrom(const EditWindow& w, int line) { return line >= w.LineCount() ? w.LineCount() : -1; }

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    h += v * 0x9E3779B97F4A7C15ull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 32);
}

// How lines first ... last read, lines past the end told apart from empty ones.
std::uint64_t LinesPrint(const EditWindow& w, int first, int last) {
    std::uint64_t h = Mix(0, static_cast<std::uint64_t>(last - first));
    const int count = w.LineCount();
    for (int l = first; l <= last; ++l) {
        if (l >= count) {
            h = Mix(h, ~0ull);
            continue;
        }
        std::string_view v = w.doc->LineView(l);
        h = Mix(h, v.size());
        std::size_t k = 0;
        for (; k + 8 <= v.size(); k += 8) {
            std::uint64_t word;
            std::memcpy(&word, v.data() + k, 8);
            h = Mix(h, word);
        }
        std::uint64_t rest = 0;
        for (; k < v.size(); ++k) rest = (rest << 8) | static_cast<unsigned char>(v[k]);
        h = Mix(h, rest);
    }
    return h;
}

int LastLine(const UndoRecord& u) { return u.undoKind == kUndoInsertion ? u.insertEndLine : u.stepLine; }

// Whether the step's lines read as the step left them, so that it can be applied. The empty
// lines a step added before the line it wrote are walked only when asked (at Undo, which
// removes them anyway): the actions that could fill them are the step's own.
enum class Gap { Skip, Check };
bool StepStands(const EditWindow& w, const UndoRecord& u, Gap gap = Gap::Check) {
    if (u.window != &w || !u.complete) return false;
    const int last = LastLine(u);
    if (LinesPrint(w, u.stepLine, last) != u.linesPrint) return false;
    if (u.addedFrom < 0) return true;
    // The lines the step added past the old end are still the document's last ones and
    // hold nothing but what the step wrote.
    if (w.LineCount() > last + 1) return false;
    if (gap == Gap::Skip) return true;
    for (int l = u.addedFrom; l < u.stepLine; ++l)
        if (!w.doc->IsLineEmpty(l)) return false;
    return true;
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

// Kind 2: removes the text between the start of the insertion and its end, joining the
// lines it spans; an insertion past the old end goes with the lines it added.
void RemoveInsertion(EditWindow& w, const UndoRecord& u) {
    if (u.addedFrom >= 0) {
        w.doc->DeleteLines(u.addedFrom, w.LineCount() - u.addedFrom);
        return;
    }
    std::string_view a = w.doc->LineView(u.stepLine);
    std::string_view b = w.doc->LineView(u.insertEndLine);
    const std::size_t s = std::min(static_cast<std::size_t>(u.stepIndex), a.size());
    const std::size_t e = std::min(static_cast<std::size_t>(u.insertEndIndex), b.size());
    std::string joined;
    joined.reserve(s + b.size() - e);
    joined.append(a.substr(0, s)).append(b.substr(e));
    if (u.insertEndLine > u.stepLine) w.doc->DeleteLines(u.stepLine + 1, u.insertEndLine - u.stepLine);
    w.doc->SetLine(u.stepLine, joined);
}

// Kind 3: the line as it was, the lines joined onto it behind it again; a line written past
// the old end goes with the lines added before it.
int RestoreLine(EditWindow& w, const UndoRecord& u) {
    if (u.addedFrom >= 0) {
        w.doc->DeleteLines(u.addedFrom, w.LineCount() - u.addedFrom);
        return 0;
    }
    const int n = static_cast<int>(u.joinedLines.size());
    if (n > 0 && w.doc->InsertLines(u.stepLine + 1, n) != 0) return -1;
    for (int k = 0; k < n; ++k) w.doc->SetLine(u.stepLine + 1 + k, u.joinedLines[static_cast<std::size_t>(k)]);
    return w.doc->SetLine(u.stepLine, u.lineBuffer);
}

// Kind 1: the saved text goes in again where it was taken out.
int PutBackText(EditWindow& w, UndoRecord& u) {
    std::string text;
    if (!ReadSavedText(u, text)) return -1;
    const bool lineExists = u.stepLine < w.LineCount();
    if (u.endsWithLastBreak && lineExists && text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.resize(text.size() - 2);
    w.caretLine = u.stepLine;
    w.caretCol = IndexToColumn(w, w.doc->LineView(u.stepLine), u.stepIndex);
    return InsertTextAtCursor(w, text, LineEndRule::Exact);
}

}  // namespace

UndoRecord::~UndoRecord() { CloseTempFile(*this); }

UndoRecord& TheUndoRecord() {
    static UndoRecord record;
    return record;
}

void InitUndoRecord() {
    UndoRecord& u = TheUndoRecord();
    u.lineBufferSize = CurrentOptions().LineBufferSize();
    u.undoKind = kUndoNone;
    EnsureTempFile(u);
}

void ResetUndoRecord() {
    UndoRecord& u = TheUndoRecord();
    CloseTempFile(u);
    u.tempFileTried = false;
    u.undoKind = kUndoNone;
    u.window = nullptr;
    u.joinedLines.clear();
    u.lineBuffer.clear();
    u.lineBuffer.shrink_to_fit();
}

int GetUndoKind() { return TheUndoRecord().undoKind; }

void ForgetUndo() {
    TheUndoRecord().undoKind = kUndoNone;
    EndHistoryStep();
}

void ForgetUndoOf(const EditWindow& w) {
    DropHistory(w);
    UndoRecord& u = TheUndoRecord();
    if (u.window != &w) return;
    u.undoKind = kUndoNone;
    u.window = nullptr;
}

bool CanUndoIn(const EditWindow* w) {
    if (UndoHistoryOn()) return HistoryCanUndo(w);
    const UndoRecord& u = TheUndoRecord();
    return w && u.undoKind != kUndoNone && u.window == w;
}

void SaveLineForUndo(EditWindow& w, std::string_view line) {
    UndoRecord& u = TheUndoRecord();
    const int lineNo = std::max(w.caretLine, 0);
    HistoryLineStep(w, lineNo);
    if (u.undoKind == kUndoLine && u.stepLine == lineNo && StepStands(w, u, Gap::Skip)) return;
    u.lineBufferSize = WorkBufferSize(w);
    u.undoKind = kUndoNone;
    if (line.size() >= static_cast<std::size_t>(u.lineBufferSize)) return;
    BeginStep(u, w);
    try {
        u.lineBuffer.assign(line);
    } catch (const std::bad_alloc&) {
        return;
    }
    StorePositions(u, w);
    u.stepLine = lineNo;
    u.addedFrom = AddedFrom(w, lineNo);
    // Complete once the action has changed the line (EndUndoStep): one that gives up
    // leaves nothing to undo.
    u.undoKind = kUndoLine;
}

void SaveJoinedLineForUndo(EditWindow& w, std::string_view lower) {
    UndoRecord& u = TheUndoRecord();
    if (u.undoKind != kUndoLine || u.window != &w) return;
    try {
        u.joinedLines.emplace_back(lower);
    } catch (const std::bad_alloc&) {
        u.undoKind = kUndoNone;
    }
}

void SaveTextForUndo(EditWindow& w, std::string_view text) {
    UndoRecord& u = TheUndoRecord();
    HistoryRecordStep(w);
    u.undoKind = kUndoNone;
    if (text.empty() || !EnsureTempFile(u)) return;
    std::FILE* f = u.tempFile;
    if (!WriteHeader(f, text.size()) || std::fwrite(text.data(), 1, text.size(), f) != text.size() ||
        !WriteEnd(f))
        return;
    BeginStep(u, w);
    StorePositions(u, w);
    u.endsWithLastBreak = false;
    u.undoKind = kUndoDeletedText;
}

void SaveRangeForUndo(EditWindow& w, const DragRange& range) {
    UndoRecord& u = TheUndoRecord();
    HistoryRecordStep(w);
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
    BeginStep(u, w);
    StorePositions(u, w);
    u.endsWithLastBreak = lastBreak == LastBreak::AtDocumentEnd;
    u.undoKind = kUndoDeletedText;
}

void EndUndoStep(EditWindow& w) {
    HistoryStepDone(w);
    UndoRecord& u = TheUndoRecord();
    if (u.window != &w) return;
    if (u.undoKind == kUndoDeletedText) {
        u.stepLine = std::max(w.caretLine, 0);
        u.stepIndex = ColumnToIndex(w, w.doc->LineView(u.stepLine), w.caretCol);
    } else if (u.undoKind != kUndoLine) {
        return;
    }
    u.linesPrint = LinesPrint(w, u.stepLine, u.stepLine);
    u.complete = true;
    ++u.stepRevision;
}

void BeginInsertUndo(EditWindow& w) {
    HistoryRecordStep(w);
    UndoRecord& u = TheUndoRecord();
    BeginStep(u, w);
    StorePositions(u, w);
    u.stepLine = std::max(w.caretLine, 0);
    u.stepIndex = ColumnToIndex(w, w.doc->LineView(u.stepLine), w.caretCol);
    u.addedFrom = AddedFrom(w, u.stepLine);
    u.undoKind = kUndoNone;
}

void EndInsertUndo(EditWindow& w) {
    HistoryStepDone(w);
    UndoRecord& u = TheUndoRecord();
    if (u.window != &w) return;
    u.insertEndLine = std::max(w.caretLine, 0);
    u.insertEndCol = w.caretCol;
    u.insertEndIndex = ColumnToIndex(w, w.doc->LineView(u.insertEndLine), w.caretCol);
    // Nothing inserted, nothing to undo.
    if (u.insertEndLine < u.stepLine || (u.insertEndLine == u.stepLine && u.insertEndIndex <= u.stepIndex))
        return;
    u.linesPrint = LinesPrint(w, u.stepLine, u.insertEndLine);
    u.complete = true;
    ++u.stepRevision;
    u.undoKind = kUndoInsertion;
}

void ShiftUndoLines(const EditWindow& w, int at, int delta) {
    UndoRecord& u = TheUndoRecord();
    if (u.undoKind == kUndoNone || u.window != &w || !u.complete || delta == 0) return;
    u.fromSavedText = false;  // lines outside the step changed
    const int first = u.addedFrom >= 0 ? std::min(u.addedFrom, u.stepLine) : u.stepLine;
    const int last = LastLine(u);
    const int removed = delta < 0 ? -delta : 0;
    if (at + removed > first) {
        // Lines inserted below the step, or inserted or deleted past its end, leave it be.
        if (at > last) return;
        u.undoKind = kUndoNone;  // its own lines were hit
        return;
    }
    auto move = [at, delta, removed](int& line) {
        if (line >= at + removed)
            line += delta;
        else if (line >= at)
            line = at;
    };
    move(u.stepLine);
    move(u.insertEndLine);
    if (u.addedFrom >= 0) move(u.addedFrom);
    move(u.savedCaretLine);
    move(u.savedFirstLine);
}

void Undo(EditWindow& w) {
    if (UndoHistoryOn()) {
        HistoryUndo(w);
        return;
    }
    UndoRecord& u = TheUndoRecord();
    if (u.undoKind == kUndoNone || u.window != &w) {
        HostBeep();
        return;
    }
    if (!StepStands(w, u)) {
        // Something else has changed the step's lines since: it no longer fits them.
        u.undoKind = kUndoNone;
        HostBeep();
        return;
    }
    switch (u.undoKind) {
    case kUndoDeletedText:
        if (PutBackText(w, u) != 0) return;
        break;
    case kUndoInsertion:
        RemoveInsertion(w, u);
        break;
    default:
        if (RestoreLine(w, u) != 0) return;
        break;
    }
    ClearDrag(w);
    w.modified = u.fromSavedText ? 0 : 1;
    u.undoKind = kUndoNone;
    w.caretLine = u.savedCaretLine;
    w.caretCol = u.savedCaretCol;
    w.firstLine = u.savedFirstLine;
    w.firstCol = u.savedFirstCol;
    ShowViewAfterUndo(w);
}

void ShowViewAfterUndo(EditWindow& w) {
    PlaceSystemCaret(w);
    int visLines = 0;
    int visCols = 0;
    VisibleSize(w, visLines, visCols);
    SetScrollBar(w, ScrollBar::Vertical, 0, w.firstLine, std::max(w.LineCount(), w.firstLine));
    SetScrollBar(w, ScrollBar::Horizontal, 0, w.firstCol, std::max(MaxCols(w) - visCols + 1, w.firstCol));
    RepaintAll(w);
    RefreshStatus(w, kStatusAll);
}

void Redo(EditWindow& w) {
    if (UndoHistoryOn())
        HistoryRedo(w);
    else
        HostBeep();
}

bool CanRedoIn(const EditWindow* w) { return UndoHistoryOn() && HistoryCanRedo(w); }

}  // namespace varlin
