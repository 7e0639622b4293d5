// Action dispatch: runs one editor action, named by its ActionId, on one document window
// with the arguments a macro script passed, and gives the action's value back to the
// script. It is the document-window half of the macro interface; the application-level
// numbers (New, Open, CloseAll, the arrangements, ToggleInsertMode) are the frame's.
//
// Lines and columns from scripts count from 1. SetCaret and GetCaretCol use display
// columns with the line-number margin included; SetDrag and GetDrag count from the first
// text column.
#pragma once

#include "Interpreter/MacroLib.h"

#include <cstdint>

namespace varlin {

struct EditWindow;

// The action's value: 0 for an action without a value of its own (also when it did
// nothing, beeped or showed a message), the query's result, or -1 for a number that this
// dispatcher does not run (below 1, above 80, the frame's numbers, rows not built). The
// operands are read in the order of the command table's argument names; missing or null
// operands give -1 without any effect.
std::int32_t DispatchAction(EditWindow& w, int actionId, OPERAND** operands, int count);

// The document file actions that both the dispatcher and the document window's commands
// run. Save (23 / command 13): under the document's name, or through the save-as dialog
// when it has none; forgets the undo step after a plain save; 0 saved, -1 not.
int SaveDocument(EditWindow& w);
// The same save without recording itself (the save question of a closing window).
int StoreDocument(EditWindow& w);
// SaveAs (24 / command 14): under the name, or asks when it is blank; 0 saved, -1 not.
int SaveDocumentAs(EditWindow& w, const char* name);
// Close (25 / command 15): records itself, then asks the window's owner to close it (the
// question about unsaved changes is the owner's). The window may be gone afterwards.
void CloseDocument(EditWindow& w);

// Who closes a document window: the Qt frame or batch mode. Without a handler Close
// only records itself.
using CloseRequestHandler = void (*)(EditWindow& w);
void SetCloseRequestHandler(CloseRequestHandler handler);

}  // namespace varlin
