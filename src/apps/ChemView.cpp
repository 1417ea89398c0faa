#include "apps/ChemView.h"

#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VQRender.h"
#include "pretty/FontMap.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kFont = "CourierNewPS-BoldMT";
// The tablet's measures, at a width of 480 points.
constexpr double kTabletFontSize = 22, kTabletFontSize2 = 19, kTabletLeading = 24;
constexpr double kTabletColumns[4] = {60, 231, 330, 477};
constexpr double kPhoneColumns[4] = {40, 154, 220, 318};
// Numbers in the table are at most this many characters wide.
constexpr int kTableNumberWidth = 10;
const char* const kHeaders[4] = {"Sym", "AtomicWt", "#Atoms", "Mass%"};

// The user's number settings, narrowed to the table's width.
NumberFormatter tableFormatter(const Calculator& calc)
{
    NumberFormatter format = calc.numberFormatter();
    format.settings.maxWidth = kTableNumberWidth;
    return format;
}

QString cell(const NumberFormatter& format, const ElementDatabase::Share& row, int column)
{
    switch (column) {
    case ChemView::Symbol: return QString::fromStdString(row.symbol);
    // Atomic weights always in full, whatever the fixed decimals or notation chosen.
    case ChemView::Weight: return QString::fromStdString(format.formatReal(row.weight, -1, 0));
    case ChemView::Atoms: return QString::number(row.atoms);
    default: return QString::fromStdString(format.formatReal(row.percent * 100));
    }
}

} // namespace

ChemView::ChemView(Calculator& calc, KeyRouter& keys, QWidget* parent) : DrawnView(parent), calc_(calc), keys_(keys)
{
    adjustSize(1);
}

void ChemView::adjustSize(double factor)
{
    const bool tablet = calc_.device == 1;
    const double f = tablet ? factor : 1;
    fontSize_ = (tablet ? kTabletFontSize : 15) * f;
    fontSize2_ = (tablet ? kTabletFontSize2 : 13) * f;
    leading_ = (tablet ? kTabletLeading : 16) * f;
    for (int c = 0; c < 4; ++c)
        cols_[c] = (tablet ? kTabletColumns[c] : kPhoneColumns[c]) * f;
    update();
}

const std::vector<ElementDatabase::Share>& ChemView::rows() const
{
    static const std::vector<ElementDatabase::Share> kNone;
    return table_ ? *table_ : kNone;
}

void ChemView::setTableSource(std::optional<std::vector<ElementDatabase::Share>> rows, double massTotal)
{
    table_ = std::move(rows);
    massTotal_ = table_ ? massTotal : 0;
    sort();
    update();
}

void ChemView::sortBy(int column)
{
    if (column < Symbol || column > Mass)
        return;
    if (column == sortField_)
        sortAscending_ = !sortAscending_;
    sortField_ = column;
    sort();
    update();
}

void ChemView::sort()
{
    if (!table_)
        return;
    const int field = sortField_;
    // The order of the column's own values: text for symbols, numbers otherwise.
    const auto less = [field](const ElementDatabase::Share& a, const ElementDatabase::Share& b) {
        switch (field) {
        case Symbol: return a.symbol < b.symbol;
        case Weight: return a.weight < b.weight;
        case Atoms: return a.atoms < b.atoms;
        default: return a.mass < b.mass;
        }
    };
    if (sortAscending_)
        std::stable_sort(table_->begin(), table_->end(), less);
    else
        std::stable_sort(table_->begin(), table_->end(), [&less](const auto& a, const auto& b) { return less(b, a); });
}

QSizeF ChemView::size() const
{
    return {static_cast<double>(width()), 2 * leading_ + static_cast<double>(rows().size()) * leading_};
}

double ChemView::columnEdge(int column) const { return cols_[std::clamp(column, 0, 3)]; }

QString ChemView::bannerText() const
{
    QString text = QStringLiteral("MOLAR MASS:");
    if (table_)
        text += QString::fromStdString(calc_.formatReal(massTotal_));
    return text;
}

QString ChemView::headerText(int column) const
{
    QString text = QString::fromLatin1(kHeaders[std::clamp(column, 0, 3)]);
    if (column == sortField_)
        text.prepend(sortAscending_ ? QStringLiteral("\u2B06") : QStringLiteral("\u2B07"));
    return text;
}

QString ChemView::cellText(int row, int column) const
{
    if (row < 0 || row >= static_cast<int>(rows().size()))
        return {};
    return cell(tableFormatter(calc_), rows()[static_cast<std::size_t>(row)], column);
}

void ChemView::paintContent(QPainter& painter, const QRectF& rect)
{
    const QRectF b = bounds();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    {
        GraphicsContext context(painter);
        const auto render = VQRender::vqRender(context);
        render->ClipRRect(QRectF(b.x() + 2, b.y() + 2, b.width() - 4, b.height() - 2), 3, 3, 0, 0);
    }
    const QColor text = namedColor("fontColor");
    QColor band = text;
    band.setAlphaF(0.1);
    const QFont font = FontMap::shared().font(kFont, fontSize_);
    painter.setFont(font);
    painter.setPen(text);

    if (table_) {
        // One snapshot of the settings for every number drawn.
        const NumberFormatter format = tableFormatter(calc_);
        const auto& shares = *table_;
        const int first = std::max(0, static_cast<int>(std::floor((rect.top() - 2 * leading_) / leading_)));
        for (int i = first; i < static_cast<int>(shares.size()); ++i) {
            const double y = 2 * leading_ + i * leading_;
            if (y > rect.bottom())
                break;
            if (i % 2 == 1)
                painter.fillRect(QRectF(rect.x(), y, rect.width(), leading_), band);
            for (int c = 0; c < 4; ++c)
                painter.drawText(QRectF(0, y, cols_[c], leading_), Qt::AlignRight | Qt::AlignVCenter,
                                 cell(format, shares[static_cast<std::size_t>(i)], c));
        }
    }

    // The banner and the headers stay at the top of what shows.
    painter.fillRect(QRectF(b.x(), b.y(), b.width(), 2 * leading_), namedColor("bannerColor"));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(b.x() + 4, b.y() + 1, b.width() - 4, leading_), Qt::AlignLeft | Qt::AlignVCenter, bannerText());
    const double header = b.y() + leading_ + 2;
    painter.setFont(FontMap::shared().font(kFont, fontSize2_));
    for (int c = 0; c < 4; ++c)
        painter.drawText(QRectF(b.x(), header, cols_[c], leading_ - 2), Qt::AlignRight | Qt::AlignVCenter, headerText(c));
    painter.setPen(QPen(Qt::white, 1));
    for (int c = 0; c < 3; ++c)
        painter.drawLine(QPointF(b.x() + cols_[c] + 1.5, header), QPointF(b.x() + cols_[c] + 1.5, rect.bottom()));
    painter.drawLine(QPointF(rect.left(), header - 0.5), QPointF(rect.right(), header - 0.5));
    painter.restore();
}

void ChemView::tap(QPointF point)
{
    // Only the banner's two lines answer.
    if (point.y() > bounds().top() + 2 * leading_)
        return;
    keys_.doKeyClick();
    const double x = point.x() - bounds().x();
    const int column = x < cols_[0] ? Symbol : x < cols_[1] ? Weight : x < cols_[2] ? Atoms : Mass;
    sortBy(column);
}

} // namespace orvenda
