#include "drawing/VPath.h"

#include "drawing/GraphicsContext.h"
#include "drawing/VContext.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <random>

namespace orvenda {

namespace {

// The most rows or columns of the brushed-metal bitmap.
constexpr int kMaxMetalSide = 4096;

std::vector<double> numbers(std::string_view list)
{
    std::vector<double> out;
    for (const std::string& item : VObject::componentsFromString(list))
        out.push_back(VObject::floatValue(item));
    return out;
}

std::unique_ptr<VPath> made(const VAttributes& attributes, void (VPath::*add)(std::string_view))
{
    auto path = std::make_unique<VPath>();
    (path.get()->*add)(VObject::attribute(attributes, "d"));
    path->setRenderTypeFromString(VObject::attribute(attributes, "x"));
    return path;
}

// The noise of brushed metal: the same grain from one run to the next.
std::minstd_rand& grain()
{
    static std::minstd_rand engine(20140611u);
    return engine;
}

double uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(grain()); }

} // namespace

std::unique_ptr<VPath> VPath::pathWithAttributes(const VAttributes& a) { return made(a, &VPath::addPointsFromString); }
std::unique_ptr<VPath> VPath::rectPathWithAttributes(const VAttributes& a) { return made(a, &VPath::addRectFromString); }
std::unique_ptr<VPath> VPath::roundRectPathWithAttributes(const VAttributes& a) { return made(a, &VPath::addRoundRectFromString); }
std::unique_ptr<VPath> VPath::ovalPathWithAttributes(const VAttributes& a) { return made(a, &VPath::addOvalFromString); }

void VPath::addPointsFromString(std::string_view list)
{
    const std::vector<std::string> items = componentsFromString(list);
    const std::size_t n = items.size();
    std::size_t i = 0;
    // A command takes the numbers after it; one whose numbers run out is skipped.
    const auto number = [](const std::string& item) {
        return !item.empty() && std::string_view("+-.0123456789").find(item[0]) != std::string_view::npos;
    };
    const auto take = [&](std::size_t count, std::vector<double>& out) {
        if (i + count > n || !std::all_of(items.begin() + long(i), items.begin() + long(i + count), number))
            return false;
        out.clear();
        for (std::size_t k = 0; k < count; ++k)
            out.push_back(floatValue(items[i + k]));
        i += count;
        return true;
    };
    std::vector<double> v;
    while (i < n) {
        const std::string& item = items[i++];
        const char c = item.empty() ? '\0' : item[0];
        switch (c) {
        case 'M': if (take(2, v)) moveTo({v[0], v[1]}); break;
        case 'L': if (take(2, v)) lineTo({v[0], v[1]}); break;
        case 'C': if (take(6, v)) curveToC1({v[0], v[1]}, {v[2], v[3]}, {v[4], v[5]}); break;
        case 'Q': if (take(4, v)) QcurveToC1({v[0], v[1]}, {v[2], v[3]}); break;
        case 'c': closePath(); break;
        default: break;
        }
    }
}

void VPath::addRectFromString(std::string_view list)
{
    const std::vector<double> v = numbers(list);
    if (v.size() < 4)
        return;
    pts.push_back({v[0], v[1]});
    pts.push_back({v[2], v[3]});
    tags.push_back(kRectangle);
}

void VPath::addOvalFromString(std::string_view list)
{
    const std::vector<double> v = numbers(list);
    if (v.size() < 4)
        return;
    pts.push_back({v[0], v[1]});
    pts.push_back({v[2], v[3]});
    tags.push_back(kEllipse);
}

void VPath::addRoundRectFromString(std::string_view list)
{
    const std::vector<double> v = numbers(list);
    if (v.size() < 8)
        return;
    const double x = v[0], y = v[1], w = v[2], h = v[3], r1 = v[4], r2 = v[5], r3 = v[6], r4 = v[7];
    if (r1 != 0) {
        moveTo({x, y + r1});
        arcToP1({x, y}, {x + r1, y}, r1);
    } else {
        moveTo({x, y});
    }
    if (r2 != 0)
        arcToP1({x + w, y}, {x + w, y + r2}, r2);
    else
        lineTo({x + w, y});
    if (r3 != 0)
        arcToP1({x + w, y + h}, {x + w - r3, y + h}, r3);
    else
        lineTo({x + w, y + h});
    if (r4 != 0)
        arcToP1({x, y + h}, {x, y + h - r4}, r4);
    else
        lineTo({x, y + h});
    closePath();
}

void VPath::setRenderTypeFromString(std::string_view code)
{
    switch (code.empty() ? '\0' : code[0]) {
    case 's': renderType = kStroke; break;
    case 'F': renderType = kFill; break;
    case 'S': renderType = kFillStroke; break;
    case 'V': renderType = kVerticalGradient; break;
    case 'M': renderType = kBrushedMetal; break;
    case 'C': renderType = kInnerStroke; break;
    case 'f': renderType = kFillInnerStroke; break;
    default: renderType = kStroke; break;
    }
}

void VPath::moveTo(QPointF p)
{
    pts.push_back(p);
    tags.push_back(kMove);
}

void VPath::lineTo(QPointF p)
{
    pts.push_back(p);
    tags.push_back(kLine);
}

void VPath::curveToC1(QPointF c1, QPointF c2, QPointF end)
{
    pts.insert(pts.end(), {c1, c2, end});
    tags.push_back(kCurve);
}

void VPath::QcurveToC1(QPointF c1, QPointF end)
{
    pts.insert(pts.end(), {c1, end});
    tags.push_back(kQuadCurve);
}

void VPath::arcToP1(QPointF p1, QPointF p2, double radius)
{
    pts.insert(pts.end(), {p1, p2, QPointF(radius, radius)});
    tags.push_back(kArc);
}

void VPath::closePath() { tags.push_back(kClose); }

QPainterPath VPath::path() const
{
    QPainterPath path;
    std::size_t i = 0;
    for (const int tag : tags) {
        switch (tag) {
        case kMove: path.moveTo(pts[i]); i += 1; break;
        case kLine: path.lineTo(pts[i]); i += 1; break;
        case kCurve: path.cubicTo(pts[i], pts[i + 1], pts[i + 2]); i += 3; break;
        case kQuadCurve: path.quadTo(pts[i], pts[i + 1]); i += 2; break;
        case kArc: GraphicsContext::addArcToPoint(path, pts[i], pts[i + 1], pts[i + 2].x()); i += 3; break;
        case kEllipse: path.addEllipse(QRectF(pts[i], QSizeF(pts[i + 1].x(), pts[i + 1].y()))); i += 2; break;
        case kRectangle: path.addRect(QRectF(pts[i], QSizeF(pts[i + 1].x(), pts[i + 1].y()))); i += 2; break;
        case kClose: path.closeSubpath(); break;
        default: break;
        }
    }
    return path;
}

void VPath::renderInContext(GraphicsContext& context, VContext& record, const VColorTable&) const
{
    const QPainterPath outline = path();
    const QRectF box = outline.boundingRect();
    switch (renderType) {
    case kFill: context.path() = outline; context.drawPath(GraphicsContext::PathMode::Fill); return;
    case kFillStroke: context.path() = outline; context.drawPath(GraphicsContext::PathMode::FillStroke); return;
    case kVerticalGradient:
        // The gradient clipped to the path: the path filled with it.
        context.fillPathWithGradient(outline, record.gradientRef, box.topLeft(), box.bottomLeft());
        return;
    case kBrushedMetal:
        context.saveGState();
        context.path() = outline;
        context.clip();
        drawMetalRect(context, box, record.gradientRef);
        context.restoreGState();
        return;
    case kInnerStroke:
    case kFillInnerStroke:
        context.saveGState();
        context.path() = outline;
        context.clip();
        context.path() = outline;
        context.drawPath(renderType == kInnerStroke ? GraphicsContext::PathMode::Stroke : GraphicsContext::PathMode::FillStroke);
        context.restoreGState();
        return;
    default: context.path() = outline; context.drawPath(GraphicsContext::PathMode::Stroke); return;
    }
}

void VPath::drawMetalRect(GraphicsContext& context, const QRectF& box, const QGradientStops& gradient)
{
    const double w = std::max(std::floor(box.width() / 32), 4.0);
    const double h = std::floor(3 * box.height());
    if (!(h >= 1) || !(w <= kMaxMetalSide) || !(h <= kMaxMetalSide) || gradient.isEmpty())
        return;
    QImage bitmap(static_cast<int>(w), static_cast<int>(h), QImage::Format_RGB32);
    {
        QPainter p(&bitmap);
        QLinearGradient fill(0, 0, 0, h);
        fill.setStops(gradient);
        p.fillRect(bitmap.rect(), fill);
    }
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            if (uniform() <= 0.8)
                continue;
            const double f = 1 + (uniform() - 0.5) * 0.25;
            // A brightened channel stays at full brightness rather than wrapping to dark.
            const auto scaled = [f](int c) { return std::min(255, static_cast<int>(c * f)); };
            row[x] = qRgb(scaled(qRed(row[x])), scaled(qGreen(row[x])), scaled(qBlue(row[x])));
        }
    }
    context.drawImage(box, bitmap);
}

} // namespace orvenda
