#pragma once

#include "core/VQColor.h"
#include "input/VQColorPallet.h"
#include "input/VQColorWheel.h"

#include <QWidget>

#include <array>
#include <functional>

namespace orvenda {

class SegmentedControl;
class VQColorSlider;

// The colour picker its hosts embed: a colour edited in one of four ways, red, green and
// blue sliders with the hue wheel, one gray slider, hue, saturation and brightness sliders
// with the wheel, or the palette of the 48 standard colours. It edits its own copy of the
// colour and reports every change at once to its delegate. Main thread.
class VQColorPicker : public QWidget, private VQColorWheel::Delegate, private VQColorPallet::Delegate {
public:
    enum Mode : int { RGB = 0, Gray = 1, HSB = 2, Palette = 3 };

    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void changeColor(const VQColor& color) = 0;
    };

    explicit VQColorPicker(QWidget* parent = nullptr);
    ~VQColorPicker() override;

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    // Plays the key click when a palette touch ends.
    void setKeyClick(std::function<void()> click);

    // A copy of the colour to edit; the controls follow.
    void initColor(const VQColor& color);
    const VQColor& color() const { return m_color_; }
    void setMode(int mode);
    int mode() const { return mode_; }
    // The mode control's pick: gray first turns the colour into the gray of its value.
    void selectMode(int mode);
    // Slider tag 0, 1 or 2 moved to value (0..255).
    void setColor(int tag, int value);
    // From the wheel and the palette: red, green and blue, keeping the alpha.
    void selectColor(const VQColor& color) override;
    void finalizeColor(VQColorWheel&) override {}

    // The controls, as the user sees them.
    VQColorSlider& slider(int tag) const { return *sliders_.at(static_cast<std::size_t>(tag)); }
    VQColorWheel& wheel() const { return *colorWheel_; }
    VQColorPallet& pallet() const { return *colorPallet_; }
    SegmentedControl& modeControl() const { return *modeSegControl_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateControls();
    void report();
    void layoutControls();

    VQColor m_color_ = VQColor::colorR(0.5, 0.5, 0.5, 1);
    int mode_ = RGB;
    Delegate* delegate_ = nullptr;
    SegmentedControl* modeSegControl_;
    std::array<VQColorSlider*, 3> sliders_{};
    VQColorWheel* colorWheel_;
    VQColorPallet* colorPallet_;
};

} // namespace orvenda
