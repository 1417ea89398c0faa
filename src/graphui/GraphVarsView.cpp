#include "graphui/GraphVarsView.h"

#include "core/Calculator.h"
#include "core/services/StatGraphManager.h"
#include "app/ImageButton.h"
#include "drawing/VImageDraw.h"
#include "graph/GraphView.h"
#include "graph/PlotObject.h"
#include "graphui/GraphPanelDelegates.h"
#include "graphui/ThumbSlider.h"
#include "numeric/VQStatistics.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace orvenda {
namespace {

constexpr int kSliderSteps = 10000;
constexpr int kImplicitMode = 4;
constexpr int kVarX = 23, kVarT = 19, kVarTheta = 26, kVarEta = 27, kIndex = -3, kBar = -2;

double real(Calculator& calc, int slot) { return calc.getVar(slot).value.real(); }

// v rounded to a multiple of step, halves away from zero.
double roundToStep(double v, double step)
{
    return std::trunc((v + std::copysign(step / 2, v)) / step) * step;
}

double clampTo(double v, const YEqVarInfo& r) { return std::clamp(v, std::min(r.min, r.max), std::max(r.min, r.max)); }

} // namespace

GraphVarsView::GraphVarsView(Calculator& calc, GraphVarsViewDelegate& delegate, QWidget* parent)
    : QWidget(parent), calc_(calc), delegate_(delegate), sliderRow_(new QWidget(this)),
      slider_(new ThumbSlider(sliderRow_)), minus_(new ImageButton(QStringLiteral("−"), sliderRow_)),
      plus_(new ImageButton(QStringLiteral("+"), sliderRow_)), value_(new ImageButton(sliderRow_))
{
    VImageDraw& images = VImageDraw::vImageDraw();
    for (ImageButton* bump : {minus_, plus_}) {
        bump->setBackgroundImage(images.getImage("NavbarItem", 1));
        bump->setTitleFont("Helvetica-Bold", 20, 1);
    }
    value_->setBackgroundImage(images.getImage("NavbarItem2", 1));
    value_->setTitleColor(Qt::black);
    value_->setTitleFont("Helvetica-Bold", 14, 0.6);
    slider_->setRange(0, kSliderSteps);
    QObject::connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        if (!settingSlider_)
            valueChanged(100.0 * v / kSliderSteps);
    });
    QObject::connect(slider_, &QSlider::sliderPressed, this, [this] { startTracking(); });
    QObject::connect(slider_, &QSlider::sliderReleased, this, [this] { stopTracking(); });
    QObject::connect(minus_, &QPushButton::pressed, this, [this] { bumpValue(-1); });
    QObject::connect(plus_, &QPushButton::pressed, this, [this] { bumpValue(1); });
    QObject::connect(minus_, &QPushButton::released, this, [this] { stopBumping(); });
    QObject::connect(plus_, &QPushButton::released, this, [this] { stopBumping(); });
    QObject::connect(value_, &QPushButton::clicked, this, [this] { editValue(); });
    QObject::connect(&repeatTimer_, &QTimer::timeout, this, [this] { bumper(); });
    sliderRow_->hide();
}

GraphVarsView::~GraphVarsView() { repeatTimer_.stop(); }

double GraphVarsView::panelHeight() const { return sliderOpen_ ? kOpenHeight : kButtonHeight; }

void GraphVarsView::showPlot(PlotObject* plot, const PlotPoint& at)
{
    for (ImageButton* button : buttons_)
        delete button;
    buttons_.clear();
    records_.clear();
    hideSliderView();
    editVar_ = -1;
    plot_ = plot;
    hasOwn_ = false;
    if (!plot)
        return;
    const int type = plot->plotType;
    if (!((type >= 1 && type <= 9) || type == PlotObject::PlotNormProb || type == PlotObject::PlotFn))
        return;
    hasOwn_ = type != PlotObject::PlotImplicit;
    if (hasOwn_) {
        YEqVarInfo own;
        own.varNum = plot->varNum;
        own.name = plot->varNum == kIndex ? "i"
                   : plot->varNum == kBar ? "bar#"
                   : plot->varNum == kVarEta ? "η"
                                              : calc_.nameForOpcode(static_cast<std::uint32_t>(65 + plot->varNum));
        records_.push_back(own);
    }
    records_.insert(records_.end(), plot->varInfoArray.begin(), plot->varInfoArray.end());
    const QImage tab = VImageDraw::vImageDraw().getImage("NavbarTab", 1);
    for (std::size_t i = 0; i < records_.size(); ++i) {
        auto* button = new ImageButton(this);
        button->setBackgroundImage(tab);
        button->setTitleFont("Helvetica-Bold", 14, 0.75);
        button->resize(buttonWidth(records_[i].name), kButtonHeight);
        QObject::connect(button, &QPushButton::pressed, this, [this, i] { showSlider(static_cast<int>(i)); });
        button->show();
        buttons_.push_back(button);
    }
    trackValue_ = at.t;
    layoutRows();
    updateButtons();
}

QString GraphVarsView::buttonTitle(std::size_t i) const { return buttons_.at(i)->text(); }

QString GraphVarsView::valueTitle() const { return value_->text(); }

QColor GraphVarsView::buttonTitleColor(std::size_t i) const { return buttons_.at(i)->titleColor(); }

void GraphVarsView::updateButtons()
{
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        QString title = QString::fromStdString(records_[i].name);
        buttons_[i]->setText(title);
        const bool open = records_[i].varNum == editVar_;
        // Titles on the tabs' dark ground, so white and green both read.
        buttons_[i]->setTitleColor(open ? QColor(0, 230, 0) : QColor(Qt::white));
    }
}

bool GraphVarsView::ownVariable() const { return hasOwn_ && plot_ && editVar_ == plot_->varNum; }

int GraphVarsView::openIndex() const
{
    for (std::size_t i = 0; i < records_.size(); ++i)
        if (records_[i].varNum == editVar_)
            return static_cast<int>(i);
    return -1;
}

double GraphVarsView::sliderPosition(const YEqVarInfo& r)
{
    const double span = r.max - r.min;
    // An empty (or broken) range has nowhere to slide.
    if (!(span != 0) || !std::isfinite(span))
        return 0;
    const double position = 100 - (r.max - r.value) / span * 100;
    return std::isfinite(position) ? position : 0;
}

double GraphVarsView::sliderValue(const YEqVarInfo& r, double position)
{
    double v = r.min + (r.max - r.min) * position / 100;
    if (r.step != 0)
        v = roundToStep(v, r.step);
    return clampTo(v, r);
}

QString GraphVarsView::thumbLabel(const std::string& name)
{
    const QString label = QString::fromStdString(name);
    const QList<uint> points = label.toUcs4();
    if (points.size() < 3)
        return label;
    const char32_t firstTwo[] = {points[0], points[1]};
    return QString::fromUcs4(firstTwo, 2);
}

QImage GraphVarsView::thumbImage(const QString& label, bool hilight)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double scale = screen && screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 1;
    QImage image(QSize(22, 22) * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(0.8f, 0.8f, 0.8f));
    painter.drawEllipse(QRectF(0, 0, 22, 22));
    const QFont font = FontMap::shared().font("Helvetica-Bold", 14);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double x = 11 - metrics.horizontalAdvance(label) / 2;
    painter.setPen(Qt::white);
    painter.drawText(QPointF(x + 0.5, 2.5 + metrics.ascent()), label);
    const float grey = hilight ? 0.5f : 0.2f;
    painter.setPen(QColor::fromRgbF(grey, grey, grey));
    painter.drawText(QPointF(x, 2 + metrics.ascent()), label);
    return image;
}

void GraphVarsView::setSliderFrom(const YEqVarInfo& record)
{
    settingSlider_ = true;
    const double position = std::clamp(sliderPosition(record), 0.0, 100.0);
    slider_->setValue(static_cast<int>(std::lround(position / 100 * kSliderSteps)));
    slider_->setEnabled(record.max > record.min);
    settingSlider_ = false;
}

void GraphVarsView::showValue(double v) { value_->setText(QString::fromStdString(calc_.formatReal(v))); }

void GraphVarsView::setOwnRange(Calculator& calc, const PlotObject& plot, int viewWidth, YEqVarInfo& record)
{
    const int type = plot.plotType;
    switch (plot.varNum) {
    case kVarX:
        record.min = real(calc, 38);
        record.max = real(calc, 39);
        record.step = (record.max - record.min) / std::max(1, viewWidth);
        break;
    case kVarT:
        record.min = real(calc, 42);
        record.max = real(calc, 43);
        record.step = real(calc, 62);
        break;
    case kVarTheta:
        record.min = real(calc, 44);
        record.max = real(calc, 45);
        record.step = real(calc, 63);
        break;
    case kVarEta:
        record.min = real(calc, 59);
        record.max = real(calc, 57);
        record.step = 0.5;
        break;
    case kIndex:
        if (type == 6 || type == 7 || type == 10 || type == 11 || type == 13) {
            double samples = 0;
            if (calc.statGraphManager && plot.eqNum >= 0) {
                const auto info = calc.statGraphManager->statInfo();
                if (static_cast<std::size_t>(plot.eqNum) < info.size() && info[plot.eqNum])
                    samples = info[plot.eqNum]->n;
            }
            record.min = 0;
            record.max = std::max(0.0, samples - 1);
            record.step = 1;
        }
        break;
    case kBar:
        if (type == 9 && calc.statGraphManager && plot.eqNum >= 0) {
            const auto hold = calc.lockState();
            record.min = 0;
            record.max = std::max(0.0, calc.statGraphManager->numBars(plot.eqNum) - 1);
            record.step = 1;
        }
        break;
    default:
        if (plot.varNum >= 0) {
            record.min = 0;
            record.max = 100;
        }
        break;
    }
}

void GraphVarsView::showSlider(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= records_.size())
        return;
    YEqVarInfo& record = records_[index];
    if (sliderOpen_ && record.varNum == editVar_) {
        editVar_ = -1;
        sliderOpen_ = false;
        sliderRow_->hide();
        updateButtons();
        delegate_.showSlider(false, panelHeight());
        return;
    }
    if (index == 0 && hasOwn_ && calc_.graphMode() != kImplicitMode && plot_) {
        setOwnRange(calc_, *plot_, width(), record);
        record.value = trackValue_;
    }
    const QString label = thumbLabel(record.name);
    slider_->setThumb(thumbImage(label, false), thumbImage(label, true));
    setSliderFrom(record);
    showValue(record.value);
    sliderOpen_ = true;
    editVar_ = record.varNum;
    layoutRows();
    sliderRow_->show();
    updateButtons();
    delegate_.showSlider(true, panelHeight());
}

void GraphVarsView::hideSliderView()
{
    const bool wasOpen = sliderOpen_;
    sliderOpen_ = false;
    sliderRow_->hide();
    if (wasOpen)
        delegate_.showSlider(false, panelHeight());
}

void GraphVarsView::valueChanged(double position)
{
    const int i = openIndex();
    if (i < 0 || !plot_)
        return;
    YEqVarInfo& record = records_[i];
    record.value = sliderValue(record, position);
    if (ownVariable()) {
        trackValue_ = record.value;
        delegate_.trace(record.value, 4.0);
    } else {
        plot_->setVar(editVar_, record.min, record.max, record.value, record.step);
        delegate_.valueChanged();
    }
    showValue(record.value);
    updateButtons();
}

void GraphVarsView::startTracking()
{
    if (!ownVariable() || calc_.graphMode() == kImplicitMode)
        delegate_.startTrackingVar(editVar_);
}

void GraphVarsView::stopTracking()
{
    if (!ownVariable() || calc_.graphMode() == kImplicitMode)
        delegate_.stopTrackingVar();
}

void GraphVarsView::bumpValue(int n)
{
    if (openIndex() < 0)
        return;
    if (!ownVariable())
        delegate_.startTrackingVar(editVar_);
    bumpStep_ = n;
    adjustVarBy(n);
    repeatTimer_.start(500);
}

void GraphVarsView::bumper()
{
    adjustVarBy(bumpStep_);
    if (repeatTimer_.interval() > 200)
        repeatTimer_.start(50);
}

void GraphVarsView::stopBumping()
{
    if (!repeatTimer_.isActive())
        return;
    repeatTimer_.stop();
    if (!ownVariable())
        delegate_.stopTrackingVar();
}

void GraphVarsView::adjustVarBy(int n)
{
    const int i = openIndex();
    if (i < 0 || !plot_)
        return;
    YEqVarInfo& record = records_[i];
    const double viewWidth = std::max(1, width());
    double shown = 0;
    if (ownVariable()) {
        double increment = record.step * n;
        if (increment == 0)
            increment = (record.max - record.min) / (editVar_ == kVarX ? viewWidth : 100.0) * n;
        double to = trackValue_ + increment;
        // T and θ walk their steps from Tmin (θmin): from between two steps (a tap, a drag,
        // the range's end) a bump lands on the next step its way.
        if ((editVar_ == kVarT || editVar_ == kVarTheta) && record.step != 0) {
            const double k = (trackValue_ - record.min) / record.step, nearest = std::round(k);
            const double from = std::fabs(k - nearest) < 1e-9 ? nearest : (n > 0 ? std::floor(k) : std::ceil(k));
            to = record.min + (from + n) * record.step;
        }
        trackValue_ = clampTo(to, record);
        delegate_.trace(trackValue_, GraphView::kTraceStepPoints);
        shown = calc_.pTrackPoint.t;
        record.value = trackValue_;
    } else {
        double v = record.value;
        if (record.step == 0)
            v += (record.max - record.min) / viewWidth * n;
        else
            v = roundToStep(v, record.step) + n * record.step;
        record.value = clampTo(v, record);
        shown = record.value;
        plot_->setVar(editVar_, record.min, record.max, record.value, record.step);
        delegate_.valueChanged();
    }
    setSliderFrom(record);
    showValue(shown);
}

void GraphVarsView::editValue()
{
    const int i = openIndex();
    if (i < 0)
        return;
    delegate_.editVar(records_[i], hasOwn_ ? i - 1 : i);
}

void GraphVarsView::setTrackValue(double v)
{
    trackValue_ = v;
    updateButtons();
    if (sliderOpen_ && ownVariable()) {
        records_[0].value = v;
        setSliderFrom(records_[0]);
        showValue(v);
    }
}

void GraphVarsView::sync()
{
    if (plot_) {
        const std::size_t first = hasOwn_ ? 1 : 0;
        for (std::size_t k = 0; k < plot_->varInfoArray.size() && first + k < records_.size(); ++k)
            records_[first + k] = plot_->varInfoArray[k];
    }
    updateButtons();
    const int i = openIndex();
    if (!sliderOpen_ || i < 0)
        return;
    if (!ownVariable() || (i == 0 && calc_.graphMode() == kImplicitMode)) {
        setSliderFrom(records_[i]);
        trackValue_ = records_[i].value;
        showValue(records_[i].value);
    }
}

void GraphVarsView::layoutRows()
{
    const int w = width();
    sliderRow_->setGeometry(0, 0, w, kSliderRowHeight);
    minus_->setGeometry(0, 2, 36, kSliderRowHeight - 4);
    value_->setGeometry(w - 84, 2, 84, kSliderRowHeight - 4);
    plus_->setGeometry(w - 124, 2, 36, kSliderRowHeight - 4);
    slider_->setGeometry(40, 2, std::max(10, w - 168), kSliderRowHeight - 4);
    const int stripTop = sliderOpen_ ? kSliderRowHeight + 8 : 0;
    int x = 0;
    for (ImageButton* button : buttons_) {
        button->move(x, stripTop);
        x += button->width();
    }
}

int GraphVarsView::buttonWidth(const std::string& name)
{
    // A longer name ("width", "bar#") widens its tab rather than being shrunk or cut.
    const QFontMetricsF metrics(FontMap::shared().font("Helvetica-Bold", 14));
    const double title = metrics.horizontalAdvance(QString::fromStdString(name));
    return std::max(kButtonWidth, static_cast<int>(std::ceil(title)) + kTitleMargin);
}

void GraphVarsView::resizeEvent(QResizeEvent*) { layoutRows(); }

void GraphVarsView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(40, 40, 48, 220));
}

} // namespace orvenda
