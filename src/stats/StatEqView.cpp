#include "stats/StatEqView.h"

#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "drawing/VImageDraw.h"
#include "numeric/VQStatistics.h"
#include "pretty/FontMap.h"
#include "stats/StatPlotModel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace orvenda {

namespace {

constexpr double kIconSize = 40;

} // namespace

StatEqView::StatEqView(Calculator& calc, KeyRouter& keys, QWidget* parent)
    : DrawnView(parent), calc_(calc), keys_(keys)
{
    adjustSize(1);
}

void StatEqView::adjustSize(double scale)
{
    if (calc_.device != 1) {
        fontSize_ = 16;
        leading_ = 18;
        rowHeight_ = 44;
        return;
    }
    fontSize_ = 20 * scale;
    leading_ = 27 * scale;
    rowHeight_ = 66 * scale;
}

QSizeF StatEqView::size() const { return {static_cast<double>(width()), StatPlotModel::kPlotCount * rowHeight_}; }

QRectF StatEqView::rectForRow(int row) const { return {bounds().left(), row * rowHeight_, bounds().width(), rowHeight_}; }

std::pair<QString, QString> StatEqView::rowLines(int plot) const
{
    const auto state = calc_.locked();
    const StatPlotModel* model = StatPlotModel::of(calc_);
    const auto stats = model ? model->stats(plot) : nullptr;
    if (!stats)
        return {};
    const auto name = [](const std::optional<std::string>& n) { return QString::fromStdString(n.value_or(std::string())); };
    const QString x = name(stats->listXName);
    switch (model->plotType(plot)) {
    case StatGraphManager::Histogram:
    case StatGraphManager::ModBoxplot:
    case StatGraphManager::Boxplot:
        return {QStringLiteral("Xlist:") + x, QStringLiteral("Freq:") + (stats->freqName ? name(stats->freqName) : QStringLiteral("1"))};
    case StatGraphManager::NormProbPlot:
        return {QStringLiteral("Data List:") + x, QStringLiteral("Data Axis:") + (model->plotDataAxis(plot) != 0 ? QStringLiteral("Y") : QStringLiteral("X"))};
    default:
        return {QStringLiteral("Xlist:") + x, QStringLiteral("Ylist:") + name(stats->listYName)};
    }
}

const QImage& StatEqView::typeIcon(int type, const QColor& color)
{
    auto& icon = icons_[{type, color.rgb()}];
    if (icon.isNull())
        icon = VImageDraw::vImageDraw().getImage(kTypeImages[type], 1, VColor{color.redF(), color.greenF(), color.blueF(), 1},
                                                 VColor{0, 0, 0, 1});
    return icon;
}

void StatEqView::paintContent(QPainter& painter, const QRectF&)
{
    const QRectF b = bounds();
    QPainterPath clip;
    clip.addRoundedRect(b.adjusted(2, 2, -2, -2), 3, 3);
    painter.setClipPath(clip);
    if (onImage_.isNull()) {
        onImage_ = VImageDraw::vImageDraw().getImage("onButton", 1);
        offImage_ = VImageDraw::vImageDraw().getImage("offButton", 1);
    }
    const QFont font = FontMap::shared().font("CourierNewPS-BoldMT", fontSize_);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QColor text = namedColor("fontColor");
    // One look at the plots for the whole draw (a program may change them meanwhile).
    const auto held = calc_.locked();
    for (int i = 0; i < StatPlotModel::kPlotCount; ++i) {
        const double y = i * rowHeight_;
        bool visible = false;
        int type = 0;
        QColor color;
        if (const StatPlotModel* model = StatPlotModel::of(calc_)) {
            visible = model->plotVisible(i);
            type = model->plotType(i);
            const VQColor c = model->plotColor(i);
            color = QColor::fromRgbF(c.r(), c.g(), c.b(), 1);
        }
        const QImage& button = visible ? onImage_ : offImage_;
        painter.drawImage(QPointF(3, y + (rowHeight_ - button.deviceIndependentSize().height()) / 2), button);
        if (type >= 0 && type < 6)
            painter.drawImage(QPointF(kSwitchEdge, y + (rowHeight_ - kIconSize) / 2), typeIcon(type, color));
        painter.fillRect(QRectF(b.left() + 92, y + 2, b.right() - 4 - (b.left() + 92), rowHeight_ - 6), QColor(255, 255, 255, 26));
        const auto [first, second] = rowLines(i);
        painter.setPen(text);
        painter.drawText(QPointF(100, y + 3 + metrics.ascent()), first);
        painter.drawText(QPointF(100, y + 3 + leading_ + metrics.ascent()), second);
        painter.setPen(QColor::fromRgbF(0.8, 0.8, 0.8));
        painter.drawLine(QPointF(b.left(), y + rowHeight_ - 0.5), QPointF(b.right(), y + rowHeight_ - 0.5));
        painter.setPen(QColor::fromRgbF(0.5, 0.5, 0.5));
        painter.drawLine(QPointF(b.left(), y + rowHeight_ + 0.5), QPointF(b.right(), y + rowHeight_ + 0.5));
    }
}

void StatEqView::tap(QPointF p)
{
    keys_.doKeyClick();
    const int row = static_cast<int>(std::trunc(p.y() / rowHeight_));
    if (row < 0 || row >= StatPlotModel::kPlotCount)
        return;
    if (p.x() < kSwitchEdge) {
        {
            const auto state = calc_.locked();
            if (StatPlotModel* model = StatPlotModel::of(calc_))
                model->setPlotVisible(row, !model->plotVisible(row));
        }
        update();
        keys_.doKeyClick();
        return;
    }
    if (delegate_)
        delegate_->selectStyle(row);
}

} // namespace orvenda
