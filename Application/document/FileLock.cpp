// FileLock: open-file-description locks stand in for the sharing modes of the platform
// the editor was made for. Such a lock conflicts with every other open description, in
// this process too, as a second open of a shared-denied file does there.
#include "document/FileLock.h"

#include <cerrno>

#ifdef _WIN32

// Windows has the sharing modes themselves: the locked open lets others read but not
// write (FILE_SHARE_READ), the read-only open shares everything. The run-time library
// reports a sharing violation as EACCES, the same result the lock gives below.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

namespace varlin {
namespace {

std::wstring WideName(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

}  // namespace

std::unique_ptr<FileLock> FileLock::Open(const std::string& name, Mode mode, int& error) {
    const std::wstring wide = WideName(name);
    struct _stat64 st {};
    if (::_wstat64(wide.c_str(), &st) == 0 && (st.st_mode & _S_IFDIR)) {
        error = EISDIR;  // opening a folder would only say "access denied"
        return nullptr;
    }
    const bool write = mode == Mode::ReadWriteLocked;
    int fd = -1;
    const errno_t failed = ::_wsopen_s(&fd, wide.c_str(), (write ? _O_RDWR : _O_RDONLY) | _O_BINARY | _O_NOINHERIT,
                                       mode == Mode::ReadShared ? _SH_DENYNO : _SH_DENYWR, 0);
    if (failed != 0) {
        error = failed;
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(fd, mode));
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::_close(fd_);
}

}  // namespace varlin

#else

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varlin {
namespace {

// A file system without lock support is no reason to refuse a file: the open then
// stands without the lock.
bool LockUnsupported(int error) { return error == ENOLCK || error == EINVAL || error == EOPNOTSUPP; }

struct flock WholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;  // the whole file, however long it grows
    return lock;
}

// An exclusive lock for a descriptor open for writing; for a read-only one a shared lock
// that no other holder may share: taken, then given up again when another description
// holds one too (two editors opening the file at the same moment may both give way).
// 0, or an errno value (EACCES for a lock another holder keeps).
int TakeLock(int fd, bool exclusive) {
    struct flock lock = WholeFile(exclusive ? F_WRLCK : F_RDLCK);
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if (LockUnsupported(errno)) return 0;
        return (errno == EAGAIN || errno == EACCES) ? EACCES : errno;
    }
    if (exclusive) return 0;
    struct flock other = WholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_GETLK, &other) == 0 && other.l_type != F_UNLCK) return EACCES;
    return 0;
}

}  // namespace

std::unique_ptr<FileLock> FileLock::Open(const std::string& name, Mode mode, int& error) {
    // Opened without waiting, so that a pipe put in the file's place cannot block us;
    // callers refuse what is no regular file, and a file reads the same either way.
    int flags = (mode == Mode::ReadWriteLocked ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(name.c_str(), flags);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return nullptr;
    }
    // A file we may not write is refused for holding as an open for writing would refuse
    // it, though the descriptor itself only reads.
    if (mode == Mode::Held && ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM || errno == EROFS)) {
        error = errno;
        ::close(fd);
        return nullptr;
    }
    if (mode != Mode::ReadShared) {
        // A held lock reads as a sharing violation.
        const int failed = TakeLock(fd, mode == Mode::ReadWriteLocked);
        if (failed != 0) {
            error = failed;
            ::close(fd);
            return nullptr;
        }
    }
    return std::unique_ptr<FileLock>(new FileLock(fd, mode));
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace varlin

#endif
