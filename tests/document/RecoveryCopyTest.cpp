// Recovery copies on the disk: a copy reads back byte for byte; one whose writer lives
// is never found; a write cut at any step leaves the copy before it whole; a damaged,
// foreign or expired copy is never loaded.
#include "document/FileTestSupport.h"
#include "document/RecoveryCopy.h"
#include "document/TextFile.h"
#include "platform/WriteSteps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varlin {
namespace {

using testing::DirEntries;
using testing::DocumentFileTest;
using testing::ReadBytes;
using testing::RemoveTree;
using testing::WriteBytes;

class RecoveryCopyTest : public DocumentFileTest {
protected:
    void SetUp() override {
        DocumentFileTest::SetUp();
        folder = Path("recovery");
        SetRecoveryFolder(folder);
        WriteBytes(Path("a.c"), "old\n");
    }
    void TearDown() override {
        SetRecoveryFolder("");
        DocumentFileTest::TearDown();
    }
    // A copy of lines for a.c written as by a run that then ended (its lock let go).
    void LeaveCopy(const std::vector<std::string>& lines) {
        LineStore store;
        for (std::size_t i = 0; i < lines.size(); ++i) store.SetLine(int(i), lines[i]);
        store.SetFileName(Path("a.c"));
        RecoveryCopy copy;
        ASSERT_EQ(copy.Write(TakeRecoverySnapshot(store, copy.Generation())), 0);
    }
    std::vector<std::string> Found() {
        std::vector<FoundRecovery> found = FindRecoveryCopies(Path("a.c"));
        std::vector<std::string> lines;
        bool utf8 = false;
        if (found.size() != 1 || !ReadRecoveryCopy(found[0], lines, utf8)) return {"<none>"};
        return lines;
    }
    std::string OnlyCopy() {
        for (const std::string& n : DirEntries(folder))
            if (n.rfind("copy-", 0) == 0) return folder + "/" + n;
        return "";
    }
    std::string folder;
};

TEST_F(RecoveryCopyTest, ACopyReadsBackByteForByteAndOnlyOnceItsWriterIsGone) {
    const std::vector<std::string> lines = {"", std::string("nul\0byte", 8), "cr\r", std::string(70000, 'x'), "ä"};
    LineStore store;
    for (std::size_t i = 0; i < lines.size(); ++i) store.SetLine(int(i), lines[i]);
    store.SetFileName(Path("a.c"));
    {
        RecoveryCopy copy;
        ASSERT_EQ(copy.Write(TakeRecoverySnapshot(store, copy.Generation())), 0);
        EXPECT_TRUE(FindRecoveryCopies(Path("a.c")).empty());  // its writer holds it
        EXPECT_TRUE(FindRecoveryCopies("").empty());            // and it is no unnamed one's
        struct stat st {};
        ASSERT_EQ(::stat(copy.Path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    EXPECT_EQ(Found(), lines);
    // A copy taken before Remove is not written after it.
    RecoveryCopy copy;
    const RecoverySnapshot stale = TakeRecoverySnapshot(store, copy.Generation());
    copy.Remove();
    EXPECT_EQ(copy.Write(stale), 0);
    EXPECT_EQ(copy.Path(), "");
    // Nor one whose borrowed lines went with a new load of the store.
    store.recovery = std::make_unique<RecoveryCopy>();
    const RecoverySnapshot borrowed = TakeRecoverySnapshot(store, store.recovery->Generation());
    store.Clear();
    EXPECT_EQ(store.recovery->Write(borrowed), 0);
    EXPECT_EQ(store.recovery->Path(), "");
}

// A large file's lines stay where the load put them (its mapping); the copy borrows them
// and still reads back line for line, changed lines included.
TEST_F(RecoveryCopyTest, ACopyOfALargeLoadedFileHoldsEveryLine) {
    std::string text;
    for (int i = 0; i < 150000; ++i) text += "line " + std::to_string(i) + (i % 3 ? "\n" : "\r\n");
    WriteBytes(Path("a.c"), text);
    LineStore store;
    ASSERT_EQ(Load(store, Path("a.c"), 1), 0);
    store.SetLine(5, "changed");
    store.SetLine(100000, "");
    std::vector<std::string> lines;
    for (int i = 0; i < store.GetLineCount(); ++i) lines.emplace_back(store.LineView(i));
    {
        RecoveryCopy copy;
        ASSERT_EQ(copy.Write(TakeRecoverySnapshot(store, copy.Generation())), 0);
    }
    EXPECT_EQ(Found(), lines);
}

TEST_F(RecoveryCopyTest, AWriteCutShortAtAnyStepLeavesTheCopyBeforeIt) {
    LeaveCopy({"first"});
    const std::string first = ReadBytes(OnlyCopy());
    static WriteStep g_step;
    for (WriteStep step : {WriteStep::Write, WriteStep::Sync, WriteStep::Rename, WriteStep::SyncFolder}) {
        g_step = step;
        const pid_t pid = ::fork();
        if (pid == 0) {
            SetWriteStepHook([](WriteStep s) -> int {
                if (s == g_step) ::_exit(77);  // as kill -9 would, nothing cleaned up
                return 0;
            });
            LineStore store;
            store.SetLine(0, std::string(100000, 's'));
            store.SetFileName(Path("a.c"));
            RecoveryCopy copy;
            copy.Adopt(OnlyCopy(), -1);
            copy.Write(TakeRecoverySnapshot(store, copy.Generation()));
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_EQ(WEXITSTATUS(status), 77);
        const std::vector<std::string> lines = Found();
        if (step == WriteStep::SyncFolder) {
            // The new copy was in place; it reads whole, and the next round starts from it.
            EXPECT_EQ(lines, std::vector<std::string>{std::string(100000, 's')});
        } else {
            EXPECT_EQ(ReadBytes(OnlyCopy()), first) << int(step);
        }
        RemoveExpiredRecoveryCopies(std::time(nullptr));  // the cut temporary files go
        for (const std::string& n : DirEntries(folder)) EXPECT_EQ(n.rfind(".part-", 0), std::string::npos) << n;
    }
}

TEST_F(RecoveryCopyTest, ADamagedCopyIsRefusedAndPutAside) {
    struct Damage {
        const char* name;
        void (*spoil)(std::string& bytes);
    };
    const Damage damages[] = {
        {"a byte of the text flipped", [](std::string& b) { b[b.size() - 2] ^= 1; }},
        {"cut short", [](std::string& b) { b.pop_back(); }},
        {"a byte too many", [](std::string& b) { b += 'x'; }},
        {"the header gone", [](std::string& b) { b = b.substr(10); }},
        {"the path changed", [](std::string& b) { b[b.find("a.c")] = 'b'; }},
    };
    for (const Damage& d : damages) {
        LeaveCopy({"one", "two"});
        const std::string path = OnlyCopy();
        std::string bytes = ReadBytes(path);
        d.spoil(bytes);
        WriteBytes(path, bytes);
        std::vector<FoundRecovery> found = FindRecoveryCopies(Path("a.c"));
        std::vector<std::string> lines;
        bool utf8 = false;
        // A header that no longer names the file is no copy of it; every other damage is seen.
        if (std::string(d.name) == "the path changed") {
            EXPECT_TRUE(found.empty());
            ::unlink(path.c_str());
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << d.name;
        EXPECT_FALSE(ReadRecoveryCopy(found[0], lines, utf8)) << d.name;
        EXPECT_TRUE(lines.empty());
        SetAsideDamagedCopy(found[0]);
        EXPECT_TRUE(FindRecoveryCopies(Path("a.c")).empty()) << d.name;
        RemoveTree(folder);
    }
}

TEST_F(RecoveryCopyTest, AnotherUsersCopyIsNeverOfferedAndOldCopiesExpire) {
    LeaveCopy({"mine"});
    const std::string copy = OnlyCopy();
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(copy.c_str(), 65534, 65534), 0);
        EXPECT_TRUE(FindRecoveryCopies(Path("a.c")).empty());
        ASSERT_EQ(::chown(copy.c_str(), 0, 0), 0);
        // Nor is a folder of another user's used at all.
        ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        EXPECT_EQ(RecoveryFolder(), "");
        EXPECT_TRUE(FindRecoveryCopies(Path("a.c")).empty());
        ASSERT_EQ(::chown(folder.c_str(), 0, 0), 0);
    }
    const std::time_t now = std::time(nullptr);
    const long day = 24 * 60 * 60;
    struct timespec times[2] = {{now - 29 * day, 0}, {now - 29 * day, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
    RemoveExpiredRecoveryCopies(now);
    EXPECT_EQ(Found(), std::vector<std::string>{"mine"});
    times[0].tv_sec = times[1].tv_sec = now - 31 * day;
    ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
    RemoveExpiredRecoveryCopies(now);
    EXPECT_EQ(OnlyCopy(), "");
}

}  // namespace
}  // namespace varlin
