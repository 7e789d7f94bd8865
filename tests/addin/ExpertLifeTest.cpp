// The expert from construction to destruction: loading, the menu's place, saving, and what
// happens when the stored favorites cannot be read or written.
#include "AddinFixture.h"

#include "FavConsts.h"
#include "FavUtils.h"
#include "Registry.h"

#include <QDir>
#include <QFile>

#include <string>
#include <vector>

namespace {

const std::vector<std::string> HostMenus = {"FileMenu", "EditMenu", "SearchMenu", "ViewMenu",
                                            "HelpMenu"};

std::vector<std::string> WithFavorites() {
    return {"FileMenu", "EditMenu", "FavoriteMenu", "SearchMenu", "ViewMenu", "HelpMenu"};
}

std::vector<std::string> LoadedRecords() {
    TFavoriteItems items;
    items.LoadFromReg();
    return items.Items().Lines();
}

} // namespace

using ExpertLifeTest = AddinTest;

TEST_F(ExpertLifeTest, MenuGoesInFrontOfSearchAndLeavesAtDestruction) {
    CreateExpert();
    EXPECT_EQ(host.TopLevelNames(), WithFavorites());
    const auto favorites = host.Find("FavoriteMenu");
    ASSERT_TRUE(favorites);
    EXPECT_EQ(favorites->caption, "F&avorites");
    EXPECT_EQ(favorites->flags, 6);
    for (const auto& entry : favorites->children)
        EXPECT_EQ(entry->flags, 6) << entry->name;
    // The main-menu interface obtained for the insertion was freed.
    EXPECT_EQ(host.liveMainMenus, 0);

    expert.reset();
    EXPECT_EQ(host.TopLevelNames(), HostMenus);
}

TEST_F(ExpertLifeTest, WithoutASearchMenuTheMenuGoesLast) {
    host.bar->children.erase(host.bar->children.begin() + 2);
    CreateExpert();
    EXPECT_EQ(host.TopLevelNames(), (std::vector<std::string>{"FileMenu", "EditMenu", "ViewMenu",
                                                              "HelpMenu", "FavoriteMenu"}));
}

TEST_F(ExpertLifeTest, SavesTheSortedCollectionAtDestruction) {
    const std::vector<std::string> sorted = {Record(0, 0, fitProject, 1, "/p/A.dpr", "A"),
                                             Record(0, 1, fitGroup, 2, "", "G"),
                                             Record(2, 0, fitUnit, 3, "/p/B.pas", "B")};
    StoreFavorites({sorted[2], sorted[0], sorted[1]}, 12);
    CreateExpert();
    expert->FavoriteItems().SetLastID(13);
    expert.reset();

    EXPECT_EQ(LoadedRecords(), sorted);
    TFavoriteItems saved;
    saved.LoadFromReg();
    EXPECT_EQ(saved.LastID(), 13);
}

TEST_F(ExpertLifeTest, ALoadAndUnloadWithoutChangesWriteNothing) {
    const QDir folder(dir.path());
    const QStringList before = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    CreateExpert(); // no registry file yet: no favorites
    EXPECT_EQ(expert->FavoriteItems().Items().Count(), 0);
    expert.reset();
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_TRUE(modal.ErrorTexts().empty());
}

TEST_F(ExpertLifeTest, UnreadableFavoritesStopTheLoadAndAreLeftAlone) {
    const std::string prefix =
        "Cannot load the favorites from HKEY_CURRENT_USER\\Favorites\\Items: ";
    struct Case {
        std::string label;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"not a component stream", {'n', 'o', 'p', 'e'}},
        {"cut short", {'T', 'P', 'F', '0', 0x0E, 'T', 'F', 'a', 'v'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        TRegIniFile("\\Favorites")
            .WriteBinaryData(std::string(sFavIdent), c.bytes.data(), c.bytes.size());
        try {
            CreateExpert();
            ADD_FAILURE() << "the expert was created";
        } catch (const std::exception& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.substr(0, prefix.size()), prefix);
            EXPECT_GT(message.size(), prefix.size()) << "the reason is missing";
            const std::string hint = "run: favorites repair";
            EXPECT_EQ(message.substr(message.size() - hint.size()), hint) << message;
        }
        EXPECT_EQ(host.TopLevelNames(), HostMenus);
        EXPECT_EQ(StoredBytes(), c.bytes);
    }
}

TEST_F(ExpertLifeTest, FavoritesStoredAsTextAreNotOverwritten) {
    const QString file = dir.filePath(QStringLiteral("HKEY_CURRENT_USER.reg"));
    {
        QFile reg(file);
        ASSERT_TRUE(reg.open(QIODevice::WriteOnly));
        reg.write("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Favorites]\r\n\"Items\"=\"text\"\r\n");
    }
    QFile reg(file);
    ASSERT_TRUE(reg.open(QIODevice::ReadOnly));
    const QByteArray before = reg.readAll();
    reg.close();

    EXPECT_THROW(CreateExpert(), std::exception);
    EXPECT_EQ(host.TopLevelNames(), HostMenus);
    ASSERT_TRUE(reg.open(QIODevice::ReadOnly));
    EXPECT_EQ(reg.readAll(), before);
}

TEST_F(ExpertLifeTest, FailedSaveAfterAChangeIsShownKeptInMemoryAndTriedAgainAtUnload) {
    for (const bool writableAtUnload : {false, true}) {
        SCOPED_TRACE(writableAtUnload ? "writable again at unload" : "still blocked at unload");
        const std::size_t shown = modal.ErrorTexts().size();
        const std::string file = RegistryFile();
        StoreFavorites({Record(0, 0, fitUnit, 1, "/p/A.pas", "A")}, 1);
        CreateExpert();
        // A registry file below a plain file cannot be written, not even by root.
        const std::string blocker = MakeFile("blocker");
        SetRegistryFile(blocker + "/HKEY_CURRENT_USER.reg");

        TStringList request{"3", "B", "/p/B.txt"};
        expert->AddFavorites(request);
        ASSERT_EQ(modal.ErrorTexts().size(), shown + 1);
        EXPECT_TRUE(modal.ErrorTexts().back().startsWith(
            "Cannot save the favorites to HKEY_CURRENT_USER\\Favorites\\Items: "))
            << modal.ErrorTexts().back().toStdString();
        EXPECT_NE(FavoritesMenu().find("&1 B"), std::string::npos) << FavoritesMenu();

        if (writableAtUnload)
            SetRegistryFile(file);
        expert.reset();
        EXPECT_EQ(modal.ErrorTexts().size(), shown + (writableAtUnload ? 1u : 2u));
        EXPECT_EQ(host.TopLevelNames(), HostMenus);
        SetRegistryFile(file);
        EXPECT_EQ(LoadedRecords().size(), writableAtUnload ? 2u : 1u);
    }
}

TEST_F(ExpertLifeTest, AboutBoxAtLoadAndFromTheMenu) {
    // Once by the unit's initialisation in SetUp.
    ASSERT_EQ(modal.Dialogs().size(), 1u);
    CreateExpert();
    EXPECT_EQ(modal.Dialogs().size(), 1u);
    ASSERT_TRUE(host.Click("AboutFavoriteItem"));
    ASSERT_EQ(modal.Dialogs().size(), 2u);
    EXPECT_EQ(modal.Dialogs()[1].objectName, modal.Dialogs()[0].objectName);
}

TEST_F(ExpertLifeTest, RegisterHandsTheExpertToTheHost) {
    RegisterLibraryExpert(new TFavoriteExpert());
    ASSERT_EQ(registered.size(), 1u);
    EXPECT_EQ(registered[0]->GetIDString(), "Favorite");
    EXPECT_EQ(host.TopLevelNames(), WithFavorites());
}
