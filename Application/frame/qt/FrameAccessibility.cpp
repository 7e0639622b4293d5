// The menu items' accessibility interface: Qt's own would name an item by its whole
// label, mnemonic marks and shortcut text included.
#include "frame/qt/FrameAccessibility.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace varlin {
namespace {

class MenuItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    explicit MenuItemAccessible(QAction* action) : action_(action) {}

    bool isValid() const override { return action_ && Owner(); }
    QObject* object() const override { return action_; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Owner()); }
    int childCount() const override { return action_ && action_->menu() ? 1 : 0; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 && childCount() ? QAccessible::queryAccessibleInterface(action_->menu()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* c) const override {
        return c && childCount() && c->object() == action_->menu() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QAccessibleInterface* c = child(0);
        return c && c->rect().contains(x, y) ? c : nullptr;
    }
    QString text(QAccessible::Text type) const override {
        if (!action_) return {};
        if (type == QAccessible::Name) return MenuItemName(action_->text());
        if (type == QAccessible::Accelerator) return MenuItemShortcut(action_->text());
        if (type == QAccessible::Description) return action_->statusTip();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        QWidget* owner = Owner();
        QRect r;
        if (auto* bar = qobject_cast<QMenuBar*>(owner)) r = bar->actionGeometry(action_);
        else if (auto* menu = qobject_cast<QMenu*>(owner)) r = menu->actionGeometry(action_);
        return owner ? r.translated(owner->mapToGlobal(QPoint(0, 0))) : r;
    }
    QAccessible::Role role() const override {
        return action_ && action_->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        QWidget* owner = Owner();
        if (!action_) return s;
        if (!owner || !owner->isVisible() || !action_->isVisible()) s.invisible = true;
        if (auto* menu = qobject_cast<QMenu*>(owner); menu && menu->activeAction() == action_) s.focused = true;
        if (auto* bar = qobject_cast<QMenuBar*>(owner); bar && bar->activeAction() == action_) s.focused = true;
        s.focusable = !action_->isSeparator();
        s.disabled = action_->isSeparator() || !action_->isEnabled();
        s.checkable = action_->isCheckable();
        s.checked = action_->isChecked();
        s.hasPopup = action_->menu() != nullptr;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override {
        if (!action_ || action_->isSeparator()) return {};
        return {action_->menu() ? showMenuAction() : pressAction()};
    }
    void doAction(const QString& name) override {
        if (!action_ || !action_->isEnabled()) return;
        if (name == pressAction()) {
            action_->trigger();
        } else if (name == showMenuAction()) {
            if (auto* bar = qobject_cast<QMenuBar*>(Owner())) bar->setActiveAction(action_);
            else if (auto* menu = qobject_cast<QMenu*>(Owner())) menu->setActiveAction(action_);
        }
    }
    QStringList keyBindingsForAction(const QString&) const override {
        const QString shortcut = action_ ? MenuItemShortcut(action_->text()) : QString();
        return shortcut.isEmpty() ? QStringList() : QStringList{shortcut};
    }

private:
    // The menu or menu bar that holds the item, a shown one first.
    QWidget* Owner() const {
        if (!action_) return nullptr;
        QWidget* found = nullptr;
        for (QObject* o : action_->associatedObjects()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || !(qobject_cast<QMenu*>(w) || qobject_cast<QMenuBar*>(w))) continue;
            if (w->isVisible()) return w;
            if (!found) found = w;
        }
        return found;
    }

    QPointer<QAction> action_;
};

}  // namespace

QString MenuItemName(const QString& label) {
    const QString text = label.left(label.indexOf(QLatin1Char('\t')));
    QString name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;  // "&&" keeps its second
        name += text[i];
    }
    return name.trimmed();
}

QString MenuItemShortcut(const QString& label) {
    const qsizetype tab = label.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : label.mid(tab + 1).trimmed();
}

void InstallFrameAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
            auto* action = qobject_cast<QAction*>(object);
            if (!action || className != QLatin1String("QAction")) return nullptr;
            return new MenuItemAccessible(action);
        });
        return true;
    }();
    (void)installed;
}

}  // namespace varlin
