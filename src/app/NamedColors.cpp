#include "app/NamedColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace orvenda {

QColor namedColor(std::string_view name)
{
    const bool dark = QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5;
    if (name == "fontColor")
        return dark ? QColor(235, 235, 235) : QColor(Qt::black);
    if (name == "bannerColor")
        return dark ? QColor(30, 60, 110) : QColor(40, 80, 150);
    if (name == "yellowHilightColor")
        return dark ? QColor(200, 180, 40) : QColor(255, 230, 90);
    return Qt::black;
}

} // namespace orvenda
