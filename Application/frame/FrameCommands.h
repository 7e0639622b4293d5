// The frame's command routing in the core: the one road of every CommandId, shared by the
// Qt frame (menus, accelerators, F2 and F3 keys), macros (SendCommand) and batch mode.
// Application-level commands are carried out here or by the owner of the windows; every
// other command goes to the active document window's command table.
//
// Whoever owns the document windows (the Qt frame, or batch mode without windows)
// installs a FrameWindows record; without one, documents cannot be opened and the window
// commands do nothing. Installing it also hands macro runs their road up to the frame.
#pragma once

#include "Interpreter/MacroLib.h"

#include <cstdint>
#include <string>

namespace varlin {

struct EditWindow;
struct KeyTable;

struct FrameWindows {
    void* context = nullptr;
    // Opens a document on a file ("" gives a new one without a name) and makes it the
    // active one; 0, or -1 when it was not opened (its message was shown).
    int (*openDocument)(void* context, const std::string& fileName) = nullptr;
    // Asks one document window to close, its save question included; true when it closed.
    bool (*closeDocument)(void* context, EditWindow& window) = nullptr;
    // Asks every document window to close; returns how many stayed open.
    int (*closeAll)(void* context) = nullptr;
    // Arranges the windows: 1 side by side, 2 one below the other, 3 tiled, 4 cascaded.
    void (*arrange)(void* context, int mode) = nullptr;
    // The owner's whole command router (the Qt frame's, as menu items use it), with the
    // result SendFrameCommand gives. When set, SendFrameCommand hands every command to it;
    // batch mode leaves it null and the core routes.
    int (*runCommand)(void* context, int commandId) = nullptr;
    // Whether the owner's router has an operation for the command; null: the core's tables.
    bool (*hasOperation)(void* context, int commandId) = nullptr;
    // The F3 table that the key assignment (command 94) edits; null: no such command.
    KeyTable* f3Keys = nullptr;
    // The document window's command table (CommandId -> operation). Null: the core's own
    // table of the operations that exist.
    int (*documentCommand)(void* context, EditWindow& window, int commandId) = nullptr;
};

FrameWindows& TheFrameWindows();
void InstallFrameWindows(const FrameWindows& windows);

// A command from a menu item, an F2 or F3 key or a script's SendCommand. 0 when it was
// carried out (also when the operation itself refused or beeped), -1 when nothing takes
// it (a command without an operation, a document command without a document window).
int SendFrameCommand(int commandId);
// True when the command reaches an operation (the owner's, or the core's tables). A
// command without one is greyed in menus and toolbar and beeps when reached by a key.
bool CommandHasOperation(int commandId);
// The core's router, which SendFrameCommand uses when the owner has none of its own.
int RouteCommand(int commandId);
// A command of the document window's table on w (the owner's table, else the core's).
int RunDocumentCommand(EditWindow& w, int commandId);

// The application-level operations that macros use as well.
int FrameOpenDocument(const std::string& fileName);
int FrameCloseAll();
void FrameArrange(int mode);
// Insert mode on or off (command 79, macro ToggleInsertMode): forgets the undo step,
// switches the option and records itself.
void FrameToggleInsertMode();

// A call of a macro's table function (the interpreter's callback, handed to macro runs by
// InstallFrameWindows). New, Open, SetLanguage, CloseAll, the four arrangements and
// ToggleInsertMode are the frame's (0); every other number goes to the action dispatcher
// of the active document window, or gives -1 when there is none.
std::int32_t Macro_Function_Callback(std::int32_t actionId, OPERAND** operands,
                                     std::int32_t count, char* userData);

}  // namespace varlin
