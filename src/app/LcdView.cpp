#include "app/LcdView.h"

#include "core/Calculator.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace orvenda {

namespace {

constexpr double kRadius = 3;

QColor withValue(const QColor& base, double saturationStep, double valueStep)
{
    float h = 0, s = 0, v = 0, a = 0;
    base.getHsvF(&h, &s, &v, &a);
    return QColor::fromHsvF(h, std::clamp(s + static_cast<float>(saturationStep), 0.0f, 1.0f),
        std::clamp(v + static_cast<float>(valueStep), 0.0f, 1.0f));
}

// Channels pass through bytes, truncated, as the drawing object takes them.
QColor byteColour(const VColor& c)
{
    return QColor(static_cast<int>(c.r * 255), static_cast<int>(c.g * 255), static_cast<int>(c.b * 255));
}

} // namespace

LcdView::LcdView(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc)
{
}

// The application's appearance, not the window's own colours.
bool LcdView::darkAppearance() const { return QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5; }

void LcdView::paintEvent(QPaintEvent*)
{
    const VColor colour = calc_.interfaceColor(calc_.lcdColorSet, 6);
    const bool dark = darkAppearance();
    if (image_.isNull() || madeFor_ != size() || colour.r != colour_.r || colour.g != colour_.g
        || colour.b != colour_.b || dark != dark_)
        rebuild(colour, dark);
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), image_);
}

void LcdView::rebuild(const VColor& colour, bool dark)
{
    colour_ = colour;
    madeFor_ = size();
    dark_ = dark;
    const qreal scale = std::max<qreal>(1, devicePixelRatioF());
    image_ = QImage((QSizeF(size()) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(scale);
    image_.fill(Qt::transparent);
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor base = byteColour(colour);
    const QColor shade = withValue(base, 0, -0.1);
    const QColor rim = withValue(base, 0.2, -0.2);
    // Always the whole view: the image is reused for every later paint, whatever part of
    // the view that paint covers.
    const QRectF bounds(QPointF(0, 0), QSizeF(size()));
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, base);
    gradient.setColorAt(0.5, QColor((base.red() + shade.red()) / 2, (base.green() + shade.green()) / 2,
                                 (base.blue() + shade.blue()) / 2));
    gradient.setColorAt(1, shade);
    QPainterPath panel;
    panel.addRoundedRect(bounds, kRadius, kRadius);
    painter.fillPath(panel, gradient);

    // The rim with its shadow below and to the right.
    const QRectF rimRect = bounds.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(0, 0, 0, 60), 2));
    painter.drawRoundedRect(rimRect.translated(3, 2), kRadius, kRadius);
    QColor rimColour = rim;
    rimColour.setAlphaF(0.8f);
    painter.setPen(QPen(rimColour, 2));
    painter.drawRoundedRect(rimRect, kRadius, kRadius);

    if (dark)
        painter.fillRect(bounds, QColor(0, 0, 0, 128));
}

} // namespace orvenda
