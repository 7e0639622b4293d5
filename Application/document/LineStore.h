// LineStore: the lines of one document, each a byte string without its line end (any
// byte, NUL included), with the file name, the lock of the open file, the language fields
// and the comment index the painter reads. A line may be null (never stored); null and ""
// both read as an empty line, but trailing null lines are dropped by TrimTail.
// Every change to the text goes through SetLine, InsertLines and DeleteLines.
#pragma once

#include "document/DiskIdentity.h"
#include "platform/TextBlock.h"
#include "settings/EditorConfig.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace varlin {

struct EditWindow;
struct KeywordEntry;
struct LanguageDefinition;
class AdoptedBackup;
class FileLock;

// The line ends a document is written with.
enum class LineEnds { CrLf, Lf };

// One comment of the comment index; endLine is the store's capacity and endCol 5000
// for a line comment's end column and for a block comment that is never closed.
struct CommentSpan {
    std::int32_t startLine = 0;
    std::int32_t startCol = 0;
    std::int32_t endLine = 0;
    std::int32_t endCol = 0;
};

constexpr int kInitialLineCapacity = 1000000;
constexpr int kLineCapacityGrowth = 20000;
constexpr int kCommentOpenEndCol = 5000;
constexpr int kMaxSortLines = 10000;
// No document grows beyond this many lines (about a gigabyte of line entries alone): a
// position far beyond the end is clamped to it, and a change that would reach it fails
// with message 1002 instead of eating the machine's memory a line at a time.
constexpr int kMaxDocumentLines = 1 << 27;

// Told of every change to a store's lines before it is made (after, for an insertion),
// so that an undo history can keep what the change takes away. The store knows nothing
// else of it.
class LineJournal {
public:
    virtual ~LineJournal() = default;
    virtual void BeforeSet(int line) = 0;             // line (< count) is replaced
    virtual void BeforeExtend(int count, int n) = 0;  // n null lines appended after count
    virtual void AfterInsert(int at, int n) = 0;      // n null lines inserted at `at`
    virtual void BeforeDelete(int at, int n) = 0;     // lines at .. at + n - 1 go
    virtual void Cleared() = 0;                       // all lines went (a new load)
};

// The lines changed since a reader last took the span: the lines before `first` and the
// last `keptTail` lines kept their text (the tail may have moved). So the old text's lines
// first .. oldCount - keptTail - 1 became the new text's first .. newCount - keptTail - 1,
// whatever the changes were. None: first is kNoChange.
struct ChangedSpan {
    static constexpr int kNoChange = 0x7FFFFFFF;
    int first = kNoChange;
    int keptTail = kNoChange;
    bool Any() const { return first != kNoChange; }
};

class LineStore {
public:
    explicit LineStore(EditWindow* owner = nullptr);
    ~LineStore();
    LineStore(const LineStore&) = delete;
    LineStore& operator=(const LineStore&) = delete;

    bool IsFailed() const { return failed_ != 0; }
    EditWindow* Owner() const { return owner_; }

    void Clear();
    int Reserve(int n);                       // 1 done, 2 out of memory
    int EnsureLine(int i);                    // 1 done, 2 out of memory
    int Capacity() const { return capacity_; }
    int GetLineCount() const { return count_; }

    // Copies at most size - 1 bytes of line i into buffer and terminates it there.
    void GetLine(int i, char* buffer, int size) const;
    // The whole line; "" for a null entry or a line number out of range. Valid until the
    // line is changed.
    std::string_view LineView(int i) const;
    // LineView of lines from .. from + n - 1 into views, for a pass over many lines (a
    // save); lines out of range read "" as there.
    void LineViews(int from, int n, std::string_view* views) const;
    bool IsNullLine(int i) const;             // true also out of range
    // Stores a copy of text (always a string, "" included; SetNullLine stores null).
    int SetLine(int i, std::string_view text);  // 0, or -1 (bad index, out of memory)
    int SetNullLine(int i);                   // stores null at i, extending the document
    int InsertLines(int at, int n);           // 0, or -1 out of memory
    void DeleteLines(int at, int n);
    void TrimTail();
    int IsLineEmpty(int i) const;             // 1 out of range, null or ""; else 0

    // The size of the line work buffer for this document: LngLineBuffer, or more when the
    // file it was read from holds a longer line (lineBuffer), so that no line is ever cut.
    int LineBuffer() const;
    // Makes the line buffer hold a line of length bytes, with as much room again to grow
    // (but not beyond the largest buffer the settings allow); false when it cannot.
    bool FitLineBuffer(std::size_t length);

    // The file name; "" for a document without a name.
    const std::string& FileName() const { return fileName_; }
    std::string GetFileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }

    // Sorts lines from..to (inclusive) byte-wise; 1113 when to - from >= 10000.
    void SortLines(int from, int to, bool descending);

    bool HasCommentDelimiter(int i) const;
    // The spans of lines from..to - 1 and of the start line above them (CommentScanStart);
    // the lines between hold no block marker and are not read.
    void BuildCommentIndex(int from, int to);
    // The line the comment index of a range from `from` starts reading at, so that a
    // block comment opened above the range is seen: the nearest line above `from` that
    // holds a block marker (HasCommentDelimiter), or 0. The store keeps the list of such
    // lines, so this costs a binary search and not a walk back through the file.
    int CommentScanStart(int from);
    void ShiftCommentIndex(int at, int delta);
    // Newest span first, as the index puts new spans at its head.
    const std::vector<CommentSpan>& CommentIndex() const { return comments_; }

    // Loading without a copy per line: the reader hands over the block that holds the
    // file's bytes and appends lines that point into it, in the order they stand in it.
    // Such lines cost no allocation of their own until they are replaced, and while each
    // follows the one before behind a line end of one or two bytes, four bytes of index
    // a line; the blocks live until Clear.
    int AdoptBlock(TextBlock block, std::size_t size);        // 0, or -1
    int AppendBlockLine(const char* data, std::size_t size);  // 0, or -1
    // The block lines were last appended from gives way to copy, which holds the same
    // bytes (a file-backed copy, platform/TextBlock.h). False when no block was adopted.
    bool ReplaceLastBlock(TextBlock copy);
    // After a pass over the whole text: the pages of a file-backed copy that it read need
    // not stay in this process's memory (they stay in the system's file cache).
    void ReleaseReadPages() const;
    // SetLine for an operation that sets many lines in one go (replacing all hits): the
    // copy goes into a shared block of the store instead of an allocation of its own, so
    // a million changed lines cost a few dozen allocations and go back as quickly. A block
    // is given back when the last of its lines is replaced or deleted; the line reads,
    // changes and moves like any other.
    int SetPooledLine(int i, std::string_view text);  // 0, or -1 (bad index, out of memory)
    // For scans that read many lines as one piece of memory (a search): from line on, at
    // most maxLines lines whose bytes lie in one read block in their order. Each line of
    // the run that is not empty starts at or after the end of the one before it, in the
    // same block; empty lines (null or "") may stand anywhere in it. *data and *size get
    // the bytes from the first non-empty line's start to the last one's end (size 0 when
    // all are empty); the bytes between two lines (their line ends, or none) belong to the
    // block and may be read. Returns the number of lines in the run: 0 when line is out of
    // range or a non-empty line that is not in a read block (a changed line). Read only;
    // valid until the next change of the store.
    int BlockRun(int line, int maxLines, const char** data, std::size_t* size) const;
    // Makes room for n line entries at once (Reserve only moves the capacity number).
    int ReserveLines(int n);                  // 1 done, 2 out of memory
    // Bytes the store holds in its own memory (entries, blocks that are not file-backed,
    // changed lines), for tests.
    std::size_t MemoryUsed() const;

    // Language fields, filled by SelectLanguage. `language` is the definition the others
    // come from (kept with colouring off, for the routine jumps): keywordTable points into
    // it, and it holds the routine pattern or rule.
    std::shared_ptr<const LanguageDefinition> language;
    const KeywordEntry* keywordTable = nullptr;
    std::string lineCommentMarker;
    std::string blockOpenMarker;
    std::string blockCloseMarker;
    bool highlight = false;
    int languageLabelId = 1614;

    // The lines read as UTF-8 characters rather than through the global code table
    // (document/DocumentEncoding.h); the bytes are the same either way.
    bool utf8 = false;
    // The line ends were chosen for the document (new, or by its .editorconfig): written
    // whatever KeepLineEnds says (DocumentStyle.h).
    bool lineEndsChosen = false;

    // The span changed since the last call, which starts a new one (a view that reads the
    // text as characters follows the changes with it). Costs the store two comparisons a
    // change.
    ChangedSpan TakeChangedSpan();

    // The journal told of every change (null: none). Set by the undo history.
    LineJournal* journal = nullptr;
    // How the lines end when the document is saved, chosen when it is loaded (CR LF for
    // a new document); kept through Save As.
    LineEnds lineEnds = LineEnds::CrLf;
    int lineBuffer = 0;  // 0: LngLineBuffer's size (LineBuffer)
    // What the file's .editorconfig asks for (document/DocumentStyle.h): null when nothing.
    std::unique_ptr<FileStyle> fileStyle;
    const FileStyle& Style() const;
    // Where a text-mode load stopped at a Ctrl+Z before the end of the file (-1: it did
    // not); saving over that file asks first, since the rest would be lost.
    long long cutAtCtrlZ = -1;
    // The file as it was when loaded or last saved, to notice changes by other programs;
    // and the changed state whose reload the user declined (not offered again).
    DiskIdentity disk;
    DiskIdentity declinedReload;

    // The open, locked file while LockMode holds it (null when none).
    std::unique_ptr<FileLock> lockedFile;
    // Backups that saves of the file cut short left beside it, found when it was loaded
    // and not yet offered to the user.
    std::vector<std::string> leftoverBackups;
    // The leftover backup whose text this document shows (null when none): removed when
    // the document is saved or discarded.
    std::unique_ptr<AdoptedBackup> adoptedBackup;

private:
    // The line index (document/LineIndex.h, four bytes a line, as long as the document
    // and not the capacity) and the list of lines with block-comment markers.
    struct Storage;
    bool GrowEntries(std::size_t n);
    void FreeLine(std::size_t i);
    int StoreLine(int i, std::string_view text, bool pooled);
    // Lines at .. at + removed - 1 of the current count give way to `added` lines.
    void NoteChange(int at, int removed);
    ChangedSpan changed_;
    EditWindow* owner_ = nullptr;
    std::string fileName_;
    int capacity_ = kInitialLineCapacity;
    int count_ = 0;
    int failed_ = 0;
    std::unique_ptr<Storage> storage_;
    std::vector<CommentSpan> comments_;  // comments_[0] is the head of the list
};

}  // namespace varlin
