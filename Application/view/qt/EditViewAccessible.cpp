// The document window's widget for accessibility clients, and the view's side of it:
// the shown text kept in step with the document and the events of its changes.
#include "view/qt/EditViewAccessible.h"

#include "editing/EditActions.h"
#include "editing/UndoRecord.h"
#include "view/DocumentWindow.h"
#include "view/ShownText.h"
#include "view/qt/EditView.h"

#include <QMdiSubWindow>

#include <algorithm>
#include <climits>

namespace varlin {
namespace {

QString ToQString(const std::u16string& s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

int ToInt(long long n) { return static_cast<int>(std::clamp<long long>(n, -1, INT_MAX)); }

// A few lines of the document as a text of their own, so that Qt's own rules for
// characters, words, sentences and lines apply to them as to any text.
class TextWindow : public QAccessibleTextInterface {
public:
    explicit TextWindow(QString text) : text_(std::move(text)) {}
    QString Ask(int side, int offset, QAccessible::TextBoundaryType type, int* start, int* end) const {
        if (side < 0) return QAccessibleTextInterface::textBeforeOffset(offset, type, start, end);
        if (side > 0) return QAccessibleTextInterface::textAfterOffset(offset, type, start, end);
        return QAccessibleTextInterface::textAtOffset(offset, type, start, end);
    }
    int size() const { return static_cast<int>(text_.size()); }

    void selection(int, int* s, int* e) const override { *s = *e = -1; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int s, int e) const override { return text_.mid(s, e - s); }
    int characterCount() const override { return size(); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int*, int*) const override { return {}; }

private:
    QString text_;
};

constexpr int kWidestWindow = 4096;  // lines each side before a boundary search gives up

AccessibleEventSink eventSink = nullptr;

}  // namespace

void SetAccessibleEventSink(AccessibleEventSink sink) { eventSink = sink; }

bool AccessibleEventsHeard() { return eventSink || QAccessible::isActive(); }

void SendAccessibleEvent(QAccessibleEvent& event) {
    if (eventSink) eventSink(&event);
    else QAccessible::updateAccessibility(&event);
}

// ---- The view's side ---------------------------------------------------------------------

ShownText& EditView::accessibleText() {
    if (!shownText_) {
        shownText_ = std::make_unique<ShownText>(*w_);
        RememberShownRows();
        sentCaretLine_ = w_->caretLine;
        sentCaretCol_ = w_->caretCol;
        accessibleSelection(&sentSelectionStart_, &sentSelectionEnd_);
    } else {
        SyncAccessible();
    }
    return *shownText_;
}

void EditView::NoteAccessibleChange() {
    // Nothing at all while no client listens: typing must not pay for it.
    if (AccessibleEventsHeard() && !accessibleTimer_.isActive()) accessibleTimer_.start();
}

void EditView::RememberShownRows() {
    int lines = 0;
    int cols = 0;
    VisibleSize(*w_, lines, cols);
    int first = w_->firstLine - 1;
    int last = w_->firstLine + lines + 1;
    // The caret's line, even when the window shows others (a macro moved it).
    if (w_->caretLine < first || w_->caretLine > last) first = last = w_->caretLine;
    shownText_->Remember(first, last);
}

void EditView::SyncAccessible() {
    accessibleTimer_.stop();
    if (!shownText_) {
        if (AccessibleEventsHeard()) accessibleText();
        return;
    }
    const ShownText::Change change = shownText_->Sync();
    RememberShownRows();
    if (!AccessibleEventsHeard()) return;
    if (change.Any()) {
        // A removal and an insertion rather than one update event: every bridge passes
        // those on with their texts.
        const int at = ToInt(change.position);
        if (!change.removed.empty()) {
            QAccessibleTextRemoveEvent removed(this, at, ToQString(change.removed));
            SendAccessibleEvent(removed);
        }
        if (!change.inserted.empty()) {
            QAccessibleTextInsertEvent inserted(this, at, ToQString(change.inserted));
            SendAccessibleEvent(inserted);
        }
    }
    int start = -1;
    int end = -1;
    accessibleSelection(&start, &end);
    if (start != sentSelectionStart_ || end != sentSelectionEnd_) {
        sentSelectionStart_ = start;
        sentSelectionEnd_ = end;
        QAccessibleTextSelectionEvent selected(this, start, end);
        SendAccessibleEvent(selected);
    }
    if (change.Any() || w_->caretLine != sentCaretLine_ || w_->caretCol != sentCaretCol_) {
        sentCaretLine_ = w_->caretLine;
        sentCaretCol_ = w_->caretCol;
        QAccessibleTextCursorEvent moved(this, accessibleOffset(w_->caretLine, w_->caretCol));
        SendAccessibleEvent(moved);
    }
}

int EditView::accessibleOffset(int line, int col) const {
    const ShownText& t = *shownText_;
    if (line >= w_->LineCount() || line >= t.LineCount()) return ToInt(t.Length());
    line = std::max(line, 0);
    const int index = ColumnToIndex(*w_, w_->doc->LineView(line), col);
    return ToInt(t.LineStart(line) + t.UnitsBefore(line, index));
}

TextPos EditView::accessiblePosition(int offset) const {
    const ShownText& t = *shownText_;
    const long long at = std::clamp<long long>(offset, 0, t.Length());
    const int line = t.LineOf(at);
    const int units = static_cast<int>(std::min<long long>(at - t.LineStart(line), t.LineLength(line)));
    const int index = t.ByteIndexAt(line, units);
    return TextPos{line, IndexToColumn(*w_, w_->doc->LineView(line), index)};
}

void EditView::accessibleSelection(int* start, int* end) const {
    *start = *end = -1;
    DragRange r;
    if (GetNormalizedDrag(*w_, r) == kDragNone) return;
    const ShownText& t = *shownText_;
    *start = accessibleOffset(std::max(r.FromLine, 0), std::max(r.FromCol, MarginWidth(*w_)));
    // The range's last column is marked with it; beyond the text it takes the line break.
    const int line = std::max(r.ToLine, 0);
    if (line >= w_->LineCount() || line >= t.LineCount()) {
        *end = ToInt(t.Length());
        return;
    }
    const std::string_view bytes = w_->doc->LineView(line);
    const int index = ColumnToIndex(*w_, bytes, r.ToCol);
    if (index < static_cast<int>(bytes.size()))
        *end = ToInt(t.LineStart(line) + t.UnitsBefore(line, NextCharIndex(*w_, bytes, index)));
    else
        *end = ToInt(std::min(t.LineStart(line) + t.LineLength(line) + 1, t.Length()));
    // Marked cells beyond the text hold no character.
    if (*end <= *start) *start = *end = -1;
}

// ---- The interface -----------------------------------------------------------------------

void InstallEditViewAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
            if (className != QLatin1String(EditView::staticMetaObject.className())) return nullptr;
            return new EditViewAccessible(static_cast<EditView*>(object));
        });
        return true;
    }();
    (void)installed;
}

EditViewAccessible::EditViewAccessible(EditView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

EditView* EditViewAccessible::view() const { return static_cast<EditView*>(widget()); }

ShownText& EditViewAccessible::shown() const { return view()->accessibleText(); }

void* EditViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString EditViewAccessible::text(QAccessible::Text type) const {
    if (type != QAccessible::Name) return QAccessibleWidget::text(type);
    for (QWidget* p = view()->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<QMdiSubWindow*>(p)) return p->windowTitle();
    }
    return QString::fromStdString(WindowTitle(view()->window()));
}

QAccessible::State EditViewAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.multiLine = true;
    s.selectableText = true;
    s.focusable = true;
    return s;
}

void EditViewAccessible::doAction(const QString& actionName) {
    if (actionName == setFocusAction() && view()->isEnabled()) {
        view()->QWidget::window()->activateWindow();
        view()->setFocus(Qt::OtherFocusReason);
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

void EditViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    shown();
    *startOffset = *endOffset = -1;
    if (selectionIndex == 0) view()->accessibleSelection(startOffset, endOffset);
}

int EditViewAccessible::selectionCount() const {
    shown();
    int start = -1;
    int end = -1;
    view()->accessibleSelection(&start, &end);
    return start >= 0 ? 1 : 0;
}

void EditViewAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void EditViewAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex != 0) return;
    ClearDrag(view()->window());
    RefreshStatus(view()->window(), kStatusRange);
}

void EditViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0) return;
    shown();
    EditWindow& w = view()->window();
    if (startOffset > endOffset) std::swap(startOffset, endOffset);
    if (startOffset == endOffset) {
        removeSelection(0);
        return;
    }
    // The range's moving end stands on the first character after it.
    const TextPos from = view()->accessiblePosition(startOffset);
    const TextPos to = view()->accessiblePosition(endOffset);
    ClearDrag(w);
    StartDrag(w, kDragMarked, from.line, from.col, to.line, to.col);
    RefreshStatus(w, kStatusRange);
}

int EditViewAccessible::cursorPosition() const {
    shown();
    const EditWindow& w = view()->window();
    return view()->accessibleOffset(w.caretLine, w.caretCol);
}

void EditViewAccessible::setCursorPosition(int position) {
    shown();
    EditWindow& w = view()->window();
    const TextPos p = view()->accessiblePosition(position);
    // As a click puts it there: the undo step and the marked range go.
    ForgetUndo();
    ClearDrag(w);
    SetCaret(w, p.line, p.col);
}

QString EditViewAccessible::text(int startOffset, int endOffset) const {
    const ShownText& t = shown();
    if (endOffset < 0) endOffset = ToInt(t.Length());
    return ToQString(t.Text(startOffset, endOffset));
}

int EditViewAccessible::characterCount() const { return ToInt(shown().Length()); }

QString EditViewAccessible::Around(Side side, int offset, QAccessible::TextBoundaryType boundaryType,
                                   int* startOffset, int* endOffset) const {
    const ShownText& t = shown();
    *startOffset = *endOffset = -1;
    const long long length = t.Length();
    if (offset == -1) offset = ToInt(length);
    if (offset < 0 || offset > length) return {};
    // Qt's search for the item at the very end of a text never returns (Qt 6.4): there
    // is no character there, so nothing is at that offset.
    if (side == Side::At && offset == length && boundaryType != QAccessible::LineBoundary) return {};
    if (boundaryType == QAccessible::NoBoundary) {
        if (side != Side::At) return {};
        *startOffset = 0;
        *endOffset = ToInt(length);
        return ToQString(t.Text(0, length));
    }
    // Qt's rules on the lines around the offset; a result that reaches the edge of those
    // lines may go on beyond them, so the window widens until it does not.
    const int line = t.LineOf(offset);
    const int last = t.LineCount() - 1;
    for (int span = 1;; span *= 8) {
        const int a = std::max(line - span, 0);
        const int b = std::min(line + span, last);
        const long long base = t.LineStart(a);
        const long long end = b < last ? t.LineStart(b + 1) : length;
        const TextWindow window(ToQString(t.Text(base, end)));
        int s = -1;
        int e = -1;
        const QString found = window.Ask(static_cast<int>(side) - 1, static_cast<int>(offset - base), boundaryType, &s, &e);
        // Nothing found looks further only the way the question looks.
        const bool back = a > 0 && (s == 0 || (s < 0 && side == Side::Before));
        const bool ahead = b < last && (e >= window.size() || (s < 0 && side == Side::After));
        if (!(back || ahead) || span >= kWidestWindow) {
            // Nothing found keeps Qt's marks (the window then starts the text).
            *startOffset = s >= 0 ? ToInt(s + base) : s;
            *endOffset = s >= 0 ? ToInt(e + base) : e;
            return found;
        }
    }
}

QString EditViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const {
    return Around(Side::Before, offset, boundaryType, startOffset, endOffset);
}

QString EditViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    return Around(Side::After, offset, boundaryType, startOffset, endOffset);
}

QString EditViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int* startOffset, int* endOffset) const {
    return Around(Side::At, offset, boundaryType, startOffset, endOffset);
}

QRect EditViewAccessible::characterRect(int offset) const {
    shown();
    const EditWindow& w = view()->window();
    const TextPos p = view()->accessiblePosition(offset);
    // A tab covers the cells up to its stop, a wide character two.
    const std::string_view bytes = w.doc->LineView(p.line);
    const int index = ColumnToIndex(w, bytes, p.col);
    int cells = 1;
    if (index < static_cast<int>(bytes.size()))
        cells = std::max(IndexToColumn(w, bytes, NextCharIndex(w, bytes, index)) - p.col, 1);
    QRect cell = view()->cellRect(p.line - w.firstLine, p.col - w.firstCol);
    cell.setWidth(cell.width() * cells);
    return QRect(view()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

int EditViewAccessible::offsetAtPoint(const QPoint& point) const {
    shown();
    const QPoint local = view()->viewport()->mapFromGlobal(point);
    if (!view()->viewport()->rect().contains(local)) return -1;
    const TextPos p = view()->positionAt(local);
    if (p.line >= view()->window().LineCount()) return -1;
    return view()->accessibleOffset(p.line, p.col);
}

void EditViewAccessible::scrollToSubstring(int startIndex, int) {
    shown();
    const TextPos p = view()->accessiblePosition(startIndex);
    EnsureVisible(view()->window(), p.line, p.col);
}

QString EditViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // No attributes; one run per line keeps a client from asking character by character.
    const ShownText& t = shown();
    const int line = t.LineOf(std::clamp<long long>(offset, 0, t.Length()));
    *startOffset = ToInt(t.LineStart(line));
    *endOffset = ToInt(t.LineStart(line) + t.LineLength(line));
    return {};
}

void EditViewAccessible::deleteText(int startOffset, int endOffset) {
    if (startOffset == endOffset) return;
    setSelection(0, startOffset, endOffset);
    Delete(view()->window());
}

void EditViewAccessible::insertText(int offset, const QString& text) {
    setCursorPosition(offset);
    EditWindow& w = view()->window();
    QString run;
    auto type = [&] {
        view()->TypeText(run);
        run.clear();
    };
    for (QChar c : text) {
        if (c == QLatin1Char('\n')) {
            type();
            Linefeed(w);
        } else if (c == QLatin1Char('\t')) {
            type();
            InsertChar(w, '\t');
        } else if (c != QLatin1Char('\r')) {
            run += c;
        }
    }
    type();
}

void EditViewAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    deleteText(startOffset, endOffset);
    insertText(std::min(startOffset, endOffset), text);
}

}  // namespace varlin
