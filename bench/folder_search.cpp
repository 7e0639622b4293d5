// Browse and open's search over a generated tree of 10,000 files (about 100 MB). Uses:
//   bench_folder_search --write DIR        writes the tree: 100 folders of 100 files
//                                          (.c, .h, .txt) of C-like lines with CR LF; every
//                                          37th file holds "rare_token_42" somewhere
//   bench_folder_search --search DIR TEXT PATTERN [CAPS]
//                                          one whole search, as the dialog runs it; prints
//                                          the files found, one a line (timed from outside)
//   bench_folder_search --cancel DIR [RUNS]
//                                          starts a search of the whole tree on the worker
//                                          thread, cancels it after 30 ms and prints the
//                                          longest time Cancel() took, in milliseconds
#include "search/FolderSearch.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

using namespace varlin;

namespace {

int WriteTree(const std::string& root) {
    std::mt19937 random(42);
    const char* words[] = {"count", "buffer", "index", "length", "value", "result", "node", "point"};
    const char* extensions[] = {".c", ".h", ".txt"};
    int file = 0;
    for (int d = 0; d < 100; ++d) {
        const std::string folder = root + "/dir" + std::to_string(d) + (d % 2 ? "/nested" : "");
        std::filesystem::create_directories(folder);
        for (int i = 0; i < 100; ++i, ++file) {
            const std::string name = folder + "/file" + std::to_string(i) + extensions[file % 3];
            std::string text;
            const std::size_t size = 2000 + random() % 18000;  // 11 KB on average
            while (text.size() < size) {
                const char* a = words[random() % 8];
                const char* b = words[random() % 8];
                text += std::string("\tint ") + a + "_" + std::to_string(random() % 1000) + " = " + b +
                        " * first + (int)" + a + ";\r\n";
            }
            if (file % 37 == 0) text.insert(text.find('\n', random() % text.size() / 2) + 1, "/* rare_token_42 */\r\n");
            std::FILE* f = std::fopen(name.c_str(), "wb");
            if (!f) return 1;
            std::fwrite(text.data(), 1, text.size(), f);
            if (std::fclose(f) != 0) return 1;
        }
    }
    return 0;
}

int Search(const std::string& root, const std::string& text, const std::string& pattern, int caps) {
    FolderSearchRequest r;
    r.folder = root;
    r.find.FindString = text;
    r.find.CapsSens = caps;
    r.patterns = ParseNamePatterns(pattern);
    FolderSearchCounts counts;
    SearchFolder(r, [](const FolderSearchHit& h) { std::printf("%s\n", h.path.c_str()); }, counts);
    return 0;
}

int Cancel(const std::string& root, int runs) {
    FolderSearchRequest r;
    r.folder = root;
    r.find.FindString = "text that stands in no file";
    double longest = 0;
    for (int i = 0; i < runs; ++i) {
        FolderSearchRun run;
        run.Start(r);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const auto start = std::chrono::steady_clock::now();
        run.Cancel();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        longest = std::max(longest, took.count());
    }
    std::printf("%.3f\n", longest);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--write" && argc == 3) return WriteTree(argv[2]);
    if (mode == "--search" && argc >= 5) return Search(argv[2], argv[3], argv[4], argc > 5 ? std::atoi(argv[5]) : 1);
    if (mode == "--cancel" && argc >= 3) return Cancel(argv[2], argc > 3 ? std::atoi(argv[3]) : 20);
    std::fprintf(stderr, "usage: bench_folder_search --write DIR | --search DIR TEXT PATTERN [CAPS] | --cancel DIR [RUNS]\n");
    return 2;
}
