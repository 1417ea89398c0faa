#pragma once

#include <QImage>
#include <QString>

#include <optional>

namespace orvenda {

class Calculator;

// The user's picture behind the graph: read from a picture file, scaled to cover the
// graph area of the device and kept as the calculator's background image. Main thread.
class BackgroundPicture {
public:
    // The graph area the picture covers: 768 x 1024 on a tablet, 320 x 568 on a phone.
    static QSize targetSize(const Calculator& calc);
    // The picture of a file, turned upright by its orientation; nothing when the file is
    // not a readable picture.
    static std::optional<QImage> read(const QString& file);
    // Scales the picture to cover the target keeping its proportions (nothing is cropped),
    // stores it as the background image, framed at the origin at its own size, at scale 1.
    // A null picture changes nothing and answers false.
    static bool saveBackgroundImage(Calculator& calc, const QImage& picture);
    // The calculator's background image, or null.
    static const QImage* image(const Calculator& calc);
};

} // namespace orvenda
