// FileLock: open-file-description locks stand in for the sharing modes of the platform
// the editor was made for. Such a lock conflicts with every other open description, in
// this process too, as a second open of a shared-denied file does there.
#include "document/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varlin {

std::unique_ptr<FileLock> FileLock::Open(const std::string& name, Mode mode, int& error) {
    int flags = (mode == Mode::ReadWriteLocked ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    int fd = ::open(name.c_str(), flags);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return nullptr;
    }
    if (mode == Mode::ReadWriteLocked) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 0;  // the whole file, however long it grows
        // A held lock reads as a sharing violation; a file system without lock support
        // is no reason to refuse a file, so the open then stands without the lock.
        if (::fcntl(fd, F_OFD_SETLK, &lock) != 0 && errno != ENOLCK && errno != EINVAL &&
            errno != EOPNOTSUPP) {
            error = (errno == EAGAIN || errno == EACCES) ? EACCES : errno;
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
