#include "ItemImages.h"

#include "Canvas.h"
#include "FavUtils.h"
#include "Paths.h"
#include "TextBytes.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

// A sheet of paper with its top-right corner folded.
void Sheet(QPainter& p, int left, int right, const QColor& paper) {
    const QColor edge(0x50, 0x50, 0x50);
    const QPolygon outline({{left, 1}, {right - 4, 1}, {right, 5}, {right, 14}, {left, 14}});
    p.setPen(edge);
    p.setBrush(paper);
    p.drawPolygon(outline);
    p.setBrush(QColor(0xd8, 0xd8, 0xd8));
    p.drawPolygon(QPolygon({{right - 4, 1}, {right - 4, 5}, {right, 5}}));
}

// A yellow folder filling the lower part of the picture.
void Folder(QPainter& p) {
    const QColor edge(0x8a, 0x62, 0x0a);
    p.setPen(edge);
    p.setBrush(QColor(0xe8, 0xb8, 0x30));
    p.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}}));
    p.setBrush(QColor(0xff, 0xdc, 0x5a));
    p.drawPolygon(QPolygon({{1, 13}, {3, 7}, {15, 7}, {14, 13}}));
}

// A small program window: frame, dark-blue title bar, white client area.
void Window(QPainter& p, const QRect& frame) {
    p.setPen(QColor(0x20, 0x20, 0x40));
    p.setBrush(Qt::white);
    p.drawRect(frame);
    p.fillRect(QRect(frame.left() + 1, frame.top() + 1, frame.width() - 1, 2),
               QColor(0x10, 0x24, 0x8c));
}

} // namespace

void AddItemImages(ui::TImageList& images) {
    // Drawings, which the list makes again for each device pixel ratio.
    // The marker: drawn 3 pixels left of the cell, so its point sits inside the cell.
    images.Add([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x8b, 0x00, 0x00));
        p.drawPolygon(QPolygon({{5, 3}, {6, 3}, {11, 8}, {6, 13}, {5, 13}}));
    });
    // Project: a program window with a blue and a green block, like a form being designed.
    images.Add([](QPainter& p) {
        Window(p, QRect(1, 2, 13, 11));
        p.fillRect(QRect(3, 6, 4, 5), QColor(0x2a, 0x7a, 0xe0));
        p.fillRect(QRect(8, 6, 5, 2), QColor(0x2e, 0xa0, 0x3c));
        p.fillRect(QRect(8, 9, 5, 2), QColor(0x2e, 0xa0, 0x3c));
    });
    // Package: a brown parcel with a tape across its lid.
    images.Add([](QPainter& p) {
        p.setPen(QColor(0x5c, 0x3a, 0x12));
        p.setBrush(QColor(0xc8, 0x8c, 0x48));
        p.drawRect(1, 6, 13, 8);
        p.setBrush(QColor(0xe4, 0xb0, 0x70));
        p.drawPolygon(QPolygon({{1, 6}, {4, 2}, {14, 2}, {14, 6}}));
        p.fillRect(QRect(7, 3, 2, 11), QColor(0x8a, 0x1c, 0x1c));
    });
    // Unit: a sheet of source text in colour, a teal margin on the left.
    images.Add([](QPainter& p) {
        Sheet(p, 2, 13, Qt::white);
        p.fillRect(QRect(3, 2, 2, 12), QColor(0x1c, 0x9c, 0x9c));
        p.fillRect(QRect(6, 5, 4, 1), QColor(0x10, 0x30, 0xc0));
        p.fillRect(QRect(7, 7, 5, 1), QColor(0x20, 0x90, 0x20));
        p.fillRect(QRect(7, 9, 4, 1), QColor(0x10, 0x30, 0xc0));
        p.fillRect(QRect(6, 11, 5, 1), QColor(0x10, 0x30, 0xc0));
    });
    // Other file: a plain sheet with grey lines.
    images.Add([](QPainter& p) {
        Sheet(p, 2, 13, Qt::white);
        for (int y = 5; y <= 11; y += 2)
            p.fillRect(QRect(4, y, y == 5 ? 5 : 7, 1), QColor(0x90, 0x90, 0x90));
    });
    images.Add([](QPainter& p) { Folder(p); });
    // Group: the folder with a small window in front of it.
    images.Add([](QPainter& p) {
        Folder(p);
        Window(p, QRect(8, 8, 7, 7));
    });
    // Missing: a blue cross with a dark rim, legible over a greyed picture.
    images.Add([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath cross;
        cross.moveTo(4, 4);
        cross.lineTo(12, 12);
        cross.moveTo(12, 4);
        cross.lineTo(4, 12);
        p.strokePath(cross, QPen(QColor(0x00, 0x00, 0x80), 3.4, Qt::SolidLine, Qt::RoundCap));
        p.strokePath(cross, QPen(QColor(0x10, 0x40, 0xff), 1.8, Qt::SolidLine, Qt::RoundCap));
    });
}

TItemShown ItemShown(std::string_view record) {
    TItemShown shown;
    if (record.empty())
        return shown;
    const std::string text(record);
    int type = GetIntPart(text, 2, '|');
    if (type < fitProject || type > fitGroup)
        type = fitFile;
    shown.blank = false;
    shown.type = type;
    shown.image = type + 1;
    shown.path = GetPart(text, 4, '|');
    shown.kind =
        type == fitGroup ? QStringLiteral("Group") : QString::fromStdString(KindWord(type));
    return shown;
}

bool ItemExists(const TItemShown& shown) {
    if (shown.blank || shown.type == fitGroup)
        return true;
    return shown.type == fitFolder ? FolderExists(shown.path) : FileExists(shown.path);
}

QString ItemAccessibleText(const TItemShown& shown) {
    if (shown.blank)
        return {};
    if (shown.path.empty())
        return shown.kind;
    return shown.kind + u' ' + ui::ReadableText(ui::QStringFromBytes(shown.path));
}

QString ItemAccessibleDescription(const TItemShown& shown) {
    return ItemExists(shown) ? QString() : QStringLiteral("missing");
}
