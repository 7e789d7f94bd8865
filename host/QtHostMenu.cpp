#include "QtHostMenu.h"

#include "Modal.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <exception>
#include <stdexcept>

bool RunGuarded(const std::function<void()>& call, QString* error) {
    QString message;
    try {
        call();
        return true;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("An unknown error occurred in the add-in.");
    }
    if (error != nullptr)
        *error = message;
    else
        ui::ShowErrorBox(message);
    return false;
}

namespace {

void ApplyFlags(QAction* action, int flags) {
    action->setEnabled((flags & mfEnabled) != 0);
    action->setVisible((flags & mfVisible) != 0);
    if ((flags & mfChecked) != 0) {
        action->setCheckable(true);
        action->setChecked(true);
    }
}

void ConnectClick(QAction* action, QWidget* container, TIMenuClickEvent onClick) {
    if (!onClick)
        return;
    // The action is a child of its container, so the container outlives the connection and
    // needs no guard of its own.
    QObject::connect(
        action, &QAction::triggered, action,
        [action, container, handler = std::move(onClick)]() {
            QtMenuItem item(action, container);
            RunGuarded([&] { handler(item); });
        });
}

// Depth-first search for the entry named `name` below container; sets where it sits.
QAction* FindAction(QWidget* container, const QString& name, QWidget*& foundIn) {
    for (QAction* action : container->actions()) {
        if (action->objectName() == name) {
            foundIn = container;
            return action;
        }
        if (QMenu* menu = action->menu())
            if (QAction* found = FindAction(menu, name, foundIn))
                return found;
    }
    return nullptr;
}

} // namespace

QtMenuItem::QtMenuItem(QAction* action, QWidget* container)
    : FAction(action), FContainer(container) {}

QtMenuItem::QtMenuItem(QMenuBar* bar) : FContainer(bar), FBar(bar) {}

QWidget* QtMenuItem::SubEntries() const {
    if (FBar)
        return FBar;
    return FAction ? FAction->menu() : nullptr;
}

std::unique_ptr<TIMenuItemIntf>
QtMenuItem::MenuInsertItem(int index, const std::string& caption, const std::string& name,
                           const std::string& /*hint*/, int /*shortCut*/, int /*context*/,
                           int /*groupIndex*/, int flags, TIMenuClickEvent onClick) {
    if (!FBar && !FAction)
        throw std::logic_error("The menu entry was destroyed");
    QWidget* target = SubEntries();
    if (target == nullptr) {
        // The first sub-entry turns a command into a sub-menu. The QMenu is a child of the
        // menu holding the entry, so it goes with that menu.
        auto* menu = new QMenu(FAction->text(), FContainer);
        menu->setObjectName(FAction->objectName() + QStringLiteral("_Menu"));
        FAction->setMenu(menu);
        target = menu;
    }
    const QList<QAction*> actions = target->actions();
    if (index < 0 || index > actions.size())
        throw std::out_of_range("Menu index out of bounds (" + std::to_string(index) + ")");
    QAction* before = index < actions.size() ? actions[index] : nullptr;

    const QString text = QString::fromStdString(caption);
    const QString objectName = QString::fromStdString(name);
    QAction* action = nullptr;
    if (target == FBar) {
        // Entries of the menu bar are menus.
        auto* menu = new QMenu(text, target);
        menu->setObjectName(objectName);
        action = menu->menuAction();
    } else if (caption == "-") {
        action = new QAction(target);
        action->setSeparator(true);
    } else {
        action = new QAction(text, target);
    }
    action->setObjectName(objectName);
    ApplyFlags(action, flags);
    ConnectClick(action, target, std::move(onClick));
    target->insertAction(before, action);
    return std::make_unique<QtMenuItem>(action, target);
}

int QtMenuItem::MenuGetIndex() {
    if (FBar || !FAction || !FContainer)
        return -1;
    return static_cast<int>(FContainer->actions().indexOf(FAction.data()));
}

int QtMenuItem::MenuGetItemCount() {
    QWidget* sub = SubEntries();
    return sub ? static_cast<int>(sub->actions().size()) : 0;
}

std::unique_ptr<TIMenuItemIntf> QtMenuItem::MenuGetItem(int index) {
    QWidget* sub = SubEntries();
    if (sub == nullptr)
        return nullptr;
    const QList<QAction*> actions = sub->actions();
    if (index < 0 || index >= actions.size())
        return nullptr;
    return std::make_unique<QtMenuItem>(actions[index], sub);
}

std::string QtMenuItem::MenuGetName() {
    if (FBar)
        return FBar->objectName().toStdString();
    return FAction ? FAction->objectName().toStdString() : std::string();
}

std::string QtMenuItem::MenuGetCaption() {
    if (!FAction)
        return {};
    return FAction->isSeparator() ? std::string("-") : FAction->text().toStdString();
}

bool QtMenuItem::MenuDestroyItem() {
    if (FBar || !FAction)
        return false;
    QAction* action = FAction;
    QMenu* menu = action->menu();
    if (FContainer)
        FContainer->removeAction(action);
    // Deleted now, not later: the click handlers may live in a package that is unloaded next.
    if (menu != nullptr && action->parent() == menu) {
        delete menu; // a menu-bar menu owns its own action
    } else {
        delete menu;
        delete action;
    }
    return true;
}

std::unique_ptr<TIMenuItemIntf> QtMainMenu::MainMenuGetItems() {
    if (!FBar)
        return nullptr;
    return std::make_unique<QtMenuItem>(FBar.data());
}

std::unique_ptr<TIMenuItemIntf> QtMainMenu::MainMenuFindItem(const std::string& name) {
    if (!FBar)
        return nullptr;
    QWidget* container = nullptr;
    QAction* found = FindAction(FBar.data(), QString::fromStdString(name), container);
    if (found == nullptr)
        return nullptr;
    return std::make_unique<QtMenuItem>(found, container);
}
