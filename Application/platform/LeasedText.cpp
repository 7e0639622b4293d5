// LeasedText: see the header. The leases live in a fixed table that the signal handler
// reads; a slot is busy while one side works on it, and the side that holds it busy on
// the program's side has the lease signal blocked, so that the handler can wait for it
// from another thread but never interrupts the holder itself.
#include "platform/LeasedText.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

#if defined(__linux__)
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define VARLIN_LEASED_TEXT 1
#endif

namespace varlin {

#ifdef VARLIN_LEASED_TEXT
namespace {

constexpr int kLeaseSignal = SIGIO;
enum SlotState : int { kFree, kBusy, kLeased, kCopied };

struct Slot {
    std::atomic<int> state{kFree};
    int fd = -1;               // the descriptor that holds the lease
    char* data = nullptr;
    std::size_t size = 0;      // the file's bytes
    std::size_t fileSpan = 0;  // the pages that map the file
    std::size_t length = 0;    // and one page of zeros behind them
    std::atomic<int> holds{0};  // the block and its LeasedTexts
};

constexpr int kSlots = 64;
Slot g_slots[kSlots];
struct sigaction g_previous {};
std::once_flag g_handlerInstalled;

// Blocks the lease signal in this thread while it lives.
class SignalBlocked {
public:
    SignalBlocked() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, kLeaseSignal);
        pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalBlocked() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }

private:
    sigset_t old_;
};

// Takes slot s from state from to busy, waiting while another thread holds it.
bool Claim(Slot& s, int from) {
    for (;;) {
        int state = from;
        if (s.state.compare_exchange_strong(state, kBusy, std::memory_order_acquire)) return true;
        if (state != kBusy) return false;
        sched_yield();
    }
}

// In the handler: the text goes into anonymous memory put in the place of the file's
// pages in one step, then the lease is given back and the other program may go on. Out
// of memory the lease stays, and the system takes it back after its break time.
void CopyOut(Slot& s) {
    void* copy = ::mmap(nullptr, s.fileSpan, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (copy == MAP_FAILED) return;
    // Piece by piece, each piece of the file's pages let go once copied, so that the
    // text is not resident twice.
    constexpr std::size_t kPiece = std::size_t(4) << 20;
    for (std::size_t at = 0; at < s.fileSpan; at += kPiece) {
        const std::size_t n = std::min(kPiece, s.fileSpan - at);
        std::memcpy(static_cast<char*>(copy) + at, s.data + at, std::min(n, s.size - std::min(s.size, at)));
        ::madvise(s.data + at, n, MADV_DONTNEED);
    }
    ::mprotect(copy, s.fileSpan, PROT_READ);
    if (::mremap(copy, s.fileSpan, s.fileSpan, MREMAP_MAYMOVE | MREMAP_FIXED, s.data) == MAP_FAILED) {
        ::munmap(copy, s.fileSpan);
        return;
    }
    ::fcntl(s.fd, F_SETLEASE, F_UNLCK);
    ::close(s.fd);
    s.fd = -1;
}

void OnLeaseBreak(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    bool ours = false;
    for (Slot& s : g_slots) {
        // A slot being set up or released may be for this descriptor: Claim waits for it.
        if (!Claim(s, kLeased)) continue;
        if (s.fd != info->si_fd) {
            s.state.store(kLeased, std::memory_order_release);
            continue;
        }
        ours = true;
        CopyOut(s);
        s.state.store(s.fd < 0 ? kCopied : kLeased, std::memory_order_release);
    }
    errno = savedErrno;
    if (ours) return;
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) g_previous.sa_sigaction(signal, info, context);
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN && g_previous.sa_handler) {
        g_previous.sa_handler(signal);
    }
}

bool InstallHandler() {
    static bool installed = false;
    std::call_once(g_handlerInstalled, [] {
        struct sigaction action {};
        action.sa_sigaction = OnLeaseBreak;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        installed = ::sigaction(kLeaseSignal, &action, &g_previous) == 0;
    });
    return installed;
}

std::size_t PageSize() {
    const long page = ::sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::size_t>(page) : 4096;
}

// Maps size bytes of fd read-only with a page of zeros behind them; null on failure.
char* MapWithZeroTail(int fd, std::size_t fileSpan, std::size_t length) {
    void* room = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (room == MAP_FAILED) return nullptr;
    if (::mmap(room, fileSpan, PROT_READ, MAP_PRIVATE | MAP_FIXED, fd, 0) == MAP_FAILED) {
        ::munmap(room, length);
        return nullptr;
    }
    return static_cast<char*>(room);
}

Slot* SlotOf(const char* data) {
    for (Slot& s : g_slots)
        if (s.data == data && s.state.load(std::memory_order_acquire) != kFree) return &s;
    return nullptr;
}

void Drop(Slot& s) {
    if (s.holds.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    SignalBlocked blocked;
    if (!Claim(s, kLeased)) Claim(s, kCopied);
    if (s.fd >= 0) {
        ::fcntl(s.fd, F_SETLEASE, F_UNLCK);
        ::close(s.fd);
        s.fd = -1;
    }
    ::munmap(s.data, s.length);
    s.data = nullptr;
    s.state.store(kFree, std::memory_order_release);
}

}  // namespace

LeasedText::~LeasedText() { Drop(g_slots[slot_]); }

bool LeasedText::Leased() const { return g_slots[slot_].state.load(std::memory_order_acquire) == kLeased; }

void DropLeasedBlock(const char* data) {
    if (Slot* s = SlotOf(data)) Drop(*s);
}

void ReleaseLeasedPages(const char* data) {
    SignalBlocked blocked;
    Slot* s = SlotOf(data);
    if (!s || !Claim(*s, kLeased)) return;
    ::madvise(s->data, s->fileSpan, MADV_DONTNEED);
    s->state.store(kLeased, std::memory_order_release);
}

TextBlock LeaseText(int fd, std::size_t& size) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<std::size_t>(st.st_size) < kLeasedTextFrom || !InstallHandler())
        return nullptr;
    SignalBlocked blocked;
    int slot = 0;
    while (slot < kSlots && !Claim(g_slots[slot], kFree)) ++slot;
    if (slot == kSlots) return nullptr;
    Slot& s = g_slots[slot];
    auto giveUp = [&s] {
        if (s.fd >= 0) ::close(s.fd);
        s.fd = -1;
        s.state.store(kFree, std::memory_order_release);
        return nullptr;
    };
    // A description of our own: the lease goes with it, and the caller's keeps its locks.
    s.fd = ::open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat leased {};
    if (s.fd < 0 || ::fcntl(s.fd, F_SETSIG, kLeaseSignal) != 0 || ::fcntl(s.fd, F_SETLEASE, F_RDLCK) != 0 ||
        ::fstat(s.fd, &leased) != 0 || leased.st_ino != st.st_ino || leased.st_dev != st.st_dev ||
        static_cast<std::size_t>(leased.st_size) < kLeasedTextFrom)
        return giveUp();
    // From here on nobody writes the file while the lease stands: its size holds.
    const std::size_t page = PageSize();
    s.size = static_cast<std::size_t>(leased.st_size);
    s.fileSpan = (s.size + page - 1) / page * page;
    s.length = s.fileSpan + page;
    s.data = MapWithZeroTail(s.fd, s.fileSpan, s.length);
    if (!s.data) {
        ::fcntl(s.fd, F_SETLEASE, F_UNLCK);
        return giveUp();
    }
    size = s.size;
    s.holds.store(1, std::memory_order_relaxed);
    s.state.store(kLeased, std::memory_order_release);
    return TextBlock(s.data, TextBlockRelease(TextBlockRelease::kLeasedBlock));
}

std::shared_ptr<const LeasedText> SharedText(const TextBlock& block) {
    if (!block || !IsLeased(block)) return nullptr;
    Slot* s = SlotOf(block.get());
    if (!s) return nullptr;
    s->holds.fetch_add(1, std::memory_order_acq_rel);
    const auto slot = static_cast<int>(s - g_slots);
    try {
        return std::shared_ptr<const LeasedText>(new LeasedText(slot, s->data, s->size));
    } catch (const std::bad_alloc&) {
        Drop(*s);
        return nullptr;
    }
}

#else

LeasedText::~LeasedText() = default;
bool LeasedText::Leased() const { return false; }
void DropLeasedBlock(const char*) {}
void ReleaseLeasedPages(const char*) {}
TextBlock LeaseText(int, std::size_t&) { return nullptr; }
std::shared_ptr<const LeasedText> SharedText(const TextBlock&) { return nullptr; }

#endif

}  // namespace varlin
