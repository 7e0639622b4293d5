// The three search actions of a document window: Find (ActionId 33), FindNext (34) and
// Replace (35) with its replace loop, the menu commands that run them (40, 41, 42), and
// the three dialogs they ask the host for. A macro passes its texts and Mode; an empty
// text asks the dialog instead (which batch mode cancels). Every search runs from the
// cursor to the end of the document and never wraps.
#pragma once

#include "search/FindSettings.h"

#include <cstdint>
#include <string_view>

namespace varlin {

struct EditWindow;

constexpr int kFindActionId = 33;
constexpr int kFindNextActionId = 34;
constexpr int kReplaceActionId = 35;
constexpr int kFindCommandId = 40;
constexpr int kFindNextCommandId = 41;
constexpr int kReplaceCommandId = 42;

// End codes of the question dialog (2300): "&Ja" and "&Alles ersetzen" (which sets
// ReplaceAll in the record first), "&Nein", "Abbrechen".
enum ReplaceAnswer : int { kAnswerReplace = 2301, kAnswerSkip = 2302, kAnswerCancel = 2 };

// The dialogs, run modally by the host on the record. The find and replace dialogs set
// DialogKind and return 1 for "&Ok", 2 for "&Abbruch" (Escape and the close box too);
// AskReplace returns a ReplaceAnswer (anything else reads as kAnswerCancel).
int ShowFindDialog(FindSettings& settings);
int ShowReplaceDialog(FindSettings& settings);
int AskReplace(FindSettings& settings);

// Find: an empty text shows the find dialog; otherwise the text (cut at 255) is searched
// with CapsSens, StartOfLine and EndOfLine from mode. Searches from the cursor itself:
// on a hit the view is centred and the cursor put on it; without one message 1201.
void Find(EditWindow& w, std::string_view text, std::int32_t mode);
// FindNext: the stored search from one character after the cursor; a beep for no hit.
void FindNext(EditWindow& w);
// Replace: an empty find text shows the replace dialog. Asks at every hit (question
// dialog) unless ReplaceAll is set (mode bit 16, the dialog's box, "&Alles ersetzen");
// Escape asks message 1303. A line that would overflow ends it with message 1110; the
// replacements made so far stay.
void Replace(EditWindow& w, std::string_view findText, std::string_view replaceText,
             std::int32_t mode);

// Rows 33, 34 and 35 of the action dispatcher: the macro's texts (null reads as absent)
// and Mode. The result for the script is always 0.
int FindAction(EditWindow& w, const char* text, std::int32_t mode);
int FindNextAction(EditWindow& w);
int ReplaceAction(EditWindow& w, const char* findText, const char* replaceText, std::int32_t mode);

// The menu commands 40 "Su&chen...", 41 "&Weitersuchen...", 42 "Erse&tzen...".
int CommandFind(EditWindow& w);
int CommandFindNext(EditWindow& w);
int CommandReplace(EditWindow& w);

}  // namespace varlin
