// CommandTable: the document window's commands as data. Each CommandId that the frame
// routes to a document (menus, accelerators, F2 keys, toolbar) names one operation on the
// EditWindow; the window only runs the row. The row that opens the toolbar's routine list
// needs the window itself and tells the caller so instead of acting. Batch mode's
// SendCommand can walk the same table.
#pragma once

#include <span>

namespace varlin {

struct EditWindow;

// What the caller has to do after a row ran.
enum class CommandEffect {
    None,             // the operation ran (or does nothing yet, see below)
    OpenRoutineList,  // command 57: the routine list gets the focus and drops down
    NotHandled,       // not a command of the document window
};

constexpr int kCmdRoutineList = 57;

struct DocumentCommand {
    int commandId;
    // The operation; null for the rows whose operation is not built yet, which the menus
    // grey, the keys beep at and SendCommand answers with -1.
    void (*run)(EditWindow& w);
    CommandEffect effect;
};

std::span<const DocumentCommand> DocumentCommandTable();

// True when the table has a row for the command that does something (an operation, or
// the routine list that the window opens).
bool DocumentCommandHasOperation(int commandId);

// Runs the row of commandId on w; NotHandled for a command the table does not have or
// whose row has no operation.
// Command 15 (Close) may close the window: w must not be used after it.
CommandEffect RunWindowCommand(EditWindow& w, int commandId);

}  // namespace varlin
