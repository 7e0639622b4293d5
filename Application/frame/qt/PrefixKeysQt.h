// The prefix keys in the frame's key chain: a Qt key event becomes the key-down and,
// when the key types something, the character message that the prefix handler expects,
// and the handler's entries reach the frame's command routing and the macro runner.
#pragma once

#include "frame/KeyTable.h"

class QKeyEvent;

namespace varlin {

struct Application;
class MainFrame;

// Fills the frame's prefixKey and prefixPending hooks and the prefix handler's own.
void InstallPrefixKeys(MainFrame& frame);

// The character message of a key event: the code of the typed character, the control
// codes that Enter (13), Tab (9), Backspace (8), Escape (27) and Ctrl+letter (1-26) type,
// or -1 for keys that type nothing.
int CharacterOfKeyEvent(const QKeyEvent* event);

}  // namespace varlin
