// LineStore: the lines of one document, kept by a LineIndex: a loaded file stays in the
// block the reader filled, a changed line gets an allocation of its own (or a place in a
// pool block), and inserting or deleting lines moves 4-byte entries. The capacity is a
// number the editor's rules grow, never an allocation: an empty store holds only a few
// hundred bytes.
#include "document/LineStore.h"

#include "document/FileLock.h"
#include "document/LeftoverBackup.h"
#include "document/LineIndex.h"
#include "document/Language.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "settings/Options.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numeric>

namespace varlin {
namespace {

constexpr int kOutOfMemory = 1002;
constexpr int kTooManyToSort = 1113;
constexpr std::size_t kMaxLineSize = LineIndex::kMaxLine;

bool StartsWith(std::string_view text, std::size_t at, const std::string& marker) {
    return !marker.empty() && text.size() - at >= marker.size() &&
           std::memcmp(text.data() + at, marker.data(), marker.size()) == 0;
}

// Whether marker occurs anywhere in text; memchr finds the candidates for its first byte.
bool Contains(std::string_view text, const std::string& marker) {
    if (marker.empty() || text.size() < marker.size()) return false;
    const char* p = text.data();
    const char* const last = text.data() + (text.size() - marker.size());
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, marker[0], static_cast<std::size_t>(last - p) + 1));
        if (!p) return false;
        if (std::memcmp(p + 1, marker.data() + 1, marker.size() - 1) == 0) return true;
        ++p;
    }
    return false;
}

// The lines that hold a block-comment marker, ascending, so that the comment index finds
// the nearest one above a screen by a binary search instead of reading back line by line
// (in a file without block comments, back to the first line). It is kept up to date by
// every change of the lines while it is valid, and holds for the markers it was built
// with: the language fields are set from outside, so a use compares them first. Loading
// leaves it invalid, and the first look-back far down the file builds it in one pass.
struct MarkedLines {
    std::vector<std::int32_t> lines;
    std::string open;
    std::string close;
    bool valid = false;

    bool Holds(std::string_view text) const { return Contains(text, open) || Contains(text, close); }

    void Invalidate() {
        valid = false;
        std::vector<std::int32_t>().swap(lines);
    }

    // Line i now reads text.
    void Update(int i, std::string_view text) {
        if (!valid) return;
        const bool holds = Holds(text);
        auto it = std::lower_bound(lines.begin(), lines.end(), i);
        const bool listed = it != lines.end() && *it == i;
        if (holds == listed) return;
        if (listed) {
            lines.erase(it);
            return;
        }
        try {
            lines.insert(it, i);
        } catch (const std::bad_alloc&) {
            Invalidate();  // rebuilt on its next use
        }
    }

    // Lines from at on moved by delta (an insert, or the lines after a deleted range).
    void Shift(int at, int delta) {
        if (!valid) return;
        for (auto it = std::lower_bound(lines.begin(), lines.end(), at); it != lines.end(); ++it) *it += delta;
    }

    void Delete(int at, int n) {
        if (!valid) return;
        auto first = std::lower_bound(lines.begin(), lines.end(), at);
        auto last = std::lower_bound(first, lines.end(), at + n);
        for (auto it = last; it != lines.end(); ++it) *it -= n;
        lines.erase(first, last);
    }

    // The greatest listed line below from, or 0.
    int Below(int from) const {
        auto it = std::lower_bound(lines.begin(), lines.end(), from);
        return it == lines.begin() ? 0 : *(it - 1);
    }
};

}  // namespace

struct LineStore::Storage {
    LineIndex index;  // as many entries as the document has lines
    MarkedLines marked;
};

LineStore::LineStore(EditWindow* owner) : owner_(owner) {
    storage_.reset(new (std::nothrow) Storage);
    if (!storage_) {
        ShowMessage(kOutOfMemory);
        failed_ = 1;
        return;
    }
    SelectLanguage(*this, 1);
}

LineStore::~LineStore() {
    lockedFile.reset();
    if (storage_) Clear();
    SelectLanguage(*this, 0);
}

void LineStore::NoteChange(int at, int removed) {
    changed_.first = std::min(changed_.first, at);
    changed_.keptTail = std::min(changed_.keptTail, std::max(count_ - at - removed, 0));
}

ChangedSpan LineStore::TakeChangedSpan() {
    ChangedSpan span = changed_;
    changed_ = ChangedSpan{};
    return span;
}

void LineStore::Clear() {
    if (journal) journal->Cleared();
    NoteChange(0, count_);
    comments_.clear();
    if (!storage_) return;
    storage_->index.Clear();
    storage_->marked.Invalidate();
    count_ = 0;
}

bool LineStore::GrowEntries(std::size_t n) {
    if (!storage_) return false;
    if (!storage_->index.Reserve(n)) {
        ShowMessage(kOutOfMemory);
        return false;
    }
    return true;
}

int LineStore::Reserve(int n) {
    int want = std::max(n, count_);
    if (want <= capacity_) return 1;
    capacity_ = want;
    return 1;
}

int LineStore::ReserveLines(int n) {
    if (n <= 0) return 1;
    return GrowEntries(static_cast<std::size_t>(n)) ? 1 : 2;
}

int LineStore::EnsureLine(int i) {
    if (i < 0) return 1;
    if (i >= capacity_) {
        if (i >= kMaxDocumentLines) {
            ShowMessage(kOutOfMemory);
            return 2;
        }
        if (Reserve(i + kLineCapacityGrowth) != 1) return 2;
    }
    if (i >= count_) {
        std::size_t n = static_cast<std::size_t>(i) + 1;
        if (!GrowEntries(n)) return 2;
        if (journal) journal->BeforeExtend(count_, i + 1 - count_);
        NoteChange(count_, 0);
        storage_->index.Extend(n);  // the room is there
        count_ = i + 1;
    }
    return 1;
}

std::string_view LineStore::LineView(int i) const {
    if (i < 0 || i >= count_ || !storage_) return {};
    return storage_->index.View(static_cast<std::size_t>(i));
}

void LineStore::LineViews(int from, int n, std::string_view* views) const {
    for (int k = 0; k < n; ++k) {
        const int i = from + k;
        views[k] = i < 0 || i >= count_ || !storage_ ? std::string_view() : storage_->index.View(static_cast<std::size_t>(i));
    }
}

bool LineStore::IsNullLine(int i) const {
    return i < 0 || i >= count_ || !storage_ || storage_->index.IsNull(static_cast<std::size_t>(i));
}

void LineStore::GetLine(int i, char* buffer, int size) const {
    if (!buffer || size <= 0) return;
    std::string_view line = LineView(i);
    std::size_t n = std::min(line.size(), static_cast<std::size_t>(size - 1));
    if (n) std::memcpy(buffer, line.data(), n);
    buffer[n] = 0;
    buffer[size - 1] = 0;
}

int LineStore::SetLine(int i, std::string_view text) { return StoreLine(i, text, false); }

int LineStore::SetPooledLine(int i, std::string_view text) { return StoreLine(i, text, true); }

int LineStore::StoreLine(int i, std::string_view text, bool pooled) {
    if (i < 0 || !storage_) return -1;
    if (text.size() > kMaxLineSize) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    if (journal && i < count_) journal->BeforeSet(i);
    if (i < count_) NoteChange(i, 1);
    if (EnsureLine(i) != 1) return -1;
    if (!storage_->index.Set(static_cast<std::size_t>(i), text, pooled)) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    if (storage_->marked.valid) storage_->marked.Update(i, text.empty() ? std::string_view() : LineView(i));
    return 0;
}

int LineStore::SetNullLine(int i) {
    if (i < 0 || !storage_) return -1;
    if (journal && i < count_) journal->BeforeSet(i);
    if (i < count_) NoteChange(i, 1);
    if (EnsureLine(i) != 1) return -1;
    if (!storage_->index.SetNull(static_cast<std::size_t>(i))) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    storage_->marked.Update(i, {});
    return 0;
}

int LineStore::AdoptBlock(TextBlock block, std::size_t size) {
    if (!storage_) return -1;
    if (!storage_->index.AdoptBlock(std::move(block), size)) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    return 0;
}

bool LineStore::ReplaceLastBlock(TextBlock copy) {
    return storage_ && storage_->index.ReplaceLastBlock(std::move(copy));
}

void LineStore::ReleaseReadPages() const {
    if (storage_) storage_->index.ReleaseMappedPages();
}

int LineStore::AppendBlockLine(const char* data, std::size_t size) {
    if (!storage_ || size > kMaxLineSize) return -1;
    if (count_ >= capacity_) {
        if (count_ > INT_MAX - kLineCapacityGrowth) {
            ShowMessage(kOutOfMemory);
            return -1;
        }
        Reserve(count_ + kLineCapacityGrowth);
    }
    if (!storage_->index.AppendBlockLine(data, size)) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    NoteChange(count_, 0);
    ++count_;
    // Reading each line for markers here would slow every load; the first look-back
    // that needs the list reads them all at once.
    if (storage_->marked.valid) storage_->marked.Invalidate();
    return 0;
}

int LineStore::BlockRun(int line, int maxLines, const char** data, std::size_t* size) const {
    *data = nullptr;
    *size = 0;
    if (line < 0 || line >= count_ || maxLines < 1 || !storage_) return 0;
    const auto last = static_cast<std::size_t>(std::min<long long>(count_, static_cast<long long>(line) + maxLines));
    return static_cast<int>(storage_->index.BlockRun(static_cast<std::size_t>(line), last, data, size));
}

int LineStore::InsertLines(int at, int n) {
    if (n < 1 || at < 0 || at >= count_ || !storage_) return 0;
    if (n >= kMaxDocumentLines - count_) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    if (count_ + n > capacity_ && Reserve(count_ + n + kLineCapacityGrowth) != 1) return -1;
    Storage& s = *storage_;
    if (!s.index.Insert(static_cast<std::size_t>(at), static_cast<std::size_t>(n))) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    NoteChange(at, 0);
    count_ += n;
    if (journal) journal->AfterInsert(at, n);
    s.marked.Shift(at, n);
    ShiftCommentIndex(at, n);
    return 0;
}

void LineStore::DeleteLines(int at, int n) {
    if (n < 1 || at < 0 || at >= count_ || !storage_) return;
    n = std::min(n, count_ - at);
    Storage& s = *storage_;
    // Out of memory for the one slot a deletion may need, nothing is deleted.
    if (!s.index.MakeRoom(1)) {
        ShowMessage(kOutOfMemory);
        return;
    }
    if (journal) journal->BeforeDelete(at, n);
    NoteChange(at, n);
    s.index.Erase(static_cast<std::size_t>(at), static_cast<std::size_t>(n));
    count_ -= n;
    s.marked.Delete(at, n);
    ShiftCommentIndex(at, -n);
}

void LineStore::TrimTail() {
    // Only null lines go, and a null line holds no marker: the marked lines stay.
    if (!storage_) return;
    int keep = count_;
    while (keep >= 1 && IsNullLine(keep - 1)) --keep;
    if (keep < count_) {
        if (journal) journal->BeforeDelete(keep, count_ - keep);
        NoteChange(keep, count_ - keep);
    }
    storage_->index.DropNullTail();
    count_ = static_cast<int>(storage_->index.Count());
}

int LineStore::IsLineEmpty(int i) const { return LineView(i).empty() ? 1 : 0; }

int LineStore::LineBuffer() const { return std::max(CurrentOptions().LineBufferSize(), lineBuffer); }

const FileStyle& LineStore::Style() const {
    static const FileStyle none;
    return fileStyle ? *fileStyle : none;
}

bool LineStore::FitLineBuffer(std::size_t length) {
    const std::size_t need = length + 1;  // the terminator the work buffer keeps
    if (need <= static_cast<std::size_t>(LineBuffer())) return true;
    if (need > static_cast<std::size_t>(kMaxLineBuffer)) return false;
    lineBuffer = static_cast<int>(std::min(2 * need, static_cast<std::size_t>(kMaxLineBuffer)));
    return true;
}

std::size_t LineStore::MemoryUsed() const {
    std::size_t bytes = sizeof(*this) + comments_.capacity() * sizeof(CommentSpan);
    if (!storage_) return bytes;
    const Storage& s = *storage_;
    return bytes + sizeof(Storage) + s.index.MemoryUsed() + s.marked.lines.capacity() * sizeof(std::int32_t);
}

void LineStore::SortLines(int from, int to, bool descending) {
    if (to <= from || !storage_) return;
    if (to - from >= kMaxSortLines) {
        ShowMessage(kTooManyToSort);
        return;
    }
    from = std::max(from, 0);
    to = std::min(to, count_ - 1);
    if (to <= from) return;
    WaitCursor wait;
    std::vector<int> order(static_cast<std::size_t>(to - from + 1));
    std::iota(order.begin(), order.end(), from);
    // Byte-wise on unsigned bytes (char_traits<char> compares as unsigned char); a null
    // entry compares as "". Stable, so that equal lines keep their order.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return descending ? LineView(b) < LineView(a) : LineView(a) < LineView(b);
    });
    // The journal hears of the lines only once the new order can be stored.
    if (!storage_->index.MakeRoom(order.size() + 1)) {
        ShowMessage(kOutOfMemory);
        return;
    }
    if (journal)
        for (int i = from; i <= to; ++i) journal->BeforeSet(i);
    NoteChange(from, to - from + 1);
    if (!storage_->index.Permute(static_cast<std::size_t>(from), order)) {
        ShowMessage(kOutOfMemory);
        return;
    }
    // The marked lines of the range are the same lines in a new order.
    MarkedLines& marked = storage_->marked;
    if (marked.valid) {
        try {
            std::vector<std::int32_t> moved;
            for (std::size_t k = 0; k < order.size(); ++k) {
                if (std::binary_search(marked.lines.begin(), marked.lines.end(), order[k]))
                    moved.push_back(from + static_cast<int>(k));
            }
            auto first = std::lower_bound(marked.lines.begin(), marked.lines.end(), from);
            auto last = std::upper_bound(first, marked.lines.end(), to);
            first = marked.lines.erase(first, last);
            marked.lines.insert(first, moved.begin(), moved.end());
        } catch (const std::bad_alloc&) {
            marked.Invalidate();  // rebuilt on its next use
        }
    }
}

bool LineStore::HasCommentDelimiter(int i) const {
    if (!highlight) return false;
    std::string_view text = LineView(i);
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (StartsWith(text, k, blockOpenMarker) || StartsWith(text, k, blockCloseMarker))
            return true;
    }
    return false;
}

void LineStore::BuildCommentIndex(int from, int to) {
    comments_.clear();
    if (!highlight) return;
    const int start = CommentScanStart(from);
    to = std::min(to, count_);
    // Spans are collected oldest first and reversed at the end: the index reads newest
    // first, as a list with insertion at its head would.
    // The lines between the start line and the range hold no block marker, so all they
    // could add are line comments above the range, which colour nothing the painter
    // shows: the scan reads the start line and then the range, never the lines between
    // (in a file without block comments, all the lines above the window).
    const LanguageDefinition& rules = language ? *language : PlainScanRules();
    // Where the line marker begins the block marker ("--" and "--[["), the longer is looked
    // for first; otherwise no place starts both and the order does not matter.
    const bool blockFirst = !blockOpenMarker.empty() && !lineCommentMarker.empty() &&
                            blockOpenMarker.compare(0, lineCommentMarker.size(), lineCommentMarker) == 0;
    auto lineCommentAt = [&](std::string_view text, std::size_t k) {
        if (!StartsWith(text, k, lineCommentMarker)) return false;
        return !rules.lineCommentAfterBlank || k == 0 || text[k - 1] == ' ' || text[k - 1] == '\t';
    };
    bool inBlock = false;
    for (int line = start; line < to; line = line == start ? std::max(start + 1, from) : line + 1) {
        std::string_view text = LineView(line);
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (rules.isQuote[static_cast<unsigned char>(text[k])] && (!inBlock || rules.stringsInComments)) {
                std::size_t close = StringEnd(rules, text, k);
                if (close == std::string_view::npos) break;
                k = close;
                continue;
            }
            if (inBlock) {
                if (StartsWith(text, k, blockCloseMarker)) {
                    // The span ends on the marker's last character (its second for the
                    // two-character markers, and one behind a single character as always).
                    const std::size_t last = std::max<std::size_t>(blockCloseMarker.size(), 2) - 1;
                    comments_.back().endLine = line;
                    comments_.back().endCol = static_cast<int>(k + last);
                    inBlock = false;
                    k += blockCloseMarker.size() - 1;
                }
            } else if (!(blockFirst && StartsWith(text, k, blockOpenMarker)) && lineCommentAt(text, k)) {
                comments_.push_back({line, static_cast<int>(k), line, kCommentOpenEndCol});
                break;
            } else if (StartsWith(text, k, blockOpenMarker)) {
                comments_.push_back({line, static_cast<int>(k), capacity_, kCommentOpenEndCol});
                inBlock = true;
                k += blockOpenMarker.size() - 1;
            }
        }
    }
    std::reverse(comments_.begin(), comments_.end());
}

int LineStore::CommentScanStart(int from) {
    // Line 0 is where the scan starts when no line above the range holds a marker, so a
    // range from line 0 or 1 needs no look-back (and opening a file does not build the
    // list for its first screen).
    if (!highlight || from <= 1 || !storage_) return 0;
    MarkedLines& marked = storage_->marked;
    if (!marked.valid || marked.open != blockOpenMarker || marked.close != blockCloseMarker) {
        try {
            marked.Invalidate();
            marked.open = blockOpenMarker;
            marked.close = blockCloseMarker;
            const LineIndex& index = storage_->index;
            for (std::size_t i = 0; i < index.Count(); ++i) {
                if (marked.Holds(index.View(i))) marked.lines.push_back(static_cast<std::int32_t>(i));
            }
            marked.valid = true;
        } catch (const std::bad_alloc&) {
            marked.Invalidate();
            int start = from - 1;  // read back line by line, as without the list
            while (start > 0 && !HasCommentDelimiter(start)) --start;
            return std::max(start, 0);
        }
    }
    return marked.Below(from);
}

void LineStore::ShiftCommentIndex(int at, int delta) {
    for (CommentSpan& span : comments_) {
        if (span.startLine >= at) span.startLine += delta;
        if (span.endLine >= at) span.endLine += delta;
    }
}

}  // namespace varlin
