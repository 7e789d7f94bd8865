#include "Canvas.h"

#include "Paths.h"

#include <QFontMetrics>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

bool IsSeparator(QChar c) {
    return c.unicode() < 0x80 && IsPathSeparator(static_cast<char>(c.unicode()));
}

// Relative luminance of an sRGB colour.
double Luminance(const QColor& color) {
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = color.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

class TDrawnIconEngine : public QIconEngine {
public:
    TDrawnIconEngine(QSize size, TImageList::Drawing normal, TImageList::Drawing disabled)
        : FSize(size), FNormal(std::move(normal)), FDisabled(std::move(disabled)) {}

    QIconEngine* clone() const override { return new TDrawnIconEngine(*this); }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        return FSize.scaled(size, Qt::KeepAspectRatio);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {FSize}; }
    // size is in device pixels here.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        const qreal scale = qreal(size.width()) / FSize.width();
        if (scale != std::floor(scale))
            painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, qreal(size.height()) / FSize.height());
        (mode == QIcon::Disabled ? FDisabled : FNormal)(painter);
        return picture;
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal) override {
        return pixmap(size, mode, state);
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), picture);
    }

private:
    QSize FSize;
    TImageList::Drawing FNormal;
    TImageList::Drawing FDisabled;
};

} // namespace

QIcon DrawnIcon(QSize size, TImageList::Drawing normal, TImageList::Drawing disabled) {
    return QIcon(new TDrawnIconEngine(size, std::move(normal), std::move(disabled)));
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor SysColor(const QPalette& palette, TSysColor color) {
    const auto active = [&](QPalette::ColorRole role) {
        return palette.color(QPalette::Active, role);
    };
    switch (color) {
    case TSysColor::BtnFace:
        return active(QPalette::Button);
    case TSysColor::BtnText:
        return active(QPalette::ButtonText);
    case TSysColor::BtnHighlight:
        return active(QPalette::Light);
    case TSysColor::BtnShadow:
        return active(QPalette::Dark);
    case TSysColor::Highlight:
        return active(QPalette::Highlight);
    case TSysColor::HighlightText:
        return active(QPalette::HighlightedText);
    case TSysColor::Window:
        return active(QPalette::Base);
    case TSysColor::WindowText:
        return active(QPalette::Text);
    case TSysColor::GrayText: {
        // Grey text still has to be read: the style's grey only when it is no paler against
        // the window colour than the platform's.
        const QColor styled = palette.color(QPalette::Disabled, QPalette::Text);
        const QColor window = active(QPalette::Base);
        return ContrastRatio(styled, window) >= ContrastRatio(ReadableGray, window) ? styled
                                                                                    : ReadableGray;
    }
    }
    return active(QPalette::Text);
}

QString ElidePath(const QFontMetrics& metrics, const QString& path, int width) {
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    // The last separator that has a name after it.
    qsizetype separator = -1;
    for (qsizetype i = path.size() - 2; i > 0; --i) {
        if (IsSeparator(path.at(i))) {
            separator = i;
            break;
        }
    }
    if (separator > 0) {
        const QString last = path.mid(separator);
        const int lastWidth = metrics.horizontalAdvance(last);
        if (lastWidth + metrics.horizontalAdvance(QChar(0x2026)) <= width)
            return metrics.elidedText(path.left(separator), Qt::ElideRight, width - lastWidth) +
                   last;
    }
    return metrics.elidedText(path, Qt::ElideMiddle, width);
}

TCanvas::TCanvas(QPainter& painter, const QWidget& widget)
    : FPainter(painter), FWidget(widget), FPalette(widget.palette()), FFont(widget.font()),
      FBrush(SysColor(FPalette, TSysColor::Window)),
      FFontColor(SysColor(FPalette, TSysColor::WindowText)) {}

QStyle* TCanvas::Style() const {
    return FWidget.style();
}

void TCanvas::FillRect(const QRect& rect) {
    FPainter.fillRect(rect, FBrush);
}

QRect TCanvas::DrawRaisedInnerEdge(const QRect& rect) {
    const QRect inner = rect.adjusted(1, 1, -1, -1);
    FPainter.fillRect(inner, Color(TSysColor::BtnFace));
    const QColor light = Color(TSysColor::BtnHighlight);
    const QColor shadow = Color(TSysColor::BtnShadow);
    FPainter.fillRect(QRect(rect.left(), rect.top(), rect.width() - 1, 1), light);
    FPainter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height() - 1), light);
    FPainter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), shadow);
    FPainter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), shadow);
    return inner;
}

void TCanvas::DrawText(const QRect& rect, const QString& text, TEllipsis ellipsis) {
    if (rect.isEmpty())
        return;
    const QFontMetrics metrics(FFont, FPainter.device());
    QString shown = text;
    if (ellipsis == TEllipsis::End)
        shown = metrics.elidedText(text, Qt::ElideRight, rect.width());
    else if (ellipsis == TEllipsis::Path)
        shown = ElidePath(metrics, text, rect.width());
    FPainter.save();
    FPainter.setClipRect(rect, Qt::IntersectClip);
    FPainter.setFont(FFont);
    FPainter.setPen(FFontColor);
    FPainter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    FPainter.restore();
}

void TCanvas::DrawPixmap(int x, int y, const QPixmap& pixmap) {
    FPainter.drawPixmap(x, y, pixmap);
}

TImageList::TImageList(int width, int height) : FWidth(width), FHeight(height) {
    FOverlays.fill(-1);
}

int TImageList::Add(const QPixmap& image) {
    Entry entry;
    entry.pixmap =
        image.size() == QSize(FWidth, FHeight)
            ? image
            : image.scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    FImages.push_back(std::move(entry));
    return Count() - 1;
}

int TImageList::Add(Drawing drawing) {
    Entry entry;
    entry.drawing = std::move(drawing);
    FImages.push_back(std::move(entry));
    return Count() - 1;
}

QPixmap TImageList::Image(int index, qreal ratio) const {
    if (index < 0 || index >= Count())
        return {};
    const Entry& entry = FImages[static_cast<std::size_t>(index)];
    if (!entry.drawing)
        return entry.pixmap;
    QPixmap& picture = entry.rendered[ratio];
    if (picture.isNull()) {
        picture = QPixmap(QSize(FWidth, FHeight) * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        // Whole device pixels per picture pixel keep the edges sharp; anything between needs
        // smoothing.
        if (ratio != std::floor(ratio))
            painter.setRenderHint(QPainter::Antialiasing);
        entry.drawing(painter);
    }
    return picture;
}

qreal TImageList::RatioOf(const TCanvas& canvas) {
    const QPaintDevice* device = canvas.Painter().device();
    return device ? device->devicePixelRatioF() : 1.0;
}

void TImageList::SetOverlay(int slot, int index) {
    if (slot >= 0 && slot < OverlaySlots)
        FOverlays[static_cast<std::size_t>(slot)] = index;
}

QPixmap TImageList::Greyed(const TCanvas& canvas, int index) const {
    const QPixmap image = Image(index, RatioOf(canvas));
    if (image.isNull())
        return image;
    QStyleOption option;
    option.palette = canvas.Palette();
    QPixmap greyed = canvas.Style()->generatedIconPixmap(QIcon::Disabled, image, &option);
    greyed.setDevicePixelRatio(image.devicePixelRatio());
    return greyed;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    const QPixmap image = enabled ? Image(index, RatioOf(canvas)) : Greyed(canvas, index);
    if (!image.isNull())
        canvas.DrawPixmap(x, y, image);
}

void TImageList::DrawOverlay(TCanvas& canvas, int x, int y, int index, int slot,
                             bool enabled) const {
    Draw(canvas, x, y, index, enabled);
    if (slot >= 0 && slot < OverlaySlots && FOverlays[static_cast<std::size_t>(slot)] >= 0)
        Draw(canvas, x, y, FOverlays[static_cast<std::size_t>(slot)], enabled);
}

} // namespace ui
