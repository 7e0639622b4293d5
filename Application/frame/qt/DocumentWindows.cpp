// Document windows in the frame: opening them, their title, the close question, the
// size remembered under "EditWind", the routine list and the frame's hooks.
#include "frame/qt/DocumentWindows.h"

#include "dispatch/Dispatch.h"
#include "document/FileLock.h"
#include "editing/EditActions.h"
#include "editing/GotoPosition.h"
#include "editing/Recording.h"
#include "editing/UndoRecord.h"
#include "frame/ButtonSet.h"
#include "frame/qt/MainFrame.h"
#include "frame/qt/RoutineListModel.h"
#include "platform/Host.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"
#include "view/DocumentWindow.h"
#include "view/qt/EditView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QListView>
#include <QMdiArea>
#include <QPointer>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <memory>

namespace varlin {
namespace {

bool ShiftHeld() { return QGuiApplication::keyboardModifiers() & Qt::ShiftModifier; }

// Command 15 and the macro Close: the window of that document is asked to close.
void CloseWindowOf(EditWindow& w) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        for (EditSubWindow* sub : top->findChildren<EditSubWindow*>()) {
            if (&sub->view()->window() == &w) {
                sub->close();
                return;
            }
        }
    }
}

QString TitleText(const EditWindow& w) {
    const std::string title = WindowTitle(w);
    if (w.doc->FileName().empty()) return QString::fromUtf8(title.c_str());
    return QFile::decodeName(QByteArray::fromStdString(title));
}

}  // namespace

// ---- EditSubWindow -----------------------------------------------------------------------

EditSubWindow::EditSubWindow(EditView* view, QWidget* parent) : QMdiSubWindow(parent), view_(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    setFocusProxy(view);
}

void EditSubWindow::UpdateTitle() { setWindowTitle(TitleText(view_->window())); }

void EditSubWindow::closeEvent(QCloseEvent* event) {
    if (QueryClose(view_->window()) == 0) {
        UpdateTitle();  // a save under a new name may have happened before it failed
        event->ignore();
        return;
    }
    // The window itself goes later, from the event loop; its file is let go now, so that
    // a macro or a test that opens the file again at once does not find it held.
    view_->window().doc->lockedFile.reset();
    emit documentClosed(view_->window().modified != 0);
    QMdiSubWindow::closeEvent(event);
}

void EditSubWindow::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    // Minimized or maximized sizes are not the window's own size.
    EditWindow& w = view_->window();
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) return;
    if (w.Maximized == 0 && (w.WindowWidth != width() || w.WindowHeight != height()))
        NoteEditWindowSize(w, width(), height());
}

void EditSubWindow::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    EditWindow& w = view_->window();
    if (windowState() & Qt::WindowMinimized) return;
    const bool maximized = windowState() & Qt::WindowMaximized;
    if (maximized != (w.Maximized == 1)) NoteEditWindowMaximized(w, maximized);
    if (!maximized) NoteEditWindowSize(w, width(), height());
}

EditView* EditViewOf(QMdiSubWindow* window) {
    auto* sub = qobject_cast<EditSubWindow*>(window);
    return sub ? sub->view() : nullptr;
}

// ---- Routine list ------------------------------------------------------------------------

RoutineCombo::RoutineCombo(MainFrame& frame, QWidget* parent) : QComboBox(parent), frame_(frame) {
    setObjectName(QStringLiteral("RoutineList"));
    setProperty("controlId", kRoutineListControl);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(24);
    setFocusPolicy(Qt::ClickFocus);
    setAccessibleName(QString::fromStdString(LoadAppString(kRoutineListNameId)));
    connect(this, &QComboBox::activated, this, [this](int index) { Choose(index); });
}

void FillRoutineList(QComboBox* box, const EditWindow& w) {
    if (!box) return;
    // One compact model for the whole list: entry by entry, a long list would take
    // seconds, and an item object per entry more memory than the file.
    auto* model = new RoutineListModel(RoutineList(w), w.doc->utf8, box);
    box->setModel(model);  // the old model, a child of the box, goes with it
    if (auto* list = qobject_cast<QListView*>(box->view())) list->setUniformItemSizes(true);
    box->setCurrentIndex(model->rowCount() == 0 ? -1 : 0);
    // From one empty current entry to another the box sees no change and would go on
    // showing the old document's routine.
    box->update();
}

void GotoRoutineLine(EditView* view, int line) {
    if (line < 0) {
        HostBeep();
        return;
    }
    if (!view) return;
    // Through the go-to operation, so that learn mode records the jump.
    EditWindow& w = view->window();
    GotoPosition(w, line + 1, MarginWidth(w) + 1);
    view->setFocus();
}

void RoutineCombo::Fill(EditSubWindow* window) {
    if (window) FillRoutineList(this, window->view()->window());
    else clear();
}

void RoutineCombo::showPopup() {
    Fill(qobject_cast<EditSubWindow*>(frame_.currentDocument()));
    QComboBox::showPopup();
}

void RoutineCombo::Choose(int index) {
    const QVariant line = itemData(index, Qt::UserRole);
    GotoRoutineLine(EditViewOf(frame_.currentDocument()), line.isValid() ? line.toInt() : -1);
}

RoutineCombo* FrameRoutineList(MainFrame& frame) { return frame.findChild<RoutineCombo*>(QStringLiteral("RoutineList")); }

QComboBox* ActiveRoutineList(MainFrame& frame) {
    if (frame.hooks().routineList) return frame.hooks().routineList();
    return FrameRoutineList(frame);
}

// ---- Opening -----------------------------------------------------------------------------

namespace {

EditView* OpenEditView(MainFrame& frame, const std::string& fileName) {
    std::unique_ptr<EditWindow> created = CreateEditWindow(fileName);
    if (!created) return nullptr;
    const int width = created->WindowWidth;
    const int height = created->WindowHeight;
    const bool maximized = created->Maximized == 1;
    auto* view = new EditView(std::move(created));
    auto* sub = new EditSubWindow(view);
    view->titleChanged = [sub] { sub->UpdateTitle(); };
    view->routineListRequested = [&frame] {
        if (QComboBox* list = ActiveRoutineList(frame)) {
            list->setFocus();
            list->showPopup();
        }
    };
    view->statusChanged = [&frame](int field) {
        FrameHooks& hooks = frame.hooks();
        if (hooks.refreshStatusField) hooks.refreshStatusField(field);
        else if (hooks.refreshStatus) hooks.refreshStatus();
    };
    frame.mdiArea()->addSubWindow(sub);
    sub->resize(std::max(width, 100), std::max(height, 60));
    sub->UpdateTitle();
    if (maximized) sub->showMaximized();
    else sub->show();
    frame.mdiArea()->setActiveSubWindow(sub);
    FinishOpening(view->window());
    view->setFocus();
    return view;
}

}  // namespace

int OpenEditWindow(MainFrame& frame, const std::string& fileName) {
    EditView* view = OpenEditView(frame, fileName);
    if (!view) return -1;
    OfferLeftoverBackups(view->window(), fileName, [&frame]() -> EditWindow* {
        EditView* untitled = OpenEditView(frame, std::string());
        return untitled ? &untitled->window() : nullptr;
    });
    return 0;
}

// ---- Hooks -------------------------------------------------------------------------------

namespace {

// Runs a function once the widget has painted for the first time (from the event loop,
// after the paint); at once from the event loop when it has painted before or is hidden.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* widget, std::function<void()> then) : QObject(widget), then_(std::move(then)) {
        widget->installEventFilter(this);
    }
    std::function<void()> then_;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            watched->setProperty(kPaintedProperty, true);
            QTimer::singleShot(0, watched, std::move(then_));
            deleteLater();
        }
        return false;
    }
    static constexpr const char* kPaintedProperty = "varlinPainted";
};

void AfterFirstPaint(QWidget* widget, QObject* context, std::function<void()> then) {
    if (widget->isVisible() && !widget->property(FirstPaintWatch::kPaintedProperty).toBool() &&
        !widget->findChild<FirstPaintWatch*>(QString(), Qt::FindDirectChildrenOnly)) {
        new FirstPaintWatch(widget, std::move(then));
        return;
    }
    if (auto* watch = widget->findChild<FirstPaintWatch*>(QString(), Qt::FindDirectChildrenOnly)) {
        watch->then_ = std::move(then);  // still waiting for the paint: the newest request
        return;
    }
    QTimer::singleShot(0, context, std::move(then));
}

}  // namespace

void InstallDocumentWindows(MainFrame& frame) {
    SetShiftKeyQuery(ShiftHeld);
    SetCloseRequestHandler(CloseWindowOf);
    EnsureLearnFileName();
    FrameHooks& hooks = frame.hooks();
    hooks.openDocument = [](MainFrame& f, const std::string& name) { return OpenEditWindow(f, name); };
    hooks.documentCommand = [](QMdiSubWindow* window, int commandId) {
        if (EditView* view = EditViewOf(window)) view->RunCommand(commandId);
    };
    hooks.documentState = [](QMdiSubWindow* window, DocumentMenuState& state) {
        EditView* view = EditViewOf(window);
        if (!view) return false;
        state.modified = view->window().modified != 0;
        state.rangeMarked = HasDrag(view->window());
        state.utf8 = view->window().doc->utf8;
        return true;
    };
    hooks.placeCursor = [](QMdiSubWindow* window, int line, int column) {
        if (EditView* view = EditViewOf(window)) PlaceCursorAt(view->window(), line, column);
    };
    hooks.documentFile = [](QMdiSubWindow* window) {
        EditView* view = EditViewOf(window);
        return view ? view->window().doc->FileName() : std::string();
    };
    hooks.repaintDocument = [](QMdiSubWindow* window) {
        if (EditView* view = EditViewOf(window)) view->viewport()->update();
    };
    hooks.documentActivated = [](QMdiSubWindow* window) {
        if (EditView* view = EditViewOf(window)) {
            SetActiveEditWindow(&view->window());
            view->setFocus();
            // The question's own box takes the activation and gives it back: not again.
            static bool asking = false;
            if (asking) return;
            asking = true;
            if (OfferReloadIfChanged(view->window()) == 1) view->viewport()->update();
            asking = false;
        }
    };
    if (!hooks.canUndo) hooks.canUndo = [] { return CanUndoIn(ActiveEditWindow()); };
    if (!hooks.canRedo) hooks.canRedo = [] { return CanRedoIn(ActiveEditWindow()); };
    if (!hooks.forgetUndo) hooks.forgetUndo = [] { ForgetUndo(); };
    if (!hooks.recording) hooks.recording = [] { return IsLearning(); };
    if (!hooks.recordAction) {
        hooks.recordAction = [](int actionId, const std::vector<std::string>& arguments) {
            if (arguments.empty()) RecordAction(actionId);
            for (const std::string& argument : arguments) RecordFileName(actionId, argument);
        };
    }

    hooks.fillRoutineList = [](QMdiSubWindow* window, QComboBox* box) {
        if (EditView* view = EditViewOf(window)) FillRoutineList(box, view->window());
    };
    hooks.gotoLine = [](QMdiSubWindow* window, int line) { GotoRoutineLine(EditViewOf(window), line); };

    // Until the frame's toolbar brings control 300, a plain list in a bar of its own.
    if (!hooks.routineList) {
        auto* bar = frame.addToolBar(QStringLiteral("Routinen"));
        bar->setObjectName(QStringLiteral("RoutineBar"));
        bar->setMovable(false);
        bar->addWidget(new RoutineCombo(frame, bar));
    }
    // The list follows the active document (WM_MDIACTIVATE). The last document closes
    // also while the frame is being destroyed: then only the list found before is used.
    // It is filled once the window has painted its text (at once when it is not shown), so
    // that reading a large file for its routines does not hold back the first screen; only
    // the window activated last fills it (pending), and not when it is gone meanwhile.
    auto list = std::make_shared<QPointer<QComboBox>>();
    auto pending = std::make_shared<QPointer<QMdiSubWindow>>();
    QObject::connect(frame.mdiArea(), &QMdiArea::subWindowActivated, frame.mdiArea(),
                     [&frame, list, pending](QMdiSubWindow* window) {
        *pending = window;
        EditView* view = EditViewOf(window);
        if (!view) {
            if (*list) (*list)->clear();
            return;
        }
        *list = ActiveRoutineList(frame);
        QPointer<QMdiSubWindow> guard(window);
        auto fill = [list, pending, guard] {
            if (!guard || *pending != guard) return;
            EditView* shown = EditViewOf(guard);
            if (shown && *list) FillRoutineList(*list, shown->window());
        };
        AfterFirstPaint(view->viewport(), frame.mdiArea(), fill);
    });
}

}  // namespace varlin
