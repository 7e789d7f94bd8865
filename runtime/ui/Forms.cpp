#include "Forms.h"

#include "Modal.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QScreen>
#include <QShowEvent>
#include <QStyleOptionComboBox>
#include <QWidget>

namespace ui {

namespace {

// The application's style with the runtime's drop-down list geometry: the button, as wide as
// the runtime's, sits inside the frame on the right; the text field takes the rest.
class TListStyle : public QProxyStyle {
public:
    static constexpr int Frame = 2;
    static constexpr int Button = 17;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        const auto* list = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if (control != CC_ComboBox || !list || list->editable ||
            (part != SC_ComboBoxEditField && part != SC_ComboBoxArrow))
            return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect inside = option->rect.adjusted(Frame, Frame, -Frame, -Frame);
        const QRect rect = part == SC_ComboBoxArrow
                               ? QRect(inside.right() - Button + 1, option->rect.top(), Button,
                                       option->rect.height())
                               : QRect(inside.left() + 1, inside.top(), inside.width() - Button - 1,
                                       inside.height());
        return visualRect(option->direction, option->rect, rect);
    }
};

} // namespace

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

void UseRuntimeListMetrics(QComboBox& combo) {
    auto* style = new TListStyle;
    // Owned by the list; a style is not owned by the widgets that use it.
    style->setParent(&combo);
    combo.setStyle(style);
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
