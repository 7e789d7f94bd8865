// The system colours the drawing names, as they resolve in a palette.
#include "Canvas.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

QPalette Palette(QColor base, QColor disabledText) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Base, base);
    palette.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    return palette;
}

} // namespace

TEST(Canvas, ContrastRatio) {
    EXPECT_NEAR(ui::ContrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ui::ContrastRatio(Qt::white, Qt::black), 21.0, 1e-9);
    EXPECT_NEAR(ui::ContrastRatio(QColor(191, 191, 191), Qt::white), 1.8, 0.05);
    EXPECT_NEAR(ui::ContrastRatio(ui::ReadableGray, Qt::white), 5.2, 0.05);
}

TEST(Canvas, GrayTextIsReadableOnTheWindowColour) {
    const struct {
        const char* name;
        QPalette palette;
        QColor expected;
    } cases[] = {
        {"Qt's pale disabled text gives way", Palette(Qt::white, QColor(191, 191, 191)),
         ui::ReadableGray},
        {"a darker style grey is kept", Palette(Qt::white, QColor(80, 80, 80)), QColor(80, 80, 80)},
        {"on a dark window a lighter grey reads better", Palette(Qt::black, QColor(150, 150, 150)),
         QColor(150, 150, 150)},
        {"on a dark window a too dark grey gives way", Palette(Qt::black, QColor(40, 40, 40)),
         ui::ReadableGray},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ui::SysColor(c.palette, ui::TSysColor::GrayText), c.expected);
    }
    // The palette the dialogs are drawn with here.
    const QPalette app = QApplication::palette();
    EXPECT_GE(ui::ContrastRatio(ui::SysColor(app, ui::TSysColor::GrayText),
                                ui::SysColor(app, ui::TSysColor::Window)),
              4.5);
}
