// The folder walk and the scan of each file for browse and open. Files are read in chunks
// that end at a line end, so that a hit never spans two chunks and its line is at hand;
// the scan itself is the search engine's (FindInLine over the whole chunk).
#include "search/FolderSearch.h"

#include "search/RegexPattern.h"
#include "search/SearchEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace varlin {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kChunk = 256 * 1024;
constexpr std::size_t kBinaryProbe = 8 * 1024;  // a NUL byte in here marks a binary file

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool WildcardAt(const char* n, const char* p) {
    // Iterative '*' matching with one back-track point: linear in practice.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*n) {
        if (*p == '*') {
            star = p++;
            resume = n;
        } else if (*p == '?' || (*p && AsciiLower(*p) == AsciiLower(*n))) {
            ++p;
            ++n;
        } else if (star) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*') ++p;
    return *p == '\0';
}

// A folder's identity, so that a link back into a folder already on the way is noticed.
struct FolderId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::string path;  // where the system has no inode numbers
    auto operator<=>(const FolderId&) const = default;
};

bool IdentifyFolder(const fs::path& path, FolderId& id, std::error_code& ec) {
#ifndef _WIN32
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        ec.assign(errno, std::generic_category());
        return false;
    }
    id.device = std::uint64_t(st.st_dev);
    id.inode = std::uint64_t(st.st_ino);
    return true;
#else
    id.path = fs::canonical(path, ec).string();
    return !ec;
#endif
}

bool IsLoopError(const std::error_code& ec) {
    return ec == std::errc::too_many_symbolic_link_levels;
}

class Searcher {
public:
    Searcher(const FolderSearchRequest& request, const SearchPattern& pattern, RegexPattern* regex,
             const FolderSearchHitSink& sink, FolderSearchCounts& counts, const std::atomic<bool>* cancel,
             std::atomic<int>* progress)
        : request_(request), pattern_(pattern), regex_(regex), sink_(sink), counts_(counts), cancel_(cancel),
          progress_(progress) {
        buffer_.resize(kChunk + pattern.text.size());
    }

    bool Cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }

    void WalkFolder(const fs::path& folder, std::vector<FolderId>& chain) {
        std::vector<fs::directory_entry> entries;
        std::error_code ec;
        fs::directory_iterator it(folder, ec);
        if (ec) {
            ++counts_.unreadable;
            return;
        }
        for (const fs::directory_iterator end; it != end; it.increment(ec)) {
            if (ec) break;
            entries.push_back(*it);
        }
        if (ec) ++counts_.unreadable;
        std::sort(entries.begin(), entries.end(),
                  [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
        for (const fs::directory_entry& entry : entries) {
            if (Cancelled()) return;
            VisitEntry(entry, chain);
        }
    }

    void WalkRoot(const fs::path& folder) {
        std::vector<FolderId> chain(1);
        std::error_code ec;
        if (!IdentifyFolder(folder, chain[0], ec)) {
            ++counts_.unreadable;
            return;
        }
        visited_.insert(chain[0]);
        WalkFolder(folder, chain);
    }

private:
    void VisitEntry(const fs::directory_entry& entry, std::vector<FolderId>& chain) {
        std::error_code ec;
        // The entry's own type comes with the listing (no look at the file); only a link
        // needs a look at its target.
        bool folder = false, regular = false;
        if (entry.is_symlink(ec)) {
            const fs::file_status target = entry.status(ec);
            folder = fs::is_directory(target);
            regular = fs::is_regular_file(target);
        } else if (!ec) {
            folder = entry.is_directory(ec);
            if (!folder && !ec) regular = entry.is_regular_file(ec);
        }
        if (ec) {
            if (IsLoopError(ec)) ++counts_.loops;
            else ++counts_.unreadable;  // a dangling link, or a folder we may not look into
            return;
        }
        if (folder) {
            if (request_.subfolders) EnterFolder(entry.path(), chain);
            return;
        }
        // Pipes, devices and sockets hold no text and could block a read forever.
        if (!regular) return;
        if (!MatchesAnyPattern(entry.path().filename().string(), request_.patterns)) return;
        SearchFile(entry.path());
    }

    void EnterFolder(const fs::path& path, std::vector<FolderId>& chain) {
        FolderId id;
        std::error_code ec;
        if (!IdentifyFolder(path, id, ec)) {
            if (IsLoopError(ec)) ++counts_.loops;
            else ++counts_.unreadable;
            return;
        }
        if (std::find(chain.begin(), chain.end(), id) != chain.end()) {
            ++counts_.loops;  // a link back into a folder on the way here: endless
            return;
        }
        // A folder reached a second time by another link has been searched already.
        if (!visited_.insert(id).second) return;
        chain.push_back(id);
        WalkFolder(path, chain);
        chain.pop_back();
    }

    void SearchFile(const fs::path& path) {
        std::FILE* file = std::fopen(path.string().c_str(), "rb");
        if (!file) {
            ++counts_.unreadable;
            return;
        }
        std::setvbuf(file, nullptr, _IONBF, 0);  // the chunks are our buffer
        const FileVerdict verdict = ScanFile(file, path);
        std::fclose(file);
        if (verdict == FileVerdict::Unreadable) ++counts_.unreadable;
        else if (verdict == FileVerdict::Binary) ++counts_.binary;
        else if (verdict == FileVerdict::Searched) ++counts_.filesSearched;
        if (progress_) progress_->fetch_add(1, std::memory_order_relaxed);
    }

    enum class FileVerdict { Searched, Unreadable, Binary, Cancelled };

    // Chunks of whole lines: what follows the last line end of a read waits at the front
    // of the buffer for the next read. A line longer than a chunk is searched in pieces
    // that overlap by the pattern's length less one, so no hit inside it is lost.
    FileVerdict ScanFile(std::FILE* file, const fs::path& path) {
        const std::size_t n = pattern_.text.size();
        char* data = buffer_.data();
        std::size_t kept = 0;          // bytes carried over at the front of the buffer
        std::size_t linesBefore = 0;   // line ends before the buffer's first byte
        bool first = true;
        for (;;) {
            if (Cancelled()) return FileVerdict::Cancelled;
            const std::size_t room = buffer_.size() - kept;
            const std::size_t got = std::fread(data + kept, 1, room, file);
            if (got < room && std::ferror(file)) return FileVerdict::Unreadable;
            const bool atEnd = got < room;
            const std::size_t size = kept + got;
            if (first && std::memchr(data, 0, std::min(size, kBinaryProbe))) return FileVerdict::Binary;
            first = false;
            // Hits may begin before `region`; what lies behind it comes again next time.
            std::size_t region = size;
            if (!atEnd) {
                const std::size_t lastEnd = std::string_view(data, size).rfind('\n');
                region = lastEnd != std::string_view::npos ? lastEnd + 1 : size - std::min(size, n - 1);
            }
            if (FindHit(std::string_view(data, size), region, linesBefore, path)) return FileVerdict::Searched;
            if (atEnd) return FileVerdict::Searched;
            linesBefore += std::size_t(std::count(data, data + region, '\n'));
            kept = size - region;
            std::memmove(data, data + region, kept);
        }
    }

    bool FindHit(std::string_view text, std::size_t region, std::size_t linesBefore, const fs::path& path) {
        if (regex_) return FindRegexHit(text, region, linesBefore, path);
        const std::size_t n = pattern_.text.size();
        const bool endsWithCr = pattern_.text.back() == '\r';
        int from = 0;
        for (;;) {
            const int hit = NextHit(text, from);
            if (hit < 0 || std::size_t(hit) >= region) return false;
            const std::size_t end = std::size_t(hit) + n;
            // The CR of a CR LF belongs to the line end, which no line of a document holds.
            if (endsWithCr && end < text.size() && text[end] == '\n') {
                from = hit + 1;
                continue;
            }
            Report(text, std::size_t(hit), linesBefore, path);
            return true;
        }
    }

    // An expression is matched line by line, each without its line end. A file in which
    // the library's limits cut a line's matching short is counted, not taken for a hit.
    bool FindRegexHit(std::string_view text, std::size_t region, std::size_t linesBefore, const fs::path& path) {
        for (std::size_t lineStart = 0; lineStart < region;) {
            std::size_t lineEnd = text.find('\n', lineStart);
            if (lineEnd == std::string_view::npos) lineEnd = text.size();
            std::size_t contentEnd = lineEnd;
            if (contentEnd > lineStart && text[contentEnd - 1] == '\r') --contentEnd;
            std::size_t start = 0;
            std::size_t end = 0;
            switch (regex_->Match(text.substr(lineStart, contentEnd - lineStart), 0, false, start, end)) {
            case MatchResult::Match:
                Report(text, lineStart + start, linesBefore, path);
                return true;
            case MatchResult::Limit:
                ++counts_.cutOff;
                return true;
            case MatchResult::NoMatch:
                break;
            }
            lineStart = lineEnd + 1;
        }
        return false;
    }

    // The engine's scan; a pattern compared byte for byte goes to the library's substring
    // search, which skips ahead by the pattern's bytes rather than its first one.
    int NextHit(std::string_view text, int from) const {
        if (pattern_.folded) return FindInLine(pattern_, text, from);
#if defined(__GLIBC__)
        const void* at = ::memmem(text.data() + from, text.size() - std::size_t(from), pattern_.text.data(),
                                  pattern_.text.size());
        return at ? int(static_cast<const char*>(at) - text.data()) : -1;
#else
        const std::size_t at = text.find(std::string_view(pattern_.text), std::size_t(from));
        return at == std::string_view::npos ? -1 : int(at);
#endif
    }

    void Report(std::string_view text, std::size_t hit, std::size_t linesBefore, const fs::path& path) {
        FolderSearchHit h;
        h.path = path.string();
        h.line = int(linesBefore + std::size_t(std::count(text.begin(), text.begin() + long(hit), '\n')) + 1);
        const std::size_t lineStart = hit == 0 ? 0 : text.rfind('\n', hit - 1) + 1;  // npos + 1 == 0
        std::size_t lineEnd = text.find('\n', hit);
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        if (lineEnd > lineStart && text[lineEnd - 1] == '\r') --lineEnd;
        h.lineText.assign(text.substr(lineStart, std::min(lineEnd - lineStart, kHitLineMax)));
        ++counts_.hits;
        if (sink_) sink_(h);
    }

    const FolderSearchRequest& request_;
    const SearchPattern& pattern_;
    RegexPattern* regex_;  // set when the search text is a regular expression
    const FolderSearchHitSink& sink_;
    FolderSearchCounts& counts_;
    const std::atomic<bool>* cancel_;
    std::atomic<int>* progress_;
    std::vector<char> buffer_;
    std::set<FolderId> visited_;
};

}  // namespace

std::vector<std::string> ParseNamePatterns(const std::string& text) {
    std::string list = text;
    const std::size_t close = list.rfind(')');
    const std::size_t open = close == std::string::npos ? close : list.rfind('(', close);
    if (open != std::string::npos) list = list.substr(open + 1, close - open - 1);
    std::vector<std::string> patterns;
    std::string current;
    for (char c : list + ";") {
        if (c == ';' || c == ',' || c == ' ' || c == '\t') {
            if (!current.empty()) patterns.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return patterns;
}

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    if (pattern == "*" || pattern == "*.*") return true;
    if (pattern == "*.") return name.find('.') == std::string::npos;
    return WildcardAt(name.c_str(), pattern.c_str());
}

bool MatchesAnyPattern(const std::string& name, const std::vector<std::string>& patterns) {
    if (patterns.empty()) return true;
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::string& p) { return MatchesWildcard(name, p); });
}

FolderSearchStatus SearchFolder(const FolderSearchRequest& request, const FolderSearchHitSink& sink,
                                FolderSearchCounts& counts, const std::atomic<bool>* cancel,
                                std::atomic<int>* progress) {
    counts = {};
    SearchPattern pattern;
    std::unique_ptr<RegexPattern> regex;
    if (request.find.Regex) {
        regex = std::make_unique<RegexPattern>();
        RegexError error;
        if (request.find.FindString.empty() || !regex->Compile(request.find, request.codeTable, error))
            return FolderSearchStatus::NoSearchText;
        pattern.text = " ";  // the chunks' overlap: lines are matched whole
    } else if (!CompilePattern(request.find, request.codeTable, pattern)) {
        return FolderSearchStatus::NoSearchText;
    }
    std::error_code ec;
    if (request.folder.empty() || !fs::is_directory(request.folder, ec)) return FolderSearchStatus::NoFolder;
    // No line of a document holds a line feed: such a text is in no file.
    if (!regex && pattern.text.find('\n') != std::string::npos) return FolderSearchStatus::Done;
    Searcher searcher(request, pattern, regex.get(), sink, counts, cancel, progress);
    searcher.WalkRoot(request.folder);
    return searcher.Cancelled() ? FolderSearchStatus::Cancelled : FolderSearchStatus::Done;
}

FolderSearchRun::~FolderSearchRun() { Cancel(); }

void FolderSearchRun::Start(const FolderSearchRequest& request) {
    Cancel();
    cancel_ = false;
    progress_ = 0;
    {
        std::lock_guard lock(mutex_);
        pending_.clear();
        counts_ = {};
        status_ = FolderSearchStatus::Done;
    }
    running_ = true;
    worker_ = std::thread([this, request] {
        FolderSearchCounts counts;
        const FolderSearchStatus status = SearchFolder(
            request,
            [this](const FolderSearchHit& hit) {
                std::lock_guard lock(mutex_);
                pending_.push_back(hit);
            },
            counts, &cancel_, &progress_);
        {
            std::lock_guard lock(mutex_);
            counts_ = counts;
            status_ = status;
        }
        running_ = false;
    });
}

void FolderSearchRun::Cancel() {
    cancel_ = true;
    Join();
}

void FolderSearchRun::Join() {
    if (worker_.joinable()) worker_.join();
}

bool FolderSearchRun::Running() const { return running_.load(); }

std::vector<FolderSearchHit> FolderSearchRun::TakeHits() {
    std::lock_guard lock(mutex_);
    std::vector<FolderSearchHit> hits;
    hits.swap(pending_);
    return hits;
}

FolderSearchStatus FolderSearchRun::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

FolderSearchCounts FolderSearchRun::counts() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

}  // namespace varlin
