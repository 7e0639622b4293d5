#include "platform/UserSettingsPath.h"

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

std::string UserSettingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/") + "/.config";
    }
    std::string folder = "/";
    if (char* here = ::getcwd(nullptr, 0)) {
        folder = here;
        std::free(here);
    }
    return CleanAbsolutePath(base + "/Korvel Software/Varlin.conf", folder);
}

}  // namespace varlin
