// Temporary files of the program (the undo record's file, the learned macro): each is a
// real, new file made with exclusive creation and mode 0600 inside a private folder of
// ours (mode 0700) under the system's temporary folder. The undo file holds deleted text,
// so no other user may read it, and no symbolic link planted in the temporary folder is
// ever followed.
#pragma once

#include <string>

namespace varlin {

// Creates an empty file whose name starts with prefix and returns its full path; "" when
// no file could be made. The file is left in place for the caller to open and delete.
// While this process lives it holds a lock on the file, which tells other processes that
// the file is in use. The first call for a private folder removes its stale files.
std::string CreateTemporaryFileName(const std::string& prefix);

// Removes the files of the private folder that a run which ended without cleaning up left
// behind: undo files ("VLE"), learned macros ("LR") and printouts ("PDF") that no living
// process holds a lock on and that are older than a minute (a file is locked just after
// it is made).
void RemoveStaleTemporaryFiles();

// The base folder under which the private folder is made: $TMPDIR when it names a
// folder, otherwise /tmp. Tests may set their own base ("" restores the default).
void SetTemporaryBase(const std::string& folder);
std::string TemporaryBase();

// The private folder itself ("" when none could be made safely).
std::string PrivateTemporaryFolder();

// Liveness locks. A process holds one on each file it makes that only a crash would
// leave behind (a temporary file, a backup copy) for as long as it works with the file;
// a file that nobody holds a lock on belongs to a process that has ended. The locks are
// taken with flock, which needs no write access and is released by the system when the
// process ends in any way.
// Takes the lock on the open file fd; retried for a moment, since another process that
// tests the file holds the lock briefly. false when it could not be taken.
bool HoldWhileAlive(int fd);
// True when no living process holds the lock on fd's file; the caller then holds it
// until fd is closed.
bool NobodyHolds(int fd);

// Makes a fresh file dir/prefix + six characters (mode 0600, not following links) and
// holds its liveness lock; the open descriptor (read and write), or -1 with errno. A file
// that another process took for a leftover and removed before the lock was ours is made
// anew, so the file returned is always the one the name shows.
int CreateHeldFile(const std::string& dir, const std::string& prefix, std::string& path);

// Removes the leftover temporary files of replacements of target that were cut short:
// the regular files in target's folder named "." + target's name + tag + six characters
// that nobody holds a lock on. Nothing else is ever removed.
void RemoveUnheldTemporaries(const std::string& target, const std::string& tag);

}  // namespace varlin
