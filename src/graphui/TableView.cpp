#include "graphui/TableView.h"

#include "numeric/ElementaryFunctions.h"

#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <cmath>

namespace orvenda {

namespace {

constexpr int kTblStart = 54, kDeltaTbl = 61;
constexpr int kTableWidth = 10;
// Room between the independent column's title and the ΔTbl box after it.
constexpr double kDeltaBoxGap = 6;

QColor toQColor(const VColor& c) { return QColor::fromRgbF(c.r, c.g, c.b, c.a); }

bool darkAppearance() { return QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5; }

// The calling thread's evaluations in Real mode while it lives (as an evaluation's own
// switch to complex is), whatever the calculator's mode: the automatic table shows real
// values only. The calculator's mode, which a running program uses, is not touched.
class RealEvaluations {
public:
    explicit RealEvaluations(Calculator& calc, bool real) : context_(calc.parser().ctx()), saved_(context_.complexSwitch)
    {
        if (real)
            context_.complexSwitch = 0;
    }
    ~RealEvaluations() { context_.complexSwitch = saved_; }
    RealEvaluations(const RealEvaluations&) = delete;
    RealEvaluations& operator=(const RealEvaluations&) = delete;

private:
    EvalContext& context_;
    int saved_;
};

} // namespace

TableView::TableView(Calculator& calc, KeyRouter& keys, QWidget* parent)
    : DrawnView(parent), calc_(calc), keys_(keys), sampler_(calc)
{
    adjustSize(1);
}

std::vector<int> TableView::modeEquations(int graphMode)
{
    std::vector<int> tokens;
    auto range = [&tokens](int first, int last) {
        for (int t = first; t <= last; ++t)
            tokens.push_back(t);
    };
    switch (graphMode) {
    case 0: range(0x5E10, 0x5E19); break;
    case 1: range(0x5E20, 0x5E2B); break;
    case 2: range(0x5E40, 0x5E45); break;
    case 3: range(0x5E80, 0x5E82); break;
    default: break;
    }
    return tokens;
}

std::vector<int> TableView::columnEquations() const
{
    std::vector<int> columns;
    if (!calc_.yEqManager)
        return columns;
    for (int token : modeEquations(calc_.graphMode()))
        if (calc_.yEqManager->shouldPlotFunction(token))
            columns.push_back(token);
    return columns;
}

QString TableView::independentName(int graphMode)
{
    static const std::array<QString, 4> kNames{QStringLiteral("X"), QStringLiteral("T"), QStringLiteral("θ"), QStringLiteral("η")};
    return graphMode >= 0 && graphMode < 4 ? kNames[static_cast<std::size_t>(graphMode)] : QString();
}

void TableView::adjustSize(double scale)
{
    const bool tablet = calc_.device == 1;
    fontSize_ = (tablet ? 20 : 16) * scale;
    leadAdjust_ = (tablet ? 3 : 2) * scale;
    colHeadHeight_ = 25 * scale;
    colWidth_ = (tablet ? 159 : 106) * scale;
    rowHeight_ = (tablet ? 18 : 15) * scale;
    size();
}

QSizeF TableView::size()
{
    const int mode = calc_.graphMode();
    if (mode < 0 || mode > 3) {
        numColumns_ = 1;
        return {};
    }
    const auto count = static_cast<int>(columnEquations().size());
    numColumns_ = count + 1;
    const double w = width() + (count - 1) * colWidth_;
    const auto state = calc_.locked();
    const double h = state->tableMode == 1 ? kContentHeight : (state->tableList.count() + 1) * rowHeight_ + colHeadHeight_;
    return {w, h};
}

QRectF TableView::rectForCol(int col, int row) const
{
    const double y = row * rowHeight_ + (calc_.locked()->tableMode == 1 ? kOrigin : 0);
    if (col == 0)
        return {bounds().left(), y, colWidth_, rowHeight_ + colHeadHeight_};
    return {(col - 1) * colWidth_, y, 2 * colWidth_, rowHeight_ + colHeadHeight_};
}

int TableView::maxAutoRow() const
{
    return static_cast<int>(std::floor((kOrigin - colHeadHeight_ - rowHeight_) / rowHeight_));
}

double TableView::autoValue(int row) const
{
    const auto state = calc_.locked();
    return ElementaryFunctions::progressionTerm(state->vars[kTblStart].real(), state->vars[kDeltaTbl].real(), row);
}

std::vector<double> TableView::rowValues(int firstRow, int count) const
{
    const auto state = calc_.locked();
    return rowValues(state->vars[kTblStart].real(), state->vars[kDeltaTbl].real(), firstRow, count);
}

std::vector<double> TableView::rowValues(double start, double step, int firstRow, int count)
{
    // Each row from TblStart as seq( makes its terms, so a row that should be 0 is 0 (not
    // the step's rounding) wherever the table was scrolled from.
    std::vector<double> values(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        values[static_cast<std::size_t>(i)] = ElementaryFunctions::progressionTerm(start, step, firstRow + i);
    return values;
}

TableView::Snapshot TableView::snapshot() const
{
    Snapshot table;
    table.graphMode = calc_.graphMode();
    table.format = calc_.numberFormatter();
    table.format.settings.maxWidth = kTableWidth;
    const auto state = calc_.locked();
    table.automatic = state->tableMode == 1;
    table.start = state->vars[kTblStart].real();
    table.step = state->vars[kDeltaTbl].real();
    table.list = state->tableList;
    return table;
}

// ---- Drawing ----

void TableView::paintContent(QPainter& painter, const QRectF& rect)
{
    const QRectF b = bounds();
    QPainterPath clip;
    clip.addRoundedRect(QRectF(b.left() + 2, b.top() + 2, b.width() - 4, b.height() - 2), 2, 2);
    painter.setClipPath(clip);
    painter.setFont(FontMap::shared().font("CourierNewPS-BoldMT", fontSize_));
    const Snapshot table = snapshot();
    if (table.graphMode < 0 || table.graphMode > 3)
        return;
    const std::vector<int> columns = columnEquations();
    {
        const RealEvaluations real(calc_, table.automatic);
        if (table.automatic)
            drawTable(painter, rect, columns, table);
        else
            drawTableList(painter, rect, columns, table);
    }
    drawHeader(painter, rect, columns, table);
}

void TableView::fillCell(QPainter& painter, const QRectF& cell, int col, int row, const QColor& band)
{
    if (cursorCol == col && cursorRow == row && !headerSelected)
        painter.fillRect(cell, namedColor("yellowHilightColor"));
    else if (row % 2 != 0)
        painter.fillRect(cell, band);
}

void TableView::drawCell(QPainter& painter, double x, double top, const QString& text)
{
    const QFontMetricsF metrics(painter.font());
    const double w = metrics.horizontalAdvance(text);
    painter.drawText(QPointF(x + colWidth_ - w - 2, top - leadAdjust_ + metrics.ascent()), text);
}

void TableView::drawTable(QPainter& painter, const QRectF& rect, const std::vector<int>& columns, const Snapshot& table)
{
    const QRectF b = bounds();
    const int firstRow = static_cast<int>(std::trunc((rect.top() - kOrigin) / rowHeight_ - 2));
    const int rowCount = static_cast<int>(std::trunc(rect.height() / rowHeight_ + 3));
    const QColor text = namedColor("fontColor");
    QColor band = text;
    band.setAlphaF(0.1);
    auto top = [this](int r) { return kOrigin + colHeadHeight_ + r * rowHeight_; };
    const std::vector<double> values = rowValues(table.start, table.step, firstRow, rowCount);
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const double x = static_cast<double>(k + 1) * colWidth_;
        if (x > rect.right() || x + colWidth_ < rect.left())
            continue;
        for (int i = 0; i < rowCount; ++i) {
            const int r = firstRow + i;
            fillCell(painter, QRectF(x, top(r), colWidth_, rowHeight_), static_cast<int>(k + 1), r, band);
            painter.setPen(text);
            const double value = sampler_.dfunction(columns[k], values[static_cast<std::size_t>(i)]);
            drawCell(painter, x, top(r), QString::fromStdString(table.format.formatTable(value)));
        }
        painter.setPen(Qt::white);
        painter.drawLine(QPointF(x + colWidth_ - 0.5, rect.top()), QPointF(x + colWidth_ - 0.5, rect.bottom()));
    }
    QColor lcd = toQColor(calc_.interfaceColor(calc_.lcdColorSet, 6));
    if (darkAppearance())
        lcd = QColor::fromRgbF(lcd.redF() * 0.5, lcd.greenF() * 0.5, lcd.blueF() * 0.5);
    painter.fillRect(QRectF(b.left(), rect.top(), colWidth_, rect.height()), lcd);
    for (int i = 0; i < rowCount; ++i) {
        const int r = firstRow + i;
        fillCell(painter, QRectF(b.left(), top(r), colWidth_, rowHeight_), 0, r, band);
        painter.setPen(text);
        drawCell(painter, b.left(), top(r), QString::fromStdString(table.format.formatTable(values[static_cast<std::size_t>(i)])));
    }
}

void TableView::drawTableList(QPainter& painter, const QRectF& rect, const std::vector<int>& columns, const Snapshot& table)
{
    const QRectF b = bounds();
    const int n = table.list.count();
    const int firstRow = static_cast<int>(std::trunc(rect.top() / rowHeight_));
    const int rowCount = static_cast<int>(std::trunc(rect.height() / rowHeight_ + 3));
    const QColor text = namedColor("fontColor");
    const QColor band(255, 255, 255, 102);
    auto top = [this](int r) { return colHeadHeight_ + r * rowHeight_; };
    const int last = std::min(n, firstRow + rowCount - 1);
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const double x = static_cast<double>(k + 1) * colWidth_;
        for (int r = firstRow; r <= last; ++r) {
            fillCell(painter, QRectF(x, top(r), colWidth_, rowHeight_), static_cast<int>(k + 1), r, band);
            if (r < n) {
                painter.setPen(text);
                const double value = sampler_.dfunction(columns[k], table.list.realAtIndex(r));
                drawCell(painter, x, top(r), QString::fromStdString(table.format.formatTable(value)));
            }
        }
        painter.setPen(Qt::white);
        painter.drawLine(QPointF(x + colWidth_ - 0.5, rect.top()), QPointF(x + colWidth_ - 0.5, rect.bottom()));
    }
    painter.fillRect(QRectF(b.left(), rect.top(), colWidth_, rect.height()), toQColor(calc_.interfaceColor(calc_.lcdColorSet, 6)));
    for (int r = firstRow; r <= last; ++r) {
        fillCell(painter, QRectF(b.left(), top(r), colWidth_, rowHeight_), 0, r, band);
        if (r < n) {
            painter.setPen(text);
            drawCell(painter, b.left(), top(r), QString::fromStdString(table.format.formatTable(table.list.realAtIndex(r))));
        }
    }
}

void TableView::drawHeader(QPainter& painter, const QRectF& rect, const std::vector<int>& columns, const Snapshot& table)
{
    const QRectF b = bounds();
    painter.fillRect(QRectF(b.left(), b.top(), rect.width(), colHeadHeight_), Qt::black);
    const QFontMetricsF metrics(painter.font());
    const auto* model = dynamic_cast<const YEqModel*>(calc_.yEqManager.get());
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const int col = static_cast<int>(k + 1);
        const double x = col * colWidth_;
        if (headerSelected && cursorCol == col) {
            painter.setPen(QPen(namedColor("yellowHilightColor"), 4));
            painter.drawRect(QRectF(x - 2, b.top(), colWidth_ + 3, colHeadHeight_ + 2).adjusted(4, 4, -4, -4));
        }
        QString name = QString::fromStdString(calc_.nameForOpcode(static_cast<std::uint32_t>(columns[k])));
        if (columns[k] >= 0x5E80 && columns[k] <= 0x5E82)
            name += QStringLiteral("(η)");
        const VQColor c = model ? model->colorForFunction(columns[k]).value_or(VQColor()) : VQColor();
        painter.setPen(QColor::fromRgbF(c.r(), c.g(), c.b(), 1));
        painter.drawText(QPointF(x + (colWidth_ - metrics.horizontalAdvance(name)) / 2, b.top() + 3 + metrics.ascent()), name);
        painter.setPen(Qt::white);
        painter.drawLine(QPointF(x - 0.5, b.top()), QPointF(x - 0.5, b.top() + colHeadHeight_));
        painter.drawLine(QPointF(x + colWidth_ - 0.5, b.top()), QPointF(x + colWidth_ - 0.5, b.top() + colHeadHeight_));
    }
    const bool automatic = table.automatic;
    painter.fillRect(QRectF(b.left(), b.top(), colWidth_, colHeadHeight_), namedColor("bannerColor"));
    const QString title = (automatic ? QStringLiteral("Auto ") : QStringLiteral("Ask ")) + independentName(table.graphMode);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(b.left() + 2, b.top() + 4 + metrics.ascent()), title);
    if (automatic) {
        // The ΔTbl box stands apart from the title, light enough for its black text to read.
        const double boxLeft = b.left() + 2 + metrics.horizontalAdvance(title) + kDeltaBoxGap;
        const QRectF box(boxLeft, b.top() + 3, b.left() + colWidth_ - 1 - boxLeft, colHeadHeight_ - 6);
        painter.fillRect(box, headerSelected && cursorCol == 0 ? namedColor("yellowHilightColor") : QColor(255, 255, 255, 217));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(box.left() + 2, b.top() + 4 + metrics.ascent()),
                         QString::fromStdString(table.format.formatReal(table.step)));
    }
    painter.fillRect(QRectF(b.left() + colWidth_ + 0.5, rect.top(), 1, rect.height()), Qt::white);
}

// ---- Taps ----

void TableView::tap(QPointF p)
{
    keys_.doKeyClick();
    const QRectF b = bounds();
    const bool automatic = calc_.locked()->tableMode == 1;
    if (p.y() >= b.top() + colHeadHeight_) {
        const int v = static_cast<int>(std::trunc(p.y() - (automatic ? kOrigin : 0) - colHeadHeight_));
        int row = v >= 0 ? static_cast<int>(std::trunc(v / rowHeight_)) : static_cast<int>(std::trunc((v - rowHeight_) / rowHeight_));
        if (!automatic)
            row = std::clamp(row, 0, calc_.locked()->tableList.count());
        const int col = p.x() < b.left() + colWidth_ ? 0 : static_cast<int>(std::trunc(p.x() / colWidth_));
        if (delegate_)
            delegate_->selectRow(row, col);
        update();
        return;
    }
    if (p.x() < b.left() + colWidth_) {
        if (automatic && p.x() > b.left() + colWidth_ / 2) {
            if (delegate_)
                delegate_->selectDelRow();
            return;
        }
        calc_.locked()->tableMode = automatic ? 0 : 1;
        if (delegate_)
            delegate_->tableModeChanged();
        return;
    }
    if (delegate_)
        delegate_->selectHeader(static_cast<int>(std::trunc(p.x() / colWidth_)));
}

} // namespace orvenda
