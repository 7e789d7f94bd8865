// The Favorites menu as the expert builds it from the stored collection.
#include "AddinFixture.h"

#include "FavUtils.h"

#include <string>
#include <vector>

namespace {

const std::string FixedEntries = "AboutFavoriteItem\t&About Quarvel Favorites Add-In...\n"
                                 "EditFavoriteItem\t&Edit Favorites...\n"
                                 "AddFavoriteItem\tA&dd to Favorites...\n";

// The caption of the entry named `name`, or "<none>".
std::string CaptionOf(const RecordingHost& host, const std::string& name) {
    const auto node = host.Find(name);
    return node ? node->caption : std::string("<none>");
}

} // namespace

using FavoriteMenuTest = AddinTest;

TEST_F(FavoriteMenuTest, EmptyCollectionGivesOnlyTheFixedEntries) {
    CreateExpert();
    EXPECT_EQ(FavoritesMenu(), FixedEntries);
}

TEST_F(FavoriteMenuTest, GroupsAndKindsBecomeSubMenusAndSeparators) {
    // Stored out of order: the names carry indices into the sorted list.
    StoreFavorites({Record(3, 0, fitProject, 4, "/p/Delta.dpr", "Delta"),
                    Record(0, 2, fitGroup, 3, "", "Gamma"),
                    Record(0, 1, fitUnit, 2, "/p/Beta.pas", "Beta"),
                    Record(0, 0, fitProject, 1, "/p/Alpha.dpr", "Alpha")},
                   4);
    CreateExpert();
    EXPECT_EQ(FavoritesMenu(), FixedEntries + "Sep_0\t-\n"
                                              "FavItem_0_1\t&0 Alpha\n"
                                              "FavSep_2\t-\n"
                                              "FavItem_1_2\t&1 Beta\n"
                                              "FavSep_3\t-\n"
                                              "FavItem_2_3\t&2 Gamma\n"
                                              "  FavItem_3_4\t&0 Delta\n");
}

TEST_F(FavoriteMenuTest, SeparatorsStandBetweenKindClassesOnly) {
    struct Case {
        int first, second;
        bool separated;
    };
    const Case cases[] = {
        {fitProject, fitPackage, false},
        {fitPackage, fitProject, false},
        {fitUnit, fitFile, false},
        {fitFolder, fitGroup, false},
        {fitGroup, fitFolder, false},
        {fitProject, fitProject, false},
        {fitPackage, fitUnit, true},
        {fitFile, fitFolder, true},
        {fitProject, fitGroup, true},
        {fitGroup, fitProject, true},
        {6, 6, true},
        {fitProject, 6, true},
        {9, fitGroup, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("types " + std::to_string(c.first) + ", " + std::to_string(c.second));
        StoreFavorites(
            {Record(0, 0, c.first, 1, "/p/one", "One"), Record(0, 1, c.second, 2, "/p/two", "Two")},
            2);
        CreateExpert();
        EXPECT_EQ(host.Find("FavSep_2") != nullptr, c.separated);
        EXPECT_EQ(host.Find("FavSep_1"), nullptr);
        // Separators are not counted for accelerators.
        EXPECT_EQ(CaptionOf(host, "FavItem_1_2").substr(0, 3), "&1 ");
        expert.reset();
    }
}

TEST_F(FavoriteMenuTest, CaptionsShowAliasOrPathAndDotsForFolders) {
    struct Case {
        int type;
        std::string path, alias, caption;
    };
    const std::vector<Case> cases = {
        {fitUnit, "/p/Main.pas", "Main unit", "&0 Main unit"},
        {fitUnit, "/p/Main.pas", "", "&0 /p/Main.pas"},
        {fitUnit, "/p/Main.pas", "   ", "&0 /p/Main.pas"},
        {fitUnit, "/p/Main.pas", "  padded ", "&0   padded "},
        {fitFolder, "/p/src", "Sources", "&0 Sources..."},
        {fitFolder, "/p/src", " ", "&0 /p/src..."},
        {fitGroup, "", "Tools", "&0 Tools"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        StoreFavorites({Record(0, 0, c.type, 7, c.path, c.alias)}, 7);
        CreateExpert();
        EXPECT_EQ(CaptionOf(host, "FavItem_0_7"), c.caption);
        expert.reset();
    }
}

TEST_F(FavoriteMenuTest, AcceleratorsRunFromDigitsToLettersThenStop) {
    // 40 units at the top level and a group after them with 3 units of its own.
    std::vector<std::string> records;
    for (int i = 0; i < 40; ++i)
        records.push_back(Record(0, i, fitUnit, i + 1, "/p/u" + std::to_string(i) + ".pas",
                                 "U" + std::to_string(i)));
    records.push_back(Record(0, 40, fitGroup, 41, "", "Group"));
    for (int i = 0; i < 3; ++i)
        records.push_back(Record(41, i, fitUnit, 42 + i, "/p/g.pas", "G" + std::to_string(i)));
    StoreFavorites(records, 44);
    CreateExpert();

    const auto favorites = host.Find("FavoriteMenu");
    ASSERT_TRUE(favorites);
    std::vector<std::string> captions;
    for (const auto& entry : favorites->children)
        if (entry->caption != "-" && entry->name.rfind("FavItem", 0) == 0)
            captions.push_back(entry->caption);
    ASSERT_EQ(captions.size(), 41u);
    const std::pair<int, std::string> expected[] = {
        {0, "&0 U0"},   {9, "&9 U9"}, {10, "&A U10"}, {11, "&B U11"},
        {35, "&Z U35"}, {36, "U36"},  {39, "U39"},    {40, "Group"},
    };
    for (const auto& [index, caption] : expected)
        EXPECT_EQ(captions[index], caption) << "entry " << index;

    // The sub-menu counts from 0 again.
    const auto group = host.Find("FavItem_40_41");
    ASSERT_TRUE(group);
    ASSERT_EQ(group->children.size(), 3u);
    EXPECT_EQ(group->children[0]->caption, "&0 G0");
    EXPECT_EQ(group->children[2]->caption, "&2 G2");
}

TEST_F(FavoriteMenuTest, EmptyGroupIsAPlainEntryThatDoesNothing) {
    StoreFavorites({Record(0, 0, fitGroup, 5, "", "Empty")}, 5);
    CreateExpert();
    const auto group = host.Find("FavItem_0_5");
    ASSERT_TRUE(group);
    EXPECT_TRUE(group->children.empty());
    EXPECT_TRUE(host.Click("FavItem_0_5"));
    EXPECT_TRUE(host.opens.empty());
    EXPECT_TRUE(modal.Errors().empty());
}

TEST_F(FavoriteMenuTest, DestroyLeavesTheFixedEntriesAndRebuildIsTheSame) {
    StoreFavorites({Record(0, 0, fitProject, 1, "/p/A.dpr", "A"),
                    Record(0, 1, fitGroup, 2, "", "G"), Record(2, 0, fitGroup, 3, "", "Inner"),
                    Record(3, 0, fitUnit, 4, "/p/B.pas", "B")},
                   4);
    CreateExpert();
    const std::string built = FavoritesMenu();

    expert->DestroyFavoriteMenu();
    EXPECT_EQ(FavoritesMenu(), FixedEntries);

    expert->CreateFavoriteMenu();
    EXPECT_EQ(FavoritesMenu(), built);
}

TEST_F(FavoriteMenuTest, AGroupInsideItselfIsShownOnce) {
    // Damaged records: group 1 holds a group that has its own id.
    StoreFavorites({Record(0, 0, fitGroup, 1, "", "A"), Record(1, 0, fitGroup, 1, "", "A again")},
                   1);
    CreateExpert();
    EXPECT_EQ(FavoritesMenu(), FixedEntries + "Sep_0\t-\n"
                                              "FavItem_0_1\t&0 A\n"
                                              "  FavItem_1_1\t&0 A again\n");
}
