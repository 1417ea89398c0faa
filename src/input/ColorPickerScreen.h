#pragma once

#include "app/ScreenController.h"
#include "input/VQColorPicker.h"

#include <functional>

class QLabel;
class QPushButton;

namespace orvenda {

// The colour picker overlay other screens open for one colour (the graph's background,
// grid and axes): a bar with the colour's name and Done over the picker, which hands every
// change to the receiver at once. Done, QUIT and Escape close it. Main thread.
class ColorPickerScreen : public ScreenController, private VQColorPicker::Delegate {
public:
    using Receiver = std::function<void(const VQColor& color)>;

    ColorPickerScreen(Calculator& calc, QWidget* parent = nullptr);

    // Each opening: the colour, who takes the changes, the picker's mode and the bar's title.
    void configureColor(const VQColor& color, Receiver receiver, int mode, const QString& title = {});
    // Closes the overlay (the current screen comes back).
    void done();
    QWidget* leaveControl() const override;
    std::function<void()> colorPickerViewDone;
    // Plays the key click when a palette touch ends.
    void setKeyClick(std::function<void()> click) { picker_->setKeyClick(std::move(click)); }

    VQColorPicker& picker() const { return *picker_; }
    QString title() const;
    const QPushButton& doneButton() const { return *doneButton_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void changeColor(const VQColor& color) override;

    QWidget* navBar_;
    QLabel* title_;
    QPushButton* doneButton_;
    VQColorPicker* picker_;
    Receiver receiver_;
};

} // namespace orvenda
