#include "app/OverlaySlide.h"

#include <QRect>
#include <QVariantAnimation>

#include <cmath>
#include <utility>

namespace orvenda {

OverlaySlide::OverlaySlide(QObject& owner, std::function<void(double in)> lay, int ms)
    : QObject(&owner), lay_(std::move(lay)), animation_(new QVariantAnimation(this)), ms_(ms)
{
    connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) { step(v.toDouble()); });
    connect(animation_, &QVariantAnimation::finished, this, [this] {
        step(target_);
        if (arrived)
            arrived(in());
    });
}

void OverlaySlide::slide(bool in)
{
    animation_->stop();
    target_ = in ? 1 : 0;
    const double way = std::abs(target_ - progress_);
    animation_->setDuration(std::max(1, static_cast<int>(std::lround(ms_ * way))));
    animation_->setStartValue(progress_);
    animation_->setEndValue(target_);
    step(progress_);
    animation_->start();
}

void OverlaySlide::jump(bool in)
{
    animation_->stop();
    target_ = in ? 1 : 0;
    step(target_);
}

void OverlaySlide::place() const
{
    if (lay_)
        lay_(progress_);
}

bool OverlaySlide::sliding() const { return animation_->state() == QAbstractAnimation::Running; }

void OverlaySlide::step(double f)
{
    progress_ = f;
    place();
}

QRect OverlaySlide::between(const QRect& out, const QRect& in, double f)
{
    const auto at = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
    return {at(out.x(), in.x()), at(out.y(), in.y()), at(out.width(), in.width()), at(out.height(), in.height())};
}

} // namespace orvenda
