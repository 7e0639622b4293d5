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
// behind: undo files ("VLE") and learned macros ("LR") that no living process holds a
// lock on and that are older than a minute (a file is locked just after it is made).
void RemoveStaleTemporaryFiles();

// The base folder under which the private folder is made: $TMPDIR when it names a
// folder, otherwise /tmp. Tests may set their own base ("" restores the default).
void SetTemporaryBase(const std::string& folder);
std::string TemporaryBase();

// The private folder itself ("" when none could be made safely).
std::string PrivateTemporaryFolder();

}  // namespace varlin
