#include "graph/GraphText.h"

#include "GraphTestSupport.h"
#include "core/DrawObject.h"
#include "graph/GraphView.h"
#include "graph/PlotLine.h"
#include "pretty/FontMap.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isRed(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80;
}

int countInk(const QImage& image, const QRect& area, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixel(x, y));
    return n;
}

class GraphTextTest : public ::testing::Test {
protected:
    GraphTextTest() : view(calc)
    {
        view.resize(320, 320);
        view.zoom({-10, 10, -10, 10});
    }
    GraphText& text() { return *qobject_cast<GraphText*>(view.graphTextView); }
    QImage overlay()
    {
        QImage image(320, 320, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        text().drawRect(painter, QRectF(0, 0, 320, 320));
        return image;
    }
    const AxisLabels::Label* label(const std::string& s)
    {
        for (const auto& l : text().labels().labels)
            if (l.text == s)
                return &l;
        return nullptr;
    }
    static double width(const std::string& s)
    {
        return QFontMetricsF(FontMap::shared().font("Helvetica", 14)).horizontalAdvance(QString::fromStdString(s));
    }
    // A selected plot traced at view (160.5, 160.5) with the feature given.
    QImage traced(int feature, PlotPoint at = {0.03125, -0.03125, 0})
    {
        auto plot = std::make_shared<testing::StubPlot>(calc);
        plot->color = VQColor::colorR(0, 1, 0, 1);
        plot->setSelected(true);
        view.plotObjects() = {plot};
        calc.lockMagnifier = true;
        calc.pTrackPoint = at;
        calc.featureLock = feature;
        return overlay();
    }

    Calculator calc;
    GraphView view;
};

TEST_F(GraphTextTest, LabelsFaceTheInsideAndTheOriginStandsAside)
{
    overlay();
    // The y labels start 3 points right of the axis at 160.5; the origin has none.
    ASSERT_NE(label("5"), nullptr);
    const AxisLabels::Label* zero = label("0");
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->topLeft, QPointF(160.5 - width("0") - 3, 160.5));
    int yLabels = 0;
    for (const auto& l : text().labels().labels)
        yLabels += l.topLeft.x() == 163.5;
    EXPECT_EQ(yLabels, 4);  // 10, ±5, and 15 a step beyond the top edge
    // The other x labels are centred under their ticks, those at the edges moved inside
    // whole; the ticks a step beyond the edges have none.
    std::vector<std::string> xLabels;
    for (const auto& l : text().labels().labels) {
        if (l.topLeft.y() == 160.5 && l.text != "0") {
            xLabels.push_back(l.text);
            const double centred = 160.5 + 16 * std::stod(l.text) - width(l.text) / 2;
            EXPECT_EQ(l.topLeft.x(), std::clamp(centred, 0.0, 320 - width(l.text))) << l.text;
        }
    }
    EXPECT_EQ(xLabels, (std::vector<std::string>{"-10", "-5", "5", "10"}));

    // The origin off to the right: the y axis runs along the right edge, labels on its left.
    view.zoom({-30, -10, -10, 10});
    overlay();
    for (const auto& l : text().labels().labels) {
        if (l.topLeft.y() != 160.5) {
            EXPECT_EQ(l.topLeft.x() + width(l.text) + 3, 320.5) << l.text;
        }
    }

    // The x axis at the bottom edge: its labels go 20 points above it, and on the graph
    // screen its bar raises the bottom by 44.
    view.zoom({-10, 10, 0, 20});
    overlay();
    EXPECT_EQ(label("-5")->topLeft.y(), 300.5);
    calc.setCurrentScreen(8);
    overlay();
    EXPECT_EQ(label("-5")->topLeft.y(), 256.5);
}

// ZStandard's end labels are whole: "-10" at the left edge and "10" at the right, and the
// bottom y label stands above the bottom edge, as a picture shows them.
TEST_F(GraphTextTest, EndLabelsAreWholeInsideTheGraph)
{
    const QImage image = overlay();
    for (const auto& l : text().labels().labels) {
        if (l.topLeft.x() + width(l.text) < 0 || l.topLeft.y() < -10)
            continue;
        EXPECT_GE(l.topLeft.x(), 0) << l.text;
        EXPECT_LE(l.topLeft.x() + width(l.text), 320) << l.text;
        EXPECT_LE(l.topLeft.y() + QFontMetricsF(FontMap::shared().font("Helvetica", 14)).height(), 320.5) << l.text;
    }
    ASSERT_NE(label("-10"), nullptr);
    ASSERT_NE(label("10"), nullptr);
    // Under the x axis (clear of the ticks) the picture shows all of "-10" at the left edge.
    int firstInk = -1, lastInk = -1;
    for (int x = 0; x < 40; ++x)
        for (int y = 165; y < 180; ++y)
            if (qAlpha(image.pixel(x, y)) > 128) {
                firstInk = firstInk < 0 ? x : firstInk;
                lastInk = x;
            }
    EXPECT_GE(lastInk - firstInk + 1, width("-10") - 4);
}

// A y tick just above the bottom edge keeps its label whole above the edge, however close
// (its text would otherwise be cut, "-10" reading as "-1"), in windows not ZStandard's.
TEST_F(GraphTextTest, YLabelsNearTheBottomStayWhole)
{
    const double height = QFontMetricsF(FontMap::shared().font("Helvetica", 14)).height();
    for (const double yMin : {-10.2, -10.5, -10.05, -5.1}) {
        view.zoom({-10, 10, yMin, yMin + 20});
        overlay();
        int yLabels = 0;
        for (const auto& l : text().labels().labels) {
            if (l.topLeft.x() != 163.5)
                continue;
            ++yLabels;
            EXPECT_LE(l.topLeft.y() + height, 320.5) << l.text << " with Ymin " << yMin;
        }
        EXPECT_GE(yLabels, 3) << "Ymin " << yMin;
    }
}

TEST_F(GraphTextTest, PiAndExponentLabels)
{
    calc.locked()->graphXAxisLabelMode = 1;
    view.zoom({-std::numbers::pi, std::numbers::pi, -2, 2});
    overlay();
    EXPECT_NE(label("1/2\xCF\x80"), nullptr);
    EXPECT_NE(label("0\xCF\x80"), nullptr);

    calc.locked()->graphXAxisLabelMode = 0;
    view.zoom({-1e8, 1e8, -1e8, 1e8});
    overlay();
    EXPECT_NE(label("5.0e+07"), nullptr);
}

TEST_F(GraphTextTest, FarFromTheOriginAndZoomedInLabelsStayBounded)
{
    view.zoom({1e12 - 1e-6, 1e12 + 1e-6, 1e12 - 1e-6, 1e12 + 1e-6});
    overlay();
    EXPECT_LE(text().labels().ticks.size(), std::size_t(2 * AxisLabels::kMaxTicks));
}

TEST_F(GraphTextTest, TheMagnifierNamesTheFeature)
{
    // "max" above the point in red, a level red crosshair 3 points wide.
    QImage image = traced(PlotObject::FeatureMaximum);
    EXPECT_TRUE(isRed(image.pixel(190, 159)));
    EXPECT_TRUE(isRed(image.pixel(190, 161)));
    EXPECT_GT(countInk(image, QRect(171, 145, 30, 12), isRed), 10);
    EXPECT_EQ(countInk(image, QRect(171, 164, 30, 12), isRed), 0);
    // "min" level with the point: below the crosshair.
    image = traced(PlotObject::FeatureMinimum);
    EXPECT_EQ(countInk(image, QRect(171, 145, 30, 12), isRed), 0);
    EXPECT_GT(countInk(image, QRect(171, 164, 30, 12), isRed), 10);
    // Nothing snapped: a thin magenta crosshair.
    image = traced(PlotObject::FeatureNone);
    EXPECT_EQ(image.pixel(190, 160), qRgb(255, 0, 255));
    EXPECT_EQ(qAlpha(image.pixel(190, 162)), 0);

    // 19, a trace point without a value, a transform without one: no magnifier.
    EXPECT_EQ(qAlpha(traced(19).pixel(190, 160)), 0);
    EXPECT_EQ(qAlpha(traced(PlotObject::FeatureMaximum, {kNaN, 0, 0}).pixel(190, 160)), 0);
    auto note = std::make_shared<DrawText>();
    note->text = "A";
    note->alignment = 1;
    calc.drawing = {note};
    view.pan2Dx(kNaN, 0);
    EXPECT_TRUE(testing::blank(overlay()));
}

TEST_F(GraphTextTest, TheMagnifierFrameIsTheImageLibrarysRing)
{
    // The ring where it crosses the diagonal up and right of the point, clear of the
    // crosshair and the feature's name.
    const auto ring = [](const QImage& image) {
        QColor strongest;
        for (int y = 117; y <= 132; ++y)
            for (int x = 188; x <= 203; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() > strongest.alpha() || !strongest.isValid())
                    strongest = c;
            }
        return strongest;
    };
    // On a light background, dark grey and dark red while locked to a feature.
    calc.locked()->backgroundColor = VQColor::colorR(1, 1, 1, 1);
    const QColor plain = ring(traced(PlotObject::FeatureNone));
    EXPECT_GT(plain.alpha(), 200);
    EXPECT_LT(plain.red(), 110);
    EXPECT_NEAR(plain.red(), plain.blue(), 12);
    const QColor locked = ring(traced(PlotObject::FeatureZero));
    EXPECT_GT(locked.red(), locked.green() + 80);
    // On a dark one, light grey and light red.
    calc.locked()->backgroundColor = VQColor::colorR(0, 0, 0, 1);
    const QColor light = ring(traced(PlotObject::FeatureNone));
    EXPECT_GT(light.red(), 180);
    EXPECT_NEAR(light.red(), light.blue(), 12);
    const QColor lightLocked = ring(traced(PlotObject::FeatureZero));
    EXPECT_GT(lightLocked.red(), 200);
    EXPECT_GT(lightLocked.red(), lightLocked.green() + 60);
    // Nothing is drawn far inside the ring but the crosshair.
    EXPECT_EQ(qAlpha(traced(PlotObject::FeatureNone).pixel(180, 140)), 0);
}

TEST_F(GraphTextTest, TheTracedPlotsLinesShowTopLeft)
{
    auto line = std::make_shared<PlotLine>(calc);
    line->p1 = {-5, 1};
    line->p2 = {5, 2};
    line->color = VQColor::colorR(0, 1, 0, 1);
    line->setSelected(true);
    view.plotObjects() = {line};
    calc.lockMagnifier = true;
    calc.pTrackPoint = {0, 1.5, 0};
    const auto green = [](QRgb p) { return qGreen(p) > 150 && qRed(p) < 80; };
    for (bool mathPrint : {false, true}) {
        calc.locked()->mathPrint = mathPrint;
        EXPECT_GT(countInk(overlay(), QRect(2, 20, 100, 14), green), 20) << mathPrint;
    }
}

TEST_F(GraphTextTest, TextRecordsAreLaidOutByTheirAlignment)
{
    const auto place = [this](int alignment, const std::string& s) {
        auto note = std::make_shared<DrawText>();
        note->text = s;
        note->alignment = alignment;
        note->r = 1;
        note->g = note->b = 0;
        calc.drawing = {note};
        return overlay();
    };
    // At the graph's origin, view (160, 160); "\n" (backslash, n) breaks the line.
    QImage image = place(1, "AB\\nCD");
    EXPECT_GT(countInk(image, QRect(160, 161, 30, 14), isRed), 10);
    EXPECT_GT(countInk(image, QRect(160, 177, 30, 14), isRed), 10);
    EXPECT_EQ(countInk(image, QRect(160, 193, 30, 20), isRed) + countInk(image, QRect(120, 150, 40, 60), isRed), 0);
    image = place(2, "ABCD");
    EXPECT_GT(countInk(image, QRect(140, 161, 20, 14), isRed), 5);
    EXPECT_GT(countInk(image, QRect(161, 161, 20, 14), isRed), 5);
    // 4: the block raised by its height and ending at the point.
    image = place(4, "AB\\nCD");
    EXPECT_GT(countInk(image, QRect(120, 128, 40, 32), isRed), 20);
    EXPECT_EQ(countInk(image, QRect(120, 161, 80, 40), isRed) + countInk(image, QRect(161, 120, 40, 40), isRed), 0);

    // On white, the light colours 19 to 21 get a grey box; others a white one.
    calc.locked()->backgroundColor = VQColor::colorR(1, 1, 1, 1);
    const auto box = [&](int colour) {
        auto note = std::make_shared<DrawText>();
        note->text = "    ";
        note->tiTextColor = colour;
        calc.drawing = {note};
        return overlay().pixel(3, 24);
    };
    const QRgb grey = box(20);
    EXPECT_NEAR(qAlpha(grey), 128, 1);
    EXPECT_NEAR(qRed(grey), 0.58 * 128, 2);
    EXPECT_NEAR(qRed(box(11)), 128, 1);
}

} // namespace
} // namespace orvenda

namespace orvenda {
namespace {

// A feature snapped on the y axis is named beside the magnifier, never over an axis label.
TEST_F(GraphTextTest, TheFeatureNameKeepsClearOfTheAxisLabels)
{
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica", 14));
    const auto rectOf = [&](const AxisLabels::Label& l) {
        return QRectF(l.topLeft, QSizeF(metrics.horizontalAdvance(QString::fromStdString(l.text)), metrics.height()));
    };
    overlay();
    std::vector<double> values;
    for (const auto& l : text().labels().labels)
        if (!l.text.empty() && std::abs(rectOf(l).center().x() - 160) < 40) {
            // The labels write minus as U+2212.
            const QString plain = QString::fromStdString(l.text).replace(QChar(0x2212), QLatin1Char('-'));
            bool number = false;
            const double v = plain.toDouble(&number);
            if (number)
                values.push_back(v);
        }
    ASSERT_GE(values.size(), 4u) << "labels along the y axis";
    for (const double y : values) {
        traced(PlotObject::FeatureYIntercept, {0, y, 0});
        const QRectF name = text().featureLabelRect();
        ASSERT_FALSE(name.isEmpty());
        for (const auto& l : text().labels().labels)
            EXPECT_FALSE(name.intersects(rectOf(l))) << "y-intercept at " << y << " over the label " << l.text;
    }
    // Away from the labels it keeps its usual place, right of the point.
    traced(PlotObject::FeatureYIntercept, {3.03125, 5.03125, 0});
    EXPECT_GT(text().featureLabelRect().left(), 160 + 3 * 16);
}

} // namespace
} // namespace orvenda
