// The document window's widget: the ViewHooks, keys and typed characters, the mouse with
// marking and automatic scrolling, the scroll bars and the wheel, focus and caret.
#include "view/qt/EditView.h"

#include "view/ShownText.h"
#include "view/qt/EditViewAccessible.h"

#include "editing/EditActions.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "platform/Host.h"
#include "platform/qt/KeyCodes.h"
#include "settings/Options.h"
#include "textutil/CodeTables.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace varlin {
namespace {

constexpr int kInset = 4;            // the text area starts 4 pixels in from the top left
constexpr int kWheelNotch = 120;

// Milliseconds between two automatic scroll steps while marking, by how many pixels the
// mouse is outside the text area: 10 steps a second just outside, 50 at most.
int AutoScrollInterval(int outside) { return std::clamp(100 - outside, 20, 100); }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

QFont BaseFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // A size of its own, or a painter would take the size of the widget it paints on,
    // and the glyphs would no longer fit the cell measured at start-up.
    font.setPointSizeF(QFontInfo(font).pointSizeF());
    return font;
}

ScrollCode CodeOfAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return ScrollCode::LineForward;
    case QAbstractSlider::SliderSingleStepSub: return ScrollCode::LineBack;
    case QAbstractSlider::SliderPageStepAdd: return ScrollCode::PageForward;
    case QAbstractSlider::SliderPageStepSub: return ScrollCode::PageBack;
    case QAbstractSlider::SliderToMinimum: return ScrollCode::Start;
    case QAbstractSlider::SliderToMaximum: return ScrollCode::End;
    case QAbstractSlider::SliderMove: return ScrollCode::ThumbTrack;
    default: return ScrollCode::Other;
    }
}

}  // namespace

QFont ScreenFont(int cellWidth) {
    QFont font = BaseFont();
    // Fractional advances would let a long run drift off the cell grid.
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('M'));
    if (cellWidth > 0 && std::fabs(advance - cellWidth) > 0.001)
        font.setLetterSpacing(QFont::AbsoluteSpacing, cellWidth - advance);
    return font;
}

CharacterCell& ScreenCell() {
    static CharacterCell cell;
    return cell;
}

void EnsureCharacterCell() {
    CharacterCell& cell = ScreenCell();
    if (cell.width > 0 && cell.height > 0) return;
    QFontMetrics metrics(BaseFont());
    cell.width = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
    cell.height = std::max(1, metrics.height());
}

int Windows1252Byte(char16_t c) {
    static const std::array<std::int16_t, 65536>* table = [] {
        auto* t = new std::array<std::int16_t, 65536>;
        t->fill(-1);
        for (int b = 255; b >= 32; --b) {
            if (b == 127) continue;
            (*t)[AnsiGlyph(static_cast<unsigned char>(b))] = static_cast<std::int16_t>(b);
        }
        (*t)[u'\t'] = 9;
        return t;
    }();
    return (*table)[c];
}

EditView::EditView(std::unique_ptr<EditWindow> window, QWidget* parent)
    : QAbstractScrollArea(parent), w_(std::move(window)) {
    setObjectName(QStringLiteral("VARLIN32_EDIT"));
    EnsureCharacterCell();
    cw_ = ScreenCell().width;
    ch_ = ScreenCell().height;
    font_ = ScreenFont(cw_);
    ascent_ = QFontMetrics(font_).ascent();
    ViewHooks& v = w_->view;
    v.context = this;
    v.invalidateLines = HookInvalidateLines;
    v.invalidateAll = HookInvalidateAll;
    v.scrollBy = HookScrollBy;
    v.setScrollBar = HookSetScrollBar;
    v.placeCaret = HookPlaceCaret;
    v.showCaret = HookShowCaret;
    v.viewportSize = HookViewportSize;
    v.refreshStatus = HookRefreshStatus;

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::ArrowCursor);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(ScrollBar::Vertical, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnScrollAction(ScrollBar::Horizontal, action); });
    dragTimer_.setSingleShot(true);
    connect(&dragTimer_, &QTimer::timeout, this, [this] { DragStep(); });
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setInterval(2000);
    connect(&releaseTimer_, &QTimer::timeout, this, [this] { w_->doc->ReleaseReadPages(); });
    accessibleTimer_.setSingleShot(true);
    accessibleTimer_.setInterval(0);
    connect(&accessibleTimer_, &QTimer::timeout, this, [this] { SyncAccessible(); });
    InstallEditViewAccessibility();
}

EditView::~EditView() {
    w_->view = ViewHooks{};
    if (ActiveEditWindow() == w_.get()) SetActiveEditWindow(nullptr);
}

// ---- Hooks -------------------------------------------------------------------------------

void EditView::HookInvalidateLines(void* self, int first, int last) {
    auto* v = static_cast<EditView*>(self);
    v->CheckTitleLater();
    v->NoteAccessibleChange();
    int lines = 0;
    int cols = 0;
    HookViewportSize(self, &lines, &cols);
    const long long r0 = std::max<long long>(static_cast<long long>(first) - v->w_->firstLine, 0);
    const long long r1 = std::min<long long>(static_cast<long long>(last) - v->w_->firstLine, lines + 1);
    if (r1 < r0) return;
    const int top = kInset + static_cast<int>(r0) * v->ch_;
    v->viewport()->update(0, top, v->viewport()->width(), static_cast<int>(r1 - r0 + 1) * v->ch_);
}

void EditView::HookInvalidateAll(void* self) {
    auto* v = static_cast<EditView*>(self);
    v->CheckTitleLater();
    v->NoteAccessibleChange();
    v->viewport()->update();
}

void EditView::CheckTitleLater() {
    // A change repaints before the action sets the modified flag: the title looks once
    // the action is done.
    if (titleCheckPending_) return;
    titleCheckPending_ = true;
    QMetaObject::invokeMethod(this, [this] {
        titleCheckPending_ = false;
        NoteFileName();
    }, Qt::QueuedConnection);
}

void EditView::HookScrollBy(void* self, int rows, int columns) {
    auto* v = static_cast<EditView*>(self);
    QWidget* port = v->viewport();
    const QRect area(kInset, kInset, port->width() - kInset, port->height() - kInset);
    const long long dy = static_cast<long long>(rows) * v->ch_;
    const long long dx = static_cast<long long>(columns) * v->cw_;
    if (std::llabs(dy) >= area.height() || std::llabs(dx) >= area.width()) {
        port->update();
        return;
    }
    // The caret's pixels move with the text: its old place is painted again.
    const QRect caret = v->cellRect(v->caretRow_, v->caretColumn_);
    port->scroll(static_cast<int>(-dx), static_cast<int>(-dy), area);
    port->update(caret.translated(static_cast<int>(-dx), static_cast<int>(-dy)));
}

void EditView::HookSetScrollBar(void* self, ScrollBar bar, int position, int maximum, int page) {
    auto* v = static_cast<EditView*>(self);
    QScrollBar* sb = bar == ScrollBar::Vertical ? v->verticalScrollBar() : v->horizontalScrollBar();
    const QSignalBlocker block(sb);
    sb->setRange(0, maximum);
    sb->setPageStep(std::max(page, 1));
    sb->setValue(position);
    sb->setSliderPosition(position);
}

void EditView::HookPlaceCaret(void* self, int row, int column) {
    auto* v = static_cast<EditView*>(self);
    // The caret may move through the document while its cell stays.
    v->NoteAccessibleChange();
    if (row == v->caretRow_ && column == v->caretColumn_) return;
    v->UpdateCaretCell();
    v->caretRow_ = row;
    v->caretColumn_ = column;
    v->UpdateCaretCell();
}

void EditView::HookShowCaret(void* self, bool visible) {
    auto* v = static_cast<EditView*>(self);
    v->caretVisible_ = visible;
    v->UpdateCaretCell();
}

void EditView::HookViewportSize(void* self, int* lines, int* columns) {
    auto* v = static_cast<EditView*>(self);
    *lines = std::max(0, (v->viewport()->height() - kInset) / v->ch_);
    *columns = std::max(0, (v->viewport()->width() - kInset) / v->cw_);
}

void EditView::HookRefreshStatus(void* self, int field) {
    auto* v = static_cast<EditView*>(self);
    v->NoteAccessibleChange();
    // Every save refreshes the status line, whichever road it came by (a key, a script,
    // the close question): the title follows a new name here.
    v->NoteFileName();
    if (v->statusChanged && (ActiveEditWindow() == v->w_.get() || ActiveEditWindow() == nullptr))
        v->statusChanged(field);
}

QRect EditView::cellRect(int row, int column) const {
    return QRect(kInset + column * cw_, kInset + row * ch_, cw_, ch_);
}

void EditView::UpdateCaretCell() { viewport()->update(cellRect(caretRow_, caretColumn_)); }

TextPos EditView::positionAt(QPoint pixel) const {
    long long line = static_cast<long long>(FloorDiv(pixel.y() - kInset, ch_)) + w_->firstLine;
    long long col = static_cast<long long>(FloorDiv(pixel.x() - kInset, cw_)) + w_->firstCol;
    if (line < 0) return TextPos{0, 0};
    col = std::clamp<long long>(col, 0, MaxCols(*w_) - 1);
    return TextPos{static_cast<int>(std::min<long long>(line, 0x7FFF0000LL)), static_cast<int>(col)};
}

// ---- Commands, keys and characters -------------------------------------------------------

void EditView::RunCommand(int commandId) {
    // A closed window is deleted only once the event loop runs again, so w_ stays valid.
    CommandEffect effect = RunWindowCommand(*w_, commandId);
    NoteFileName();
    if (effect == CommandEffect::OpenRoutineList && routineListRequested) routineListRequested();
}

void EditView::NoteFileName() {
    const bool modified = w_->modified != 0;
    if (w_->doc->FileName() == shownName_ && modified == shownModified_) return;
    shownName_ = w_->doc->FileName();
    shownModified_ = modified;
    if (titleChanged) titleChanged();
    if (AccessibleEventsHeard()) {
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        SendAccessibleEvent(renamed);
    }
}

void EditView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift) {
        // Held down, the key repeats; the macro needs it once.
        if (!event->isAutoRepeat()) RecordAction(kActShiftKeyDown);
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrlOrAlt = mods & (Qt::ControlModifier | Qt::AltModifier);
    if (ctrlOrAlt && !IsAltGrCharacter(event)) return;  // combinations type nothing
    TypeText(event->text());
}

void EditView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift && !event->isAutoRepeat()) RecordAction(kActShiftKeyUp);
}

void EditView::TypeText(const QString& text) {
    if (w_->doc->utf8) {
        // A UTF-8 document takes every character, those beyond the 16-bit range included.
        for (char32_t u : text.toUcs4()) {
            if (u < 32 || u == 127) continue;
            InsertChar(*w_, static_cast<int>(u));
        }
        return;
    }
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 32 || u == 127) continue;  // Enter, Tab, Backspace and Esc are commands
        const int byte = Windows1252Byte(u);
        if (byte < 0) HostBeep();
        else InsertChar(*w_, byte);
    }
}

// ---- Mouse -------------------------------------------------------------------------------

void EditView::mousePressEvent(QMouseEvent* event) {
    dragTimer_.stop();
    if (event->button() != Qt::LeftButton) return;
    ForgetUndo();
    TextPos p = positionAt(event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    EditWindow& w = *w_;
    ClearDrag(w);
    if (event->modifiers() & Qt::ShiftModifier) {
        StartDrag(w, kDragMarked, w.mouseAnchorLine, w.mouseAnchorCol, p.line, p.col);
        return;
    }
    w.mouseAnchorLine = p.line;
    w.mouseAnchorCol = p.col;
    StartDrag(w, kDragMouse, p.line, p.col, p.line, p.col);
    SetCaret(w, p.line, std::max(p.col, MarginWidth(w)));
    RefreshStatus(w, kStatusLine);
    RefreshStatus(w, kStatusColumn);
}

void EditView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        dragTimer_.stop();
        return;
    }
    dragPoint_ = event->position().toPoint();
    // While the view scrolls by itself, moving the mouse changes the pace, not the count
    // of steps; the range follows the mouse at once.
    if (dragTimer_.isActive()) {
        const TextPos p = positionAt(dragPoint_);
        if (w_->dragKind == kDragMouse) ExtendDrag(*w_, p.line, p.col);
        return;
    }
    DragStep();
}

// One step of marking with the button held: outside the text area the view scrolls by
// the mouse hysteresis plus one, and the step repeats until the mouse moves or comes up.
// The pace is one a reader can follow, quicker the further the mouse is outside, and
// scrolling down ends once the last line has reached the top of the window.
void EditView::DragStep() {
    const Options& o = CurrentOptions();
    const QRect client = viewport()->rect();
    int dLines = 0;
    int dCols = 0;
    int outside = 0;
    if (dragPoint_.y() < client.top()) {
        dLines = -(o.MouseHystVert + 1);
        outside = client.top() - dragPoint_.y();
    } else if (dragPoint_.y() > client.bottom()) {
        dLines = o.MouseHystVert + 1;
        outside = dragPoint_.y() - client.bottom();
        dLines = std::clamp(w_->LineCount() - 1 - w_->firstLine, 0, dLines);
    }
    if (dragPoint_.x() < client.left()) {
        dCols = -(o.MouseHystHori + 1);
        outside = std::max(outside, client.left() - dragPoint_.x());
    } else if (dragPoint_.x() > client.right()) {
        dCols = o.MouseHystHori + 1;
        outside = std::max(outside, dragPoint_.x() - client.right());
    }
    if (dLines != 0 || dCols != 0) {
        ScrollOriginBy(*w_, dCols, dLines);
        viewport()->repaint();
        if (QGuiApplication::mouseButtons() & Qt::LeftButton) dragTimer_.start(AutoScrollInterval(outside));
    }
    TextPos p = positionAt(dragPoint_);
    if (w_->dragKind == kDragMouse) ExtendDrag(*w_, p.line, p.col);
}

void EditView::mouseReleaseEvent(QMouseEvent* event) {
    dragTimer_.stop();
    if (event->button() != Qt::LeftButton) return;
    ForgetUndo();
    TextPos p = positionAt(event->position().toPoint());
    EditWindow& w = *w_;
    if (w.dragKind != kDragMouse) return;
    ExtendDrag(w, p.line, p.col);
    if (HasDrag(w)) {
        w.dragKind = kDragMarked;
        RefreshStatus(w, kStatusRange);
    } else {
        ClearDrag(w);
    }
}

void EditView::mouseDoubleClickEvent(QMouseEvent* event) {
    dragTimer_.stop();
    if (event->button() == Qt::LeftButton) ForgetUndo();
}

// ---- Scrolling ---------------------------------------------------------------------------

void EditView::wheelEvent(QWheelEvent* event) {
    wheelRest_ += event->angleDelta().y();
    while (std::abs(wheelRest_) >= kWheelNotch) {
        const bool towardsUser = wheelRest_ < 0;
        wheelRest_ += towardsUser ? kWheelNotch : -kWheelNotch;
        ScrollRequest(*w_, ScrollBar::Vertical, towardsUser ? ScrollCode::WheelForward : ScrollCode::WheelBack);
    }
    event->accept();
}

void EditView::OnScrollAction(ScrollBar bar, int action) {
    QScrollBar* sb = bar == ScrollBar::Vertical ? verticalScrollBar() : horizontalScrollBar();
    ScrollRequest(*w_, bar, CodeOfAction(action), sb->sliderPosition());
    // Qt applies the slider position once this returns: it must be where the engine put
    // the origin (the value, which only the engine sets), not where Qt's own step went.
    sb->setSliderPosition(sb->value());
}

void EditView::scrollContentsBy(int, int) {
    // The engine scrolls the pixels itself (ViewHooks::scrollBy).
}

void EditView::ResetScrollBars() {
    int visLines = 0;
    int visCols = 0;
    VisibleSize(*w_, visLines, visCols);
    SetScrollBar(*w_, ScrollBar::Vertical, 0, w_->firstLine, w_->LineCount());
    SetScrollBar(*w_, ScrollBar::Horizontal, 0, w_->firstCol, MaxCols(*w_) - visCols + 1);
}

void EditView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    viewport()->update();
    ResetScrollBars();
}

// ---- Focus and caret ---------------------------------------------------------------------

void EditView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    SetActiveEditWindow(w_.get());
    caretActive_ = true;
    PlaceSystemCaret(*w_);
    if (w_->dragKind == kDragNone) {
        ShowCaret(*w_);
        caretVisible_ = true;
    }
    UpdateCaretCell();
}

void EditView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    HideCaret(*w_);
    caretActive_ = false;
    UpdateCaretCell();
}

bool EditView::focusNextPrevChild(bool) { return false; }

QVariant EditView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle) return cellRect(caretRow_, caretColumn_).translated(viewport()->pos());
    return QAbstractScrollArea::inputMethodQuery(query);
}

}  // namespace varlin
