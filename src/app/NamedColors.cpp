#include "app/NamedColors.h"

#include "drawing/AssetColors.h"

#include <QPalette>
#include <QWidget>

namespace orvenda {

QColor namedColor(std::string_view name) { return AssetColors::named(name); }

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
