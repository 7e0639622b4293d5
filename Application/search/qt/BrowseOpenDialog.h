// The browse-and-open dialog: a search text with its rules, the files to look at (a
// pattern typed or chosen from FileNameFilter, a folder, with or without subfolders), the
// hits listed with their first matching line while the search runs on a worker thread,
// progress with "Abbrechen", and the chosen files handed back in the order of the list.
#pragma once

#include "search/BrowseOpenSettings.h"
#include "search/FolderSearch.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace varlin {

class BrowseOpenDialog : public QDialog {
    Q_OBJECT
public:
    BrowseOpenDialog(BrowseOpenRecord& record, QWidget* parent = nullptr);
    ~BrowseOpenDialog() override;

    // Starts a search with the fields as they are (what "&Suchen" does); false when the
    // fields were refused with a message.
    bool StartSearch();
    void CancelSearch();
    bool searching() const;
    QTreeWidget* hitList() const { return hits_; }

    void done(int result) override;

protected:
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    void Retranslate();
    void TakeResults();
    void SearchEnded();
    void ChooseFolder();
    void OpenChosen();
    void UpdateButtons();
    void StoreFields();
    QString StatusText(int filesSearched) const;

    BrowseOpenRecord& record_;
    FolderSearchRun run_;
    QLineEdit* text_ = nullptr;
    QComboBox* pattern_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QCheckBox* subfolders_ = nullptr;
    QCheckBox* capsSens_ = nullptr;
    QCheckBox* escapes_ = nullptr;
    QCheckBox* regex_ = nullptr;  // while ticked, the escape notation box is disabled
    QTreeWidget* hits_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* search_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* browse_ = nullptr;
    QLabel* textLabel_ = nullptr;
    QLabel* patternLabel_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QTimer* poll_ = nullptr;
    QString endText_;  // the count and the skipped files of the last search that ended
};

// Hands the dialog to the Qt host as DialogId::BrowseOpen.
void RegisterBrowseOpenDialog();

}  // namespace varlin
