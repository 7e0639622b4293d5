// The dialogs of the search commands: the find dialog (template 2200, "Suchen") and the
// replace dialog (900, "Ersetzen"), one class that edits a FindSettings record, and the
// question dialog (2300) that the replace loop shows at each hit. Controls carry their
// template ids as object names, so tests and the frame find them by id.
#pragma once

#include "search/FindSettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QShowEvent;
class QWidget;

namespace varlin {

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    // The record's DialogKind chooses the find or the replace form. The fields start from
    // the record; "&Ok" writes them back (texts cut at 255 characters) and refuses an
    // empty search text with message 1102; "&Abbruch" leaves the record alone.
    FindReplaceDialog(FindSettings& record, QWidget* parent = nullptr);

    QLineEdit* SearchField() const { return findField_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void TakeFields();
    FindSettings& record_;
    bool replace_ = false;
    QLineEdit* findField_ = nullptr;
    QLineEdit* replaceField_ = nullptr;
    QCheckBox* capsSens_ = nullptr;
    QCheckBox* startOfLine_ = nullptr;
    QCheckBox* endOfLine_ = nullptr;
    QCheckBox* expandEscapes_ = nullptr;
    QCheckBox* regex_ = nullptr;  // while ticked, the escape notation box is disabled
    QCheckBox* replaceAll_ = nullptr;
};

class ReplaceQuestionDialog : public QDialog {
    Q_OBJECT
public:
    // Shows both texts as typed; ends with 2301 ("&Ja", and "&Alles ersetzen" after
    // setting ReplaceAll in the record), 2302 ("&Nein") or 2 ("Abbrechen").
    ReplaceQuestionDialog(FindSettings& record, QWidget* parent = nullptr);
};

// Run modally: the find or replace dialog gives 1 (OK) or 2; the question its end code,
// Escape and the close box counting as "Abbrechen".
int RunFindReplaceDialog(QWidget* parent, FindSettings& record);
int RunReplaceQuestion(QWidget* parent, FindSettings& record);

// Lets the Qt host run the three dialogs for DialogId::Find, Replace and ReplaceQuestion;
// start-up calls it once.
void RegisterSearchDialogs();

}  // namespace varlin
