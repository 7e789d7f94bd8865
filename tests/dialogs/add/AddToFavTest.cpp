// The Add To Favorites dialog and the add request it makes, driven through the scripted seam.
#include "AddToFav.h"
#include "AddToFavoritesWnd.h"
#include "Exception.h"
#include "QtPrinters.h"
#include "ScriptedModal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using ui::ScriptedModalInteraction;

namespace {

const QString FolderError = QStringLiteral(
    "The requested folder isn't accessible. The folder may be located on an unavailable volume "
    "or protected with password");
const QString SeparatorError =
    QStringLiteral("An alias or a path cannot contain the character \"|\".");

std::vector<std::string> Lines(const TStringList* list) {
    return list ? list->Lines() : std::vector<std::string>{"<null>"};
}

int AddDialogsAlive() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += dynamic_cast<TAddToFavoritesWnd*>(widget) != nullptr;
    return count;
}

class AddToFavTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path().toStdString() + "/";
        for (const char* name :
             {"Apps/Sample.dpr", "Apps/Suite.bpg", "Apps/Tools.dpk", "Src/Main.pas", "Src/Main.dfm",
              "Src/Other.dfm", "readme.txt", "Src/Lib/a.pas", "Mixed/b.pas", "Mixed/A.dpr",
              "Mixed/c.bpg", "Mixed/notes.txt", "Mixed/.hidden.pas", "Mixed/sub/x.pas",
              "Mixed/d.DPK"})
            MakeFile(name);
    }

    void MakeFile(const std::string& relative) {
        const QString path = QString::fromStdString(root + relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    // Runs AddToFavorites with the host's files; act works on the shown dialog and returns
    // its result (ClickOk for OK with the checks).
    std::unique_ptr<TStringList> Run(const THostFiles& host,
                                     std::function<int(TAddToFavoritesWnd&)> act) {
        modal.QueueDialog(
            [act](QDialog& dialog) { return act(static_cast<TAddToFavoritesWnd&>(dialog)); });
        return AddToFavorites(host);
    }

    static int ClickOk(TAddToFavoritesWnd& wnd) {
        wnd.btnOk->click();
        return ScriptedModalInteraction::ResultOf(wnd);
    }
    static void Pick(QComboBox* combo, int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    QTemporaryDir dir;
    std::string root;
    ScriptedModalInteraction modal;
    ui::ScopedModal installed{modal};
};

TEST_F(AddToFavTest, FormControlsAtTheirBoundsInTabOrder) {
    TAddToFavoritesWnd wnd;
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("Add To Favorites"));
    EXPECT_EQ(wnd.size(), QSize(465, 246));
    EXPECT_EQ(wnd.minimumSize(), wnd.maximumSize());
    EXPECT_EQ(wnd.font().family(), QStringLiteral("Liberation Sans"));

    const struct {
        const char* name;
        const char* parent;
        QRect bounds;
        QString text; // caption, or the items joined by '|'
    } controls[] = {
        {"btnOk", "AddToFavoritesWnd", {219, 214, 75, 23}, "OK"},
        {"btnCancel", "AddToFavoritesWnd", {300, 214, 75, 23}, "Cancel"},
        {"btnHelp", "AddToFavoritesWnd", {382, 214, 75, 23}, "&Help"},
        {"gbAdd", "AddToFavoritesWnd", {8, 4, 449, 152}, "&Add:"},
        {"btnItem", "gbAdd", {418, 81, 22, 21}, ""},
        {"btnGroup", "gbAdd", {418, 122, 22, 21}, ""},
        {"rdoCurrentProject", "gbAdd", {8, 16, 433, 17}, "Current &Project: %s."},
        {"rdoCurrentFile", "gbAdd", {8, 40, 433, 17}, "Current &File: %s."},
        {"rdoItem", "gbAdd", {8, 64, 113, 17}, "&Item:"},
        {"edtItem", "gbAdd", {208, 81, 209, 21}, ""},
        {"cmbItem", "gbAdd", {24, 81, 177, 21}, "File|Folder"},
        {"rdoGroup", "gbAdd", {8, 105, 113, 17}, "&Group:"},
        {"edtGroup", "gbAdd", {208, 122, 209, 21}, ""},
        {"cmbGroup",
         "gbAdd",
         {24, 122, 177, 21},
         "Selected Files|All Files (*.dpr;*.bpg;*.dpk;*.pas)|Projects (*.dpr;*.bpg)|Libraries "
         "(*.dpk)|Units (*.pas)"},
        {"gbAlias", "AddToFavoritesWnd", {8, 159, 449, 46}, "Alia&s:"},
        {"edtAlias", "gbAlias", {8, 16, 432, 21}, ""},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        auto* control = wnd.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName(), QString::fromLatin1(c.parent));
        EXPECT_EQ(control->geometry(), c.bounds);
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            text = button->text();
        else if (auto* box = qobject_cast<QGroupBox*>(control))
            text = box->title();
        else if (auto* edit = qobject_cast<QLineEdit*>(control))
            text = edit->text();
        else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            text = items.join(u'|');
            EXPECT_FALSE(combo->isEditable());
            // Every entry fits the closed box's text area in the forms' font.
            QStyleOptionComboBox option;
            option.initFrom(combo);
            const QRect area = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                              QStyle::SC_ComboBoxEditField, combo);
            for (const QString& item : items)
                EXPECT_LE(combo->fontMetrics().horizontalAdvance(item), area.width())
                    << item.toStdString();
        }
        EXPECT_EQ(text, c.text);
    }

    // The speed buttons take no focus and show the folder greyed while disabled.
    for (QToolButton* browse : {wnd.btnItem, wnd.btnGroup}) {
        EXPECT_EQ(browse->focusPolicy(), Qt::NoFocus);
        const QImage normal = browse->icon().pixmap(16, 16, QIcon::Normal).toImage();
        const QImage greyed = browse->icon().pixmap(16, 16, QIcon::Disabled).toImage();
        EXPECT_EQ(normal.size(), QSize(16, 16));
        EXPECT_NE(normal, greyed);
        EXPECT_TRUE(greyed.allGray());
        EXPECT_FALSE(normal.allGray());
    }

    EXPECT_TRUE(wnd.btnOk->isDefault());
    QWidget* expected[] = {wnd.rdoCurrentProject, wnd.rdoCurrentFile, wnd.rdoItem,   wnd.cmbItem,
                           wnd.edtItem,           wnd.rdoGroup,       wnd.cmbGroup,  wnd.edtGroup,
                           wnd.edtAlias,          wnd.btnOk,          wnd.btnCancel, wnd.btnHelp};
    // The next widget that Tab stops at (the chain also holds the boxes and labels).
    const auto nextTabStop = [](QWidget* w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    for (std::size_t i = 0; i + 1 < std::size(expected); ++i)
        EXPECT_EQ(nextTabStop(expected[i])->objectName(), expected[i + 1]->objectName()) << i;

    EXPECT_EQ(wnd.dlgOpenFile.title, QStringLiteral("Open"));
    EXPECT_EQ(wnd.dlgOpenFile.filterIndex, 1);
    EXPECT_TRUE(wnd.dlgOpenFile.filter.startsWith(
        QStringLiteral("Delphi file (*.pas;*.bpg;*.dpr;*.dpk)|*.pas;*.bpg;*.dpr;*.dpk|")));
}

TEST_F(AddToFavTest, PreparationOffersWhatExists) {
    const std::string project = root + "Apps/Sample.dpr";
    const struct {
        const char* name;
        THostFiles host;
        QString projectCaption, fileCaption;
        bool projectEnabled, fileEnabled;
        const char* checked;
        QString alias;
    } cases[] = {
        {"nothing open",
         {"", ""},
         "Current &Project: <None>.",
         "Current &File: <None>.",
         false,
         false,
         "rdoItem",
         ""},
        {"project and unit",
         {project, root + "Src/Main.pas"},
         QString::fromStdString("Current &Project: " + project + "."),
         QString::fromStdString("Current &File: " + root + "Src/Main.pas."),
         true,
         true,
         "rdoCurrentProject",
         "Sample.dpr"},
        {"form file stands for its unit",
         {"", root + "Src/Main.dfm"},
         "Current &Project: <None>.",
         QString::fromStdString("Current &File: " + root + "Src/Main.pas."),
         false,
         true,
         "rdoCurrentFile",
         "Main.pas"},
        {"form file without its unit",
         {"", root + "Src/Other.dfm"},
         "Current &Project: <None>.",
         "Current &File: <None>.",
         false,
         false,
         "rdoItem",
         ""},
        {"the project in the editor",
         {project, project},
         QString::fromStdString("Current &Project: " + project + "."),
         "Current &File: <None>.",
         true,
         false,
         "rdoCurrentProject",
         "Sample.dpr"},
        {"missing project",
         {root + "Apps/Gone.dpr", root + "readme.txt"},
         "Current &Project: <None>.",
         QString::fromStdString("Current &File: " + root + "readme.txt."),
         false,
         true,
         "rdoCurrentFile",
         "readme.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Run(c.host, [&c](TAddToFavoritesWnd& wnd) {
            EXPECT_EQ(wnd.rdoCurrentProject->text(), c.projectCaption);
            EXPECT_EQ(wnd.rdoCurrentFile->text(), c.fileCaption);
            EXPECT_EQ(wnd.rdoCurrentProject->isEnabled(), c.projectEnabled);
            EXPECT_EQ(wnd.rdoCurrentFile->isEnabled(), c.fileEnabled);
            auto* checked = wnd.findChild<QRadioButton*>(QString::fromLatin1(c.checked));
            EXPECT_TRUE(checked->isChecked());
            const bool item = checked == wnd.rdoItem;
            for (QWidget* w :
                 std::initializer_list<QWidget*>{wnd.cmbItem, wnd.edtItem, wnd.btnItem})
                EXPECT_EQ(w->isEnabled(), item);
            for (QWidget* w :
                 std::initializer_list<QWidget*>{wnd.cmbGroup, wnd.edtGroup, wnd.btnGroup})
                EXPECT_FALSE(w->isEnabled());
            EXPECT_EQ(wnd.cmbItem->currentText(), QStringLiteral("File"));
            EXPECT_EQ(wnd.cmbGroup->currentIndex(), 1);
            // Set by the program: the group's edit stays editable and empty.
            EXPECT_FALSE(wnd.edtGroup->isReadOnly());
            EXPECT_EQ(wnd.edtAlias->text(), c.alias);
            EXPECT_FALSE(wnd.edtAlias->isModified());
            return int(ui::mrCancel);
        });
    }
}

TEST_F(AddToFavTest, AliasFollowsTheChoiceUntilTheUserTypesOne) {
    const struct {
        const char* name;
        std::function<void(TAddToFavoritesWnd&)> act;
        QString alias;
    } cases[] = {
        {"folder item drops one trailing separator",
         [](TAddToFavoritesWnd& w) {
             w.rdoItem->click();
             w.cmbItem->setCurrentIndex(1);
             w.edtItem->setText(QStringLiteral("C:\\Work\\"));
             w.rdoItem->click();
         },
         "Work"},
        {"file item keeps its name",
         [](TAddToFavoritesWnd& w) {
             w.rdoItem->click();
             w.edtItem->setText(QStringLiteral("C:\\Src\\Unit1.pas"));
             w.rdoItem->click();
         },
         "Unit1.pas"},
        {"folder group drops nothing",
         [](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             w.edtGroup->setText(QStringLiteral("C:\\Work\\"));
             w.rdoGroup->click();
         },
         ""},
        {"selected files: the first file's folder",
         [this](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             Pick(w.cmbGroup, 0);
             modal.QueueOpenFile({QString::fromStdString(root + "Src/Lib/a.pas"),
                                  QString::fromStdString(root + "Src/Main.pas")});
             w.btnGroup->click();
         },
         "Lib"},
        {"selected files at the root",
         [this](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             Pick(w.cmbGroup, 0);
             modal.QueueOpenFile({QStringLiteral("/a.pas")});
             w.btnGroup->click();
         },
         ""},
        {"browsed folder item",
         [this](TAddToFavoritesWnd& w) {
             w.rdoItem->click();
             w.cmbItem->setCurrentIndex(1);
             modal.QueueFolder(QString::fromStdString(root + "Mixed"));
             w.btnItem->click();
         },
         "Mixed"},
        {"typed alias survives modes and browsing",
         [this](TAddToFavoritesWnd& w) {
             QTest::keyClicks(w.edtAlias, QStringLiteral("Mine"));
             w.rdoItem->click();
             modal.QueueOpenFile({QString::fromStdString(root + "readme.txt")});
             w.btnItem->click();
             w.rdoCurrentProject->click();
         },
         "Sample.dprMine"},
        {"an emptied alias stays empty",
         [](TAddToFavoritesWnd& w) {
             w.edtAlias->selectAll();
             QTest::keyClick(w.edtAlias, Qt::Key_Delete);
             w.rdoItem->click();
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Run({root + "Apps/Sample.dpr", ""}, [&c](TAddToFavoritesWnd& wnd) {
            wnd.edtAlias->setCursorPosition(wnd.edtAlias->text().size());
            c.act(wnd);
            EXPECT_EQ(wnd.edtAlias->text(), c.alias);
            return int(ui::mrCancel);
        });
    }
}

TEST_F(AddToFavTest, GroupFolderComesBackAfterSelectedFiles) {
    Run({}, [this](TAddToFavoritesWnd& wnd) {
        wnd.rdoGroup->click();
        QTest::keyClicks(wnd.edtGroup, QStringLiteral("/some/folder"));
        Pick(wnd.cmbGroup, 0);
        EXPECT_TRUE(wnd.edtGroup->isReadOnly());
        EXPECT_EQ(wnd.edtGroup->text(), QString());
        modal.QueueOpenFile({QStringLiteral("/x/b.pas"), QStringLiteral("/y/a.pas")});
        wnd.btnGroup->click();
        EXPECT_EQ(wnd.edtGroup->text(), QStringLiteral("\"b.pas\" \"a.pas\" "));
        Pick(wnd.cmbGroup, 0); // picked again: the names are no folder
        // Keys on the closed box are the user's picks too.
        wnd.cmbGroup->setFocus();
        QTest::keyClick(wnd.cmbGroup, Qt::Key_Down);
        EXPECT_EQ(wnd.cmbGroup->currentIndex(), 1);
        EXPECT_FALSE(wnd.edtGroup->isReadOnly());
        EXPECT_EQ(wnd.edtGroup->text(), QStringLiteral("/some/folder"));
        Pick(wnd.cmbGroup, 4);
        EXPECT_EQ(wnd.edtGroup->text(), QStringLiteral("/some/folder"));
        QTest::keyClick(wnd.cmbGroup, Qt::Key_Up);
        QTest::keyClick(wnd.cmbGroup, Qt::Key_Up);
        QTest::keyClick(wnd.cmbGroup, Qt::Key_Up);
        QTest::keyClick(wnd.cmbGroup, Qt::Key_Up);
        EXPECT_EQ(wnd.cmbGroup->currentIndex(), 0);
        EXPECT_EQ(wnd.edtGroup->text(), QStringLiteral("\"b.pas\" \"a.pas\" "));
        return int(ui::mrCancel);
    });
}

TEST_F(AddToFavTest, OkChecksTheInputOneMessageAtATime) {
    const std::string folder = root + "Mixed";
    const struct {
        const char* name;
        std::function<void(TAddToFavoritesWnd&)> act;
        QString message;
        const char* focus;
    } cases[] = {
        {"missing file item",
         [&](TAddToFavoritesWnd& w) {
             w.rdoItem->click();
             w.edtItem->setText(QString::fromStdString(root + "gone.pas"));
         },
         "The requested file does not exists.", "edtItem"},
        {"a folder named as file item",
         [&](TAddToFavoritesWnd& w) {
             w.rdoItem->click();
             w.edtItem->setText(QString::fromStdString(folder));
         },
         "The requested file does not exists.", "edtItem"},
        {"missing folder item",
         [&](TAddToFavoritesWnd& w) {
             w.rdoItem->click();
             w.cmbItem->setCurrentIndex(1);
             w.edtItem->setText(QString::fromStdString(root + "gone"));
         },
         FolderError, "edtItem"},
        {"no selected files",
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             Pick(w.cmbGroup, 0);
         },
         "File(s) must be selected.", "edtGroup"},
        {"missing group folder",
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             w.edtGroup->setText(QStringLiteral("/no/such/folder"));
         },
         FolderError, "edtGroup"},
        {"group folder with a trailing separator has no alias",
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             w.edtGroup->setText(QString::fromStdString(folder + "/"));
             w.rdoGroup->click();
         },
         "Aliase must have a value.", "edtAlias"},
        {"blank alias", [&](TAddToFavoritesWnd& w) { w.edtAlias->setText(QStringLiteral(" \t ")); },
         "Aliase must have a value.", "edtAlias"},
        {"separator in the alias",
         [&](TAddToFavoritesWnd& w) { w.edtAlias->setText(QStringLiteral("a|b")); }, SeparatorError,
         "edtAlias"},
        {"separator in a chosen file",
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             Pick(w.cmbGroup, 0);
             modal.QueueOpenFile(
                 {QString::fromStdString(root + "readme.txt"), QStringLiteral("/x/a|b.pas")});
             w.btnGroup->click();
         },
         SeparatorError, "edtGroup"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = modal.Errors().size();
        const auto request = Run({root + "Apps/Sample.dpr", ""}, [&](TAddToFavoritesWnd& wnd) {
            c.act(wnd);
            EXPECT_EQ(ClickOk(wnd), ui::mrNone);
            EXPECT_TRUE(wnd.isVisible());
            EXPECT_EQ(wnd.focusWidget() ? wnd.focusWidget()->objectName() : QString(),
                      QString::fromLatin1(c.focus));
            EXPECT_EQ(modal.Errors().size(), before + 1);
            // Cancel leaves without a check.
            wnd.btnCancel->click();
            return ScriptedModalInteraction::ResultOf(wnd);
        });
        EXPECT_EQ(request, nullptr);
        ASSERT_EQ(modal.Errors().size(), before + 1);
        EXPECT_EQ(modal.Errors().back().text, c.message);
        EXPECT_EQ(modal.Errors().back().helpContext, 0);
    }
}

TEST_F(AddToFavTest, RequestByModeAndKind) {
    const std::string mixed = root + "Mixed/";
    const struct {
        const char* name;
        THostFiles host;
        std::function<void(TAddToFavoritesWnd&)> act;
        std::vector<std::string> request;
    } cases[] = {
        {"project group",
         {root + "Apps/Suite.bpg", ""},
         [](TAddToFavoritesWnd&) {},
         {"0", "Suite.bpg", root + "Apps/Suite.bpg"}},
        {"package project",
         {root + "Apps/Tools.dpk", ""},
         [](TAddToFavoritesWnd&) {},
         {"1", "Tools.dpk", root + "Apps/Tools.dpk"}},
        {"current form's unit",
         {"", root + "Src/Main.dfm"},
         [](TAddToFavoritesWnd&) {},
         {"2", "Main.pas", root + "Src/Main.pas"}},
        {"other file, alias as typed",
         {},
         [&](TAddToFavoritesWnd& w) {
             w.edtItem->setText(QString::fromStdString(root + "readme.txt"));
             QTest::keyClicks(w.edtAlias, QStringLiteral("  Read me "));
         },
         {"3", "  Read me ", root + "readme.txt"}},
        {"folder as held",
         {},
         [&](TAddToFavoritesWnd& w) {
             w.cmbItem->setCurrentIndex(1);
             w.edtItem->setText(QString::fromStdString(mixed + "/"));
             QTest::keyClicks(w.edtAlias, QStringLiteral("Mixed"));
         },
         {"4", "Mixed", mixed + "/"}},
        {"all files of a folder, its separators made one",
         {},
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             w.edtGroup->setText(QString::fromStdString(root + "Mixed//"));
             QTest::keyClicks(w.edtAlias, QStringLiteral("All"));
         },
         {"5", "All", mixed + "A.dpr", mixed + "b.pas", mixed + "c.bpg", mixed + "d.DPK"}},
        {"projects of a folder",
         {},
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             Pick(w.cmbGroup, 2);
             w.edtGroup->setText(QString::fromStdString(root + "Mixed"));
             w.edtAlias->setText(QStringLiteral("P"));
         },
         {"5", "P", mixed + "A.dpr", mixed + "c.bpg"}},
        {"libraries of a folder",
         {},
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             Pick(w.cmbGroup, 3);
             w.edtGroup->setText(QString::fromStdString(root + "Src"));
             w.edtAlias->setText(QStringLiteral("L"));
         },
         {"5", "L"}},
        {"selected files sorted",
         {},
         [&](TAddToFavoritesWnd& w) {
             w.rdoGroup->click();
             Pick(w.cmbGroup, 0);
             modal.QueueOpenFile({QString::fromStdString(root + "Src/Main.pas"),
                                  QString::fromStdString(root + "Src/Lib/a.pas")});
             w.btnGroup->click();
         },
         {"5", "Src", root + "Src/Lib/a.pas", root + "Src/Main.pas"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto request = Run(c.host, [&c](TAddToFavoritesWnd& wnd) {
            c.act(wnd);
            return ClickOk(wnd);
        });
        EXPECT_EQ(Lines(request.get()), c.request);
        EXPECT_EQ(AddDialogsAlive(), 0);
    }
    EXPECT_TRUE(modal.Errors().empty()) << modal.ErrorTexts().join(u'\n').toStdString();
}

TEST_F(AddToFavTest, FolderSearchEdges) {
    TStringList files;
    EXPECT_THROW(
        {
            try {
                GetFolderFiles("", 0, files);
            } catch (const Exception& e) {
                EXPECT_STREQ(e.what(), "Path is not assigned");
                throw;
            }
        },
        Exception);
    // Separators only: the root is searched, with one separator in front of each name.
    files.Add("stale");
    GetFolderFiles("//", 3, files);
    for (const std::string& file : files) {
        EXPECT_EQ(file.rfind('/'), 0u) << file;
        EXPECT_NE(file, "stale");
    }
    GetFolderFiles(root + "Mixed", 9, files);
    EXPECT_TRUE(files.Empty());

    TStringList names({"b", "B", "a", "A", "c"});
    SortFileNames(names);
    EXPECT_EQ(names.Lines(), (std::vector<std::string>{"a", "A", "b", "B", "c"}));
}

TEST_F(AddToFavTest, KeyboardAlone) {
    const auto request =
        Run({root + "Apps/Sample.dpr", root + "readme.txt"}, [this](TAddToFavoritesWnd& wnd) {
            wnd.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&wnd));
            const auto focused = [&wnd] {
                return wnd.focusWidget() ? wnd.focusWidget()->objectName() : QString();
            };
            const struct {
                Qt::Key key;
                const char* checked; // radio checked by the key, or nullptr
                const char* focus;
            } keys[] = {
                {Qt::Key_F, "rdoCurrentFile", "rdoCurrentFile"},
                {Qt::Key_G, "rdoGroup", "rdoGroup"},
                {Qt::Key_I, "rdoItem", "rdoItem"},
                {Qt::Key_S, nullptr, "edtAlias"},
                {Qt::Key_A, nullptr, "rdoItem"}, // into the box, on its checked button
                {Qt::Key_P, "rdoCurrentProject", "rdoCurrentProject"},
            };
            for (const auto& k : keys) {
                SCOPED_TRACE(k.focus);
                QTest::keyClick(&wnd, k.key, Qt::AltModifier);
                // A mnemonic clicks its button the way a mouse click shows, a moment later.
                if (k.checked) {
                    auto* radio = wnd.findChild<QRadioButton*>(QString::fromLatin1(k.checked));
                    EXPECT_TRUE(QTest::qWaitFor([radio] { return radio->isChecked(); }));
                }
                EXPECT_EQ(focused(), QString::fromLatin1(k.focus));
            }
            EXPECT_EQ(wnd.edtAlias->text(), QStringLiteral("Sample.dpr"));
            QTest::keyClick(&wnd, Qt::Key_H, Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([this] { return modal.HelpRequests().size() == 1; }));

            // Tab from the alias runs through the buttons and back into the Add box.
            wnd.edtAlias->setFocus();
            QStringList visited;
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited << focused();
            }
            EXPECT_EQ(visited, (QStringList{"btnOk", "btnCancel", "btnHelp", "rdoCurrentProject"}));

            // Enter is OK, with its checks.
            wnd.edtAlias->setFocus();
            wnd.edtAlias->selectAll();
            QTest::keyClicks(wnd.edtAlias, QStringLiteral("Sample"));
            QTest::keyClick(wnd.edtAlias, Qt::Key_Return);
            return ScriptedModalInteraction::ResultOf(wnd);
        });
    EXPECT_EQ(Lines(request.get()),
              (std::vector<std::string>{"0", "Sample", root + "Apps/Sample.dpr"}));
    ASSERT_EQ(modal.HelpRequests().size(), 1u);
    EXPECT_EQ(modal.HelpRequests()[0].helpFile, QStringLiteral("Morvith.hlp"));
    EXPECT_EQ(modal.HelpRequests()[0].context, 70);

    // Escape cancels without a check, even with input that would fail one.
    const auto cancelled = Run({}, [](TAddToFavoritesWnd& wnd) {
        wnd.edtItem->setText(QStringLiteral("/no/such/file"));
        QTest::keyClick(wnd.edtItem, Qt::Key_Escape);
        return ScriptedModalInteraction::ResultOf(wnd);
    });
    EXPECT_EQ(cancelled, nullptr);
    EXPECT_EQ(modal.Errors().size(), 0u);
}

TEST_F(AddToFavTest, TheDialogIsFreedOnEveryPath) {
    EXPECT_EQ(Run({}, [](TAddToFavoritesWnd&) { return int(ui::mrCancel); }), nullptr);
    EXPECT_EQ(AddDialogsAlive(), 0);
    EXPECT_THROW(Run({}, [](TAddToFavoritesWnd&) -> int { throw std::runtime_error("lost"); }),
                 std::runtime_error);
    EXPECT_EQ(AddDialogsAlive(), 0);
    ASSERT_EQ(modal.Dialogs().size(), 2u);
    EXPECT_EQ(modal.Dialogs()[0].title, QStringLiteral("Add To Favorites"));
}

} // namespace
