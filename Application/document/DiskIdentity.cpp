// DiskIdentity: see the header. The hash takes the bytes eight at a time, so hashing a
// file as it is read or written costs little next to the reading or writing itself.
#include "document/DiskIdentity.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace varlin {
namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;

DiskIdentity FromStat(const struct stat& st, std::uint64_t hash) {
    DiskIdentity id;
    id.known = true;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<long long>(st.st_size);
#ifdef __linux__
    id.mtimeSec = static_cast<long long>(st.st_mtim.tv_sec);
    id.mtimeNsec = static_cast<long long>(st.st_mtim.tv_nsec);
#else
    id.mtimeSec = static_cast<long long>(st.st_mtime);
#endif
    id.hash = hash;
    return id;
}

bool SameMetadata(const DiskIdentity& a, const DiskIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.mtimeSec == b.mtimeSec && a.mtimeNsec == b.mtimeNsec;
}

// The hash of the whole file, or false when it cannot be read.
bool HashFile(const std::string& name, std::uint64_t& hash) {
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    constexpr std::size_t kChunk = 1 << 18;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kChunk]);
    ContentHash h;
    bool ok = buffer != nullptr;
    while (ok) {
        ssize_t got = ::read(fd, buffer.get(), kChunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        h.Update(buffer.get(), static_cast<std::size_t>(got));
    }
    ::close(fd);
    hash = h.Value();
    return ok;
}

}  // namespace

namespace {

std::uint64_t Mixed(std::uint64_t state, std::uint64_t word) {
    state = (state ^ word) * kMultiplier;
    return state ^ (state >> 29);
}

}  // namespace

void ContentHash::MixGroup(const unsigned char* group) {
    for (std::size_t lane = 0; lane < 4; ++lane) {
        std::uint64_t word;
        std::memcpy(&word, group + 8 * lane, 8);
        lanes_[lane] = Mixed(lanes_[lane], word);
    }
}

void ContentHash::Update(const char* data, std::size_t size) {
    length_ += size;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (carried_ > 0) {
        const std::size_t take = std::min(kGroup - carried_, size);
        std::memcpy(carry_ + carried_, bytes, take);
        carried_ += take;
        bytes += take;
        size -= take;
        if (carried_ < kGroup) return;
        MixGroup(carry_);
        carried_ = 0;
    }
    // The lanes are mixed in locals: kept in the object, every group would store and load
    // them again (the bytes may alias them), which doubles the time of the multiply chain.
    std::uint64_t a = lanes_[0], b = lanes_[1], c = lanes_[2], d = lanes_[3];
    for (; size >= kGroup; bytes += kGroup, size -= kGroup) {
        std::uint64_t w[4];
        std::memcpy(w, bytes, sizeof w);
        a = Mixed(a, w[0]);
        b = Mixed(b, w[1]);
        c = Mixed(c, w[2]);
        d = Mixed(d, w[3]);
    }
    lanes_[0] = a;
    lanes_[1] = b;
    lanes_[2] = c;
    lanes_[3] = d;
    if (size > 0) std::memcpy(carry_, bytes, size);
    carried_ = size;
}

std::uint64_t ContentHash::Value() const {
    std::uint64_t h = length_ * kMultiplier;
    for (std::uint64_t lane : lanes_) h = Mixed(h, lane);
    for (std::size_t at = 0; at < carried_; at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, carry_ + at, std::min<std::size_t>(8, carried_ - at));
        h = Mixed(h, word);
    }
    h = (h ^ (length_ << 3)) * kMultiplier;
    return h ^ (h >> 31);
}

DiskIdentity IdentityOfDescriptor(int fd, std::uint64_t hash) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return DiskIdentity{};
    return FromStat(st, hash);
}

DiskIdentity IdentityOfFile(const std::string& name, std::uint64_t hash) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) return DiskIdentity{};
    return FromStat(st, hash);
}

DiskIdentity CurrentIdentity(const std::string& name) {
    std::uint64_t hash = 0;
    if (!HashFile(name, hash)) return DiskIdentity{};
    return IdentityOfFile(name, hash);
}

bool ChangedOnDisk(const DiskIdentity& known, const std::string& name, const LeasedText* text) {
    if (!known.known) return false;
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const DiskIdentity now = FromStat(st, 0);
    if (SameMetadata(known, now)) return false;
    if (now.size != known.size) return true;
    // Touched, copied back or rewritten with the same bytes: only the content counts.
    std::uint64_t hash = 0;
    std::uint64_t knownHash = 0;
    return !HashOf(known, text, knownHash) || !HashFile(name, hash) || hash != knownHash;
}

bool HashOf(const DiskIdentity& known, const LeasedText* text, std::uint64_t& hash) {
    hash = known.hash;
    if (!known.hashOfText) return true;
    if (!text) return false;
    ContentHash h;
    h.Update(text->Data(), text->Size());
    hash = h.Value();
    return true;
}

}  // namespace varlin
