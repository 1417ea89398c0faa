// The picture behind the graph: read upright from a file, scaled to cover the device's
// graph area keeping its proportions, framed at the origin at scale 1; a file that is no
// picture changes nothing.
#include "drawing/BackgroundPicture.h"

#include "core/Calculator.h"

#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace orvenda {
namespace {

// Left half red, right half blue.
QImage halves(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, format);
    image.fill(Qt::blue);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    return image;
}

TEST(BackgroundPicture, CoversTheGraphAreaKeepingItsProportions)
{
    Calculator calc;
    calc.device = 0;
    ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, halves(400, 300)));
    const QImage* stored = BackgroundPicture::image(calc);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->size(), QSize(757, 568)) << "568 / 300 is the larger factor: nothing is cropped";
    EXPECT_EQ(calc.backgroundFrame.x, 0);
    EXPECT_EQ(calc.backgroundFrame.y, 0);
    EXPECT_EQ(calc.backgroundFrame.width, 757);
    EXPECT_EQ(calc.backgroundFrame.height, 568);
    EXPECT_EQ(calc.backgroundScale, 1.0);
    EXPECT_FALSE(stored->hasAlphaChannel());
    EXPECT_EQ(stored->pixel(100, 300), qRgb(255, 0, 0));
    EXPECT_EQ(stored->pixel(700, 300), qRgb(0, 0, 255));

    calc.device = 1;
    calc.backgroundScale = 2;
    ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, halves(100, 400, QImage::Format_ARGB32)));
    EXPECT_EQ(BackgroundPicture::image(calc)->size(), QSize(768, 3072));
    EXPECT_TRUE(BackgroundPicture::image(calc)->hasAlphaChannel()) << "a picture with alpha keeps it";
    EXPECT_EQ(calc.backgroundScale, 1.0);
    // A picture of the target's own size is kept as it is.
    ASSERT_TRUE(BackgroundPicture::saveBackgroundImage(calc, halves(768, 1024)));
    EXPECT_EQ(BackgroundPicture::image(calc)->size(), QSize(768, 1024));
    EXPECT_EQ(BackgroundPicture::image(calc)->pixel(383, 0), qRgb(255, 0, 0));
    EXPECT_EQ(BackgroundPicture::image(calc)->pixel(384, 0), qRgb(0, 0, 255));
}

TEST(BackgroundPicture, APhotoIsTurnedUprightByItsOrientation)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("turned.jpg"));
    QImageWriter writer(file, "jpeg");
    // Stored as taken, with an orientation saying it is to be shown turned a quarter right.
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(halves(200, 100))) << writer.errorString().toStdString();
    const auto picture = BackgroundPicture::read(file);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->size(), QSize(100, 200));
    const QColor top = picture->pixelColor(50, 30), bottom = picture->pixelColor(50, 170);
    EXPECT_GT(top.red(), 200);
    EXPECT_LT(top.blue(), 60);
    EXPECT_GT(bottom.blue(), 200);
    EXPECT_LT(bottom.red(), 60);
}

TEST(BackgroundPicture, AFileThatIsNoPictureChangesNothing)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("notes.png"));
    QFile text(file);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture\n");
    text.close();
    EXPECT_FALSE(BackgroundPicture::read(file));
    EXPECT_FALSE(BackgroundPicture::read(folder.filePath(QStringLiteral("missing.png"))));

    Calculator calc;
    EXPECT_FALSE(BackgroundPicture::saveBackgroundImage(calc, QImage()));
    EXPECT_EQ(BackgroundPicture::image(calc), nullptr);
    EXPECT_EQ(calc.backgroundScale, 0);
}

} // namespace
} // namespace orvenda
