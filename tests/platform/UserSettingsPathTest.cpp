// The user's settings file without Qt: the same path QSettings("Korvel Software",
// "Varlin") gives on Linux for each way the environment may be set (the expected paths
// were read from QSettings itself), so that batch mode and the windows share one file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/UserSettingsPath.h"

namespace {

struct EnvCase {
    const char* xdg;    // null: unset
    const char* home;   // null: unset
    const char* want;   // "@" stands for the current folder
};

const EnvCase envCases[] = {
    {nullptr, "/root", "/root/.config/Korvel Software/Varlin.conf"},
    {"/tmp/x//y/", "/root", "/tmp/x/y/Korvel Software/Varlin.conf"},
    {"rel/dir", "/root", "@/rel/dir/Korvel Software/Varlin.conf"},
    {"", "/tmp/h//", "/tmp/h/.config/Korvel Software/Varlin.conf"},
    {nullptr, nullptr, "/.config/Korvel Software/Varlin.conf"},
    {nullptr, "", "/.config/Korvel Software/Varlin.conf"},
    {nullptr, "/tmp/a/../b", "/tmp/b/.config/Korvel Software/Varlin.conf"},
};

void SetOrUnset(const char* name, const char* value) {
    if (value) setenv(name, value, 1);
    else unsetenv(name);
}

TEST(UserSettingsPath, IsWhereQSettingsKeepsTheFile) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";
    char* here = getcwd(nullptr, 0);
    const std::string folder = here;
    std::free(here);
    for (const EnvCase& c : envCases) {
        SetOrUnset("XDG_CONFIG_HOME", c.xdg);
        SetOrUnset("HOME", c.home);
        std::string want = c.want[0] == '@' ? folder + (c.want + 1) : c.want;
        EXPECT_EQ(varlin::UserSettingsPath(), want) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
    }
    SetOrUnset("XDG_CONFIG_HOME", oldXdg ? savedXdg.c_str() : nullptr);
    SetOrUnset("HOME", oldHome ? savedHome.c_str() : nullptr);
    EXPECT_EQ(varlin::CleanAbsolutePath("../../..//a/./b/..", "/x/y"), "/a");
    EXPECT_EQ(varlin::CleanAbsolutePath("/", "/x"), "/");
}

}  // namespace
