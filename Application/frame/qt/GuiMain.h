// Starts the editor with its frame window and runs the event loop.
#pragma once

namespace varlin {

int RunGui(int argc, char** argv);

}  // namespace varlin
