#include "drawing/BackgroundPicture.h"

#include "core/Calculator.h"

#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <memory>

namespace orvenda {

QSize BackgroundPicture::targetSize(const Calculator& calc)
{
    return calc.device == 1 ? QSize(768, 1024) : QSize(320, 568);
}

std::optional<QImage> BackgroundPicture::read(const QString& file)
{
    QImageReader reader(file);
    // A camera's picture is stored as taken, with its orientation beside it.
    reader.setAutoTransform(true);
    QImage picture = reader.read();
    if (picture.isNull())
        return std::nullopt;
    return picture;
}

bool BackgroundPicture::saveBackgroundImage(Calculator& calc, const QImage& picture)
{
    if (picture.isNull())
        return false;
    const QSize target = targetSize(calc);
    QImage scaled = picture;
    if (picture.size() != target) {
        const double k = std::max(double(target.width()) / picture.width(), double(target.height()) / picture.height());
        const QSize size(std::max(1L, std::lround(picture.width() * k)), std::max(1L, std::lround(picture.height() * k)));
        scaled = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // A picture without alpha stays without it.
    scaled = scaled.convertToFormat(scaled.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    calc.backgroundImage = std::make_shared<QImage>(std::move(scaled));
    const QImage& stored = *std::static_pointer_cast<QImage>(calc.backgroundImage);
    calc.backgroundFrame = {0, 0, double(stored.width()), double(stored.height())};
    calc.backgroundScale = 1.0;
    return true;
}

const QImage* BackgroundPicture::image(const Calculator& calc)
{
    return static_cast<const QImage*>(calc.backgroundImage.get());
}

} // namespace orvenda
