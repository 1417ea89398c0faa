#pragma once

#include "graph/AxisLabels.h"
#include "graph/PlotObject.h"

#include <QRectF>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class QFont;
class QPainter;

namespace orvenda {

// The geometry app's figure on its graph: drawn to scale from the calculator slots the
// solver fills (it computes nothing back), filled at alpha 0.3 and outlined in its colour,
// with its parts labelled. A figure whose values are not finite draws nothing. Polygons of
// very many sides are drawn as their circle and curves take a bounded number of steps, so
// any typed value draws in bounded time. Main thread.
class PlotGeometry : public PlotObject {
public:
    explicit PlotGeometry(Calculator& calc);

    // The figure token (GeometryModel::Figure).
    std::uint32_t geometryFunction = 0x5C59;

    void drawRect(const QRectF& rect, QPainter& context, const GraphTransform& t, int quality) override;

    // The names the last drawing wrote beside the figure, with where each stands.
    struct Label {
        QString text;
        QRectF rect;
    };
    const std::vector<Label>& labels() const { return labels_; }

private:
    struct Paint;
    void drawLine(Paint& paint);
    void drawSquare(Paint& paint);
    void drawRectangle(Paint& paint);
    void drawParallelogram(Paint& paint);
    void drawTriangle(Paint& paint);
    void drawPolygon(Paint& paint);
    void drawCircle(Paint& paint);
    void drawArc(Paint& paint);
    void drawEllipse(Paint& paint);
    void drawUnitCircle(Paint& paint);
    double slot(int s) const;
    void takeAxisNumbers(const QRectF& rect, const GraphTransform& t, const QFont& font);

    // The figure's slots (160 to 211) as one drawing reads them, taken at once.
    static constexpr int kFirstSlot = 160, kSlotCount = 52;
    std::array<double, kSlotCount> slots_{};
    std::vector<Label> labels_;
    // The axes' numbers and ticks of the last drawing, kept to reuse their storage.
    AxisLabels::Layout axisLayout_;
    std::vector<QRectF> numbers_;
};

} // namespace orvenda
