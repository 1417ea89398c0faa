#include "input/VQColorPicker.h"

#include "input/SegmentedControl.h"
#include "input/VQColorSlider.h"

#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kMargin = 12;
constexpr int kModeHeight = 30;
constexpr int kSliderHeight = 34;
// The least height of the wheel over its sliders.
constexpr int kLeastWheel = 96;

int channel(double x) { return static_cast<int>(std::lround(x * 255)); }

} // namespace

VQColorPicker::VQColorPicker(QWidget* parent)
    : QWidget(parent),
      modeSegControl_(new SegmentedControl(
          {QStringLiteral("RGB"), QStringLiteral("Gray"), QStringLiteral("HSB"), QStringLiteral("Palette")}, this)),
      colorWheel_(new VQColorWheel(this)), colorPallet_(new VQColorPallet(this))
{
    setObjectName(QStringLiteral("colorPicker"));
    modeSegControl_->changed = [this](int i) { selectMode(i); };
    for (std::size_t tag = 0; tag < sliders_.size(); ++tag) {
        sliders_[tag] = new VQColorSlider(this);
        connect(sliders_[tag], &QSlider::valueChanged, this,
            [this, tag](int value) { setColor(static_cast<int>(tag), value); });
    }
    colorWheel_->setDelegate(this);
    colorPallet_->setDelegate(this);
    updateControls();
}

VQColorPicker::~VQColorPicker() = default;

void VQColorPicker::setKeyClick(std::function<void()> click) { colorPallet_->keyClick = std::move(click); }

void VQColorPicker::initColor(const VQColor& color)
{
    m_color_ = color;
    updateControls();
}

void VQColorPicker::setMode(int mode)
{
    mode_ = mode;
    updateControls();
}

void VQColorPicker::report()
{
    if (delegate_)
        delegate_->changeColor(m_color_);
}

void VQColorPicker::selectMode(int mode)
{
    if (mode < RGB || mode > Palette)
        return;
    mode_ = mode;
    if (mode == Gray) {
        m_color_.setGray(m_color_.v(), m_color_.a());
        report();
    }
    updateControls();
}

void VQColorPicker::setColor(int tag, int value)
{
    const double x = value / 255.0;
    switch (mode_) {
    case RGB:
        tag == 0 ? m_color_.setR(x) : tag == 1 ? m_color_.setG(x) : m_color_.setB(x);
        break;
    case Gray:
        if (tag == 0)
            m_color_.setGray(x, m_color_.a());
        break;
    case HSB:
        tag == 0 ? m_color_.setH(x) : tag == 1 ? m_color_.setS(x) : m_color_.setV(x);
        break;
    default:
        return;
    }
    updateControls();
    report();
}

void VQColorPicker::selectColor(const VQColor& color)
{
    m_color_.setR(color.r(), color.g(), color.b(), m_color_.a());
    updateControls();
    report();
}

void VQColorPicker::updateControls()
{
    const VQColor& c = m_color_;
    colorPallet_->hide();
    colorWheel_->hide();
    static const std::array<QString, 3> kRGB{QStringLiteral("r"), QStringLiteral("g"), QStringLiteral("b")};
    static const std::array<QString, 3> kHSB{QStringLiteral("H"), QStringLiteral("S"), QStringLiteral("B")};
    const bool sliders = mode_ != Palette;
    for (std::size_t tag = 0; tag < sliders_.size(); ++tag) {
        VQColorSlider& s = *sliders_[tag];
        s.setVisible(sliders && (mode_ != Gray || tag == 0));
        s.setThumbLabel(mode_ == RGB ? kRGB[tag] : mode_ == HSB ? kHSB[tag] : mode_ == Gray ? QStringLiteral("%") : QString());
    }
    const auto setValues = [this](double a, double b, double c3) {
        const double values[] = {a, b, c3};
        for (std::size_t tag = 0; tag < sliders_.size(); ++tag) {
            const QSignalBlocker quiet(sliders_[tag]);
            sliders_[tag]->setValue(channel(values[tag]));
        }
    };
    switch (mode_) {
    case RGB:
        setValues(c.r(), c.g(), c.b());
        sliders_[0]->gradientLeft(VQColor::colorR(0, c.g(), c.b(), 1), VQColor::colorR(1, c.g(), c.b(), 1));
        sliders_[1]->gradientLeft(VQColor::colorR(c.r(), 0, c.b(), 1), VQColor::colorR(c.r(), 1, c.b(), 1));
        sliders_[2]->gradientLeft(VQColor::colorR(c.r(), c.g(), 0, 1), VQColor::colorR(c.r(), c.g(), 1, 1));
        colorWheel_->setColor(c);
        colorWheel_->show();
        break;
    case Gray:
        setValues(c.r(), c.g(), c.b());
        sliders_[0]->gradientLeft(VQColor::gray(0, 1), VQColor::gray(1, 1));
        break;
    case HSB:
        setValues(c.h(), c.s(), c.v());
        sliders_[0]->showHSV(c);
        sliders_[1]->gradientLeft(VQColor::colorH(c.h(), 0, c.v(), 1), VQColor::colorH(c.h(), 1, c.v(), 1));
        sliders_[2]->gradientLeft(VQColor::colorH(c.h(), c.s(), 0, 1), VQColor::colorH(c.h(), c.s(), 1, 1));
        colorWheel_->setColor(c);
        colorWheel_->show();
        break;
    default:
        colorPallet_->show();
        break;
    }
    modeSegControl_->setSelected(mode_);
}

void VQColorPicker::resizeEvent(QResizeEvent*) { layoutControls(); }

void VQColorPicker::layoutControls()
{
    const int w = width() - 2 * kMargin;
    modeSegControl_->setGeometry(kMargin, 6, w, kModeHeight);
    const int top = 6 + kModeHeight + 6;
    int slidersTop = height() - 3 * kSliderHeight - 4;
    if (slidersTop - top >= kLeastWheel) {
        for (int tag = 0; tag < 3; ++tag)
            sliders_[static_cast<std::size_t>(tag)]->setGeometry(kMargin, slidersTop + tag * kSliderHeight, w, kSliderHeight);
        colorWheel_->setGeometry(kMargin, top, w, slidersTop - top);
    } else {
        // Too short for the sliders under the wheel (the least window): they stand beside
        // it, the wheel a square as tall as the room under the mode row.
        const int side = std::clamp(height() - top - 6, 0, w / 2);
        slidersTop = std::max(top, top + (side - 3 * kSliderHeight) / 2);
        for (int tag = 0; tag < 3; ++tag)
            sliders_[static_cast<std::size_t>(tag)]->setGeometry(kMargin + side + 6, slidersTop + tag * kSliderHeight,
                                                                 std::max(0, w - side - 6), kSliderHeight);
        colorWheel_->setGeometry(kMargin, top, side, side);
    }
    colorPallet_->setGeometry(kMargin, top, w, std::max(0, height() - top - 6));
}

} // namespace orvenda
