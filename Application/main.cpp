// Entry point: answers --version and --help, runs a macro without a window with --run,
// and otherwise starts the editor's frame window.
#include "frame/CommandLine.h"
#include "frame/qt/GuiMain.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Varlin %s\n", VARLIN_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(varlin::kUsageText, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--run") == 0) return varlin::RunBatch(argc, argv);
    }
    return varlin::RunGui(argc, argv);
}
