// Random sequences of the Edit dialog's commands against a plain model of the favorites:
// after every command the grid, the tree, the buttons and the working copy agree with the
// model, and OK hands back exactly the model's records.
#include "EditFav.h"
#include "EditFavFixture.h"
#include "Paths.h"
#include "StringList.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <map>
#include <random>

using ui::ScriptedModalInteraction;

namespace {

struct Item {
    int parent, position, type, id;
    std::string path, alias;
    std::string RecordText() const { return Record(parent, position, type, id, path, alias); }
};

// The favorites as the user sees them: aliases as typed, whether written back or not.
class Model {
public:
    std::vector<Item> items;
    int lastId = 0;
    int selected = 0; // a group id, 0 for "Favorites", AllFiles for "All Files"
    static constexpr int AllFiles = -1;

    Item* Find(int id) {
        for (Item& item : items)
            if (item.id == id)
                return &item;
        return nullptr;
    }
    // Records in the store's order: sorted by text ignoring case.
    std::vector<Item*> Sorted() {
        std::vector<Item*> sorted;
        for (Item& item : items)
            sorted.push_back(&item);
        std::stable_sort(sorted.begin(), sorted.end(), [](Item* a, Item* b) {
            return CompareText(a->RecordText(), b->RecordText()) < 0;
        });
        return sorted;
    }
    std::vector<Item*> Children(int parent) {
        std::vector<Item*> children;
        for (Item* item : Sorted())
            if (item->parent == parent)
                children.push_back(item);
        return children;
    }
    // What the grid lists for the selected node.
    std::vector<Item*> Rows() {
        if (selected != AllFiles)
            return Children(selected);
        std::vector<Item*> rows;
        for (int type = fitProject; type <= fitFolder; ++type)
            for (Item* item : Sorted())
                if (item->type == type)
                    rows.push_back(item);
        return rows;
    }
    // As the collection adds: in front of the first child of a greater type, the others
    // renumbered around it.
    int Add(int type, int parent, const std::string& path, const std::string& alias) {
        int result = -1;
        const std::vector<Item*> children = Children(parent);
        for (int i = 0; i < static_cast<int>(children.size()); ++i) {
            children[static_cast<std::size_t>(i)]->position = i;
            if (children[static_cast<std::size_t>(i)]->type > type) {
                if (result == -1)
                    result = i;
                children[static_cast<std::size_t>(i)]->position = i + 1;
            }
        }
        if (result == -1)
            result = static_cast<int>(children.size());
        items.push_back({parent, result, type, ++lastId, path, alias});
        return result;
    }
    bool HasChildren(int id) const {
        return std::any_of(items.begin(), items.end(),
                           [id](const Item& i) { return i.parent == id; });
    }
    std::string TreeText() {
        std::string out = "All Files\nFavorites\n";
        AddGroups(0, 1, out);
        return out;
    }
    std::vector<std::string> Records() {
        std::vector<std::string> records;
        for (Item* item : Sorted())
            records.push_back(item->RecordText());
        return records;
    }

private:
    void AddGroups(int parent, int depth, std::string& out) {
        for (Item* item : Children(parent)) {
            if (item->type != fitGroup)
                continue;
            out += std::string(2 * depth, ' ') + item->alias + "\n";
            AddGroups(item->id, depth + 1, out);
        }
    }
};

class EditSequenceTest : public EditFavTest {
protected:
    std::mt19937 random;
    Model model;
    std::vector<std::string> files;   // existing files a favorite may point to
    std::vector<std::string> folders; // existing folders
    std::string groupFolder;          // the folder an added group takes its files from
    std::vector<std::pair<int, std::string>> groupFiles; // its project and unit files

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    std::string RandomAlias() {
        static const char letters[] = "abcXYZ q";
        std::string alias(1, "ABCDEF"[Pick(6)]);
        for (int n = Pick(5); n > 0; --n)
            alias += letters[Pick(8)];
        return alias;
    }

    void MakeTargets() {
        for (const char* name : {"a.pas", "b.dpr", "c.dpk", "d.txt", "e.bpg"})
            files.push_back(MakeFile(name));
        for (const char* name : {"f1", "f2"})
            folders.push_back(MakeFolder(name));
        groupFolder = MakeFolder("g");
        for (const char* name : {"Zed.pas", "alpha.dpr", "Mid.dpk", "skip.txt"}) {
            const std::string file = MakeFile(std::string("g/") + name);
            if (GetFileItemType(file) != fitFile)
                groupFiles.emplace_back(GetFileItemType(file), file);
        }
        std::sort(groupFiles.begin(), groupFiles.end(), [](const auto& a, const auto& b) {
            return CompareText(std::to_string(a.first) + "|" + a.second,
                               std::to_string(b.first) + "|" + b.second) < 0;
        });
    }

    // A few groups, some nested, and favorites of every kind in them.
    void MakeStart() {
        model = Model();
        std::vector<int> groups{0};
        for (int n = 2 + Pick(10); n > 0; --n) {
            const int parent =
                groups[static_cast<std::size_t>(Pick(static_cast<int>(groups.size())))];
            const int type = std::min(Pick(8), static_cast<int>(fitGroup));
            std::string path;
            if (type == fitFolder)
                path = folders[static_cast<std::size_t>(Pick(2))];
            else if (type != fitGroup)
                path = Pick(4) == 0 ? dir.path().toStdString() + "/missing.pas"
                                    : files[static_cast<std::size_t>(Pick(5))];
            model.Add(type, parent, path, RandomAlias());
            if (type == fitGroup)
                groups.push_back(model.lastId);
        }
    }

    QTreeWidgetItem* NodeFor(int selected) const {
        QTreeWidgetItemIterator it(wnd->tvGroups);
        if (selected == Model::AllFiles)
            return *it;
        for (++it; *it; ++it)
            if ((*it)->data(0, Qt::UserRole).toInt() == selected)
                return *it;
        return nullptr;
    }

    // Everything the dialog shows and holds agrees with the model.
    void Check(const std::string& step) {
        SCOPED_TRACE(step);
        std::string tree;
        for (QTreeWidgetItemIterator it(wnd->tvGroups); *it; ++it) {
            int depth = 0;
            for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
                ++depth;
            tree += std::string(2 * depth, ' ') + (*it)->text(0).toStdString() + "\n";
        }
        EXPECT_EQ(tree, model.TreeText());
        EXPECT_EQ(wnd->tvGroups->currentItem(), NodeFor(model.selected));

        const std::vector<Item*> rows = model.Rows();
        std::vector<std::string> copy = wnd->EditItems().Items().Lines();
        if (rows.empty()) {
            EXPECT_FALSE(wnd->grdItems->isEnabled());
            EXPECT_EQ(wnd->grdItems->RowCount(), 2);
        } else {
            EXPECT_TRUE(wnd->grdItems->isEnabled());
            ASSERT_EQ(wnd->grdItems->RowCount(), static_cast<int>(rows.size()) + 1);
        }
        std::map<int, bool> shown;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const int row = static_cast<int>(r) + 1;
            const std::string record = wnd->grdItems->Cell(0, row).toStdString();
            EXPECT_NE(std::find(copy.begin(), copy.end(), record), copy.end())
                << "row " << row << " holds a record the copy does not: " << record;
            EXPECT_EQ(GetIntPart(record, 3, '|'), rows[r]->id) << "row " << row;
            EXPECT_EQ(wnd->grdItems->Cell(1, row).toStdString(), rows[r]->alias) << "row " << row;
            shown[rows[r]->id] = true;
        }
        // The copy: the model's records, but for aliases typed in the grid and not yet
        // written back.
        ASSERT_EQ(copy.size(), model.items.size());
        for (const std::string& record : copy) {
            Item* item = model.Find(GetIntPart(record, 3, '|'));
            ASSERT_NE(item, nullptr) << record;
            Item expected = *item;
            if (shown[item->id])
                expected.alias = RecordAlias(record);
            EXPECT_EQ(record, expected.RecordText());
        }
        // The buttons for the current row.
        const int row = wnd->grdItems->Row();
        const auto typeAt = [&](int r) {
            return r >= 1 && r <= static_cast<int>(rows.size())
                       ? rows[static_cast<std::size_t>(r - 1)]->type
                       : -1;
        };
        const bool any = !rows.empty();
        const bool group = model.selected != Model::AllFiles;
        std::string expected;
        expected += any ? 'P' : '-';
        expected += group ? 'A' : '-';
        expected += any && typeAt(row) != fitGroup ? 'E' : '-';
        expected += any ? 'D' : '-';
        expected += any && group && SameKindClass(typeAt(row - 1), typeAt(row)) ? 'U' : '-';
        expected += any && group && SameKindClass(typeAt(row + 1), typeAt(row)) ? 'N' : '-';
        EXPECT_EQ(Buttons(), expected) << "row " << row;
    }

    // One random command, done on the dialog and on the model.
    std::string Step() {
        std::vector<Item*> rows = model.Rows();
        const int count = static_cast<int>(rows.size());
        const int row = count > 0 ? 1 + Pick(count) : 1;
        if (count > 0)
            wnd->grdItems->SetRow(row);
        Item* item = count > 0 ? rows[static_cast<std::size_t>(row - 1)] : nullptr;
        switch (Pick(10)) {
        case 0:
        case 1: {
            if (!item)
                return "nothing to type on";
            const std::string alias = RandomAlias();
            if (Pick(5) == 0) {
                QTest::keyClick(wnd->grdItems, Qt::Key_F2);
                QTest::keyClicks(Editor(), QString::fromStdString(alias));
                QTest::keyClick(Editor(), Qt::Key_Escape);
                return "typed and escaped on row " + std::to_string(row);
            }
            TypeAlias(QString::fromStdString(alias));
            item->alias = alias;
            return "typed " + alias + " on row " + std::to_string(row);
        }
        case 2: {
            QTreeWidgetItemIterator it(wnd->tvGroups);
            std::vector<QTreeWidgetItem*> nodes;
            for (; *it; ++it)
                nodes.push_back(*it);
            const int index = Pick(static_cast<int>(nodes.size()));
            wnd->tvGroups->setCurrentItem(nodes[static_cast<std::size_t>(index)]);
            model.selected =
                index == 0 ? Model::AllFiles
                           : nodes[static_cast<std::size_t>(index)]->data(0, Qt::UserRole).toInt();
            return "selected node " + std::to_string(index);
        }
        case 3:
        case 8: {
            // A row that can move, if there is one.
            const int d = Pick(2) == 0 ? -1 : 1;
            std::vector<int> movable;
            for (int r = 1; r <= count; ++r)
                if (r + d >= 1 && r + d <= count &&
                    SameKindClass(rows[static_cast<std::size_t>(r - 1)]->type,
                                  rows[static_cast<std::size_t>(r - 1 + d)]->type))
                    movable.push_back(r);
            if (movable.empty() || model.selected == Model::AllFiles)
                return "nothing to move";
            const int r = movable[static_cast<std::size_t>(Pick(static_cast<int>(movable.size())))];
            wnd->grdItems->SetRow(r);
            QPushButton* button = d < 0 ? wnd->btnUp : wnd->btnDown;
            EXPECT_TRUE(button->isEnabled());
            item = rows[static_cast<std::size_t>(r - 1)];
            Item* other = rows[static_cast<std::size_t>(r - 1 + d)];
            // Shared positions are first numbered again in the order shown.
            std::vector<int> positions;
            for (Item* shown : rows)
                positions.push_back(shown->position);
            std::sort(positions.begin(), positions.end());
            if (std::adjacent_find(positions.begin(), positions.end()) != positions.end())
                for (int i = 0; i < count; ++i)
                    rows[static_cast<std::size_t>(i)]->position = i;
            std::swap(item->parent, other->parent);
            std::swap(item->position, other->position);
            button->click();
            EXPECT_EQ(wnd->grdItems->Row(), r + d);
            return std::string(d < 0 ? "up" : "down") + " on row " + std::to_string(r);
        }
        case 4: {
            if (!wnd->btnDelete->isEnabled())
                return "delete disabled";
            const qsizetype errors = modal.ErrorTexts().size();
            wnd->btnDelete->click();
            if (model.HasChildren(item->id)) {
                EXPECT_EQ(modal.ErrorTexts().size(), errors + 1);
                return "delete refused on row " + std::to_string(row);
            }
            const int id = item->id;
            model.items.erase(std::find_if(model.items.begin(), model.items.end(),
                                           [id](const Item& i) { return i.id == id; }));
            if (count > 1) {
                EXPECT_EQ(wnd->grdItems->Row(), std::min(row, count - 1));
            }
            return "deleted row " + std::to_string(row);
        }
        case 5: {
            if (!wnd->btnOpen->isEnabled())
                return "open disabled";
            wnd->btnOpen->click();
            if (item->type == fitGroup)
                model.selected = item->id;
            return "opened row " + std::to_string(row);
        }
        case 6:
        case 7: {
            if (!wnd->btnAdd->isEnabled())
                return "add disabled";
            const bool group = Pick(3) == 0;
            const std::string alias = RandomAlias();
            int position = 0;
            if (group) {
                modal.QueueDialog(AddScript(true, groupFolder, alias));
                position = model.Add(fitGroup, model.selected, "", alias);
                const int groupId = model.lastId;
                for (std::size_t i = 0; i < groupFiles.size(); ++i)
                    model.items.push_back({groupId, static_cast<int>(i), groupFiles[i].first,
                                           ++model.lastId, groupFiles[i].second,
                                           ExtractFileName(groupFiles[i].second)});
            } else {
                const std::string& file = files[static_cast<std::size_t>(Pick(5))];
                modal.QueueDialog(AddScript(false, file, alias));
                position = model.Add(GetFileItemType(file), model.selected, file, alias);
            }
            wnd->btnAdd->click();
            EXPECT_EQ(wnd->grdItems->Row(), position + 1);
            return std::string("added ") + (group ? "a group " : "") + alias;
        }
        default: {
            if (!wnd->btnEdit->isEnabled())
                return "edit disabled";
            if (item->type == fitFolder) {
                item->path = folders[static_cast<std::size_t>(Pick(2))];
                modal.QueueFolder(QString::fromStdString(item->path));
            } else {
                item->path = files[static_cast<std::size_t>(Pick(5))];
                modal.QueueOpenFile({QString::fromStdString(item->path)});
            }
            wnd->btnEdit->click();
            return "edited row " + std::to_string(row);
        }
        }
    }
};

TEST_F(EditSequenceTest, RandomCommandsAgreeWithAPlainModel) {
    MakeTargets();
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        random.seed(seed);
        MakeStart();
        TFavoriteItems items;
        Fill(items, model.Records(), model.lastId);
        const bool ok = Pick(5) != 0;
        std::vector<std::string> steps;
        modal.QueueDialog([&](QDialog& dialog) {
            Take(dialog);
            Check("opened");
            for (int n = 0; n < 20 && !HasFailure(); ++n) {
                steps.push_back(Step());
                Check(steps.back());
            }
            return ScriptedModalInteraction::ClickButton(ok ? "btnOk" : "btnCancel")(dialog);
        });
        const std::vector<std::string> before = items.Items().Lines();
        EXPECT_EQ(EditFavorites(items), ok);
        EXPECT_TRUE(modal.AllAnswersUsed());
        if (ok) {
            items.Items().Sort();
            EXPECT_EQ(items.Items().Lines(), model.Records());
            EXPECT_EQ(items.LastID(), model.lastId);
        } else {
            EXPECT_EQ(items.Items().Lines(), before);
        }
        if (HasFailure()) {
            std::string trail;
            for (const std::string& s : steps)
                trail += "  " + s + "\n";
            ADD_FAILURE() << "steps:\n" << trail;
            break;
        }
    }
}

} // namespace
