// One frame per user, display and settings file: a second start hands its files (with
// their lines) to the running frame over a local socket in the user's runtime folder and
// ends. Here is what travels (a request with the files, the answers), where the socket
// lies, and the book of the starts that wait (--wait) until their documents are closed.
// The socket itself is the Qt adapter's (frame/qt/FrameSocket).
#pragma once

#include "frame/CommandLine.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varlin {

struct HandOverRequest {
    std::vector<FileSpot> files;  // names absolute: the frame runs in another folder
    bool wait = false;
    std::string activationToken;  // the desktop's token of this start, to raise the frame
    bool operator==(const HandOverRequest&) const = default;
};

// A request larger than this is refused (a name is at most a few thousand bytes).
constexpr std::size_t kMaxRequestBytes = std::size_t(1) << 20;

std::string EncodeRequest(const HandOverRequest& request);
enum class Decoded { Incomplete, Complete, Bad };
// Reads a request from the bytes received so far.
Decoded DecodeRequest(std::string_view bytes, HandOverRequest& request);

// The frame's answers: taken at once; and, for a waiting start, its exit status once its
// last document is closed.
constexpr std::string_view kAcceptedReply = "accepted\n";
std::string DoneReply(int status);
// The status of a done answer at the start of bytes; nullopt while incomplete or bad.
std::optional<int> ReadDoneReply(std::string_view bytes);

// The socket of the frame for this display and settings file, in the runtime folder. The
// user is the folder's: each user has a folder of their own.
std::string FrameSocketPath(const std::string& folder, const std::string& display,
                            const std::string& settingsFile);
// The lock that the frame serving the socket holds.
std::string FrameLockPath(const std::string& socketPath);

// A name as another process in another folder reads it.
std::string AbsoluteName(const std::string& name, const std::string& currentFolder);

// The documents that waiting starts opened. A start is finished when its last document
// is closed; its exit status is 0 when each was saved or left unchanged, 1 when changes
// were discarded or a file did not open.
class WaitBook {
public:
    using Start = int;
    Start Begin();
    void Add(Start start, const void* document);
    void Failed(Start start);
    // Every file of the start has been handled: its status when nothing stays open.
    std::optional<int> End(Start start);
    // A document closed: the starts it finished, with their statuses.
    std::vector<std::pair<Start, int>> Closed(const void* document, bool discardedChanges);
    bool Waiting(const void* document) const;

private:
    struct Entry {
        std::set<const void*> open;
        bool ended = false;
        bool failed = false;
    };
    std::map<Start, Entry> starts_;
    Start next_ = 1;
};

}  // namespace varlin
