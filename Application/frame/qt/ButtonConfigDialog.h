// The button configuration (command 82): which commands, macro files and the routine
// list stand on the toolbar, in which order, and on which side of the frame the bar
// stands; button sets can be loaded from and saved to button files.
#pragma once

#include "frame/ButtonSet.h"

#include <QDialog>

#include <string>

class QButtonGroup;
class QListWidget;
class QListWidgetItem;

namespace varlin {

struct ButtonConfigRecord {
    ButtonSet set;
    int location = kButtonsTop;
    std::string currentFile;    // where the set is kept; "Speichern unter..." changes it
    std::string standardFile;   // stdbutt.vlb
};

class ButtonConfigDialog : public QDialog {
    Q_OBJECT
public:
    ButtonConfigDialog(ButtonConfigRecord& record, QWidget* parent = nullptr);

    // The set as the toolbar list shows it now.
    ButtonSet chosenSet() const;
    QListWidget* available() const { return available_; }
    QListWidget* chosen() const { return chosen_; }

    void AddSelected();
    void RemoveSelected();
    void MoveSelected(int step);
    void AddMacro(const std::string& fileName);
    void ShowSet(const ButtonSet& set);

    void accept() override;

private:
    void FillAvailable();
    QListWidgetItem* ItemFor(const ButtonSpec& entry) const;
    void LoadFromFile();
    void SaveToFile();
    void ChooseMacro();

    ButtonConfigRecord& record_;
    QListWidget* available_;
    QListWidget* chosen_;
    QButtonGroup* location_;
};

// Shows the dialog; true (and the record changed) when the user chose OK.
bool RunButtonConfigDialog(QWidget* parent, ButtonConfigRecord& record);

// Tests may answer the dialog instead of a user: the handler gets the dialog after it
// is built and returns the dialog's result.
void SetButtonConfigDialogHandler(std::function<int(ButtonConfigDialog&)> handler);

}  // namespace varlin
