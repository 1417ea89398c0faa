#pragma once

#include "graphui/FormatScreen.h"

namespace orvenda {

class ScreenRouter;

// Opens the colour picker overlay for the FORMAT screen's background, grid and axes
// buttons; every change goes straight back to the screen. Main thread.
class FormatColorLink : public FormatScreen::Delegate {
public:
    explicit FormatColorLink(ScreenRouter& router) : router_(router) {}

    void pickColor(const VQColor& start, FormatScreen& getter, int pickerKind) override;

private:
    ScreenRouter& router_;
};

} // namespace orvenda
