// The Add To Favorites dialog and the add request it makes, driven through the scripted seam.
#include "AddToFav.h"
#include "AddToFavoritesWnd.h"
#include "Exception.h"
#include "QtPrinters.h"
#include "ScriptedModal.h"

#include <QAbstractButton>
#include <QAccessible>
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

#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using ui::ScriptedModalInteraction;

// The tables below name only what each case does; GCC 12 warns about the members that
// designated initializers leave to their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

const QString FolderError = QStringLiteral(
    "The requested folder isn't accessible. The folder may be located on an unavailable volume "
    "or protected with password");
const QString FileError = QStringLiteral("The requested file does not exists.");
const QString AliasError = QStringLiteral("Aliase must have a value.");
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

// What the user does in the dialog, in this order: picks a mode, an entry of its list, types
// into its edit, types an alias, browses (the open dialog returns `chosen`, the folder chooser
// `folder`), and last clicks `then`. "~/" in a path stands for the test's folder.
struct Input {
    const char* mode = nullptr; // "rdoItem" or "rdoGroup"; nullptr keeps the mode shown
    int entry = -1;             // of cmbItem or cmbGroup; -1 keeps it
    std::string edit;
    QStringList chosen;
    QString folder;
    std::optional<QString> alias; // replaces the alias box's text as typing would
    const char* then = nullptr;
};

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

    QString Path(const QString& path) const {
        return path.startsWith(QStringLiteral("~/")) ? QString::fromStdString(root) + path.mid(2)
                                                     : path;
    }

    void Fill(TAddToFavoritesWnd& wnd, const Input& in) {
        const auto click = [&wnd](const char* name) {
            if (name)
                wnd.findChild<QRadioButton*>(QString::fromLatin1(name))->click();
        };
        click(in.mode);
        const bool group = wnd.rdoGroup->isChecked();
        if (in.entry >= 0)
            Pick(group ? wnd.cmbGroup : wnd.cmbItem, in.entry);
        if (!in.edit.empty())
            (group ? wnd.edtGroup : wnd.edtItem)->setText(Path(QString::fromStdString(in.edit)));
        if (in.alias) {
            wnd.edtAlias->selectAll();
            QTest::keyClick(wnd.edtAlias, Qt::Key_Delete);
            QTest::keyClicks(wnd.edtAlias, *in.alias);
        }
        if (!in.chosen.isEmpty() || !in.folder.isEmpty()) {
            QStringList chosen;
            for (const QString& file : in.chosen)
                chosen << Path(file);
            if (!chosen.isEmpty())
                modal.QueueOpenFile(chosen);
            if (!in.folder.isEmpty())
                modal.QueueFolder(Path(in.folder));
            (group ? wnd.btnGroup : wnd.btnItem)->click();
        }
        click(in.then);
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
        Input input;
        QString alias;
    } cases[] = {
        {"folder item drops one trailing separator",
         {.mode = "rdoItem", .entry = 1, .edit = "C:\\Work\\", .then = "rdoItem"},
         "Work"},
        {"file item keeps its name",
         {.mode = "rdoItem", .entry = 0, .edit = "C:\\Src\\Unit1.pas", .then = "rdoItem"},
         "Unit1.pas"},
        {"folder group drops nothing",
         {.mode = "rdoGroup", .entry = 1, .edit = "C:\\Work\\", .then = "rdoGroup"},
         ""},
        {"selected files: the first file's folder",
         {.mode = "rdoGroup", .entry = 0, .chosen = {"~/Src/Lib/a.pas", "~/Src/Main.pas"}},
         "Lib"},
        {"selected files at the root", {.mode = "rdoGroup", .entry = 0, .chosen = {"/a.pas"}}, ""},
        {"browsed folder item", {.mode = "rdoItem", .entry = 1, .folder = "~/Mixed"}, "Mixed"},
        {"typed alias survives modes and browsing",
         {.mode = "rdoItem",
          .chosen = {"~/readme.txt"},
          .alias = "Mine",
          .then = "rdoCurrentProject"},
         "Mine"},
        {"an emptied alias stays empty", {.mode = "rdoItem", .alias = "", .then = "rdoGroup"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Run({root + "Apps/Sample.dpr", ""}, [&](TAddToFavoritesWnd& wnd) {
            Fill(wnd, c.input);
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
    const struct {
        const char* name;
        Input input;
        QString message;
        const char* focus;
    } cases[] = {
        {"missing file item", {.mode = "rdoItem", .edit = "~/gone.pas"}, FileError, "edtItem"},
        {"a folder named as file item",
         {.mode = "rdoItem", .edit = "~/Mixed"},
         FileError,
         "edtItem"},
        {"missing folder item",
         {.mode = "rdoItem", .entry = 1, .edit = "~/gone"},
         FolderError,
         "edtItem"},
        {"no selected files",
         {.mode = "rdoGroup", .entry = 0},
         "File(s) must be selected.",
         "edtGroup"},
        {"missing group folder",
         {.mode = "rdoGroup", .edit = "/no/such/folder"},
         FolderError,
         "edtGroup"},
        {"group folder with a trailing separator has no alias",
         {.mode = "rdoGroup", .edit = "~/Mixed/", .then = "rdoGroup"},
         AliasError,
         "edtAlias"},
        {"blank alias", {.alias = " \t "}, AliasError, "edtAlias"},
        {"separator in the alias", {.alias = "a|b"}, SeparatorError, "edtAlias"},
        {"separator in a chosen file",
         {.mode = "rdoGroup", .entry = 0, .chosen = {"~/readme.txt", "/x/a|b.pas"}},
         SeparatorError,
         "edtGroup"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = modal.Errors().size();
        const auto request = Run({root + "Apps/Sample.dpr", ""}, [&](TAddToFavoritesWnd& wnd) {
            Fill(wnd, c.input);
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
        Input input;
        std::vector<std::string> request;
    } cases[] = {
        {"project group",
         {root + "Apps/Suite.bpg", ""},
         {},
         {"0", "Suite.bpg", root + "Apps/Suite.bpg"}},
        {"package project",
         {root + "Apps/Tools.dpk", ""},
         {},
         {"1", "Tools.dpk", root + "Apps/Tools.dpk"}},
        {"current form's unit",
         {"", root + "Src/Main.dfm"},
         {},
         {"2", "Main.pas", root + "Src/Main.pas"}},
        {"other file, alias as typed",
         {},
         {.mode = "rdoItem", .edit = "~/readme.txt", .alias = "  Read me "},
         {"3", "  Read me ", root + "readme.txt"}},
        {"folder as held",
         {},
         {.mode = "rdoItem", .entry = 1, .edit = "~/Mixed//", .alias = "M"},
         {"4", "M", mixed + "/"}},
        {"all files of a folder, its separators made one",
         {},
         {.mode = "rdoGroup", .edit = "~/Mixed//", .alias = "All"},
         {"5", "All", mixed + "A.dpr", mixed + "b.pas", mixed + "c.bpg", mixed + "d.DPK"}},
        {"projects of a folder",
         {},
         {.mode = "rdoGroup", .entry = 2, .edit = "~/Mixed", .alias = "P"},
         {"5", "P", mixed + "A.dpr", mixed + "c.bpg"}},
        {"libraries of a folder",
         {},
         {.mode = "rdoGroup", .entry = 3, .edit = "~/Src", .alias = "L"},
         {"5", "L"}},
        {"selected files sorted",
         {},
         {.mode = "rdoGroup", .entry = 0, .chosen = {"~/Src/Main.pas", "~/Src/Lib/a.pas"}},
         {"5", "Src", root + "Src/Lib/a.pas", root + "Src/Main.pas"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto request = Run(c.host, [&](TAddToFavoritesWnd& wnd) {
            Fill(wnd, c.input);
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

// Read through Qt's accessibility, as a screen reader hears them.
TEST_F(AddToFavTest, EveryControlHasANameOfItsOwn) {
    std::map<std::string, std::string> names;
    Run({}, [&names](TAddToFavoritesWnd& wnd) {
        for (QWidget* control :
             wnd.gbAdd->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            names[control->objectName().toStdString()] =
                QAccessible::queryAccessibleInterface(control)
                    ->text(QAccessible::Name)
                    .toStdString();
        return int(ui::mrCancel);
    });
    EXPECT_EQ(names["btnItem"], "Browse for the item");
    EXPECT_EQ(names["btnGroup"], "Browse for the group's files or folder");
    EXPECT_EQ(names["edtItem"], "Item");
    EXPECT_EQ(names["edtGroup"], "Group");
    std::set<std::string> distinct;
    for (const auto& [object, name] : names)
        EXPECT_TRUE(distinct.insert(name).second) << object << " is called " << name;
}

} // namespace

// A name in another encoding than UTF-8 (an ANSI file name, say) reaches the request as the
// same bytes.
TEST_F(AddToFavTest, NamesKeepTheirBytes) {
    const std::string project = root + "Apps/Caf\xE9.dpr";
    std::ofstream(project) << "program Cafe;";
    const auto request = Run({project, ""}, [](TAddToFavoritesWnd& wnd) { return ClickOk(wnd); });
    EXPECT_EQ(Lines(request.get()), (std::vector<std::string>{"0", "Caf\xE9.dpr", project}));
}
