#include "About.h"
#include "AboutWnd.h"
#include "QtPrinters.h"
#include "ScriptedModal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

using ui::ScriptedModalInteraction;

namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int AboutBoxesAlive() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += dynamic_cast<TAboutWnd*>(widget) != nullptr;
    return count;
}

// Puts PATH on a private folder for the lifetime of the object.
class PrivatePath {
public:
    PrivatePath() : saved_(qgetenv("PATH")) { qputenv("PATH", dir_.path().toLocal8Bit()); }
    ~PrivatePath() { qputenv("PATH", saved_); }
    // An executable named name on the private PATH; returns its full path.
    QString AddProgram(const QString& name) {
        const QString path = QDir(dir_.path()).filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n");
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
};

} // namespace

TEST(About, FormControlsAndTexts) {
    TAboutWnd wnd;
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("About Pindrake Add-In ®"));
    EXPECT_EQ(wnd.size(), QSize(289, 318));
    EXPECT_EQ(wnd.minimumSize(), wnd.maximumSize());

    const struct {
        const char* name;
        QRect bounds;
        const char* text; // nullptr: no text
    } controls[] = {
        {"bvlOuter", {8, 8, 76, 201}, nullptr},
        {"imgApp", {9, 9, 74, 200}, nullptr},
        {"lblAppName", {96, 8, 133, 13}, "Pindrake Add-In ®"},
        {"lblVersionInfo", {96, 24, 38, 13}, "Version:"},
        {"lblVersion", {136, 24, 106, 13}, "1.0.2000 (Build: 1)"},
        {"lblCompany", {184, 48, 98, 13}, "Quarvel Inc."},
        {"bvlSep", {8, 216, 273, 9}, nullptr},
        {"lblWarning", {8, 224, 273, 61}, nullptr},
        {"btnSysInfo", {128, 288, 73, 23}, "System Info..."},
        {"btnOk", {208, 288, 73, 23}, "OK"},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        auto* control = wnd.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), c.bounds);
        if (!c.text)
            continue;
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_EQ(label->text(), QString::fromUtf8(c.text));
            // A single-line text must not be clipped by its fixed bounds.
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), c.bounds.width());
        } else {
            EXPECT_EQ(qobject_cast<QPushButton*>(control)->text(), QString::fromUtf8(c.text));
        }
    }

    EXPECT_TRUE(wnd.lblVersion->font().bold());
    EXPECT_FALSE(wnd.lblAppName->font().bold());
    EXPECT_FALSE(wnd.imgApp->pixmap().isNull());
    EXPECT_EQ(wnd.imgApp->pixmap().size(), QSize(74, 200));

    EXPECT_EQ(wnd.lblWarning->text(), FromView(SCopyrightInfo));
    EXPECT_TRUE(wnd.lblWarning->wordWrap());
    EXPECT_EQ(wnd.lblWarning->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(wnd.lblWarning->font().pixelSize(), 9);
    EXPECT_LE(wnd.lblWarning->heightForWidth(273), 61) << "the warning overflows its area";

    EXPECT_TRUE(wnd.btnOk->isDefault());
    EXPECT_EQ(wnd.btnOk->nextInFocusChain(), wnd.btnSysInfo);
}

TEST(About, EnterAndEscapeCloseTheBox) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        ScriptedModalInteraction scripted;
        TAboutWnd wnd;
        scripted.QueueDialog([key](QDialog& dialog) {
            QTest::keyClick(&dialog, key);
            return ScriptedModalInteraction::ResultOf(dialog);
        });
        EXPECT_EQ(scripted.ShowModal(wnd), ui::mrCancel);
    }
}

TEST(About, SystemInfoStartsTheFirstProgramThatStarts) {
    const QStringList& programs = TAboutWnd::SysInfoPrograms();
    ASSERT_GE(programs.size(), 3);
    const QString error = QStringLiteral("Could not execute system information!");
    const struct {
        const char* name;
        QList<int> onPath; // indexes into the program list
        QList<bool> starts;
        int startsTried;
        bool errorShown;
    } cases[] = {
        {"none on PATH", {}, {}, 0, true},
        {"one found, starts", {1}, {true}, 1, false},
        {"one found, does not start", {0}, {false}, 1, true},
        {"first fails, next starts", {0, 2}, {false, true}, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PrivatePath path;
        QStringList found;
        for (const int index : c.onPath)
            found << path.AddProgram(programs.at(index));
        ScriptedModalInteraction scripted;
        ui::ScopedModal installed(scripted);
        for (const bool starts : c.starts)
            scripted.QueueStartProgram(starts);

        TAboutWnd wnd;
        wnd.show();
        wnd.btnSysInfo->click();

        EXPECT_TRUE(wnd.isVisible());
        ASSERT_EQ(static_cast<int>(scripted.ProgramStarts().size()), c.startsTried);
        for (int i = 0; i < c.startsTried; ++i)
            EXPECT_EQ(scripted.ProgramStarts()[i].program, found.at(i));
        EXPECT_EQ(scripted.ErrorTexts(), c.errorShown ? QStringList{error} : QStringList{});
        if (c.errorShown) {
            EXPECT_EQ(scripted.Errors()[0].helpContext, 0);
        }
    }
}

TEST(About, ShowAboutBoxShowsACentredBoxAndFreesIt) {
    ScriptedModalInteraction scripted;
    ui::ScopedModal installed(scripted);
    scripted.QueueDialog([](QDialog& dialog) {
        const QRect screen = dialog.screen()->geometry();
        const QSize outer = dialog.frameGeometry().size();
        EXPECT_EQ(dialog.pos(), QPoint((screen.width() - outer.width()) / 2,
                                       (screen.height() - outer.height()) / 2));
        return ScriptedModalInteraction::ClickButton(QStringLiteral("btnOk"))(dialog);
    });
    ShowAboutBox();
    ASSERT_EQ(scripted.Dialogs().size(), 1u);
    EXPECT_EQ(scripted.Dialogs()[0].type, std::type_index(typeid(TAboutWnd)));
    EXPECT_EQ(scripted.Dialogs()[0].title, QStringLiteral("About Pindrake Add-In ®"));
    EXPECT_EQ(AboutBoxesAlive(), 0);

    // Also freed when showing fails.
    scripted.QueueDialog([](QDialog&) -> int { throw std::runtime_error("lost"); });
    EXPECT_THROW(ShowAboutBox(), std::runtime_error);
    EXPECT_EQ(AboutBoxesAlive(), 0);
}
