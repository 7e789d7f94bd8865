// The IDE shell: a stand-in for the host IDE that loads one add-in package.
#include "IdeWindow.h"
#include "MenuDump.h"
#include "Modal.h"
#include "PackageLoader.h"
#include "QtModalInteraction.h"
#include "Registry.h"
#include "Screenshot.h"
#include "ScriptedModal.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace {

// Quendle5 beside the shell (the build tree), else where an installation puts it.
QString DefaultPackage() {
    const QDir beside(QCoreApplication::applicationDirPath());
    const QDir installed(
        QDir::cleanPath(beside.filePath(QStringLiteral(QUENDLE_PACKAGE_DIR_FROM_BIN))));
    for (const QDir& dir : {beside, installed})
        for (const char* name : {"libQuendle5.so", "Quendle5.so", "libQuendle5.dll", "Quendle5.dll",
                                 "libQuendle5.dylib"})
            if (dir.exists(QString::fromLatin1(name)))
                return dir.filePath(QString::fromLatin1(name));
    return beside.filePath(QStringLiteral("libQuendle5.so"));
}

// Where the add-in's help topics are looked for: $QUENDLE_HELP_DIR, then where an
// installation puts them (share/quendle/help beside the bin folder), then help/ at the top
// of the build tree.
QStringList HelpFolders() {
    QStringList folders;
    if (qEnvironmentVariableIsSet("QUENDLE_HELP_DIR"))
        folders << qEnvironmentVariable("QUENDLE_HELP_DIR");
    const QDir beside(QCoreApplication::applicationDirPath());
    folders << QDir::cleanPath(beside.filePath(QStringLiteral(QUENDLE_HELP_DIR_FROM_BIN)))
            << QDir::cleanPath(beside.filePath(QStringLiteral("../help")));
    return folders;
}

} // namespace

int main(int argc, char* argv[]) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A small IDE shell that loads an add-in package."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption packageOption(
        QStringLiteral("package"),
        QStringLiteral("The package to load (default: Quendle5 beside the shell, else in "
                       "the installed package folder)."),
        QStringLiteral("path"));
    const QCommandLineOption registryOption(
        QStringLiteral("registry"),
        QStringLiteral("The registry file (default: $QUARVEL_REGISTRY or the user's)."),
        QStringLiteral("file"));
    const QCommandLineOption projectOption(QStringLiteral("project"),
                                           QStringLiteral("A project to open at start."),
                                           QStringLiteral("file"));
    const QCommandLineOption dumpOption(
        QStringLiteral("dump-menu"),
        QStringLiteral("Load the package without user interaction, print the menu bar, exit."));
    QCommandLineOption menuShotOption(QStringLiteral("screenshot-menu"), QString(),
                                      QStringLiteral("file"));
    menuShotOption.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption windowShotOption(QStringLiteral("screenshot-window"), QString(),
                                        QStringLiteral("file"));
    windowShotOption.setFlags(QCommandLineOption::HiddenFromHelp);
    // Prints where the help topic FILE:CONTEXT is found, for checks of an installation.
    QCommandLineOption helpTopicOption(QStringLiteral("help-topic"), QString(),
                                       QStringLiteral("file:context"));
    helpTopicOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({packageOption, registryOption, projectOption, dumpOption, menuShotOption,
                       windowShotOption, helpTopicOption});
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Files to open."),
                                 QStringLiteral("[files...]"));
    {
        // --help, --version, --help-topic and a wrong option are answered before the GUI
        // application exists, so they need no display.
        const QCoreApplication commandLine(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("ide-shell"));
        QCoreApplication::setApplicationVersion(QStringLiteral(QUENDLE_VERSION));
        parser.process(commandLine);
        if (parser.isSet(helpTopicOption)) {
            const QString topic = parser.value(helpTopicOption);
            const qsizetype colon = topic.lastIndexOf(u':');
            const QString path =
                ui::HelpTopicPath(topic.left(colon), topic.mid(colon + 1).toInt(), HelpFolders());
            std::printf("%s\n", qPrintable(path));
            return path.isEmpty() ? 1 : 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ide-shell"));
    QApplication::setApplicationVersion(QStringLiteral(QUENDLE_VERSION));

    if (parser.isSet(registryOption)) {
        const QString file = QFileInfo(parser.value(registryOption)).absoluteFilePath();
        SetRegistryFile(file.toStdString());
        // The package carries its own copy of the registry module; it reads the variable.
        qputenv("QUARVEL_REGISTRY", file.toLocal8Bit());
    }

    const bool dump = parser.isSet(dumpOption);
    const bool menuShot = parser.isSet(menuShotOption);
    const bool windowShot = parser.isSet(windowShotOption);
    // Without a user, modal windows shown while loading (the About box) close at once.
    std::unique_ptr<ui::ScriptedModalInteraction> scripted;
    ui::QtModalInteraction qtModal(HelpFolders());
    if (dump || menuShot || windowShot) {
        scripted = std::make_unique<ui::ScriptedModalInteraction>();
        ui::SetModal(scripted.get());
    } else {
        ui::SetModal(&qtModal);
    }

    IdeWindow window;
    if (parser.isSet(projectOption) && !window.OpenProject(parser.value(projectOption)))
        ui::ShowErrorBox(
            QStringLiteral("Cannot open the project \"%1\".").arg(parser.value(projectOption)));
    for (const QString& file : parser.positionalArguments())
        if (!window.OpenFile(file))
            ui::ShowErrorBox(QStringLiteral("Cannot open \"%1\".").arg(file));
    if (!dump)
        window.show();

    QtToolServices services(window);
    PackageLoader package(services, &ui::Modal());
    const QString packageFile =
        parser.isSet(packageOption) ? parser.value(packageOption) : DefaultPackage();
    QString error;
    const bool loaded = package.Load(packageFile, error);
    if (!loaded) {
        const QString message =
            QStringLiteral("The package %1 could not be loaded:\n%2").arg(packageFile, error);
        ui::ShowErrorBox(message);
    }

    int result = 0;
    if (dump) {
        const std::string text = DumpMenuBar(*services.HostGetMainMenu());
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        result = loaded ? 0 : 1;
    } else if (menuShot || windowShot) {
        const auto done = [&result](bool ok) {
            result = ok ? 0 : 1;
            QApplication::quit();
        };
        if (menuShot)
            ScreenshotFavoritesMenu(window, parser.value(menuShotOption), done);
        else
            ScreenshotWindow(window, parser.value(windowShotOption), done);
        QApplication::exec();
    } else {
        result = QApplication::exec();
    }

    // Expert first (it saves), then Finalize, then the library; the window outlives them all.
    package.Unload();
    if (scripted) {
        // Nobody saw the error boxes: say what they said.
        for (const QString& text : scripted->ErrorTexts())
            std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    ui::SetModal(nullptr);
    return result;
}
