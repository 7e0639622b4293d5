// A replaced file lasts through a power cut: the new file's bytes are flushed before it
// takes the old one's name, and its folder after, so that the name cannot fall back to
// the old file or to an empty one. This binary's own fsync and rename see every call the
// savers make (a fault hook cannot stand in for the call it guards) and pass it on.
#include "document/FileTestSupport.h"
#include "document/TextFile.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <dlfcn.h>
#include <sys/stat.h>

namespace {

struct Event {
    bool rename;  // else an fsync
    dev_t dev;
    ino_t ino;
};
bool g_recording = false;
std::vector<Event> g_events;

template <typename F>
F Real(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
    struct stat st {};
    if (g_recording && ::fstat(fd, &st) == 0) g_events.push_back({false, st.st_dev, st.st_ino});
    static const auto real = Real<int (*)(int)>("fsync");
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    struct stat st {};
    if (g_recording && ::lstat(from, &st) == 0) g_events.push_back({true, st.st_dev, st.st_ino});
    static const auto real = Real<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

namespace varlin {
namespace {

using testing::DocumentFileTest;

bool Same(const Event& e, const struct stat& st) { return e.dev == st.st_dev && e.ino == st.st_ino; }

TEST_F(DocumentFileTest, AReplacedFileAndItsFolderReachTheDiskAroundTheRename) {
    enum class Writer { NewDocument, DocumentOverOld, Settings };
    for (const Writer writer : {Writer::NewDocument, Writer::DocumentOverOld, Writer::Settings}) {
        SCOPED_TRACE(int(writer));
        const std::string name = Path("f" + std::to_string(int(writer)));
        if (writer != Writer::NewDocument) testing::WriteBytes(name, "old\n");
        g_events.clear();
        g_recording = true;
        bool ok = false;
        if (writer == Writer::Settings) {
            ok = WriteFileReplacing(name, "[Options]\nTabDistance=4\n");
        } else {
            LineStore store;
            store.SetLine(0, "new");
            ok = SaveTo(store, name) == 0;
        }
        g_recording = false;
        ASSERT_TRUE(ok);
        struct stat file {}, folder {};
        ASSERT_EQ(::stat(name.c_str(), &file), 0);
        ASSERT_EQ(::stat(dir.c_str(), &folder), 0);
        const auto renamed = std::find_if(g_events.begin(), g_events.end(),
                                          [&](const Event& e) { return e.rename && Same(e, file); });
        ASSERT_NE(renamed, g_events.end()) << "the file was not put in place by a rename";
        EXPECT_TRUE(std::any_of(g_events.begin(), renamed, [&](const Event& e) { return !e.rename && Same(e, file); }))
            << "the new file was not flushed before the rename";
        EXPECT_TRUE(std::any_of(renamed, g_events.end(), [&](const Event& e) { return !e.rename && Same(e, folder); }))
            << "the folder was not flushed after the rename";
    }
}

}  // namespace
}  // namespace varlin
