// The steps at which replacing a file can be cut short: each write of bytes, the flush
// to the disk, the close (where a delayed write error may show), the moment the new
// file takes the old one's name, and the flush of the folder that makes the new name last. Tests install a hook that stops the process at a step
// (as a crash or kill -9 would) or makes the step fail with an error, and then check that
// the file is whole, old or new.
#pragma once

namespace varlin {

// SyncFolder comes after the rename: the new text is in place by then, so a failure there
// is no failed save (the name may fall back to the old file only if the system crashes).
enum class WriteStep { Write, Sync, Close, Rename, SyncFolder };

// Returns 0 to go on, or the error number the step fails with. nullptr removes the hook.
using WriteStepHook = int (*)(WriteStep step);
void SetWriteStepHook(WriteStepHook hook);

// What the hook says about the step about to be taken (0 without a hook).
int CheckWriteStep(WriteStep step);

}  // namespace varlin
