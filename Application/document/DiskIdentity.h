// DiskIdentity: what a document knows of the file it was loaded from or last saved to
// (device, inode, size, modification time and a hash of the bytes), so that a save can
// tell whether another program changed the file meanwhile instead of overwriting that
// change unseen.
#pragma once

#include "platform/LeasedText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace varlin {

// A fast 64-bit hash of a byte stream given in pieces of any size (not for security:
// it tells a changed file from an unchanged one).
class ContentHash {
public:
    void Update(const char* data, std::size_t size);
    std::uint64_t Value() const;

private:
    // Four words at a time in four lanes that do not wait for each other, so that a
    // large file is hashed at the speed of memory rather than of one multiply chain.
    static constexpr std::size_t kGroup = 32;
    void MixGroup(const unsigned char* group);
    std::uint64_t lanes_[4] = {0x6A09E667F3BCC909ULL, 0xBB67AE8584CAA73BULL,
                               0x3C6EF372FE94F82BULL, 0xA54FF53A5F1D36F1ULL};
    std::uint64_t length_ = 0;
    unsigned char carry_[kGroup] = {};
    std::size_t carried_ = 0;
};

struct DiskIdentity {
    bool known = false;
    // The hash is not worked out yet: it is of the leased text the file was loaded from
    // (platform/LeasedText.h), which the caller of HashOf and ChangedOnDisk hands in.
    bool hashOfText = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    long long size = 0;
    long long mtimeSec = 0;
    long long mtimeNsec = 0;
    std::uint64_t hash = 0;
};

// known's hash, worked out from text where it is of a text; false when it is of a text and
// none is given.
bool HashOf(const DiskIdentity& known, const LeasedText* text, std::uint64_t& hash);

// The identity of the open file fd whose bytes hashed to hash.
DiskIdentity IdentityOfDescriptor(int fd, std::uint64_t hash);
// The same for a file by name (its bytes are not read: hash is the caller's).
DiskIdentity IdentityOfFile(const std::string& name, std::uint64_t hash);

// The identity of the file as it stands now, its bytes hashed (unknown when unreadable).
DiskIdentity CurrentIdentity(const std::string& name);

// True when the file name no longer holds what known describes: another inode, size or
// time whose bytes hash differently. A missing file, or an unknown identity, is no change;
// an identity whose text is gone counts as changed. text: as for HashOf.
bool ChangedOnDisk(const DiskIdentity& known, const std::string& name, const LeasedText* text = nullptr);

}  // namespace varlin
