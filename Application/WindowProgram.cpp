// The window program: the editor with its frame window. `varlin` replaces itself with it
// for every command line that is not answered without a window (main.cpp), with the same
// arguments; among them batch mode with --print-to, whose PDF file needs the printing of
// the window library.
#include "editing/Printing.h"
#include "editing/qt/QtPrinting.h"
#include "frame/CommandLine.h"
#include "frame/qt/GuiMain.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv + 1, argv + argc);
    const varlin::ProgramMode mode = varlin::ModeOfWords(words);
    if (mode == varlin::ProgramMode::Help || mode == varlin::ProgramMode::Version) {
        std::fputs(mode == varlin::ProgramMode::Help ? varlin::kUsageText : "Varlin " VARLIN_VERSION "\n", stdout);
        return 0;
    }
    if (mode == varlin::ProgramMode::Batch) {
        varlin::SetPdfJobOpener(varlin::OpenPdfPrintJob);
        const int status = varlin::RunBatch(argc, argv);
        varlin::EndPdfPrinting();
        return status;
    }
    // The words go on as a list: a name may hold any character, quotes and blanks included.
    return varlin::RunGui(argc, argv);
}
