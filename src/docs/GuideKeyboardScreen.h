#pragma once

#include "app/ScreenController.h"

#include <QRectF>

#include <cstdint>
#include <functional>

namespace orvenda {

class FunctionHelpScreen;
class GuideKeyboardView;

// The help menu's keyboard guide: the keypad picture, and the help screen of the key
// touched on it, over the picture on a phone and as a panel beside the key on a tablet.
// Escape closes the help screen, then the guide. Main thread.
class GuideKeyboardScreen : public ScreenController {
public:
    GuideKeyboardScreen(Calculator& calc, bool tablet, QWidget* parent = nullptr);

    // The help screen of a code, opened from a key's frame.
    void showOp(std::uint32_t code, QRectF keyFrame);
    GuideKeyboardView& keyboardView() const { return *keyboard_; }
    // The help screen, nullptr until a key asked for it.
    FunctionHelpScreen* functionHelp() const { return help_; }
    bool helpShown() const;
    void hideHelp();

    std::function<void()> closed;
    // Without the help screen's own bar, where a bar around the guide names the page and
    // leads back (the phone's help menu); helpChanged then tells it when a page opens or
    // closes.
    void setHelpBarShown(bool shown) { helpBar_ = shown; }
    std::function<void()> helpChanged;
    // Readies the help screen when it is made (its share, its messages).
    std::function<void(FunctionHelpScreen& help)> prepareHelp;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect helpRect(QRectF keyFrame) const;

    bool tablet_;
    GuideKeyboardView* keyboard_;
    FunctionHelpScreen* help_ = nullptr;
    QRectF lastKey_;
    bool helpBar_ = true;
};

} // namespace orvenda
