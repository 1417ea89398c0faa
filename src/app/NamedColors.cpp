#include "app/NamedColors.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

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
    if (name == "barColor")
        return dark ? QColor(40, 40, 40) : QColor(247, 247, 247);
    return Qt::black;
}

void paintAsBar(QWidget* bar)
{
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, namedColor("barColor"));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, namedColor("fontColor"));
    bar->setPalette(palette);
    bar->setAutoFillBackground(true);
}

} // namespace orvenda
