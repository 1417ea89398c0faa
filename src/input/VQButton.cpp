#include "input/VQButton.h"

#include "pretty/FontMap.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace orvenda {

namespace {

QColor rgb(double r, double g, double b) { return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)); }

VQButton::Colors scheme(int n)
{
    switch (n) {
    case 2: return {rgb(0.57, 0.62, 0.83), rgb(0.22, 0.31, 0.70), rgb(0.12, 0.22, 0.66)};
    case 3: return {rgb(1.00, 0.50, 0.55), rgb(0.90, 0.25, 0.30), rgb(0.87, 0.00, 0.06)};
    case 4: return {rgb(0.70, 0.70, 0.70), rgb(0.40, 0.40, 0.40), rgb(0.10, 0.10, 0.10)};
    default: return {rgb(0.66, 0.80, 0.94), rgb(0.37, 0.55, 0.70), rgb(0.29, 0.49, 0.66)};
    }
}

// A channel scaled from the background; a zero channel takes the fixed value instead, and
// the result stays a colour.
double derived(double c, double factor, double ifZero) { return c == 0 ? ifZero : std::clamp(c * factor, 0.0, 1.0); }

// A rectangle with the four corner radii top-left, top-right, bottom-right, bottom-left.
QPainterPath roundRect(const QRectF& r, double r1, double r2, double r3, double r4)
{
    QPainterPath p;
    p.moveTo(r.left(), r.top() + r1);
    p.arcTo(QRectF(r.left(), r.top(), 2 * r1, 2 * r1), 180, -90);
    p.lineTo(r.right() - r2, r.top());
    p.arcTo(QRectF(r.right() - 2 * r2, r.top(), 2 * r2, 2 * r2), 90, -90);
    p.lineTo(r.right(), r.bottom() - r3);
    p.arcTo(QRectF(r.right() - 2 * r3, r.bottom() - 2 * r3, 2 * r3, 2 * r3), 0, -90);
    p.lineTo(r.left() + r4, r.bottom());
    p.arcTo(QRectF(r.left(), r.bottom() - 2 * r4, 2 * r4, 2 * r4), 270, -90);
    p.closeSubpath();
    return p;
}

} // namespace

VQButton::VQButton(QWidget* parent, int scheme, QColor background)
    : QPushButton(parent), scheme_(scheme), background_(background)
{
    if (scheme_ == 0)
        scheme_ = 1;
    if (background_.isValid() && background_.alphaF() == 1) {
        const double r = background_.redF(), g = background_.greenF(), b = background_.blueF();
        if (r == 0 && g == 0 && b == 0)
            scheme_ = 4;
        else if (b == 1 && r == 0 && g == 0)
            scheme_ = 2;
        else if (r == 1 && g == 0 && b == 0)
            scheme_ = 3;
        else
            scheme_ = 5;
    }
    setFlat(true);
}

void VQButton::setColorScheme(int scheme)
{
    scheme_ = scheme;
    resizeEvent(nullptr);
}

VQButton::Colors VQButton::colors(State state) const
{
    if (state == kHighlighted)
        return scheme_ == 3 ? Colors{rgb(0.76, 0.50, 0.54), rgb(0.70, 0.25, 0.29), rgb(0.60, 0.00, 0.07)} : scheme(2);
    if (scheme_ == 5) {
        const double c[3] = {background_.redF(), background_.greenF(), background_.blueF()};
        return {rgb(derived(c[0], 1.7, 0.7), derived(c[1], 1.7, 0.7), derived(c[2], 1.7, 0.7)),
                rgb(derived(c[0], 1.5, 0.5), derived(c[1], 1.5, 0.5), derived(c[2], 1.5, 0.5)),
                rgb(derived(c[0], 1.3, 0.3), derived(c[1], 1.3, 0.3), derived(c[2], 1.3, 0.3))};
    }
    return scheme(scheme_);
}

QImage VQButton::canvas() const
{
    const double ratio = devicePixelRatioF();
    QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

QImage VQButton::buttonImageForState(State state) const
{
    QImage image = canvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double w = width(), h = height();
    const Colors c = colors(state);
    const QRectF outer(0, 0, w, h - 2);
    painter.setBrush(QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    painter.drawRoundedRect(outer.translated(0, 1), 5, 5);
    painter.setBrush(QColor::fromRgbF(0.25f, 0.25f, 0.25f));
    painter.drawRoundedRect(outer, 5, 5);
    const QRectF body(0.5, 1, w - 1, h - 4);
    painter.setBrush(QColor(0, 0, 0, 128));
    painter.drawRoundedRect(body.translated(0, -1), 5, 5);
    painter.setBrush(c.body);
    painter.drawRoundedRect(body, 5, 5);
    const QRectF gloss(1.5, 2, w - 3, h / 2 - 2);
    QLinearGradient shine(gloss.topLeft(), gloss.bottomLeft());
    shine.setColorAt(0, c.glossTop);
    shine.setColorAt(1, c.glossBottom);
    painter.setClipPath(roundRect(gloss, 4, 4, 10.0 / 3, 10.0 / 3));
    painter.fillRect(gloss, shine);
    return image;
}

void VQButton::resizeEvent(QResizeEvent* event)
{
    if (scheme_ != 0 && !size().isEmpty())
        for (State s : {kNormal, kHighlighted, kDisabled})
            faces_[s] = buttonImageForState(s);
    if (event)
        QPushButton::resizeEvent(event);
}

void VQButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const State state = !isEnabled() ? kDisabled : isDown() ? kHighlighted : kNormal;
    painter.drawImage(QPointF(0, 0), faces_[state]);
    painter.setFont(FontMap::shared().font("Helvetica-Bold", 12));
    painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(Qt::darkGray));
    painter.drawText(rect(), Qt::AlignCenter, text());
}

QImage VQButton2::buttonImageForState(State state) const
{
    QImage image = canvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor blue = QColor::fromRgbF(0.14f, 0.48f, 0.99f);
    const QRectF r(0.5, 0.5, width() - 2, height() - 2);
    if (state == kNormal) {
        painter.setPen(QPen(blue, 1));
        painter.setBrush(Qt::NoBrush);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(state == kHighlighted ? blue : QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.5f));
    }
    painter.drawRoundedRect(r, 5, 5);
    return image;
}

} // namespace orvenda
