#pragma once

#include <QColor>

#include <string_view>

namespace orvenda {

// The application's asset colours, following the light or dark appearance: "fontColor"
// (entry and answer text, tint), "bannerColor" (title cells), "yellowHilightColor" (the
// cursor's cell), "barColor" (the bars over menus and lists), "docBackgroundColor" (behind documents). Unknown names are black.
class AssetColors {
public:
    static QColor named(std::string_view name);
    // The calculator's text colour: "fontColor" while the calculator honours the dark
    // appearance, else black.
    static QColor systemText();
};

} // namespace orvenda
