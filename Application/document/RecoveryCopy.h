// RecoveryCopy: the copies of changed documents that bring typed text back after a crash,
// a kill or a power cut. They lie in a private folder of the user's
// (UserStateFolder()/varlin/recovery, mode 0700 and ours, each file 0600), one file per
// document, written like a save: a held temporary file, flushed, renamed over the
// document's copy. The temporary file's lock is the copy's liveness lock after the
// rename, so a copy that nobody holds belongs to a run that ended without cleaning up.
//
// A copy opens with a header (format version, time, the document's full path, the size
// and a hash of path and text) so that a copy cut or damaged on the disk is told from a
// whole one and never loaded as text.
#pragma once

#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <string_view>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace varlin {

class LineStore;

// Copies (and damaged ones put aside) older than this are removed at start-up.
constexpr int kRecoveryLifetimeDays = 30;

// The private folder, made when missing; "" when none can be had safely (a link, another
// user's folder). Tests set a folder of their own ("" restores the default).
std::string RecoveryFolder();
void SetRecoveryFolder(const std::string& folder);

// The document's text as it stood when the copy was asked for, taken on the thread that
// edits it. Taking it must not hold up typing in a long document, so the lines still in
// the block their file was read into (which stays as it is until the store is cleared)
// are borrowed, not copied; only changed lines are copied. The store's Clear and its end
// wait for a write in progress and make older snapshots stale (RecoveryCopy::Forget), so
// a borrowed line is never read after its block is gone.
struct RecoverySnapshot {
    std::string original;          // the document's file, its links resolved; "" without a name
    std::time_t time = 0;
    bool utf8 = false;
    std::uint64_t generation = 0;  // the copy's generation it was taken in
    std::vector<std::string_view> lines;
    std::deque<std::string> copied;  // the changed lines' bytes that `lines` point into
    // The copy's text: each line as four bytes of length (little-endian) and its bytes.
    std::size_t BodySize() const;
};
RecoverySnapshot TakeRecoverySnapshot(const LineStore& store, std::uint64_t generation);

// The full path a copy names for the file name (its folder's links resolved).
std::string RecoveryKeyOf(const std::string& name);

// One document's copy, held by its store. Write runs on a worker thread (through Writer,
// which outlives the handle), Remove on the thread that edits; a write whose snapshot was
// taken before the latest Remove writes nothing.
class RecoveryCopy {
public:
    RecoveryCopy();
    ~RecoveryCopy();  // closes the lock and leaves the file: only Remove deletes it
    RecoveryCopy(const RecoveryCopy&) = delete;
    RecoveryCopy& operator=(const RecoveryCopy&) = delete;

    std::uint64_t Generation();
    // 0 written (or skipped as out of date), else the error number; a failed write leaves
    // the copy before it as it was.
    int Write(const RecoverySnapshot& snapshot);
    // Write for another thread: it keeps what it needs alive should the document go first.
    std::function<int(const RecoverySnapshot&)> Writer();
    // Deletes the copy; snapshots taken before are not written.
    void Remove();
    // Waits for a write in progress and makes the snapshots taken so far stale, before the
    // text they borrow goes.
    void Forget();
    // Takes over a found copy (its lock included) as this document's copy until the next
    // write replaces it.
    void Adopt(std::string path, int fd);
    std::string Path();

    // Kept by the editing thread alone (view/RecoveryOffer.h): the store's change count
    // the copy holds, since when a later change waits to be copied (-1: none), and whether
    // a copy was written or taken over since the last Remove.
    std::uint32_t copiedChanges = 0;
    double pendingSince = -1;
    bool hasCopy = false;

private:
    struct Shared;
    std::shared_ptr<Shared> s_;
};

// A copy found for a file (or for documents without a name) that no living run holds.
struct FoundRecovery {
    std::string path;
    std::string original;  // "" for a document without a name
    std::time_t time = 0;
    bool damaged = false;  // its header could not be read
    int fd = -1;           // holds the copy's lock, so that no other editor offers it meanwhile

    FoundRecovery() = default;
    FoundRecovery(FoundRecovery&& other) noexcept;
    FoundRecovery& operator=(FoundRecovery&& other) noexcept;
    ~FoundRecovery();
    int Release();  // the descriptor, no longer closed by this record
};

// The unheld copies for the file name ("": those of documents without a name), oldest
// first. Files of another user are never opened for reading.
std::vector<FoundRecovery> FindRecoveryCopies(const std::string& name);

// The copy's lines when it is whole (header, size and hash agree); false when damaged.
bool ReadRecoveryCopy(const FoundRecovery& found, std::vector<std::string>& lines, bool& utf8);

// A damaged copy is put aside under another name (it is offered no more and goes with
// the expired ones); a discarded one is deleted.
void SetAsideDamagedCopy(FoundRecovery& found);
void DiscardRecoveryCopy(FoundRecovery& found);

// Start-up: removes unheld copies older than kRecoveryLifetimeDays and the temporary files
// of copies whose writing was cut short.
void RemoveExpiredRecoveryCopies(std::time_t now);

}  // namespace varlin
