// Test support: a fresh folder that is removed with its content afterwards, files in it,
// and running a piece of a test in a child process as an unprivileged user (so that
// permission failures can be provoked even when the tests run as root).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <grp.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varlin::test {

class TestFolder {
public:
    TestFolder() {
        char pattern[] = "/tmp/varlin-test-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        path_ = made ? made : "";
        ::chmod(path_.c_str(), 0755);  // the unprivileged child may look inside
    }
    ~TestFolder() {
        std::string command = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
        if (!path_.empty() && std::system(command.c_str()) != 0) {}
    }
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs body in a child process; as root the child first becomes user and group 65534.
// Returns the body's result, or -1 when the child could not run or drop its rights.
inline int RunUnprivileged(const std::function<int()>& body) {
    pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(255);
        }
        ::_exit(body() & 0xFF);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    int code = WEXITSTATUS(status);
    return code == 255 ? -1 : code;
}

// Why a test skips when RunUnprivileged gave -1 or the test's own check found the rights
// still in place: this machine cannot take them away (no setuid in a container, or rights
// that override file modes). ./test.sh accepts only skips that start "unavailable here" or
// "needs root" (the latter when not run as root).
inline constexpr const char* kRightsStay = "unavailable here: the rights the test takes away stay";

// Runs body in a child process, without changing its rights.
inline int RunInChild(const std::function<int()>& body) {
    pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) ::_exit(body() & 0xFF);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace varlin::test
