// The documents of a batch run, without windows (the FrameWindows of batch mode): the
// active one is ActiveEditWindow(); windows closed by the script are kept until the
// script has returned, since the dispatcher may still be inside an action of the window
// that asked to be closed.
#pragma once

#include "editing/EditWindow.h"
#include "frame/FrameCommands.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace varlin {

struct BatchDocuments {
    std::vector<std::unique_ptr<EditWindow>> open;
    std::vector<std::unique_ptr<EditWindow>> closed;
    // The name each document was opened under (a FILE, or a script's Open), for the
    // message when its changes cannot be saved: it may have opened without a name.
    std::map<const EditWindow*, std::string> openedAs;
    int unsaved = 0;  // changed documents that could not be saved at the end

    int Open(const std::string& fileName);  // 0, or -1
    // Saves a changed document under its name. One that cannot be saved there (it opened
    // without a name because its file was held or read-only, its FILE was blank, the
    // save failed or was refused) is an error: its changes are lost.
    void Store(EditWindow& w);
    void Detach(EditWindow& w);
    bool Close(EditWindow& w);  // asks about unsaved changes through the host
    int CloseAll();             // the number of documents left open
    // The end of a run: every document still open is saved when it was changed (unless
    // told not to), then all are closed without a question.
    void Finish(bool save);
};

// The frame's document roads, leading to docs.
FrameWindows BatchWindows(BatchDocuments& docs);

}  // namespace varlin
