#include "graphui/GraphSheetLayout.h"

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

// The keypad's keys lie on a grid of 320 by 180 points, 6 points of margin under it.
constexpr int kGridWidth = 320, kGridHeight = 180, kKeypadMargin = 6;

} // namespace

int GraphSheetLayout::keypadHeight(int width) const
{
    return width * kGridHeight / kGridWidth + kKeypadMargin + (tablet_ ? kTabletExtra : 0);
}

int GraphSheetLayout::keypadWidth(int height) const
{
    return std::max(0, (height - kKeypadMargin - (tablet_ ? kTabletExtra : 0)) * kGridWidth / kGridHeight);
}

GraphSheetLayout::GraphSheetLayout(QSize view, bool tablet, int formHeight) : tablet_(tablet)
{
    const int w = std::max(0, view.width()), h = std::max(0, view.height());
    const int room = std::max(0, h - kBarHeight);
    const int rows = std::max(1, formHeight);
    // The form's height at its full size: what its rows take, at least kFormHeight.
    const int full = std::max(kFormHeight, rows);
    const int besideWidth = tablet ? kTabletKeypadWidth : kPhoneKeypadWidth;
    beside = w > h && w - besideWidth >= kMinFormWidth;
    if (beside) {
        const int kw = std::min(besideWidth, keypadWidth(room));
        const int kh = std::min(room, keypadHeight(kw));
        formScale = std::clamp(static_cast<double>(room) / rows, kMinFormScale, 1.0);
        const int fh = std::min(room, std::max(kh, full));
        height = kBarHeight + fh;
        form = QRect(0, kBarHeight, w - kw, fh);
        keypad = QRect(w - kw, kBarHeight, kw, kh);
    } else {
        int kw = w, kh = keypadHeight(w);
        // The rows shorten first, then the keypad narrows, then the form scrolls.
        formScale = std::clamp(static_cast<double>(room - kh) / rows, kMinFormScale, 1.0);
        int fh = std::min(full, std::max(room - kh, static_cast<int>(std::ceil(rows * formScale))));
        if (fh + kh > room) {
            kw = std::min(w, std::max(kMinKeypadWidth, keypadWidth(room - fh)));
            kh = keypadHeight(kw);
        }
        if (kh > room) {
            kw = std::min(kw, keypadWidth(room));
            kh = std::min(room, keypadHeight(kw));
        }
        fh = std::max(0, std::min(fh, room - kh));
        height = kBarHeight + fh + kh;
        form = QRect(0, kBarHeight, w, fh);
        keypad = QRect((w - kw) / 2, kBarHeight + fh, kw, kh);
    }
    height = std::min(height, h);
    done = QRect(w - 70, 2, 66, kBarHeight - 4);
    choice = QRect(4, 2, 120, kBarHeight - 4);
}

} // namespace orvenda
