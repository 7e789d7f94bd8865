// The About box form: product name, version, company, picture, legal warning, and a button
// that starts the desktop's system-information program.
#pragma once

#include "Forms.h"

#include <QStringList>

class QLabel;
class QPushButton;

// A bevel of the component runtime, lowered: a box, or a line along the top edge.
class TBevel : public QWidget {
public:
    enum Shape { bsBox, bsTopLine };
    TBevel(Shape shape, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Shape shape_;
};

// Escape and the close box end the box the way OK does, with mrCancel.
class TAboutWnd : public ui::TForm {
public:
    explicit TAboutWnd(QWidget* parent = nullptr);

    // The system-information programs System Info looks for on PATH, in order.
    static const QStringList& SysInfoPrograms();

    TBevel* bvlOuter;
    QLabel* imgApp;
    QLabel* lblAppName;
    QLabel* lblVersionInfo;
    QLabel* lblVersion;
    QLabel* lblCompany;
    TBevel* bvlSep;
    QLabel* lblWarning;
    QPushButton* btnSysInfo;
    QPushButton* btnOk;

protected:
    void FormShow() override;

private:
    void FormCreate();
    void btnSysInfoClick();
};
