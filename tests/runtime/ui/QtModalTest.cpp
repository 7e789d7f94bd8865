#include "FolderChooser.h"
#include "QtModalInteraction.h"
#include "QtPrinters.h"
#include "TextBytes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The Qt seam with its modal loop replaced: the dialog is shown and driven by a function,
// so the real dialogs are built, checked and answered without a modal loop.
class DrivenQtModal : public ui::QtModalInteraction {
public:
    std::function<int(QDialog&)> drive;
    int shown = 0;

    int ShowModal(QDialog& dialog) override {
        ++shown;
        dialog.show();
        const int result = drive ? drive(dialog) : (dialog.reject(), int(ui::mrCancel));
        dialog.hide();
        return result;
    }
};

int Finish(QDialog& dialog) {
    return dialog.result() == QDialog::Accepted ? ui::mrOk : ui::mrCancel;
}

// Receives the URLs QDesktopServices would hand to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

const QString Filter = QStringLiteral(
    "Delphi file (*.pas;*.bpg;*.dpr;*.dpk)|*.pas;*.bpg;*.dpr;*.dpk|Delphi project "
    "(*.bpg;*.dpr)|*.bpg;*.dpr|Delphi package (*.dpk)|*.dpk|Delphi unit (*.pas)|*.pas|Any file "
    "(*.*)|*.*");

} // namespace

TEST(QtModal, FilterConversion) {
    const struct {
        QString filter;
        QStringList expected;
    } cases[] = {
        {"", {}},
        {"Units|*.pas", {"Units (*.pas)"}},
        {"Delphi file (*.pas;*.dpr)|*.pas;*.dpr|Any file (*.*)|*.*",
         {"Delphi file (*.pas;*.dpr) (*.pas *.dpr)", "Any file (*.*) (*)"}},
        {"Spaced| *.a ; *.b ;", {"Spaced (*.a *.b)"}},
        {"No mask||Next|*.n", {"No mask (*)", "Next (*.n)"}},
        {"Pair|*.p|Dangling", {"Pair (*.p)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter.toStdString());
        EXPECT_EQ(ui::ToNameFilters(c.filter), c.expected);
    }
}

TEST(QtModal, OpenFileSelectsAndWritesBackTheFilterIndex) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString unit = dir.filePath(QStringLiteral("Main.pas"));
    QFile(unit).open(QIODevice::WriteOnly);
    const QStringList filters = ui::ToNameFilters(Filter);
    // What the user sees: the runtime's labels as they stand.
    const QStringList labels{"Delphi file (*.pas;*.bpg;*.dpr;*.dpk)",
                             "Delphi project (*.bpg;*.dpr)", "Delphi package (*.dpk)",
                             "Delphi unit (*.pas)", "Any file (*.*)"};

    const struct {
        const char* name;
        int indexIn;
        int shownIndex; // filter selected when the dialog opens
        int userIndex;  // 0: the user leaves the filter alone
        bool accept;
        int indexOut;
    } cases[] = {
        {"kept on cancel", 3, 3, 0, false, 3},
        {"changed then cancelled", 1, 1, 4, false, 4},
        {"changed then chosen", 2, 2, 5, true, 5},
        {"zero starts at the first", 0, 1, 0, false, 1},
        {"past the end starts at the first", 9, 1, 0, true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DrivenQtModal modal;
        modal.drive = [&](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            EXPECT_EQ(files.windowTitle(), QStringLiteral("Open"));
            EXPECT_EQ(files.selectedNameFilter(), labels.at(c.shownIndex - 1));
            if (c.userIndex > 0)
                files.selectNameFilter(filters.at(c.userIndex - 1));
            if (!c.accept) {
                files.reject();
            } else {
                files.selectFile(unit);
                dialog.accept(); // QFileDialog's own accept, reached through QDialog
            }
            return Finish(dialog);
        };
        ui::OpenDialogState state;
        state.filter = Filter;
        state.filterIndex = c.indexIn;
        state.files = QStringList{QStringLiteral("/before")};

        EXPECT_EQ(modal.OpenFile(nullptr, state), c.accept);
        EXPECT_EQ(state.filterIndex, c.indexOut);
        EXPECT_EQ(state.files, c.accept ? QStringList{unit} : QStringList{"/before"});
        if (c.accept) {
            EXPECT_EQ(state.fileName, unit);
        }
    }
}

TEST(QtModal, OpenFileStartsInTheProposedFilesFolder) {
    QTemporaryDir project;
    QTemporaryDir initial;
    // A record written on Windows holds "Caf\xe9" (Windows-1252); copied here, it is "Café".
    ASSERT_TRUE(project.isValid() && initial.isValid() && QDir(project.path()).mkpath("Café"));
    const struct {
        const char* name;
        QString fileName;
        QString folder;
    } cases[] = {
        {"proposed name with a folder", project.filePath("Unit1.pas"), project.path()},
        {"ANSI folder", ui::QStringFromBytes(project.path().toStdString() + "/Caf\xe9/a.pas"),
         project.filePath("Café")},
        {"folder missing: initial folder", "/no/such/folder/Unit1.pas", initial.path()},
        {"bare name: initial folder", "Unit1.pas", initial.path()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DrivenQtModal modal;
        QString shownFolder;
        modal.drive = [&](QDialog& dialog) {
            shownFolder = dynamic_cast<QFileDialog&>(dialog).directory().absolutePath();
            dialog.reject();
            return Finish(dialog);
        };
        ui::OpenDialogState state;
        state.fileName = c.fileName;
        state.initialDir = initial.path();
        EXPECT_FALSE(modal.OpenFile(nullptr, state));
        EXPECT_EQ(shownFolder, QDir(c.folder).absolutePath());
        EXPECT_EQ(state.fileName, c.fileName);
    }
}

TEST(QtModal, ErrorBoxIsACriticalBoxTitledErrorWithOneOkButton) {
    DrivenQtModal modal;
    // Not the program's name, which Qt would otherwise put in the title.
    QApplication::setApplicationDisplayName(QStringLiteral("Shell"));
    modal.drive = [](QDialog& dialog) {
        auto& box = dynamic_cast<QMessageBox&>(dialog);
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        EXPECT_EQ(box.text(), QStringLiteral("It broke."));
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Error"));
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
        box.button(QMessageBox::Ok)->click();
        return Finish(dialog);
    };
    modal.ErrorBox(nullptr, QStringLiteral("It broke."), 0);
    EXPECT_EQ(modal.shown, 1);
}

TEST(QtModal, FolderChooserPreselectsPlacesAndAnswers) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid() && QDir(root.path()).mkpath("start/sub") &&
                QDir(root.path()).mkpath("Café"));
    const QString start = QDir(root.path()).filePath("start");
    const QString sub = QDir(start).filePath("sub");
    const QString longer = QDir(root.path()).filePath("start/sub/deeper/and/longer/than/sub");

    const struct {
        const char* name;
        QString folder;
        QString shown; // folder the chooser opens at
        bool choose;
        QString after;
    } cases[] = {
        {"existing folder, choose sub", start, start, true, sub},
        {"ANSI bytes, as a record from Windows holds them",
         ui::QStringFromBytes(root.path().toStdString() + "/Caf\xe9"),
         QDir(root.path()).filePath("Café"), false,
         ui::QStringFromBytes(root.path().toStdString() + "/Caf\xe9")},
        {"longer old text replaced", longer, QDir::homePath(), true, sub},
        {"empty: no preselection", "", QDir::homePath(), false, ""},
        {"cancel leaves the folder", start, start, false, start},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DrivenQtModal modal;
        modal.drive = [&](QDialog& dialog) {
            auto& chooser = dynamic_cast<QFileDialog&>(dialog);
            EXPECT_EQ(chooser.directory().absolutePath(), QDir(c.shown).absolutePath());
            EXPECT_EQ(chooser.labelText(QFileDialog::LookIn), QStringLiteral("Choose Folder:"));
            EXPECT_EQ(QApplication::activeModalWidget(), &chooser);
            chooser.activateWindow();
            QApplication::processEvents();
            EXPECT_EQ(QApplication::activeWindow(), &chooser);
            EXPECT_EQ(chooser.fileMode(), QFileDialog::Directory);
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            EXPECT_EQ(chooser.pos(),
                      ui::FolderChooserPosition(screen, chooser.frameGeometry().size()));
            if (!c.choose) {
                chooser.reject();
            } else {
                // The user goes into sub and presses Choose.
                chooser.setDirectory(sub);
                QApplication::processEvents();
                dialog.accept();
            }
            return Finish(dialog);
        };
        QWidget owner;
        owner.show();
        owner.activateWindow();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), &owner);

        QString folder = c.folder;
        EXPECT_EQ(modal.BrowseFolder(folder, QStringLiteral("Choose Folder:")), c.choose);
        EXPECT_EQ(folder, c.after);
        QApplication::processEvents();
        EXPECT_EQ(QApplication::activeWindow(), &owner);
    }
}

// Help folders with topics of their own: the first holds other/5.html, the second that too
// and morvith/70.html and 130.html.
struct HelpFolders {
    HelpFolders() {
        for (const QString& file :
             {QStringLiteral("first/other/5.html"), QStringLiteral("second/other/5.html"),
              QStringLiteral("second/morvith/70.html"),
              QStringLiteral("second/morvith/130.html")}) {
            QDir(dir.path()).mkpath(QFileInfo(file).path());
            QFile(dir.filePath(file)).open(QIODevice::WriteOnly);
        }
    }
    QStringList List() const { return {dir.filePath("first"), dir.filePath("second")}; }
    QTemporaryDir dir;
};

TEST(QtModal, HelpTopicResolution) {
    const HelpFolders folders;
    const struct {
        QString helpFile;
        int context;
        QString endsWith; // empty: no topic
    } cases[] = {
        {"Morvith.hlp", 70, "second/morvith/70.html"},
        {"MORVITH.HLP", 130, "second/morvith/130.html"},
        {"C:\\Help\\Morvith.hlp", 70, "second/morvith/70.html"},
        {"Other.hlp", 5, "first/other/5.html"},
        {"Morvith.hlp", 71, ""},
        {"Morvith.hlp", 0, ""},
        {"Missing.hlp", 70, ""},
        {"", 70, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.helpFile.toStdString() + " " + std::to_string(c.context));
        const QString topic = ui::HelpTopicPath(c.helpFile, c.context, folders.List());
        if (c.endsWith.isEmpty()) {
            EXPECT_TRUE(topic.isEmpty()) << topic.toStdString();
        } else {
            EXPECT_TRUE(topic.endsWith(c.endsWith)) << topic.toStdString();
            EXPECT_TRUE(QFileInfo(topic).isFile());
        }
    }
    EXPECT_TRUE(ui::HelpTopicPath("Other.hlp", 5, {}).isEmpty());
}

TEST(QtModal, ShowHelpOpensTheTopicOrReportsItMissing) {
    const HelpFolders folders;
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    DrivenQtModal modal;
    modal.SetHelpFolders(folders.List());
    QStringList errors;
    modal.drive = [&](QDialog& dialog) {
        errors << dynamic_cast<QMessageBox&>(dialog).text();
        dialog.reject();
        return Finish(dialog);
    };

    modal.ShowHelp(QStringLiteral("Morvith.hlp"), 130);
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_TRUE(catcher.urls[0].toLocalFile().endsWith("second/morvith/130.html"));
    EXPECT_TRUE(errors.isEmpty());

    modal.ShowHelp(QStringLiteral("Morvith.hlp"), 999);
    EXPECT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(errors, QStringList{"Help topic 999 of \"Morvith.hlp\" was not found."});
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

TEST(QtModal, StartProgramReportsWhetherItStarted) {
    const QString truth = QStandardPaths::findExecutable(QStringLiteral("true"));
    ASSERT_FALSE(truth.isEmpty());
    ui::QtModalInteraction modal;
    EXPECT_TRUE(modal.StartProgram(truth, {}));
    EXPECT_FALSE(modal.StartProgram(QStringLiteral("/no/such/program"), {}));
}

#include "QtModalTest.moc"
