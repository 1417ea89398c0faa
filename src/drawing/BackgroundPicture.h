#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <optional>

namespace orvenda {

class Calculator;

// The user's picture behind the graph: read from a picture file, scaled to cover the graph
// area centred (what falls outside is cut off) and kept as the calculator's background
// image. A picture file is foreign input: only a regular file of a raster format is read,
// within bounds on its bytes and on its decoded pixels. Main thread.
class BackgroundPicture {
public:
    // The most a picture file may hold, and the most pixels it may decode to.
    static constexpr qint64 kMaxFileBytes = qint64(64) << 20;
    static constexpr qint64 kMaxPixels = qint64(1) << 25;
    // The most memory a picture's decoding may take: the image reader's own bound on the
    // image it makes (so a 16-bit picture reaches it at half the pixels), here also holding
    // what a JPEG decoded in several passes keeps of the whole image.
    static constexpr qint64 kMaxDecodeBytes = 4 * kMaxPixels;
    // The longest side of a graph area a picture is made for.
    static constexpr int kMaxSide = 4096;
    // The most scans a JPEG may be decoded in: ten times what cameras and editors write.
    static constexpr int kMaxJpegScans = 100;

    // Why a picture file was refused: too large to decode within the bounds (its size,
    // upright, and the largest of its proportions and kind that can be), or else not read.
    struct Refusal {
        bool tooLarge = false;
        QSize size;
        QSize largest;
    };

    // The graph view's size as it last told the calculator (its screen width and height).
    static QSize graphSize(const Calculator& calc);
    // Where a picture goes in a graph of that size: covering it, centred. When the device
    // turns, the frame also covers the graph turned (that size; empty when it does not
    // turn), still centred on the graph as it is now.
    static QRect coverFrame(QSize graph, QSize turned = {});
    // The picture of a regular file of a raster format, turned upright by its orientation;
    // nothing when the file is not such a picture or is beyond the bounds, judged before it
    // is decoded (why, when given, tells which). A picture much larger than it needs to be to
    // cover `cover` is decoded smaller where its format can.
    static std::optional<QImage> read(const QString& file, QSize cover = {}, Refusal* why = nullptr);
    // The same for the bytes of a file.
    static std::optional<QImage> decode(const QByteArray& bytes, QSize cover = {}, Refusal* why = nullptr);
    // The picture scaled to cover `size` keeping its proportions, cut to `size` about its
    // centre; null when it cannot be made.
    static QImage cover(const QImage& picture, QSize size);
    // Covers the frame with the picture and stores it as the background image in that
    // frame, at scale 1. Without a frame the picture covers the graph, graphSize(). A null
    // picture, an empty frame or one longer than kMaxSide changes nothing and answers false.
    static bool saveBackgroundImage(Calculator& calc, const QImage& picture);
    static bool saveBackgroundImage(Calculator& calc, const QImage& picture, QRect frame);
    // The calculator's background image, or null.
    static const QImage* image(const Calculator& calc);
};

} // namespace orvenda
