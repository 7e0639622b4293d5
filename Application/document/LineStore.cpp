// LineStore: the lines of one document. A loaded file stays in the large blocks the
// reader filled, and its lines point into them; a line gets an allocation of its own only
// when it is set, so replacing a line costs that line alone and inserting or deleting
// lines moves 8-byte entries. A replace-all stores the lines it changes in shared pool
// blocks instead, which go back when their last line does. The capacity is a number the editor's rules grow, never an
// allocation: an empty store holds only a few hundred bytes.
#include "document/LineStore.h"

#include "document/FileLock.h"
#include "document/LeftoverBackup.h"
#include "document/Language.h"
#include "platform/Host.h"
#include "platform/Messages.h"

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
const char kEmptyLine[1] = {0};  // every stored "" points here

// An entry is one 64-bit word: 0 for a null line; otherwise the line's address in the low
// 48 bits (where user-space addresses live) and its length in the top 16. A line too long
// for 16 bits, or one the store allocated itself, is a record of its length followed by
// its bytes, marked by the length field kOwnTag. A line in a pool block is marked by
// kPoolTag and is a PoolRecord followed by its bytes.
using Entry = std::uint64_t;
constexpr int kLengthShift = 48;
constexpr Entry kAddressMask = (Entry(1) << kLengthShift) - 1;
constexpr std::size_t kOwnTag = 0xFFFF;
constexpr std::size_t kPoolTag = 0xFFFE;
constexpr std::size_t kMaxLineSize = std::size_t(1) << 40;

bool FitsAddress(const void* p) {
    return (reinterpret_cast<std::uintptr_t>(p) & ~std::uintptr_t(kAddressMask)) == 0;
}

// A line inside a block (or ""), when it fits an entry; 0 when it does not.
Entry BlockEntry(const char* data, std::size_t size) {
    if (size == 0) data = kEmptyLine;
    if (size >= kPoolTag || !FitsAddress(data)) return 0;
    return Entry(reinterpret_cast<std::uintptr_t>(data)) | (Entry(size) << kLengthShift);
}

bool IsOwn(Entry e) { return e != 0 && (e >> kLengthShift) == kOwnTag; }
bool IsPooled(Entry e) { return e != 0 && (e >> kLengthShift) == kPoolTag; }

char* OwnRecord(Entry e) { return reinterpret_cast<char*>(std::uintptr_t(e & kAddressMask)); }

// A pool block starts with a PoolBlock; the lines follow as PoolRecords, each with its
// bytes right behind it (unaligned: records are read with memcpy). The block is freed when
// its count of lines drops to 0; the block still being filled holds one count of its own.
struct PoolBlock {
    std::size_t lines;
    std::size_t size;
};
struct PoolRecord {
    std::uint32_t offset;  // from the block's start, to find the block from a line
    std::uint32_t size;
};
constexpr std::size_t kMinPoolBlock = std::size_t(16) << 10;
constexpr std::size_t kMaxPoolBlock = std::size_t(1) << 20;

PoolRecord ReadPoolRecord(const char* record) {
    PoolRecord r;
    std::memcpy(&r, record, sizeof r);
    return r;
}

PoolBlock* PoolBlockOf(char* record) {
    return reinterpret_cast<PoolBlock*>(record - ReadPoolRecord(record).offset);
}

std::size_t OwnSize(Entry e) {
    std::uint64_t size;
    std::memcpy(&size, OwnRecord(e), sizeof size);
    return static_cast<std::size_t>(size);
}

std::string_view Decode(Entry e) {
    if (e == 0) return {};
    if (IsOwn(e)) return std::string_view(OwnRecord(e) + sizeof(std::uint64_t), OwnSize(e));
    if (IsPooled(e)) return std::string_view(OwnRecord(e) + sizeof(PoolRecord), ReadPoolRecord(OwnRecord(e)).size);
    return std::string_view(reinterpret_cast<const char*>(std::uintptr_t(e & kAddressMask)),
                            static_cast<std::size_t>(e >> kLengthShift));
}

// A copy of text: a block-style entry for "", else an own record; 0 when out of memory.
Entry CopyEntry(std::string_view text, std::size_t& ownBytes) {
    if (text.empty()) return BlockEntry(kEmptyLine, 0);
    char* record = static_cast<char*>(std::malloc(sizeof(std::uint64_t) + text.size()));
    if (!record) return 0;
    if (!FitsAddress(record)) {  // never on the platforms we know; refused like no memory
        std::free(record);
        return 0;
    }
    std::uint64_t size = text.size();
    std::memcpy(record, &size, sizeof size);
    std::memcpy(record + sizeof size, text.data(), text.size());
    ownBytes += sizeof size + text.size();
    return Entry(reinterpret_cast<std::uintptr_t>(record)) | (Entry(kOwnTag) << kLengthShift);
}

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
    std::vector<Entry> entries;  // as many as the document has lines
    std::vector<std::unique_ptr<char[]>> blocks;
    std::size_t blockBytes = 0;
    std::size_t ownBytes = 0;
    std::vector<PoolBlock*> pools;  // every pool block alive, so that Clear frees them at once
    PoolBlock* pool = nullptr;  // the pool block being filled, or null
    std::size_t poolUsed = 0;   // bytes of it in use, its PoolBlock included
    std::size_t poolBytes = 0;  // the size of all pool blocks alive
    MarkedLines marked;

    void Release(PoolBlock* block) {
        if (--block->lines != 0) {
            // The block being filled holds no line any more: it is filled again from its
            // start, so that small replace-alls one after another keep to one block.
            if (block == pool && block->lines == 1) poolUsed = sizeof(PoolBlock);
            return;
        }
        poolBytes -= block->size;
        pools.erase(std::find(pools.begin(), pools.end(), block));
        std::free(block);
    }

    // Clear: the lines are gone, so are their blocks.
    void FreePools() {
        for (PoolBlock* block : pools) std::free(block);
        std::vector<PoolBlock*>().swap(pools);
        pool = nullptr;
        poolBytes = 0;
    }

    // A copy of text in the pool; 0 when out of memory. Lines too long for a pooled entry
    // get an allocation of their own.
    Entry PoolEntry(std::string_view text) {
        if (text.empty()) return BlockEntry(kEmptyLine, 0);
        if (text.size() >= kPoolTag) return CopyEntry(text, ownBytes);
        const std::size_t need = sizeof(PoolRecord) + text.size();
        if (!pool || pool->size - poolUsed < need) {
            // Blocks grow with what the pool already holds, so that one changed line
            // does not take a megabyte and a million take a few dozen blocks.
            const std::size_t size = std::max(std::clamp(poolBytes / 8, kMinPoolBlock, kMaxPoolBlock),
                                              sizeof(PoolBlock) + need);
            auto* block = static_cast<PoolBlock*>(std::malloc(size));
            if (!block) return 0;
            if (!FitsAddress(block)) {
                std::free(block);
                return 0;
            }
            try {
                pools.push_back(block);
            } catch (const std::bad_alloc&) {
                std::free(block);
                return 0;
            }
            block->lines = 1;
            block->size = size;
            poolBytes += size;
            if (pool) Release(pool);
            pool = block;
            poolUsed = sizeof(PoolBlock);
        }
        char* record = reinterpret_cast<char*>(pool) + poolUsed;
        const PoolRecord header{static_cast<std::uint32_t>(poolUsed), static_cast<std::uint32_t>(text.size())};
        std::memcpy(record, &header, sizeof header);
        std::memcpy(record + sizeof header, text.data(), text.size());
        poolUsed += need;
        ++pool->lines;
        return Entry(reinterpret_cast<std::uintptr_t>(record)) | (Entry(kPoolTag) << kLengthShift);
    }
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

void LineStore::FreeLine(std::size_t i) {
    Storage& s = *storage_;
    Entry& e = s.entries[i];
    if (IsOwn(e)) {
        s.ownBytes -= sizeof(std::uint64_t) + OwnSize(e);
        std::free(OwnRecord(e));
    } else if (IsPooled(e)) {
        s.Release(PoolBlockOf(OwnRecord(e)));
    }
    e = 0;
}

void LineStore::Clear() {
    if (journal) journal->Cleared();
    comments_.clear();
    if (!storage_) return;
    // Pooled lines go with their blocks, not one by one (which would read each of them).
    for (Entry e : storage_->entries)
        if (IsOwn(e)) std::free(OwnRecord(e));
    storage_->ownBytes = 0;
    storage_->FreePools();
    // Memory follows the document: a cleared store gives its entries back.
    std::vector<Entry>().swap(storage_->entries);
    std::vector<std::unique_ptr<char[]>>().swap(storage_->blocks);
    storage_->blockBytes = 0;
    storage_->marked.Invalidate();
    count_ = 0;
}

bool LineStore::GrowEntries(std::size_t n) {
    if (!storage_) return false;
    std::vector<Entry>& entries = storage_->entries;
    if (n <= entries.capacity()) return true;
    try {
        entries.reserve(std::max(n, entries.size() + entries.size() / 2));
    } catch (const std::exception&) {  // bad_alloc or length_error
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
        storage_->entries.resize(n, 0);
        count_ = i + 1;
    }
    return 1;
}

std::string_view LineStore::LineView(int i) const {
    if (i < 0 || i >= count_ || !storage_) return {};
    return Decode(storage_->entries[i]);
}

bool LineStore::IsNullLine(int i) const {
    return i < 0 || i >= count_ || !storage_ || storage_->entries[i] == 0;
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
    if (EnsureLine(i) != 1) return -1;
    // Copy first: text may be a view of the line being replaced.
    Entry copy = pooled ? storage_->PoolEntry(text) : CopyEntry(text, storage_->ownBytes);
    FreeLine(static_cast<std::size_t>(i));
    storage_->entries[i] = copy;
    storage_->marked.Update(i, Decode(copy));
    if (copy == 0) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    return 0;
}

int LineStore::SetNullLine(int i) {
    if (i < 0 || !storage_) return -1;
    if (journal && i < count_) journal->BeforeSet(i);
    if (EnsureLine(i) != 1) return -1;
    FreeLine(i);
    storage_->marked.Update(i, {});
    return 0;
}

int LineStore::AdoptBlock(std::unique_ptr<char[]> block, std::size_t size) {
    if (!storage_) return -1;
    try {
        storage_->blocks.push_back(std::move(block));
    } catch (const std::bad_alloc&) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    storage_->blockBytes += size;
    return 0;
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
    if (!GrowEntries(static_cast<std::size_t>(count_) + 1)) return -1;
    Entry e = BlockEntry(data, size);
    if (e == 0) e = CopyEntry(std::string_view(data, size), storage_->ownBytes);
    if (e == 0) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    storage_->entries.push_back(e);
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
    const std::vector<Entry>& entries = storage_->entries;
    const auto& blocks = storage_->blocks;
    // The block a line lies in: the one that starts last at or before it (blocks do not
    // overlap). With one block (a loaded file) every block line lies in it.
    auto blockOf = [&blocks](const char* p) {
        const char* best = nullptr;
        for (const auto& b : blocks)
            if (b.get() <= p && (!best || b.get() > best)) best = b.get();
        return best;
    };
    const int last = static_cast<int>(std::min<long long>(count_, static_cast<long long>(line) + maxLines));
    const char* start = nullptr;
    const char* end = nullptr;
    const char* block = nullptr;
    int i = line;
    for (; i < last; ++i) {
        const Entry e = entries[static_cast<std::size_t>(i)];
        if (e == 0 || (e >> kLengthShift) == 0) continue;  // null or ""
        if (IsOwn(e) || IsPooled(e)) break;
        const char* p = reinterpret_cast<const char*>(std::uintptr_t(e & kAddressMask));
        if (start == nullptr) {
            start = p;
            block = blocks.size() > 1 ? blockOf(p) : nullptr;
        } else if (p < end || (blocks.size() > 1 && blockOf(p) != block)) {
            break;
        }
        end = p + (e >> kLengthShift);
    }
    if (start) {
        *data = start;
        *size = static_cast<std::size_t>(end - start);
    }
    return i - line;
}

int LineStore::InsertLines(int at, int n) {
    if (n < 1 || at < 0 || at >= count_ || !storage_) return 0;
    if (n >= kMaxDocumentLines - count_) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    if (count_ + n > capacity_ && Reserve(count_ + n + kLineCapacityGrowth) != 1) return -1;
    if (!GrowEntries(static_cast<std::size_t>(count_) + n)) return -1;
    Storage& s = *storage_;
    s.entries.insert(s.entries.begin() + at, static_cast<std::size_t>(n), Entry(0));
    count_ += n;
    if (journal) journal->AfterInsert(at, n);
    s.marked.Shift(at, n);
    ShiftCommentIndex(at, n);
    return 0;
}

void LineStore::DeleteLines(int at, int n) {
    if (n < 1 || at < 0 || at >= count_ || !storage_) return;
    n = std::min(n, count_ - at);
    if (journal) journal->BeforeDelete(at, n);
    for (int i = at; i < at + n; ++i) FreeLine(static_cast<std::size_t>(i));
    Storage& s = *storage_;
    s.entries.erase(s.entries.begin() + at, s.entries.begin() + at + n);
    count_ -= n;
    s.marked.Delete(at, n);
    ShiftCommentIndex(at, -n);
}

void LineStore::TrimTail() {
    // Only null lines go, and a null line holds no marker: the marked lines stay.
    if (!storage_) return;
    if (journal) {
        int keep = count_;
        while (keep >= 1 && storage_->entries[keep - 1] == 0) --keep;
        if (keep < count_) journal->BeforeDelete(keep, count_ - keep);
    }
    while (count_ >= 1 && storage_->entries[count_ - 1] == 0) {
        storage_->entries.pop_back();
        --count_;
    }
}

int LineStore::IsLineEmpty(int i) const { return LineView(i).empty() ? 1 : 0; }

std::size_t LineStore::MemoryUsed() const {
    std::size_t bytes = sizeof(*this) + comments_.capacity() * sizeof(CommentSpan);
    if (!storage_) return bytes;
    const Storage& s = *storage_;
    return bytes + sizeof(Storage) + s.entries.capacity() * sizeof(Entry) + s.blocks.capacity() * sizeof(std::unique_ptr<char[]>) + s.blockBytes + s.ownBytes + s.poolBytes +
           s.pools.capacity() * sizeof(PoolBlock*) +
           s.marked.lines.capacity() * sizeof(std::int32_t);
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
    if (journal)
        for (int i = from; i <= to; ++i) journal->BeforeSet(i);
    std::vector<int> order(static_cast<std::size_t>(to - from + 1));
    std::iota(order.begin(), order.end(), from);
    // Byte-wise on unsigned bytes (char_traits<char> compares as unsigned char); a null
    // entry compares as "". Stable, so that equal lines keep their order.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return descending ? LineView(b) < LineView(a) : LineView(a) < LineView(b);
    });
    std::vector<Entry> sorted(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) sorted[k] = storage_->entries[order[k]];
    std::copy(sorted.begin(), sorted.end(), storage_->entries.begin() + from);
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
    bool inBlock = false;
    for (int line = start; line < to; line = line == start ? std::max(start + 1, from) : line + 1) {
        std::string_view text = LineView(line);
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (text[k] == '"') {
                std::size_t close = text.find('"', k + 1);
                if (close == std::string_view::npos) break;
                k = close;
                continue;
            }
            if (inBlock) {
                if (StartsWith(text, k, blockCloseMarker)) {
                    comments_.back().endLine = line;
                    comments_.back().endCol = static_cast<int>(k) + 1;
                    inBlock = false;
                    k += blockCloseMarker.size() - 1;
                }
            } else if (StartsWith(text, k, lineCommentMarker)) {
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
            const std::vector<Entry>& entries = storage_->entries;
            for (std::size_t i = 0; i < entries.size(); ++i) {
                if (entries[i] != 0 && marked.Holds(Decode(entries[i])))
                    marked.lines.push_back(static_cast<std::int32_t>(i));
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
