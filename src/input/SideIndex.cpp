#include "input/SideIndex.h"

#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr double kLine = 16;
constexpr double kTitleSize = 11;

} // namespace

SideIndex::SideIndex(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    hide();
}

void SideIndex::setTitles(const QStringList& titles)
{
    titles_ = titles;
    last_ = -1;
    update();
}

double SideIndex::step() const
{
    return titles_.isEmpty() ? 0 : std::min(kLine, height() / static_cast<double>(titles_.size()));
}

QFont SideIndex::titleFont() const
{
    return FontMap::shared().font("Helvetica-Bold", std::clamp(step() - 4, 6.0, kTitleSize));
}

int SideIndex::indexWidth() const
{
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica-Bold", kTitleSize));
    double widest = 0;
    for (const QString& title : titles_)
        widest = std::max(widest, metrics.horizontalAdvance(title));
    return std::max(kWidth, static_cast<int>(std::ceil(widest)) + 6);
}

QRect SideIndex::entryRect(int index) const
{
    if (index < 0 || index >= titles_.size())
        return {};
    const double h = step();
    // The entries stand together in the middle of the height.
    const double top = (height() - h * static_cast<double>(titles_.size())) / 2;
    return QRectF(0, top + h * index, width(), h).toAlignedRect();
}

int SideIndex::entryAt(QPoint at) const
{
    const double h = step();
    if (h <= 0)
        return -1;
    const double top = (height() - h * static_cast<double>(titles_.size())) / 2;
    const auto index = static_cast<int>(std::floor((at.y() - top) / h));
    // A finger above the first or below the last still means that one.
    return std::clamp(index, 0, static_cast<int>(titles_.size()) - 1);
}

void SideIndex::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setFont(titleFont());
    painter.setPen(palette().color(QPalette::Text));
    for (int i = 0; i < titles_.size(); ++i)
        painter.drawText(entryRect(i), Qt::AlignCenter, titles_[i]);
}

void SideIndex::reach(QPoint at)
{
    const int index = entryAt(at);
    if (index < 0 || index == last_)
        return;
    last_ = index;
    if (picked)
        picked(index);
}

void SideIndex::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    last_ = -1;
    reach(event->position().toPoint());
}

void SideIndex::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        reach(event->position().toPoint());
}

void SideIndex::mouseReleaseEvent(QMouseEvent*) { last_ = -1; }

} // namespace orvenda
