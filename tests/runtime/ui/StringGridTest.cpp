#include "StringGrid.h"
#include "Canvas.h"
#include "QtPrinters.h"
#include "TextBytes.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ui::TStringGrid;

namespace {

// A dialog with a default button and a grid of 2 columns whose column 0 never becomes current,
// recording the grid's events.
class GridDialog : public QDialog {
public:
    GridDialog() {
        resize(300, 200);
        grid = new TStringGrid(this, 2, 4);
        grid->setGeometry(0, 0, 200, 150);
        grid->SetDefaultRowHeight(18);
        grid->SetEditing(true);
        grid->SetRefusedEditChars(QStringLiteral("|"));
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 2; ++col)
                grid->SetCell(col, row, QStringLiteral("%1,%2").arg(col).arg(row));
        grid->OnSelectCell = [this](int col, int row, bool& canSelect) {
            asked.push_back(std::to_string(col) + "," + std::to_string(row));
            canSelect = col == 1;
        };
        grid->OnSetEditText = [this](int, int, const QString& text) { edits << text; };
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setGeometry(210, 160, 80, 24);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, [this] { ++okClicks; });
        other = new QPushButton(QStringLiteral("Other"), this);
        other->setGeometry(210, 10, 80, 24);
        show();
        activateWindow();
        grid->setFocus();
        QApplication::processEvents();
        grid->SetCurrentCell(1, 1);
        asked.clear();
    }

    QPoint CellCentre(int col, int row) const {
        return grid->visualRect(grid->model()->index(row - 1, col)).center();
    }
    // The open editor; closed ones linger hidden until they are deleted.
    QLineEdit* Editor() const {
        for (QLineEdit* editor : grid->viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible())
                return editor;
        return nullptr;
    }

    TStringGrid* grid;
    QPushButton* other;
    std::vector<std::string> asked;
    QStringList edits;
    int okClicks = 0;
};

TEST(StringGrid, EveryMoveOfTheCurrentCellIsAskedFirst) {
    GridDialog d;
    const struct {
        const char* name;
        std::function<void()> act;
        const char* asked;
        int col, row;
    } steps[] = {
        {"code", [&] { d.grid->SetRow(3); }, "1,3", 1, 3},
        {"up key", [&] { QTest::keyClick(d.grid, Qt::Key_Up); }, "1,2", 1, 2},
        {"left key refused", [&] { QTest::keyClick(d.grid, Qt::Key_Left); }, "0,2", 1, 2},
        {"click in column 1",
         [&] { QTest::mouseClick(d.grid->viewport(), Qt::LeftButton, {}, d.CellCentre(1, 1)); },
         "1,1", 1, 1},
        {"click in column 0 refused",
         [&] { QTest::mouseClick(d.grid->viewport(), Qt::LeftButton, {}, d.CellCentre(0, 3)); },
         "0,3", 1, 1},
        {"out of range: not asked", [&] { d.grid->SetRow(4); }, "", 1, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        d.asked.clear();
        step.act();
        std::string asked;
        for (const std::string& a : d.asked)
            asked += (asked.empty() ? "" : " ") + a;
        EXPECT_EQ(asked, step.asked);
        EXPECT_EQ(d.grid->Col(), step.col);
        EXPECT_EQ(d.grid->Row(), step.row);
    }
}

TEST(StringGrid, InPlaceEditingFromTheKeyboard) {
    GridDialog d;
    QTest::keyClick(d.grid, Qt::Key_F2);
    ASSERT_NE(d.Editor(), nullptr);
    EXPECT_TRUE(d.grid->EditorMode());
    d.Editor()->selectAll();
    QTest::keyClicks(d.Editor(), QStringLiteral("a|b"));
    // Every keystroke reaches the cell and the event; the refused one is not taken.
    EXPECT_EQ(d.edits, (QStringList{"a", "ab"}));
    EXPECT_EQ(d.grid->Cell(1, 1), "ab");

    QTest::keyClick(d.Editor(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(d.grid->EditorMode());
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.okClicks, 0) << "Enter in the editor pressed the default button";
    EXPECT_EQ(d.grid->Cell(1, 1), "ab");

    // Typing opens the editor too; Escape restores the text the edit started with and says so.
    d.edits.clear();
    QTest::keyClick(d.grid, Qt::Key_X);
    ASSERT_NE(d.Editor(), nullptr);
    QTest::keyClick(d.Editor(), Qt::Key_Y);
    EXPECT_NE(d.grid->Cell(1, 1), "ab");
    QTest::keyClick(d.Editor(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(d.grid->EditorMode());
    EXPECT_EQ(d.grid->Cell(1, 1), "ab");
    ASSERT_FALSE(d.edits.isEmpty());
    EXPECT_EQ(d.edits.last(), "ab");

    // A pasted text loses the refused characters.
    QApplication::clipboard()->setText(QStringLiteral("p|q|"));
    QTest::keyClick(d.grid, Qt::Key_F2);
    ASSERT_NE(d.Editor(), nullptr);
    d.Editor()->selectAll();
    QTest::keyClick(d.Editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(d.grid->Cell(1, 1), "pq");

    // Tab leaves the grid, keeping the edit, instead of editing the next cell.
    QTest::keyClick(d.Editor(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_FALSE(d.grid->EditorMode());
    EXPECT_EQ(d.grid->Cell(1, 1), "pq");
    EXPECT_FALSE(d.grid->hasFocus());
    EXPECT_EQ(d.grid->Col(), 1);

    // Enter outside the editor is the dialog's.
    d.grid->setFocus();
    QTest::keyClick(d.grid, Qt::Key_Return);
    EXPECT_FALSE(d.grid->EditorMode());
    EXPECT_EQ(d.okClicks, 1);
}

TEST(StringGrid, RowsAndCells) {
    GridDialog d;
    d.grid->SetRow(3);
    d.grid->SetRowCount(3);
    EXPECT_EQ(d.grid->RowCount(), 3);
    EXPECT_EQ(d.grid->Row(), 2) << "the current row follows the shrinking grid";
    EXPECT_EQ(d.grid->Cell(1, 3), "") << "cells of removed rows are gone";
    d.grid->SetRowCount(0);
    EXPECT_EQ(d.grid->RowCount(), 2) << "the fixed row and one more always stay";
    d.grid->SetRowCount(4);
    EXPECT_EQ(d.grid->Cell(1, 3), "") << "new rows start empty";
    d.grid->SetCell(5, 1, QStringLiteral("ignored"));
    EXPECT_EQ(d.grid->Cell(5, 1), "");
}

TEST(TextBytes, EveryByteSurvivesTheRoundTrip) {
    const struct {
        std::string bytes;
        QString readable;
    } cases[] = {
        {"plain", "plain"},
        {"J\xC3\xBCrgen", QString::fromUtf8("J\xC3\xBCrgen")},
        {"M\xFCller \x80 \x81", QString::fromUtf8("M\xC3\xBCller \xE2\x82\xAC \xEF\xBF\xBD")},
        {"\xED\xB2\x80 encoded surrogate",
         QString::fromUtf8("\xC3\xAD\xC2\xB2\xE2\x82\xAC encoded surrogate")},
        {"\xF0\x9F\x98\x80 and cut \xF0\x9F",
         QString::fromUtf8("\xF0\x9F\x98\x80 and cut \xC3\xB0\xC5\xB8")},
        {std::string("nul\0byte", 8), QString::fromUtf8("nul\0byte", 8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const QString text = ui::QStringFromBytes(c.bytes);
        EXPECT_EQ(ui::BytesFromQString(text), c.bytes);
        EXPECT_EQ(ui::ReadableText(text), c.readable);
    }
}

TEST(ElidePath, KeepsTheBeginningAndTheLastComponent) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const QString ellipsis(QChar(0x2026));
    const struct {
        QString path;
        int width;
        QString ends; // the kept end; empty: cut in the middle of the last component
    } cases[] = {
        {"/home/ann/projects/quarterly/reports/Summary.pas", 130, "/Summary.pas"},
        {"C:\\Apps\\Delphi\\Projects\\Accounting\\Ledger.dpr", 110, "\\Ledger.dpr"},
        {"/home/ann/projects/", 60, "/projects/"},
        {"/a/AVeryLongFileNameThatCannotFitInTheCellAtAll.pas", 90, ""},
        {"NoSeparatorsButFarTooLongToFitTheCell.txt", 80, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const QString shown = ui::ElidePath(metrics, c.path, c.width);
        EXPECT_LE(metrics.horizontalAdvance(shown), c.width);
        ASSERT_TRUE(shown.contains(ellipsis)) << shown.toStdString();
        EXPECT_TRUE(c.path.startsWith(shown.left(shown.indexOf(ellipsis))));
        EXPECT_GE(shown.indexOf(ellipsis), 1) << "the beginning is kept";
        if (!c.ends.isEmpty())
            EXPECT_TRUE(shown.endsWith(ellipsis + c.ends)) << shown.toStdString();
        else
            EXPECT_TRUE(c.path.endsWith(shown.mid(shown.indexOf(ellipsis) + 1)));
    }
    EXPECT_EQ(ui::ElidePath(metrics, "/short.pas", 200), "/short.pas");
}

TEST(ImageList, DrawsByIndexWithOverlaysAndGreyedLook) {
    ui::TImageList images(4, 4);
    QPixmap red(4, 4), blue(8, 8);
    red.fill(Qt::red);
    blue.fill(Qt::transparent);
    {
        QPainter p(&blue);
        p.fillRect(0, 0, 4, 4, Qt::blue); // the top-left quarter, scaled to one pixel
    }
    EXPECT_EQ(images.Add(red), 0);
    EXPECT_EQ(images.Add(blue), 1);
    EXPECT_EQ(images.Image(1).size(), QSize(4, 4));

    QWidget widget;
    const auto draw = [&](const std::function<void(ui::TCanvas&)>& action) {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        ui::TCanvas canvas(painter, widget);
        action(canvas);
        return image;
    };
    EXPECT_EQ(draw([&](ui::TCanvas& c) { images.Draw(c, 0, 0, 7); }).pixelColor(1, 1),
              QColor(Qt::white))
        << "an index outside the list draws nothing";
    EXPECT_EQ(draw([&](ui::TCanvas& c) { images.DrawOverlay(c, 0, 0, 0, 0); }).pixelColor(0, 0),
              QColor(Qt::red))
        << "an empty overlay slot draws the image alone";
    images.SetOverlay(0, 1);
    const QImage overlaid = draw([&](ui::TCanvas& c) { images.DrawOverlay(c, 0, 0, 0, 0); });
    EXPECT_EQ(overlaid.pixelColor(0, 0).blue(), 255);
    EXPECT_EQ(overlaid.pixelColor(3, 3), QColor(Qt::red));
    const QColor greyed =
        draw([&](ui::TCanvas& c) { images.Draw(c, 0, 0, 0, false); }).pixelColor(2, 2);
    EXPECT_LE(std::abs(greyed.red() - greyed.blue()), 24) << "greyed keeps little colour";
}

} // namespace
