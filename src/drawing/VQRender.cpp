#include "drawing/VQRender.h"

#include "drawing/GraphicsContext.h"
#include "drawing/MainScreen.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// A channel 0..255 as the phone keeps it: divided in single precision.
double channel(int c) { return static_cast<double>(static_cast<float>(c) / 255.0f); }

QColor qColor(const VQRender::Color& c) { return GraphicsContext::color(c.r, c.g, c.b, c.a); }

bool finite(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

} // namespace

VQRender::VQRender() = default;

VQRender::~VQRender()
{
    // An image still open is closed with the helper.
    imageContext_.reset();
    imagePainter_.reset();
}

std::unique_ptr<VQRender> VQRender::vqRender(GraphicsContext& context)
{
    auto render = std::make_unique<VQRender>();
    render->context_ = &context;
    return render;
}

void VQRender::setContext(GraphicsContext* context)
{
    if (context != context_)
        context_ = context;
}

double VQRender::halfGrid(double v)
{
    const double whole = static_cast<double>(std::nearbyint(static_cast<float>(v)));
    return whole > v ? whole - 0.5 : whole + 0.5;
}

void VQRender::RGBFillR(int r, int g, int b, double a)
{
    fillColor_ = {channel(r), channel(g), channel(b), a};
    if (context_)
        context_->setFillColor(qColor(fillColor_));
}

void VQRender::RGBStrokeR(int r, int g, int b, double a, double width)
{
    strokeColor_ = {channel(r), channel(g), channel(b), a};
    if (context_) {
        context_->setStrokeColor(qColor(strokeColor_));
        context_->setLineWidth(width);
    }
}

void VQRender::RGBShadowR(int r, int g, int b, double a, QSizeF offset, double blur)
{
    if (!context_)
        return;
    if (blur == 0) {
        context_->clearShadow();
        return;
    }
    context_->setShadow(QPointF(offset.width(), offset.height()), blur,
                        GraphicsContext::color(channel(r), channel(g), channel(b), a));
}

void VQRender::RGBGradientR(int r, int g, int b, double a, double percent)
{
    gradientColor_ = {channel(r), channel(g), channel(b), a};
    gradientPercent_ = percent;
}

void VQRender::setGradient(const Color& c1, const Color& c2, double percent)
{
    const Color mean{(c1.r + c2.r) / 2, (c1.g + c2.g) / 2, (c1.b + c2.b) / 2, (c1.a + c2.a) / 2};
    // A stop outside the axis is held to its end.
    const double at = std::isfinite(percent) ? std::clamp(percent, 0.0, 1.0) : 0.5;
    gradient_ = {{0.0, qColor(c2)}, {at, qColor(mean)}, {1.0, qColor(c1)}};
}

void VQRender::DrawWithAttributes(int attributes)
{
    if (!context_)
        return;
    GraphicsContext& c = *context_;
    const QPainterPath outline = c.path();
    const QRectF box = outline.boundingRect();
    const bool clipped = (attributes & 60) != 0;
    if (clipped) {
        c.saveGState();
        c.clip();
        c.path() = outline;
    }
    // A gradient clipped to the path is the path filled with it.
    if (attributes & kVerticalGradient) {
        setGradient(fillColor_, gradientColor_, gradientPercent_);
        c.fillPathWithGradient(outline, gradient_, box.topLeft(), box.bottomLeft());
    }
    if (attributes & kHorizontalGradient) {
        setGradient(fillColor_, gradientColor_, gradientPercent_);
        c.fillPathWithGradient(outline, gradient_, box.topLeft(), box.topRight());
    }
    switch (attributes & 3) {
    case 1: c.drawPath(GraphicsContext::PathMode::Stroke); break;
    case 2: c.drawPath(GraphicsContext::PathMode::Fill); break;
    case 3: c.drawPath(GraphicsContext::PathMode::FillStroke); break;
    default: break;
    }
    if (clipped)
        c.restoreGState();
}

void VQRender::DrawLineP1(QPointF p1, QPointF p2)
{
    if (!context_ || !finite(p1) || !finite(p2))
        return;
    context_->beginPath();
    context_->path().moveTo(p1);
    context_->path().lineTo(p2);
    DrawWithAttributes(kStroke);
}

void VQRender::DrawRect(const QRectF& rect, int attributes)
{
    if (!context_)
        return;
    context_->beginPath();
    context_->path().addRect(rect);
    DrawWithAttributes(attributes);
}

void VQRender::roundedRectPath(const QRectF& r, double c1, double c2, double c3, double c4)
{
    QPainterPath& path = context_->path();
    path = QPainterPath();
    const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
    if (c1 != 0) {
        path.moveTo(x, y + c1);
        GraphicsContext::addArcToPoint(path, {x, y}, {x + c1, y}, c1);
    } else {
        path.moveTo(x, y);
    }
    if (c2 != 0)
        GraphicsContext::addArcToPoint(path, {x + w, y}, {x + w, y + c2}, c2);
    else
        path.lineTo(x + w, y);
    if (c3 != 0)
        GraphicsContext::addArcToPoint(path, {x + w, y + h}, {x + w - c3, y + h}, c3);
    else
        path.lineTo(x + w, y + h);
    if (c4 != 0)
        GraphicsContext::addArcToPoint(path, {x, y + h}, {x, y + h - c4}, c4);
    else
        path.lineTo(x, y + h);
    path.closeSubpath();
}

void VQRender::DrawRRect(const QRectF& rect, double c1, double c2, double c3, double c4, int attributes)
{
    if (!context_)
        return;
    roundedRectPath(rect, c1, c2, c3, c4);
    DrawWithAttributes(attributes);
}

void VQRender::ClipRRect(const QRectF& rect, double c1, double c2, double c3, double c4)
{
    if (!context_)
        return;
    roundedRectPath(rect, c1, c2, c3, c4);
    context_->clip();
}

std::unique_ptr<VQRender> VQRender::vqRenderInBounds(const QRectF& rect)
{
    auto render = std::make_unique<VQRender>();
    const double s = MainScreen::scale();
    const double w = std::ceil(rect.width() * s - 1e-9), h = std::ceil(rect.height() * s - 1e-9);
    render->imageScale_ = s;
    if (!(w >= 1 && h >= 1 && w <= kMaxImageSide && h <= kMaxImageSide) || !std::isfinite(rect.x() * s)
        || !std::isfinite(rect.y() * s))
        return render;
    render->image_ = std::make_unique<QImage>(static_cast<int>(w), static_cast<int>(h), QImage::Format_ARGB32_Premultiplied);
    render->image_->fill(Qt::transparent);
    render->imagePainter_ = std::make_unique<QPainter>(render->image_.get());
    render->imagePainter_->setRenderHint(QPainter::Antialiasing);
    render->imagePainter_->setRenderHint(QPainter::SmoothPixmapTransform);
    render->imagePainter_->translate(-rect.x() * s, -rect.y() * s);
    render->imagePainter_->scale(s, s);
    render->imageContext_ = std::make_unique<GraphicsContext>(*render->imagePainter_);
    render->context_ = render->imageContext_.get();
    return render;
}

QImage VQRender::getImage()
{
    if (!image_)
        return {};
    if (context_ == imageContext_.get())
        context_ = nullptr;
    imageContext_.reset();
    imagePainter_.reset();
    QImage out = std::move(*image_);
    image_.reset();
    out.setDevicePixelRatio(imageScale_);
    return out;
}

} // namespace orvenda
