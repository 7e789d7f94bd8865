// The shell's editor tabs and current project, as the add-in sees them through the services.
#include "IdeWindow.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class IdeWindowTest : public ::testing::Test {
protected:
    std::string Make(const QString& name, const QByteArray& text = "program P;\n") {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return path.toStdString();
    }

    QTemporaryDir dir;
    IdeWindow window;
    QtToolServices services{window};
};

} // namespace

TEST_F(IdeWindowTest, OpenFileShowsItReadOnlyAndMakesItCurrent) {
    const std::string unit = Make("Main.pas", "unit Main;\n");
    EXPECT_EQ(services.HostGetCurrentFile(), "");
    EXPECT_FALSE(services.HostIsFileOpen(unit));

    EXPECT_TRUE(services.HostOpenFile(unit));
    EXPECT_TRUE(services.HostIsFileOpen(unit));
    EXPECT_EQ(services.HostGetCurrentFile(), unit);
    EXPECT_EQ(services.HostGetProjectName(), "");
    auto* editor = qobject_cast<QPlainTextEdit*>(window.Tabs()->currentWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isReadOnly());
    EXPECT_EQ(editor->toPlainText(), "unit Main;\n");
    EXPECT_EQ(window.Tabs()->tabText(0), "Main.pas");
}

TEST_F(IdeWindowTest, AFileIsShownOnceWhateverTheSpelling) {
    const std::string unit = Make("src/Main.pas");
    const std::string other = Make("Other.pas");
    const std::string roundabout = dir.filePath("src/../src/./Main.pas").toStdString();
    services.HostOpenFile(unit);
    services.HostOpenFile(other);
    EXPECT_TRUE(services.HostIsFileOpen(roundabout));
    services.HostOpenFile(roundabout);
    EXPECT_EQ(window.Tabs()->count(), 2);
    EXPECT_EQ(services.HostGetCurrentFile(), unit);
}

TEST_F(IdeWindowTest, OpenProjectMakesItCurrentAndShowsIt) {
    const std::string project = Make("Sample.dpr");
    EXPECT_TRUE(services.HostOpenProject(project));
    EXPECT_EQ(services.HostGetProjectName(), project);
    EXPECT_TRUE(services.HostIsFileOpen(project));
    EXPECT_EQ(window.windowTitle(), "IDE Shell - Sample.dpr");
}

TEST_F(IdeWindowTest, ClosingTheTabClosesTheFile) {
    const std::string unit = Make("Main.pas");
    services.HostOpenFile(unit);
    window.CloseCurrentFile();
    EXPECT_FALSE(services.HostIsFileOpen(unit));
    EXPECT_EQ(services.HostGetCurrentFile(), "");
}

TEST_F(IdeWindowTest, MissingFilesAndFoldersAreNotOpened) {
    EXPECT_FALSE(services.HostOpenFile(dir.filePath("Gone.pas").toStdString()));
    EXPECT_FALSE(services.HostOpenProject(dir.path().toStdString()));
    EXPECT_EQ(window.Tabs()->count(), 0);
    EXPECT_EQ(services.HostGetProjectName(), "");
    EXPECT_FALSE(services.HostIsFileOpen(""));
}
