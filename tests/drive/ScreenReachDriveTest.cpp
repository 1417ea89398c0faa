// Every screen's controls within a user's reach, through orvenda-drive: every screen, menu,
// sheet and form at the four window sizes (phone 390 × 844 and tablet 768 × 1024, upright and
// turned) lies inside the window with nothing over its controls; on a phone on its side the
// graph's calculate sheet, the statistics test screen, the geometry screen and the debugger
// work where they are drawn; the screens with the compact keypad take Return, Enter and the
// arrows from the computer's keyboard; and a tablet's test menu is a popover at Tests.

#include "DrivePictures.h"
#include "DriveSession.h"

#include <QRect>
#include <QSize>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace orvenda::test {
namespace {

using nlohmann::json;

struct WindowSize {
    const char* device;
    QSize size;
    std::string options() const
    {
        return std::string("--device ") + device + " --size " + std::to_string(size.width()) + "x" + std::to_string(size.height());
    }
    std::string name() const { return options().substr(9); }
};

const std::array<WindowSize, 4> kSizes{{{"phone", {390, 844}}, {"phone", {844, 390}}, {"tablet", {768, 1024}}, {"tablet", {1024, 768}}}};
const WindowSize kTurnedPhone = kSizes[1];
// Those and the least window.
const std::array<WindowSize, 5> kEverySize{{kSizes[0], kSizes[1], kSizes[2], kSizes[3], {"phone", {320, 390}}}};

const std::string kData = "type {1,2,3,4,5}->L₁\nkey ENTER\ntype {2,4,5,4,5}->L₂\nkey ENTER\n";
const std::string kTraced = "key Y=\ntype X²-4\nkey GRAPH\nwait idle\nkey 0x403\nwait idle\n";
const std::string kProgram = "program WQ\nFor(I,1,3)\nDisp I²\nEnd\nend\n";
const std::string kEditProgram = "key PRGM\nkey RIGHT\nhkey w\nhkey Return\nwait idle\n";
const std::string kPause = "program PZ\nClrDraw\nPt-On(0,0)\nPause\nend\ntype prgmPZ\nhkey Return\nwait idle\n";
const std::string kGraphTable = "key MODE\nwait idle\npress G-T\nwait idle\ntap leave\nwait idle\n";
const std::string kZTest = "key STAT\nkey RIGHT\nkey RIGHT\nkey ENTER\nwait idle\n";
// Escape closes a sheet, a menu or the debugger over a screen (or the screen), QUIT the
// screen under it.
const std::string kHome = "hkey Escape\nwait idle\nkey 2ND\nkey MODE\nwait idle\n";
constexpr int kProcedures = 18, kLinRegTTest = 15, kRegression = 17;

std::string tapAt(const json& point, const std::string& then = "wait idle\n")
{
    return "tap " + std::to_string(point[0].get<int>()) + " " + std::to_string(point[1].get<int>()) + "\n" + then;
}

std::string tapOn(const json& rect)
{
    return tapAt(json::array({rect[0].get<int>() + rect[2].get<int>() / 2, rect[1].get<int>() + rect[3].get<int>() / 2}));
}

bool inside(const QSize& window, double x, double y) { return x >= 0 && y >= 0 && x < window.width() && y < window.height(); }

// No control of the screen in front lies outside the window or under another widget, and
// the rows the menus draw themselves lie inside the window too.
::testing::AssertionResult reachable(const json& dump, const QSize& window)
{
    json drawn = json::array();
    const auto point = [&](const char* what, const json& p) {
        if (!inside(window, p[0].get<double>(), p[1].get<double>()))
            drawn.push_back({{what, p}});
    };
    if (dump.contains("statTest") && dump["statTest"]["menu"].is_object()) {
        point("first test", dump["statTest"]["menu"]["firstRow"]);
        point("last test", dump["statTest"]["menu"]["lastRow"]);
    }
    if (dump.contains("geometry") && dump["geometry"]["menu"].is_object()) {
        const json& menu = dump["geometry"]["menu"];
        point("last figure", json::array({menu["firstRow"][0], menu["firstRow"][1].get<double>() + 9 * menu["rowHeight"].get<double>()}));
    }
    if (!dump.contains("unreachable") && drawn.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << dump["top"]["title"] << ": " << dump.value("unreachable", json::array()) << " " << drawn;
}

// Row r of the test menu, whose dump gives its first and last rows (in one column, or in two
// on a phone on its side).
json testRow(const json& menu, int r)
{
    const json& first = menu["firstRow"];
    const json& last = menu["lastRow"];
    const double h = menu["rowHeight"];
    const int perColumn = first[0] == last[0] ? kProcedures : static_cast<int>(std::lround((last[1].get<double>() - first[1].get<double>()) / h)) + 1;
    return json::array({r < perColumn ? first[0].get<int>() : last[0].get<int>(), static_cast<int>(first[1].get<double>() + (r % perColumn) * h)});
}

// Each of the dumps shows every control of the screen in front within reach.
void expectReachable(const DriveRun& run, const WindowSize& size)
{
    for (const json& dump : run.dumps)
        EXPECT_TRUE(reachable(dump, size.size)) << size.name();
}

class EveryScreenReach : public ::testing::TestWithParam<WindowSize> {};

// Every screen and overlay the app shows, then the graph's calculate sheet (before and after
// a kind is picked), its slider form, zoom menu and a scatter plot's statistics panel, the
// ten geometry figures with the figure menu, the eighteen statistics procedures with the
// test menu and the list picker, the debugger over a program, the program library with
// its side index beside the rows' (i) buttons and a Pause over the graph beside its table
// (its bar over the graph, not the table's rows and arrows): at each of the four sizes and the least
// window, each reachable, no control over any part of another.
TEST_P(EveryScreenReach, ControlsLieInsideTheWindow)
{
    const WindowSize& size = GetParam();
    const DriveRun listing = driveScript("screens\n");
    ASSERT_TRUE(endedWithDumps(listing, 1));
    std::string screens;
    std::size_t opened = 0;
    for (const json& screen : listing.dumps[0]["screens"])
        if (screen["id"] != 0 && screen["id"] != 100) { // the home screens are shown when all else is closed
            screens += "open " + std::to_string(screen["id"].get<int>()) + "\nwait idle\ndump\nhkey Escape\nwait idle\nhkey Escape\nwait idle\n";
            ++opened;
        }
    std::string figures;
    for (const char* key : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"})
        figures += std::string("key APPS\nkey 3\nkey ") + key + "\nwait idle\ndump\n" + kHome;
    // The dumps give what the later runs tap: the kind list, the test menu's rows,
    // LinRegTTest's list rows and the program editor's debug control.
    const DriveRun run = driveScript(kData + kProgram + "dump\n" + screens + kTraced + "dump\npress Calc\nwait idle\ndump\n" + kHome + kTraced
                                         + "press X\nwait idle\npress 0\nwait idle\ndump\n" + kHome
                                         + "key GRAPH\nwait idle\npress Zoom\nwait idle\ndump\n" + kHome + figures
                                         + "key APPS\nkey 3\nkey 5\nwait idle\npress Figures\nwait idle\ndump\n" + kHome
                                         + "open 15\nwait idle\npress Tests\nwait idle\ndump\n" + kHome + kEditProgram + "dump\n" + kHome
                                         + "type FnOff\nkey ENTER\ntype Plot1(Scatter,L₁,L₂)\nkey ENTER\ntype ZoomStat\nkey ENTER\nwait idle\nkey 0x403\nwait idle\n"
                                         + "press Calc\nwait idle\ndump\n" + kHome + "key PRGM\nwait idle\ndump\n",
                                     size.options());
    ASSERT_TRUE(endedWithDumps(run, 1 + opened + 4 + 10 + 1 + 1 + 1 + 1 + 1));
    expectReachable(run, size);
    const std::size_t at = 1 + opened;
    const json& sheet = run.dumps[at + 1]["calcSheet"];
    ASSERT_TRUE(sheet.is_object());
    EXPECT_EQ(run.dumps[at + 2]["calcSheet"]["fields"][0]["label"], "X=") << "the slider form";
    std::set<std::string> shown;
    for (std::size_t k = at + 4; k < at + 14; ++k)
        shown.insert(run.dumps[k]["geometry"]["title"].get<std::string>());
    EXPECT_EQ(shown.size(), 10u);
    const json& menu = run.dumps[at + 15]["statTest"]["menu"];
    ASSERT_TRUE(menu.is_object());
    const json& debug = run.dumps[at + 16]["editor"]["controls"]["debug"];
    EXPECT_GT(run.dumps.back().value("programs", json::array()).size(), 20u) << "the library, by letter";

    // A procedure's errors (χ²-Test's matrices are not set) are alerts; Return closes them.
    std::string procedures = kData + kTraced + "press Calc\nwait idle\n" + tapOn(sheet["choice"]["rect"])
        + "hkey Down\nhkey Return\nwait idle\ndump\npress OK\nwait idle\n" + kHome + "open 15\nwait idle\n";
    for (int r = 0; r < kProcedures; ++r)
        procedures += "press Tests\nwait idle\n" + tapAt(testRow(menu, r)) + "dump\nhkey Return\nwait idle\nhkey Return\nwait idle\n";
    const DriveRun picked = driveScript(procedures, size.options());
    ASSERT_TRUE(endedWithDumps(picked, 1 + kProcedures));
    expectReachable(picked, size);
    EXPECT_EQ(picked.dumps[0]["calcSheet"]["choice"]["text"], "zero");
    std::set<int> tests;
    for (int r = 0; r < kProcedures; ++r)
        tests.insert(picked.dumps[1 + r]["statTest"]["test"].get<int>());
    EXPECT_EQ(tests.size(), 18u);

    const json& linReg = picked.dumps[1 + kLinRegTTest]["statTest"];
    ASSERT_EQ(linReg["test"], 0x5C4D);
    const json& form = linReg["formRect"];
    const json lists = json::array({form[0].get<int>() + 100, form[1].get<int>() + static_cast<int>(1.5 * linReg["rowHeight"].get<double>())});
    const DriveRun last = driveScript(kData + kProgram + "open 15\nwait idle\npress Tests\nwait idle\n" + tapAt(testRow(menu, kLinRegTTest))
                                          + tapAt(lists) + "dump\n" + kHome + kEditProgram + tapAt(debug) + "dump\n" + kHome + kGraphTable
                                          + kPause + "dump\n",
                                      size.options());
    ASSERT_TRUE(endedWithDumps(last, 3));
    expectReachable(last, size);
    EXPECT_TRUE(last.dumps[0]["statTest"]["picker"].is_object());
    EXPECT_EQ(last.dumps[1]["top"]["title"], "Debugger");
    EXPECT_TRUE(last.dumps[2]["pauseBar"].is_array()) << "a Pause over the graph beside its table";

    // A help page over a menu or the catalogue says on its bar what it helps with, whole
    // beside Share, and Back gives the list its own title again.
    const DriveRun help = driveScript("key MATH\nwait idle\nhkey Ctrl+I\nwait idle\ndump\npress ‹ Back\nwait idle\ndump\n" + kHome
                                          + "key 0x420\nhkey S\nhkey I\nhkey N\nhkey Ctrl+I\nwait idle\ndump\npress ‹ Back\nwait idle\ndump\n",
                                      size.options());
    ASSERT_TRUE(endedWithDumps(help, 4));
    for (const auto& [k, title] : {std::pair{0u, "menuTitle"}, std::pair{2u, "catalogTitle"}}) {
        const json& page = help.dumps[k]["help"];
        ASSERT_TRUE(page.is_object()) << size.name();
        EXPECT_EQ(help.dumps[k][title], page["page"]) << size.name();
    }
    EXPECT_EQ(help.dumps[1]["menuTitle"], "") << size.name();
    const json& bar = help.dumps[2]["catalogBar"];
    EXPECT_LE(bar["title"][0].get<int>() + bar["title"][2].get<int>(), bar["share"][0].get<int>()) << size.name() << bar;
    EXPECT_EQ(help.dumps[3]["catalogTitle"], "CATALOG") << size.name();
}

INSTANTIATE_TEST_SUITE_P(ScreenReachDrive, EveryScreenReach, ::testing::ValuesIn(kEverySize), [](const auto& info) {
    return std::string(info.param.device) + std::to_string(info.param.size.width()) + "x" + std::to_string(info.param.size.height());
});

// A program's buttons at the graph's four corners and one 10 points from its right edge
// (where Done and the zoom buttons stand), at every size: every control of the graph in
// reach, none over another, and the trace's lines clear of them. Stepped in the debugger, its graph kept above the debugger
// (beside it on a phone on its side) keeps the bar's items at their own size, clear of each
// other; and the variables panel, its values longer than it is wide, shows six lines whole
// without a sideways scroll. The buttons stepped in the debugger keep the zoom buttons of
// the graph above it off them.
TEST(ScreenReachDrive, AProgramsButtonsAtTheGraphsEdgesAndTheDebuggerLeaveEveryControlInReach)
{
    const std::string buttons = "program GB\nButton(0,0,90,\"A\",\"P\")\nButton(-100,0,90,\"B\",\"P\")\n"
                                "Button(-100,60,90,\"GO\",\"P\")\nButton(0,-34,90,\"C\",\"P\")\nButton(-100,-34,90,\"D\",\"P\")\n"
                                "DispGraph\nLbl P\nend\ntype \"X²-4\"->Y₁\nkey ENTER\ntype prgmGB\nkey ENTER\nwait idle\ndump\n"
                                "key 0x403\nwait idle\ndump\n";
    const std::string program = "program WV\nPt-On(0,0)\n1.23456789->A\n{1,2,3,4,5,6,7,8,9,10,11,12}->LABC\n"
                                "\"HELLO WORLD AND MORE TEXT\"->Str1\n[[1,2,3][4,5,6]]->[A]\nDisp A\nend\n";
    const std::string editor = "key PRGM\nwait idle\nkey RIGHT\nhkey w\nhkey Return\nwait idle\n";
    // The buttons where the program puts them on a graph drawn at g.
    const auto programButtons = [](const json& g) {
        const int w = g[2], h = g[3];
        std::vector<QRect> rects;
        for (const QRect& r : {QRect(0, 0, 90, 34), QRect(w - 100, 0, 90, 34), QRect(w - 100, 60, 90, 34), QRect(0, h - 34, 90, 34),
                               QRect(w - 100, h - 34, 90, 34)})
            rects.push_back(r.translated(g[0], g[1]));
        return rects;
    };
    for (const WindowSize& size : kEverySize) {
        const DriveRun graph = driveScript(buttons, size.options());
        ASSERT_TRUE(endedWithDumps(graph, 2)) << size.name();
        EXPECT_TRUE(reachable(graph.dumps[0], size.size)) << size.name();
        // The trace's lines stand clear of the buttons.
        const json& g = graph.dumps[1]["graph"];
        const json& lines = graph.dumps[1]["trace"]["linesRect"];
        ASSERT_TRUE(lines.is_array()) << size.name() << graph.dumps[1]["trace"];
        const QRect drawn(lines[0], lines[1], lines[2], lines[3]);
        for (const QRect& button : programButtons(g))
            EXPECT_FALSE(drawn.intersects(button)) << size.name() << " the trace's lines over a button";
        const DriveRun where = driveScript(program + editor + "dump\n", size.options());
        ASSERT_TRUE(endedWithDumps(where, 1)) << size.name();
        const std::string debug = program + editor + tapAt(where.dumps[0]["editor"]["controls"]["debug"]);
        const DriveRun controls = driveScript(debug + "dump\n", size.options());
        ASSERT_TRUE(endedWithDumps(controls, 1)) << size.name();
        ASSERT_TRUE(controls.dumps[0]["debugger"].is_object()) << size.name() << controls.dumps[0];
        const std::string step = tapAt(controls.dumps[0]["debugger"]["controls"]["step"]);
        std::string steps;
        for (int k = 0; k < 6; ++k)
            steps += step;
        const DriveRun run = driveScript(debug + step + "dump\n" + steps + "dump\n", size.options());
        ASSERT_TRUE(endedWithDumps(run, 2)) << size.name();
        const json& bar = run.dumps[0]["bar"];
        if (bar.is_object()) {
            for (const char* item : {"Zoom", "Share", "Calc"})
                if (bar.contains(item)) {
                    EXPECT_EQ(bar[item][2], graph.dumps[0]["bar"][item][2]) << size.name() << " " << item << " at its own width";
                }
            for (auto a = bar.begin(); a != bar.end(); ++a)
                for (auto b = std::next(a); b != bar.end(); ++b)
                    EXPECT_FALSE(QRect((*a)[0], (*a)[1], (*a)[2], (*a)[3]).intersects(QRect((*b)[0], (*b)[1], (*b)[2], (*b)[3])))
                        << size.name() << " " << a.key() << " over " << b.key();
        } else {
            ADD_FAILURE() << size.name() << ": no graph above the debugger " << run.dumps[0];
        }
        const json& panel = run.dumps[1];
        EXPECT_TRUE(reachable(panel, size.size)) << size.name();
        EXPECT_GE(panel["debugger"]["varsShown"].get<int>(), 6) << size.name() << panel["debugger"];

        // The buttons stepped in the debugger: the zoom buttons of the graph kept by it stand
        // clear of them, or give way where the graph is too short.
        const std::string stepped = "program GS\n" + buttons.substr(buttons.find('\n') + 1, buttons.find("DispGraph") - buttons.find('\n') - 1)
            + "DispGraph\n1->A\n2->B\nend\nkey PRGM\nwait idle\nkey RIGHT\nhkey g\nhkey Return\nwait idle\n"
            + tapAt(where.dumps[0]["editor"]["controls"]["debug"]);
        const DriveRun zooms = driveScript(stepped + steps + step + "dump\n", size.options());
        ASSERT_TRUE(endedWithDumps(zooms, 1)) << size.name();
        ASSERT_TRUE(zooms.dumps[0]["graph"].is_array()) << size.name() << ": no graph kept by the debugger";
        for (const auto& [name, zoom] : zooms.dumps[0]["zoomButtons"].items()) {
            const json& r = zoom["rect"];
            for (const QRect& button : programButtons(zooms.dumps[0]["graph"]))
                EXPECT_FALSE(zoom["shown"] == true && QRect(r[0], r[1], r[2], r[3]).intersects(button)) << size.name() << " " << name;
        }
    }
}

// A phone on its side (844 × 390): the kind list of the calculate sheet picks zero, whose
// bounds the sheet's fields take; on the statistics test screen Tests opens the menu, whose
// last row picks the regression, and Done closes the screen; on the geometry screen Figures
// opens the menu, a row picks its figure and Done closes it; the debugger, beside the
// display, runs the first statement on Step, the rest on Run, and Quit closes it. Each
// tapped where the dump draws it.
TEST(ScreenReachDrive, OnAPhoneOnItsSideTheFourScreensWorkWhereTheyAreDrawn)
{
    const std::string options = kTurnedPhone.options();
    const DriveRun where = driveScript(kProgram + kTraced + "press Calc\nwait idle\ndump\n" + kHome + kZTest + "dump\npress Tests\nwait idle\ndump\n"
                                           + kHome + "key APPS\nkey 3\nkey 1\nwait idle\ndump\npress Figures\nwait idle\ndump\n" + kHome
                                           + kEditProgram + "dump\n",
                                       options);
    ASSERT_TRUE(endedWithDumps(where, 6));
    const json& choice = where.dumps[0]["calcSheet"]["choice"]["rect"];
    const json& tests = where.dumps[1]["statTest"];
    const json& menu = where.dumps[2]["statTest"]["menu"];
    const json& geometry = where.dumps[3]["geometry"];
    const json& figures = where.dumps[4]["geometry"]["menu"];
    const json& debug = where.dumps[5]["editor"]["controls"]["debug"];
    ASSERT_TRUE(menu.is_object());
    ASSERT_TRUE(figures.is_object());

    const DriveRun run = driveScript(kData + kProgram + kTraced + "press Calc\nwait idle\n" + tapOn(choice) + "hkey Down\nhkey Return\nwait idle\n"
                                         + "press OK\nwait idle\nhkey 1\nhkey Return\nwait idle\ndump\n" + kHome
                                         + kZTest + tapOn(tests["menuButton"]) + tapAt(testRow(menu, kRegression)) + "dump\n"
                                         + tapOn(tests["done"]) + "dump\n"
                                         + "key APPS\nkey 3\nkey 1\nwait idle\n" + tapOn(geometry["menuButton"])
                                         + tapAt(json::array({figures["firstRow"][0], figures["firstRow"][1].get<double>() + 4 * figures["rowHeight"].get<double>()}))
                                         + "dump\n" + tapOn(geometry["done"]) + "dump\n" + kEditProgram + tapAt(debug) + "dump\n",
                                     options);
    ASSERT_TRUE(endedWithDumps(run, 6));
    const json& sheet = run.dumps[0]["calcSheet"];
    EXPECT_EQ(sheet["choice"]["text"], "zero");
    EXPECT_EQ(sheet["fields"][0], json({{"label", "left="}, {"shown", "1"}}));
    EXPECT_EQ(run.dumps[1]["statTest"]["test"], 0x5C50);
    EXPECT_EQ(run.dumps[2]["top"]["id"], 0);
    EXPECT_NE(run.dumps[3]["geometry"]["figure"], where.dumps[3]["geometry"]["figure"]);
    EXPECT_EQ(run.dumps[4]["top"]["id"], 0);
    const json& debugger = run.dumps[5]["debugger"];
    ASSERT_TRUE(debugger.is_object()) << run.dumps[5];
    // It stands on the right half: the display on the left keeps the program's output.
    EXPECT_GE(debugger["text"][0].get<int>(), kTurnedPhone.size.width() / 2);
    const json controls = debugger["controls"];
    const DriveRun stepped = driveScript(kProgram + kEditProgram + tapAt(debug) + tapAt(controls["step"]) + "dump\n" + tapAt(controls["run"])
                                             + "wait idle\ndump\n" + kHome + kEditProgram + tapAt(debug) + tapAt(controls["quit"]) + "dump\n",
                                         options);
    ASSERT_TRUE(endedWithDumps(stepped, 3));
    EXPECT_EQ(stepped.dumps[0]["debugger"]["line"], 1) << stepped.dumps[0];
    EXPECT_EQ(stepped.dumps[1]["output"], json::array({"1", "4", "9", "Done"}));
    EXPECT_FALSE(stepped.dumps[2].contains("debugger"));
}

// The computer's keys on the screens with the compact keypad, phone and tablet: on Z-Test 7
// Return enters μ₀ = 7 and moves on to σ, 2 Enter σ = 2, Tab leaves the keys where they are,
// Up and Down move between the fields; the graph's slider form takes Down, a value and
// Return; the geometry screen's triangle takes 3, 4 and 5, each with Return.
TEST(ScreenReachDrive, TheKeypadScreensTakeReturnAndTheArrowsFromTheComputer)
{
    for (const char* device : {"phone", "tablet"}) {
        const DriveRun run = driveScript(kZTest + "hkey 7\nhkey Return\nwait idle\ndump\nhkey 2\nhkey Enter\nhkey Tab\nwait idle\ndump\n"
                                             + "hkey Up\nhkey Up\nwait idle\ndump\nhkey Down\nwait idle\ndump\n" + kHome
                                             + kTraced + "press X\nwait idle\npress 0\nwait idle\nhkey Down\nhkey 2\nhkey Return\nwait idle\ndump\n"
                                             + kHome
                                             + "key APPS\nkey 3\nkey 5\nwait idle\nhkey 3\nhkey Return\nhkey 4\nhkey Return\nhkey 5\nhkey Return\nwait idle\ndump\n",
                                         std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(run, 6)) << device;
        const auto field = [](const json& dump, int i) { return dump["statTest"]["fields"][i]["value"].get<double>(); };
        EXPECT_EQ(field(run.dumps[0], 0), 7) << device;
        EXPECT_EQ(run.dumps[0]["statTest"]["current"], 1) << device;
        EXPECT_EQ(field(run.dumps[1], 1), 2) << device;
        EXPECT_EQ(run.dumps[1]["statTest"]["current"], 2) << device;
        EXPECT_EQ(run.dumps[2]["statTest"]["current"], 0) << device;
        EXPECT_EQ(run.dumps[3]["statTest"]["current"], 1) << device;
        const json& slider = run.dumps[4]["calcSheet"];
        EXPECT_EQ(slider["fields"][1], json({{"label", "Min="}, {"shown", "2"}})) << device;
        EXPECT_EQ(slider["current"], 2) << device;
        std::vector<double> sides;
        for (int i = 0; i < 3; ++i)
            sides.push_back(run.dumps[5]["geometry"]["fields"][i]["value"].get<double>());
        EXPECT_EQ(sides, (std::vector<double>{3, 4, 5})) << device;
        EXPECT_EQ(run.dumps[5]["geometry"]["current"], 3) << device;
    }
}

// The centre of key n (row n / 5, column n mod 5) of the calculator keyboard in a dump, as
// the tall phone's keyboard lays its keys out (the digits' rows; not the arrow cluster).
std::string tapOnKey(const json& keyboard, int n)
{
    const json& r = keyboard["rect"];
    const double sx = r[2].get<double>() / 320, sy = r[3].get<double>() / 418;
    const double x = r[0].get<double>() + 64 * sx * (n % 5) + 1 + 31 * sx;
    const double y = r[1].get<double>() + 41 * sy * (n / 5) + 5 * sy + 20 * sy;
    return "tap " + std::to_string(std::lround(x)) + " " + std::to_string(std::lround(y)) + "\nwait idle\n";
}

// A phone on its side keeps its upright layout at the window's height, centred: on the home
// screen, the program editor and Y= the keyboard lies whole in the window with keys of a
// size a pointer presses, and a click on its 5 types 5; a menu covers the same column and a
// tap on its first row picks it. The graph and the periodic table still lie along the
// window.
TEST(ScreenReachDrive, OnAPhoneOnItsSideTheKeyboardKeepsItsUprightLayout)
{
    constexpr int kFive = 37;
    const std::string options = kTurnedPhone.options();
    const DriveRun keys = driveScript(kProgram + "dump\n" + kEditProgram + "dump\nkey Y=\nwait idle\ndump\n", options);
    ASSERT_TRUE(endedWithDumps(keys, 3));
    const json& keyboard = keys.dumps[0]["keyboard"];
    ASSERT_TRUE(keyboard.is_object());
    const json& r = keyboard["rect"];
    const int w = kTurnedPhone.size.width(), statusTop = kTurnedPhone.size.height() - 24;
    EXPECT_GE(r[0].get<int>(), 0);
    EXPECT_NEAR(r[0].get<int>() + r[2].get<int>() / 2.0, w / 2.0, 1) << "centred";
    EXPECT_EQ(r[1].get<int>() + r[3].get<int>(), statusTop) << "down to the status line";
    EXPECT_GE(r[3].get<int>(), statusTop / 2) << "the keyboard keeps its share of the height";
    EXPECT_GE(keyboard["key"][0].get<int>(), 18);
    EXPECT_GE(keyboard["key"][1].get<int>(), 18);
    for (const json& dump : keys.dumps)
        EXPECT_EQ(dump["keyboard"], keyboard) << dump["top"]["title"];

    const DriveRun run = driveScript(kProgram + tapOnKey(keyboard, kFive) + "dump\nkey CLEAR\n" + kEditProgram
                                         + tapOnKey(keyboard, kFive) + "dump\nkey Y=\nwait idle\n" + tapOnKey(keyboard, kFive)
                                         + "dump\nkey 2ND\nkey MODE\nwait idle\nkey MATH\nwait idle\ndump\n",
                                     options);
    ASSERT_TRUE(endedWithDumps(run, 4));
    EXPECT_EQ(run.dumps[0]["entry"], "5");
    EXPECT_TRUE(run.dumps[1]["editor"]["lines"][0].get<std::string>().starts_with(":5")) << run.dumps[1]["editor"];
    EXPECT_EQ(run.dumps[2]["yEq"]["rows"][0]["text"], "5");
    const json& menu = run.dumps[3];
    ASSERT_TRUE(menu["menuRect"].is_array());
    EXPECT_NEAR(menu["menuRect"][0].get<int>() + menu["menuRect"][2].get<int>() / 2.0, w / 2.0, 1);
    EXPECT_EQ(menu["menuRect"][3], statusTop);
    EXPECT_GE(menu["menuRect"][2].get<int>(), r[2].get<int>());
    const json& row = menu["firstRow"];
    ASSERT_TRUE(row.is_array());
    EXPECT_GE(row[3].get<int>(), 30);
    const DriveRun picked = driveScript("key MATH\nwait idle\ntap " + std::to_string(row[0].get<int>() + row[2].get<int>() / 2) + " "
                                            + std::to_string(row[1].get<int>() + row[3].get<int>() / 2)
                                            + "\nwait idle\ndump\nkey GRAPH\nwait idle\ndump\nkey 2ND\nkey MODE\nwait idle\nopen 13\n"
                                              "wait idle\ndump\n",
                                        options);
    ASSERT_TRUE(endedWithDumps(picked, 3));
    EXPECT_EQ(picked.dumps[0]["menu"], nullptr);
    EXPECT_EQ(picked.dumps[0]["entry"], "Ans\xE2\x96\xB8" "Frac");
    EXPECT_EQ(picked.dumps[1]["keyboard"], nullptr);
    EXPECT_EQ(picked.dumps[1]["graph"][2], w) << "the graph lies along the window";
    EXPECT_EQ(picked.dumps[2]["periodicTable"]["portrait"], false);
    EXPECT_EQ(picked.dumps[2]["periodicTable"]["table"][2], w);
}

// Turned and back while a program is open in the editor and while the graph shows: the
// editor keeps its program and the keyboard takes the layout of each shape; the graph fills
// the window each way.
TEST(ScreenReachDrive, TurningThePhoneKeepsTheEditorAndTheGraph)
{
    const DriveRun run = driveScript(kProgram + kEditProgram + "dump\nsize 844x390\nwait idle\ndump\nsize 390x844\nwait idle\ndump\n"
                                                               "key GRAPH\nwait idle\nsize 844x390\nwait idle\ndump\nsize 390x844\n"
                                                               "wait idle\ndump\n",
                                     "--size 390x844");
    ASSERT_TRUE(endedWithDumps(run, 5));
    for (int i : {0, 1, 2}) {
        EXPECT_EQ(run.dumps[i]["screen"], 2) << i;
        EXPECT_EQ(run.dumps[i]["editor"]["lines"], run.dumps[0]["editor"]["lines"]) << i;
    }
    EXPECT_EQ(run.dumps[0]["keyboard"]["rect"][2], 390);
    EXPECT_NEAR(run.dumps[1]["keyboard"]["rect"][2].get<double>() * 418 / 320, run.dumps[1]["keyboard"]["rect"][3].get<double>(), 1.5)
        << "the upright keyboard's proportions";
    EXPECT_LT(run.dumps[1]["keyboard"]["rect"][3], 390);
    EXPECT_EQ(run.dumps[2]["keyboard"], run.dumps[0]["keyboard"]);
    EXPECT_EQ(run.dumps[3]["screen"], 8);
    EXPECT_EQ(run.dumps[3]["graph"][2], 844);
    EXPECT_EQ(run.dumps[4]["graph"][2], 390);
}

// On a tablet, standing and turned, Tests opens the menu as a popover of 400 × 800 (or as
// much as fits above the button) with its lower edge on the Tests button and no Cancel; a
// row picks its procedure and closes it. A phone's menu covers the screen and has Cancel.
TEST(ScreenReachDrive, ATabletsTestMenuIsAPopoverAtTheTestsButton)
{
    for (const WindowSize& size : kSizes) {
        const DriveRun run = driveScript(kZTest + "dump\npress Tests\nwait idle\ndump\n", size.options());
        ASSERT_TRUE(endedWithDumps(run, 2)) << size.name();
        const json& button = run.dumps[0]["statTest"]["menuButton"];
        const json& menu = run.dumps[1]["statTest"]["menu"];
        ASSERT_TRUE(menu.is_object()) << size.name();
        const bool tablet = std::string(size.device) == "tablet";
        EXPECT_EQ(menu["popover"], tablet) << size.name();
        EXPECT_EQ(menu["cancel"], !tablet) << size.name();
        const json& r = menu["rect"];
        if (tablet) {
            EXPECT_EQ(r[2], 400) << size.name();
            EXPECT_EQ(r[3], std::min(800, button[1].get<int>())) << size.name();
            EXPECT_EQ(r[0], button[0]) << size.name();
            EXPECT_EQ(r[1].get<int>() + r[3].get<int>(), button[1]) << size.name();
        } else {
            EXPECT_EQ(r[2], size.size.width()) << size.name();
        }
        const DriveRun picked = driveScript(kZTest + "press Tests\nwait idle\n" + tapAt(testRow(menu, 1)) + "dump\n", size.options());
        ASSERT_TRUE(endedWithDumps(picked, 1)) << size.name();
        EXPECT_EQ(picked.dumps[0]["statTest"]["test"], 0x5C27) << size.name();
        EXPECT_TRUE(picked.dumps[0]["statTest"]["menu"].is_null()) << size.name();
    }
}

// The least phone window, 320 × 390: the statistics test screen's controls clear its Tests
// and Done, and the stat plot set-up's colour tabs and wheel show. A phone on its side:
// MODE takes the whole window (no row cut to the column), the statistics wizard's form
// stands whole above Calculate and the catalogue's help page keeps its title clear of Share.
TEST(ScreenReachDrive, TheLeastAndTheTurnedPhoneShowEveryControlWhole)
{
    const DriveRun least = driveScript("open 15\nwait idle\ndump\nhkey Escape\nwait idle\nopen 107\nwait idle\ndump\n", "--size 320x390");
    ASSERT_TRUE(endedWithDumps(least, 2));
    for (const json& dump : least.dumps)
        EXPECT_FALSE(dump.contains("unreachable")) << dump["top"] << dump.value("unreachable", json());
    const WindowSize& turned = kTurnedPhone;
    const DriveRun run = driveScript("key MODE\nwait idle\ndump\nhkey Escape\nwait idle\nkey STAT\nkey RIGHT\nkey ENTER\nwait idle\ndump\n"
                                     "hkey Escape\nwait idle\nkey 0x420\nhkey S\nhkey I\nhkey N\nhkey Ctrl+I\nwait idle\ndump\n",
                                     turned.options());
    ASSERT_TRUE(endedWithDumps(run, 3));
    const json& mode = run.dumps[0]["top"];
    ASSERT_EQ(mode["id"], 105);
    EXPECT_GT(mode["leave"][0].get<int>() + mode["leave"][2].get<int>(), turned.size.width() - 100) << "Done at the window's right";
    const json& wizard = run.dumps[1]["wizard"];
    ASSERT_TRUE(wizard.is_object());
    EXPECT_GE(wizard["form"][3].get<int>(), wizard["formNeeds"].get<int>()) << "every row of the form shows";
    EXPECT_GE(wizard["calculate"][1].get<int>(), wizard["form"][1].get<int>() + wizard["form"][3].get<int>());
    const json& bar = run.dumps[2]["catalogBar"];
    ASSERT_TRUE(bar.is_object()) << run.dumps[2];
    EXPECT_LE(bar["title"][0].get<int>() + bar["title"][2].get<int>(), bar["share"][0].get<int>()) << bar;
    EXPECT_GE(bar["title"][2].get<int>(), bar["titleNeeds"].get<int>()) << bar;
}

// A menu of one list draws no tab bar, and the user menus no empty title, where the bar's
// other buttons would leave them no room.
TEST(ScreenReachDrive, AMenuDrawsNoEmptyTabsOrTitle)
{
    for (const char* opened : {"key ALPHA\nkey Y=\n", "key 2ND\nkey X,T,θ,N\nhkey 5\nopen 17\nhkey Ctrl+U\n"}) {
        const DriveRun run = driveScript(std::string(opened) + "wait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 1)) << opened;
        EXPECT_EQ(run.dumps[0]["top"]["id"], 101) << opened;
        EXPECT_FALSE(run.dumps[0].contains("unreachable")) << opened << run.dumps[0].value("unreachable", json());
    }
}

// Every menu with tabs, at the least window and a phone on its side: each of its tabs lies
// whole inside its bar and the window, none run off the edge where a tap cannot reach it.
TEST(ScreenReachDrive, EveryMenusTabsLieWholeInTheirBar)
{
    const char* menus[] = {"MATH", "VARS", "STAT", "PRGM", "2ND\nkey x⁻¹", "2ND\nkey STAT", "2ND\nkey VARS", "2ND\nkey MATH",
        "2ND\nkey APPS", "2ND\nkey PRGM"};
    for (const WindowSize& size : {WindowSize{"phone", {320, 390}}, kTurnedPhone}) {
        std::string script;
        for (const char* menu : menus)
            script += std::string("key ") + menu + "\nwait idle\ndump\n" + kHome;
        const DriveRun run = driveScript(script, size.options());
        ASSERT_TRUE(endedWithDumps(run, std::size(menus))) << size.name();
        for (std::size_t k = 0; k < std::size(menus); ++k) {
            const json& tabs = run.dumps[k]["menuTabs"];
            ASSERT_TRUE(tabs.is_object()) << menus[k] << " " << size.name();
            const json& bar = tabs["bar"];
            for (const json& tab : tabs["tabs"]) {
                const int right = tab[0].get<int>() + tab[2].get<int>();
                EXPECT_LE(right, bar[0].get<int>() + bar[2].get<int>()) << menus[k] << " " << size.name() << tabs;
                EXPECT_LE(right, size.size.width()) << menus[k] << " " << size.name() << tabs;
                EXPECT_GE(tab[0].get<int>(), bar[0].get<int>()) << menus[k] << " " << size.name() << tabs;
            }
        }
    }
}

// The least window, 320 × 390, where what is laid over a screen shares its room: the ten
// geometry figures keep Done, Solve and Clear clear of each other; the stat plot set-up's hue
// wheel is a wheel a pointer works; 2-SampTTest's pooled switch leaves the form's title
// clear. And a phone on its side keeps QuartReg's fifth coefficient clear of Data/Resid.
TEST(ScreenReachDrive, TheLeastWindowSharesItsRoomBetweenWhatIsLaidOverIt)
{
    std::string figures;
    for (const char* key : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"})
        figures += std::string("key APPS\nkey 3\nkey ") + key + "\nwait idle\ndump\n" + kHome;
    const std::string tests = "open 15\nwait idle\npress Tests\nwait idle\n";
    const DriveRun menu = driveScript(tests + "dump\n", "--size 320x390");
    ASSERT_TRUE(endedWithDumps(menu, 1));
    const DriveRun least = driveScript(figures + "open 107\nwait idle\ndump\n" + kHome + tests
                                           + tapAt(testRow(menu.dumps[0]["statTest"]["menu"], 3)) + "dump\n",
                                       "--size 320x390");
    ASSERT_TRUE(endedWithDumps(least, 12));
    for (const json& dump : least.dumps)
        EXPECT_TRUE(reachable(dump, {320, 390}));
    const json& wheel = least.dumps[10]["plotSetup"]["wheel"];
    EXPECT_GE(std::min(wheel[2].get<int>(), wheel[3].get<int>()), 80) << wheel;
    const json& pooledTest = least.dumps[11]["statTest"];
    ASSERT_EQ(pooledTest["test"], 0x5C29) << "2-SampTTest";
    const json& pooled = pooledTest["pooled"];
    const json& form = pooledTest["formRect"];
    ASSERT_TRUE(pooled.is_array());
    EXPECT_FALSE(QRect(pooled[0], pooled[1], pooled[2], pooled[3]).intersects(QRect(form[0], form[1], form[2], pooledTest["rowHeight"].get<int>())))
        << pooled << " over the title of " << form;

    const DriveRun turned = driveScript(kData + tests + "dump\n", kTurnedPhone.options());
    ASSERT_TRUE(endedWithDumps(turned, 1));
    const DriveRun quartic = driveScript(kData + "type {6,7}->L₃\nkey ENTER\ntype augment(L₁,L₃)->L₁\nkey ENTER\ntype augment(L₂,L₃)->L₂\nkey ENTER\n"
                                             + tests + tapAt(testRow(turned.dumps[0]["statTest"]["menu"], kRegression)) + "press Quart\nwait idle\ndump\n",
                                         kTurnedPhone.options());
    ASSERT_TRUE(endedWithDumps(quartic, 1));
    const json& regression = quartic.dumps[0]["statTest"];
    ASSERT_EQ(regression["left"].size(), 5u) << regression["title"];
    EXPECT_GE(regression["models"][1].get<double>(), regression["formRect"][1].get<double>() + 7 * regression["rowHeight"].get<double>())
        << "e=, the seventh row, above " << regression["models"];
}

// The shapes a device's window takes: upright, turned and, for a phone, the least window.
std::vector<QSize> shapesOf(const char* device)
{
    if (std::string(device) == "tablet")
        return {{768, 1024}, {1024, 768}};
    return {{390, 844}, {844, 390}, {320, 390}};
}

std::string sizeTo(const QSize& size) { return "size " + std::to_string(size.width()) + "x" + std::to_string(size.height()) + "\nwait idle\n"; }

// Every overlay that shows lies whole in the window, and no control of the screen in front
// lies outside it or under another widget.
::testing::AssertionResult overlaysStand(const json& dump, const QSize& window)
{
    json wrong = dump.value("unreachable", json::array());
    for (const json& overlay : dump.value("overlays", json::array())) {
        const json& r = overlay["rect"];
        if (!QRect(0, 0, window.width(), window.height()).contains(QRect(r[0], r[1], r[2], r[3])))
            wrong.push_back(overlay);
    }
    if (wrong.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << dump["top"]["title"] << " " << window.width() << "x" << window.height() << ": " << wrong;
}

// Where each overlay is opened from: every screen the registry lists, the graph with a trace
// (its bar, whose variable opens the slider panel), a program's Pause over the graph and,
// last (the mode stays), the traced graph and a Pause beside its table (MODE ▸ G-T).
std::vector<std::string> overlaySeeds()
{
    std::vector<std::string> seeds{kTraced, kPause};
    const DriveRun listing = driveScript("screens\n");
    if (listing.dumps.size() == 1)
        for (const json& screen : listing.dumps[0]["screens"])
            if (screen["id"] != 0 && screen["id"] != 100)
                seeds.push_back("open " + std::to_string(screen["id"].get<int>()) + "\nwait idle\n");
    seeds.push_back(kGraphTable + kTraced);
    seeds.push_back(kGraphTable + kPause);
    return seeds;
}

class EveryOverlay : public ::testing::TestWithParam<const char*> {};

// Every overlay the app opens by a button of a screen, found from the buttons each screen
// shows (the registry's screens, the traced graph, a Pause): each opened at each shape of the
// window and turned to each other shape. Wherever it shows, it and every control of the
// screen in front lie whole in the window, clear of each other.
TEST_P(EveryOverlay, StandsWhereItOpensAtEveryShapeAndAfterEveryTurn)
{
    const std::string options = std::string("--device ") + GetParam();
    const std::vector<QSize> shapes = shapesOf(GetParam());
    const std::vector<std::string> seeds = overlaySeeds();
    ASSERT_GT(seeds.size(), 20u);
    const std::string reset = kHome + "hkey Escape\nwait idle\nhkey Escape\nwait idle\nkey 2ND\nkey MODE\nwait idle\n";
    std::string listing;
    for (const std::string& seed : seeds)
        listing += seed + "dump\n" + reset;
    const DriveRun listed = driveScript(listing, options);
    ASSERT_TRUE(endedWithDumps(listed, seeds.size()));
    // Which of the buttons open an overlay.
    std::vector<std::string> openers;
    std::string tries;
    for (std::size_t k = 0; k < seeds.size(); ++k)
        for (const json& button : listed.dumps[k].value("buttons", json::array())) {
            openers.push_back(seeds[k] + "press? " + button.get<std::string>() + "\nwait idle\n");
            tries += openers.back() + "dump\n" + reset;
        }
    const DriveRun tried = driveScript(tries, options);
    ASSERT_TRUE(endedWithDumps(tried, openers.size()));
    std::vector<std::string> opening;
    for (std::size_t k = 0; k < openers.size(); ++k)
        if (tried.dumps[k].contains("overlays"))
            opening.push_back(openers[k]);
    EXPECT_GE(opening.size(), 8u);
    for (const QSize& start : shapes) {
        std::vector<QSize> order{start};
        for (const QSize& turned : shapes)
            if (turned != start)
                order.push_back(turned);
        std::string probes;
        for (const std::string& opener : opening) {
            probes += sizeTo(start) + opener + "dump\n";
            for (std::size_t t = 1; t < order.size(); ++t)
                probes += sizeTo(order[t]) + "dump\n";
            probes += reset;
        }
        const DriveRun run = driveScript(probes, options);
        ASSERT_TRUE(endedWithDumps(run, opening.size() * order.size()));
        for (std::size_t d = 0; d < run.dumps.size(); ++d)
            EXPECT_TRUE(overlaysStand(run.dumps[d], order[d % order.size()])) << opening[d / order.size()];
    }
}

// The statistics test's list picker (LinRegTTest's lists), opened at each shape of the window
// and turned to each other: its wheels and Done stay in the window, and Done closes it.
TEST_P(EveryOverlay, TheListPickerStandsOverTheFormAfterEveryTurn)
{
    const std::string options = std::string("--device ") + GetParam();
    const std::vector<QSize> shapes = shapesOf(GetParam());
    const std::string tests = kData + "open 15\nwait idle\npress Tests\nwait idle\n";
    for (const QSize& start : shapes) {
        const DriveRun menu = driveScript(sizeTo(start) + tests + "dump\n", options);
        ASSERT_TRUE(endedWithDumps(menu, 1));
        const std::string linReg = sizeTo(start) + tests + tapAt(testRow(menu.dumps[0]["statTest"]["menu"], kLinRegTTest));
        const DriveRun form = driveScript(linReg + "dump\n", options);
        ASSERT_TRUE(endedWithDumps(form, 1));
        const json& at = form.dumps[0]["statTest"];
        std::string turns;
        std::vector<QSize> order;
        for (const QSize& turned : shapes)
            if (turned != start) {
                turns += sizeTo(turned) + "dump\n";
                order.push_back(turned);
            }
        const std::string opened = linReg + tapAt(json::array({at["formRect"][0].get<int>() + 100,
                                                 at["formRect"][1].get<int>() + static_cast<int>(1.5 * at["rowHeight"].get<double>())}))
            + turns;
        const DriveRun run = driveScript(opened, options);
        ASSERT_TRUE(endedWithDumps(run, order.size()));
        for (std::size_t k = 0; k < order.size(); ++k) {
            const json& test = run.dumps[k]["statTest"];
            const QSize& window = order[k];
            ASSERT_TRUE(test["picker"].is_object()) << window.width() << "x" << window.height();
            EXPECT_TRUE(overlaysStand(run.dumps[k], window));
            const json& done = test["picker"]["done"];
            EXPECT_TRUE(QRect(0, 0, window.width(), window.height()).contains(QRect(done[0], done[1], done[2], done[3]))) << done;
            for (const json& wheel : test["picker"]["columns"])
                EXPECT_TRUE(inside(window, wheel["at"][0], wheel["at"][1])) << wheel << " " << window.width() << "x" << window.height();
        }
        const DriveRun done = driveScript(opened + tapOn(run.dumps.back()["statTest"]["picker"]["done"]) + "dump\n", options);
        ASSERT_TRUE(endedWithDumps(done, order.size() + 1));
        EXPECT_TRUE(done.dumps.back()["statTest"]["picker"].is_null()) << "Done closed it";
    }
}

// Every form of fields, every app's column of lines and every list, table, editor and menu
// with a row in use, walked down to its last field or row at each shape of the window and
// then turned to each other shape: every screen the registry lists, the polynomial root
// finder at degree 20, the equation solver with 23 variables and solving X²−2, the list
// editor with 40 values, the matrix editor on a 30 × 4 matrix, the Y= row being typed,
// the MATH menu and the table's rows of TblStart + k·ΔTbl. The field, line, cell or row in use shows whole in the window with no
// control over it, before and after the walk and after every turn; no list's current row
// lies out of its view; the solver's left-rt shows with its result.
TEST_P(EveryOverlay, EveryFormShowsTheFieldBeingTypedAtEveryShape)
{
    const std::string options = std::string("--device ") + GetParam();
    // First the solved equation (nothing to walk), while the solver's cursor is on its first
    // line.
    std::vector<std::string> seeds{"open 10\nwait idle\ntype X²-2\nkey DOWN\nwait idle\ntype 1\npress SOLVE\nwait idle\n",
                                   "open 20\nwait idle\ntype 20\nkey ENTER\nwait idle\n",
                                   "open 10\nwait idle\ntype A+B+C+D+E+F+G+H+I+J+K+L+M+N+O+P+Q+R+S+T+U+V+W\nkey ENTER\nwait idle\n",
                                   "type seq(X,X,1,40)->L₁\nkey ENTER\nopen 4\nwait idle\n",
                                   "type randM(30,4)->[A]\nkey ENTER\nopen 3\nwait idle\n", "key Y=\nwait idle\ntype X\n",
                                   "key MATH\nwait idle\n", "open 6\nwait idle\npress Auto\nopen 5\nwait idle\n",
                                   "open 12\nwait idle\ntype -123456789.12\nkey DOWN\ntype -7.123456789\nkey DOWN\ntype -123456789.12\n"
                                   "key DOWN\ntype -1.234567891ᴱ-12\nkey DOWN\ntype -12345.6789\nkey UP\nkey UP\nkey UP\nkey UP\nwait idle\n"};
    for (const std::string& seed : overlaySeeds())
        if (seed.starts_with("open"))
            seeds.push_back(seed);
    std::string down;
    for (int k = 0; k < 25; ++k)
        down += "key DOWN\n";
    const std::vector<QSize> shapes = shapesOf(GetParam());
    for (const QSize& shape : shapes) {
        std::string walks;
        std::vector<QSize> at; // the window's shape at each dump
        for (const std::string& seed : seeds) {
            walks += sizeTo(shape) + seed + "dump\n" + (seed == seeds.front() ? std::string() : down) + "wait idle\ndump\n";
            at.insert(at.end(), {shape, shape});
            for (const QSize& turned : shapes)
                if (turned != shape) {
                    walks += sizeTo(turned) + "dump\n";
                    at.push_back(turned);
                }
            walks += kHome;
        }
        const DriveRun run = driveScript(walks, options);
        ASSERT_TRUE(endedWithDumps(run, at.size()));
        std::set<std::string> forms;
        int solved = 0;
        for (std::size_t d = 0; d < run.dumps.size(); ++d) {
            const json& dump = run.dumps[d];
            const std::string where = dump["top"]["title"].get<std::string>() + " " + std::to_string(at[d].width()) + "x"
                + std::to_string(at[d].height()) + (shape != at[d] ? " turned from " + std::to_string(shape.width()) + "x" + std::to_string(shape.height()) : "");
            EXPECT_FALSE(dump.contains("rowsOutOfView")) << where << " " << dump["rowsOutOfView"];
            if (dump.contains("solver") && dump["solver"]["result"].get<int>() >= 0) {
                ++solved;
                EXPECT_TRUE(dump["solver"]["leftRtShown"].get<bool>()) << where;
            }
            if (!dump.contains("typing"))
                continue;
            forms.insert(dump["top"]["title"].get<std::string>());
            EXPECT_TRUE(dump["typing"]["clear"].get<bool>()) << where << " " << dump["typing"];
        }
        EXPECT_GE(forms.size(), 10u) << shape.width() << "x" << shape.height();
        EXPECT_GE(solved, static_cast<int>(shapes.size() + 1)) << "the solved line at each shape";
        const std::size_t perSeed = shapes.size() + 1;
        EXPECT_EQ(run.dumps[perSeed + 1]["poly"]["line"], 20) << "a0, the last coefficient";
        EXPECT_EQ(run.dumps[3 * perSeed + 1]["listEditor"]["row"], 25) << "25 rows down the list";
    }
}

bool insideWindow(const json& r, const QSize& window) { return QRect(0, 0, window.width(), window.height()).contains(QRect(r[0], r[1], r[2], r[3])); }

// What opens over the window in a box of its own, at each shape of the window and turned to
// each other: the first launch's greeting, MEM's two reset questions, the library's New
// form, the user menu's form and F1's list of keys lie whole in the window; the calculate
// sheet's open kind list stands at its control.
TEST_P(EveryOverlay, AlertsFormsAndAnOpenListStandInTheWindowAfterEveryTurn)
{
    const std::string options = std::string("--device ") + GetParam();
    const std::vector<QSize> shapes = shapesOf(GetParam());
    // Each opener with what closes it.
    const std::vector<std::pair<std::string, std::string>> openers{
        {"key 0x430\nkey 4\nkey 1\nwait idle\n", "hkey Escape\nwait idle\n"},
        {"key 0x430\nkey 4\nkey 2\nwait idle\n", "hkey Escape\nwait idle\n"},
        {"key PRGM\nwait idle\nhkey +\nwait idle\n", "press Cancel\nwait idle\n"},
        {"type 2+3\nkey 0x437\npress +\nwait idle\n", "press Cancel\nwait idle\n"},
        {"hkey F1\nwait idle\n", "hkey Escape\nwait idle\n"}};
    const auto turnsFrom = [&](const QSize& start, std::vector<QSize>& at) {
        std::string turns = "dump\n";
        at.push_back(start);
        for (const QSize& turned : shapes)
            if (turned != start) {
                turns += sizeTo(turned) + "dump\n";
                at.push_back(turned);
            }
        return turns;
    };
    std::string where;
    for (const QSize& start : shapes)
        where += sizeTo(start) + kTraced + "press Calc\nwait idle\ndump\n" + kHome;
    const DriveRun sheets = driveScript(where, options);
    ASSERT_TRUE(endedWithDumps(sheets, shapes.size()));
    for (std::size_t k = 0; k < shapes.size(); ++k) {
        const QSize& start = shapes[k];
        std::vector<QSize> at;
        std::string script;
        for (const auto& [open, close] : openers)
            script += sizeTo(start) + open + turnsFrom(start, at) + close + kHome;
        script += sizeTo(start) + kTraced + "press Calc\nwait idle\n" + tapOn(sheets.dumps[k]["calcSheet"]["choice"]["rect"]);
        const std::size_t lists = at.size();
        script += turnsFrom(start, at);
        const DriveRun run = driveScript(script, options);
        ASSERT_TRUE(endedWithDumps(run, at.size()));
        const DriveRun greeting = driveScript(sizeTo(start) + turnsFrom(start, at), options + " --first-run");
        ASSERT_TRUE(endedWithDumps(greeting, shapes.size()));
        std::vector<json> dumps = run.dumps;
        dumps.insert(dumps.end(), greeting.dumps.begin(), greeting.dumps.end());
        int boxes = 0;
        for (std::size_t d = 0; d < dumps.size(); ++d) {
            const std::string name = std::to_string(at[d].width()) + "x" + std::to_string(at[d].height()) + " from "
                + std::to_string(start.width()) + "x" + std::to_string(start.height());
            for (const json& alert : dumps[d].value("alertRects", json::array())) {
                ++boxes;
                EXPECT_TRUE(insideWindow(alert, at[d])) << dumps[d]["alerts"] << " " << name << " " << alert;
            }
            for (const json& dialog : dumps[d].value("dialogs", json::array())) {
                ++boxes;
                EXPECT_TRUE(insideWindow(dialog["rect"], at[d])) << dialog["title"] << " " << name << " " << dialog["rect"];
            }
            if (d >= lists && d < lists + shapes.size()) {
                const json& choice = dumps[d]["calcSheet"]["choice"];
                ASSERT_TRUE(choice["list"].is_array()) << name;
                EXPECT_TRUE(insideWindow(choice["list"], at[d])) << name;
                EXPECT_EQ(choice["list"][0], choice["rect"][0]) << "the list at its control, " << name;
                EXPECT_EQ(choice["list"][1], choice["rect"][1]) << "the list at its control, " << name;
            }
        }
        EXPECT_EQ(boxes, static_cast<int>((openers.size() + 1) * shapes.size())) << "every box open at every shape";
    }
}

INSTANTIATE_TEST_SUITE_P(Drive, EveryOverlay, ::testing::Values("phone", "tablet"), [](const auto& info) { return std::string(info.param); });

// Every slide of a page, picker, sheet or panel over a screen (the catalogue's and a menu's
// help pages, a program's notes page and its switch from editing to its preview, the
// library's tag picker, the test menu's help page, the graph's calculate sheet and
// statistics panel, the periodic table's property picker), the window turned a tenth of a
// second into it: come to rest, it stands as it does opened at the new size (the same dump
// and, off the graph, the same picture) with nothing out of reach; and the slides met are
// every slide the app made on the way.
TEST(ScreenReachDrive, EverySlideFollowsATurnInTheMiddleOfIt)
{
    struct Slide {
        const char* owner;
        std::string open;
        bool graph = false;
        bool phoneOnly = false;
    };
    const std::string reset = "hkey Escape\nwait still\nhkey Escape\nwait still\nkey 2ND\nkey MODE\nwait still\n";
    const std::string tests = "open 15\nwait idle\npress Tests\nwait still\n";
    struct Turn {
        const char* device;
        QSize from, to;
    };
    for (const Turn& turn : {Turn{"phone", {390, 844}, {844, 390}}, Turn{"phone", {390, 844}, {320, 390}},
             Turn{"phone", {844, 390}, {390, 844}}, Turn{"tablet", {768, 1024}, {1024, 768}}}) {
        const bool phone = std::string(turn.device) == "phone";
        const std::string options = std::string("--device ") + turn.device;
        const std::string name = std::string(turn.device) + " " + std::to_string(turn.from.width()) + "x" + std::to_string(turn.from.height())
            + " to " + std::to_string(turn.to.width()) + "x" + std::to_string(turn.to.height());
        // Where the test menu's first (i) stands at each size.
        const DriveRun menus = driveScript(sizeTo(turn.from) + tests + "dump\n" + reset + sizeTo(turn.to) + tests + "dump\n", options);
        ASSERT_TRUE(endedWithDumps(menus, 2)) << name;
        const std::vector<Slide> slides{
            {"orvenda::CatalogScreen", "key 0x420\nwait still\nhkey Ctrl+I\n"},
            {"orvenda::MenuScreen", "key MATH\nwait still\nhkey Ctrl+I\n"},
            {"orvenda::MenuScreen", "key PRGM\nwait still\nhkey Ctrl+I\n"},
            {"orvenda::UserNotesView", "key PRGM\nwait still\nkey RIGHT\nwait still\nhkey Ctrl+I\nwait still\npress Preview\n"},
            {"orvenda::TagSelector", "key PRGM\nwait still\npress All:Show All\n", false, true},
            {"orvenda::StatTestMenu", "", false, true},
            {"orvenda::GraphKeyboardView", kTraced + "press Calc\n", true},
            {"orvenda::GraphStatInfoView", kData + "type FnOff\nkey ENTER\ntype Plot1(Scatter,L₁,L₂)\nkey ENTER\ntype ZoomStat\nkey ENTER\n"
                                               "wait idle\nkey 0x403\nwait idle\npress Calc\n", true},
            {"orvenda::PeriodicConfigurePanel", "open 13\nwait idle\npress Properties\n"}};
        std::string turned, opened;
        std::set<std::string> met;
        for (std::size_t k = 0; k < slides.size(); ++k) {
            const Slide& slide = slides[k];
            const bool tapsMenu = std::string(slide.owner) == "orvenda::StatTestMenu";
            if (tapsMenu && !phone)
                continue;
            const std::string at = std::to_string(k) + ".png";
            turned += sizeTo(turn.from) + (tapsMenu ? tests + tapAt(menus.dumps[0]["statTest"]["menu"]["firstDetail"], "") : slide.open)
                + "step 100\ndump\n" + sizeTo(turn.to) + "dump\nshot " + driveScratch("turned-" + at).string() + "\n" + reset;
            opened += sizeTo(turn.to) + (tapsMenu ? tests + tapAt(menus.dumps[1]["statTest"]["menu"]["firstDetail"], "") : slide.open)
                + "wait still\ndump\nshot " + driveScratch("opened-" + at).string() + "\n" + reset;
        }
        // Animations step only as the scripts say, from their start.
        const DriveRun run = driveScript("step 0\n" + turned + "slides\n", options);
        const DriveRun reference = driveScript("step 0\n" + opened, options);
        ASSERT_EQ(run.dumps.size(), 2 * reference.dumps.size() + 1) << name << run.output;
        ASSERT_TRUE(endedWithDumps(reference, reference.dumps.size()));
        std::size_t d = 0;
        for (std::size_t k = 0; k < slides.size(); ++k) {
            const Slide& slide = slides[k];
            if (std::string(slide.owner) == "orvenda::StatTestMenu" && !phone)
                continue;
            const std::string what = name + ", " + slide.owner + " " + std::to_string(k);
            std::vector<std::string> sliding;
            for (const json& s : run.dumps[2 * d].value("slides", json::array()))
                if (s["sliding"].get<bool>())
                    sliding.push_back(s["owner"]);
            // Under way at the turn (a tablet's tag picker opens beside its button at once).
            if (phone || !slide.phoneOnly) {
                EXPECT_EQ(sliding, std::vector<std::string>{slide.owner}) << what;
            }
            met.insert(slide.owner);
            json rest = run.dumps[2 * d + 1], alone = reference.dumps[d];
            EXPECT_FALSE(rest.contains("unreachable")) << what << rest.value("unreachable", json());
            // The graph keeps the scale it had across a turn: its window differs.
            for (const char* key : {"shown", "window"})
                if (slide.graph) {
                    rest.erase(key);
                    alone.erase(key);
                }
            EXPECT_EQ(rest, alone) << what;
            const std::string at = std::to_string(k) + ".png";
            if (!slide.graph) {
                EXPECT_EQ(changed(driveScratch("turned-" + at), driveScratch("opened-" + at)), 0) << what;
            }
            ++d;
        }
        // Every slide the app made on the way is one of those turned.
        for (const json& s : run.dumps.back()["slides"])
            EXPECT_TRUE(met.contains(s["owner"].get<std::string>())) << name << " " << s;
    }
}

} // namespace

// A page over a list (a menu's or the catalogue's help page slid in, MEM's about page, a
// program's notes page, the library's tag picker, a key's page over the keyboard guide, the guide's keypad with its
// four arrows) leaves nothing under it or off the window in reach, at every shape, and
// going back brings the list back whole.
TEST(ScreenReachDrive, APageOverAListLeavesNothingUnderItInReach)
{
    const std::vector<std::pair<std::string, std::string>> pages{
        {"menu's help", "key 2ND\nkey VARS\nwait still\nhkey Ctrl+I\nwait still\ndump\nhkey Left\nwait still\ndump\n"},
        {"catalogue's help", "hkey p\nwait still\nhkey Ctrl+I\nwait still\ndump\npress ‹ Back\nwait still\ndump\n"},
        {"about", "key 2ND\nkey +\nwait still\nkey 1\nwait still\ndump\nhkey Escape\nwait still\ndump\n"},
        {"notes", "key PRGM\nwait still\nhkey Ctrl+I\nwait still\ndump\nhkey Escape\nwait still\ndump\n"},
        {"tag picker", "key PRGM\nwait still\npress All:Show All\nwait still\ndump\nhkey Escape\nwait still\ndump\n"},
        {"guide's keys", "key 2ND\nkey ON\nwait still\nkey ^\nwait still\ndump\n"},
        {"guide", "key 2ND\nkey ON\nwait still\nkey SIN\nwait still\nkey COS\nwait still\ndump\n"}};
    std::string script;
    std::vector<std::string> cases;
    for (const auto& [name, steps] : pages) {
        script += steps + kHome;
        for (const char* shown : {"shown", "left"})
            if (!name.starts_with("guide") || shown == std::string("shown"))
                cases.push_back(name + " " + shown);
    }
    for (const WindowSize& size : kEverySize) {
        const DriveRun run = driveScript(script, size.options());
        ASSERT_TRUE(endedWithDumps(run, cases.size())) << size.name();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const json& dump = run.dumps[i];
            const std::string what = size.name() + ", " + cases[i];
            EXPECT_FALSE(dump.contains("unreachable")) << what << dump.value("unreachable", json());
            // The page is the one asked for; going back leaves it.
            EXPECT_EQ(dump["help"] != nullptr, cases[i] == "menu's help shown" || cases[i] == "catalogue's help shown"
                          || cases[i].starts_with("guide"))
                << what << dump["help"];
        }
    }
}

} // namespace orvenda::test
