// What a screen reader is told of the Edit dialog, read in-process through Qt's accessibility
// interfaces (no accessibility bus), and F1.
#include "EditFavFixture.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

struct Said {
    std::string name;
    std::string description;
};

Said CellSaid(QWidget& grid, int modelRow, int col) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    if (!table || !table->tableInterface())
        return {"<no table>", {}};
    QAccessibleInterface* cell = table->tableInterface()->cellAt(modelRow, col);
    if (!cell)
        return {"<no cell>", {}};
    return {cell->text(QAccessible::Name).toStdString(),
            cell->text(QAccessible::Description).toStdString()};
}

std::string NameOf(QWidget& widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget);
    return iface ? iface->text(QAccessible::Name).toStdString() : "<none>";
}

} // namespace

TEST_F(EditFavTest, GridCellsSayKindPathAndWhetherMissing) {
    const std::string project = MakeFile("Sample.dpr");
    const std::string unit = MakeFile("Main.pas");
    const std::string folder = MakeFolder("Work");
    const std::string gone = QDir(dir.path()).filePath("gone.txt").toStdString();
    // A name in ANSI bytes (Windows-1252 e-acute) is read out as its character.
    const std::string ansi = QDir(dir.path()).filePath("Caf").toStdString() + "\xe9.pas";
    const struct {
        int type;
        std::string path;
        std::string alias;
        std::string name;
        std::string description;
    } rows[] = {
        {0, project, "Sample", "Project " + project, ""},
        {1, dir.path().toStdString() + "/Lib.dpk", "Lib", "Library " + dir.path().toStdString() + "/Lib.dpk", "missing"},
        {2, unit, "Main", "Unit " + unit, ""},
        {2, ansi, "Caf\xe9", "Unit " + QDir(dir.path()).filePath("Caf").toStdString() + "\xc3\xa9.pas", "missing"},
        {3, gone, "Gone", "File " + gone, "missing"},
        {4, folder, "Work", "Folder " + folder, ""},
        {4, folder + "/none", "None", "Folder " + folder + "/none", "missing"},
        {5, "", "Docs", "Group", ""},
    };
    std::vector<std::string> records;
    for (std::size_t i = 0; i < std::size(rows); ++i)
        records.push_back(Record(0, static_cast<int>(i), rows[i].type, static_cast<int>(i) + 1,
                                 rows[i].path, rows[i].alias));
    Open(records, static_cast<int>(records.size()));

    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].name);
        const Said item = CellSaid(*wnd->grdItems, static_cast<int>(i), 0);
        EXPECT_EQ(item.name, rows[i].name);
        EXPECT_EQ(item.description, rows[i].description);
        EXPECT_EQ(item.name.find('|'), std::string::npos); // never the stored record
        const std::string alias = QString::fromLatin1(rows[i].alias.c_str()).toStdString();
        EXPECT_EQ(CellSaid(*wnd->grdItems, static_cast<int>(i), 1).name, alias);
    }

    // Existence is asked anew each time, as the drawing asks it.
    QFile::remove(QString::fromStdString(unit));
    EXPECT_EQ(CellSaid(*wnd->grdItems, 2, 0).description, "missing");
}

TEST_F(EditFavTest, TreeAndGridAreNamedAfterTheirBoxesAndTheEmptyRowSaysNothing) {
    Open({}, 0);
    EXPECT_EQ(NameOf(*wnd->tvGroups), "Groups");
    EXPECT_EQ(NameOf(*wnd->grdItems), "Items");
    const Said blank = CellSaid(*wnd->grdItems, 0, 0);
    EXPECT_EQ(blank.name, "");
    EXPECT_EQ(blank.description, "");
}

TEST_F(EditFavTest, F1FromAnyControlOpensTheDialogsHelpTopic) {
    const std::string unit = MakeFile("Main.pas");
    Open({Record(0, 0, 2, 1, unit, "Main")}, 1);
    QWidget* const controls[] = {wnd->grdItems, wnd->tvGroups, wnd->btnAbout, wnd};
    for (QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        const std::size_t before = modal.HelpRequests().size();
        QTest::keyClick(control, Qt::Key_F1);
        ASSERT_EQ(modal.HelpRequests().size(), before + 1);
        EXPECT_EQ(modal.HelpRequests().back().helpFile, QStringLiteral("Morvith.hlp"));
        EXPECT_EQ(modal.HelpRequests().back().context, 130);
    }
    // F1 with a modifier is not the help key.
    QTest::keyClick(wnd->grdItems, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(modal.HelpRequests().size(), 4u);
}
