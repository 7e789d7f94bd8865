// What a screen reader is told of the Edit dialog, read in-process through Qt's accessibility
// interfaces (no accessibility bus), and F1.
#include "EditFavFixture.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeWidget>

namespace {

std::string Said(QWidget* widget, QAccessible::Text what, int row = -1, int col = 0) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (iface && row >= 0)
        iface = iface->tableInterface() ? iface->tableInterface()->cellAt(row, col) : nullptr;
    return iface ? iface->text(what).toStdString() : "<none>";
}

TEST_F(EditFavTest, ScreenReadersHearKindPathAndWhetherItIsMissing) {
    const std::string d = dir.path().toStdString();
    const std::string unit = MakeFile("Main.pas");
    const struct {
        int type;
        std::string path, alias, said;
        bool missing;
    } rows[] = {
        {0, MakeFile("Sample.dpr"), "Sample", "Project " + d + "/Sample.dpr", false},
        {1, d + "/Lib.dpk", "Lib", "Library " + d + "/Lib.dpk", true},
        {2, unit, "Main", "Unit " + unit, false},
        // ANSI (Windows-1252) bytes are read out as their characters, in path and alias.
        {2, d + "/Caf\xe9.pas", "Caf\xe9", "Unit " + d + "/Caf\xc3\xa9.pas", true},
        {3, d + "/gone.txt", "Gone", "File " + d + "/gone.txt", true},
        {4, MakeFolder("Work"), "Work", "Folder " + d + "/Work", false},
        {5, "", "Docs", "Group", false},
    };
    std::vector<std::string> records;
    for (int i = 0; i < int(std::size(rows)); ++i)
        records.push_back(Record(0, i, rows[i].type, i + 1, rows[i].path, rows[i].alias));
    Open(records, int(records.size()));

    QWidget* grid = wnd->grdItems;
    EXPECT_EQ(Said(wnd->tvGroups, QAccessible::Name), "Groups");
    EXPECT_EQ(Said(grid, QAccessible::Name), "Items");
    for (int i = 0; i < int(std::size(rows)); ++i) {
        SCOPED_TRACE(rows[i].said);
        EXPECT_EQ(Said(grid, QAccessible::Name, i), rows[i].said); // never the stored record
        EXPECT_EQ(Said(grid, QAccessible::Description, i), rows[i].missing ? "missing" : "");
        EXPECT_EQ(Said(grid, QAccessible::Name, i, 1),
                  QString::fromLatin1(rows[i].alias.c_str()).toStdString());
    }
    // Asked anew each time, as the drawing asks.
    QFile::remove(QString::fromStdString(unit));
    EXPECT_EQ(Said(grid, QAccessible::Description, 2), "missing");
}

TEST_F(EditFavTest, F1FromAnyControlOpensTheDialogsHelpTopic) {
    Open({Record(0, 0, 2, 1, MakeFile("Main.pas"), "Main")}, 1);
    QTest::keyClick(wnd->grdItems, Qt::Key_F1);
    QTest::keyClick(wnd->tvGroups, Qt::Key_F1);
    QTest::keyClick(wnd->grdItems, Qt::Key_F1, Qt::ShiftModifier); // not the help key
    ASSERT_EQ(modal.HelpRequests().size(), 2u);
    EXPECT_EQ(modal.HelpRequests()[1].helpFile, QStringLiteral("Morvith.hlp"));
    EXPECT_EQ(modal.HelpRequests()[1].context, 130);
}

} // namespace
