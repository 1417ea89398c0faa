#include "graphui/FormatColorLink.h"

#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"
#include "input/ColorPickerScreen.h"

#include <QPointer>

namespace orvenda {

void FormatColorLink::pickColor(const VQColor& start, FormatScreen& getter, int pickerKind)
{
    router_.showOverlay(screens::ColorPicker);
    auto* picker = dynamic_cast<ColorPickerScreen*>(router_.controller(screens::ColorPicker));
    if (!picker)
        return;
    const int item = getter.colorItem();
    const QString title = item == FormatScreen::GridColor ? QStringLiteral("Grid")
        : item == FormatScreen::AxesColor               ? QStringLiteral("Axes")
                                                        : QStringLiteral("Background");
    picker->configureColor(start,
        [screen = QPointer<FormatScreen>(&getter)](const VQColor& color) {
            if (screen)
                screen->changeColor(color);
        },
        pickerKind, title);
}

} // namespace orvenda
