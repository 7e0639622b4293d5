// The F3 assignments: what a stored value gives (bad values leave their key unassigned),
// the table written back whole and clean, and the assignment dialog's rows and buttons.
#include "frame/Application.h"
#include "frame/KeyAssignment.h"
#include "frame/KeyTableStore.h"
#include "platform/HeadlessHost.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"

#include "resources/StringTable.h"

#include <gtest/gtest.h>

namespace varlin {
namespace {

using test::TestFolder;
using test::WriteFile;

TEST(KeyTableStore, StoredValuesAndWhatTheyGive) {
    const std::string longName(10000, 'x');
    const struct {
        std::string data;
        int commandId;
        std::string macro;
    } cases[] = {
        {"ACTION=40", 40, ""},
        {"ACTION=-1", -1, ""},
        {"ACTION=0", 0, ""},
        {"ACTION=65535", 65535, ""},
        {"ACTION=65536", -1, ""},
        {"ACTION=99999999999", -1, ""},
        {"ACTION=-5", -1, ""},
        {"ACTION=", -1, ""},
        {"ACTION=4x", -1, ""},
        {"action=40", -1, ""},
        {" ACTION=40", -1, ""},
        {"MACRO=/m/a b.vlm", -1, "/m/a b.vlm"},
        {"MACRO=", -1, ""},
        {"MACRO=  \t ", -1, ""},
        {"MACRO=" + longName, -1, ""},
        {"MACRO=" + std::string(kMaxStoredMacroName, 'y'), -1, std::string(kMaxStoredMacroName, 'y')},
        {"garbage", -1, ""},
        {"", -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data.substr(0, 40));
        KeyEntry entry{'A', kCharMessage, 7, "old.vlm"};
        ParseKeyValue(c.data, entry);
        EXPECT_EQ(entry.commandId, c.commandId);
        EXPECT_EQ(entry.macroFile, c.macro);
    }
    EXPECT_EQ(KeyValueName(KeyEntry{'$', kCharMessage, -1, {}}), "CHAR-036");
    EXPECT_EQ(KeyValueName(KeyEntry{113, kKeyDownMessage, -1, {}}), "VIRTKEY-113");
}

class KeyTableFile : public ::testing::Test {
protected:
    void SetUp() override { SetSettingsFile(folder.File("settings.ini")); }
    void TearDown() override { SetSettingsFile(""); }
    std::string Stored(const std::string& value) const {
        IniDocument doc;
        int error = 0;
        ReadIniFile(folder.File("settings.ini"), doc, error);
        const std::string* found = doc.Find(kF3RegistryKey, value);
        return found ? *found : "<none>";
    }
    TestFolder folder;
};

// A settings file full of bad values: the program starts, the bad keys are unassigned,
// and the exit writes the whole table in the clean forms only.
TEST_F(KeyTableFile, BadValuesStartUnassignedAndExitWritesACleanTable) {
    Korvel_WriteStringToHKCU(kF3RegistryKey, "CHAR-065", "MACRO=/m/a.vlm");
    Korvel_WriteStringToHKCU(kF3RegistryKey, "CHAR-070", "ACTION=40");
    Korvel_WriteStringToHKCU(kF3RegistryKey, "CHAR-066", std::string(10000, '#'));
    Korvel_WriteStringToHKCU(kF3RegistryKey, "CHAR-067", "ACTION=99999999999");
    Korvel_WriteStringToHKCU(kF3RegistryKey, "CHAR-068", "MACRO= ");
    Korvel_WriteStringToHKCU(kF3RegistryKey, "CHAR-033", "ACTION=40");  // "!" is no F3 key
    Korvel_WriteStringToHKCU(kF3RegistryKey, "Unsinn", "ACTION=12");
    Application app;
    ASSERT_EQ(InitApplication(app, {}, folder.path()), 1);
    const KeyTable& t = app.keyTableF3;
    EXPECT_EQ(FindKeyEntry(t, {kCharMessage, 'a'})->macroFile, "/m/a.vlm");
    EXPECT_EQ(FindKeyEntry(t, {kCharMessage, 'f'})->commandId, 40);
    for (int key : {'B', 'C', 'D'}) {
        const KeyEntry* e = FindKeyEntry(t, {kCharMessage, key});
        EXPECT_EQ(e->commandId, -1);
        EXPECT_EQ(e->macroFile, "");
    }
    SaveOnExit(app);
    IniDocument doc;
    int error = 0;
    ASSERT_TRUE(ReadIniFile(folder.File("settings.ini"), doc, error));
    int values = 0;
    for (const IniDocument::Section& s : doc.sections) {
        if (s.name == kF3RegistryKey) values = int(s.entries.size());
    }
    EXPECT_EQ(values, 50);
    EXPECT_EQ(Stored("CHAR-065"), "MACRO=/m/a.vlm");
    EXPECT_EQ(Stored("CHAR-070"), "ACTION=40");
    EXPECT_EQ(Stored("CHAR-066"), "ACTION=-1");
    EXPECT_EQ(Stored("CHAR-038"), "ACTION=-1");
    EXPECT_EQ(Stored("CHAR-033"), "<none>");
    EXPECT_EQ(Stored("Unsinn"), "<none>");
}

// The dialog's rows and buttons (assigning and removing are driven through the dialog in
// the Qt tests).
TEST_F(KeyTableFile, AssignmentRowsAndButtons) {
    HeadlessHost host;
    host.writeMessagesToStderr = false;
    host.Install();
    const std::string script = folder.File("s.vlm");
    WriteFile(script, "Macro \"Zeilen z\xE4hlen\"\nbegin\nend\n");
    WriteFile(folder.File("plain.txt"), "no macro here\n");
    KeyTable t;
    FillF3Table(t);
    t.entries[0].macroFile = script;
    t.entries[1].macroFile = folder.File("missing.vlm");
    t.entries[2].macroFile = folder.File("plain.txt");
    t.entries[5].commandId = 40;  // F3 F: the find command

    const KeyRowTexts a = KeyRow(t, "F3", 0);
    EXPECT_EQ(a.key, "F3 A");
    EXPECT_EQ(a.file, script);
    EXPECT_EQ(a.description, "Zeilen z\xE4hlen");
    EXPECT_EQ(KeyRow(t, "F3", 1).description, "");  // cannot be read
    EXPECT_EQ(KeyRow(t, "F3", 2).description, "");  // not a script
    EXPECT_EQ(KeyRow(t, "F3", 49).key, "F3 &");
    // A key bound to a command says which, with the command's help text.
    EXPECT_EQ(KeyRow(t, "F3", 5).file, "Befehl 40");
    EXPECT_EQ(KeyRow(t, "F3", 5).description, LoadAppString(40));
    EXPECT_FALSE(KeyRow(t, "F3", 5).description.empty());

    EXPECT_TRUE(CanAssignRow(t, 5));
    EXPECT_FALSE(CanAssignRow(t, -1));
    EXPECT_FALSE(CanAssignRow(t, 50));
    EXPECT_TRUE(CanClearRow(t, 0));
    EXPECT_FALSE(CanClearRow(t, 5));

    EXPECT_FALSE(AssignMacroToRow(t, 5));  // cancelled: nothing changes
    EXPECT_EQ(t.entries[5].macroFile, "");
    EXPECT_EQ(t.entries[5].commandId, 40);
}

}  // namespace
}  // namespace varlin
