// EditView: the widget of one document window. It owns the window's EditWindow, fills its
// ViewHooks, paints its rows in fixed character cells with its own caret, and turns keys,
// typed characters, mouse, scroll bars and the wheel into the editing engine's actions.
#pragma once

#include "dispatch/CommandTable.h"
#include "editing/EditWindow.h"
#include "editing/RowLayout.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QPoint>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace varlin {

class ShownText;

// The screen font: DejaVu Sans Mono (or the system's fixed font), spaced so that every
// character advances exactly one cell of the given width.
QFont ScreenFont(int cellWidth);
// The character cell of the screen font, one for the whole program: the frame measures it
// at start-up, and a view made before that measures it itself (EnsureCharacterCell).
struct CharacterCell {
    int width = 0;
    int height = 0;
};
CharacterCell& ScreenCell();
// Measures the cell once when it is not set.
void EnsureCharacterCell();

// The Windows-1252 byte of a typed character, or -1 when the table has none.
int Windows1252Byte(char16_t c);

class EditView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit EditView(std::unique_ptr<EditWindow> window, QWidget* parent = nullptr);
    ~EditView() override;

    EditWindow& window() { return *w_; }
    const EditWindow& window() const { return *w_; }

    // Runs a CommandId of the document window's table and carries out what it asks of
    // the window (closing it, opening the routine list).
    void RunCommand(int commandId);
    // What the view cannot do itself: open the routine list, refresh the status line,
    // show a new title. Set by the window that holds the view.
    std::function<void()> routineListRequested;
    std::function<void(int field)> statusChanged;
    std::function<void()> titleChanged;

    // Where the caret is drawn (viewport row and column) and whether it shows now.
    QPoint caretCell() const { return QPoint(caretColumn_, caretRow_); }
    bool caretDrawn() const { return caretVisible_ && caretActive_; }
    // Pixel rectangle of a viewport cell (row, column).
    QRect cellRect(int row, int column) const;
    // The document position under a viewport pixel, as the mouse handling converts it.
    TextPos positionAt(QPoint pixel) const;
    int cellWidth() const { return cw_; }
    int cellHeight() const { return ch_; }

    // The document's text as accessibility clients read it (EditViewAccessible.cpp),
    // caught up with every change, whose events go out first while a client listens.
    ShownText& accessibleText();
    // Offsets of that text and the positions (line, display column) they stand for; the
    // marked range as offsets (-1, -1 when none). Valid after accessibleText().
    int accessibleOffset(int line, int col) const;
    TextPos accessiblePosition(int offset) const;
    void accessibleSelection(int* start, int* end) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    // ImCursorRectangle: the caret's cell, so that a dialog can keep clear of its line.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    // ViewHooks.
    static void HookInvalidateLines(void* self, int first, int last);
    static void HookInvalidateAll(void* self);
    static void HookScrollBy(void* self, int rows, int columns);
    static void HookSetScrollBar(void* self, ScrollBar bar, int position, int maximum, int page);
    static void HookPlaceCaret(void* self, int row, int column);
    static void HookShowCaret(void* self, bool visible);
    static void HookViewportSize(void* self, int* lines, int* columns);
    static void HookRefreshStatus(void* self, int field);

    void TypeText(const QString& text);
    friend class EditViewAccessible;
    // Accessibility (EditViewAccessible.cpp): a change or movement noted by a hook is
    // told to clients once control is back in the event loop, as one batch.
    void NoteAccessibleChange();
    void SyncAccessible();
    void RememberShownRows();
    void OnScrollAction(ScrollBar bar, int action);
    void DragStep();
    // The title follows the document's name when it changed since it was last shown.
    void NoteFileName();
    void CheckTitleLater();
    void ResetScrollBars();
    void UpdateCaretCell();
    // Painting (EditViewPaint.cpp).
    void PaintRows(QPainter& painter, const QRect& area);
    void PaintRow(QPainter& painter, int line, int firstCell, int cellCount, const DragRange* range,
                  int maxCols);
    // A UTF-8 row's run: plain cells drawn as one text, wide characters and the rest one
    // by one in their cells, invalid bytes in the comment colour.
    void PaintUtf8Run(QPainter& painter, const CellRun& run, int x, int y, const QColor& pen);

    std::unique_ptr<EditWindow> w_;
    QFont font_;
    int cw_ = 8;
    int ch_ = 16;
    int ascent_ = 12;
    int caretRow_ = 0;
    int caretColumn_ = 0;
    bool caretVisible_ = false;   // the engine's show / hide
    bool caretActive_ = false;    // the window has the focus (the caret exists)
    int wheelRest_ = 0;           // wheel delta short of a whole notch
    QTimer dragTimer_;            // repeats the drag step while the mouse is outside
    // Two seconds after the last paint, the pages of a file-backed text that the window
    // read (a save, a search through the file) leave its memory for the file cache.
    QTimer releaseTimer_;
    QPoint dragPoint_;
    std::string shownName_;       // the document's name as the title shows it
    bool shownModified_ = false;  // whether the title shows the change marker
    bool titleCheckPending_ = false;
    // Buffers of the painter, kept between paints to spare the allocations.
    std::u16string glyphs_;
    std::u32string cells32_;  // a UTF-8 row's cells (editing/Utf8Layout.h)
    std::vector<CellRun> runs_;
    // Built when a client first reads the text; nothing is spent on it before.
    std::unique_ptr<ShownText> shownText_;
    QTimer accessibleTimer_;
    int sentCaretLine_ = -1;
    int sentCaretCol_ = -1;
    int sentSelectionStart_ = -1;
    int sentSelectionEnd_ = -1;
};

}  // namespace varlin
