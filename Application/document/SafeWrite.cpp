// SafeWrite: see the header. The temporary and backup files are made with mkostemp, so
// two saves never meet on a name, and every path that fails removes what it created.
#include "document/SafeWrite.h"

#include "document/FileLock.h"
#include "document/LeftoverBackup.h"
#include "document/TextFile.h"
#include "platform/FileKinds.h"
#include "platform/Messages.h"
#include "platform/FileNames.h"
#include "platform/TempFiles.h"
#include "platform/WriteSteps.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace varlin {
namespace {

constexpr std::size_t kSinkBuffer = ByteSink::kBufferSize;
constexpr int kMaxLinkDepth = 40;

constexpr const char* kSaveTag = ".save-";

// Closes fd; false with error set when the close (where a delayed write error may show)
// failed.
bool CloseFile(int fd, int& error) {
    const int injected = CheckWriteStep(WriteStep::Close);
    const bool closed = ::close(fd) == 0;
    if (!closed && !injected) error = errno;
    if (injected) error = injected;
    return closed && !injected;
}

// Flushes fd to the disk; false with error set.
bool SyncToDisk(int fd, int& error) {
    if ((error = CheckWriteStep(WriteStep::Sync)) != 0) return false;
    if (::fsync(fd) == 0 || errno == EINVAL) return true;  // EINVAL: the file cannot be synced
    error = errno;
    return false;
}

bool SyncAndClose(int fd, int& error) {
    if (!SyncToDisk(fd, error)) {
        ::close(fd);
        return false;
    }
    return CloseFile(fd, error);
}

void SyncDirectory(const std::string& dir) {
    if (CheckWriteStep(WriteStep::SyncFolder) != 0) return;
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// The old file's extended attributes (labels, tags, a user's notes) go to the new one as
// its mode and owner do. Those we may not set (another user's, the system's) are left.
void CopyExtendedAttributes(int from, int to) {
#ifdef __linux__
    ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0) return;
    std::string names(static_cast<std::size_t>(size), '\0');
    size = ::flistxattr(from, names.data(), names.size());
    if (size <= 0) return;
    names.resize(static_cast<std::size_t>(size));
    std::string value;
    for (std::size_t pos = 0; pos < names.size();) {
        const char* name = names.c_str() + pos;
        pos += std::strlen(name) + 1;
        ssize_t n = ::fgetxattr(from, name, nullptr, 0);
        if (n < 0) continue;
        value.resize(static_cast<std::size_t>(n));
        n = ::fgetxattr(from, name, value.data(), value.size());
        if (n < 0) continue;
        (void)::fsetxattr(to, name, value.data(), static_cast<std::size_t>(n), 0);
    }
#else
    (void)from;
    (void)to;
#endif
}

mode_t NewFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Copies the whole of from (from its start) into the sink; false with error set.
bool CopyInto(int from, ByteSink& sink, int& error) {
    std::unique_ptr<char[]> buf(new (std::nothrow) char[kSinkBuffer]);
    if (!buf) {
        error = ENOMEM;
        return false;
    }
    off_t offset = 0;
    for (;;) {
        ssize_t got = ::pread(from, buf.get(), kSinkBuffer, offset);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return false;
        }
        if (got == 0) return true;
        offset += got;
        if (!sink.Write(buf.get(), static_cast<std::size_t>(got))) {
            error = sink.Error();
            return false;
        }
    }
}

bool CopyAll(int from, int to, int& error) {
    ByteSink sink(to);
    if (!CopyInto(from, sink, error)) return false;
    if (!sink.Flush()) {
        error = sink.Error();
        return false;
    }
    return true;
}

// Writes produce's bytes over fd from its start and cuts the file behind them.
bool WriteOver(int fd, bool regular, const std::function<bool(ByteSink&)>& produce,
               int& error, std::uint64_t* hash = nullptr) {
    if (regular && ::lseek(fd, 0, SEEK_SET) < 0) {
        error = errno;
        return false;
    }
    ByteSink sink(fd);
    bool ok = produce(sink) && sink.Flush();
    if (!ok) {
        error = sink.Error() ? sink.Error() : EIO;
        return false;
    }
    if (hash) *hash = sink.Hash();
    if (regular && ::ftruncate(fd, static_cast<off_t>(sink.Written())) != 0) {
        error = errno;
        return false;
    }
    return !regular || SyncToDisk(fd, error);
}

// The path for files whose folder cannot take a temporary file: a backup copy beside the
// file (or in the private temporary folder), then the new content written over the old.
// The backup stays locked until the save is over: a leftover one tells of a cut save.
int WriteInPlace(const std::string& name, const std::string& target, int fd, bool exists,
                 const std::function<bool(ByteSink&)>& produce, std::uint64_t* hash) {
    int error = 0;
    if (!exists) {  // nothing to lose: write and remove the file again on failure
        if (WriteOver(fd, true, produce, error, hash)) return 0;
        ::unlink(target.c_str());
        ShowFileError(name, error);
        return -1;
    }
    std::string backup;
    const int bfd = CreateBackupFile(target, backup);
    if (bfd < 0) {
        ShowFileError(name, errno);
        return -1;
    }
    // A second descriptor keeps the lock (and reads the backup back) after the first,
    // which shows the errors of the copy, is closed.
    const int held = ::dup(bfd);
    bool copied = held >= 0 && CopyAll(fd, bfd, error);
    if (held < 0) error = errno;
    if (!copied) ::close(bfd);
    if (!copied || !SyncAndClose(bfd, error)) {
        ::unlink(backup.c_str());
        if (held >= 0) ::close(held);
        ShowFileError(name, error);
        return -1;
    }
    if (WriteOver(fd, true, produce, error, hash)) {
        ::unlink(backup.c_str());
        ::close(held);
        return 0;
    }
    // Put the old content back; only when that fails too is the backup kept and named.
    int restoreError = 0;
    const bool restored = WriteOver(fd, true, [&](ByteSink& sink) {
        return CopyInto(held, sink, restoreError);
    }, restoreError);
    ShowFileError(name, error);
    if (restored)
        ::unlink(backup.c_str());
    else
        ShowMessage(kBackupKeptMessage, backup);
    ::close(held);
    return -1;
}

}  // namespace

ByteSink::ByteSink(int fd) : fd_(fd), buffer_(new (std::nothrow) char[kSinkBuffer]) {
    if (!buffer_) error_ = ENOMEM;
}

ByteSink::~ByteSink() { delete[] buffer_; }

bool ByteSink::WriteOut(const char* data, std::size_t size) {
    while (size > 0) {
        if ((error_ = CheckWriteStep(WriteStep::Write)) != 0) return false;
        ssize_t done = ::write(fd_, data, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        if (done == 0) {
            error_ = ENOSPC;
            return false;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
        written_ += static_cast<std::size_t>(done);
    }
    return true;
}

bool ByteSink::Write(const char* data, std::size_t size) {
    if (error_) return false;
    if (size == 0) return true;  // an empty line's view may have no address at all
    if (used_ + size <= kSinkBuffer) {
        std::memcpy(buffer_ + used_, data, size);
        used_ += size;
        return true;
    }
    if (!Flush()) return false;
    if (size >= kSinkBuffer) {
        hash_.Update(data, size);
        return WriteOut(data, size);
    }
    std::memcpy(buffer_, data, size);
    used_ = size;
    return true;
}

bool ByteSink::Flush() {
    if (error_) return false;
    // Hashed here, a buffer at a time, rather than in the many small pieces Write gets.
    hash_.Update(buffer_, used_);
    bool ok = WriteOut(buffer_, used_);
    used_ = 0;
    return ok;
}

void RemoveLeftoverTemporaries(const std::string& name) {
    RemoveUnheldTemporaries(ResolveLinks(name), kSaveTag);
}

std::string ResolveLinks(const std::string& name) {
    std::string path = name;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char target[PATH_MAX];
        ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n < 0) return path;
        std::string link(target, static_cast<std::size_t>(n));
        path = (!link.empty() && link[0] == '/') ? link : DirectoryOf(path) + "/" + link;
    }
    return path;
}

// WriteFileSafely with the hash of the bytes written.
static int WriteFileSafelyHashed(const std::string& name,
                                 const std::function<bool(ByteSink&)>& produce, std::uint64_t& hash) {
    const std::string target = ResolveLinks(name);
    int error = 0;
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) {
        ShowFileError(name, errno);
        return -1;
    }
    if (exists && S_ISDIR(st.st_mode)) {
        ShowFileError(name, EISDIR);
        return -1;
    }
    // A device or pipe is no file to replace; writing to it could block for ever or,
    // as root, put a file where a device was.
    if (exists && !S_ISREG(st.st_mode)) {
        if (!RefuseSpecialFile(name)) ShowFileError(name, EINVAL);
        return -1;
    }
    // The old file is opened for writing and locked, as a write that shares nothing:
    // a read-only file, or one another editor holds, is refused before anything changes.
    std::unique_ptr<FileLock> old;
    if (exists) {
        old = FileLock::Open(target, FileLock::Mode::ReadWriteLocked, error);
        if (!old) {
            ShowFileError(name, error);
            return -1;
        }
    }
    std::string temp;
    const bool linked = exists && st.st_nlink > 1;
    int fd = linked ? -1 : CreateHeldFile(DirectoryOf(target), "." + BaseOf(target) + kSaveTag, temp);
    if (fd < 0) {
        if (exists) return WriteInPlace(name, target, old->Descriptor(), true, produce, &hash);
        int nfd = ::open(target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, NewFileMode());
        if (nfd < 0) {
            ShowFileError(name, errno);
            return -1;
        }
        int result = WriteInPlace(name, target, nfd, false, produce, &hash);
        ::close(nfd);
        return result;
    }
    // Mode and owner first, so that the file is never visible with the wrong ones.
    bool ok = ::fchmod(fd, exists ? (st.st_mode & 07777) : NewFileMode()) == 0;
    if (!ok) error = errno;
    if (ok && exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
        (void)!::fchown(fd, st.st_uid, st.st_gid);  // only where we may
    if (ok && exists) CopyExtendedAttributes(old->Descriptor(), fd);
    ok = ok && WriteOver(fd, true, produce, error, &hash);
    // The lock stays on a second descriptor until the rename: an unheld file is a leftover.
    const int held = ok ? ::dup(fd) : -1;
    if (!ok) ::close(fd);
    else ok = CloseFile(fd, error);
    if (ok && (error = CheckWriteStep(WriteStep::Rename)) != 0) ok = false;
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        ok = false;
    }
    if (held >= 0) ::close(held);
    if (!ok) {
        ::unlink(temp.c_str());
        ShowFileError(name, error);
        return -1;
    }
    SyncDirectory(DirectoryOf(target));
    return 0;
}

int WriteFileSafely(const std::string& name, const std::function<bool(ByteSink&)>& produce,
                    DiskIdentity* written) {
    std::uint64_t hash = 0;
    const int result = WriteFileSafelyHashed(name, produce, hash);
    if (result == 0 && written) *written = IdentityOfFile(ResolveLinks(name), hash);
    return result;
}

}  // namespace varlin
