// The graph screen's own buttons through orvenda-drive, at the phone's and the tablet's
// size: the six fixed-direction zoom buttons tapped where they are drawn zoom their axes
// (Y₁=X², drawn where the new window puts it), and the zoom menu (a tablet's popover).

#include "DrivePictures.h"
#include "DriveSession.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace orvenda::test {
namespace {

using nlohmann::json;

class GraphButtonsDrive : public ::testing::TestWithParam<const char*> {
protected:
    std::string options() const { return std::string("--device ") + GetParam(); }
};

// Where a graph point lies in a picture of the window, by the window a dump says is shown.
QPoint shownAt(const json& dump, double x, double y)
{
    const json& w = dump["shown"];
    const json& g = dump["graph"];
    const double x0 = w[0], x1 = w[1], y0 = w[2], y1 = w[3];
    const double left = g[0], top = g[1], width = g[2], height = g[3];
    return QPoint(static_cast<int>(std::lround(left + (x - x0) / (x1 - x0) * width)),
                  static_cast<int>(std::lround(top + (y1 - y) / (y1 - y0) * height)));
}

// Y₁ = X² graphed with MODE ▸ G-T: the table beside the graph.
const std::string kGraphAndTable =
    "key Y=\ntype X²\nkey MODE\nwait idle\npress G-T\nwait idle\ntap leave\nwait idle\nkey GRAPH\nwait idle\n";

// A tap on the first row of the split's table, in its X column.
std::string tapOnFirstRow(const json& table)
{
    const double header = table["cells"][0], row = table["cells"][1], column = table["cells"][2];
    const int x = table["rect"][0].get<int>() + static_cast<int>(column / 2);
    const int y = table["rect"][1].get<int>() + static_cast<int>(header + row / 2);
    return "tap " + std::to_string(x) + " " + std::to_string(y);
}

std::string tapOn(const json& rect)
{
    const int x = rect[0].get<int>() + rect[2].get<int>() / 2, y = rect[1].get<int>() + rect[3].get<int>() / 2;
    return "tap " + std::to_string(x) + " " + std::to_string(y) + "\nwait idle\n";
}

// Each tap zooms once by 1.1 on its axes: in on x, out on y, in on both; the parabola Y=X²
// is drawn through the points the new window puts it at, and no longer where the old one
// did.
TEST_P(GraphButtonsDrive, TheFixedDirectionZoomButtonsZoomTheirAxes)
{
    const std::string device = GetParam();
    const std::string open = "key Y=\ntype X²\nkey GRAPH\nwait idle\n";
    const DriveRun first = driveScript(open + "dump\n", options());
    ASSERT_TRUE(endedWithDumps(first, 1));
    const json& buttons = first.dumps[0]["zoomButtons"];
    const std::vector<std::pair<std::string, std::string>> named{{"Zoom In", "zPlusB"}, {"Zoom Out", "zMinusB"},
        {"Zoom In X", "zHPlusB"}, {"Zoom Out X", "zHMinusB"}, {"Zoom In Y", "zVPlusB"}, {"Zoom Out Y", "zVMinusB"}};
    const std::vector<int> window = first.dumps[0]["graph"];
    for (const auto& [name, image] : named) {
        ASSERT_TRUE(buttons.contains(name)) << buttons.dump();
        EXPECT_EQ(buttons[name]["image"], image);
        EXPECT_EQ(buttons[name]["shown"], true) << name;
        const std::vector<int> r = buttons[name]["rect"];
        EXPECT_GE(r[0], 0) << name;
        EXPECT_LE(r[0] + r[2], window[2]) << name << " " << device;
    }
    std::vector<std::filesystem::path> shots;
    std::string script = open + "dump\n";
    for (const char* name : {"Zoom In X", "Zoom Out Y", "Zoom In"}) {
        shots.push_back(driveScratch("zoom-" + device + "-" + std::to_string(shots.size()) + ".png"));
        script += tapOn(buttons[name]["rect"]) + "dump\nshot " + shots.back().string() + "\n";
    }
    const DriveRun run = driveScript(script, options());
    ASSERT_TRUE(endedWithDumps(run, 4));
    // x and y ranges after each tap, from the window the graph opened on, about its centre.
    const std::vector<double> opened = run.dumps[0]["shown"];
    const double w = opened[1] - opened[0], h = opened[3] - opened[2];
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    const std::vector<std::pair<double, double>> ranges{{w, h}, {w / 1.1, h}, {w / 1.1, h * 1.1}, {w / 1.21, h}};
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const std::vector<double> shown = run.dumps[i]["shown"];
        EXPECT_NEAR(shown[1] - shown[0], ranges[i].first, 1e-9 * w) << device << " step " << i;
        EXPECT_NEAR(shown[3] - shown[2], ranges[i].second, 1e-9 * h) << device << " step " << i;
        EXPECT_NEAR(shown[1] + shown[0], opened[1] + opened[0], 1e-9 * w) << device << " step " << i;
        EXPECT_NEAR(shown[3] + shown[2], opened[3] + opened[2], 1e-9 * h) << device << " step " << i;
    }
    // Y=X² through the points the new window puts it at, and not through the old ones, where
    // no button lies over them.
    std::vector<QRect> covered{QRect(first.dumps[0]["top"]["leave"][0], first.dumps[0]["top"]["leave"][1],
                                     first.dumps[0]["top"]["leave"][2], first.dumps[0]["top"]["leave"][3])};
    for (const auto& [name, image] : named) {
        const std::vector<int> r = buttons[name]["rect"];
        covered.emplace_back(r[0], r[1], r[2], r[3]);
    }
    const auto open_ = [&covered](QPoint at) {
        return std::none_of(covered.begin(), covered.end(), [at](const QRect& r) { return r.adjusted(-4, -4, 4, 4).contains(at); });
    };
    const double left = opened[0], centre = (opened[0] + opened[1]) / 2;
    for (std::size_t i = 0; i < shots.size(); ++i) {
        const QImage picture(QString::fromStdString(shots[i].string()));
        ASSERT_FALSE(picture.isNull());
        int looked = 0;
        for (const double f : {0.1, 0.2, 0.8, 0.9}) {
            const double x = left + f * w, y = x * x;
            const QPoint now = shownAt(run.dumps[i + 1], x, y), before = shownAt(run.dumps[i], x, y);
            if (!open_(now) || !open_(before) || std::abs(x - centre) < 0.1 * w)
                continue;
            ++looked;
            EXPECT_TRUE(greenNear(picture, now)) << device << " step " << i + 1 << " x " << x;
            EXPECT_FALSE(greenNear(picture, before)) << device << " step " << i + 1 << " x " << x;
        }
        EXPECT_GE(looked, 2) << device << " step " << i + 1;
    }
}

// The zoom item opens the menu: over the whole screen on a phone, a 320 x 480 popover
// standing on the item on a tablet; a row picked zooms and closes it.
TEST_P(GraphButtonsDrive, TheZoomMenuCoversThePhoneAndIsATabletsPopover)
{
    const std::string device = GetParam();
    const auto shot = driveScratch("zoom-menu-" + device + ".png");
    const DriveRun run = driveScript("key GRAPH\nwait idle\ndump\npress Zoom\nwait idle\ndump\nshot " + shot.string()
                                         + "\nhkey Down\nhkey Return\nwait idle\ndump\n",
                                     options());
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_FALSE(run.dumps[0].contains("zoomMenu"));
    const json& menu = run.dumps[1]["zoomMenu"];
    ASSERT_TRUE(menu.is_object()) << run.dumps[1].dump();
    const std::vector<int> rect = menu["rect"], graph = run.dumps[1]["graph"];
    ASSERT_EQ(rect.size(), 4u);
    if (device == "tablet") {
        EXPECT_EQ(menu["popover"], true);
        EXPECT_EQ(rect[2], 320);
        EXPECT_EQ(rect[3], 480);
        // On the zoom item, in the bottom toolbar under the graph.
        EXPECT_GE(rect[1] + rect[3], graph[1] + graph[3]);
        EXPECT_LT(rect[1] + rect[3], graph[1] + graph[3] + 44);
        EXPECT_LT(rect[0], 100);
    } else {
        EXPECT_EQ(menu["popover"], false);
        EXPECT_GE(rect[3], graph[3]);
    }
    // The picture shows the menu's dark ground where the menu stands, its lowest corner too.
    const QImage picture(QString::fromStdString(shot.string()));
    ASSERT_FALSE(picture.isNull());
    for (const QPoint at : {QPoint(rect[0] + rect[2] / 2, rect[1] + rect[3] / 2), QPoint(rect[0] + rect[2] - 3, rect[1] + rect[3] - 3)})
        EXPECT_LT(picture.pixelColor(at).lightness(), 80) << device << " " << at.x() << "," << at.y();
    // Down from no selection picks ZoomRcl's row: the menu closes.
    EXPECT_FALSE(run.dumps[2].contains("zoomMenu")) << run.dumps[2].dump();
}

// MODE ▸ G-T: the table's band lies between the graph and the bar, so Zoom, + and Calc,
// tapped where they are drawn, act: the zoom menu opens (and Escape closes it), + zooms in
// by 1.1 on both axes, and Calc on the traced curve opens the calculate sheet.
TEST_P(GraphButtonsDrive, InGraphAndTableModeTheBarsItemsAct)
{
    const std::string device = GetParam();
    const std::string& open = kGraphAndTable;
    const DriveRun first = driveScript(open + "dump\n", options());
    ASSERT_TRUE(endedWithDumps(first, 1));
    const json& bar = first.dumps[0]["bar"];
    for (const char* item : {"Zoom", "+", "Calc"})
        ASSERT_TRUE(bar.contains(item)) << device << " " << bar.dump();
    const DriveRun run = driveScript(open + tapOn(bar["Zoom"]) + "dump\nhkey Escape\nwait idle\ndump\n" + tapOn(bar["+"])
                                         + "dump\nkey 0x403\nwait idle\n" + tapOn(bar["Calc"]) + "dump\n",
                                     options());
    ASSERT_TRUE(endedWithDumps(run, 4));
    EXPECT_TRUE(run.dumps[0].contains("zoomMenu")) << device;
    EXPECT_FALSE(run.dumps[1].contains("zoomMenu")) << device;
    const std::vector<double> before = run.dumps[1]["shown"], after = run.dumps[2]["shown"];
    EXPECT_NEAR((before[1] - before[0]) / (after[1] - after[0]), 1.1, 1e-9) << device;
    EXPECT_NEAR((before[3] - before[2]) / (after[3] - after[2]), 1.1, 1e-9) << device;
    EXPECT_TRUE(run.dumps[3].contains("calcSheet")) << device;
}

// GRAPH, trace, Calc, and "zero" chosen from the sheet's list (opened by a tap, picked with
// Down and Return): the computer's keys then go to the first field, left=, and the bounds
// typed find the zero of X²−4 at 2, which the trace's read-out shows. (Each change runs the
// search, which says once when the bounds hold no zero: 0 and 0 at the pick, then 1 and 0.)
TEST_P(GraphButtonsDrive, AfterAKindIsPickedTheComputersKeysFillTheSheet)
{
    const std::string device = GetParam();
    const std::string open = "key Y=\ntype X²-4\nkey GRAPH\nwait idle\nkey 0x403\nwait idle\n";
    const DriveRun first = driveScript(open + "dump\npress Calc\nwait idle\ndump\n", options());
    ASSERT_TRUE(endedWithDumps(first, 2));
    ASSERT_TRUE(first.dumps[1].contains("calcSheet")) << device;
    const DriveRun run = driveScript(open + tapOn(first.dumps[0]["bar"]["Calc"]) + tapOn(first.dumps[1]["calcSheet"]["choice"]["rect"])
                                         + "hkey Down\nhkey Return\nwait idle\ndump\npress OK\nwait idle\n"
                                         + "hkey 1\nhkey Return\nwait idle\ndump\npress OK\nwait idle\nhkey 3\nhkey Return\nwait idle\ndump\n",
                                     options());
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_EQ(run.dumps[0]["calcSheet"]["choice"]["text"], "zero") << device;
    EXPECT_EQ(run.dumps[0]["alerts"].size(), 1u) << device;
    // left= took 1 and the keys moved on to right=; the search over [1, 0] finds nothing yet.
    EXPECT_EQ(run.dumps[1]["calcSheet"]["fields"][0]["shown"], "1") << device;
    EXPECT_EQ(run.dumps[1]["calcSheet"]["current"], 1) << device;
    const json fields = json::array({json{{"label", "left="}, {"shown", "1"}}, json{{"label", "right="}, {"shown", "3"}},
                                     json{{"label", "tol="}, {"shown", ".001"}}, json{{"label", "zero="}, {"shown", "2"}}});
    EXPECT_EQ(run.dumps[2]["calcSheet"]["fields"], fields) << device;
    const json& trace = run.dumps[2]["trace"];
    ASSERT_TRUE(trace.is_object()) << device;
    EXPECT_NEAR(trace["x"].get<double>(), 2, 1e-6) << device;
    EXPECT_NEAR(trace["y"].get<double>(), 0, 1e-5) << device;
    EXPECT_EQ(trace["lines"], json::array({"X²—4", "X:2", "Y:0"})) << device;
    EXPECT_EQ(run.dumps[2]["alerts"], json::array()) << device;
}

// MODE ▸ G-T with the table asking (the factory setting): a tap on its first X row gives it
// the computer's keys, which enter values as on the TABLE screen (3 Return appends 3 and
// moves on; 4-6 is typed, its - no zoom; Backspace on the empty line deletes the row under
// the cursor); Escape still leaves the graph.
TEST_P(GraphButtonsDrive, TheSplitTableTakesTypedValues)
{
    const std::string device = GetParam();
    const std::string& open = kGraphAndTable;
    const DriveRun first = driveScript(open + "dump\n", options());
    ASSERT_TRUE(endedWithDumps(first, 1));
    ASSERT_TRUE(first.dumps[0]["table"].is_object()) << device;
    const DriveRun run = driveScript(open + tapOnFirstRow(first.dumps[0]["table"])
                                         + "\nwait idle\nhkey 3\nhkey Return\nwait idle\ndump\nhkey 4\nhkey -\nhkey 6\nhkey Return\n"
                                           "wait idle\ndump\nhkey Up\nhkey Backspace\nwait idle\ndump\nhkey Escape\nwait idle\ndump\n",
                                     options());
    ASSERT_TRUE(endedWithDumps(run, 4));
    EXPECT_EQ(run.dumps[0]["table"]["asked"], json::array({3.0})) << device;
    EXPECT_EQ(run.dumps[0]["table"]["row"], 1) << device;
    EXPECT_EQ(run.dumps[1]["table"]["asked"], json::array({3.0, -2.0})) << device;
    EXPECT_EQ(run.dumps[1]["shown"], first.dumps[0]["shown"]) << device << ": no zoom";
    EXPECT_EQ(run.dumps[2]["table"]["asked"], json::array({3.0})) << device;
    EXPECT_EQ(run.dumps[3]["screen"], 0) << device;
}

// INS (Ctrl+I) on the split's asked table inserts a row at the cursor, as on the TABLE
// screen.
TEST_P(GraphButtonsDrive, InsOnTheSplitTableInsertsARow)
{
    const std::string device = GetParam();
    const DriveRun first = driveScript(kGraphAndTable + "dump\n", options());
    ASSERT_TRUE(endedWithDumps(first, 1));
    ASSERT_TRUE(first.dumps[0]["table"].is_object()) << device;
    const DriveRun run = driveScript(kGraphAndTable + tapOnFirstRow(first.dumps[0]["table"])
                                         + "\nwait idle\nhkey 3\nhkey Return\nhkey 4\nhkey Return\nwait idle\n"
                                           "hkey Up\nhkey Up\nhkey Ctrl+I\nwait idle\ndump\n",
                                     options());
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_EQ(run.dumps[0]["table"]["asked"], json::array({0.0, 3.0, 4.0})) << device;
    EXPECT_EQ(run.dumps[0]["table"]["row"], 0) << device;
}

// A traced equation too long for the room beside Done and the zoom buttons is drawn
// smaller, left of them, at every shape of the window (and turned to it): none of the
// buttons lies over its lines. Classic's lines and MathPrint's alike.
TEST_P(GraphButtonsDrive, TheTracedEquationsLinesKeepClearOfTheButtons)
{
    const std::string device = GetParam();
    const std::vector<std::string> shapes = device == "tablet" ? std::vector<std::string>{"768x1024", "1024x768"}
                                                               : std::vector<std::string>{"390x844", "844x390", "320x390"};
    std::string script = "key Y=\nwait idle\ntype sin(X)+cos(2X)+0.1X²+5X+7+3X+4X+2X+sin(3X)\nkey GRAPH\nwait idle\nkey 0x403\n";
    for (const char* mode : {"", "hkey Escape\nwait idle\nkey MODE\nwait idle\npress Classic\npress Done\nwait idle\nkey 0x403\nwait idle\n"}) {
        script += mode;
        for (const std::string& shape : shapes)
            script += "size " + shape + "\nwait idle\ndump\n";
    }
    const DriveRun run = driveScript(script, options());
    ASSERT_TRUE(endedWithDumps(run, 2 * shapes.size()));
    for (std::size_t d = 0; d < run.dumps.size(); ++d) {
        const json& dump = run.dumps[d];
        const std::string where = shapes[d % shapes.size()] + (d < shapes.size() ? " MathPrint" : " Classic");
        ASSERT_TRUE(dump["trace"].is_object() && dump["trace"].contains("linesRect")) << where << " " << dump["trace"];
        const std::vector<int> lines = dump["trace"]["linesRect"];
        const QRect drawn(lines[0], lines[1], lines[2], lines[3]);
        std::vector<std::pair<std::string, json>> buttons{{"Done", dump["top"]["leave"]}};
        for (const auto& [name, button] : dump["zoomButtons"].items())
            if (button["shown"].get<bool>())
                buttons.emplace_back(name, button["rect"]);
        for (const auto& [name, r] : buttons)
            EXPECT_FALSE(drawn.intersects(QRect(r[0], r[1], r[2], r[3]))) << where << ": " << name << " over the lines " << dump["trace"];
    }
}

// The whole window shaded (Shade(-99,99)), upright and turned, the 320x390 window too: no
// column or row of the graph is left the background's black between two tiles (390 wide
// makes tiles of an odd width).
TEST_P(GraphButtonsDrive, EveryPixelOfTheGraphIsPaintedUprightAndTurned)
{
    const std::string device = GetParam();
    const std::vector<std::string> shapes = device == "tablet" ? std::vector<std::string>{"768x1024", "1024x768"}
                                                               : std::vector<std::string>{"390x844", "844x390", "320x390"};
    std::string script = "type Shade(-99,99)\nkey ENTER\nwait idle\n";
    std::vector<std::filesystem::path> shots;
    for (const std::string& shape : shapes) {
        shots.push_back(driveScratch("seam-" + device + "-" + shape + ".png"));
        script += "size " + shape + "\nwait idle\nwait still\ndump\nshot " + shots.back().string() + "\n";
    }
    const DriveRun run = driveScript(script, options());
    ASSERT_TRUE(endedWithDumps(run, shapes.size()));
    const auto black = [](QRgb c) { return qRed(c) < 24 && qGreen(c) < 24 && qBlue(c) < 24; };
    for (std::size_t k = 0; k < shapes.size(); ++k) {
        const json& dump = run.dumps[k];
        ASSERT_EQ(dump["top"]["id"], 8) << shapes[k];
        const QImage picture(QString::fromStdString(shots[k].string()));
        ASSERT_FALSE(picture.isNull()) << shapes[k];
        const QRect graph(dump["graph"][0], dump["graph"][1], dump["graph"][2], dump["graph"][3]);
        // A line a quarter black or more is one no tile painted: the buttons and labels over
        // the shading are far shorter.
        for (int x = graph.left(); x <= graph.right(); ++x) {
            int n = 0;
            for (int y = graph.top(); y <= graph.bottom(); ++y)
                n += black(picture.pixel(x, y));
            EXPECT_LT(n, graph.height() / 4) << shapes[k] << ": column " << x << " unpainted";
        }
        for (int y = graph.top(); y <= graph.bottom(); ++y) {
            int n = 0;
            for (int x = graph.left(); x <= graph.right(); ++x)
                n += black(picture.pixel(x, y));
            EXPECT_LT(n, graph.width() / 4) << shapes[k] << ": row " << y << " unpainted";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Drive, GraphButtonsDrive, ::testing::Values("phone", "tablet"), [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace orvenda::test
