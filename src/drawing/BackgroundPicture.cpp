#include "drawing/BackgroundPicture.h"

#include "core/Calculator.h"
#include "language/VariableSlots.h"
#include "platform/BoundedFile.h"
#include "platform/PhotoLibrary.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace orvenda {

namespace {

// The factor that makes a picture of that size cover the area, keeping its proportions.
double coverScale(QSize picture, QSize area)
{
    return std::max(double(area.width()) / picture.width(), double(area.height()) / picture.height());
}

bool withinSides(QSize size)
{
    return !size.isEmpty() && size.width() <= BackgroundPicture::kMaxSide && size.height() <= BackgroundPicture::kMaxSide;
}

// What the JPEG decoder keeps while it decodes a file read in several passes (a progressive
// one, or one whose first scan lacks a component): the coefficients of every block of the
// whole image, 2 bytes each, whatever smaller size it is asked for. Judged from the headers
// before the first scan, read as the decoder reads them (it passes over what lies between
// segments and a length too short to count, and goes on from a scan's header cut off by the
// file's end); 0 for a file decoded in one pass or one the decoder refuses before its scans.
qint64 jpegWholeImageBytes(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return 0;
    qsizetype frame = -1;
    bool progressive = false;
    for (qsizetype at = 2; at + 2 <= size;) {
        const unsigned char marker = data[at + 1];
        if (data[at] != 0xFF || marker == 0xFF) {
            ++at;
            continue;
        }
        // Markers without a segment.
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += 2;
            continue;
        }
        const qsizetype body = at + 4;
        if (marker == 0xD9 || (marker == 0xDA && frame < 0))
            return 0;
        if (marker == 0xDA) {
            const int components = data[frame + 5];
            if (!progressive && body < size && data[body] >= components)
                return 0;
            const qint64 height = data[frame + 1] << 8 | data[frame + 2];
            const qint64 width = data[frame + 3] << 8 | data[frame + 4];
            // Each component's horizontal and vertical sampling factors.
            const auto sampling = [&](int k) {
                const unsigned char factors = data[frame + 7 + 3 * k];
                return std::pair(factors >> 4, factors & 15);
            };
            int maxH = 1, maxV = 1;
            for (int k = 0; k < components; ++k) {
                maxH = std::max(maxH, sampling(k).first);
                maxV = std::max(maxV, sampling(k).second);
            }
            // Each component's blocks, rounded up to whole units of its sampling.
            const auto blocks = [](qint64 samples, int factor, int most) {
                const qint64 n = (samples * factor + 8 * most - 1) / (8 * most);
                return factor > 0 ? (n + factor - 1) / factor * factor : 0;
            };
            qint64 total = 0;
            for (int k = 0; k < components; ++k)
                total += blocks(width, sampling(k).first, maxH) * blocks(height, sampling(k).second, maxV);
            return total * 64 * 2;
        }
        if (body > size)
            return 0;
        const qsizetype length = std::max((data[at + 2] << 8 | data[at + 3]) - 2, 0);
        const bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isFrame && frame < 0) {
            if (body + 6 > size || body + 6 + 3 * data[body + 5] > size)
                return 0;
            frame = body;
            progressive = (marker & 3) == 2;
        }
        at = body + length;
    }
    return 0;
}

} // namespace

QSize BackgroundPicture::graphSize(const Calculator& calc)
{
    // Restored from the state file like every variable: held to sensible sides.
    const auto side = [&calc](int slot) {
        const double v = calc.getVar(slot).value.real();
        return v >= 1 ? int(std::min<double>(v, kMaxSide)) : 1;
    };
    return {side(kSlotScrWidth), side(kSlotScrHeight)};
}

QRect BackgroundPicture::coverFrame(QSize graph, QSize turned)
{
    const QSize both = graph.expandedTo(turned.isValid() ? turned : graph).boundedTo({kMaxSide, kMaxSide});
    return {QPoint((graph.width() - both.width()) / 2, (graph.height() - both.height()) / 2), both};
}

std::optional<QImage> BackgroundPicture::read(const QString& file, QSize cover)
{
    // Only a regular file, and never more than the bound: a FIFO or a device is not read.
    QByteArray bytes;
    if (BoundedFile::read(file, kMaxFileBytes, bytes) != BoundedFile::Result::Read)
        return std::nullopt;
    return decode(bytes, cover);
}

std::optional<QImage> BackgroundPicture::decode(const QByteArray& bytes, QSize cover)
{
    // Read from memory, so that no file name reaches a reader; the format is the one the
    // bytes show, whatever the file's name says.
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!PhotoLibrary::isPictureFormat(reader.format()))
        return std::nullopt;
    // A camera's picture is stored as taken, with its orientation beside it.
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isEmpty())
        return std::nullopt;
    // Decoded no larger than the bound, and where the format can shrink as it decodes, no
    // larger than twice what covering needs (for a smooth scaling after).
    const double pixels = double(size.width()) * size.height();
    double shrink = std::min(1.0, std::sqrt(double(kMaxPixels) / pixels));
    if (!cover.isEmpty()) {
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        shrink = std::min(shrink, 2 * coverScale(turned ? size.transposed() : size, cover));
    }
    QSize decoded = size;
    if (shrink < 1 && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        decoded = QSize(std::max(1, int(size.width() * shrink)), std::max(1, int(size.height() * shrink)));
        reader.setScaledSize(decoded);
    } else if (pixels > double(kMaxPixels)) {
        return std::nullopt;
    }
    // A few hundred bytes of JPEG may claim 30000 x 30000 and, read in several passes, take
    // gigabytes however small it is decoded. Its decoder shrinks by an eighth at most.
    if (reader.format() == "jpeg") {
        const QSize output = decoded.expandedTo({(size.width() + 7) / 8, (size.height() + 7) / 8});
        if (jpegWholeImageBytes(bytes) + 4 * qint64(output.width()) * output.height() > kMaxDecodeBytes)
            return std::nullopt;
    }
    QImage picture = reader.read();
    if (picture.isNull())
        return std::nullopt;
    return picture;
}

QImage BackgroundPicture::cover(const QImage& picture, QSize size)
{
    if (picture.isNull() || size.isEmpty())
        return {};
    // Only the part that comes inside the area is scaled: a picture of 5000 x 2 covers a
    // graph from a sliver of its middle, never at a width of millions.
    const double k = coverScale(picture.size(), size);
    const int width = std::clamp(int(std::lround(size.width() / k)), 1, picture.width());
    const int height = std::clamp(int(std::lround(size.height() / k)), 1, picture.height());
    QImage part = picture;
    if (width != picture.width() || height != picture.height())
        part = picture.copy((picture.width() - width) / 2, (picture.height() - height) / 2, width, height);
    if (part.size() != size)
        part = part.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (part.size() != size)
        return {};
    // A picture without alpha stays without it.
    return part.convertToFormat(part.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

bool BackgroundPicture::saveBackgroundImage(Calculator& calc, const QImage& picture)
{
    return saveBackgroundImage(calc, picture, QRect(QPoint(), graphSize(calc)));
}

bool BackgroundPicture::saveBackgroundImage(Calculator& calc, const QImage& picture, QRect frame)
{
    if (!withinSides(frame.size()))
        return false;
    QImage covered = cover(picture, frame.size());
    if (covered.isNull())
        return false;
    calc.backgroundImage = std::make_shared<QImage>(std::move(covered));
    calc.backgroundFrame = {double(frame.x()), double(frame.y()), double(frame.width()), double(frame.height())};
    calc.backgroundScale = 1.0;
    return true;
}

const QImage* BackgroundPicture::image(const Calculator& calc)
{
    return static_cast<const QImage*>(calc.backgroundImage.get());
}

} // namespace orvenda
