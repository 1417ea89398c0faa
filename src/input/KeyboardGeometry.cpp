#include "input/KeyboardGeometry.h"

namespace orvenda {

KeyboardGeometry::KeyboardGeometry(QSizeF size, bool tablet, bool tallPhone)
    : size_(size), tablet_(tablet), tall_(!tablet && tallPhone)
{
    sx_ = size.width() / (tablet_ ? 480.0 : 320.0);
    sy_ = size.height() / (tablet_ ? 525.0 : tall_ ? 418.0 : 350.0);
}

QRectF KeyboardGeometry::keyFrame(int n) const
{
    double x = 0, y = 0, w = 0, h = 0;
    const double arrowY = (tall_ ? 54 : 38) * sy_;
    switch (n) {
    case 8:
    case 14:
        x = (n == 8 ? 191 : 284) * sx_;
        y = arrowY;
        w = 34 * sx_;
        h = 64 * sy_;
        break;
    case 9:
    case 13:
        x = 223 * sx_;
        y = (n == 9 ? (tall_ ? 45 : 35) : (tall_ ? 92 : 70)) * sy_;
        w = 64 * sx_;
        h = 34 * sy_;
        break;
    default:
        x = 64 * sx_ * (n % 5) + 1;
        y = (tall_ ? 41 : 35) * sy_ * (n / 5) + (tall_ && n >= 5 ? 5 * sy_ : 0);
        w = 62 * sx_;
        h = (tall_ ? 40 : 34) * sy_;
        break;
    }
    const double s = k();
    return {s * x, s * y, s * w, s * h};
}

QRectF KeyboardGeometry::alphaKeyboardFrame() const
{
    const double s = k();
    return {0, s * (tall_ ? 169 : 105) * sy_, s * 320 * sx_, s * 245 * sy_};
}

} // namespace orvenda
