// The Edit dialog's commands: typing an alias, Open, Add..., Edit..., Delete, Up, Down, Help
// and About, each on the working copy, the grid and the tree.
#include "AboutWnd.h"
#include "AddToFavoritesWnd.h"
#include "EditFav.h"
#include "EditFavFixture.h"
#include "QtPrinters.h"
#include "TextBytes.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <typeindex>

using ui::ScriptedModalInteraction;

namespace {

using EditCommandsTest = EditFavTest;

TEST_F(EditCommandsTest, AGroupsNodeFollowsItsAliasKeystrokeByKeystroke) {
    Open({Record(0, 0, fitUnit, 1, "/p/a.pas", "unit"), Record(0, 1, fitGroup, 2, "", "One"),
          Record(0, 2, fitGroup, 3, "", "Two")},
         3);
    const std::string before = Tree();
    TypeAlias("unit renamed");
    EXPECT_EQ(Tree(), before) << "a favorite's alias is not in the tree";

    wnd->grdItems->SetRow(3);
    QTest::keyClick(wnd->grdItems, Qt::Key_F2);
    ASSERT_NE(Editor(), nullptr);
    Editor()->selectAll();
    QTest::keyClick(Editor(), Qt::Key_Backspace);
    for (const QString& typed :
         {QStringLiteral("N"), QStringLiteral("Ne"), QStringLiteral("New")}) {
        QTest::keyClick(Editor(), typed.back().toLatin1());
        EXPECT_EQ(wnd->tvGroups->topLevelItem(1)->child(1)->text(0), typed);
    }
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(wnd->tvGroups->topLevelItem(1)->child(1)->text(0), "Two") << "Escape takes it back";
    // The same node again, now through the remembered one.
    TypeAlias("Zwei");
    EXPECT_EQ(wnd->tvGroups->topLevelItem(1)->child(1)->text(0), "Zwei");
    EXPECT_EQ(Copy()[2], Record(0, 2, fitGroup, 3, "", "Two")) << "written back only later";
}

TEST_F(EditCommandsTest, OpenAndDoubleClickGoIntoAGroup) {
    Open({Record(0, 0, fitUnit, 1, "/p/a.pas", "unit"), Record(0, 1, fitGroup, 2, "", "Full"),
          Record(0, 2, fitGroup, 3, "", "Empty"), Record(2, 0, fitFile, 4, "/p/b.txt", "b"),
          Record(2, 1, fitGroup, 5, "", "Inner")},
         5);
    TypeAlias("typed");
    wnd->btnOpen->click();
    EXPECT_EQ(Tree(), "All Files\nFavorites + *\n  Full\n    Inner\n  Empty\n")
        << "Open on a favorite does nothing";

    // A double click on a group's row: the group selected and expanded, its members listed,
    // and the alias typed on leaving written back.
    const QRect full = wnd->grdItems->visualRect(wnd->grdItems->model()->index(1, 1));
    QTest::mouseDClick(wnd->grdItems->viewport(), Qt::LeftButton, {}, full.center());
    EXPECT_EQ(Tree(), "All Files\nFavorites +\n  Full + *\n    Inner\n  Empty\n");
    EXPECT_EQ(Aliases(), "b,Inner");
    EXPECT_EQ(Copy()[0], Record(0, 0, fitUnit, 1, "/p/a.pas", "typed"));

    // An empty group: the grid cannot take the focus, Add... gets it.
    SelectNode("Favorites");
    wnd->grdItems->SetRow(3);
    wnd->btnOpen->click();
    EXPECT_EQ(wnd->tvGroups->currentItem()->text(0), "Empty");
    EXPECT_FALSE(wnd->grdItems->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), wnd->btnAdd);
}

TEST_F(EditCommandsTest, DeleteKeepsTheRowsTheTreeAndTheCopyTogether) {
    const std::vector<std::string> records = {
        Record(0, 0, fitUnit, 1, "/p/a.pas", "a"), Record(0, 1, fitUnit, 2, "/p/b.pas", "b"),
        Record(0, 2, fitFile, 3, "/p/c.txt", "c"), Record(0, 3, fitGroup, 4, "", "Empty"),
        Record(0, 4, fitGroup, 5, "", "Full"),     Record(5, 0, fitFile, 6, "/p/d.txt", "d")};
    Open(records, 6);

    // A group with members is refused, and nothing changes.
    wnd->grdItems->SetRow(5);
    wnd->btnDelete->click();
    EXPECT_EQ(modal.ErrorTexts(), QStringList{"Cann't Delete. Item contains sub items."});
    EXPECT_EQ(Aliases(), "a,b,c,Empty,Full");
    EXPECT_EQ(Copy(), records);

    // An empty group whose name was being typed: its row, its node and the remembered node go.
    wnd->grdItems->SetRow(4);
    TypeAlias("Gone");
    wnd->btnDelete->click();
    EXPECT_EQ(Aliases(), "a,b,c,Full");
    EXPECT_EQ(Tree(), "All Files\nFavorites + *\n  Full\n");
    EXPECT_EQ(wnd->grdItems->Row(), 4) << "the same row, now the next item";
    TypeAlias("Full too"); // would reach the deleted node if it were still remembered
    EXPECT_EQ(Tree(), "All Files\nFavorites + *\n  Full too\n");

    // A middle row, then the last row: no confirmation; the gap in positions stays.
    wnd->grdItems->SetRow(2);
    wnd->btnDelete->click();
    EXPECT_EQ(Aliases(), "a,c,Full too");
    EXPECT_EQ(wnd->grdItems->Row(), 2);
    EXPECT_EQ(Copy(), (std::vector<std::string>{records[0], records[2], records[4], records[5]}));
    EXPECT_TRUE(modal.ErrorTexts().size() == 1 && modal.Dialogs().empty());

    // The only member of a group: a blank, disabled grid and only Add... enabled.
    SelectNode("Full too");
    wnd->btnDelete->click();
    EXPECT_EQ(wnd->grdItems->RowCount(), 2);
    EXPECT_EQ(wnd->grdItems->Cell(0, 1), "");
    EXPECT_FALSE(wnd->grdItems->isEnabled());
    EXPECT_EQ(Buttons(), "-A----");
    SelectNode("Favorites");
    wnd->grdItems->SetRow(3);
    wnd->btnDelete->click();
    EXPECT_EQ(Aliases(), "a,c");
    EXPECT_EQ(wnd->grdItems->Row(), 2) << "deleting the last row makes the one above current";

    SelectNode("All Files");
    wnd->btnDelete->click();
    wnd->btnDelete->click();
    EXPECT_EQ(Buttons(), "------") << "Add... stays disabled in All Files";
    EXPECT_TRUE(Copy().empty());
}

TEST_F(EditCommandsTest, UpAndDownMoveWithinAKindClassCarryingTheAliases) {
    Open({Record(0, 0, fitProject, 1, "/p/p.dpr", "project"),
          Record(0, 1, fitPackage, 2, "/p/k.dpk", "package"),
          Record(0, 2, fitFolder, 3, "/p", "folder"), Record(0, 3, fitGroup, 4, "", "First"),
          Record(0, 4, fitGroup, 5, "", "Second"), Record(0, 5, fitGroup, 6, "", "Third"),
          Record(4, 0, fitGroup, 7, "", "Inner")},
         7);
    // Up on row 2: the package on row 1, current, and Up disabled there; typed aliases travel.
    TypeAlias("typed project");
    wnd->grdItems->SetRow(2);
    TypeAlias("typed package");
    wnd->btnUp->click();
    EXPECT_EQ(Aliases(), "typed package,typed project,folder,First,Second,Third");
    EXPECT_EQ(wnd->grdItems->Row(), 1);
    EXPECT_FALSE(wnd->btnUp->isEnabled());
    EXPECT_EQ(Copy()[0], Record(0, 0, fitPackage, 2, "/p/k.dpk", "typed package"));
    EXPECT_EQ(Copy()[1], Record(0, 1, fitProject, 1, "/p/p.dpr", "typed project"));

    // A folder and a group: the tree stays as it was.
    const std::string tree = Tree();
    wnd->grdItems->SetRow(3);
    wnd->btnDown->click();
    EXPECT_EQ(Aliases(), "typed package,typed project,First,folder,Second,Third");
    EXPECT_EQ(Tree(), tree);

    // Two groups: the tree is built again in the new order, the same node selected; a name
    // typed for a third group and not written back yet stays in it.
    wnd->grdItems->SetRow(6);
    TypeAlias("Third typed");
    wnd->grdItems->SetRow(3);
    wnd->btnDown->click();
    wnd->btnDown->click(); // the current row follows the moved item
    EXPECT_EQ(Aliases(), "typed package,typed project,folder,Second,First,Third typed");
    EXPECT_EQ(Tree(), "All Files\nFavorites + *\n  Second\n  First\n    Inner\n  Third typed\n");
    EXPECT_EQ(wnd->grdItems->Row(), 5);
}

TEST_F(EditCommandsTest, AMoveAfterAnAdditionAmongChildrenOutOfTypeOrderIsKept) {
    const std::string project = MakeFile("New.dpr");
    TFavoriteItems items;
    items.SetItems(TStringList{Record(0, 0, fitProject, 1, "/p/p.dpr", "project"),
                               Record(0, 1, fitPackage, 2, "/p/k.dpk", "package")});
    items.SetLastID(2);
    modal.QueueDialog([&](QDialog& dialog) {
        Take(dialog);
        wnd->btnDown->click();
        EXPECT_EQ(Aliases(), "package,project");
        // The addition gives the package and the project one position, which sorts them by
        // type; a move between them must still be one of the copy.
        modal.QueueDialog(AddScript(false, project, "new"));
        wnd->btnAdd->click();
        EXPECT_EQ(Aliases(), "new,project,package");
        wnd->grdItems->SetRow(3);
        wnd->btnUp->click();
        EXPECT_EQ(Aliases(), "new,package,project");
        return ScriptedModalInteraction::ClickButton("btnOk")(dialog);
    });
    ASSERT_TRUE(EditFavorites(items));
    items.Items().Sort();
    EXPECT_EQ(items.Items().Lines(),
              (std::vector<std::string>{Record(0, 0, fitProject, 3, project, "new"),
                                        Record(0, 1, fitPackage, 2, "/p/k.dpk", "package"),
                                        Record(0, 2, fitProject, 1, "/p/p.dpr", "project")}));
}

TEST_F(EditCommandsTest, ACommandWithTheAliasEditorOpenKeepsEachTextWithItsItem) {
    Open({Record(0, 0, fitProject, 1, "/p/p.dpr", "project"),
          Record(0, 1, fitPackage, 2, "/p/k.dpk", "package"),
          Record(0, 2, fitFile, 3, "/p/t.txt", "text")},
         3);
    // Typed, no Enter: the command takes the text along with its item.
    wnd->grdItems->SetRow(2);
    QTest::keyClick(wnd->grdItems, Qt::Key_F2);
    QTest::keyClick(Editor(), Qt::Key_End);
    QTest::keyClicks(Editor(), QStringLiteral(" typed"));
    wnd->btnUp->click();
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Aliases(), "package typed,project,text");
    EXPECT_EQ(Copy()[0], Record(0, 0, fitPackage, 2, "/p/k.dpk", "package typed"));

    // The editor of a deleted row does not hand its text to the row that moves up.
    wnd->grdItems->SetRow(2);
    QTest::keyClick(wnd->grdItems, Qt::Key_F2);
    QTest::keyClick(Editor(), Qt::Key_End);
    QTest::keyClicks(Editor(), QStringLiteral(" gone"));
    wnd->btnDelete->click();
    QApplication::processEvents();
    EXPECT_EQ(Aliases(), "package typed,text");
    wnd->FlushGrid();
    EXPECT_EQ(Copy()[1], Record(0, 2, fitFile, 3, "/p/t.txt", "text"));
}

TEST_F(EditCommandsTest, EditRepointsOnlyThePath) {
    const std::string folder = MakeFolder("old folder");
    const std::string other = MakeFolder("new folder");
    const std::string unit = MakeFile("src/Main.pas");
    Open({Record(0, 0, fitUnit, 1, unit, "unit"), Record(0, 1, fitFolder, 2, folder, "folder")}, 2);
    wnd->grdItems->SetRow(2);
    modal.QueueFolder(QString::fromStdString(other));
    wnd->btnEdit->click();
    ASSERT_EQ(modal.Folders().size(), 1u);
    EXPECT_EQ(modal.Folders()[0].prompt, "Choose Folder:");
    EXPECT_EQ(modal.Folders()[0].folder.toStdString(), folder);
    EXPECT_EQ(Copy()[1], Record(0, 1, fitFolder, 2, other, "folder"));
    EXPECT_EQ(wnd->grdItems->Cell(0, 2).toStdString(), Copy()[1]);

    // A file: the form's own open dialog with the name filled in, the first file type at
    // first and the one the user left afterwards; a project file keeps the unit's type code.
    wnd->grdItems->SetRow(1);
    const std::string project = MakeFile("src/Other.dpr");
    modal.QueueOpenFile({QString::fromStdString(project)}, 3);
    wnd->btnEdit->click();
    modal.QueueOpenFileCancel();
    wnd->btnEdit->click();
    ASSERT_EQ(modal.OpenFiles().size(), 2u);
    EXPECT_EQ(modal.OpenFiles()[0].fileName.toStdString(), unit);
    EXPECT_EQ(modal.OpenFiles()[0].filterIndex, 1);
    EXPECT_EQ(modal.OpenFiles()[0].title, "Open");
    EXPECT_TRUE(modal.OpenFiles()[0].filter.startsWith("Delphi file (*.pas;*.bpg;*.dpr;*.dpk)|"));
    EXPECT_EQ(modal.OpenFiles()[1].fileName.toStdString(), project);
    EXPECT_EQ(modal.OpenFiles()[1].filterIndex, 3);
    EXPECT_EQ(Copy()[0], Record(0, 0, fitUnit, 1, project, "unit"));

    // Off Windows a name may hold a "|"; it would split the record, so it is refused.
    const std::string barred = MakeFile("src/a|b.pas");
    modal.QueueOpenFile({QString::fromStdString(barred)});
    wnd->btnEdit->click();
    EXPECT_EQ(modal.ErrorTexts(),
              QStringList{"An alias or a path cannot contain the character \"|\"."});
    EXPECT_EQ(Copy()[0], Record(0, 0, fitUnit, 1, project, "unit"));
}

// Any type code but a folder's or a group's is re-pointed as a file; a path in ANSI bytes goes
// to the chooser and the open dialog, and back into the record, byte for byte.
TEST_F(EditCommandsTest, EditTakesEveryOtherTypeAsAFileAndKeepsAnsiBytes) {
    const std::string ansi = dir.path().toStdString() + "/Caf\xe9";
    const struct {
        int type;
        std::string path, chosen;
    } cases[] = {
        {7, "/old/Unit.pas", "/new/Unit.pas"},
        {fitUnit, ansi + "/Main.pas", ansi + "/R\xe9sum\xe9.pas"},
        {fitFolder, ansi, ansi + "/Sub\xe9"},
    };
    for (const auto& c : cases) {
        Open({Record(0, 0, c.type, 1, c.path, "item")}, 1);
        const bool folder = c.type == fitFolder;
        folder ? modal.QueueFolder(ui::QStringFromBytes(c.chosen))
               : modal.QueueOpenFile({ui::QStringFromBytes(c.chosen)});
        wnd->btnEdit->click();
        EXPECT_EQ(ui::BytesFromQString(folder ? modal.Folders().back().folder
                                              : modal.OpenFiles().back().fileName),
                  c.path);
        EXPECT_EQ(Copy()[0], Record(0, 0, c.type, 1, c.chosen, "item"));
    }
}

TEST_F(EditCommandsTest, AddGoesUnderTheSelectedGroupAndKeepsTypedAliases) {
    const std::string unit = MakeFile("New.pas");
    const std::string folder = MakeFolder("lib");
    MakeFile("lib/One.pas");
    MakeFile("lib/Two.dpr");
    MakeFile("lib/notes.txt");
    const std::vector<std::string> records = {Record(0, 0, fitGroup, 1, "", "G"),
                                              Record(1, 0, fitProject, 2, "/p/p.dpr", "p"),
                                              Record(1, 1, fitFile, 3, "/p/t.txt", "t")};
    TFavoriteItems items;
    Fill(items, records, 3);
    modal.QueueDialog([&](QDialog& dialog) {
        Take(dialog);
        SelectNode("G");
        wnd->grdItems->SetRow(2);
        TypeAlias("typed t");
        wnd->grdItems->SetRow(1);
        // A unit: before the group's first other file, and current.
        modal.QueueDialog(AddScript(false, unit, "new unit"));
        wnd->btnAdd->click();
        EXPECT_EQ(Aliases(), "p,new unit,typed t");
        EXPECT_EQ(wnd->grdItems->Row(), 2);
        // A group of a folder's project and unit files: the last row, the last child node.
        modal.QueueDialog(AddScript(true, folder, "lib group"));
        wnd->btnAdd->click();
        EXPECT_EQ(Aliases(), "p,new unit,typed t,lib group");
        EXPECT_EQ(wnd->grdItems->Row(), 4);
        EXPECT_EQ(Tree(), "All Files\nFavorites +\n  G *\n    lib group\n");
        // A cancelled Add dialog changes nothing.
        modal.QueueDialog(ScriptedModalInteraction::ClickButton("btnCancel"));
        wnd->btnAdd->click();
        EXPECT_EQ(Aliases(), "p,new unit,typed t,lib group");
        wnd->btnOpen->click(); // Open is on row 4, the new group
        EXPECT_EQ(Aliases(), "Two.dpr,One.pas");
        EXPECT_TRUE(modal.ErrorTexts().isEmpty()) << modal.ErrorTexts().join('\n').toStdString();
        return ScriptedModalInteraction::ClickButton("btnOk")(dialog);
    });
    ASSERT_TRUE(EditFavorites(items));
    items.Items().Sort();
    EXPECT_EQ(items.Items().Lines(),
              (std::vector<std::string>{Record(0, 0, fitGroup, 1, "", "G"),
                                        Record(1, 0, fitProject, 2, "/p/p.dpr", "p"),
                                        Record(1, 1, fitUnit, 4, unit, "new unit"),
                                        Record(1, 2, fitFile, 3, "/p/t.txt", "typed t"),
                                        Record(1, 3, fitGroup, 5, "", "lib group"),
                                        Record(5, 0, fitProject, 6, folder + "/Two.dpr", "Two.dpr"),
                                        Record(5, 1, fitUnit, 7, folder + "/One.pas", "One.pas")}));
    EXPECT_EQ(items.LastID(), 7);

    // Add... and then Cancel: the caller's favorites stay without the addition.
    TFavoriteItems kept;
    Fill(kept, records);
    modal.QueueDialog([&](QDialog& dialog) {
        Take(dialog);
        SelectNode("G");
        modal.QueueDialog(AddScript(false, unit, "new unit"));
        wnd->btnAdd->click();
        EXPECT_EQ(wnd->grdItems->RowCount(), 4);
        return ScriptedModalInteraction::ClickButton("btnCancel")(dialog);
    });
    EXPECT_FALSE(EditFavorites(kept));
    EXPECT_EQ(kept.Items().Lines(), records);
}

TEST_F(EditCommandsTest, EveryCommandFromTheKeyboard) {
    const std::string folder = MakeFolder("f");
    Open({Record(0, 0, fitUnit, 1, "/p/a.pas", "a"), Record(0, 1, fitUnit, 2, "/p/b.pas", "b"),
          Record(0, 2, fitFolder, 3, folder, "f"), Record(0, 3, fitGroup, 4, "", "G")},
         4);
    AccessKey(Qt::Key_G);
    EXPECT_EQ(QApplication::focusWidget(), wnd->tvGroups);
    AccessKey(Qt::Key_I);
    EXPECT_EQ(QApplication::focusWidget(), wnd->grdItems);
    // Arrow keys and the access keys of the buttons, the grid keeping the focus.
    QTest::keyClick(wnd->grdItems, Qt::Key_Down);
    AccessKey(Qt::Key_U);
    EXPECT_EQ(Aliases(), "b,a,f,G");
    AccessKey(Qt::Key_N);
    EXPECT_EQ(Aliases(), "a,b,f,G");
    EXPECT_EQ(wnd->grdItems->Row(), 2);
    QTest::keyClick(wnd->grdItems, Qt::Key_Down);
    AccessKey(Qt::Key_E);
    EXPECT_EQ(modal.Folders().size(), 1u);
    AccessKey(Qt::Key_H);
    ASSERT_EQ(modal.HelpRequests().size(), 1u);
    EXPECT_EQ(modal.HelpRequests()[0].helpFile, "Morvith.hlp");
    EXPECT_EQ(modal.HelpRequests()[0].context, 130);
    AccessKey(Qt::Key_B);
    AccessKey(Qt::Key_A);
    ASSERT_EQ(modal.Dialogs().size(), 2u);
    EXPECT_EQ(modal.Dialogs()[0].type, std::type_index(typeid(TAboutWnd)));
    EXPECT_EQ(modal.Dialogs()[1].type, std::type_index(typeid(TAddToFavoritesWnd)));
    AccessKey(Qt::Key_D);
    EXPECT_EQ(Aliases(), "a,b,G");
    AccessKey(Qt::Key_P);
    EXPECT_EQ(wnd->tvGroups->currentItem()->text(0), "G");
}

} // namespace
