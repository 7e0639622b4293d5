// LeftoverBackup: see the header.
#include "document/LeftoverBackup.h"

#include "document/DiskIdentity.h"
#include "document/SafeWrite.h"
#include "platform/FileNames.h"
#include "platform/TempFiles.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varlin {
namespace {

constexpr const char* kBackupTag = ".backup-";
constexpr std::size_t kRandomPart = 6;  // mkostemp's XXXXXX

// The name of a backup in the private folder: the same file gives the same name from any
// working folder.
std::string PrivateBackupPrefix(const std::string& target) {
    std::string full = target;
    if (char* real = ::realpath(DirectoryOf(target).c_str(), nullptr)) {
        full = std::string(real) + "/" + BaseOf(target);
        std::free(real);
    }
    ContentHash hash;
    hash.Update(full.data(), full.size());
    char text[40];
    std::snprintf(text, sizeof text, "backup-%016llx-", static_cast<unsigned long long>(hash.Value()));
    return text;
}

// The files in dir named prefix + six characters.
void AddMatches(const std::string& dir, const std::string& prefix, std::vector<std::string>& out) {
    DIR* folder = ::opendir(dir.c_str());
    if (!folder) return;
    while (const dirent* e = ::readdir(folder)) {
        const std::string_view entry = e->d_name;
        if (entry.size() == prefix.size() + kRandomPart && entry.starts_with(prefix))
            out.push_back(dir == "." ? std::string(entry) : dir + "/" + e->d_name);
    }
    ::closedir(folder);
}

// True when every byte of the backup stands at the same place in the file: the copy
// was broken off before the file was written, so the backup holds nothing of its own.
bool IsBeginningOfFile(int backup, const std::string& target) {
    int file = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return false;
    struct stat st {};
    bool same = ::fstat(file, &st) == 0 && S_ISREG(st.st_mode);
    constexpr std::size_t kChunk = 1 << 16;
    std::unique_ptr<char[]> ours(new char[kChunk]), theirs(new char[kChunk]);
    for (off_t offset = 0; same;) {
        const ssize_t got = ::pread(backup, ours.get(), kChunk, offset);
        if (got <= 0) {
            same = got == 0;
            break;
        }
        ssize_t have = 0;
        while (have < got) {
            const ssize_t n = ::pread(file, theirs.get() + have, static_cast<std::size_t>(got - have), offset + have);
            if (n <= 0) break;
            have += n;
        }
        same = have == got && std::memcmp(ours.get(), theirs.get(), static_cast<std::size_t>(got)) == 0;
        offset += got;
    }
    ::close(file);
    return same;
}

// Opens a backup of ours that nobody holds; -1 for anything else (held, not a regular
// file, another user's). Another user's backup is that user's to look at: root would
// offer it as its own, and any user could remove it as a mere beginning of the file.
int OpenUnheld(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && NobodyHolds(fd))
        return fd;
    ::close(fd);
    return -1;
}

}  // namespace

int CreateBackupFile(const std::string& target, std::string& path) {
    int fd = CreateHeldFile(DirectoryOf(target), "." + BaseOf(target) + kBackupTag, path);
    if (fd >= 0) return fd;
    const int besideError = errno;
    const std::string folder = PrivateTemporaryFolder();
    if (!folder.empty()) fd = CreateHeldFile(folder, PrivateBackupPrefix(target), path);
    if (fd < 0) errno = besideError;
    return fd;
}

std::vector<std::string> FindLeftoverBackups(const std::string& name) {
    const std::string target = ResolveLinks(name);
    std::vector<std::string> candidates;
    AddMatches(DirectoryOf(target), "." + BaseOf(target) + kBackupTag, candidates);
    const std::string folder = PrivateTemporaryFolder();
    if (!folder.empty()) AddMatches(folder, PrivateBackupPrefix(target), candidates);
    std::vector<std::string> leftovers;
    for (const std::string& path : candidates) {
        const int fd = OpenUnheld(path);
        if (fd < 0) continue;
        if (IsBeginningOfFile(fd, target)) ::unlink(path.c_str());
        else leftovers.push_back(path);
        ::close(fd);
    }
    return leftovers;
}

std::unique_ptr<AdoptedBackup> AdoptedBackup::Adopt(const std::string& path) {
    const int fd = OpenUnheld(path);
    if (fd < 0) return nullptr;
    return std::unique_ptr<AdoptedBackup>(new AdoptedBackup(path, fd));
}

AdoptedBackup::~AdoptedBackup() { ::close(fd_); }

void AdoptedBackup::Remove() { ::unlink(path_.c_str()); }

}  // namespace varlin
