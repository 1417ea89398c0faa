#include "input/KeyPopoutView.h"

#include "input/KeyTables.h"
#include "language/Vocabulary.h"
#include "pretty/FontMap.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace orvenda {

KeyPopoutView::KeyPopoutView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void KeyPopoutView::open(std::vector<std::uint32_t> codes, QRectF keyRect, QRectF frame, bool drawLeft, double k,
                         double sx, double sy, QPointF origin)
{
    codes_ = std::move(codes);
    keyRect_ = keyRect;
    frame_ = frame;
    drawLeft_ = drawLeft;
    k_ = k;
    sx_ = sx;
    sy_ = sy;
    selected_ = 0;
    setGeometry(frame.translated(origin).toAlignedRect());
    QWidget::show();
    raise();
    update();
}

void KeyPopoutView::setSelectedKey(int cell)
{
    if (cell == selected_)
        return;
    selected_ = cell;
    update();
}

std::uint32_t KeyPopoutView::selectedCode() const
{
    return selected_ >= 0 && selected_ < static_cast<int>(codes_.size()) ? codes_[static_cast<std::size_t>(selected_)] : 0;
}

void KeyPopoutView::trackPt(QPointF point)
{
    const int count = static_cast<int>(codes_.size());
    // Floor, so a finger just left of the first cell selects nothing rather than cell 0.
    const int index = static_cast<int>(std::floor((point.x() - (frame_.x() + 8 * k_ * sx_)) / (21 * k_ * sx_)));
    int cell = -1;
    if (index >= 0 && index < count)
        cell = drawLeft_ ? index : count - 1 - index;
    setSelectedKey(cell);
}

bool KeyPopoutView::drawsBalloon() const
{
    if (codes_.empty())
        return false;
    const std::uint32_t first = codes_.front();
    return first != KeyTables::kSpace && first != KeyTables::kEnter && first != KeyTables::kCaseKey;
}

QRectF KeyPopoutView::cellRect(int cell) const
{
    const double w = 21 * k_ * sx_;
    const double top = 2 + 2 * k_ * sy_;
    const double h = 22 * k_ * sy_;
    const double x = drawLeft_ ? 2 * k_ * sx_ + w * cell : width() - 2 * k_ * sx_ - w * (cell + 1);
    return {x, top, w, h};
}

void KeyPopoutView::paintEvent(QPaintEvent*)
{
    if (!drawsBalloon())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect()).adjusted(2, 2, -2, -2);
    const double radius = 9 * k_;
    QPainterPath shape;
    if (codes_.size() == 1) {
        shape.addRoundedRect(bounds, radius, radius);
    } else {
        const double keyH = keyRect_.height();
        QPainterPath upper;
        upper.addRoundedRect(QRectF(bounds.left(), bounds.top(), bounds.width(), keyH), radius, radius);
        const double stemTop = bounds.top() + keyH - radius;
        const double stemLeft = drawLeft_ ? bounds.left() : bounds.right() - keyRect_.width();
        QPainterPath stem;
        stem.addRoundedRect(QRectF(stemLeft, stemTop, keyRect_.width(), bounds.bottom() - stemTop), radius, radius);
        shape = upper.united(stem);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 128));
    painter.drawPath(shape.translated(2, 2));
    painter.setBrush(Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPath(shape);

    painter.setFont(FontMap::shared().font("Helvetica-Bold", 18 * k_ * sy_));
    const Vocabulary& vocabulary = Vocabulary::shared();
    for (int cell = 0; cell < static_cast<int>(codes_.size()); ++cell) {
        const QRectF r = cellRect(cell);
        if (cell == selected_) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 0, 255));
            painter.drawRoundedRect(r, 6 * k_, 6 * k_);
        }
        painter.setPen(cell == selected_ ? Qt::white : Qt::black);
        painter.drawText(r, Qt::AlignCenter | Qt::TextDontClip,
                         QString::fromStdString(vocabulary.nameForOpcode(codes_[static_cast<std::size_t>(cell)])));
    }
}

} // namespace orvenda
