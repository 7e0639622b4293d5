// The runtime folder that holds the frame's socket: only a folder and a socket of the
// user's own are used, so that another user neither receives nor sends files.
#include "platform/RuntimeFolder.h"
#include "platform/TempFiles.h"
#include "platform/TestFolder.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>

namespace varlin {
namespace {

constexpr uid_t kOtherUser = 65534;

// A socket file with nobody listening (what a crashed frame leaves).
bool MakeSocketFile(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

class RuntimeFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        saved_ = old ? old : "";
        hadOld_ = old != nullptr;
        ::chmod(folder_.path().c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", folder_.path().c_str(), 1);
    }
    void TearDown() override {
        if (hadOld_) ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
        else ::unsetenv("XDG_RUNTIME_DIR");
    }
    test::TestFolder folder_;
    std::string saved_;
    bool hadOld_ = false;
};

TEST_F(RuntimeFolderTest, MadePrivateAndRefusedWhenOthersMayUseIt) {
    std::string error;
    const std::string made = UserRuntimeFolder(error);
    ASSERT_EQ(made, folder_.File("varlin")) << error;
    struct stat info {};
    ASSERT_EQ(::lstat(made.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    ::chmod(made.c_str(), 0755);
    EXPECT_EQ(UserRuntimeFolder(error), "");
    EXPECT_NE(error.find("0700"), std::string::npos) << error;
    ::rmdir(made.c_str());
    ASSERT_EQ(::symlink("/tmp", made.c_str()), 0);  // a planted link is never followed
    EXPECT_EQ(UserRuntimeFolder(error), "");
}

TEST_F(RuntimeFolderTest, AnotherUsersFolderAndSocketAreRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root: files of another user are made by chown";
    std::string error;
    const std::string made = UserRuntimeFolder(error);
    ASSERT_FALSE(made.empty()) << error;
    const std::string socket = made + "/frame";
    ASSERT_TRUE(MakeSocketFile(socket));
    EXPECT_TRUE(IsOwnSocket(socket));
    ASSERT_EQ(::lchown(socket.c_str(), kOtherUser, kOtherUser), 0);
    EXPECT_FALSE(IsOwnSocket(socket));

    ASSERT_EQ(::chown(made.c_str(), kOtherUser, kOtherUser), 0);
    EXPECT_EQ(UserRuntimeFolder(error), "");
    EXPECT_NE(error.find("another user"), std::string::npos) << error;
    // $XDG_RUNTIME_DIR itself of another user: the private folder below the temporary base.
    ASSERT_EQ(::chown(folder_.path().c_str(), kOtherUser, kOtherUser), 0);
    test::TestFolder base;
    SetTemporaryBase(base.path());
    EXPECT_EQ(UserRuntimeFolder(error), base.File("varlin-runtime-0")) << error;
    SetTemporaryBase("");
}

TEST_F(RuntimeFolderTest, OneHolderOfTheFrameLock) {
    const std::string path = folder_.File("frame.lock");
    ExclusiveLock first;
    ASSERT_TRUE(first.TryTake(path));
    EXPECT_EQ(test::RunInChild([&] { return ExclusiveLock().TryTake(path) ? 1 : 0; }), 0);
    EXPECT_EQ(std::stoi(test::ReadFile(path)), int(::getpid()));
    first.Release();  // as when the frame's process ends
    EXPECT_EQ(test::RunInChild([&] { return ExclusiveLock().TryTake(path) ? 1 : 0; }), 1);
}

}  // namespace
}  // namespace varlin
