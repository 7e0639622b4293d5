// The user's runtime folder: where a running frame keeps its socket, so that a second
// start finds it. Only a folder that the user alone owns and can enter is used, and only
// a socket the user owns is spoken to: another user can neither send files to a frame
// nor plant a socket that receives them.
#pragma once

#include <string>

namespace varlin {

// "varlin" below $XDG_RUNTIME_DIR when that is a private folder of the user's, else
// "varlin-runtime-UID" below the temporary base ($TMPDIR or /tmp); made with mode 0700
// when missing. "" with the reason in error when the folder exists but is not the user's
// alone (another owner, a symbolic link, rights for others) or cannot be made.
std::string UserRuntimeFolder(std::string& error);

// A folder that only the user may use: a real folder (no link) owned by the effective
// user with no rights for group or others. False with the reason in error.
bool IsPrivateFolder(const std::string& path, std::string& error);

// Whether path is a socket owned by the effective user (false also when it is missing).
bool IsOwnSocket(const std::string& path);

// An exclusive lock held while the object lives (flock on a file made if missing, mode
// 0600): the frame that holds it is the one that serves its socket. The holder's process
// id is written into the file for those who need to find it (tests end it by this).
class ExclusiveLock {
public:
    ExclusiveLock() = default;
    ~ExclusiveLock();
    ExclusiveLock(ExclusiveLock&& other) noexcept;
    ExclusiveLock& operator=(ExclusiveLock&& other) noexcept;
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    // Takes the lock without waiting; false when another process holds it or the file
    // cannot be opened.
    bool TryTake(const std::string& path);
    bool held() const { return fd_ >= 0; }
    void Release();

private:
    int fd_ = -1;
};

}  // namespace varlin
