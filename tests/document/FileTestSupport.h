// Helpers of the document tests: a scratch folder, whole-file reads and writes, and a
// fixture that installs a quiet headless host and an options record of its own.
#pragma once

#include "document/LineStore.h"
#include "platform/HeadlessHost.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace varlin::testing {

inline std::string MakeScratchDir() {
    char pattern[] = "/tmp/varlin-doc-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    return dir ? dir : "";
}

inline void RemoveTree(const std::string& dir) {
    if (dir.empty()) return;
    std::string command = "rm -rf '" + dir + "'";
    (void)!std::system(command.c_str());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::vector<std::string> DirEntries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline std::vector<std::string> StoreLines(const LineStore& s) {
    std::vector<std::string> out;
    for (int i = 0; i < s.GetLineCount(); ++i) out.emplace_back(s.LineView(i));
    return out;
}

class DocumentFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.writeMessagesToStderr = false;
        host.Install();
        SetCurrentOptions(&options);
        dir = MakeScratchDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override {
        SetCurrentOptions(nullptr);
        RemoveTree(dir);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    HeadlessHost host;
    Options options;
    std::string dir;
};

}  // namespace varlin::testing
