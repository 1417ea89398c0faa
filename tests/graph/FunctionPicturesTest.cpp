// Ten standard functions graphed as Y₁ on a phone-sized graph (320 × 480 points, x in
// -10..10 and y in -15..15: 16 points a unit, the origin at (160, 240)), checked at chosen
// pixels: on the curve, off it (where a false connector or a stray segment would be), down
// dashed asymptotes and through columns where the function has no value.

#include "graph/GraphView.h"

#include "GraphTestSupport.h"
#include "app/YEqModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace orvenda {
namespace {

constexpr int kY1 = 0x5E10;
constexpr double kPi = std::numbers::pi;

struct Picture {
    const char* text;
    std::vector<QPointF> on;
    std::vector<QPointF> off;
    std::vector<double> asymptotes;
    std::vector<double> emptyColumns;
};

QPoint pixel(double x, double y) { return QPoint(int(std::floor(160 + 16 * x)), int(std::floor(240 - 16 * y))); }

// The curve is drawn in pure blue over a graph without grid or axes.
bool blue(QRgb c) { return qBlue(c) > 150 && qRed(c) < 120 && qGreen(c) < 120; }

bool blueNear(const QImage& image, QPoint at)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.rect().contains(p) && blue(image.pixel(p)))
                return true;
        }
    return false;
}

double blueShare(const QImage& image, int column)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += blue(image.pixel(column, y));
    return double(count) / image.height();
}

TEST(FunctionPictures, TenStandardFunctionsAtThePhoneSize)
{
    const double e2 = std::exp(2.0), ln5 = std::log(5.0), tan1 = std::tan(1.0);
    const std::vector<Picture> pictures = {
        {"X³/10-X", {{-3, 0.3}, {0.5, -0.4875}, {4, 2.4}}, {{2, 0.8}}, {}, {}},
        {"1/X", {{1, 1}, {-2, -0.5}, {0.1, 10}}, {{-1, 1}, {1, -1}}, {0}, {}},
        {"√(X)", {{0, 0}, {4, 2}, {9, 3}}, {{4, -2}}, {}, {-1, -5}},
        {"sin(1000X)", {{-5, 0}, {0, 0}, {5, 0}}, {{0, 2}, {3, -2}}, {}, {}},
        {"int(X)", {{0.5, 0}, {1.5, 1}, {-2.5, -3}}, {{1, 0.5}, {-2, -2.5}}, {}, {}},
        {"tan(X)", {{0, 0}, {1, tan1}, {1.5, std::tan(1.5)}}, {{0, 3}},
         {kPi / 2, -kPi / 2, 3 * kPi / 2, -3 * kPi / 2, 5 * kPi / 2, -5 * kPi / 2}, {}},
        {"e^(X)", {{0, 1}, {2, e2}, {-3, std::exp(-3.0)}}, {{0, -1}, {2, 5}}, {}, {}},
        {"ln(X)", {{1, 0}, {5, ln5}, {0.5, std::log(0.5)}}, {{5, 0}}, {}, {-2, -8}},
        {"abs(X)", {{-3, 3}, {0, 0}, {4, 4}}, {{0, 2}}, {}, {}},
        {"-X(X<0)+(X/2+3)(X≥0)", {{-2, 2}, {2, 4}, {-6, 6}}, {{0, 1.5}}, {}, {}},
    };
    for (const Picture& picture : pictures) {
        Calculator calc;
        auto eq = std::make_shared<YEqModel>(calc);
        calc.yEqManager = eq;
        calc.locked()->drawGrid = calc.locked()->drawAxes = false;
        calc.setAngleFormat(1);  // radians
        ASSERT_EQ(eq->setYEqFunc(kY1, testing::ops(picture.text)), 0);
        eq->setColor(VQColor::colorR(0, 0, 1, 1), kY1);
        {
            GraphView view(calc);
            view.resize(320, 480);
            view.zoom({-10, 10, -15, 15});
            view.updateWindowVars();
            view.updateDisplay();
            const QImage image = view.image();
            ASSERT_EQ(image.size(), QSize(320, 480));
            for (const QPointF& p : picture.on)
                EXPECT_TRUE(blueNear(image, pixel(p.x(), p.y()))) << picture.text << " on " << p.x() << ", " << p.y();
            for (const QPointF& p : picture.off)
                EXPECT_FALSE(blueNear(image, pixel(p.x(), p.y()))) << picture.text << " off " << p.x() << ", " << p.y();
            for (double x : picture.asymptotes) {
                // Dashes 12 on and 4 off down one column.
                const int column = pixel(x, 0).x();
                const double share = std::max({blueShare(image, column - 1), blueShare(image, column),
                                               blueShare(image, column + 1)});
                EXPECT_GT(share, 0.6) << picture.text << " asymptote " << x;
                EXPECT_LT(share, 0.95) << picture.text << " asymptote " << x;
            }
            for (double x : picture.emptyColumns)
                EXPECT_EQ(blueShare(image, pixel(x, 0).x()), 0) << picture.text << " column " << x;
        }
        calc.yEqManager.reset();
    }
}

} // namespace
} // namespace orvenda
