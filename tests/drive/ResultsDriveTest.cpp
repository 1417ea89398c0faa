// What a screen shows is worked out from the values as they are now, and a key or a click
// acts once, where it is aimed, whatever the pace: the trace and the histogram after every
// kind of change, the forms that paste commands, the keys over a sliding page and over a
// screen without an entry line, and the buttons pressed while an ENTER waits.

#include "drive/DriveSession.h"

#include "PdfReadBack.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

#include <string>
#include <vector>

namespace {

using nlohmann::json;
using orvenda::test::DriveRun;
using orvenda::test::driveScratch;
using orvenda::test::driveScript;
using orvenda::test::endedWithDumps;

const std::string kEnter = "key ENTER\nwait idle\n";
const std::string kTrace = "key 0x403\nwait idle\n";

// ---- The trace and the histogram across every change ----

// Y₁ traced at X=0, then changed (on Y=, by a store, by a program, through a variable it
// reads) or the window changed (a zoom, a store, a program): back on the graph the trace
// reads the curve as it is now.
TEST(ResultsDrive, TheTraceFollowsItsRowAndItsWindow)
{
    const struct {
        const char* change;
        const char* row;  // Y₁ before the change
        double y;         // at X=0 after it
    } cases[] = {
        {"key Y=\nkey CLEAR\ntype X+5\n", "X", 5},
        {"key Y=\nkey CLEAR\ntype X*X-4\n", "1/X", -4},
        {"key 2ND\nkey MODE\ntype \"3—X\"->Y₁\nkey ENTER\nwait idle\n", "X", 3},
        {"key 2ND\nkey MODE\ntype 4->A\nkey ENTER\nwait idle\n", "X+A", 4},
        {"key 2ND\nkey MODE\ntype prgmPCHANGE\nkey ENTER\nwait idle\n", "X", 7},
        {"key 2ND\nkey MODE\ntype -5->Xmin\nkey ENTER\nwait idle\n", "X+2", 2},
        {"key 2ND\nkey MODE\ntype ZStandard\nkey ENTER\nwait idle\n", "X+2", 2},
    };
    for (const auto& c : cases) {
        const DriveRun run = driveScript(std::string("program PCHANGE\n\"X+7\"->Y₁\nend\ntype 0->A\n") + kEnter + "type \"" + c.row + "\"->Y₁\n" + kEnter
                                         + "key GRAPH\nwait idle\n" + kTrace + "dump\n" + c.change + "key GRAPH\nwait idle\n"
                                         + kTrace + "dump\n");
        ASSERT_TRUE(endedWithDumps(run, 2)) << c.change;
        ASSERT_TRUE(run.dumps[1]["trace"].is_object()) << c.change << run.dumps[1];
        EXPECT_EQ(run.dumps[1]["trace"]["x"], 0) << c.change;
        EXPECT_EQ(run.dumps[1]["trace"]["y"], c.y) << c.change;
    }
}

// A scatter or xyLine traced at its ninth point, then its lists cut to two points: back on
// the graph the trace stands on the last point there is, (2,4), not on (0,0); with the lists
// emptied there is nothing left to trace.
TEST(ResultsDrive, TheTraceOnListsThatShrankStandsOnTheirLastPoint)
{
    const struct {
        const char* plot;
        const char* change;
        bool traced;
    } cases[] = {
        {"Scatter", "{1,2}->L₁:{3,4}->L₂", true},
        {"xyLine", "{1,2}->L₁:{3,4}->L₂", true},
        {"Scatter", "ClrList L₁,L₂", false},
    };
    for (const auto& c : cases) {
        const DriveRun run = driveScript(std::string("type seq(X,X,1,10)->L₁:seq(X²,X,1,10)->L₂:Plot1(") + c.plot + ",L₁,L₂):ZoomStat\n"
                                         + kEnter + kTrace + "key RIGHT\nkey RIGHT\nkey RIGHT\nkey RIGHT\nkey RIGHT\nkey RIGHT\n"
                                         "key RIGHT\nkey RIGHT\nwait idle\ndump\nkey 2ND\nkey MODE\ntype " + c.change + "\n"
                                         + kEnter + "key GRAPH\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 2)) << c.plot << c.change;
        EXPECT_EQ(run.dumps[0]["trace"]["x"], 9) << c.plot;
        json trace = run.dumps[1]["trace"];
        ASSERT_EQ(trace.is_object(), c.traced) << c.plot << c.change << trace;
        // Where the lines are drawn is the layout's business, not the trace's.
        if (c.traced)
            trace.erase("linesRect");
        if (c.traced) {
            EXPECT_EQ(trace, json::parse(R"({"eq":-1,"feature":0,"lines":[")" + std::string(c.plot[0] == 'S' ? "P1:L₁,L₂" : "Plot(L₁,L₂)")
                                         + R"(","x:2","y:4"],"plot":0,"t":1,"x":2,"y":4})")) << c.plot;
        }
    }
}

// With the table beside the graph (G-T), Y₁=X traced at X=2, then X+5 typed on the table's
// Y₁ header: the graph draws Y₁ anew and the trace reads 7 there; "X+" is told as a syntax
// error, as GRAPH tells it.
TEST(ResultsDrive, TheGraphBesideTheTableDrawsTheEquationTypedThere)
{
    const struct {
        const char* typed;
        json y;
        std::size_t alerts;
    } cases[] = {{"hkey +\nhkey 5\n", 7, 0}, {"hkey +\n", nullptr, 1}};
    for (const auto& c : cases) {
        const DriveRun run = driveScript("type \"X\"->Y₁:G-T:ZStandard\n" + kEnter + "tap 234 253\nwait idle\ndump\ntap 195 643\n"
                                         "wait idle\nhkey Shift+X\n" + c.typed + "hkey Return\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 2)) << c.typed;
        ASSERT_EQ(run.dumps[0]["trace"]["x"], 2) << run.dumps[0];
        const json& after = run.dumps[1];
        EXPECT_EQ(after["trace"]["x"], 2) << c.typed;
        EXPECT_EQ(after["trace"]["y"], c.y) << c.typed;
        EXPECT_EQ(after["alerts"].size(), c.alerts) << c.typed;
    }
}

// ZoomStat fits a histogram of 0…9 (bins from 0). New data −9…9 and the window changed by
// each way there is: the bins start again at Xmin (−10), so the first bar holds −10 to −9
// and no value of the window is left out of the bars.
TEST(ResultsDrive, TheHistogramsBinsStartAgainAtXminOnEveryWindowChange)
{
    const std::string setUp = "program PWINDOW\n-10->Xmin\n10->Xmax\nend\n"
                              "type -10->Xmin:10->Xmax:-1->Ymin:10->Ymax:StoreGDB 3\n" + kEnter
                              + "type seq(X,X,0,9)->L₁:Plot1(Histogram,L₁)\n" + kEnter + "type ZoomStat\n" + kEnter
                              + "key 2ND\nkey MODE\ntype seq(X,X,-9,9)->L₁\n" + kEnter;
    const struct {
        const char* name;
        const char* change;
    } cases[] = {
        {"home", "type -10->Xmin:10->Xmax\nkey ENTER\nwait idle\n"},
        {"program", "type prgmPWINDOW\nkey ENTER\nwait idle\n"},
        {"graph database", "type RecallGDB 3\nkey ENTER\nwait idle\n"},
        {"window screen", "hkey Ctrl+Shift+G\nwait idle\nkey CLEAR\ntype -10\nkey DOWN\nkey CLEAR\ntype 10\nkey DOWN\nwait idle\n"},
        {"zoom", "type ZStandard\nkey ENTER\nwait idle\n"},
    };
    for (const auto& c : cases) {
        const DriveRun run = driveScript(setUp + c.change + "key GRAPH\nwait idle\n" + kTrace + "dump\n");
        ASSERT_TRUE(endedWithDumps(run, 1)) << c.name;
        const json& trace = run.dumps[0]["trace"];
        ASSERT_TRUE(trace.is_object()) << c.name << run.dumps[0];
        ASSERT_GE(trace["lines"].size(), 3u) << c.name << trace;
        EXPECT_EQ(trace["lines"][1], "min=-10") << c.name;
    }
}

// ---- Forms, keys and buttons ----

// The key-set editor with 1234 typed and the cursor on the 3: MODE over it, with its Entry
// switched or not, leaves the cursor there, so 9 goes over the 3.
TEST(ResultsDrive, TheKeySetEditorKeepsItsCursorUnderMode)
{
    for (const char* mode : {"press Classic\npress Done\n", "press Classic\npress MathPrint\npress Done\n", "press Done\n"}) {
        const DriveRun run = driveScript("key 0x438\npress +\nhkey M\nhkey y\nhkey Return\nkey 0x438\npress Edit\ntap 40 195\n"
                                         "wait idle\ntype 1234\nkey LEFT\nkey LEFT\nkey MODE\nwait idle\n" + std::string(mode)
                                         + "wait idle\ndump\ntype 9\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 2)) << mode;
        EXPECT_EQ(run.dumps[0]["screen"], 22) << mode;
        EXPECT_EQ(run.dumps[0]["cursor"], 2) << mode;
        EXPECT_EQ(run.dumps[1]["entry"], "1294") << mode;
    }
}

// The help chord, Ctrl+Shift+/, as a window delivers it (Shift made the key "?"), opens
// the help menu.
TEST(ResultsDrive, TheHelpChordOpensTheHelpMenu)
{
    const DriveRun run = driveScript("hkey Ctrl+Shift+/\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 1));
    EXPECT_EQ(run.dumps[0]["help"]["view"], "help menu");
}

// A button pressed right after ENTER (no pause) acts after the ENTER's answer, as with a
// pause: on the equation solver, 2 typed on the solved X line, ENTER and SOLVE give the
// root again; on the TVM solver, PV typed, ENTER (which moves to PMT) and Solve give the
// payment.
TEST(ResultsDrive, AButtonRightAfterEnterActsOnItsAnswer)
{
    const std::string tvm = "key APPS\nkey 1\nkey 1\nwait idle\ntype 360\nkey DOWN\ntype 6\nkey DOWN\nkey DOWN\nkey DOWN\n"
                            "type 0\nkey DOWN\ntype 12\nkey DOWN\ntype 12\nkey DOWN\nkey UP\nkey UP\nkey UP\nkey UP\nwait idle\n"
                            "type 200000\nkey ENTER\n";
    const struct {
        const char* name;
        std::string typed;   // up to the ENTER
        const char* screen;  // the dump's key
        const char* line;    // the JSON pointer of the line read
        const char* text;
    } cases[] = {
        {"solver", "open 10\nwait idle\ntype X²-9\nkey DOWN\nwait idle\ntype 1\npress SOLVE\nwait idle\ntype 2\nkey ENTER\n",
         "solver", "/solver/lines/1", "X=3"},
        {"TVM solver", tvm, "finance", "/finance/fields/3/text", "-1199.10105"},
    };
    for (const auto& c : cases) {
        for (const char* pause : {"", "wait idle\n"}) {
            const std::string press = c.name[0] == 's' ? "press SOLVE\n" : "press Solve\n";
            const DriveRun run = driveScript(c.typed + pause + press + "wait idle\ndump\n");
            ASSERT_TRUE(endedWithDumps(run, 1)) << c.name << " " << pause;
            ASSERT_TRUE(run.dumps[0].contains(c.screen)) << c.name << run.dumps[0];
            EXPECT_EQ(run.dumps[0].value(json::json_pointer(c.line), json()), c.text) << c.name << " " << pause;
        }
    }
}

// A page slid in over a list (the catalogue's and a menu's help, a program's notes): keys
// and taps at once, while it slides, act on nothing behind it (the 2ND key's place lies on
// the list, Down and Return would pick a row). Escape brings the list back, in place,
// taking keys again.
TEST(ResultsDrive, KeysWhileAPageSlidesInNeverReachTheListBehind)
{
    const struct {
        const char* name;
        const char* open;
        const char* shown;  // the dump's key that names the page
    } cases[] = {
        {"catalogue", "hkey z\nhkey Ctrl+I\n", "help"},
        {"menu", "key MATH\nhkey Ctrl+I\n", "help"},
        {"library notes", "key PRGM\nwait idle\nhkey Down\nhkey Ctrl+I\n", "notes"},
    };
    for (const auto& c : cases) {
        const DriveRun run = driveScript(std::string(c.open) + "key 2ND\nhkey Down\nhkey Return\nkey 1\nkey ENTER\ndump\nwait idle\ndump\n"
                                         "hkey Escape\nwait idle\ndump\nhkey Down\nhkey Return\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 4)) << c.name;
        const auto shown = [&](const json& dump) { return dump.contains(c.shown) && dump[c.shown].is_object(); };
        for (int i : {0, 1}) {
            EXPECT_EQ(run.dumps[i]["entry"], "") << c.name << " " << i;
            EXPECT_TRUE(shown(run.dumps[i])) << c.name << " " << i;
            EXPECT_EQ(run.dumps[i]["screen"], 0) << c.name;
        }
        EXPECT_FALSE(shown(run.dumps[2])) << c.name;
        EXPECT_FALSE(run.dumps[2].contains("catalogBar")) << c.name;
        EXPECT_TRUE(run.dumps[2]["overlay"].is_string()) << c.name << ": the list is still open";
        EXPECT_NE(run.dumps[3]["entry"], "") << c.name << ": the list picks again";
    }
}

// The statistics tests' Tests list covers the form and its keypad on a phone, upright, on
// its side and at the least size: keys typed over it and over a help page it slid in
// (while it slides too) reach no field. Escape closes the list, and the next digit is the
// form's again.
TEST(ResultsDrive, KeysOverTheTestsListNeverReachTheFormBehind)
{
    const struct {
        const char* size;
        const char* detail;  // the first row's (i) button
    } cases[] = {{"390x844", "368 66"}, {"844x390", "400 62"}, {"320x390", "138 62"}};
    const std::string keys = "hkey 7\nhkey Return\nhkey Down\nhkey Backspace\n";
    for (const auto& c : cases) {
        const DriveRun run = driveScript("key STAT\nkey RIGHT\nkey RIGHT\nkey 1\nwait idle\npress Tests\nwait idle\n" + keys + "tap "
                                             + c.detail + "\n" + keys + "dump\nwait idle\n" + keys + "dump\nhkey Escape\n"
                                             + "wait idle\nhkey 5\ndump\n",
            std::string("--size ") + c.size);
        ASSERT_TRUE(endedWithDumps(run, 3)) << c.size;
        for (const json& d : run.dumps) {
            EXPECT_EQ(d["screen"], 15) << c.size;
            EXPECT_EQ(d["statTest"]["fields"][0]["value"], 0) << c.size;
            EXPECT_EQ(d["statTest"]["current"], 0) << c.size;
        }
        for (int i : {0, 1})
            EXPECT_TRUE(run.dumps[i]["statTest"]["menu"]["help"].is_string()) << c.size;
        EXPECT_TRUE(run.dumps[2]["statTest"]["menu"].is_null()) << c.size;
        EXPECT_EQ(run.dumps[2]["statTest"]["typing"], "5") << c.size;
    }
}

// ENTER on a screen without an entry line, or with MODE, the key-set catalogue or a colour
// picker over the line, runs nothing: "2+3" typed on the home screen stays there, no Ans,
// no item, no alert. (Every other screen has a line of its own for ENTER.)
TEST(ResultsDrive, EnterWhereNoEntryLineShowsRunsNothing)
{
    const struct {
        const char* name;
        const char* open;
        bool keyboard;  // the calculator's ENTER key is in reach too
    } cases[] = {
        {"stat plots", "hkey Ctrl+Shift+Y\n", true},
        {"stat plots by its key", "key 2ND\nkey Y=\n", true},
        {"periodic table", "open 13\n", true},
        {"FORMAT", "hkey Ctrl+Shift+H\n", true},
        {"MODE", "key MODE\n", false},
        {"key-set catalogue", "key 0x438\n", false},
        {"FORMAT's colour picker", "hkey Ctrl+Shift+H\nwait idle\npress Background\n", false},
    };
    for (const auto& c : cases) {
        for (const char* enter : {"hkey Return\n", "key ENTER\n"}) {
            if (!c.keyboard && enter[0] == 'k')
                continue;
            const DriveRun run = driveScript("type 2+3\n" + std::string(c.open) + "wait idle\n" + enter + "wait idle\ndump\n");
            ASSERT_TRUE(endedWithDumps(run, 1)) << c.name << " " << enter;
            const json& d = run.dumps[0];
            EXPECT_EQ(d["ans"], "0") << c.name << " " << enter;
            EXPECT_EQ(d["history"], json::array()) << c.name << " " << enter;
            EXPECT_EQ(d["alerts"], json::array()) << c.name << " " << enter;
        }
    }
}

// The computer's keys typed while MODE, the key-set catalogue or the equation colour picker
// covers a line (a digit, a letter, Backspace, LEFT, undo) leave it as it was, with its
// cursor: the home line "2+3", Y₁ "X".
TEST(ResultsDrive, KeysUnderAnOverlayLeaveTheLineBehindIt)
{
    const struct {
        const char* name;
        const char* open;
        const char* line;  // the dump's JSON pointer to the line's text
        const char* text;
    } cases[] = {
        {"MODE", "type 2+3\nkey MODE\n", "/entry", "2+3"},
        {"key-set catalogue", "type 2+3\nkey 0x438\n", "/entry", "2+3"},
        {"equation colour", "key Y=\ntype X\ntap 60 16\n", "/yEq/rows/0/text", "X"},
    };
    for (const auto& c : cases) {
        const DriveRun run = driveScript(std::string(c.open) + "wait idle\ndump\nhkey 4\nhkey Shift+A\nhkey Backspace\nhkey Left\n"
                                         "hkey Backspace\nhkey Ctrl+Z\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 2)) << c.name;
        EXPECT_TRUE(run.dumps[1]["overlay"].is_string()) << c.name;
        EXPECT_EQ(run.dumps[1].value(json::json_pointer(c.line), json()), std::string(c.text)) << c.name;
        EXPECT_EQ(run.dumps[1]["cursor"], run.dumps[0]["cursor"]) << c.name;
    }
}

// ---- Fixed decimals wherever a number shows ----

// Fix 2 shows 2.675 as round(2.675,2) does, 2.68, and -1.005 as -1.01 (never 2.67 and
// -1.00, the binary value's ties to even) in every place a number shows: the home
// screen's answers, lists, matrices and statistics results (x̄ = .835 shows .84), the
// trace, the table, the list editor, the equation solver, the TVM solver, a list shared
// as text and as CSV and the history's PDF.
TEST(ResultsDrive, FixedDecimalsShowWhatRoundGivesWhereverANumberShows)
{
    const auto data = driveScratch("fix-places");
    std::string script = "type Fix 2\n" + kEnter;
    for (const char* line : {"2.675", "{2.675,-1.005}->L₁", "[[2.675,-1.005]]", "1-Var Stats L₁", "\"2.675\"->Y₁"})
        script += std::string("type ") + line + "\n" + kEnter;
    const std::string quit = "key 2ND\nkey MODE\nwait idle\n";
    script += "dump\nkey GRAPH\nwait idle\n" + kTrace + "dump\nopen 5\nwait idle\nkey RIGHT\nwait idle\ndump\nopen 4\nwait idle\ndump\n"
        "open 10\nwait idle\ntype X-2.675\nkey DOWN\nwait idle\ntype 1\nwait idle\npress SOLVE\nwait idle\ndump\n" + quit
        + "key APPS\nkey 1\nkey 1\nwait idle\ntype 2.675\nkey ENTER\nwait idle\ndump\n" + quit
        + "key 0xE7\nwait idle\nkey 2\nwait idle\nkey 1\npress Send\nwait idle\ndump\n"
        + "key 0xE7\nwait idle\nkey 2\nwait idle\nkey RIGHT\nkey 1\npress Send\nwait idle\ndump\n"
        + "key 0xE7\nwait idle\nkey 7\nwait idle\ndump\n";
    const DriveRun run = driveScript(script, "--data " + data.string());
    ASSERT_TRUE(endedWithDumps(run, 9));
    const json& history = run.dumps[0]["history"];
    ASSERT_EQ(history.size(), 6u) << history;
    EXPECT_EQ(history[1]["answer"], "2.68");
    EXPECT_EQ(history[2]["answer"], "{2.68 -1.01}");
    EXPECT_EQ(history[3]["answer"], "[[2.68 -1.01]]");
    const std::string stats = history[4]["answer"];
    EXPECT_TRUE(stats.starts_with("x\xCC\x85:.84 ")) << stats;
    EXPECT_EQ(run.dumps[1]["trace"]["lines"].back(), "Y:2.68") << run.dumps[1]["trace"];
    EXPECT_EQ(run.dumps[2]["table"]["shows"], "2.68") << run.dumps[2]["table"];
    EXPECT_EQ(run.dumps[3]["listEditor"]["cell"], "2.68") << run.dumps[3]["listEditor"];
    EXPECT_EQ(run.dumps[4]["solver"]["lines"][1], "X=2.68") << run.dumps[4]["solver"];
    EXPECT_EQ(run.dumps[5]["finance"]["fields"][0]["text"], "2.68") << run.dumps[5]["finance"];
    EXPECT_EQ(run.dumps[6]["shared"]["text"], "L₁={2.68,-1.01}") << run.dumps[6]["shared"];
    const json& csv = run.dumps[7]["shared"]["files"];
    ASSERT_EQ(csv.size(), 1u) << run.dumps[7]["shared"];
    std::ifstream csvFile(csv[0].get<std::string>());
    std::stringstream csvText;
    csvText << csvFile.rdbuf();
    EXPECT_NE(csvText.str().find("2.68"), std::string::npos) << csvText.str();
    EXPECT_NE(csvText.str().find("-1.01"), std::string::npos) << csvText.str();
    const json& pdf = run.dumps[8]["shared"]["files"];
    ASSERT_EQ(pdf.size(), 1u) << run.dumps[8]["shared"];
    QFile file(QString::fromStdString(pdf[0].get<std::string>()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const orvenda::PdfReadBack document = orvenda::readPdf(file.readAll());
    ASSERT_GE(document.pages, 1);
    QString text = document.texts[0];
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    // Each answer as the history shows it ("[[" reads back as one "[").
    for (const char* answer : {"2.6752.68{", "{2.68-1.01}", "[2.68-1.01]", "x\xCC\x85:.84"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(answer))) << answer << " in " << text.toStdString();
}

} // namespace
