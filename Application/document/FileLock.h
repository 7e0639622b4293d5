// FileLock: a document's file held open while it is edited, so that other programs
// cannot change it meanwhile. On Linux the document holds the file open for reading only,
// with a shared open-file-description lock on the whole file that it lets no other holder
// share: a descriptor open for writing would make a script that is being edited refuse
// to run ("Text file busy"). A save opens for writing with an exclusive lock. So two
// editors refuse each other's files, and cooperating programs cannot lock them for
// writing; the locks are advisory: programs that take no locks can still read and write
// the file. The read-only open without a lock is the fallback after the user chose to
// open a held file anyway. On Windows the same functions open with the sharing modes
// instead: others may read a locked file but not write it.
#pragma once

#include <memory>
#include <string>

namespace varlin {

class FileLock {
public:
    enum class Mode {
        Held,             // read only, others may not lock it (a document's file)
        ReadWriteLocked,  // read and write, others may not lock it (a save)
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
