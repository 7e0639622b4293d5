// Entry point: answers --version and --help, runs a macro without a window with --run,
// and otherwise starts the window program. This program links only the core (Qt Core and
// no window library), so that batch mode starts as fast as a plain command-line tool; the
// editor's windows live in a program of their own (WindowProgram.cpp), which it replaces
// itself with; so it does for batch mode printing to a PDF file (--print-to), which needs
// the window library's printing.
#include "frame/CommandLine.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The folder of this program, from the link the system keeps (argv[0] may be a bare name).
std::string OwnFolder(const char* argv0) {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self = n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string(argv0);
    std::size_t slash = self.rfind('/');
    return slash == std::string::npos ? std::string(".") : self.substr(0, slash);
}

// The window program: beside this one in a build folder, below libexec when installed.
// Returns only when neither can be started.
int StartWindowProgram(char** argv) {
    const std::string folder = OwnFolder(argv[0]);
    std::string tried;
    int error = ENOENT;
    for (const char* relative : {"varlin-window", VARLIN_INSTALLED_WINDOW_PROGRAM}) {
        tried = folder + "/" + relative;
        execv(tried.c_str(), argv);
        error = errno;
        if (error != ENOENT) break;
    }
    std::fprintf(stderr, "varlin: cannot start the window program %s: %s\n", tried.c_str(),
                 std::strerror(error));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    switch (varlin::ModeOfWords(std::vector<std::string>(argv + 1, argv + argc))) {
    case varlin::ProgramMode::Version:
        std::printf("Varlin %s\n", VARLIN_VERSION);
        return 0;
    case varlin::ProgramMode::Help:
        std::fputs(varlin::kUsageText, stdout);
        return 0;
    case varlin::ProgramMode::Batch:
        if (varlin::BatchPrintsToPdf(argc, argv)) return StartWindowProgram(argv);
        return varlin::RunBatch(argc, argv);
    case varlin::ProgramMode::Window:
        break;
    }
    return StartWindowProgram(argv);
}
