#include "FolderChooser.h"
#include "QtPrinters.h"
#include "ScriptedModal.h"

#include <gtest/gtest.h>

TEST(FolderChooser, Placement) {
    const struct {
        QRect screen;
        QSize window;
        QPoint expected;
    } cases[] = {
        {{0, 0, 1920, 1080}, {400, 300}, {760, 260}},
        {{0, 0, 1024, 768}, {401, 302}, {311, 155}},      // odd sizes truncate
        {{1920, 0, 1280, 1024}, {320, 424}, {2400, 200}}, // second screen
        {{0, 0, 800, 600}, {1001, 605}, {-100, -1}},      // larger than the screen: toward zero
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window.width() << "x" << c.window.height());
        EXPECT_EQ(ui::FolderChooserPosition(c.screen, c.window), c.expected);
    }
}

TEST(FolderChooser, BrowseForFolderInAndOut) {
    const struct {
        const char* name;
        std::string folder;
        bool choose;
        QString answer;
        bool result;
        std::string after;
    } cases[] = {
        {"longer old text replaced exactly", "/home/user/projects/very/long/path", true, "/tmp",
         true, "/tmp"},
        {"empty folder", "", true, "/srv/x", true, "/srv/x"},
        {"cancel leaves it", "/home/user/projects", false, "", false, "/home/user/projects"},
        {"non-ASCII survives", "/data/Ölbild", true, "/data/Größe/ñ", true, "/data/Größe/ñ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui::ScriptedModalInteraction scripted;
        ui::ScopedModal installed(scripted);
        if (c.choose)
            scripted.QueueFolder(c.answer);
        else
            scripted.QueueFolderCancel();
        std::string folder = c.folder;

        EXPECT_EQ(BrowseForFolder(folder, "Choose Folder:"), c.result);
        EXPECT_EQ(folder, c.after);
        ASSERT_EQ(scripted.Folders().size(), 1u);
        EXPECT_EQ(scripted.Folders()[0].prompt, QStringLiteral("Choose Folder:"));
        EXPECT_EQ(scripted.Folders()[0].folder, QString::fromStdString(c.folder));
    }
}
