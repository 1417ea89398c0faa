#pragma once

// Plot doubles and drawing helpers for the graph tests.

#include "core/Calculator.h"
#include "graph/GraphGeometry.h"
#include "graph/PlotObject.h"
#include "language/EntryText.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRectF>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvenda::testing {

// A plot that records the regions it is asked to draw and answers the zoom questions with
// what it is given. Drawing fills its region's middle with its colour.
class StubPlot : public PlotObject {
public:
    StubPlot(Calculator& calc, int type = PlotNone) : PlotObject(calc) { plotType = type; }

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform&, int q) override
    {
        drawn.push_back(rect);
        quality = q;
        context.fillRect(QRectF(rect.center() - QPointF(10, 10), QSizeF(20, 20)), colorAt(1));
    }
    Calculator::Bounds statBounds(const GraphTransform&) override { return stat; }
    Calculator::Rect boundsInRect(const QRectF&, const GraphTransform&) override { return fit; }

    std::vector<QRectF> drawn;
    int quality = 0;
    Calculator::Bounds stat{0, 0, 0, 0};
    Calculator::Rect fit;
};

// The graph with the origin in the middle of a size × size image, `scale` points per unit.
inline GraphTransform centred(double size, double scale)
{
    return {scale, 0, 0, -scale, size / 2, size / 2};
}

// The plot drawn over a transparent image covering the rectangle (0, 0, size, size).
inline QImage painted(PlotObject& plot, const GraphTransform& t, int size = 160)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    plot.drawRect(QRectF(0, 0, size, size), painter, t, 1);
    return image;
}

// An equation as typed, in tokens.
inline std::vector<std::uint32_t> ops(const std::string& text)
{
    static const EntryText entry;
    std::string bad;
    auto tokens = entry.toOps(text, bad);
    EXPECT_TRUE(tokens) << "no token for " << bad;
    return tokens.value_or(std::vector<std::uint32_t>());
}

inline bool blank(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

} // namespace orvenda::testing
