// The menu's Add command: the dialog's request goes in at the top level and the menu shows it.
#include "AddinFixture.h"

#include "FavUtils.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include <stdexcept>
#include <string>
#include <vector>

using ui::ScriptedModalInteraction;

namespace {

using AddFavoriteClickTest = AddinTest;

TEST_F(AddFavoriteClickTest, OkAddsAtTheTopAndRebuildsTheMenuCancelChangesNothing) {
    host.project = MakeFile("Apps/Sample.dpr");
    const std::string unit = MakeFile("Apps/Main.pas");
    StoreFavorites({Record(0, 0, fitUnit, 1, unit, "Main"), Record(0, 1, fitGroup, 2, "", "G")}, 2);
    CreateExpert();
    const std::string before = FavoritesMenu();
    const auto click = [this] { host.Find("AddFavoriteItem")->onClick(*expert->FavoriteMenu()); };

    // Cancel, and a dialog that fails, leave the collection and the menu as they were.
    modal.QueueDialog([](QDialog& dialog) {
        dialog.reject();
        return ScriptedModalInteraction::ResultOf(dialog);
    });
    click();
    modal.QueueDialog([](QDialog&) -> int { throw std::runtime_error("lost"); });
    EXPECT_THROW(click(), std::runtime_error);
    EXPECT_EQ(FavoritesMenu(), before);
    EXPECT_EQ(expert->FavoriteItems().Items().Count(), 2);

    // OK on the current project: a project goes in front of the unit at the top level.
    modal.QueueDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Add To Favorites"));
        EXPECT_TRUE(
            dialog.findChild<QRadioButton*>(QStringLiteral("rdoCurrentProject"))->isChecked());
        dialog.findChild<QLineEdit*>(QStringLiteral("edtAlias"))->setText(QStringLiteral("Proj"));
        return ScriptedModalInteraction::ClickButton(QStringLiteral("btnOk"))(dialog);
    });
    click();
    EXPECT_EQ(FavoritesMenu(), "AboutFavoriteItem\t&About Quarvel Favorites Add-In...\n"
                               "EditFavoriteItem\t&Edit Favorites...\n"
                               "AddFavoriteItem\tA&dd to Favorites...\n"
                               "Sep_0\t-\n"
                               "FavItem_0_3\t&0 Proj\n"
                               "FavSep_1\t-\n"
                               "FavItem_1_1\t&1 Main\n"
                               "FavSep_2\t-\n"
                               "FavItem_2_2\t&2 G\n");
    EXPECT_EQ(expert->FavoriteItems().Items().Lines(),
              (std::vector<std::string>{Record(0, 0, fitProject, 3, host.project, "Proj"),
                                        Record(0, 1, fitUnit, 1, unit, "Main"),
                                        Record(0, 2, fitGroup, 2, "", "G")}));
    EXPECT_TRUE(modal.AllAnswersUsed());
    // Saved at OK, while the IDE still runs: a crash now loses nothing.
    TFavoriteItems saved;
    saved.LoadFromReg();
    saved.Items().Sort();
    EXPECT_EQ(saved.Items().Lines(), expert->FavoriteItems().Items().Lines());
}

} // namespace
