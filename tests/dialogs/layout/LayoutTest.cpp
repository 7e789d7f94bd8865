// Every caption of the forms fits its control, whatever the scale factor the program runs at
// (QT_SCALE_FACTOR, set by ctest), and the forms keep their designed sizes in
// device-independent pixels.
#include "AboutWnd.h"
#include "AddToFavoritesWnd.h"
#include "EditFavoritesWnd.h"
#include "Forms.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The text of a caption as drawn: access-key marks gone, the closing colon kept.
QString Drawn(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        text += caption.at(i);
    }
    return text;
}

int Width(const QWidget& control, const QString& caption) {
    return control.fontMetrics().horizontalAdvance(Drawn(caption));
}

// Each caption of form against the room its control gives it; the failures name the control.
void ExpectCaptionsFit(QWidget& form) {
    QStyle* style = form.style();
    for (QWidget* control : form.findChildren<QWidget*>()) {
        const std::string name = control->objectName().toStdString();
        SCOPED_TRACE(name);
        if (auto* label = qobject_cast<QLabel*>(control); label && !label->text().isEmpty()) {
            if (label->wordWrap()) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height());
            } else {
                EXPECT_LE(Width(*label, label->text()), label->contentsRect().width());
            }
        } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            QStyleOptionButton option;
            option.initFrom(radio);
            option.text = radio->text();
            const QRect room = style->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
            // The current project's and file's captions hold paths of any length.
            if (!radio->text().contains(u':') || radio->text().endsWith(u':')) {
                EXPECT_LE(Width(*radio, radio->text()), room.width());
            }
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const QRect room =
                style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
            EXPECT_LE(Width(*button, button->text()), room.width() - margin);
        } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
            QStyleOptionGroupBox option;
            option.initFrom(box);
            option.text = box->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect label =
                style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
            EXPECT_LE(Width(*box, box->title()), label.width());
            EXPECT_LE(label.right(), box->rect().right());
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = combo->isEditable();
            // The list's own style; the label is drawn a pixel inside its field on each side.
            const QRect field = combo->style()->subControlRect(
                QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
            for (int i = 0; i < combo->count(); ++i) {
                EXPECT_LE(Width(*combo, combo->itemText(i)), field.width() - 2)
                    << combo->itemText(i).toStdString();
            }
        }
    }
}

TEST(FormLayout, AddToFavorites) {
    TAddToFavoritesWnd form;
    form.Prepare({});
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(465, 246));
    ExpectCaptionsFit(form);
    // The folder glyph is drawn for the screen, not scaled up from a smaller picture.
    const qreal ratio = form.devicePixelRatioF();
    const QPixmap glyph = form.btnItem->icon().pixmap(QSize(16, 16), ratio);
    EXPECT_GE(glyph.width(), qRound(16 * ratio));
}

TEST(FormLayout, EditFavorites) {
    TEditFavoritesWnd form;
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(547, 286));
    ExpectCaptionsFit(form);
    // The grid's titles, inside the raised edge and its margins.
    ui::TStringGrid& grid = *form.grdItems;
    for (int col = 0; col < grid.ColCount(); ++col) {
        SCOPED_TRACE(col);
        EXPECT_LE(Width(grid, grid.Cell(col, 0)), grid.ColWidth(col) - 6);
    }
    // The item pictures are made at the device pixel ratio.
    const qreal ratio = grid.viewport()->devicePixelRatioF();
    const QPixmap picture = form.ilItems.Image(1, ratio);
    EXPECT_EQ(picture.width(), qRound(16 * ratio));
    EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(16, 16));
}

TEST(FormLayout, About) {
    TAboutWnd form;
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(289, 318));
    ExpectCaptionsFit(form);
    const QPixmap picture = form.imgApp->pixmap();
    EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(74, 200));
    EXPECT_EQ(picture.devicePixelRatio(), form.devicePixelRatioF());
}

} // namespace
