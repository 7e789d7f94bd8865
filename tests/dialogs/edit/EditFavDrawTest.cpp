// The item grid's drawing, checked on the pixels the grid paints.
#include "EditFavFixture.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using ui::TSysColor;

namespace {

using Pixel = std::function<bool(const QColor&)>;

const Pixel DarkRed = [](const QColor& c) {
    return c.red() > 100 && c.green() < 40 && c.blue() < 40;
};
const Pixel Blue = [](const QColor& c) {
    return c.blue() > 150 && c.red() < 110 && c.green() < 130;
};
const Pixel Grey = [](const QColor& c) {
    return std::abs(c.red() - c.green()) <= 16 && std::abs(c.green() - c.blue()) <= 16;
};
const Pixel Yellow = [](const QColor& c) {
    return c.red() > 200 && c.green() > 150 && c.blue() < 120;
};
const Pixel Teal = [](const QColor& c) {
    return c.green() > c.red() + 60 && c.blue() > c.red() + 60;
};

class EditFavDrawTest : public EditFavTest {
protected:
    QImage Shot() const {
        QApplication::processEvents();
        return wnd->grdItems->grab().toImage();
    }
    // The rectangle a cell is drawn in, in the grid's own coordinates.
    QRect CellRect(int col, int row) const {
        ui::TStringGrid& grid = *wnd->grdItems;
        if (row == 0) {
            QHeaderView& header = *grid.horizontalHeader();
            return QRect(header.sectionViewportPosition(col), 0, header.sectionSize(col) - 1,
                         header.height() - 1)
                .translated(header.viewport()->mapTo(&grid, QPoint(0, 0)));
        }
        return grid.visualRect(grid.model()->index(row - 1, col))
            .translated(grid.viewport()->mapTo(&grid, QPoint(0, 0)));
    }
    QRect PictureRect(int row) const {
        const QRect cell = CellRect(0, row);
        return QRect(cell.left() + 12, cell.top() + 1, 16, 16);
    }
    QRect PathRect(int row) const { return CellRect(0, row).adjusted(32, 0, -2, 0); }
    QRect MarkerRect(int row) const {
        const QRect cell = CellRect(0, row);
        return QRect(cell.left(), cell.top(), 12, cell.height());
    }
    QColor Sys(TSysColor color) const { return ui::SysColor(wnd->grdItems->palette(), color); }

    static int Count(const QImage& image, const QRect& rect, const Pixel& pixel) {
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                n += pixel(image.pixelColor(x, y));
        return n;
    }
    // The darkest pixel's lightness in rect; 255 when it is blank.
    static int Darkest(const QImage& image, const QRect& rect) {
        int darkest = 255;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                darkest = std::min(darkest, image.pixelColor(x, y).lightness());
        return darkest;
    }
    bool Plain(const QImage& image, const QRect& rect, const QColor& color) const {
        return Count(image, rect, [&](const QColor& c) { return c.rgb() != color.rgb(); }) == 0;
    }
    // A text as the grid would draw it in rect, in the window text colour on the window colour.
    QImage Rendered(const QString& text, const QSize& size) const {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Sys(TSysColor::Window));
        QPainter painter(&image);
        painter.setFont(wnd->grdItems->font());
        painter.setPen(Sys(TSysColor::WindowText));
        painter.drawText(QRect(QPoint(0, 0), size),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        return image;
    }
    // True when the pixels in rect show text.left(k) + ellipsis + tail for some k >= 1.
    bool ShowsCut(const QImage& shot, const QRect& rect, const QString& text,
                  const QString& tail) const {
        const QImage shown = shot.copy(rect).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (qsizetype k = 1; k < text.size(); ++k)
            if (Rendered(text.left(k) + QChar(0x2026) + tail, rect.size()) == shown)
                return true;
        return false;
    }
};

TEST_F(EditFavDrawTest, RowsShowMarkerPictureAndPathInTheirColours) {
    const std::string unit = MakeFile("Main.pas");
    const std::string folder = MakeFolder("Sources");
    Open({Record(0, 0, fitUnit, 1, unit, "unit"),
          Record(0, 1, fitUnit, 2, dir.path().toStdString() + "/Gone.pas", "gone"),
          Record(0, 2, fitFolder, 3, folder, "folder"),
          Record(0, 3, fitFolder, 4, dir.path().toStdString() + "/Nowhere", "nowhere"),
          Record(0, 4, fitGroup, 5, "", "group")},
         5);
    QImage shot = Shot();
    EXPECT_GT(Count(shot, MarkerRect(1), DarkRed), 10) << "the current row's marker";
    for (int row = 2; row <= 5; ++row)
        EXPECT_EQ(Count(shot, MarkerRect(row), DarkRed), 0) << row;

    // Existing targets: their pictures in colour, no cross.
    EXPECT_GT(Count(shot, PictureRect(1), Teal), 5);
    EXPECT_GT(Count(shot, PictureRect(3), Yellow), 20);
    EXPECT_EQ(Count(shot, PictureRect(3), Blue), 0);
    // Missing ones: greyed pictures under the blue cross, grey paths.
    for (const int row : {2, 4}) {
        SCOPED_TRACE(row);
        EXPECT_GT(Count(shot, PictureRect(row), Blue), 15);
        EXPECT_EQ(Count(shot, PictureRect(row), Teal) + Count(shot, PictureRect(row), Yellow), 0);
        EXPECT_GT(Count(shot, PictureRect(row),
                        [](const QColor& c) { return Grey(c) && c.lightness() < 230; }),
                  5);
        EXPECT_GT(Darkest(shot, PathRect(row)), 100) << "grey text";
        EXPECT_LT(Darkest(shot, PathRect(row)), 230) << "some text";
    }
    // The current row's path is blue, another existing one in the window text colour.
    EXPECT_GT(Count(shot, PathRect(1), Blue), 10);
    EXPECT_EQ(Count(shot, PathRect(3), Blue), 0);
    EXPECT_LT(Darkest(shot, PathRect(3)), 80);
    EXPECT_TRUE(Plain(shot, PathRect(5), Sys(TSysColor::Window))) << "a group has no path";

    // The marker and the blue text follow the current row, also a missing one.
    wnd->grdItems->SetRow(2);
    shot = Shot();
    EXPECT_EQ(Count(shot, MarkerRect(1), DarkRed), 0);
    EXPECT_GT(Count(shot, MarkerRect(2), DarkRed), 10);
    EXPECT_GT(Count(shot, PathRect(2), Blue), 10);
    EXPECT_EQ(Count(shot, PathRect(1), Blue), 0);
    EXPECT_LT(Darkest(shot, PathRect(1)), 80);

    // The focused alias cell is highlighted; without the focus the marker stays.
    const QRect alias = CellRect(1, 2);
    EXPECT_GT(Count(shot, alias,
                    [&](const QColor& c) { return c.rgb() == Sys(TSysColor::Highlight).rgb(); }),
              alias.width() * alias.height() / 2);
    wnd->btnOk->setFocus();
    shot = Shot();
    EXPECT_EQ(Count(shot, alias,
                    [&](const QColor& c) { return c.rgb() == Sys(TSysColor::Highlight).rgb(); }),
              0);
    EXPECT_GT(Count(shot, MarkerRect(2), DarkRed), 10);
    EXPECT_GT(Count(shot, PathRect(2), Blue), 10);
}

TEST_F(EditFavDrawTest, TheHeaderIsARaisedButtonFaceWithItsTitle) {
    Open({Record(0, 0, fitUnit, 1, "/p/a.pas", "a")}, 1);
    for (const bool focused : {true, false}) {
        if (!focused)
            wnd->tvGroups->setFocus();
        const QImage shot = Shot();
        for (int col = 0; col < 2; ++col) {
            SCOPED_TRACE(testing::Message() << "column " << col << (focused ? ", focused" : ""));
            const QRect cell = CellRect(col, 0);
            EXPECT_EQ(shot.pixel(cell.topLeft()), Sys(TSysColor::BtnHighlight).rgb());
            EXPECT_EQ(shot.pixel(cell.bottomRight()), Sys(TSysColor::BtnShadow).rgb());
            EXPECT_EQ(shot.pixel(cell.topRight() + QPoint(-2, 2)), Sys(TSysColor::BtnFace).rgb());
            EXPECT_LT(Darkest(shot, cell.adjusted(3, 1, -2, -1)), 80) << "the title";
        }
    }
}

TEST_F(EditFavDrawTest, ExistenceIsTestedAtEveryPaint) {
    const std::string file = MakeFile("Comes and goes.txt");
    Open({Record(0, 0, fitFile, 1, file, "f")}, 1);
    EXPECT_EQ(Count(Shot(), PictureRect(1), Blue), 0);
    ASSERT_TRUE(QFile::remove(QString::fromStdString(file)));
    wnd->grdItems->viewport()->update();
    EXPECT_GT(Count(Shot(), PictureRect(1), Blue), 15);
    MakeFile("Comes and goes.txt");
    wnd->grdItems->viewport()->update();
    EXPECT_EQ(Count(Shot(), PictureRect(1), Blue), 0);
}

TEST_F(EditFavDrawTest, LongTextsAreCutWithEllipses) {
    const std::string deep = "reports/quarterly/summaries/for/the/whole/company";
    const std::string file = MakeFile(deep + "/Annual Summary.pas");
    const QString alias = QStringLiteral("An alias far too long for its column");
    Open({Record(0, 0, fitUnit, 1, "/p/a.pas", "a"),
          Record(0, 1, fitUnit, 2, file, alias.toStdString())},
         2);
    wnd->tvGroups->setFocus();
    const QImage shot = Shot();
    EXPECT_TRUE(ShowsCut(shot, PathRect(2), QString::fromStdString(file), "/Annual Summary.pas"))
        << "the path keeps its beginning and its last component";
    EXPECT_TRUE(ShowsCut(shot, CellRect(1, 2).adjusted(3, 0, -2, 0), alias, QString()))
        << "the alias is cut at its end";
}

TEST_F(EditFavDrawTest, TheBlankRowOfAnEmptyGroupIsPlain) {
    Open({Record(0, 0, fitGroup, 1, "", "Empty")}, 1);
    SelectNode("Empty");
    const QImage shot = Shot();
    EXPECT_TRUE(Plain(shot, CellRect(0, 1), Sys(TSysColor::Window)));
    EXPECT_TRUE(Plain(shot, CellRect(1, 1), Sys(TSysColor::Window)));
}

// What a screen reader hears of the grid comes from what the drawing shows, read in-process
// through Qt's accessibility (no bus).
std::string Said(QWidget* widget, QAccessible::Text what, int row = -1, int col = 0) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (row >= 0)
        iface = iface->tableInterface()->cellAt(row, col);
    return iface->text(what).toStdString();
}

TEST_F(EditFavTest, ScreenReadersHearKindPathAndWhetherItIsMissing) {
    const std::string d = dir.path().toStdString();
    const std::string unit = MakeFile("Main.pas");
    const struct {
        int type;
        std::string path, alias, said;
        bool missing;
    } rows[] = {
        {0, MakeFile("Sample.dpr"), "Sample", "Project " + d + "/Sample.dpr", false},
        {1, d + "/Lib.dpk", "Lib", "Library " + d + "/Lib.dpk", true},
        {2, unit, "Main", "Unit " + unit, false},
        // ANSI (Windows-1252) bytes are read out as their characters, in path and alias.
        {2, d + "/Caf\xe9.pas", "Caf\xe9", "Unit " + d + "/Caf\xc3\xa9.pas", true},
        {3, d + "/gone.txt", "Gone", "File " + d + "/gone.txt", true},
        {4, MakeFolder("Work"), "Work", "Folder " + d + "/Work", false},
        {5, "", "Docs", "Group", false},
    };
    std::vector<std::string> records;
    for (int i = 0; i < int(std::size(rows)); ++i)
        records.push_back(Record(0, i, rows[i].type, i + 1, rows[i].path, rows[i].alias));
    Open(records, int(records.size()));

    QWidget* grid = wnd->grdItems;
    EXPECT_EQ(Said(wnd->tvGroups, QAccessible::Name), "Groups");
    EXPECT_EQ(Said(grid, QAccessible::Name), "Items");
    for (int i = 0; i < int(std::size(rows)); ++i) {
        SCOPED_TRACE(rows[i].said);
        EXPECT_EQ(Said(grid, QAccessible::Name, i), rows[i].said); // never the stored record
        EXPECT_EQ(Said(grid, QAccessible::Description, i), rows[i].missing ? "missing" : "");
        EXPECT_EQ(Said(grid, QAccessible::Name, i, 1),
                  QString::fromLatin1(rows[i].alias.c_str()).toStdString());
    }

    QTest::keyClick(wnd->grdItems, Qt::Key_F1); // F1 in a control: the form's help topic
    ASSERT_EQ(modal.HelpRequests().size(), 1u);
    EXPECT_EQ(modal.HelpRequests()[0].context, 130);
}

} // namespace
