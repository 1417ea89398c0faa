// The CSV preview: rows named as their text gives them, the grid drawn at the phone's and
// the tablet's measures, a touch and a drag selecting cells, and text of any size or kind
// shown as far as it can be read.

#include "app/NamedColors.h"
#include "app/VQTableScrollView.h"
#include "apps/CSVView.h"
#include "apps/CSVViewController.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"

#include "TestSupport.h"
#include "WidgetEvents.h"

#include <QFontMetricsF>
#include <QImage>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace orvenda::test {
namespace {

using Rows = std::vector<std::vector<QString>>;

Rows rows(std::initializer_list<std::initializer_list<const char*>> texts)
{
    Rows out;
    for (const auto& row : texts) {
        out.emplace_back();
        for (const char* text : row)
            out.back().push_back(QString::fromUtf8(text));
    }
    return out;
}

TEST(CSVPreviewRows, EachRowIsNamedByItsFirstFieldOrNumberedAndEmptyRowsAreLeftOut)
{
    const struct {
        const char* text;
        Rows shown;
    } cases[] = {
        {"1,2,3\n4,5", rows({{"L1", "1", "2", "3"}, {"L2", "4", "5"}})},
        // Six characters or more, a capital first: the field names its row.
        {"SCORES,4,5\nABC,6\nSCORE,7", rows({{"SCORES", "4", "5"}, {"L1", "ABC", "6"}, {"L2", "SCORE", "7"}})},
        {" TOTALS ,1\nscores,2\nÉCOLES,3\n123456,4\n1.5E30,5",
            rows({{" TOTALS ", "1"}, {"L1", "scores", "2"}, {"L2", "ÉCOLES", "3"}, {"L3", "123456", "4"}, {"L4", "1.5E30", "5"}})},
        // Rows of empty fields and blank lines are left out; an empty first field is numbered.
        {",,\n\n\n,7\n  ,8\n , ", rows({{"L1", "", "7"}, {"L2", "  ", "8"}, {"L3", " ", " "}})},
        {"\"A,B\",1\n\"LONGER\"\"X\",2", rows({{"L1", "A,B", "1"}, {"LONGER\"X", "2"}})},
        {"", {}},
        {"\n\n", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSVViewController::previewRows(c.text), c.shown) << c.text;
}

// The Part's measures: Helvetica (Liberation Sans here) at 18 points on 20-point rows with
// 6 points added to each column on a phone, 20, 26 and 10 on a tablet.
struct Measures {
    const char* name;
    bool tablet;
    QSize size;
    double font;
    double row;
    double space;
};

class CSVViewControllerTest : public ::testing::TestWithParam<Measures> {
protected:
    CSVViewControllerTest() : calc(kUS)
    {
        calc.device = GetParam().tablet ? 1 : 0;
        controller = std::make_unique<CSVViewController>(calc);
        controller->resize(GetParam().size);
        controller->setLeave([this] { ++left; });
        controller->show();
    }
    // The grid as shown, from its top left corner.
    QImage grid() const
    {
        return controller->grab(controller->scroller().geometry()).toImage();
    }
    // Where a cell's centre is shown, in the controller.
    QPoint centre(int row, int column) const
    {
        const QRectF cell = controller->grid().cellRect({row, column});
        return controller->scroller().shownRect(cell, *controller).center();
    }

    Calculator calc;
    std::unique_ptr<CSVViewController> controller;
    int left = 0;
};

bool line(QRgb pixel) { return qGray(pixel) < 235; }

TEST_P(CSVViewControllerTest, TheGridIsDrawnInItsFontRowsAndColumnsAsMeasured)
{
    const Measures m = GetParam();
    controller->loadCSVString("8,88,888\n8,8,8");
    const CSVView& view = controller->grid();
    const QFont font = view.gridFont();
    EXPECT_EQ(font.family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(font.pixelSize(), m.font);
    const QFontMetricsF metrics(font);
    // Each column as wide as its widest text, whole pixels, plus the space.
    std::vector<int> edges{0};
    for (const char* widest : {"L1", "8", "88", "888"})
        edges.push_back(edges.back() + int(std::ceil(metrics.horizontalAdvance(QString::fromLatin1(widest))) + m.space));
    const QImage shown = grid();
    ASSERT_GT(shown.width(), edges.back() + 10);
    // Across the first column's space: lines at the rows' edges only.
    std::vector<int> rowsDrawn;
    for (int y = 0; y < 3 * m.row + 5; ++y)
        if (line(shown.pixel(2, y)))
            rowsDrawn.push_back(y);
    EXPECT_EQ(rowsDrawn, (std::vector<int>{0, int(m.row), int(2 * m.row)}));
    // Along the foot of the first row, under the digits: lines at the columns' edges only.
    std::vector<int> columnsDrawn;
    for (int x = 0; x < edges.back() + 10; ++x)
        if (line(shown.pixel(x, int(m.row) - 2)))
            columnsDrawn.push_back(x);
    EXPECT_EQ(columnsDrawn, edges);
    // The digits are as tall as the font's capitals.
    const QRect cell(edges[3] + 1, 1, edges[4] - edges[3] - 1, int(m.row) - 1);
    int top = cell.bottom(), bottom = cell.top();
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (qGray(shown.pixel(x, y)) < 200) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_NEAR(bottom - top + 1, metrics.capHeight(), 1.5);
}

TEST_P(CSVViewControllerTest, ATouchSelectsACellAndADragMovesTheEnd)
{
    controller->loadCSVString("1,2,3,4\n5,6,7,8\n9,10,11,12\n13,14,15,16");
    const CSVView& view = controller->grid();
    const QColor highlight = namedColor("yellowHilightColor");
    // A point of a cell clear of its text and lines.
    const auto selected = [&](int row, int column) {
        const QRectF cell = view.cellRect({row, column});
        return grid().pixelColor(QPoint(int(cell.left()) + 2, int(cell.top()) + 2)) == highlight;
    };
    QWidget* pressed = pressAt(*controller, centre(1, 1));
    EXPECT_EQ(view.selectionStart(), (CSVView::Cell{1, 1}));
    EXPECT_EQ(view.selectionEnd(), (CSVView::Cell{1, 1}));
    EXPECT_TRUE(selected(1, 1));
    EXPECT_FALSE(selected(1, 2));
    dragTo(*controller, *pressed, centre(2, 3));
    releaseAt(*controller, *pressed, centre(2, 3));
    EXPECT_EQ(view.selectionStart(), (CSVView::Cell{1, 1}));
    EXPECT_EQ(view.selectionEnd(), (CSVView::Cell{2, 3}));
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(selected(row, column), row >= 1 && row <= 2 && column >= 1 && column <= 3) << row << "," << column;
    // Dragged back up and past the grid's left edge: the end stops at the nearest cell.
    pressed = pressAt(*controller, centre(3, 4));
    dragTo(*controller, *pressed, centre(0, 0) - QPoint(200, 0));
    releaseAt(*controller, *pressed, centre(0, 0) - QPoint(200, 0));
    EXPECT_EQ(view.selectionStart(), (CSVView::Cell{3, 4}));
    EXPECT_EQ(view.selectionEnd(), (CSVView::Cell{0, 0}));
    EXPECT_TRUE(selected(0, 0));
    // A touch under the last row selects nothing.
    clickAt(*controller, centre(3, 0) + QPoint(0, int(view.rowHeight()) * 2));
    EXPECT_FALSE(view.selectionStart().valid());
    EXPECT_FALSE(selected(0, 0));
}

TEST_P(CSVViewControllerTest, DoneAndEscapeClose)
{
    controller->loadCSVString("1,2");
    clickAt(*controller, centreIn(*controller, *controller->leaveControl()));
    EXPECT_EQ(left, 1);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(controller.get(), &escape);
    EXPECT_EQ(left, 2);
}

// Text no import would take shows what can be read of it, quickly, and draws wherever it
// is scrolled to (on a phone: the limits are the same on a tablet).
TEST(CSVPreview, AnyTextShowsWhatCanBeReadOfIt)
{
    Calculator calc(kUS);
    CSVViewController controller(calc);
    controller.resize(390, 600);
    controller.show();
    const auto grid = [&controller] { return controller.grab(controller.scroller().geometry()).toImage(); };
    std::string wide;
    for (int k = 0; k < 10000; ++k)
        wide += (k ? "," : "") + std::to_string(k);
    std::string huge;
    for (int k = 0; k < 200000; ++k)
        huge += "1,";
    std::string bytes;
    for (int round = 0; round < 40; ++round)
        for (int b = 0; b < 256; ++b)
            bytes += char((b * 37 + round) % 256);
    std::string tall;
    while (tall.size() <= CSVViewController::kMaxTextBytes)
        tall += "1,2,3\n";
    const std::string longField = "A," + std::string(1 << 20, 'x');
    const struct {
        const char* name;
        std::string text;
        std::size_t rows;
        std::size_t cells;
    } cases[] = {
        {"empty", "", 0, 0},
        {"10,000 columns", wide, 1, 10001},
        {"one huge row", huge, 1, CSVViewController::kMaxColumns},
        {"bytes that are no text", bytes, 0, 0},
        {"more text than is read", tall, CSVViewController::kMaxCells / 4, CSVViewController::kMaxCells},
        {"a field of a megabyte", longField, 1, 3},
    };
    for (const auto& c : cases) {
        controller.loadCSVString(c.text);
        const CSVView& view = controller.grid();
        std::size_t cells = 0, widest = 0;
        for (const auto& row : view.rows()) {
            cells += row.size();
            widest = std::max(widest, row.size());
            for (const QString& text : row)
                EXPECT_LE(text.size(), CSVViewController::kMaxCellCharacters + 1) << c.name;
        }
        if (c.rows > 0) {
            EXPECT_EQ(view.rows().size(), c.rows) << c.name;
            EXPECT_EQ(cells, c.cells) << c.name;
        }
        EXPECT_LE(cells, CSVViewController::kMaxCells) << c.name;
        EXPECT_EQ(view.columnWidths().size(), widest) << c.name;
        // Drawn at its start and at its far end.
        const auto ink = [](const QImage& picture) {
            int dark = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    dark += qGray(picture.pixel(x, y)) < 128;
            return dark;
        };
        controller.scroller().setContentOffset(QPointF(0, 0));
        const int atStart = ink(grid());
        controller.scroller().setContentOffset(QPointF(view.contentSize().width(), view.contentSize().height()));
        const int atEnd = ink(grid());
        if (!view.rows().empty()) {
            EXPECT_GT(atStart, 20) << c.name;
            EXPECT_GT(atEnd, 20) << c.name;
        }
    }
    // A field of a megabyte is cut, with an ellipsis.
    EXPECT_TRUE(controller.grid().rows()[0][2].endsWith(QChar(0x2026)));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CSVViewControllerTest,
    ::testing::Values(Measures{"phone", false, {390, 600}, 18, 20, 6}, Measures{"tablet", true, {768, 900}, 20, 26, 10}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orvenda::test
