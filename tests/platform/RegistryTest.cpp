// The settings store on a file of its own: defaults for missing and malformed values,
// values read back, and writes that fail without harming the old file.
#include "platform/HeadlessHost.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"

#include <QSettings>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace varlin {
namespace {

using test::ReadFile;
using test::TestFolder;
using test::WriteFile;

// Failures of the store show messages; they go to a quiet host that outlives the tests.
HeadlessHost& QuietHost() {
    static HeadlessHost host;
    host.Reset();
    host.writeMessagesToStderr = false;
    host.Install();
    return host;
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        QuietHost();
        SetSettingsFile(file);
    }
    void TearDown() override { SetSettingsFile(""); }

    int FilesInFolder() const {
        int n = 0;
        if (DIR* d = ::opendir(folder.path().c_str())) {
            while (dirent* e = ::readdir(d))
                if (e->d_name[0] != '.') ++n;
            ::closedir(d);
        }
        return n;
    }

    TestFolder folder;
    std::string file = folder.File("settings.ini");
};

TEST_F(Registry, MissingFileAndMissingValuesGiveTheDefaults) {
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "LockMode", 1), 1);
    EXPECT_EQ(Korvel_ReadColorFromHKCU("Options", "ColorText", 0xF0FBFFu), 0xF0FBFFu);
    EXPECT_EQ(Korvel_ReadStringFromHKCU("Options", "BracketList", "(,)"), "(,)");
    WriteFile(file, "[Options]\nOther=5\n");
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "LockMode", 7), 7);
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Find", "Other", 7), 7);
}

TEST_F(Registry, ValuesComeBackAsWritten) {
    const std::string texts[] = {
        "(,),begin,end,{,},[,],#if,#endif", "a \"quoted\" text", " outer blanks ", "line\nbreak\ttab",
        "back\\slash", "Gr\xC3\xBC\xC3\x9F" "e", "semi;colon=equals", "@at", "ctrl\x01\x1F" "x", "",
    };
    for (const std::string& text : texts) {
        ASSERT_TRUE(Korvel_WriteStringToHKCU("Options", "Text", text));
        EXPECT_EQ(Korvel_ReadStringFromHKCU("Options", "Text", "default"), text);
    }
    const std::int32_t numbers[] = {0, 1, -5, 2147483647, -2147483647 - 1};
    for (std::int32_t n : numbers) {
        ASSERT_TRUE(Korvel_WriteLongToHKCU("Options", "LngLineBuffer", n));
        EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "LngLineBuffer", 3000), n);
    }
    ASSERT_TRUE(Korvel_WriteColorToHKCU("Options", "ColorBackground", 0xF0FBFFu));
    EXPECT_EQ(Korvel_ReadColorFromHKCU("Options", "ColorBackground", 0), 0xF0FBFFu);
    // Red in the lowest byte, stored as a plain integer.
    EXPECT_NE(ReadFile(file).find("ColorBackground=15793151"), std::string::npos);
}

TEST_F(Registry, WritesKeepTheOtherValuesAndKeys) {
    ASSERT_TRUE(Korvel_WriteLongToHKCU("Options", "A", 1));
    ASSERT_TRUE(Korvel_WriteLongToHKCU("Find", "A", 2));
    ASSERT_TRUE(Korvel_WriteLongToHKCU("Options", "B", 3));
    ASSERT_TRUE(Korvel_WriteLongToHKCU("Options", "A", 4));
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "A", 0), 4);
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Find", "A", 0), 2);
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "B", 0), 3);
}

TEST_F(Registry, MalformedNumbersCountAsMissing) {
    WriteFile(file,
              "[Options]\nLockMode=abc\nA=99999999999\nB=\nC=12abc\nD=@Variant(\\0\\0\\0\\x7f)\n"
              "E= 42 \nF=-2147483649\nG=0x10\nH=+7\nColorText=-1\nColorKeywords=4294967296\n");
    struct Case { const char* name; std::int32_t expected; } cases[] = {
        {"LockMode", 1}, {"A", 1}, {"B", 1}, {"C", 1}, {"D", 1}, {"E", 42}, {"F", 1}, {"G", 1}, {"H", 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", c.name, 1), c.expected) << c.name;
    EXPECT_EQ(Korvel_ReadColorFromHKCU("Options", "ColorText", 5), 0xFFFFFFFFu);  // signed form
    EXPECT_EQ(Korvel_ReadColorFromHKCU("Options", "ColorKeywords", 5), 5u);
}

TEST_F(Registry, ReadsWhatQSettingsWrote) {
    {
        QSettings qs(QString::fromStdString(file), QSettings::IniFormat);
        qs.setValue("Options/BracketList", "(,),begin,end");
        qs.setValue("Options/TabDistance", 4);
        qs.setValue("Options/FileNameFilter", "Alle Dateien (*.*)|*.*|");
        qs.setValue("LastUsed/OpenFile", "/home/u/my file.txt");
        qs.sync();
    }
    EXPECT_EQ(Korvel_ReadStringFromHKCU("Options", "BracketList", ""), "(,),begin,end");
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "TabDistance", 8), 4);
    EXPECT_EQ(Korvel_ReadStringFromHKCU("Options", "FileNameFilter", ""), "Alle Dateien (*.*)|*.*|");
    EXPECT_EQ(Korvel_ReadStringFromHKCU("LastUsed", "OpenFile", ""), "/home/u/my file.txt");
    // And QSettings reads what we write.
    ASSERT_TRUE(Korvel_WriteStringToHKCU("Options", "BracketList", "a,\"b\",c"));
    QSettings qs(QString::fromStdString(file), QSettings::IniFormat);
    EXPECT_EQ(qs.value("Options/BracketList").toString().toStdString(), "a,\"b\",c");
}

TEST_F(Registry, StringReadsAreCutWithoutSplittingACharacter) {
    std::string text(498, 'a');
    text += "\xC3\xBC" "bbb";  // ü straddles the 499th byte
    ASSERT_TRUE(Korvel_WriteStringToHKCU("Options", "BracketList", text));
    EXPECT_EQ(Korvel_ReadStringFromHKCU("Options", "BracketList", "", 500), std::string(498, 'a'));
    EXPECT_EQ(Korvel_ReadStringFromHKCU("Options", "BracketList", "", 10), std::string(9, 'a'));
    EXPECT_EQ(Korvel_ReadStringFromHKCU("Options", "BracketList", "x", 0), "");
}

TEST_F(Registry, DeleteKeyRemovesItAndItsSubkeysOnly) {
    ASSERT_TRUE(Korvel_WriteLongToHKCU("KeyTableF3", "A", 1));
    ASSERT_TRUE(Korvel_WriteLongToHKCU("KeyTableF3\\Sub", "B", 2));
    ASSERT_TRUE(Korvel_WriteLongToHKCU("KeyTableF3x", "C", 3));
    WriteFile(file, ReadFile(file) + "[KeyTableF3]\n; my own keys\n");
    EXPECT_TRUE(Korvel_DeleteRegistryKey("KeyTableF3"));
    EXPECT_NE(ReadFile(file).find("[KeyTableF3]\n; my own keys\n"), std::string::npos);  // a comment stays
    EXPECT_EQ(Korvel_ReadLongFromHKCU("KeyTableF3", "A", -1), -1);
    EXPECT_EQ(Korvel_ReadLongFromHKCU("KeyTableF3\\Sub", "B", -1), -1);
    EXPECT_EQ(Korvel_ReadLongFromHKCU("KeyTableF3x", "C", -1), 3);
    EXPECT_TRUE(Korvel_DeleteRegistryKey("Nothing"));
}

TEST_F(Registry, BatchWritesAllAtOnceOrNothing) {
    ASSERT_TRUE(Korvel_WriteLongToHKCU("Options", "A", 1));
    {
        RegistryBatch batch;
        Korvel_WriteLongToHKCU("Options", "A", 2);
        Korvel_WriteLongToHKCU("Options", "B", 3);
        EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "A", 0), 2);  // pending values are seen
        EXPECT_EQ(ReadFile(file).find("B="), std::string::npos);   // but not yet stored
    }
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "A", 0), 1);  // not committed: discarded
    {
        RegistryBatch batch;
        Korvel_WriteLongToHKCU("Options", "A", 2);
        Korvel_WriteLongToHKCU("Options", "B", 3);
        EXPECT_TRUE(batch.Commit());
    }
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "A", 0), 2);
    EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "B", 0), 3);
}

TEST_F(Registry, WriteThroughALinkReplacesTheTargetAndKeepsTheLink) {
    std::string target = folder.File("real.ini");
    WriteFile(target, "[Options]\nA=1\n");
    ASSERT_EQ(::symlink(target.c_str(), file.c_str()), 0);
    ASSERT_TRUE(Korvel_WriteLongToHKCU("Options", "A", 9));
    struct stat st;
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(ReadFile(target).find("A=9"), std::string::npos);
}

TEST_F(Registry, FailedWriteInAReadOnlyFolderKeepsTheOldFile) {
    const std::string old = "[Options]\nLockMode=1\n";
    WriteFile(file, old);
    ::chmod(file.c_str(), 0644);
    ::chmod(folder.path().c_str(), 0555);
    int result = test::RunUnprivileged([&] {
        if (::access(folder.path().c_str(), W_OK) == 0) return 2;  // cannot provoke it here
        return Korvel_WriteLongToHKCU("Options", "LockMode", 0) ? 1 : 0;
    });
    ::chmod(folder.path().c_str(), 0755);
    if (result == -1 || result == 2) GTEST_SKIP() << test::kRightsStay;
    EXPECT_EQ(result, 0) << "the write must report its failure";
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(FilesInFolder(), 1) << "no temporary file may be left behind";
}

TEST_F(Registry, WriteThatRunsOutOfSpaceKeepsTheOldFile) {
    // The file size limit makes every write beyond it fail, as a full disk does.
    const std::string old = "[Options]\nLockMode=1\nBracketList=\"(,)\"\n";
    WriteFile(file, old);
    int result = test::RunInChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {64, 64};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
        return Korvel_WriteStringToHKCU("Options", "BracketList", std::string(400, 'x')) ? 1 : 0;
    });
    if (result == 2) GTEST_SKIP() << "cannot limit the file size here";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(Registry, UnreadableFileIsNotReplacedByASingleValue) {
    const std::string old = "[Options]\nLockMode=1\n";
    WriteFile(file, old);
    ::chmod(file.c_str(), 0000);
    ::chmod(folder.path().c_str(), 0777);
    int result = test::RunUnprivileged([&] {
        if (::access(file.c_str(), R_OK) == 0) return 2;
        return Korvel_WriteLongToHKCU("Options", "TabDistance", 4) ? 1 : 0;
    });
    ::chmod(folder.path().c_str(), 0755);
    ::chmod(file.c_str(), 0644);
    if (result == -1 || result == 2) GTEST_SKIP() << test::kRightsStay;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(file), old);
}

TEST_F(Registry, OnlyARegularFileIsReadOrReplacedAndTheFailureIsToldOnce) {
    HeadlessHost& host = QuietHost();
    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {folder.path(), fifo, std::string("/dev/null")}) {
        host.messageIds.clear();
        SetSettingsFile(path);
        EXPECT_EQ(Korvel_ReadLongFromHKCU("Options", "TabDistance", 8), 8) << path;  // no wait
        EXPECT_FALSE(Korvel_WriteLongToHKCU("Options", "TabDistance", 4)) << path;
        EXPECT_FALSE(Korvel_WriteLongToHKCU("Options", "TabDistance", 5)) << path;
        EXPECT_EQ(host.messageIds, (std::vector<int>{1265, 1262})) << path;
    }
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // A file that cannot be written: told once, and again only after a write worked.
    host.messageIds.clear();
    SetSettingsFile("/proc/varlin-settings.ini");
    if (Korvel_WriteLongToHKCU("Options", "A", 1)) GTEST_SKIP() << "/proc takes files here";
    Korvel_WriteLongToHKCU("Options", "A", 2);
    EXPECT_EQ(host.messageIds, std::vector<int>{1262});
}

// In a shared sticky folder, a link another user planted is not followed, dangling or
// not (no file is made where it points); a link of the writer's own or of root's is
// written through and stays a link. Tried as root and as an ordinary user.
TEST_F(Registry, TheSettingsWriterFollowsOnlyLinksOfTheUserOrRoot) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to plant links of other users";
    ASSERT_EQ(::chmod(folder.path().c_str(), 01777), 0);
    const std::string victim = folder.File("victim"), made = folder.File("made");
    WriteFile(victim, "victim\n");
    ASSERT_EQ(::chmod(victim.c_str(), 0666), 0);
    auto plant = [&](const std::string& link, const std::string& to, uid_t owner) {
        ::unlink(link.c_str());
        return ::symlink(to.c_str(), link.c_str()) == 0 && ::lchown(link.c_str(), owner, owner) == 0;
    };
    // As the writer (root, then nobody): whose links are followed.
    for (const uid_t writer : {uid_t(0), uid_t(65534)}) {
        const uid_t stranger = writer == 0 ? 65534 : 1;  // 1: the daemon user
        ASSERT_TRUE(plant(folder.File("planted.conf"), victim, stranger));
        ASSERT_TRUE(plant(folder.File("dangling.conf"), made, stranger));
        ASSERT_TRUE(plant(folder.File("trusted.conf"), victim, writer));
        ASSERT_EQ(::chown(victim.c_str(), writer, writer), 0);  // the sticky folder's rule for the rename
        const auto write = [&] {
            int error = 0;
            if (WriteFileReplacing(folder.File("planted.conf"), "[Options]\n", error) || error != EACCES) return 1;
            if (WriteFileReplacing(folder.File("dangling.conf"), "[Options]\n", error)) return 2;
            return WriteFileReplacing(folder.File("trusted.conf"), "[Options]\nA=1\n", error) ? 0 : 3;
        };
        const int result = writer == 0 ? test::RunInChild(write) : test::RunUnprivileged(write);
        if (result == -1) GTEST_SKIP() << test::kRightsStay;
        SCOPED_TRACE(writer);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ReadFile(victim), "[Options]\nA=1\n");
        EXPECT_NE(::access(made.c_str(), F_OK), 0);
        struct stat st {};
        EXPECT_TRUE(::lstat(folder.File("trusted.conf").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
        WriteFile(victim, "victim\n");
    }
    // Through the settings store: told by its own message.
    auto& host = QuietHost();
    SetSettingsFile(folder.File("planted.conf"));
    EXPECT_FALSE(Korvel_WriteLongToHKCU("Options", "A", 1));
    EXPECT_EQ(host.messageIds, std::vector<int>{1266});
    EXPECT_EQ(ReadFile(victim), "victim\n");
}

TEST(IniFile, CommentsAndLinesWithoutEqualsSurviveARewrite) {
    const std::string text =
        "; written by hand\n[half\n[\n[Options]\n# why 4: the team's rule\nTabDistance=8\nno equals here\n"
        "=no key\n\n[Find]\nMode=1\n";
    IniDocument doc = IniDocument::Parse(text);
    EXPECT_EQ(*doc.Find("Options", "TabDistance"), "8");
    doc.Set("Options", "TabDistance", "4");
    doc.Set("Options", "LockMode", "0");
    EXPECT_EQ(doc.Serialise(),
              "; written by hand\n[half\n[\n\n[Options]\n# why 4: the team's rule\nTabDistance=4\n"
              "no equals here\n=no key\nLockMode=0\n\n[Find]\nMode=1\n");
}

TEST(IniFile, EscapingRoundTripsEveryByteButNul) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    EXPECT_EQ(UnescapeIniValue(EscapeIniValue(all)), all);
    EXPECT_EQ(EscapeIniValue("plain"), "plain");
    EXPECT_EQ(EscapeIniValue("a,b"), "\"a,b\"");
}

}  // namespace
}  // namespace varlin
