// Dialog controls by their control id: the dialogs name every control after its decimal
// id (objectName "2201"), so the code that fills and reads a dialog can address check
// boxes, radio groups, texts, numbers and colour triples the way the templates number them.
// The dialog may be any widget holding the controls (a QDialog, or a page of a tabbed one).
#pragma once

#include "platform/Color.h"

#include <QString>

#include <string>

class QWidget;

namespace varlin {

// How a control's text becomes bytes: the program's own texts (file names, settings,
// string table) are UTF-8; texts taken from or put into a document are its ANSI bytes
// (Windows-1252), as the find dialogs show them.
enum class TextCode { Utf8, Ansi };

// The control named by id inside dialog (searched through all descendants), or null.
QWidget* DialogItem(QWidget* dialog, int id);

// Names a control after its id, so that DialogItem and the tests find it; returns it.
void NameControl(QWidget* control, int id);
template <typename W>
W* Named(W* control, int id) {
    NameControl(control, id);
    return control;
}

// A text of the program's string table.
QString AppText(int id);

// Check states: 0 unchecked, 1 checked, 2 the third state of a tri-state check box.
// A missing control or one that cannot be checked reads as 0. Unchecking works on radio
// buttons too, although Qt keeps the last button of an exclusive group checked.
int GetButtonCheck(QWidget* dialog, int id);
void SetButtonCheck(QWidget* dialog, int id, int state);
// The first id from firstId to lastId whose button is checked; firstId when none is.
int GetCheckedRadio(QWidget* dialog, int firstId, int lastId);

// Texts of line edits, editable or plain combo boxes, plain-text edits, labels, buttons
// and group boxes. SetItemText returns false when there is no such control (or a plain
// combo box holds no such entry); a missing control reads as "".
bool SetItemText(QWidget* dialog, int id, const std::string& text, TextCode code = TextCode::Utf8);
std::string GetItemText(QWidget* dialog, int id, TextCode code = TextCode::Utf8);
// The text into buffer, at most size - 1 bytes and always terminated (a UTF-8 character
// is never cut in half); returns the number of bytes stored. Nothing is written when
// buffer is null or size below 1.
int GetItemText(QWidget* dialog, int id, char* buffer, int size, TextCode code = TextCode::Utf8);

bool SetItemInt(QWidget* dialog, int id, int value);
// The leading decimal number of the text ("  42abc" gives 42), 0 when it has none.
int GetItemInt(QWidget* dialog, int id);
// 1 when the text is only digits and '-' and its value lies in [lowest, highest]; an
// empty text counts as 0.
int ValidateItemInt(QWidget* dialog, int id, int lowest, int highest);

// A colour as three controls holding red, green and blue; reading keeps each
// component's low 8 bits (300 reads as 44).
void SetItemColor(QWidget* dialog, int redId, int greenId, int blueId, Color color);
Color GetItemColor(QWidget* dialog, int redId, int greenId, int blueId);

// Results and flags of the colour dialog.
constexpr int kColorChosen = 1;
constexpr int kColorCancelled = 2;
constexpr int kColorStartFromGiven = 1;  // without it the dialog starts from black
constexpr int kColorFullOpen = 2;        // Qt's dialog always shows everything

// The colour dialog over owner; on kColorChosen color holds the choice, otherwise it
// stays as it was.
int ChooseColorDialog(QWidget* owner, Color& color, int flags = kColorStartFromGiven);
// Lets the user change the colour in three controls: starts the dialog from them and,
// when a colour is chosen, writes it back into them and into *chosen (if given).
int EditColorTriple(QWidget* dialog, int redId, int greenId, int blueId, Color* chosen = nullptr);

}  // namespace varlin
