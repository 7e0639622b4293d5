// EditViewAccessible: the document window's widget as accessibility clients (screen
// readers) see it: editable text named by the document's title, read line by line from
// the document through ShownText, its caret, its marked range as the selection, and
// editing through the same actions as the keyboard's.
#pragma once

#include <QAccessibleWidget>

namespace varlin {

class EditView;
class ShownText;

// Installs the factory that gives every EditView this interface; once is enough.
void InstallEditViewAccessibility();

// Where the document windows' events go: to Qt, which hands them to a listening client,
// or, set by a test, to a receiver of its own that gets them whether a client listens
// or not (null gives them back to Qt).
using AccessibleEventSink = void (*)(QAccessibleEvent* event);
void SetAccessibleEventSink(AccessibleEventSink sink);
// Whether anybody hears the events (a client or the test's receiver).
bool AccessibleEventsHeard();
void SendAccessibleEvent(QAccessibleEvent& event);

class EditViewAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit EditViewAccessible(EditView* view);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;
    // Taking the focus brings the document's frame to the front as well: a view in a
    // window that is not active has no keyboard focus to take.
    void doAction(const QString& actionName) override;

    // Text.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Editable text: deleting marks the range and deletes it, inserting types the text
    // (a line break as Enter), so that undo and macro recording see what the keys do.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    enum class Side { Before, At, After };
    EditView* view() const;
    ShownText& shown() const;
    QString Around(Side side, int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                   int* endOffset) const;
};

}  // namespace varlin
