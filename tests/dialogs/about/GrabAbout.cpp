// Saves pictures of the About box and of the folder chooser into the folder given as the
// argument, and prints where the chooser was placed on the screen.
#include "About.h"
#include "AboutWnd.h"
#include "FolderChooser.h"
#include "QtModalInteraction.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QScreen>

#include <cstdio>

namespace {

// Shows each dialog without a modal loop, grabs it and cancels it.
class Grabber : public ui::QtModalInteraction {
public:
    explicit Grabber(QString file) : file_(std::move(file)) {}
    int ShowModal(QDialog& dialog) override {
        dialog.show();
        QApplication::processEvents();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect frame = dialog.frameGeometry();
        std::printf("screen %dx%d, chooser %dx%d at %d,%d\n", screen.width(), screen.height(),
                    frame.width(), frame.height(), frame.x(), frame.y());
        dialog.grab().save(file_);
        dialog.reject();
        return ui::mrCancel;
    }

private:
    QString file_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());

    TAboutWnd about;
    about.show();
    QApplication::processEvents();
    if (!about.grab().save(out.filePath(QStringLiteral("about-box.png")))) {
        std::fprintf(stderr, "could not save the About box picture\n");
        return 1;
    }

    Grabber grabber(out.filePath(QStringLiteral("folder-chooser.png")));
    QString folder = QDir::homePath();
    grabber.BrowseFolder(folder, QStringLiteral("Specify a folder to add contents:"));
    return 0;
}
