// The real packages loaded into the shell's window, in this process.
#include "HostTestSupport.h"

#include "IdeWindow.h"
#include "MenuDump.h"
#include "PackageLoader.h"
#include "ScriptedModal.h"

#include <algorithm>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <string>

using ui::ScriptedModalInteraction;

namespace {

class PackageTest : public PrivateRegistryTest {
protected:
    std::string Dump() { return DumpMenuBar(*services.HostGetMainMenu()); }

    IdeWindow window;
    QtToolServices services{window};
    ui::ScriptedModalInteraction modal;
    PackageLoader loader{services, &modal};
};

} // namespace

TEST_F(PackageTest, LoadsWithAboutBoxRegistersAndUnloadsLeavingAnUnchangedValueAlone) {
    StoreSampleFavorites();
    const std::vector<std::string> stored = StoredRecords();
    QString error;
    ASSERT_TRUE(loader.Load(QStringLiteral(QUENDLE5_PATH), error)) << error.toStdString();
    EXPECT_EQ(modal.Dialogs().size(), 1u);
    ASSERT_NE(loader.Expert(), nullptr);
    EXPECT_EQ(loader.Expert()->GetIDString(), "Favorite");
    EXPECT_NE(Dump().find(std::string("EditMenu\t&Edit\n") + SampleFavoritesMenu +
                          "SearchMenu\t&Search\n"),
              std::string::npos)
        << Dump();

    const TPackageInfoTable* info = loader.Info();
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->description, "Quarvel\u00ae Pindrake Add-In");
    std::vector<std::string> units;
    for (int i = 0; i < info->unitCount; ++i)
        units.push_back(info->units[i].name);
    EXPECT_EQ(units, (std::vector<std::string>{"FavConsts", "FavUtils", "About", "AddToFav",
                                               "EditFav", "Favorite"}));

    QPointer<QMenu> favorites = window.menuBar()->findChild<QMenu*>(QStringLiteral("FavoriteMenu"));
    ASSERT_FALSE(favorites.isNull());
    loader.Unload();
    EXPECT_TRUE(favorites.isNull());
    EXPECT_FALSE(loader.IsLoaded());
    // Nothing changed, so the value keeps even the unsorted order it was stored in.
    EXPECT_EQ(StoredRecords(), stored);
}

TEST_F(PackageTest, BothBuildsShowTheSameFavorites) {
    StoreSampleFavorites();
    QString error;
    ASSERT_TRUE(loader.Load(QStringLiteral(QUENDLE5_PATH), error)) << error.toStdString();
    const std::string fromFive = Dump();
    loader.Unload();
    ASSERT_TRUE(loader.Load(QStringLiteral(QUENDLE4_PATH), error)) << error.toStdString();
    EXPECT_EQ(Dump(), fromFive);
}

TEST_F(PackageTest, UnreadableFavoritesFailTheLoadAndStayAsTheyWere) {
    StoreBytes({'T', 'P', 'F', '0', 0x0E, 'T', 'F', 'a'});
    const QByteArray before = RegistryFileContent();
    QString error;
    EXPECT_FALSE(loader.Load(QStringLiteral(QUENDLE5_PATH), error));
    EXPECT_TRUE(error.startsWith("Cannot load the favorites from "
                                 "HKEY_CURRENT_USER\\Favorites\\Items: "))
        << error.toStdString();
    EXPECT_FALSE(loader.IsLoaded());
    EXPECT_EQ(Dump().find("FavoriteMenu"), std::string::npos);
    EXPECT_EQ(RegistryFileContent(), before);
}

TEST_F(PackageTest, ALibraryWithoutTheEntryPointsIsRefused) {
    QString error;
    EXPECT_FALSE(loader.Load(QStringLiteral(NOT_A_PACKAGE_PATH), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(loader.IsLoaded());
}

TEST_F(PackageTest, ChoosingFavoritesOpensThemInTheShell) {
    StoreSampleFavorites();
    QString error;
    ASSERT_TRUE(loader.Load(QStringLiteral(QUENDLE5_PATH), error)) << error.toStdString();
    const QString sample = QStringLiteral(EXAMPLES_DIR "/SampleProject/");
    const auto click = [this](const char* name) {
        QAction* action = window.menuBar()->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    };

    click("FavItem_1_2"); // the project
    EXPECT_EQ(window.ProjectName(), sample + "Sample.dpr");
    click("FavItem_3_7"); // a text file
    EXPECT_EQ(window.CurrentFile(), sample + "README.txt");
    click("FavItem_3_7");
    EXPECT_EQ(modal.ErrorTexts(),
              QStringList{"File: \"" + sample + "README.txt\" is already opened"});

    modal.QueueOpenFile({sample + "Sources/TextTools.pas"});
    click("FavItem_4_8"); // the folder
    EXPECT_EQ(window.CurrentFile(), sample + "Sources/TextTools.pas");
    ASSERT_EQ(modal.OpenFiles().size(), 1u);
    EXPECT_EQ(modal.OpenFiles()[0].initialDir, sample + "Sources");
    EXPECT_EQ(window.Tabs()->count(), 3);
}

TEST_F(PackageTest, AnAliasTypedInTheEditDialogIsSaved) {
    StoreSampleFavorites();
    QString error;
    ASSERT_TRUE(loader.Load(QStringLiteral(QUENDLE5_PATH), error)) << error.toStdString();
    modal.QueueDialog([](QDialog& dialog) {
        dialog.activateWindow();
        QApplication::processEvents();
        auto* grid = dialog.findChild<QTableView*>(QStringLiteral("grdItems"));
        if (grid == nullptr || !grid->hasFocus())
            return static_cast<int>(ui::mrNone);
        // The second top-level favorite, "Sample": F2, a new alias (the alias column takes no
        // "|"), Enter; then Enter for OK.
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_F2);
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                editor = e;
        if (editor == nullptr)
            return static_cast<int>(ui::mrNone);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("My |project"));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        QTest::keyClick(grid, Qt::Key_Return);
        return ScriptedModalInteraction::ResultOf(dialog);
    });
    QAction* edit = window.menuBar()->findChild<QAction*>(QStringLiteral("EditFavoriteItem"));
    ASSERT_NE(edit, nullptr);
    edit->trigger();
    EXPECT_TRUE(modal.AllAnswersUsed());
    ASSERT_EQ(modal.Dialogs().size(), 2u); // the About box at load, then the Edit dialog
    EXPECT_EQ(modal.Dialogs()[1].title, "Edit Favorites");
    EXPECT_NE(Dump().find("FavItem_1_2\t&1 My project\n"), std::string::npos) << Dump();

    loader.Unload();
    std::vector<std::string> expected = SampleRecords();
    expected[1].replace(expected[1].rfind('|') + 1, std::string::npos, "My project");
    EXPECT_EQ(StoredRecords(), expected);
}

TEST_F(PackageTest, AddingFromTheMenuShowsTheFavoriteAndSavesIt) {
    QString error;
    ASSERT_TRUE(loader.Load(QStringLiteral(QUENDLE5_PATH), error)) << error.toStdString();
    const QString sample = QStringLiteral(EXAMPLES_DIR "/SampleProject");
    ASSERT_TRUE(window.OpenProject(sample + "/Sample.dpr"));
    QAction* add = window.menuBar()->findChild<QAction*>(QStringLiteral("AddFavoriteItem"));
    ASSERT_NE(add, nullptr);

    // The package's own dialog, reached by its controls' names: a group of the sample's files.
    modal.QueueDialog([&sample](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("rdoGroup"))->click();
        dialog.findChild<QLineEdit*>(QStringLiteral("edtGroup"))->setText(sample + "//");
        dialog.findChild<QLineEdit*>(QStringLiteral("edtAlias"))->setText(QStringLiteral("All"));
        return ui::ScriptedModalInteraction::ClickButton(QStringLiteral("btnOk"))(dialog);
    });
    add->trigger();
    // Then the current project, with the alias the dialog proposes.
    modal.QueueDialog(ui::ScriptedModalInteraction::ClickButton(QStringLiteral("btnOk")));
    add->trigger();
    EXPECT_TRUE(modal.ErrorTexts().isEmpty()) << modal.ErrorTexts().join(u'\n').toStdString();

    const std::string s = sample.toStdString() + "/";
    EXPECT_NE(Dump().find("  Sep_0\t-\n"
                          "  FavItem_0_7\t&0 Sample.dpr\n"
                          "  FavSep_1\t-\n"
                          "  FavItem_1_1\t&1 All\n"
                          "    FavItem_2_2\t&0 Sample.bpg\n"
                          "    FavItem_3_3\t&1 Sample.dpr\n"
                          "    FavItem_4_4\t&2 SampleTools.dpk\n"
                          "    FavSep_5\t-\n"
                          "    FavItem_5_5\t&3 MainForm.pas\n"
                          "    FavItem_6_6\t&4 Utils.pas\n"
                          "SearchMenu\t&Search\n"),
              std::string::npos)
        << Dump();
    loader.Unload();
    std::vector<std::string> records = StoredRecords();
    std::sort(records.begin(), records.end());
    EXPECT_EQ(records, (std::vector<std::string>{
                                   "000000000|000|0|7|" + s + "Sample.dpr|Sample.dpr",
                                   "000000000|001|5|1||All",
                                   "000000001|000|0|2|" + s + "Sample.bpg|Sample.bpg",
                                   "000000001|001|0|3|" + s + "Sample.dpr|Sample.dpr",
                                   "000000001|002|1|4|" + s + "SampleTools.dpk|SampleTools.dpk",
                                   "000000001|003|2|5|" + s + "MainForm.pas|MainForm.pas",
                                   "000000001|004|2|6|" + s + "Utils.pas|Utils.pas",
                               }));
}
