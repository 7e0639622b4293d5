// One frame per user, display and settings file. At start-up the window program either
// hands its files to the frame that runs already and ends (ClaimFrame), or becomes that
// frame and serves its socket (ServeHandOvers): handed files open at their lines once
// the frame is free (no modal dialog, menu or running macro), the frame comes to the
// front, and a waiting start (--wait) is told when its last document has closed.
#pragma once

#include "frame/CommandLine.h"
#include "platform/RuntimeFolder.h"

#include <string>

namespace varlin {

class MainFrame;

struct FrameClaim {
    bool handedOver = false;  // the files went to the running frame: end with status
    int status = 0;
    std::string socketPath;   // this start is the frame and serves here ("" serves nowhere)
    ExclusiveLock lock;       // held while this frame serves the socket
};

// Decides at start-up, before any window exists: hands the files to the frame of this
// display and settings file, or claims the socket for this start. --new-frame claims it
// only when no frame holds it. A waiting start with no frame to wait on starts a frame
// (a process of its own that lives on) and hands its files to it. Messages of what
// failed go to standard error; the start then becomes a frame that serves nobody.
FrameClaim ClaimFrame(const WindowArguments& arguments, const std::string& settingsFile);

// Serves the claimed socket for the frame; false (with a message on standard error)
// when it cannot listen.
bool ServeHandOvers(MainFrame& frame, const std::string& socketPath);

}  // namespace varlin
