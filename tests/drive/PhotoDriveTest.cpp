// DRAW ▸ STO ▸ "Photo…" through orvenda-drive: the picture the photo library answers is
// drawn behind the graph, covering the graph area centred (a tablet's in both directions);
// a file that is no picture gives an error and leaves the picture there as it was, and no
// picture file crashes or freezes the app. Phone, tablet standing and tablet turned.

#include "DriveSession.h"

#include <QImage>

#include <fstream>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace orvenda::test {
namespace {

using nlohmann::json;

// DRAW, its STO tab, the third row.
const std::string kPhotoRow = "key 2ND\nkey PRGM\nhkey Right\nhkey Right\nhkey 3\nwait idle\n";

const QRgb kTop = qRgb(250, 250, 0);
// The quarters of the picture: top left, top right, bottom left, bottom right.
const QRgb kQuarters[4] = {qRgb(250, 250, 0), qRgb(0, 250, 250), qRgb(250, 0, 250), qRgb(250, 130, 0)};

// How many pixels of a square of the picture are the colour.
int countOf(const QImage& image, QPoint corner, int side, QRgb colour)
{
    int n = 0;
    for (int y = corner.y(); y < corner.y() + side; ++y)
        for (int x = corner.x(); x < corner.x() + side; ++x)
            n += image.valid(x, y) && image.pixel(x, y) == colour;
    return n;
}

struct Device {
    const char* options;
    // The picture's frame in the graph view: the graph covered centred, a tablet's graph
    // standing (768 x 980) and turned (1024 x 724) both.
    int frame[4];
};

class PhotoDrive : public ::testing::TestWithParam<Device> {};

TEST_P(PhotoDrive, TheChosenPictureCoversTheGraphCentred)
{
    const Device device = GetParam();
    // Four quarters of four colours, in a phone photo's proportions.
    QImage picture(160, 284, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, kQuarters[(y >= 142) * 2 + (x >= 80)]);
    const auto file = driveScratch("photo.png"), shot = driveScratch("photo-graph.png");
    ASSERT_TRUE(picture.save(QString::fromStdString(file.string())));

    // The graph shown once before, as a student comes to DRAW from it.
    const DriveRun run = driveScript("key GRAPH\nwait idle\npress Done\nwait idle\ndump\nphoto " + file.string() + "\n"
                                         + kPhotoRow + "dump\nkey GRAPH\nwait idle\ndump\nshot " + shot.string() + "\n",
                                     device.options);
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_FALSE(run.dumps[0].contains("background"));
    const json background = run.dumps[1].value("background", json());
    ASSERT_TRUE(background.is_object()) << run.dumps[1].dump();
    const auto& f = device.frame;
    EXPECT_EQ(background["width"], f[2]) << "no larger than the graph shows";
    EXPECT_EQ(background["height"], f[3]);
    EXPECT_EQ(background["frame"], json::array({f[0], f[1], f[2], f[3]}));
    EXPECT_EQ(background["scale"], 1);
    EXPECT_EQ(run.dumps[1]["error"], 0);
    EXPECT_EQ(run.dumps[1]["top"], run.dumps[0]["top"]) << "the menu closed";

    const json& graph = run.dumps[2]["graph"];
    ASSERT_TRUE(graph.is_array()) << run.dumps[2].dump();
    const QImage shown(QString::fromStdString(shot.string()));
    ASSERT_FALSE(shown.isNull());
    const int left = graph[0], top = graph[1], width = graph[2], height = graph[3];
    const QPoint centre(left + width / 2, top + height / 2);
    // Grid dots, axes and the Done button cross the picture: most of a square shows it. The
    // quarters meet at the graph's centre, and each reaches its corner of the graph.
    const QPoint nearCentre[4] = {centre + QPoint(-30, -30), centre + QPoint(10, -30), centre + QPoint(-30, 10),
                                  centre + QPoint(10, 10)};
    // Done and, on a phone, the zoom buttons stand along the top right edge.
    const int right = left + width - 30, bottom = top + height - 30;
    const QPoint corners[4] = {{left + 10, top + 50}, {right - 60, top + 50}, {left + 10, bottom}, {right, bottom}};
    for (int q = 0; q < 4; ++q) {
        EXPECT_GT(countOf(shown, nearCentre[q], 20, kQuarters[q]), 300) << "quarter " << q << " by the centre";
        EXPECT_GT(countOf(shown, corners[q], 20, kQuarters[q]), 300) << "quarter " << q << " in its corner";
    }
}

TEST_P(PhotoDrive, AFileThatIsNoPictureGivesAnErrorAndChangesNothing)
{
    const std::string options = GetParam().options;
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

// The files a picture is read from are foreign: an SVG naming itself, two naming each other,
// one naming a FIFO, and a FIFO named like a picture each give the error and leave the
// picture before; none crashes or freezes the app (a watchdog ends a frozen one).
TEST(PhotoDriveFiles, NoPictureFileCrashesOrFreezesTheApp)
{
    const auto svgNaming = [](const std::filesystem::path& svg, const std::filesystem::path& named) {
        std::ofstream(svg) << "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                              "width=\"20\" height=\"20\"><image width=\"20\" height=\"20\" xlink:href=\""
                           << named.string() << "\"/></svg>\n";
    };
    const auto self = driveScratch("self.svg"), first = driveScratch("first.svg"), second = driveScratch("second.svg");
    const auto fifo = driveScratch("x.png"), pipeSvg = driveScratch("pipe.svg"), good = driveScratch("good.png");
    std::filesystem::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    svgNaming(self, self);
    svgNaming(first, second);
    svgNaming(second, first);
    svgNaming(pipeSvg, fifo);
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(kTop);
    ASSERT_TRUE(picture.save(QString::fromStdString(good.string())));

    std::string script = "photo " + good.string() + "\n" + kPhotoRow + "dump\n";
    for (const auto& file : {self, first, fifo, pipeSvg})
        script += "photo " + file.string() + "\n" + kPhotoRow + "dump\nkey ENTER\n";
    const DriveRun run = driveScript(script, "--device phone", 120);
    std::filesystem::remove(fifo);
    ASSERT_TRUE(endedWithDumps(run, 5));
    const json kept = run.dumps[0].value("background", json());
    ASSERT_TRUE(kept.is_object());
    for (std::size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(run.dumps[i]["error"], 74) << i;
        EXPECT_EQ(run.dumps[i].value("background", json()), kept) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, PhotoDrive,
    ::testing::Values(Device{"--device phone", {0, 0, 390, 776}}, Device{"--device tablet", {-128, 0, 1024, 980}},
                      Device{"--device tablet --size 1024x768", {0, -128, 1024, 980}}),
    [](const auto& info) { return std::string(info.index == 0 ? "phone" : info.index == 1 ? "tablet" : "turnedTablet"); });

} // namespace
} // namespace orvenda::test
