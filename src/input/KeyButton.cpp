#include "input/KeyButton.h"

#include "input/KeyArtwork.h"
#include "pretty/FontMap.h"

#include <QPainter>

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

void KeyButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF frame = rect();
    KeyArtwork::drawFace(painter, frame, face_, colorSet_, isDown());
    const QRectF body = KeyArtwork::body(frame, face_);
    if (!legend_.isEmpty()) {
        painter.setFont(KeyArtwork::fitted(FontMap::shared().font("Helvetica-Bold", body.height() * 0.55), legend_,
                                           body.width() * 0.9));
        painter.setPen(KeyArtwork::bodyTextColor(face_));
        painter.drawText(body, Qt::AlignCenter, legend_);
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
