// The ide-shell program with the real Quendle5, offscreen, as a user would start it.
#include "HostTestSupport.h"

#include <QProcess>

#include <string>

namespace {

struct ShellRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Without a display unless the test environment's offscreen platform is kept.
ShellRun Shell(const QStringList& arguments, bool display = true) {
    QProcess process;
    if (!display) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
    }
    process.start(QStringLiteral(IDE_SHELL_PATH), arguments);
    ShellRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

const std::string HostMenusBefore = "FileMenu\t&File\n"
                                    "  FileOpenProjectItem\tOpen &Project...\n"
                                    "  FileOpenItem\t&Open...\n"
                                    "  FileCloseItem\t&Close\n"
                                    "  FileSep1\t-\n"
                                    "  FileExitItem\tE&xit\n"
                                    "EditMenu\t&Edit\n";
const std::string HostMenusAfter = "SearchMenu\t&Search\n"
                                   "ViewMenu\t&View\n"
                                   "ProjectMenu\t&Project\n"
                                   "RunMenu\t&Run\n"
                                   "ComponentMenu\t&Component\n"
                                   "ToolsMenu\t&Tools\n"
                                   "HelpMenu\t&Help\n";

using IdeShellTest = PrivateRegistryTest;

} // namespace

TEST(IdeShellCommandLine, AnsweredWithoutADisplay) {
    struct Case {
        QStringList arguments;
        int exitCode;
        std::string out; // the start of standard output
        std::string err; // the start of standard error
    };
    const Case cases[] = {
        {{"--version"}, 0, "ide-shell " QUENDLE_VERSION "\n", ""},
        {{"--help"}, 0, "Usage: ", ""},
        {{"--no-such-option"}, 1, "", "ide-shell: Unknown option 'no-such-option'.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const ShellRun run = Shell(c.arguments, false);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
        if (!c.err.empty()) {
            EXPECT_EQ(run.err.size(), c.err.size()) << "one line: " << run.err;
        }
    }
}

TEST_F(IdeShellTest, DumpMenuPrintsTheFavoritesAndWritesNothing) {
    StoreSampleFavorites();
    const std::vector<std::string> stored = StoredRecords();
    const ShellRun run = Shell({"--registry", registryFile, "--dump-menu"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, HostMenusBefore + SampleFavoritesMenu + HostMenusAfter);
    // Nothing changed, so nothing is saved at exit: not even in the order the menu sorted.
    EXPECT_EQ(StoredRecords(), stored);
}

TEST_F(IdeShellTest, RegistryFromTheEnvironmentAndTheOtherBuild) {
    StoreSampleFavorites();
    const ShellRun run = Shell({"--package", QStringLiteral(QUENDLE4_PATH), "--dump-menu"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, HostMenusBefore + SampleFavoritesMenu + HostMenusAfter);
}

TEST_F(IdeShellTest, APackageThatDoesNotLoadIsReportedAndTheShellRunsOn) {
    struct Case {
        std::string label;
        QStringList arguments;
    };
    StoreBytes({'n', 'o', 'p', 'e'});
    const QByteArray before = RegistryFileContent();
    const Case cases[] = {
        {"missing library", {"--package", dir.filePath("libQuendle9.so")}},
        {"not a package", {"--package", QStringLiteral(NOT_A_PACKAGE_PATH)}},
        {"unreadable favorites", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ShellRun run =
            Shell(QStringList{"--registry", registryFile, "--dump-menu"} << c.arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("could not be loaded"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, HostMenusBefore + HostMenusAfter);
        EXPECT_EQ(RegistryFileContent(), before);
    }
}
