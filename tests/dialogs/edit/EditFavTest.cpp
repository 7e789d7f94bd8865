#include "EditFav.h"
#include "EditFavFixture.h"
#include "QtPrinters.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using ui::ScriptedModalInteraction;

namespace {

TEST_F(EditFavTest, FormControlsBoundsCaptionsAndTabOrder) {
    TEditFavoritesWnd form;
    EXPECT_EQ(form.windowTitle(), "Edit Favorites");
    EXPECT_EQ(form.size(), QSize(547, 286));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(TEditFavoritesWnd::FormHelpContext, 130);
    const struct {
        const char* name;
        const char* parent;
        QRect bounds;
        const char* caption; // nullptr: none
    } controls[] = {
        {"gbGroups", "EditFavoritesWnd", {8, 8, 145, 236}, "&Groups"},
        {"tvGroups", "gbGroups", {8, 16, 129, 212}, nullptr},
        {"gbItems", "EditFavoritesWnd", {160, 8, 379, 236}, "&Items"},
        {"grdItems", "gbItems", {8, 16, 281, 212}, nullptr},
        {"btnOpen", "gbItems", {296, 16, 75, 23}, "O&pen"},
        {"btnAdd", "gbItems", {296, 55, 75, 23}, "&Add..."},
        {"btnEdit", "gbItems", {296, 86, 75, 23}, "&Edit..."},
        {"btnDelete", "gbItems", {296, 117, 75, 23}, "&Delete"},
        {"btnUp", "gbItems", {296, 174, 75, 23}, "&Up"},
        {"btnDown", "gbItems", {296, 205, 75, 23}, "Dow&n"},
        {"btnOk", "EditFavoritesWnd", {215, 253, 75, 23}, "&OK"},
        {"btnCancel", "EditFavoritesWnd", {298, 253, 75, 23}, "&Cancel"},
        {"btnHelp", "EditFavoritesWnd", {381, 253, 75, 23}, "&Help"},
        {"btnAbout", "EditFavoritesWnd", {464, 253, 75, 23}, "A&bout"},
    };
    // The next control Tab goes to, disabled ones included.
    const auto nextTabStop = [](QWidget* w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    QWidget* previous = nullptr;
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        auto* control = form.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), c.parent);
        EXPECT_EQ(control->geometry(), c.bounds);
        if (auto* box = qobject_cast<QGroupBox*>(control)) {
            EXPECT_EQ(box->title(), c.caption);
        }
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_EQ(button->text(), c.caption);
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text().remove('&')), 65);
        }
        // Tab goes through the focusable controls in the table's order.
        if (control->focusPolicy() & Qt::TabFocus) {
            if (previous) {
                EXPECT_EQ(nextTabStop(previous), control);
            }
            previous = control;
        }
    }
    EXPECT_EQ(form.btnUp->property("tag").toInt(), -1);
    EXPECT_EQ(form.btnDown->property("tag").toInt(), 1);
    EXPECT_TRUE(form.btnOk->isDefault());
    EXPECT_EQ(form.tvGroups->indentation(), 19);
    EXPECT_EQ(form.tvGroups->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(form.grdItems->ColCount(), 2);
    EXPECT_EQ(form.grdItems->ColWidth(0), 164);
    EXPECT_EQ(form.grdItems->ColWidth(1), 94);
    EXPECT_EQ(form.grdItems->DefaultRowHeight(), 18);
    EXPECT_FALSE(form.grdItems->isEnabled());
    EXPECT_EQ(form.grdItems->Cell(0, 0), "File, folder or group");
    EXPECT_EQ(form.grdItems->Cell(1, 0), "Alias");
    EXPECT_EQ(form.ilItems.Count(), 8);
    EXPECT_EQ(form.ilItems.Image(0).size(), QSize(16, 16));
    EXPECT_TRUE(form.ilItems.Image(5).hasAlphaChannel());
}

TEST_F(EditFavTest, AnEmptyCollection) {
    Open({}, 0);
    EXPECT_EQ(Tree(), "All Files\nFavorites *\n");
    EXPECT_TRUE(wnd->tvGroups->currentItem()->isExpanded());
    EXPECT_EQ(wnd->grdItems->RowCount(), 2);
    EXPECT_EQ(Aliases(), "");
    EXPECT_EQ(wnd->grdItems->Cell(0, 1), "");
    EXPECT_FALSE(wnd->grdItems->isEnabled());
    EXPECT_EQ(Buttons(), "-A----");
    EXPECT_NE(QApplication::focusWidget(), wnd->grdItems);
}

TEST_F(EditFavTest, TreeOfGroupsAndTheTopLevelInTheGrid) {
    Open({Record(0, 2, fitGroup, 3, "", "Tools"), Record(0, 0, fitUnit, 1, "/p/Main.pas", "Main"),
          Record(0, 1, fitGroup, 2, "", " \t "), Record(3, 1, fitGroup, 5, "", "Scripts"),
          Record(3, 0, fitGroup, 4, "", "Build"), Record(4, 0, fitFile, 6, "/p/make.txt", "make"),
          Record(5, 0, fitGroup, 7, "", "Deep"),
          // Damaged: a second record with id 7 among its own children.
          Record(7, 0, fitGroup, 7, "", "Loop")},
         7);
    // Position order; a blank alias shows the path, empty for a group; nested groups follow
    // each other (the shared sub-group list is asked again for every entry); the loop is cut.
    EXPECT_EQ(Tree(), "All Files\n"
                      "Favorites + *\n"
                      "  \n"
                      "  Tools\n"
                      "    Build\n"
                      "    Scripts\n"
                      "      Deep\n");
    EXPECT_EQ(Aliases(), "Main, \t ,Tools");
    EXPECT_EQ(wnd->grdItems->Row(), 1);
    EXPECT_EQ(wnd->grdItems->Col(), 1);
    EXPECT_EQ(QApplication::focusWidget(), wnd->grdItems);
}

TEST_F(EditFavTest, AllFilesListsEveryFavoriteByKind) {
    Open({Record(0, 0, fitFile, 1, "/p/a.txt", "a"), Record(0, 1, fitGroup, 2, "", "G"),
          Record(2, 0, fitProject, 3, "/p/p.dpr", "p"), Record(2, 1, fitFolder, 4, "/p", "f"),
          Record(0, 2, fitGroup, 5, "", "Empty"), Record(2, 2, fitGroup, 6, "", "Sub")},
         6);
    SelectNode("All Files");
    EXPECT_EQ(Aliases(), "p,a,f");
    EXPECT_EQ(Buttons(), "P-ED--");
    SelectNode("Empty");
    EXPECT_EQ(Aliases(), "");
    EXPECT_FALSE(wnd->grdItems->isEnabled());
    EXPECT_EQ(Buttons(), "-A----");
    SelectNode("G");
    EXPECT_EQ(Aliases(), "p,f,Sub");
    EXPECT_TRUE(wnd->grdItems->isEnabled());
}

TEST_F(EditFavTest, ItemButtonsFollowTheRowAndTheKindClasses) {
    std::vector<std::string> records;
    for (int type = fitProject; type <= fitGroup; ++type)
        records.push_back(Record(0, type, type, type + 1, type == fitGroup ? "" : "/p/x", "r"));
    Open(records, 6);
    // Rows 1 to 6 hold types 0 to 5; the arrow keys move the current row.
    const char* const expected[] = {"PAED-N", "PAEDU-", "PAED-N", "PAEDU-", "PAED-N", "PA-DU-"};
    for (int row = 1; row <= 6; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(wnd->grdItems->Row(), row);
        EXPECT_EQ(Buttons(), expected[row - 1]);
        QTest::keyClick(wnd->grdItems, Qt::Key_Down);
    }
    QTest::keyClick(wnd->grdItems, Qt::Key_Left);
    EXPECT_EQ(wnd->grdItems->Col(), 1) << "a cell of column 0 never becomes current";
}

TEST_F(EditFavTest, ClickingThePictureOrPathMakesTheRowCurrent) {
    Open({Record(0, 0, fitUnit, 1, "/p/a.pas", "a"), Record(0, 1, fitUnit, 2, "/p/b.pas", "b"),
          Record(0, 2, fitFile, 3, "/p/c.txt", "c")},
         3);
    const QRect cell = wnd->grdItems->visualRect(wnd->grdItems->model()->index(2, 0));
    QTest::mouseClick(wnd->grdItems->viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_EQ(wnd->grdItems->Row(), 3);
    EXPECT_EQ(wnd->grdItems->Col(), 1);
}

TEST_F(EditFavTest, TypedAliasesAreWrittenBackOnLeavingAndOnOk) {
    const std::vector<std::string> records = {Record(0, 0, fitUnit, 1, "/p/a.pas", "a"),
                                              Record(0, 1, fitGroup, 2, "", "G"),
                                              Record(2, 0, fitFile, 3, "/p/b.txt", "b")};
    TFavoriteItems items;
    Fill(items, records, 9);

    modal.QueueDialog([this](QDialog& dialog) {
        Take(dialog);
        TypeAlias("New a");
        SelectNode("G");
        EXPECT_EQ(Aliases(), "b");
        TypeAlias("");
        SelectNode("Favorites");
        EXPECT_EQ(Aliases(), "New a,G");
        SelectNode("G");
        EXPECT_EQ(Aliases(), "") << "an empty alias is taken as typed";
        TypeAlias("New b");
        // OK without leaving the group: the grid is written back all the same.
        AccessKey(Qt::Key_O);
        EXPECT_EQ(ScriptedModalInteraction::ResultOf(dialog), ui::mrOk);
        return ScriptedModalInteraction::ResultOf(dialog);
    });
    EXPECT_TRUE(EditFavorites(items));
    EXPECT_EQ(items.LastID(), 9);
    items.Items().Sort();
    EXPECT_EQ(items.Items().Lines(),
              (std::vector<std::string>{Record(0, 0, fitUnit, 1, "/p/a.pas", "New a"),
                                        Record(0, 1, fitGroup, 2, "", "G"),
                                        Record(2, 0, fitFile, 3, "/p/b.txt", "New b")}));
}

TEST_F(EditFavTest, EveryOtherCloseDropsTheChanges) {
    const std::vector<std::string> records = {Record(0, 0, fitUnit, 1, "/p/a.pas", "a")};
    const struct {
        const char* name;
        std::function<void(QDialog&)> close;
    } closes[] = {
        {"Cancel", [](QDialog& d) { static_cast<TEditFavoritesWnd&>(d).btnCancel->click(); }},
        {"Alt+C", [this](QDialog&) { AccessKey(Qt::Key_C); }},
        {"Escape", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"close box", [](QDialog& d) { d.close(); }},
    };
    for (const auto& c : closes) {
        SCOPED_TRACE(c.name);
        TFavoriteItems items;
        Fill(items, records, 1);
        modal.QueueDialog([&](QDialog& dialog) {
            Take(dialog);
            TypeAlias("changed");
            c.close(dialog);
            EXPECT_EQ(ScriptedModalInteraction::ResultOf(dialog), ui::mrCancel);
            return ScriptedModalInteraction::ResultOf(dialog);
        });
        EXPECT_FALSE(EditFavorites(items));
        EXPECT_EQ(items.Items().Lines(), records);
    }
    wnd = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TEditFavoritesWnd*>(widget), nullptr)
            << "the dialog is freed on every path";
}

TEST_F(EditFavTest, OkKeepsEveryByteOfRecordsItDidNotChange) {
    // Written on Windows: ANSI bytes; and a path holding a '|' that shifts the fields.
    const std::vector<std::string> records = {
        Record(0, 0, fitUnit, 1, "C:\\M\xFCller\\a.pas", "M\xFCller's \x80"),
        Record(0, 1, fitFile, 2, "/p/a|b.txt", "Alias"),
        Record(0, 2, fitFile, 3, "/p/J\xC3\xBCrgen.txt", "J\xC3\xBCrgen")};
    TFavoriteItems items;
    Fill(items, records);
    modal.QueueDialog(ScriptedModalInteraction::ClickButton("btnOk"));
    EXPECT_TRUE(EditFavorites(items));
    EXPECT_EQ(items.Items().Lines(), records);
}

} // namespace
