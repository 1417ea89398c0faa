#include "app/NamedColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace orvenda {

QColor namedColor(std::string_view name)
{
    const bool dark = QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5;
    if (name == "fontColor")
        return dark ? QColor(235, 235, 235) : QColor(Qt::black);
    return Qt::black;
}

} // namespace orvenda
