// Every caption fits its control at the scale factor the program runs at (QT_SCALE_FACTOR, set
// by ctest); the forms keep their sizes in device-independent pixels, and their pictures are
// made at the device pixel ratio.
#include "AboutWnd.h"
#include "AddToFavoritesWnd.h"
#include "EditFavoritesWnd.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOption>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

int Width(const QWidget& control, QString caption) {
    return control.fontMetrics().horizontalAdvance(caption.remove(u'&'));
}

// Labels, buttons and lists against the room their style leaves the text (the radio buttons'
// short captions have plenty); a failure names the control.
void ExpectCaptionsFit(QDialog& form, QSize size) {
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.size(), size);
    for (QWidget* control : form.findChildren<QWidget*>()) {
        SCOPED_TRACE(control->objectName().toStdString());
        QStyle* style = control->style();
        if (auto* label = qobject_cast<QLabel*>(control)) {
            EXPECT_LE(label->wordWrap() ? label->heightForWidth(label->width())
                                        : Width(*label, label->text()),
                      label->wordWrap() ? label->height() : label->contentsRect().width());
        } else if (auto* push = qobject_cast<QPushButton*>(control)) {
            QStyleOptionButton option;
            option.initFrom(push);
            EXPECT_LE(Width(*push, push->text()),
                      style->subElementRect(QStyle::SE_PushButtonContents, &option, push).width() -
                          style->pixelMetric(QStyle::PM_ButtonMargin, &option, push));
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            // The text is drawn a pixel inside the field on each side.
            const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, combo);
            for (int i = 0; i < combo->count(); ++i)
                EXPECT_LE(Width(*combo, combo->itemText(i)), field.width() - 2);
        }
    }
}

TEST(FormLayout, CaptionsFitAndPicturesAreDrawnForTheScreen) {
    TAddToFavoritesWnd add;
    ExpectCaptionsFit(add, {465, 246});
    const qreal ratio = add.devicePixelRatioF();
    EXPECT_EQ(add.btnItem->icon().pixmap(QSize(16, 16), ratio).width(), qRound(16 * ratio));
    TEditFavoritesWnd edit;
    ExpectCaptionsFit(edit, {547, 286});
    EXPECT_EQ(edit.ilItems.Image(1, ratio).width(), qRound(16 * ratio));
    TAboutWnd about;
    ExpectCaptionsFit(about, {289, 318});
    EXPECT_EQ(about.imgApp->pixmap().devicePixelRatio(), ratio);
}

} // namespace
