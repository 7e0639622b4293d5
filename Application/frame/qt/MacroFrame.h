// The macro commands in the Qt frame: registers run macro (88), learn mode (89), run,
// save and open the learned macro (90, 91, 92), open a macro file (93) and the macro
// list (95, with its dialog) as frame commands, and makes the frame the owner of the
// core's FrameWindows, so that scripts (New, Open, Close, CloseAll, the arrangements,
// SendCommand) and the prefix keys reach the same windows and router as the menus.
#pragma once

namespace varlin {

class MainFrame;

// For the start-up's FrameInstallers, after the document windows are installed.
void InstallMacroFrame(MainFrame& frame);

}  // namespace varlin
