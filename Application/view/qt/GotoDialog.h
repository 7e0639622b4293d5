// The go-to dialog ("Sprung auf Position", DialogId::Goto): a line and a column typed or
// taken from the four remembered positions, with a preview of the lines around the typed
// line. It fills the record it was given when it ends with OK.
#pragma once

#include "editing/GotoPosition.h"

#include <QDialog>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace varlin {

// Control 515: the lines around the target, in the document window's character cell,
// the target line in ColorHighlight, the others in ColorText. Shows the stored bytes as
// the screen font draws them, without the document's code-table conversion.
class GotoPreview : public QWidget {
    Q_OBJECT
public:
    GotoPreview(const EditWindow& window, const QLineEdit& lineField, QWidget* parent);
    QSize sizeHint() const override;
    // The 0-based lines the preview shows now, top to bottom, and its target line.
    std::vector<int> shownLines() const;
    int targetLine() const;
    int rowHeight() const { return ch_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect TextArea() const;
    const EditWindow& window_;
    const QLineEdit& lineField_;
    int cw_ = 8;
    int ch_ = 16;
};

class GotoDialog : public QDialog {
    Q_OBJECT
public:
    // Controls carry their template ids as object names: "511" line, "512" column, "1"
    // OK, "2" cancel, "501" "504" "508" "509" the remembered positions, "515" the preview.
    GotoDialog(GotoDialogRecord& record, QWidget* parent = nullptr);

private:
    void Accept();
    void TakeSlot(int slot);
    GotoDialogRecord& record_;
    QLineEdit* line_ = nullptr;
    QLineEdit* column_ = nullptr;
    QPushButton* ok_ = nullptr;
    GotoPreview* preview_ = nullptr;
};

// Runs the dialog modally: 1 with the record filled in (OK), 0 when cancelled.
int RunGotoDialog(QWidget* parent, GotoDialogRecord& record);

// Lets the Qt host run the dialog for DialogId::Goto; start-up calls it once.
void RegisterGotoDialog();

}  // namespace varlin
