// Not a test: saves a picture of the Add To Favorites dialog in each of its four modes into
// the folder given as the first argument, over the sample project given as the second.
#include "AddToFav.h"
#include "AddToFavoritesWnd.h"
#include "ScriptedModal.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include <cstdio>
#include <functional>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: grab_add OUTPUT-FOLDER SAMPLE-PROJECT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString sample = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    ui::ScriptedModalInteraction modal;
    ui::ScopedModal installed(modal);

    const struct {
        const char* file;
        std::function<void(TAddToFavoritesWnd&)> mode;
    } pictures[] = {
        {"add-project.png", [](TAddToFavoritesWnd&) {}},
        {"add-file.png", [](TAddToFavoritesWnd& w) { w.rdoCurrentFile->click(); }},
        {"add-item.png",
         [&](TAddToFavoritesWnd& w) {
             w.rdoItem->click();
             w.cmbItem->setCurrentIndex(1);
             modal.QueueFolder(sample + "/Sources");
             w.btnItem->click();
         }},
        {"add-group.png",
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             w.cmbGroup->setCurrentIndex(0);
             emit w.cmbGroup->activated(0);
             modal.QueueOpenFile({sample + "/MainForm.pas", sample + "/Utils.pas"});
             w.btnGroup->click();
         }},
    };
    for (const auto& picture : pictures) {
        TAddToFavoritesWnd wnd;
        wnd.Prepare(
            {(sample + "/Sample.dpr").toStdString(), (sample + "/Utils.pas").toStdString()});
        wnd.show();
        picture.mode(wnd);
        QApplication::processEvents();
        if (!wnd.grab().save(out.filePath(QString::fromLatin1(picture.file)))) {
            std::fprintf(stderr, "could not save %s\n", picture.file);
            return 1;
        }
    }
    return 0;
}
