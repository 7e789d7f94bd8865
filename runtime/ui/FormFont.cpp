#include "FormFont.h"

#include <QString>

namespace ui {

QFont FormFont() {
    // Qt consults substitutes only for a family the machine lacks; Liberation Sans shares
    // Arial's metrics, which the About box's warning text is laid out with.
    static const bool substituted = [] {
        const QString family = QString::fromLatin1(FormFontFamily);
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), family);
        QFont::insertSubstitution(QStringLiteral("Arial"), family);
        return true;
    }();
    (void)substituted;
    // The family is asked for by its own name, never as "MS Sans Serif", so a machine that
    // has some other face of that name (Wine's, say) lays the forms out the same.
    QFont font(QString::fromLatin1(FormFontFamily));
    font.setPixelSize(11);
    // Liberation Sans runs about 3% wider than the designed face at this size ("Version:" is
    // 40 pixels against a 38-pixel label); narrowed by that much, every caption keeps to its
    // designed width.
    font.setStretch(97);
    // Widths then follow the outlines (slight hinting, Debian's default) instead of whatever
    // hinting a machine's font configuration asks for: full hinting rounds every advance and
    // makes the same text a pixel wider or narrower from one machine to the next.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

} // namespace ui
