// Messages: type codes to kinds and buttons, "%s", the string table's order, and the
// file-error message chosen from real failed opens.
#include "platform/HeadlessHost.h"
#include "platform/Messages.h"
#include "platform/TestFolder.h"
#include "resources/StringTable.h"

#include <fcntl.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace varlin {
namespace {

struct StringEntry {
    int id;
    const char* text;
};
#include "resources/Strings_de.inc"
#include "resources/Strings_en.inc"

template <std::size_t N>
void ExpectSortedWithoutDuplicates(const StringEntry (&table)[N]) {
    for (std::size_t i = 1; i < N; ++i)
        EXPECT_LT(table[i - 1].id, table[i].id) << "entry " << i << " (id " << table[i].id << ")";
}

TEST(StringTable, TablesAreSortedByIdWithoutDuplicates) {
    ExpectSortedWithoutDuplicates(kGerman);
    ExpectSortedWithoutDuplicates(kEnglish);
}

TEST(StringTable, EveryEnglishTextTranslatesAGermanOneWithTheSameTypeCode) {
    for (const StringEntry& e : kEnglish) {
        SetAppLanguage(int(AppLanguage::German));
        const char* german = FindAppString(e.id);
        ASSERT_NE(german, nullptr) << e.id;
        if (e.id > 1000 && e.id < 1400) {
            std::string de = german, en = e.text;
            EXPECT_EQ(de.substr(0, de.find(' ')), en.substr(0, en.find(' '))) << e.id;
            EXPECT_EQ(de.find("%s") != std::string::npos, en.find("%s") != std::string::npos) << e.id;
        }
    }
}

TEST(StringTable, LookupInBothLanguagesWithFallback) {
    SetAppLanguage(int(AppLanguage::English));
    EXPECT_EQ(LoadAppString(1500), "Untitled");
    EXPECT_EQ(LoadAppString(1800), "500,0,0,0,85,39");  // only in German
    SetAppLanguage(int(AppLanguage::German));
    EXPECT_EQ(LoadAppString(1500), "Ohne Namen");
    EXPECT_EQ(LoadAppString(1400),
              "Alle Dateien (*.*)|*.*|C Quellen (*.c)|*.c|C++ Quellen (*.cpp)|*.cpp|Header (*.h)|*.h|"
              "Resource (*.rc)|*.rc|Texte (*.txt)|*.txt|Ohne Erweiterung|*.|");
    EXPECT_EQ(LoadAppString(1700), "Makro &lernen                                         F2 L");
    EXPECT_EQ(LoadAppString(9999), "");
    char buf[8] = "keep";
    EXPECT_EQ(LoadAppString(9999, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "keep");
    EXPECT_EQ(LoadAppString(1500, buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "Ohne Na");
}

TEST(BuildMessageRequest, TypeCodesGiveKindAndButtons) {
    SetAppLanguage(int(AppLanguage::German));
    struct Case { int id; MessageKind kind; MessageButtons buttons; const char* start; } cases[] = {
        {1002, MessageKind::Error, MessageButtons::Ok, "Speichermangel"},
        {1200, MessageKind::Information, MessageButtons::Ok, "Der markierte"},
        {1205, MessageKind::Information, MessageButtons::OkCancel, "X\n\nDie Datei"},
        {1209, MessageKind::Information, MessageButtons::YesNo, "X\n\nDie Datei"},
        {1303, MessageKind::Question, MessageButtons::YesNo, "Soll das Ersetzen"},
        {1305, MessageKind::Question, MessageButtons::YesNoCancel, "Das Fenster"},
        {1306, MessageKind::Question, MessageButtons::YesNoCancel, "X\n\nDie Datei wurde"},
    };
    for (const Case& c : cases) {
        MessageRequest r = BuildMessageRequest(c.id, "X");
        EXPECT_EQ(r.kind, c.kind) << c.id;
        EXPECT_EQ(r.buttons, c.buttons) << c.id;
        EXPECT_EQ(r.text.rfind(c.start, 0), 0u) << c.id << ": " << r.text;
        EXPECT_EQ(r.caption, "Varlin Fehler");
        EXPECT_EQ(r.id, c.id);
    }
}

TEST(BuildMessageRequest, PlaceholdersTakeTheirTextsInOrderOrTheFirstOrNothing) {
    EXPECT_EQ(BuildMessageRequest(1265, "/dev/x", "ein Gerät").text,
              "/dev/x\n\nDies ist keine gewöhnliche Datei, sondern ein Gerät. Nur gewöhnliche "
              "Dateien werden gelesen und geschrieben.");
    EXPECT_EQ(BuildMessageRequest(1026, "/tmp/a.txt").text, "Datei existiert nicht\n\n/tmp/a.txt\n");
    EXPECT_EQ(BuildMessageRequest(1302).text, "\n\nSoll die Datei wirklich abgeschnitten werden?");
    EXPECT_EQ(BuildMessageRequest(1304, "500.000").text,
              "Die Datei hat mehr als 500.000 Zeilen.\r\nSoll sie trotztem geöffnet werden?");
    // A "%s" inside the argument is not expanded again.
    EXPECT_EQ(BuildMessageRequest(1026, "%s").text, "Datei existiert nicht\n\n%s\n");
}

TEST(ShowMessage, HeadlessHostAnswersAndRecords) {
    static HeadlessHost host;  // stays installed after the test
    host.Reset();
    host.writeMessagesToStderr = false;
    host.answers = {IdNo};
    host.Install();
    EXPECT_EQ(ShowMessage(1307), IdNo);
    EXPECT_EQ(ShowMessage(1305), IdYes);  // default: the first button
    EXPECT_EQ(ShowMessage(1002), IdOk);
    EXPECT_EQ(host.messageIds, (std::vector<int>{1307, 1305, 1002}));
}

class FailedOpen : public ::testing::Test {
protected:
    test::TestFolder folder;
};

TEST_F(FailedOpen, MissingFileGives1026) {
    errno = 0;
    EXPECT_LT(::open(folder.File("none.txt").c_str(), O_RDONLY), 0);
    EXPECT_EQ(MessageIdForErrno(), 1026);
}

TEST_F(FailedOpen, ExclusiveCreationOfAnExistingFileGives1027) {
    test::WriteFile(folder.File("a.txt"), "x");
    EXPECT_LT(::open(folder.File("a.txt").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600), 0);
    EXPECT_EQ(MessageIdForErrno(), 1027);
}

TEST_F(FailedOpen, NoPermissionGives1025) {
    std::string name = folder.File("secret.txt");
    test::WriteFile(name, "x");
    ::chmod(name.c_str(), 0000);  // unreadable for its owner too
    int result = test::RunUnprivileged([&] {
        if (::open(name.c_str(), O_RDONLY) >= 0) return 2;
        return MessageIdForErrno() == 1025 ? 0 : 1;
    });
    if (result == -1 || result == 2) GTEST_SKIP() << test::kRightsStay;
    EXPECT_EQ(result, 0);
}

TEST(MessageIdForErrno, OtherNumbersGive1020) {
    EXPECT_EQ(MessageIdForErrno(EMFILE), 1028);
    EXPECT_EQ(MessageIdForErrno(EIO), 1020);
    EXPECT_EQ(MessageIdForErrno(0), 1020);
}

}  // namespace
}  // namespace varlin
