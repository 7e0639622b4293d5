// The runtime folder and the frame's lock, on POSIX calls: the checks use lstat, so that
// a symbolic link planted where the folder or the socket should be is never followed.
#include "platform/RuntimeFolder.h"

#include "platform/TempFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace varlin {
namespace {

// Makes the folder (mode 0700) unless it exists, then checks that it is private.
std::string PrivateFolderAt(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        error = path + ": " + std::strerror(errno);
        return std::string();
    }
    return IsPrivateFolder(path, error) ? path : std::string();
}

}  // namespace

bool IsPrivateFolder(const std::string& path, std::string& error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = path + ": not a folder";
        return false;
    }
    if (info.st_uid != ::geteuid()) {
        error = path + ": belongs to another user";
        return false;
    }
    if ((info.st_mode & 077) != 0) {
        error = path + ": others may use it (mode must be 0700)";
        return false;
    }
    return true;
}

std::string UserRuntimeFolder(std::string& error) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string ignored;
    if (runtime && runtime[0] == '/' && IsPrivateFolder(runtime, ignored))
        return PrivateFolderAt(std::string(runtime) + "/varlin", error);
    return PrivateFolderAt(TemporaryBase() + "/varlin-runtime-" + std::to_string(::geteuid()), error);
}

bool IsOwnSocket(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode) && info.st_uid == ::geteuid();
}

ExclusiveLock::~ExclusiveLock() { Release(); }

ExclusiveLock::ExclusiveLock(ExclusiveLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

ExclusiveLock& ExclusiveLock::operator=(ExclusiveLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool ExclusiveLock::TryTake(const std::string& path) {
    Release();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        // The number is for those who look; the lock works without it.
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
    }
    fd_ = fd;
    return true;
}

void ExclusiveLock::Release() {
    if (fd_ < 0) return;
    ::close(fd_);  // ends the flock
    fd_ = -1;
}

}  // namespace varlin
