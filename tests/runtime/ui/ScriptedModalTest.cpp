#include "ScriptedModal.h"
#include "QtPrinters.h"

#include <QDialog>
#include <QPushButton>

#include <gtest/gtest.h>

#include <typeindex>

using ui::ScriptedModalInteraction;

namespace {

// Counts its show events and offers two buttons: one that closes with OK, one that does not
// close at all.
class ProbeDialog : public QDialog {
public:
    explicit ProbeDialog(const QString& title) {
        setWindowTitle(title);
        setObjectName(QStringLiteral("ProbeWnd"));
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setObjectName(QStringLiteral("btnOk"));
        connect(ok, &QPushButton::clicked, this, [this] { done(ui::mrOk); });
        auto* stay = new QPushButton(QStringLiteral("Stay"), this);
        stay->setObjectName(QStringLiteral("btnStay"));
    }
    int shows = 0;

protected:
    void showEvent(QShowEvent* event) override {
        ++shows;
        QDialog::showEvent(event);
    }
};

} // namespace

TEST(ScriptedModal, WithoutScriptDialogIsShownThenCancelled) {
    ScriptedModalInteraction scripted;
    ProbeDialog dialog(QStringLiteral("Probe"));

    EXPECT_EQ(scripted.ShowModal(dialog), ui::mrCancel);
    EXPECT_EQ(dialog.shows, 1);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(scripted.Dialogs().size(), 1u);
    EXPECT_EQ(scripted.Dialogs()[0].title, QStringLiteral("Probe"));
    EXPECT_EQ(scripted.Dialogs()[0].objectName, QStringLiteral("ProbeWnd"));
    EXPECT_EQ(scripted.Dialogs()[0].type, std::type_index(typeid(ProbeDialog)));
}

TEST(ScriptedModal, DialogOpenedByAScriptGetsTheNextScript) {
    ScriptedModalInteraction scripted;
    ui::ScopedModal installed(scripted);
    ProbeDialog outer(QStringLiteral("Outer"));
    ProbeDialog inner(QStringLiteral("Inner"));
    int innerResult = -1;
    scripted.QueueDialog([&](QDialog& dialog) {
        EXPECT_TRUE(dialog.isVisible());
        innerResult = ui::Modal().ShowModal(inner);
        return 7;
    });
    scripted.QueueDialog(ScriptedModalInteraction::ClickButton(QStringLiteral("btnOk")));

    EXPECT_EQ(ui::Modal().ShowModal(outer), 7);
    EXPECT_EQ(innerResult, ui::mrOk);
    EXPECT_FALSE(outer.isVisible());
    ASSERT_EQ(scripted.Dialogs().size(), 2u);
    EXPECT_EQ(scripted.Dialogs()[0].title, QStringLiteral("Outer"));
    EXPECT_EQ(scripted.Dialogs()[1].title, QStringLiteral("Inner"));
    EXPECT_TRUE(scripted.AllAnswersUsed());
}

TEST(ScriptedModal, ClickButtonReportsHowTheDialogEnded) {
    const struct {
        const char* button;
        int result;
    } cases[] = {
        {"btnOk", ui::mrOk},     // closes with its modal result
        {"btnStay", ui::mrNone}, // the dialog stays open
        {"btnMissing", ui::mrNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        ScriptedModalInteraction scripted;
        ProbeDialog dialog(QStringLiteral("Probe"));
        scripted.QueueDialog(ScriptedModalInteraction::ClickButton(QString::fromLatin1(c.button)));
        EXPECT_EQ(scripted.ShowModal(dialog), c.result);
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST(ScriptedModal, OpenFileAnswers) {
    enum Answer { None, Choose, Cancel };
    const struct {
        const char* name;
        Answer answer;
        QStringList files;
        int leftIndex;
        bool result;
        QStringList filesAfter;
        QString fileNameAfter;
        int indexAfter;
    } cases[] = {
        {"no answer cancels", None, {}, 0, false, {"/old"}, "/proposed", 2},
        {"cancel keeps files, takes index", Cancel, {}, 4, false, {"/old"}, "/proposed", 4},
        {"choose",
         Choose,
         {"/a/x.pas", "/a/y.pas"},
         0,
         true,
         {"/a/x.pas", "/a/y.pas"},
         "/a/x.pas",
         2},
        {"choose with index", Choose, {"/b.dpr"}, 3, true, {"/b.dpr"}, "/b.dpr", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedModalInteraction scripted;
        if (c.answer == Choose)
            scripted.QueueOpenFile(c.files, c.leftIndex);
        else if (c.answer == Cancel)
            scripted.QueueOpenFileCancel(c.leftIndex);
        ui::OpenDialogState state;
        state.filter = QStringLiteral("A|*.a|B|*.b|C|*.c|D|*.d");
        state.filterIndex = 2;
        state.fileName = QStringLiteral("/proposed");
        state.files = QStringList{QStringLiteral("/old")};

        EXPECT_EQ(scripted.OpenFile(nullptr, state), c.result);
        EXPECT_EQ(state.files, c.filesAfter);
        EXPECT_EQ(state.fileName, c.fileNameAfter);
        EXPECT_EQ(state.filterIndex, c.indexAfter);
        // Recorded as passed in, before the answer changed it.
        ASSERT_EQ(scripted.OpenFiles().size(), 1u);
        EXPECT_EQ(scripted.OpenFiles()[0].fileName, QStringLiteral("/proposed"));
        EXPECT_EQ(scripted.OpenFiles()[0].filterIndex, 2);
        EXPECT_TRUE(scripted.AllAnswersUsed());
    }
}

// Answers run out into the safe side: cancel, fail; nothing changes.
TEST(ScriptedModal, QueuedAnswersThenDefaults) {
    ScriptedModalInteraction scripted;
    scripted.QueueFolderCancel();
    scripted.QueueFolder(QStringLiteral("/chosen"));
    scripted.QueueStartProgram(true);

    QString folder = QStringLiteral("/start");
    EXPECT_FALSE(scripted.BrowseFolder(folder, QStringLiteral("Pick:")));
    EXPECT_TRUE(scripted.BrowseFolder(folder, QStringLiteral("Pick:")));
    EXPECT_FALSE(scripted.BrowseFolder(folder, QStringLiteral("Pick:")));
    EXPECT_EQ(folder, QStringLiteral("/chosen"));
    EXPECT_TRUE(scripted.StartProgram(QStringLiteral("/bin/a"), {}));
    EXPECT_FALSE(scripted.StartProgram(QStringLiteral("/bin/a"), {}));
    EXPECT_TRUE(scripted.AllAnswersUsed());
}

TEST(ScriptedModal, ScopedModalPutsThePreviousSeamBack) {
    ui::ModalInteraction& before = ui::Modal();
    ScriptedModalInteraction outer;
    ScriptedModalInteraction inner;
    {
        ui::ScopedModal first(outer);
        {
            ui::ScopedModal second(inner);
            EXPECT_EQ(&ui::Modal(), &inner);
        }
        EXPECT_EQ(&ui::Modal(), &outer);
    }
    EXPECT_EQ(&ui::Modal(), &before);
}
