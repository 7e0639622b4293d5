// The include order of the sources: every #include of Application/ and Interpreter/ read
// and checked against the order of the folders written at the top of
// Application/README.md, so that the map and the code cannot drift apart.
#include <gtest/gtest.h>

#include "TestPaths.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = fs::path(VARLIN_TEST_DATA).parent_path();

// The folders lowest first, from the numbered list "1. `textutil/` ..." of the README.
std::vector<std::string> ReadOrder() {
    std::ifstream in(kRoot / "Application" / "README.md");
    const std::regex item(R"(^\d+\. `([a-z]+)/`)");
    std::vector<std::string> order;
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_search(line, m, item)) order.push_back(m[1]);
    return order;
}

// Headers of QtCore that the adapters of platform/ may use; nothing else outside qt/
// includes Qt at all.
const std::set<std::string> kCoreAdapterHeaders = {
    "QDir", "QFile", "QFileInfo", "QSaveFile", "QSettings", "QStandardPaths",
    "QTemporaryFile", "QLibrary", "QString", "QByteArray", "QCoreApplication"};

struct Source {
    std::string folder;  // "editing", "" for main.cpp
    bool qt = false;     // below a qt/ folder
};

// What is wrong with one include of a file of Application/ (its path below Application/),
// or "" when it keeps the order.
std::string CheckInclude(const std::vector<std::string>& order, const std::string& file,
                         const std::string& include) {
    auto rank = [&](const std::string& folder) {
        return int(std::find(order.begin(), order.end(), folder) - order.begin());
    };
    const std::size_t slash = file.find('/');
    if (slash == std::string::npos) return "";  // main.cpp sits on top
    const std::string folder = file.substr(0, slash);
    const bool qt = file.find("/qt/") != std::string::npos;
    if (rank(folder) == int(order.size())) return "the folder is not in the order of README.md";

    const std::size_t incSlash = include.find('/');
    if (include.rfind("Q", 0) == 0 && incSlash == std::string::npos) {
        if (qt) return "";
        if (folder == "platform" && kCoreAdapterHeaders.count(include)) return "";
        return "Qt outside a qt/ folder";
    }
    if (include.rfind("Qt", 0) == 0 && incSlash != std::string::npos && !qt)
        return "Qt outside a qt/ folder";
    if (incSlash == std::string::npos) return "";  // beside the file, or the library
    const std::string target = include.substr(0, incSlash);
    if (target == "Interpreter") return "";
    if (rank(target) == int(order.size())) return "";  // not a folder of ours
    if (rank(target) > rank(folder)) return "runs up the order";
    if (include.find("/qt/") != std::string::npos && !qt) return "a qt/ header outside qt/";
    return "";
}

struct Include {
    std::string file;  // relative to the project
    std::string header;
};

std::vector<Include> ReadIncludes(const fs::path& tree) {
    const std::regex directive(R"(^\s*#\s*include\s*[<"]([^">]+)[">])");
    std::vector<Include> found;
    for (const auto& entry : fs::recursive_directory_iterator(tree)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".h" && ext != ".cpp" && ext != ".inc") continue;
        std::ifstream in(entry.path());
        std::string line;
        std::smatch m;
        while (std::getline(in, line))
            if (std::regex_search(line, m, directive))
                found.push_back({fs::relative(entry.path(), kRoot).generic_string(), m[1]});
    }
    return found;
}

TEST(Layering, ReadmeNamesTheOrderOfEveryFolder) {
    const std::vector<std::string> order = ReadOrder();
    ASSERT_GE(order.size(), 10u) << "no numbered order at the top of Application/README.md";
    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(kRoot / "Application"))
        if (entry.is_directory()) folders.insert(entry.path().filename().string());
    EXPECT_EQ(folders, std::set<std::string>(order.begin(), order.end()));
}

TEST(Layering, TheRuleCatchesEachKindOfFault) {
    const std::vector<std::string> order = {"platform", "editing", "view", "frame"};
    struct Case { const char* file; const char* include; bool fine; };
    const Case cases[] = {
        {"editing/Caret.cpp", "platform/Host.h", true},
        {"editing/Caret.cpp", "editing/EditWindow.h", true},
        {"editing/Caret.cpp", "Interpreter/MacroLib.h", true},
        {"editing/Caret.cpp", "Strings_de.inc", true},
        {"editing/Caret.cpp", "view/RowLayout.h", false},
        {"editing/Caret.cpp", "platform/qt/QtHost.h", false},
        {"editing/Caret.cpp", "QPainter", false},
        {"editing/Caret.cpp", "QtGui/QColor", false},
        {"editing/Caret.cpp", "QDir", false},
        {"platform/Registry.cpp", "QSettings", true},
        {"platform/Registry.cpp", "QWidget", false},
        {"view/qt/EditView.cpp", "QPainter", true},
        {"view/qt/EditView.cpp", "platform/qt/QtHost.h", true},
        {"view/qt/EditView.cpp", "frame/qt/MainFrame.h", false},
        {"view/qt/EditView.cpp", "frame/Application.h", false},
        {"search/Find.cpp", "editing/EditWindow.h", false},  // a folder the order lacks
        {"main.cpp", "frame/qt/MainFrame.h", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckInclude(order, c.file, c.include).empty(), c.fine)
            << c.file << " #include " << c.include;
}

TEST(Layering, EveryIncludeKeepsTheOrder) {
    const std::vector<std::string> order = ReadOrder();
    ASSERT_FALSE(order.empty());
    const std::vector<Include> app = ReadIncludes(kRoot / "Application");
    ASSERT_GT(app.size(), 500u);
    for (const Include& i : app) {
        const std::string file = i.file.substr(std::string("Application/").size());
        const std::string fault = CheckInclude(order, file, i.header);
        EXPECT_EQ(fault, "") << i.file << ": #include " << i.header;
    }
    for (const Include& i : ReadIncludes(kRoot / "Interpreter")) {
        const std::string first = i.header.substr(0, i.header.find('/'));
        const bool ours = first == "Application" ||
                          std::find(order.begin(), order.end(), first) != order.end();
        EXPECT_FALSE(ours) << i.file << ": #include " << i.header
                           << ": the interpreter knows nothing of the editor";
    }
}

}  // namespace
