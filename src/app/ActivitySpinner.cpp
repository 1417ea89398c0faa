#include "app/ActivitySpinner.h"

#include <QPainter>

#include <algorithm>

namespace orvenda {

namespace {

constexpr int kSpokes = 12;
constexpr int kSize = 20;
constexpr int kIntervalMs = 80;

} // namespace

ActivitySpinner::ActivitySpinner(QWidget* parent)
    : QWidget(parent)
{
    resize(kSize, kSize);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    timer_.setInterval(kIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSpokes;
        update();
    });
    hide();
}

void ActivitySpinner::start()
{
    show();
    raise();
    timer_.start();
}

void ActivitySpinner::stop()
{
    timer_.stop();
    hide();
}

void ActivitySpinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const double radius = std::min(width(), height()) / 2.0;
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the step is brightest, the ones behind it fade.
        const int age = (step_ - i + kSpokes) % kSpokes;
        painter.setPen(QPen(QColor(255, 255, 255, 255 - age * 18), 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius * 0.9));
        painter.rotate(360.0 / kSpokes);
    }
}

} // namespace orvenda
