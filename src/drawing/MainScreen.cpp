#include "drawing/MainScreen.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace orvenda {

namespace {
double chosen = 0;
} // namespace

double MainScreen::scale()
{
    if (chosen > 0)
        return chosen;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double ratio = screen ? screen->devicePixelRatio() : 1;
    return ratio > 0 && std::isfinite(ratio) ? ratio : 1;
}

void MainScreen::setScale(double scale) { chosen = scale > 0 && std::isfinite(scale) ? scale : 0; }

} // namespace orvenda
