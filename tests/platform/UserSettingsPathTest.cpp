// The user's settings file without Qt, for each way the environment may be set: the path
// QSettings("Korvel Software", "Varlin") gives on Linux, except that a relative
// XDG_CONFIG_HOME is ignored and a missing HOME is looked up in the user database.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <pwd.h>
#include <unistd.h>

#include "platform/UserSettingsPath.h"

namespace {

struct EnvCase {
    const char* xdg;    // null: unset
    const char* home;   // null: unset
    const char* want;   // "~" stands for the home folder of the user database
};

const EnvCase envCases[] = {
    {nullptr, "/root", "/root/.config/Korvel Software/Varlin.conf"},
    {"/tmp/x//y/", "/root", "/tmp/x/y/Korvel Software/Varlin.conf"},
    {"rel/dir", "/h", "/h/.config/Korvel Software/Varlin.conf"},
    {"./", "/h", "/h/.config/Korvel Software/Varlin.conf"},
    {"", "/tmp/h//", "/tmp/h/.config/Korvel Software/Varlin.conf"},
    {nullptr, nullptr, "~/.config/Korvel Software/Varlin.conf"},
    {nullptr, "", "~/.config/Korvel Software/Varlin.conf"},
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
    const passwd* user = getpwuid(geteuid());
    const std::string home = user && user->pw_dir && *user->pw_dir ? user->pw_dir : "";
    for (const EnvCase& c : envCases) {
        SetOrUnset("XDG_CONFIG_HOME", c.xdg);
        SetOrUnset("HOME", c.home);
        std::string want = c.want[0] == '~' ? varlin::CleanAbsolutePath(home + (c.want + 1), "/") : c.want;
        EXPECT_EQ(varlin::UserSettingsPath(), want) << (c.xdg ? c.xdg : "-") << " " << (c.home ? c.home : "-");
    }
    SetOrUnset("XDG_CONFIG_HOME", oldXdg ? savedXdg.c_str() : nullptr);
    SetOrUnset("HOME", oldHome ? savedHome.c_str() : nullptr);
    EXPECT_EQ(varlin::CleanAbsolutePath("../../..//a/./b/..", "/x/y"), "/a");
    EXPECT_EQ(varlin::CleanAbsolutePath("/", "/x"), "/");
}

}  // namespace
