// Dialog 1000 of the DLL test: the library's and the function's names, "Auf&ruf" and
// "&Abbruch". The library name is kept as typed: file names are case-sensitive here.
#pragma once

#include "macro/DllTest.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace varlin {

class DllTestDialog : public QDialog {
    Q_OBJECT
public:
    DllTestDialog(DllTestRecord& record, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Retranslate();

    DllTestRecord& record_;
    QLabel* note_ = nullptr;
    QLabel* dllLabel_ = nullptr;
    QLabel* functionLabel_ = nullptr;
    QLineEdit* dll_ = nullptr;
    QLineEdit* function_ = nullptr;
    QPushButton* call_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Hands the dialog to the Qt host as DialogId::DllTest.
void RegisterDllTestDialog();

}  // namespace varlin
