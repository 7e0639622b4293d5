// Names and texts of the common library: extensions, folders, command-line words, the
// escape notation, and private temporary files.
#include "platform/EscapeNotation.h"
#include "platform/FileNames.h"
#include "platform/TempFiles.h"
#include "platform/TestFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>

namespace varlin {
namespace {

TEST(GetExtension, LastDotOfTheLastPartCutToEight) {
    struct Case { const char* name; const char* ext; } cases[] = {
        {"Main.java", "java"}, {"/src/unit.pas", "pas"}, {"a.tar.gz", "gz"}, {"README", ""},
        {"", ""}, {"dir.d/file", ""}, {"dir.d\\file", ""}, {".profile", ""}, {"file.", ""},
        {"x.abcdefghij", "abcdefgh"}, {"C:\\src\\x.CPP", "CPP"},
    };
    for (const Case& c : cases) EXPECT_EQ(Korvel_GetExtension(c.name), c.ext) << c.name;
}

TEST(StripFileName, FolderWithoutTrailingSeparator) {
    struct Case { const char* path; const char* folder; } cases[] = {
        {"/a/b.txt", "/a"}, {"/b.txt", "/"}, {"b.txt", ""}, {"a//b", "a"}, {"C:\\x\\y.exe", "C:\\x"},
        {"/a/b/", "/a/b"},
    };
    for (const Case& c : cases) EXPECT_EQ(Korvel_StripFileName(c.path), c.folder) << c.path;
}

TEST(AssembleFileName, JoinsWithOneSeparator) {
    EXPECT_EQ(Korvel_Assemble_FileName("/opt/varlin", "stdbutt", "vlb"), "/opt/varlin/stdbutt.vlb");
    EXPECT_EQ(Korvel_Assemble_FileName("/opt/varlin/", "stdbutt", "vlb"), "/opt/varlin/stdbutt.vlb");
    EXPECT_EQ(Korvel_Assemble_FileName("", "x", ""), "x");
}

TEST(ConvertFilenameToWildcard, FolderAndExtensionKept) {
    EXPECT_EQ(Korvel_ConvertFilenameToWildcard("/src/a.cpp"), "/src/*.cpp");
    EXPECT_EQ(Korvel_ConvertFilenameToWildcard("/src/Makefile"), "/src/*.*");
    EXPECT_EQ(Korvel_ConvertFilenameToWildcard("x.verylongext"), "*.verylongext");
    EXPECT_EQ(Korvel_ConvertFilenameToWildcard(""), "*.*");
}

std::vector<std::string> Words(const std::string& text, int size = 512) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    std::string word;
    while (Korvel_ScanString(text, pos, word, ' ', size) >= 1) words.push_back(word);
    return words;
}

TEST(ScanString, BlankSeparatedWordsWithQuotes) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Words("a.txt  b.txt "), (V{"a.txt", "b.txt"}));
    EXPECT_EQ(Words("\"my file.txt\" other"), (V{"my file.txt", "other"}));
    EXPECT_EQ(Words("dir/\"a b\"/c"), (V{"dir/a b/c"}));
    EXPECT_EQ(Words("\"\" x"), (V{"x"}));
    EXPECT_EQ(Words("\"open end"), (V{"open end"}));
    EXPECT_EQ(Words(""), V{});
    EXPECT_EQ(Words("   "), V{});
    EXPECT_EQ(Words("abcdef", 4), (V{"abc"}));
}

TEST(EscapeToBinary, Notations) {
    struct Case { const char* src; const char* out; } cases[] = {
        {"a\\nb", "a\nb"}, {"\\r\\t", "\r\t"}, {"\\\\n", "\\n"}, {"\\x41\\x9", "A\t"},
        {"\\x4g", "\x04g"}, {"\\xZ", "\\xZ"}, {"C:\\path", "C:\\path"}, {"end\\", "end\\"},
        {"\\e[", "\x1B["}, {"\\xff", "\xFF"},
    };
    for (const Case& c : cases) {
        char out[32];
        EXPECT_EQ(Korvel_EscapeToBinary(c.src, out, sizeof out), int(std::strlen(c.out))) << c.src;
        EXPECT_STREQ(out, c.out) << c.src;
    }
}

TEST(EscapeToBinary, NulIsRefusedAndTheResultFitsTheBuffer) {
    char out[4] = "zz";
    EXPECT_EQ(Korvel_EscapeToBinary("a\\0b", out, sizeof out), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(Korvel_EscapeToBinary("\\x00", out, sizeof out), -1);
    EXPECT_EQ(Korvel_EscapeToBinary("\\x0", out, sizeof out), -1);
    EXPECT_EQ(Korvel_EscapeToBinary("abcdef", out, sizeof out), 3);
    EXPECT_STREQ(out, "abc");
    std::string s;
    EXPECT_FALSE(EscapeToBinary("\\0", s));
    EXPECT_TRUE(EscapeToBinary("\\\\0", s));
    EXPECT_EQ(s, "\\0");
}

class TempFiles : public ::testing::Test {
protected:
    void SetUp() override { SetTemporaryBase(base.path()); }
    void TearDown() override { SetTemporaryBase(""); }
    test::TestFolder base;
    std::string ours = base.path() + "/varlin-" + std::to_string(::geteuid());
};

TEST_F(TempFiles, MakesUniquePrivateFilesInAPrivateFolder) {
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        std::string name = CreateTemporaryFileName("VLE");
        ASSERT_FALSE(name.empty());
        EXPECT_TRUE(names.insert(name).second);
        EXPECT_EQ(name.rfind(ours + "/VLE", 0), 0u) << name;
        struct stat st;
        ASSERT_EQ(::lstat(name.c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(st.st_size, 0);
    }
    struct stat st;
    ASSERT_EQ(::lstat(ours.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

// Files of a run that ended without cleaning up go; files in use (locked by a living
// process, or just made) and anything not ours stay.
TEST_F(TempFiles, StaleFilesOfEndedRunsAreRemoved) {
    const std::string mine = CreateTemporaryFileName("VLE");
    ASSERT_FALSE(mine.empty());
    auto make = [&](const std::string& name, bool old) {
        const std::string path = ours + "/" + name;
        test::WriteFile(path, "x");
        const struct timespec hourAgo[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
        if (old) {
            EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), hourAgo, 0), 0);
        }
        return path;
    };
    make(mine.substr(ours.size() + 1), true);  // made an hour ago, still ours
    make("VLE00000000000000aa", true);  // stale: removed
    make("LR00000000000000bb", true);   // stale: removed
    const std::string held = make("LR00000000000000cc", true);
    const std::string fresh = make("VLE00000000000000dd", false);
    const std::string other = make("notes.txt", true);
    ASSERT_EQ(::mkdir((ours + "/LRfolder").c_str(), 0700), 0);
    const int holder = ::open(held.c_str(), O_RDONLY);  // another process's lock
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

    RemoveStaleTemporaryFiles();
    ::close(holder);
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(ours)) left.insert(entry.path().string());
    EXPECT_EQ(left, (std::set<std::string>{mine, held, fresh, other, ours + "/LRfolder"}));
}

TEST_F(TempFiles, APlantedLinkIsNeverFollowed) {
    test::TestFolder elsewhere;
    ASSERT_EQ(::symlink(elsewhere.path().c_str(), ours.c_str()), 0);
    std::string name = CreateTemporaryFileName("LR");
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.rfind(ours + "/", 0), std::string::npos) << "went through the link: " << name;
    EXPECT_EQ(name.find(elsewhere.path()), std::string::npos);
    struct stat st;
    ASSERT_EQ(::lstat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(TempFiles, AFolderOpenToOthersIsClosedFirst) {
    ASSERT_EQ(::mkdir(ours.c_str(), 0777), 0);
    ::chmod(ours.c_str(), 0777);
    ASSERT_FALSE(CreateTemporaryFileName("VLE").empty());
    struct stat st;
    ASSERT_EQ(::lstat(ours.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(TempFiles, AFolderOfAnotherUserIsNotUsed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant a folder of another user";
    ASSERT_EQ(::mkdir(ours.c_str(), 0777), 0);
    ASSERT_EQ(::chown(ours.c_str(), 65534, 65534), 0);
    std::string name = CreateTemporaryFileName("VLE");
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.rfind(ours + "/", 0), std::string::npos) << name;
}

TEST_F(TempFiles, APrefixWithASlashIsRefused) {
    EXPECT_EQ(CreateTemporaryFileName("../x"), "");
}

}  // namespace
}  // namespace varlin
