// Saves cut short at each step they pass (a write of bytes, the flush to disk, just
// before the rename), by a crash or by an error there: afterwards the file is the old
// one or the new one byte for byte, never a mix, and an error is never told as success.
// A file written in place (it has a second hard link) may be cut in the middle; then
// its old text must lie whole in the backup beside it.
#include "document/FileTestSupport.h"
#include "document/TextFile.h"
#include "platform/IniFile.h"
#include "platform/WriteSteps.h"

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
};
Fault g_fault{};
int g_seen = 0;

int FaultHook(WriteStep step) {
    if (step != g_fault.step || ++g_seen != g_fault.nth) return 0;
    if (g_fault.crash) ::_exit(kCrashed);
    return g_fault.step == WriteStep::Write ? ENOSPC : EIO;
}

enum class Target { Save, SaveInPlace, SaveAsNew, Split, Settings };

struct Case {
    const char* name;
    Target target;
    WriteStep step;
    int nth;
};

const Case kCases[] = {
    {"save, first write", Target::Save, WriteStep::Write, 1},
    {"save, second write", Target::Save, WriteStep::Write, 2},
    {"save, fsync", Target::Save, WriteStep::Sync, 1},
    {"save, rename", Target::Save, WriteStep::Rename, 1},
    {"save as, second write", Target::SaveAsNew, WriteStep::Write, 2},
    {"save as, rename", Target::SaveAsNew, WriteStep::Rename, 1},
    {"split over a file, second write", Target::Split, WriteStep::Write, 2},
    {"split over a file, rename", Target::Split, WriteStep::Rename, 1},
    {"hard link, backup written", Target::SaveInPlace, WriteStep::Write, 1},
    {"hard link, backup flushed", Target::SaveInPlace, WriteStep::Sync, 1},
    {"hard link, writing over the file", Target::SaveInPlace, WriteStep::Write, 3},
    {"hard link, file flushed", Target::SaveInPlace, WriteStep::Sync, 2},
    {"settings, write", Target::Settings, WriteStep::Write, 1},
    {"settings, fsync", Target::Settings, WriteStep::Sync, 1},
    {"settings, rename", Target::Settings, WriteStep::Rename, 1},
};

class SaveFaultTest : public DocumentFileTest {
protected:
    // Runs the save in a child with the fault; its exit code (kCrashed when it ended at
    // the fault, 0 for a save told as done, 1 for one told as failed with a message).
    int SaveWithFault(const Case& c, bool crash, const std::string& name) {
        pid_t pid = ::fork();
        if (pid == 0) {
            g_fault = {c.step, c.nth, crash};
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
            if (c.target == Target::SaveAsNew) old.clear();  // no file before
            else WriteBytes(name, old);
            if (c.target == Target::SaveInPlace)
                ASSERT_EQ(::link(name.c_str(), Path("twin.txt").c_str()), 0);
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
            if (!exists) {
                EXPECT_EQ(c.target, Target::SaveAsNew);
            } else if (now != old && now != fresh) {
                // Only a file written in place may be cut, and only with a whole backup.
                ASSERT_EQ(c.target, Target::SaveInPlace) << "a file of " << now.size() << " bytes";
                bool backupHoldsOld = false;
                for (const std::string& entry : DirEntries(dir))
                    if (entry.rfind(".f.txt.backup-", 0) == 0) backupHoldsOld |= ReadBytes(Path(entry)) == old;
                EXPECT_TRUE(backupHoldsOld);
            }
        }
    }
}

}  // namespace
}  // namespace varlin
