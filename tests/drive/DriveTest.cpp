// The app run by orvenda-drive as a user runs it: keys, ENTER, alerts, programs, quitting
// and starting again, the home and graph screens' pictures. (The case files go through
// the home screen's ENTER in the case runner.)

#include "drive/DrivePictures.h"
#include "drive/DriveSession.h"
#include "PictureChecks.h"

#include <QImage>
#include <QPoint>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using Session = orvenda::test::DriveRun;
using orvenda::test::greenNear;

// A file in this test run's own folder, which goes when the run ends.
fs::path scratch(const std::string& name) { return orvenda::test::driveScratch(name); }

// Runs the driver on the script; the dumps are the lines of its output that are JSON.
Session drive(const std::string& script, const std::string& options = "") { return orvenda::test::driveScript(script, options); }

json newest(const json& dump) { return dump["history"].empty() ? json() : dump["history"].back(); }

TEST(Drive, EnterAddsAnItemAndEmptyEnterRepeatsIt)
{
    const Session run = drive("key 2\nkey +\nkey 3\nkey ENTER\nwait idle\ndump\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    const json item = {{"input", "2+3"}, {"answer", "5"}};
    EXPECT_EQ(run.dumps[0]["history"], json::array({item}));
    EXPECT_EQ(run.dumps[0]["entry"], "");
    EXPECT_EQ(run.dumps[0]["ans"], "5");
    EXPECT_EQ(run.dumps[1]["history"], json::array({item, item}));
    EXPECT_EQ(run.dumps[1]["alerts"], json::array());
}

TEST(Drive, AFailingEntryReportsItsErrorAndAddsNothing)
{
    const Session run = drive("type 7\nkey ENTER\nwait idle\ntype 1/0\nkey ENTER\nwait idle\ndump\n"
                          "key 1\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    const json& failed = run.dumps[0];
    EXPECT_EQ(failed["error"], 14);
    EXPECT_EQ(failed["alerts"], json::parse(R"([{"title":"Calc Error","message":"Divide by 0","buttons":["OK"]}])"));
    EXPECT_EQ(failed["history"].size(), 1u);
    EXPECT_EQ(failed["ans"], "7");
    // The line stays, with the cursor on the failing op.
    EXPECT_EQ(failed["entry"], "1/0");
    EXPECT_EQ(failed["cursor"], 2);
    // The alert is modal: keys went to it, and ENTER dismissed it.
    EXPECT_EQ(run.dumps[1]["alerts"], json::array());
    EXPECT_EQ(run.dumps[1]["entry"], "1/0");
    EXPECT_EQ(run.dumps[1]["history"].size(), 1u);
}

TEST(Drive, AProgramShowsItsOutputAndTheHistoryKeepsTheCall)
{
    const Session run = drive("program SQ\nFor(I,1,3)\nDisp I²\nEnd\nI\nend\n"
                          "type prgmSQ\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_EQ(run.dumps[0]["output"], json::array({"1", "4", "9", "4"}));
    // The history keeps the screen: each number ends in the 32nd column.
    const std::string blanks(31, ' ');
    EXPECT_EQ(newest(run.dumps[0]),
        (json{{"input", "prgm»SQ"}, {"answer", blanks + "1\n" + blanks + "4\n" + blanks + "9\n" + blanks + "4"}}));
    EXPECT_EQ(run.dumps[0]["ans"], "4");
}

// Prompt A asks "A=?" and waits; the answer typed on the entry line goes to A, and the
// history item of the run names the program.
TEST(Drive, APromptAsksAndTheRunKeepsTheProgramsName)
{
    const Session run = drive("program ASK\nPrompt A\nDisp A*2\nend\n"
                              "type prgmASK\nkey ENTER\nwait idle\ndump\ntype 21\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["output"], json::array({"A=?"}));
    EXPECT_EQ(run.dumps[0]["history"], json::array());
    EXPECT_EQ(run.dumps[1]["output"][1], "42");
    EXPECT_EQ(newest(run.dumps[1])["input"], "prgm»ASK");
}

TEST(Drive, QuittingSavesForTheNextLaunch)
{
    const std::string data = scratch("data").string();
    fs::remove_all(data);
    const Session first = drive("type 6*7\nkey ENTER\nwait idle\n", "--data '" + data + "'");
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const Session second = drive("dump\n", "--data '" + data + "'");
    ASSERT_EQ(second.dumps.size(), 1u);
    EXPECT_EQ(newest(second.dumps[0]), json::parse(R"({"input":"6*7","answer":"42"})"));
}

TEST(Drive, AFirstRunGreetsUntilTheAlertIsDismissed)
{
    const Session run = drive("dump\ntype 5\nkey ENTER\nwait idle\ndump\n", "--first-run");
    ASSERT_EQ(run.dumps.size(), 2u);
    ASSERT_EQ(run.dumps[0]["alerts"].size(), 1u);
    EXPECT_EQ(run.dumps[0]["alerts"][0]["title"], "Welcome to Orvenda");
    // Typing went nowhere; ENTER pressed the greeting's OK.
    EXPECT_EQ(run.dumps[1]["alerts"], json::array());
    EXPECT_EQ(run.dumps[1]["history"], json::array());
    // Help pages are still to come: the greeting promises none.
    EXPECT_EQ(run.dumps[0]["alerts"][0]["message"].get<std::string>().find("help"), std::string::npos);
}

// A launch after an update greets with the new version; online its "Write a Review" opens
// the review page (OK only closes: the store's own review request is not on a desktop),
// offline the greeting has OK alone.
TEST(Drive, TheUpdateGreetingsReviewButtonOpensTheReviewPage)
{
    const std::string data = scratch("updated").string();
    const auto olderVersion = [&data] {
        const fs::path state = fs::path(data) / "memorySetting.cbor";
        std::ifstream in(state, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        json archive = json::from_cbor(bytes);
        ASSERT_TRUE(archive.contains("ver"));
        archive["ver"] = archive["ver"].get<int>() - 1;
        const std::vector<std::uint8_t> out = json::to_cbor(archive);
        std::ofstream(state, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(out.data()),
            static_cast<std::streamsize>(out.size()));
    };
    fs::remove_all(data);
    ASSERT_EQ(drive("", "--data '" + data + "'").exitCode, 0);
    olderVersion();
    const Session online = drive("dump\npress Write a Review\nwait idle\ndump\n", "--online --data '" + data + "'");
    ASSERT_TRUE(endedWithDumps(online, 2));
    ASSERT_EQ(online.dumps[0]["alerts"].size(), 1u);
    const json& greeting = online.dumps[0]["alerts"][0];
    EXPECT_TRUE(greeting["title"].get<std::string>().starts_with("Version ")) << greeting;
    EXPECT_EQ(greeting["buttons"], json::array({"Write a Review", "OK"}));
    EXPECT_FALSE(online.dumps[0].contains("opened"));
    EXPECT_EQ(online.dumps[1]["opened"], json::array({"https://orvenda.app/review?action=write-review"}));
    EXPECT_EQ(online.dumps[1]["alerts"], json::array());

    olderVersion();
    const Session offline = drive("dump\npress OK\ndump\n", "--offline --data '" + data + "'");
    ASSERT_EQ(offline.dumps.size(), 2u) << offline.output;
    ASSERT_EQ(offline.dumps[0]["alerts"].size(), 1u);
    EXPECT_EQ(offline.dumps[0]["alerts"][0]["buttons"], json::array({"OK"}));
    EXPECT_FALSE(offline.dumps[1].contains("opened"));
    // Greeted once: the next launch is a plain one.
    const Session again = drive("dump\n", "--online --data '" + data + "'");
    ASSERT_EQ(again.dumps.size(), 1u);
    EXPECT_EQ(again.dumps[0]["alerts"], json::array());

    // Unless told otherwise a driven app is offline, whatever the machine's network.
    olderVersion();
    const Session unsaid = drive("dump\n", "--data '" + data + "'");
    ASSERT_TRUE(endedWithDumps(unsaid, 1));
    ASSERT_EQ(unsaid.dumps[0]["alerts"].size(), 1u);
    EXPECT_EQ(unsaid.dumps[0]["alerts"][0]["buttons"], json::array({"OK"}));
}

// X,T,θ,n on an empty WINDOW field moves to the next field, as ENTER does; on a field with
// text it types X.
TEST(Drive, XOnAnEmptyWindowFieldMovesDown)
{
    const Session run = drive("key 0x401\nkey X,T,θ,N\ndump\ntype 2\nkey X,T,θ,N\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["field"], 1);
    EXPECT_EQ(run.dumps[0]["entry"], "");
    EXPECT_EQ(run.dumps[1]["field"], 1);
    EXPECT_EQ(run.dumps[1]["entry"], "2X");
}

// An open alert is in the picture, centred over the window with its title; F1's list of
// key commands does not hold the script and Escape closes it; "+" types a plus.
TEST(Drive, ShotsShowAlertsAndTheComputersKeysDoNotBlock)
{
    const fs::path greeted = scratch("greeted.png"), dismissed = scratch("dismissed.png"),
                   listed = scratch("listed.png");
    const Session run = drive("shot " + greeted.string() + "\npress OK\nshot " + dismissed.string()
                                  + "\nhkey F1\nshot " + listed.string() + "\nhkey Escape\nhkey 2\nhkey +\nhkey 3\ndump\n",
                              "--first-run");
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_EQ(run.dumps[0]["entry"], "2+3");
    const QImage withAlert(QString::fromStdString(greeted.string()));
    const QImage without(QString::fromStdString(dismissed.string()));
    const QImage withList(QString::fromStdString(listed.string()));
    ASSERT_FALSE(withAlert.isNull());
    ASSERT_EQ(withAlert.size(), without.size());
    ASSERT_EQ(withList.size(), without.size());
    // Across the middle of the window the alert's and the list's pixels replace the keys'.
    const int y = without.height() / 2;
    int alertChanged = 0, listChanged = 0;
    for (int x = 0; x < without.width(); ++x) {
        alertChanged += withAlert.pixel(x, y) != without.pixel(x, y);
        listChanged += withList.pixel(x, y) != without.pixel(x, y);
    }
    EXPECT_GT(alertChanged, without.width() / 2);
    EXPECT_GT(listChanged, without.width() / 2);
}

// A program waiting at Prompt leaves the keys free: MODE and VARS open over the keyboard,
// and ON (the keypad's under the menu, or Ctrl+/) still stops the program.
TEST(Drive, OnStopsAWaitingProgramUnderTheModeScreenAndTheVarsMenu)
{
    const std::string start = "program P\nPrompt A\nend\ntype prgmP\nkey ENTER\nwait idle\n";
    for (const char* stop : {"key MODE\nhkey Ctrl+/\n", "key VARS\nkey ON\n", "key VARS\nhkey Ctrl+/\n"}) {
        const Session run = drive(start + stop + "wait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 1));
        EXPECT_EQ(run.dumps[0]["error"], 43) << stop;
        EXPECT_EQ(run.dumps[0]["output"].back(), "User break") << stop;
    }
}

// The graph screen covers the keyboard: Ctrl+/ (the computer's ON) still stops an entry
// that runs with the graph in front, as the drawn ON key does.
TEST(Drive, CtrlSlashStopsARunningEntryWhileTheGraphIsInFront)
{
    const Session run = drive("program G\nDispGraph\nWhile 1\nEnd\nend\ntype prgmG\nkey ENTER\nwait running\n"
                              "wait screen 8\ndump\nhkey Ctrl+/\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["screen"], 8);
    EXPECT_EQ(run.dumps[1]["error"], 43);
}

// With no help page to show, the help key swallows no key: ON then 7 types 7.
// The help key then a key opens that key's help page; once it is closed keys type again.
TEST(Drive, TheHelpKeyOpensTheTouchedKeysPage)
{
    const Session run = drive("key ON\nkey SIN\ndump\nhkey Escape\ndump\nkey 7\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_EQ(run.dumps[0]["help"]["view"], "function help");
    EXPECT_EQ(run.dumps[0]["help"]["page"], "sin(");
    EXPECT_EQ(run.dumps[0]["entry"], "");
    EXPECT_EQ(run.dumps[1]["help"], nullptr);
    EXPECT_EQ(run.dumps[2]["entry"], "7");
}

// On a tablet the help page of a touched key stands as a panel right above the key, centred
// on it (TAN's further right than SIN's), the key itself left in view; on a phone it fills
// the window.
TEST(Drive, TheTabletsHelpPanelStandsAboveTheTouchedKey)
{
    const fs::path png = scratch("help-panel.png");
    const Session run = drive("key ON\nkey SIN\ndump\nshot " + png.string() + "\nhkey Escape\nkey ON\nkey TAN\ndump\n",
                              "--device tablet");
    ASSERT_TRUE(endedWithDumps(run, 2));
    const json& sin = run.dumps[0]["help"];
    const json& tan = run.dumps[1]["help"];
    EXPECT_EQ(sin["page"], "sin(");
    EXPECT_EQ(tan["page"], "tan(");
    const QRect a(sin["frame"][0], sin["frame"][1], sin["frame"][2], sin["frame"][3]);
    const QRect b(tan["frame"][0], tan["frame"][1], tan["frame"][2], tan["frame"][3]);
    EXPECT_EQ(a.width(), 400);
    EXPECT_GT(a.height(), 300);
    EXPECT_NE(a, QRect(184, 112, 400, 800));
    // The keys share a row: the panels end at the same height, TAN's further right.
    EXPECT_EQ(a.bottom(), b.bottom());
    EXPECT_GT(b.x(), a.x());
    const QImage shot(QString::fromStdString(png.string()));
    ASSERT_EQ(shot.size(), QSize(768, 1024));
    // The page is light; the key under the panel's middle is dark.
    EXPECT_GT(qGray(shot.pixel(a.center().x(), a.top() + 60)), 200);
    int dark = 0;
    for (int y = a.bottom() + 1; y < a.bottom() + 80 && y < shot.height(); ++y)
        dark += qGray(shot.pixel(a.center().x(), y)) < 80;
    EXPECT_GT(dark, 10);

    const Session phone = drive("key ON\nkey SIN\ndump\n");
    ASSERT_TRUE(endedWithDumps(phone, 1));
    EXPECT_EQ(phone.dumps[0]["help"]["frame"], json({0, 0, 390, 844}));
}

TEST(Drive, AShotIsAPictureOfTheWindowAtItsSize)
{
    const fs::path png = scratch("window.png");
    fs::remove(png);
    const Session run = drive("shot " + png.string() + "\n", "--size 300x500");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::ifstream in(png, std::ios::binary);
    std::string header(24, '\0');
    in.read(header.data(), 24);
    ASSERT_EQ(header.substr(1, 3), "PNG");
    auto be32 = [&](int at) {
        return (static_cast<unsigned char>(header[at]) << 24) | (static_cast<unsigned char>(header[at + 1]) << 16)
            | (static_cast<unsigned char>(header[at + 2]) << 8) | static_cast<unsigned char>(header[at + 3]);
    };
    EXPECT_EQ(be32(16), 300u);
    EXPECT_EQ(be32(20), 500u);
}

TEST(Drive, TheYEqScreenEditsEquationsInBothFormsAndSwitchesParametricPairs)
{
    const fs::path png = scratch("yeq.png");
    fs::remove(png);
    const Session run = drive("key Y=\ntype X²\nkey DOWN\ntype sin(X)\ndump\nshot " + png.string() + "\n"
                              "key HOME\ntype Classic\nkey ENTER\nwait idle\n"
                              "key Y=\nkey DOWN\ntype X²\ndump\n"
                              "key HOME\ntype Param\nkey ENTER\nwait idle\n"
                              "key Y=\ntype cos(T)\nkey DOWN\ntype sin(T)\ntap 20 16\ndump\ntap 20 16\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 4));
    const json& mathPrint = run.dumps[0];
    EXPECT_EQ(mathPrint["screen"], 1);
    EXPECT_EQ(mathPrint["yEq"]["rows"][0], json::parse(R"({"name":"Y₁","text":"X²","on":true,"style":2,"color":[0,1,0]})"));
    EXPECT_EQ(mathPrint["yEq"]["rows"][1]["text"], "sin(X)");
    EXPECT_EQ(mathPrint["yEq"]["current"], "Y₂");
    EXPECT_TRUE(fs::exists(png));
    // The screen keeps its equation: Y₂, and one row down Y₃.
    const json& classic = run.dumps[1]["yEq"];
    EXPECT_EQ(classic["rows"][2]["text"], "X²");
    EXPECT_EQ(classic["rows"][1]["text"], "sin(X)");
    // A touch left of the style icon switches the pair, X and Y together.
    for (int i : {2, 3}) {
        const json& rows = run.dumps[static_cast<std::size_t>(i)]["yEq"]["rows"];
        EXPECT_EQ(rows[0]["text"], "cos(T)");
        EXPECT_EQ(rows[0]["on"], i == 3);
        EXPECT_EQ(rows[1]["on"], i == 3);
    }
}

TEST(Drive, KeysArePressedOnTheDrawnKeyboardAndTheComputersKeyboard)
{
    // 2ND SIN . 5 ) ENTER: sin⁻¹(.5) in degrees.
    const Session run = drive("type Degree\nkey ENTER\nwait idle\n"
                              "key 2ND\nkey SIN\nkey .\nkey 5\nkey )\nkey ENTER\nwait idle\ndump\n"
                              "hkey Shift+A\nhkey Alt+,\nhkey 2\ndump\nhkey Shift+Backspace\ndump\n"
                              "hkey Ctrl+Shift+G\ndump\nhkey Ctrl+G\ndump\nhkey Escape\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 6));
    EXPECT_EQ(newest(run.dumps[0]), json::parse(R"j({"input":"sin⁻¹(.5)","answer":"30"})j"));
    EXPECT_EQ(run.dumps[1]["entry"], "A≤2");
    EXPECT_EQ(run.dumps[2]["entry"], "");
    // The window editor, the graph, and home again.
    EXPECT_EQ(run.dumps[3]["screen"], 7);
    EXPECT_EQ(run.dumps[4]["screen"], 8);
    EXPECT_EQ(run.dumps[5]["screen"], 0);
}

TEST(Drive, MenusOpenByTheirKeysAndPickByTheirs)
{
    struct Case {
        std::string keys;
        std::string entry;
        int screen;
    };
    const std::vector<Case> cases = {
        {"key MATH\nkey ENTER", "Ans▸Frac", 0},
        {"key 2ND\nkey MATH\nkey ENTER", "Ans=", 0},
        {"key VARS\nkey RIGHT\nkey ENTER", "Y₁", 0},
        {"key 2ND\nkey STAT\nkey ENTER", "L₁", 0},
        {"key 2ND\nkey X⁻¹\nkey ENTER", "[A]", 0},
        {"key 2ND\nkey VARS\nkey ENTER", "normalpdf(", 0},
        {"key 2ND\nkey PRGM\nkey ENTER", "ClrDraw", 0},
        {"key 2ND\nkey +\nkey 2", "Clear Entries", 0},
        {"key 2ND\nkey 0\nhkey Return", "a+bi", 0},
        {"key VARS\nkey 1\nhkey Escape\nhkey Escape", "", 0},
        // MATH, NUM, "n/d": the fraction template, filled and evaluated.
        {"key MATH\nhkey Right\nhkey D\ntype 1\nkey DOWN\ntype 2\nkey ENTER\nwait idle\nkey 2ND\nkey (−)", "Ans", 0},
        {"key APPS\nkey 4\nkey 1", "", 20},
    };
    std::string script;
    for (const Case& c : cases)
        script += c.keys + "\ndump\nkey CLEAR\nkey HOME\n";
    const Session run = drive(script);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(run.dumps[i]["entry"], cases[i].entry) << cases[i].keys;
        EXPECT_EQ(run.dumps[i]["screen"], cases[i].screen) << cases[i].keys;
    }
    EXPECT_EQ(run.dumps[10]["ans"], "¹/₂");
}

TEST(Drive, TheTraceStepsAlongY1ByAPointOfX)
{
    // A 400-point-wide graph of the factory window -1..1: a point is 0.005 of x. TRACE
    // (key code 0x403) has no key of its own on the keyboard.
    const Session run = drive("type \"X²\"->Y₁\nkey ENTER\nwait idle\nkey GRAPH\nkey 0x403\ndump\n"
                              "key RIGHT\nkey RIGHT\nkey RIGHT\nkey RIGHT\nkey RIGHT\ndump\nkey CLEAR\ndump\n",
                              "--size 400x600");
    ASSERT_TRUE(endedWithDumps(run, 3));
    const json& start = run.dumps[0]["trace"];
    EXPECT_EQ(run.dumps[0]["screen"], 8);
    EXPECT_EQ(start["eq"], 0x5E10);
    EXPECT_EQ(start["x"], 0);
    EXPECT_EQ(start["y"], 0);
    const json& moved = run.dumps[1]["trace"];
    EXPECT_NEAR(moved["x"].get<double>(), 0.025, 1e-12);
    EXPECT_NEAR(moved["y"].get<double>(), 0.000625, 1e-12);
    EXPECT_EQ(moved["feature"], 0);
    EXPECT_EQ(run.dumps[2]["screen"], 0);
    EXPECT_EQ(run.dumps[2]["trace"], nullptr);
}

TEST(Drive, AnUnknownLineStopsTheScript)
{
    const Session run = drive("dump\njump 3\ndump\n");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.dumps.size(), 1u);
    EXPECT_NE(run.output.find("line 2: unknown line «jump 3»"), std::string::npos) << run.output;
}

// ---- The home screens ----

std::string readFile(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The display's LCD panel along a row near the top: from the first to the last light pixel
// (the window around it is black or the tablet's dark blue).
std::pair<int, int> lcdColumns(const QImage& image)
{
    const int y = 20;
    int left = 0;
    while (left < image.width() && qGray(image.pixel(left, y)) < 100)
        ++left;
    int right = image.width() - 1;
    while (right > left && qGray(image.pixel(right, y)) < 100)
        --right;
    return {left, right};
}

struct HomeRun {
    std::string script;
    std::string options;
};

class HomeScreenDrive : public ::testing::TestWithParam<HomeRun> {};

// The script's dump is the one kept with it; the history's text is drawn from the panel's
// left edge and the answers end at its right edge; the cursor blinks between two shots.
TEST_P(HomeScreenDrive, DrawsTheHistoryAndBlinksTheCursor)
{
    const HomeRun& run = GetParam();
    const fs::path shots = scratch(run.script + (run.options.empty() ? "-phone" : "-tablet"));
    fs::create_directories(shots);
    std::string script = readFile(fs::path(ORVENDA_HOME_SCRIPTS) / (run.script + ".txt"));
    for (std::size_t at = 0; (at = script.find("SHOTS", at)) != std::string::npos;)
        script.replace(at, 5, shots.string());
    const Session session = drive(script, run.options);
    ASSERT_TRUE(endedWithDumps(session, 1));
    // The kept dump serves phone and tablet: the keyboard's place, and the history's and the
    // entry line's, are each device's own.
    json dump = session.dumps[0];
    EXPECT_TRUE(dump["keyboard"].is_object());
    EXPECT_TRUE(dump["home"].is_object());
    dump.erase("keyboard");
    dump.erase("home");
    EXPECT_EQ(dump, json::parse(readFile(fs::path(ORVENDA_HOME_SCRIPTS) / (run.script + ".json"))));

    const QImage on(QString::fromStdString((shots / "on.png").string()));
    const QImage off(QString::fromStdString((shots / "off.png").string()));
    ASSERT_FALSE(on.isNull());
    ASSERT_EQ(on.size(), off.size());
    const auto [lcdLeft, lcdRight] = lcdColumns(on);
    ASSERT_LT(lcdLeft, lcdRight);
    // Text: the darkest pixels, in the history's band at the top of the display.
    int textLeft = on.width();
    int textRight = -1;
    for (int y = 0; y < on.height() / 5; ++y)
        for (int x = lcdLeft; x <= lcdRight; ++x)
            if (qGray(on.pixel(x, y)) < 50) {
                textLeft = std::min(textLeft, x);
                textRight = std::max(textRight, x);
            }
    EXPECT_LE(textLeft - lcdLeft, 12);
    EXPECT_LE(lcdRight - textRight, 12);
    EXPECT_GE(lcdRight - textRight, 0);

    // Only the cursor's cell changed.
    QRect changed;
    for (int y = 0; y < on.height(); ++y)
        for (int x = 0; x < on.width(); ++x)
            if (on.pixel(x, y) != off.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_LT(changed.width(), 40);
    EXPECT_LT(changed.height(), 40);
    EXPECT_GE(changed.left(), lcdLeft);
}

INSTANTIATE_TEST_SUITE_P(Drive, HomeScreenDrive,
                         ::testing::Values(HomeRun{"mathprint", ""}, HomeRun{"mathprint", "--device tablet"},
                                           HomeRun{"classic", ""}, HomeRun{"classic", "--device tablet"}),
                         [](const auto& info) {
                             return info.param.script + (info.param.options.empty() ? "Phone" : "Tablet");
                         });

// The display's LCD panel: its light columns below the first line, from its top edge (the
// tablet's window has a dark frame around it) to a fifth of the window down.
QRect lcdPanel(const QImage& image)
{
    const int below = image.height() / 6;
    int left = 0, right = image.width() - 1;
    while (left < right && qGray(image.pixel(left, below)) < 100)
        ++left;
    while (right > left && qGray(image.pixel(right, below)) < 100)
        --right;
    int top = 0;
    while (top < below && qGray(image.pixel((left + right) / 2, top)) < 100)
        ++top;
    return QRect(QPoint(left, top), QPoint(right, image.height() / 5));
}

bool darkText(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 50; }

// The height of the tallest run of rows with dark text in the panel: a line of text, or
// the cursor's block beside it.
int textHeight(const QImage& image)
{
    const QRect panel = lcdPanel(image);
    int tallest = 0, run = 0;
    for (int y = panel.top(); y <= panel.bottom(); ++y) {
        bool dark = false;
        for (int x = panel.left(); x < panel.right() && !dark; ++x)
            dark = darkText(image, x, y) && darkText(image, x + 1, y);
        run = dark ? run + 1 : 0;
        tallest = std::max(tallest, run);
    }
    return tallest;
}

// MathPrint text on a fresh tablet is drawn at the tablet's base size, 30 against the
// phone's 20.
// A state file whose split is beyond what a float holds launches with the factory split:
// both home screens draw the history and the entry line (the split once became −∞ and the
// layout rounded it).
TEST(Drive, AStateFileWithADamagedSplitStillShowsTheHomeScreen)
{
    for (const bool mathPrint : {true, false}) {
        SCOPED_TRACE(mathPrint ? "MathPrint" : "classic");
        const fs::path data = scratch(mathPrint ? "split-mathprint" : "split-classic");
        fs::remove_all(data);
        ASSERT_EQ(drive("type 6*7\nkey ENTER\nwait idle\n", "--data '" + data.string() + "'").exitCode, 0);
        const fs::path state = data / "memorySetting.cbor";
        const std::string bytes = readFile(state);
        json archive = json::from_cbor(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        archive["split"] = -1e300;
        archive["mathPrt"] = mathPrint;
        const std::vector<std::uint8_t> damaged = json::to_cbor(archive);
        std::ofstream(state, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(damaged.data()), static_cast<std::streamsize>(damaged.size()));

        const fs::path shot = scratch(mathPrint ? "split-mathprint.png" : "split-classic.png");
        const Session session = drive("type 1+1\nkey ENTER\nwait idle\nshot " + shot.string() + "\ndump\n",
                                      "--data '" + data.string() + "'");
        ASSERT_TRUE(endedWithDumps(session, 1));
        EXPECT_EQ(newest(session.dumps[0]), json::parse(R"({"input":"1+1","answer":"2"})"));
        const QImage picture(QString::fromStdString(shot.string()));
        ASSERT_FALSE(picture.isNull());
        const auto [lcdLeft, lcdRight] = lcdColumns(picture);
        ASSERT_LT(lcdLeft, lcdRight);
        int dark = 0;
        for (int y = 0; y < picture.height() / 5; ++y)
            for (int x = lcdLeft; x <= lcdRight; ++x)
                dark += qGray(picture.pixel(x, y)) < 50;
        EXPECT_GT(dark, 50) << "the history's text is drawn";
    }
}

TEST(Drive, TheTabletDrawsMathPrintAtItsOwnBaseSize)
{
    std::map<std::string, int> heights;
    for (const std::string device : {"phone", "tablet"}) {
        const fs::path png = scratch("eight-" + device + ".png");
        const Session run = drive("type 8\nshot " + png.string() + "\n", "--device " + device);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        heights[device] = textHeight(QImage(QString::fromStdString(png.string())));
    }
    ASSERT_GT(heights["phone"], 5);
    EXPECT_NEAR(heights["tablet"] / double(heights["phone"]), 1.5, 0.2) << heights["phone"] << " " << heights["tablet"];
}

// Inputs, answers and the cursor keep 4 points from the display's edges, in MathPrint and
// in the classic display: a root's hook, a fraction's bar and an answer's last glyph stay
// whole, and the first line clears the top.
TEST(Drive, TextKeepsClearOfTheDisplaysEdges)
{
    for (const std::string display : {"", "type Classic\nkey ENTER\nwait idle\nkey CLEAR\nkey CLEAR\n"})
    for (const std::string device : {"phone", "tablet"}) {
        const fs::path png = scratch("edges-" + device + ".png");
        const Session run = drive(display + "type √(2\nkey ENTER\nwait idle\ntype 2+3ɩ̇\nkey ENTER\nwait idle\n"
                                  "type 1/3\nkey ENTER\nwait idle\nshot " + png.string() + "\n",
                                  "--device " + device);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const QImage image(QString::fromStdString(png.string()));
        const QRect panel = lcdPanel(image);
        // Inside the panel's frame, whose corners are dark.
        const QRect inside = panel.adjusted(2, 2, -2, 0);
        int left = image.width(), right = -1, top = image.height();
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (darkText(image, x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                }
        const std::string what = device + (display.empty() ? " MathPrint" : " classic");
        ASSERT_GE(right, 0) << what;
        EXPECT_GE(left - panel.left(), 3) << what;
        EXPECT_GE(panel.right() - right, 3) << what;
        EXPECT_GE(top - panel.top(), 3) << what;
    }
}

// Switching to the classic display keeps the history on screen: the entry line rests on
// the bottom under the seven answers rather than near the top.
TEST(Drive, SwitchingToClassicKeepsTheHistoryInView)
{
    const fs::path png = scratch("classic-switch.png");
    std::string script;
    for (int i = 1; i <= 7; ++i)
        script += "type " + std::to_string(i) + "\nkey ENTER\nwait idle\n";
    const Session run = drive(script + "type Classic\nkey ENTER\nwait idle\nshot " + png.string() + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const QImage image(QString::fromStdString(png.string()));
    // The cursor's block at the start of the entry line, above the keyboard (from y 312).
    int cursorTop = -1;
    for (int y = 0; y < 312 && cursorTop < 0; ++y)
        if (darkText(image, 6, y) && darkText(image, 9, y))
            cursorTop = y;
    EXPECT_GT(cursorTop, 250);
}

// Eight answers, then the window turned and back, on the phone (to its side and to the
// least window) and on the tablet, in MathPrint and in the classic display: the history
// and the entry line stand where they stood before each turn (the history down to the
// entry line on the display's bottom), the next answer too; and a launch at the upright
// size after the last one quit turned, or with the graph in front, stands them there as well.
TEST(Drive, TheHistoryFillsItsDisplayAfterEveryTurn)
{
    struct Device {
        std::string options, upright;
        std::vector<std::string> turned;
    };
    for (const Device& device : {Device{"--device phone", "390x844", {"844x390", "320x390"}}, Device{"--device tablet", "768x1024", {"1024x768"}}})
        for (const std::string display : {"", "type Classic\nkey ENTER\nwait idle\nkey CLEAR\nkey CLEAR\n"}) {
            const std::string what = device.options + (display.empty() ? " MathPrint" : " classic");
            std::string entries = display;
            for (int i = 1; i <= 8; ++i)
                entries += "type " + std::to_string(i) + "+" + std::to_string(i) + "\nkey ENTER\nwait idle\n";
            std::string turns;
            for (const std::string& turned : device.turned)
                turns += "size " + turned + "\nwait idle\nsize " + device.upright + "\nwait idle\ndump\n";
            const Session run = drive(entries + "dump\n" + turns + turns + "type 9+9\nkey ENTER\nwait idle\ndump\n", device.options);
            ASSERT_TRUE(endedWithDumps(run, 2 + 2 * device.turned.size())) << what;
            const json& before = run.dumps[0]["home"];
            ASSERT_TRUE(before.is_object()) << what;
            for (std::size_t k = 1; k < run.dumps.size(); ++k)
                EXPECT_EQ(run.dumps[k]["home"], before) << what << ", dump " << k;
            // The last launch ended turned on the home screen, or with the graph in front
            // (turned before it or under it).
            const std::string turned = "size " + device.turned.front() + "\nwait idle\n";
            for (const std::string& ending : {turned, turned + "key GRAPH\nwait idle\n", "key GRAPH\nwait idle\n" + turned + "size " + device.upright + "\nwait idle\n" + turned}) {
                const fs::path data = scratch("turned-history");
                fs::remove_all(data);
                const std::string folder = " --data '" + data.string() + "'";
                ASSERT_EQ(drive(entries + ending, device.options + folder).exitCode, 0) << what;
                const Session next = drive("dump\n", device.options + folder);
                ASSERT_TRUE(endedWithDumps(next, 1)) << what;
                EXPECT_EQ(next.dumps[0]["home"], before) << what << ", the next launch after " << ending;
            }
        }
}

// On the tablet, in MathPrint and in the classic display, a program's screen in the
// history ends at the display's right edge where answers end: every line of text that ends
// right of the display's middle ends within a character of the others.
TEST(Drive, AProgramsScreenInTheHistoryEndsWhereAnswersEnd)
{
    for (const std::string display : {"", "type Classic\nkey ENTER\nwait idle\n"}) {
        const fs::path png = scratch("program-screen.png");
        const Session run = drive("program DD\nDisp 12345\nDisp \"HELLO\"\nend\n" + display
                                      + "type 1+1\nkey ENTER\ntype prgmDD\nkey ENTER\nwait idle\nshot " + png.string() + "\n",
                                  "--device tablet");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const QImage image(QString::fromStdString(png.string()));
        const QRect panel = lcdPanel(image);
        // The right end of each band of rows with text.
        std::vector<int> ends;
        int end = -1;
        for (int y = panel.top() + 2; y <= panel.bottom(); ++y) {
            int right = -1;
            for (int x = panel.left() + 2; x < panel.right() - 2; ++x)
                if (darkText(image, x, y))
                    right = x;
            if (right < 0 && end >= 0) {
                ends.push_back(end);
                end = -1;
            } else if (right >= 0) {
                end = std::max(end, right);
            }
        }
        std::vector<int> rightEnds;
        for (const int e : ends)
            if (e > panel.center().x())
                rightEnds.push_back(e);
        ASSERT_GE(rightEnds.size(), 3u) << display;
        const auto [least, most] = std::minmax_element(rightEnds.begin(), rightEnds.end());
        EXPECT_LE(*most - *least, 16) << (display.empty() ? "MathPrint" : "classic");
    }
}

// ---- What a newcomer does, with the mouse and the keys ----

// MATH opens over the window and a click on its Cancel (at the bar's left end) closes it.
TEST(Drive, AMenuClosesWithAClick)
{
    const Session run = drive("key MATH\ndump\ntap 30 20\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["menu"], 0);
    EXPECT_EQ(run.dumps[1]["menu"], nullptr);
    EXPECT_EQ(run.dumps[1]["entry"], "");
}

// Y₁=X²−4 traced a few points right of 0; Calc opens the sheet, and 0 then ENTER clicked on
// its compact keypad trace back to X = 0, Y = −4.
TEST(Drive, TheCalculateKeypadTakesClicks)
{
    const Session run = drive("type \"X²—4\"->Y₁\nkey ENTER\nwait idle\nkey GRAPH\nwait idle\nkey 0x403\n"
                              "key RIGHT\nkey RIGHT\nkey RIGHT\ndump\ntap 360 797\nwait idle\n"
                              "tap 117 795\ntap 351 795\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    ASSERT_NE(run.dumps[0]["trace"], nullptr);
    EXPECT_GT(run.dumps[0]["trace"]["x"].get<double>(), 0);
    ASSERT_NE(run.dumps[1]["trace"], nullptr);
    EXPECT_EQ(run.dumps[1]["trace"]["x"], 0);
    EXPECT_EQ(run.dumps[1]["trace"]["y"], -4);
}

// The table asked for 47 and 5, left with its cursor on the row after them (on X's column,
// then on Y₁'s), and come back to by every way into it: TABLE from home and from the graph,
// its id, TABLE SETUP's way back and the next launch. The cursor stands on the first row
// and the line describes that cell: 47, or Y₁'s 2209. The table beside the graph (G-T)
// describes its cell as the graph shows, at first and after Y₁ changed meanwhile.
TEST(Drive, TheTablesLineDescribesTheCellUnderTheCursorAtEveryWayIn)
{
    const std::string quit = "key 2ND\nkey MODE\nwait idle\n";
    const std::string enter = "key ENTER\nwait idle\n";
    const std::vector<std::pair<std::string, std::string>> ways{
        {"TABLE", "key TABLE\nwait idle\n"},
        {"TABLE from the graph", "key GRAPH\nwait idle\nkey TABLE\nwait idle\n"},
        {"its id", "open 5\nwait idle\n"},
        {"TABLE SETUP and TABLE", "key 0x416\nwait idle\nkey TABLE\nwait idle\n"},
    };
    const fs::path data = scratch("table-ways");
    fs::remove_all(data);
    fs::create_directories(data);
    const std::string options = "--data '" + data.string() + "'";
    std::string script = "type \"X²\"->Y₁\n" + enter + "type IndpntAsk\n" + enter
        + "key TABLE\nwait idle\ntype 47\n" + enter + "type 5\n" + enter;
    for (const char* column : {"", "key RIGHT\n"})
        for (std::size_t k = 0; k < ways.size(); ++k)
            script += "key DOWN\nkey DOWN\n" + std::string(k == 0 ? column : "") + "dump\n" + quit + ways[k].second + "dump\n";
    script += quit + "type G-T\n" + enter + "key GRAPH\nwait idle\ndump\npress Down\npress Right\nwait idle\n" + quit
        + "key Y=\nwait idle\nkey CLEAR\ntype X+1\nkey GRAPH\nwait idle\ndump\n" + quit + "type Full\n" + enter;
    const Session run = drive(script, options);
    ASSERT_TRUE(endedWithDumps(run, 4 * ways.size() + 2));
    for (const auto& [dump, row, col, shows] : {std::tuple{4 * ways.size(), 0, 0, "47"}, std::tuple{4 * ways.size() + 1, 1, 1, "6"}}) {
        const json& beside = run.dumps[dump]["table"];
        ASSERT_TRUE(beside.is_object()) << run.dumps[dump];
        EXPECT_EQ(beside["row"], row);
        EXPECT_EQ(beside["col"], col);
        EXPECT_EQ(beside["shows"], std::string(shows)) << "beside the graph";
    }
    for (std::size_t i = 0; i < 2 * ways.size(); ++i) {
        const std::string where = ways[i % ways.size()].first + (i < ways.size() ? " on X" : " on Y₁");
        const json& left = run.dumps[2 * i]["table"];
        const json& back = run.dumps[2 * i + 1]["table"];
        ASSERT_TRUE(left.is_object() && back.is_object()) << where << run.dumps[2 * i + 1];
        EXPECT_EQ(left["row"], 2) << where;
        EXPECT_EQ(back["row"], 0) << where;
        EXPECT_EQ(back["col"], left["col"]) << where;
        EXPECT_EQ(back["shows"], i < ways.size() ? "47" : "2209") << where;
    }
    // The next launch, left on its last row first.
    const Session next = drive("key TABLE\nwait idle\nkey DOWN\nkey DOWN\n" + quit + "key TABLE\nwait idle\ndump\n", options);
    ASSERT_TRUE(endedWithDumps(next, 1));
    const json& table = next.dumps[0]["table"];
    ASSERT_TRUE(table.is_object()) << next.dumps[0];
    EXPECT_EQ(table["row"], 0);
    EXPECT_EQ(table["shows"], table["col"] == 0 ? "47" : "2209");
}

TEST(Drive, TableSetupAutoStartsTheTableAtTblStart)
{
    const Session run = drive("key 0x416\ntype 2\nkey ENTER\nwait idle\ntap 100 290\nkey TABLE\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_EQ(run.dumps[0]["screen"], 5);
    EXPECT_EQ(run.dumps[0]["table"]["auto"], true);
    EXPECT_EQ(run.dumps[0]["table"]["start"], 2);
}

// ---- Every screen lets the user go ----

// Pixels that differ between two pictures of the same size, every other pixel looked at.
int changedPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int changed = 0;
    for (int y = 0; y < a.height(); y += 2)
        for (int x = 0; x < a.width(); x += 2)
            changed += a.pixel(x, y) != b.pixel(x, y);
    return changed;
}

QImage picture(const fs::path& file) { return QImage(QString::fromStdString(file.string())); }

// Every screen and overlay id the app knows, opened from the home screen, closes by Escape
// and, opened again, by a click: on its own control when it has one (the dump names it),
// else on the keyboard's QUIT (2ND, MODE). The dump then names the home screen on top and
// the picture is the home screen's as it was, keyboard included.
TEST(Drive, EveryScreenClosesByEscapeAndByAClick)
{
    const Session listing = drive("screens\n");
    ASSERT_TRUE(endedWithDumps(listing, 1));
    std::vector<std::pair<int, std::string>> ids;
    int programEditor = -1;
    for (const json& screen : listing.dumps[0]["screens"]) {
        if (screen["title"] == "Program editor")
            programEditor = screen["id"].get<int>();
        if (screen["id"] != 0 && screen["id"] != 100) // the home screens are where closing leads
            ids.emplace_back(screen["id"].get<int>(), screen["title"].get<std::string>());
    }
    ASSERT_GT(ids.size(), 20u);
    // Where each goes back to: home, but the debugger leaves its program in the editor.
    const auto backOf = [&](const std::string& title) { return title == "Debugger" ? programEditor : 0; };
    const auto homeBack = [&](const std::string& title) { return backOf(title) == 0; };

    const fs::path folder = scratch("closing");
    fs::create_directories(folder);
    const auto shotOf = [&](int id, const std::string& what) { return folder / (std::to_string(id) + "-" + what + ".png"); };
    // Escape first; the dumps of the open screens tell which have a control of their own.
    std::string script = "wait idle\nshot " + (folder / "bare.png").string() + "\n";
    // From the program editor the debugger left, Escape leads home.
    const auto homeAgain = [&](const std::string& title) { return homeBack(title) ? std::string() : std::string("hkey Escape\nwait idle\n"); };
    for (const auto& [id, title] : ids)
        script += "open " + std::to_string(id) + "\nwait idle\ndump\nshot " + shotOf(id, "open").string()
            + "\nhkey Escape\nwait idle\ndump\nshot " + shotOf(id, "key").string() + "\n" + homeAgain(title);
    const Session byKey = drive(script);
    ASSERT_EQ(byKey.exitCode, 0) << byKey.output;
    ASSERT_EQ(byKey.dumps.size(), 2 * ids.size());
    const QImage bare = picture(folder / "bare.png");
    script = "wait idle\n";
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const auto& [id, title] = ids[k];
        const json& opened = byKey.dumps[2 * k];
        const json& closed = byKey.dumps[2 * k + 1];
        EXPECT_EQ(opened["top"]["id"], id) << title;
        EXPECT_EQ(opened["top"]["title"], title) << title;
        // The geometry app is its own screen, not a placeholder.
        if (title == "Geometry") {
            EXPECT_TRUE(opened["geometry"].is_object());
        }
        // The apps' screens (no longer placeholders) name what they show.
        static const std::map<std::string, std::string> kContents{{"Finance", "finance"}, {"Chemistry", "chemistry"}};
        if (const auto content = kContents.find(title); content != kContents.end()) {
            EXPECT_TRUE(opened[content->second].is_object()) << title << " does not name its contents";
        }
        EXPECT_GT(changedPixels(bare, picture(shotOf(id, "open"))), 0) << title << " is not pictured";
        EXPECT_EQ(closed["top"]["id"], backOf(title)) << title << " stays after Escape";
        if (homeBack(title)) {
            EXPECT_EQ(changedPixels(bare, picture(shotOf(id, "key"))), 0) << title << ": Escape does not give the home screen back";
        }
        script += "open " + std::to_string(id) + "\nwait idle\n"
            + (opened["top"]["leave"].is_null() ? std::string("key 2ND\nkey MODE\n") : std::string("tap leave\n"))
            + "wait idle\ndump\nshot " + shotOf(id, "click").string() + "\n" + homeAgain(title);
    }
    const Session byClick = drive(script);
    ASSERT_EQ(byClick.exitCode, 0) << byClick.output;
    ASSERT_EQ(byClick.dumps.size(), ids.size());
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const auto& [id, title] = ids[k];
        EXPECT_EQ(byClick.dumps[k]["top"]["id"], backOf(title)) << title << " stays after a click";
        if (homeBack(title)) {
            EXPECT_EQ(changedPixels(bare, picture(shotOf(id, "click"))), 0) << title << ": a click does not give the home screen back";
        }
    }
}

// ALPHA then the key under CONV opens the conversions; closing them, by Escape or by their
// Done, gives back the keyboard as it was before ALPHA, not the alpha typewriter.
TEST(Drive, ClosingAScreenOpenedWithAlphaGivesTheKeyboardBack)
{
    const fs::path folder = scratch("alpha");
    fs::create_directories(folder);
    const Session run = drive("wait idle\nshot " + (folder / "bare.png").string() + "\nkey ALPHA\nkey Undo\nwait idle\ndump\n"
        + "hkey Escape\nwait idle\nshot " + (folder / "key.png").string() + "\nkey ALPHA\nkey Undo\nwait idle\n"
        + "tap leave\nwait idle\nshot " + (folder / "click.png").string() + "\n");
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_EQ(run.dumps[0]["top"]["title"], "Conversions");
    const QImage bare = picture(folder / "bare.png");
    EXPECT_EQ(changedPixels(bare, picture(folder / "key.png")), 0);
    EXPECT_EQ(changedPixels(bare, picture(folder / "click.png")), 0);
}

// ---- Pictures of every screen ----

struct ScreenScript {
    std::string name;
    std::string keys;
};

const std::string kParabola = "type \"X²—4\"->Y₁\nkey ENTER\nwait idle\n";

class EveryScreen : public ::testing::TestWithParam<ScreenScript> {};

// Each screen, menu, sheet and alert a newcomer meets, pictured at the phone's and the
// tablet's size: the picture is the window's, and the screen shows in it (it differs from
// the bare home screen somewhere). With ORVENDA_SCREEN_PICTURES set to a
// folder the pictures are kept there to be looked at.
TEST_P(EveryScreen, IsPicturedAtPhoneAndTabletSize)
{
    const ScreenScript& screen = GetParam();
    const char* keep = std::getenv("ORVENDA_SCREEN_PICTURES");
    for (const auto& [device, size] : {std::pair{std::string("phone"), QSize(390, 844)}, std::pair{std::string("tablet"), QSize(768, 1024)}}) {
        const fs::path folder = keep ? fs::path(keep) : scratch("screens");
        fs::create_directories(folder);
        const fs::path bare = folder / (device + "-bare.png"), png = folder / (device + "-" + screen.name + ".png");
        const Session run = drive("shot " + bare.string() + "\n" + screen.keys + "\nwait idle\nshot " + png.string() + "\n",
                                  "--device " + device);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const QImage before(QString::fromStdString(bare.string())), after(QString::fromStdString(png.string()));
        ASSERT_EQ(after.size(), size) << device;
        ASSERT_EQ(before.size(), size) << device;
        int changed = 0;
        for (int y = 0; y < size.height(); y += 4)
            for (int x = 0; x < size.width(); x += 4)
                changed += before.pixel(x, y) != after.pixel(x, y);
        EXPECT_GT(changed, size.width() * size.height() / 16 / 200) << device << " " << screen.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Drive, EveryScreen,
    ::testing::Values(ScreenScript{"home", "type 2+3ɩ̇\nkey ENTER\nwait idle\ntype √(2\nkey ENTER\nwait idle\ntype 1/3\nkey ENTER"},
        ScreenScript{"classic", "type Classic\nkey ENTER\nwait idle\ntype 1/2+2\nkey ENTER"},
        ScreenScript{"yeq", "key Y=\ntype X²"}, ScreenScript{"window", "key 0x401"},
        ScreenScript{"graph", kParabola + "key GRAPH\nwait idle\nhkey Ctrl+Z\nhkey Return"},
        ScreenScript{"trace", kParabola + "key GRAPH\nwait idle\nkey 0x403"},
        ScreenScript{"zoom", kParabola + "key GRAPH\nwait idle\nhkey Ctrl+Z"},
        ScreenScript{"table", kParabola + "key 0x416\ntap 100 290\nkey 0x419"}, ScreenScript{"tblset", "key 0x416"},
        ScreenScript{"format", "key 0x417"}, ScreenScript{"mode", "key MODE"}, ScreenScript{"math", "key MATH"},
        ScreenScript{"list", "key 0x422"}, ScreenScript{"matrix", "key 0x41e"}, ScreenScript{"vars", "key VARS"},
        ScreenScript{"test", "key 0x423"}, ScreenScript{"angle", "key 0x424"}, ScreenScript{"draw", "key 0x425"},
        ScreenScript{"prgm", "key PRGM"}, ScreenScript{"stat", "key STAT"}, ScreenScript{"distr", "key 0x426"},
        ScreenScript{"apps", "key APPS"}, ScreenScript{"mem", "key 0x430"}, ScreenScript{"catalog", "key 0x420"},
        ScreenScript{"about", "key 0x430\nkey 1"}, ScreenScript{"colour", "key 0x417\npress Grid"},
        ScreenScript{"keysets", "key 0x438"}, ScreenScript{"usermenu", "type 2+3\nkey 0x437\npress +"},
        ScreenScript{"error", "type 1/0\nkey ENTER"}, ScreenScript{"shortcuts", "hkey F1"},
        ScreenScript{"matrixedit", "key 0x41e\nkey RIGHT\nkey RIGHT\nkey ENTER\nwait idle\ntype 2\nkey ENTER\ntype 2\nkey ENTER"},
        ScreenScript{"simuleq", "key APPS\nkey 4\nkey 2\nwait idle\ntype 4\nkey ENTER"},
        ScreenScript{"periodic", "key APPS\nkey 2\nkey 1"},
        ScreenScript{"geometry", "key APPS\nkey 3\nkey 5\ntype 3\nkey ENTER\ntype 4\nkey ENTER\ntype 5\npress Solve"},
        ScreenScript{"finance", "key APPS\nkey 1\nkey 1\nwait idle\nkey DOWN\nkey DOWN\nkey DOWN\ntype 5"},
        ScreenScript{"chemistry", "key APPS\nkey 2\nkey 2\nwait idle\ntype Ca(OH)2\nkey ENTER"}),
    [](const auto& info) { return info.param.name; });

// ---- The help screens ----

class HelpScreensDrive : public ::testing::TestWithParam<std::string> {
protected:
    bool tablet() const { return GetParam() == "tablet"; }
    QSize size() const { return tablet() ? QSize(768, 1024) : QSize(390, 844); }
    // The help menu's topic area: beside the index on a tablet, under the bar.
    QRect topicArea() const { return tablet() ? QRect(261, 40, 507, 984) : QRect(0, 40, 390, 804); }
    // A row of the help menu's index, by its topic (0 to 16).
    std::string row(int topic) const
    {
        const int h = tablet() ? 52 : 44;
        return "tap " + std::to_string(tablet() ? 100 : 195) + " " + std::to_string(40 + topic * h + h / 2) + "\n";
    }
    // A key of the keyboard guide: the keypad is 321 × 350 points, half as large again on a
    // tablet and centred there, as wide as the phone and at its bottom.
    std::string guideKey(int key) const
    {
        const QRect area = topicArea();
        const double s = tablet() ? 1.5 : std::min(area.width() / 321.0, area.height() / 350.0);
        const double x0 = area.x() + (area.width() - 321 * s) / 2;
        const double y0 = area.y() + (tablet() ? (area.height() - 350 * s) / 2 : area.height() - 350 * s);
        const int row = key / 5, column = key % 5;
        return "tap " + std::to_string(int(x0 + (column * 64 + 32) * s)) + " " + std::to_string(int(y0 + (row * 35 + 22) * s)) + "\n";
    }
    fs::path picture(const std::string& name) const
    {
        const char* keep = std::getenv("ORVENDA_SCREEN_PICTURES");
        const fs::path folder = keep ? fs::path(keep) : scratch("help");
        fs::create_directories(folder);
        return folder / (GetParam() + "-" + name + ".png");
    }
    // The pixels of the area that stand out from its most common colour: text and lines.
    static int ink(const QImage& image, QRect area)
    {
        std::map<QRgb, int> counts;
        area &= image.rect();
        for (int y = area.top(); y <= area.bottom(); y += 2)
            for (int x = area.left(); x <= area.right(); x += 2)
                ++counts[image.pixel(x, y)];
        const auto most = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; });
        const QRgb back = most->first;
        int n = 0;
        for (const auto& [pixel, count] : counts)
            if (std::abs(qGray(pixel) - qGray(back)) > 90)
                n += count;
        return n;
    }
};

// The catalogue's detail mark on sin( (Ctrl+I on the selected row) shows sin('s page.
TEST_P(HelpScreensDrive, TheCataloguesDetailMarkShowsThePage)
{
    const fs::path png = picture("catalog-help");
    const Session run = drive("key 0x420\nhkey S\nhkey I\nhkey N\nhkey Ctrl+I\nwait idle\ndump\nshot " + png.string() + "\n",
                              "--device " + GetParam());
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_EQ(run.dumps[0]["help"], (json{{"view", "catalog"}, {"page", "sin("}}));
    const QImage shot(QString::fromStdString(png.string()));
    ASSERT_EQ(shot.size(), size());
    // The page is drawn under the bar and the search field: text, examples, a graph.
    EXPECT_GT(ink(shot, QRect(0, 90, shot.width(), 300)), 400);
}

// The help menu: the introduction (beside the index on a tablet, from the start).
TEST_P(HelpScreensDrive, TheHelpMenuShowsTheIntroduction)
{
    const fs::path png = picture("help-intro");
    const Session run = drive("key 0x1016\nwait idle\ndump\n" + (tablet() ? std::string() : row(1)) + "wait idle\ndump\nshot "
                                  + png.string() + "\nhkey Escape\nhkey Escape\ndump\n",
                              "--device " + GetParam());
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_EQ(run.dumps[0]["help"]["view"], "help menu");
    EXPECT_EQ(run.dumps[1]["help"]["topic"], 1);
    EXPECT_EQ(run.dumps[1]["help"]["page"], "Introduction");
    EXPECT_EQ(run.dumps[2]["help"], nullptr);
    const QImage shot(QString::fromStdString(png.string()));
    ASSERT_EQ(shot.size(), size());
    EXPECT_GT(ink(shot, topicArea().adjusted(0, 0, 0, -topicArea().height() / 2)), 400);
}

// The keyboard guide: 2nd then the SIN key shows sin⁻¹('s page; Escape goes back to the
// guide, where 2nd is off again.
TEST_P(HelpScreensDrive, TheKeyboardGuidesSecondAndAKeyShowThatKeysPage)
{
    const fs::path guide = picture("guide"), page = picture("guide-help");
    const Session run = drive("key 0x1016\nwait idle\n" + row(4) + guideKey(5) + "dump\nshot " + guide.string() + "\n"
                                  + guideKey(21) + "wait idle\ndump\nshot " + page.string() + "\nhkey Escape\ndump\n",
                              "--device " + GetParam());
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_EQ(run.dumps[0]["help"]["page"], "Keyboard");
    EXPECT_EQ(run.dumps[0]["help"]["guide"], (json{{"layer", 1}, {"help", nullptr}}));
    EXPECT_EQ(run.dumps[1]["help"]["guide"], (json{{"layer", 0}, {"help", "sin⁻¹("}}));
    EXPECT_EQ(run.dumps[2]["help"]["guide"], (json{{"layer", 0}, {"help", nullptr}}));
    const QImage keys(QString::fromStdString(guide.string())), help(QString::fromStdString(page.string()));
    ASSERT_EQ(keys.size(), size());
    // The keys and their legends, then the page over them.
    EXPECT_GT(ink(keys, topicArea()), 2000);
    int changed = 0;
    for (int y = 0; y < keys.height(); y += 4)
        for (int x = 0; x < keys.width(); x += 4)
            changed += keys.pixel(x, y) != help.pixel(x, y);
    EXPECT_GT(changed, keys.width() * keys.height() / 16 / 10);
}

// The first and the last topic: the contact page with the version and its two buttons,
// and the four-function calculator typed on from the computer's keys (0 ÷ 0 is "Error").
TEST_P(HelpScreensDrive, TheContactPageAndTheCalculatorAreTopics)
{
    const fs::path contact = picture("help-contact"), calculator = picture("help-calculator");
    const Session run = drive("key 0x1016\nwait idle\n" + row(0) + "wait idle\ndump\nshot " + contact.string() + "\n"
                                  + (tablet() ? std::string() : "hkey Escape\n") + row(16)
                                  + "wait idle\nhkey 7\nhkey /\nhkey 0\nhkey Return\ndump\nhkey c\nhkey 0\nhkey /\nhkey 0\n"
                                    "hkey Return\ndump\nshot " + calculator.string() + "\ntap leave\nwait idle\ndump\n",
                              "--device " + GetParam());
    ASSERT_TRUE(endedWithDumps(run, 4));
    EXPECT_EQ(run.dumps[0]["help"], (json{{"view", "help menu"}, {"topic", 0}, {"page", "Contact"}}));
    EXPECT_EQ(run.dumps[1]["help"]["page"], "Calculator");
    EXPECT_EQ(run.dumps[1]["help"]["topic"], 16);
    EXPECT_EQ(run.dumps[1]["help"]["fourFunction"], "infinity");
    EXPECT_EQ(run.dumps[2]["help"]["fourFunction"], "Error");
    EXPECT_EQ(run.dumps[2]["top"]["title"], "Info");
    EXPECT_TRUE(run.dumps[2]["top"]["leave"].is_array()) << "the help menu's Done";
    EXPECT_EQ(run.dumps[3]["help"], nullptr);
    EXPECT_TRUE(run.dumps[3]["history"].empty()) << "the small calculator leaves the main one alone";
    const QImage page(QString::fromStdString(contact.string())), panel(QString::fromStdString(calculator.string()));
    ASSERT_EQ(page.size(), size());
    ASSERT_EQ(panel.size(), size());
    // The version and the two buttons' captions read on the page, in its upper third.
    const QRect upper = topicArea().adjusted(0, 0, 0, -topicArea().height() * 2 / 3);
    EXPECT_GT(orvenda::test::textContrast(page, upper), 7);
    EXPECT_GT(ink(page, upper), 150);
    // The calculator's display and its eighteen buttons fill the topic area.
    EXPECT_GT(ink(panel, topicArea()), 2000);
}

// A menu's help page names its ‹ Back as the control that leaves it, and the tap goes back
// to the list, whose Cancel then leaves the menu.
TEST_P(HelpScreensDrive, AMenusHelpPageIsLeftByItsBack)
{
    const Session run = drive("key MATH\nwait idle\nhkey Ctrl+I\nwait idle\ndump\ntap leave\nwait idle\ndump\ntap leave\n"
                              "wait idle\ndump\n",
        "--device " + GetParam());
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_EQ(run.dumps[0]["help"]["view"], "menu");
    ASSERT_TRUE(run.dumps[0]["top"]["leave"].is_array()) << run.dumps[0]["top"];
    EXPECT_EQ(run.dumps[1]["help"], nullptr);
    EXPECT_EQ(run.dumps[1]["menu"], run.dumps[0]["menu"]) << "Back returns to the list";
    ASSERT_TRUE(run.dumps[1]["top"]["leave"].is_array());
    EXPECT_EQ(run.dumps[2]["menu"], nullptr);
}

// Every help page shares its PDF: a menu row's page under "Orvenda: " and its name, the
// catalogue's under the name alone; the help menu's pages (a topic's, a key's in the
// keyboard guide) by Share and by Ctrl+S under their names, as the help screen does.
TEST_P(HelpScreensDrive, EveryHelpPageSharesUnderItsSubject)
{
    const std::string index = tablet() ? "" : "hkey Escape\nwait idle\n";
    const Session run = drive("key MATH\nwait idle\nhkey Ctrl+I\nwait idle\npress Share\nwait idle\ndump\nhkey Escape\nwait idle\n"
                              "hkey Escape\nwait idle\nkey 0x420\nhkey S\nhkey I\nhkey N\nhkey Ctrl+I\nwait idle\npress Share\nwait idle\n"
                              "dump\nhkey Escape\nwait idle\nhkey Escape\nwait idle\nkey 0x1016\nwait idle\n" + row(2)
                                  + "wait idle\nhkey Ctrl+S\nwait idle\ndump\n" + index + row(3) + "wait idle\npress Share\nwait idle\ndump\n"
                                  + index + row(4) + "wait idle\n" + guideKey(21) + "wait idle\npress Share\nwait idle\ndump\nhkey Escape\n"
                                  + "wait idle\n" + guideKey(22) + "wait idle\nhkey Ctrl+S\nwait idle\ndump\n",
        "--device " + GetParam() + " --data " + scratch("help-share-" + GetParam()).string());
    ASSERT_TRUE(endedWithDumps(run, 6));
    const auto subject = [&](std::size_t k) { return run.dumps[k]["shared"].value("subject", std::string()); };
    EXPECT_EQ(subject(0), "Orvenda: " + run.dumps[0]["help"]["page"].get<std::string>());
    EXPECT_EQ(subject(1), "sin(") << "the catalogue's page by its name";
    EXPECT_EQ(subject(2), "New Features");
    EXPECT_EQ(subject(3), "FAQ");
    const json& sin = run.dumps[4]["help"]["guide"]["help"];
    const json& cos = run.dumps[5]["help"]["guide"]["help"];
    ASSERT_TRUE(sin.is_string() && cos.is_string() && sin != cos) << run.dumps[4]["help"] << run.dumps[5]["help"];
    EXPECT_EQ(subject(4), sin.get<std::string>());
    EXPECT_EQ(subject(5), cos.get<std::string>());
    for (const json& dump : run.dumps)
        EXPECT_TRUE(dump["shared"]["files"][0].get<std::string>().ends_with(".pdf")) << dump["shared"];
}

INSTANTIATE_TEST_SUITE_P(Drive, HelpScreensDrive, ::testing::Values("phone", "tablet"),
    [](const auto& info) { return info.param; });

// ---- The graph screens ----

// The pixels of Y₁'s colour (green) in a row of a picture: the first and the last.
std::pair<int, int> greenColumns(const QImage& image, int y)
{
    int left = -1, right = -1;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y);
        if (qGreen(p) > 180 && qRed(p) < 100 && qBlue(p) < 100) {
            left = left < 0 ? x : left;
            right = x;
        }
    }
    return {left, right};
}

// A faulty Y₁ (X+*3) graphs nothing, not its beginning: GRAPH and TABLE report its syntax
// error, and Goto leads to the fault in the Y= editor.
TEST(Drive, AFaultyEquationReportsItsErrorAndDrawsNothing)
{
    const fs::path shot = scratch("faulty-graph.png");
    const Session run = drive("type \"X+*3\"->Y₁\nkey ENTER\nwait idle\nkey GRAPH\nwait idle\ndump\npress OK\nshot "
        + shot.string() + "\nkey 0x419\nwait idle\ndump\npress Goto\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 3));
    for (const json& reported : {run.dumps[0], run.dumps[1]}) {
        ASSERT_EQ(reported["alerts"].size(), 1u) << reported.dump();
        EXPECT_EQ(reported["alerts"][0]["title"], "Calc Error");
        EXPECT_EQ(reported["alerts"][0]["buttons"], json::array({"OK", "Goto"}));
        EXPECT_EQ(reported["error"], 1);
    }
    const QImage graph = picture(shot);
    for (int y = 100; y < graph.height() - 100; y += 10)
        EXPECT_EQ(greenColumns(graph, y).first, -1) << "a curve at row " << y;
    EXPECT_EQ(run.dumps[2]["screen"], 1);
    ASSERT_TRUE(run.dumps[2].contains("yEq")) << run.dumps[2].dump();
    EXPECT_EQ(run.dumps[2]["yEq"]["current"], "Y₁");
    EXPECT_EQ(run.dumps[2]["yEq"]["cursor"], 2);
}

class GraphScreensDrive : public ::testing::TestWithParam<std::string> {};

// Y₁=X² on the Y= screen, the window set to −5..5 on the WINDOW form, GRAPH, then back
// and TABLE, where 3 is asked for and Y₁'s cell selected.
TEST_P(GraphScreensDrive, GraphsAndTabulatesXSquaredInTheWindowTyped)
{
    const fs::path shots = scratch("graph-" + std::to_string(GetParam().size()));
    fs::create_directories(shots);
    const std::string enter = "key ENTER\nwait idle\n";
    const Session run = drive("key Y=\ntype X²\nhkey Ctrl+Shift+G\ntype -5\n" + enter + "type 5\n" + enter + enter
                                  + "type -5\n" + enter + "type 5\n" + enter + "dump\nkey GRAPH\nwait idle\ndump\nshot "
                                  + (shots / "graph.png").string() + "\nhkey Escape\nkey TABLE\ntype 3\n" + enter
                                  + "key UP\nkey RIGHT\ndump\nshot " + (shots / "table.png").string() + "\n",
        GetParam());
    ASSERT_TRUE(endedWithDumps(run, 3));
    const json window = json::array({-5, 5, -5, 5});
    const std::array screens{7, 8, 5};
    for (std::size_t i = 0; i < screens.size(); ++i) {
        EXPECT_EQ(run.dumps[i]["screen"], screens[i]);
        EXPECT_EQ(run.dumps[i]["window"], window);
        EXPECT_EQ(run.dumps[i]["alerts"], json::array());
    }
    EXPECT_EQ(run.dumps[2]["table"], json::parse(R"({"row":0,"col":1,"shows":"9","auto":false,"start":null})"));

    // The parabola leaves the top of the graph at x = ±√5, a fraction 0.5 ± √5/10 across.
    const QImage graph(QString::fromStdString((shots / "graph.png").string()));
    ASSERT_FALSE(graph.isNull());
    const auto [left, right] = greenColumns(graph, 2);
    const double w = graph.width();
    EXPECT_NEAR(left, w * (0.5 - std::sqrt(5.0) / 10), 4);
    EXPECT_NEAR(right, w * (0.5 + std::sqrt(5.0) / 10), 4);
    // The table is no graph: no parabola in it.
    const QImage table(QString::fromStdString((shots / "table.png").string()));
    ASSERT_EQ(table.size(), graph.size());
    EXPECT_EQ(greenColumns(table, 2).first, -1);
}

INSTANTIATE_TEST_SUITE_P(Drive, GraphScreensDrive, ::testing::Values("", "--device tablet"),
                         [](const auto& info) { return info.param.empty() ? "Phone" : "Tablet"; });

// ---- Stat plots ----

// Where a graph point lies in a picture of the window, from a dump's window and graph.
QPoint pictureAt(const json& dump, double x, double y)
{
    const json& w = dump["window"];
    const json& g = dump["graph"];
    const double x0 = w[0], x1 = w[1], y0 = w[2], y1 = w[3];
    const double left = g[0], top = g[1], width = g[2], height = g[3];
    return QPoint(static_cast<int>(left + (x - x0) / (x1 - x0) * width),
                  static_cast<int>(top + (y1 - y) / (y1 - y0) * height));
}

// The separate blobs of green in a picture, each of at least `least` pixels.
int greenBlobs(const QImage& image, int least)
{
    std::vector<char> seen(static_cast<std::size_t>(image.width() * image.height()), 0);
    const auto green = [&](int x, int y) {
        const QRgb c = image.pixel(x, y);
        return qGreen(c) > 180 && qRed(c) < 100 && qBlue(c) < 100;
    };
    int blobs = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (seen[static_cast<std::size_t>(y * image.width() + x)] || !green(x, y))
                continue;
            int size = 0;
            std::vector<QPoint> todo{{x, y}};
            seen[static_cast<std::size_t>(y * image.width() + x)] = 1;
            while (!todo.empty()) {
                const QPoint p = todo.back();
                todo.pop_back();
                ++size;
                for (const QPoint& d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint q = p + d;
                    const std::size_t i = static_cast<std::size_t>(q.y() * image.width() + q.x());
                    if (image.valid(q) && !seen[i] && green(q.x(), q.y())) {
                        seen[i] = 1;
                        todo.push_back(q);
                    }
                }
            }
            blobs += size >= least;
        }
    return blobs;
}

class StatPlotsDrive : public ::testing::TestWithParam<std::string> {};

// Data into L₁ and L₂, Plot1( as a scatter and ZoomStat: five marks; TRACE walks them;
// LinReg(ax+b) into Y₁ draws the line through them; ShadeNorm( shades the bell.
TEST_P(StatPlotsDrive, ScatterTraceRegressionLineAndShadedBell)
{
    const std::string device = GetParam();
    const fs::path shots = scratch("stat-" + device);
    fs::create_directories(shots);
    const auto shot = [&](const std::string& name) { return "shot " + (shots / name).string() + "\n"; };
    const std::string enter = "key ENTER\nwait idle\n";
    const Session run = drive("type {1,2,3,4,5}->L₁\n" + enter + "type {2,4,5,4,5}->L₂\n" + enter
                                  + "type Plot1(Scatter,L₁,L₂)\n" + enter + "type ZoomStat\n" + enter + "dump\n"
                                  + shot("scatter.png") + "key 0x403\nwait idle\ndump\nkey RIGHT\nkey RIGHT\ndump\n"
                                  + shot("trace.png") + "key LEFT\nkey LEFT\nkey LEFT\ndump\nkey CLEAR\nwait idle\n"
                                  + "type LinReg(ax+b) L₁,L₂,Y₁\n" + enter + "key GRAPH\nwait idle\ndump\n"
                                  + shot("linreg.png") + "key CLEAR\nwait idle\ntype ShadeNorm(-1,1)\n" + enter + "dump\n"
                                  + shot("bell.png"),
                              "--device " + device);
    ASSERT_TRUE(endedWithDumps(run, 6));
    const json plot1 = {{"type", 6}, {"label", "P1:L₁,L₂"}};

    const json& zoomed = run.dumps[0];
    EXPECT_EQ(zoomed["screen"], 8);
    EXPECT_EQ(zoomed["alerts"], json::array());
    EXPECT_EQ(zoomed["plots"], json::array({plot1}));
    const QImage scatter(QString::fromStdString((shots / "scatter.png").string()));
    ASSERT_FALSE(scatter.isNull());
    const std::array<std::pair<double, double>, 5> points{{{1, 2}, {2, 4}, {3, 5}, {4, 4}, {5, 5}}};
    for (const auto& [x, y] : points)
        EXPECT_TRUE(greenNear(scatter, pictureAt(zoomed, x, y))) << device << " " << x << "," << y;
    EXPECT_EQ(greenBlobs(scatter, 20), 5) << device;

    // TRACE stands on the first point, RIGHT and LEFT step along them, never past the ends.
    const json& first = run.dumps[1]["trace"];
    EXPECT_EQ(first["plot"], 0);
    EXPECT_EQ(std::tuple(first["x"].get<double>(), first["y"].get<double>(), first["t"].get<double>()),
              std::tuple(1.0, 2.0, 0.0));
    EXPECT_EQ(first["lines"], json::array({"P1:L₁,L₂", "x:1", "y:2"}));
    const json& third = run.dumps[2]["trace"];
    EXPECT_EQ(third["lines"], json::array({"P1:L₁,L₂", "x:3", "y:5"}));
    EXPECT_EQ(run.dumps[3]["trace"]["t"], 0);
    const QImage trace(QString::fromStdString((shots / "trace.png").string()));
    ASSERT_FALSE(trace.isNull());
    // The read-out's first line, in the plot's colour, at the graph's top left.
    int readout = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            readout += greenNear(trace, QPoint(x, y)) ? 1 : 0;
    EXPECT_GT(readout, 50) << device;

    // Y₁ = .6X + 2.2 over the marks.
    const json& line = run.dumps[4];
    EXPECT_EQ(newest(line)["answer"], " y=ax+b\n a=.6\n b=2.2");
    EXPECT_EQ(line["plots"], json::array({{{"type", 16}, {"label", ".6X+2.2"}}, plot1}));
    const QImage linreg(QString::fromStdString((shots / "linreg.png").string()));
    ASSERT_FALSE(linreg.isNull());
    for (double x : {1.5, 2.5, 3.5, 4.5})
        EXPECT_TRUE(greenNear(linreg, pictureAt(line, x, 0.6 * x + 2.2))) << device << " " << x;
    EXPECT_FALSE(greenNear(linreg, pictureAt(line, 2.5, 0.6 * 2.5 + 2.2 + 0.5))) << device;

    // The bell of the standard normal curve, shaded from -1 to 1.
    const json& bell = run.dumps[5];
    EXPECT_EQ(bell["plots"].back(), json({{"type", 8}, {"label", "ShadeNorm(0,1)"}}));
    const QImage shaded(QString::fromStdString((shots / "bell.png").string()));
    ASSERT_FALSE(shaded.isNull());
    EXPECT_TRUE(greenNear(shaded, pictureAt(bell, 0, 0.2), true)) << device;
    EXPECT_TRUE(greenNear(shaded, pictureAt(bell, -0.7, 0.1), true)) << device;
    EXPECT_FALSE(greenNear(shaded, pictureAt(bell, 1.6, 0.03), true)) << device;
    EXPECT_TRUE(greenNear(shaded, pictureAt(bell, 0, 0.3989))) << device;  // the curve's peak
    EXPECT_TRUE(greenNear(shaded, pictureAt(bell, 2, 0.054))) << device;
}

INSTANTIATE_TEST_SUITE_P(Drive, StatPlotsDrive, ::testing::Values("phone", "tablet"),
                         [](const auto& info) { return info.param; });

// ---- The statistics screens ----

// A pixel of Plot1's factory red within a few pixels of a point.
bool redNear(const QImage& image, QPoint at)
{
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.valid(p) && qRed(image.pixel(p)) > 180 && qGreen(image.pixel(p)) < 90 && qBlue(image.pixel(p)) < 90)
                return true;
        }
    return false;
}

std::string tapAt(double x, double y) { return "tap " + std::to_string(int(x)) + " " + std::to_string(int(y)) + "\n"; }

class StatScreensDrive : public ::testing::TestWithParam<std::string> {};

// As a student: STAT ▸ EDIT, the data typed into L₁ and L₂ with the keys, QUIT; STAT ▸
// CALC ▸ 2-Var Stats through the wizard's defaults; 2nd STAT PLOT, Plot1's sheet with
// Ylist L₂ and Done; ZoomStat graphs the five marks.
TEST_P(StatScreensDrive, ListsTypedInTheEditorGiveTwoVarStatsAndAScatterPlot)
{
    const std::string device = GetParam();
    const fs::path shots = scratch("stat-screens-" + device);
    fs::create_directories(shots);
    std::string typing = "key STAT\nkey ENTER\nwait idle\ndump\n";
    for (const char* value : {"1", "2", "3", "4", "5"})
        typing += std::string("type ") + value + "\nkey ENTER\nwait idle\n";
    typing += "key RIGHT\n";
    for (const char* value : {"2", "4", "5", "4", "5"})
        typing += std::string("type ") + value + "\nkey ENTER\nwait idle\n";
    typing += "dump\nshot " + (shots / "lists.png").string() + "\nkey 2ND\nkey MODE\nwait idle\n"
        + "key STAT\nkey RIGHT\nkey 2\nwait idle\ndump\n";
    const Session first = drive(typing, "--device " + device);
    ASSERT_TRUE(endedWithDumps(first, 3));
    const json& opened = first.dumps[0];
    EXPECT_EQ(opened["screen"], 4);
    EXPECT_EQ(opened["listEditor"]["prompt"], "L₁(1)=");
    const json& typed = first.dumps[1]["listEditor"];
    EXPECT_EQ(typed["col"], 1);
    EXPECT_EQ(typed["row"], 5);
    EXPECT_EQ(typed["columns"][0], "L₁");
    EXPECT_EQ(typed["prompt"], "L₂(6)=");
    const json& wizard = first.dumps[2];
    EXPECT_EQ(wizard["screen"], 23);
    EXPECT_EQ(wizard["wizard"]["command"], "2-Var Stats");
    EXPECT_EQ(wizard["wizard"]["fields"][0], json({{"label", "XList="}, {"value", "L₁"}}));
    // The list editor's picture: the cursor's highlighted cell.
    const QImage lists(QString::fromStdString((shots / "lists.png").string()));
    ASSERT_FALSE(lists.isNull());
    int highlighted = 0;
    for (int y = 0; y < lists.height() / 2; ++y)
        for (int x = 0; x < lists.width(); ++x)
            highlighted += lists.pixel(x, y) == qRgb(255, 230, 90);
    EXPECT_GT(highlighted, 500) << device;

    const json& button = wizard["wizard"]["calculate"];
    std::string rest = typing + tapAt(button[0].get<double>() + button[2].get<double>() / 2, button[1].get<double>() + button[3].get<double>() / 2)
        + "wait idle\ndump\nkey ENTER\nwait idle\ndump\nkey 2ND\nkey Y=\nwait idle\ndump\n";
    const Session second = drive(rest, "--device " + device);
    ASSERT_TRUE(endedWithDumps(second, 6));
    EXPECT_EQ(second.dumps[3]["screen"], 0);
    EXPECT_EQ(second.dumps[3]["entry"], "2-Var Stats L₁,L₂");
    const json answer = newest(second.dumps[4]);
    EXPECT_EQ(answer["input"], "2-Var Stats L₁,L₂");
    const std::string text = answer["answer"].get<std::string>();
    EXPECT_EQ(text.find("x̅:3 "), 0u) << answer;
    EXPECT_NE(text.find("y̅:4\n"), std::string::npos) << answer;
    EXPECT_NE(text.find("n:5 "), std::string::npos) << answer;
    const json& plots = second.dumps[5];
    EXPECT_EQ(plots["screen"], 9);
    EXPECT_EQ(plots["statPlots"]["rows"][0]["on"], false);
    const json& list = plots["statPlots"]["list"];
    const double rowHeight = list[3];

    rest += tapAt(list[0].get<double>() + 200, list[1].get<double>() + rowHeight / 2) + "wait idle\ndump\n";
    const Session third = drive(rest, "--device " + device);
    ASSERT_TRUE(endedWithDumps(third, 7));
    const json& sheet = third.dumps[6]["plotSetup"];
    EXPECT_EQ(sheet["plot"], 1);
    EXPECT_EQ(sheet["title"], "Scatter");
    EXPECT_EQ(sheet["selected"], json({"Scatter", "boxDot", "L₁", "L₁"}));
    const json& yColumn = sheet["columns"][3];
    const json& done = sheet["done"];
    rest += tapAt(yColumn[0].get<double>(), yColumn[1].get<double>() + sheet["rowHeight"].get<double>()) + "dump\n"
        + tapAt(done[0].get<double>() + done[2].get<double>() / 2, done[1].get<double>() + done[3].get<double>() / 2)
        + "wait idle\ndump\nshot " + (shots / "plots.png").string() + "\nkey 2ND\nkey MODE\ntype ZoomStat\nkey ENTER\nwait idle\ndump\nshot "
        + (shots / "graph.png").string() + "\n";
    const Session last = drive(rest, "--device " + device);
    ASSERT_TRUE(endedWithDumps(last, 10));
    EXPECT_EQ(last.dumps[7]["plotSetup"]["selected"][3], "L₂");
    const json& row = last.dumps[8]["statPlots"]["rows"][0];
    EXPECT_EQ(row["on"], true);
    EXPECT_EQ(row["type"], 0);
    EXPECT_EQ(row["lines"], json({"Xlist:L₁", "Ylist:L₂"}));
    EXPECT_FALSE(last.dumps[8].contains("plotSetup"));
    const json& graph = last.dumps[9];
    EXPECT_EQ(graph["screen"], 8);
    EXPECT_EQ(graph["plots"], json::array({{{"type", 6}, {"label", "P1:L₁,L₂"}}}));
    const QImage picture(QString::fromStdString((shots / "graph.png").string()));
    ASSERT_FALSE(picture.isNull());
    for (const auto& [x, y] : std::array<std::pair<double, double>, 5>{{{1, 2}, {2, 4}, {3, 5}, {4, 4}, {5, 5}}})
        EXPECT_TRUE(redNear(picture, pictureAt(graph, x, y))) << device << " " << x << "," << y;
}

// Each statistics screen and the set-up sheet close with Escape (QUIT) to the home screen;
// the sheet also with its Done.
TEST(Drive, TheStatisticsScreensCloseWithQuit)
{
    for (const char* open : {"key STAT\nkey ENTER\n", "key 2ND\nkey Y=\n", "key 2ND\nkey Y=\ntap 200 22\n",
                             "key STAT\nkey RIGHT\nkey 2\n"}) {
        const Session run = drive(std::string(open) + "wait idle\ndump\nhkey Escape\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 2));
        EXPECT_NE(run.dumps[0]["screen"], 0) << open;
        EXPECT_EQ(run.dumps[1]["screen"], 0) << open;
        EXPECT_FALSE(run.dumps[1].contains("plotSetup")) << open;
    }
}

INSTANTIATE_TEST_SUITE_P(Drive, StatScreensDrive, ::testing::Values("phone", "tablet"),
                         [](const auto& info) { return info.param; });

class StatTestDrive : public ::testing::TestWithParam<std::string> {};

// STAT ▸ TESTS ▸ 1-PropZTest: p0, x and n typed with the keys give z = -1 and its p-value,
// the graph shades both tails beyond 1; QUIT goes home. Then the same typed on the screen's
// compact keypad, and Escape goes home.
TEST_P(StatTestDrive, OnePropZTestTypedWithTheKeysAndWithTheCompactKeypad)
{
    const std::string device = GetParam();
    const fs::path shot = scratch("stat-test-" + device + ".png");
    const std::string open = "key STAT\nkey RIGHT\nkey RIGHT\nkey 5\nwait idle\n";
    const Session keys = drive(open + "dump\ntype 0.5\nkey ENTER\ntype 45\nkey ENTER\ntype 100\nkey ENTER\nwait idle\ndump\nshot "
                                   + shot.string() + "\nkey 2ND\nkey MODE\nwait idle\ndump\n",
                               "--device " + device);
    ASSERT_TRUE(endedWithDumps(keys, 3));
    const json& opened = keys.dumps[0];
    EXPECT_EQ(opened["screen"], 15);
    EXPECT_EQ(opened["statTest"]["test"], 0x5C2A);
    EXPECT_EQ(opened["statTest"]["form"], "Stats");
    EXPECT_EQ(opened["statTest"]["fields"][0]["label"], "p0=");
    const json& tested = keys.dumps[1]["statTest"];
    EXPECT_EQ(tested["fields"][1], json({{"label", "x="}, {"value", 45.0}}));
    EXPECT_EQ(tested["results"][0]["label"], "z=");
    EXPECT_NEAR(tested["results"][0]["value"].get<double>(), -1, 1e-12);
    EXPECT_EQ(tested["results"][1]["label"], "p=");
    EXPECT_NEAR(tested["results"][1]["value"].get<double>(), 0.3173105079, 1e-9);
    EXPECT_EQ(tested["title"], "1-PropZTest:prop≠.5");
    EXPECT_EQ(tested["graph"]["shade"]["tails"], true);
    EXPECT_NEAR(tested["graph"]["shade"]["upper"].get<double>(), 1, 1e-12);
    EXPECT_EQ(keys.dumps[2]["screen"], 0);
    EXPECT_FALSE(keys.dumps[2].contains("statTest"));
    // The picture: the tails beyond ±1 shaded green, the middle not.
    const QImage picture(QString::fromStdString(shot.string()));
    ASSERT_FALSE(picture.isNull());
    const json& g = tested["graph"]["rect"];
    const auto at = [&](double x, double y) {
        const double px = g[0].get<double>() + (x + 3.25) / 6.5 * g[2].get<double>();
        const double py = g[1].get<double>() + (0.41 - y) / 0.51 * g[3].get<double>();
        return picture.pixelColor(int(px), int(py));
    };
    const auto green = [](const QColor& c) { return c.green() > c.red() + 40 && c.green() > c.blue() + 40; };
    EXPECT_TRUE(green(at(-1.6, 0.02))) << device;
    EXPECT_TRUE(green(at(1.6, 0.02))) << device;
    EXPECT_FALSE(green(at(0, 0.2))) << device;

    // The compact keypad: a 5 by 5 grid of keys 64 by 36 (scaled to its width).
    const json& pad = tested["keypad"];
    const double s = pad[2].get<double>() / 320;
    const auto keyTap = [&](int tag) {
        const int row = tag / 5, col = tag % 5;
        return tapAt(pad[0].get<double>() + (col * 64 + 32) * s, pad[1].get<double>() + (row * 36 + 18) * s);
    };
    const std::map<char, int> tags{{'0', 21}, {'1', 16}, {'4', 11}, {'5', 12}, {'.', 22}};
    std::string typing = open;
    for (const std::string value : {"0.5", "45", "100"}) {
        for (char c : value)
            typing += keyTap(tags.at(c));
        typing += keyTap(24);
    }
    const Session pads = drive(typing + "wait idle\ndump\nhkey Escape\nwait idle\ndump\n", "--device " + device);
    ASSERT_TRUE(endedWithDumps(pads, 2));
    EXPECT_EQ(pads.dumps[0]["statTest"]["fields"], tested["fields"]);
    EXPECT_NEAR(pads.dumps[0]["statTest"]["results"][0]["value"].get<double>(), -1, 1e-12);
    EXPECT_EQ(pads.dumps[1]["screen"], 0);
}

// The test menu's (i) button on T-Test shows its help page over the list, and the dump
// names it; RIGHT on an empty line brings the field's value onto it.
TEST_P(StatTestDrive, TheTestMenusInfoButtonAndRightOnAField)
{
    const std::string device = GetParam();
    const fs::path shot = scratch("stat-test-help-" + device + ".png"), listShot = scratch("stat-test-menu-" + device + ".png");
    const std::string open = "key STAT\nkey RIGHT\nkey RIGHT\nkey 5\nwait idle\n";
    const Session first = drive(open + "dump\n", "--device " + device);
    ASSERT_TRUE(endedWithDumps(first, 1));
    const json& button = first.dumps[0]["statTest"]["menuButton"];
    const std::string menu = tapAt(button[0].get<double>() + button[2].get<double>() / 2, button[1].get<double>() + button[3].get<double>() / 2);
    const Session listed = drive(open + menu + "wait idle\ndump\nshot " + listShot.string() + "\n", "--device " + device);
    ASSERT_TRUE(endedWithDumps(listed, 1));
    const json& list = listed.dumps[0]["statTest"]["menu"];
    ASSERT_TRUE(list.is_object()) << listed.output;
    EXPECT_EQ(list["help"], nullptr);
    const double rowHeight = list["rowHeight"].get<double>();
    const std::string info = tapAt(list["firstDetail"][0].get<double>(), list["firstDetail"][1].get<double>() + rowHeight);
    // Escape closes a tablet's popover, then the screen.
    const Session help = drive(open + menu + info + "wait idle\ndump\nshot " + shot.string()
                                   + "\nhkey Escape\nwait idle\nhkey Escape\nwait idle\n" + open
                                   + "type 0.5\nkey ENTER\nkey UP\nkey RIGHT\ndump\n",
                               "--device " + device);
    ASSERT_TRUE(endedWithDumps(help, 2));
    // The page of T-Test( under the menu's own name for it.
    EXPECT_EQ(help.dumps[0]["statTest"]["menu"]["help"], "T-Test\u2026");
    EXPECT_EQ(help.dumps[0]["help"], (json{{"view", "test menu"}, {"page", "T-Test\u2026"}}));
    EXPECT_EQ(help.dumps[0]["statTest"]["test"], 0x5C2A);
    // The page stands over the list: the rows' area is drawn anew.
    const QImage picture(QString::fromStdString(shot.string())), rows(QString::fromStdString(listShot.string()));
    ASSERT_FALSE(picture.isNull());
    ASSERT_EQ(picture.size(), rows.size());
    const int y0 = list["firstRow"][1].get<int>();
    int changed = 0, seen = 0;
    for (int y = y0; y < y0 + int(8 * rowHeight) && y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2, ++seen)
            changed += picture.pixel(x, y) != rows.pixel(x, y);
    EXPECT_GT(changed, seen / 10) << device;
    EXPECT_EQ(help.dumps[1]["statTest"]["current"], 0);
    EXPECT_EQ(help.dumps[1]["entry"], ".5");
    EXPECT_EQ(help.dumps[1]["cursor"], 1);
}

INSTANTIATE_TEST_SUITE_P(Drive, StatTestDrive, ::testing::Values("phone", "tablet"),
                         [](const auto& info) { return info.param; });

// ---- Programs ----

// PRGM ▸ +: the New form (Return moves on from the name, Save saves) makes a program and
// opens it in the editor; its body is stored as
// the editor would save it; back on the home screen (QUIT), prgmNAME runs it. Starting again with the same data folder, the
// program menu still lists it and runs it.
TEST(Drive, AProgramMadeInTheMenuIsKeptAndRunsAfterARestart)
{
    const std::string data = scratch("programs-data").string();
    fs::remove_all(data);
    const Session first = drive("key PRGM\nhkey +\nhkey Shift+W\nhkey Shift+Q\nhkey 2\nhkey Return\npress Save\ndump\n"
                                "program WQ2\nFor(I,1,3)\nDisp I²\nEnd\nend\n"
                                "key 0x412\ntype prgmWQ2\nkey ENTER\nwait idle\ndump\n",
                                "--data '" + data + "'");
    ASSERT_TRUE(endedWithDumps(first, 2));
    // The new program opened in the editor.
    EXPECT_EQ(first.dumps[0]["screen"], 2);
    EXPECT_EQ(first.dumps[0]["alerts"], json::array());
    EXPECT_EQ(first.dumps[1]["output"], json::array({"1", "4", "9", "Done"}));
    EXPECT_EQ(first.dumps[1]["error"], 0);
    EXPECT_TRUE(fs::exists(fs::path(data) / "programs" / "WQ2"));

    const Session second = drive("key PRGM\ndump\nhkey w\nhkey Return\nkey ENTER\nwait idle\ndump\n", "--data '" + data + "'");
    ASSERT_TRUE(endedWithDumps(second, 2));
    const json& listed = second.dumps[0]["programs"];
    ASSERT_TRUE(listed.is_array()) << second.dumps[0];
    EXPECT_EQ(listed.size(), 30u);
    EXPECT_NE(std::find(listed.begin(), listed.end(), "WQ2"), listed.end());
    EXPECT_EQ(second.dumps[1]["output"], json::array({"1", "4", "9", "Done"}));
    EXPECT_EQ(newest(second.dumps[1])["input"], "prgm»WQ2");
}

// What a program save killed before it finished left in the programs folder is gone after
// the next launch; the programs and a person's own files stay.
TEST(Drive, ALaunchRemovesWhatKilledProgramSavesLeft)
{
    const fs::path data = scratch("leftover-data");
    fs::remove_all(data);
    fs::create_directories(data / "programs");
    std::ofstream(data / "programs" / "KEEP")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>prgm</key><array/></dict></plist>";
    std::ofstream(data / "programs" / ".KEEP~orvenda-unfinished-save~Ab12Cd") << "half a save";
    std::ofstream(data / "programs" / "KEEP.bak") << "mine";
    const Session run = drive("dump\n", "--data '" + data.string() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(fs::exists(data / "programs" / ".KEEP~orvenda-unfinished-save~Ab12Cd"));
    EXPECT_TRUE(fs::exists(data / "programs" / "KEEP"));
    EXPECT_TRUE(fs::exists(data / "programs" / "KEEP.bak"));
}

// A fresh data folder holding one program, ZNOTE, with these notes (as its file writes them).
fs::path folderWithNotes(const std::string& name, const std::string& notes)
{
    const fs::path data = scratch(name);
    fs::remove_all(data);
    fs::create_directories(data / "programs");
    std::ofstream(data / "programs" / "ZNOTE")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>prgm</key><array/>"
           "<key>notes</key><string>" + notes + "</string></dict></plist>";
    return data;
}

// PRGM ▸ a program's accessory (Ctrl+I on its row): the notes page, rendered with the screen
// block as a box on EXEC, to edit on EDIT; Escape goes back to the list, and the file keeps
// the notes.
TEST(Drive, TheProgramLibraryShowsAProgramsNotesPage)
{
    const fs::path data =
        folderWithNotes("notes-data", "Adds &amp; shows\n&lt;screenShot&gt;\n2+3\n5\n&lt;/screenShot&gt;");
    const Session run = drive("key PRGM\nhkey z\nhkey Ctrl+I\ndump\nhkey Escape\ndump\nhkey Right\nhkey z\nhkey Ctrl+I\ndump\n"
                              "hkey Escape\nhkey Escape\ndump\n",
        "--data '" + data.string() + "'");
    ASSERT_TRUE(endedWithDumps(run, 4));
    const json& read = run.dumps[0]["notes"];
    ASSERT_TRUE(read.is_object()) << run.dumps[0];
    EXPECT_EQ(read["program"], "ZNOTE");
    EXPECT_EQ(read["title"], "ZNOTE");
    EXPECT_EQ(read["editing"], false);
    const std::string html = read["html"];
    EXPECT_NE(html.find("Adds &amp; shows<br></p><table"), std::string::npos) << html;
    EXPECT_NE(html.find("<tr><td>2+3<br>5<br></td></tr></table><p>"), std::string::npos) << html;
    EXPECT_FALSE(run.dumps[1].contains("notes"));
    EXPECT_EQ(run.dumps[1]["top"]["title"], run.dumps[0]["top"]["title"]);
    EXPECT_EQ(run.dumps[2]["notes"]["editing"], true);
    EXPECT_EQ(run.dumps[2]["notes"]["text"], "Adds & shows\n<screenShot>\n2+3\n5\n</screenShot>");
    EXPECT_FALSE(run.dumps[3].contains("notes"));
    EXPECT_EQ(run.dumps[3]["screen"], 0);
}

// Notes typed on the page (EDIT, a click in the text) and the app ending there, by closing
// the window or quitting: the program file holds them, and the next launch shows them.
TEST(Drive, NotesBeingTypedAreKeptWhenTheAppEnds)
{
    for (const std::string ending : {"close\n", ""}) {
        const fs::path data = folderWithNotes("notes-typed", "");
        const std::string open = "key PRGM\nhkey Right\nhkey z\nhkey Ctrl+I\nwait idle\n";
        const Session typed = drive(open + "tap 195 300\nhkey h\nhkey i\ndump\n" + ending, "--data '" + data.string() + "'");
        ASSERT_TRUE(endedWithDumps(typed, 1));
        ASSERT_EQ(typed.dumps[0]["notes"]["text"], "hi") << typed.dumps[0];
        const Session next = drive(open + "dump\n", "--data '" + data.string() + "'");
        ASSERT_TRUE(endedWithDumps(next, 1));
        EXPECT_EQ(next.dumps[0]["notes"]["text"], "hi") << ending;
    }
}

// A calculator file as a handheld writes it: a u16 header, name, length; the sum at the end.
std::string calculatorFile(const std::vector<std::vector<std::uint8_t>>& entries)
{
    std::vector<std::uint8_t> data;
    for (const auto& e : entries)
        data.insert(data.end(), e.begin(), e.end());
    std::string file = "**TI83F*\x1A\x0A\x0A";
    file.resize(53, '\0');
    file += static_cast<char>(data.size() & 0xFF);
    file += static_cast<char>(data.size() >> 8);
    unsigned sum = 0;
    for (std::uint8_t b : data) {
        file += static_cast<char>(b);
        sum += b;
    }
    file += static_cast<char>(sum & 0xFF);
    file += static_cast<char>((sum >> 8) & 0xFF);
    return file;
}

std::vector<std::uint8_t> calculatorEntry(std::uint8_t type, const std::string& name, std::vector<std::uint8_t> data)
{
    std::vector<std::uint8_t> e{13, 0, static_cast<std::uint8_t>(data.size()), 0, type};
    for (std::size_t k = 0; k < 8; ++k)
        e.push_back(k < name.size() ? static_cast<std::uint8_t>(name[k]) : 0);
    e.insert(e.end(), {0, 0, static_cast<std::uint8_t>(data.size()), 0});
    e.insert(e.end(), data.begin(), data.end());
    return e;
}

TEST(Drive, AFileLineImportsAsTheDesktopHandsItOver)
{
    // HELLO: Disp "HI"; then the variable A = 2 before a list of 1000 elements.
    const fs::path program = scratch("HELLO.8xp"), broken = scratch("two.8Xl");
    std::ofstream(program, std::ios::binary)
        << calculatorFile({calculatorEntry(5, "HELLO", {5, 0, 0xDE, 0x2A, 'H', 'I', 0x2A})});
    std::ofstream(broken, std::ios::binary) << calculatorFile({calculatorEntry(0, "A", {0, 0x80, 0x20, 0, 0, 0, 0, 0, 0}),
        calculatorEntry(1, "LS", {0xE8, 0x03})});
    // A list in Latin-1, which the alert says is not UTF-8 text.
    const fs::path latin = scratch("latin.csv");
    std::ofstream(latin, std::ios::binary) << "caf\xE9,1,2\n";
    const Session run = drive("file " + program.string() + "\ndump\nkey ENTER\nfile " + broken.string()
        + "\ndump\nkey ENTER\nkey PRGM\ndump\nhkey h\nhkey Return\nkey ENTER\nwait idle\ndump\nfile " + latin.string()
        + "\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 5));
    EXPECT_EQ(run.dumps[4]["alerts"], json::parse(R"([{"title": "Calc Error", "buttons": ["OK"], "message":
        "File cannot be read: it is not UTF-8 text. Save it as UTF-8 text and open it again."}])"));
    const json& first = run.dumps[0];
    EXPECT_EQ(first["files"], json::parse(R"([{"path": ")" + program.string()
                                  + R"(", "report": 80, "arrived": ["program HELLO"]}])"));
    ASSERT_EQ(first["alerts"].size(), 1u);
    EXPECT_EQ(run.dumps[1]["files"][1]["report"], 79);
    EXPECT_EQ(run.dumps[1]["files"][1]["arrived"], json::array({"variable A"}));
    const json& listed = run.dumps[2]["programs"];
    ASSERT_TRUE(listed.is_array()) << run.dumps[2];
    EXPECT_NE(std::find(listed.begin(), listed.end(), "HELLO"), listed.end());
    EXPECT_EQ(run.dumps[3]["output"], json::array({"HI", "Done"}));
}

// One app per data folder: while a driven app runs on a folder, the app launched with a file
// on the same folder hands the file over and ends, and the running app imports it; a second
// driven app on that folder is refused. (The second launch is started once the first has
// dumped, so it is listening: nothing waits on the clock.)
TEST(Drive, ASecondLaunchOnTheSameDataFolderHandsItsFilesToTheRunningApp)
{
    const fs::path home = scratch("single-home");
    fs::remove_all(home);
    // The launched app's data folder under XDG_DATA_HOME, as the desktop gives it.
    const fs::path data = home / "Orvenda";
    fs::create_directories(data);
    const fs::path program = scratch("HANDED.8xp");
    std::ofstream(program, std::ios::binary)
        << calculatorFile({calculatorEntry(5, "HANDED", {5, 0, 0xDE, 0x2A, 'H', 'I', 0x2A})});
    const fs::path script = scratch("first.txt");
    std::ofstream(script) << "dump\nwait imported 1\nkey ENTER\nkey PRGM\ndump\n";
    const std::string command = std::string("timeout -s KILL 120 '") + ORVENDA_DRIVE + "' '" + script.string()
        + "' --data '" + data.string() + "' 2>&1";
    FILE* first = ::popen(command.c_str(), "r");
    ASSERT_NE(first, nullptr);
    std::vector<json> dumps;
    std::string output;
    char buffer[65536];
    const auto nextDump = [&] {
        while (std::fgets(buffer, sizeof buffer, first)) {
            output += buffer;
            if (buffer[0] == '{') {
                dumps.push_back(json::parse(buffer));
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(nextDump()) << output;

    const Session refused = drive("dump\n", "--data '" + data.string() + "'");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.output.find("in use by a running app"), std::string::npos) << refused.output;
    EXPECT_TRUE(refused.dumps.empty());

    const std::string second = "env QT_QPA_PLATFORM=offscreen XDG_DATA_HOME='" + home.string() + "' timeout -s KILL 60 '"
        + ORVENDA_APP + "' '" + program.string() + "' 2>&1";
    const int status = std::system(second.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    ASSERT_TRUE(nextDump()) << output;
    const int firstStatus = ::pclose(first);
    EXPECT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0) << output;
    const json& listed = dumps[1]["programs"];
    ASSERT_TRUE(listed.is_array()) << dumps[1];
    EXPECT_NE(std::find(listed.begin(), listed.end(), "HANDED"), listed.end()) << listed;
}

// Every sample program, picked from the program menu by its letter and run with the
// answers of tests/programs/sample-answers.txt, ends without an error.
TEST(Drive, EverySampleProgramRunsFromTheProgramMenu)
{
    struct Sample {
        std::string name;
        std::vector<std::string> answers;
        std::string shows;
    };
    std::vector<Sample> samples;
    std::ifstream in(ORVENDA_SAMPLE_ANSWERS);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.starts_with('#'))
            continue;
        const auto colon = line.find(':');
        const std::string name = line.substr(0, colon);
        if (!samples.empty() && samples.back().name == name)
            continue;
        Sample sample{name, {}, {}};
        std::string rest = line.substr(colon + 1);
        if (const auto arrow = rest.find("=>"); arrow != std::string::npos) {
            sample.shows = rest.substr(arrow + 3);
            rest = rest.substr(0, arrow);
        }
        std::stringstream parts(rest);
        for (std::string part; std::getline(parts, part, '|');) {
            part.erase(0, part.find_first_not_of(' '));
            part.erase(part.find_last_not_of(' ') + 1);
            if (!part.empty())
                sample.answers.push_back(part);
        }
        samples.push_back(std::move(sample));
    }
    ASSERT_EQ(samples.size(), 29u);
    // The menu's letter sections, names sorted without regard to case.
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::string script;
    for (const Sample& sample : samples) {
        const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(sample.name[0])));
        int place = 0;
        for (const Sample& other : samples)
            place += lower(other.name)[0] == letter && lower(other.name) < lower(sample.name);
        // CLEAR leaves a graph the last sample drew.
        script += "key CLEAR\nkey PRGM\nhkey " + std::string(1, letter) + "\n";
        for (int i = 0; i < place; ++i)
            script += "hkey Down\n";
        script += "hkey Return\nkey ENTER\nwait idle\n";
        for (const std::string& answer : sample.answers)
            script += "type " + answer + "\nkey ENTER\nwait idle\n";
        script += "dump\n";
    }
    const Session run = drive(script);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), samples.size()) << run.output;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const json& dump = run.dumps[i];
        EXPECT_EQ(dump["error"], 0) << samples[i].name << ": " << dump;
        EXPECT_EQ(dump["alerts"], json::array()) << samples[i].name;
        EXPECT_EQ(dump["entry"], "") << samples[i].name;
        const json& history = dump["history"];
        ASSERT_FALSE(history.empty()) << samples[i].name;
        EXPECT_EQ(history.back()["input"], "prgm»" + samples[i].name);
        if (samples[i].shows.empty())
            continue;
        bool shown = false;
        for (const json& line : dump["output"])
            shown = shown || line.get<std::string>().find(samples[i].shows) != std::string::npos;
        EXPECT_TRUE(shown) << samples[i].name << " shows no «" << samples[i].shows << "»: " << dump["output"];
    }
}


// ---- Colour pickers, user menus and user keys ----

// The centre of the biggest patch of pure red in a picture (the palette's red cell).
std::optional<QPoint> redPatch(const QImage& image)
{
    long sx = 0, sy = 0, n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 0, 0)) {
                sx += x;
                sy += y;
                ++n;
            }
    if (n < 100)
        return std::nullopt;
    return QPoint(static_cast<int>(sx / n), static_cast<int>(sy / n));
}

int countPixels(const QImage& image, const QRect& area, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixel(x, y));
    return n;
}

bool reddish(QRgb p) { return qRed(p) > 200 && qGreen(p) < 70 && qBlue(p) < 70; }
bool greenish(QRgb p) { return qGreen(p) > 180 && qRed(p) < 100 && qBlue(p) < 100; }
// Red drawn faintly over black, as the grid is.
bool faintRed(QRgb p) { return qRed(p) > 60 && qGreen(p) * 3 < qRed(p) && qBlue(p) * 3 < qRed(p); }

// Where the open palette's red cell is, from a picture of the script's end.
std::optional<QPoint> paletteRed(const std::string& script, const std::string& options, const std::string& name)
{
    const fs::path png = scratch(name + ".png");
    const Session run = drive(script + "shot " + png.string() + "\n", options);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return redPatch(QImage(QString::fromStdString(png.string())));
}

std::string tapAt(QPoint p) { return "tap " + std::to_string(p.x()) + " " + std::to_string(p.y()) + "\n"; }

class ColourDrive : public ::testing::TestWithParam<std::string> {};

// Y= ▸ the style icon of Y₁ ▸ Palette ▸ red ▸ Done, then GRAPH draws Y₁ in red, not in its
// former green.
TEST_P(ColourDrive, YOneTakesTheColourPickedAndTheGraphDrawsIt)
{
    const std::string options = "--device " + GetParam();
    const std::string open = "key Y=\ntype X\ntap 60 16\npress Palette\n";
    const auto red = paletteRed(open, options, "yeq-palette-" + GetParam());
    ASSERT_TRUE(red) << "the palette shows its red cell";
    const fs::path png = scratch("yeq-red-" + GetParam() + ".png");
    const Session run = drive(open + "dump\n" + tapAt(*red) + "dump\npress Done\ndump\nkey GRAPH\nwait idle\nshot "
                                  + png.string() + "\ndump\n",
        options);
    ASSERT_TRUE(endedWithDumps(run, 4));
    EXPECT_EQ(run.dumps[0]["overlay"], "Equation colour");
    EXPECT_EQ(run.dumps[1]["yEq"]["rows"][0]["color"], json::parse("[0.0,1.0,0.0]")) << "nothing stored before Done";
    EXPECT_FALSE(run.dumps[2].contains("overlay"));
    EXPECT_EQ(run.dumps[2]["yEq"]["rows"][0]["color"], json::parse("[1.0,0.0,0.0]"));
    const json& graph = run.dumps[3]["graph"];
    ASSERT_TRUE(graph.is_array());
    const QImage image(QString::fromStdString(png.string()));
    const QRect area(graph[0].get<int>(), graph[1].get<int>(), graph[2].get<int>(), graph[3].get<int>());
    EXPECT_GT(countPixels(image, area, reddish), area.height() / 2) << "Y₁=X crosses the graph in red";
    EXPECT_LT(countPixels(image, area, greenish), 10);
}

INSTANTIATE_TEST_SUITE_P(Drive, ColourDrive, ::testing::Values("phone", "tablet"));

// FORMAT ▸ Grid opens the picker on the palette; a colour there is the grid's at once, and
// Done, Escape and QUIT close it.
TEST(Drive, FormatsGridButtonPicksTheGridColour)
{
    const std::string open = "key 0x417\npress Grid\n";
    const auto red = paletteRed(open, "", "format-palette");
    ASSERT_TRUE(red);
    const fs::path png = scratch("format-grid.png");
    const Session run = drive(open + "dump\n" + tapAt(*red) + "press Done\ndump\npress Axes\ndump\nhkey Escape\ndump\n"
                                  + "key GRAPH\nwait idle\nshot " + png.string() + "\ndump\n",
        "");
    ASSERT_TRUE(endedWithDumps(run, 5));
    EXPECT_EQ(run.dumps[0]["overlay"], "Colour");
    EXPECT_EQ(run.dumps[0]["picker"]["title"], "Grid");
    EXPECT_EQ(run.dumps[0]["picker"]["mode"], 3);
    EXPECT_FALSE(run.dumps[1].contains("overlay"));
    EXPECT_EQ(run.dumps[1]["screen"], 17);
    EXPECT_EQ(run.dumps[2]["picker"]["title"], "Axes");
    EXPECT_FALSE(run.dumps[3].contains("overlay")) << "Escape closes the picker";
    // The grid's lines are red now.
    const json& graph = run.dumps[4]["graph"];
    ASSERT_TRUE(graph.is_array());
    const QImage image(QString::fromStdString(png.string()));
    const QRect area(graph[0].get<int>(), graph[1].get<int>(), graph[2].get<int>(), graph[3].get<int>());
    EXPECT_GT(countPixels(image, area, faintRed), area.width() * 4);
}

// USER ▸ "+" keeps the entry line under a name; the menu's row pastes it back.
TEST(Drive, AUserMenuKeepsTheEntryLineAndPastesIt)
{
    Session run = drive("type 2+3\nkey 0x437\npress +\ndump\nhkey s\nhkey u\nhkey m\nhkey Return\ndump\n"
                              "press Cancel\nkey CLEAR\nkey 0x437\nkey 1\ndump\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 4));
    EXPECT_EQ(run.dumps[0]["dialog"], "Add to User Menu");
    run.dumps.erase(run.dumps.begin());
    EXPECT_FALSE(run.dumps[0].contains("dialog"));
    EXPECT_EQ(run.dumps[0]["menu"], 36);
    EXPECT_EQ(run.dumps[0]["entry"], "2+3") << "the entry line stays";
    EXPECT_EQ(run.dumps[1]["menu"], nullptr);
    EXPECT_EQ(run.dumps[1]["entry"], "2+3");
    EXPECT_EQ(run.dumps[2]["ans"], "5");
}

// MEM ▸ About… shows the version until Done.
TEST(Drive, MemsAboutPageShowsTheVersion)
{
    const Session run = drive("key 0x430\nkey 1\ndump\npress Done\ndump\nkey 0x430\nkey 4\nkey 1\ndump\nkey CLEAR\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 4));
    ASSERT_TRUE(run.dumps[0]["about"].is_string());
    EXPECT_TRUE(run.dumps[0]["about"].get<std::string>().starts_with("version "));
    EXPECT_FALSE(run.dumps[1].contains("about"));
    EXPECT_EQ(run.dumps[1]["menu"], 29);
    // Reset ▸ All memory… asks first, OK before Cancel; CLEAR answers Cancel.
    ASSERT_EQ(run.dumps[2]["alerts"].size(), 1u);
    EXPECT_EQ(run.dumps[2]["alerts"][0]["title"], "Clear All Memory");
    EXPECT_EQ(run.dumps[2]["alerts"][0]["buttons"], json::parse(R"(["OK","Cancel"])"));
    EXPECT_EQ(run.dumps[3]["alerts"], json::array());
    EXPECT_EQ(run.dumps[3]["menu"], 30) << "Cancel leaves the menu open";
}

// MathPrint's ink (a root's hook, a fraction bar, the answers) keeps a gap from the
// display's 4-pixel frame on the left, the top and the right, as the classic screen's does.
TEST(Drive, MathPrintInkKeepsAGapFromTheFrame)
{
    for (const std::string device : {"phone", "tablet"}) {
        const fs::path png = scratch("gap-" + device + ".png");
        const Session run = drive("type √(2\nkey ENTER\nwait idle\ntype 1/3\nkey ENTER\nwait idle\ntype √(1/3)\nkey ENTER\n"
                                      "wait idle\nshot "
                                      + png.string() + "\n",
            "--device " + device);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const QImage image(QString::fromStdString(png.string()));
        // Inside the frame, whose corners are dark.
        const QRect inside = lcdPanel(image).adjusted(4, 4, -4, 0);
        int left = image.width(), right = -1, top = image.height();
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (darkText(image, x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                }
        ASSERT_GE(right, 0) << device;
        EXPECT_GE(left - inside.left(), 3) << device << ": a gap between the frame and the ink on the left";
        EXPECT_GE(top - inside.top(), 3) << device << ": at the top";
        EXPECT_GE(inside.right() - right, 3) << device << ": on the right";
    }
}

// 2ND USER ▸ a key set: its row of keys over the entry line; "CompSci" key 2 after 5
// converts to binary and evaluates. A set of the user's, made with "+" and filled in the
// editor, works the same way; Escape closes the catalogue and hides the row.
TEST(Drive, KeySetsShowTheirRowAndTheEditorFillsIt)
{
    const Session run = drive("key 0x438\ndump\ntap 58 87\ntype 5\ntap 195 290\nwait idle\ndump\n"
                              "key 0x438\npress +\nhkey M\nhkey y\nhkey Return\npress Edit\ntap 40 195\ntype 7\n"
                              "key DOWN\ntype 2+3\nkey ENTER\ndump\npress Done\ntap 40 290\nwait idle\ndump\n"
                              "key 0x438\nhkey Escape\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 5));
    EXPECT_EQ(run.dumps[0]["overlay"], "User keys");
    EXPECT_EQ(run.dumps[1]["keySet"], "CompSci");
    EXPECT_EQ(newest(run.dumps[1]), json::parse(R"({"input":"5▸Bin","answer":"0b101"})"));
    const json& editor = run.dumps[2];
    EXPECT_EQ(editor["screen"], 22);
    EXPECT_EQ(editor["keyEditor"]["lines"], json::parse(R"(["     title=7","      key=2+3ENTER","2ND title=","2ND   key="])"));
    EXPECT_EQ(run.dumps[3]["screen"], 0);
    EXPECT_EQ(run.dumps[3]["mathPrint"], true);
    EXPECT_EQ(newest(run.dumps[3]), json::parse(R"({"input":"2+3","answer":"5"})"));
    EXPECT_FALSE(run.dumps[4].contains("overlay"));
}

} // namespace
