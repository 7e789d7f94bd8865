// An open IDE follows the stored favorites: another writer's save shows in its menu, its own
// saves cause no reload, a dialog that is open defers the reload, bursts are gathered, and a
// value that cannot be read leaves the menu alone.
#include "AddinFixture.h"

#include "EditFavoritesWnd.h"
#include "FavConsts.h"
#include "Registry.h"
#include "RegistryWatcher.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <chrono>
#include <fstream>

namespace {

using ui::ScriptedModalInteraction;

// A generous bound for the harness, not a timed expectation: on a loaded machine a change
// may take a while to arrive.
constexpr int Patience = 20000;

class FollowTest : public AddinTest {
protected:
    void SetUp() override {
        AddinTest::SetUp();
        StoreFavorites({Record(0, 0, fitUnit, 1, MakeFile("a.pas"), "a"),
                        Record(0, 1, fitFile, 2, MakeFile("b.txt"), "b")},
                       2);
        CreateExpert();
    }
    // Another IDE's save: load, change, save.
    static void OtherWriter(const std::function<void(TFavoriteItems&)>& change) {
        TFavoriteItems other;
        other.LoadFromReg();
        change(other);
        other.SaveToReg();
    }
    bool MenuShows(const std::string& text) const {
        return FavoritesMenu().find(text) != std::string::npos;
    }
    int Deliveries() const { return expert->Watcher()->Deliveries(); }
    // Processes events until the watcher has told the expert of another change.
    bool NextDelivery() {
        const int seen = Deliveries();
        return QTest::qWaitFor([&] { return Deliveries() > seen; }, Patience);
    }
    // The menu's first separator, which every rebuild makes anew.
    std::shared_ptr<FakeMenuNode> Built() const { return host.Find("Sep_0"); }
};

TEST_F(FollowTest, AnotherWritersSaveShowsInTheMenu) {
    OtherWriter([](TFavoriteItems& items) { items.AddItem(fitFile, 0, "/q/other.txt", "by other IDE"); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return MenuShows("by other IDE"); }, Patience))
        << FavoritesMenu();

    // A real process: the favorites tool renames an entry.
    QProcess tool;
    tool.start(QString::fromUtf8(FAVORITES_EXE), {"--registry", QString::fromStdString(RegistryFile()),
                                                  "rename", "2", "by the tool"});
    ASSERT_TRUE(tool.waitForFinished(Patience));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return MenuShows("by the tool"); }, Patience))
        << FavoritesMenu();
    EXPECT_TRUE(MenuShows("by other IDE"));
    EXPECT_TRUE(modal.ErrorTexts().empty());
}

TEST_F(FollowTest, AnEntryPickedBeforeTheMenuFollowedOpensTheRecordAsStoredNow) {
    const std::string moved = MakeFile("moved.txt");
    std::string entry;
    for (const auto& child : host.Find(std::string(sFavMenu))->children)
        if (child->caption == "&1 b")
            entry = child->name;
    OtherWriter([&](TFavoriteItems& items) {
        const std::string record = *std::as_const(items).FindItem(2);
        items.ChangeFileName(record, moved);
    });
    // Clicked at once, before any event: the click itself reads the stored value.
    ASSERT_TRUE(host.Click(entry)) << entry;
    ASSERT_EQ(host.opens.size(), 1u);
    EXPECT_EQ(host.opens[0].fileName, moved);

    // Deleted meanwhile: nothing opens, and the entry leaves the menu.
    OtherWriter([](TFavoriteItems& items) {
        const std::string record = *std::as_const(items).FindItem(2);
        items.Items().Delete(items.Items().IndexOf(record));
    });
    ASSERT_TRUE(host.Click(entry));
    EXPECT_EQ(host.opens.size(), 1u);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !MenuShows("&1 b"); }, Patience)) << FavoritesMenu();
    EXPECT_TRUE(modal.ErrorTexts().empty());
}

TEST_F(FollowTest, TheExpertsOwnSaveCausesNoReload) {
    TStringList request{"3", "own", MakeFile("own.txt")};
    expert->AddFavorites(request);
    const std::shared_ptr<FakeMenuNode> built = Built();
    ASSERT_TRUE(NextDelivery()) << "the save was not seen";
    EXPECT_EQ(Built(), built) << "the menu was rebuilt for the expert's own save";
    EXPECT_TRUE(MenuShows("own"));
}

TEST_F(FollowTest, TheReloadWaitsWhileADialogIsOpen) {
    for (const char* button : {"btnCancel", "btnOk"}) {
        SCOPED_TRACE(button);
        const std::string alias = std::string("from the other IDE, during ") + button;
        modal.QueueDialog([&](QDialog& dialog) {
            OtherWriter([&](TFavoriteItems& items) { items.AddItem(fitFile, 0, "/q/x.txt", alias); });
            const std::shared_ptr<FakeMenuNode> built = Built();
            EXPECT_TRUE(NextDelivery());
            EXPECT_EQ(Built(), built) << "rebuilt under an open dialog";
            EXPECT_FALSE(MenuShows(alias));
            static_cast<TEditFavoritesWnd&>(dialog).grdItems->SetCell(1, 1, QString::fromLatin1(button));
            return ScriptedModalInteraction::ClickButton(QString::fromLatin1(button))(dialog);
        });
        ASSERT_TRUE(host.Click("EditFavoriteItem"));
        ASSERT_TRUE(modal.AllAnswersUsed());
        EXPECT_TRUE(QTest::qWaitFor([&] { return MenuShows(alias); }, Patience)) << FavoritesMenu();
        // OK merged the rename made in the dialog with the other IDE's addition.
        EXPECT_EQ(MenuShows("&0 btnOk"), std::string(button) == "btnOk") << FavoritesMenu();
    }
    TFavoriteItems stored;
    stored.LoadFromReg();
    EXPECT_EQ(stored.Items().Count(), 4);
}

TEST_F(FollowTest, ABurstOfChangesGivesAFewRebuilds) {
    constexpr int Changes = 50;
    const int before = Deliveries();
    QElapsedTimer burst;
    burst.start();
    TFavoriteItems other;
    other.LoadFromReg();
    for (int i = 1; i <= Changes; ++i) {
        const std::string record = *std::as_const(other).FindItem(1);
        other.ChangeAlias(record, "alias " + std::to_string(i));
        other.SaveToReg();
    }
    const qint64 took = burst.elapsed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return MenuShows("alias 50"); }, Patience)) << FavoritesMenu();
    // At most one delivery per gathering delay while the burst lasted, and one after it.
    const int delay = static_cast<int>(ui::RegistryWatcher::DefaultDelay.count());
    EXPECT_LE(Deliveries() - before, static_cast<int>(took / delay) + 2)
        << Changes << " changes in " << took << " ms";
}

TEST_F(FollowTest, AValueThatCannotBeReadLeavesTheMenuAlone) {
    const std::string menu = FavoritesMenu();
    const std::shared_ptr<FakeMenuNode> built = Built();
    const std::uint8_t garbage[] = {'T', 'P', 'F', '0', 1, 2, 3};
    TRegIniFile("\\Favorites").WriteBinaryData("Items", garbage, sizeof garbage);
    ASSERT_TRUE(NextDelivery());
    // A registry file that does not parse at all.
    { std::ofstream(RegistryFile(), std::ios::binary | std::ios::trunc) << "not a registry file"; }
    ASSERT_TRUE(NextDelivery());
    EXPECT_EQ(Built(), built);
    EXPECT_EQ(FavoritesMenu(), menu);
    EXPECT_TRUE(modal.ErrorTexts().empty());
    EXPECT_EQ(expert->FavoriteItems().Items().Count(), 2);
}

} // namespace
