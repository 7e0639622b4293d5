// RecoveryCopy: see the header.
#include "document/RecoveryCopy.h"

#include "document/DiskIdentity.h"
#include "document/LineStore.h"
#include "document/SafeWrite.h"
#include "platform/FileNames.h"
#include "platform/TempFiles.h"
#include "platform/UserSettingsPath.h"
#include "platform/WriteSteps.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace varlin {
namespace {

constexpr const char* kMagic = "VARLIN-RECOVERY 1\n";
constexpr const char* kCopyTag = "copy-";
constexpr const char* kPartTag = ".part-";
constexpr const char* kDamagedTag = "damaged-";
constexpr std::size_t kMaxHeader = 8192;
constexpr std::size_t kMaxPath = 4096;

std::string g_folder;

// A folder component of ours: made 0700 when missing, never a link, never another user's.
bool EnsureOwnFolder(const std::string& path, bool closeToOthers) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
    return !closeToOthers || (st.st_mode & 077) == 0 || ::chmod(path.c_str(), 0700) == 0;
}

std::string HashText(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// The names of a file's copies start with the hash of its full path.
std::string KeyHash(const std::string& original) {
    ContentHash hash;
    hash.Update(original.data(), original.size());
    return HashText(hash.Value());
}

std::string RandomName() {
    static std::mutex lock;
    static std::mt19937_64 engine{std::random_device{}()};
    std::lock_guard<std::mutex> hold(lock);
    return HashText(engine());
}

constexpr const char* kUnknownHash = "0000000000000000";

// The header with the hash still unknown; hashAt gets where its 16 digits stand.
std::string MakeHeader(const RecoverySnapshot& s, std::size_t& hashAt) {
    char fields[200];
    std::snprintf(fields, sizeof fields, "time %lld\nutf8 %d\nlines %zu\nsize %zu\nhash %s\npath %zu\n",
                  static_cast<long long>(s.time), s.utf8 ? 1 : 0, s.lines.size(), s.BodySize(), kUnknownHash,
                  s.original.size());
    const std::string header = std::string(kMagic) + fields + s.original + "\n";
    hashAt = header.find(kUnknownHash);
    return header;
}

struct Header {
    long long time = 0;
    int utf8 = 0;
    int lines = 0;
    std::size_t size = 0;
    std::string hash;
    std::string original;
    std::size_t length = 0;  // bytes of the header itself
};

// Reads "NAME VALUE\n" at pos.
bool Field(const std::string& text, std::size_t& pos, const char* name, std::string& value) {
    const std::size_t n = std::strlen(name);
    if (text.compare(pos, n, name) != 0 || pos + n >= text.size() || text[pos + n] != ' ') return false;
    const std::size_t end = text.find('\n', pos + n + 1);
    if (end == std::string::npos) return false;
    value = text.substr(pos + n + 1, end - pos - n - 1);
    pos = end + 1;
    return !value.empty();
}

bool Number(const std::string& text, long long& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0' && out >= 0;
}

bool ParseHeader(const std::string& text, Header& h) {
    std::size_t pos = std::strlen(kMagic);
    if (text.compare(0, pos, kMagic) != 0) return false;
    std::string time, utf8, lines, size, path;
    long long t = 0, u = 0, l = 0, s = 0, p = 0;
    if (!Field(text, pos, "time", time) || !Field(text, pos, "utf8", utf8) ||
        !Field(text, pos, "lines", lines) || !Field(text, pos, "size", size) ||
        !Field(text, pos, "hash", h.hash) || !Field(text, pos, "path", path) || !Number(time, t) ||
        !Number(utf8, u) || !Number(lines, l) || !Number(size, s) || !Number(path, p) || u > 1 ||
        l > kMaxDocumentLines || p > static_cast<long long>(kMaxPath) || pos + p >= text.size() ||
        text[pos + p] != '\n')
        return false;
    h.time = t;
    h.utf8 = static_cast<int>(u);
    h.lines = static_cast<int>(l);
    h.size = static_cast<std::size_t>(s);
    h.original = text.substr(pos, p);
    h.length = pos + p + 1;
    return true;
}

bool ReadAll(int fd, off_t offset, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t got = ::pread(fd, data, size, offset);
        if (got <= 0) return false;
        data += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
    }
    return true;
}

bool ReadHeader(int fd, Header& h) {
    std::string text(kMaxHeader, '\0');
    const ssize_t got = ::pread(fd, text.data(), text.size(), 0);
    if (got <= 0) return false;
    text.resize(static_cast<std::size_t>(got));
    return ParseHeader(text, h);
}

// A test's hook: a write that stops halfway for this many milliseconds, so that a test
// can kill the process while a copy is half written.
int PauseMilliseconds() {
    static const int pause = [] {
        const char* value = std::getenv("VARLIN_TEST_RECOVERY_PAUSE");
        return value ? std::atoi(value) : 0;
    }();
    return pause;
}

int WriteChecked(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        if (int error = CheckWriteStep(WriteStep::Write)) return error;
        const ssize_t put = ::write(fd, data, std::min<std::size_t>(size, std::size_t(1) << 22));
        if (put < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return 0;
}

// The lines from..to - 1 in the copy's form, a megabyte at a time, hashed on the way.
int WriteLines(int fd, const RecoverySnapshot& s, std::size_t from, std::size_t to, ContentHash& hash) {
    constexpr std::size_t kChunk = std::size_t(1) << 20;
    std::string chunk;
    chunk.reserve(kChunk + 4);
    auto flush = [&] {
        hash.Update(chunk.data(), chunk.size());
        const int error = WriteChecked(fd, chunk.data(), chunk.size());
        chunk.clear();
        return error;
    };
    for (std::size_t i = from; i < to; ++i) {
        const std::string_view line = s.lines[i];
        const auto n = static_cast<std::uint32_t>(line.size());
        const char length[4] = {char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF), char(n >> 24)};
        chunk.append(length, 4);
        if (chunk.size() + line.size() > kChunk) {
            if (int error = flush()) return error;
            if (line.size() > kChunk) {  // a long line goes as it is
                hash.Update(line.data(), line.size());
                if (int error = WriteChecked(fd, line.data(), line.size())) return error;
                continue;
            }
        }
        chunk.append(line);
    }
    return flush();
}

// Writes the copy into a held temporary file of the folder; its descriptor, or -1 with
// the error in `error` (the temporary file removed).
int WriteTemporary(const std::string& folder, const std::string& prefix, const RecoverySnapshot& s,
                   int& error) {
    std::string temporary;
    const int fd = CreateHeldFile(folder, prefix, temporary);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    std::size_t hashAt = 0;
    const std::string header = MakeHeader(s, hashAt);
    ContentHash hash;
    hash.Update(s.original.data(), s.original.size());
    const std::size_t half = s.lines.size() / 2;
    error = WriteChecked(fd, header.data(), header.size());
    if (!error) error = WriteLines(fd, s, 0, half, hash);
    if (!error && PauseMilliseconds() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(PauseMilliseconds()));
    if (!error) error = WriteLines(fd, s, half, s.lines.size(), hash);
    if (!error) {
        const std::string digits = HashText(hash.Value());
        if (::pwrite(fd, digits.data(), digits.size(), static_cast<off_t>(hashAt)) != ssize_t(digits.size()))
            error = errno ? errno : EIO;
    }
    if (!error) error = CheckWriteStep(WriteStep::Sync);
    if (!error && ::fsync(fd) != 0 && errno != EINVAL) error = errno;
    if (!error) error = CheckWriteStep(WriteStep::Rename);
    if (!error) {
        // The name is the held file's: renamed, the copy keeps the lock it was made with.
        const std::string target = folder + "/" + prefix.substr(std::strlen(kPartTag));
        if (::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    }
    if (error) {
        ::unlink(temporary.c_str());
        ::close(fd);
        return -1;
    }
    return fd;
}

void SyncFolder(const std::string& folder) {
    if (CheckWriteStep(WriteStep::SyncFolder) != 0) return;
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}

// A copy's file opened without reading it: ours, regular, and held by nobody (the lock is
// ours from then on); -1 otherwise.
int OpenUnheldCopy(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && NobodyHolds(fd))
        return fd;
    ::close(fd);
    return -1;
}

std::vector<std::string> EntriesStartingWith(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) == 0) names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

}  // namespace

void SetRecoveryFolder(const std::string& folder) { g_folder = folder; }

std::string RecoveryFolder() {
    std::string base = g_folder;
    if (base.empty()) {
        const std::string state = UserStateFolder();
        // The state folder's own parents are the user's business; ours are checked.
        for (std::size_t slash = state.find('/', 1); slash != std::string::npos; slash = state.find('/', slash + 1))
            ::mkdir(state.substr(0, slash).c_str(), 0700);
        if (!EnsureOwnFolder(state, false) || !EnsureOwnFolder(state + "/varlin", false)) return std::string();
        base = state + "/varlin/recovery";
    }
    return EnsureOwnFolder(base, true) ? base : std::string();
}

std::string RecoveryKeyOf(const std::string& name) {
    if (name.empty()) return std::string();
    std::string full = ResolveLinks(name);
    if (char* real = ::realpath(DirectoryOf(full).c_str(), nullptr)) {
        full = std::string(real) + "/" + BaseOf(full);
        std::free(real);
    }
    return full;
}

std::size_t RecoverySnapshot::BodySize() const {
    std::size_t size = 4 * lines.size();
    for (std::string_view line : lines) size += line.size();
    return size;
}

RecoverySnapshot TakeRecoverySnapshot(const LineStore& store, std::uint64_t generation) {
    RecoverySnapshot s;
    s.original = RecoveryKeyOf(store.FileName());
    s.time = std::time(nullptr);
    s.utf8 = store.utf8;
    s.generation = generation;
    const int count = store.GetLineCount();
    s.lines.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count;) {
        const char* data = nullptr;
        std::size_t size = 0;
        // Lines in a read block are borrowed a run at a time; any other line may change
        // or go while the copy is written, so its bytes are copied.
        const int run = store.BlockRun(i, count - i, &data, &size);
        if (run > 0) {
            store.LineViews(i, run, &s.lines[std::size_t(i)]);
            i += run;
        } else {
            s.lines[std::size_t(i)] = s.copied.emplace_back(store.LineView(i));
            ++i;
        }
    }
    return s;
}

// What the document's handle and the thread writing its copy share; it lives as long as
// either holds it.
struct RecoveryCopy::Shared {
    std::mutex mutex;
    std::uint64_t generation = 0;
    std::string name = RandomName();  // the name this document's copies are written under
    std::string path;                 // the copy on the disk, "" when none
    int fd = -1;                      // holds its lock
    ~Shared() {
        if (fd >= 0) ::close(fd);
    }
    int Write(const RecoverySnapshot& snapshot);
};

RecoveryCopy::RecoveryCopy() : s_(std::make_shared<Shared>()) {}

RecoveryCopy::~RecoveryCopy() = default;

std::function<int(const RecoverySnapshot&)> RecoveryCopy::Writer() {
    return [shared = s_](const RecoverySnapshot& snapshot) { return shared->Write(snapshot); };
}

int RecoveryCopy::Write(const RecoverySnapshot& snapshot) { return s_->Write(snapshot); }

std::uint64_t RecoveryCopy::Generation() {
    std::lock_guard<std::mutex> hold(s_->mutex);
    return s_->generation;
}

std::string RecoveryCopy::Path() {
    std::lock_guard<std::mutex> hold(s_->mutex);
    return s_->path;
}

int RecoveryCopy::Shared::Write(const RecoverySnapshot& snapshot) {
    std::lock_guard<std::mutex> hold(mutex);
    if (snapshot.generation != generation) return 0;
    const std::string folder = RecoveryFolder();
    if (folder.empty()) return EACCES;
    // The name tells whose copy it is (the file's path hashed) before it is opened.
    const std::string copyName = std::string(kCopyTag) + KeyHash(snapshot.original) + "-" + name;
    int error = 0;
    const int held = WriteTemporary(folder, kPartTag + copyName, snapshot, error);
    if (held < 0) return error;
    SyncFolder(folder);
    const std::string written = folder + "/" + copyName;
    if (!path.empty() && path != written) ::unlink(path.c_str());
    if (fd >= 0) ::close(fd);
    fd = held;
    path = written;
    return 0;
}

void RecoveryCopy::Remove() {
    std::lock_guard<std::mutex> hold(s_->mutex);
    ++s_->generation;
    if (!s_->path.empty()) ::unlink(s_->path.c_str());
    s_->path.clear();
    if (s_->fd >= 0) ::close(s_->fd);
    s_->fd = -1;
}

void RecoveryCopy::Forget() {
    std::lock_guard<std::mutex> hold(s_->mutex);
    ++s_->generation;
}

void RecoveryCopy::Adopt(std::string path, int fd) {
    std::lock_guard<std::mutex> hold(s_->mutex);
    // The next copy takes the adopted one's name, so that it replaces it in one rename and
    // a crash between the two never leaves both to be offered.
    if (const std::size_t dash = path.rfind('-'); dash != std::string::npos) s_->name = path.substr(dash + 1);
    if (!s_->path.empty() && s_->path != path) ::unlink(s_->path.c_str());
    if (s_->fd >= 0) ::close(s_->fd);
    s_->path = std::move(path);
    s_->fd = fd;
}

FoundRecovery::FoundRecovery(FoundRecovery&& other) noexcept
    : path(std::move(other.path)), original(std::move(other.original)), time(other.time),
      damaged(other.damaged), fd(other.Release()) {}

FoundRecovery& FoundRecovery::operator=(FoundRecovery&& other) noexcept {
    if (this != &other) {
        if (fd >= 0) ::close(fd);
        path = std::move(other.path);
        original = std::move(other.original);
        time = other.time;
        damaged = other.damaged;
        fd = other.Release();
    }
    return *this;
}

FoundRecovery::~FoundRecovery() {
    if (fd >= 0) ::close(fd);
}

int FoundRecovery::Release() {
    const int held = fd;
    fd = -1;
    return held;
}

std::vector<FoundRecovery> FindRecoveryCopies(const std::string& name) {
    std::vector<FoundRecovery> found;
    const std::string folder = RecoveryFolder();
    if (folder.empty()) return found;
    const std::string key = RecoveryKeyOf(name);
    for (const std::string& entry : EntriesStartingWith(folder, kCopyTag + KeyHash(key) + "-")) {
        FoundRecovery copy;
        copy.path = folder + "/" + entry;
        copy.fd = OpenUnheldCopy(copy.path);
        if (copy.fd < 0) continue;
        Header h;
        if (ReadHeader(copy.fd, h)) {
            if (h.original != key) continue;  // another file whose path hashes alike
            copy.original = h.original;
            copy.time = static_cast<std::time_t>(h.time);
        } else {
            copy.damaged = true;
            struct stat st {};
            if (::fstat(copy.fd, &st) == 0) copy.time = st.st_mtime;
        }
        found.push_back(std::move(copy));
    }
    std::sort(found.begin(), found.end(), [](const FoundRecovery& a, const FoundRecovery& b) { return a.time < b.time; });
    return found;
}

bool ReadRecoveryCopy(const FoundRecovery& found, std::vector<std::string>& lines, bool& utf8) {
    Header h;
    struct stat st {};
    if (found.fd < 0 || found.damaged || !ReadHeader(found.fd, h) || ::fstat(found.fd, &st) != 0 ||
        static_cast<std::size_t>(st.st_size) != h.length + h.size)
        return false;
    std::string body;
    try {
        body.resize(h.size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!ReadAll(found.fd, static_cast<off_t>(h.length), body.data(), body.size())) return false;
    ContentHash hash;
    hash.Update(h.original.data(), h.original.size());
    hash.Update(body.data(), body.size());
    if (HashText(hash.Value()) != h.hash) return false;
    std::vector<std::string> read;
    read.reserve(static_cast<std::size_t>(h.lines));
    std::size_t pos = 0;
    while (pos + 4 <= body.size()) {
        const auto* b = reinterpret_cast<const unsigned char*>(body.data() + pos);
        const std::size_t n = b[0] | (std::size_t(b[1]) << 8) | (std::size_t(b[2]) << 16) | (std::size_t(b[3]) << 24);
        if (n > body.size() - pos - 4) return false;
        read.emplace_back(body.data() + pos + 4, n);
        pos += 4 + n;
    }
    if (pos != body.size() || static_cast<int>(read.size()) != h.lines) return false;
    lines = std::move(read);
    utf8 = h.utf8 == 1;
    return true;
}

void SetAsideDamagedCopy(FoundRecovery& found) {
    const std::string folder = DirectoryOf(found.path);
    const std::string aside = folder + "/" + kDamagedTag + BaseOf(found.path);
    ::rename(found.path.c_str(), aside.c_str());
    // Its age counts from now, so that it stays a while for the user to look at.
    ::utimensat(AT_FDCWD, aside.c_str(), nullptr, AT_SYMLINK_NOFOLLOW);
}

void DiscardRecoveryCopy(FoundRecovery& found) { ::unlink(found.path.c_str()); }

void RemoveExpiredRecoveryCopies(std::time_t now) {
    const std::string folder = RecoveryFolder();
    if (folder.empty()) return;
    const std::time_t expired = now - std::time_t(kRecoveryLifetimeDays) * 24 * 60 * 60;
    for (const char* tag : {kCopyTag, kDamagedTag, kPartTag}) {
        for (const std::string& entry : EntriesStartingWith(folder, tag)) {
            const std::string path = folder + "/" + entry;
            const int fd = OpenUnheldCopy(path);
            if (fd < 0) continue;
            struct stat st {};
            // A temporary file nobody holds is a write cut short: it holds no whole copy.
            if (::fstat(fd, &st) == 0 && (tag == kPartTag || st.st_mtime < expired)) ::unlink(path.c_str());
            ::close(fd);
        }
    }
}

}  // namespace varlin
