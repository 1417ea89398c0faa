#include "apps/MatrixBanner.h"

#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace orvenda {

namespace {

constexpr const char* kFont = "CourierNewPS-BoldMT";

} // namespace

MatrixBanner::MatrixBanner(Calculator& calc, KeyRouter& keys, QWidget* parent) : QWidget(parent), calc_(calc), keys_(keys)
{
    if (calc_.device == 1) {
        fontSize_ = 24;
        rowRect_ = QRectF(150, 1, 75, 22);
        colRect_ = QRectF(291, 1, 75, 22);
        top_ = 2;
    }
}

void MatrixBanner::layoutForWidth(double width)
{
    double leading = 0;
    Calculator::standardFontSize(fontSize_, leading, {0, 0, width, 0});
    const double u = fontSize_ / 16;
    rowRect_ = QRectF(90 * u, u, 50 * u, 14 * u);
    colRect_ = QRectF(184 * u, u, 50 * u, 14 * u);
    top_ = u;
}

QString MatrixBanner::title() const
{
    switch (style_) {
    case 1: return QStringLiteral("SimulEq");
    case 2: return QStringLiteral("SimulEq:Solution");
    case 3: return QStringLiteral("SimulEq:RRef");
    default: return QStringLiteral("ARRAY[%1]").arg(QChar(u'A' + std::clamp(calc_.editMatrix, 0, Calculator::kMatrixCount - 1)));
    }
}

QString MatrixBanner::rowLabel() const
{
    return style_ == 0 ? QStringLiteral("#row") : style_ == 1 ? QStringLiteral("#eq") : QString();
}

QString MatrixBanner::colLabel() const
{
    return style_ == 0 ? QStringLiteral("#col") : style_ == 1 ? QStringLiteral("#unknown") : QString();
}

QString MatrixBanner::typed() const
{
    const auto* entry = dynamic_cast<const EntryModel*>(calc_.entryManager.get());
    return entry && !entry->entryOps().empty() ? QString::fromStdString(calc_.stringFromOps(entry->entryOps())) : QString();
}

QString MatrixBanner::rowText() const
{
    if (editField_ == 1)
        if (const QString text = typed(); !text.isEmpty())
            return text;
    const std::size_t rows = style_ == 1 ? calc_.simulMatrix.dimRow()
                                         : calc_.locked()->matrices[static_cast<std::size_t>(std::clamp(calc_.editMatrix, 0, 9))].dimRow();
    return QString::number(rows);
}

QString MatrixBanner::colText() const
{
    if (editField_ == 0)
        if (const QString text = typed(); !text.isEmpty())
            return text;
    if (style_ == 1)
        return QString::number(std::max(0, static_cast<int>(calc_.simulMatrix.dimCol()) - 1));
    return QString::number(calc_.locked()->matrices[static_cast<std::size_t>(std::clamp(calc_.editMatrix, 0, 9))].dimCol());
}

void MatrixBanner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inner(2, 2, width() - 4, height() - 2);
    QPainterPath clip;
    // Rounded at the top corners only.
    clip.addRoundedRect(inner.adjusted(0, 0, 0, 4), 3, 3);
    QPainterPath band;
    band.addRect(inner);
    painter.setClipPath(clip.intersected(band));
    const QColor banner = namedColor("bannerColor");
    painter.fillRect(rect(), banner);

    const QFont font = FontMap::shared().font(kFont, fontSize_);
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const double baseline = height() / 2 + (metrics.ascent() - metrics.descent()) / 2;
    painter.drawText(QPointF(4, baseline - top_ + 1), title());
    if (style_ == 0 || style_ == 1) {
        QColor pale = banner.toHsv();
        pale.setHsvF(pale.hsvHueF(), pale.hsvSaturationF() / 2, pale.valueF());
        const auto box = [&](const QRectF& r, bool edited, const QString& text, const QString& label) {
            painter.fillRect(r, edited ? namedColor("yellowHilightColor") : pale);
            painter.setPen(namedColor("fontColor"));
            painter.drawText(QPointF(r.right() - 2 - metrics.horizontalAdvance(text), baseline - top_ + 1), text);
            painter.setPen(Qt::white);
            painter.drawText(QPointF(r.right() + 2, baseline - top_ + 1), label);
        };
        box(rowRect_, editField_ == 1, rowText(), rowLabel());
        box(colRect_, editField_ == 0, colText(), colLabel());
    }
    painter.setClipping(false);
    painter.setPen(QPen(QColor::fromRgbF(0.8, 0.8, 0.8), 1));
    painter.drawLine(QPointF(0, height() - 1.5), QPointF(width(), height() - 1.5));
    painter.setPen(QPen(QColor::fromRgbF(0.5, 0.5, 0.5), 1));
    painter.drawLine(QPointF(0, height() - 0.5), QPointF(width(), height() - 0.5));
}

void MatrixBanner::mousePressEvent(QMouseEvent* event)
{
    if (style_ != 0 && style_ != 1)
        return;
    keys_.doKeyClick();
    const QPointF p = event->position();
    if (!delegate_)
        return;
    if (colRect_.contains(p))
        delegate_->selectField(0);
    else if (rowRect_.contains(p))
        delegate_->selectField(1);
}

} // namespace orvenda
