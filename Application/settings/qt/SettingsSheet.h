// The settings sheet "Einstellungen" (command 73): four tabbed pages over the program's
// options with OK, Abbrechen and Übernehmen. Übernehmen lights up with the first change
// of any page; applying checks and reads every page that has been shown, stores the
// options and repaints the document windows. Cancel reads nothing back.
#pragma once

#include "settings/SettingsSheet.h"
#include "settings/qt/SettingsPages.h"

#include <QDialog>
#include <QFont>

#include <vector>

class QPushButton;
class QTabWidget;

namespace varlin {

class SettingsSheet : public QDialog {
    Q_OBJECT
public:
    // The buttons are named "1" (OK), "2" (Abbrechen) and "12321" (Übernehmen), the
    // tab widget "12320"; each page's controls carry their template ids.
    SettingsSheet(SettingsSheetRecord& record, const QFont& sampleFont, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    QPushButton* applyButton() const { return apply_; }
    // Checks and reads the shown pages, then stores and repaints; false when a field was
    // refused or the store failed (the pages then stay changed).
    bool Apply();

private:
    struct PageState {
        SheetPage page;
        bool shown = false;
        bool changed = false;
    };
    void PageChanged(std::size_t index);
    void PageShown(int index);

    SettingsSheetRecord& record_;
    QTabWidget* tabs_ = nullptr;
    QPushButton* apply_ = nullptr;
    std::vector<PageState> pages_;
    bool built_ = false;  // change reports of the pages' own filling are no changes
};

// Runs the sheet modally: 1 when it was closed with OK, 2 when cancelled.
int RunSettingsSheet(QWidget* parent, SettingsSheetRecord& record);

// Lets the Qt host run the sheet for DialogId::Settings, with its colour samples drawn
// in the documents' font; start-up calls it once.
void RegisterSettingsSheet(const QFont& sampleFont);

}  // namespace varlin
