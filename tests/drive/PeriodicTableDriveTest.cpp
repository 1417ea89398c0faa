// The periodic table through orvenda-drive as a student meets it: APPS, Chemistry, the
// first row, then a tap on oxygen opens its details; at the phone's size, the tablet's and
// the tablet turned.

#include "DriveSession.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using nlohmann::json;

const std::string kOpen = "key APPS\nkey 2\nkey 1\nwait idle\n";

class PeriodicDrive : public ::testing::TestWithParam<const char*> {};

// The window point at the middle of a place of the grid, from the dump's geometry.
std::string tapAt(const json& table, int row, int column)
{
    const double x0 = table["table"][0].get<double>() + 16, y0 = table["table"][1].get<double>() + 14;
    const double cw = table["cell"][0], ch = table["cell"][1];
    const bool portrait = table["portrait"];
    const double across = portrait ? row : column, down = portrait ? 17 - column : row;
    const int x = static_cast<int>(x0 + across * cw + cw / 2 - 1), y = static_cast<int>(y0 + down * ch + ch / 2 - 1);
    return "tap " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

TEST_P(PeriodicDrive, OxygenTappedShowsItsDetails)
{
    const std::string options = GetParam();
    const DriveRun first = driveScript(kOpen + "dump\n", options);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    ASSERT_EQ(first.dumps.size(), 1u) << first.output;
    const json& opened = first.dumps[0];
    EXPECT_EQ(opened["screen"], 13);
    EXPECT_EQ(opened["top"]["title"], "Periodic table");
    ASSERT_TRUE(opened.contains("periodicTable")) << opened.dump();
    const json& table = opened["periodicTable"];
    EXPECT_EQ(table["title"], "Series");
    EXPECT_EQ(table["element"], nullptr);
    EXPECT_EQ(table["portrait"], options.find("1024x768") == std::string::npos);

    const auto before = driveScratch("periodic-table.png"), after = driveScratch("periodic-oxygen.png");
    const DriveRun run = driveScript(kOpen + "shot " + before.string() + "\n" + tapAt(table, 1, 15) + "wait idle\ndump\nshot "
                                         + after.string() + "\nhkey Escape\nwait idle\ndump\nhkey Escape\nwait idle\ndump\n",
                                     options);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
    const json& element = run.dumps[0]["periodicTable"]["element"];
    ASSERT_TRUE(element.is_object()) << run.dumps[0].dump();
    EXPECT_EQ(element["number"], 8);
    EXPECT_EQ(element["title"], "O Oxygen");
    EXPECT_EQ(element["fields"][4], json::array({"Melting Point", "54.8 K"}));
    EXPECT_EQ(element["fields"][9], json::array({"Calculated Radius", "48 pm"}));
    EXPECT_EQ(run.dumps[1]["periodicTable"]["element"], nullptr) << "Escape closes the details first";
    EXPECT_EQ(run.dumps[1]["top"]["title"], "Periodic table");
    EXPECT_EQ(run.dumps[2]["top"]["id"], 0) << "then the screen";

    const QImage a(QString::fromStdString(before.string())), b(QString::fromStdString(after.string()));
    ASSERT_FALSE(a.isNull());
    ASSERT_EQ(a.size(), b.size());
    int changed = 0;
    for (int y = 0; y < a.height(); y += 2)
        for (int x = 0; x < a.width(); x += 2)
            changed += a.pixel(x, y) != b.pixel(x, y);
    EXPECT_GT(changed, a.width() * a.height() / 16) << "the details cover the table";
}

INSTANTIATE_TEST_SUITE_P(Devices, PeriodicDrive,
    ::testing::Values("--device phone", "--device tablet", "--device tablet --size 1024x768"),
    [](const auto& info) { return std::string(info.index == 0 ? "phone" : info.index == 1 ? "tablet" : "tabletTurned"); });

} // namespace
} // namespace orvenda::test
