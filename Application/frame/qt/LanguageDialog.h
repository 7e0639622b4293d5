// The language choice (command 97): German or English, each named in its own language,
// and the switch of every window to the new language without a restart.
#pragma once

#include <QDialog>

class QRadioButton;

namespace varlin {

class MainFrame;
struct LanguageChoice;

class LanguageDialog : public QDialog {
    Q_OBJECT
public:
    LanguageDialog(LanguageChoice& choice, QWidget* parent = nullptr);
};

// Hands the dialog to the Qt host as DialogId::Language.
void RegisterLanguageDialog();

// Qt's own texts (file dialog, standard buttons, context menus) in the language.
void UseQtTranslation(int language);

// After a change of language: Qt's texts, the open windows and dialogs (a LanguageChange
// event), the menus, the toolbar's tips and the status line.
void ApplyLanguage(MainFrame& frame);

}  // namespace varlin
