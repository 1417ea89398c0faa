#pragma once

#include "app/ScreenController.h"
#include "core/Calculator.h"
#include "core/VQColor.h"

#include <QImage>

#include <array>
#include <memory>

class QPushButton;
class QToolButton;

namespace orvenda {

class AppShell;
class SegmentedControl;

// The graph FORMAT screen: six on/off switches for what the graph draws, the coordinate
// read-out format, the sequence graph format (sequence mode only), the split screen and
// the background, grid and axes colours. Every control writes its setting at once; the
// graph reads them the next time it draws. Main thread.
class FormatScreen : public ScreenController {
public:
    // Switch tags and the setting each toggles (any other tag: the grid).
    enum Switch : int { Grid = 0, Axes = 1, Label = 2, Expr = 3, Coord = 4, DyDx = 5 };
    // Which colour the picker is changing.
    enum ColorItem : int { GridColor = 0, AxesColor = 1, BackgroundColor = 2 };
    static constexpr int kPickerKind = 3;

    // Opens a colour picker on start; the picked colour comes back through
    // getter.changeColor().
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void pickColor(const VQColor& start, FormatScreen& getter, int pickerKind) = 0;
    };

    FormatScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    // Not owned.
    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    // Owned.
    void setDelegate(std::unique_ptr<Delegate> delegate)
    {
        ownDelegate_ = std::move(delegate);
        delegate_ = ownDelegate_.get();
    }
    // The background, grid and axes buttons.
    const QPushButton& colorButton(ColorItem item) const
    {
        return *colorButtons_[item == BackgroundColor ? 0 : item == GridColor ? 1 : 2];
    }

    void flipSwitch(int tag);
    void coord(int segment);
    void sequence(int segment);
    void splitScreen(int segment);
    void chooseColor();
    void chooseGridColor();
    void chooseAxisColor();
    void changeColor(const VQColor& color);
    int colorItem() const { return colorItem_; }

    void updateDisplay() override;
    void focus(bool gained) override;

    // The controls, as the user sees them.
    const QToolButton& switchButton(Switch which) const { return *switches_[which]; }
    const SegmentedControl& coordSelector() const { return *coordSelector_; }
    const SegmentedControl& sequenceSelector() const { return *sequenceSelector_; }
    bool sequenceShown() const;
    const SegmentedControl& screenSplitSelector() const { return *screenSplitSelector_; }

private:
    static bool Calculator::Settings::*setting(int tag);
    void showButton(QToolButton& button, bool on);
    void click();
    void pick(ColorItem item, const VQColor& start);

    AppShell& shell_;
    QImage onImage_;
    QImage offImage_;
    std::array<QToolButton*, 6> switches_{};
    SegmentedControl* coordSelector_ = nullptr;
    SegmentedControl* sequenceSelector_ = nullptr;
    QWidget* sequenceRow_ = nullptr;
    SegmentedControl* screenSplitSelector_ = nullptr;
    // Background, grid, axes.
    std::array<QPushButton*, 3> colorButtons_{};
    int colorItem_ = GridColor;
    Delegate* delegate_ = nullptr;
    std::unique_ptr<Delegate> ownDelegate_;
};

} // namespace orvenda
