#include "FormFont.h"

#include <QStringList>

namespace ui {

QFont FormFont() {
    // Registered once per binary; Qt consults substitutes only when the family is missing.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Microsoft Sans Serif"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

} // namespace ui
