// Loading and saving a large source file: Load followed by SaveTo of the line store, the
// work of opening a file and saving it unchanged. Three uses:
//   bench_load_save --write FILE [N]  writes N (1,000,000) lines of C-like source with
//                                     CR LF, tabs, comments and Windows-1252 umlauts
//   bench_load_save --once IN OUT     one Load of IN and SaveTo of OUT, for timing and
//                                     peak memory from outside (bench/load_save.sh)
//   bench_load_save IN OUT [RUNS]     prints the medians of Load and SaveTo, in process
#include "document/LineStore.h"
#include "document/TextFile.h"
#include "platform/HeadlessHost.h"
#include "settings/Options.h"

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

int WriteSource(const char* name, int count) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) return 1;
    std::mt19937 random(1234);
    const char* words[] = {"count", "gr\xF6\xDF" "e", "\xFC" "ber", "buffer", "index",
                           "l\xE4nge", "value", "result", "stra\xDF" "e", "node"};
    auto word = [&] { return words[random() % 10]; };
    std::string line;
    for (int i = 0; i < count; ++i) {
        line.clear();
        switch (i % 8) {
        case 0: line = "/* Funktion " + std::to_string(i) + ": pr\xFC" "ft " + word() + " und " + word() + ", gibt " + word() + " zur\xFC" "ck */"; break;
        case 1: line = std::string("static int ") + word() + "_" + std::to_string(i) + "(int a, const char* b, unsigned long c)"; break;
        case 2: line = std::string("{\t\t\t\t\t\t// ") + word() + " " + word() + " " + word(); break;
        case 3: line = std::string("\tint ") + word() + " = a * " + std::to_string(i % 97) + " + " + word() + ";  // " + word(); break;
        case 4: line = std::string("\tif (") + word() + " > b[" + std::to_string(i % 13) + "] && " + word() + " != 0 || " + word() + " == c)"; break;
        case 5: line = std::string("\t\treturn ") + word() + " + " + word() + " * " + word() + ";"; break;
        case 6: line = std::string("\treturn ") + word() + "(a, b, " + std::to_string(i % 1000) + ");"; break;
        case 7: line = "}  /* Ende " + std::string(word()) + "_" + std::to_string(i) + " */"; break;
        }
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    HeadlessHost host;
    host.writeMessagesToStderr = false;  // question 1304 is answered yes without a word
    host.defaultAnswer = HeadlessHost::DefaultAnswer::Yes;  // 1304: yes, open it
    host.Install();
    Options options;
    options.LockMode = 0;  // one process loads and saves many times
    SetCurrentOptions(&options);

    if (argc >= 3 && std::strcmp(argv[1], "--write") == 0)
        return WriteSource(argv[2], argc > 3 ? std::atoi(argv[3]) : 1000000);
    if (argc == 4 && std::strcmp(argv[1], "--once") == 0) {
        LineStore store;
        return Load(store, argv[2], 1) == 0 && SaveTo(store, argv[3]) == 0 ? 0 : 1;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_load_save --write FILE [N] | --once IN OUT | IN OUT [RUNS]\n");
        return 2;
    }
    int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    std::vector<double> load, save;
    for (int r = 0; r < runs; ++r) {
        LineStore store;
        auto t0 = std::chrono::steady_clock::now();
        if (Load(store, argv[1], 1) != 0) return 1;
        load.push_back(Seconds(t0));
        auto t1 = std::chrono::steady_clock::now();
        if (SaveTo(store, argv[2]) != 0) return 1;
        save.push_back(Seconds(t1));
    }
    std::printf("%.4f %.4f\n", Median(load), Median(save));
    return 0;
}
