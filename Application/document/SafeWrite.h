// SafeWrite: replacing a file's content so that a failure at any point (full disk, I/O
// error, failed fsync or rename, read-only file or folder) leaves the old file as it was.
// The new content goes to a temporary file beside the target, is flushed to disk and then
// renamed over the target, which keeps its permissions and, where we may, its owner. A
// symbolic link stays a link (the file it points to is replaced). A file with several
// hard links, or one in a folder that cannot take a temporary file, is written in place
// after a backup copy has been made. Anything but a regular file (a device, a pipe) is
// refused with a message.
#pragma once

#include "document/DiskIdentity.h"

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>

namespace varlin {

// A buffered writer over a file descriptor; the first failure sticks in error.
class ByteSink {
public:
    explicit ByteSink(int fd);
    ~ByteSink();
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;

    bool Write(const char* data, std::size_t size);
    // A line and its line end (at most two bytes): the same as two Writes, without a call
    // while both fit into the buffer.
    bool WriteLine(const char* data, std::size_t size, const char* end, std::size_t endSize) {
        if (error_ == 0 && endSize <= 2 && used_ + size + 2 <= kBufferSize) {
            char* to = buffer_ + used_;
            if (size) std::memcpy(to, data, size);  // an empty line's view may have no address
            if (endSize > 0) to[size] = end[0];
            if (endSize > 1) to[size + 1] = end[1];
            used_ += size + endSize;
            return true;
        }
        return Write(data, size) && Write(end, endSize);
    }
    bool Flush();
    static constexpr std::size_t kBufferSize = std::size_t(1) << 18;
    int Error() const { return error_; }
    std::size_t Written() const { return written_; }
    std::uint64_t Hash() const { return hash_.Value(); }

private:
    bool WriteOut(const char* data, std::size_t size);
    int fd_;
    char* buffer_;
    std::size_t used_ = 0;
    std::size_t written_ = 0;
    int error_ = 0;
    ContentHash hash_;  // of every byte given to Write
};

// Writes name from what produce puts into the sink. Failures show the file error message
// (and, when a backup had to be kept, message 1215 naming it). 0 or -1.
// written, when given, receives the identity of the file as it now stands.
int WriteFileSafely(const std::string& name, const std::function<bool(ByteSink&)>& produce,
                    DiskIdentity* written = nullptr);

// Removes the temporary files that saves of name killed midway left beside it
// (".NAME.save-XXXXXX"). A save in progress holds a lock on its temporary file, so only
// files nobody writes any more are removed.
void RemoveLeftoverTemporaries(const std::string& name);

// The path a name finally refers to, following symbolic links (also dangling ones).
std::string ResolveLinks(const std::string& name);

}  // namespace varlin
