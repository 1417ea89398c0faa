#include "drawing/BackgroundPicture.h"

#include "core/Calculator.h"
#include "language/VariableSlots.h"
#include "platform/BoundedFile.h"
#include "platform/PhotoLibrary.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

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

// What a JPEG's headers tell of its decoding, read as the decoder reads them (it passes over
// what lies between segments and a length too short to count, goes on from a scan's header
// cut off by the file's end, and ends a scan's data at the next marker other than a restart).
struct JpegHeaders {
    // The frame's sides and each component's horizontal and vertical sampling factors.
    qint64 width = 0, height = 0;
    std::vector<std::pair<int, int>> sampling;
    // Read in several passes (a progressive file, or one whose first scan lacks a component):
    // the decoder keeps the coefficients of every block of the whole image, whatever smaller
    // size it is asked for.
    bool severalPasses = false;
    // The scans, counted up to one past the most read.
    int scans = 0;
};

// Nothing for a file the decoder refuses before its scans.
std::optional<JpegHeaders> jpegHeaders(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return std::nullopt;
    JpegHeaders headers;
    qsizetype frame = -1;
    bool progressive = false;
    for (qsizetype at = 2; at + 2 <= size && headers.scans <= BackgroundPicture::kMaxJpegScans;) {
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
            break;
        if (marker == 0xDA && ++headers.scans == 1) {
            const int components = data[frame + 5];
            headers.severalPasses = progressive || body >= size || data[body] < components;
            headers.height = data[frame + 1] << 8 | data[frame + 2];
            headers.width = data[frame + 3] << 8 | data[frame + 4];
            for (int k = 0; k < components; ++k) {
                const unsigned char factors = data[frame + 7 + 3 * k];
                headers.sampling.emplace_back(factors >> 4, factors & 15);
            }
        }
        if (body > size)
            break;
        const qsizetype length = std::max((data[at + 2] << 8 | data[at + 3]) - 2, 0);
        const bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isFrame && frame < 0) {
            if (body + 6 > size || body + 6 + 3 * data[body + 5] > size)
                break;
            frame = body;
            progressive = (marker & 3) == 2;
        }
        at = body + length;
        if (marker != 0xDA)
            continue;
        // The scan's data, up to the marker that ends it.
        while (at + 1 < size) {
            const void* mark = std::memchr(data + at, 0xFF, std::size_t(size - at - 1));
            if (!mark) {
                at = size;
                break;
            }
            at = static_cast<const unsigned char*>(mark) - data;
            const unsigned char next = data[at + 1];
            if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7))
                break;
            ++at;
        }
    }
    if (headers.scans == 0)
        return std::nullopt;
    return headers;
}

// The coefficients a JPEG read in several passes keeps at that scale of its frame: 2 bytes
// for each of the 64 of every block of each component, its blocks rounded up to whole units
// of its sampling.
qint64 wholeImageBytes(const JpegHeaders& headers, double scale)
{
    if (!headers.severalPasses)
        return 0;
    int maxH = 1, maxV = 1;
    for (const auto& [h, v] : headers.sampling) {
        maxH = std::max(maxH, h);
        maxV = std::max(maxV, v);
    }
    const auto blocks = [](qint64 samples, int factor, int most) {
        const qint64 n = (samples * factor + 8 * most - 1) / (8 * most);
        return factor > 0 ? (n + factor - 1) / factor * factor : 0;
    };
    const qint64 width = std::max<qint64>(1, qint64(headers.width * scale));
    const qint64 height = std::max<qint64>(1, qint64(headers.height * scale));
    qint64 total = 0;
    for (const auto& [h, v] : headers.sampling)
        total += blocks(width, h, maxH) * blocks(height, v, maxV);
    return total * 64 * 2;
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

std::optional<QImage> BackgroundPicture::read(const QString& file, QSize cover, Refusal* why)
{
    if (why)
        *why = {};
    // Only a regular file, and never more than the bound: a FIFO or a device is not read.
    QByteArray bytes;
    if (BoundedFile::read(file, kMaxFileBytes, bytes) != BoundedFile::Result::Read)
        return std::nullopt;
    return decode(bytes, cover, why);
}

std::optional<QImage> BackgroundPicture::decode(const QByteArray& bytes, QSize cover, Refusal* why)
{
    if (why)
        *why = {};
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
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const bool jpeg = reader.format() == "jpeg";
    const std::optional<JpegHeaders> headers = jpeg ? jpegHeaders(bytes) : std::nullopt;
    // Each scan walks every block of the picture again: a small file of many empty ones took
    // minutes.
    if (headers && headers->scans > kMaxJpegScans)
        return std::nullopt;
    // Decoded no larger than the bound, and where the format can shrink as it decodes, no
    // larger than twice what covering needs (for a smooth scaling after).
    const bool shrinks = reader.supportsOption(QImageIOHandler::ScaledSize);
    const auto decodedSize = [&](QSize picture) {
        double shrink = std::min(1.0, std::sqrt(double(kMaxPixels) / (double(picture.width()) * picture.height())));
        if (!cover.isEmpty())
            shrink = std::min(shrink, 2 * coverScale(turned ? picture.transposed() : picture, cover));
        if (shrink >= 1 || !shrinks)
            return picture;
        return QSize(std::max(1, int(picture.width() * shrink)), std::max(1, int(picture.height() * shrink)));
    };
    // The memory decoding takes, for the picture at a scale. A JPEG's decoder makes the image
    // at the size asked for, shrinking it by an eighth at most, and keeps besides what a file
    // read in several passes needs: a few hundred bytes may claim 30000 x 30000 and take
    // gigabytes however small it is decoded. Other formats make the whole image first (a
    // 16-bit one takes twice a plain one's bytes), whatever size is asked for.
    const int bytesPerPixel = std::max(4, QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel() / 8);
    const auto memory = [&](double scale) {
        const QSize picture(std::max(1, int(size.width() * scale)), std::max(1, int(size.height() * scale)));
        if (!jpeg)
            return qint64(picture.width()) * picture.height() * bytesPerPixel;
        const QSize output = decodedSize(picture).expandedTo({(picture.width() + 7) / 8, (picture.height() + 7) / 8});
        return (headers ? wholeImageBytes(*headers, scale) : 0) + 4 * qint64(output.width()) * output.height();
    };
    if (memory(1) > kMaxDecodeBytes) {
        if (why) {
            // The largest of its proportions that fits, to a pixel or so.
            double fits = 0, tooLarge = 1;
            for (int halving = 0; halving < 30; ++halving) {
                const double middle = (fits + tooLarge) / 2;
                (memory(middle) <= kMaxDecodeBytes ? fits : tooLarge) = middle;
            }
            const QSize largest(int(size.width() * fits), int(size.height() * fits));
            *why = {true, turned ? size.transposed() : size, turned ? largest.transposed() : largest};
        }
        return std::nullopt;
    }
    if (const QSize decoded = decodedSize(size); decoded != size)
        reader.setScaledSize(decoded);
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
