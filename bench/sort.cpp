// Sorting 10,000 marked lines of 80 characters, as the sort command does it. Three uses:
//   bench_sort --write FILE [N]   writes N (10000) pseudo-random lines of 80 characters
//   bench_sort --once IN OUT      reads IN, sorts every line ascending, writes OUT: the
//                                 same work as `sort IN > OUT`, for bench/sort.sh to time
//   bench_sort IN                 prints the best times of reading, SortLines, writing
#include "document/LineStore.h"
#include "document/TextFile.h"
#include "platform/HeadlessHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace varlin;

namespace {

int WriteLines(const char* name, int count) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return 1;
    std::mt19937 random(4711);
    // Printable ASCII with a few bytes from 128 up, as an ANSI document has them.
    std::uniform_int_distribution<int> byte(32, 126 + 20);
    std::string line(80, ' ');
    for (int i = 0; i < count; ++i) {
        for (char& c : line) {
            int b = byte(random);
            c = static_cast<char>(b > 126 ? 0xC0 + (b - 127) : b);
        }
        line[0] = static_cast<char>('A' + i % 3);  // long common prefixes are not rare
        std::fwrite(line.data(), 1, line.size(), f);
        std::fputc('\n', f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

int LoadQuietly(LineStore& store, const char* name) {
    if (Load(store, name, 0) != 0 || store.GetLineCount() == 0) {
        std::fprintf(stderr, "bench_sort: cannot read %s\n", name);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    HeadlessHost host;
    host.writeMessagesToStderr = true;
    host.Install();
    if (argc >= 3 && std::strcmp(argv[1], "--write") == 0)
        return WriteLines(argv[2], argc > 3 ? std::atoi(argv[3]) : 10000);
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) {
        LineStore store;
        if (LoadQuietly(store, argv[2])) return 1;
        store.SortLines(0, store.GetLineCount() - 1, false);
        return SaveTo(store, argv[3]) == 0 ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_sort --write FILE [N] | --once IN OUT | IN\n");
        return 2;
    }
    // Best of twenty runs for each step, so that the file cache and the allocator are warm.
    using Clock = std::chrono::steady_clock;
    auto since = [](Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); };
    double read = 1e9, sort = 1e9, write = 1e9;
    const std::string out = std::string(argv[1]) + ".sorted";
    for (int run = 0; run < 20; ++run) {
        LineStore store;
        auto t = Clock::now();
        if (LoadQuietly(store, argv[1])) return 1;
        read = std::min(read, since(t));
        t = Clock::now();
        store.SortLines(0, store.GetLineCount() - 1, false);
        sort = std::min(sort, since(t));
        t = Clock::now();
        if (SaveTo(store, out) != 0) return 1;
        write = std::min(write, since(t));
    }
    std::remove(out.c_str());
    std::printf("%.6f %.6f %.6f\n", read, sort, write);
    return 0;
}
