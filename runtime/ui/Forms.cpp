#include "Forms.h"

#include <QScreen>
#include <QWidget>

namespace ui {

void CenterOnScreen(QWidget& window) {
    const QScreen* shown = window.screen();
    if (!shown)
        return;
    const QRect area = shown->geometry();
    const QSize outer = window.frameGeometry().size();
    window.move(area.x() + (area.width() - outer.width()) / 2,
                area.y() + (area.height() - outer.height()) / 2);
}

} // namespace ui
