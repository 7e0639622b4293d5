// The window program: the editor with its frame window. `varlin` replaces itself with it
// for every command line that is not answered without a window (main.cpp), with the same
// arguments.
#include "frame/qt/GuiMain.h"

int main(int argc, char** argv) { return varlin::RunGui(argc, argv); }
