// The periodic table screen at the phone's and the tablet's sizes: the property picker
// (sliding, stepped), the slider's modes and titles, a tap on an element opening its
// details (units, "Unknown", the Lewis dots), and Escape closing a step at a time.

#include "apps/ElementPanel.h"
#include "apps/ElementView.h"
#include "apps/PeriodicConfigurePanel.h"
#include "apps/PeriodicTableScreen.h"
#include "apps/PeriodicTableView.h"
#include "core/Calculator.h"
#include "numeric/ElementDatabase.h"

#include "TestClocks.h"
#include "TestSupport.h"
#include "WidgetEvents.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>

#include <gtest/gtest.h>

#include <set>

namespace orvenda::test {
namespace {

constexpr int He = 2, O = 8, Ne = 10, Fe = 26, Rf = 104;

TEST(ElementView, FieldsShowTheirUnitsAndUnknown)
{
    EXPECT_EQ(ElementView::fieldLabel(4), "Melting Point");
    EXPECT_EQ(ElementView::fieldText(Fe, 4), "1808 K");
    EXPECT_EQ(ElementView::fieldText(Fe, 0), "26 ") << "a field without unit ends in a space";
    EXPECT_EQ(ElementView::fieldText(Fe, 2), "Trans metal");
    EXPECT_EQ(ElementView::fieldText(Fe, 26), "2-8-14-2");
    EXPECT_EQ(ElementView::fieldText(Fe, 27), "[Ar]3d⁶4s²");
    EXPECT_EQ(ElementView::fieldText(Rf, 4), "Unknown");
    EXPECT_EQ(ElementView::fieldLabel(19), "STP Density");
    EXPECT_TRUE(ElementView::fieldText(Fe, 19).endsWith(" kg/m³"));
    EXPECT_TRUE(ElementView::fieldText(O, 7).endsWith(" kJ/mol"));
    EXPECT_EQ(ElementView::fieldText(Fe, 8), "6 ");
    EXPECT_EQ(ElementView::fieldText(He, 8), "0 ");
    EXPECT_EQ(ElementView::fieldText(118, 8), "Unknown") << "no valence is known";
    EXPECT_EQ(ElementView::fieldText(Fe, 22), "10 MS/m");
    EXPECT_EQ(ElementView::fieldText(Fe, 16), "170 GPa");
    // Rows of 15 with a blank row after each group.
    EXPECT_EQ(ElementView::fieldTop(0), 1);
    EXPECT_EQ(ElementView::fieldTop(4), 1 + 4 * 15 + 15);
    EXPECT_EQ(ElementView::lewisTop(), 1 + 28 * 15 + 9 * 15 + 15);
}

TEST(ElementView, LewisDotsSitAroundTheSymbol)
{
    const QSizeF symbol(20, 16);  // cx = 10, m = 8, cy = 8
    const auto at = [&](int n) {
        std::set<std::pair<double, double>> spots;
        for (const QRectF& dot : ElementView::lewisDots(n, {0, 0}, symbol)) {
            EXPECT_EQ(dot.size(), QSizeF(4, 4));
            spots.insert({dot.x(), dot.y()});
        }
        return spots;
    };
    using S = std::set<std::pair<double, double>>;
    EXPECT_EQ(at(1), (S{{8, -4}}));
    EXPECT_EQ(at(2), (S{{4, -4}, {12, -4}}));
    EXPECT_EQ(at(3), (S{{4, -4}, {12, -4}, {18, 6}}));
    EXPECT_EQ(at(4), (S{{4, -4}, {12, -4}, {18, 6}, {8, 16}}));
    EXPECT_EQ(at(5), (S{{4, -4}, {12, -4}, {18, 6}, {8, 16}, {-2, 6}}));
    EXPECT_EQ(at(6), (S{{4, -4}, {12, -4}, {8, 16}, {-2, 6}, {18, 2}, {18, 10}}));
    EXPECT_EQ(at(7), (S{{4, -4}, {12, -4}, {4, 16}, {12, 16}, {-2, 6}, {18, 2}, {18, 10}}));
    EXPECT_EQ(at(8), (S{{4, -4}, {12, -4}, {4, 16}, {12, 16}, {-2, 2}, {-2, 10}, {18, 2}, {18, 10}}));
    EXPECT_TRUE(at(0).empty());
    EXPECT_TRUE(at(9).empty());

    const ElementDatabase& db = ElementDatabase::elementDatabase();
    EXPECT_EQ(db.lewisDot(Ne), 8);
    EXPECT_EQ(db.lewisDot(He), 2);
    EXPECT_EQ(db.lewisDot(Fe), 0);
}

// Black pixels in the picture of the details around the Lewis row's value column.
int dotPixels(ElementView& view)
{
    const QImage image = view.grab().toImage();
    int n = 0;
    const int top = static_cast<int>(ElementView::lewisTop()) - 8;
    for (int y = top; y < top + 40 && y < image.height(); ++y)
        for (int x = static_cast<int>(ElementView::kValueX) - 20; x < ElementView::kValueX + 60; ++x)
            n += QColor(image.pixel(x, y)).lightness() < 80;
    return n;
}

TEST(ElementView, ThePictureHasBandsAndTheDotsOnlyWhereThereAreAny)
{
    ElementView view;
    view.resize(390, ElementView::kHeight);
    view.setElement(Ne);
    const QImage neon = view.grab().toImage();
    // Every second row on the light band, at its right end where no text reaches.
    const QColor band = QColor::fromRgbF(0.82f, 0.92f, 0.99f);
    EXPECT_EQ(neon.pixel(386, static_cast<int>(ElementView::fieldTop(1)) + 9), band.rgb());
    EXPECT_EQ(neon.pixel(386, static_cast<int>(ElementView::fieldTop(2)) + 9), QColor(Qt::white).rgb());
    EXPECT_GT(dotPixels(view), 40) << "Ne and its eight dots";
    view.setElement(Fe);
    EXPECT_EQ(dotPixels(view), 0) << "no Lewis row for a transition metal";
    view.setElement(0);
    EXPECT_EQ(view.grab().toImage().pixel(10, 5), QColor(Qt::white).rgb()) << "nothing shown";
}

// ---- The screen ----

struct Size {
    const char* name;
    QSize size;
    int device;
};

const Size kSizes[] = {{"phone", {390, 800}, 0}, {"tablet", {768, 1000}, 1}};

class PeriodicTableScreenTest : public ::testing::TestWithParam<Size> {
protected:
    PeriodicTableScreenTest() : calc(kUS)
    {
        calc.device = GetParam().device;
        screen = std::make_unique<PeriodicTableScreen>(calc);
        screen->setLeave([this] { ++left; });
        screen->resize(GetParam().size);
        screen->show();
        screen->shown({});
        screen->updateDisplay();
    }
    void press(int key)
    {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(screen.get(), &event);
    }
    // The centre of a place of the grid in the screen.
    QPoint cell(int row, int column) const
    {
        PeriodicTableView& table = screen->table();
        return table.mapTo(screen.get(), table.cellRect(row, column).center().toPoint());
    }

    Calculator calc;
    std::unique_ptr<PeriodicTableScreen> screen;
    int left = 0;
};

TEST_P(PeriodicTableScreenTest, PropertiesSetTheModeTitleAndSlider)
{
    EXPECT_EQ(screen->title(), "Series");
    EXPECT_FALSE(screen->sliderShown());
    screen->didSelectProperty(7, 4);
    EXPECT_EQ(screen->table().displayMode(), 7);
    EXPECT_EQ(screen->table().ionizationLevel(), 4);
    EXPECT_EQ(screen->slider().value(), 5);
    EXPECT_EQ(screen->title(), "Ionization[5](kJ/mol)");
    EXPECT_TRUE(screen->sliderShown());
    EXPECT_FALSE(screen->unitShown());
    screen->slider().setValue(2);
    EXPECT_EQ(screen->table().ionizationLevel(), 1);
    EXPECT_EQ(screen->title(), "Ionization[2](kJ/mol)");
    EXPECT_EQ(screen->valueText(), "2");

    screen->didSelectProperty(1, 0);
    EXPECT_EQ(screen->title(), "State");
    EXPECT_TRUE(screen->unitShown());
    EXPECT_EQ(screen->slider().minimum(), 0);
    EXPECT_EQ(screen->slider().maximum(), 6000);
    screen->slider().setValue(100);
    EXPECT_EQ(screen->table().temperature(), 100);
    EXPECT_EQ(screen->valueText(), "100");
    screen->didSelectProperty(14, 0);
    EXPECT_EQ(screen->title(), "Discovered");
    EXPECT_EQ(screen->table().displayMode(), 25);
    EXPECT_EQ(screen->table().year(), screen->slider().value()) << "the table shows the year the slider says";
    EXPECT_EQ(screen->valueText(), QString::number(screen->slider().value()));
    screen->didSelectProperty(13, 2);
    EXPECT_EQ(screen->title(), "Fusion Heat(kJ/mol)");
    EXPECT_FALSE(screen->sliderShown());
    screen->didSelectProperty(13, 7);
    EXPECT_EQ(screen->table().displayMode(), 24) << "a kind out of range keeps the mode";
    screen->didSelectProperty(9, 2);
    EXPECT_EQ(screen->title(), "Vikers Hardness(MPa)");
}

TEST_P(PeriodicTableScreenTest, ThePickerSlidesReloadsAndClosesOnTheDarkArea)
{
    clickAt(*screen, screen->propertiesButton().mapTo(screen.get(), screen->propertiesButton().rect().center()));
    PeriodicConfigurePanel* picker = screen->picker();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(picker->sliding());
    animations().finish();
    EXPECT_FALSE(picker->sliding());
    EXPECT_EQ(picker->panel()->y(), 0);
    EXPECT_EQ(picker->column(0)->count(), 15);
    picker->selectRow(0, 8);  // Radius
    EXPECT_EQ(picker->column(1)->count(), 4);
    EXPECT_EQ(picker->column(1)->item(0)->text(), "Calclated");
    picker->selectRow(1, 3);
    EXPECT_EQ(screen->title(), "Van der Waals Radius(pm)");
    picker->selectRow(0, 13);  // Heat
    EXPECT_EQ(picker->column(1)->count(), 3);
    EXPECT_EQ(screen->title(), "Fusion Heat(kJ/mol)") << "the kind's row stays where the new list has it";
    picker->selectRow(0, 7);
    EXPECT_EQ(picker->column(1)->count(), 30);
    EXPECT_EQ(picker->column(1)->item(29)->text(), "30");
    // The darkened screen below the panel.
    picker->hide();
    const QImage light = screen->grab().toImage();
    picker->show();
    const QImage dark = screen->grab().toImage();
    const QPoint below(screen->width() / 2, screen->height() - 20);
    const QColor was(light.pixel(below)), is(dark.pixel(below));
    EXPECT_NEAR(is.red(), was.red() / 2, 2);
    EXPECT_NEAR(is.green(), was.green() / 2, 2);
    EXPECT_NEAR(is.blue(), was.blue() / 2, 2);
    clickAt(*screen, below);
    animations().finish();
    EXPECT_TRUE(picker->isHidden());
    EXPECT_EQ(left, 0);
}

// The picker's highlight marks the chosen row of each column inside that column: a
// property without kinds leaves its lone empty row unmarked, so the band of "Series" ends
// at its own list's edge instead of running on across the second column.
TEST_P(PeriodicTableScreenTest, EachHighlightStaysInsideItsList)
{
    clickAt(*screen, screen->propertiesButton().mapTo(screen.get(), screen->propertiesButton().rect().center()));
    PeriodicConfigurePanel* picker = screen->picker();
    ASSERT_NE(picker, nullptr);
    animations().finish();
    const QColor highlight(70, 110, 170);
    // The highlighted runs across the panel on the current row of a column.
    const auto runs = [&](int component) {
        QListWidget* list = picker->column(component);
        const QImage picture = picker->grab().toImage();
        const int y = list->viewport()->mapTo(picker, list->visualItemRect(list->currentItem()).center()).y();
        std::vector<std::pair<int, int>> found;
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c(picture.pixel(x, y));
            if (std::abs(c.red() - highlight.red()) + std::abs(c.green() - highlight.green())
                    + std::abs(c.blue() - highlight.blue()) > 30)
                continue;
            if (found.empty() || found.back().second != x - 1)
                found.emplace_back(x, x);
            else
                found.back().second = x;
        }
        return found;
    };
    const auto inside = [&](std::pair<int, int> run) {
        for (int component : {0, 1}) {
            QListWidget* list = picker->column(component);
            const QRect shown(list->viewport()->mapTo(picker, QPoint(0, 0)), list->viewport()->size());
            if (run.first >= shown.left() && run.second <= shown.right())
                return true;
        }
        return false;
    };
    for (const auto& [property, sub] : {std::pair{0, 0}, std::pair{8, 1}, std::pair{7, 7}, std::pair{14, 0}}) {
        picker->selectRow(0, property);
        picker->selectRow(1, sub);
        const auto marked = runs(0);
        ASSERT_FALSE(marked.empty()) << "property " << property;
        for (const auto& run : marked)
            EXPECT_TRUE(inside(run)) << "property " << property << ": highlight from " << run.first << " to " << run.second;
        const QListWidget* properties = picker->column(0);
        const QRect list(properties->viewport()->mapTo(picker, QPoint(0, 0)), properties->viewport()->size());
        EXPECT_GE(marked.front().first, list.left()) << property;
        EXPECT_LE(marked.front().second, list.right()) << property;
        if (PeriodicConfigurePanel::subRows(property).front().isEmpty()) {
            const QListWidget* kinds = picker->column(1);
            const int left = kinds->viewport()->mapTo(picker, QPoint(0, 0)).x();
            for (const auto& run : marked)
                EXPECT_LT(run.second, left) << "no second band for property " << property;
        } else {
            const auto kinds = runs(1);
            ASSERT_FALSE(kinds.empty()) << property;
            for (const auto& run : kinds)
                EXPECT_TRUE(inside(run)) << "kind of property " << property;
        }
    }
}

TEST_P(PeriodicTableScreenTest, ATapOpensTheElementAndEscapeClosesAStepAtATime)
{
    const QImage table = screen->grab().toImage();
    clickAt(*screen, cell(1, 15));
    ASSERT_EQ(screen->elementShown(), O);
    EXPECT_EQ(screen->detail()->title(), "O Oxygen");
    const QImage detail = screen->grab().toImage();
    EXPECT_NE(detail, table);
    // The detail's first rows: the label colour on white.
    int labelPixels = 0;
    const QPoint origin = screen->detail()->view().mapTo(screen.get(), QPoint(0, 0));
    for (int y = origin.y(); y < origin.y() + 16; ++y)
        for (int x = 2; x < 80; ++x)
            labelPixels += QColor(detail.pixel(x, y)).blue() > 60 && QColor(detail.pixel(x, y)).red() < 60;
    EXPECT_GT(labelPixels, 10);
    // The values beside them, in black, across the screen's width.
    EXPECT_EQ(screen->detail()->view().width(), screen->detail()->scroller().viewport()->width());
    int valuePixels = 0;
    for (int y = origin.y(); y < origin.y() + 16; ++y)
        for (int x = origin.x() + static_cast<int>(ElementView::kValueX); x < origin.x() + 230; ++x)
            valuePixels += QColor(detail.pixel(x, y)).lightness() < 60;
    EXPECT_GT(valuePixels, 10) << "\"8 \" beside \"Atomic #\"";
    press(Qt::Key_Escape);
    EXPECT_EQ(screen->elementShown(), 0);
    EXPECT_EQ(left, 0);
    clickAt(*screen, cell(5, 2));  // the empty place of group 3, period 6
    EXPECT_EQ(screen->elementShown(), 0);
    screen->showPicker();
    press(Qt::Key_Escape);
    animations().finish();
    EXPECT_TRUE(screen->picker()->isHidden());
    EXPECT_EQ(left, 0);
    press(Qt::Key_Escape);
    EXPECT_EQ(left, 1);
    clickAt(*screen, screen->leaveControl()->mapTo(screen.get(), screen->leaveControl()->rect().center()));
    EXPECT_EQ(left, 2);
}

TEST_P(PeriodicTableScreenTest, ADoubleClickOnAnElementZoomsTheTable)
{
    const QPoint at = cell(3, 7);
    clickAt(*screen, at);
    ASSERT_EQ(screen->elementShown(), Fe);
    // The second click of a double click lands on the details the first one opened.
    QWidget* target = widgetAt(*screen, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, target->mapFrom(screen.get(), QPointF(at)), screen->mapToGlobal(QPointF(at)),
        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &twice);
    EXPECT_EQ(screen->elementShown(), 0);
    EXPECT_DOUBLE_EQ(screen->table().scale(), screen->table().maxScale());
    // Details opened and then clicked in take a later double click as their own.
    clickAt(*screen, screen->table().portrait() ? cell(0, 17) : cell(0, 0));
    const int shown = screen->elementShown();
    ASSERT_NE(shown, 0);
    clickAt(*screen, QPoint(screen->width() / 2, screen->height() / 2));
    QApplication::sendEvent(widgetAt(*screen, at), &twice);
    EXPECT_EQ(screen->elementShown(), shown);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PeriodicTableScreenTest, ::testing::ValuesIn(kSizes),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orvenda::test
