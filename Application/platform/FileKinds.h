// FileKinds: only regular files are read and written as documents or settings. A pipe
// would block or never end, a device would be read forever or replaced by a file; such
// names are refused with message 1265, which names the file and its kind.
#pragma once

#include <string>

namespace varlin {

constexpr int kNotARegularFileMessage = 1265;

// True (after the message) when name exists and is neither a regular file nor a folder.
// A missing name, a folder or a regular file give false: their callers report those.
bool RefuseSpecialFile(const std::string& name);

// The same for an open descriptor (the name is only for the message).
bool RefuseSpecialDescriptor(int fd, const std::string& name);

}  // namespace varlin
