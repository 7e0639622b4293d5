// DocumentWindow: what a document window does apart from its widget: creating the
// EditWindow with its loaded document, the window title, the question before closing a
// changed document, the window size remembered under "EditWind", and the entries of the
// toolbar's routine list. The Qt window calls these; tests call them headless.
#pragma once

#include "editing/EditWindow.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace varlin {

constexpr int kUntitledStringId = 1500;        // "Ohne Namen"
constexpr int kUntitledChangedMessage = 1305;  // close a changed window without a name
constexpr int kFileChangedMessage = 1306;      // close a changed file
constexpr int kMaxTitleLength = 511;

// The size values of "EditWind": defaults 1 (maximized), 286 high, 612 wide.
void LoadEditWindowSize(EditWindow& w);
void SaveEditWindowSize(const EditWindow& w);
// A new outer size of the window: taken while it is not maximized; then all three
// values are written (so resizing a maximized window writes the old size again).
void NoteEditWindowSize(EditWindow& w, int width, int height);
// Maximizing (1) or restoring (0) the window: remembered and written at once.
void NoteEditWindowMaximized(EditWindow& w, bool maximized);

// Steps 1 to 3 of opening a window: the EditWindow with its size values and its
// document, loaded unless the name is blank (only characters 1 to 32). Null when memory
// ran out (message 1002) or the load failed (the load has said why).
std::unique_ptr<EditWindow> CreateEditWindow(const std::string& fileName);
// The last step, once the window exists: the cursor on the first character, trailing
// null lines dropped, every status field refreshed.
void FinishOpening(EditWindow& w);

// Where a file named on the command line starts: line and column 1-based (0: not given,
// the first); a line past the end is the last line, a column past the end of its line
// the line's end. The column counts characters (a tab is one). Nothing is recorded.
void PlaceCursorAt(EditWindow& w, int line, int column);

// After opening name: question 1333 for each leftover backup of a cut save found beside
// the file. On Yes, openUntitled makes a new document window without a name,
// which gets the backup's text as a change (closing it asks) and holds the backup until
// that text is saved or discarded; declined, the backup stays where it is. Without
// openUntitled (batch mode) nothing is asked: a leftover backup is told by message 1269
// and the result is false, the file not to be edited (the backup stays).
bool OfferLeftoverBackups(EditWindow& w, const std::string& name,
                          const std::function<EditWindow*()>& openUntitled);

// With LockMode 0 nothing keeps other programs from changing a document's file: when the
// window becomes active and the file differs from what was loaded or saved, question
// 1332 offers to load it again (a state once declined is not offered again). The new
// text is read into a store of its own first, so a failed load keeps the document.
// 1 reloaded, 0 not.
int OfferReloadIfChanged(EditWindow& w);

// The document's file name, or string 1500 without one; at most 511 characters.
std::string WindowTitle(const EditWindow& w);

// May the window close? 1 yes, 0 no. An unchanged window may; a changed one asks 1306
// with its name (1305 without one): Cancel keeps it, No lets it close, Yes saves (asking
// for a name when it has none) and lets it close only when the file was written.
int QueryClose(EditWindow& w);

// One entry of the routine list: the routine's name (Windows-1252 bytes) and its line.
struct RoutineEntry {
    std::string name;
    int line = 0;
};

// The routine lines of the document in order, each named by the word before its first
// "(" (blanks before the "(" kept): 'int main(void)' gives 'main'.
std::vector<RoutineEntry> RoutineList(const EditWindow& w);
// The name of one routine line as above (ANSI text).
std::string RoutineName(std::string_view text);

}  // namespace varlin
