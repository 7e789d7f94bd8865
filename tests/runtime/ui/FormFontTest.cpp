#include "FormFont.h"

#include <QFontInfo>

#include <gtest/gtest.h>

// The forms are laid out with one declared face; the test run sees only the declared fonts,
// so a missing dependency or a family asked for by another name shows here.
TEST(FormFont, EveryFormFamilyResolvesToTheDeclaredFace) {
    const QFont form = ui::FormFont();
    EXPECT_EQ(form.pixelSize(), 11);
    const struct {
        const char* asked;
        QFont font;
    } cases[] = {
        {"the forms' font", form},
        {"MS Sans Serif", QFont(QStringLiteral("MS Sans Serif"))},
        {"Arial", QFont(QStringLiteral("Arial"))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QFontInfo(c.font).family(), QString::fromLatin1(ui::FormFontFamily)) << c.asked;
}
