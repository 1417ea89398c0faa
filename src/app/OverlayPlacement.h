#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace orvenda {

// Where an overlay (a sheet, panel, bar, picker, popover or prompt laid over a screen)
// stands: the code that opens it places it through place(), and the same code places it
// again whenever the window's size changes while it shows, and when the screen under it
// shows again (laid out anew after a change made while it was away). It is a child of the overlay, so the
// window finds every overlay it holds. Main thread.
class OverlayPlacement : public QObject {
    Q_OBJECT

public:
    // Gives the overlay its placement (replacing one it had) and returns it.
    static OverlayPlacement& attach(QWidget& overlay, std::function<void()> place);
    // The overlay's placement, nullptr when it has none.
    static OverlayPlacement* of(const QWidget& overlay);

    QWidget& overlay() const;
    void place() const;
    // Places every overlay that shows under the window again, in front of its screen,
    // outer ones before the overlays they hold (a picker over a sheet follows the sheet).
    static void placeAll(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OverlayPlacement(QWidget& overlay, std::function<void()> place);

    std::function<void()> place_;
};

} // namespace orvenda
