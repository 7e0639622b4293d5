// TextReader: a large file is mapped under a read lease (platform/LeasedText.h) and its
// lines point into the mapping as the file holds them; a smaller one, or one we get no
// lease on, is read into one block in a single pass of large reads, the text translation
// (if any) applied in place. One pass at memory speed counts the lines and finds the LFs,
// the CR LF pairs and a Ctrl+Z; the line store then cuts the lines without copies.
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
#include "platform/LeasedText.h"
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

// What one pass over a file's bytes tells the reader: where a Ctrl+Z ends the text (text
// mode), whether it holds an LF and a CR LF pair, and how many lines it has.
struct ByteSurvey {
    std::size_t size = 0;  // the bytes before the Ctrl+Z, or all
    long long cutAt = -1;  // the Ctrl+Z's place when bytes follow it
    bool sawLf = false;
    bool sawCrLf = false;
    std::size_t lines = 0;
};

std::size_t CountLfs(const char* p, std::size_t from, std::size_t to) {
    std::size_t lfs = 0;
    for (std::size_t i = from; i < to; ++i) lfs += p[i] == '\n';
    return lfs;
}

// One pass at memory speed: the LFs counted sixteen at a time in byte counters (each LF
// subtracts -1 from its own, summed before one can overflow), CRs and Ctrl+Zs only
// noticed per stretch of 4080 bytes and looked at closely where one stands.
ByteSurvey SurveyBytes(const char* p, std::size_t size, bool cutAtCtrlZ) {
    ByteSurvey out;
    std::size_t lfs = 0;
    std::size_t i = 0;
    bool anyCr = false;
    std::size_t end = size;
#ifdef VARLIN_READER_SSE2
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i sub = _mm_set1_epi8(cutAtCtrlZ ? 0x1A : '\n');
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= end) {
        const std::size_t start = i;
        const std::size_t stop = std::min(end, i + 255 * 16);
        __m128i counts = zero;
        __m128i crs = zero;
        __m128i subs = zero;
        for (; i + 16 <= stop; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(v, lf));
            crs = _mm_or_si128(crs, _mm_cmpeq_epi8(v, cr));
            subs = _mm_or_si128(subs, _mm_cmpeq_epi8(v, sub));
        }
        if (cutAtCtrlZ && _mm_movemask_epi8(subs) != 0) {
            if (const void* z = std::memchr(p + start, 0x1A, i - start)) {
                end = static_cast<std::size_t>(static_cast<const char*>(z) - p);
                lfs += CountLfs(p, start, end);
                anyCr = anyCr || std::memchr(p + start, '\r', end - start) != nullptr;
                i = end;
                break;
            }
        }
        const __m128i sums = _mm_sad_epu8(counts, zero);
        lfs += static_cast<std::size_t>(_mm_cvtsi128_si64(sums)) +
               static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
        anyCr = anyCr || _mm_movemask_epi8(crs) != 0;
    }
#endif
    for (; i < end; ++i) {
        if (cutAtCtrlZ && p[i] == 0x1A) {
            end = i;
            break;
        }
        lfs += p[i] == '\n';
        anyCr = anyCr || p[i] == '\r';
    }
    out.size = end;
    if (end < size && end + 1 < size) out.cutAt = static_cast<long long>(end);
    out.sawLf = lfs > 0;
    out.sawCrLf = anyCr && HoldsCrLf(p, end);
    out.lines = lfs + (end > 0 && p[end - 1] != '\n' ? 1 : 0);
    return out;
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
    if (!MapStream(file.Descriptor(), translate, stream) &&
        ReadStream(file.Descriptor(), translate, stream, error) != 0) {
        if (error == ENOMEM)
            ShowMessage(kOutOfMemory);
        else if (error != EINTR)  // EINTR: stopped by the user, nothing to tell
            ShowFileError(name, error);
        return false;
    }
    store.lineEnds = LineEndsOfStream(stream, CurrentOptions().KeepLineEnds != 0);
    store.cutAtCtrlZ = stream.cutAtCtrlZ;
    store.disk = IdentityOfDescriptor(file.Descriptor(), stream.hash);
    // A leased file's hash is worked out only when a save or a reload question needs it.
    store.disk.hashOfText = IsLeased(stream.block);
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
    const ByteSurvey survey = SurveyBytes(block.get(), size, translate);
    size = survey.size;
    stream.cutAtCtrlZ = survey.cutAt;
    stream.sawLf = survey.sawLf;
    stream.sawCrLf = survey.sawCrLf;
    stream.lines = survey.lines;  // a translation takes out CRs only
    if (translate && survey.sawCrLf) {
        size = Translate(block.get(), size);
        ReleaseTail(block.get(), size, room);
    } else if (translate) {
        ReleaseTail(block.get(), size, room);
    }
    stream.block = std::move(block);
    stream.size = size;
    return 0;
}

bool MapStream(int fd, bool translate, TextStream& stream) {
    std::size_t size = 0;
    TextBlock block = LeaseText(fd, size);
    if (!block) return false;
    // The text stays as the file holds it, CR LF pairs too: a line is cut at its LF and
    // loses the line-end bytes before it, so it reads as after the text translation.
    const ByteSurvey survey = SurveyBytes(block.get(), size, translate);
    stream.block = std::move(block);
    stream.size = survey.size;
    stream.cutAtCtrlZ = survey.cutAt;
    stream.sawLf = survey.sawLf;
    stream.sawCrLf = survey.sawCrLf;
    stream.lines = survey.lines;
    stream.hash = 0;
    return true;
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
    const std::size_t lines = stream.lines != kLinesUncounted ? stream.lines : CountLines(stream);
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
    const bool fileBacked = IsFileBacked(stream.block);  // a leased file's too
    if (size > 0 && store.AdoptBlock(std::move(stream.block), size) != 0) return -1;
    stream.size = 0;

    // Every line is kept whole, however long: cutting one would change the file at the
    // next save. The document's line buffer grows to fit its longest line instead.
    std::size_t longest = 0;
    if (store.AppendBlockText(data, size, longest) != 0) return -1;
    if (!store.FitLineBuffer(longest)) {
        store.Clear();
        ShowMessage(kLineTooLongMessage, name.c_str(), std::to_string(kMaxLineBuffer - 1).c_str());
        return -1;
    }
    RecognizeEncoding(store, CurrentOptions().DetectUtf8 != 0, data, size);
    // Every pass over the whole text is behind it: from here on a window reads the lines
    // it shows, and a large text can live in a file of its own.
    if (g_fileBackedFrom != 0 && size >= g_fileBackedFrom && !fileBacked)
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
