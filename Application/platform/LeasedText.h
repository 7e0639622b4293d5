// LeasedText: a large file read without copying it. Its bytes are mapped private and
// read-only, and a read lease on the file stands guard over the mapping: before another
// program may open the file for writing or cut it short, the system tells us, and the
// text moves into memory of our own at the same address (lines keep pointing into it),
// the lease given back only then. A mapping of a file that another program cuts would
// otherwise fault at the next read of a page past its new end. Where no lease is granted
// (a file of another user, one open for writing somewhere, a file system without leases)
// the caller reads the file into memory as before.
#pragma once

#include "platform/TextBlock.h"

#include <cstddef>
#include <memory>

namespace varlin {

// Files smaller than this are read: a copy of them costs less than setting up the lease.
constexpr std::size_t kLeasedTextFrom = std::size_t(1) << 20;

// A hold on a leased file's mapping besides its block's, so that its bytes can be
// looked at after the block is gone (the mapping lives while either holds it).
class LeasedText {
public:
    ~LeasedText();
    LeasedText(const LeasedText&) = delete;
    LeasedText& operator=(const LeasedText&) = delete;

    const char* Data() const { return data_; }
    // The file's size at the lease; the mapping holds zero bytes behind it.
    std::size_t Size() const { return size_; }
    // True while the bytes still come from the file (the lease stands).
    bool Leased() const;

private:
    friend std::shared_ptr<const LeasedText> SharedText(const TextBlock& block);
    LeasedText(int slot, const char* data, std::size_t size) : slot_(slot), data_(data), size_(size) {}
    int slot_;
    const char* data_;
    std::size_t size_;
};

// The whole regular file open as fd (read-only) in a leased mapping of size bytes, as a
// block of its own kind (IsLeased); null when the file is smaller than kLeasedTextFrom
// or no lease or mapping is to be had. fd itself is neither kept nor changed.
TextBlock LeaseText(int fd, std::size_t& size);

// A further hold on a leased block's mapping; null for every other block (and out of
// memory).
std::shared_ptr<const LeasedText> SharedText(const TextBlock& block);

// For TextBlock's release: the block's hold given up, and the pages of the file taken out
// of this process's memory while the lease stands (they stay in the system's cache;
// nothing once the text is a copy of our own).
void DropLeasedBlock(const char* data);
void ReleaseLeasedPages(const char* data);

}  // namespace varlin
