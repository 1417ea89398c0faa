#include "drawing/GraphicsContext.h"

#include <QImage>
#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace orvenda {

namespace {

// The most pixels a shadow's mask may have on a side; larger shadows are made at a lower
// resolution and stretched, so a page at printer resolution costs no more than a screen.
constexpr int kMaxShadowSide = 2048;

double length(QPointF v) { return std::hypot(v.x(), v.y()); }

// Three passes of a box blur over an alpha mask: near enough to a Gaussian of deviation
// sigma (in pixels). Each pass keeps running sums, along the rows and then down all the
// columns at once.
void blurAlpha(QImage& mask, double sigma)
{
    if (sigma < 0.3)
        return;
    const int radius = std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    const int w = mask.width(), h = mask.height();
    // The mean as a product: (sum * scale) >> 16.
    const std::uint32_t scale = (1u << 16) / static_cast<std::uint32_t>(2 * radius + 1);
    std::vector<uchar> copy(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(w));
    const auto row = [&](int y) { return mask.scanLine(y); };
    for (int k = 0; k < 3; ++k) {
        for (int y = 0; y < h; ++y) {
            uchar* line = row(y);
            uchar* saved = copy.data() + static_cast<std::ptrdiff_t>(y) * w;
            std::copy(line, line + w, saved);
            std::uint32_t sum = 0;
            for (int x = 0; x < std::min(radius, w); ++x)
                sum += saved[x];
            for (int x = 0; x < w; ++x) {
                if (x + radius < w)
                    sum += saved[x + radius];
                if (x - radius - 1 >= 0)
                    sum -= saved[x - radius - 1];
                line[x] = static_cast<uchar>((sum * scale) >> 16);
            }
        }
        for (int y = 0; y < h; ++y)
            std::copy(row(y), row(y) + w, copy.data() + static_cast<std::ptrdiff_t>(y) * w);
        std::fill(sums.begin(), sums.end(), 0u);
        for (int y = 0; y < std::min(radius, h); ++y)
            for (int x = 0; x < w; ++x)
                sums[static_cast<std::size_t>(x)] += copy[static_cast<std::size_t>(y * w + x)];
        for (int y = 0; y < h; ++y) {
            const uchar* in = y + radius < h ? copy.data() + static_cast<std::ptrdiff_t>(y + radius) * w : nullptr;
            const uchar* out = y - radius - 1 >= 0 ? copy.data() + static_cast<std::ptrdiff_t>(y - radius - 1) * w : nullptr;
            uchar* line = row(y);
            for (int x = 0; x < w; ++x) {
                std::uint32_t& sum = sums[static_cast<std::size_t>(x)];
                if (in)
                    sum += in[x];
                if (out)
                    sum -= out[x];
                line[x] = static_cast<uchar>((sum * scale) >> 16);
            }
        }
    }
}

// The size of the device in its own pixels, which the device transform maps onto.
QRectF devicePixels(const QPaintDevice* device)
{
    if (!device)
        return {};
    double ratio = device->devicePixelRatioF();
    if (device->devType() == QInternal::Image || device->devType() == QInternal::Pixmap)
        ratio = 1;
    return QRectF(0, 0, device->width() * ratio, device->height() * ratio);
}

} // namespace

GraphicsContext::GraphicsContext(QPainter& painter) : painter_(painter) {}

GraphicsContext::~GraphicsContext()
{
    // The painter goes back to the state it was lent in.
    while (!saved_.empty())
        restoreGState();
}

void GraphicsContext::saveGState()
{
    painter_.save();
    saved_.push_back(state_);
}

void GraphicsContext::restoreGState()
{
    if (saved_.empty())
        return;
    painter_.restore();
    state_ = saved_.back();
    saved_.pop_back();
}

void GraphicsContext::setShadow(QPointF offset, double blur, const QColor& color)
{
    state_.shadowOffset = offset;
    state_.shadowBlur = blur;
    state_.shadowColor = color;
}

void GraphicsContext::clearShadow() { setShadow({}, 0, QColor()); }

void GraphicsContext::translate(double dx, double dy) { painter_.translate(dx, dy); }

void GraphicsContext::scale(double sx, double sy) { painter_.scale(sx, sy); }

void GraphicsContext::drawPath(PathMode mode)
{
    const QPainterPath path = path_;
    path_.clear();
    if (path.isEmpty())
        return;
    const bool fill = mode != PathMode::Stroke, stroke = mode != PathMode::Fill;
    const double half = stroke ? state_.lineWidth / 2 + 1 : 0;
    QPen pen(state_.stroke, state_.lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    const QColor fillColor = state_.fill;
    drawWithShadow(path.boundingRect().adjusted(-half, -half, half, half), [&](QPainter& p) {
        p.setPen(stroke ? pen : QPen(Qt::NoPen));
        p.setBrush(fill ? QBrush(fillColor) : QBrush(Qt::NoBrush));
        QPainterPath filled = path;
        filled.setFillRule(Qt::WindingFill);
        p.drawPath(filled);
    });
}

void GraphicsContext::fillPath(const QPainterPath& path, Qt::FillRule rule)
{
    QPainterPath filled = path;
    filled.setFillRule(rule);
    const QColor fillColor = state_.fill;
    drawWithShadow(filled.boundingRect(), [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(fillColor);
        p.drawPath(filled);
    });
}

void GraphicsContext::strokePath(const QPainterPath& path)
{
    const double half = state_.lineWidth / 2 + 1;
    const QPen pen(state_.stroke, state_.lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    drawWithShadow(path.boundingRect().adjusted(-half, -half, half, half), [&](QPainter& p) {
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    });
}

void GraphicsContext::clip()
{
    QPainterPath path = path_;
    path_.clear();
    path.setFillRule(Qt::WindingFill);
    painter_.setClipPath(path, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void GraphicsContext::clipToRect(const QRectF& rect)
{
    painter_.setClipRect(rect, painter_.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

void GraphicsContext::drawLinearGradient(const QGradientStops& stops, QPointF from, QPointF to)
{
    const QPointF along = to - from;
    const double l = length(along);
    if (!(l > 0) || !std::isfinite(l) || stops.isEmpty())
        return;
    // The band between the two ends, wide enough across to cover whatever is visible.
    const QRectF visible = painter_.hasClipping() ? painter_.clipBoundingRect()
                                                  : painter_.deviceTransform().inverted().mapRect(devicePixels(painter_.device()));
    const double reach = length(visible.bottomRight() - visible.topLeft()) + length(visible.center() - from) + l;
    const QPointF across = QPointF(-along.y(), along.x()) / l * reach;
    const QPolygonF band({from + across, to + across, to - across, from - across});
    QLinearGradient gradient(from, to);
    gradient.setStops(stops);
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(gradient);
    painter_.drawPolygon(band);
    painter_.restore();
}

void GraphicsContext::fillPathWithGradient(const QPainterPath& path, const QGradientStops& stops, QPointF from, QPointF to)
{
    const QPointF along = to - from;
    if (stops.isEmpty() || path.isEmpty() || !(std::hypot(along.x(), along.y()) > 0))
        return;
    QLinearGradient gradient(from, to);
    gradient.setStops(stops);
    QPainterPath filled = path;
    filled.setFillRule(Qt::WindingFill);
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(gradient);
    painter_.drawPath(filled);
    painter_.restore();
}

void GraphicsContext::drawImage(const QRectF& target, const QImage& image)
{
    drawWithShadow(target, [&](QPainter& p) { p.drawImage(target, image); });
}

void GraphicsContext::drawWithShadow(const QRectF& bounds, const std::function<void(QPainter&)>& draw)
{
    if (hasShadow())
        paintShadow(bounds, draw);
    painter_.save();
    draw(painter_);
    painter_.restore();
}

void GraphicsContext::paintShadow(const QRectF& bounds, const std::function<void(QPainter&)>& draw)
{
    const QTransform device = painter_.deviceTransform();
    const double unit = std::sqrt(std::fabs(device.determinant()));
    if (!(unit > 0) || !std::isfinite(unit) || !bounds.isValid())
        return;
    const double sigma = state_.shadowBlur * unit / 2;
    const QPointF offset = state_.shadowOffset * unit;
    const double margin = std::ceil(3 * sigma) + 2;
    // The part of the drawing whose shadow can land where the device shows anything.
    QRectF landing = devicePixels(painter_.device());
    if (painter_.hasClipping())
        landing &= device.mapRect(painter_.clipBoundingRect());
    QRectF source = device.mapRect(bounds).adjusted(-margin, -margin, margin, margin);
    source &= landing.translated(-offset).adjusted(-margin, -margin, margin, margin);
    if (source.isEmpty() || !std::isfinite(source.width()) || !std::isfinite(source.height()))
        return;
    const QRect area = source.toAlignedRect();
    const double resolution = std::min(1.0, double(kMaxShadowSide) / std::max(area.width(), area.height()));
    QImage mask(std::max(1, int(std::ceil(area.width() * resolution))),
                std::max(1, int(std::ceil(area.height() * resolution))), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHints(painter_.renderHints());
        QTransform toMask = device;
        toMask *= QTransform::fromTranslate(-area.x(), -area.y());
        toMask *= QTransform::fromScale(resolution, resolution);
        p.setTransform(toMask);
        draw(p);
    }
    blurAlpha(mask, sigma * resolution);
    // The shadow's colour over the blurred coverage.
    QImage shadow(mask.size(), QImage::Format_ARGB32_Premultiplied);
    // Premultiplied by the coverage: a table from coverage to pixel.
    const QColor c = state_.shadowColor;
    QRgb byCoverage[256];
    for (int v = 0; v < 256; ++v) {
        const double a = v / 255.0 * c.alphaF();
        byCoverage[v] = qRgba(int(c.red() * a + 0.5), int(c.green() * a + 0.5), int(c.blue() * a + 0.5), int(a * 255 + 0.5));
    }
    const int w = mask.width();
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* in = mask.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(shadow.scanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = byCoverage[in[x]];
    }
    painter_.save();
    // Back in device pixels: a world transform that undoes what the device adds to it.
    painter_.setWorldTransform(device.inverted() * painter_.worldTransform());
    painter_.drawImage(QRectF(area.x() + offset.x(), area.y() + offset.y(), area.width(), area.height()), shadow);
    painter_.restore();
}

QColor GraphicsContext::color(double r, double g, double b, double a)
{
    const auto unit = [](double v) { return v > 0 ? (v < 1 ? v : 1.0) : 0.0; };
    return QColor::fromRgbF(float(unit(r)), float(unit(g)), float(unit(b)), float(unit(a)));
}

void GraphicsContext::addArcToPoint(QPainterPath& path, QPointF p1, QPointF p2, double radius)
{
    const QPointF p0 = path.elementCount() > 0 ? path.currentPosition() : p1;
    const QPointF a = p0 - p1, b = p2 - p1;
    const double la = length(a), lb = length(b);
    if (!(radius > 0) || !(la > 0) || !(lb > 0)) {
        path.lineTo(p1);
        return;
    }
    const QPointF u = a / la, v = b / lb;
    const double cosine = std::clamp(u.x() * v.x() + u.y() * v.y(), -1.0, 1.0);
    const double theta = std::acos(cosine);
    if (!(theta > 1e-9) || !(std::numbers::pi - theta > 1e-9)) {
        path.lineTo(p1);
        return;
    }
    const double reach = radius / std::tan(theta / 2);
    const QPointF t1 = p1 + u * reach, t2 = p1 + v * reach;
    const QPointF bisector = (u + v) / length(u + v);
    const QPointF centre = p1 + bisector * (radius / std::sin(theta / 2));
    const auto angleOf = [&](QPointF p) { return std::atan2(-(p.y() - centre.y()), p.x() - centre.x()) * 180 / std::numbers::pi; };
    const double start = angleOf(t1);
    double sweep = angleOf(t2) - start;
    while (sweep > 180)
        sweep -= 360;
    while (sweep < -180)
        sweep += 360;
    path.lineTo(t1);
    path.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), start, sweep);
}

} // namespace orvenda
