#include "input/KeyButton.h"

#include "input/KeyArtwork.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// A label's size as a part of its body's height.
constexpr double kLabelSize = 0.55;

// The outline's bounds of text set at the origin's baseline.
QRectF ink(const QFont& font, const QString& text)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path.boundingRect();
}

} // namespace

int KeyButton::labelSizeFor(const QRectF& key, const QString& face)
{
    return std::max(1, static_cast<int>(std::lround(KeyArtwork::body(key, face).height() * kLabelSize)));
}

KeyButton::KeyButton(int key, QWidget* parent) : QAbstractButton(parent), key_(key)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
}

void KeyButton::setFace(const QString& face, int colorSet)
{
    if (face == face_ && colorSet == colorSet_)
        return;
    face_ = face;
    colorSet_ = colorSet;
    shownFor_ = {};
    update();
}

void KeyButton::setLegend(const QString& legend)
{
    if (legend == legend_)
        return;
    legend_ = legend;
    shownFor_ = {};
    update();
}

const KeyButton::LegendLayout& KeyButton::shown() const
{
    if (shownFor_ != size() || !shownFor_.isValid()) {
        shown_ = layoutLegend();
        shownFor_ = size();
    }
    return shown_;
}

void KeyButton::setLabelSize(int pixels)
{
    if (pixels == labelSize_)
        return;
    labelSize_ = pixels;
    shownFor_ = {};
    update();
}

void KeyButton::setBarred(bool barred)
{
    if (barred == barred_)
        return;
    barred_ = barred;
    update();
}

void KeyButton::setTitle(const QString& title)
{
    setText(title);
    setAccessibleName(title);
}

KeyButton::LegendLayout KeyButton::layoutLegend() const
{
    const QRectF body = KeyArtwork::body(rect(), face_);
    const QFont usual = FontMap::shared().font("Helvetica-Bold", labelSize_ > 0 ? labelSize_ : body.height() * kLabelSize);
    const double room = body.width() * 0.9;
    LegendLayout one{KeyArtwork::fitted(usual, legend_, room), legend_, {}, 0, 0};
    const qsizetype space = legend_.indexOf(QLatin1Char(' '));
    if (space < 0 || one.font.pixelSize() >= usual.pixelSize())
        return one;
    // Two lines, set by their ink rather than the font's line spacing, so that they keep
    // the size of the other keys' labels on a body only a little taller than two capitals.
    LegendLayout two{usual, legend_.left(space), legend_.mid(space + 1), 0, 0};
    for (int size = usual.pixelSize(); size > one.font.pixelSize(); --size) {
        two.font.setPixelSize(size);
        const QFontMetricsF metrics(two.font);
        const QRectF upper = ink(two.font, two.first), lower = ink(two.font, two.second);
        const double gap = size * 0.16;
        const double height = upper.height() + gap + lower.height();
        if (height > body.height() - 2 * std::max(1.0, body.height() * 0.05)
            || std::max(metrics.horizontalAdvance(two.first), metrics.horizontalAdvance(two.second)) > room)
            continue;
        const double top = body.center().y() - height / 2;
        two.firstBaseline = top - upper.top();
        two.secondBaseline = two.firstBaseline + upper.bottom() + gap - lower.top();
        return two;
    }
    return one;
}

QFont KeyButton::legendFont() const { return shown().font; }

QString KeyButton::legendLines() const
{
    const LegendLayout& layout = shown();
    return layout.second.isEmpty() ? layout.first : layout.first + QLatin1Char('\n') + layout.second;
}

void KeyButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF frame = rect();
    KeyArtwork::drawFace(painter, frame, face_, colorSet_, isDown());
    const QRectF body = KeyArtwork::body(frame, face_);
    if (!legend_.isEmpty()) {
        const LegendLayout& layout = shown();
        painter.setFont(layout.font);
        painter.setPen(KeyArtwork::bodyTextColor(face_));
        if (layout.second.isEmpty()) {
            painter.drawText(body, Qt::AlignCenter, layout.first);
        } else {
            const QFontMetricsF metrics(layout.font);
            painter.drawText(QPointF(body.center().x() - metrics.horizontalAdvance(layout.first) / 2, layout.firstBaseline),
                             layout.first);
            painter.drawText(QPointF(body.center().x() - metrics.horizontalAdvance(layout.second) / 2, layout.secondBaseline),
                             layout.second);
        }
    }
    if (barred_) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(230, 20, 30, 220));
        const double h = std::max(2.0, body.height() * 0.16);
        painter.drawRect(QRectF(body.left(), body.center().y() - h / 2, body.width(), h));
    }
}

} // namespace orvenda
