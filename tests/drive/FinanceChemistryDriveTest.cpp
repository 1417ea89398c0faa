// The finance and chemistry screens through orvenda-drive as a student meets them: opened
// from the APPS menu, typed on the keyboard, solved or entered, pictured at the phone's and
// the tablet's size.

#include "DrivePictures.h"
#include "DriveSession.h"

#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace orvenda::test {
namespace {

using nlohmann::json;

const std::string kOpenFinance = "key APPS\nkey 1\nkey 1\nwait idle\n";
const std::string kOpenMassCalc = "key APPS\nkey 2\nkey 2\nwait idle\n";

class FinanceChemistryDrive : public ::testing::TestWithParam<const char*> {};

// APPS ▸ Finance ▸ TVM Solver…: a 30-year loan of 200000 at 6 % typed field by field, the
// cursor moved up to PMT and Solve pressed gives the monthly payment, marked; "Begin"
// solves again for payments at the start of each month.
TEST_P(FinanceChemistryDrive, TheFinanceScreenSolvesThePayment)
{
    const std::string device = GetParam();
    const auto typed = driveScratch("tvm-typed-" + device + ".png");
    const auto solved = driveScratch("tvm-solved-" + device + ".png");
    const DriveRun run = driveScript(kOpenFinance + "dump\ntype 360\nkey DOWN\ntype 6\nkey DOWN\ntype 200000\nkey DOWN\nkey DOWN\n"
                                         "type 0\nkey DOWN\ntype 12\nkey DOWN\ntype 12\nkey DOWN\nkey UP\nkey UP\nkey UP\nwait idle\n"
                                         "dump\nshot " + typed.string() + "\npress Solve\nwait idle\ndump\nshot " + solved.string()
                                         + "\npress Begin\npress Solve\nwait idle\ndump\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 4u) << run.output;
    const json& opened = run.dumps[0];
    EXPECT_EQ(opened["screen"], 12);
    EXPECT_EQ(opened["top"]["title"], "Finance");
    ASSERT_TRUE(opened["finance"].is_object()) << opened;
    EXPECT_EQ(opened["finance"]["title"], "TVM SOLVER");
    EXPECT_EQ(opened["finance"]["current"], 0);
    EXPECT_EQ(opened["finance"]["timing"], "End");
    ASSERT_EQ(opened["finance"]["fields"].size(), 7u);
    EXPECT_EQ(opened["finance"]["fields"][5]["label"], " P/Y=");

    const json& before = run.dumps[1]["finance"];
    EXPECT_EQ(before["current"], 3);
    EXPECT_EQ(before["fields"][0]["text"], "360");
    EXPECT_EQ(before["fields"][2]["text"], "200000");
    EXPECT_FALSE(before["fields"][3]["solved"]);

    const json& after = run.dumps[2]["finance"];
    EXPECT_EQ(after["fields"][3]["text"], "-1199.10105");
    EXPECT_TRUE(after["fields"][3]["solved"]);
    for (int field : {0, 1, 2, 4, 5, 6})
        EXPECT_FALSE(after["fields"][field]["solved"]) << field;
    EXPECT_TRUE(run.dumps[2]["alerts"].empty());
    EXPECT_GT(changed(typed, solved), 20);

    const json& begin = run.dumps[3]["finance"];
    EXPECT_EQ(begin["timing"], "Begin");
    EXPECT_EQ(begin["fields"][3]["text"], "-1193.135373");
}

// APPS ▸ Chemistry ▸ Mass Calc…: H2O typed and entered gives two rows, O and H, and the
// molar mass 2 × weight(H) + weight(O) in the banner; the picture shows the table.
TEST_P(FinanceChemistryDrive, TheChemistryScreenComputesWater)
{
    const std::string device = GetParam();
    const auto empty = driveScratch("chem-empty-" + device + ".png");
    const auto water = driveScratch("chem-water-" + device + ".png");
    const DriveRun run = driveScript(kOpenMassCalc + "dump\nshot " + empty.string() + "\ntype H2O\nkey ENTER\nwait idle\ndump\nshot "
                                         + water.string() + "\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u) << run.output;
    const json& opened = run.dumps[0];
    EXPECT_EQ(opened["screen"], 14);
    EXPECT_EQ(opened["top"]["title"], "Chemistry");
    ASSERT_TRUE(opened["chemistry"].is_object()) << opened;
    EXPECT_EQ(opened["chemistry"]["prompt"], "formula:");
    EXPECT_EQ(opened["chemistry"]["banner"], "MOLAR MASS:");
    EXPECT_TRUE(opened["chemistry"]["rows"].empty());

    const json& shown = run.dumps[1];
    EXPECT_EQ(shown["entry"], "H2O");
    EXPECT_TRUE(shown["alerts"].empty());
    const json& chem = shown["chemistry"];
    ASSERT_EQ(chem["rows"].size(), 2u) << chem;
    EXPECT_EQ(chem["rows"][0][0], "O");
    EXPECT_EQ(chem["rows"][1][0], "H");
    EXPECT_EQ(chem["rows"][0][2], "1");
    EXPECT_EQ(chem["rows"][1][2], "2");
    const double oxygen = std::stod(chem["rows"][0][1].get<std::string>());
    const double hydrogen = std::stod(chem["rows"][1][1].get<std::string>());
    EXPECT_DOUBLE_EQ(chem["molarMass"].get<double>(), 2 * hydrogen + oxygen);
    EXPECT_EQ(chem["banner"], "MOLAR MASS:18.015");
    EXPECT_EQ(chem["headers"][0], "\u2B07Sym");
    EXPECT_GT(changed(empty, water), 100);
}

// A tap on the "#Atoms" header sorts by atom count; a formula with a fault is error 60
// with the cursor on it, and the table of before stays.
TEST_P(FinanceChemistryDrive, TheChemistryTableSortsByATapAndRefusesAFault)
{
    const std::string device = GetParam();
    const DriveRun first = driveScript(kOpenMassCalc + "type CH4\nkey ENTER\nwait idle\ndump\n", "--device " + device);
    ASSERT_EQ(first.exitCode, 0) << first.output;
    ASSERT_EQ(first.dumps.size(), 1u) << first.output;
    const json& layout = first.dumps[0]["chemistry"];
    EXPECT_EQ(layout["rows"][0][0], "H");
    const double edge1 = layout["columnEdges"][1], edge2 = layout["columnEdges"][2];
    const double y = layout["headerRow"][0].get<double>() + layout["headerRow"][1].get<double>() / 2;
    const std::string tapAtoms = "tap " + std::to_string(int((edge1 + edge2) / 2)) + " " + std::to_string(int(y)) + "\n";
    const DriveRun run = driveScript(kOpenMassCalc + "type CH4\nkey ENTER\nwait idle\n" + tapAtoms + "tap "
                                         + std::to_string(int((edge1 + edge2) / 2)) + " " + std::to_string(int(y)) + "\n"
                                         + "wait idle\ndump\nkey CLEAR\ntype CH4Q\nkey ENTER\nwait idle\ndump\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u) << run.output;
    const json& sorted = run.dumps[0]["chemistry"];
    EXPECT_EQ(sorted["sort"]["column"], 2);
    EXPECT_EQ(sorted["sort"]["ascending"], true) << "the second tap turns the order round";
    EXPECT_EQ(sorted["rows"][0][0], "C");
    EXPECT_EQ(sorted["headers"][2], "\u2B06#Atoms");
    const json& refused = run.dumps[1];
    EXPECT_EQ(refused["error"], 60);
    EXPECT_EQ(refused["cursor"], 3);
    EXPECT_EQ(refused["chemistry"]["rows"].size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Drive, FinanceChemistryDrive, ::testing::Values("phone", "tablet"));

} // namespace
} // namespace orvenda::test
