// The dialog "Zuordnen von Makros" on a QDialog: one row per key of a prefix table with
// its macro file and the macro's description, "Makro zuordnen..." (or a double click),
// "Zuordnung aufheben" and "Schließen". Every change goes into the table at once.
#pragma once

#include "frame/KeyAssignment.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace varlin {

class MainFrame;

class KeyAssignmentDialog : public QDialog {
    Q_OBJECT
public:
    KeyAssignmentDialog(KeyAssignmentRecord& record, QWidget* parent = nullptr);

    QTableWidget* list() const { return list_; }
    int selectedRow() const;
    // Escape closes the dialog like "Schließen".
    void reject() override { done(2); }

private:
    void ShowRow(int row);
    void SetButtons();
    void AssignSelected();
    void ClearSelected();

    KeyAssignmentRecord& record_;
    QTableWidget* list_ = nullptr;
    QPushButton* assign_ = nullptr;
    QPushButton* clear_ = nullptr;
};

constexpr int kKeyListControl = 1036;
constexpr int kAssignButton = 1037;
constexpr int kClearButton = 1038;

// Hands the dialog to the Qt host and gives the frame command 94.
void InstallKeyAssignment(MainFrame& frame);

}  // namespace varlin
