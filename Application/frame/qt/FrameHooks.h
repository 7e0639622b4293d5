// FrameHooks: what the frame needs of the parts that are not its own (the document
// windows, the undo record, macro recording, the prefix keys, the status line). Each
// part fills its hooks at start-up; an empty hook means the part is not there, and the
// frame then does the least it can (files wait in a list, commands are dropped).
#pragma once

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QKeyEvent;
class QMdiSubWindow;
class QObject;

namespace varlin {

class MainFrame;

// What the menu enabling needs to know of a document window.
struct DocumentMenuState {
    bool modified = false;
    bool rangeMarked = false;
    bool utf8 = false;  // the document reads as UTF-8 (the check mark of item 405)
};

struct FrameHooks {
    // Opens a document window on a file (an empty name gives a new window without a name)
    // and adds it to the frame's MDI area; 0 on success, -1 when it was not opened (the
    // hook has shown its message).
    std::function<int(MainFrame& frame, const std::string& fileName)> openDocument;
    // Runs a CommandId in a document window's command table.
    std::function<void(QMdiSubWindow* window, int commandId)> documentCommand;
    // Fills the state of a document window; false when the window shows no document.
    std::function<bool(QMdiSubWindow* window, DocumentMenuState& state)> documentState;
    // Repaints a document window after a display option changed.
    std::function<void(QMdiSubWindow* window)> repaintDocument;
    // Puts a document window's cursor at a 1-based line and column (0: the first) of a
    // file named on the command line or by a second start.
    std::function<void(QMdiSubWindow* window, int line, int column)> placeCursor;
    // The name of the file a document window shows ("" without one).
    std::function<std::string(QMdiSubWindow* window)> documentFile;
    // The window became the frame's current document window (focus and caret).
    std::function<void(QMdiSubWindow* window)> documentActivated;

    std::function<bool()> canUndo;
    std::function<bool()> canRedo;
    std::function<void()> forgetUndo;
    std::function<bool()> recording;
    // Writes an application-level action into the macro being recorded.
    std::function<void(int actionId, const std::vector<std::string>& arguments)> recordAction;

    // The prefix keys: consumes the key and returns true, or returns false. prefixPending
    // tells whether a prefix waits for its second key.
    std::function<bool(QKeyEvent* event)> prefixKey;
    std::function<bool()> prefixPending;
    // True when a key belongs to a control of the toolbar (the accelerators then skip it).
    std::function<bool(QObject* receiver, QKeyEvent* event)> controlWantsKey;

    // Refreshes every field of the status line.
    std::function<void()> refreshStatus;
    // Refreshes one field of the status line (500 ... 508), or every field for 0. A
    // document window's ViewHooks::refreshStatus calls it while that window is active.
    std::function<void(int field)> refreshStatusField;

    // The toolbar's routine list (control 300), or nullptr while it is not on the bar.
    // Entries carry the 0-based line of their routine as Qt::UserRole data.
    std::function<QComboBox*()> routineList;
    // Fills the routine list with the routines of a document window (FillRoutineList);
    // the toolbar asks for it before the list drops down.
    std::function<void(QMdiSubWindow* window, QComboBox* box)> fillRoutineList;
    // Places the cursor of a document window on the first text column of a line and gives
    // the window the focus back (an entry of the routine list was chosen).
    std::function<void(QMdiSubWindow* window, int line)> gotoLine;
    // Runs a macro file (toolbar macro buttons, F3 keys); the runner reports its failures.
    std::function<int(const std::string& fileName)> runMacroFile;
    // Shows a toolbar button pressed or released (89 while a macro is recorded).
    std::function<void(int commandId, bool active)> setButtonActive;
};

}  // namespace varlin
