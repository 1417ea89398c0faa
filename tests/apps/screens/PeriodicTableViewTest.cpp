// The periodic table view: the colours of each kind of mode (the scale, the state at a
// temperature, the year of discovery), the transform's bounds under pans, pinches, double
// taps and coasting (stepped, never timed), taps mapped to the element drawn there wide
// and tall, and the picture.

#include "apps/PeriodicTableView.h"
#include "numeric/ElementDatabase.h"
#include "pretty/FontMap.h"

#include "WidgetEvents.h"

#include <QFontMetricsF>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <set>

namespace orvenda::test {
namespace {

using View = PeriodicTableView;
using G = View::Gesture;

constexpr int H = 1, He = 2, O = 8, Ne = 10, F = 9, Fe = 26, Hg = 80, Rf = 104;

QColor rgb(int r, int g, int b) { return QColor(r, g, b); }

TEST(PeriodicTableColours, TheScaleRunsFromTheLowToTheHighColour)
{
    // Electronegativity halfway up its range.
    EXPECT_EQ(View::scaleColor(4, 2.5, 1, 4), rgb(222, 127, 44));
    EXPECT_EQ(View::scaleColor(4, 1, 1, 4), rgb(255, 255, 89));
    EXPECT_EQ(View::scaleColor(4, 4, 1, 4), rgb(190, 0, 0));
    EXPECT_EQ(View::scaleColor(22, 5000, 0, 5000), rgb(255, 19, 0));
    // A column whose known values are all equal has no width to divide by: the low colour.
    EXPECT_EQ(View::scaleColor(4, 3, 3, 3), rgb(255, 255, 89));
    EXPECT_EQ(View::scaleColor(12, 0, 0, 0), rgb(255, 204, 239));

    View view;
    view.resize(844, 340);
    view.setDisplayMode(View::Electronegativity);
    EXPECT_LT(view.rangeMin(), view.rangeMax());
    EXPECT_EQ(view.cellColor(F), rgb(190, 0, 0)) << "fluorine is the most electronegative";
    EXPECT_EQ(view.cellColor(He), QColor(Qt::white)) << "unknown";
    EXPECT_EQ(view.valueText(He), "?");
    view.setDisplayMode(View::CalculatedRadius);
    EXPECT_EQ(view.cellColor(87), QColor::fromRgbF(0.7f, 0.7f, 0.7f)) << "francium's radius is unknown: grey";
    view.setDisplayMode(View::VickersHardness);
    EXPECT_EQ(view.rangeMax(), 5000);
    view.setDisplayMode(View::FusionHeat);
    EXPECT_EQ(view.rangeMax(), 20);
    EXPECT_EQ(view.cellColor(74), QColor::fromRgbF(0.7f, 0.7f, 0.7f)) << "no fusion heat is known";
}

TEST(PeriodicTableColours, StateAndMeltingPointAtTheTemperature)
{
    View view;
    view.setDisplayMode(View::State);
    view.setTemperature(300);
    EXPECT_EQ(view.cellColor(Fe), QColor::fromRgbF(0.2f, 0.2f, 0.2f));
    EXPECT_EQ(view.valueText(Fe), "solid");
    EXPECT_EQ(view.cellColor(Hg), rgb(0, 0, 255));
    EXPECT_EQ(view.valueText(Hg), "liquid");
    EXPECT_EQ(view.cellColor(O), rgb(255, 0, 0));
    EXPECT_EQ(view.valueText(O), "gas");
    EXPECT_EQ(view.cellColor(Rf), rgb(102, 119, 101));
    EXPECT_EQ(view.valueText(Rf), "?");
    EXPECT_EQ(view.textColor(Fe), QColor(Qt::white));
    view.setTemperature(0);
    EXPECT_EQ(view.valueText(O), "solid");

    view.setDisplayMode(View::MeltingPoint);
    view.setTemperature(300);
    EXPECT_EQ(view.cellColor(Hg), rgb(126, 126, 255));
    EXPECT_EQ(view.cellColor(Fe), rgb(255, 126, 126));
    EXPECT_EQ(view.cellColor(Rf), rgb(200, 200, 200));
    EXPECT_EQ(view.valueText(Fe), "1808");
    EXPECT_EQ(view.textColor(O), QColor(Qt::red)) << "a gas at the temperature";
    EXPECT_EQ(view.textColor(Hg), QColor(Qt::black));
    EXPECT_EQ(view.textColor(Rf), QColor(Qt::black));
}

TEST(PeriodicTableColours, DiscoveredByTheYearAndIonizationLevels)
{
    View view;
    view.setDisplayMode(View::Discovered);
    for (int e = 1; e <= 118; ++e) {
        if (ElementDatabase::elementDatabase().intValueCol(ElementDatabase::ColDiscovered, e) > 0) {
            EXPECT_EQ(view.cellColor(e), QColor(Qt::white)) << e << " in year 0";
        }
    }
    view.setYear(1800);
    EXPECT_EQ(view.cellColor(O), View::seriesColor(3)) << "oxygen, 1774, a nonmetal";
    EXPECT_EQ(view.cellColor(He), QColor(Qt::white)) << "helium, 1895";

    view.setDisplayMode(View::Ionization);
    view.setIonizationLevel(4);
    EXPECT_EQ(view.cellColor(H), QColor(Qt::white)) << "hydrogen has one energy";
    EXPECT_EQ(view.valueText(H), "");
    view.setIonizationLevel(0);
    EXPECT_NE(view.cellColor(Ne), QColor(Qt::white));
    EXPECT_EQ(view.valueText(Ne), "2080.657945");

    view.setDisplayMode(View::Series);
    EXPECT_EQ(view.cellColor(He), View::seriesColor(5));
    EXPECT_EQ(View::formatFloat(12.0107), "12.0107");
    EXPECT_EQ(View::formatFloat(100), "100");
    EXPECT_EQ(View::formatFloat(0.5), "0.5");
    EXPECT_EQ(View::formatFloat(-3.25), "-3.25");
    // Decimals cut short round half away from zero, as round( does.
    EXPECT_EQ(View::formatFloat(2.675, 2), "2.68");
}

// An element's numbers print with a point whatever the process's locale, which Qt takes
// from the system at start-up.
TEST(PeriodicTableViewLocale, NumbersKeepTheirPointUnderAGermanLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    const QString mass = View::formatFloat(12.0107), rounded = View::formatFloat(1.005, 2);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(mass, "12.0107");
    EXPECT_EQ(rounded, "1.01");
}

// ---- Geometry, wide and tall ----

struct Shape {
    const char* name;
    QSize size;
};

const Shape kShapes[] = {{"phone", {390, 690}}, {"phoneWide", {844, 300}}, {"tablet", {768, 880}}, {"tabletWide", {1024, 640}}};

class PeriodicTableGeometry : public ::testing::TestWithParam<Shape> {
protected:
    PeriodicTableGeometry()
    {
        view.resize(GetParam().size);
        view.didSelectElement = [this](int e, QRectF) { tapped.push_back(e); };
        view.show();
        view.adjustCellSize();
    }
    QPointF centreOf(int row, int column) const { return view.cellRect(row, column).center(); }
    void expectInBounds() const
    {
        const double w = view.width(), h = view.height(), s = view.scale();
        EXPECT_GE(s, 1);
        EXPECT_LE(s, view.maxScale() + 1e-9);
        EXPECT_LE(view.translation().x(), 0);
        EXPECT_LE(view.translation().y(), 0);
        EXPECT_GE(view.translation().x(), w - w * s - 1e-9);
        EXPECT_GE(view.translation().y(), h - h * s - 1e-9);
    }

    View view;
    std::vector<int> tapped;
};

TEST_P(PeriodicTableGeometry, PansClampAndTheUnzoomedTableNeverMoves)
{
    view.pan(G::Began, {}, {});
    view.pan(G::Changed, {-200, -300}, {});
    view.pan(G::Ended, {-200, -300}, {});
    EXPECT_EQ(view.translation(), QPointF(0, 0));
    EXPECT_FALSE(view.coasting()) << "nothing to coast at scale 1";

    view.doubleTap();
    EXPECT_DOUBLE_EQ(view.scale(), view.maxScale());
    EXPECT_EQ(view.translation(), QPointF(0, 0)) << "the double tap keeps the translation";
    view.pan(G::Began, {}, {});
    view.pan(G::Changed, {-100000, -100000}, {});
    const double w = view.width(), h = view.height(), s = view.scale();
    EXPECT_DOUBLE_EQ(view.translation().x(), w - w * s);
    EXPECT_DOUBLE_EQ(view.translation().y(), h - h * s);
    view.pan(G::Changed, {100000, 100000}, {});
    EXPECT_EQ(view.translation(), QPointF(0, 0));
    view.pan(G::Changed, {-30, -40}, {});
    EXPECT_EQ(view.translation(), QPointF(-30, -40));
    view.pan(G::Ended, {-30, -40}, {});
    view.doubleTap();
    EXPECT_EQ(view.scale(), 1);
    EXPECT_EQ(view.translation(), QPointF(0, 0));
}

TEST_P(PeriodicTableGeometry, PinchesStopAtTheirBoundsAndKeepTheCentre)
{
    const QPointF centre(view.width() / 2.0, view.height() / 2.0);
    view.pinch(G::Began, centre - QPointF(50, 0), centre + QPointF(50, 0), centre);
    view.pinch(G::Changed, centre - QPointF(75, 0), centre + QPointF(75, 0), centre);
    EXPECT_NEAR(view.scale(), std::min(1.5, view.maxScale()), 1e-6);
    // The point under the fingers stays under them.
    const QPointF t = view.translation();
    EXPECT_NEAR((centre.x() - t.x()) / view.scale(), centre.x(), 1e-3);
    view.pinch(G::Changed, centre - QPointF(50000, 0), centre + QPointF(50000, 0), centre);
    EXPECT_DOUBLE_EQ(view.scale(), view.maxScale());
    expectInBounds();
    view.pinch(G::Changed, centre - QPointF(1, 0), centre + QPointF(1, 0), centre);
    EXPECT_DOUBLE_EQ(view.scale(), 1);
    EXPECT_EQ(view.translation(), QPointF(0, 0));
    view.pinch(G::Ended, {}, {}, centre);
    // One finger does not pinch; two fingers on one point do not divide by zero.
    view.pinch(G::Began, centre, centre + QPointF(100, 0), centre, 1);
    view.pinch(G::Changed, centre, centre + QPointF(400, 0), centre, 1);
    EXPECT_DOUBLE_EQ(view.scale(), 1);
    view.pinch(G::Began, centre, centre, centre);
    view.pinch(G::Changed, centre - QPointF(80, 0), centre + QPointF(80, 0), centre);
    EXPECT_DOUBLE_EQ(view.scale(), 1);
    expectInBounds();
}

TEST_P(PeriodicTableGeometry, ACoastStepsToAStopInsideTheBounds)
{
    view.doubleTap();
    const double w = view.width(), h = view.height();
    view.pan(G::Began, {}, {});
    view.pan(G::Changed, {-(w * view.scale() - w) / 2, -(h * view.scale() - h) / 2}, {});
    view.pan(G::Ended, {}, {60, 60});  // 60/24 + 60/24 is under the threshold of 6
    EXPECT_FALSE(view.coasting());
    const QPointF start = view.translation();
    view.pan(G::Began, {}, {});
    view.pan(G::Ended, {}, {-2400, 1200});
    ASSERT_TRUE(view.coasting());
    int steps = 0;
    while (view.coasting() && steps < 1000) {
        view.coast();
        ++steps;
        expectInBounds();
    }
    EXPECT_FALSE(view.coasting());
    EXPECT_LT(steps, 100) << "the velocity falls by a tenth each step";
    EXPECT_LT(view.translation().x(), start.x());
    EXPECT_GT(view.translation().y(), start.y());
    // A new touch stops a coast at once.
    view.pan(G::Began, {}, {});
    view.pan(G::Ended, {}, {2400, 0});
    ASSERT_TRUE(view.coasting());
    view.tap({1, 1});
    EXPECT_FALSE(view.coasting());
}

TEST_P(PeriodicTableGeometry, TapsFindTheElementDrawnThere)
{
    const auto everyCell = [this] {
        tapped.clear();
        std::vector<int> expected;
        for (int r = 0; r < View::kRows; ++r)
            for (int c = 0; c < View::kColumns; ++c) {
                const QRectF cell = view.cellRect(r, c);
                if (!QRectF(view.rect()).contains(cell))
                    continue;
                if (const int e = View::elementAt(r, c))
                    expected.push_back(e);
                view.tap(cell.center());
                // The cell's corners map to it too, past the f-block gap.
                view.tap(cell.topLeft() + QPointF(0.5, 0.5));
                view.tap(cell.bottomRight() - QPointF(0.5, 0.5));
            }
        std::vector<int> once;
        for (std::size_t k = 0; k < tapped.size(); k += 3) {
            EXPECT_EQ(tapped[k], tapped[k + 1]);
            EXPECT_EQ(tapped[k], tapped[k + 2]);
            once.push_back(tapped[k]);
        }
        EXPECT_EQ(once, expected);
        return expected.size();
    };
    EXPECT_EQ(everyCell(), 118u);
    // The empty place of group 3 in period 6 and the gap before the f-block select nothing.
    tapped.clear();
    view.tap(centreOf(5, 2));
    const QRectF actinide = view.cellRect(7, 3);
    view.tap(view.portrait() ? QPointF(actinide.left() - 3, actinide.center().y()) : QPointF(actinide.center().x(), actinide.top() - 3));
    view.tap({5, 5});
    EXPECT_TRUE(tapped.empty());
    // Zoomed and panned, the taps still follow the drawing.
    view.doubleTap();
    view.pan(G::Began, {}, {});
    view.pan(G::Changed, {-view.width() * 0.5, -view.height() * 0.5}, {});
    EXPECT_GT(everyCell(), 0u);
}

TEST_P(PeriodicTableGeometry, TheTurnedTableHasGroupEighteenOnTop)
{
    if (!view.portrait()) {
        EXPECT_LT(view.cellRect(0, 0).left(), view.cellRect(0, 17).left());
        EXPECT_EQ(view.cellRect(0, 0).top(), view.cellRect(0, 17).top());
        return;
    }
    const QRectF hydrogen = view.cellRect(0, 0), helium = view.cellRect(0, 17);
    EXPECT_EQ(hydrogen.left(), helium.left()) << "both in the first screen column";
    EXPECT_DOUBLE_EQ(helium.top(), View::kHeaderHeight);
    EXPECT_NEAR(hydrogen.bottom() + 2, view.height(), 1e-6);
}

TEST_P(PeriodicTableGeometry, MouseDragsPanAndClicksTap)
{
    view.doubleTap();
    const QPoint from(view.width() / 2, view.height() / 2);
    const auto send = [this](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), view.mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, from + QPoint(-40, -30), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, from + QPoint(-80, -60), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, from + QPoint(-80, -60), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(tapped.empty()) << "a drag is no tap";
    view.pan(G::Began, {}, {});  // stops any coast the drag threw
    view.pan(G::Ended, {}, {});
    const QPointF t = view.translation();
    EXPECT_EQ(t, QPointF(-80, -60));
    const QPointF oxygen = centreOf(1, 15);
    clickAt(view, oxygen.toPoint());
    ASSERT_EQ(tapped.size(), 1u);
    EXPECT_EQ(tapped[0], O);
}

// A value wider than its cell ("126.90447" in a phone's narrow cells) keeps fewer digits: the
// cell's outermost columns keep its colour along the value's line, unzoomed and zoomed.
TEST_P(PeriodicTableGeometry, EveryValueStaysInsideItsCell)
{
    view.setDisplayMode(View::Series);
    for (const bool zoomed : {false, true}) {
        if (zoomed)
            view.doubleTap();
        const QImage picture = view.grab().toImage();
        ASSERT_EQ(picture.devicePixelRatio(), 1);
        int checked = 0;
        for (int r = 0; r < View::kRows; ++r)
            for (int c = 0; c < View::kColumns; ++c) {
                const int element = View::elementAt(r, c);
                const QRectF cell = view.cellRect(r, c);
                // Cells showing a value but no name or shells, whole in the picture; the block
                // labels' brackets end on the first cells of the two bottom rows.
                if (element == 0 || cell.height() <= 32 || cell.height() > 70 || !QRectF(view.rect()).contains(cell)
                    || (r >= 7 && c == 3))
                    continue;
                const QColor colour = view.cellColor(element);
                const int left = static_cast<int>(std::ceil(cell.left())), right = static_cast<int>(std::floor(cell.right())) - 1;
                const int top = static_cast<int>(std::ceil(cell.top() + 20)), bottom = static_cast<int>(std::floor(cell.bottom())) - 3;
                // Ink, not the blend of an edge on a fraction of a pixel.
                const auto ink = [&](QColor shown) {
                    return std::abs(shown.red() - colour.red()) + std::abs(shown.green() - colour.green())
                        + std::abs(shown.blue() - colour.blue()) > 60;
                };
                for (int y = top; y <= bottom; ++y)
                    for (int x : {left, right})
                        EXPECT_FALSE(ink(QColor(picture.pixel(x, y))))
                            << view.valueText(element).toStdString() << " at " << x << "," << y << " zoomed " << zoomed;
                ++checked;
            }
        if (!zoomed && std::string(GetParam().name) == "phone") {
            EXPECT_GT(checked, 100);
        }
    }
}

// The weights too long for a cell keep fewer decimals, rounded, rather than shrinking out
// of reach: in the picture every value line's digits stand at least as tall as the atomic
// numbers' (Helvetica 10), unzoomed and zoomed.
TEST_P(PeriodicTableGeometry, EveryWeightIsAsTallAsTheAtomicNumbers)
{
    view.setDisplayMode(View::Series);
    const double digit = QFontMetricsF(FontMap::shared().font("Helvetica", 10)).tightBoundingRect(QStringLiteral("0")).height();
    for (const bool zoomed : {false, true}) {
        if (zoomed)
            view.doubleTap();
        const QImage picture = view.grab().toImage();
        int checked = 0;
        for (int r = 0; r < View::kRows; ++r)
            for (int c = 0; c < View::kColumns; ++c) {
                const int element = View::elementAt(r, c);
                const QRectF cell = view.cellRect(r, c);
                // Cells showing a value below the symbol but no name, whole in the picture.
                if (element == 0 || cell.height() <= 32 || cell.height() > 70 || !QRectF(view.rect()).contains(cell))
                    continue;
                const double symbolLine = std::min(cell.height() - 9 - 11, 28.0);
                const QColor colour = view.cellColor(element), text = view.textColor(element);
                const auto apart = [](const QColor& a, const QColor& b) {
                    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
                };
                // Rows with a pixel at least halfway from the cell's colour to the text's.
                int first = -1, last = -1;
                for (int y = static_cast<int>(std::ceil(cell.top() + 7 + symbolLine)); y < static_cast<int>(cell.bottom()); ++y)
                    for (int x = static_cast<int>(std::ceil(cell.left())) + 1; x < static_cast<int>(cell.right()) - 1; ++x) {
                        if (2 * apart(QColor(picture.pixel(x, y)), colour) >= apart(text, colour)) {
                            first = first < 0 ? y : first;
                            last = y;
                            break;
                        }
                    }
                ASSERT_GE(first, 0) << "no value in the cell of " << element;
                EXPECT_GE(last - first + 1, digit - 1) << "element " << element << " zoomed " << zoomed;
                ++checked;
            }
        if (!zoomed && std::string(GetParam().name) == "phone") {
            EXPECT_GT(checked, 100);
        }
    }
}

// The text a weight keeps: the weight rounded to as many decimals as fit the cell in the
// values' font, all of them where they fit.
TEST_P(PeriodicTableGeometry, ALongWeightIsRoundedToWhatFits)
{
    view.setDisplayMode(View::Series);
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica", 11));
    const ElementDatabase& db = ElementDatabase::elementDatabase();
    for (const bool zoomed : {false, true}) {
        if (zoomed)
            view.doubleTap();
        const double room = view.cellRect(0, 0).width() - 2;
        for (int element = 1; element <= db.count(); ++element) {
            const QString whole = View::formatFloat(db.mass(element));
            const QString shown = view.shownValue(element);
            const qsizetype point = shown.indexOf(QLatin1Char('.'));
            const int decimals = point < 0 ? 0 : static_cast<int>(shown.size() - point - 1);
            EXPECT_EQ(shown, View::formatFloat(db.mass(element), decimals)) << whole.toStdString() << " rounded";
            if (shown == whole)
                continue;
            EXPECT_LE(metrics.horizontalAdvance(shown), room) << shown.toStdString();
            for (int more = decimals + 1; more <= 10; ++more) {
                const QString longer = View::formatFloat(db.mass(element), more);
                if (longer != shown) {
                    EXPECT_GT(metrics.horizontalAdvance(longer), room) << shown.toStdString() << " keeps every decimal that fits";
                }
            }
        }
        // Fluorine's weight, 18.998403: the phone's narrow cells keep three decimals, turned
        // four; a tablet's, and every zoomed cell, all six.
        const std::string name = GetParam().name;
        const char* fluorine = zoomed || name.starts_with("tablet") ? "18.998403" : name == "phone" ? "18.998" : "18.9984";
        EXPECT_EQ(view.shownValue(F), fluorine) << "zoomed " << zoomed;
    }
    EXPECT_EQ(View::formatFloat(18.998403, 2), "19");
    EXPECT_EQ(View::formatFloat(4.002602, 3), "4.003");
}

// The picture: the cells in their colours between the fixed header bands.
TEST_P(PeriodicTableGeometry, ThePictureShowsTheColours)
{
    const QImage series = view.grab().toImage();
    ASSERT_FALSE(series.isNull());
    const auto at = [](const QImage& image, QPointF p) { return QColor(image.pixel(p.toPoint())); };
    // Beside the symbol: a cell's lower left corner is bare colour.
    const auto corner = [this](int row, int column) {
        const QRectF cell = view.cellRect(row, column);
        // Whole pixels clear of the edges, which blend with the black around.
        return QPointF(std::ceil(cell.left()) + 1, std::floor(cell.bottom()) - 2);
    };
    EXPECT_EQ(at(series, corner(0, 0)), View::seriesColor(3)) << "hydrogen";
    EXPECT_EQ(at(series, corner(1, 0)), View::seriesColor(0)) << "lithium";
    EXPECT_EQ(at(series, QPointF(view.width() - 3, 3)), QColor::fromRgbF(0.2f, 0.2f, 0.2f)) << "the top band";
    EXPECT_EQ(at(series, QPointF(3, view.height() - 3)), QColor::fromRgbF(0.2f, 0.2f, 0.2f)) << "the left band";
    int textPixels = 0;
    const QRectF neon = view.cellRect(1, 17);
    for (int y = static_cast<int>(neon.top()); y < neon.bottom(); ++y)
        for (int x = static_cast<int>(neon.left()); x < neon.right(); ++x)
            textPixels += QColor(series.pixel(x, y)) != View::seriesColor(5);
    EXPECT_GT(textPixels, 20) << "the number and symbol are written";

    view.setDisplayMode(View::State);
    view.setTemperature(300);
    const QImage state = view.grab().toImage();
    EXPECT_EQ(at(state, corner(1, 15)), QColor(255, 0, 0)) << "oxygen, a gas";
    EXPECT_EQ(at(state, corner(5, 11)), QColor(0, 0, 255)) << "mercury, a liquid";
    EXPECT_EQ(at(state, corner(3, 7)), QColor::fromRgbF(0.2f, 0.2f, 0.2f)) << "iron, a solid";

    // Zoomed all the way, a cell is tall enough for its name, value and shells.
    view.setDisplayMode(View::Series);
    view.doubleTap();
    const QImage zoomed = view.grab().toImage();
    EXPECT_NE(zoomed, series);
    const QRectF hydrogen = view.cellRect(0, 0);
    ASSERT_GT(hydrogen.height(), 74) << "tall enough for every line";
    if (QRectF(view.rect()).contains(hydrogen)) {
        EXPECT_EQ(at(zoomed, QPointF(std::floor(hydrogen.right()) - 2, std::floor(hydrogen.bottom()) - 2)), View::seriesColor(3));
    }
}

// The radius, hardness, modulus and conductivity modes, the valence and the later
// ionization levels have data: iron's cell is drawn in a colour of the mode's scale, not
// the white or grey of an unknown value, and the cells differ from one another.
TEST_P(PeriodicTableGeometry, TheFilledModesColourTheCells)
{
    const auto corner = [this](int row, int column) {
        const QRectF cell = view.cellRect(row, column);
        return QPoint(static_cast<int>(std::ceil(cell.left())) + 1, static_cast<int>(std::floor(cell.bottom())) - 2);
    };
    const QColor unknownGrey = QColor::fromRgbF(0.7f, 0.7f, 0.7f);
    const int modes[] = {View::Valence, 8, 9, 12, 13, 14, 15, 16, 17, 20, 21, View::Ionization};
    for (int mode : modes) {
        view.setDisplayMode(mode);
        view.setIonizationLevel(mode == View::Ionization ? 5 : 0);  // the sixth energy
        const QImage picture = view.grab().toImage();
        const QColor iron(picture.pixel(corner(3, 7)));
        EXPECT_EQ(iron, view.cellColor(Fe)) << mode;
        EXPECT_NE(iron, QColor(Qt::white)) << mode;
        EXPECT_NE(iron, unknownGrey) << mode;
        std::set<QRgb> colours;
        for (int column = 3; column < 12; ++column)
            colours.insert(picture.pixel(corner(4, column)));  // yttrium to cadmium
        EXPECT_GE(colours.size(), 3u) << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PeriodicTableGeometry, ::testing::ValuesIn(kShapes),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace orvenda::test
