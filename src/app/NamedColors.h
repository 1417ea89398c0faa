#pragma once

#include <QColor>

#include <string_view>

namespace orvenda {

// The application's named colours, following the light or dark appearance: "fontColor"
// (entry and answer text, tint), "bannerColor" (title cells), "yellowHilightColor" (the
// cursor's cell). Unknown names are black.
QColor namedColor(std::string_view name);

} // namespace orvenda
