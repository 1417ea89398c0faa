#pragma once

#include <QRect>
#include <QSize>

namespace orvenda {

// Where the parts of the keyboard sheet over the graph stand, from the size of the view it
// slides over, the device and the height its form wants: the bar with the kind list and
// Done, the form and the keypad, all inside the view at every size. Wider than tall, with
// room left for the form, the keypad stands at the right under the bar at a phone's or a
// tablet's width (narrower where the view is too short for it); otherwise it stands under the
// form across the sheet. Where the view is too short for both at their full size the form's
// rows get shorter (to three quarters), then the keypad narrows, keeping its shape, centred
// (to a floor), then the form scrolls what it cannot show.
class GraphSheetLayout {
public:
    static constexpr int kBarHeight = 34;
    // The least height a form is given, at its full size.
    static constexpr int kFormHeight = 128;
    // On a tablet the sheet reaches 30 points higher; the keypad takes the room.
    static constexpr int kTabletExtra = 30;
    // The keypad beside the form: a tablet's larger one, else the narrowest phone's.
    static constexpr int kTabletKeypadWidth = 400, kPhoneKeypadWidth = 320;
    // Beside the keypad the form keeps at least this width, else the keypad goes under it.
    static constexpr int kMinFormWidth = 240;
    // The keypad narrows no further (its keys 48 points wide).
    static constexpr int kMinKeypadWidth = 240;
    static constexpr double kMinFormScale = 0.75;

    // formHeight: what the form's title and rows take at their full size.
    GraphSheetLayout(QSize view, bool tablet, int formHeight);

    // A keypad's height at that width, and the widest keypad of that height.
    int keypadHeight(int width) const;
    int keypadWidth(int height) const;

    bool beside = false;
    // The sheet's height; it stands on the view's bottom edge, as wide as the view.
    int height = 0;
    // The form's scale (its rows' height and its text).
    double formScale = 1;
    // In the sheet.
    QRect choice, done, form, keypad;

private:
    bool tablet_;
};

} // namespace orvenda
