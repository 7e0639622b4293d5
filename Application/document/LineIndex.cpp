// LineIndex: block lines as four-byte offsets, every other line through a slot. Changed
// lines get an allocation of their own, or a record in a pool block that a replace-all
// fills (a million changed lines cost a few dozen allocations and go back as quickly).
#include "document/LineIndex.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace varlin {
namespace {

const char kEmptyLine[1] = {0};  // every "" points here

// A pool block starts with a PoolBlock; the lines follow, each behind the offset of its
// record from the block's start (unaligned: read with memcpy), so that a line finds its
// block. The block is freed when its count of lines drops to 0; the block still being
// filled holds one count of its own.
struct PoolBlock {
    std::size_t lines;
    std::size_t size;
};
using PoolOffset = std::uint32_t;
constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kMinPoolBlock = std::size_t(16) << 10;
constexpr std::size_t kMaxPoolBlock = kHugePage;
constexpr std::size_t kMaxPooledLine = 0xFFFD;  // longer lines get an allocation of their own
constexpr std::size_t kFirstChunks = 4;

// Memory for a pool block or a chunk of slots (free it with std::free); null when out of
// memory. One of a huge page or more lies on huge pages where the system gives them on
// request: a replace-all that changes a million lines then costs a few dozen page faults
// instead of ten thousand.
void* AllocateLarge(std::size_t size) {
#ifdef MADV_HUGEPAGE
    if (size >= kHugePage) {
        void* memory = nullptr;
        if (::posix_memalign(&memory, kHugePage, size) != 0) return nullptr;
        ::madvise(memory, size & ~(kHugePage - 1), MADV_HUGEPAGE);
        return memory;
    }
#endif
    return std::malloc(size);
}

PoolBlock* PoolBlockOf(const char* data) {
    PoolOffset offset;
    std::memcpy(&offset, data - sizeof offset, sizeof offset);
    return reinterpret_cast<PoolBlock*>(const_cast<char*>(data) - sizeof offset - offset);
}

}  // namespace

struct LineIndex::Pool {
    std::vector<PoolBlock*> blocks;  // every pool block alive, so that Clear frees them at once
    PoolBlock* filling = nullptr;    // the block being filled, or null
    std::size_t used = 0;            // bytes of it in use, its PoolBlock included
    std::size_t bytes = 0;           // the size of all blocks alive

    ~Pool() { FreeAll(); }

    void FreeAll() {
        for (PoolBlock* block : blocks) std::free(block);
        std::vector<PoolBlock*>().swap(blocks);
        filling = nullptr;
        used = 0;
        bytes = 0;
    }

    void Release(PoolBlock* block) {
        if (--block->lines != 0) {
            // The block being filled holds no line any more: it is filled again from its
            // start, so that small replace-alls one after another keep to one block.
            if (block == filling && block->lines == 1) used = sizeof(PoolBlock);
            return;
        }
        bytes -= block->size;
        blocks.erase(std::find(blocks.begin(), blocks.end(), block));
        std::free(block);
    }

    // A copy of text (not empty, at most kMaxPooledLine bytes); null when out of memory.
    const char* Copy(std::string_view text) {
        const std::size_t need = sizeof(PoolOffset) + text.size();
        if (!filling || filling->size - used < need) {
            // Blocks grow with what the pool already holds, so that one changed line
            // does not take a megabyte and the block being filled stays a small part of
            // the pool, up to a huge page: a million changed lines take a dozen blocks.
            const std::size_t size =
                std::max(std::clamp(bytes / 4, kMinPoolBlock, kMaxPoolBlock), sizeof(PoolBlock) + need);
            auto* block = static_cast<PoolBlock*>(AllocateLarge(size));
            if (!block) return nullptr;
            try {
                blocks.push_back(block);
            } catch (const std::bad_alloc&) {
                std::free(block);
                return nullptr;
            }
            block->lines = 1;
            block->size = size;
            bytes += size;
            if (filling) Release(filling);
            filling = block;
            used = sizeof(PoolBlock);
        }
        char* record = reinterpret_cast<char*>(filling) + used;
        const auto offset = static_cast<PoolOffset>(used);
        std::memcpy(record, &offset, sizeof offset);
        std::memcpy(record + sizeof offset, text.data(), text.size());
        used += need;
        ++filling->lines;
        return record + sizeof offset;
    }
};

void LineIndex::FreeChunk::operator()(Slot* chunk) const { std::free(chunk); }

LineIndex::Chunk LineIndex::NewChunk(std::size_t slots) {
    return Chunk(static_cast<Slot*>(AllocateLarge(slots * sizeof(Slot))));
}

LineIndex::LineIndex() : pool_(std::make_unique<Pool>()) {
    chunks_.reserve(kFirstChunks);
    chunks_.push_back(NewChunk(4));
    if (!chunks_.back()) throw std::bad_alloc();
    SlotAt(0) = {nullptr, 0, 0};     // the null line
    SlotAt(1) = {kEmptyLine, 0, 0};  // ""
    slotCount_ = 2;
}

LineIndex::~LineIndex() { Clear(); }

bool LineIndex::AddSlotChunks(std::size_t n) {
    while (freeSlots_ + (SlotCapacity() - slotCount_) < n) {
        if (chunks_.size() >= 29) return false;  // 2 billion slots: an entry holds no more
        try {
            chunks_.reserve(chunks_.size() + 1);
        } catch (const std::bad_alloc&) {
            return false;
        }
        Chunk chunk = NewChunk(std::size_t(4) << chunks_.size());
        if (!chunk) return false;
        chunks_.push_back(std::move(chunk));
    }
    return true;
}

inline LineIndex::Entry LineIndex::NewSlot(const char* data, std::size_t size, Kind kind, std::uint32_t origin) {
    const Slot slot{data, static_cast<std::uint32_t>(size), (origin << 2) | kind};
    if (freeSlot_ != 0) {
        const std::uint32_t k = freeSlot_;
        freeSlot_ = SlotAt(k).size;
        --freeSlots_;
        SlotAt(k) = slot;
        return k << 1;
    }
    SlotAt(slotCount_) = slot;  // the room is there
    return slotCount_++ << 1;
}

void LineIndex::FreeSlot(Entry e) {
    const std::uint32_t k = e >> 1;
    SlotAt(k) = {nullptr, freeSlot_, 0};
    freeSlot_ = k;
    ++freeSlots_;
}

inline void LineIndex::Release(std::size_t i) {
    const Entry e = entries_[i];
    if ((e & kBlockBit) || e <= kEmptyEntry) return;
    const Slot& s = SlotAt(e >> 1);
    switch (s.originKind & 3) {
    case kOwn:
        ownBytes_ -= s.size;
        std::free(const_cast<char*>(s.data));
        break;
    case kPooled:
        pool_->Release(PoolBlockOf(s.data));
        break;
    default:
        break;
    }
    FreeSlot(e);
}

inline std::uint32_t LineIndex::StartOf(std::size_t i) const {
    const Entry e = entries_[i];
    return (e & kBlockBit) ? e >> kOffsetShift : SlotAt(e >> 1).originKind >> 2;
}

void LineIndex::Detach(std::size_t i) {
    if (!IsBlock(i)) return;
    const std::string_view line = View(i);
    entries_[i] = NewSlot(line.data(), line.size(), kBlockRef, entries_[i] >> kOffsetShift);
}

bool LineIndex::GrowEntries(std::size_t n) {
    if (n <= entries_.capacity()) return true;
    try {
        entries_.reserve(std::max(n, entries_.size() + entries_.size() / 2));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool LineIndex::Reserve(std::size_t n) { return GrowEntries(n); }

bool LineIndex::Extend(std::size_t n) {
    // The last line is never a block entry (it has no next line), so nothing to detach.
    if (n <= entries_.size()) return true;
    if (!GrowEntries(n)) return false;
    entries_.resize(n, 0);
    return true;
}

bool LineIndex::Set(std::size_t i, std::string_view text, bool pooled) {
    if (!EnsureFreeSlots(1)) return false;
    // The line above, if a block entry, keeps its length through the new slot's origin.
    const bool behindBlock = i > 0 && IsBlock(i - 1);
    const std::uint32_t origin = behindBlock ? StartOf(i) : 0;
    if (text.empty()) {
        Release(i);
        entries_[i] = behindBlock ? NewSlot(kEmptyLine, 0, kBlockRef, origin) : kEmptyEntry;
        return true;
    }
    // Copy first: text may be a view of the line being replaced.
    const char* data = nullptr;
    Kind kind = kOwn;
    if (pooled && text.size() <= kMaxPooledLine) {
        data = pool_->Copy(text);
        kind = kPooled;
    } else {
        char* own = static_cast<char*>(std::malloc(text.size()));
        if (own) {
            std::memcpy(own, text.data(), text.size());
            ownBytes_ += text.size();
        }
        data = own;
    }
    if (!data) return false;
    Release(i);
    entries_[i] = NewSlot(data, text.size(), kind, origin);
    return true;
}

bool LineIndex::SetNull(std::size_t i) {
    if (!EnsureFreeSlots(1)) return false;
    if (i > 0) Detach(i - 1);
    Release(i);
    entries_[i] = 0;
    return true;
}

bool LineIndex::Insert(std::size_t at, std::size_t n) {
    if (!EnsureFreeSlots(1) || !GrowEntries(entries_.size() + n)) return false;
    if (at > 0) Detach(at - 1);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), n, Entry(0));
    return true;
}

bool LineIndex::Erase(std::size_t at, std::size_t n) {
    if (!EnsureFreeSlots(1)) return false;
    if (at > 0) Detach(at - 1);
    for (std::size_t i = at; i < at + n; ++i) Release(i);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at),
                   entries_.begin() + static_cast<std::ptrdiff_t>(at + n));
    return true;
}

void LineIndex::DropNullTail() {
    // The line left last had a null line behind it, so it is no block entry.
    while (!entries_.empty() && entries_.back() == 0) entries_.pop_back();
}

bool LineIndex::Permute(std::size_t from, const std::vector<int>& order) {
    if (order.empty()) return true;
    const std::size_t first = from > 0 ? from - 1 : from;
    if (!EnsureFreeSlots(from + order.size() - first)) return false;
    std::vector<Entry> moved;
    try {
        moved.resize(order.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (std::size_t i = first; i < from + order.size(); ++i) Detach(i);
    for (std::size_t k = 0; k < order.size(); ++k) moved[k] = entries_[static_cast<std::size_t>(order[k])];
    std::copy(moved.begin(), moved.end(), entries_.begin() + static_cast<std::ptrdiff_t>(from));
    return true;
}

void LineIndex::Clear() {
    // Pooled lines go with their blocks, not one by one.
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry e = entries_[i];
        if (!(e & kBlockBit) && e > kEmptyEntry && (SlotAt(e >> 1).originKind & 3) == kOwn)
            std::free(const_cast<char*>(SlotAt(e >> 1).data));
    }
    ownBytes_ = 0;
    pool_->FreeAll();
    // Memory follows the document: a cleared index gives its entries and slots back.
    std::vector<Entry>().swap(entries_);
    chunks_.resize(1);
    if (chunks_.capacity() > kFirstChunks) {
        try {
            std::vector<Chunk> fresh;
            fresh.reserve(kFirstChunks);
            fresh.push_back(std::move(chunks_[0]));
            chunks_.swap(fresh);
        } catch (const std::bad_alloc&) {  // keeps the larger list
        }
    }
    slotCount_ = 2;
    freeSlot_ = 0;
    freeSlots_ = 0;
    std::vector<std::uintptr_t>().swap(bias_);
    spaceUsed_ = 0;
    std::vector<TextBlock>().swap(blocks_);
    blockBytes_ = 0;
    current_ = nullptr;
    currentSize_ = 0;
    currentHasSpace_ = false;
    tailSlot_ = 0;
}

bool LineIndex::AdoptBlock(TextBlock block, std::size_t size) {
    const std::uint64_t segment = std::uint64_t(1) << kSegmentShift;
    const std::uint64_t start = spaceUsed_;
    const bool room = size > 0 && size < kSpaceLimit - start;
    try {
        blocks_.reserve(blocks_.size() + 1);
        // Each segment the block covers maps to it; a block beyond the space is reached
        // through slots alone.
        if (room) bias_.resize(static_cast<std::size_t>((start + size + segment - 1) >> kSegmentShift));
    } catch (const std::bad_alloc&) {
        return false;
    }
    current_ = block.get();
    currentSize_ = size;
    tailSlot_ = 0;
    currentSpace_ = start;
    currentHasSpace_ = room;
    if (room) {
        for (std::uint64_t k = start >> kSegmentShift; k < bias_.size(); ++k)
            bias_[k] = reinterpret_cast<std::uintptr_t>(current_) - start;
        spaceUsed_ = std::min<std::uint64_t>(bias_.size() << kSegmentShift, kSpaceLimit);
    }
    // A leased file's pages, like a file-backed copy's, are not the program's memory.
    if (!IsFileBacked(block)) blockBytes_ += size;
    blocks_.push_back(std::move(block));
    return true;
}

bool LineIndex::ReplaceLastBlock(TextBlock copy) {
    if (blocks_.empty() || !copy || blocks_.back().get() != current_) return false;
    const char* old = current_;
    const auto oldAddress = reinterpret_cast<std::uintptr_t>(old);
    const auto newAddress = reinterpret_cast<std::uintptr_t>(copy.get());
    if (currentHasSpace_) {
        // The block's segments, each of which maps to it alone.
        const std::uint64_t end = (currentSpace_ + currentSize_ + (std::uint64_t(1) << kSegmentShift) - 1) >> kSegmentShift;
        for (std::uint64_t k = currentSpace_ >> kSegmentShift; k < end && k < bias_.size(); ++k)
            bias_[k] = bias_[k] - oldAddress + newAddress;
    }
    for (std::uint32_t k = 0; k < slotCount_; ++k) {
        Slot& s = SlotAt(k);
        if ((s.originKind & 3) == kBlockRef && s.data >= old && s.data <= old + currentSize_)
            s.data = copy.get() + (s.data - old);
    }
    current_ = copy.get();
    // A file-backed copy is not the program's memory.
    if (IsFileBacked(copy)) blockBytes_ -= std::min(blockBytes_, currentSize_);
    blocks_.back() = std::move(copy);
    return true;
}

std::shared_ptr<const LeasedText> LineIndex::FirstLeasedText() const {
    return blocks_.empty() ? nullptr : SharedText(blocks_.front());
}

void LineIndex::ReleaseMappedPages() const {
    for (const TextBlock& block : blocks_) varlin::ReleaseMappedPages(block);
}

bool LineIndex::AppendLineSlot(const char* data, std::size_t size) {
    if (size > kMaxLine || !EnsureFreeSlots(1) || !GrowEntries(entries_.size() + 1)) return false;
    // Only a line inside the block (with room in block space) can become a block entry.
    const bool inBlock = currentHasSpace_ && data >= current_ && data <= current_ + currentSize_;
    const auto origin = inBlock ? static_cast<std::uint32_t>(currentSpace_ + static_cast<std::uint64_t>(data - current_)) : 0u;
    const Entry e = NewSlot(data, size, kBlockRef, origin);
    entries_.push_back(e);
    tailSlot_ = inBlock ? e >> 1 : 0;
    return true;
}

std::size_t LineIndex::BlockRun(std::size_t first, std::size_t last, const char** data, std::size_t* size) const {
    // The block a line lies in: the one that starts last at or before it (blocks do not
    // overlap). With one block (a loaded file) every block line lies in it.
    auto blockOf = [this](const char* p) {
        const char* best = nullptr;
        for (const auto& b : blocks_)
            if (b.get() <= p && (!best || b.get() > best)) best = b.get();
        return best;
    };
    const bool severalBlocks = blocks_.size() > 1;
    const char* start = nullptr;
    const char* end = nullptr;
    const char* block = nullptr;
    // Takes a piece into the run; false when it does not follow the run's end in its block.
    auto joins = [&](std::string_view piece) {
        const char* p = piece.data();
        if (start == nullptr) {
            start = p;
            block = severalBlocks ? blockOf(p) : nullptr;
        } else if (p < end || (severalBlocks && blockOf(p) != block)) {
            return false;
        }
        end = p + piece.size();
        return true;
    };
    std::size_t i = first;
    for (; i < last; ++i) {
        const Entry e = entries_[i];
        if (e & kBlockBit) {
            // A block entry's next line follows it in the same block, so a chain of them
            // is one piece: from the first line's start to the last one's end.
            std::size_t j = i;
            while (j + 1 < last && (entries_[j + 1] & kBlockBit)) ++j;
            // Empty lines at either end of the chain stand outside the piece.
            std::size_t a = i;
            std::size_t z = j;
            while (a <= z && View(a).empty()) ++a;
            while (z > a && View(z).empty()) --z;
            if (a <= z) {
                const std::string_view head = View(a);
                const std::string_view tail = View(z);
                if (!joins({head.data(), static_cast<std::size_t>(tail.data() + tail.size() - head.data())})) break;
            }
            i = j;
            continue;
        }
        const Slot& s = SlotAt(e >> 1);
        if (s.size == 0) continue;  // null or ""
        if ((s.originKind & 3) != kBlockRef) break;  // a changed line
        if (!joins({s.data, s.size})) break;
    }
    if (start) {
        *data = start;
        *size = static_cast<std::size_t>(end - start);
    }
    return i - first;
}

std::size_t LineIndex::MemoryUsed() const {
    return sizeof(*this) + sizeof(Pool) + entries_.capacity() * sizeof(Entry) + SlotCapacity() * sizeof(Slot) +
           chunks_.capacity() * sizeof(Chunk) +
           bias_.capacity() * sizeof(std::uintptr_t) + blocks_.capacity() * sizeof(TextBlock) +
           blockBytes_ + ownBytes_ + pool_->bytes + pool_->blocks.capacity() * sizeof(PoolBlock*);
}

}  // namespace varlin
