// The matrix editor as the app registers it (MATRIX ▸ EDIT): the dimension boxes from 1 to
// 99, the prefixes and shown values, the order ENTER takes, the arrow keys' table, values
// that are not real numbers ignored, the grid's solution lines and its picture at both
// sizes.

#include "PictureChecks.h"
#include "WidgetEvents.h"
#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "app/VQTableScrollView.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/MarkUpText.h"
#include "apps/MatrixEditScreen.h"
#include "apps/MatrixEditView.h"
#include "apps/MatrixView.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

VQMatrix matrixOf(std::size_t rows, std::size_t cols, std::initializer_list<double> values)
{
    VQMatrix m = *VQMatrix::matrixWithRow(rows, cols);
    std::size_t k = 0;
    for (double v : values) {
        m.set(v, k / cols, k % cols);
        ++k;
    }
    return m;
}

class MatrixEditor : public ScreensTest {
protected:
    MatrixEditor() { registerScreen(*root); }
    void registerScreen(RootController& window)
    {
        window.screens().set(screens::MatrixEditor, [this](QWidget* p) { return new MatrixEditScreen(calc, shell, p); });
    }
    void becomeTablet()
    {
        calc.device = 1;
        calc.setCurrentScreen(screens::Home);
        calc.viewDelegate = nullptr;
        root.reset();
        root = std::make_shared<RootController>(calc, shell, true);
        calc.viewDelegate = root;
        registerScreen(*root);
        root->resize(768, 1024);
        root->show();
    }
    // MATRIX ▸ EDIT on matrix n.
    MatrixEditView& open(int n)
    {
        router().didPickMatrix(n, true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        auto* screen = dynamic_cast<MatrixEditScreen*>(router().controller(screens::MatrixEditor));
        EXPECT_TRUE(screen);
        return screen->editor();
    }
    void press(std::initializer_list<std::uint32_t> keys)
    {
        for (std::uint32_t key : keys)
            shell.keys().processKeyOp(key);
        shell.settle(std::chrono::seconds(30));
    }
    void type(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            shell.keys().processKeyOp(op);
    }
    void enter(const std::string& text)
    {
        type(text);
        press({KeyRouter::kEnter});
    }
    EntryModel& entry() { return *dynamic_cast<EntryModel*>(calc.entryManager.get()); }
    VQMatrix matrix(int n) { return calc.locked()->matrices[static_cast<std::size_t>(n)]; }
    void closeAlerts()
    {
        while (QMessageBox* box = openAlert())
            box->done(0);
    }
    std::string shown(const MatrixEditView& editor) { return editor.entryView().prefixStr() + editor.entryView().overlayStr().value_or("-"); }
};

TEST_F(MatrixEditor, TheDimensionsRunFromOneToNinetyNine)
{
    MatrixEditView& editor = open(1);
    EXPECT_EQ(editor.banner().title(), "ARRAY[B]");
    EXPECT_EQ(editor.cursorField(), MatrixEditView::RowsField);
    EXPECT_EQ(shown(editor), "#rows = 0");
    enter("3");
    EXPECT_EQ(matrix(1).dimRow(), 3u);
    EXPECT_EQ(matrix(1).dimCol(), 1u);
    EXPECT_EQ(shown(editor), "#col = 1");
    EXPECT_EQ(editor.banner().rowText(), "3");
    enter("4");
    EXPECT_EQ(matrix(1).dimCol(), 4u);
    EXPECT_EQ(editor.cursorField(), MatrixEditView::Cells);
    EXPECT_EQ(shown(editor), "1,1=0");
    // Above 99 is ignored, below 1 raised to 1, a fraction truncated.
    editor.selectField(1);
    enter("100");
    EXPECT_EQ(matrix(1).dimRow(), 3u);
    editor.selectField(1);
    enter("-500");
    EXPECT_EQ(matrix(1).dimRow(), 1u);
    editor.selectField(0);
    enter("99.9");
    EXPECT_EQ(matrix(1).dimCol(), 99u);
    // While a box is edited the banner shows what is typed.
    editor.selectField(1);
    type("12");
    EXPECT_EQ(editor.banner().rowText(), "12");
    EXPECT_FALSE(editor.entryView().overlayStr());
}

TEST_F(MatrixEditor, EnterFillsTheCellsInRowOrderAndStaysOnTheLast)
{
    calc.locked()->matrices[0] = matrixOf(2, 2, {0, 0, 0, 0});
    MatrixEditView& editor = open(0);
    press({KeyRouter::kEnter, KeyRouter::kEnter});
    EXPECT_EQ(shown(editor), "1,1=0");
    enter("1");
    enter("2/4");
    EXPECT_EQ(shown(editor), "2,1=0");
    enter("3");
    enter("4");
    EXPECT_EQ(editor.cursorRow(), 1);
    EXPECT_EQ(editor.cursorCol(), 1);
    enter("5");
    EXPECT_EQ(editor.cursorRow(), 1);
    EXPECT_EQ(editor.cursorCol(), 1);
    const VQMatrix m = matrix(0);
    EXPECT_EQ(m.row(0, 0), 1);
    EXPECT_EQ(m.row(0, 1), 0.5);
    EXPECT_EQ(m.row(1, 0), 3);
    EXPECT_EQ(m.row(1, 1), 5);
    EXPECT_EQ(shown(editor), "2,2=5");
}

TEST_F(MatrixEditor, TheArrowKeysFollowTheTable)
{
    calc.locked()->matrices[0] = matrixOf(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    MatrixEditView& editor = open(0);
    const auto at = [&] { return std::tuple(editor.cursorField(), editor.cursorRow(), editor.cursorCol()); };
    // Rows box: Right and End to the columns box, Left and Home back.
    press({KeyRouter::kRight});
    EXPECT_EQ(editor.cursorField(), MatrixEditView::ColsField);
    press({KeyRouter::kLeft});
    EXPECT_EQ(editor.cursorField(), MatrixEditView::RowsField);
    press({KeyRouter::kEnd});
    EXPECT_EQ(editor.cursorField(), MatrixEditView::ColsField);
    press({KeyRouter::kHome});
    EXPECT_EQ(editor.cursorField(), MatrixEditView::RowsField);
    press({KeyRouter::kDown, KeyRouter::kDown});
    EXPECT_EQ(at(), std::tuple(2, 0, 0));
    press({KeyRouter::kRight, KeyRouter::kRight, KeyRouter::kRight});
    EXPECT_EQ(at(), std::tuple(2, 1, 0)) << "past the last column: the next row";
    press({KeyRouter::kLeft});
    EXPECT_EQ(at(), std::tuple(2, 0, 2)) << "before the first column: the row above";
    press({KeyRouter::kHome});
    EXPECT_EQ(at(), std::tuple(2, 0, 0));
    press({KeyRouter::kEnd, KeyRouter::kFileBottom});
    EXPECT_EQ(at(), std::tuple(2, 2, 2));
    press({KeyRouter::kRight, KeyRouter::kDown});
    EXPECT_EQ(at(), std::tuple(2, 2, 2)) << "the last cell stays";
    press({KeyRouter::kFileTop});
    EXPECT_EQ(at(), std::tuple(2, 0, 2));
    press({KeyRouter::kUp});
    EXPECT_EQ(editor.cursorField(), MatrixEditView::ColsField) << "up from the first row";
    press({KeyRouter::kDown});
    press({KeyRouter::kLeft});
    EXPECT_EQ(editor.cursorField(), MatrixEditView::ColsField) << "left from the first cell";
    // While something is typed, Left and Right move within it; Down stores it and moves.
    press({KeyRouter::kDown});
    type("42");
    press({KeyRouter::kRight, KeyRouter::kLeft});
    EXPECT_EQ(at(), std::tuple(2, 0, 0));
    press({KeyRouter::kDown});
    EXPECT_EQ(at(), std::tuple(2, 1, 0));
    EXPECT_EQ(matrix(0).row(0, 0), 42);
}

// Complex numbers, lists and strings go into no cell and no box, without a message; a tap
// on a cell drops what was typed.
TEST_F(MatrixEditor, WhatIsNotARealNumberIsIgnored)
{
    calc.locked()->matrices[2] = matrixOf(2, 2, {1, 2, 3, 4});
    MatrixEditView& editor = open(2);
    enter("{5,6}");
    EXPECT_EQ(matrix(2).dimRow(), 2u);
    editor.selectRow(0, 0);
    enter("\"7\"");
    editor.selectRow(0, 0);
    EXPECT_EQ(matrix(2).row(0, 0), 1);
    EXPECT_EQ(openAlert(), nullptr);
    type("9");
    editor.selectRow(1, 1);
    EXPECT_EQ(matrix(2).row(0, 0), 1);
    EXPECT_TRUE(entry().entryOps().empty());
    EXPECT_EQ(shown(editor), "2,2=4");
    // A tap beyond the matrix takes its last cell.
    editor.selectRow(40, 40);
    EXPECT_EQ(shown(editor), "2,2=4");
    // A typo shows its error and stays typed; the cell and cursor stay.
    type("1+");
    press({KeyRouter::kEnter});
    EXPECT_NE(openAlert(), nullptr);
    closeAlerts();
    EXPECT_EQ(calc.stringFromOps(entry().entryOps()), "1+");
    EXPECT_EQ(matrix(2).row(1, 1), 4);
}

// The simultaneous equations' type: "#eq" from 2, "#unknown" from 2, typed 3 gives four
// columns; the solution type selects nothing and drops what is typed.
TEST_F(MatrixEditor, TheSystemTypeCountsUnknownsAndTheSolutionTypeSelectsNothing)
{
    calc.simulMatrix = matrixOf(2, 3, {1, 1, 3, 1, -1, 1});
    MatrixEditView& editor = open(0);
    editor.displayType(MatrixView::Coefficients);
    EXPECT_EQ(editor.banner().title(), "SimulEq");
    editor.selectField(0);
    EXPECT_EQ(shown(editor), "#unknown = 2");
    enter("3");
    EXPECT_EQ(calc.simulMatrix.dimCol(), 4u);
    editor.selectField(0);
    EXPECT_EQ(shown(editor), "#unknown = 3");
    enter("1");
    EXPECT_EQ(calc.simulMatrix.dimCol(), 3u);
    editor.selectField(1);
    EXPECT_EQ(shown(editor), "#eq = 2");
    enter("1");
    EXPECT_EQ(calc.simulMatrix.dimRow(), 2u);
    editor.displayType(MatrixView::Solution);
    EXPECT_EQ(editor.banner().title(), "SimulEq:Solution");
    EXPECT_EQ(shown(editor), "-");
    press({KeyRouter::kDown, KeyRouter::kRight});
    EXPECT_EQ(editor.cursorRow(), -1);
    enter("5");
    EXPECT_EQ(calc.simulMatrix.row(0, 0), 1);
}

// A system's grid has four columns to the view: a tap lands in the quarter-width column;
// a tap on the banner's boxes edits them, and the bands pick no cell.
TEST_F(MatrixEditor, TapsPickCellsOfTheGridShownAndTheBannersBoxes)
{
    calc.simulMatrix = matrixOf(3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    MatrixEditView& editor = open(0);
    editor.displayType(MatrixView::Coefficients);
    MatrixView& grid = editor.grid();
    const double w = grid.columnWidth();
    EXPECT_NEAR(w, (grid.width() - grid.leftEdgeWidth()) / 4, 1e-9);
    grid.tap(QPointF(grid.leftEdgeWidth() + 2.5 * w, grid.topEdgeWidth() + 1.5 * grid.rowHeight()));
    EXPECT_EQ(std::tuple(editor.cursorRow(), editor.cursorCol()), std::tuple(1, 2));
    EXPECT_EQ(editor.entryView().overlayStr().value_or(""), "7");
    grid.tap(QPointF(grid.leftEdgeWidth() / 2, grid.topEdgeWidth() + 2.5 * grid.rowHeight()));
    EXPECT_EQ(std::tuple(editor.cursorRow(), editor.cursorCol()), std::tuple(1, 2));
    const QRectF box = editor.banner().colRect();
    clickAt(*root, editor.banner().mapTo(root.get(), box.center().toPoint()));
    EXPECT_EQ(editor.cursorField(), MatrixEditView::ColsField);
    EXPECT_EQ(editor.banner().editField(), 0);
    clickAt(*root, editor.banner().mapTo(root.get(), editor.banner().rowRect().center().toPoint()));
    EXPECT_EQ(editor.cursorField(), MatrixEditView::RowsField);
}

TEST(MatrixGrid, SolutionLinesReadAsEquationsInTheFreeUnknowns)
{
    Calculator calc;
    const auto line = [&](const VQMatrix& s, int r) { return MarkUpText::plain(MarkUpText::parse(MatrixView::solutionRow(calc, s, r))); };
    // x1 + 0x2 - 3x3 = 2; x2 free; x3 free.
    const VQMatrix s = matrixOf(3, 4, {1, 0, -3, 2, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(line(s, 0), "x1=2+3x3");
    EXPECT_EQ(line(s, 1), "x2=x2");
    EXPECT_EQ(line(s, 2), "x3=x3");
    EXPECT_EQ(MatrixView::solutionRow(calc, s, 0), "x<s1>=2+3x<s3>");
    EXPECT_EQ(line(matrixOf(2, 3, {1, 0, 0, 0, 1, 0}), 0), "x1=0");
    // A term with nothing before it carries no "+"; a coefficient of 2 is written.
    EXPECT_EQ(line(matrixOf(2, 3, {1, -2, 0, 0, 0, 0}), 0), "x1=2x2");
    EXPECT_EQ(line(matrixOf(2, 3, {1, 1, 4, 0, 0, 0}), 0), "x1=4-x2");
    EXPECT_EQ(MatrixView::solutionRow(calc, std::nullopt, 0), "No Solution");
    EXPECT_EQ(MatrixView::solutionRow(calc, s, 3), "Row error");
}

TEST(MatrixGrid, AValueWiderThanItsColumnEndsInAnEllipsis)
{
    const auto runs = MarkUpText::parse("-1.234567891");
    const double whole = MarkUpText::width(runs, "CourierNewPS-BoldMT", 16);
    const auto cut = MarkUpText::elide(runs, whole / 2, "CourierNewPS-BoldMT", 16);
    const QString text = MarkUpText::plain(cut);
    EXPECT_TRUE(text.endsWith(u'\u2026')) << text.toStdString();
    EXPECT_TRUE(QString("-1.234567891").startsWith(text.chopped(1)));
    EXPECT_LE(MarkUpText::width(cut, "CourierNewPS-BoldMT", 16), whole / 2);
    EXPECT_EQ(MarkUpText::elide(runs, whole, "CourierNewPS-BoldMT", 16), runs);
}

TEST_F(MatrixEditor, ThePictureShowsTheBannerTheValuesAndTheCursorAtBothSizes)
{
    for (const bool tablet : {false, true}) {
        if (tablet)
            becomeTablet();
        calc.locked()->matrices[0] = matrixOf(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
        MatrixEditView& editor = open(0);
        editor.selectRow(1, 1);
        MatrixView& grid = editor.grid();
        QImage picture = grid.grab().toImage();
        const double dpr = picture.devicePixelRatio();
        const auto at = [&](double x, double y) { return picture.pixelColor(int(x * dpr), int(y * dpr)); };
        const double w = grid.columnWidth(), h = grid.rowHeight(), head = grid.topEdgeWidth(), band = grid.leftEdgeWidth();
        const QColor highlight = namedColor("yellowHilightColor");
        EXPECT_EQ(at(band + w + 3, head + h + 2).rgb(), highlight.rgb()) << tablet;
        EXPECT_NE(at(band + 3, head + h + 2).rgb(), highlight.rgb()) << tablet;
        EXPECT_EQ(at(band + 3, head / 2).rgb(), namedColor("bannerColor").rgb()) << tablet;
        const QRect value(int((band + 2 * w) * dpr), int((head + 2 * h) * dpr), int(w * dpr), int(h * dpr));
        EXPECT_GE(textContrast(picture, value), 3.0) << tablet;
        // The banner: its name in white on the band, the rows box yellow while edited.
        editor.selectField(1);
        const QImage banner = editor.banner().grab().toImage();
        const QRectF box = editor.banner().rowRect();
        EXPECT_EQ(banner.pixelColor(int((box.left() + 2) * dpr), int((box.top() + 1) * dpr)).rgb(), highlight.rgb()) << tablet;
        EXPECT_GE(textContrast(banner, QRect(0, 0, int(box.left() * dpr), banner.height())), 3.0) << tablet;
        // The whole screen differs from the bare display.
        EXPECT_EQ(editor.entryView().prefixStr(), "#rows = ");
    }
}

TEST_F(MatrixEditor, ADrawFormatsOnlyTheCellsInView)
{
    VQMatrix big = *VQMatrix::matrixWithRow(99, 99);
    for (std::size_t r = 0; r < 99; ++r)
        for (std::size_t c = 0; c < 99; ++c)
            big.set(r + c / 100.0, r, c);
    calc.locked()->matrices[0] = big;
    MatrixEditView& editor = open(0);
    editor.selectRow(98, 98);
    MatrixView& grid = editor.grid();
    EXPECT_GT(grid.origin().x(), 0);
    EXPECT_GT(grid.origin().y(), 0);
    const QImage picture = grid.grab().toImage();
    const int visible = int(grid.height() / grid.rowHeight() + 2) * int(grid.width() / grid.columnWidth() + 2);
    EXPECT_GT(grid.cellsDrawn(), 0);
    EXPECT_LE(grid.cellsDrawn(), visible);
    // The last cell, scrolled into view, is highlighted.
    const double dpr = picture.devicePixelRatio();
    const QPointF cell = QPointF(grid.leftEdgeWidth() + 98.5 * grid.columnWidth(), grid.topEdgeWidth() + 98.5 * grid.rowHeight()) - grid.origin();
    EXPECT_EQ(picture.pixelColor(int((cell.x() - grid.columnWidth() / 2 + 3) * dpr), int(cell.y() * dpr)).rgb(),
              namedColor("yellowHilightColor").rgb());
}

} // namespace
} // namespace orvenda::test
