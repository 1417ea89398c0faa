#pragma once

#include <QRectF>
#include <QSizeF>

namespace orvenda {

// Where the keys lie in a keyboard of a given size. The keyboard is designed for a phone
// space of 320 × 350 points (418 high on a tall phone) and a tablet space of 480 × 525, the
// phone design scaled by k = 1.5; the factors sx and sy stretch it to the actual size.
class KeyboardGeometry {
public:
    KeyboardGeometry(QSizeF size, bool tablet, bool tallPhone);

    double k() const { return tablet_ ? 1.5 : 1.0; }
    double sx() const { return sx_; }
    double sy() const { return sy_; }
    bool tablet() const { return tablet_; }
    bool tallPhone() const { return tall_; }
    QSizeF size() const { return size_; }

    // The frame of key n (0..49): the arrow cluster has frames of its own.
    QRectF keyFrame(int n) const;
    // The part of the keyboard the alpha keyboard covers.
    QRectF alphaKeyboardFrame() const;

private:
    QSizeF size_;
    bool tablet_;
    bool tall_;
    double sx_;
    double sy_;
};

} // namespace orvenda
