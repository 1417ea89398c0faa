#pragma once

// Plot doubles and drawing helpers for the graph tests.

#include "core/Calculator.h"
#include "graph/GraphGeometry.h"
#include "graph/PlotObject.h"
#include "language/EntryText.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
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

// A paint device that keeps nothing and counts the lines stroked on it (each subpath of
// a path, each line of a line list).
class LineCounter : public QPaintDevice {
public:
    int lines = 0;
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight: return 100000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 72;
        case PdmDepth: return 32;
        case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
        default: return 1;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(LineCounter& device) : QPaintEngine(AllFeatures), device_(device) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath& path) override
        {
            for (int i = 0; i < path.elementCount(); ++i)
                device_.lines += path.elementAt(i).isMoveTo() ? 1 : 0;
        }
        void drawLines(const QLineF*, int count) override { device_.lines += count; }
        Type type() const override { return User; }

    private:
        LineCounter& device_;
    };
    mutable Engine engine_{*this};
};

inline bool blank(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

} // namespace orvenda::testing
