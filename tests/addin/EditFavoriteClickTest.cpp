// The menu's Edit command: the dialog on the expert's favorites, the menu rebuilt after OK.
#include "AddinFixture.h"

#include "EditFavoritesWnd.h"
#include "FavUtils.h"

#include <QPushButton>

using ui::ScriptedModalInteraction;

namespace {

using EditFavoriteClickTest = AddinTest;

TEST_F(EditFavoriteClickTest, OkRebuildsTheMenuAndCancelLeavesEverything) {
    StoreFavorites(
        {Record(0, 0, fitUnit, 1, "/p/Main.pas", "Main"), Record(0, 1, fitGroup, 2, "", "Group")},
        2);
    CreateExpert();
    const std::string before = FavoritesMenu();
    const std::vector<std::uint8_t> stored = StoredBytes();
    const auto rename = [this](const char* button) {
        modal.QueueDialog([button](QDialog& dialog) {
            auto& form = static_cast<TEditFavoritesWnd&>(dialog);
            form.grdItems->SetCell(1, 1, QStringLiteral("Renamed"));
            return ScriptedModalInteraction::ClickButton(QString::fromLatin1(button))(dialog);
        });
        ASSERT_TRUE(host.Click("EditFavoriteItem"));
        EXPECT_TRUE(modal.AllAnswersUsed());
    };

    rename("btnCancel");
    EXPECT_EQ(FavoritesMenu(), before);
    EXPECT_EQ(StoredBytes(), stored) << "Cancel saves nothing";
    EXPECT_EQ(expert->FavoriteItems().Items().Lines()[0],
              Record(0, 0, fitUnit, 1, "/p/Main.pas", "Main"));

    rename("btnOk");
    std::string after = before;
    after.replace(after.find("&0 Main"), 7, "&0 Renamed");
    EXPECT_EQ(FavoritesMenu(), after);
    // Saved at OK, before the expert goes: an IDE that crashes now loses nothing.
    TFavoriteItems saved;
    saved.LoadFromReg();
    EXPECT_EQ(saved.Items().Lines(), expert->FavoriteItems().Items().Lines());
}

TEST_F(EditFavoriteClickTest, AddInTheDialogOffersTheHostsProject) {
    host.project = MakeFile("Sample.dpr");
    CreateExpert();
    modal.QueueDialog([](QDialog& dialog) {
        static_cast<TEditFavoritesWnd&>(dialog).btnAdd->click();
        return ScriptedModalInteraction::ClickButton("btnOk")(dialog);
    });
    modal.QueueDialog(ScriptedModalInteraction::ClickButton("btnOk"));
    ASSERT_TRUE(host.Click("EditFavoriteItem"));
    EXPECT_TRUE(modal.AllAnswersUsed());
    ASSERT_EQ(expert->FavoriteItems().Items().Count(), 1);
    EXPECT_EQ(expert->FavoriteItems().Items()[0],
              Record(0, 0, fitProject, 1, host.project, "Sample.dpr"));
    EXPECT_NE(FavoritesMenu().find("&0 Sample.dpr"), std::string::npos) << FavoritesMenu();
}

} // namespace
