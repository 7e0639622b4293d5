#include "platform/FileKinds.h"

#include "platform/Messages.h"
#include "resources/StringTable.h"

#include <sys/stat.h>

namespace varlin {
namespace {

// The kind texts: a named pipe, a device, a socket, anything else.
constexpr int kKindPipe = 1536, kKindDevice = 1537, kKindSocket = 1538, kKindOther = 1539;

bool RefuseMode(unsigned mode, const std::string& name) {
    if (S_ISREG(mode) || S_ISDIR(mode)) return false;
    int kind = kKindOther;
    if (S_ISFIFO(mode)) kind = kKindPipe;
#ifdef S_ISSOCK
    else if (S_ISSOCK(mode)) kind = kKindSocket;
#endif
    else if (S_ISCHR(mode) || S_ISBLK(mode)) kind = kKindDevice;
    const std::string kindText = LoadAppString(kind);
    ShowMessage(kNotARegularFileMessage, name.c_str(), kindText.c_str());
    return true;
}

}  // namespace

bool RefuseSpecialFile(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) return false;
    return RefuseMode(st.st_mode, name);
}

bool RefuseSpecialDescriptor(int fd, const std::string& name) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return false;
    return RefuseMode(st.st_mode, name);
}

}  // namespace varlin
