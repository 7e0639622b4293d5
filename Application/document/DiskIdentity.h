// DiskIdentity: what a document knows of the file it was loaded from or last saved to
// (device, inode, size, modification time and a hash of the bytes), so that a save can
// tell whether another program changed the file meanwhile instead of overwriting that
// change unseen.
#pragma once

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
    void Mix(std::uint64_t word);
    std::uint64_t state_ = 0x6A09E667F3BCC909ULL;
    std::uint64_t length_ = 0;
    unsigned char carry_[8] = {};
    std::size_t carried_ = 0;
};

struct DiskIdentity {
    bool known = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    long long size = 0;
    long long mtimeSec = 0;
    long long mtimeNsec = 0;
    std::uint64_t hash = 0;
};

// The identity of the open file fd whose bytes hashed to hash.
DiskIdentity IdentityOfDescriptor(int fd, std::uint64_t hash);
// The same for a file by name (its bytes are not read: hash is the caller's).
DiskIdentity IdentityOfFile(const std::string& name, std::uint64_t hash);

// The identity of the file as it stands now, its bytes hashed (unknown when unreadable).
DiskIdentity CurrentIdentity(const std::string& name);

// True when the file name no longer holds what known describes: another inode, size or
// time whose bytes hash differently. A missing file, or an unknown identity, is no change.
bool ChangedOnDisk(const DiskIdentity& known, const std::string& name);

}  // namespace varlin
