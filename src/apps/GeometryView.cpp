#include "apps/GeometryView.h"

#include "app/NamedColors.h"
#include "apps/GeometryModel.h"
#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "drawing/VQRender.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kFont = "CourierNewPS-BoldMT";
// Where a field's row starts.
constexpr double kFieldX = 4;

std::u32string chars(const std::string& text) { return QString::fromStdString(text).toStdU32String(); }

QString fromChars(const std::u32string& text)
{
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace

GeometryView::GeometryView(Calculator& calc, const GeometryModel& model, QWidget* parent)
    : QWidget(parent), calc_(calc), model_(model), fontSize_(calc.device == 1 ? 18 : 15), leading_(calc.device == 1 ? 20 : 16)
{
}

void GeometryView::setFont(double size, double leading)
{
    fontSize_ = size;
    leading_ = leading;
    update();
}

int GeometryView::fieldAt(const QPointF& p) const
{
    const double L = leading_;
    if (p.y() < L && p.x() < 100 && showAngleMode_)
        return -1;
    int field;
    if (model_.numPoints() > 0) {
        const int row = std::max(static_cast<int>(std::trunc((p.y() - (2 * L - 3)) / L)), 0);
        field = 2 * row + (p.x() > width() / 2.0 ? 1 : 0);
    } else {
        field = std::max(static_cast<int>(std::trunc((p.y() - L) / L)), 0);
    }
    return std::min(field, std::max(0, model_.numFields() - 1));
}

bool GeometryView::resultsBeside() const
{
    return model_.numPoints() == 0 && model_.numResultFields() > 0
        && 1 + model_.numFields() + 0.5 + model_.numResultFields() > model_.rows();
}

int GeometryView::wrap() const
{
    const double charWidth = QFontMetricsF(FontMap::shared().font(kFont, fontSize_)).horizontalAdvance(QLatin1Char('0'));
    // Beside the results a value ends a margin short of their half, clear of them.
    const double column = resultsBeside() ? width() / 2.0 - 2 * kFieldX : width() - kFieldX;
    return std::clamp(static_cast<int>(column / std::max(1.0, charWidth)), 1, kWrap);
}

int GeometryView::typingRows() const
{
    const std::string typing = delegate_ ? delegate_->entryText() : std::string();
    const int current = model_.currentField();
    if (typing.empty() || model_.numPoints() > 0 || current < 0 || current >= model_.numFields())
        return 1;
    const auto length = static_cast<int>(chars(model_.fieldName(current) + typing + " ").size());
    return (length + wrap() - 1) / wrap();
}

void GeometryView::tapAt(const QPointF& p)
{
    if (!delegate_)
        return;
    const int field = fieldAt(p);
    if (field < 0) {
        delegate_->changeAngleMode();
        update();
        return;
    }
    delegate_->selectField(field);
}

void GeometryView::mousePressEvent(QMouseEvent* event) { tapAt(event->position()); }

void GeometryView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    QPainterPath clip;
    clip.addRoundedRect(bounds.adjusted(2, 2, -2, -2), 3, 3);
    p.setClipPath(clip);
    p.fillRect(bounds, namedColor("docBackgroundColor"));
    const QFont font = FontMap::shared().font(kFont, fontSize_);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const double L = leading_, W = bounds.width();
    const QColor text = namedColor("fontColor");
    const QColor banner = namedColor("bannerColor");
    // One formatter per drawing; a phone shows at most 11 characters of a number.
    NumberFormatter formatter = calc_.numberFormatter();
    if (calc_.device != 1)
        formatter.settings.maxWidth = 11;
    const auto num = [&](double v) { return QString::fromStdString(formatter.formatReal(v)); };
    const auto q = [](const std::string& s) { return QString::fromStdString(s); };
    const auto line = [&](double x, double y, const QString& s) {
        p.drawText(QRectF(x, y, std::max(0.0, W - x), L), Qt::AlignLeft | Qt::AlignVCenter, s);
    };

    // The banner with the title and the angle-mode marker.
    p.fillRect(QRectF(0, 0, W, L), banner);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, W, L), Qt::AlignCenter, q(model_.title()));
    if (showAngleMode_) {
        const bool degrees = calc_.angleFormat() == 0;
        double x = 3;
        for (const auto& [part, active] : {std::pair{QStringLiteral("Deg"), degrees}, std::pair{QStringLiteral("/"), false},
                 std::pair{QStringLiteral("Rad"), !degrees}}) {
            // The inactive half stays readable on the banner, dimmer than the active one.
            p.setPen(active ? QColor(Qt::white) : QColor(160, 185, 225));
            line(x, 0, part);
            x += metrics.horizontalAdvance(part);
        }
    }

    const std::string typing = delegate_ ? delegate_->entryText() : std::string();
    const int cursorIndex = delegate_ ? delegate_->entryCursor() : 0;
    const int current = model_.currentField();
    const double charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    const auto cursorAt = [&](double x, double row) {
        if (!calc_.cursorVisible)
            return;
        const QColor colour = namedColor("cursorColor");
        if (calc_.insert != 0)
            p.fillRect(QRectF(x, row + L - 2, charWidth, 2), colour);
        else
            p.fillRect(QRectF(x, row, charWidth, L), colour);
    };
    // One value at (x, y): the typing when it is the current field, else the number (a
    // field's 0, which means unknown, shows nothing; a point's coordinate shows "0"); the
    // rows the drawing took.
    const auto entry = [&](double value, int index, const std::string& prefix, double x, double y, bool blankZero) {
        if (index == current && !typing.empty()) {
            const std::u32string all = chars(prefix + typing + " ");
            const std::size_t cursor = chars(prefix).size() + static_cast<std::size_t>(std::max(0, cursorIndex));
            // A point's coordinate is clipped to its cell; a field wraps in its column.
            const auto per = static_cast<std::size_t>(model_.numPoints() > 0 ? kWrap : wrap());
            int rows = 0;
            for (std::size_t at = 0; at < all.size(); at += per, ++rows) {
                const std::u32string piece = all.substr(at, per);
                p.setPen(text);
                line(x, y + rows * L, fromChars(piece));
                if (cursor >= at && cursor < at + per)
                    cursorAt(x + metrics.horizontalAdvance(fromChars(piece.substr(0, cursor - at))), y + rows * L);
            }
            return rows;
        }
        const QString shown = q(prefix) + (value == 0 && blankZero ? QString() : num(value));
        p.setPen(text);
        line(x, y, shown);
        if (index == current)
            cursorAt(x + metrics.horizontalAdvance(shown), y);
        return 1;
    };

    double y = L;
    const int points = model_.numPoints();
    if (points > 0) {
        // A table: names, then X and Y columns.
        const double nameRight = 2 * L, right = W - 1, middle = (nameRight + right) / 2;
        p.setPen(text);
        p.drawText(QRectF(nameRight, y, middle - nameRight, L), Qt::AlignCenter, QStringLiteral("X"));
        p.drawText(QRectF(middle, y, right - middle, L), Qt::AlignCenter, QStringLiteral("Y"));
        QPen grid(banner, 1);
        p.setPen(grid);
        const double bottom = VQRender::halfGrid(y - 3 + (points + 1) * L);
        for (double x : {0.5, nameRight, middle, right})
            p.drawLine(QPointF(VQRender::halfGrid(x), VQRender::halfGrid(y - 3)), QPointF(VQRender::halfGrid(x), bottom));
        for (int r = 0; r < points + 2; ++r) {
            const double ry = VQRender::halfGrid(y - 3 + r * L);
            p.drawLine(QPointF(0, ry), QPointF(right, ry));
        }
        y += L;
        for (int i = 0; i < points; ++i, y += L) {
            p.setPen(text);
            line(4, y - 3, q(model_.pointName(i)));
            p.save();
            p.setClipRect(QRectF(nameRight, y - 3, middle - nameRight, L), Qt::IntersectClip);
            entry(model_.pointX(i), 2 * i, "", nameRight + 2, y - 3, false);
            p.restore();
            p.save();
            p.setClipRect(QRectF(middle, y - 3, right - middle, L), Qt::IntersectClip);
            entry(model_.pointY(i), 2 * i + 1, "", middle + 2, y - 3, false);
            p.restore();
        }
    } else {
        for (int i = 0; i < model_.numFields(); ++i)
            y += entry(model_.fieldValue(i), i, model_.fieldName(i), kFieldX, y, true) * L;
    }
    // The results half a row below the fields, or beside them in the right half when the
    // panel has no room below.
    const int results = model_.numResultFields();
    double x = 4;
    if (points > 0) {
        // Right under the table, which spans the width.
    } else if (y + L / 2 + results * L > bounds.height() + 1) {
        x = W / 2 + kFieldX;
        y = L;
    } else {
        y += L / 2;
    }
    p.setPen(text);
    // A result the figure leaves undefined, such as the slope through two equal points,
    // shows nothing rather than "NAN".
    for (int i = 0; i < results; ++i, y += L) {
        const double value = model_.resultFieldValue(i);
        line(x, y, q(model_.resultFieldName(i)) + (std::isnan(value) ? QString() : num(value)));
    }
}

} // namespace orvenda
