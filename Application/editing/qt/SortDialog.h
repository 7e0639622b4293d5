// The sort dialog (template 2400, "Sortieren"): asks whether the marked lines are sorted
// ascending or descending. It shows the order of the record it is given and writes the
// chosen one back when it ends with OK.
#pragma once

#include "editing/Sort.h"

#include <QDialog>

class QRadioButton;
class QPushButton;
class QWidget;

namespace varlin {

class SortDialog : public QDialog {
    Q_OBJECT
public:
    // Controls carry their template ids as object names: "1009" the group, "2401" and
    // "2402" the radio buttons, "1" OK and "2" cancel.
    SortDialog(SortDialogRecord& record, QWidget* parent = nullptr);

private:
    void TakeOrder();
    SortDialogRecord& record_;
    QRadioButton* ascending_ = nullptr;
    QRadioButton* descending_ = nullptr;
};

// Runs the dialog modally: 1 with the record filled in (OK), 0 when cancelled.
int RunSortDialog(QWidget* parent, SortDialogRecord& record);

// Lets the Qt host run the dialog for DialogId::Sort; start-up calls it once.
void RegisterSortDialog();

}  // namespace varlin
