// Menus of the frame: built once per resource from the menu data, swapped on the menu
// bar, enabled as each popup opens, and explaining the pointed item in the status line.
#include "frame/qt/FrameMenus.h"

#include "frame/qt/MainFrame.h"
#include "resources/StringTable.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>

namespace varlin {

QString QtMenuText(const MenuItem& item, int language) {
    const char* label = MenuItemLabel(item, language);
    QString text = QString::fromUtf8(label ? label : "");
    if (item.shortcut) text += '\t' + QString::fromStdString(ShortcutText(item, language));
    return text;
}

FrameMenus::FrameMenus(MainFrame& frame) : QObject(&frame), frame_(frame) { Rebuild(); }

void FrameMenus::Rebuild() {
    int shown = shown_;
    frame_.menuBar()->clear();
    windowListActions_.clear();
    for (auto& [id, set] : sets_) {
        for (QMenu* popup : set.popups) delete popup;
    }
    sets_.clear();
    shown_ = 0;
    Build(kMenuIdNoDocument);
    Build(kMenuIdDocument);
    if (shown) Show(shown);
}

void FrameMenus::Build(int menuId) {
    MenuSet& set = sets_[menuId];
    for (const MenuItem& top : MenuResource(menuId)) {
        auto* popup = new QMenu(QString::fromUtf8(MenuItemLabel(top, GetAppLanguage())), &frame_);
        AddItems(popup, top.children, set);
        set.popups.push_back(popup);
        // The status line shows its fields again once the menu has closed.
        connect(popup, &QMenu::aboutToHide, this, [this] { frame_.statusBar()->clearMessage(); });
    }
    // The second-to-last popup of 108 is the window menu with the list of documents.
    if (menuId == kMenuIdDocument && set.popups.size() >= 2) {
        QMenu* windows = set.popups[set.popups.size() - 2];
        connect(windows, &QMenu::aboutToShow, this, [this, windows] { FillWindowList(windows); });
    }
}

void FrameMenus::AddItems(QMenu* popup, std::span<const MenuItem> items, MenuSet& set) {
    connect(popup, &QMenu::aboutToShow, this, [this, popup] { frame_.UpdateMenuEnabling(popup); });
    for (const MenuItem& item : items) {
        if (item.flags & kMenuSeparator) {
            popup->addSeparator();
        } else if (item.flags & kMenuPopup) {
            QMenu* sub = popup->addMenu(QString::fromUtf8(MenuItemLabel(item, GetAppLanguage())));
            AddItems(sub, item.children, set);
        } else {
            QAction* action = popup->addAction(QtMenuText(item, GetAppLanguage()));
            action->setData(item.id);
            int id = item.id;
            connect(action, &QAction::triggered, &frame_, [this, id] { frame_.RunCommand(id); });
            // The frame shows an action's status tip while the item is pointed at.
            action->setStatusTip(HelpText(item));
            set.actions.emplace(item.id, action);
        }
    }
}

void FrameMenus::Show(int menuId) {
    QMenuBar* bar = frame_.menuBar();
    if (shown_ == menuId && !bar->actions().isEmpty()) return;
    bar->clear();
    for (QMenu* popup : sets_[menuId].popups) bar->addMenu(popup);
    shown_ = menuId;
}

QAction* FrameMenus::findAction(int menuId, int commandId) const {
    auto set = sets_.find(menuId);
    if (set == sets_.end()) return nullptr;
    auto it = set->second.actions.find(commandId);
    return it == set->second.actions.end() ? nullptr : it->second;
}

const std::vector<QMenu*>& FrameMenus::popups(int menuId) const {
    static const std::vector<QMenu*> none;
    auto set = sets_.find(menuId);
    return set == sets_.end() ? none : set->second.popups;
}

QString FrameMenus::HelpText(const MenuItem& item) {
    std::string help = LoadAppString(item.id);
    if (!help.empty()) return QString::fromStdString(help);
    const char* label = MenuItemLabel(item, GetAppLanguage());
    return QString::fromStdString(StripMnemonic(label ? label : "")).trimmed();
}

void FrameMenus::FillWindowList(QMenu* popup) {
    for (QAction* a : windowListActions_) {
        popup->removeAction(a);
        delete a;
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = frame_.mdiArea()->subWindowList();
    QMdiSubWindow* current = frame_.currentDocument();
    int number = 0;
    for (QMdiSubWindow* w : windows) {
        if (w->isHidden()) continue;
        if (number == 0) windowListActions_.push_back(popup->addSeparator());
        ++number;
        QString title = w->windowTitle();
        title.replace('&', "&&");
        QString label = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                    : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction* a = popup->addAction(label);
        a->setCheckable(true);
        a->setChecked(w == current);
        QPointer<QMdiSubWindow> target(w);
        connect(a, &QAction::triggered, &frame_, [this, target] {
            if (target) frame_.mdiArea()->setActiveSubWindow(target);
        });
        windowListActions_.push_back(a);
    }
}

}  // namespace varlin
