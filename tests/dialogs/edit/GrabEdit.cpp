// Not a test: saves pictures of the Edit Favorites dialog over a few sample favorites (some
// groups, a missing file, a long path) into the folder given as the first argument, over the
// sample project given as the second: as it opens, and after a few commands.
#include "EditFavoritesWnd.h"
#include "FavUtils.h"
#include "Records.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTreeWidget>

#include <cstdio>

using testsupport::Record;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: grab_edit OUTPUT-FOLDER SAMPLE-PROJECT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const std::string sample =
        QDir(QString::fromLocal8Bit(argv[2])).absolutePath().toStdString() + '/';

    TFavoriteItems items;
    items.SetItems(TStringList{
        Record(0, 0, fitProject, 1, sample + "Sample.dpr", "Sample"),
        Record(0, 1, fitPackage, 2, sample + "SampleTools.dpk", "Sample tools"),
        Record(0, 2, fitUnit, 3, sample + "Sources/TextTools.pas", "Text tools"),
        Record(0, 3, fitUnit, 4, "/home/ann/projects/Retired/OldReports.pas", "Old reports"),
        Record(0, 4, fitFile, 5, sample + "README.txt", "Read me"),
        Record(0, 5, fitFolder, 6, sample + "Sources", "Sources"),
        Record(0, 6, fitGroup, 7, "", "Units"),
        Record(0, 7, fitGroup, 8, "", "Tools"),
        Record(7, 0, fitUnit, 9, sample + "MainForm.pas", "Main form"),
        Record(7, 1, fitUnit, 10, sample + "Utils.pas", "Utils"),
        Record(8, 0, fitGroup, 11, "", "Scripts"),
    });
    items.SetLastID(11);

    TEditFavoritesWnd dialog;
    dialog.EditItems().Assign(items);
    dialog.show();
    QApplication::processEvents();
    dialog.grdItems->SetRow(3);
    const auto save = [&](const char* name) {
        QApplication::processEvents();
        if (dialog.grab().save(out.filePath(QString::fromLatin1(name))))
            return true;
        std::fprintf(stderr, "could not save %s\n", name);
        return false;
    };
    if (!save("edit-favorites.png"))
        return 1;

    // "Old reports" up, "Read me" deleted, the group "Units" renamed as if typed, a new group.
    dialog.grdItems->SetRow(4);
    dialog.btnUp->click();
    dialog.grdItems->SetRow(5);
    dialog.btnDelete->click();
    dialog.grdItems->SetRow(6);
    dialog.grdItems->SetCell(1, 6, QStringLiteral("Main units"));
    dialog.grdItemsSetEditText(1, 6, QStringLiteral("Main units"));
    TStringList request{"5", "Documents"};
    dialog.AddRequest(request);
    dialog.tvGroups->expandAll();
    dialog.grdItems->setFocus();
    return save("edit-favorites-commands.png") ? 0 : 1;
}
