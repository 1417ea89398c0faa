#pragma once

#include "stats/PlotScatter.h"

#include <QPainterPath>

namespace orvenda {

// An xyLine stat plot: the scatter's pairs joined in list order (the lists are not
// sorted), then the residuals and the marks. Selected, the line gets a wide translucent
// halo under a thin line.
class PlotXYLine : public PlotScatter {
public:
    explicit PlotXYLine(Calculator& calc);

    std::optional<std::string> label() override;

protected:
    void drawPairs(const Pairs& lists, const QRectF& rect, QPainter& context, const GraphTransform& t) override;

private:
    QPainterPath path_;
};

} // namespace orvenda
