#pragma once

#include <QRectF>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

namespace orvenda {

class Calculator;
class KeyButton;
class KeyLegendView;

// The keypad as a help page: a picture of the 50 keys with their 2nd and alpha legends.
// Touching 2nd or ALPHA chooses that layer (touching it again goes back to the plain one);
// touching any other key clears both shifts and hands its code from the guide's key table
// to showOp. Nothing reaches the calculator. Main thread.
class GuideKeyboardView : public QWidget {
public:
    static constexpr int kKeyCount = 50;
    static constexpr std::uint32_t kSecond = 1039;
    static constexpr std::uint32_t kAlpha = 1040;
    // X,T,θ,n, whose face follows the graph mode.
    static constexpr int kXKey = 11;

    // The guide's code of a key (row × 5 + column) in a layer (0 plain, 1 2nd, 2 alpha).
    static std::uint32_t code(int layer, int key);
    // The face a key is drawn with (X,T,θ,n's in function mode).
    static QString face(int key);

    GuideKeyboardView(Calculator& calc, bool tablet, QWidget* parent = nullptr);

    // A key touched.
    void keyDown(int key);
    bool secondShift() const { return secondShift_; }
    bool alphaShift() const { return alphaShift_; }
    // The layer a touch reads now.
    int layer() const { return secondShift_ ? 1 : alphaShift_ ? 2 : 0; }

    KeyButton& button(int key) const { return *buttons_[static_cast<std::size_t>(key)]; }
    // The keypad's area in the view.
    const QRectF& keypad() const { return keypad_; }

    std::function<void(std::uint32_t code, QRectF keyFrame)> showOp;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void layoutButtons();
    void showGraphMode();
    void showShifts();

    Calculator& calc_;
    bool tablet_;
    bool secondShift_ = false;
    bool alphaShift_ = false;
    int graphMode_ = -1;
    QRectF keypad_;
    std::array<KeyButton*, kKeyCount> buttons_{};
    KeyLegendView* legends_;
    KeyLegendView* secondGlow_;
    KeyLegendView* alphaGlow_;
};

} // namespace orvenda
