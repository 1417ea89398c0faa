#include "graphui/VQTemplateView.h"

#include "app/AppShell.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/NamedColors.h"
#include "app/ScreenController.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "language/ErrorNumbers.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

EntryModel* entryOf(Calculator& calc) { return dynamic_cast<EntryModel*>(calc.entryManager.get()); }

// The equation variables (Y₁, X₁ᴛ, r₁, u, ...) are the tokens of page 0x5E.
bool isEquation(std::uint32_t op) { return ((op & 0xFFFF) >> 8) == 0x5E; }

} // namespace

VQTemplateView::VQTemplateView(Calculator& calc, AppShell& shell, QWidget* parent)
    : QWidget(parent), calc_(calc), shell_(shell), observer_(new QObject(this))
{
}

VQTemplateView::~VQTemplateView() { calc_.notificationCenter().removeObserver(observer_); }

void VQTemplateView::setFields(std::vector<VQTemplateField> fields)
{
    fields_ = std::move(fields);
    tabCount_ = static_cast<int>(std::count_if(fields_.begin(), fields_.end(), [](const auto& f) { return f.editable(); }));
    if (current_ < 0 || current_ >= static_cast<int>(fields_.size()) || !fields_[static_cast<std::size_t>(current_)].editable())
        current_ = nextField(1);
    update();
}

int VQTemplateView::rowCount() const
{
    int rows = 0;
    for (const VQTemplateField& f : fields_)
        rows = std::max(rows, f.row + 1);
    return rows;
}

QSize VQTemplateView::size() const
{
    int cols = 0;
    for (const VQTemplateField& f : fields_)
        cols = std::max(cols, f.col + 1);
    const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", 20 * scale_));
    return {static_cast<int>(std::ceil((cols + 16) * metrics.horizontalAdvance(QLatin1Char('0')))),
            static_cast<int>(std::ceil(titleHeight() + rowCount() * rowHeight()))};
}

void VQTemplateView::setScale(double scale)
{
    scale_ = scale > 0 ? scale : 1;
    update();
}

void VQTemplateView::setTitle(const QString& title)
{
    title_ = title;
    update();
}

void VQTemplateView::setCurrentField(int index)
{
    if (index >= 0 && index < static_cast<int>(fields_.size()) && fields_[static_cast<std::size_t>(index)].editable())
        current_ = index;
    update();
}

void VQTemplateView::restorePlace(const nlohmann::json& place)
{
    if (const auto field = ScreenController::placeNumber(place, "field", 0, static_cast<int>(fields_.size()) - 1))
        setCurrentField(*field);
}

void VQTemplateView::toFirstField()
{
    current_ = -1;
    current_ = nextField(1);
    update();
}

void VQTemplateView::focus(bool gained)
{
    NotificationCenter& bus = calc_.notificationCenter();
    bus.removeObserver(observer_);
    if (!gained)
        return;
    observeOnOwnerThread(bus, observer_, VQCursorDown, [this](const Notification&) { cursorDown(); });
    observeOnOwnerThread(bus, observer_, VQCursorUp, [this](const Notification&) { cursorUp(); });
    observeOnOwnerThread(bus, observer_, VQEnter, [this](const Notification&) { enter(); });
    observeOnOwnerThread(bus, observer_, VQBlinkCursor, [this](const Notification&) { update(); });
    observeOnOwnerThread(bus, observer_, VQEntryTextChanged, [this](const Notification&) { update(); });
}

int VQTemplateView::nextField(int step) const
{
    // By tab order: the editable field whose order comes next after the current one.
    const int currentOrder = current_ >= 0 && current_ < static_cast<int>(fields_.size())
        ? fields_[static_cast<std::size_t>(current_)].order : (step > 0 ? -1 : INT_MAX);
    int best = -1;
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        const int order = fields_[static_cast<std::size_t>(i)].order;
        if (order < 0)
            continue;
        const bool after = step > 0 ? order > currentOrder : order < currentOrder;
        if (!after)
            continue;
        if (best < 0 || (step > 0 ? order < fields_[static_cast<std::size_t>(best)].order : order > fields_[static_cast<std::size_t>(best)].order))
            best = i;
    }
    return best;
}

bool VQTemplateView::typed() const
{
    const EntryModel* entry = entryOf(calc_);
    return entry && !entry->entryOps().empty();
}

void VQTemplateView::store(double value)
{
    if (current_ < 0)
        return;
    VQTemplateField& field = fields_[static_cast<std::size_t>(current_)];
    field.value = value;
    if (delegate_)
        delegate_->fieldDidChange(field);
}

bool VQTemplateView::getEntry()
{
    if (current_ < 0 || !typed())
        return true;
    VQTemplateField& field = fields_[static_cast<std::size_t>(current_)];
    EntryModel* entry = entryOf(calc_);
    if (field.flags == VQTemplateField::ListName) {
        // What names no list is refused as the list editor refuses it, where it was typed.
        auto name = entry->getListName();
        if (!name) {
            calc_.showError({{"errorNum", int{ErrArgument}}});
            return false;
        }
        field.listValue = std::move(*name);
        entry->clear();
        if (delegate_)
            delegate_->fieldDidChange(field);
        return true;
    }
    if (field.flags == VQTemplateField::EquationVariable) {
        // An equation's name is the field's value itself, not the equation evaluated.
        const auto& line = entry->entryOps();
        if (line.size() == 1 && isEquation(line[0])) {
            const double token = line[0] & 0xFFFF;
            entry->clear();
            store(token);
            return true;
        }
    }
    EntryEvaluator& evaluator = shell_.evaluator();
    evaluator.finalizeEntry();
    // A failed evaluation keeps the typed text (and its error mark). The field takes its
    // own value, never Ans, which a running program may have changed meanwhile.
    const std::optional<Operand>& value = evaluator.fieldValue();
    if (typed() || !value || value->kind != KindReal)
        return false;
    // A number in an equation's field names no equation.
    store(field.flags == VQTemplateField::EquationVariable ? 0 : value->re());
    return true;
}

void VQTemplateView::cursorDown()
{
    if (!getEntry())
        return;
    if (const int next = nextField(1); next >= 0)
        current_ = next;
    update();
}

void VQTemplateView::cursorUp()
{
    if (!getEntry())
        return;
    if (const int previous = nextField(-1); previous >= 0)
        current_ = previous;
    update();
}

void VQTemplateView::enter()
{
    if (current_ < 0 || calc_.ans.type() != 0)
        return;
    store(fields_[static_cast<std::size_t>(current_)].flags == VQTemplateField::EquationVariable ? 0 : calc_.ans.r());
    if (EntryModel* entry = entryOf(calc_))
        entry->clear();
    if (const int next = nextField(1); next >= 0)
        current_ = next;
    update();
}

QString VQTemplateView::valueText(int index) const
{
    const VQTemplateField& f = fields_.at(static_cast<std::size_t>(index));
    if (f.flags == VQTemplateField::ListName)
        return QString::fromStdString(calc_.stringFromOps(f.listValue));
    if (f.flags == VQTemplateField::EquationVariable && f.value > 0 && isEquation(static_cast<std::uint32_t>(f.value)))
        return QString::fromStdString(calc_.nameForOpcode(static_cast<std::uint32_t>(f.value)));
    // A read-out without a value (a calculation that failed, told by its error) shows none.
    if (f.order < 0 && std::isnan(f.value))
        return {};
    return QString::fromStdString(calc_.formatReal(f.value));
}

QString VQTemplateView::shownText(int index) const
{
    if (index == current_ && typed())
        return QString::fromStdString(calc_.stringFromOps(entryOf(calc_)->entryOps()));
    return valueText(index);
}

double VQTemplateView::textScale() const
{
    // The text's width grows with the scale, so one measure at the form's scale gives the
    // factor that fits the widest row. A field with another after it in its row keeps to
    // the room before that one, which grows with the scale too: only the rows' last
    // fields reach the edge.
    const double k = scale_;
    const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", 20 * k));
    const double digit = metrics.horizontalAdvance(QLatin1Char('0'));
    double widest = 0;
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        if (nextColumn(i) >= 0)
            continue;
        const VQTemplateField& f = fields_[static_cast<std::size_t>(i)];
        const double right = 8 * k + f.col * digit + metrics.horizontalAdvance(QString::fromStdString(f.label))
            + metrics.horizontalAdvance(valueText(i)) + 6 * k;
        widest = std::max(widest, right);
    }
    const double room = textRight();
    return widest > room && room > 0 ? k * room / widest : k;
}

double VQTemplateView::textRight() const { return textRoom_ > 0 ? std::min<double>(textRoom_, width()) : width(); }

int VQTemplateView::nextColumn(int index) const
{
    const VQTemplateField& f = fields_[static_cast<std::size_t>(index)];
    int next = -1;
    for (const VQTemplateField& o : fields_)
        if (o.row == f.row && o.col > f.col && (next < 0 || o.col < next))
            next = o.col;
    return next;
}

VQTemplateView::FieldPlace VQTemplateView::fieldPlace(int index, double k) const
{
    const VQTemplateField& f = fields_[static_cast<std::size_t>(index)];
    const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", 20 * k));
    const double digit = metrics.horizontalAdvance(QLatin1Char('0'));
    FieldPlace p;
    p.x = 8 * k + f.col * digit;
    p.valueX = p.x + metrics.horizontalAdvance(QString::fromStdString(f.label));
    // A digit's width before the next field of the row, else the text room's end less the
    // margin the text scale keeps.
    const int next = nextColumn(index);
    p.right = next >= 0 ? 8 * k + (next - 1) * digit : textRight() - 2 * k;
    p.right = std::max(p.valueX, p.right);
    p.valueScale = k;
    p.valueWidth = metrics.horizontalAdvance(shownText(index));
    // The value's text keeps 2 points clear on either side.
    const double room = std::max(0.0, p.right - p.valueX - 4 * k);
    if (p.valueWidth > room) {
        if (index == current_ && typed()) {
            // The end, where the keys type, shows.
            p.shift = p.valueWidth - room;
        } else {
            p.valueScale = k * room / p.valueWidth;
            p.valueWidth = room;
        }
    }
    p.end = std::min(p.right, p.valueX + std::max(digit, p.valueWidth - p.shift) + 4 * k);
    return p;
}

void VQTemplateView::setTextRoom(double right)
{
    if (right != textRoom_) {
        textRoom_ = right;
        update();
    }
}

int VQTemplateView::firstRow() const
{
    const int current = current_ >= 0 && current_ < static_cast<int>(fields_.size()) ? fields_[static_cast<std::size_t>(current_)].row : -1;
    return scroll_.follow(current, rowCount(), static_cast<int>(std::floor((height() - titleHeight()) / rowHeight())));
}

QRectF VQTemplateView::fieldRect(int index) const
{
    if (index < 0 || index >= static_cast<int>(fields_.size()))
        return {};
    const FieldPlace p = fieldPlace(index, textScale());
    return {p.x, titleHeight() + (fields_[static_cast<std::size_t>(index)].row - firstRow()) * rowHeight(), p.end - p.x, rowHeight()};
}

void VQTemplateView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double titleH = titleHeight(), rowH = rowHeight(), k = textScale();
    const QFont font = FontMap::shared().font("CourierNewPS-BoldMT", 20 * k);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QColor text = namedColor("fontColor");
    painter.setPen(text);
    painter.drawText(QRectF(0, 0, width(), titleH), Qt::AlignCenter, title_);
    // The rows scroll under the title.
    const QRectF rows(0, titleH, width(), std::max(0.0, height() - titleH));
    const int first = firstRow();
    for (int i = 0; i < static_cast<int>(fields_.size()); ++i) {
        const VQTemplateField& f = fields_[static_cast<std::size_t>(i)];
        const FieldPlace p = fieldPlace(i, k);
        const double top = titleH + (f.row - first) * rowH;
        const double baseline = top + (rowH + metrics.ascent() - metrics.descent()) / 2;
        painter.setClipRect(rows);
        painter.setPen(text);
        if (f.solved)
            painter.fillRect(QRectF(p.x - 7 * k, top + rowH / 2 - 2 * k, 4 * k, 4 * k), text);
        painter.drawText(QPointF(p.x, baseline), QString::fromStdString(f.label));
        // The value within its own room, never over the field beside it.
        painter.setClipRect(rows.intersected(QRectF(p.valueX, top, p.end - p.valueX, rowH)));
        if (i == current_)
            painter.fillRect(QRectF(p.valueX, top + 2 * k, p.end - p.valueX, rowH - 4 * k), namedColor("yellowHilightColor"));
        painter.setPen(i == current_ ? QColor(Qt::black) : text);
        if (p.valueScale != k)
            painter.setFont(FontMap::shared().font("CourierNewPS-BoldMT", 20 * p.valueScale));
        painter.drawText(QPointF(p.valueX + 2 * k - p.shift, baseline), shownText(i));
        painter.setFont(font);
    }
}

} // namespace orvenda
