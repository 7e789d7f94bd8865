// Drawing in the manner of the component runtime's canvas: a brush and a font colour, the
// system colours, fills, raised edges and one-line texts with ellipses, over a QPainter.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <vector>

class QFontMetrics;
class QPainter;
class QStyle;
class QWidget;

namespace ui {

// The system colours the drawing code names; each is a role of the widget's palette.
enum class TSysColor {
    BtnFace,       // QPalette::Button
    BtnText,       // QPalette::ButtonText
    BtnHighlight,  // QPalette::Light
    BtnShadow,     // QPalette::Dark
    Highlight,     // QPalette::Highlight
    HighlightText, // QPalette::HighlightedText
    Window,        // QPalette::Base
    WindowText,    // QPalette::Text
    GrayText,      // QPalette::Text of the disabled group, or ReadableGray when that is paler
};
// The colour of a system colour in a palette. System colours do not follow a widget's
// enabled state, so the active group is read (the disabled one for the grey text).
QColor SysColor(const QPalette& palette, TSysColor color);

// The platform's grey text colour where a style offers nothing more readable: 4.5:1 against
// white, where disabled text (RGB 191,191,191 in Qt's palettes) reaches only 1.8:1.
inline const QColor ReadableGray{109, 109, 109};
// The contrast ratio of two colours as accessibility guidelines define it, from 1 (none) to 21
// (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// How a text that does not fit its rectangle is cut.
enum class TEllipsis {
    None, // clipped
    End,  // "...": the end is replaced
    Path, // the middle is replaced, keeping the beginning and the last path component
};

// A path shortened to width: whole when it fits; else its beginning, an ellipsis and the
// whole last component (from the last separator on) when that fits; else cut in the middle.
QString ElidePath(const QFontMetrics& metrics, const QString& path, int width);

class TCanvas {
public:
    // Draws with painter in the colours, font and style of widget.
    TCanvas(QPainter& painter, const QWidget& widget);

    QPainter& Painter() const { return FPainter; }
    QStyle* Style() const;
    const QPalette& Palette() const { return FPalette; }
    QColor Color(TSysColor color) const { return SysColor(FPalette, color); }

    QColor BrushColor() const { return FBrush; }
    void SetBrushColor(const QColor& color) { FBrush = color; }
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor& color) { FFontColor = color; }
    const QFont& Font() const { return FFont; }

    // Fills rect with the brush colour.
    void FillRect(const QRect& rect);
    // A raised inner edge on all four sides of rect with the middle filled in the button
    // face; returns the rectangle inside the edge.
    QRect DrawRaisedInnerEdge(const QRect& rect);
    // text on one line, vertically centred, left-aligned in the font colour, clipped to rect
    // and cut as ellipsis says.
    void DrawText(const QRect& rect, const QString& text, TEllipsis ellipsis);
    void DrawPixmap(int x, int y, const QPixmap& pixmap);

private:
    QPainter& FPainter;
    const QWidget& FWidget;
    QPalette FPalette;
    QFont FFont;
    QColor FBrush;
    QColor FFontColor;
};

// Images of one size with transparency, drawn by index in their normal or greyed look, with
// an optional overlay image on top.
class TImageList {
public:
    static constexpr int OverlaySlots = 4;
    // Draws a picture in the list's size, in device-independent pixels.
    using Drawing = std::function<void(QPainter&)>;

    TImageList(int width, int height);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int Count() const { return static_cast<int>(FImages.size()); }
    // Adds an image (scaled to the list's size if it differs); returns its index.
    int Add(const QPixmap& image);
    // Adds a picture drawn afresh for every device pixel ratio it is shown at, so it is as
    // sharp on a high-resolution screen as on any other; returns its index.
    int Add(Drawing drawing);
    // The image at index for a device pixel ratio (its size in device-independent pixels is
    // the list's); a null pixmap outside 0..Count-1.
    QPixmap Image(int index, qreal ratio = 1.0) const;
    // Registers image index as the overlay of slot (0..OverlaySlots-1); -1 clears the slot.
    void SetOverlay(int slot, int index);

    // Draws image index with its top-left corner at x, y; greyed when not enabled. An index
    // outside the list draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Draws image index, then the overlay image registered for slot (none when the slot is
    // empty), both greyed when not enabled.
    void DrawOverlay(TCanvas& canvas, int x, int y, int index, int slot, bool enabled = true) const;
    // The greyed look of image index, as Draw paints it with enabled false.
    QPixmap Greyed(const TCanvas& canvas, int index) const;
    // The device pixel ratio canvas paints at.
    static qreal RatioOf(const TCanvas& canvas);

private:
    struct Entry {
        QPixmap pixmap; // the added pixmap; null for a drawing
        Drawing drawing;
        mutable std::map<qreal, QPixmap> rendered; // the drawing, by device pixel ratio
    };

    int FWidth;
    int FHeight;
    std::vector<Entry> FImages;
    std::array<int, OverlaySlots> FOverlays;
};

// An icon of a picture in size device-independent pixels, drawn afresh at whatever size and
// device pixel ratio it is asked for: normal for every mode but the disabled one.
QIcon DrawnIcon(QSize size, TImageList::Drawing normal, TImageList::Drawing disabled);

} // namespace ui
