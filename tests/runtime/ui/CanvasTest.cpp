#include "Canvas.h"

#include <QApplication>

#include <gtest/gtest.h>

TEST(Canvas, GrayTextIsReadableOnTheWindowColour) {
    QPalette palette = QApplication::palette();
    const auto gray = [&palette] { return ui::SysColor(palette, ui::TSysColor::GrayText); };
    EXPECT_GE(ui::ContrastRatio(gray(), ui::SysColor(palette, ui::TSysColor::Window)), 4.5);
    palette.setColor(QPalette::Active, QPalette::Base, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(191, 191, 191)); // 1.8:1
    EXPECT_EQ(gray(), QColor(109, 109, 109));
}
