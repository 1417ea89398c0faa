#pragma once

#include <QColor>

class QWidget;

#include <string_view>

namespace orvenda {

// The application's named colours, following the light or dark appearance: "fontColor"
// (entry and answer text, tint), "bannerColor" (title cells), "yellowHilightColor" (the
// cursor's cell), "barColor" (the bars over menus and lists), "docBackgroundColor" (the
// list editor's stripes), "statPickerBackColor" (the stat plot set-up's picker). Unknown
// names are black.
QColor namedColor(std::string_view name);

// Fills a bar of tabs and buttons with "barColor" and writes on it in "fontColor", so its
// titles read whatever lies behind it.
void paintAsBar(QWidget* bar);

} // namespace orvenda
