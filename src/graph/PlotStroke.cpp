#include "graph/PlotStroke.h"

#include <QPainter>

namespace orvenda {

void PlotStroke::clear()
{
    points_.clear();
    runs_.clear();
    open_ = 0;
}

void PlotStroke::endRun()
{
    const int end = int(points_.size());
    if (end - open_ >= 2) {
        runs_.push_back(open_);
        open_ = end;
        return;
    }
    points_.resize(std::size_t(open_));
}

void PlotStroke::stroke(QPainter& context, const QColor& color, bool thin, bool selected) const
{
    if (runs_.empty())
        return;
    if (selected) {
        QColor halo = color;
        halo.setAlphaF(0.3f);
        strokeRuns(context, halo, thin ? 8 : 7);
    }
    strokeRuns(context, color, selected || thin ? 2 : 4);
}

void PlotStroke::strokeRuns(QPainter& context, const QColor& color, double width) const
{
    context.setBrush(Qt::NoBrush);
    context.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        const int start = runs_[i];
        const int end = i + 1 < runs_.size() ? runs_[i + 1] : int(points_.size());
        context.drawPolyline(points_.data() + start, end - start);
    }
}

} // namespace orvenda
