#include "stats/StatTestView.h"

#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "pretty/FontMap.h"
#include "stats/StatTestCatalogue.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kFont = "CourierNewPS-BoldMT";

// The characters of a UTF-8 text, for cutting it into rows of whole characters.
std::u32string chars(const std::string& text) { return QString::fromStdString(text).toStdU32String(); }

QString fromChars(const std::u32string& text)
{
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace

StatTestView::StatTestView(Calculator& calc, QWidget* parent)
    : QWidget(parent), calc_(calc), fontSize_(calc.device == 1 ? 18 : 14), leading_(calc.device == 1 ? 20 : 16)
{
}

void StatTestView::setLayoutBounds(const QRectF& bounds)
{
    double size = 0, leading = 0;
    Calculator::standardFontSize(size, leading, {bounds.x(), bounds.y(), bounds.width(), bounds.height()});
    if (calc_.device == 1)
        size = std::min(size, 24.0);
    // Bounds narrower than the display's 33 columns (a form the least window could not
    // hold under the graph's controls) shrink the letters below the display's, down to
    // three quarters of them.
    constexpr double kDisplayColumnsWidth = 33 * 16 * 1229.0 / 2048.0;
    if (bounds.width() < kDisplayColumnsWidth)
        size = 16 * std::max(bounds.width() / kDisplayColumnsWidth, 0.75);
    leading_ = size * 1.2;
    fontSize_ = size * 0.9;
}

int StatTestView::listRows() const
{
    if (!delegate_)
        return 0;
    const int lists = delegate_->numLists();
    if (lists <= 0)
        return 0;
    const std::uint32_t op = delegate_->testOpCode();
    if (op == StatTestCatalogue::Chi2Test || op == StatTestCatalogue::Chi2GOF || StatTestCatalogue::isThreeList(op))
        return 1;
    return lists + 1;
}

void StatTestView::tapAt(const QPointF& p)
{
    if (!delegate_)
        return;
    const double L = leading_;
    if (delegate_->numLists() >= 1 && p.y() < L * (1 + listRows())) {
        delegate_->selectList();
        return;
    }
    const std::uint32_t op = delegate_->testOpCode();
    if (op == StatTestCatalogue::Chi2Test || op == StatTestCatalogue::LinRegTTest || op == StatTestCatalogue::Regression)
        return;
    const int fields = delegate_->numFields();
    if (fields <= 0)
        return;
    const double y0 = delegate_->numLists() >= 1 ? fieldTop() : L;
    int row = static_cast<int>(std::trunc((p.y() - y0) / L));
    row = std::clamp(row, 0, fields - 1);
    delegate_->selectField(row);
}

int StatTestView::typedRowLength() const
{
    if (!delegate_ || delegate_->numResults() <= 0)
        return kWrap;
    // The left column ends where the results begin, at half the width.
    const QFontMetricsF metrics(FontMap::shared().font(kFont, fontSize_));
    const double c = metrics.horizontalAdvance(QLatin1Char('0'));
    const int fits = c > 0 ? static_cast<int>((width() / 2.0 - 8) / c) : kWrap;
    return std::clamp(fits, 1, kWrap);
}

void StatTestView::mousePressEvent(QMouseEvent* event) { tapAt(event->position()); }

void StatTestView::paintEvent(QPaintEvent*)
{
    if (!delegate_)
        return;
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
    const double L = leading_;
    const double W = bounds.width();
    const QColor text = namedColor("fontColor");
    const QColor rule = text.lighter(150);
    const auto line = [&](double x, double y, const QString& s) {
        p.drawText(QRectF(x, y, W - x, L), Qt::AlignLeft | Qt::AlignVCenter, s);
    };
    const auto centred = [&](double x0, double x1, double y, const QString& s) {
        p.drawText(QRectF(x0, y, x1 - x0, L), Qt::AlignHCenter | Qt::AlignVCenter, s);
    };
    const auto q = [](const std::string& s) { return QString::fromStdString(s); };
    const auto num = [this](double v) { return QString::fromStdString(calc_.formatReal(v)); };
    // A result the procedure could not give shows its name alone.
    const auto result = [&num](double v) { return std::isnan(v) ? QString() : num(v); };
    // A mean or a deviation in the list table: 8 characters on the phone; on the tablet
    // as many as its narrower column holds, so that neither is cut at the column's edges.
    NumberFormatter listFormat = calc_.numberFormatter();
    {
        const double c = metrics.horizontalAdvance(QLatin1Char('0'));
        const double mid = (16 * c + W) / 2, narrower = std::min(mid - 16 * c, W - 2 - mid);
        const int fits = c > 0 ? static_cast<int>((narrower - 4) / c) : kPhoneListWidth;
        listFormat.settings.maxWidth = calc_.device != 1 ? kPhoneListWidth : std::clamp(fits, 1, listFormat.settings.maxWidth);
    }
    const auto listNum = [&listFormat](double v) { return QString::fromStdString(listFormat.formatReal(v)); };

    // 1. Title band.
    p.fillRect(QRectF(0, 0, W, L), namedColor("bannerColor"));
    p.setPen(Qt::white);
    centred(0, W, 0, q(delegate_->title()));
    p.setPen(text);

    // 2. Lists.
    double y = L;
    const std::uint32_t op = delegate_->testOpCode();
    const int rows = listRows();
    if (rows > 0) {
        p.fillRect(QRectF(0, y, W, rows * L), QColor(0, 0, 0, 26));
        p.setPen(rule);
        for (int r = 0; r <= rows; ++r)
            p.drawLine(QPointF(0, y + r * L), QPointF(W, y + r * L));
        p.setPen(text);
        if (op == StatTestCatalogue::Chi2Test || op == StatTestCatalogue::Chi2GOF) {
            const bool matrices = op == StatTestCatalogue::Chi2Test;
            const std::string first = matrices ? delegate_->matrixName(0) : delegate_->listName(0);
            const std::string second = matrices ? delegate_->matrixName(1) : delegate_->listName(1);
            line(4, y, q("Observed:" + first));
            line(W / 2 + 4, y, q("Expected:" + second));
            p.setPen(rule);
            p.drawLine(QPointF(W / 2, y), QPointF(W / 2, y + L));
        } else if (StatTestCatalogue::isThreeList(op)) {
            line(4, y, q("XList:" + delegate_->listName(0)));
            line(W / 3 + 4, y, q("YList:" + delegate_->listName(1)));
            line(2 * W / 3 + 4, y, q("Freq:" + delegate_->freqName(0)));
            p.setPen(rule);
            p.drawLine(QPointF(W / 3, y), QPointF(W / 3, y + L));
            p.drawLine(QPointF(2 * W / 3, y), QPointF(2 * W / 3, y + L));
        } else {
            const double c = metrics.horizontalAdvance(QLatin1Char('0'));
            const double mid = (16 * c + W) / 2;
            const std::array<double, 6> edges{2 * c, 7 * c, 12 * c, 16 * c, mid, W};
            p.setPen(rule);
            for (std::size_t e = 1; e + 1 < edges.size(); ++e)
                p.drawLine(QPointF(edges[e], y), QPointF(edges[e], y + rows * L));
            p.setPen(text);
            centred(edges[0], edges[1], y, QStringLiteral("List"));
            centred(edges[1], edges[2], y, QStringLiteral("Freq"));
            centred(edges[2], edges[3], y, QStringLiteral("n"));
            centred(edges[3], edges[4], y, QStringLiteral("x̅"));
            centred(edges[4], edges[5], y, QStringLiteral("Sx"));
            for (int i = 0; i < delegate_->numLists(); ++i) {
                const double ry = y + (i + 1) * L;
                line(3, ry, QStringLiteral("%1 %2").arg(i + 1).arg(q(delegate_->listName(i))));
                centred(edges[1], edges[2], ry, q(delegate_->freqName(i)));
                centred(edges[2], edges[3], ry, QString::number(delegate_->listN(i)));
                p.save();
                p.setClipRect(QRectF(edges[3], ry, edges[4] - edges[3], L), Qt::IntersectClip);
                centred(edges[3], edges[4], ry, listNum(delegate_->listXBar(i)));
                p.restore();
                p.save();
                p.setClipRect(QRectF(edges[4], ry, edges[5] - edges[4], L), Qt::IntersectClip);
                centred(edges[4], edges[5], ry, listNum(delegate_->listSx(i)));
                p.restore();
            }
        }
        y += rows * L;
    }
    const double resultsTop = y;

    // 3. Fields; the current one shows the text being typed, wrapped, with the cursor.
    const double charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    const bool showCursor = calc_.cursorVisible;
    const auto cursorAt = [&](double x, double row) {
        if (!showCursor)
            return;
        const QColor colour = namedColor("cursorColor");
        if (calc_.insert != 0)
            p.fillRect(QRectF(x + 4, row + L - 2, charWidth, 2), colour);
        else
            p.fillRect(QRectF(x + 4, row, charWidth, L), colour);
    };
    for (int i = 0; i < delegate_->numFields(); ++i) {
        const std::string name = delegate_->fieldName(i);
        const std::string typed = i == currentField_ ? delegate_->entryText() : std::string();
        if (!typed.empty()) {
            const std::u32string all = chars(name + typed + " ");
            const std::size_t cursor = chars(name).size() + static_cast<std::size_t>(std::max(0, delegate_->entryCursor()));
            const auto wrap = static_cast<std::size_t>(typedRowLength());
            for (std::size_t at = 0; at < all.size(); at += wrap) {
                const std::u32string piece = all.substr(at, wrap);
                line(4, y, fromChars(piece));
                if (cursor >= at && cursor < at + wrap)
                    cursorAt(metrics.horizontalAdvance(fromChars(piece.substr(0, cursor - at))), y);
                y += L;
            }
            continue;
        }
        const QString shown = q(name) + num(delegate_->fieldValue(i));
        line(4, y, shown);
        if (i == currentField_ && delegate_->numFields() > 0)
            cursorAt(metrics.horizontalAdvance(shown), y);
        y += L;
    }
    // 4. Left results.
    for (int i = 0; i < delegate_->numLeftResults(); ++i, y += L)
        line(4, y, q(delegate_->resultLName(i)) + result(delegate_->resultLValue(i)));
    // 5. Right results.
    for (int i = 0; i < delegate_->numResults(); ++i)
        line(W / 2, resultsTop + i * L, q(delegate_->resultName(i)) + result(delegate_->resultValue(i)));
}

} // namespace orvenda
