#include "graph/PlotStroke.h"

#include <QPainter>

#include <cmath>
#include <limits>

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

int PlotStroke::dropStraightPoints(QPointF* points, int count)
{
    if (count < 3)
        return count;
    constexpr double kOpen = std::numeric_limits<double>::infinity();
    int kept = 1;
    QPointF anchor = points[0];
    // The last point seen, the one a chord from the anchor would end at.
    QPointF last = points[1];
    // The slopes from the anchor that pass within kStraight of every point between the
    // anchor and `last`.
    double lo = -kOpen, hi = kOpen;
    for (int i = 2; i < count; ++i) {
        const QPointF next = points[i];
        const double dl = last.x() - anchor.x(), dn = next.x() - anchor.x();
        bool straight = dl > 0 && dn > dl;
        if (straight) {
            const double l = std::max(lo, (last.y() - kStraight - anchor.y()) / dl);
            const double h = std::min(hi, (last.y() + kStraight - anchor.y()) / dl);
            const double slope = (next.y() - anchor.y()) / dn;
            straight = slope >= l && slope <= h;
            if (straight) {
                lo = l;
                hi = h;
            }
        }
        if (!straight) {
            points[kept++] = last;
            anchor = last;
            lo = -kOpen;
            hi = kOpen;
        }
        last = next;
    }
    points[kept++] = last;
    return kept;
}

const QPen& PlotStroke::roundPen(QPen& cached, const QColor& color, double width)
{
    if (cached.color() != color || cached.widthF() != width || cached.capStyle() != Qt::RoundCap)
        cached = QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return cached;
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
