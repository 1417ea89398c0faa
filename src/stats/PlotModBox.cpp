#include "stats/PlotModBox.h"

#include "core/Calculator.h"
#include "numeric/VQStatistics.h"
#include "stats/StatPlotModel.h"

#include <QPainter>

#include <cmath>

namespace orvenda {

PlotModBox::PlotModBox(Calculator& calc) : PlotBox(calc)
{
    plotType = PlotObject::PlotModBox;
}

PlotModBox::Fences PlotModBox::fences(const VQStatistics& s)
{
    const double iqr = s.Q3 - s.Q1;
    return {s.Q1 - 1.5 * iqr, s.Q3 + 1.5 * iqr};
}

PlotBox::Whiskers PlotModBox::whiskers(const VQStatistics& s) const
{
    const Fences f = fences(s);
    // With no value inside, the whiskers end where they started.
    Whiskers w{f.low - 1, f.high};
    for (const VQNumber& v : s.listX.v()) {
        const double x = v.r();
        if (!f.inside(x))
            continue;
        if (w.lo < f.low)
            w.lo = x;
        w.hi = x;
    }
    return w;
}

void PlotModBox::drawMark(int mark, const QPointF& at, QPainter& context)
{
    const QRectF box(at.x() - 3, at.y() - 3, 6, 6);
    switch (mark) {
    case 0:
        context.setBrush(Qt::NoBrush);
        context.drawRect(box);
        break;
    case 1:
        context.drawLine(box.topLeft(), box.bottomRight());
        context.drawLine(box.topRight(), box.bottomLeft());
        break;
    case 2: {
        const QPen pen = context.pen();
        context.setPen(Qt::NoPen);
        context.drawEllipse(box);
        context.setPen(pen);
        break;
    }
    case 5:
        context.setBrush(Qt::NoBrush);
        context.drawEllipse(box);
        break;
    default:
        break;
    }
}

void PlotModBox::drawBeforeBox(QPainter& context, const GraphTransform& t, double centre, const VQStatistics& s)
{
    const StatPlotModel* model = StatPlotModel::of(calc);
    const int mark = model ? model->plotMark(eqNum) : 0;
    const Fences f = fences(s);
    const QColor ink = colorAt(1);
    context.setPen(QPen(ink, 1));
    for (const VQNumber& v : s.listX.v()) {
        const double x = v.r();
        if (f.inside(x) || std::isnan(x))
            continue;
        context.setBrush(ink);
        drawMark(mark, QPointF(x * t.a + t.tx, centre), context);
    }
}

std::vector<double> PlotModBox::candidates(const VQStatistics& s, double x) const
{
    std::vector<double> out;
    const Fences f = fences(s);
    double nearest = 0, best = INFINITY;
    for (const VQNumber& v : s.listX.v()) {
        const double value = v.r();
        if (!f.inside(value) && std::fabs(value - x) < best) {
            best = std::fabs(value - x);
            nearest = value;
        }
    }
    if (std::isfinite(best))
        out.push_back(nearest);
    const Whiskers w = whiskers(s);
    for (double value : {s.minX, s.Q1, s.medianX, s.Q3, s.maxX, w.lo, w.hi})
        out.push_back(value);
    return out;
}

std::string PlotModBox::nameFor(double x, const VQStatistics& s) const
{
    const std::string name = PlotBox::nameFor(x, s);
    // Whisker ends inside the data and outliers are plain values.
    return name == "maxX" && x != s.maxX ? "X" : name;
}

} // namespace orvenda
