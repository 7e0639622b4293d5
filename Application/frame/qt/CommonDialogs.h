// The frame's commands that run the common dialogs: browse and open (18), the DLL test
// (76), the language choice (97), the about box (122) and the translation assistance
// (303), installed on the Qt frame at start-up with the dialogs they use.
#pragma once

namespace varlin {

class MainFrame;

void InstallCommonDialogs(MainFrame& frame);

}  // namespace varlin
