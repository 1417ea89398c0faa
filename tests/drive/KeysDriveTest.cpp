// The computer's keys and the taps as a window receives them (the driver hands a key to
// the widget with the focus, and a tap under an open form to nothing), and what is typed
// on a screen's entry line when the screen is left, by each way of leaving it.

#include "drive/DrivePictures.h"
#include "drive/DriveSession.h"

#include <QImage>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using orvenda::test::changed;
using orvenda::test::DriveRun;
using orvenda::test::driveScript;
using orvenda::test::driveScriptsAtOnce;
using orvenda::test::endedWithDumps;

// A row of the catalogue found by typing its name and taken with Return is typed once:
// on the home line, and in a program typed on the computer's keyboard.
TEST(KeysDrive, ACatalogueRowTakenWithReturnIsTypedOnce)
{
    const DriveRun home = driveScript("hkey g\nhkey c\nhkey d\nhkey Return\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(home, 1));
    EXPECT_EQ(home.dumps[0]["entry"], "gcd(");
    EXPECT_FALSE(home.dumps[0].contains("overlay"));

    const DriveRun program = driveScript("key PRGM\nhkey +\nhkey Shift+F\nhkey Return\npress Save\nwait idle\n"
                                         "hkey f\nhkey o\nhkey r\nhkey Return\nhkey Shift+I\nhkey ,\nhkey 1\nhkey ,\nhkey 3\n"
                                         "hkey Return\nhkey d\nhkey i\nhkey s\nhkey p\nhkey Return\nhkey Shift+I\n"
                                         "hkey Return\nhkey e\nhkey n\nhkey d\nhkey Return\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(program, 1));
    EXPECT_EQ(program.dumps[0]["editor"]["lines"], json::parse(R"([":For(I,1,3", " :Disp I", ":End"])"));
}

// While the program menu's New form is open, a tap on the library under it picks nothing.
TEST(KeysDrive, ATapUnderAnOpenFormReachesNothing)
{
    const DriveRun run = driveScript("key PRGM\nwait idle\nhkey +\nwait idle\ntap 100 110\nwait idle\ndump\n"
                                     "press Cancel\nwait idle\ntap 100 110\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 2));
    EXPECT_EQ(run.dumps[0]["dialog"], "New Program");
    EXPECT_EQ(run.dumps[0]["menu"], 6);
    EXPECT_EQ(run.dumps[0]["entry"], "");
    // With the form gone the same tap takes the library's first row.
    EXPECT_EQ(run.dumps[1]["entry"], "prgm»ArcLength");
}

// The computer's Backspace deletes the character before the cursor, and in insert mode
// only steps left (123, Left Left, INS, Backspace, 8 gives 8123); on the list editor's
// emptied line it deletes the element under the cursor. CLEAR then ENTER on a list's
// header empties the list.
TEST(KeysDrive, BackspaceFollowsItsRowAndClearEmptiesAList)
{
    const DriveRun run = driveScript("type 45\nhkey Backspace\ndump\nkey CLEAR\ntype 123\nhkey Left\nhkey Left\nhkey Ctrl+I\n"
                                     "hkey Backspace\ntype 8\ndump\nkey CLEAR\ntype {9,8,7}->L₁\nkey ENTER\nwait idle\n"
                                     "key STAT\nkey ENTER\nwait idle\nkey DOWN\nhkey Backspace\nwait idle\ndump\n"
                                     "key UP\nkey UP\nkey CLEAR\nkey ENTER\nwait idle\ndump\nkey 2ND\nkey MODE\nwait idle\n"
                                     "type dim(L₁)\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 5));
    EXPECT_EQ(run.dumps[0]["entry"], "4");
    EXPECT_EQ(run.dumps[1]["entry"], "8123");
    EXPECT_EQ(run.dumps[2]["listEditor"]["prompt"], "L₁(2)=");
    EXPECT_EQ(run.dumps[2]["listEditor"]["cell"], "7") << "8 deleted";
    EXPECT_EQ(run.dumps[3]["listEditor"]["prompt"], "L₁(1)=");
    EXPECT_EQ(run.dumps[4]["ans"], "0");
}

// Over the program library's tag picker the keys are the picker's, the computer's and the
// calculator's, on the phone and the tablet: Down Down Return picks the third tag (no
// program call is pasted from the list under it), DOWN ENTER the next one, Escape closes
// the picker alone.
TEST(KeysDrive, KeysOverTheTagPickerGoToThePicker)
{
    for (const char* device : {"phone", "tablet"}) {
        const DriveRun run = driveScript("key PRGM\nwait idle\npress All:Show All\nwait idle\nhkey Down\nhkey Down\ndump\n"
                                         "hkey Return\nwait idle\ndump\npress All:Calculus\nwait idle\nkey DOWN\nkey ENTER\n"
                                         "wait idle\ndump\npress All:Complex numbers\nwait idle\nhkey Escape\nwait idle\ndump\n",
                                         std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(run, 4)) << device;
        EXPECT_EQ(run.dumps[0]["tagPicker"]["row"], 2) << device;
        for (const json& dump : run.dumps) {
            EXPECT_EQ(dump["entry"], "") << device;
            EXPECT_EQ(dump["menu"], 6) << device;
        }
        EXPECT_FALSE(run.dumps[1].contains("tagPicker")) << device;
        EXPECT_EQ(run.dumps[1]["programs"].size(), 5u) << device << ": the Calculus programs";
        EXPECT_FALSE(run.dumps[3].contains("tagPicker")) << device;
    }
}

const std::string kListTyped = "type {5,6}->L₁\nkey ENTER\nwait idle\nkey STAT\nkey ENTER\nwait idle\n"
                               "type 12\nkey DOWN\ntype 34\n";
const std::string kListAsked = "type L₁\nkey ENTER\nwait idle\ndump\n";

// The value typed in the list editor goes to its cell whichever way the editor is left, and
// nothing of it is left on the home line: QUIT, a menu that leaves the editor (STAT),
// another screen's key (Y=, then QUIT home).
TEST(KeysDrive, TheListEditorsValueIsKeptByEveryWayOut)
{
    for (const char* way : {"key 2ND\nkey MODE\n", "key STAT\nhkey Escape\n", "key Y=\nkey 2ND\nkey MODE\n"}) {
        const DriveRun run = driveScript(kListTyped + way + "wait idle\ndump\n" + kListAsked);
        ASSERT_TRUE(endedWithDumps(run, 2)) << way;
        EXPECT_EQ(run.dumps[0]["screen"], 0) << way;
        EXPECT_EQ(run.dumps[0]["entry"], "") << way;
        EXPECT_EQ(run.dumps[1]["history"].back(), json::parse(R"({"input":"L₁","answer":"{12 34}"})")) << way;
    }
}

// Closing the window keeps the value too: the next launch has it, and its home line is
// empty.
TEST(KeysDrive, TheListEditorsValueIsKeptWhenTheWindowCloses)
{
    const fs::path data = orvenda::test::driveScratch("closed");
    fs::remove_all(data);
    const std::string folder = "--data '" + data.string() + "'";
    const DriveRun closed = driveScript(kListTyped + "close\ndump\n", folder);
    ASSERT_TRUE(endedWithDumps(closed, 1));
    EXPECT_EQ(closed.dumps[0]["entry"], "");
    const DriveRun next = driveScript("dump\n" + kListAsked, folder);
    ASSERT_TRUE(endedWithDumps(next, 2));
    EXPECT_EQ(next.dumps[0]["entry"], "");
    EXPECT_EQ(next.dumps[1]["history"].back(), json::parse(R"({"input":"L₁","answer":"{12 34}"})"));
}

// Keys typed on the home screen before an answer is back (the driver pumps no events
// between key lines, so every answer comes after the last key) act after it in the order
// typed, screen keys among them: the menu STAT opens takes the arrows and the row's digit,
// and every history item keeps its input. The calculator's keys and the computer's alike,
// at both sizes.
TEST(KeysDrive, KeysTypedBeforeTheAnswerActAfterItInOrder)
{
    const json oneItem = json::parse(R"([{"input":"1+1","answer":"2"}])");
    const json twoItems = json::parse(R"([{"input":"1+1","answer":"2"},{"input":"2+2","answer":"4"}])");
    const std::pair<std::string, json> scripts[] = {
        {"type 1+1\nkey ENTER\nkey STAT\nkey RIGHT\nkey RIGHT\nkey 2\n", oneItem},
        {"type 1+1\nkey ENTER\ntype 2+2\nkey ENTER\nhkey Ctrl+S\nhkey Right\nhkey Right\nhkey 2\n", twoItems},
    };
    for (const char* device : {"", "--device tablet"})
        for (const auto& [keys, history] : scripts) {
            const DriveRun run = driveScript(keys + "wait idle\ndump\n", device);
            ASSERT_TRUE(endedWithDumps(run, 1)) << device << keys;
            const json& dump = run.dumps[0];
            EXPECT_EQ(dump["history"], history) << device << keys;
            EXPECT_EQ(dump["entry"], "") << device << keys;
            // STAT ▸ TESTS ▸ 2 is the t test.
            EXPECT_EQ(dump["screen"], 15) << device << keys;
            EXPECT_EQ(dump["statTest"]["title"], "T-Test:μ≠0") << device << keys;
        }
}

// A menu over an app's field keeps what is typed on its line, and a pick from it goes onto
// that line; a menu pick that opens another screen enters it first. On the simultaneous
// equations, the matrix editor, the polynomial's coefficients and the solver's values, at
// both sizes: 7, MATH, Escape (the line and its picture unchanged), STAT ▸ EDIT, back to
// the app (7 in its field); then 1/4, MATH ▸Frac and ENTER (.25 in the next field).
TEST(KeysDrive, AMenuOverAnAppsFieldKeepsItsLine)
{
    struct App {
        std::string open;
        // Opens the app again, on the field after the one left.
        std::string reopen;
        const char* seven;
        const char* quarter;
    };
    const std::string simul = "key APPS\nkey 4\nkey 2\n", poly = "key APPS\nkey 4\nkey 1\n";
    const std::string matrix = "key 2ND\nkey X⁻¹\nkey RIGHT\nkey RIGHT\nkey 1\n";
    const std::vector<App> apps{
        {simul, simul, "/simulEq/editor/cells/0/0", "/simulEq/editor/cells/0/1"},
        {matrix + "type 2\nkey ENTER\ntype 2\nkey ENTER\n", matrix + "key DOWN\nkey DOWN\nkey RIGHT\n", "/matrixEdit/cells/0/0",
         "/matrixEdit/cells/0/1"},
        {poly + "type 2\nkey ENTER\nwait idle\n", poly, "/poly/lines/0", "/poly/lines/1"},
        {"open 10\nwait idle\ntype X-3\nkey DOWN\n", "open 10\n", "/solver/lines/1", "/solver/lines/2"},
    };
    for (const char* device : {"phone", "tablet"}) {
        for (const App& app : apps) {
            const std::string where = std::string(device) + " " + app.seven;
            const auto typed = orvenda::test::driveScratch("menu-typed.png"), back = orvenda::test::driveScratch("menu-back.png");
            const DriveRun run = driveScript(app.open + "wait idle\ntype 7\nwait idle\nshot " + typed.string()
                                                 + "\nkey MATH\nwait idle\nhkey Escape\nwait idle\ndump\nshot " + back.string()
                                                 + "\nkey STAT\nkey 1\nwait idle\ndump\n" + app.reopen
                                                 + "wait idle\ndump\ntype 1/4\nkey MATH\nkey 1\nwait idle\ndump\nkey ENTER\nwait idle\ndump\n",
                                             std::string("--device ") + device);
            ASSERT_TRUE(endedWithDumps(run, 5)) << where;
            EXPECT_EQ(run.dumps[0].value("entry", ""), "7") << where;
            EXPECT_EQ(changed(typed, back), 0) << where;
            EXPECT_EQ(run.dumps[1]["screen"], 4) << where;
            EXPECT_TRUE(run.dumps[2].value(json::json_pointer(app.seven), std::string()).ends_with("7")) << where;
            EXPECT_EQ(run.dumps[3].value("entry", ""), "1/4\xE2\x96\xB8" "Frac") << where;
            EXPECT_TRUE(run.dumps[4].value(json::json_pointer(app.quarter), std::string()).ends_with(".25")) << run.dumps[4];
            for (const json& dump : run.dumps)
                EXPECT_EQ(dump["error"], 0) << where;
        }
    }
}


// The key-set editor's line is stored as typed whichever way the editor is left (Escape,
// 2ND MODE, Done): no ENTER is added to the key's definition, and the key gives 5. UP and
// DOWN between an empty line and one that holds something stop at the next line.
TEST(KeysDrive, TheKeySetEditorKeepsItsLinesByEveryWayOut)
{
    const std::string edit = "key 0x438\npress Edit\ntap 40 195\nwait idle\n";
    std::string script = "key 0x438\npress +\nhkey M\nhkey y\nhkey Return\n";
    const char* ways[] = {"hkey Escape\n", "key 2ND\nkey MODE\n", "press Done\n"};
    for (const char* way : ways)
        script += edit + "key UP\nkey UP\nkey UP\nkey DOWN\nkey CLEAR\ntype 2+3\n" + way + "wait idle\ndump\n" + edit + "dump\n"
            + "press Done\nwait idle\n";
    script += edit + "key UP\ndump\nkey DOWN\ndump\nkey DOWN\nkey UP\ndump\npress Done\nwait idle\n";
    const DriveRun run = driveScript(script + "key 0x438\npress Pick\ntap 40 195\nwait idle\ntap 40 290\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 10));
    const json lines = json::parse(R"(["     title=","      key=2+3","2ND title=","2ND   key="])");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(run.dumps[2 * i]["screen"], 0) << ways[i];
        EXPECT_EQ(run.dumps[2 * i + 1]["keyEditor"]["lines"], lines) << ways[i];
        EXPECT_EQ(run.dumps[2 * i + 1]["keyEditor"]["line"], 1) << ways[i];
    }
    // From the ops line up to the empty title, down again, and down to the empty 2nd title
    // and back up.
    EXPECT_EQ(run.dumps[6]["keyEditor"]["line"], 0);
    EXPECT_EQ(run.dumps[7]["keyEditor"]["line"], 1);
    EXPECT_EQ(run.dumps[8]["keyEditor"]["line"], 1);
    EXPECT_EQ(run.dumps[8]["keyEditor"]["lines"], lines);
    EXPECT_EQ(run.dumps[9]["history"].back(), json::parse(R"({"input":"2+3","answer":"5"})"));
}

// In the key-set editor a menu, the catalogue and MODE stay open over it, and what they
// pick goes onto the key's line where its cursor stands (1, CATALOG closed, 9; MATH ▸Frac;
// MODE's Done, 5; Ctrl+M ▸Dec; two steps left, CATALOG closed, 7 over the 5). Quitting with
// the editor open, by the script's end or by closing the window, keeps the line in the key
// and MathPrint as it was set, at both sizes.
TEST(KeysDrive, TheKeySetEditorTakesPicksAtItsCursorAndIsKeptAtTheQuit)
{
    for (const auto& [device, row] : {std::pair{"phone", "40 195"}, {"tablet", "56 226"}}) {
        for (const char* quit : {"", "close\n"}) {
            const std::string where = std::string(device) + (*quit ? " closed" : " quit");
            const fs::path data = orvenda::test::driveScratch("key-set-quit");
            fs::remove_all(data);
            const std::string options = std::string("--device ") + device + " --data '" + data.string() + "'";
            const std::string edit = std::string("key 0x438\npress Edit\ntap ") + row + "\nwait idle\n";
            const DriveRun run = driveScript("key 0x438\npress +\nhkey M\nhkey y\nhkey Return\n" + edit
                                                 + "type 1\nkey 2ND\nkey 0\nwait idle\ndump\nhkey Escape\nwait idle\ntype 9\n"
                                                   "key MATH\nwait idle\ndump\nkey 1\nwait idle\nkey MODE\nwait idle\ndump\n"
                                                   "press Done\nwait idle\ntype 5\nhkey Ctrl+M\nwait idle\nkey 2\nwait idle\n"
                                                   "key LEFT\nkey LEFT\nkey 2ND\nkey 0\nwait idle\nhkey Escape\nwait idle\ndump\n"
                                                   "type 7\n" + quit,
                options);
            ASSERT_TRUE(endedWithDumps(run, 4)) << where;
            const json& catalog = run.dumps[0];
            EXPECT_EQ(catalog["overlay"], "Catalog") << where;
            EXPECT_EQ(catalog["entry"], "1") << where;
            EXPECT_EQ(run.dumps[1]["overlay"], "Menu") << where;
            EXPECT_EQ(run.dumps[1]["entry"], "19") << where;
            // MODE shows the user's own setting, not the editor's.
            EXPECT_EQ(run.dumps[2]["overlay"], "Mode") << where;
            EXPECT_TRUE(run.dumps[2]["mathPrint"].get<bool>()) << where;
            const json& back = run.dumps[3];
            EXPECT_EQ(back["screen"], 22) << where;
            EXPECT_EQ(back["entry"], "19\xE2\x96\xB8" "Frac5\xE2\x96\xB8" "Dec") << where;
            EXPECT_EQ(back["cursor"], 3) << where;
            for (const json& dump : run.dumps)
                EXPECT_EQ(dump["screen"], 22) << where;

            const DriveRun next = driveScript("dump\n" + edit + "dump\n", options);
            ASSERT_TRUE(endedWithDumps(next, 2)) << where;
            EXPECT_TRUE(next.dumps[0]["mathPrint"].get<bool>()) << where;
            EXPECT_EQ(next.dumps[0]["screen"], 0) << where;
            EXPECT_EQ(next.dumps[0]["entry"], "") << where;
            EXPECT_EQ(next.dumps[1]["keyEditor"]["lines"][0], "     title=19\xE2\x96\xB8" "Frac7\xE2\x96\xB8" "Dec") << where;
        }
    }
}

// The program editor's Undo key lights as the home screen's does once there is a step to
// undo, and its Redo legend once there is one to redo: 78 typed into a new program, Undo
// twice, then Redo; the key's picture is compared with the home screen's, dim and lit.
TEST(KeysDrive, TheProgramEditorsUndoAndRedoKeysLight)
{
    for (const char* device : {"phone", "tablet"}) {
        std::vector<fs::path> shots;
        std::string script = "wait idle\n";
        const auto shot = [&](const std::string& keys) {
            shots.push_back(orvenda::test::driveScratch("undo-" + std::to_string(shots.size()) + ".png"));
            script += keys + "wait idle\nshot " + shots.back().string() + "\n";
        };
        shot("");
        shot("type 78\n");
        shot("key CLEAR\nkey PRGM\nhkey +\nhkey Shift+F\nhkey Return\npress Save\n");
        shot("type 78\n");
        shot("key Undo\nkey Undo\n");
        shot("key 2ND\nkey Undo\n");
        const DriveRun run = driveScript(script + "dump\n", std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(run, 1)) << device;
        EXPECT_EQ(run.dumps[0]["editor"]["lines"], json::parse(R"([":7"])")) << device;
        const json& r = run.dumps[0]["keyboard"]["undo"];
        // The key's upper part holds the Redo legend, the lower its face.
        const int legend = r[3].get<int>() * 2 / 5;
        const auto part = [&](std::size_t n, bool face) {
            return QImage(QString::fromStdString(shots[n].string()))
                .copy(r[0], r[1].get<int>() + (face ? legend : 0), r[2], face ? r[3].get<int>() - legend : legend);
        };
        enum { Home, HomeTyped, Editor, Typed, Undone, Redone };
        ASSERT_NE(part(Home, true), part(HomeTyped, true)) << device;
        EXPECT_EQ(part(Editor, true), part(Home, true)) << device;
        EXPECT_EQ(part(Typed, true), part(HomeTyped, true)) << device << ": lit after typing";
        EXPECT_EQ(part(Undone, true), part(Home, true)) << device << ": dim with nothing to undo";
        EXPECT_EQ(part(Redone, true), part(HomeTyped, true)) << device;
        EXPECT_EQ(part(Typed, false), part(Editor, false)) << device << ": nothing to redo";
        EXPECT_NE(part(Undone, false), part(Typed, false)) << device << ": Redo lit";
        EXPECT_EQ(part(Redone, false), part(Undone, false)) << device << ": one more to redo";
    }
}

// A menu's digit or letter past its last row picks the last row (VARS 9 opens its last
// submenu, MATH z types its last item); the compact keypad types ⁻¹ for Alt+Shift+- as the
// keyboard does, and Ctrl+I is its INS (123, Left Left, Ctrl+I, 9 gives 1923).
TEST(KeysDrive, TheLastRowsOfTheKeyTablesAct)
{
    const DriveRun menus = driveScript("key VARS\nwait idle\nhkey 9\nwait idle\ndump\nhkey Escape\nhkey Escape\nwait idle\n"
                                       "key MATH\nwait idle\nhkey z\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(menus, 2));
    EXPECT_EQ(menus.dumps[0]["menu"], 12);
    EXPECT_EQ(menus.dumps[1]["entry"], "Ans\xE2\x96\xB8SigFig");
    for (const char* device : {"phone", "tablet"}) {
        const DriveRun keypad = driveScript("key STAT\nkey RIGHT\nkey RIGHT\nkey ENTER\nwait idle\nhkey 1\nhkey 2\nhkey 3\n"
                                            "hkey Left\nhkey Left\nhkey Ctrl+I\nhkey 9\nhkey Return\nhkey 1\nhkey Alt+Shift+-\n"
                                            "dump\nkey CLEAR\nhkey 1\nhkey Alt+-\ndump\n",
                                            std::string("--device ") + device);
        ASSERT_TRUE(endedWithDumps(keypad, 2)) << device;
        EXPECT_EQ(keypad.dumps[0]["statTest"]["fields"][0]["value"], 1923) << device;
        EXPECT_EQ(keypad.dumps[0]["statTest"]["typing"], "1\xE2\x81\xBB\xC2\xB9") << device;
        EXPECT_EQ(keypad.dumps[1]["statTest"]["typing"], "1-") << device << ": Alt+- is the negation";
    }
}

// The graph takes the computer's keys back from a sheet that closes: Escape then leaves it,
// after the slider form's Done and after the calculate sheet's.
TEST(KeysDrive, EscapeLeavesTheGraphAfterASheetCloses)
{
    const std::string traced = "key Y=\ntype X²-4\nkey GRAPH\nwait idle\nkey 0x403\nwait idle\n";
    for (const char* sheet : {"press X\nwait idle\npress 0\n", "press Calc\nwait idle\n"}) {
        const DriveRun run = driveScript(traced + sheet + "wait idle\npress Done\nwait idle\nhkey Escape\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 1)) << sheet;
        EXPECT_EQ(run.dumps[0]["screen"], 0) << sheet;
    }
}

// A drawing command typed on the table's line and entered as the user leaves the table (for
// the program editor, another screen, a menu's screen, home) draws, and leaves the screen
// the user went to in front: the graph shows the drawing when it is asked for.
TEST(KeysDrive, ADrawingEnteredAsTheTableIsLeftShowsNoGraphOverTheNextScreen)
{
    const std::string typed = "key TABLE\nwait idle\nkey 2ND\nkey PRGM\nkey 6\nkey 6\n";
    const struct {
        const char* way;
        const char* keys;
        int screen;
    } ways[] = {
        {"PRGM's EDIT", "key PRGM\nkey RIGHT\nhkey Return\n", 2},
        {"Y=", "key Y=\n", 1},
        {"STAT PLOT", "key 2ND\nkey Y=\n", 9},
        {"STAT's EDIT", "key STAT\nkey 1\n", 4},
        {"QUIT", "key 2ND\nkey MODE\n", 0},
    };
    std::string script;
    for (const auto& way : ways)
        script += typed + way.keys + "wait idle\ndump\nkey GRAPH\nwait idle\ndump\nhkey Escape\nwait idle\nkey 2ND\nkey MODE\n"
            + "wait idle\nkey CLEAR\n";
    const DriveRun run = driveScript(script, "", 120);
    ASSERT_TRUE(endedWithDumps(run, 2 * std::size(ways)));
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        const json& left = run.dumps[2 * i];
        EXPECT_EQ(left["top"]["id"], ways[i].screen) << ways[i].way;
        EXPECT_EQ(left["screen"], ways[i].screen) << ways[i].way;
        EXPECT_EQ(left["drawn"], json::array({ways[i].screen})) << ways[i].way;
        EXPECT_EQ(run.dumps[2 * i + 1]["top"]["id"], 8) << ways[i].way;
    }
}

// Paste is typing: the text pasted (Ctrl+Alt+V) lands where the keys of the screen in front
// type, in one piece: the current equation on Y=, the program at its cursor in the editor,
// the field's line on every screen that edits one (from the keypad of its own too). The home line hidden under them takes
// none of it (QUIT finds it empty), and a run waiting at Input out of sight keeps its
// question unanswered: back in front, the question has nothing typed for it.
TEST(KeysDrive, PasteLandsWhereTheScreenInFrontTypes)
{
    const DriveRun listed = driveScript("screens\n");
    ASSERT_TRUE(endedWithDumps(listed, 1));
    struct Place {
        std::string name;
        std::string opening;
        int screen;
    };
    std::vector<Place> places{{"Y=", "key Y=\n", 1}, {"the program editor", "key PRGM\nkey RIGHT\nhkey z\nhkey Return\n", 2}};
    for (const json& screen : listed.dumps[0]["screens"])
        if (screen.value("field", false))
            places.push_back({screen["title"].get<std::string>(), "open " + screen["id"].dump() + "\n", screen["id"].get<int>()});
    ASSERT_GE(places.size(), 10u);
    const std::string programs = "program ZE\n7\nend\nprogram ZI\nInput \"X=\",X\nend\n";
    const std::string copied = "type 2+3\nhkey Ctrl+Alt+C\nkey CLEAR\n";
    std::vector<std::string> scripts(2, programs + copied);
    for (const Place& place : places)
        for (const bool waiting : {false, true})
            scripts[waiting] += std::string(waiting ? "type prgmZI\nkey ENTER\nwait idle\n" : "") + place.opening
                + "wait idle\nhkey Ctrl+Alt+V\nwait idle\ndump\nhkey Escape\nwait idle\nhkey Escape\nwait idle\ndump\n"
                + (waiting ? "key CLEAR\ntype 1\nkey ENTER\nwait idle\n" : "") + "key CLEAR\n";
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts, "", 240);
    for (const bool waiting : {false, true}) {
        const DriveRun& run = runs[waiting];
        ASSERT_TRUE(endedWithDumps(run, 2 * places.size())) << waiting;
        for (std::size_t i = 0; i < places.size(); ++i) {
            const Place& place = places[i];
            const std::string where = place.name + (waiting ? " with a question waiting" : "");
            const json& pasted = run.dumps[2 * i];
            const json& back = run.dumps[2 * i + 1];
            EXPECT_EQ(pasted["top"]["id"], place.screen) << where;
            if (place.screen == 1) {
                EXPECT_EQ(pasted["yEq"]["rows"][0]["text"], "2+3") << where;
            } else if (place.screen == 2) {
                EXPECT_EQ(pasted["editor"]["lines"], json::array({":2+37"})) << where;
            } else {
                EXPECT_EQ(pasted["entry"], "2+3") << where;
            }
            if (place.screen <= 2) {
                EXPECT_EQ(pasted["entry"], "") << where;
            }
            EXPECT_EQ(back["entry"], "") << where;
            EXPECT_EQ(back["waiting"], waiting) << where;
            if (waiting) {
                EXPECT_EQ(back["top"]["id"], 11) << where;
                EXPECT_EQ(back["output"].back(), "X=") << where;
            } else {
                EXPECT_EQ(back["top"]["id"], 0) << where;
            }
        }
    }
}

} // namespace

// The computer's keys inside templates answer as on the Classic home, on both homes in one
// session: Option-v (√), 1, 6, ")" and Return give 4; 9, Backspace, 8 typed after a
// template give 8, and inside one Backspace deletes; a ")" pasted into a template goes
// past it; DOWN leaves an exponent after its power; a Y= row and a waiting Input's answer
// typed the same way answer the same; Backspace in an empty denominator takes the n/d; a
// template left open on the home line lends no insert mode to a Y= row; INS outlasts a
// template typed in it.
TEST(KeysDrive, TemplatesTakeTheComputersKeysAsTheClassicHomeDoes)
{
    const struct {
        const char* keys;
        const char* answer;
    } rows[] = {
        {"hkey Alt+v\nhkey 1\nhkey 6\nhkey )\n", "4"},
        {"hkey Alt+v\nhkey 4\nkey CLEAR\nhkey 9\nhkey Backspace\nhkey 8\n", "8"},
        {"type ₁₀^(\nhkey 4\nhkey 9\nhkey Backspace\n", "10000"},
        {"hkey Alt+v\nhkey 9\nhkey )\nhkey Return\nwait idle\nhkey 9\nhkey Backspace\nhkey 8\n", "8"},
        {"type 9)+1\nhkey Ctrl+Alt+C\nkey CLEAR\nhkey Alt+v\nhkey Ctrl+Alt+V\n", "4"},
        {"hkey 2\nhkey ^\nhkey 3\nkey DOWN\nhkey +\nhkey 1\n", "9"},
        {"type logBASE(\nhkey 8\nhkey ,\nhkey 2\nhkey )\nhkey +\nhkey 1\n", "4"},
        {"key Y=\nkey CLEAR\nhkey Alt+v\nhkey Shift+X\nhkey )\nhkey +\nhkey 1\nkey 2ND\nkey MODE\nwait idle\ntype Y₁(4)\n", "3"},
        {"type prgmZI\nkey ENTER\nwait idle\nhkey Alt+v\nhkey 9\nhkey )\nhkey +\nhkey 1\nhkey Return\nwait idle\ntype X\n", "4"},
        {"type 1／\nhkey Backspace\nhkey 2\n", "12"},
        {"key Y=\nkey CLEAR\nhkey Shift+X\nhkey +\nhkey 1\nkey LEFT\nkey LEFT\nkey LEFT\nkey 2ND\nkey MODE\nwait idle\n"
         "hkey Alt+v\nhkey 9\nkey Y=\nhkey 2\nkey 2ND\nkey MODE\nwait idle\nkey CLEAR\ntype Y₁(4)\n", "3"},
        {"hkey 1\nhkey +\nhkey 2\nkey LEFT\nkey LEFT\nkey 2ND\nkey DEL\nhkey Alt+v\nhkey 9\nhkey )\nhkey 4\n", "14"},
    };
    std::string script = "program ZI\nInput \"X=\",X\nend\n";
    for (const char* display : {"", "type Classic\nkey ENTER\nwait idle\n"}) {
        script += display;
        for (const auto& row : rows)
            script += std::string("key CLEAR\n") + row.keys + "hkey Return\nwait idle\ndump\n";
    }
    const DriveRun run = driveScript(script);
    ASSERT_TRUE(endedWithDumps(run, 2 * std::size(rows)));
    for (std::size_t i = 0; i < run.dumps.size(); ++i) {
        const auto& row = rows[i % std::size(rows)];
        const std::string where = std::string(i < std::size(rows) ? "MathPrint: " : "Classic: ") + row.keys;
        EXPECT_EQ(run.dumps[i]["error"], 0) << where << run.dumps[i]["entry"];
        EXPECT_EQ(run.dumps[i]["ans"], row.answer) << where << run.dumps[i]["entry"];
    }
}

// A power typed after a power on the MathPrint home (2, ^, 3, RIGHT, ^, 2) is drawn with its
// base in brackets, as the (2³)² typed with its own brackets is drawn, not as the 2^(3^2)
// typed within the exponent; ENTER gives 64 as 2^3^2 does on the Classic home.
TEST(KeysDrive, APowerOfAPowerIsDrawnAsWhatItComputes)
{
    const fs::path keyed = orvenda::test::driveScratch("power-keyed.png");
    const fs::path typed = orvenda::test::driveScratch("power-typed.png");
    const fs::path nested = orvenda::test::driveScratch("power-nested.png");
    const std::string power = "key 2\nkey ^\nkey 3\nkey RIGHT\nkey ^\nkey 2\n";
    const DriveRun run = driveScript("wait idle\n" + power + "wait idle\ndump\nshot " + keyed.string()
                                     + "\nkey CLEAR\nkey (\nkey 2\nkey ^\nkey 3\nkey RIGHT\nkey )\nkey ^\nkey 2\n"
                                       "wait idle\nshot " + typed.string()
                                     + "\nkey CLEAR\nkey 2\nkey ^\nkey 3\nkey ^\nkey 2\nwait idle\nshot " + nested.string()
                                     + "\nkey CLEAR\n" + power + "key ENTER\nwait idle\ndump\n"
                                       "type Classic\nkey ENTER\nwait idle\nkey CLEAR\ntype 2^3^2\nkey ENTER\nwait idle\ndump\n");
    ASSERT_TRUE(endedWithDumps(run, 3));
    EXPECT_TRUE(run.dumps[0]["mathPrint"].get<bool>());
    EXPECT_EQ(changed(keyed, typed), 0);
    EXPECT_GT(changed(keyed, nested), 0);
    EXPECT_EQ(run.dumps[1]["error"], 0);
    EXPECT_EQ(run.dumps[1]["ans"], "64");
    EXPECT_FALSE(run.dumps[2]["mathPrint"].get<bool>());
    EXPECT_EQ(run.dumps[2]["ans"], "64");
}
