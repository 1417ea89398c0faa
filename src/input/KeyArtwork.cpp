#include "input/KeyArtwork.h"

#include "core/ColorTables.h"
#include "language/Vocabulary.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace orvenda {

const QColor KeyArtwork::kWhite = QColor::fromRgbF(1, 1, 1, 1);
const QColor KeyArtwork::kSecondLegend = QColor::fromRgbF(0.9f, 0.65f, 0.06f, 1);
const QColor KeyArtwork::kAlphaLegend = QColor::fromRgbF(0.2f, 0.78f, 0.4f, 1);
const QColor KeyArtwork::kSecondHighlight = QColor::fromRgbF(1.0f, 0.75f, 0.12f, 0.9f);
const QColor KeyArtwork::kAlphaHighlight = QColor::fromRgbF(0, 1.0f, 0, 0.9f);

namespace {

QColor interfaceColor(int set, int n)
{
    const VColor c = ColorTables::interfaceColor(set, n);
    return QColor::fromRgbF(static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b),
                            static_cast<float>(c.a));
}

bool arrowFace(const QString& face) { return face.startsWith(QLatin1String("fArrowKey")); }

struct Body {
    QColor top;
    QColor bottom;
};

Body bodyColors(const QString& face, int set)
{
    if (face.contains(QLatin1String("Yellow")))
        return {QColor(250, 204, 64), QColor(214, 150, 14)};
    if (face.contains(QLatin1String("Green")))
        return {QColor(92, 214, 124), QColor(30, 150, 70)};
    if (face.contains(QLatin1String("Blue")) || arrowFace(face))
        return {interfaceColor(set, 3), interfaceColor(set, 2)};
    if (face == QLatin1String("fkey") || face == QLatin1String("fkeyT"))
        return {QColor(150, 152, 158), QColor(104, 106, 112)};
    if (face.contains(QLatin1String("HelpHi")))
        return {QColor(255, 190, 60), QColor(200, 120, 10)};
    return {interfaceColor(set, 0), interfaceColor(set, 1)};
}

// An arrow pointing left, up, down or right, filled into r.
QPainterPath arrowGlyph(const QRectF& r, char direction)
{
    const QPointF c = r.center();
    const double s = std::min(r.width(), r.height()) * 0.28;
    QPainterPath path;
    switch (direction) {
    case 'L': path.moveTo(c.x() - s, c.y()); path.lineTo(c.x() + s * 0.6, c.y() - s); path.lineTo(c.x() + s * 0.6, c.y() + s); break;
    case 'R': path.moveTo(c.x() + s, c.y()); path.lineTo(c.x() - s * 0.6, c.y() - s); path.lineTo(c.x() - s * 0.6, c.y() + s); break;
    case 'U': path.moveTo(c.x(), c.y() - s); path.lineTo(c.x() - s, c.y() + s * 0.6); path.lineTo(c.x() + s, c.y() + s * 0.6); break;
    default: path.moveTo(c.x(), c.y() + s); path.lineTo(c.x() - s, c.y() - s * 0.6); path.lineTo(c.x() + s, c.y() - s * 0.6); break;
    }
    path.closeSubpath();
    return path;
}

} // namespace

QRectF KeyArtwork::legendStrip(const QRectF& key, const QString& face)
{
    if (arrowFace(face))
        return {};
    return {key.left(), key.top(), key.width(), key.height() * 0.36};
}

QRectF KeyArtwork::body(const QRectF& key, const QString& face)
{
    if (arrowFace(face))
        return key.adjusted(1, 1, -1, -1);
    const double top = key.height() * 0.38;
    return {key.left() + 1, key.top() + top, key.width() - 2, key.height() - top - 1};
}

void KeyArtwork::drawFace(QPainter& painter, const QRectF& key, const QString& face, int colorSet, bool pressed)
{
    drawBody(painter, body(key, face), face, colorSet, pressed);
}

void KeyArtwork::drawBody(QPainter& painter, const QRectF& b, const QString& face, int colorSet, bool pressed)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = std::min(b.height(), b.width()) * (arrowFace(face) ? 0.3 : 0.22);
    // A dark rim under the body gives the key its depth.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 150));
    painter.drawRoundedRect(b.translated(0, 1.2), radius, radius);
    Body colors = bodyColors(face, colorSet);
    if (pressed)
        colors = {colors.top.darker(135), colors.bottom.darker(135)};
    QLinearGradient fill(b.topLeft(), b.bottomLeft());
    fill.setColorAt(0, colors.top);
    fill.setColorAt(1, colors.bottom);
    painter.setBrush(fill);
    painter.drawRoundedRect(b, radius, radius);
    // The gloss over the upper half, in the set's highlight colours.
    QRectF gloss(b.left() + 1.5, b.top() + 1, b.width() - 3, b.height() * 0.45);
    QLinearGradient shine(gloss.topLeft(), gloss.bottomLeft());
    shine.setColorAt(0, interfaceColor(colorSet, 5));
    shine.setColorAt(1, interfaceColor(colorSet, 4));
    painter.setBrush(shine);
    painter.drawRoundedRect(gloss, radius * 0.8, radius * 0.8);
    if (arrowFace(face)) {
        const char direction = face.endsWith(QLatin1String("Left")) ? 'L'
            : face.endsWith(QLatin1String("Right"))                 ? 'R'
            : face.endsWith(QLatin1String("Up"))                    ? 'U'
                                                                    : 'D';
        painter.setBrush(kWhite);
        painter.drawPath(arrowGlyph(b, direction));
    }
    painter.restore();
}

void KeyArtwork::drawBackPanel(QPainter& painter, const QRectF& panel)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(panel.topLeft(), panel.bottomLeft());
    shade.setColorAt(0, QColor(77, 77, 77));
    shade.setColorAt(0.5, QColor(51, 51, 51));
    shade.setColorAt(1, QColor(51, 51, 51));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRoundedRect(panel, 3, 3);
    painter.restore();
}

QString KeyArtwork::xKeyFace(int graphMode, bool tall)
{
    switch (graphMode) {
    case 1: return tall ? QStringLiteral("fTkeyPar") : QStringLiteral("fkeyPar");
    case 2: return tall ? QStringLiteral("fTkeyTheta") : QStringLiteral("fkeyTheta");
    case 3: return tall ? QStringLiteral("fTkeyNu") : QStringLiteral("fkeyNu");
    default: return tall ? QStringLiteral("fTkeyX") : QStringLiteral("fkeyX");
    }
}

QString KeyArtwork::xKeyLegend(int graphMode)
{
    switch (graphMode) {
    case 1: return QStringLiteral("T");
    case 2: return QStringLiteral("θ");
    case 3: return QStringLiteral("η");
    default: return QStringLiteral("X");
    }
}

QString KeyArtwork::legendText(std::uint32_t op)
{
    switch (op) {
    case 0x82: return QStringLiteral("×");
    case 0x83: return QStringLiteral("÷");
    case 0x71: return QStringLiteral("−");
    case 0xB0: return QStringLiteral("(−)");
    case 0x0C: return QStringLiteral("x⁻¹");
    case 0x0D: return QStringLiteral("x²");
    case 0x04: return QStringLiteral("STO➞");
    case 0x2B: return QStringLiteral(",");
    default: break;
    }
    QString name = QString::fromStdString(Vocabulary::shared().nameForOpcode(op)).trimmed();
    if (name.size() > 1 && name.endsWith(QLatin1Char('(')))
        name.chop(1);
    return name;
}

QColor KeyArtwork::bodyTextColor(const QString& face)
{
    // Undo dims while there is nothing to undo.
    if (face == QLatin1String("fkeyUndoNot"))
        return QColor(128, 128, 128);
    if (face.contains(QLatin1String("Yellow")) || face.contains(QLatin1String("Green")))
        return QColor(20, 20, 20);
    return kWhite;
}

QFont KeyArtwork::fitted(QFont font, const QString& text, double room)
{
    const double wide = QFontMetricsF(font).horizontalAdvance(text);
    if (wide > room && wide > 0)
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / wide)));
    return font;
}

} // namespace orvenda
