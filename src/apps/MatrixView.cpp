#include "apps/MatrixView.h"

#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kFont = "CourierNewPS-BoldMT";
// Digits of a number in a cell.
constexpr int kCellDigits = 9;
constexpr int kFractionFormat = 2;

} // namespace

MatrixView::MatrixView(Calculator& calc, KeyRouter& keys, QWidget* parent) : DrawnView(parent), calc_(calc), keys_(keys)
{
    if (calc_.device == 1) {
        fontSize_ = 20;
        leadAdjust_ = 3;
        leftEdgeWidth_ = 27;
        topEdgeWidth_ = 17;
        colWidth_ = 150;
        rowHeight_ = 22;
    }
}

void MatrixView::layoutForWidth(double width)
{
    double leading = 0;
    Calculator::standardFontSize(fontSize_, leading, {0, 0, width, 0});
    const double u = fontSize_ / 16;
    leadAdjust_ = 2 * u;
    leftEdgeWidth_ = 18 * u;
    topEdgeWidth_ = 13 * u;
    colWidth_ = 100 * u;
    rowHeight_ = 16 * u;
}

double MatrixView::columnWidth() const
{
    if (style_ == Coefficients || style_ == RRef)
        return std::max(1.0, (width() - leftEdgeWidth_) / 4);
    if (style_ == Solution)
        return std::max(1.0, width() - leftEdgeWidth_);
    return colWidth_;
}

VQMatrix MatrixView::shownMatrix() const
{
    switch (style_) {
    case Coefficients: return calc_.simulMatrix;
    case RRef: return calc_.simulRRefMatrix.value_or(VQMatrix());
    case Solution: return {};
    default: {
        const int n = std::clamp(calc_.editMatrix, 0, Calculator::kMatrixCount - 1);
        return calc_.locked()->matrices[static_cast<std::size_t>(n)];
    }
    }
}

int MatrixView::rowCount() const
{
    if (style_ != Solution)
        return static_cast<int>(shownMatrix().dimRow());
    const auto& solution = calc_.simulSolution;
    return solution && solution->dimCol() > 0 ? static_cast<int>(solution->dimCol()) - 1 : 1;
}

QSizeF MatrixView::size() const
{
    const VQMatrix m = shownMatrix();
    const int rows = rowCount();
    double w = 0;
    if (style_ == Solution) {
        if (!calc_.simulSolution) {
            w = width();
        } else {
            double widest = 0;
            for (int r = 0; r < rows; ++r)
                widest = std::max(widest, MarkUpText::width(MarkUpText::parse(solutionRow(calc_, calc_.simulSolution, r)), kFont, fontSize_));
            w = widest + leftEdgeWidth_ + 2;
        }
    } else {
        w = static_cast<double>(m.dimCol()) * columnWidth() + leftEdgeWidth_ + 2;
    }
    return QSizeF(w, rows * rowHeight_ + topEdgeWidth_);
}

QRectF MatrixView::rectForCol(int col, int row) const
{
    if (style_ == Solution)
        return QRectF(0, row * rowHeight_, width(), rowHeight_ + topEdgeWidth_);
    const double w = columnWidth();
    return QRectF(col * w, row * rowHeight_, w + leftEdgeWidth_, rowHeight_ + topEdgeWidth_);
}

QString MatrixView::cellText(double value) const
{
    if (calc_.settings().answerFormat == kFractionFormat)
        return MarkUpText::fraction(calc_, value);
    NumberFormatter format = calc_.numberFormatter();
    format.settings.maxWidth = kCellDigits;
    return QString::fromStdString(format.formatReal(value));
}

QString MatrixView::solutionRow(const Calculator& calc, const std::optional<VQMatrix>& solution, int r)
{
    if (!solution)
        return QStringLiteral("No Solution");
    const VQMatrix& s = *solution;
    const int rows = static_cast<int>(s.dimRow());
    const int c = static_cast<int>(s.dimCol());
    if (r < 0 || r >= rows)
        return QStringLiteral("Row error");
    const auto at = [&](int j) { return s.row(static_cast<std::size_t>(r), static_cast<std::size_t>(j)); };
    const auto number = [&](double x) {
        return calc.settings().answerFormat == kFractionFormat ? MarkUpText::fraction(calc, x) : QString::fromStdString(calc.formatReal(x));
    };
    QString text = QStringLiteral("x<s%1>=").arg(r + 1);
    bool free = r >= c - 1;
    if (!free) {
        free = true;
        for (int j = r; j <= c - 2; ++j)
            free = free && at(j) == 0;
    }
    // A free unknown equals itself.
    if (free)
        return text + QStringLiteral("x<s%1>").arg(r + 1);
    bool written = false;
    const double k = at(c - 1);
    if (k != 0) {
        text += number(k);
        written = true;
    } else {
        int nonZero = 0;
        for (int j = r; j < c; ++j)
            nonZero += at(j) != 0;
        if (nonZero == 1) {
            text += QStringLiteral("0");
            written = true;
        }
    }
    // Each other unknown moves to the right-hand side with its sign turned.
    for (int j = r + 1; j <= c - 2; ++j) {
        const double a = at(j);
        if (a == 0)
            continue;
        if (a > 0)
            text += QStringLiteral("-");
        else if (written)
            text += QStringLiteral("+");
        if (std::fabs(a) != 1)
            text += number(std::fabs(a));
        text += QStringLiteral("x<s%1>").arg(j + 1);
        written = true;
    }
    return text;
}

void MatrixView::tap(QPointF point)
{
    if (style_ == Solution || !delegate_)
        return;
    keys_.doKeyClick();
    // The bands are pinned: a tap on them is no cell.
    const QRectF b = bounds();
    if (point.y() < b.top() + topEdgeWidth_ || point.x() < b.left() + leftEdgeWidth_)
        return;
    const int col = static_cast<int>(std::trunc((point.x() - leftEdgeWidth_) / columnWidth()));
    const int row = static_cast<int>(std::trunc((point.y() - topEdgeWidth_) / rowHeight_));
    delegate_->selectRow(row, col);
}

void MatrixView::paintContent(QPainter& painter, const QRectF& rect)
{
    const QRectF b = bounds();
    painter.setClipRect(QRectF(b.left() + 2, b.top(), b.width() - 4, b.height()));
    // One look at the matrix for the whole draw; the copy shares its cells.
    const VQMatrix m = shownMatrix();
    const int rows = style_ == Solution ? rowCount() : static_cast<int>(m.dimRow());
    const int cols = style_ == Solution ? 1 : static_cast<int>(m.dimCol());
    const double w = columnWidth();
    const QColor text = namedColor("fontColor");
    const QColor banner = namedColor("bannerColor");
    const QColor highlight = namedColor("yellowHilightColor");
    QColor shade = text;
    shade.setAlphaF(0.1);
    const QFont font = FontMap::shared().font(kFont, fontSize_);
    const QFontMetricsF metrics(font);
    const auto rowTop = [this](int r) { return topEdgeWidth_ + r * rowHeight_; };

    const int firstRow = std::clamp(static_cast<int>(std::floor((rect.top() - topEdgeWidth_) / rowHeight_)), 0, rows);
    const int lastRow = std::clamp(static_cast<int>(std::ceil((rect.bottom() - topEdgeWidth_) / rowHeight_)), 0, rows);
    const int firstCol = std::clamp(static_cast<int>(std::floor((rect.left() - leftEdgeWidth_) / w)), 0, cols);
    const int lastCol = std::clamp(static_cast<int>(std::ceil((rect.right() - leftEdgeWidth_) / w)), 0, cols);

    // Every second row shaded.
    for (int r = firstRow | 1; r < lastRow; r += 2)
        painter.fillRect(QRectF(leftEdgeWidth_, rowTop(r), cols * w, rowHeight_), shade);

    cellsDrawn_ = 0;
    NumberFormatter format = calc_.numberFormatter();
    format.settings.maxWidth = kCellDigits;
    const bool fractions = calc_.settings().answerFormat == kFractionFormat;
    painter.setPen(text);
    painter.setFont(font);
    for (int r = firstRow; r < lastRow; ++r) {
        for (int j = firstCol; j < lastCol; ++j) {
            const QRectF cell(leftEdgeWidth_ + j * w, rowTop(r), w, rowHeight_);
            if (r == cursorRow && j == cursorCol)
                painter.fillRect(cell, highlight);
            ++cellsDrawn_;
            const double baseline = cell.top() + metrics.ascent() - leadAdjust_;
            painter.setPen(text);
            if (style_ == Solution) {
                MarkUpText::draw(painter, MarkUpText::parse(solutionRow(calc_, calc_.simulSolution, r)), cell.left() + 2, baseline,
                                 kFont, fontSize_, 0.1);
                continue;
            }
            const double value = m.row(static_cast<std::size_t>(r), static_cast<std::size_t>(j));
            if (!fractions) {
                // Plain numbers, the common case, without the mark-up's runs.
                QString shown = QString::fromStdString(format.formatReal(value));
                if (metrics.horizontalAdvance(shown) > w - 4)
                    shown = metrics.elidedText(shown, Qt::ElideRight, w - 4);
                painter.setFont(font);
                painter.drawText(QPointF(cell.right() - 2 - metrics.horizontalAdvance(shown), baseline), shown);
                continue;
            }
            const auto runs = MarkUpText::elide(MarkUpText::parse(cellText(value)), w - 4, kFont, fontSize_);
            MarkUpText::draw(painter, runs, cell.right() - 2 - MarkUpText::width(runs, kFont, fontSize_), baseline, kFont, fontSize_, 0.1);
        }
    }

    const double gridBottom = rows * rowHeight_ + topEdgeWidth_ + 0.5;
    painter.setPen(QPen(Qt::white, 1));
    if (style_ != Solution) {
        for (int j = firstCol; j < lastCol; ++j) {
            const double x = leftEdgeWidth_ + (j + 1) * w - 0.5;
            painter.drawLine(QPointF(x, b.top()), QPointF(x, gridBottom));
        }
        painter.drawLine(QPointF(0, gridBottom), QPointF(cols * w + leftEdgeWidth_, gridBottom));
    }
    if (style_ == Coefficients && cols >= 2) {
        // Between the coefficients and the constants.
        const double x = leftEdgeWidth_ + (cols - 1) * w + 0.5;
        painter.setPen(QPen(Qt::black, 2.5));
        painter.drawLine(QPointF(x, b.top()), QPointF(x, gridBottom));
    }

    // The header band, pinned at the visible top.
    painter.fillRect(QRectF(b.left(), b.top(), b.width(), topEdgeWidth_), banner);
    painter.setPen(Qt::white);
    if (style_ != Solution) {
        const double size = fontSize_ - 2;
        const QFont headerFont = FontMap::shared().font(kFont, size);
        // The digits' height centred in the band.
        const double baseline = b.top() + (topEdgeWidth_ + QFontMetricsF(headerFont).capHeight()) / 2;
        for (int j = firstCol; j < lastCol; ++j) {
            QString header;
            if (style_ == Matrix)
                header = QString::number(j + 1);
            else
                header = j == cols - 1 ? QStringLiteral("b") : QStringLiteral("x<s%1>").arg(j + 1);
            const auto runs = MarkUpText::parse(header);
            MarkUpText::draw(painter, runs, leftEdgeWidth_ + (j + 1) * w - 2 - MarkUpText::width(runs, kFont, size), baseline, kFont,
                             size, 0.1);
        }
    }

    // The row band, pinned at the visible left.
    painter.fillRect(QRectF(b.left(), b.top(), leftEdgeWidth_, b.height()), banner);
    if (style_ != Solution) {
        const QFont numberFont = FontMap::shared().font(kFont, fontSize_ - 2);
        const QFontMetricsF numberMetrics(numberFont);
        painter.setFont(numberFont);
        for (int r = firstRow; r < lastRow; ++r) {
            const QString number = QString::number(r + 1);
            painter.drawText(QPointF(b.left() + leftEdgeWidth_ - 1 - numberMetrics.horizontalAdvance(number),
                                     rowTop(r) + metrics.ascent() - leadAdjust_),
                             number);
        }
    }
    painter.fillRect(QRectF(b.left(), b.top(), leftEdgeWidth_, topEdgeWidth_), banner);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawLine(QPointF(b.left() + leftEdgeWidth_ + 0.5, rect.top()), QPointF(b.left() + leftEdgeWidth_ + 0.5, rect.bottom()));
    painter.drawLine(QPointF(rect.left(), b.top() + topEdgeWidth_ - 0.5), QPointF(rect.right(), b.top() + topEdgeWidth_ - 0.5));
}

} // namespace orvenda
