// The copy of a text in an unnamed temporary file, mapped read-only.
#include "platform/TextBlock.h"

#include "platform/LeasedText.h"
#include "platform/TempFiles.h"

#include <algorithm>
#include <cerrno>
#include <string>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/vfs.h>
#include <unistd.h>
#define VARLIN_FILE_BACKED_TEXT 1
#endif

namespace varlin {

void TextBlockRelease::operator()(char* block) const noexcept {
    if (length == kLeasedBlock) {
        DropLeasedBlock(block);
        return;
    }
#ifdef VARLIN_FILE_BACKED_TEXT
    if (length != 0) {
        ::munmap(block, length);
        return;
    }
#endif
    delete[] block;
}

#ifdef VARLIN_FILE_BACKED_TEXT
namespace {

// Zero bytes behind the text, as behind the end of a read block: a scan may look a little
// past the last byte it uses.
constexpr std::size_t kZeroTail = 64;

bool SetsRoomAside(int fd) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

// An unnamed file of length bytes, its room on the disk taken, in folder; -1 when the
// folder does not take one.
int OpenUnnamedFile(const std::string& folder, std::size_t length) {
    if (folder.empty()) return -1;
    // O_EXCL: the file can never be given a name later.
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (SetsRoomAside(fd) && ::fallocate(fd, 0, 0, static_cast<off_t>(length)) == 0) return fd;
    ::close(fd);
    return -1;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const std::size_t piece = std::min<std::size_t>(size - done, std::size_t(1) << 30);
        const ssize_t wrote = ::pwrite(fd, data + done, piece, static_cast<off_t>(done));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

}  // namespace

TextBlock FileBackedCopy(const char* data, std::size_t size) {
    if (size == 0) return nullptr;
    const std::size_t length = size + kZeroTail;
    int fd = OpenUnnamedFile(PrivateTemporaryFolder(), length);
    if (fd < 0) fd = OpenUnnamedFile("/var/tmp", length);
    if (fd < 0) return nullptr;
    void* copy = MAP_FAILED;
    // The system writes the copy to the disk on its own, at once when it needs the
    // memory (asking for it here would hold the window back while the disk works).
    if (WriteAll(fd, data, size)) copy = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    ::close(fd);  // the mapping keeps the file
    if (copy == MAP_FAILED) return nullptr;
    return TextBlock(static_cast<char*>(copy), TextBlockRelease(length));
}

void ReleaseMappedPages(const TextBlock& block) {
    if (!block) return;
    if (IsLeased(block)) {
        ReleaseLeasedPages(block.get());
        return;
    }
    if (IsFileBacked(block)) ::madvise(block.get(), block.get_deleter().length, MADV_DONTNEED);
}

#else

TextBlock FileBackedCopy(const char*, std::size_t) { return nullptr; }
void ReleaseMappedPages(const TextBlock&) {}

#endif

}  // namespace varlin
