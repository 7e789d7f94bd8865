// Saves a picture of the Edit Favorites dialog over a few sample favorites (some groups, a
// missing file, a long path) into the folder given as the argument.
#include "EditFavoritesWnd.h"
#include "FavUtils.h"
#include "Records.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using testsupport::Record;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const std::string sample = EXAMPLES_DIR "/SampleProject/";

    TFavoriteItems items;
    items.SetItems(TStringList{
        Record(0, 0, fitProject, 1, sample + "Sample.dpr", "Sample"),
        Record(0, 1, fitPackage, 2, sample + "SampleTools.dpk", "Sample tools"),
        Record(0, 2, fitUnit, 3, sample + "Sources/TextTools.pas", "Text tools"),
        Record(0, 3, fitUnit, 4, "/home/ann/Projects/Retired/OldReports.pas", "Old reports"),
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
    QApplication::processEvents();
    if (!dialog.grab().save(out.filePath(QStringLiteral("edit-favorites.png")))) {
        std::fprintf(stderr, "could not save the Edit Favorites picture\n");
        return 1;
    }
    return 0;
}
