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

FrameMenus::FrameMenus(MainFrame& frame) : QObject(&frame), frame_(frame) {
    Build(kMenuIdNoDocument);
    Build(kMenuIdDocument);
}

// The popups and actions stay and only their texts change: a change of language comes
// from a command that a menu item started, and that item's menu is still handling its key
// or click further up the stack (also under the modal loop of a dialog), so deleting it
// here would pull the menu out from under its own event handler.
void FrameMenus::Retranslate() {
    for (auto& [id, set] : sets_) {
        std::span<const MenuItem> tops = MenuResource(id);
        for (std::size_t i = 0; i < tops.size() && i < set.popups.size(); ++i) {
            set.popups[i]->setTitle(QString::fromUtf8(MenuItemLabel(tops[i], GetAppLanguage())));
            RetranslateItems(set.popups[i], tops[i].children);
        }
    }
}

void FrameMenus::RetranslateItems(QMenu* popup, std::span<const MenuItem> items) {
    // The actions are in the order of the items; the window list follows them.
    const QList<QAction*> actions = popup->actions();
    for (std::size_t i = 0; i < items.size() && i < std::size_t(actions.size()); ++i) {
        const MenuItem& item = items[i];
        QAction* action = actions[qsizetype(i)];
        if (item.flags & kMenuSeparator) continue;
        if (item.flags & kMenuPopup) {
            action->setText(QString::fromUtf8(MenuItemLabel(item, GetAppLanguage())));
            if (QMenu* sub = action->menu()) RetranslateItems(sub, item.children);
            continue;
        }
        action->setText(QtMenuText(item, GetAppLanguage()));
        action->setStatusTip(HelpText(item));
    }
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
