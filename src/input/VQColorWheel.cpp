#include "input/VQColorWheel.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

struct WheelCache {
    QString folder;
    QHash<int, QImage> images;
    int drawn = 0;
};

WheelCache& cache()
{
    static WheelCache shared;
    return shared;
}

// Hue and saturation of an offset from the centre of a disc of that radius.
VQColorWheel::HueSaturation hueSaturation(double dx, double dy, double radius)
{
    double a = std::atan2(dy, dx);
    if (a < 0)
        a += kTwoPi;
    const double distance = std::hypot(dx, dy);
    return {(kTwoPi - a) / kTwoPi, radius > 0 ? std::min(distance / radius, 1.0) : 0.0};
}

} // namespace

VQColorWheel::VQColorWheel(QWidget* parent) : QWidget(parent) {}

void VQColorWheel::setColor(std::optional<VQColor> color)
{
    color_ = std::move(color);
    update();
}

QRectF VQColorWheel::wheelRect(QSizeF size)
{
    const double d = std::max(0.0, std::min(size.width(), size.height() - 12));
    return {(size.width() - d) / 2, 6, d, d};
}

VQColorWheel::HueSaturation VQColorWheel::hsvFromPt(QPointF point) const
{
    const QRectF r = wheelRect();
    return hueSaturation(point.x() - r.center().x(), point.y() - r.center().y(), r.width() / 2);
}

QPointF VQColorWheel::ptForColor(const VQColor& color) const
{
    const QRectF r = wheelRect();
    const double theta = kTwoPi - kTwoPi * color.h();
    const double radius = color.s() * r.width() / 2;
    return r.center() + QPointF(radius * std::cos(theta), radius * std::sin(theta));
}

std::array<double, 3> VQColorWheel::computeRGB(double h, double s, double v)
{
    const double k = std::floor(6 * h);
    const double f = 6 * h - k;
    int i = static_cast<int>(std::fmod(k, 6.0));
    if (i < 0)
        i += 6;
    const double p = v * (1 - s);
    const double q = v * (1 - f * s);
    const double t = v * (1 - (1 - f) * s);
    switch (i) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
    }
}

QImage VQColorWheel::drawImage(int side)
{
    ++cache().drawn;
    QImage image(std::max(side, 1), std::max(side, 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const float r = static_cast<float>(image.height()) / 2;
    const int cx = image.width() / 2;
    for (int y = 0; y < image.height(); ++y) {
        const float dy = r - static_cast<float>(y);
        const float square = r * r - dy * dy;
        const int halfWidth = square > 0 ? static_cast<int>(std::sqrt(square)) : 0;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = std::max(cx - halfWidth, 0); x < std::min(cx + halfWidth, image.width()); ++x) {
            const HueSaturation hs = hueSaturation(x - cx, y - r, r);
            const auto rgb = computeRGB(hs.h, hs.s, 1);
            line[x] = qRgb(qRound(rgb[0] * 255), qRound(rgb[1] * 255), qRound(rgb[2] * 255));
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawEllipse(QRectF(0.5, 0.5, image.width() - 1, image.height() - 1));
    return image;
}

QImage VQColorWheel::getImage() const
{
    const int side = qRound(wheelRect().width() * devicePixelRatioF());
    WheelCache& c = cache();
    if (auto found = c.images.constFind(side); found != c.images.constEnd())
        return *found;
    QImage image;
    const QString file = c.folder.isEmpty() ? QString() : c.folder + QStringLiteral("/colorWheel");
    if (!file.isEmpty()) {
        QDir().mkpath(c.folder);
        // A file of another size (another device's wheel) is drawn again.
        if (image.load(file, "PNG") && image.width() != side)
            image = QImage();
    }
    if (image.isNull()) {
        image = drawImage(side);
        // A failed write only means drawing it again next time.
        if (!file.isEmpty())
            image.save(file, "PNG");
    }
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    c.images.insert(side, image);
    return image;
}

void VQColorWheel::setImageFolder(const QString& folder)
{
    cache().folder = folder;
    cache().images.clear();
}

int VQColorWheel::imagesDrawn() { return cache().drawn; }

void VQColorWheel::doTouch(QPointF point, bool ended)
{
    const HueSaturation hs = hsvFromPt(point);
    if (color_) {
        color_->setH(hs.h, hs.s, color_->v(), color_->a());
        if (delegate_) {
            delegate_->selectColor(*color_);
            if (ended)
                delegate_->finalizeColor(*this);
        }
    }
    update();
}

void VQColorWheel::paintEvent(QPaintEvent*)
{
    const QRectF r = wheelRect();
    if (r.width() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(r);
    painter.setOpacity(color_ ? color_->v() : 1.0);
    painter.drawImage(r, getImage());
    painter.setOpacity(1);
    if (color_) {
        const QRectF marker(ptForColor(*color_) - QPointF(6, 6), QSizeF(12, 12));
        painter.setBrush(QColor(255, 255, 255, 77));
        painter.setPen(QPen(QColor(255, 255, 255, 160), 3));
        painter.drawEllipse(marker);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawEllipse(marker);
    }
}

void VQColorWheel::mousePressEvent(QMouseEvent* event) { doTouch(event->position(), false); }

void VQColorWheel::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        doTouch(event->position(), false);
}

void VQColorWheel::mouseReleaseEvent(QMouseEvent* event) { doTouch(event->position(), true); }

} // namespace orvenda
