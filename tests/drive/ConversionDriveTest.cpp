// The conversion picker through orvenda-drive as a user meets it: opened over the keyboard
// with a number on the entry line, a class and two units picked by the computer's keys or
// by taps, the conversion inserted and worked out on the home screen; pictured at the
// phone's and the tablet's size. The four-function calculator and the CSV preview by their
// ids.

#include "DriveSession.h"
#include "LiveDrive.h"

#include <QImage>

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using nlohmann::json;

QImage load(const std::filesystem::path& png) { return QImage(QString::fromStdString(png.string())); }

int changed(const QImage& a, const QImage& b)
{
    int n = 0;
    if (a.size() != b.size())
        return -1;
    for (int y = 0; y < a.height(); y += 2)
        for (int x = 0; x < a.width(); x += 2)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

class ConversionDrive : public ::testing::TestWithParam<const char*> {};

// 5, then ALPHA and the key under CONV: Length (three rows down), km (five down in the
// from-column), mi (the first of the to-column), Return: " km▸mi" follows the 5, and ENTER
// gives 3.106855961.
TEST_P(ConversionDrive, FiveKilometresInMilesThroughThePicker)
{
    const std::string device = GetParam();
    const auto bare = driveScratch(device + "-conv-bare.png"), open = driveScratch(device + "-conv-open.png"),
               length = driveScratch(device + "-conv-length.png");
    const DriveRun run = driveScript("type 5\nwait idle\nshot " + bare.string() + "\nkey ALPHA\nkey Undo\nwait idle\ndump\n"
            + "shot " + open.string() + "\nhkey Down\nhkey Down\nhkey Down\nwait idle\nshot " + length.string() + "\n"
            + "hkey Right\nhkey Down\nhkey Down\nhkey Down\nhkey Down\nhkey Down\nhkey Right\ndump\n"
            + "hkey Return\nwait idle\ndump\nkey ENTER\nwait idle\ndump\n",
        "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 4u);
    const json& opened = run.dumps[0];
    EXPECT_EQ(opened["top"]["title"], "Conversions");
    EXPECT_FALSE(opened["top"]["leave"].is_null());
    EXPECT_EQ(opened["conversion"]["mode"], "units");
    EXPECT_EQ(opened["conversion"]["class"], 0);
    // The label converts the 5 on the entry line.
    EXPECT_EQ(opened["conversion"]["result"], "5 mi²▸mi² = 5");

    const json& picked = run.dumps[1]["conversion"];
    EXPECT_EQ(picked["class"], 3);
    EXPECT_EQ(picked["from"], 5);
    EXPECT_EQ(picked["to"], 0);
    EXPECT_EQ(picked["column"], 2);
    EXPECT_EQ(picked["result"], "5 km▸mi = 3.106855961");
    EXPECT_EQ(picked["full"], " kiloMeter▸mile");

    EXPECT_EQ(run.dumps[2]["top"]["id"], 0) << "Return closes the picker";
    EXPECT_EQ(run.dumps[2]["entry"], "5 km▸mi");
    const json& history = run.dumps[3]["history"];
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.back()["answer"], "3.106855961");

    // The picker covers the keyboard, and picking Length changes the unit columns.
    const QImage before = load(bare), shown = load(open), lengths = load(length);
    ASSERT_FALSE(before.isNull());
    EXPECT_GT(changed(before, shown), before.width() * before.height() / 4 / 20);
    EXPECT_GT(changed(shown, lengths), 0);
}

// The constants column: picking one shows its description, and Select types it.
TEST_P(ConversionDrive, AConstantIsPickedAndWorkedOut)
{
    const DriveRun run = driveScript(
        "key ALPHA\nkey Undo\nwait idle\npress Constants\nwait idle\nhkey Down\nhkey Down\nhkey Down\nhkey Down\nhkey Down\n"
        "dump\npress Select\nwait idle\ntype *2\nkey ENTER\nwait idle\ndump\n",
        std::string("--device ") + GetParam());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u);
    const json& picker = run.dumps[0]["conversion"];
    EXPECT_EQ(picker["mode"], "constants");
    EXPECT_EQ(picker["constant"], 5);
    EXPECT_EQ(picker["result"], "9.10938215×10⁻³¹ kilograms");
    const json& history = run.dumps[1]["history"];
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.back()["answer"], "1.82187643ᴱ-30");
}

// The four-function calculator by its id: typed on, 0 ÷ 0 reads "Error", and Done leaves.
TEST_P(ConversionDrive, TheFourFunctionCalculatorShowsAnErrorForZeroOverZero)
{
    const std::string device = std::string("--device ") + GetParam();
    const DriveRun listing = driveScript("screens\n", device);
    ASSERT_EQ(listing.dumps.size(), 1u) << listing.output;
    int id = -1;
    for (const json& screen : listing.dumps[0]["screens"])
        if (screen["title"] == "Four-function calculator")
            id = screen["id"].get<int>();
    ASSERT_GE(id, 0);
    const DriveRun run = driveScript("open " + std::to_string(id) + "\nwait idle\nhkey 1\nhkey +\nhkey 2\nhkey *\nhkey 3\n"
            "hkey =\ndump\nhkey 0\nhkey /\nhkey 0\nhkey Return\ndump\ntap leave\nwait idle\ndump\n",
        device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u);
    EXPECT_EQ(run.dumps[0]["overlay"], "Four-function calculator");
    EXPECT_EQ(run.dumps[0]["fourFunction"], "9");
    EXPECT_EQ(run.dumps[1]["fourFunction"], "Error");
    EXPECT_EQ(run.dumps[2]["top"]["id"], 0);
    EXPECT_TRUE(run.dumps[2]["history"].empty()) << "the desk calculator leaves the main one alone";
}

// The CSV preview by its id shows the lists as their CSV text in its grid, in Liberation
// Sans at the device's measures; a tap selects the cell under it, and Escape leaves.
TEST_P(ConversionDrive, TheCSVPreviewShowsTheListsAndATapSelectsACell)
{
    const bool tablet = std::string_view(GetParam()) == "tablet";
    LiveDrive drive(std::string("--device ") + GetParam());
    const auto listing = drive.ask("screens\n", 60);
    ASSERT_TRUE(listing) << drive.messages();
    int id = -1;
    for (const json& screen : (*listing)["screens"])
        if (screen["title"] == "CSV preview")
            id = screen["id"].get<int>();
    ASSERT_GE(id, 0);
    drive.send("type {1,2,3}->L₁\nkey ENTER\ntype {4,5}->L₂\nkey ENTER\nwait idle\nopen " + std::to_string(id)
               + "\nwait idle\n");
    const auto opened = drive.ask("dump\n", 60);
    ASSERT_TRUE(opened) << drive.messages();
    EXPECT_EQ((*opened)["overlay"], "CSV preview");
    const json& grid = (*opened)["csvPreview"];
    ASSERT_TRUE(grid.is_object()) << opened->dump();
    EXPECT_EQ(grid["font"], json::array({"Liberation Sans", tablet ? 20 : 18}));
    EXPECT_EQ(grid["rowHeight"], tablet ? 26 : 20);
    EXPECT_EQ(grid["space"], tablet ? 10 : 6);
    // A list's name is shorter than six characters: each row is numbered.
    ASSERT_GE(grid["shown"].size(), 3u);
    EXPECT_EQ(grid["shown"][0], json::array({"L1", "L₁", "1", "2", "3"}));
    EXPECT_EQ(grid["shown"][1], json::array({"L2", "L₂", "4", "5"}));
    EXPECT_EQ(grid["shown"][2], json::array({"L3", "L₃"}));
    EXPECT_TRUE(grid["selection"]["start"].is_null());
    // The third row's second cell.
    const double x = grid["grid"][0].get<double>() + grid["widths"][0].get<double>() + grid["widths"][1].get<double>() / 2;
    const double y = grid["grid"][1].get<double>() + 2.5 * grid["rowHeight"].get<double>();
    drive.send("tap " + std::to_string(int(x)) + " " + std::to_string(int(y)) + "\n");
    const auto tapped = drive.ask("dump\n", 60);
    ASSERT_TRUE(tapped) << drive.messages();
    EXPECT_EQ((*tapped)["csvPreview"]["selection"]["start"], json::array({2, 1}));
    EXPECT_EQ((*tapped)["csvPreview"]["selection"]["end"], json::array({2, 1}));
    drive.send("hkey Escape\nwait idle\n");
    const auto left = drive.ask("dump\n", 60);
    ASSERT_TRUE(left) << drive.messages();
    EXPECT_EQ((*left)["top"]["id"], 0);
    EXPECT_FALSE(left->contains("csvPreview"));
    drive.finish(60);
    EXPECT_EQ(drive.exitCode(), 0) << drive.messages();
}

INSTANTIATE_TEST_SUITE_P(Drive, ConversionDrive, ::testing::Values("phone", "tablet"));

} // namespace
} // namespace orvenda::test
