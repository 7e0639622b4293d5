// The window program: the editor with its frame window. `varlin` replaces itself with it
// for every command line that is not answered without a window (main.cpp), with the same
// arguments; among them batch mode with --print-to, whose PDF file needs the printing of
// the window library.
#include "editing/Printing.h"
#include "editing/qt/QtPrinting.h"
#include "frame/CommandLine.h"
#include "frame/qt/GuiMain.h"

#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--run") != 0) continue;
        varlin::SetPdfJobOpener(varlin::OpenPdfPrintJob);
        const int status = varlin::RunBatch(argc, argv);
        varlin::EndPdfPrinting();
        return status;
    }
    return varlin::RunGui(argc, argv);
}
