#include "graphui/GraphFormView.h"

#include "app/EntryModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/Operand.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace orvenda {
namespace {

constexpr double kFontSize = 14;
constexpr double kRowHeight = 20;
constexpr double kMargin = 6;

QFont formFont() { return FontMap::shared().font("Courier", kFontSize); }

} // namespace

GraphFormView::GraphFormView(Calculator& calc, QWidget* parent) : QWidget(parent), calc_(calc) {}

GraphFormView::~GraphFormView() { calc_.notificationCenter().removeObserver(this); }

void GraphFormView::setFields(std::vector<GraphFormField> fields)
{
    fields_ = std::move(fields);
    if (current_ >= static_cast<int>(fields_.size()) || (current_ >= 0 && !fields_[current_].editable()))
        current_ = -1;
    if (current_ < 0)
        moveField(1);
    update();
}

void GraphFormView::setTitle(const std::string& title)
{
    title_ = title;
    update();
}

void GraphFormView::setCurrentField(int index)
{
    current_ = index >= 0 && index < static_cast<int>(fields_.size()) && fields_[index].editable() ? index : -1;
    update();
}

QSize GraphFormView::size() const
{
    const QFontMetricsF metrics(formFont());
    int rows = 0;
    double width = metrics.horizontalAdvance(QString::fromStdString(title_));
    for (const GraphFormField& field : fields_) {
        rows = std::max(rows, field.row + 1);
        const QString text = QString::fromStdString(field.label + calc_.formatReal(field.value));
        width = std::max(width, field.col * metrics.averageCharWidth() + metrics.horizontalAdvance(text));
    }
    return QSize(static_cast<int>(width + 2 * kMargin + 1), static_cast<int>((rows + 1) * kRowHeight + 2 * kMargin));
}

bool GraphFormView::getEntry()
{
    auto* entry = dynamic_cast<EntryModel*>(calc_.entryManager.get());
    if (current_ < 0 || !entry || entry->entryOps().empty())
        return false;
    std::vector<std::uint32_t> ops = entry->entryOps();
    Parser& parser = calc_.parser();
    const Operand result = parser.eval(ops, false);
    if (const int error = parser.error(); error != 0) {
        parser.setError(0);
        calc_.showError({{"errorNum", error}});
        return false;
    }
    if (result.kind != KindReal) {
        calc_.showError({{"errorNum", int{ErrDataType}}});
        return false;
    }
    entry->clear();
    fields_[current_].value = result.value.real();
    if (fieldDidChange)
        fieldDidChange(fields_[current_]);
    update();
    return true;
}

void GraphFormView::moveField(int step)
{
    std::vector<int> order;
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i)
        if (fields_[i].editable())
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return fields_[a].order < fields_[b].order; });
    if (order.empty()) {
        current_ = -1;
        return;
    }
    auto at = std::find(order.begin(), order.end(), current_);
    if (at == order.end()) {
        current_ = order.front();
        return;
    }
    const int n = static_cast<int>(order.size());
    const int i = static_cast<int>(at - order.begin());
    current_ = order[((i + step) % n + n) % n];
}

void GraphFormView::focus(bool on)
{
    NotificationCenter& bus = calc_.notificationCenter();
    bus.removeObserver(this);
    if (!on)
        return;
    auto next = [this](int step) {
        getEntry();
        moveField(step);
        update();
    };
    bus.addObserver(this, VQEnter, [next](const auto&) { next(1); });
    bus.addObserver(this, VQCursorDown, [next](const auto&) { next(1); });
    bus.addObserver(this, VQCursorUp, [next](const auto&) { next(-1); });
}

void GraphFormView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(235, 240, 225));
    painter.setFont(formFont());
    const QFontMetricsF metrics(formFont());
    painter.setPen(Qt::black);
    const double ascent = metrics.ascent();
    painter.drawText(QPointF(kMargin, kMargin + ascent), QString::fromStdString(title_));
    const std::string typed = calc_.entryManager ? calc_.entryManager->text() : std::string();
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        const GraphFormField& field = fields_[i];
        const bool typing = i == current_ && !typed.empty();
        const std::string value = typing ? typed : calc_.formatReal(field.value);
        const QPointF at(kMargin + field.col * metrics.averageCharWidth(), kMargin + (field.row + 1) * kRowHeight + ascent);
        const QString text = QString::fromStdString(field.label + value);
        if (i == current_)
            painter.fillRect(QRectF(at.x() - 2, at.y() - ascent - 1, metrics.horizontalAdvance(text) + 4, kRowHeight - 2),
                             QColor(255, 240, 150));
        painter.drawText(at, text);
    }
}

} // namespace orvenda
