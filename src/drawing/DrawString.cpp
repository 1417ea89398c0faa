#include "drawing/DrawString.h"

#include "drawing/GraphicsContext.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace orvenda {

namespace {

struct Face {
    QFont font;
    QFontMetricsF metrics;
};

const Face& face(const std::string& name)
{
    static std::unordered_map<std::string, std::unique_ptr<Face>> faces;
    static const std::string* lastName = nullptr;
    static const Face* last = nullptr;
    if (last && *lastName == name)
        return *last;
    auto it = faces.find(name);
    if (it == faces.end()) {
        const QFont font = FontMap::shared().font(name, DrawString::kReferenceSize);
        it = faces.emplace(name, std::make_unique<Face>(Face{font, QFontMetricsF(font)})).first;
    }
    lastName = &it->first;
    last = it->second.get();
    return *last;
}

double factor(const TextFont& font)
{
    return font.size > 0 && std::isfinite(font.size) ? font.size / DrawString::kReferenceSize : 0;
}

} // namespace

const QFont& DrawString::referenceFont(const std::string& name) { return face(name).font; }

QSizeF DrawString::VQsizeWithFont(const QString& text, const TextFont& font)
{
    const Face& f = face(font.name);
    const double k = factor(font);
    if (text.isEmpty())
        return {0, (f.metrics.ascent() + f.metrics.descent()) * k};
    return {f.metrics.horizontalAdvance(text) * k, (f.metrics.ascent() + f.metrics.descent()) * k};
}

double DrawString::ascent(const TextFont& font) { return face(font.name).metrics.ascent() * factor(font); }

void DrawString::VQdrawAtPoint(GraphicsContext& context, const QString& text, QPointF point, const TextFont& font)
{
    VQdrawAtPoint(context, text, point, font, context.fillColor());
}

void DrawString::VQdrawAtPoint(GraphicsContext& context, const QString& text, QPointF point, const TextFont& font,
                               const QColor& color)
{
    const double k = factor(font);
    if (text.isEmpty() || !(k > 0) || !std::isfinite(point.x()) || !std::isfinite(point.y()))
        return;
    const Face& f = face(font.name);
    const QRectF box(point, QSizeF(f.metrics.horizontalAdvance(text) * k, (f.metrics.ascent() + f.metrics.descent()) * k));
    context.drawWithShadow(box.adjusted(-k * 20, -k * 20, k * 20, k * 20), [&](QPainter& p) {
        p.translate(point.x(), point.y() + f.metrics.ascent() * k);
        p.scale(k, k);
        p.setFont(f.font);
        p.setPen(color);
        p.drawText(QPointF(0, 0), text);
    });
}

QTransform DrawString::fitToCell(const QFont& font, const QString& text, double left, double width, double inset)
{
    const QRectF ink = QFontMetricsF(font).tightBoundingRect(text);
    const double room = width * (1 - 2 * inset);
    QTransform fit;
    fit.translate(left + width / 2, 0);
    if (ink.width() > room)
        fit.scale(room / ink.width(), 1);
    fit.translate(-ink.center().x(), 0);
    return fit;
}

std::vector<QString> DrawString::columnPieces(const QString& text, int columns)
{
    std::vector<QString> out;
    const QList<uint> all = text.toUcs4();
    const qsizetype n = std::max(1, columns);
    for (qsizetype i = 0; i < all.size(); i += n)
        out.push_back(QString::fromUcs4(reinterpret_cast<const char32_t*>(all.constData() + i), std::min<qsizetype>(n, all.size() - i)));
    if (out.empty())
        out.emplace_back();
    return out;
}

} // namespace orvenda
