// The pages of the settings sheet. Each page is filled from the options when it is made,
// reports every change the user makes through `changed`, checks its fields before an
// apply and reads its controls into the options on apply. Controls carry their template
// ids as object names, so tests and the dialog helpers reach them by id.
#pragma once

#include "settings/SettingsSheet.h"

#include <QFont>

#include <functional>

class QWidget;

namespace varlin {

// Whether checking a page shows the refusal of a field (and focuses the field).
enum class Refusal { Quiet, Shown };

struct SheetPage {
    QWidget* widget = nullptr;
    // False when a field is refused.
    std::function<bool(Refusal)> validate;
    // The controls into the options.
    std::function<void()> read;
};

using PageChanged = std::function<void()>;

// A page of group boxes made from a table (pages "&Einstellungen" and "&Ansicht").
SheetPage BuildTablePage(const std::vector<SheetGroup>& groups, Options& options, PageChanged changed);
// Page "Dateifilter": the filter list of the file dialogs.
SheetPage BuildFilterPage(Options& options, PageChanged changed);
// Page "&Farben": six colours with samples drawn in sampleFont. A colour chosen with
// "Ändern..." goes into the options at once, even if the sheet is then cancelled.
SheetPage BuildColorPage(Options& options, const QFont& sampleFont, PageChanged changed);

// The text of a string id as Qt text.
QString SheetText(int id);
// Focuses a refused field with its text selected.
void FocusRefusedField(QWidget* page, int id);
// Whether a number field's text is a whole number in [lowest, highest]; when not and
// refusal is Shown, says so (message 1230) and focuses the field.
bool CheckNumberField(QWidget* page, int id, int lowest, int highest, Refusal refusal);

}  // namespace varlin
