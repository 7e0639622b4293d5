// Saves cut short at each step they pass (a write of bytes, the flush to disk, the close,
// just before the rename), by a crash or by an error there (a rename across devices too): afterwards the file is the old
// one or the new one byte for byte, never a mix, and an error is never told as success.
// A file written in place (it has a second hard link) may be cut in the middle; then
// its old text must lie whole in the backup beside it, and that backup is offered when
// the file is opened next, unless the save that made it is still at work.
#include "document/FileTestSupport.h"
#include "document/TextFile.h"
#include "platform/IniFile.h"
#include "platform/WriteSteps.h"

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varlin {
namespace {

using testing::DirEntries;
using testing::DocumentFileTest;
using testing::ReadBytes;
using testing::WriteBytes;

constexpr int kCrashed = 77;

struct Fault {
    WriteStep step;
    int nth;     // the how-many-th time the save reaches the step
    bool crash;  // the process ends there; otherwise the step fails
    int error;   // the error it fails with (0: ENOSPC for a write, EIO for the rest)
};
Fault g_fault{};
int g_seen = 0;

int FaultHook(WriteStep step) {
    if (step != g_fault.step || ++g_seen != g_fault.nth) return 0;
    if (g_fault.crash) ::_exit(kCrashed);
    if (g_fault.error) return g_fault.error;
    return g_fault.step == WriteStep::Write ? ENOSPC : EIO;
}

enum class Target { Save, SaveInPlace, SaveAsNew, Split, Settings };

struct Case {
    const char* name;
    Target target;
    WriteStep step;
    int nth;
    int error = 0;
    bool crashOnly = false;  // after the rename: an error there is no failed save
};

const Case kCases[] = {
    {"save, first write", Target::Save, WriteStep::Write, 1},
    {"save, second write", Target::Save, WriteStep::Write, 2},
    {"save, fsync", Target::Save, WriteStep::Sync, 1},
    {"save, close", Target::Save, WriteStep::Close, 1},
    {"save, rename", Target::Save, WriteStep::Rename, 1},
    {"save, rename across devices", Target::Save, WriteStep::Rename, 1, EXDEV},
    {"save, folder flushed", Target::Save, WriteStep::SyncFolder, 1, 0, true},
    {"save as, second write", Target::SaveAsNew, WriteStep::Write, 2},
    {"save as, close", Target::SaveAsNew, WriteStep::Close, 1},
    {"save as, rename across devices", Target::SaveAsNew, WriteStep::Rename, 1, EXDEV},
    {"split over a file, second write", Target::Split, WriteStep::Write, 2},
    {"split over a file, close", Target::Split, WriteStep::Close, 1},
    {"split over a file, rename across devices", Target::Split, WriteStep::Rename, 1, EXDEV},
    {"hard link, backup written", Target::SaveInPlace, WriteStep::Write, 1},
    {"hard link, backup flushed", Target::SaveInPlace, WriteStep::Sync, 1},
    {"hard link, backup closed", Target::SaveInPlace, WriteStep::Close, 1},
    {"hard link, writing over the file", Target::SaveInPlace, WriteStep::Write, 3},
    {"hard link, file flushed", Target::SaveInPlace, WriteStep::Sync, 2},
    {"settings, write", Target::Settings, WriteStep::Write, 1},
    {"settings, fsync", Target::Settings, WriteStep::Sync, 1},
    {"settings, close", Target::Settings, WriteStep::Close, 1},
    {"settings, rename across devices", Target::Settings, WriteStep::Rename, 1, EXDEV},
    {"settings, folder flushed", Target::Settings, WriteStep::SyncFolder, 1, 0, true},
};

class SaveFaultTest : public DocumentFileTest {
protected:
    // Runs the save in a child with the fault; its exit code (kCrashed when it ended at
    // the fault, 0 for a save told as done, 1 for one told as failed with a message).
    int SaveWithFault(const Case& c, bool crash, const std::string& name) {
        pid_t pid = ::fork();
        if (pid == 0) {
            g_fault = {c.step, c.nth, crash, c.error};
            g_seen = 0;
            SetWriteStepHook(FaultHook);
            host.messageIds.clear();
            const bool saved = Save(c.target, name);
            // The settings writer returns its error to the settings store, which tells it.
            const bool told = !host.messageIds.empty() || c.target == Target::Settings;
            ::_exit(saved ? 0 : told ? 1 : 2);
        }
        int status = 0;
        if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

    bool Save(Target target, const std::string& name) {
        if (target == Target::Settings) {
            int error = 0;
            return WriteFileReplacing(name, fresh, error);
        }
        LineStore store;
        for (int i = 0; i < kLines; ++i) store.SetLine(i, Line(i));
        if (target == Target::Split) return WriteRange(store, name, 0, kLines - 1) == 0;
        return SaveTo(store, name) == 0;
    }

    static std::string Line(int i) { return std::to_string(i) + std::string(90, 'n'); }

    static constexpr int kLines = 8000;  // about 760 KB: the save writes it in pieces
    std::string fresh;
};

TEST_F(SaveFaultTest, ACutSaveLeavesTheOldOrTheNewFileNeverAMix) {
    for (const Case& c : kCases) {
        for (bool crash : {true, false}) {
            if (c.crashOnly && !crash) continue;
            SCOPED_TRACE(std::string(c.name) + (crash ? ", crash" : ", error"));
            testing::RemoveTree(dir);
            ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
            const std::string name = Path("f.txt");
            std::string old;
            if (c.target == Target::Settings) {
                old = "; mine\n[Options]\nTabDistance=4\n";
                fresh = "[Options]\nTabDistance=8\n" + std::string(1000, '#') + "\n";
            } else {
                for (int i = 0; i < 20; ++i) old += "old line " + std::to_string(i) + "\r\n";
                fresh.clear();
                for (int i = 0; i < kLines; ++i) fresh += Line(i) + "\r\n";
            }
            if (c.target == Target::SaveAsNew) {
                old.clear();  // no file before
            } else {
                WriteBytes(name, old);
            }
            if (c.target == Target::SaveInPlace) {
                ASSERT_EQ(::link(name.c_str(), Path("twin.txt").c_str()), 0);
            }
            const auto before = DirEntries(dir);

            const int code = SaveWithFault(c, crash, name);
            const std::string now = ReadBytes(name);
            const bool exists = ::access(name.c_str(), F_OK) == 0;
            if (!crash) {
                EXPECT_EQ(code, 1) << "a failed save must say so";
                EXPECT_EQ(exists, c.target != Target::SaveAsNew);
                EXPECT_EQ(now, old);
                EXPECT_EQ(DirEntries(dir), before) << "nothing left behind";
                continue;
            }
            ASSERT_EQ(code, kCrashed) << "the save never reached the step";
            if (c.target == Target::Settings) {
                // The next write of the settings removes the temporary file of the cut one.
                ASSERT_TRUE(WriteFileReplacing(name, fresh));
                EXPECT_EQ(DirEntries(dir), before);
            }
            if (!exists) {
                EXPECT_EQ(c.target, Target::SaveAsNew);
                continue;
            }
            // Only a file written in place may be cut.
            if (now != old && now != fresh) {
                ASSERT_EQ(c.target, Target::SaveInPlace) << "a file of " << now.size() << " bytes";
            }
            if (c.target == Target::Settings) continue;
            // Opening it again tidies up; a backup of the old text is offered when the
            // file may hold anything else.
            LineStore reopened;
            ASSERT_EQ(Load(reopened, name, 1), 0);
            if (now == old) {
                EXPECT_TRUE(reopened.leftoverBackups.empty());
                EXPECT_EQ(DirEntries(dir), before);
            } else if (c.target == Target::SaveInPlace) {
                ASSERT_EQ(reopened.leftoverBackups.size(), 1u);
                EXPECT_EQ(ReadBytes(reopened.leftoverBackups[0]), old);
            }
        }
    }
}

// A link to a file on another device (when the machine has one, as /dev/shm often is):
// the new file is made beside the file itself, so the rename never crosses devices.
TEST_F(SaveFaultTest, AFileOnAnotherDeviceIsReplacedThroughItsLink) {
    struct stat here {}, there {};
    if (::stat(dir.c_str(), &here) != 0 || ::stat("/dev/shm", &there) != 0 ||
        here.st_dev == there.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "unavailable here: no second writable device at /dev/shm";
    char pattern[] = "/dev/shm/varlin-save-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string far = pattern;
    for (const Target target : {Target::Save, Target::Split, Target::Settings}) {
        WriteBytes(far + "/f.txt", "old\r\n");
        ASSERT_EQ(::symlink((far + "/f.txt").c_str(), Path("f.txt").c_str()), 0);
        fresh = "[Options]\nTabDistance=8\n";
        EXPECT_TRUE(Save(target, Path("f.txt")));
        EXPECT_NE(ReadBytes(far + "/f.txt"), "old\r\n");
        EXPECT_EQ(DirEntries(far), std::vector<std::string>{"f.txt"});
        ASSERT_EQ(::unlink(Path("f.txt").c_str()), 0) << "still a link";
    }
    testing::RemoveTree(far);
}

int g_paused = -1;  // the pipe a paused save writes a byte to

int PauseHook(WriteStep step) {
    if (step == g_fault.step && ++g_seen == g_fault.nth) {
        (void)!::write(g_paused, "p", 1);
        for (;;) ::pause();
    }
    return 0;
}

// A save in place that is at work holds its backup: another editor opening the file
// leaves it alone. Killed (kill -9), it leaves the backup, which is found, taken over by
// a document without a name, and removed once that document has been saved.
TEST_F(SaveFaultTest, TheBackupOfASaveAtWorkIsLeftAloneAndThatOfAKilledOneOffered) {
    const std::string name = Path("f.txt");
    const std::string old = "old text\r\nsecond line\r\n";
    WriteBytes(name, old);
    ASSERT_EQ(::link(name.c_str(), Path("twin.txt").c_str()), 0);
    int paused[2];
    ASSERT_EQ(::pipe(paused), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(paused[0]);
        g_paused = paused[1];
        g_fault = {WriteStep::Write, 3, false, 0};  // the file half written over
        g_seen = 0;
        SetWriteStepHook(PauseHook);
        Save(Target::SaveInPlace, name);
        ::_exit(0);
    }
    ::close(paused[1]);
    char byte = 0;
    const bool reached = ::read(paused[0], &byte, 1) == 1;
    ::close(paused[0]);
    LineStore store;
    const int loaded = Load(store, name, 1);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ASSERT_TRUE(reached);
    ASSERT_EQ(loaded, 0);
    EXPECT_TRUE(store.leftoverBackups.empty()) << "the save is still at work";
    ASSERT_NE(ReadBytes(name), old);

    ASSERT_EQ(Load(store, name, 1), 0);
    ASSERT_EQ(store.leftoverBackups.size(), 1u);
    const std::string backup = store.leftoverBackups[0];
    LineStore rescued;
    ASSERT_EQ(LoadLeftoverBackup(rescued, AdoptedBackup::Adopt(backup), name, 1), 0);
    EXPECT_EQ(testing::StoreLines(rescued), (std::vector<std::string>{"old text", "second line"}));
    EXPECT_TRUE(rescued.FileName().empty());
    ASSERT_EQ(Load(store, name, 1), 0);
    EXPECT_TRUE(store.leftoverBackups.empty()) << "taken over by the other document";
    EXPECT_EQ(ReadBytes(backup), old);
    ASSERT_EQ(SaveTo(rescued, Path("rescued.txt")), 0);
    EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"f.txt", "rescued.txt", "twin.txt"}));
}

}  // namespace
}  // namespace varlin
