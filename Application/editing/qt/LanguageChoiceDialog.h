// The dialog "Sprache des Dokuments" (3610): the languages in a list, the document's
// own selected; OK (or a double click) takes the selected one.
#pragma once

#include "editing/LanguageChoice.h"

class QWidget;

namespace varlin {

// Runs the dialog modally: 1 with record.chosen set (OK), 0 when cancelled.
int RunLanguageChoiceDialog(QWidget* parent, LanguageChoiceRecord& record);

// Lets the Qt host run the dialog for DialogId::DocumentLanguage; start-up calls it once.
void RegisterLanguageChoiceDialog();

}  // namespace varlin
