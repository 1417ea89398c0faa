// The geometry app through orvenda-drive: opened from APPS ▸ Geometry, a triangle typed on
// the keyboard and solved, its figure on the graph, the figure menu and its help page, at
// the phone's and the tablet's size.

#include "DriveSession.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using nlohmann::json;

class GeometryDrive : public ::testing::TestWithParam<const char*> {};

// SSS 3, 4, 5 in Degree mode: Solve shows the angles 36.86989765°, 53.13010235° and 90°,
// the perimeter 12 and the area 6, and the graph shows the triangle filled green.
TEST_P(GeometryDrive, AThreeFourFiveTriangleBySides)
{
    const std::string device = GetParam();
    const auto shot = driveScratch("geometry-triangle-" + device + ".png");
    const DriveRun run = driveScript("key APPS\nkey 3\nkey 5\nwait idle\ndump\ntype 3\nkey ENTER\ntype 4\nkey ENTER\ntype 5\n"
                                     "wait idle\ndump\npress Solve\nwait idle\ndump\nshot " + shot.string() + "\n",
                                     std::string("--device ") + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
    const json& opened = run.dumps[0];
    EXPECT_EQ(opened["screen"], 16);
    EXPECT_EQ(opened["top"]["title"], "Geometry");
    EXPECT_EQ(opened["geometry"]["title"], "Triangle");
    EXPECT_EQ(opened["geometry"]["angleMode"], "Deg");
    EXPECT_EQ(opened["geometry"]["solve"]["enabled"], false);
    const json& typed = run.dumps[1]["geometry"];
    EXPECT_EQ(typed["typing"], "5");
    EXPECT_EQ(typed["solve"]["enabled"], true);
    EXPECT_EQ(typed["title"], "SSS");
    EXPECT_EQ(typed["triangle"], 7);
    const json& solved = run.dumps[2]["geometry"];
    std::vector<std::string> shown;
    for (const json& field : solved["fields"])
        shown.push_back(field["label"].get<std::string>() + field["text"].get<std::string>());
    EXPECT_EQ(shown, (std::vector<std::string>{"a=3", "b=4", "c=5", "∠A=36.86989765", "∠B=53.13010235", "∠C=90"}));
    EXPECT_EQ(solved["results"][0]["text"], "12");
    EXPECT_EQ(solved["results"][1]["text"], "6");
    EXPECT_EQ(solved["solve"]["enabled"], false);
    EXPECT_EQ(run.dumps[2]["error"], 0);
    // The figure: A at the origin, B at (5, 0), C at (3.2, 2.4).
    const QImage picture(QString::fromStdString(shot.string()));
    ASSERT_FALSE(picture.isNull());
    const json& g = solved["graph"]["rect"];
    const json& w = solved["graph"]["window"];
    const auto at = [&](double x, double y) {
        const double px = g[0].get<double>() + (x - w[0].get<double>()) / (w[1].get<double>() - w[0].get<double>()) * g[2].get<double>();
        const double py = g[1].get<double>() + (w[3].get<double>() - y) / (w[3].get<double>() - w[2].get<double>()) * g[3].get<double>();
        return picture.pixelColor(static_cast<int>(px), static_cast<int>(py));
    };
    const auto green = [](const QColor& c) { return c.green() > c.red() + 40 && c.green() > c.blue() + 40; };
    EXPECT_TRUE(green(at(2.5, 1))) << device;
    EXPECT_TRUE(green(at(4, 0.5))) << device;
    EXPECT_FALSE(green(at(0.5, 2))) << device;
    EXPECT_FALSE(green(at(4.8, 2))) << device;
}

// The figure menu: the ⓘ of the first row shows the line's help page, Back returns to the
// list, and a row picks its figure.
TEST_P(GeometryDrive, TheFigureMenuShowsHelpAndPicks)
{
    const std::string device = GetParam();
    const DriveRun opened = driveScript("key APPS\nkey 3\nkey 5\nwait idle\npress Figures\nwait idle\ndump\n",
                                        std::string("--device ") + device);
    ASSERT_EQ(opened.exitCode, 0) << opened.output;
    ASSERT_EQ(opened.dumps.size(), 1u) << opened.output;
    const json& menu = opened.dumps[0]["geometry"]["menu"];
    ASSERT_TRUE(menu.is_object());
    const int x = menu["firstRow"][0], y = menu["firstRow"][1];
    const int ix = menu["firstHelp"][0], iy = menu["firstHelp"][1];
    const double row = menu["rowHeight"];
    const DriveRun run = driveScript("key APPS\nkey 3\nkey 5\nwait idle\npress Figures\nwait idle\ntap " + std::to_string(ix) + " "
                                         + std::to_string(iy) + "\nwait idle\ndump\npress Back\nwait idle\ndump\ntap " + std::to_string(x)
                                         + " " + std::to_string(y + static_cast<int>(7 * row)) + "\nwait idle\ndump\n",
                                     std::string("--device ") + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
    EXPECT_EQ(run.dumps[0]["geometry"]["menu"]["help"], "Line…");
    EXPECT_TRUE(run.dumps[1]["geometry"]["menu"]["help"].is_null());
    EXPECT_TRUE(run.dumps[2]["geometry"]["menu"].is_null());
    EXPECT_EQ(run.dumps[2]["geometry"]["title"], "Arc");
    EXPECT_TRUE(run.dumps[2]["geometry"]["slider"].is_object());
}

// Each figure in the least window with a value of forty digits typed in its second field:
// the panel grows up by the value's rows, and the zoom buttons stay on the graph above it,
// one over the other or side by side.
TEST(GeometryDriveLeast, TheZoomButtonsStayOnTheGraphOverALongValue)
{
    std::string script;
    for (const char* figure : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"})
        script += std::string("key APPS\nkey 3\nkey ") + figure
            + "\nwait idle\nkey DOWN\ntype 1234567890123456789012345678901234567890\nwait idle\ndump\nhkey Escape\nwait idle\n";
    const DriveRun run = driveScript(script, "--device phone --size 320x390");
    ASSERT_TRUE(endedWithDumps(run, 10));
    const auto rect = [](const json& r) { return QRect(r[0], r[1], r[2], r[3]); };
    for (const json& dump : run.dumps) {
        const json& geometry = dump["geometry"];
        const QRect graph = rect(geometry["graph"]["rect"]), plus = rect(geometry["plus"]), minus = rect(geometry["minus"]);
        EXPECT_TRUE(graph.contains(plus) && graph.contains(minus) && !plus.intersects(minus)) << geometry["title"] << geometry;
        EXPECT_FALSE(rect(geometry["panel"]).intersects(minus)) << geometry["title"];
    }
}

INSTANTIATE_TEST_SUITE_P(Drive, GeometryDrive, ::testing::Values("phone", "tablet"), [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace orvenda::test
