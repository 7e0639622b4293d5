// LineIndex: where the bytes of each line of a store are, in four bytes a line.
//
// A line read from a file stays in the block it was read into. Its entry holds only its
// offset in the store's block space (the adopted blocks side by side) and the size of the
// line end that follows it; its length is where the next line starts, less that line end.
// So an entry of that kind always has a next line, and that line starts right behind it:
// before anything changes the next line (or what stands there), the entry is turned into a
// slot. Every other line (a changed one, a line of a pool block, a block line whose
// neighbour changed, "" and null) is a slot: a pointer and a length in a side table, which
// its entry indexes. A slot that follows a block entry also holds the offset the line it
// replaced started at, so that changing a line leaves the line above it as it is.
#pragma once

#include "platform/LeasedText.h"
#include "platform/TextBlock.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace varlin {

class LineIndex {
public:
    LineIndex();
    ~LineIndex();
    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    std::size_t Count() const { return entries_.size(); }
    bool IsNull(std::size_t i) const { return entries_[i] == 0; }

    // Line i (< Count) as it stands; empty with a null pointer for a null line.
    std::string_view View(std::size_t i) const {
        const Entry e = entries_[i];
        if (e & kBlockBit) {
            const std::uint32_t off = e >> kOffsetShift;
            const char* p = Address(off);
            // Without a branch on the kind of the next entry, which a replace-all leaves
            // mixed and hard to predict (slot 0 stands in when it is a block entry).
            const Entry next = entries_[i + 1];
            const bool nextInBlock = (next & kBlockBit) != 0;
            const std::uint32_t slotEnd = SlotAt(nextInBlock ? 0 : next >> 1).originKind >> 2;
            const std::uint32_t end = nextInBlock ? next >> kOffsetShift : slotEnd;
            return {p, end - off - 1 - ((e >> 1) & 1)};
        }
        const Slot& s = SlotAt(e >> 1);
        return {s.data, s.size};
    }

    // Every change below either is done in full or, out of memory, not at all (false).
    bool Reserve(std::size_t n);                     // room for n entries
    bool Extend(std::size_t n);                      // null lines up to Count() == n
    // Line i (< Count) becomes a copy of text: an allocation of its own, or a record in a
    // shared pool block (pooled), which goes back when its last line does.
    bool Set(std::size_t i, std::string_view text, bool pooled);
    bool SetNull(std::size_t i);
    bool Insert(std::size_t at, std::size_t n);     // n null lines at `at` (< Count)
    // The longest line: a slot holds a 32-bit length.
    static constexpr std::size_t kMaxLine = 0xFFFFFFFFu;
    bool Erase(std::size_t at, std::size_t n);      // at + n <= Count
    void DropNullTail();
    // Lines from .. from + order.size() - 1 take the lines at the positions order lists
    // (a permutation of that range).
    bool Permute(std::size_t from, const std::vector<int>& order);
    void Clear();
    // Makes sure the next changes of up to n lines find the side-table room they need,
    // so that a caller can check before telling anyone of a change.
    bool MakeRoom(std::size_t n) { return EnsureFreeSlots(n + 1); }

    // Loading: blocks are adopted first, then their lines appended in the order they stand
    // in the block. Lines of a block cost no allocation, and while each follows the one
    // before it with a one- or two-byte line end between, no slot either.
    bool AdoptBlock(TextBlock block, std::size_t size);
    bool AppendBlockLine(const char* data, std::size_t size) {
        // The line so far last becomes a block entry when this one starts right behind it,
        // past a line end of one or two bytes, inside the block it comes from; its slot
        // then serves the new last line. Offsets from the block's start are taken as
        // unsigned numbers, so that an address before the block lies far beyond its end.
        if (tailSlot_ != 0 && !entries_.empty() && entries_.size() < entries_.capacity() &&
            entries_.back() == (tailSlot_ << 1)) {
            Slot& s = SlotAt(tailSlot_);
            const auto block = reinterpret_cast<std::uintptr_t>(current_);
            const std::uintptr_t tailAt = reinterpret_cast<std::uintptr_t>(s.data) - block;
            const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(data) - block;
            const std::uintptr_t gap = at - tailAt - s.size;
            if ((s.originKind & 3) == kBlockRef && tailAt <= currentSize_ && at <= currentSize_ &&
                size <= currentSize_ - at && gap - 1 < 2) {
                entries_.back() = static_cast<Entry>((currentSpace_ + tailAt) << kOffsetShift) | (gap == 2 ? 2u : 0u) | kBlockBit;
                s = {data, static_cast<std::uint32_t>(size), static_cast<std::uint32_t>((currentSpace_ + at) << 2) | kBlockRef};
                entries_.push_back(tailSlot_ << 1);
                return true;
            }
        }
        return AppendLineSlot(data, size);
    }
    // AppendBlockLine for a line of the block adopted last whose next line follows right
    // behind its line end of gap (1 or 2) bytes, as the caller vouches: the entry alone.
    // False (nothing done) where that does not do: no block space, or no room reserved.
    bool AppendFollowedBlockLine(const char* data, std::size_t gap) {
        const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(data) - reinterpret_cast<std::uintptr_t>(current_);
        if (!currentHasSpace_ || at >= currentSize_ || entries_.size() == entries_.capacity()) return false;
        tailSlot_ = 0;  // a slot line before it stays a slot
        entries_.push_back(static_cast<Entry>((currentSpace_ + at) << kOffsetShift) | (gap == 2 ? 2u : 0u) | kBlockBit);
        return true;
    }
    // The block lines were last appended from gives way to copy, which holds the same
    // bytes; every line reads as before. False (nothing changed) when no block was adopted.
    bool ReplaceLastBlock(TextBlock copy);
    // platform/TextBlock.h's ReleaseMappedPages for every block.
    void ReleaseMappedPages() const;
    // The first block's hold on a leased file (platform/LeasedText.h), or null.
    std::shared_ptr<const LeasedText> FirstLeasedText() const;

    // LineStore::BlockRun over lines first .. last - 1: the number of lines of the run,
    // and in data and size the bytes from its first non-empty line to its last.
    std::size_t BlockRun(std::size_t first, std::size_t last, const char** data, std::size_t* size) const;

    std::size_t MemoryUsed() const;

private:
    using Entry = std::uint32_t;
    // An entry with kBlockBit set: the block-space offset from bit kOffsetShift on, bit 1
    // the size of the line end behind the line (0: one byte, 1: two). Else the index of a
    // slot from bit 1 on: 0 (slot 0) is the null line, kEmptyEntry (slot 1) the line "".
    static constexpr Entry kBlockBit = 1;
    static constexpr int kOffsetShift = 2;
    static constexpr Entry kEmptyEntry = 2;
    // Block space is cut into segments of 4 MiB, each of which maps to one block.
    static constexpr int kSegmentShift = 22;
    static constexpr std::uint64_t kSpaceLimit = std::uint64_t(1) << (32 - kOffsetShift);

    // A slot's kind, in the low two bits of originKind.
    enum Kind : std::uint32_t { kBlockRef = 0, kOwn = 1, kPooled = 2 };
    struct Slot {
        const char* data;         // a free slot: null, and size the next free slot
        std::uint32_t size;
        std::uint32_t originKind;  // the kind; above it, behind a block entry, the offset
    };                             // in block space where the line at this place started

    struct Pool;

    // A chunk of slots, from malloc (large ones on huge pages).
    struct FreeChunk {
        void operator()(Slot* chunk) const;
    };
    using Chunk = std::unique_ptr<Slot[], FreeChunk>;
    static Chunk NewChunk(std::size_t slots);  // null when out of memory

    // The slots live in chunks of 4, 8, 16, ... slots (chunk c from slot 4 * 2^c - 4 on):
    // growing never moves them, so a million slots are neither copied nor held twice.
    Slot& SlotAt(std::uint32_t k) const {
        const int c = 29 - __builtin_clz(k + 4);
        return chunks_[static_cast<std::size_t>(c)][k + 4 - (4u << c)];
    }
    std::size_t SlotCapacity() const { return (std::size_t(4) << chunks_.size()) - 4; }

    const char* Address(std::uint32_t off) const {
        return reinterpret_cast<const char*>(bias_[off >> kSegmentShift] + off);
    }
    bool IsBlock(std::size_t i) const { return (entries_[i] & kBlockBit) != 0; }
    bool EnsureFreeSlots(std::size_t n) { return freeSlots_ + (SlotCapacity() - slotCount_) >= n || AddSlotChunks(n); }
    bool AddSlotChunks(std::size_t n);
    // After EnsureFreeSlots; origin as above (0 where no block entry stands before).
    Entry NewSlot(const char* data, std::size_t size, Kind kind, std::uint32_t origin);
    std::uint32_t StartOf(std::size_t i) const;  // offset of line i, behind a block entry
    void FreeSlot(Entry e);
    void Release(std::size_t i);  // gives back what line i holds; its entry stays
    void Detach(std::size_t i);   // a block entry becomes a slot (EnsureFreeSlots first)
    bool GrowEntries(std::size_t n);
    bool AppendLineSlot(const char* data, std::size_t size);  // AppendBlockLine through a new slot

    std::vector<Entry> entries_;
    std::vector<Chunk> chunks_;
    std::uint32_t slotCount_ = 0;  // slots in use or free; the rest of the chunks is untouched
    std::uint32_t freeSlot_ = 0;  // head of the free slots (0: none)
    std::size_t freeSlots_ = 0;
    std::vector<std::uintptr_t> bias_;  // per segment: the block's address less its offset
    std::uint64_t spaceUsed_ = 0;
    std::vector<TextBlock> blocks_;
    std::size_t blockBytes_ = 0;
    // The block lines are appended to: its start, size and block-space offset (none when
    // the block found no room in block space).
    const char* current_ = nullptr;
    std::size_t currentSize_ = 0;
    std::uint64_t currentSpace_ = 0;
    bool currentHasSpace_ = false;
    std::uint32_t tailSlot_ = 0;  // the slot of the last line appended, while it may join
    std::size_t ownBytes_ = 0;
    std::unique_ptr<Pool> pool_;
};

}  // namespace varlin
