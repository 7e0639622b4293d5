// Reading a string under a named root: here only the user's store exists, so every root
// reads the same value, with the default and the size cut of the user's own reads.
#include "platform/Registry.h"
#include "platform/TestFolder.h"

#include <gtest/gtest.h>

namespace varlin {
namespace {

TEST(RegistryRoot, EveryRootReadsTheUsersStore) {
    test::TestFolder folder;
    SetSettingsFile(folder.File("settings.ini"));
    ASSERT_TRUE(Korvel_WriteStringToHKCU("LastUsed", "OpenFile", "/home/u/Gr\xC3\xB6\xC3\x9F" "e.txt"));
    for (const char* root : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKLM", ""}) {
        SCOPED_TRACE(root);
        EXPECT_EQ(Korvel_ReadStringFromRegistry(root, "LastUsed", "OpenFile", "-"), "/home/u/Gr\xC3\xB6\xC3\x9F" "e.txt");
        EXPECT_EQ(Korvel_ReadStringFromRegistry(root, "LastUsed", "Missing", "-"), "-");
        // Eleven bytes of room would end inside the ö: the cut moves before it.
        EXPECT_EQ(Korvel_ReadStringFromRegistry(root, "LastUsed", "OpenFile", "-", 12), "/home/u/Gr");
        EXPECT_EQ(Korvel_ReadStringFromRegistry(root, "LastUsed", "OpenFile", "-", 0), "");
    }
    SetSettingsFile("");
}

}  // namespace
}  // namespace varlin
