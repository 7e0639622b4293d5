// Where the program looks for its shipped files and puts its own: a build folder keeps
// both beside the binary, an installation reads share/varlin and writes into the user's
// settings folder.
#include "platform/ProgramFolders.h"
#include "platform/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varlin {
namespace {

TEST(ProgramFolders, BuildFolderInstallationOrNeither) {
    test::TestFolder root;
    const std::string r = root.path();
    for (const char* dir : {"/build", "/usr/bin", "/usr/share/varlin", "/both/bin", "/both/share/varlin",
                            "/bare/bin"})
        std::filesystem::create_directories(r + dir);
    for (const char* file : {"/build/stdbutt.vlb", "/usr/share/varlin/stdbutt.vlb", "/both/bin/stdbutt.vlb",
                             "/both/share/varlin/stdbutt.vlb"})
        test::WriteFile(r + file, "VarlinButtons 1\n");
    const std::string settings = "/home/u/.config/Korvel Software/Varlin.conf";

    struct Case { std::string binary, settings, data, user; } cases[] = {
        {r + "/build", settings, r + "/build", r + "/build"},
        {r + "/usr/bin", settings, r + "/usr/share/varlin", "/home/u/.config/Korvel Software"},
        {r + "/usr/bin/", settings, r + "/usr/share/varlin", "/home/u/.config/Korvel Software"},
        {r + "/usr/bin", "", r + "/usr/share/varlin", r + "/usr/share/varlin"},
        {r + "/both/bin", settings, r + "/both/bin", r + "/both/bin"},  // beside the binary wins
        {r + "/bare/bin", settings, r + "/bare/bin", r + "/bare/bin"},  // falls back on what is built in
        {r + "/missing", settings, r + "/missing", r + "/missing"},
    };
    for (const Case& c : cases) {
        const ProgramFolders found = FindProgramFolders(c.binary, "stdbutt.vlb", "../share/varlin", c.settings);
        EXPECT_EQ(found.data, c.data) << c.binary;
        EXPECT_EQ(found.user, c.user) << c.binary;
    }
}

}  // namespace
}  // namespace varlin
