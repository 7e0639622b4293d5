#include "platform/UserSettingsPath.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace varlin {

std::string CleanAbsolutePath(const std::string& path, const std::string& folder) {
    const std::string whole = !path.empty() && path[0] == '/' ? path : folder + "/" + path;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= whole.size()) {
        std::size_t slash = whole.find('/', start);
        if (slash == std::string::npos) slash = whole.size();
        std::string part = whole.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

namespace {

// $HOME, else the home folder of the user database: a service or a su without a login
// shell may run with HOME unset, and the working folder is no place for settings.
std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir && *user->pw_dir)
        return user->pw_dir;
    return "/";
}

}  // namespace

std::string UserSettingsPath() {
    // A relative XDG_CONFIG_HOME is invalid and ignored: the file would follow the working
    // folder, and every folder the program is started in would get settings of its own.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string base = xdg && xdg[0] == '/' ? std::string(xdg) : HomeFolder() + "/.config";
    std::string folder = "/";
    if (char* here = ::getcwd(nullptr, 0)) {
        folder = here;
        std::free(here);
    }
    return CleanAbsolutePath(base + "/Korvel Software/Varlin.conf", folder);
}

}  // namespace varlin
