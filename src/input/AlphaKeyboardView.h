#pragma once

#include "input/KeyPopoutView.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace orvenda {

class AlphaKeySheet;
class Calculator;


// The typewriter keyboard that covers the middle of the calculator keyboard while the alpha
// shift is on: 43 keys for letters, digits and punctuation in upper and lower case, and a
// case key. A tap types the key's code at once (flashing a one-cell balloon); a press held
// for 0.25 s opens a balloon of alternatives (accents, Greek, subscripts, related signs)
// and types the one under the finger when it is lifted. A gesture that starts between keys
// types nothing. Typed codes go to the keyboard through `onKey`; the case key toggles the
// calculator's lower-case lock. Main thread.
class AlphaKeyboardView : public QWidget {
public:
    static constexpr int kLongPressMs = 250;
    static constexpr int kTapBalloonMs = 100;

    // The balloon lies in balloonParent (the keyboard), which holds this view.
    AlphaKeyboardView(Calculator& calc, QWidget* balloonParent);
    ~AlphaKeyboardView() override;

    void setOnKey(std::function<void(std::uint32_t)> onKey) { onKey_ = std::move(onKey); }
    // The key click of an opening balloon.
    void setOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }
    // k is 1.5 on a tablet, else 1; sx and sy the keyboard's scale factors.
    void layoutWithScale(double k, double sx, double sy);

    const std::array<QRectF, 43>& keyRects() const { return keyRects_; }
    // The first key whose rectangle holds the point; −1 between keys.
    int keyAt(QPointF point) const;
    int trackKey() const { return trackKey_; }
    const KeyPopoutView& balloon() const { return *balloon_; }
    bool lowercase() const;
    // Shows the legend sheet of the calculator's case (the lock may change elsewhere).
    void refreshCase();

    // The gestures, at points in this view's coordinates.
    void singleTap(QPointF point);
    void longTapBegan(QPointF point);
    void pan(QPointF point);
    void longTapEnded();
    void hidePop();
    // An accessible key button pressed: types its code as a tap does, without a balloon.
    void touchedButton(int key);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showPopoutKey(int key, bool showAll);
    void type(std::uint32_t code);
    void updateAccessibleButtons();

    Calculator& calc_;
    std::function<void(std::uint32_t)> onKey_;
    std::function<void()> onClick_;
    std::array<QRectF, 43> keyRects_{};
    AlphaKeySheet* capKeys_;
    AlphaKeySheet* lowerKeys_;
    // A child of the keyboard, which may delete it first.
    QPointer<KeyPopoutView> balloon_;
    std::vector<QWidget*> accessibleButtons_;
    int trackKey_ = -1;
    double k_ = 1, sx_ = 1, sy_ = 1;
    QTimer longPress_;
    QTimer popTimer_;
    QPointF pressPoint_;
    bool pressed_ = false;
    bool longPressing_ = false;
};

} // namespace orvenda
