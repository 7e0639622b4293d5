// The frame's menus built from the menu resources 107 and 108: one set of popups per
// resource, swapped into the one menu bar; help texts in the status line; the window
// list of "&Fenster".
#pragma once

#include "resources/Menus.h"

#include <QObject>

#include <map>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace varlin {

class MainFrame;

class FrameMenus : public QObject {
    Q_OBJECT
public:
    explicit FrameMenus(MainFrame& frame);

    // Gives the popups and items the texts of the current language (after a change of
    // language); the objects themselves are kept.
    void Retranslate();
    // Puts the popups of menu 107 or 108 into the frame's menu bar.
    void Show(int menuId);
    int shownMenuId() const { return shown_; }
    QAction* findAction(int menuId, int commandId) const;
    const std::vector<QMenu*>& popups(int menuId) const;

private:
    struct MenuSet {
        std::vector<QMenu*> popups;
        std::multimap<int, QAction*> actions;  // by CommandId
    };

    void Build(int menuId);
    void AddItems(QMenu* popup, std::span<const MenuItem> items, MenuSet& set);
    void RetranslateItems(QMenu* popup, std::span<const MenuItem> items);
    static QString HelpText(const MenuItem& item);
    void FillWindowList(QMenu* popup);

    MainFrame& frame_;
    std::map<int, MenuSet> sets_;
    int shown_ = 0;
    std::vector<QAction*> windowListActions_;
};

// The label of a menu item as Qt shows it: the shortcut text after a tab.
QString QtMenuText(const MenuItem& item, int language);

}  // namespace varlin
