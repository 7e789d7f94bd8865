// Saving at unload while others write the same favorites: a second IDE, the favorites tool.
#include "AddinFixture.h"

#include "EditFavoritesWnd.h"
#include "FavRecovery.h"
#include "FavTestSupport.h"
#include "Registry.h"

#include <QProcess>
#include <QStringList>

#include <map>

namespace {

using namespace favtest;

const std::vector<std::string> Start = {
    R(0, 0, fitUnit, 1, "/p/a.pas", "a"),
    R(0, 1, fitFile, 2, "/p/b.txt", "b"),
    R(0, 2, fitGroup, 3, "", "G"),
    R(3, 0, fitUnit, 4, "/p/c.pas", "c"),
};

// What the Edit command does: the dialog edits a copy, which OK assigns back.
void ThroughEditDialog(TFavoriteExpert& expert, const Edit& edit) {
    TFavoriteItems copy;
    copy.Assign(expert.FavoriteItems());
    edit(copy);
    expert.FavoriteItems().Assign(copy);
}

// What the Add command does: an add request at the top level.
void ThroughAddCommand(TFavoriteExpert& expert, TStringList request) {
    int parent = 0;
    expert.FavoriteItems().AddItems(parent, &request);
}

// The stored favorites by alias.
std::map<std::string, std::string> StoredByAlias() {
    TFavoriteItems items;
    items.LoadFromReg();
    std::map<std::string, std::string> byAlias;
    for (const std::string& r : items.Items())
        EXPECT_TRUE(byAlias.emplace(GetPart(r, 5, '|'), r).second) << r;
    return byAlias;
}

} // namespace

using SafeSaveTest = AddinTest;

TEST_F(SafeSaveTest, TwoIdesKeepEveryChangeWhicheverClosesLast) {
    for (const bool firstClosesFirst : {true, false}) {
        SCOPED_TRACE(firstClosesFirst ? "first closes first" : "second closes first");
        StoreFavorites(Start, 4);
        auto first = std::make_unique<TFavoriteExpert>();
        auto second = std::make_unique<TFavoriteExpert>();
        ThroughAddCommand(*first, {"5", "from first", "/p/x.pas"});
        ThroughEditDialog(*second, Then(Remove(4), Repoint(2, "/q/b.txt")));
        ThroughEditDialog(*first, Then(Rename(1, "renamed by first"), Exchange(1, 2)));
        ThroughAddCommand(*second, {"2", "from second", "/p/y.pas"});
        if (firstClosesFirst)
            first.reset();
        second.reset();
        first.reset();

        std::map<std::string, std::string> stored = StoredByAlias();
        ASSERT_TRUE(stored.count("renamed by first") && stored.count("b") &&
                    stored.count("from first") && stored.count("x.pas") &&
                    stored.count("from second"));
        EXPECT_FALSE(stored.count("c"));
        EXPECT_EQ(GetPart(stored["b"], 4, '|'), "/q/b.txt");
        EXPECT_LT(GetIntPart(stored["b"], 1, '|'), GetIntPart(stored["renamed by first"], 1, '|'));
        EXPECT_EQ(GetIntPart(stored["x.pas"], 0, '|'), GetIntPart(stored["from first"], 3, '|'));
        EXPECT_NE(GetIntPart(stored["from second"], 3, '|'), GetIntPart(stored["from first"], 3, '|'));
        EXPECT_TRUE(modal.ErrorTexts().empty());
        EXPECT_FALSE(ListBackups().empty());
    }
}

TEST_F(SafeSaveTest, TheToolWritingWhileTheIdeRunsLosesNothing) {
    StoreFavorites(Start, 4);
    CreateExpert();
    const std::string file = MakeFile("Tool.pas");
    QProcess tool;
    tool.start(QString::fromUtf8(FAVORITES_EXE),
               {"--registry", QString::fromStdString(RegistryFile()), "add", "--alias", "by tool",
                QString::fromStdString(file)});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    ThroughAddCommand(*expert, {"3", "by ide", "/p/ide.txt"});
    ThroughEditDialog(*expert, Rename(1, "renamed in the ide"));
    expert.reset();

    std::map<std::string, std::string> stored = StoredByAlias();
    ASSERT_TRUE(stored.count("by tool") && stored.count("by ide") &&
                stored.count("renamed in the ide"));
    EXPECT_EQ(GetPart(stored["by tool"], 4, '|'), file);
    EXPECT_NE(GetIntPart(stored["by tool"], 3, '|'), GetIntPart(stored["by ide"], 3, '|'));
    EXPECT_TRUE(modal.ErrorTexts().empty());
}

TEST_F(SafeSaveTest, TheEditDialogsChangesMergeWithAnotherWritersSave) {
    StoreFavorites(Start, 4);
    CreateExpert();
    TFavoriteItems other; // another IDE, which closes first
    other.LoadFromReg();
    Then(Add(fitFile, 0, "/p/other.txt", "from the other IDE"), Rename(2, "b by other"))(other);
    other.SaveToReg();

    modal.QueueDialog([](QDialog& dialog) {
        static_cast<TEditFavoritesWnd&>(dialog).grdItems->SetCell(1, 1, QStringLiteral("a by edit"));
        return ui::ScriptedModalInteraction::ClickButton("btnOk")(dialog);
    });
    ASSERT_TRUE(host.Click("EditFavoriteItem"));
    ASSERT_TRUE(modal.AllAnswersUsed());
    expert.reset();

    std::map<std::string, std::string> stored = StoredByAlias();
    EXPECT_TRUE(stored.count("a by edit") && stored.count("b by other") &&
                stored.count("from the other IDE"))
        << testing::PrintToString(stored);
    EXPECT_EQ(GetIntPart(stored["a by edit"], 3, '|'), 1);
}

TEST_F(SafeSaveTest, BackupThatCannotBeWrittenIsShownAndTheFavoritesAreSaved) {
    StoreFavorites(Start, 4);
    CreateExpert();
    ThroughEditDialog(*expert, Rename(1, "renamed"));
    SetBackupFolder(MakeFile("blocker") + "/backups");
    expert.reset();
    SetBackupFolder("");

    ASSERT_EQ(modal.ErrorTexts().size(), 1);
    EXPECT_TRUE(modal.ErrorTexts()[0].startsWith(
        "The favorites were saved, but the value they replaced could not be kept as a backup: "))
        << modal.ErrorTexts()[0].toStdString();
    EXPECT_TRUE(StoredByAlias().count("renamed"));
}
