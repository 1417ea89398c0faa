#include "input/KeyButton.h"

#include "input/KeyArtwork.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace orvenda {

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
    update();
}

void KeyButton::setLegend(const QString& legend)
{
    if (legend == legend_)
        return;
    legend_ = legend;
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
    const QFont usual = FontMap::shared().font("Helvetica-Bold", body.height() * 0.55);
    const double room = body.width() * 0.9;
    LegendLayout one{KeyArtwork::fitted(usual, legend_, room), legend_};
    const qsizetype space = legend_.indexOf(QLatin1Char(' '));
    if (space < 0 || one.font.pixelSize() * 5 >= usual.pixelSize() * 4)
        return one;
    // Two lines share the body's height; the wider one sets the size.
    QFont half = usual;
    half.setPixelSize(std::max(1, static_cast<int>(body.height() * 0.46)));
    const QString first = legend_.left(space), second = legend_.mid(space + 1);
    const QFontMetricsF metrics(half);
    LegendLayout two{KeyArtwork::fitted(half, metrics.horizontalAdvance(first) > metrics.horizontalAdvance(second) ? first : second, room),
        first + QLatin1Char('\n') + second};
    return two.font.pixelSize() > one.font.pixelSize() ? two : one;
}

QFont KeyButton::legendFont() const { return layoutLegend().font; }

QString KeyButton::legendLines() const { return layoutLegend().text; }

void KeyButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF frame = rect();
    KeyArtwork::drawFace(painter, frame, face_, colorSet_, isDown());
    const QRectF body = KeyArtwork::body(frame, face_);
    if (!legend_.isEmpty()) {
        const LegendLayout shown = layoutLegend();
        painter.setFont(shown.font);
        painter.setPen(KeyArtwork::bodyTextColor(face_));
        painter.drawText(body, Qt::AlignCenter, shown.text);
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
