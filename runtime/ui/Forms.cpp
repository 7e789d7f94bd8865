#include "Forms.h"

#include "Modal.h"

#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>
#include <QWidget>

namespace ui {

QString CaptionText(const QString& caption) {
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        text += caption.at(i);
    }
    if (text.endsWith(u':'))
        text.chop(1);
    return text.trimmed();
}

void NameAfterCaption(QWidget& control, const QString& caption) {
    control.setAccessibleName(CaptionText(caption));
}

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

void TForm::SetHelp(const QString& helpFile, int helpContext) {
    FHelpFile = helpFile;
    FHelpContext = helpContext;
}

void TForm::ShowHelpTopic() {
    if (FHelpContext != 0)
        Modal().ShowHelp(FHelpFile, FHelpContext);
}

void TForm::keyPressEvent(QKeyEvent* event) {
    // Controls pass on the keys they do not use, so F1 reaches the form from any of them.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier && FHelpContext != 0) {
        ShowHelpTopic();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    CenterOnScreen(*this);
    FormShow();
}

} // namespace ui
