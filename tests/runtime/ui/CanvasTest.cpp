// Grey text, as it resolves in a palette: readable on the window colour.
#include "Canvas.h"

#include <QApplication>

#include <gtest/gtest.h>

TEST(Canvas, GrayTextIsReadableOnTheWindowColour) {
    EXPECT_NEAR(ui::ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    const struct {
        QColor window, styled, expected;
    } cases[] = {
        {Qt::white, QColor(191, 191, 191), ui::ReadableGray}, // Qt's disabled text, 1.8:1
        {Qt::white, QColor(80, 80, 80), QColor(80, 80, 80)},  // a darker style grey is kept
        {Qt::black, QColor(150, 150, 150), QColor(150, 150, 150)},
        {Qt::black, QColor(40, 40, 40), ui::ReadableGray},
    };
    for (const auto& c : cases) {
        QPalette palette;
        palette.setColor(QPalette::Active, QPalette::Base, c.window);
        palette.setColor(QPalette::Disabled, QPalette::Text, c.styled);
        EXPECT_EQ(ui::SysColor(palette, ui::TSysColor::GrayText), c.expected)
            << c.styled.name().toStdString();
    }
    const QPalette app = QApplication::palette();
    EXPECT_GE(ui::ContrastRatio(ui::SysColor(app, ui::TSysColor::GrayText),
                                ui::SysColor(app, ui::TSysColor::Window)),
              4.5);
}
