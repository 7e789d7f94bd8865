// The host's menu interfaces over real Qt menus.
#include "QtHostMenu.h"
#include "IdeWindow.h"
#include "MenuDump.h"
#include "ScriptedModal.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TIMenuItemIntf> Insert(TIMenuItemIntf& menu, int index, const std::string& name,
                                       const std::string& caption = "x",
                                       TIMenuClickEvent onClick = nullptr) {
    return menu.MenuInsertItem(index, caption, name, "", 0, 0, 0, DefaultMenuFlags,
                               std::move(onClick));
}

QAction* ActionOf(TIMenuItemIntf& item) {
    return dynamic_cast<QtMenuItem&>(item).Action();
}

std::vector<std::string> Names(TIMenuItemIntf& menu) {
    std::vector<std::string> names;
    for (int i = 0; i < menu.MenuGetItemCount(); ++i)
        names.push_back(menu.MenuGetItem(i)->MenuGetName());
    return names;
}

class QtHostMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = ui::SetModal(&modal);
        search = mainMenu.MainMenuFindItem("SearchMenu");
        ASSERT_TRUE(search);
    }
    void TearDown() override { ui::SetModal(previous); }

    IdeWindow window;
    QtMainMenu mainMenu{window.menuBar()};
    ui::ScriptedModalInteraction modal;
    ui::ModalInteraction* previous = nullptr;
    std::unique_ptr<TIMenuItemIntf> search;
};

} // namespace

TEST_F(QtHostMenuTest, ShellOffersTheHostMenus) {
    const auto bar = mainMenu.MainMenuGetItems();
    EXPECT_EQ(Names(*bar), (std::vector<std::string>{"FileMenu", "EditMenu", "SearchMenu",
                                                     "ViewMenu", "ProjectMenu", "RunMenu",
                                                     "ComponentMenu", "ToolsMenu", "HelpMenu"}));
    EXPECT_EQ(search->MenuGetIndex(), 2);
    const auto file = mainMenu.MainMenuFindItem("FileMenu");
    EXPECT_EQ(Names(*file),
              (std::vector<std::string>{"FileOpenProjectItem", "FileOpenItem", "FileCloseItem",
                                        "FileSep1", "FileExitItem"}));
}

TEST_F(QtHostMenuTest, InsertGoesBeforeTheIndexAndCountAppends) {
    struct Case {
        int index;
        std::vector<std::string> after;
    };
    const std::vector<Case> cases = {
        {0, {"new", "a", "b"}},
        {1, {"a", "new", "b"}},
        {2, {"a", "b", "new"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        auto menu = Insert(*mainMenu.MainMenuGetItems(), 0, "Scratch");
        Insert(*menu, 0, "a");
        Insert(*menu, 1, "b");
        const auto added = Insert(*menu, c.index, "new");
        EXPECT_EQ(Names(*menu), c.after);
        EXPECT_EQ(added->MenuGetIndex(), c.index);
        EXPECT_THROW(Insert(*menu, 4, "late"), std::out_of_range);
        EXPECT_THROW(Insert(*menu, -1, "early"), std::out_of_range);
        menu->MenuDestroyItem();
    }
}

TEST_F(QtHostMenuTest, MenuBarInsertStandsBeforeSearch) {
    const auto favorites =
        Insert(*mainMenu.MainMenuGetItems(), search->MenuGetIndex(), "FavoriteMenu", "F&avorites");
    EXPECT_EQ(favorites->MenuGetIndex(), 2);
    EXPECT_EQ(search->MenuGetIndex(), 3);
    auto* menu = window.menuBar()->findChild<QMenu*>("FavoriteMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "F&avorites");
    EXPECT_EQ(window.menuBar()->actions().at(2), menu->menuAction());
}

TEST_F(QtHostMenuTest, SeparatorsAndSubMenus) {
    const auto menu = Insert(*mainMenu.MainMenuGetItems(), 2, "FavoriteMenu");
    const auto sep = Insert(*menu, 0, "Sep_0", "-");
    const auto group = Insert(*menu, 1, "FavItem_0_1", "&0 Group");
    EXPECT_EQ(sep->MenuGetCaption(), "-");
    EXPECT_TRUE(ActionOf(*sep)->isSeparator());
    // An entry without sub-entries is a plain command.
    QAction* groupAction = ActionOf(*group);
    EXPECT_EQ(groupAction->menu(), nullptr);
    EXPECT_EQ(group->MenuGetItemCount(), 0);

    const auto inner = Insert(*group, 0, "FavItem_1_2", "&0 Inner");
    ASSERT_NE(groupAction->menu(), nullptr);
    EXPECT_EQ(group->MenuGetName(), "FavItem_0_1");
    EXPECT_EQ(group->MenuGetCaption(), "&0 Group");
    EXPECT_EQ(group->MenuGetItemCount(), 1);
    EXPECT_EQ(mainMenu.MainMenuFindItem("FavItem_1_2")->MenuGetCaption(), "&0 Inner");
    EXPECT_NE(DumpMenuBar(mainMenu).find("FavoriteMenu\tx\n"
                                         "  Sep_0\t-\n"
                                         "  FavItem_0_1\t&0 Group\n"
                                         "    FavItem_1_2\t&0 Inner\n"
                                         "SearchMenu\t&Search\n"),
              std::string::npos);
}

TEST_F(QtHostMenuTest, DestroyRemovesAtOnceWithSubEntries) {
    const auto menu = Insert(*mainMenu.MainMenuGetItems(), 2, "FavoriteMenu");
    const auto group = Insert(*menu, 0, "Group");
    const auto inner = Insert(*group, 0, "Inner");
    QPointer<QAction> groupAction = ActionOf(*group);
    QPointer<QAction> innerAction = ActionOf(*inner);
    QPointer<QMenu> subMenu = groupAction->menu();

    EXPECT_TRUE(group->MenuDestroyItem());
    // Gone now, not at the next event loop: the package may be unloaded right after.
    EXPECT_TRUE(groupAction.isNull());
    EXPECT_TRUE(innerAction.isNull());
    EXPECT_TRUE(subMenu.isNull());
    EXPECT_EQ(menu->MenuGetItemCount(), 0);
    // A destroyed entry answers harmlessly.
    EXPECT_EQ(group->MenuGetName(), "");
    EXPECT_FALSE(group->MenuDestroyItem());

    QPointer<QMenu> favorites = window.menuBar()->findChild<QMenu*>("FavoriteMenu");
    EXPECT_TRUE(menu->MenuDestroyItem());
    EXPECT_TRUE(favorites.isNull());
    EXPECT_EQ(mainMenu.MainMenuFindItem("FavoriteMenu"), nullptr);
    EXPECT_EQ(search->MenuGetIndex(), 2);
}

TEST_F(QtHostMenuTest, ClicksReachTheHandlerAndErrorsEndInAnErrorBox) {
    const auto menu = Insert(*mainMenu.MainMenuGetItems(), 2, "FavoriteMenu");
    std::vector<std::string> clicked;
    const auto ok = Insert(*menu, 0, "Ok", "Ok",
                           [&](TIMenuItemIntf& item) { clicked.push_back(item.MenuGetName()); });
    const auto failing = Insert(*menu, 1, "Failing", "Failing", [](TIMenuItemIntf&) {
        throw std::runtime_error("the add-in failed");
    });
    const auto odd = Insert(*menu, 2, "Odd", "Odd", [](TIMenuItemIntf&) { throw 42; });

    ActionOf(*ok)->trigger();
    ActionOf(*failing)->trigger();
    ActionOf(*odd)->trigger();

    EXPECT_EQ(clicked, std::vector<std::string>{"Ok"});
    ASSERT_EQ(modal.ErrorTexts().size(), 2);
    EXPECT_EQ(modal.ErrorTexts()[0], "the add-in failed");
    EXPECT_FALSE(modal.ErrorTexts()[1].isEmpty());
}
