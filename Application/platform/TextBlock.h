// TextBlock: the memory a file's bytes are read into and its lines then point into. A
// block is either the program's own memory or, for a large text in a window, a read-only
// mapping of a copy in a temporary file of its own: the process then keeps resident only
// the pages it reads, and the system can drop the others at any time (once the copy is on
// the disk, which it writes on its own) and read them back when they are needed, instead
// of holding the whole text in memory for as long as the window is open.
#pragma once

#include <cstddef>
#include <memory>

namespace varlin {

// Gives a block back the way it was made: a mapping of `length` bytes, its hold on a
// leased file's mapping (kLeasedBlock, platform/LeasedText.h), or (length 0) an array
// from new[], so that a std::unique_ptr<char[]> moves into a TextBlock as it is.
struct TextBlockRelease {
    static constexpr std::size_t kLeasedBlock = ~std::size_t(0);
    TextBlockRelease() = default;
    explicit TextBlockRelease(std::size_t mappedLength) : length(mappedLength) {}
    TextBlockRelease(std::default_delete<char[]>) {}  // NOLINT: converts on purpose
    std::size_t length = 0;
    void operator()(char* block) const noexcept;
};
using TextBlock = std::unique_ptr<char[], TextBlockRelease>;

// True for a block whose pages the system can drop and read back: a copy in a file of
// its own, or a leased file.
inline bool IsFileBacked(const TextBlock& block) { return block.get_deleter().length != 0; }
inline bool IsLeased(const TextBlock& block) {
    return block.get_deleter().length == TextBlockRelease::kLeasedBlock;
}

// The first size bytes of data (size > 0) in a read-only mapping of a new, unnamed file
// (mode 0600, never visible in any folder, gone with the process) in the private
// temporary folder or in /var/tmp, whichever lies on a local disk file system that sets
// the room aside when the file is made (ext2/3/4, XFS, Btrfs): a copy in memory-backed
// storage would save nothing, and one whose write-back could run out of room could lose
// text. Null when no such folder takes the copy; the caller then keeps its own memory.
TextBlock FileBackedCopy(const char* data, std::size_t size);

// Takes the pages of a file-backed block (or a leased one, while the lease stands) out of this process's memory; they stay in the
// system's file cache, and reading the block brings them back. Nothing for other blocks.
void ReleaseMappedPages(const TextBlock& block);

}  // namespace varlin
