// FileLock: a document's file held open while it is edited, so that other programs
// cannot change it meanwhile. On Linux an open for reading and writing holds an
// exclusive open-file-description lock on the whole file for as long as it is open;
// such locks are advisory: programs that take no locks can still read and write the file.
// The read-only open (the fallback after the user chose to open a held file anyway)
// takes no lock. On Windows the same functions open with the sharing modes instead:
// others may read a locked file but not write it.
#pragma once

#include <memory>
#include <string>

namespace varlin {

class FileLock {
public:
    enum class Mode {
        ReadWriteLocked,  // read and write, others may not lock or (with locks) write
        ReadShared,       // read only, no lock
    };

    // Opens name in the given mode; null with error set to an errno value on failure. A
    // lock that another holder keeps gives EACCES, like a sharing violation; a folder
    // gives EISDIR.
    static std::unique_ptr<FileLock> Open(const std::string& name, Mode mode, int& error);

    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    int Descriptor() const { return fd_; }
    Mode OpenMode() const { return mode_; }

private:
    FileLock(int fd, Mode mode) : fd_(fd), mode_(mode) {}
    int fd_ = -1;
    Mode mode_ = Mode::ReadShared;
};

}  // namespace varlin
