// TextReader: a file is read into one block in a single pass of large reads, the text
// translation (if any) is applied in place, and the lines are cut out of the block
// without copies. Counting and cutting look for LFs sixteen bytes at a time (SSE2), so
// both passes the reading rules ask for run at memory speed.
#include "document/DocumentEncoding.h"
#include "document/DocumentStyle.h"
#include "document/FileLock.h"
#include "document/LeftoverBackup.h"
#include "document/Language.h"
#include "document/LineStore.h"
#include "document/SafeWrite.h"
#include "document/TextFile.h"
#include "platform/Host.h"
#include "platform/FileKinds.h"
#include "platform/Messages.h"
#include "platform/StopRequest.h"
#include "settings/Options.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__) && defined(__GNUC__)
#include <emmintrin.h>
#define VARLIN_READER_SSE2 1
#endif

namespace varlin {
namespace {

constexpr int kOutOfMemory = 1002;
constexpr int kOpenFailed = 1022;
constexpr int kOpenHeldFile = 1209;
constexpr int kTooManyLines = 1304;
constexpr std::size_t kFirstBlock = 1 << 16;
// A file is read this much at a time, so that each piece is hashed while it is in the cache.
constexpr std::size_t kReadPiece = std::size_t(1) << 18;
std::size_t g_fileBackedFrom = 0;

bool IsLineEndByte(char c) { return c == '\r' || c == '\n' || c == 0x1A; }

// The index of the first LF in data[from, end), or end when there is none. Sixteen bytes
// at a time inline: the lines of a source file are too short for a call of memchr each.
std::size_t NextLf(const char* data, std::size_t from, std::size_t end) {
#ifdef VARLIN_READER_SSE2
    const __m128i lf = _mm_set1_epi8('\n');
    auto lfs = [&](std::size_t at) {
        return static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at)), lf)));
    };
    std::size_t i = from;
    for (; i + 16 <= end; i += 16)
        if (const unsigned mask = lfs(i)) return i + static_cast<std::size_t>(__builtin_ctz(mask));
    if (i >= end) return end;
    if (end >= 16) {
        // The sixteen bytes that end at end, those before i masked off.
        const std::size_t base = end - 16;
        const unsigned mask = lfs(base) & (0xFFFFu << (i - base));
        return mask ? base + static_cast<std::size_t>(__builtin_ctz(mask)) : end;
    }
    for (; i < end; ++i)
        if (data[i] == '\n') return i;
    return end;
#else
    const void* hit = std::memchr(data + from, '\n', end - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : end;
#endif
}

// CR LF becomes LF, as a text-mode stream reads it (the 0x1A is cut off before).
std::size_t Translate(char* data, std::size_t size) {
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

bool HoldsCrLf(const char* data, std::size_t size) {
    const char* p = data;
    const char* end = data + size;
    while (p < end) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', std::size_t(end - p)));
        if (!cr || cr + 1 >= end) return false;
        if (cr[1] == '\n') return true;
        p = cr + 1;
    }
    return false;
}

// A block for a file's bytes; null when out of memory. A large one is backed by huge
// pages where the system offers them on request: reading a 40 MB file then costs a few
// dozen page faults instead of ten thousand, and every pass over the text after it misses
// the address cache less. (Only whole huge pages inside the block are asked for.)
TextBlock NewBlock(std::size_t room) {
    TextBlock block(new (std::nothrow) char[room]);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    if (block && room >= 2 * kHugePage) {
        const auto first = reinterpret_cast<std::uintptr_t>(block.get());
        const std::uintptr_t start = (first + kHugePage - 1) & ~(kHugePage - 1);
        const std::uintptr_t end = (first + room) & ~(kHugePage - 1);
        if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
#endif
    return block;
}

// Gives the whole pages of a block past its first size bytes back to the system: the CR
// of every CR LF that the translation took out (a megabyte for a million lines) would
// otherwise stay resident as long as the document. The pages stay the block's and read
// as zeros if ever touched again.
void ReleaseTail(char* block, std::size_t size, std::size_t room) {
    const long page = ::sysconf(_SC_PAGESIZE);
    if (page <= 0) return;
    const auto mask = static_cast<std::uintptr_t>(page) - 1;
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(block) + size + mask) & ~mask;
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + room) & ~mask;
    if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
}

// Grows block to twice its room, keeping its first size bytes.
bool Grow(TextBlock& block, std::size_t& room, std::size_t size) {
    std::size_t bigger = room * 2;
    TextBlock grown = NewBlock(bigger);
    if (!grown) return false;
    std::memcpy(grown.get(), block.get(), size);
    block = std::move(grown);
    room = bigger;
    return true;
}

}  // namespace

// Reads the open file and takes from it the line ends to write back and the cut at a
// Ctrl+Z, which the user hears of at once. False after the message.
static bool ReadOpenFile(FileLock& file, bool translate, TextStream& stream, const std::string& name,
                  LineStore& store) {
    int error = 0;
    if (ReadStream(file.Descriptor(), translate, stream, error) != 0) {
        if (error == ENOMEM)
            ShowMessage(kOutOfMemory);
        else if (error != EINTR)  // EINTR: stopped by the user, nothing to tell
            ShowFileError(name, error);
        return false;
    }
    store.lineEnds = LineEndsOfStream(stream, CurrentOptions().KeepLineEnds != 0);
    store.cutAtCtrlZ = stream.cutAtCtrlZ;
    store.disk = IdentityOfDescriptor(file.Descriptor(), stream.hash);
    store.declinedReload = DiskIdentity{};
    if (stream.cutAtCtrlZ >= 0)
        ShowMessage(kCutAtCtrlZMessage, name.c_str(), std::to_string(stream.cutAtCtrlZ).c_str());
    return true;
}

int ReadStream(int fd, bool translate, TextStream& stream, int& error) {
    struct stat st {};
    std::size_t room = kFirstBlock;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0)
        room = static_cast<std::size_t>(st.st_size) + 1;  // + 1 sees the end in one pass
    TextBlock block = NewBlock(room);
    if (!block) {
        error = ENOMEM;
        return -1;
    }
    std::size_t size = 0;
    ContentHash hash;
    for (;;) {
        // A file that another program keeps growing is read until the user stops it.
        if (StopRequested()) {
            error = EINTR;
            return -1;
        }
        if (size == room && !Grow(block, room, size)) {
            error = ENOMEM;
            return -1;
        }
        ssize_t got = ::read(fd, block.get() + size, std::min(room - size, kReadPiece));
        if (got < 0) {
            if (errno == EINTR) continue;
            error = errno;
            return -1;
        }
        if (got == 0) break;
        // Hashed while the piece is still in the cache, not in a pass of its own.
        hash.Update(block.get() + size, static_cast<std::size_t>(got));
        size += static_cast<std::size_t>(got);
    }
    stream.hash = hash.Value();
    stream.cutAtCtrlZ = -1;
    if (translate) {
        if (const void* eof = std::memchr(block.get(), 0x1A, size)) {
            std::size_t at = static_cast<std::size_t>(static_cast<const char*>(eof) - block.get());
            if (at + 1 < size) stream.cutAtCtrlZ = static_cast<long long>(at);
            size = at;
        }
    }
    stream.sawLf = std::memchr(block.get(), '\n', size) != nullptr;
    stream.sawCrLf = HoldsCrLf(block.get(), size);
    if (translate) {
        size = Translate(block.get(), size);
        ReleaseTail(block.get(), size, room);
    }
    stream.block = std::move(block);
    stream.size = size;
    return 0;
}

LineEnds LineEndsOfStream(const TextStream& stream, bool keepLineEnds) {
    return keepLineEnds && stream.sawLf && !stream.sawCrLf ? LineEnds::Lf : LineEnds::CrLf;
}

const char* LineEndBytes(LineEnds ends) { return ends == LineEnds::Lf ? "\n" : "\r\n"; }

std::size_t CountLines(const TextStream& stream) {
    const char* p = stream.block.get();
    const std::size_t size = stream.size;
    std::size_t lines = 0;
    std::size_t i = 0;
#ifdef VARLIN_READER_SSE2
    // Sixteen byte counters, each LF subtracting -1 from its own, summed up before one of
    // them can overflow.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= size) {
        const std::size_t stop = std::min(size, i + 255 * 16);
        __m128i counts = zero;
        for (; i + 16 <= stop; i += 16)
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), lf));
        const __m128i sums = _mm_sad_epu8(counts, zero);
        lines += static_cast<std::size_t>(_mm_cvtsi128_si64(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    for (; i < size; ++i) lines += p[i] == '\n';
    if (size > 0 && p[size - 1] != '\n') ++lines;  // bytes after the last LF
    return lines;
}

int ReadLines(LineStore& store, TextStream& stream, const std::string& name) {
    std::size_t lines = CountLines(stream);
    if (lines > static_cast<std::size_t>(kLineCountQuestionLimit) &&
        ShowMessage(kTooManyLines, "500.000") != IdYes)
        return -1;
    if (lines >= static_cast<std::size_t>(kMaxDocumentLines)) {
        ShowMessage(kOutOfMemory);
        return -1;
    }
    int want = int(lines) + 10;
    if (store.Reserve(want) != 1 || store.ReserveLines(want) != 1) return -1;

    WaitCursor wait;
    const char* data = stream.block.get();
    const std::size_t size = stream.size;
    if (size > 0 && store.AdoptBlock(std::move(stream.block), size) != 0) return -1;
    stream.size = 0;

    // Every line is kept whole, however long: cutting one would change the file at the
    // next save. The document's line buffer grows to fit its longest line instead.
    std::size_t longest = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t lf = NextLf(data, pos, size);
        const std::size_t end = lf < size ? lf + 1 : size;
        std::size_t keep = end;
        while (keep > pos && IsLineEndByte(data[keep - 1])) --keep;
        longest = std::max(longest, keep - pos);
        if (store.AppendBlockLine(data + pos, keep - pos) != 0) return -1;
        pos = end;
    }
    if (!store.FitLineBuffer(longest)) {
        store.Clear();
        ShowMessage(kLineTooLongMessage, name.c_str(), std::to_string(kMaxLineBuffer - 1).c_str());
        return -1;
    }
    RecognizeEncoding(store, CurrentOptions().DetectUtf8 != 0, data, size);
    // Every pass over the whole text is behind it: from here on a window reads the lines
    // it shows, and a large text can live in a file of its own.
    if (g_fileBackedFrom != 0 && size >= g_fileBackedFrom)
        if (TextBlock copy = FileBackedCopy(data, size)) store.ReplaceLastBlock(std::move(copy));
    return 0;
}

void SetFileBackedTextFrom(std::size_t bytes) { g_fileBackedFrom = bytes; }

int Load(LineStore& store, const std::string& name, int highlight) {
    store.lockedFile.reset();
    store.Clear();
    store.SetFileName(std::string());
    store.lineEnds = LineEnds::CrLf;
    store.cutAtCtrlZ = -1;
    store.disk = DiskIdentity{};
    store.leftoverBackups.clear();
    store.utf8 = false;
    store.lineBuffer = 0;
    store.lineEndsChosen = false;
    store.fileStyle.reset();
    if (RefuseSpecialFile(name)) return -1;

    const bool lockMode = CurrentOptions().LockMode != 0;
    int error = 0;
    auto file = FileLock::Open(
        name, lockMode ? FileLock::Mode::Held : FileLock::Mode::ReadShared, error);
    if (file) {
        if (RefuseSpecialDescriptor(file->Descriptor(), name)) return -1;
        TextStream stream;
        if (!ReadOpenFile(*file, !lockMode, stream, name, store)) return -1;
        if (ReadLines(store, stream, name) != 0) return -1;
        store.SetFileName(name);
        RemoveLeftoverTemporaries(name);
        store.leftoverBackups = FindLeftoverBackups(name);
        SelectLanguage(store, highlight);
        ApplyEditorConfig(store, name, StyleFor::Load);
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
    if (RefuseSpecialDescriptor(file->Descriptor(), name)) return -1;
    TextStream stream;
    if (!ReadOpenFile(*file, false, stream, name, store)) return -1;
    if (ReadLines(store, stream, name) != 0) return -1;
    RemoveLeftoverTemporaries(name);
    store.leftoverBackups = FindLeftoverBackups(name);
    SelectLanguage(store, highlight);
    ApplyEditorConfig(store, name, StyleFor::Load);
    store.lockedFile = std::move(file);
    return 0;
}

int LoadLeftoverBackup(LineStore& store, std::unique_ptr<AdoptedBackup> backup,
                       const std::string& name, int highlight) {
    if (Load(store, backup->Path(), highlight) != 0) return -1;
    // The text of name, without a name of its own: saving asks where it goes.
    store.lockedFile.reset();
    store.leftoverBackups.clear();
    store.SetFileName(name);
    SelectLanguage(store, highlight);
    ApplyEditorConfig(store, name, StyleFor::Load);
    store.SetFileName(std::string());
    store.disk = DiskIdentity{};
    store.adoptedBackup = std::move(backup);
    return 0;
}

}  // namespace varlin
