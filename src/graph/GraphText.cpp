#include "graph/GraphText.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "drawing/VImageDraw.h"
#include "graph/AxisLabels.h"
#include "graph/GraphView.h"
#include "graph/PlotCircle.h"
#include "pretty/FontMap.h"
#include "pretty/PrettyDrawInfo.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

namespace orvenda {

namespace {

constexpr int kGraphScreen = 8;
// The graph screen's bar over the bottom of the graph.
constexpr double kBottomBar = 44;
constexpr int kNoMagnifier = 19;
constexpr double kOffScreen = -16767;
constexpr double kLensOffset = 52;
constexpr double kCrossGap = 8;
constexpr double kCrossReach = 50;
constexpr double kTextLine = 16;

double pixelCentre(double v)
{
    return std::floor(v) + 0.5;
}

QColor rgb(const VQColor& c, double alpha)
{
    return QColor::fromRgbF(float(c.r()), float(c.g()), float(c.b()), float(alpha));
}

// The colour a Text( backing box takes on the graph's background: the background itself,
// a grey for the light text colours 19 to 21 on pure white, and a background moved in
// brightness when the text would barely show on it.
QColor textBacking(const VQColor& bg, const DrawText& text)
{
    if (bg.r() == 1 && bg.g() == 1 && bg.b() == 1) {
        if (text.tiTextColor >= 19 && text.tiTextColor <= 21)
            return QColor::fromRgbF(0.58f, 0.58f, 0.58f, 0.5f);
        return rgb(bg, 0.5);
    }
    const double difference = std::fabs(text.r - bg.r()) + std::fabs(text.g - bg.g()) + std::fabs(text.b - bg.b());
    if (difference >= 0.3)
        return rgb(bg, 0.5);
    const double v = bg.v() > 0.5 ? bg.v() - 0.25 : bg.v() + 0.25;
    return rgb(VQColor::colorH(bg.h(), bg.s(), v, 1), 0.5);
}

} // namespace

GraphText::GraphText(GraphView& view) : QWidget(&view), graphView(&view), calc(view.calc)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(view.rect());
    // The magnifier frames: a lens ring 100 points across in a 104-point square.
    VImageDraw& images = VImageDraw::vImageDraw();
    lenseImage_ = images.getImage("magnifier", 1.0);
    lenseImageLock_ = images.getImage("magnifierLock", 1.0);
    lenseImageWhite_ = images.getImage("magnifierWhite", 1.0);
    lenseImageWhiteLock_ = images.getImage("magnifierWhiteLock", 1.0);
}

std::string GraphText::trigFormat(double value) const
{
    return calc.formatFraction(value / std::numbers::pi) + "\xCF\x80";
}

std::string GraphText::featureName(int featureLock)
{
    static constexpr std::array<std::string_view, 19> names{
        "", "zero", "isect", "min", "max", "asymptote", "y-intercept",
        "\xCE\xBC-6\xCF\x83", "\xCE\xBC-5\xCF\x83", "\xCE\xBC-4\xCF\x83", "\xCE\xBC-3\xCF\x83",
        "\xCE\xBC-2\xCF\x83", "\xCE\xBC-\xCF\x83", "\xCE\xBC+\xCF\x83", "\xCE\xBC+2\xCF\x83",
        "\xCE\xBC+3\xCF\x83", "\xCE\xBC+4\xCF\x83", "\xCE\xBC+5\xCF\x83", "\xCE\xBC+6\xCF\x83"};
    if (featureLock == 0 || featureLock == kNoMagnifier)
        return {};
    if (featureLock < 0 || featureLock > kNoMagnifier)
        return std::string(names[1]);
    return std::string(names[std::size_t(featureLock)]);
}

void GraphText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    drawRect(painter, QRectF(rect()));
}

void GraphText::drawRect(QPainter& painter, const QRectF& rect)
{
    const GraphTransform t = graphView ? graphView->t() : GraphTransform{};
    if (!GraphGeometry::transformIsFinite(t))
        return;
    // The switches, colours, trace state and plots' equations are the calculator's, which
    // a running program may change between its statements.
    const auto hold = calc.lockState();
    calc.adjustScale(t.a, t.d, axisGrid_);
    QRectF area = rect;
    if (calc.currentScreen() == kGraphScreen)
        area.setBottom(area.bottom() - kBottomBar);

    labels_.ticks.clear();
    labels_.labels.clear();
    if (calc.state().drawLabel) {
        AxisLabels::Placement place;
        place.area = area;
        const double axisX = std::clamp(t.tx, area.left(), area.right());
        place.axisX = pixelCentre(axisX);
        place.axisY = pixelCentre(std::clamp(t.ty, area.top(), area.bottom()));
        place.axisRight = axisX > area.center().x();
        place.snap = pixelCentre;
        place.keepOut = labelKeepOut;
        place.labelFloor = labelFloor;
        if (calc.state().graphXAxisLabelMode == 1)
            place.piText = [this](double v) { return trigFormat(v); };
        AxisLabels::draw(painter, place, axisGrid_, t, rgb(calc.state().axesColor, 1), labels_);
    }

    if (calc.lockMagnifier)
        drawTrace(painter, t);

    if (showDragRect) {
        painter.setPen(QPen(rgb(calc.state().axesColor, 1), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(dragRect);
    }

    if (!graphView || !graphView->updatingObjects)
        drawTexts(painter, t);
}

void GraphText::drawTrace(QPainter& painter, const GraphTransform& t)
{
    const PlotPoint p = calc.pTrackPoint;
    const auto view = [&t](double x, double y) {
        const GraphGeometry::Point v = GraphGeometry::applyPlotTransform(t, x, y);
        return QPointF(v.x, v.y);
    };
    PlotObject* traced = nullptr;
    QPointF magnifier(kOffScreen, kOffScreen);
    painter.setPen(QPen(Qt::black, 2));
    const PlotObject::PlotList empty;
    for (const auto& plot : graphView ? graphView->plotObjects() : empty) {
        if (!plot)
            continue;
        if (plot->selected()) {
            traced = plot.get();
            magnifier = view(p.x, p.y);
            continue;
        }
        switch (plot->plotType) {
        case PlotObject::PlotPolar: case PlotObject::PlotParametric: case PlotObject::PlotScatter:
        case PlotObject::PlotXYLine: {
            const double x = plot->XAtT(p.t);
            plot->drawPtAt(view(x, plot->YAtT(p.t)), painter);
            break;
        }
        case PlotObject::PlotFunction: case PlotObject::PlotSequence: case PlotObject::PlotDistribution:
        case PlotObject::PlotRegression: case PlotObject::PlotLine: case PlotObject::PlotFn:
            plot->drawPtAt(view(p.x, plot->YAtT(p.x)), painter);
            break;
        case PlotObject::PlotCircle:
            if (auto* circle = dynamic_cast<PlotCircle*>(plot.get())) {
                plot->drawPtAt(view(p.x, circle->YAtX(p.x)), painter);
                plot->drawPtAt(view(p.x, circle->Y2AtX(p.x)), painter);
            }
            break;
        default:
            plot->drawPtAt(view(p.x, p.y), painter);
            break;
        }
    }
    if (traced)
        traced->drawPtAt(magnifier, painter);
    if (!draggingVariable)
        drawMagnifierAt(painter, magnifier, calc.pTrackSlope);
    if (traced)
        drawInfoLines(painter, *traced);
}

QRectF GraphText::placeFeatureLabel(QPointF at, double lift, QSizeF size, const AxisLabels::Layout& axisLabels,
    const QRectF& bounds)
{
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica", 14));
    const auto free = [&](const QRectF& r) {
        for (const AxisLabels::Label& label : axisLabels.labels) {
            const QString text = QString::fromStdString(label.text);
            if (r.intersects(QRectF(label.topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height()))))
                return false;
        }
        return true;
    };
    const QRectF usual(QPointF(at.x() + 10, at.y() - lift), size);
    const QRectF candidates[] = {usual, QRectF(QPointF(at.x() + 10, at.y() + 12), size),
        QRectF(QPointF(at.x() - 10 - size.width(), at.y() - lift), size),
        QRectF(QPointF(at.x() - 10 - size.width(), at.y() + 12), size),
        QRectF(QPointF(at.x() + 10, at.y() - lift - size.height()), size)};
    for (const QRectF& r : candidates)
        if (free(r) && (bounds.isEmpty() || bounds.contains(r)))
            return r;
    for (const QRectF& r : candidates)
        if (free(r))
            return r;
    return usual;
}

void GraphText::drawMagnifierAt(QPainter& painter, const QPointF& at, double slope)
{
    const int feature = calc.featureLock;
    if (feature == kNoMagnifier || !GraphGeometry::pointIsFinite(at.x(), at.y()))
        return;
    const GraphTransform t = graphView ? graphView->t() : GraphTransform{};
    double s = std::isfinite(slope) ? slope : 0;
    double theta = std::atan(s * t.d / t.a);
    if (!std::isfinite(theta))
        theta = 0;
    // A minimum is labelled level with the point, a maximum above it.
    if (feature == PlotObject::FeatureMinimum)
        theta = s = 0;
    else if (feature == PlotObject::FeatureMaximum)
        theta = s = -1e-10;
    const bool locked = feature != 0;
    if (locked) {
        const double phi = s >= 0 ? theta : theta - std::numbers::pi / 2;
        const QFont bold = FontMap::shared().font("Helvetica-Bold", 14);
        painter.setFont(bold);
        painter.setPen(Qt::red);
        const QFontMetricsF metrics(bold);
        const QString name = QString::fromStdString(featureName(feature));
        featureRect_ = placeFeatureLabel(at, 16 * std::fabs(std::sin(phi)),
            QSizeF(metrics.horizontalAdvance(name), metrics.height()), labels_, QRectF(rect()));
        painter.drawText(featureRect_.topLeft() + QPointF(0, metrics.ascent()), name);
    } else {
        featureRect_ = QRectF();
    }
    const bool bright = calc.locked()->backgroundColor.v() > 0.5;
    const QImage& frame = bright ? (locked ? lenseImageWhiteLock_ : lenseImageWhite_)
                                 : (locked ? lenseImageLock_ : lenseImage_);
    painter.drawImage(at - QPointF(kLensOffset, kLensOffset), frame);

    const QPointF along(std::cos(theta), std::sin(theta)), across(std::sin(theta), -std::cos(theta));
    painter.setPen(locked ? QPen(Qt::red, 3) : QPen(QColor(255, 0, 255), 1));
    for (const QPointF& u : {along, -along, across, -across})
        painter.drawLine(at + u * kCrossGap, at + u * kCrossReach);

    if (calc.locked()->drawDyDx) {
        const PlotPoint& p = calc.pTrackPoint;
        const auto tangentAt = [&](double vx) {
            const double x = (vx - t.tx) / t.a;
            return QPointF(vx, t.d * (p.y + s * (x - p.x)) + t.ty);
        };
        const QPointF from = tangentAt(-3), to = tangentAt(width() + 3);
        if (GraphGeometry::pointIsFinite(from.y(), to.y())) {
            painter.setPen(QPen(QColor(255, 0, 255), 1));
            painter.drawLine(from, to);
        }
    }
}

void GraphText::drawInfoLines(QPainter& painter, PlotObject& plot)
{
    const QColor backing = rgb(calc.locked()->backgroundColor, 0.5);
    const QColor ink = rgb(plot.color, 1);
    const std::vector<std::string> lines = plot.infoLines().value_or(std::vector<std::string>());
    const bool mathPrint = calc.locked()->mathPrint;
    const bool tablet = calc.device == 1;
    const std::optional<std::map<std::string, PlotObject::Ops>> equations = mathPrint ? plot.equationOps() : std::nullopt;
    const std::size_t keys = equations ? equations->size() : 0;
    // The lines at a font size: the plain ones' font and advance, the equations typeset.
    const auto plainFont = [&](double size) {
        return mathPrint ? PrettyDrawInfo::PrettyDrawInfoSize(size, ink).font() : FontMap::shared().font("Helvetica-Bold", size);
    };
    const double baseSize = mathPrint ? calc.baseFontSize : tablet ? 20 : 14;
    const auto advanceAt = [&](double size) { return mathPrint ? size : size * (tablet ? 22.0 / 20 : 16.0 / 14); };
    // Measured at the usual size, the block's width and height.
    double wide = 0, tall = 0;
    if (equations)
        for (const auto& [key, ops] : *equations) {
            const QRectF layout = prettyPrint_.setOps(ops, PrettyPrint::kNoCursor, 0, baseSize);
            wide = std::max(wide, QFontMetricsF(plainFont(baseSize)).horizontalAdvance(QString::fromStdString(key)) + layout.width());
            tall += layout.height();
        }
    const QFontMetricsF baseMetrics(plainFont(baseSize));
    for (std::size_t i = keys; i < lines.size(); ++i)
        wide = std::max(wide, baseMetrics.horizontalAdvance(QString::fromStdString(lines[i])));
    tall += advanceAt(baseSize) * double(lines.size() > keys ? lines.size() - keys : 0);
    // Where the screen's controls stand beside the lines (Done, a column of zoom buttons),
    // the lines end left of them: a smaller size, in whole points, that fits.
    double top = 20;
    // Below a program's controls in the lines' way (each move may meet another).
    for (std::size_t pass = 0; pass <= linesKeepOut.size(); ++pass) {
        const QRectF block(0, top, wide + 4, tall);
        const auto in = std::find_if(linesKeepOut.begin(), linesKeepOut.end(), [&](const QRectF& r) { return r.intersects(block); });
        if (in == linesKeepOut.end())
            break;
        top = in->bottom() + 2;
    }
    double size = baseSize;
    if (!labelKeepOut.isEmpty() && labelKeepOut.top() < top + tall && labelKeepOut.bottom() > top) {
        const double room = labelKeepOut.left() - 4 - 2;
        if (wide > room && room > 0)
            size = std::max(8.0, std::floor(baseSize * room / wide));
    }
    double y = top;
    infoRect_ = QRectF();
    const auto plain = [&](std::size_t from) {
        const QFont font = plainFont(size);
        const QFontMetricsF metrics(font);
        painter.setFont(font);
        for (std::size_t i = from; i < lines.size(); ++i) {
            const QString s = QString::fromStdString(lines[i]);
            const QRectF line(2, y, metrics.horizontalAdvance(s), metrics.height());
            painter.fillRect(line, backing);
            infoRect_ |= line;
            painter.setPen(ink);
            painter.drawText(QPointF(2, y + metrics.ascent()), s);
            y += advanceAt(size);
        }
    };
    if (!mathPrint) {
        plain(0);
        return;
    }
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(size, ink);
    const QFontMetricsF keyMetrics(info.font());
    if (equations) {
        for (const auto& [key, ops] : *equations) {
            const QRectF layout = prettyPrint_.setOps(ops, PrettyPrint::kNoCursor, 0, size);
            const QString k = QString::fromStdString(key);
            const double keyWidth = keyMetrics.horizontalAdvance(k);
            const QRectF line(2, y, keyWidth + layout.width(), layout.height());
            painter.fillRect(line, backing);
            infoRect_ |= line;
            painter.setFont(info.font());
            painter.setPen(ink);
            painter.drawText(QPointF(2, y + prettyPrint_.height()), k);
            prettyPrint_.drawAt(painter, QPointF(keyWidth + 2, y), QRectF(rect()), ink);
            y += layout.height();
        }
    }
    plain(keys);
}

void GraphText::drawTexts(QPainter& painter, const GraphTransform& t)
{
    const QFont small = FontMap::shared().font("Helvetica", 14);
    const QFont courier = FontMap::shared().font("CourierNewPS-BoldMT", 16);
    std::vector<QString> lines;
    for (const auto& record : calc.drawing) {
        const auto* text = dynamic_cast<const DrawText*>(record.get());
        if (!text)
            continue;
        const bool grid = text->alignment <= 0;
        const QFont& font = grid ? small : courier;
        const QFontMetricsF metrics(font);
        lines.clear();
        const std::string_view all = text->text;
        for (std::size_t from = 0;;) {
            const std::size_t at = all.find("\\n", from);
            lines.push_back(QString::fromUtf8(all.substr(from, at - from)));
            if (at == std::string_view::npos)
                break;
            from = at + 2;
        }
        QPointF pos;
        if (grid) {
            // Text(row, column): a character cell of the 6 × 10-pixel text grid.
            const QSizeF cell = metrics.size(0, QStringLiteral("A"));
            pos = QPointF(text->y * cell.width() / 6, text->x * cell.height() / 10 + 22);
            double widest = 0;
            for (const QString& line : lines)
                widest = std::max(widest, metrics.horizontalAdvance(line));
            painter.fillRect(QRectF(pos.x(), pos.y(), widest, cell.height() + 1 + kTextLine * double(lines.size() - 1)),
                             textBacking(calc.locked()->backgroundColor, *text));
        } else {
            const GraphGeometry::Point v = GraphGeometry::applyPlotTransform(t, text->x, text->y);
            pos = QPointF(v.x, v.y);
        }
        const int align = text->alignment;
        const double block = kTextLine * double(lines.size());
        const double raise = align >= 7 ? block / 2 : align >= 4 ? block : 0;
        painter.setFont(font);
        painter.setPen(QColor::fromRgbF(text->r, text->g, text->b, 1));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const double w = metrics.horizontalAdvance(lines[i]);
            double x = pos.x();
            if (align == 2 || align == 5 || align == 8)
                x -= w / 2;
            else if (align == 3 || align == 4 || align == 9)
                x -= w;
            const double top = pos.y() - raise + kTextLine * double(i);
            painter.drawText(QPointF(x, top + metrics.ascent()), lines[i]);
        }
    }
}

} // namespace orvenda
