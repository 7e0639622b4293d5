// TextReader: a file is read into one block in a single pass of large reads, the text
// translation (if any) is applied in place, and the lines are cut out of the block
// without copies. Counting and cutting use memchr, so both passes the reading rules ask
// for run at memory speed.
#include "document/FileLock.h"
#include "document/Language.h"
#include "document/LineStore.h"
#include "document/TextFile.h"
#include "platform/Host.h"
#include "platform/Messages.h"
#include "settings/Options.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace varlin {
namespace {

constexpr int kOutOfMemory = 1002;
constexpr int kOpenFailed = 1022;
constexpr int kOpenHeldFile = 1209;
constexpr int kTooManyLines = 1304;
constexpr std::size_t kFirstBlock = 1 << 16;

bool IsLineEndByte(char c) { return c == '\r' || c == '\n' || c == 0x1A; }

// CR LF becomes LF and the first 0x1A ends the text, as a text-mode stream reads it.
std::size_t Translate(char* data, std::size_t size) {
    if (const void* eof = std::memchr(data, 0x1A, size))
        size = static_cast<std::size_t>(static_cast<const char*>(eof) - data);
    char* cr = static_cast<char*>(std::memchr(data, '\r', size));
    if (!cr) return size;
    char* out = cr;
    const char* in = cr;
    const char* end = data + size;
    while (in < end) {
        const char* next = static_cast<const char*>(std::memchr(in + 1, '\r', end - in - 1));
        const char* stop = next ? next : end;
        // in points at a CR: dropped when an LF follows it.
        if (in + 1 < end && in[1] == '\n') ++in;
        std::size_t n = static_cast<std::size_t>(stop - in);
        std::memmove(out, in, n);
        out += n;
        in = stop;
    }
    return static_cast<std::size_t>(out - data);
}

}  // namespace

int ReadStream(int fd, bool translate, TextStream& stream, int& error) {
    struct stat st {};
    std::size_t room = kFirstBlock;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0)
        room = static_cast<std::size_t>(st.st_size) + 1;  // + 1 sees the end in one pass
    std::unique_ptr<char[]> block(new (std::nothrow) char[room]);
    if (!block) {
        error = ENOMEM;
        return -1;
    }
    std::size_t size = 0;
    for (;;) {
        if (size == room) {  // the file grew while being read, or is no regular file
            std::size_t bigger = room * 2;
            std::unique_ptr<char[]> grown(new (std::nothrow) char[bigger]);
            if (!grown) {
                error = ENOMEM;
                return -1;
            }
            std::memcpy(grown.get(), block.get(), size);
            block = std::move(grown);
            room = bigger;
        }
        ssize_t got = ::read(fd, block.get() + size, room - size);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return -1;
        }
        if (got == 0) break;
        size += static_cast<std::size_t>(got);
    }
    if (translate) size = Translate(block.get(), size);
    stream.block = std::move(block);
    stream.size = size;
    return 0;
}

std::size_t CountLines(const TextStream& stream) {
    const char* p = stream.block.get();
    const char* end = p + stream.size;
    std::size_t lines = 0;
    while (p < end) {
        const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!lf) return lines + 1;  // bytes after the last LF
        ++lines;
        p = static_cast<const char*>(lf) + 1;
    }
    return lines;
}

int ReadLines(LineStore& store, TextStream& stream, const std::string& name) {
    std::size_t lines = CountLines(stream);
    if (lines > static_cast<std::size_t>(kLineCountQuestionLimit) &&
        ShowMessage(kTooManyLines, "500.000") != IdYes)
        return -1;
    int want = lines > static_cast<std::size_t>(INT32_MAX - 10) ? INT32_MAX : int(lines) + 10;
    if (store.Reserve(want) != 1 || store.ReserveLines(want) != 1) return -1;

    // A piece is what one read of LngLineBuffer - 1 characters up to the first LF gives.
    // A buffer of one byte would read nothing forever; it reads one character instead.
    const std::size_t limit =
        static_cast<std::size_t>(std::max(1, CurrentOptions().LineBufferSize() - 1));
    WaitCursor wait;
    const char* data = stream.block.get();
    const std::size_t size = stream.size;
    if (size > 0 && store.AdoptBlock(std::move(stream.block), size) != 0) return -1;
    stream.size = 0;

    bool split = false;
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t room = std::min(limit, size - pos);
        const void* lf = std::memchr(data + pos, '\n', room);
        std::size_t end = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) + 1
                             : pos + room;
        if (!lf && end < size) split = true;
        std::size_t keep = end;
        while (keep > pos && IsLineEndByte(data[keep - 1])) --keep;
        if (store.AppendBlockLine(data + pos, keep - pos) != 0) return -1;
        pos = end;
    }
    // The split changes the file when it is saved, so the user hears of it once.
    if (split) ShowMessage(kLinesSplitMessage, name);
    return 0;
}

int Load(LineStore& store, const std::string& name, int highlight) {
    store.lockedFile.reset();
    store.Clear();
    store.SetFileName(std::string());

    const bool lockMode = CurrentOptions().LockMode != 0;
    int error = 0;
    auto file = FileLock::Open(
        name, lockMode ? FileLock::Mode::ReadWriteLocked : FileLock::Mode::ReadShared, error);
    if (file) {
        TextStream stream;
        if (ReadStream(file->Descriptor(), !lockMode, stream, error) != 0) {
            if (error == ENOMEM)
                ShowMessage(kOutOfMemory);
            else
                ShowFileError(name, error);
            return -1;
        }
        if (ReadLines(store, stream, name) != 0) return -1;
        store.SetFileName(name);
        SelectLanguage(store, highlight);
        if (lockMode) store.lockedFile = std::move(file);
        return 0;
    }
    if (!lockMode) {
        ShowMessage(kOpenFailed, name);
        return -1;
    }
    if (ShowMessage(kOpenHeldFile, name) != IdYes) return -1;
    // Opened anyway: read only, without a lock and without a name, so that saving asks
    // for one. The handle stays until the next save or until the window closes.
    file = FileLock::Open(name, FileLock::Mode::ReadShared, error);
    if (!file) {
        ShowFileError(name, error);
        return -1;
    }
    TextStream stream;
    if (ReadStream(file->Descriptor(), false, stream, error) != 0) {
        if (error == ENOMEM)
            ShowMessage(kOutOfMemory);
        else
            ShowFileError(name, error);
        return -1;
    }
    if (ReadLines(store, stream, name) != 0) return -1;
    SelectLanguage(store, highlight);
    store.lockedFile = std::move(file);
    return 0;
}

}  // namespace varlin
