// Strokes drop the samples a straight stretch does not need, and never one the eye could
// miss: every point dropped lies within a sixteenth of a point of the polyline kept.

#include "graph/PlotStroke.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvenda {
namespace {

// The vertical distance from p to the kept polyline where it spans p's x.
double offKept(const std::vector<QPointF>& kept, const QPointF& p)
{
    for (std::size_t i = 1; i < kept.size(); ++i) {
        const QPointF a = kept[i - 1], b = kept[i];
        if (p.x() >= a.x() && p.x() <= b.x() && b.x() > a.x())
            return std::fabs(a.y() + (b.y() - a.y()) * (p.x() - a.x()) / (b.x() - a.x()) - p.y());
    }
    return INFINITY;
}

std::vector<QPointF> thinned(std::vector<QPointF> points)
{
    points.resize(std::size_t(PlotStroke::dropStraightPoints(points.data(), int(points.size()))));
    return points;
}

TEST(PlotStroke, AStraightStretchKeepsItsEnds)
{
    std::vector<QPointF> line;
    for (int i = 0; i <= 300; ++i)
        line.emplace_back(i, 0.5 * i + 3);
    const std::vector<QPointF> kept = thinned(line);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept.front(), line.front());
    EXPECT_EQ(kept.back(), line.back());
}

TEST(PlotStroke, CurvesKeepEveryPointThatShows)
{
    for (const double scale : {1.0, 16.0, 200.0}) {
        std::vector<QPointF> curve;
        for (int i = 0; i <= 400; ++i)
            curve.emplace_back(i, scale * std::sin(i / 30.0) + (i > 200 ? 0.01 * (i - 200) * (i - 200) : 0));
        const std::vector<QPointF> kept = thinned(curve);
        EXPECT_LT(kept.size(), curve.size());
        EXPECT_EQ(kept.front(), curve.front());
        EXPECT_EQ(kept.back(), curve.back());
        for (const QPointF& p : curve)
            EXPECT_LE(offKept(kept, p), PlotStroke::kStraight + 1e-9) << "scale " << scale << " at " << p.x();
    }
}

TEST(PlotStroke, ACornerAndAStepAreKept)
{
    // A corner, then a vertical step (two points at one x), then a point behind.
    const std::vector<QPointF> points{{0, 0}, {1, 1}, {2, 2}, {3, 1}, {4, 0}, {4, 5}, {5, 5}, {4.5, 6}, {6, 6}};
    const std::vector<QPointF> kept = thinned(points);
    for (const QPointF& p : {QPointF(2, 2), QPointF(4, 0), QPointF(4, 5), QPointF(5, 5), QPointF(4.5, 6)})
        EXPECT_NE(std::find(kept.begin(), kept.end(), p), kept.end()) << p.x() << "," << p.y();
    EXPECT_EQ(std::find(kept.begin(), kept.end(), QPointF(1, 1)), kept.end());
}

// The pixels of a thinned stroke are those of the full one, as the graph's tests see them.
TEST(PlotStroke, AThinnedStrokeDrawsTheSamePixels)
{
    std::vector<QPointF> curve;
    for (int i = 0; i <= 160; ++i)
        curve.emplace_back(i, 80 + (i < 80 ? 0.5 * i : 40 + 30 * std::sin((i - 80) / 10.0)));
    const auto draw = [](const std::vector<QPointF>& points) {
        QImage image(320, 320, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::blue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(points.data(), int(points.size()));
        return image;
    };
    const QImage full = draw(curve), thin = draw(thinned(curve));
    int drawn = 0, largest = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x) {
            drawn += qAlpha(full.pixel(x, y)) > 0;
            largest = std::max(largest, std::abs(qAlpha(full.pixel(x, y)) - qAlpha(thin.pixel(x, y))));
        }
    // Only the shading of edge pixels moves, and by little.
    EXPECT_GT(drawn, 1000);
    EXPECT_LE(largest, 24) << "of 255";
}

} // namespace
} // namespace orvenda
