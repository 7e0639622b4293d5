// Starts the editor with its frame window and runs the event loop.
#pragma once

#include <functional>
#include <vector>

namespace varlin {

class MainFrame;

// Parts that bring windows of their own (document windows, toolbar, dialogs) add a
// function here before RunGui; each is called once the frame exists, to fill its hooks
// and register its commands and dialogs.
using FrameInstaller = std::vector<std::function<void(MainFrame&)>>;
FrameInstaller& FrameInstallers();

// Every part's hooks, commands and dialogs on a new frame, as the editor starts it (the
// tests of the whole frame start it the same way).
void InstallFrameParts(MainFrame& frame);

int RunGui(int argc, char** argv);

}  // namespace varlin
