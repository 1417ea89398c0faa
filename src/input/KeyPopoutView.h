#pragma once

#include <QRectF>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace orvenda {

// The balloon over a held alpha key: the key's own code first, then its alternatives, one
// cell each, with the cell under the finger selected. Its frame and the key rectangle are
// in the alpha keyboard's coordinates; the balloon itself lies in the keyboard, so it may
// rise above the alpha keyboard.
class KeyPopoutView : public QWidget {
public:
    explicit KeyPopoutView(QWidget* parent);

    // k is 1.5 on a tablet, else 1.
    void open(std::vector<std::uint32_t> codes, QRectF keyRect, QRectF frame, bool drawLeft, double k, double sx,
              double sy, QPointF origin);
    // The finger at a point in the alpha keyboard's coordinates: selects the cell under it,
    // or −1 left of the first cell or right of the last.
    void trackPt(QPointF point);

    const std::vector<std::uint32_t>& keyCodes() const { return codes_; }
    int selectedKey() const { return selected_; }
    void setSelectedKey(int cell);
    std::uint32_t selectedCode() const;
    bool drawLeft() const { return drawLeft_; }
    QRectF balloonFrame() const { return frame_; }
    // What the balloon draws: nothing for space, ENTER and the case key.
    bool drawsBalloon() const;
    QRectF cellRect(int cell) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::uint32_t> codes_;
    QRectF keyRect_;
    QRectF frame_;
    bool drawLeft_ = true;
    int selected_ = -1;
    double k_ = 1, sx_ = 1, sy_ = 1;
};

} // namespace orvenda
