// Choosing a favorite: the checks before opening and how each kind is opened.
#include "AddinFixture.h"

#include "FavConsts.h"
#include "FavUtils.h"
#include "Modal.h"

#include <string>
#include <vector>

namespace {

using Open = RecordingHost::Open;

// Clicks an entry that only carries a name, as a stale or hand-made entry would.
void ClickNamed(TFavoriteExpert& expert, const std::string& name) {
    auto node = std::make_shared<FakeMenuNode>();
    node->name = name;
    FakeMenuItem item(node);
    expert.FavoriteItemClick(item);
}

} // namespace

using FavoriteItemClickTest = AddinTest;

TEST_F(FavoriteItemClickTest, ChecksThenOpensByKind) {
    struct Case {
        std::string label;
        int type;
        std::string file; // relative to the private folder
        bool exists;
        bool alreadyOpen;
        std::vector<Open::Kind> opens; // of the favorite's own path
        std::string error;             // with <path> for the favorite's path
    };
    const std::vector<Case> cases = {
        {"project", fitProject, "Sample.dpr", true, false, {Open::Project}, ""},
        {"project upper case", fitProject, "SAMPLE2.DPR", true, false, {Open::Project}, ""},
        {"project group", fitProject, "Sample.bpg", true, false, {Open::File}, ""},
        {"project group mixed case", fitProject, "Other.Bpg", true, false, {Open::File}, ""},
        {"package", fitPackage, "Tools.dpk", true, false, {Open::File}, ""},
        {"unit", fitUnit, "Main.pas", true, false, {Open::File}, ""},
        {"other file", fitFile, "notes.txt", true, false, {Open::File}, ""},
        {"missing project",
         fitProject,
         "Gone.dpr",
         false,
         false,
         {},
         "Project: \"<path>\" does not exists."},
        {"missing project group",
         fitProject,
         "Gone.bpg",
         false,
         false,
         {},
         "Project: \"<path>\" does not exists."},
        {"missing package",
         fitPackage,
         "Gone.dpk",
         false,
         false,
         {},
         "Library: \"<path>\" does not exists."},
        {"missing unit",
         fitUnit,
         "Gone.pas",
         false,
         false,
         {},
         "Unit: \"<path>\" does not exists."},
        {"missing file",
         fitFile,
         "gone.txt",
         false,
         false,
         {},
         "File: \"<path>\" does not exists."},
        {"missing folder",
         fitFolder,
         "GoneFolder",
         false,
         false,
         {},
         "Folder: \"<path>\" does not exists."},
        {"open project",
         fitProject,
         "Open.dpr",
         true,
         true,
         {},
         "Project: \"<path>\" is already opened"},
        {"open package",
         fitPackage,
         "Open.dpk",
         true,
         true,
         {},
         "Library: \"<path>\" is already opened"},
        {"open unit", fitUnit, "Open.pas", true, true, {}, "Unit: \"<path>\" is already opened"},
        {"open file", fitFile, "open.txt", true, true, {}, "File: \"<path>\" is already opened"},
        {"unknown type", 7, "odd.xyz", true, false, {}, ""},
    };
    for (const Case& c : cases) {
        for (const int parent : {0, 9}) { // the same at the top level and inside a group
            SCOPED_TRACE(c.label + (parent ? " in a group" : " at the top level"));
            const std::string path = c.exists ? MakeFile(c.file) : PathOf(c.file);
            std::vector<std::string> records = {Record(parent, 0, c.type, 3, path, "Fav")};
            if (parent)
                records.push_back(Record(0, 0, fitGroup, parent, "", "Group"));
            StoreFavorites(records, 9);
            host.opens.clear();
            host.openFiles.clear();
            if (c.alreadyOpen)
                host.openFiles.insert(path);
            const qsizetype errorsBefore = modal.ErrorTexts().size();
            CreateExpert();

            const std::string name = parent ? "FavItem_1_3" : "FavItem_0_3";
            ASSERT_TRUE(host.Click(name));

            std::vector<Open> expected;
            for (const Open::Kind kind : c.opens)
                expected.push_back({kind, path});
            EXPECT_EQ(host.opens, expected);
            const QStringList errors = modal.ErrorTexts().mid(errorsBefore);
            if (c.error.empty()) {
                EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
            } else {
                std::string text = c.error;
                text.replace(text.find("<path>"), 6, path);
                EXPECT_EQ(errors, QStringList{QString::fromStdString(text)});
            }
            expert.reset();
        }
    }
}

TEST_F(FavoriteItemClickTest, FolderOffersTheOpenDialogThere) {
    struct Case {
        std::string label;
        QStringList chosen; // empty: the user cancels
        std::vector<Open> opens;
    };
    const std::string folder = MakeFolder("Sources");
    const std::string project = folder + "/App.dpr";
    const std::string unit = folder + "/Unit1.pas";
    const std::string group = folder + "/All.bpg";
    const std::vector<Case> cases = {
        {"project", {QString::fromStdString(project)}, {{Open::Project, project}}},
        {"unit", {QString::fromStdString(unit)}, {{Open::File, unit}}},
        {"project group", {QString::fromStdString(group)}, {{Open::File, group}}},
        // The chosen file is not checked: it need not exist.
        {"cancel", {}, {}},
    };
    StoreFavorites({Record(0, 0, fitFolder, 1, folder, "Sources")}, 1);
    CreateExpert();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        host.opens.clear();
        if (c.chosen.isEmpty())
            modal.QueueOpenFileCancel();
        else
            modal.QueueOpenFile(c.chosen);
        ASSERT_TRUE(host.Click("FavItem_0_1"));
        EXPECT_EQ(host.opens, c.opens);
        ASSERT_FALSE(modal.OpenFiles().empty());
        const ui::OpenDialogState& shown = modal.OpenFiles().back();
        EXPECT_EQ(shown.initialDir.toStdString(), folder);
        EXPECT_TRUE(shown.fileName.isEmpty());
    }
    EXPECT_TRUE(modal.AllAnswersUsed());
    EXPECT_TRUE(modal.Errors().empty());
}

TEST_F(FavoriteItemClickTest, OpenDialogKeepsTheFilterTheUserLeft) {
    const std::string folder = MakeFolder("Sources");
    StoreFavorites({Record(0, 0, fitFolder, 1, folder, "Sources")}, 1);
    CreateExpert();

    modal.QueueOpenFileCancel(4);
    host.Click("FavItem_0_1");
    modal.QueueOpenFileCancel();
    host.Click("FavItem_0_1");

    ASSERT_EQ(modal.OpenFiles().size(), 2u);
    const ui::OpenDialogState& first = modal.OpenFiles()[0];
    EXPECT_EQ(first.filterIndex, 1);
    EXPECT_EQ(first.filter.toStdString(), sOpenDialogFilter);
    EXPECT_TRUE(first.options.hideReadOnly);
    EXPECT_TRUE(first.options.enableSizing);
    EXPECT_FALSE(first.options.fileMustExist);
    EXPECT_FALSE(first.options.allowMultiSelect);
    EXPECT_EQ(modal.OpenFiles()[1].filterIndex, 4);
}

TEST_F(FavoriteItemClickTest, EntryNamesAreResolvedByIdWhenTheIndexDoesNotFit) {
    const std::string first = MakeFile("First.pas");
    const std::string second = MakeFile("Second.pas");
    StoreFavorites({Record(0, 0, fitUnit, 1, first, "First"),
                    Record(0, 1, fitUnit, 2, second, "Second"),
                    Record(0, 2, fitGroup, 3, "", "Group")},
                   3);
    CreateExpert();
    struct Case {
        std::string name;
        std::vector<Open> opens;
    };
    const std::vector<Case> cases = {
        {"FavItem_1_2", {{Open::File, second}}},
        {"FavItem_0_2", {{Open::File, second}}}, // index of another record
        {"FavItem_99_1", {{Open::File, first}}}, // index past the end
        {"FavItem_-1_1", {{Open::File, first}}}, // negative index
        {"FavItem_0_77", {}},                    // no record has the id
        {"FavItem_2_3", {}},                     // a group
        {"FavItem", {}},                         // no index, no id: id 0 is no record
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.opens.clear();
        host.openFiles.clear();
        ClickNamed(*expert, c.name);
        EXPECT_EQ(host.opens, c.opens);
    }
    EXPECT_TRUE(modal.Errors().empty());
}

TEST_F(FavoriteItemClickTest, StaleMenuAfterAResortStillOpensTheRightFavorite) {
    const std::string b = MakeFile("B.pas");
    StoreFavorites({Record(0, 1, fitUnit, 2, b, "B")}, 2);
    CreateExpert();
    ASSERT_TRUE(host.Find("FavItem_0_2"));
    // A record sorting in front shifts B to index 1 while the menu still says 0.
    expert->FavoriteItems().AddItem(fitProject, 0, "/p/A.dpr", "A");
    expert->FavoriteItems().Items().Sort();
    ASSERT_NE(expert->FavoriteItems().Items()[0].find("A.dpr"), std::string::npos);

    host.Click("FavItem_0_2");
    EXPECT_EQ(host.opens, (std::vector<Open>{{Open::File, b}}));
}
