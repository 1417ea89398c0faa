#include "docs/GraphPdfView.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "core/VQGraphPtArray.h"
#include "drawing/DrawString.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VImageDraw.h"
#include "graph/AxisLabels.h"
#include "graph/GraphText.h"
#include "graph/GraphTile.h"
#include "graph/GraphView.h"
#include "language/VariableSlots.h"
#include "pretty/PrettyDrawInfo.h"
#include "pretty/PrettyPrint.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTextLine = 16;

QColor rgb(const VQColor& c, double alpha)
{
    return QColor::fromRgbF(float(c.r()), float(c.g()), float(c.b()), float(alpha));
}

bool isWhite(const VQColor& c) { return c.r() == 1 && c.g() == 1 && c.b() == 1; }

// Plot types traced by x (functions and curves over x), and those traced by a parameter.
bool tracedByX(int type)
{
    return type == 1 || type == 4 || type == 8 || type == 12 || type == 14 || type == 15 || type == 16;
}
bool tracedByT(int type) { return type == 2 || type == 3 || type == 6 || type == 7; }

} // namespace

GraphPdfView::GraphPdfView(Calculator& calc)
    : calc_(calc), prettyPrint_(std::make_unique<PrettyPrint>()), magnifier_(kNaN, kNaN)
{
    written_.reserve(32);
}

GraphPdfView::~GraphPdfView() = default;

PlotObject::PlotList& GraphPdfView::source() { return graphView_ ? graphView_->plotObjects() : plots_; }

QRectF GraphPdfView::graphRect(QSizeF page, bool landscape)
{
    const double gw = page.width() - 72, gh = page.height() - 104;
    return landscape ? QRectF(56, 36, gh, gw) : QRectF(36, 56, gw, gh);
}

QByteArray GraphPdfView::worksheetPDFLandscape(bool landscape)
{
    const Calculator::Rect paper = calc_.pdfPageRect();
    const QSizeF page(paper.width, paper.height);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setTitle(QString());
        writer.setCreator(QStringLiteral("Orvenda, a graphing calculator"));
        writer.setPageSize(QPageSize(page, QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        GraphicsContext context(painter);
        // Before the first line: without antialiasing Qt's PDF writer makes a pen of width 1
        // a hairline.
        painter.setRenderHint(QPainter::Antialiasing);
        QPen border(Qt::black, 1);
        border.setCosmetic(false);
        painter.setPen(border);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(QPointF(0, 0), page));
        if (landscape) {
            // Down by the page's height and a quarter turn back: the graph runs along the
            // long side.
            painter.translate(0, page.height());
            painter.rotate(-90);
        }
        graphInRect(context, graphRect(page, landscape));
    }
    return data;
}

int GraphPdfView::writeWorksheet(bool landscape, const QString& path)
{
    constexpr int kNotWritten = 70;
    const QByteArray pdf = worksheetPDFLandscape(landscape);
    QFile file(path);
    if (pdf.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.flush())
        return kNotWritten;
    return 0;
}

void GraphPdfView::zoom(double x1, double x2, double y1, double y2)
{
    const double xMin = std::min(x1, x2), xMax = std::max(x1, x2);
    const double yMin = std::min(y1, y2), yMax = std::max(y1, y2);
    const double a = bounds_.width() / (xMax - xMin);
    const double d = -bounds_.height() / (yMax - yMin);
    t_ = {a, 0, 0, d, bounds_.x() - xMin * a, bounds_.y() + yMin * d};
}

std::string GraphPdfView::trigFormat(double value) const
{
    return calc_.formatFraction(value / std::numbers::pi) + "\xCF\x80";
}

std::vector<double> GraphPdfView::gridLines(double first, double step, double scale, double offset, double end)
{
    std::vector<double> lines;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(first) || !std::isfinite(scale) || !std::isfinite(offset))
        return lines;
    // By index, never by adding steps up: a step lost against a large first value still ends.
    for (int k = 0; k < kMaxLines; ++k) {
        const double at = (first + k * step) * scale + offset;
        if (!(at < end))
            break;
        lines.push_back(GraphTile::alignedLine(at));
    }
    return lines;
}

void GraphPdfView::write(GraphicsContext& context, const QString& text, QPointF at, const TextFont& font, const QColor& ink)
{
    DrawString::VQdrawAtPoint(context, text, at, font, ink);
    written_.push_back({text, at});
}

void GraphPdfView::graphInRect(GraphicsContext& context, const QRectF& rect)
{
    written_.clear();
    swatches_.clear();
    magnifier_ = QPointF(kNaN, kNaN);
    bounds_ = rect;
    const auto var = [this](int slot) { return calc_.getVar(slot).value.real(); };
    const double xMin = var(kSlotXmin), xMax = var(kSlotXmax), yMin = var(kSlotYmin), yMax = var(kSlotYmax);
    zoom(xMin, xMax, -yMax, -yMin);
    // Equal scales on the screen stay equal on the page.
    const double across = var(kSlotScrWidth) / std::fabs(xMax - xMin);
    const double down = var(kSlotScrHeight) / std::fabs(yMax - yMin);
    if (std::fabs(across - down) < 1e-13)
        t_.a = -t_.d;
    if (!GraphGeometry::transformIsFinite(t_))
        return;
    // The switches, colours, trace state and drawing list may change under a running program.
    const auto hold = calc_.lockState();
    QPainter& painter = context.painter();
    context.saveGState();
    context.clipToRect(rect);
    painter.setRenderHint(QPainter::Antialiasing);
    calc_.adjustScale(t_.a, t_.d, axisGrid_);
    drawAxii(context);
    QPen pen = painter.pen();
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    PlotObject* selected = nullptr;
    for (const auto& plot : source()) {
        if (!plot)
            continue;
        if (plot->selected())
            selected = plot.get();
        else
            plot->drawRect(rect, painter, t_, 1);
    }
    if (selected)
        selected->drawRect(rect, painter, t_, 1);
    if (const auto points = calc_.graphPts())
        GraphTile::drawPoints(painter, t_, rect.adjusted(-4, -4, 4, 4), *points);
    drawTickLabels(context);
    if (calc_.lockMagnifier)
        drawTrace(context);
    drawTexts(context);
    drawLegend(context);
    context.restoreGState();
}

void GraphPdfView::drawAxii(GraphicsContext& context)
{
    QPainter& painter = context.painter();
    const Calculator::State& s = calc_.state();
    const QRectF& r = bounds_;
    if (isWhite(s.backgroundColor)) {
        painter.save();
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        painter.restore();
    } else {
        painter.fillRect(r, rgb(s.backgroundColor, 1));
    }
    if (s.drawAxes) {
        QPainterPath axes;
        const double yAxis = GraphTile::alignedLine(t_.tx), xAxis = GraphTile::alignedLine(t_.ty);
        if (yAxis > r.left() && yAxis < r.right()) {
            axes.moveTo(yAxis, r.top());
            axes.lineTo(yAxis, r.bottom());
        }
        if (xAxis > r.top() && xAxis < r.bottom()) {
            axes.moveTo(r.left(), xAxis);
            axes.lineTo(r.right(), xAxis);
        }
        painter.strokePath(axes, QPen(rgb(s.axesColor, 1), 1));
    }
    if (s.drawGrid) {
        // Half label steps from just outside the top-left corner, drawn over the axes.
        QPainterPath grid;
        const double dx = axisGrid_.xStep, dy = axisGrid_.yStep;
        const double top = dy * (std::trunc(((r.top() - t_.ty) / t_.d) / dy) + 1);
        const double left = dx * (std::trunc(((r.left() - t_.tx) / t_.a) / dx) - 1);
        for (const double y : gridLines(-top, dy / 2, -t_.d, t_.ty, r.bottom())) {
            grid.moveTo(r.left(), y);
            grid.lineTo(r.right(), y);
        }
        for (const double x : gridLines(left, dx / 2, t_.a, t_.tx, r.right())) {
            grid.moveTo(x, r.top());
            grid.lineTo(x, r.bottom());
        }
        painter.strokePath(grid, QPen(rgb(s.gridColor, 1), 0.25));
    }
}

void GraphPdfView::drawTickLabels(GraphicsContext& context)
{
    const Calculator::State& s = calc_.state();
    if (!s.drawLabel)
        return;
    AxisLabels::Placement place;
    place.area = bounds_;
    const double axisX = std::clamp(t_.tx, bounds_.left(), bounds_.right());
    place.axisX = GraphTile::alignedLine(axisX);
    place.axisY = GraphTile::alignedLine(std::clamp(t_.ty, bounds_.top(), bounds_.bottom()));
    place.axisRight = axisX > bounds_.center().x();
    place.snap = GraphTile::alignedLine;
    if (s.graphXAxisLabelMode == 1)
        place.piText = [this](double v) { return trigFormat(v); };
    AxisLabels::Layout labels;
    AxisLabels::draw(context.painter(), place, axisGrid_, t_, rgb(s.axesColor, 1), labels);
    for (const AxisLabels::Label& label : labels.labels)
        written_.push_back({QString::fromStdString(label.text), label.topLeft});
}

void GraphPdfView::drawTrace(GraphicsContext& context)
{
    QPainter& painter = context.painter();
    const PlotPoint p = calc_.pTrackPoint;
    PlotObject* selected = nullptr;
    QPointF selectedAt;
    for (const auto& plot : source()) {
        if (!plot)
            continue;
        double x = p.x, y = p.y;
        if (tracedByX(plot->plotType)) {
            y = plot->YAtT(p.x);
        } else if (tracedByT(plot->plotType)) {
            x = plot->XAtT(p.t);
            y = plot->YAtT(p.t);
        }
        const QPointF at(t_.a * x + t_.tx, t_.d * y + t_.ty);
        if (!plot->selected()) {
            if (GraphGeometry::pointIsFinite(at.x(), at.y()))
                plot->drawPtAt(at, painter);
            continue;
        }
        selected = plot.get();
        // An asymptote is marked where it crosses the x axis.
        selectedAt = calc_.featureLock == PlotObject::FeatureAsymptote ? QPointF(at.x(), t_.ty) : at;
    }
    if (!selected)
        return;
    if (GraphGeometry::pointIsFinite(selectedAt.x(), selectedAt.y())) {
        selected->drawPtAt(selectedAt, painter);
        drawMagnifierAt(context, selectedAt, calc_.pTrackSlope);
    }
    drawReadout(context, *selected);
}

void GraphPdfView::drawReadout(GraphicsContext& context, PlotObject& plot)
{
    QPainter& painter = context.painter();
    const bool tablet = calc_.device == 1;
    const double spacing = tablet ? 22 : 16;
    const double size = tablet ? 20 : 14;
    const QColor ink = rgb(plot.color, 1);
    const std::vector<std::string> lines = plot.infoLines().value_or(std::vector<std::string>());
    const double x = bounds_.left() + 2;
    double y = bounds_.top() + 2 + spacing;
    if (!calc_.state().mathPrint) {
        const TextFont font{"Helvetica-Bold", size};
        const double ascent = DrawString::ascent(font);
        for (const std::string& line : lines) {
            write(context, QString::fromStdString(line), QPointF(x, y - ascent), font, ink);
            y += spacing;
        }
        return;
    }
    const QColor backing = rgb(calc_.state().backgroundColor, 0.5);
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(size, ink);
    const QFontMetricsF metrics(info.font());
    std::size_t keys = 0;
    y = bounds_.top() + 2;
    if (const auto equations = plot.equationOps()) {
        for (const auto& [key, ops] : *equations) {
            const QRectF layout = prettyPrint_->setOps(ops, PrettyPrint::kNoCursor, 0, calc_.baseFontSize);
            const QString name = QString::fromStdString(key);
            const double nameWidth = metrics.horizontalAdvance(name);
            painter.fillRect(QRectF(x, y, nameWidth + layout.width(), layout.height()), backing);
            painter.setFont(info.font());
            painter.setPen(ink);
            painter.drawText(QPointF(x, y + layout.height() - metrics.descent()), name);
            written_.push_back({name, QPointF(x, y)});
            prettyPrint_->drawAt(painter, QPointF(x + nameWidth, y), bounds_, ink);
            y += layout.height();
            ++keys;
        }
    }
    for (std::size_t i = keys; i < lines.size(); ++i) {
        const QString line = QString::fromStdString(lines[i]);
        painter.fillRect(QRectF(x, y, metrics.horizontalAdvance(line), metrics.height()), backing);
        painter.setFont(info.font());
        painter.setPen(ink);
        painter.drawText(QPointF(x, y + metrics.ascent()), line);
        written_.push_back({line, QPointF(x, y)});
        y += calc_.baseFontSize;
    }
}

void GraphPdfView::drawTexts(GraphicsContext& context)
{
    QPainter& painter = context.painter();
    const Calculator::State& s = calc_.state();
    const TextFont cells{"Helvetica", 14};
    const TextFont placed{"CourierNewPS-BoldMT", 16};
    const QSizeF cell = DrawString::VQsizeWithFont(QStringLiteral("A"), cells);
    for (const auto& record : calc_.drawing) {
        const auto* text = dynamic_cast<const DrawText*>(record.get());
        if (!text)
            continue;
        const QColor ink = QColor::fromRgbF(text->r, text->g, text->b, 1);
        // Lines as the graph screen splits them.
        std::vector<QString> lines;
        const std::string_view all = text->text;
        for (std::size_t from = 0;;) {
            const std::size_t at = all.find("\\n", from);
            lines.push_back(QString::fromUtf8(all.substr(from, at == std::string_view::npos ? at : at - from)));
            if (at == std::string_view::npos)
                break;
            from = at + 2;
        }
        const int align = text->alignment;
        const bool grid = align <= 0;
        QPointF anchor;
        if (grid) {
            // A cell of the calculator's text screen: x counts rows, y columns.
            anchor = QPointF(text->y * cell.width() / 6, text->x * cell.height() / 10 + 22);
            QColor box = rgb(s.backgroundColor, 1);
            if (isWhite(s.backgroundColor)) {
                if (text->tiTextColor >= 19 && text->tiTextColor <= 21)
                    box = QColor::fromRgbF(0.58f, 0.58f, 0.58f, 1);
            } else {
                const VQColor& bg = s.backgroundColor;
                const double near = std::fabs(text->r - bg.r()) + std::fabs(text->g - bg.g()) + std::fabs(text->b - bg.b());
                if (near < 0.3) {
                    const float value = float(box.valueF());
                    box = QColor::fromHsvF(box.hsvHueF(), box.hsvSaturationF(),
                        std::clamp(value > 0.5f ? value - 0.25f : value + 0.25f, 0.0f, 1.0f), 1);
                }
            }
            painter.fillRect(QRectF(anchor, QSizeF(cell.width(), cell.height() + 1)), box);
        } else {
            anchor = QPointF(t_.a * text->x + t_.tx, t_.d * text->y + t_.ty);
        }
        const double count = double(lines.size());
        const double raise = align >= 4 && align <= 6 ? kTextLine * count : align >= 7 && align <= 9 ? 8 * count : 0;
        const TextFont& font = grid ? cells : placed;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const double w = DrawString::VQsizeWithFont(lines[i], font).width();
            double x = anchor.x();
            if (align == 2 || align == 5 || align == 8)
                x -= w / 2;
            else if (align == 3 || align == 4 || align == 9)
                x -= w;
            write(context, lines[i], QPointF(x, anchor.y() - raise + kTextLine * double(i)), font, ink);
        }
    }
}

void GraphPdfView::drawLegend(GraphicsContext& context)
{
    QPainter& painter = context.painter();
    const Calculator::State& s = calc_.state();
    const QColor axes = rgb(s.axesColor, 1);
    const QColor backing = rgb(s.backgroundColor, 1);
    const TextFont font{"CourierNewPS-BoldMT", 10};
    const double left = bounds_.left();
    const auto labelled = [&](PlotObject& plot, double top) {
        const QString label = QString::fromStdString(*plot.label());
        painter.fillRect(QRectF(QPointF(left + 18, top), DrawString::VQsizeWithFont(label, font)), backing);
        write(context, label, QPointF(left + 18, top), font, axes);
        const QRectF swatch(left + 2, top + 1, 12, 12);
        painter.fillRect(swatch, rgb(plot.color, 1));
        swatches_.push_back({swatch, rgb(plot.color, 1)});
    };
    if (!s.mathPrint) {
        double top = bounds_.bottom() - 16;
        for (const auto& plot : source()) {
            if (!plot || !plot->label())
                continue;
            labelled(*plot, top);
            top -= 14;
        }
        return;
    }
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(10, axes);
    const QFontMetricsF metrics(info.font());
    double total = 0;
    for (const auto& plot : source()) {
        if (!plot)
            continue;
        const auto equations = plot->equationOps();
        if (!equations || equations->empty()) {
            total += calc_.baseFontSize;
            continue;
        }
        for (const auto& entry : *equations)
            total += prettyPrint_->setOps(entry.second, PrettyPrint::kNoCursor, 0, 10).height();
    }
    double y = bounds_.bottom() - 8 - total;
    for (const auto& plot : source()) {
        if (!plot)
            continue;
        const auto equations = plot->equationOps();
        if (!equations || equations->empty()) {
            if (plot->label()) {
                labelled(*plot, y);
                y += 14;
            }
            continue;
        }
        for (const auto& [key, ops] : *equations) {
            const QRectF layout = prettyPrint_->setOps(ops, PrettyPrint::kNoCursor, 0, 10);
            const QString name = QString::fromStdString(key);
            const double nameWidth = metrics.horizontalAdvance(name);
            painter.fillRect(QRectF(left + 18, y, nameWidth + layout.width(), layout.height()), backing);
            painter.setFont(info.font());
            painter.setPen(axes);
            painter.drawText(QPointF(left + 18, y + layout.height() - metrics.descent()), name);
            written_.push_back({name, QPointF(left + 18, y)});
            prettyPrint_->drawAt(painter, QPointF(left + 18 + nameWidth, y), bounds_, axes);
            const QRectF swatch(left + 2, y + layout.height() - 6, 12, 12);
            painter.fillRect(swatch, rgb(plot->color, 1));
            swatches_.push_back({swatch, rgb(plot->color, 1)});
            y += layout.height();
        }
    }
}

void GraphPdfView::drawMagnifierAt(GraphicsContext& context, QPointF at, double slope)
{
    const int feature = calc_.featureLock;
    const double X = at.x(), Y = at.y();
    if (feature != 0) {
        const std::string name = feature >= 2 && feature <= 18 ? GraphText::featureName(feature) : std::string("zero");
        write(context, QString::fromStdString(name), QPointF(X + 10, Y - 24), TextFont{"Helvetica", 14}, Qt::red);
    }
    const bool light = calc_.state().backgroundColor.v() > 0.5;
    const bool locked = feature != 0;
    const char* image = light ? (locked ? "magnifierWhiteLock" : "magnifierWhite") : (locked ? "magnifierLock" : "magnifier");
    VImageDraw::vImageDraw().drawImage(context, image, QPointF(X - 52, Y - 52));
    magnifier_ = at;
    QPainter& painter = context.painter();
    painter.save();
    painter.setPen(locked ? QPen(Qt::red, 3, Qt::SolidLine, Qt::RoundCap) : QPen(QColor(255, 0, 255), 1));
    double theta = std::atan((std::isfinite(slope) ? slope : 0) * t_.d / t_.a);
    if (!std::isfinite(theta))
        theta = 0;
    const double c = std::cos(theta), sn = std::sin(theta);
    for (const QPointF u : {QPointF(c, sn), QPointF(-c, -sn), QPointF(sn, -c), QPointF(-sn, c)})
        painter.drawLine(at + u * 8, at + u * 50);
    painter.restore();
}

} // namespace orvenda
