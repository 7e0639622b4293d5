// Reading the language definitions at start-up, once per process as the window program
// does: LoadLanguages on the shipped folder (the build folder's "languages"), wall and
// processor time, and the same for the program's built-in copies alone. Prints
// "FOLDER_MS FOLDER_CPU_MS BUILTIN_MS"; bench/languages.sh runs it as whole processes.
// Usage: bench_languages DATA_FOLDER
#include "document/Languages.h"
#include "platform/HeadlessHost.h"

#include <chrono>
#include <cstdio>
#include <ctime>

using namespace varlin;

namespace {

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double WallMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_languages DATA_FOLDER\n");
        return 2;
    }
    HeadlessHost host;
    host.Install();
    auto start = std::chrono::steady_clock::now();
    double cpu = CpuMs();
    LoadLanguages(argv[1], "");
    const double folderMs = WallMs(start), folderCpu = CpuMs() - cpu;
    if (KnownLanguages().size() < 18 || !host.messageIds.empty()) {
        std::fprintf(stderr, "bench_languages: the folder's definitions were not all read\n");
        return 1;
    }
    start = std::chrono::steady_clock::now();
    LoadLanguages("", "");
    std::printf("%.3f %.3f %.3f\n", folderMs, folderCpu, WallMs(start));
    return 0;
}
