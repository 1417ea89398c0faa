// DRAW ▸ STO ▸ "Photo…" through orvenda-drive: the picture the photo library answers is
// drawn behind the graph, covering the device's graph area; a file that is no picture
// gives an error and leaves the picture there as it was. Phone and tablet.

#include "DriveSession.h"

#include <QImage>

#include <fstream>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using nlohmann::json;

// DRAW, its STO tab, the third row.
const std::string kPhotoRow = "key 2ND\nkey PRGM\nhkey Right\nhkey Right\nhkey 3\nwait idle\n";

const QRgb kTop = qRgb(250, 250, 0), kBottom = qRgb(250, 0, 250);

// How many pixels of a square of the picture are the colour.
int countOf(const QImage& image, QPoint corner, int side, QRgb colour)
{
    int n = 0;
    for (int y = corner.y(); y < corner.y() + side; ++y)
        for (int x = corner.x(); x < corner.x() + side; ++x)
            n += image.valid(x, y) && image.pixel(x, y) == colour;
    return n;
}

class PhotoDrive : public ::testing::TestWithParam<const char*> {};

TEST_P(PhotoDrive, TheChosenPictureIsDrawnBehindTheGraph)
{
    const std::string options = GetParam();
    const bool tablet = options.find("tablet") != std::string::npos;
    // Upper half one colour, lower half another, at half a phone's graph area.
    QImage picture(160, 284, QImage::Format_RGB32);
    picture.fill(kBottom);
    for (int y = 0; y < 142; ++y)
        for (int x = 0; x < 160; ++x)
            picture.setPixel(x, y, kTop);
    const auto file = driveScratch("photo.png"), shot = driveScratch("photo-graph.png");
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));

    // The graph shown once before, as a student comes to DRAW from it.
    const DriveRun run = driveScript("key GRAPH\nwait idle\npress Done\nwait idle\ndump\nphoto " + file.string() + "\n" + kPhotoRow + "dump\nkey GRAPH\nwait idle\ndump\nshot "
                                         + shot.string() + "\n",
                                     options);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
    EXPECT_FALSE(run.dumps[0].contains("background"));
    const json background = run.dumps[1].value("background", json());
    ASSERT_TRUE(background.is_object()) << run.dumps[1].dump();
    // Scaled to cover 320 x 568 (phone) or 768 x 1024 (tablet), keeping 160 : 284.
    const int width = tablet ? 768 : 320, height = tablet ? 1363 : 568;
    EXPECT_EQ(background["width"], width);
    EXPECT_EQ(background["height"], height);
    EXPECT_EQ(background["frame"], json::array({0, 0, width, height}));
    EXPECT_EQ(background["scale"], 1);
    EXPECT_EQ(run.dumps[1]["error"], 0);
    EXPECT_EQ(run.dumps[1]["top"], run.dumps[0]["top"]) << "the menu closed";

    const json& graph = run.dumps[2]["graph"];
    ASSERT_TRUE(graph.is_array()) << run.dumps[2].dump();
    const QImage shown(QString::fromStdString(shot.string()));
    ASSERT_FALSE(shown.isNull());
    const int left = graph[0], top = graph[1], graphHeight = graph[3];
    // Grid dots and axes cross the picture: most of a square shows it.
    EXPECT_GT(countOf(shown, {left + 10, top + 10}, 20, kTop), 300) << "the upper half at the graph's top left";
    const int half = height / 2;
    if (graphHeight > half + 40) {
        EXPECT_GT(countOf(shown, {left + 10, top + half + 10}, 20, kBottom), 300) << "the lower half below it";
    }
}

TEST_P(PhotoDrive, AFileThatIsNoPictureGivesAnErrorAndChangesNothing)
{
    const std::string options = GetParam();
    QImage picture(320, 568, QImage::Format_RGB32);
    picture.fill(kTop);
    const auto good = driveScratch("good.png"), bad = driveScratch("bad.png");
    ASSERT_TRUE(picture.save(QString::fromStdString(good.string())));
    std::ofstream(bad) << "not a picture\n";

    const DriveRun run = driveScript("photo " + bad.string() + "\n" + kPhotoRow + "dump\nkey ENTER\nphoto " + good.string() + "\n"
                                         + kPhotoRow + "photo " + bad.string() + "\n" + kPhotoRow + "dump\nkey ENTER\nphoto\n"
                                         + kPhotoRow + "dump\n",
                                     options);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
    EXPECT_EQ(run.dumps[0]["error"], 74) << "File cannot be read";
    EXPECT_FALSE(run.dumps[0].contains("background"));
    EXPECT_EQ(run.dumps[1]["error"], 74);
    const json kept = run.dumps[1].value("background", json());
    ASSERT_TRUE(kept.is_object()) << "the picture before stays";
    EXPECT_EQ(kept["scale"], 1);
    // A cancelled pick keeps it too.
    EXPECT_EQ(run.dumps[2].value("background", json()), kept);
}

INSTANTIATE_TEST_SUITE_P(Devices, PhotoDrive, ::testing::Values("--device phone", "--device tablet"),
    [](const auto& info) { return std::string(info.index == 0 ? "phone" : "tablet"); });

} // namespace
} // namespace orvenda::test
