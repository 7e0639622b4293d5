// The prefix-key handler and the running of a key entry.
#include "frame/PrefixKeys.h"

#include "frame/Application.h"
#include "frame/FrameCommands.h"
#include "macro/MacroRun.h"
#include "platform/Host.h"
#include "resources/Accelerators.h"

namespace varlin {
namespace {

void SetPrefixState(Application& app, int state) {
    app.prefixState = state;
    if (auto& refresh = ThePrefixKeyHooks().refreshStatusField) refresh(kPrefixStatusField);
}

int PrefixOfKey(int virtualKey) {
    switch (virtualKey) {
    case kVkF2: return kPrefixF2;
    case kVkF3: return kPrefixF3;
    case kVkF4: return kPrefixF4;
    default: return kNoPrefix;
    }
}

}  // namespace

PrefixKeyHooks& ThePrefixKeyHooks() {
    static PrefixKeyHooks hooks;
    return hooks;
}

void SetupKeyTables(Application& app) {
    app.keyTableF2 = {};
    app.keyTableF3 = {};
    app.keyTableF4 = {};
    SetKeyTableName(app.keyTableF2, "F2");
    SetKeyTableName(app.keyTableF3, "F3");
    SetKeyTableName(app.keyTableF4, "F4");
    FillF2Table(app.keyTableF2);
    FillF3Table(app.keyTableF3);
}

KeyTable* PrefixTable(Application& app, int state) {
    switch (state) {
    case kPrefixF2: return &app.keyTableF2;
    case kPrefixF3: return &app.keyTableF3;
    case kPrefixF4: return &app.keyTableF4;
    default: return nullptr;
    }
}

int HandlePrefixKey(Application& app, const KeyMessage& message) {
    if (message.kind != kKeyDownMessage && message.kind != kCharMessage) return 0;
    if (message.kind == kKeyDownMessage) {
        if (message.key == kVkShift || message.key == kVkControl) return 0;
        if (int prefix = PrefixOfKey(message.key); prefix != kNoPrefix) {
            SetPrefixState(app, app.prefixState == prefix ? kNoPrefix : prefix);
            return 1;
        }
    }
    KeyTable* table = PrefixTable(app, app.prefixState);
    if (!table) return 0;
    if (const KeyEntry* found = FindKeyEntry(*table, message)) {
        // A copy: the command may open the assignment dialog, which changes the entry.
        // The prefix ends first, so that the status line no longer shows it while the
        // command's dialog is open.
        const KeyEntry entry = *found;
        SetPrefixState(app, kNoPrefix);
        RunKeyEntry(entry, app);
        return 1;
    }
    if (message.kind == kKeyDownMessage) return 0;  // its character, if any, comes next
    HostBeep();
    SetPrefixState(app, kNoPrefix);
    return 1;
}

void RunKeyEntry(const KeyEntry& entry, Application&) {
    PrefixKeyHooks& hooks = ThePrefixKeyHooks();
    if (entry.commandId >= 0) {
        const bool has = hooks.hasOperation ? hooks.hasOperation(entry.commandId)
                                            : CommandHasOperation(entry.commandId);
        if (!has) HostBeep();
        else if (hooks.sendCommand) hooks.sendCommand(entry.commandId);
        else SendFrameCommand(entry.commandId);
    }
    if (HasMacroFile(entry)) {
        if (hooks.runMacroFile) hooks.runMacroFile(entry.macroFile);
        else RunMacroFile(entry.macroFile);
    }
}

}  // namespace varlin
