#include "graphui/GraphProgramControls.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "eval/Parser.h"
#include "graph/GraphView.h"
#include "graphui/InputFieldView.h"
#include "graphui/ThumbSlider.h"
#include "pretty/FontMap.h"

#include <QButtonGroup>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace orvenda {
namespace {

// The calculator's numbered variables.
constexpr int kVariableCount = 218;
constexpr int kSliderSteps = 1000;
// Between an input field's box and its name.
constexpr int kLabelGap = 4;

std::vector<std::string> split(const std::string& text)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, ','))
        parts.push_back(part);
    return parts;
}

bool validVar(int varNum) { return varNum >= 0 && varNum < kVariableCount; }

double screenScale()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double scale = screen ? screen->devicePixelRatio() : 1;
    return scale > 0 ? scale : 1;
}

// A clear image of a size in points at a pixel scale (0: the screen's).
QImage blankImage(const QSizeF& size, double scale)
{
    if (scale <= 0)
        scale = screenScale();
    QImage image((size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    return image;
}

// A program's button: its white rounded picture with the title in black.
class ProgramButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(QPointF(0, 0), GraphProgramControls::buttonImage(size(), 0));
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

// A slider over a double range, in kSliderSteps steps.
class ValueSlider : public ThumbSlider {
public:
    ValueSlider(double lo, double hi, const QString& title, QWidget* parent) : ThumbSlider(parent), lo_(lo), hi_(hi)
    {
        setRange(0, kSliderSteps);
        const QImage thumb = GraphProgramControls::sliderImage({32, 32}, title, 0);
        setThumb(thumb, thumb);
    }
    double value() const { return hi_ == lo_ ? lo_ : lo_ + (hi_ - lo_) * QSlider::value() / kSliderSteps; }
    void setDouble(double v)
    {
        const double f = hi_ == lo_ || !std::isfinite(v) ? 0 : (v - lo_) / (hi_ - lo_);
        setValue(static_cast<int>(std::lround(std::clamp(f, 0.0, 1.0) * kSliderSteps)));
    }

private:
    double lo_, hi_;
};

} // namespace

GraphProgramControls::GraphProgramControls(Calculator& calc, GraphView& view, QWidget* host)
    : calc_(calc), view_(view), host_(host)
{
}

GraphProgramControls::~GraphProgramControls() { removeControllers(); }

QRectF GraphProgramControls::adjustFrame(const QRectF& r) const
{
    const QRectF bounds = view_.rect();
    QRectF out = r;
    if (r.x() < 0)
        out.moveLeft(r.x() + bounds.width());
    if (r.y() < 0)
        out.moveTop(r.y() + bounds.height());
    if (r.width() <= 0)
        out.setWidth(r.width() + bounds.width());
    return out;
}

void GraphProgramControls::removeControllers(bool clearRecords)
{
    for (QWidget* control : ioControls_)
        delete control;
    for (QLabel* label : fieldLabels_)
        delete label;
    ioControls_.clear();
    fieldLabels_.clear();
    ioObj_.clear();
    if (clearRecords)
        calc_.ioControls.clear();
}

void GraphProgramControls::updateIOControllers()
{
    removeControllers();
    ioObj_.reserve(10);
    ioControls_.reserve(10);
    fieldLabels_.reserve(10);
    for (const auto& record : calc_.ioControls) {
        auto* control = dynamic_cast<DrawControl*>(record.get());
        if (!control)
            continue;
        const QRectF frame = adjustFrame(QRectF(control->x, control->y, control->width, kControlHeight));
        const int tag = static_cast<int>(ioControls_.size());
        QWidget* widget = nullptr;
        QLabel* label = nullptr;
        if (auto* field = dynamic_cast<DrawInputField*>(control)) {
            if (!validVar(field->varNum))
                continue;
            auto* view = new InputFieldView(calc_, host_);
            view->varNum = field->varNum;
            view->lblName = field->lblName;
            view->clicked = [this, tag] {
                if (editField)
                    editField(tag);
            };
            widget = view;
            if (!field->lblName.empty()) {
                label = new QLabel(QString::fromStdString(field->lblName), host_);
                label->setFont(FontMap::shared().font("Helvetica", 16));
                // In the axes' colour, as the graph's own numbers are: it shows on the graph's ground.
                const VQColor axes = calc_.locked()->axesColor;
                const QColor colour = QColor::fromRgbF(float(axes.r()), float(axes.g()), float(axes.b()));
                label->setStyleSheet(QStringLiteral("color: %1").arg(colour.name()));
            }
        } else if (auto* button = dynamic_cast<DrawButton*>(control)) {
            auto* push = new ProgramButton(QString::fromStdString(button->buttonName), host_);
            QObject::connect(push, &QPushButton::released, push, [this, tag] { ioButtonUp(tag); });
            widget = push;
        } else if (auto* slider = dynamic_cast<DrawSlider*>(control)) {
            if (!validVar(slider->varNum))
                continue;
            const QString letter = QString::fromStdString(calc_.nameForOpcode(static_cast<std::uint32_t>(slider->varNum + 65)));
            auto* bar = new ValueSlider(slider->min, slider->max, letter, host_);
            bar->setDouble(calc_.getVar(slider->varNum).value.real());
            QObject::connect(bar, &QSlider::valueChanged, bar, [this, tag, bar] {
                if (bar->isSliderDown())
                    ioSlider(tag, bar->value());
            });
            QObject::connect(bar, &QSlider::sliderReleased, bar, [this, tag, bar] { ioSliderEndSlide(tag, bar->value()); });
            widget = bar;
        } else if (auto* selector = dynamic_cast<DrawSelector*>(control)) {
            auto* row = new QWidget(host_);
            auto* layout = new QHBoxLayout(row);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
            auto* group = new QButtonGroup(row);
            int segment = 0;
            for (const std::string& title : split(selector->titles)) {
                auto* item = new QPushButton(QString::fromStdString(title), row);
                item->setCheckable(true);
                group->addButton(item, segment++);
                layout->addWidget(item);
            }
            QObject::connect(group, &QButtonGroup::idClicked, row, [this, tag](int id) { ioSelector(tag, id); });
            widget = row;
        } else {
            continue;
        }
        widget->setGeometry(frame.toAlignedRect());
        widget->setProperty("tag", tag);
        widget->show();
        widget->raise();
        if (label) {
            placeFieldLabel(*label, widget->geometry());
            label->show();
            label->raise();
        }
        ioObj_.push_back(record);
        ioControls_.push_back(widget);
        fieldLabels_.push_back(label);
    }
}

QLabel* GraphProgramControls::fieldLabel(int tag) const
{
    if (tag < 0 || static_cast<std::size_t>(tag) >= fieldLabels_.size())
        return nullptr;
    return fieldLabels_[tag];
}

void GraphProgramControls::placeFieldLabel(QLabel& label, const QRect& box)
{
    const int width = static_cast<int>(std::ceil(QFontMetricsF(label.font()).horizontalAdvance(label.text())));
    const bool left = box.left() - kLabelGap - width >= 0;
    label.setAlignment((left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    label.setGeometry(left ? box.left() - kLabelGap - width : box.right() + 1 + kLabelGap, box.top(), width, box.height());
}

void GraphProgramControls::adjustLayout()
{
    for (std::size_t i = 0; i < ioObj_.size(); ++i) {
        const auto* control = dynamic_cast<const DrawControl*>(ioObj_[i].get());
        if (!control || !ioControls_[i])
            continue;
        const QRectF frame = adjustFrame(QRectF(control->x, control->y, control->width, ioControls_[i]->height()));
        ioControls_[i]->setGeometry(frame.toAlignedRect());
        if (fieldLabels_[i])
            placeFieldLabel(*fieldLabels_[i], ioControls_[i]->geometry());
    }
}

std::vector<QRect> GraphProgramControls::controlRects() const
{
    std::vector<QRect> rects;
    for (const QPointer<QWidget>& control : ioControls_)
        if (control)
            rects.push_back(control->geometry());
    for (const QPointer<QLabel>& label : fieldLabels_)
        if (label)
            rects.push_back(label->geometry());
    return rects;
}

void GraphProgramControls::ioButtonUp(int tag)
{
    if (tag < 0 || static_cast<std::size_t>(tag) >= ioObj_.size() || calc_.parser().busy())
        return;
    if (auto* button = dynamic_cast<DrawButton*>(ioObj_[tag].get()))
        calc_.parser().runSubroutine(button->lblName, button->prgmName);
}

const DrawInputField* GraphProgramControls::inputField(int tag) const
{
    if (tag < 0 || static_cast<std::size_t>(tag) >= ioObj_.size())
        return nullptr;
    return dynamic_cast<const DrawInputField*>(ioObj_[tag].get());
}

void GraphProgramControls::ioInputField(int tag, double value)
{
    const DrawInputField* field = inputField(tag);
    if (!field)
        return;
    calc_.setVar(field->varNum, {{value, 0}});
    if (static_cast<std::size_t>(tag) < ioControls_.size() && ioControls_[tag])
        ioControls_[tag]->update();
    if (!field->lblName.empty() && !calc_.parser().busy())
        calc_.parser().runSubroutine(field->lblName, field->prgmName);
}

void GraphProgramControls::ioSelector(int tag, int segment)
{
    if (tag < 0 || static_cast<std::size_t>(tag) >= ioObj_.size() || calc_.parser().busy())
        return;
    auto* selector = dynamic_cast<DrawSelector*>(ioObj_[tag].get());
    if (!selector)
        return;
    const auto labels = split(selector->labels);
    // A segment without a label of its own runs nothing.
    if (segment < 0 || static_cast<std::size_t>(segment) >= labels.size())
        return;
    calc_.parser().runSubroutine(labels[segment], selector->prgmName);
}

DrawSlider* GraphProgramControls::sliderRecord(int tag) const
{
    if (tag < 0 || static_cast<std::size_t>(tag) >= ioObj_.size())
        return nullptr;
    return dynamic_cast<DrawSlider*>(ioObj_[tag].get());
}

void GraphProgramControls::ioSlider(int tag, double value)
{
    DrawSlider* slider = sliderRecord(tag);
    if (!slider || calc_.parser().busy())
        return;
    view_.drawQuality = 1;
    if (calc_.getVar(slider->varNum).value == std::complex<double>(value, 0))
        return;
    calc_.setVar(slider->varNum, {{value, 0}});
    calc_.parser().animateSlider(slider->lblName, slider->prgmName, slider->varNum, value);
}

void GraphProgramControls::ioSliderEndSlide(int tag, double value)
{
    // The release runs its label even while the queue is busy.
    DrawSlider* slider = sliderRecord(tag);
    if (!slider)
        return;
    view_.drawQuality = 0;
    calc_.setVar(slider->varNum, {{value, 0}});
    calc_.parser().runSubroutine(slider->lblName, slider->prgmName);
}

QImage GraphProgramControls::buttonImage(const QSizeF& size, double scale)
{
    QImage image = blankImage(size, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 9, 9);
    painter.fillPath(path, Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPath(path);
    return image;
}

QImage GraphProgramControls::sliderImage(const QSizeF& size, const QString& title, double scale)
{
    QImage image = blankImage(size, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inset(0.5, 0.5, size.width() - 1, size.height() - 1);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawEllipse(inset);
    const QFont font = FontMap::shared().font("Helvetica", 20);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double x = (size.width() - 1 - metrics.horizontalAdvance(title)) / 2 + 0.5;
    const double y = (size.height() - 1 - metrics.height()) / 2 + 0.5;
    painter.drawText(QPointF(x, y + metrics.ascent()), title);
    return image;
}

} // namespace orvenda
