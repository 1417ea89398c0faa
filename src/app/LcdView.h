#pragma once

#include "core/VColor.h"

#include <QImage>
#include <QWidget>

namespace orvenda {

class Calculator;

// The LCD-style background of the home and editor screens: a rounded panel in the
// user's display colour (colour 6 of the display colour set) with a top-to-bottom
// gradient, a rim and a shadow, veiled half black in a dark appearance. Drawn once into
// an image of the whole view at the screen's resolution and only copied afterwards,
// until the size, the colour (not its alpha) or the appearance changes.
class LcdView : public QWidget {
public:
    explicit LcdView(Calculator& calc, QWidget* parent = nullptr);

    // The cached background; null before the first paint.
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool darkAppearance() const;
    void rebuild(const VColor& colour, bool dark);

    Calculator& calc_;
    QImage image_;
    QSize madeFor_;
    VColor colour_;
    bool dark_ = false;
};

} // namespace orvenda
