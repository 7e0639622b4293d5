// The translation assistance (command 303, Shift+Ctrl+Alt+L): every text with its German
// and English form, missing translations and English texts longer than the German by
// more than half marked, the English texts editable and saved as the user's own texts.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QTableWidget;
class QTableWidgetItem;

namespace varlin {

class TranslationDialog : public QDialog {
    Q_OBJECT
public:
    explicit TranslationDialog(QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    // Writes the texts that differ from the built-in ones to the override file and makes
    // them the program's; false (with the file's error message) when it could not write.
    bool Save();
    // Runs after a save, so that the windows show the new texts.
    std::function<void()> saved;

private:
    void Mark(int row);
    void ShowMarkedOnly(bool only);

    QTableWidget* table_ = nullptr;
    QCheckBox* markedOnly_ = nullptr;
    QLabel* fileLabel_ = nullptr;
};

}  // namespace varlin
