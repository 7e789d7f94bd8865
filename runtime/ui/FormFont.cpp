#include "FormFont.h"

#include <QFontInfo>
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
    // The stand-ins run about 6% wider than the designed face; narrowed, the forms' texts
    // keep to the widths they were laid out with.
    if (!QFontInfo(font).family().startsWith(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive))
        font.setStretch(94);
    return font;
}

} // namespace ui
