// File safety: the lock a document holds against a second process and a second window,
// the lock taken again after saving, and saves that fail (full disk, a device, a
// read-only file) leaving the old file byte for byte and no stray file behind; links
// and permissions survive a save.
#include "document/FileLock.h"
#include "document/FileTestSupport.h"
#include "document/TextFile.h"
#include "platform/TempFiles.h"
#include "platform/WriteSteps.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varlin {
namespace {

using testing::DirEntries;
using testing::DocumentFileTest;
using testing::ReadBytes;
using testing::StoreLines;
using testing::WriteBytes;
using Lines = std::vector<std::string>;

class FileSafetyTest : public DocumentFileTest {};

// A child process that holds name locked until the returned pipe is closed.
struct LockHolder {
    pid_t pid = -1;
    int release = -1;

    explicit LockHolder(const std::string& name) {
        int ready[2], hold[2];
        if (::pipe(ready) != 0 || ::pipe(hold) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::close(hold[1]);  // or the wait below would never see the end
            ::close(ready[0]);
            int error = 0;
            auto lock = FileLock::Open(name, FileLock::Mode::ReadWriteLocked, error);
            char c = lock ? 'y' : 'n';
            (void)!::write(ready[1], &c, 1);
            (void)!::read(hold[0], &c, 1);
            ::_exit(0);
        }
        char c = 0;
        if (::read(ready[0], &c, 1) != 1 || c != 'y') pid = -1;
        ::close(ready[0]);
        ::close(ready[1]);
        ::close(hold[0]);
        release = hold[1];
    }
    ~LockHolder() {
        if (release >= 0) ::close(release);
        if (pid > 0) ::waitpid(pid, nullptr, 0);
    }
};

// Runs body in a child process as the unprivileged user; the child's exit code is the
// first message id it saw minus 1000 (0 for none), or 255 when it could not switch.
int RunAsNobody(HeadlessHost& host, const std::function<int()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(255);
        host.messageIds.clear();
        int result = body();
        ::_exit(host.messageIds.empty() ? (result == 0 ? 0 : 254)
                                        : host.messageIds[0] - 1000);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(FileSafetyTest, AFileAnotherProcessHoldsAsksBeforeOpeningReadOnly) {
    WriteBytes(Path("held.txt"), "one\r\ntwo\r\n");
    LockHolder holder(Path("held.txt"));
    ASSERT_GT(holder.pid, 0);

    LineStore store;
    host.answers = {IdNo};
    EXPECT_EQ(Load(store, Path("held.txt"), 1), -1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1209});

    host.answers = {IdYes};
    ASSERT_EQ(Load(store, Path("held.txt"), 1), 0);
    EXPECT_EQ(StoreLines(store), (Lines{"one", "two"}));
    EXPECT_TRUE(store.FileName().empty());  // opens as a window without a name
    ASSERT_TRUE(store.lockedFile);
    EXPECT_EQ(store.lockedFile->OpenMode(), FileLock::Mode::ReadShared);

    host.messageIds.clear();
    store.SetLine(0, "changed");
    EXPECT_EQ(SaveTo(store, Path("held.txt")), -1);  // nor may we write it
    EXPECT_EQ(host.messageIds, std::vector<int>{1025});
    EXPECT_EQ(ReadBytes(Path("held.txt")), "one\r\ntwo\r\n");
}

TEST_F(FileSafetyTest, ASecondWindowOfOursMeetsTheLockToo) {
    WriteBytes(Path("a.txt"), "x\r\n");
    auto first = std::make_unique<LineStore>();
    ASSERT_EQ(Load(*first, Path("a.txt"), 1), 0);
    LineStore second;
    host.answers = {IdNo};
    EXPECT_EQ(Load(second, Path("a.txt"), 1), -1);
    first.reset();  // closing the window releases the file
    EXPECT_EQ(Load(second, Path("a.txt"), 1), 0);
    EXPECT_EQ(second.FileName(), Path("a.txt"));
}

TEST_F(FileSafetyTest, TheLockIsTakenAgainOnTheNewFileAfterASave) {
    WriteBytes(Path("s.txt"), "x\r\n");
    LineStore store;
    ASSERT_EQ(Load(store, Path("s.txt"), 1), 0);
    store.SetLine(0, "y");
    ASSERT_EQ(SaveTo(store, Path("s.txt")), 0);
    int error = 0;
    EXPECT_FALSE(FileLock::Open(Path("s.txt"), FileLock::Mode::ReadWriteLocked, error));
    EXPECT_EQ(error, EACCES);

    options.LockMode = 0;
    ASSERT_EQ(SaveTo(store, Path("s.txt")), 0);
    EXPECT_FALSE(store.lockedFile);
    EXPECT_TRUE(FileLock::Open(Path("s.txt"), FileLock::Mode::ReadWriteLocked, error));
}

// The exit status of running path in a child process (126 when it could not be run).
int RunProgram(const std::string& path) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        ::_exit(126);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(FileSafetyTest, AHeldScriptStillRunsAndCooperatingProgramsMayNotLockIt) {
    WriteBytes(Path("run.sh"), "#!/bin/sh\nexit 7\n");
    ASSERT_EQ(::chmod(Path("run.sh").c_str(), 0755), 0);
    LineStore store;
    ASSERT_EQ(Load(store, Path("run.sh"), 1), 0);
    ASSERT_TRUE(store.lockedFile);
    EXPECT_EQ(RunProgram(Path("run.sh")), 7);
    store.SetLine(1, "exit 9");
    ASSERT_EQ(SaveTo(store, Path("run.sh")), 0);
    ASSERT_TRUE(store.lockedFile);
    EXPECT_EQ(RunProgram(Path("run.sh")), 9);
    // No lock for writing is granted to anyone else meanwhile.
    int fd = ::open(Path("run.sh").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    EXPECT_NE(::fcntl(fd, F_OFD_SETLK, &lock), 0);
    ::close(fd);
}

TEST_F(FileSafetyTest, LinksPermissionsAndOwnersSurviveASave) {
    WriteBytes(Path("real.txt"), "old\r\n");
    ASSERT_EQ(::chmod(Path("real.txt").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.txt", Path("link.txt").c_str()), 0);
    ASSERT_EQ(::link(Path("real.txt").c_str(), Path("hard.txt").c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(Path("real.txt").c_str(), &before), 0);

    LineStore store;
    store.SetLine(0, "via link");
    ASSERT_EQ(SaveTo(store, Path("link.txt")), 0);
    struct stat link {};
    ASSERT_EQ(::lstat(Path("link.txt").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    EXPECT_EQ(ReadBytes(Path("hard.txt")), "via link\r\n");  // written in place
    struct stat after {};
    ASSERT_EQ(::stat(Path("real.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(DirEntries(dir), (Lines{"hard.txt", "link.txt", "real.txt"}));

    ASSERT_EQ(::unlink(Path("hard.txt").c_str()), 0);  // one link: replaced by rename
    ASSERT_EQ(::chown(Path("real.txt").c_str(), 65534, 65534), 0);
    store.SetLine(0, "renamed");
    ASSERT_EQ(SaveTo(store, Path("real.txt")), 0);
    ASSERT_EQ(::stat(Path("real.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(ReadBytes(Path("link.txt")), "renamed\r\n");
}

TEST_F(FileSafetyTest, OpeningRemovesTheTemporaryFilesOfKilledSavesButNotOneBeingWritten) {
    WriteBytes(Path("f.txt"), "text\n");
    WriteBytes(Path(".f.txt.save-AbC123"), "half a save");
    WriteBytes(Path(".f.txt.save-Xy9876"), "a save in progress");
    WriteBytes(Path(".g.txt.save-AbC123"), "another file's");
    WriteBytes(Path(".f.txt.save-toolong1"), "not ours");
    const int writing = ::open(Path(".f.txt.save-Xy9876").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_TRUE(HoldWhileAlive(writing));
    LineStore store;
    ASSERT_EQ(Load(store, Path("f.txt"), 1), 0);
    ::close(writing);
    EXPECT_EQ(DirEntries(dir),
              (Lines{".f.txt.save-Xy9876", ".f.txt.save-toolong1", ".g.txt.save-AbC123", "f.txt"}));
}

TEST_F(FileSafetyTest, ExtendedAttributesSurviveASave) {
    WriteBytes(Path("x.txt"), "old\r\n");
    const char tag[] = "reviewed";
    if (::setxattr(Path("x.txt").c_str(), "user.varlin.tag", tag, sizeof tag - 1, 0) != 0)
        GTEST_SKIP() << "no extended attributes on this file system";
    LineStore store;
    store.SetLine(0, "new");
    ASSERT_EQ(SaveTo(store, Path("x.txt")), 0);
    char back[32] = {};
    ASSERT_EQ(::getxattr(Path("x.txt").c_str(), "user.varlin.tag", back, sizeof back),
              ssize_t(sizeof tag - 1));
    EXPECT_STREQ(back, tag);
}

// Another process takes the new file's lock in the moment between the rename and our
// lock: the bytes are on the disk, so the save is done, and the lost lock is a warning.
std::string g_lockDir;
std::unique_ptr<LockHolder> g_lockTaker;

int TakeLockBeforeRename(WriteStep step) {
    if (step != WriteStep::Rename) return 0;
    for (const std::string& entry : DirEntries(g_lockDir))
        if (entry.starts_with(".s.txt.save-")) g_lockTaker = std::make_unique<LockHolder>(g_lockDir + "/" + entry);
    return 0;
}

TEST_F(FileSafetyTest, ASaveWhoseFileIsLockedByAnotherRightAfterTheRenameIsDone) {
    WriteBytes(Path("s.txt"), "x\r\n");
    LineStore store;
    ASSERT_EQ(Load(store, Path("s.txt"), 1), 0);
    store.SetLine(0, "y");
    g_lockDir = dir;
    SetWriteStepHook(TakeLockBeforeRename);
    const int saved = SaveTo(store, Path("s.txt"));
    SetWriteStepHook(nullptr);
    ASSERT_TRUE(g_lockTaker && g_lockTaker->pid > 0);
    g_lockTaker.reset();
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(host.messageIds, std::vector<int>{kNotRelockedMessage});
    EXPECT_EQ(ReadBytes(Path("s.txt")), "y\r\n");
    EXPECT_EQ(store.FileName(), Path("s.txt"));
    EXPECT_FALSE(store.lockedFile);
}

// A leftover backup belongs to the user whose save was cut: another user (root too)
// neither removes it, when it is a mere beginning of the file, nor is offered it.
TEST_F(FileSafetyTest, OnlyTheOwnerSweepsOrIsOfferedALeftoverBackup) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant another user's backup";
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    const std::string name = Path("f.txt"), prefix = Path(".f.txt.backup-AbC123"), old = Path(".f.txt.backup-XyZ789");
    WriteBytes(name, "mixed new\r\n");
    WriteBytes(prefix, "mixed");
    WriteBytes(old, "old text\r\n");
    for (const std::string& f : {name, prefix, old}) ASSERT_EQ(::chown(f.c_str(), 65534, 65534), 0);
    {
        LineStore store;
        ASSERT_EQ(Load(store, name, 0), 0);
        EXPECT_TRUE(store.leftoverBackups.empty());
    }
    EXPECT_EQ(DirEntries(dir), (Lines{".f.txt.backup-AbC123", ".f.txt.backup-XyZ789", "f.txt"}));
    // Their owner sweeps the one and is offered the other.
    const int code = RunAsNobody(host, [&] {
        LineStore theirs;
        if (Load(theirs, name, 0) != 0) return 1;
        return theirs.leftoverBackups == Lines{old} ? 0 : 2;
    });
    if (code == 255) GTEST_SKIP() << "unavailable here: cannot switch to user nobody";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(DirEntries(dir), (Lines{".f.txt.backup-XyZ789", "f.txt"}));
}

TEST_F(FileSafetyTest, AReadOnlyFileIsRefusedAndAReadOnlyFolderWrittenInPlace) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to switch to an unprivileged user";
    ASSERT_EQ(::chmod(dir.c_str(), 0777), 0);
    WriteBytes(Path("ro.txt"), "keep\r\n");
    ASSERT_EQ(::chown(Path("ro.txt").c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(Path("ro.txt").c_str(), 0444), 0);
    int code = RunAsNobody(host, [&] {
        LineStore store;
        store.SetLine(0, "new");
        return SaveTo(store, Path("ro.txt"));
    });
    if (code == 255) GTEST_SKIP() << "unavailable here: cannot switch to user nobody";
    EXPECT_EQ(code, 25);  // 1025
    EXPECT_EQ(ReadBytes(Path("ro.txt")), "keep\r\n");
    code = RunAsNobody(host, [&] {
        LineStore store;
        host.answers = {IdYes};
        return Load(store, Path("ro.txt"), 1) == 0 && store.FileName().empty() ? 0 : -1;
    });
    EXPECT_EQ(code, 209);  // asked 1209, then opened without a name

    // A folder that takes no temporary file: backup elsewhere, then written in place.
    const std::string sub = Path("locked");
    const std::string tmp = Path("tmp");
    ASSERT_EQ(::mkdir(sub.c_str(), 0777), 0);
    ASSERT_EQ(::mkdir(tmp.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(tmp.c_str(), 0777), 0);
    WriteBytes(sub + "/f.txt", "old\r\n");
    ASSERT_EQ(::chmod((sub + "/f.txt").c_str(), 0666), 0);
    ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
    ::setenv("TMPDIR", tmp.c_str(), 1);
    code = RunAsNobody(host, [&] {
        LineStore store;
        store.SetLine(0, "new");
        return SaveTo(store, sub + "/f.txt");
    });
    ::unsetenv("TMPDIR");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(sub + "/f.txt"), "new\r\n");
    EXPECT_EQ(DirEntries(sub), Lines{"f.txt"});
    EXPECT_EQ(DirEntries(tmp), Lines{"varlin-65534"});  // the private folder, without a backup
    EXPECT_TRUE(DirEntries(tmp + "/varlin-65534").empty());
}

TEST_F(FileSafetyTest, ADeviceIsRefusedAndLeftAsItIs) {
    struct stat st {};
    if (::stat("/dev/full", &st) != 0 || !S_ISCHR(st.st_mode)) GTEST_SKIP() << "unavailable here: no /dev/full";
    LineStore store;
    store.SetLine(0, std::string(3 << 20, 'x'));  // more than one buffer
    EXPECT_EQ(WriteRange(store, "/dev/full", 0, 0), -1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1265});
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(FileSafetyTest, ASaveKilledMidwayLeavesTheOldOrTheNewFileWhole) {
    const std::string name = Path("k.txt");
    const std::string old = "old\r\n";
    WriteBytes(name, old);
    std::string line(100, 'n');
    std::string fresh;
    for (int i = 0; i < 200000; ++i) fresh += line + "\r\n";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        LineStore store;
        for (int i = 0; i < 200000; ++i) store.SetLine(i, line);
        (void)!::write(ready[1], "r", 1);
        ::_exit(SaveTo(store, name) == 0 ? 0 : 1);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::kill(pid, SIGKILL);  // most likely while the temporary file is being written
    ::waitpid(pid, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    std::string now = ReadBytes(name);
    EXPECT_TRUE(now == old || now == fresh) << "a file of " << now.size() << " bytes";
}

// A 64 KB file system, filled up to a few pages, for saves that run out of space.
class FullDiskTest : public FileSafetyTest {
protected:
    void SetUp() override {
        FileSafetyTest::SetUp();
        disk = Path("disk");
        ASSERT_EQ(::mkdir(disk.c_str(), 0755), 0);
        if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) disk.clear();
    }
    void TearDown() override {
        if (!disk.empty()) ::umount2(disk.c_str(), MNT_DETACH);
        FileSafetyTest::TearDown();
    }
    // Leaves about `pages` free pages on the small disk.
    bool FillUpTo(int pages) {
        struct statvfs vfs {};
        if (::statvfs(disk.c_str(), &vfs) != 0) return false;
        long long freeBytes = static_cast<long long>(vfs.f_bavail) * vfs.f_frsize;
        long long fill = freeBytes - pages * 4096LL;
        if (fill <= 0) return fill == 0;
        int fd = ::open((disk + "/filler").c_str(), O_CREAT | O_WRONLY, 0600);
        bool ok = fd >= 0 && ::posix_fallocate(fd, 0, fill) == 0;
        if (fd >= 0) ::close(fd);
        return ok;
    }
    static const char* NoSmallDisk() {
        return ::geteuid() != 0 ? "needs root to mount a small tmpfs"
                                : "unavailable here: mounting a tmpfs is refused";
    }
    std::string disk;
};

TEST_F(FullDiskTest, AFailedSaveLeavesTheOldFileByteForByte) {
    if (disk.empty()) GTEST_SKIP() << NoSmallDisk();
    const std::string name = disk + "/doc.txt";
    std::string old;
    for (int i = 0; i < 10; ++i) old += std::string(798, 'o') + "\r\n";
    WriteBytes(name, old);
    ASSERT_TRUE(FillUpTo(2));

    LineStore store;
    ASSERT_EQ(Load(store, name, 1), 0);
    store.SetLine(1, std::string(30000, 'n'));
    EXPECT_EQ(SaveTo(store, name), -1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1020});
    EXPECT_EQ(ReadBytes(name), old);
    EXPECT_EQ(DirEntries(disk), (Lines{"doc.txt", "filler"}));
    EXPECT_EQ(store.FileName(), name);  // the document keeps its name and lines
    EXPECT_EQ(store.GetLineCount(), 10);
}

TEST_F(FullDiskTest, AFailedSaveInPlaceRestoresOrRefuses) {
    if (disk.empty()) GTEST_SKIP() << NoSmallDisk();
    const std::string name = disk + "/doc.txt";
    const std::string old(8000, 'o');
    WriteBytes(name, old);
    ASSERT_EQ(::link(name.c_str(), (disk + "/twin.txt").c_str()), 0);
    LineStore store;
    store.SetLine(0, std::string(30000, 'n'));

    ASSERT_TRUE(FillUpTo(4));  // room for the backup, not for the new text
    EXPECT_EQ(SaveTo(store, name), -1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1020});
    EXPECT_EQ(ReadBytes(name), old);
    EXPECT_EQ(ReadBytes(disk + "/twin.txt"), old);
    EXPECT_EQ(DirEntries(disk), (Lines{"doc.txt", "filler", "twin.txt"}));

    ::unlink((disk + "/filler").c_str());
    ASSERT_TRUE(FillUpTo(1));  // not even room for the backup: refused untouched
    host.messageIds.clear();
    EXPECT_EQ(SaveTo(store, name), -1);
    EXPECT_EQ(host.messageIds, std::vector<int>{1020});
    EXPECT_EQ(ReadBytes(name), old);
    EXPECT_EQ(DirEntries(disk), (Lines{"doc.txt", "filler", "twin.txt"}));
}

// A mount made read-only under a loaded document: Save, Save As and a written range
// each fail with a message and touch nothing; the document keeps its name and text.
TEST_F(FullDiskTest, AReadOnlyMountRefusesEverySaveAndSaysSo) {
    if (disk.empty()) GTEST_SKIP() << NoSmallDisk();
    const std::string name = disk + "/doc.txt";
    WriteBytes(name, "old\r\n");
    options.LockMode = 0;
    LineStore store;
    ASSERT_EQ(Load(store, name, 1), 0);
    store.SetLine(0, "new");
    if (::mount(nullptr, disk.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        GTEST_SKIP() << "unavailable here: making the small tmpfs read-only is refused";
    const std::vector<std::function<int()>> saves = {
        [&] { return SaveTo(store, name); },
        [&] { return SaveTo(store, disk + "/other.txt"); },
        [&] { return WriteRange(store, disk + "/part.txt", 0, 0); },
    };
    for (std::size_t i = 0; i < saves.size(); ++i) {
        host.messageIds.clear();
        EXPECT_EQ(saves[i](), -1) << i;
        EXPECT_FALSE(host.messageIds.empty()) << i;
        EXPECT_EQ(ReadBytes(name), "old\r\n") << i;
        EXPECT_EQ(DirEntries(disk), Lines{"doc.txt"}) << i;
        EXPECT_EQ(store.FileName(), name) << i;
        EXPECT_EQ(store.LineView(0), "new") << i;
    }
}

}  // namespace
}  // namespace varlin
