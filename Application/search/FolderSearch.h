// The search behind "browse and open": the files of a folder (and, on request, of its
// subfolders) whose names match a list of wildcard patterns and whose text contains a
// search text, compared by the search engine's rules (case told apart or not, the escape
// notation, the code table). Each hit is reported at once with its first matching line.
//
// Files that cannot be read, binary files (a NUL byte near their start) and folders that
// a symbolic link leads back into are skipped and counted, never fatal. The search can be
// cancelled from another thread; it looks at the flag between files and between the
// chunks of a large file, so it stops within a fraction of a second.
#pragma once

#include "search/FindSettings.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace varlin {

// The patterns of a filter entry or of a typed text: the part in the last parentheses
// when there is one ("C Quellen (*.c)" -> "*.c"), split at ';', ',' and blanks.
std::vector<std::string> ParseNamePatterns(const std::string& text);

// A file name against one pattern with '*' and '?', letters compared without case as
// the file dialogs of the program's home system do; "*.*" matches every name and "*."
// every name without a dot.
bool MatchesWildcard(const std::string& name, const std::string& pattern);
bool MatchesAnyPattern(const std::string& name, const std::vector<std::string>& patterns);

struct FolderSearchRequest {
    std::string folder;
    std::vector<std::string> patterns;  // empty: every file
    bool subfolders = true;
    FindSettings find;                  // FindString, CapsSens, ExpandEscapes, Regex are used
    int codeTable = 2;                  // 1: files are OEM text, compared as ANSI
};

struct FolderSearchHit {
    std::string path;
    int line = 0;                       // 1-based number of the first matching line
    std::string lineText;               // that line's bytes, cut at kHitLineMax
};
constexpr std::size_t kHitLineMax = 200;

struct FolderSearchCounts {
    int filesSearched = 0;
    int hits = 0;
    int unreadable = 0;                 // files and folders that could not be opened or read
    int binary = 0;
    int loops = 0;                      // folders a link led back into, links that loop
    int cutOff = 0;                     // files where an expression's matching hit its limits
};

enum class FolderSearchStatus {
    Done,
    Cancelled,
    NoSearchText,                       // empty, or a refused escape notation
    NoFolder,                           // the folder does not exist or is no folder
};

// Called for every hit, in the order of the walk (names sorted within each folder).
using FolderSearchHitSink = std::function<void(const FolderSearchHit&)>;

// Searches synchronously. `cancel` may be set by another thread at any time; `progress`,
// when given, receives the number of files searched so far as the walk goes on.
FolderSearchStatus SearchFolder(const FolderSearchRequest& request, const FolderSearchHitSink& sink,
                                FolderSearchCounts& counts, const std::atomic<bool>* cancel = nullptr,
                                std::atomic<int>* progress = nullptr);

// A search on a worker thread: the window's thread starts it, takes the hits found since
// the last look and the number of files searched, and may cancel it.
class FolderSearchRun {
public:
    FolderSearchRun() = default;
    ~FolderSearchRun();
    FolderSearchRun(const FolderSearchRun&) = delete;
    FolderSearchRun& operator=(const FolderSearchRun&) = delete;

    // Starts a search; a search still running is cancelled and waited for first.
    void Start(const FolderSearchRequest& request);
    // Asks the search to stop and waits until it has (returns at once when none runs).
    void Cancel();
    bool Running() const;
    // The hits found since the last call, in their order.
    std::vector<FolderSearchHit> TakeHits();
    int FilesSearched() const { return progress_.load(); }
    // Valid once Running() is false.
    FolderSearchStatus status() const;
    FolderSearchCounts counts() const;

private:
    void Join();

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> running_{false};
    std::atomic<int> progress_{0};
    mutable std::mutex mutex_;
    std::vector<FolderSearchHit> pending_;
    FolderSearchStatus status_ = FolderSearchStatus::Done;
    FolderSearchCounts counts_;
};

}  // namespace varlin
