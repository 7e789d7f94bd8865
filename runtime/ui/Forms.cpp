#include "Forms.h"

#include "Modal.h"

#include <QScreen>
#include <QShowEvent>
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

void TForm::reject() {
    done(mrCancel);
}

void TForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    CenterOnScreen(*this);
    FormShow();
}

} // namespace ui
