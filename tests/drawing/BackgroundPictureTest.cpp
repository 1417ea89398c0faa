// The picture behind the graph: read upright from a regular file of a raster format within
// bounds, scaled to cover the graph area centred and cut to it, framed there at scale 1; a
// file that is no such picture changes nothing, and none crashes or freezes the app.
#include "drawing/BackgroundPicture.h"

#include "PictureFiles.h"
#include "core/Calculator.h"
#include "language/VariableSlots.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <chrono>
#include <future>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvenda {
namespace {

using test::jpegClaiming;

const QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kGreen = qRgb(0, 255, 0);
// The phone's graph, and the tablet's standing and turned.
const QSize kPhone(390, 776), kTablet(768, 980), kTabletTurned(1024, 724);

// Left half red, right half blue.
QImage halves(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    image.fill(kBlue);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, kRed);
    return image;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// How many pixels of the image are not the colour.
int otherThan(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) != colour;
    return n;
}

// The read on a thread of its own, so that a read that never ends fails the test instead
// of stopping the run: after a generous wait the FIFOs are given a writer that goes at
// once, which lets a reader stuck in opening one go on.
std::optional<QImage> readWithin(const QString& file, const QStringList& fifos, bool& ended)
{
    auto reading = std::async(std::launch::async, [file] { return BackgroundPicture::read(file, kPhone); });
    ended = reading.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    while (reading.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
        for (const QString& fifo : fifos) {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    return reading.get();
}

TEST(BackgroundPicture, CoversTheGraphCentredAndCutsOffWhatFallsOutside)
{
    Calculator calc;
    ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, halves(400, 300), QRect(QPoint(), kPhone)));
    const QImage* stored = BackgroundPicture::image(calc);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->size(), kPhone) << "no larger than the graph";
    EXPECT_EQ(calc.backgroundFrame.x, 0);
    EXPECT_EQ(calc.backgroundFrame.y, 0);
    EXPECT_EQ(calc.backgroundFrame.width, 390);
    EXPECT_EQ(calc.backgroundFrame.height, 776);
    EXPECT_EQ(calc.backgroundScale, 1.0);
    EXPECT_FALSE(stored->hasAlphaChannel());
    // Scaled by 776 / 300 about its middle: the colours meet at the graph's centre.
    EXPECT_EQ(stored->pixel(5, 388), kRed);
    EXPECT_EQ(stored->pixel(190, 5), kRed);
    EXPECT_EQ(stored->pixel(200, 770), kBlue);
    EXPECT_EQ(stored->pixel(384, 388), kBlue);

    // A tablet's frame covers its graph standing and turned, centred on the graph as it is.
    const QRect standing = BackgroundPicture::coverFrame(kTablet, kTabletTurned);
    EXPECT_EQ(standing, QRect(-128, 0, 1024, 980));
    EXPECT_EQ(BackgroundPicture::coverFrame(kTabletTurned, kTablet), QRect(0, -128, 1024, 980));
    EXPECT_EQ(BackgroundPicture::coverFrame(kPhone), QRect(QPoint(), kPhone));
    calc.backgroundScale = 2;
    ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, halves(100, 400, QImage::Format_ARGB32), standing));
    EXPECT_EQ(BackgroundPicture::image(calc)->size(), QSize(1024, 980));
    EXPECT_EQ(calc.backgroundFrame.x, -128);
    EXPECT_EQ(calc.backgroundScale, 1.0);
    EXPECT_TRUE(BackgroundPicture::image(calc)->hasAlphaChannel()) << "a picture with alpha keeps it";
    // Scaled by 10.24 about its middle: the colours meet in the middle of the frame.
    EXPECT_EQ(BackgroundPicture::image(calc)->pixel(495, 490), kRed);
    EXPECT_EQ(BackgroundPicture::image(calc)->pixel(529, 490), kBlue);

    // A picture of the frame's own size is kept as it is.
    ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, halves(768, 980), QRect(QPoint(), kTablet)));
    EXPECT_EQ(BackgroundPicture::image(calc)->pixel(383, 0), kRed);
    EXPECT_EQ(BackgroundPicture::image(calc)->pixel(384, 0), kBlue);

    // Without a frame: the graph at the size the graph view last told, held to sensible sides.
    calc.setVar(kSlotScrWidth, {{300.0, 0.0}});
    calc.setVar(kSlotScrHeight, {{500.0, 0.0}});
    ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, halves(10, 10)));
    EXPECT_EQ(BackgroundPicture::image(calc)->size(), QSize(300, 500));
    calc.setVar(kSlotScrWidth, {{1e12, 0.0}});
    calc.setVar(kSlotScrHeight, {{-3.0, 0.0}});
    EXPECT_EQ(BackgroundPicture::graphSize(calc), QSize(BackgroundPicture::kMaxSide, 1));
}

// 118 bytes of PNG once took 3 GB and seconds to cover the graph, and a picture of 30000 x 1
// came out empty and was taken without a word.
TEST(BackgroundPicture, AVeryWideOrFlatPictureCoversTheGraphFromItsMiddle)
{
    QTemporaryDir folder;
    for (const QSize size : {QSize(5000, 2), QSize(30000, 1), QSize(1, 20000)}) {
        // Red, green in the middle.
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(kRed);
        const bool wide = size.width() > size.height();
        for (int i = -20; i <= 20; ++i)
            for (int across = 0; across < (wide ? size.height() : size.width()); ++across)
                picture.setPixel(wide ? size.width() / 2 + i : across, wide ? across : size.height() / 2 + i, kGreen);
        const QString file = folder.filePath(QStringLiteral("wide.png"));
        ASSERT_TRUE(picture.save(file));
        const auto read = BackgroundPicture::read(file, kPhone);
        ASSERT_TRUE(read);
        Calculator calc;
        ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, *read, QRect(QPoint(), kPhone))) << size.width();
        const QImage* stored = BackgroundPicture::image(calc);
        ASSERT_EQ(stored->size(), kPhone) << size.width();
        EXPECT_EQ(otherThan(*stored, kGreen), 0) << size.width();
    }
}

// An SVG's <image> is read by Qt's SVG reader, which follows the names in it: an SVG naming
// itself (or two naming each other) overflowed the stack, one naming a FIFO waited for a
// writer for ever, as did a FIFO named x.png. Only regular files of a raster format are
// read, from their bytes.
TEST(BackgroundPicture, AFileThatIsNoRasterPictureIsRefusedAtOnce)
{
    QTemporaryDir folder;
    const auto path = [&folder](const char* name) { return folder.filePath(QString::fromLatin1(name)); };
    const auto svgNaming = [](const QString& named) {
        return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                              "width=\"20\" height=\"20\"><image width=\"20\" height=\"20\" xlink:href=\"%1\"/></svg>")
            .arg(named)
            .toUtf8();
    };
    const QString pipe = path("x.png"), self = path("self.svg"), first = path("first.svg"), second = path("second.svg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    writeFile(self, svgNaming(self));
    writeFile(path("relative.svg"), svgNaming(QStringLiteral("relative.svg")));
    writeFile(first, svgNaming(second));
    writeFile(second, svgNaming(first));
    writeFile(path("pipe.svg"), svgNaming(pipe));
    writeFile(path("plain.svg"), svgNaming(QString()));
    writeFile(path("notes.png"), "not a picture\n");
    QImage green(20, 20, QImage::Format_RGB32);
    green.fill(kGreen);
    ASSERT_TRUE(green.save(path("green.png")));
    // A picture behind a link is read: the link's target is a regular file.
    ASSERT_TRUE(QFile::link(path("green.png"), path("linked.jpg")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero.png")));

    for (const char* name : {"self.svg", "relative.svg", "first.svg", "pipe.svg", "plain.svg", "x.png", "notes.png",
                             "zero.png", "missing.png", ""}) {
        bool ended = false;
        const auto picture = readWithin(path(name), {pipe}, ended);
        EXPECT_TRUE(ended) << name << " was still being read";
        EXPECT_FALSE(picture) << name;
    }
    bool ended = false;
    const auto linked = readWithin(path("linked.jpg"), {}, ended);
    ASSERT_TRUE(linked) << "a PNG is a PNG, whatever its name";
    EXPECT_EQ(linked->pixel(10, 10), kGreen);

    Calculator calc;
    EXPECT_FALSE(BackgroundPicture::saveBackgroundImage(calc, QImage(), QRect(QPoint(), kPhone)));
    EXPECT_FALSE(BackgroundPicture::saveBackgroundImage(calc, green, QRect(0, 0, 0, 10)));
    EXPECT_FALSE(BackgroundPicture::saveBackgroundImage(calc, green, QRect(0, 0, 10, BackgroundPicture::kMaxSide + 1)));
    EXPECT_EQ(BackgroundPicture::image(calc), nullptr);
    EXPECT_EQ(calc.backgroundScale, 0);
}

// What a picture decodes to is bounded before it is decoded: a format that can shrink as it
// decodes gives no more than twice what covering needs; one that cannot is refused above the
// bound on pixels.
TEST(BackgroundPicture, ALargePictureIsDecodedSmallerOrRefused)
{
    QByteArray bytes;
    QBuffer out(&bytes);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    QImage large(4000, 2000, QImage::Format_Grayscale8);
    large.fill(200);
    ASSERT_TRUE(large.save(&out, "jpeg"));
    const auto shrunk = BackgroundPicture::decode(bytes, QSize(100, 50));
    ASSERT_TRUE(shrunk);
    EXPECT_LE(shrunk->width(), 400);
    EXPECT_GE(shrunk->width(), 100);
    EXPECT_GE(shrunk->height(), 50);
    EXPECT_EQ(BackgroundPicture::decode(bytes)->size(), large.size()) << "nothing to cover: as it is";

    // 36 million pixels, a few kilobytes of PNG.
    bytes.clear();
    out.seek(0);
    QImage huge(6000, 6000, QImage::Format_Mono);
    huge.fill(0);
    ASSERT_TRUE(huge.save(&out, "png"));
    EXPECT_FALSE(BackgroundPicture::decode(bytes, kPhone));
    EXPECT_FALSE(BackgroundPicture::decode(bytes));
}

// A JPEG read in several passes keeps the coefficients of its whole image while it decodes,
// however small it is asked for: 521 bytes claiming 30000 x 30000 took 5 GB. Such a file is
// refused from its headers, read as the decoder reads them; the same claim read in one pass
// is decoded smaller, and 16-bit PNGs within the bound stay readable.
TEST(BackgroundPicture, AJpegThatWouldTakeTooMuchMemoryIsRefusedFromItsHeader)
{
    const auto jpeg = [](bool progressive, int side) { return jpegClaiming(progressive, QSize(side, side)); };
    for (const int side : {30000, 8000}) {
        EXPECT_FALSE(BackgroundPicture::decode(jpeg(true, side), kPhone)) << side;
        EXPECT_FALSE(BackgroundPicture::decode(jpeg(true, side))) << side;
    }
    // A segment whose length is too short to count, which the decoder passes over.
    EXPECT_FALSE(BackgroundPicture::decode(jpeg(true, 8000).insert(2, QByteArray("\xFF\xE0\x00\x00", 4)), kPhone));
    const auto small = BackgroundPicture::decode(jpegClaiming(true), kPhone);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->size(), QSize(16, 16));
    const auto oneGo = BackgroundPicture::decode(jpeg(false, 8000), kPhone);
    ASSERT_TRUE(oneGo);
    EXPECT_LE(oneGo->width(), 2 * kPhone.height());

    QByteArray bytes;
    QBuffer out(&bytes);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_TRUE(halves(1200, 800).convertToFormat(QImage::Format_RGBX64).save(&out, "png"));
    for (const QSize cover : {QSize(), kPhone}) {
        const auto deep = BackgroundPicture::decode(bytes, cover);
        ASSERT_TRUE(deep);
        EXPECT_EQ(deep->pixel(deep->width() / 4, 0), kRed);
        EXPECT_EQ(deep->pixel(deep->width() * 3 / 4, 0), kBlue);
    }
}

// A progressive JPEG followed by many empty scans is small, but each scan walks every block
// again (4000 x 4000 in 20 000 scans froze the window 11 s): more scans than any camera or
// editor writes are refused before decoding, whatever size the picture claims.
TEST(BackgroundPicture, AJpegOfMoreScansThanAnyWriterMakesIsRefused)
{
    for (const QSize claimed : {QSize(), QSize(4000, 4000)}) {
        const QByteArray jpeg = jpegClaiming(true, claimed);
        // Its last scan's header again and again, each with no data, before the file's end.
        const qsizetype last = jpeg.lastIndexOf("\xFF\xDA");
        const QByteArray emptyScan = jpeg.mid(last, 2 + (uchar(jpeg[last + 2]) << 8 | uchar(jpeg[last + 3])));
        const int scans = int(jpeg.count(QByteArrayView("\xFF\xDA")));
        const auto withScans = [&](int total) {
            return QByteArray(jpeg).insert(jpeg.size() - 2, emptyScan.repeated(total - scans));
        };
        BackgroundPicture::Refusal why;
        if (claimed.isEmpty()) {
            EXPECT_TRUE(BackgroundPicture::decode(withScans(BackgroundPicture::kMaxJpegScans), kPhone));
        }
        EXPECT_FALSE(BackgroundPicture::decode(withScans(BackgroundPicture::kMaxJpegScans + 1), kPhone, &why));
        EXPECT_FALSE(why.tooLarge) << "refused as a file that cannot be read";
        EXPECT_FALSE(BackgroundPicture::decode(withScans(20000), kPhone));
    }
}

// A picture too large to decode says so, with the largest of its proportions and kind that
// can be read: a progressive photo of 8000 x 6000, a 16-bit PNG above 16 million pixels.
TEST(BackgroundPicture, APictureTooLargeToDecodeSaysWhatSizeCanBeRead)
{
    BackgroundPicture::Refusal why;
    EXPECT_FALSE(BackgroundPicture::decode(jpegClaiming(true, {8000, 6000}), kPhone, &why));
    EXPECT_TRUE(why.tooLarge);
    EXPECT_EQ(why.size, QSize(8000, 6000));
    const auto megapixels = [](QSize size) { return double(size.width()) * size.height() / 1e6; };
    EXPECT_GT(megapixels(why.largest), 40) << why.largest.width();
    EXPECT_LT(megapixels(why.largest), 48) << why.largest.width();
    EXPECT_NEAR(why.largest.width() * 3, why.largest.height() * 4, 4);

    // A 16-bit PNG of 16 x 16 whose header claims 4200 x 4000 pixels (its checksum mended).
    QByteArray png;
    QBuffer out(&png);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    ASSERT_TRUE(halves(16, 16).convertToFormat(QImage::Format_RGBX64).save(&out, "png"));
    const auto claim = [&png](QSize size) {
        QByteArray claimed = png;
        quint32 crc = 0xFFFFFFFF;
        for (int at = 12; at < 29; ++at) {
            if (at >= 16 && at < 24)
                claimed[at] = char((at < 20 ? size.width() : size.height()) >> (24 - 8 * (at % 4)));
            crc ^= uchar(claimed[at]);
            for (int bit = 0; bit < 8; ++bit)
                crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
        }
        for (int k = 0; k < 4; ++k)
            claimed[29 + k] = char(~crc >> (24 - 8 * k));
        return claimed;
    };
    EXPECT_FALSE(BackgroundPicture::decode(claim({4200, 4000}), kPhone, &why));
    EXPECT_TRUE(why.tooLarge);
    EXPECT_EQ(why.size, QSize(4200, 4000));
    EXPECT_GT(megapixels(why.largest), 16.5) << why.largest.width();
    EXPECT_LE(megapixels(why.largest), 16.78) << why.largest.width();
    EXPECT_TRUE(BackgroundPicture::decode(claim({16, 16}), kPhone, &why)) << "its own size, read";
    EXPECT_FALSE(why.tooLarge);
}

TEST(BackgroundPicture, APhotoIsTurnedUprightByItsOrientation)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("turned.jpg"));
    QImageWriter writer(file, "jpeg");
    // Stored as taken, with an orientation saying it is to be shown turned a quarter right.
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(halves(200, 100))) << writer.errorString().toStdString();
    for (const QSize cover : {QSize(), QSize(20, 40)}) {
        const auto picture = BackgroundPicture::read(file, cover);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->width() * 2, picture->height()) << "upright";
        const QColor top = picture->pixelColor(picture->width() / 2, picture->height() / 6);
        const QColor bottom = picture->pixelColor(picture->width() / 2, picture->height() * 5 / 6);
        EXPECT_GT(top.red(), 200);
        EXPECT_LT(top.blue(), 60);
        EXPECT_GT(bottom.blue(), 200);
        EXPECT_LT(bottom.red(), 60);
    }
}

} // namespace
} // namespace orvenda
