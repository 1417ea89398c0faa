// The app used while an entry or a program runs on the worker: the screens that read and
// write the calculator's state (the graph, the name menus, the catalogue, the table, the
// WINDOW form) keep answering, and ON still stops the run. A hung app is killed by the
// driver's watchdog and fails its test.

#include "drive/DriveSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

namespace {

using nlohmann::json;
using Session = orvenda::test::DriveRun;

Session drive(const std::string& script, const std::string& options, int watchdogSeconds)
{
    return orvenda::test::driveScript(script, options, watchdogSeconds);
}

// Long enough for any loaded machine; a hang never ends.
constexpr int kWatchdogSeconds = 240;

// A statement that never ends by itself, entered on the classic home screen (whose entry
// line takes ∑( as it is typed).
const std::string kClassic = "type Classic\nkey ENTER\nwait idle\n";
const std::string kEndless = "type ∑(K,K,1,1ᴱ99)\nkey ENTER\nwait running\n";
const std::string kEndlessEntry = kClassic + kEndless;

// The graph, the LIST and MATRIX menus and the catalogue, asked for while a long entry
// runs, wait for its answer as every key does; ON still stops the run at once, and then
// they open, reading the state the run left.
TEST(DriveStress, TheGraphTheNameMenusAndTheCatalogueWaitForALongEntry)
{
    struct Case {
        const char* open;
        const char* stop;
        int screen;
        json menu;
        const char* overlay;
    };
    for (const Case& c : {Case{"key GRAPH\n", "key ON\n", 8, nullptr, nullptr}, Case{"key 2ND\nkey STAT\n", "key ON\n", 0, 4, "Menu"},
                          Case{"key 2ND\nkey X⁻¹\n", "key ON\n", 0, 5, "Menu"},
                          Case{"key 2ND\nkey 0\n", "hkey Ctrl+/\n", 0, nullptr, "Catalog"}}) {
        const Session run = drive(kEndlessEntry + c.open + "dump\n" + c.stop + "wait idle\ndump\n", "", kWatchdogSeconds);
        ASSERT_EQ(run.exitCode, 0) << c.open << run.output;
        ASSERT_EQ(run.dumps.size(), 2u) << c.open;
        EXPECT_EQ(run.dumps[0]["screen"], 0) << c.open;
        EXPECT_FALSE(run.dumps[0].contains("overlay")) << c.open;
        EXPECT_EQ(run.dumps[1]["error"], 43) << c.open;
        EXPECT_EQ(run.dumps[1]["screen"], c.screen) << c.open;
        EXPECT_EQ(run.dumps[1]["menu"], c.menu) << c.open;
        EXPECT_EQ(run.dumps[1].value("overlay", json()), c.overlay ? json(c.overlay) : json()) << c.open;
    }
}

// Pictures of the window, each painting the screen in front afresh, with the main
// thread's queue run between them.
std::string repaints(int count)
{
    const std::string shot = "shot " + orvenda::test::driveScratch("repaint.png").string() + "\nwait 0\n";
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += shot;
    return lines;
}

// The automatic table draws its real values without switching the calculator to Real: a
// program in a+bi mode that shows the table and then takes √(-1) again and again while the
// table repaints never meets the nonreal error.
TEST(DriveStress, TheTableDrawsWithoutChangingTheModesOfARunningProgram)
{
    const Session run = drive("type \"X\"->Y₁\nkey ENTER\nwait idle\n"
                              "program CPLX\na+bi\nIndpntAuto\nDispTable\nWhile 1\n√(-1)->Z\nEnd\nend\n"
                              "type prgmCPLX\nkey ENTER\nwait running\n"
                              + repaints(40) + "key ON\nwait idle\ndump\n",
                              "", kWatchdogSeconds);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 1u);
    EXPECT_EQ(run.dumps[0]["screen"], 5);
    EXPECT_EQ(run.dumps[0]["table"]["auto"], true);
    EXPECT_EQ(run.dumps[0]["error"], 43);
}

// The asked-for table draws its rows while a program stores lists of changing length in
// TblInput: each paint draws one copy of the list, never a row the list has lost.
TEST(DriveStress, TheAskTableDrawsWhileAProgramStoresTblInput)
{
    const Session run = drive("type \"2X\"->Y₁\nkey ENTER\nwait idle\n"
                              "program LEN\nIndpntAsk\nDispTable\nWhile 1\nseq(I,I,1,randInt(1,40))->TblInput\nEnd\nend\n"
                              "type prgmLEN\nkey ENTER\nwait running\n"
                              + repaints(40) + "key ON\nwait idle\ndump\n",
                              "", kWatchdogSeconds);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 1u);
    EXPECT_EQ(run.dumps[0]["screen"], 5);
    EXPECT_EQ(run.dumps[0]["table"]["auto"], false);
    EXPECT_EQ(run.dumps[0]["error"], 43);
}

// WINDOW and its fields, typed while an entry runs, wait for it: ON breaks the run off and
// the fields then take what was typed for them, in order.
TEST(DriveStress, WindowFieldsTypedWhileAnEntryRunsTakeTheirValuesAfterIt)
{
    std::string fields;
    for (const char* value : {"2", "9", "1", "3", "8", "1"})
        fields += std::string("type ") + value + "\nkey DOWN\nwait 0\n";
    const Session run = drive(kClassic + kEndless + "key 0x401\n" + fields + "dump\nkey ON\nwait idle\ndump\n", "",
                              kWatchdogSeconds);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u);
    EXPECT_EQ(run.dumps[0]["screen"], 0);
    EXPECT_EQ(run.dumps[1]["screen"], 7);
    EXPECT_EQ(run.dumps[1]["error"], 43);
    EXPECT_EQ(run.dumps[1]["window"], json::parse("[2, 9, 3, 8]"));
}

// A screen key right after ENTER waits for the answer, which goes into the history with
// the line it answers.
TEST(DriveStress, AnAnswerArrivingAfterTheHomeScreenWasLeftIsKept)
{
    const Session run = drive("type 2+3\nkey ENTER\nkey Y=\nwait idle\nkey 2ND\nkey MODE\nwait idle\ndump\n", "",
                              kWatchdogSeconds);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 1u);
    EXPECT_EQ(run.dumps[0]["history"], json::parse(R"([{"input":"2+3","answer":"5"}])"));
}

} // namespace
