// The document windows in the frame: each an MDI child (EditSubWindow) holding an
// EditView, created by OpenEditWindow; the routine list in a toolbar; and the frame hooks
// through which the frame opens, commands, asks and repaints these windows.
#pragma once

#include <QComboBox>
#include <QMdiSubWindow>

#include <string>
#include <vector>

namespace varlin {

struct EditWindow;
class EditView;
class MainFrame;

// The MDI child of one document: asks before it closes and remembers its size.
class EditSubWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    EditSubWindow(EditView* view, QWidget* parent = nullptr);
    EditView* view() const { return view_; }
    void UpdateTitle();

signals:
    // The window closes (its question, if any, answered): discardedChanges when the
    // document still had changes that were not saved.
    void documentClosed(bool discardedChanges);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    EditView* view_;
};

// FillRoutineList: empties a drop-down list and fills it with the routines of a document,
// each entry carrying its 0-based line as item data (Qt::UserRole); the first is selected.
void FillRoutineList(QComboBox* box, const EditWindow& w);
// What choosing an entry does: the cursor to the first text column of the routine's line,
// centred, and the focus back to the document. A negative line beeps.
void GotoRoutineLine(EditView* view, int line);

// A plain routine list in a toolbar of its own, until the frame's toolbar brings control
// 300: the routines of the active document; choosing one moves to its line.
class RoutineCombo : public QComboBox {
    Q_OBJECT
public:
    explicit RoutineCombo(MainFrame& frame, QWidget* parent = nullptr);
    // Fills the list from the document of a window (empties it for null).
    void Fill(EditSubWindow* window);
    void showPopup() override;

private:
    void Choose(int index);
    MainFrame& frame_;
};

// The document window of an MDI child, or null.
EditView* EditViewOf(QMdiSubWindow* window);

// Opens a document window on a file (a blank name: an empty window "Ohne Namen"); 0, or
// -1 when it was not opened (the load has said why).
int OpenEditWindow(MainFrame& frame, const std::string& fileName);

// Fills the frame's document hooks, adds the routine list and installs the Shift query.
// Hooks of the undo record and of recording that nobody has filled get theirs too.
void InstallDocumentWindows(MainFrame& frame);

// The plain routine list, when the frame's toolbar has none.
RoutineCombo* FrameRoutineList(MainFrame& frame);
// The routine list in use: the toolbar's control 300, else the plain one; or null.
QComboBox* ActiveRoutineList(MainFrame& frame);

}  // namespace varlin
