// TrustedLinks: see the header.
#include "platform/TrustedLinks.h"

#ifdef _WIN32

namespace varlin {

// No user plants links for another here: the name is taken as it stands.
bool ResolveTrustedLinks(const std::string& path, std::string& resolved, std::string*) {
    resolved = path;
    return true;
}

}  // namespace varlin

#else

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace varlin {
namespace {

constexpr int kMaxLinks = 40;

// Pushes the parts of path onto todo so that the first part is taken first.
void PushParts(const std::string& path, std::vector<std::string>& todo) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        if (slash > start) parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    todo.insert(todo.end(), parts.rbegin(), parts.rend());
}

std::string Parent(const std::string& done) {
    const std::size_t slash = done.find_last_of('/');
    return slash == std::string::npos ? std::string() : done.substr(0, slash);
}

}  // namespace

bool ResolveTrustedLinks(const std::string& path, std::string& resolved, std::string* foreign) {
    std::vector<std::string> todo;
    std::string done;  // the parts taken so far, none a link; "" is the root
    if (path.empty() || path[0] != '/') {
        if (char* here = ::getcwd(nullptr, 0)) {
            PushParts(path, todo);
            PushParts(here, todo);
            std::free(here);
        } else {
            return false;
        }
    } else {
        PushParts(path, todo);
    }
    int links = 0;
    while (!todo.empty()) {
        const std::string part = std::move(todo.back());
        todo.pop_back();
        if (part == ".") continue;
        if (part == "..") {
            done = Parent(done);
            continue;
        }
        const std::string next = done + "/" + part;
        struct stat st {};
        if (::lstat(next.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            done = next;  // a file, a folder, or a name still to be made
            continue;
        }
        if (st.st_uid != ::geteuid() && st.st_uid != 0) {
            if (foreign) *foreign = next;
            errno = EACCES;
            return false;
        }
        char target[PATH_MAX];
        const ssize_t n = ::readlink(next.c_str(), target, sizeof target - 1);
        if (n <= 0 || ++links > kMaxLinks) {
            errno = n <= 0 ? errno : ELOOP;
            return false;
        }
        const std::string link(target, static_cast<std::size_t>(n));
        if (link[0] == '/') done.clear();
        PushParts(link, todo);
    }
    resolved = done.empty() ? "/" : done;
    return true;
}

}  // namespace varlin

#endif
