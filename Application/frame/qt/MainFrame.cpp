// The frame window's behaviour: command dispatch, menu switching and enabling, opening
// files, arranging and closing the document windows, and the persisted geometry.
#include "frame/qt/MainFrame.h"

#include "editing/ColumnLayout.h"
#include "dispatch/CommandTable.h"
#include "frame/CommandRouting.h"
#include "frame/MenuEnabling.h"
#include "frame/OptionToggles.h"
#include "frame/qt/FrameKeyFilter.h"
#include "frame/qt/FrameMenus.h"
#include "platform/Host.h"
#include "platform/qt/QtHost.h"
#include "resources/StringTable.h"
#include "settings/Options.h"
#include "settings/SettingsSheet.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSessionManager>
#include <QStyle>
#include <QStatusBar>
#include <QRegularExpression>
#include <QTimer>

#include <sys/stat.h>

#include <algorithm>

namespace varlin {
namespace {

constexpr int kOpenTitleId = 1501;          // "Öffnen"
constexpr int kActionOpen = 22;             // macro actions written while recording
constexpr int kActionToggleInsertMode = 79;

// Two names of one file: the same device and inode when both exist, else the same text.
bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return a == b;
}

std::vector<QMdiSubWindow*> OpenWindows(QMdiArea* mdi) {
    std::vector<QMdiSubWindow*> open;
    for (QMdiSubWindow* w : mdi->subWindowList()) {
        if (!w->isHidden()) open.push_back(w);
    }
    return open;
}

}  // namespace

MainFrame::MainFrame(Application& app, FrameHooks hooks, QWidget* parent)
    : QMainWindow(parent), app_(app), hooks_(std::move(hooks)) {
    setObjectName("VARLIN32_MAIN");
    setWindowTitle(QString::fromStdString(FrameCaption(app_)));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // When the current window closes, the one used before it becomes current again.
    mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdi_);
    statusBar();
    menus_ = std::make_unique<FrameMenus>(*this);
    menus_->Show(kMenuIdNoDocument);
    // Activation and closing of document windows change the menu; the refresh waits for
    // the event loop, when a closed window has left the area's list.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
        QMetaObject::invokeMethod(this, &MainFrame::RefreshMenu, Qt::QueuedConnection);
    });
    keyFilter_ = std::make_unique<FrameKeyFilter>(*this);
    qApp->installEventFilter(keyFilter_.get());
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (CloseAllDocuments() > 0) manager.cancel();
    });
    RegisterOwnCommands();
}

// The application-level commands the frame carries out itself. The other parts register
// theirs (macros, bars, dialogs); a command nobody registered has no operation.
void MainFrame::RegisterOwnCommands() {
    RegisterCommand(kCmdNew, [this] { OpenDocument(""); });
    RegisterCommand(kCmdOpen, [this] { OpenDialog(); });
    RegisterCommand(kCmdExit, [this] { close(); });
    RegisterCommand(kCmdInsertMode, [this] { ToggleInsertModeCommand(); });
    RegisterCommand(kCmdCodeTable, [this] {
        ToggleCodeTable(*app_.options);
        RepaintDocuments();
        RefreshStatus();
    });
    RegisterCommand(kCmdCycleCode, [this] {
        CycleCodeTable(*app_.options, ActiveEditWindow());
        RepaintDocuments();
        RefreshStatus();
    });
    RegisterCommand(kCmdViewToggle, [this] {
        ToggleViewChars(*app_.options);
        RepaintDocuments();
        RefreshStatus();
    });
    RegisterCommand(kCmdArrangeCols, [this] { Arrange(1); });
    RegisterCommand(kCmdArrangeRows, [this] { Arrange(2); });
    RegisterCommand(kCmdTile, [this] { Arrange(3); });
    RegisterCommand(kCmdCascade, [this] { Arrange(4); });
    RegisterCommand(kCmdCloseAll, [this] { CloseAllDocuments(); });
    RegisterCommand(kCmdSettings, [this] {
        if (!app_.options) return;
        EditOptions({app_.options, [this] { RepaintDocuments(); }, [this] { RefreshStatus(); },
                     [](const Options& before) { FollowColumnLayout(before); }});
    });
}

MainFrame::~MainFrame() {
    if (qApp) qApp->removeEventFilter(keyFilter_.get());
    // The document windows and the bars go while the frame is still whole: the signals of
    // their closing may still ask it for its hooks and its current document.
    delete takeCentralWidget();
}

void MainFrame::RegisterCommand(int commandId, std::function<void()> handler) {
    handlers_[commandId] = std::move(handler);
}

bool MainFrame::HasCommand(int commandId) const {
    auto it = handlers_.find(commandId);
    return it != handlers_.end() && it->second;
}

bool MainFrame::HasOperation(int commandId) const {
    if (RouteOfCommand(commandId) == CommandRoute::Document) return DocumentCommandHasOperation(commandId);
    return HasCommand(commandId);
}

int MainFrame::RunCommand(int commandId) {
    if (!HasOperation(commandId)) return -1;
    CommandRoute route = RouteOfCommand(commandId);
    if (route == CommandRoute::Document) return SendToDocument(commandId);
    handlers_[commandId]();
    if (route == CommandRoute::FrameThenDocument) SendToDocument(commandId);
    return 0;
}

void MainFrame::PostCommand(int commandId) {
    QTimer::singleShot(0, this, [this, commandId] {
        // Inside a long loop's Escape poll nothing may run: try again afterwards.
        if (QtHostInsideEscapePoll()) PostCommand(commandId);
        else RunCommand(commandId);
    });
}

int MainFrame::SendToDocument(int commandId) {
    QMdiSubWindow* window = currentDocument();
    if (!window || !hooks_.documentCommand) return -1;
    hooks_.documentCommand(window, commandId);
    return 0;
}

void MainFrame::ToggleInsertModeCommand() {
    if (hooks_.forgetUndo) hooks_.forgetUndo();
    ToggleInsertMode(*app_.options);
    if (hooks_.recording && hooks_.recording() && hooks_.recordAction) {
        hooks_.recordAction(kActionToggleInsertMode, {});
    }
    RefreshStatus();
}

void MainFrame::RepaintDocuments() {
    for (QMdiSubWindow* w : OpenWindows(mdi_)) {
        if (w->isMinimized()) continue;
        if (hooks_.repaintDocument) hooks_.repaintDocument(w);
        else w->update();
    }
}

void MainFrame::RefreshStatus() {
    if (hooks_.refreshStatus) hooks_.refreshStatus();
}

QMdiSubWindow* MainFrame::currentDocument() const {
    QMdiSubWindow* w = mdi_->currentSubWindow();
    return w && !w->isHidden() ? w : nullptr;
}

int MainFrame::documentCount() const { return int(OpenWindows(mdi_).size()); }

void MainFrame::RefreshMenu() {
    QMdiSubWindow* current = currentDocument();
    menus_->Show(documentCount() > 0 ? kMenuIdDocument : kMenuIdNoDocument);
    if (current) {
        if (hooks_.documentActivated) hooks_.documentActivated(current);
        else if (QWidget* content = current->widget()) content->setFocus();
    }
    RefreshStatus();
}

void MainFrame::RetranslateMenus() {
    menus_->Retranslate();
    RefreshMenu();
}

int MainFrame::currentMenuId() const { return menus_->shownMenuId(); }

QAction* MainFrame::findAction(int commandId) const {
    return menus_->findAction(menus_->shownMenuId(), commandId);
}

int MainFrame::MenuFlags() const {
    MenuState state;
    state.recording = hooks_.recording && hooks_.recording();
    QMdiSubWindow* current = currentDocument();
    DocumentMenuState doc;
    if (current && (!hooks_.documentState || hooks_.documentState(current, doc))) {
        state.documentActive = true;
        state.modified = doc.modified;
        state.rangeMarked = doc.rangeMarked;
        state.canUndo = hooks_.canUndo && hooks_.canUndo();
        state.canRedo = hooks_.canRedo && hooks_.canRedo();
    }
    return ComputeMenuFlags(state);
}

bool MainFrame::IsCommandEnabled(int commandId, int flags) const {
    // Without a document its commands have no menu item at all (menu 107).
    if (RouteOfCommand(commandId) == CommandRoute::Document && !currentDocument()) return false;
    return HasOperation(commandId) && IsMenuItemEnabled(commandId, flags);
}

bool MainFrame::IsCommandEnabled(int commandId) const { return IsCommandEnabled(commandId, MenuFlags()); }

void MainFrame::UpdateMenuEnabling(QMenu* popup) {
    int flags = MenuFlags();
    for (QAction* action : popup->actions()) {
        bool ok = false;
        int id = action->data().toInt(&ok);
        if (!ok || id <= 0) continue;
        action->setEnabled(IsCommandEnabled(id, flags));
        if (id == kReadAsUtf8Item) {
            DocumentMenuState doc;
            QMdiSubWindow* current = currentDocument();
            action->setCheckable(true);
            action->setChecked(current && hooks_.documentState && hooks_.documentState(current, doc) && doc.utf8);
        }
        if (id == kLearnMacroItem) {
            // "Makro &lernen      F2 L": the blanks that aligned the key become a tab.
            QString text = QString::fromStdString(LoadAppString(LearnMacroTextId(flags)));
            if (!text.isEmpty()) {
                text.replace(QRegularExpression(" {3,}"), "\t");
                action->setText(text);
            }
        }
    }
}

int MainFrame::OpenDocument(const std::string& fileName) {
    if (hooks_.openDocument) return hooks_.openDocument(*this, fileName);
    waitingFiles_.push_back(fileName);
    return 0;
}

void MainFrame::OpenCommandLineFiles() {
    for (const FileSpot& spot : app_.commandFiles) OpenFileSpot(spot, Reuse::OpenAgain);
    if (app_.options && app_.options->AutoOpen) PostCommand(kCmdOpen);
}

QMdiSubWindow* MainFrame::OpenFileSpot(const FileSpot& spot, Reuse reuse) {
    QMdiSubWindow* window = nullptr;
    if (reuse == Reuse::ReuseOpen && hooks_.documentFile && !spot.name.empty()) {
        for (QMdiSubWindow* w : OpenWindows(mdi_)) {
            if (IsSameFile(hooks_.documentFile(w), spot.name)) window = w;
        }
        if (window) {
            if (window->isMinimized()) window->showNormal();
            mdi_->setActiveSubWindow(window);
        }
    }
    if (!window) {
        const int before = documentCount();
        if (OpenDocument(spot.name) != 0 || documentCount() == before) return nullptr;
        window = currentDocument();
    }
    if (window && spot.line > 0 && hooks_.placeCursor) hooks_.placeCursor(window, spot.line, spot.column);
    return window;
}

void MainFrame::OpenDialog() {
    FileDialogRequest request;
    request.mode = FileDialogMode::OpenMany;
    request.titleId = kOpenTitleId;
    request.filter = DialogFileFilter(app_.options ? app_.options->FileNameFilter : std::string());
    request.registryValue = "OpenFile";
    std::vector<std::string> names;
    if (!HostAskFileNames(request, names)) return;
    // As in batch mode: one Open line, for the first file that did open.
    const std::string* opened = nullptr;
    for (const std::string& name : names) {
        if (OpenDocument(name) == 0 && !opened) opened = &name;
    }
    if (opened && hooks_.recording && hooks_.recording() && hooks_.recordAction) {
        hooks_.recordAction(kActionOpen, {*opened});
    }
}

int MainFrame::CloseAllDocuments() {
    for (QMdiSubWindow* w : OpenWindows(mdi_)) w->close();
    return documentCount();
}

void MainFrame::Arrange(int mode) {
    if (mode == 3) {
        mdi_->tileSubWindows();
        return;
    }
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : OpenWindows(mdi_)) {
        if (!w->isMinimized()) windows.push_back(w);
    }
    if (windows.empty()) return;
    const QRect area = mdi_->viewport()->rect();
    if (mode == 4) {
        Cascade(windows, area);
        return;
    }
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[std::size_t(i)];
        if (w->isMaximized()) w->showNormal();
        if (mode == 1) {
            int x0 = area.width() * i / n, x1 = area.width() * (i + 1) / n;
            w->setGeometry(x0, 0, x1 - x0, area.height());
        } else {
            int y0 = area.height() * i / n, y1 = area.height() * (i + 1) / n;
            w->setGeometry(0, y0, area.width(), y1 - y0);
        }
    }
}

// Cascaded windows overlap by one title bar each and are as large as that leaves room
// for, at least two thirds of the area; a long row starts again at the top left. The
// current window ends on top.
void MainFrame::Cascade(const std::vector<QMdiSubWindow*>& windows, const QRect& area) {
    const int step = std::max(windows.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr,
                                                                     windows.front()), 16) + 4;
    const int n = int(windows.size());
    const int width = std::max(area.width() - step * (n - 1), area.width() * 2 / 3);
    const int height = std::max(area.height() - step * (n - 1), area.height() * 2 / 3);
    const int perRound = std::max(1, std::min((area.width() - width) / step, (area.height() - height) / step) + 1);
    QMdiSubWindow* current = currentDocument();
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[std::size_t(i)];
        if (w->isMaximized()) w->showNormal();
        const int offset = (i % perRound) * step;
        w->setGeometry(offset, offset, width, height);
        if (w != current) w->raise();
    }
    if (current) current->raise();
}

void MainFrame::ShowAsPersisted() {
    resize(std::max(app_.mainWindWidth, 200), std::max(app_.mainWindHeight, 150));
    if (app_.mainWindMax) showMaximized();
    else show();
}

void MainFrame::closeEvent(QCloseEvent* event) {
    // Every document window answers first (each may ask to save and may refuse).
    if (CloseAllDocuments() > 0) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!isMaximized() && !isMinimized() && !isFullScreen()) {
        app_.mainWindWidth = width();
        app_.mainWindHeight = height();
    }
}

void MainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) app_.mainWindMax = isMaximized() ? 1 : 0;
    // Coming back to the frame puts the focus and caret back into the current document.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        QMetaObject::invokeMethod(this, &MainFrame::RefreshMenu, Qt::QueuedConnection);
    }
}

}  // namespace varlin
