// The host's menu interfaces over Qt: the menu bar, its QMenus and their QActions. Entry
// names are Qt object names.
#pragma once

#include "HostInterface.h"

#include <QAction>
#include <QMenuBar>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class QWidget;

// Runs add-in code called from the host; an exception that reaches here does not end the
// process: its message goes to *error when given, else into an error box. Returns false when
// one was caught.
bool RunGuarded(const std::function<void()>& call, QString* error = nullptr);

// One entry: a menu-bar menu, a command, a sub-menu or a separator; or the menu bar itself.
class QtMenuItem : public TIMenuItemIntf {
public:
    // The entry `action` inside `container` (a QMenuBar or a QMenu).
    QtMenuItem(QAction* action, QWidget* container);
    // The menu bar itself; its sub-entries are the top-level menus.
    explicit QtMenuItem(QMenuBar* bar);

    std::unique_ptr<TIMenuItemIntf> MenuInsertItem(int index, const std::string& caption,
                                                   const std::string& name, const std::string& hint,
                                                   int shortCut, int context, int groupIndex,
                                                   int flags, TIMenuClickEvent onClick) override;
    int MenuGetIndex() override;
    int MenuGetItemCount() override;
    std::unique_ptr<TIMenuItemIntf> MenuGetItem(int index) override;
    std::string MenuGetName() override;
    std::string MenuGetCaption() override;
    bool MenuDestroyItem() override;

    QAction* Action() const { return FAction; }

private:
    // The widget that holds this entry's sub-entries; nullptr for a plain command.
    QWidget* SubEntries() const;

    QPointer<QAction> FAction;
    QPointer<QWidget> FContainer;
    QPointer<QMenuBar> FBar;
};

// The main menu over a QMenuBar.
class QtMainMenu : public TIMainMenuIntf {
public:
    explicit QtMainMenu(QMenuBar* bar) : FBar(bar) {}
    std::unique_ptr<TIMenuItemIntf> MainMenuGetItems() override;
    std::unique_ptr<TIMenuItemIntf> MainMenuFindItem(const std::string& name) override;

private:
    QPointer<QMenuBar> FBar;
};
