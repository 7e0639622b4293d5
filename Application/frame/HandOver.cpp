// The hand-over's words on the socket and the book of waiting starts. A request is text
// lines whose byte strings carry their length in front, so that a name may hold any
// byte, a line end included:
//   varlin-hand-over 1
//   wait 0|1
//   token LENGTH\nBYTES\n
//   file LINE COLUMN LENGTH\nBYTES\n     (once per file)
//   end
#include "frame/HandOver.h"

#include <cstdint>
#include <cstdio>

namespace varlin {
namespace {

constexpr std::string_view kHeader = "varlin-hand-over 1\n";

void PutBytes(std::string& out, std::string_view bytes) {
    out += std::to_string(bytes.size());
    out += '\n';
    out += bytes;
    out += '\n';
}

// Reads the parts of a request one after another; any shortage marks it incomplete.
class Reader {
public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}
    bool short_ = false;

    // The text up to the next line end.
    std::optional<std::string_view> Line() {
        const std::size_t end = rest_.find('\n');
        if (end == std::string_view::npos) {
            short_ = true;
            return std::nullopt;
        }
        std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        return line;
    }
    // "LENGTH" ended by a line end, then that many bytes and a line end.
    std::optional<std::string> Bytes(std::string_view lengthText) {
        long long length = 0;
        if (!Number(lengthText, length) || std::size_t(length) > kMaxRequestBytes) return std::nullopt;
        if (rest_.size() < std::size_t(length) + 1) {
            short_ = true;
            return std::nullopt;
        }
        if (rest_[std::size_t(length)] != '\n') return std::nullopt;
        std::string bytes(rest_.substr(0, std::size_t(length)));
        rest_.remove_prefix(std::size_t(length) + 1);
        return bytes;
    }
    static bool Number(std::string_view text, long long& value) {
        if (text.empty() || text.size() > 10) return false;
        value = 0;
        for (char c : text) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + (c - '0');
        }
        return value <= INT32_MAX;
    }

private:
    std::string_view rest_;
};

// "WORD A B C": the words after the first, split at blanks.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (!line.empty()) {
        const std::size_t blank = line.find(' ');
        fields.push_back(line.substr(0, blank));
        if (blank == std::string_view::npos) break;
        line.remove_prefix(blank + 1);
    }
    return fields;
}

}  // namespace

std::string EncodeRequest(const HandOverRequest& request) {
    std::string out(kHeader);
    out += request.wait ? "wait 1\n" : "wait 0\n";
    out += "token ";
    PutBytes(out, request.activationToken);
    for (const FileSpot& spot : request.files) {
        out += "file " + std::to_string(spot.line) + ' ' + std::to_string(spot.column) + ' ';
        PutBytes(out, spot.name);
    }
    out += "end\n";
    return out;
}

Decoded DecodeRequest(std::string_view bytes, HandOverRequest& request) {
    if (bytes.size() < kHeader.size()) return kHeader.substr(0, bytes.size()) == bytes ? Decoded::Incomplete : Decoded::Bad;
    if (bytes.substr(0, kHeader.size()) != kHeader) return Decoded::Bad;
    if (bytes.size() > kMaxRequestBytes) return Decoded::Bad;
    Reader reader(bytes.substr(kHeader.size()));
    HandOverRequest read;
    for (;;) {
        const std::optional<std::string_view> line = reader.Line();
        if (!line) break;
        const std::vector<std::string_view> f = Fields(*line);
        if (f.size() == 1 && f[0] == "end") {
            request = std::move(read);
            return Decoded::Complete;
        }
        if (f.size() == 2 && f[0] == "wait" && (f[1] == "0" || f[1] == "1")) {
            read.wait = f[1] == "1";
        } else if (f.size() == 2 && f[0] == "token") {
            std::optional<std::string> token = reader.Bytes(f[1]);
            if (!token) break;
            read.activationToken = std::move(*token);
        } else if (f.size() == 4 && f[0] == "file") {
            long long line = 0, column = 0;
            if (!Reader::Number(f[1], line) || !Reader::Number(f[2], column)) return Decoded::Bad;
            std::optional<std::string> name = reader.Bytes(f[3]);
            if (!name) break;
            read.files.push_back({std::move(*name), int(line), int(column)});
        } else {
            return Decoded::Bad;
        }
    }
    return reader.short_ ? Decoded::Incomplete : Decoded::Bad;
}

std::string DoneReply(int status) { return "done " + std::to_string(status) + "\n"; }

std::optional<int> ReadDoneReply(std::string_view bytes) {
    if (bytes.substr(0, kAcceptedReply.size()) == kAcceptedReply) bytes.remove_prefix(kAcceptedReply.size());
    if (bytes == "done 0\n") return 0;
    if (bytes == "done 1\n") return 1;
    return std::nullopt;
}

std::string FrameSocketPath(const std::string& folder, const std::string& display,
                            const std::string& settingsFile) {
    // FNV-1a of the two: a short name that stays within a socket path's 108 bytes.
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::string* part : {&display, &settingsFile}) {
        for (unsigned char c : *part) hash = (hash ^ c) * 1099511628211ull;
        hash = (hash ^ 0xFF) * 1099511628211ull;  // "a" + "bc" is not "ab" + "c"
    }
    char name[32];
    std::snprintf(name, sizeof name, "frame-%016llx", static_cast<unsigned long long>(hash));
    return folder + "/" + name;
}

std::string FrameLockPath(const std::string& socketPath) { return socketPath + ".lock"; }

std::string AbsoluteName(const std::string& name, const std::string& currentFolder) {
    if (name.empty() || name[0] == '/') return name;
    if (currentFolder.empty() || currentFolder.back() == '/') return currentFolder + name;
    return currentFolder + "/" + name;
}

WaitBook::Start WaitBook::Begin() {
    const Start start = next_++;
    starts_[start];
    return start;
}

void WaitBook::Add(Start start, const void* document) { starts_[start].open.insert(document); }

void WaitBook::Failed(Start start) { starts_[start].failed = true; }

std::optional<int> WaitBook::End(Start start) {
    auto it = starts_.find(start);
    if (it == starts_.end()) return std::nullopt;
    it->second.ended = true;
    if (!it->second.open.empty()) return std::nullopt;
    const int status = it->second.failed ? 1 : 0;
    starts_.erase(it);
    return status;
}

std::vector<std::pair<WaitBook::Start, int>> WaitBook::Closed(const void* document, bool discardedChanges) {
    std::vector<std::pair<Start, int>> finished;
    for (auto it = starts_.begin(); it != starts_.end();) {
        Entry& entry = it->second;
        if (entry.open.erase(document) == 0) {
            ++it;
            continue;
        }
        if (discardedChanges) entry.failed = true;
        if (entry.ended && entry.open.empty()) {
            finished.emplace_back(it->first, entry.failed ? 1 : 0);
            it = starts_.erase(it);
        } else {
            ++it;
        }
    }
    return finished;
}

bool WaitBook::Waiting(const void* document) const {
    for (const auto& [start, entry] : starts_) {
        if (entry.open.count(document)) return true;
    }
    return false;
}

}  // namespace varlin
