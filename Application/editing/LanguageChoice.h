// LanguageChoice: setting a document's language by hand (command 410, from the menu
// "Sprachen" and status field 508) when recognition guessed wrong.
#pragma once

#include <string>
#include <vector>

namespace varlin {

struct EditWindow;

constexpr int kCmdDocumentLanguage = 410;

// The dialog's record: the labels offered ("Text" first, then every known language by
// label) and the index chosen, which the dialog shows and writes back on OK.
struct LanguageChoiceRecord {
    std::vector<std::string> labels;
    int chosen = 0;
};

// Command 410: asks through DialogId::DocumentLanguage and applies the choice ("Text"
// switches colouring off for the document); repaints and refreshes the status line.
void ChooseDocumentLanguage(EditWindow& w);

}  // namespace varlin
