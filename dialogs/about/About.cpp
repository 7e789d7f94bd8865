#include "About.h"

#include "AboutWnd.h"
#include "FormFont.h"
#include "Forms.h"
#include "Modal.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QStandardPaths>

#include <cmath>
#include <numbers>

namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPainterPath Star(QPointF centre, qreal outer, qreal inner) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 == 0 ? outer : inner;
        const qreal angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF point(centre.x() + radius * std::cos(angle),
                            centre.y() + radius * std::sin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

constexpr QSize AppPictureSize(74, 200);

// The product picture, 74 x 200 device-independent pixels: a gold star over a night-blue band
// with the product name. Drawn for the screen's pixel ratio, so it is sharp, not scaled up.
QPixmap AppPicture(qreal ratio) {
    QPixmap picture(AppPictureSize * ratio);
    picture.setDevicePixelRatio(ratio);
    const QRect area(QPoint(0, 0), AppPictureSize);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(0x14, 0x23, 0x3f));
    sky.setColorAt(1, QColor(0x3c, 0x6e, 0x96));
    painter.fillRect(area, sky);

    QRadialGradient glow(QPointF(37, 50), 40);
    glow.setColorAt(0, QColor(255, 220, 120, 110));
    glow.setColorAt(1, QColor(255, 220, 120, 0));
    painter.fillRect(area, glow);

    QLinearGradient gold(0, 24, 0, 76);
    gold.setColorAt(0, QColor(0xff, 0xe0, 0x82));
    gold.setColorAt(1, QColor(0xf0, 0x9a, 0x2c));
    painter.setPen(QPen(QColor(0x9c, 0x58, 0x12), 1.2));
    painter.setBrush(gold);
    painter.drawPath(Star(QPointF(37, 52), 27, 11));

    // The name reads upwards along the lower part of the band.
    QFont nameFont(QString::fromLatin1(ui::FormFontFamily));
    nameFont.setPixelSize(19);
    nameFont.setBold(true);
    painter.setFont(nameFont);
    painter.setPen(QColor(255, 255, 255, 225));
    painter.translate(37, 192);
    painter.rotate(-90);
    painter.drawText(QRectF(0, -13, 108, 26), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Pindrake"));
    return picture;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect bounds) {
    auto* label = ui::MakeControl<QLabel>(parent, name, bounds, text);
    // Transparent: the label paints only its text over the form.
    label->setAutoFillBackground(false);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect bounds) {
    return ui::MakeControl<QPushButton>(parent, name, bounds, text);
}

} // namespace

TBevel::TBevel(Shape shape, QWidget* parent) : QWidget(parent), shape_(shape) {}

void TBevel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    const int right = width() - 1;
    const int bottom = height() - 1;
    if (shape_ == bsTopLine) {
        painter.setPen(shadow);
        painter.drawLine(0, 0, right, 0);
        painter.setPen(highlight);
        painter.drawLine(0, 1, right, 1);
        return;
    }
    painter.setPen(shadow);
    painter.drawLine(0, 0, right - 1, 0);
    painter.drawLine(0, 0, 0, bottom - 1);
    painter.setPen(highlight);
    painter.drawLine(right, 0, right, bottom);
    painter.drawLine(0, bottom, right, bottom);
}

TAboutWnd::TAboutWnd(QWidget* parent) : ui::TForm(parent) {
    setObjectName(QStringLiteral("AboutWnd"));
    setWindowTitle(QStringLiteral("About Pindrake Add-In ®"));
    setFont(ui::FormFont());
    setFixedSize(289, 318);

    bvlOuter = new TBevel(TBevel::bsBox, this);
    bvlOuter->setObjectName(QStringLiteral("bvlOuter"));
    bvlOuter->setGeometry(8, 8, 76, 201);

    imgApp = new QLabel(this);
    imgApp->setObjectName(QStringLiteral("imgApp"));
    imgApp->setPixmap(AppPicture(devicePixelRatioF()));
    // Sizes itself to the picture.
    imgApp->setGeometry(QRect(QPoint(9, 9), AppPictureSize));
    imgApp->setAccessibleName(QStringLiteral("Product picture"));

    lblAppName =
        MakeLabel(this, "lblAppName", QStringLiteral("Pindrake Add-In ®"), {96, 8, 133, 13});
    lblVersionInfo =
        MakeLabel(this, "lblVersionInfo", QStringLiteral("Version:"), {96, 24, 38, 13});
    lblVersion =
        MakeLabel(this, "lblVersion", QStringLiteral("1.0.2000 (Build: 1)"), {136, 24, 106, 13});
    QFont bold = font();
    bold.setBold(true);
    lblVersion->setFont(bold);
    lblCompany = MakeLabel(this, "lblCompany", QStringLiteral("Quarvel Inc."), {184, 48, 98, 13});

    bvlSep = new TBevel(TBevel::bsTopLine, this);
    bvlSep->setObjectName(QStringLiteral("bvlSep"));
    bvlSep->setGeometry(8, 216, 273, 9);

    lblWarning = MakeLabel(this, "lblWarning", QString(), {8, 224, 273, 61});
    lblWarning->setWordWrap(true);
    lblWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont warningFont(QStringLiteral("Arial"));
    warningFont.setPixelSize(9);
    warningFont.setHintingPreference(font().hintingPreference());
    lblWarning->setFont(warningFont);

    // Made in tab order: OK first, then System Info.
    btnOk = MakeButton(this, "btnOk", QStringLiteral("OK"), {208, 288, 73, 23});
    btnOk->setDefault(true);
    btnOk->setFocus();
    btnSysInfo =
        MakeButton(this, "btnSysInfo", QStringLiteral("System Info..."), {128, 288, 73, 23});

    connect(btnSysInfo, &QPushButton::clicked, this, &TAboutWnd::btnSysInfoClick);
    connect(btnOk, &QPushButton::clicked, this, [this] { done(ui::mrCancel); });

    FormCreate();
}

const QStringList& TAboutWnd::SysInfoPrograms() {
#ifdef _WIN32
    static const QStringList programs{QStringLiteral("msinfo32")};
#else
    // System-information viewers of the common Linux desktops, dedicated ones first, then the
    // desktops' system monitors, which show the hardware and system overview too.
    static const QStringList programs{
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"),
        QStringLiteral("gnome-system-monitor"),
        QStringLiteral("mate-system-monitor"),
        QStringLiteral("xfce4-taskmanager"),
        QStringLiteral("lxtask"),
    };
#endif
    return programs;
}

void TAboutWnd::FormShow() {
    // Shown, the box knows the screen it is on.
    if (imgApp->pixmap().devicePixelRatio() != devicePixelRatioF())
        imgApp->setPixmap(AppPicture(devicePixelRatioF()));
}

void TAboutWnd::FormCreate() {
    lblWarning->setText(FromView(SCopyrightInfo));
}

void TAboutWnd::btnSysInfoClick() {
    for (const QString& name : SysInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty() && ui::Modal().StartProgram(path, {}))
            return;
    }
    ui::ShowErrorBox(FromView(SErrorOpenSysInfo), 0, this);
}

void ShowAboutBox() {
    const ui::TFormInstance<TAboutWnd> box;
    ui::Modal().ShowModal(*box);
}
