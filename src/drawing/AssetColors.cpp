#include "drawing/AssetColors.h"

#include "core/Calculator.h"

#include <QGuiApplication>
#include <QPalette>

namespace orvenda {

QColor AssetColors::named(std::string_view name)
{
    const bool dark = QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5;
    if (name == "fontColor")
        return dark ? QColor(235, 235, 235) : QColor(Qt::black);
    if (name == "bannerColor")
        return dark ? QColor(30, 60, 110) : QColor(40, 80, 150);
    if (name == "yellowHilightColor")
        return dark ? QColor(200, 180, 40) : QColor(255, 230, 90);
    if (name == "docBackgroundColor")
        return dark ? QColor(28, 28, 30) : QColor(Qt::white);
    if (name == "statPickerBackColor")
        return dark ? QColor(196, 200, 208) : QColor(232, 235, 241);
    if (name == "barColor")
        return dark ? QColor(40, 40, 40) : QColor(247, 247, 247);
    return Qt::black;
}

QColor AssetColors::systemText()
{
    return Calculator::calculator().honorDarkMode ? named("fontColor") : QColor(Qt::black);
}

} // namespace orvenda
