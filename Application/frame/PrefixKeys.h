// Prefix keys: F2, F3 or F4 followed by a second key. The handler looks at every key
// message of the frame before the accelerators do: a prefix key makes its table pending
// (the status line shows it), and the next key message is looked up in that table.
// Keys that type nothing and have no entry leave the prefix pending and act as usual;
// a typed character without an entry beeps and ends the prefix.
#pragma once

#include "frame/KeyTable.h"

#include <functional>
#include <string>

namespace varlin {

struct Application;

enum PrefixState : int { kNoPrefix = 0, kPrefixF2 = 2, kPrefixF3 = 3, kPrefixF4 = 4 };

constexpr int kPrefixStatusField = 505;

// How a key entry reaches the rest of the program. Without sendCommand a command goes
// through SendFrameCommand, without runMacroFile a file through RunMacroFile, without
// hasOperation the question goes to CommandHasOperation.
struct PrefixKeyHooks {
    // Runs a CommandId through the frame's routing, synchronously.
    std::function<void(int commandId)> sendCommand;
    // Whether the frame's routing has an operation for a CommandId.
    std::function<bool(int commandId)> hasOperation;
    // Runs a macro file.
    std::function<void(const std::string& fileName)> runMacroFile;
    // Refreshes one status field.
    std::function<void(int field)> refreshStatusField;
};

PrefixKeyHooks& ThePrefixKeyHooks();

// Creates the three tables: F2 with its fixed entries, F3 with its 50 unassigned keys,
// F4 empty.
void SetupKeyTables(Application& app);

// The table of a prefix state (nullptr for kNoPrefix).
KeyTable* PrefixTable(Application& app, int state);

// Returns 1 when the message was consumed, 0 when it goes on to the accelerators and
// the window.
int HandlePrefixKey(Application& app, const KeyMessage& message);

// The command first (when commandId >= 0; one without an operation beeps), then the
// macro file (when it names one). Learn mode refuses neither: what runs is recorded.
void RunKeyEntry(const KeyEntry& entry, Application& app);

}  // namespace varlin
