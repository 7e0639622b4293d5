// Temporary files in a private folder, made without following planted links.
#include "platform/TempFiles.h"

#include "platform/FileNames.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <set>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <QDir>
#include <QTemporaryFile>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace varlin {
namespace {

std::string g_base;
std::string g_fallbackFolder;  // made with mkdtemp when our usual folder was unusable

std::string RandomSuffix() {
    static std::mt19937_64 engine{std::random_device{}()};
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(engine()));
    return text;
}

#ifndef _WIN32
// Opens folder when it is a real folder (not a link) owned by us and closed to others;
// a folder of ours that others may enter is closed first. -1 otherwise.
int OpenOwnFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
    if (ok && (st.st_mode & 077) != 0) ok = ::fchmod(fd, 0700) == 0;
    if (!ok) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The private folder, opened; its path in folder.
int OpenPrivateFolder(std::string& folder) {
    if (!g_fallbackFolder.empty()) {
        folder = g_fallbackFolder;
        int fd = OpenOwnFolder(folder);
        if (fd >= 0) return fd;
    }
    folder = TemporaryBase() + "/varlin-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return -1;
    int fd = OpenOwnFolder(folder);
    if (fd >= 0) return fd;
    // Someone else holds our name (or planted a link there): use a fresh folder instead.
    std::string pattern = TemporaryBase() + "/varlin-" + std::to_string(::geteuid()) + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) return -1;
    g_fallbackFolder = folder = pattern;
    return OpenOwnFolder(folder);
}

// The open files that hold the locks of our temporary files; one whose file has been
// removed is closed when the next file is made. These are flock locks, which on a local
// file system do not meet the record locks that the learned-macro file is written under.
std::vector<int> g_lockedFiles;

void HoldLock(int fd) {
    std::vector<int> kept;
    for (int held : g_lockedFiles) {
        struct stat st;
        if (::fstat(held, &st) == 0 && st.st_nlink > 0) kept.push_back(held);
        else ::close(held);
    }
    g_lockedFiles = std::move(kept);
    if (HoldWhileAlive(fd)) g_lockedFiles.push_back(fd);
    else ::close(fd);
}

bool IsOurTemporaryName(const char* name) {
    const std::string_view n = name;
    return n.starts_with("VLE") || n.starts_with("LR") || n.starts_with("PDF");
}

void RemoveStaleFilesIn(int dir) {
    int listing = ::dup(dir);
    DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!entries) {
        if (listing >= 0) ::close(listing);
        return;
    }
    const std::time_t oldest = std::time(nullptr) - 60;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsOurTemporaryName(entry->d_name)) continue;
        int fd = ::openat(dir, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < oldest &&
            NobodyHolds(fd)) {
            stale.emplace_back(entry->d_name);
        }
        ::close(fd);
    }
    ::closedir(entries);
    for (const std::string& name : stale) ::unlinkat(dir, name.c_str(), 0);
}

std::set<std::string> g_sweptFolders;
#endif

}  // namespace

void SetTemporaryBase(const std::string& folder) {
    g_base = folder;
    g_fallbackFolder.clear();
}

std::string TemporaryBase() {
    if (!g_base.empty()) return g_base;
#ifdef _WIN32
    return QDir::tempPath().toStdString();
#else
    const char* env = std::getenv("TMPDIR");
    struct stat st;
    if (env && env[0] == '/' && ::stat(env, &st) == 0 && S_ISDIR(st.st_mode)) return env;
    return "/tmp";
#endif
}

#ifdef _WIN32
std::string PrivateTemporaryFolder() { return QDir::tempPath().toStdString(); }

int CreateHeldFile(const std::string&, const std::string&, std::string&) {
    errno = ENOSYS;
    return -1;
}
bool HoldWhileAlive(int) { return false; }
bool NobodyHolds(int) { return false; }
void RemoveUnheldTemporaries(const std::string&, const std::string&) {}

void RemoveStaleTemporaryFiles() {}

std::string CreateTemporaryFileName(const std::string& prefix) {
    QTemporaryFile file(QDir::tempPath() + "/" + QString::fromStdString(prefix) + "XXXXXX");
    file.setAutoRemove(false);
    if (!file.open()) return std::string();
    return file.fileName().toStdString();
}
#else
std::string PrivateTemporaryFolder() {
    std::string folder;
    int fd = OpenPrivateFolder(folder);
    if (fd < 0) return std::string();
    ::close(fd);
    return folder;
}

bool HoldWhileAlive(int fd) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        ::usleep(5000);
    }
    return false;
}

bool NobodyHolds(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

int CreateHeldFile(const std::string& dir, const std::string& prefix, std::string& path) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string pattern = dir + "/" + prefix + "XXXXXX";
        int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // A file system without locks still gets the file, unheld.
        (void)HoldWhileAlive(fd);
        struct stat st;
        // Between making and locking, another process may have found the file unheld.
        if (::fstat(fd, &st) == 0 && st.st_nlink > 0) {
            path = pattern;
            return fd;
        }
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}

void RemoveUnheldTemporaries(const std::string& target, const std::string& tag) {
    const std::string dir = DirectoryOf(target);
    const std::string prefix = "." + BaseOf(target) + tag;
    DIR* folder = ::opendir(dir.c_str());
    if (!folder) return;
    std::vector<std::string> candidates;
    while (const dirent* e = ::readdir(folder)) {
        const std::string_view entry = e->d_name;
        if (entry.size() == prefix.size() + 6 && entry.starts_with(prefix))
            candidates.push_back(dir + "/" + e->d_name);
    }
    ::closedir(folder);
    for (const std::string& path : candidates) {
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && NobodyHolds(fd)) ::unlink(path.c_str());
        ::close(fd);
    }
}

void RemoveStaleTemporaryFiles() {
    std::string folder;
    int dir = OpenPrivateFolder(folder);
    if (dir < 0) return;
    g_sweptFolders.insert(folder);
    RemoveStaleFilesIn(dir);
    ::close(dir);
}

std::string CreateTemporaryFileName(const std::string& prefix) {
    if (prefix.find('/') != std::string::npos) return std::string();
    std::string folder;
    int dir = OpenPrivateFolder(folder);
    if (dir < 0) return std::string();
    if (g_sweptFolders.insert(folder).second) RemoveStaleFilesIn(dir);
    std::string result;
    for (int attempt = 0; attempt < 100 && result.empty(); ++attempt) {
        std::string name = prefix + RandomSuffix();
        int fd = ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            HoldLock(fd);
            result = folder + "/" + name;
        } else if (errno != EEXIST) {
            break;
        }
    }
    ::close(dir);
    return result;
}
#endif

}  // namespace varlin
