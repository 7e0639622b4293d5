// The toolbar's buttons and its routine list.
#include "frame/qt/Toolbar.h"

#include "frame/qt/ToolbarIcons.h"
#include "resources/Menus.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QFileInfo>
#include <QLayout>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace varlin {
namespace {

constexpr int kWideRoutineList = 24;   // characters shown in a horizontal bar
constexpr int kNarrowRoutineList = 6;  // and in a vertical one
constexpr int kConfigureCommand = 82;
constexpr int kMacroListCommand = 95;
constexpr int kCodeTableCommand = 81;
constexpr int kCodeTableFieldText = 504;  // "Codetabelle"

QString MenuLabel(int commandId) {
    const MenuItem* item = FindMenuItem(MenuResource(kMenuIdDocument), commandId);
    if (!item) item = FindMenuItem(MenuResource(kMenuIdNoDocument), commandId);
    // The code table has no menu item; it is called what its status field shows.
    if (!item && commandId == kCodeTableCommand) return QString::fromStdString(LoadAppString(kCodeTableFieldText));
    if (!item) return {};
    QString label = QString::fromStdString(StripMnemonic(MenuItemLabel(*item, GetAppLanguage())));
    label = label.trimmed();
    if (label.endsWith(QStringLiteral("..."))) label.chop(3);
    return label;
}

}  // namespace

QString CommandButtonText(int commandId) {
    QString label = MenuLabel(commandId);
    return label.isEmpty() ? QString::number(commandId) : label;
}

QString CommandToolTip(int commandId) {
    QString help = QString::fromStdString(LoadAppString(commandId));
    return help.isEmpty() ? CommandButtonText(commandId) : help;
}

// ---- Routine list --------------------------------------------------------------------

RoutineListBox::RoutineListBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("RoutineListBox"));
    setProperty("controlId", kRoutineListControl);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(kWideRoutineList);
    setFocusPolicy(Qt::ClickFocus);
    setToolTip(QString::fromStdString(LoadAppString(kRoutineListLabelId)));
    setAccessibleName(QString::fromStdString(LoadAppString(kRoutineListNameId)));
    connect(this, &QComboBox::activated, this, [this](int) {
        if (!open_ && !closing_) return;  // arrow keys on the closed list choose nothing
        chosen_ = true;
        Chosen();
    });
}

void RoutineListBox::showPopup() {
    closing_ = chosen_ = false;
    if (notify) notify(kBarFillControl, 0);
    QComboBox::showPopup();
    open_ = true;
}

void RoutineListBox::hidePopup() {
    QComboBox::hidePopup();
    // Qt hides the list also when the bar itself is hidden or goes; only a list that was
    // open closes here.
    if (!open_) return;
    open_ = false;
    closing_ = true;
    Chosen();
    // Qt may tell the choice just before or just after closing; either way only the
    // closing of this round counts.
    QTimer::singleShot(0, this, [this] { closing_ = chosen_ = false; });
}

void RoutineListBox::Chosen() {
    if (!closing_ || !chosen_) return;
    closing_ = chosen_ = false;
    if (notify) notify(kBarControlEvent, kControlClosedUp);
}

// ---- Toolbar ---------------------------------------------------------------------------

FrameToolbar::FrameToolbar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("UX32BUTTONS"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setContextMenuPolicy(Qt::CustomContextMenu);
    // The bar's own menu: its configuration, and the list of macro commands for those who
    // put macro files on it.
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        QAction* configure = menu.addAction(CommandButtonText(kConfigureCommand) + QStringLiteral("..."));
        QAction* macroList = menu.addAction(CommandButtonText(kMacroListCommand));
        QAction* chosen = menu.exec(mapToGlobal(at));
        if (chosen == configure && runCommand) runCommand(kConfigureCommand);
        if (chosen == macroList) Notify(ToolbarNotification(kBarMacroList));
    });
}

void FrameToolbar::Build(const ButtonSet& set) {
    set_ = set;
    // A button may be rebuilding its own bar (its command opened the configuration), so
    // the old actions and their widgets go once control is back in the event loop.
    for (QAction* action : actions()) {
        removeAction(action);
        action->deleteLater();
    }
    commands_.clear();
    routineList_ = nullptr;  // deleted with its action
    for (const ButtonSpec& b : set.buttons) {
        switch (b.kind) {
        case ButtonKind::Command: AddCommand(b.id); break;
        case ButtonKind::Macro: AddMacro(b.macroFile); break;
        case ButtonKind::Control: AddRoutineList(); break;
        case ButtonKind::Separator: addSeparator(); break;
        }
    }
    for (auto [id, on] : active_) SetButtonActive(id, on);
    Notify(ToolbarNotification(kBarSizeChanged));
}

void FrameToolbar::AddCommand(int commandId) {
    QIcon icon = ToolbarIcon(commandId);
    QAction* action = addAction(CommandButtonText(commandId));
    if (!icon.isNull()) action->setIcon(icon);
    action->setToolTip(CommandToolTip(commandId));
    action->setData(commandId);
    if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
        button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(action, &QAction::triggered, this, [this, commandId] {
        if (runCommand) runCommand(commandId);
        // A click toggles a checkable button by itself; the program's state decides.
        if (auto it = active_.find(commandId); it != active_.end()) SetButtonActive(commandId, it->second);
    });
    commands_.emplace(commandId, action);
}

void FrameToolbar::AddMacro(const std::string& fileName) {
    const QString name = QString::fromStdString(fileName);
    QAction* action = addAction(MacroButtonIcon(), QFileInfo(name).completeBaseName());
    action->setToolTip(name);
    if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(action, &QAction::triggered, this, [this, fileName] {
        ToolbarNotification n(kBarMacroButton);
        n.macroFile = fileName;
        Notify(n);
    });
}

void FrameToolbar::AddRoutineList() {
    routineList_ = new RoutineListBox(this);
    routineList_->setMinimumContentsLength(orientation() == Qt::Vertical ? kNarrowRoutineList : kWideRoutineList);
    routineList_->notify = [this](int kind, int eventCode) {
        ToolbarNotification n(kind, routineList_, kRoutineListControl, eventCode);
        Notify(n);
    };
    addWidget(routineList_);
}

void FrameToolbar::Notify(ToolbarNotification n) {
    if (notify) notify(n);
}

QWidget* FrameToolbar::controlHandle(int controlId) const {
    return controlId == kRoutineListControl ? routineList_ : nullptr;
}

QAction* FrameToolbar::commandAction(int commandId) const {
    auto it = commands_.find(commandId);
    return it == commands_.end() ? nullptr : it->second;
}

void FrameToolbar::EnableCommands(const std::function<bool(int commandId)>& enabled) {
    for (auto& [commandId, action] : commands_) action->setEnabled(enabled(commandId));
}

void FrameToolbar::SetButtonActive(int commandId, bool active) {
    active_[commandId] = active;
    auto [first, last] = commands_.equal_range(commandId);
    for (auto it = first; it != last; ++it) {
        it->second->setCheckable(true);
        it->second->setChecked(active);
    }
}

bool FrameToolbar::isButtonActive(int commandId) const {
    auto it = active_.find(commandId);
    return it != active_.end() && it->second;
}

int FrameToolbar::ArrangeButtons(bool vertical, int available) {
    setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    if (routineList_) {
        routineList_->setMinimumContentsLength(vertical ? kNarrowRoutineList : kWideRoutineList);
        // Entries are as wide as the longest routine name; a side bar stays narrow.
        const int narrow = routineList_->fontMetrics().averageCharWidth() * (kNarrowRoutineList + 6);
        routineList_->setMaximumWidth(vertical ? narrow : QWIDGETSIZE_MAX);
    }
    // The bar keeps its thickness; buttons that find no room go into its extension menu.
    Q_UNUSED(available);
    if (layout()) layout()->invalidate();
    QSize hint = sizeHint();
    return vertical ? hint.width() : hint.height();
}

}  // namespace varlin
