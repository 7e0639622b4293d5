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
    bool Flush();
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
