// The macro list dialog on a QDialog: a sorted list of every macro function with its
// argument names, "Ü&bernehmen" (also a double click) and "&Abbruch".
#pragma once

#include "macro/MacroList.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace varlin {

class MacroListDialog : public QDialog {
    Q_OBJECT
public:
    MacroListDialog(MacroListRequest& request, QWidget* parent = nullptr);

private:
    void Take();

    MacroListRequest& request_;
    QListWidget* list_ = nullptr;
    QPushButton* take_ = nullptr;
};

// Hands the dialog to the Qt host for DialogId::MacroList.
void RegisterMacroListDialog();

}  // namespace varlin
