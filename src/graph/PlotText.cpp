#include "graph/PlotText.h"

#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

namespace orvenda {

namespace {

constexpr double kFontSize = 16;
constexpr double kLineHeight = 16;

} // namespace

PlotText::PlotText(Calculator& c) : PlotObject(c)
{
    plotType = PlotObject::PlotText;
}

void PlotText::drawRect(const QRectF&, QPainter& context, const GraphTransform& t, int)
{
    if (!GraphGeometry::transformIsFinite(t))
        return;
    const QFont font = FontMap::shared().font(alignment < 1 ? "Helvetica" : "CourierNewPS-BoldMT", kFontSize);
    const QFontMetricsF metrics(font);
    QPointF anchor;
    if (alignment > 0) {
        anchor = {t.a * x + t.tx, t.d * y + t.ty};
    } else {
        const QSizeF cell(metrics.horizontalAdvance(QStringLiteral("A")), metrics.height());
        anchor = {y * cell.width() / 4, x * cell.height() / 6};
    }
    const QStringList lines = QString::fromStdString(text).split(QStringLiteral("\\n"));
    double top = anchor.y();
    if (alignment >= 7)
        top -= lines.size() * kLineHeight / 2;
    else if (alignment >= 4)
        top -= lines.size() * kLineHeight;

    context.save();
    context.setFont(font);
    context.setPen(colorAt(1));
    for (const QString& line : lines) {
        const double width = metrics.horizontalAdvance(line);
        double offset = 0;
        if (alignment == 2 || alignment == 5 || alignment == 8)
            offset = width / 2;
        else if (alignment == 3 || alignment == 4 || alignment == 9)
            offset = width;
        // The line's box has its top-left corner at the point.
        context.drawText(QPointF(anchor.x() - offset, top + metrics.ascent()), line);
        top += kLineHeight;
    }
    context.restore();
}

} // namespace orvenda
