// The equation apps through orvenda-drive as a student meets them: opened from the APPS
// menu, typed on the keyboard, solved with the menu under the lines, pictured at the
// phone's and the tablet's size.

#include "DrivePictures.h"
#include "DriveSession.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

namespace orvenda::test {
namespace {

using nlohmann::json;

const std::string kOpenPoly = "key APPS\nkey 4\nkey 1\nwait idle\n";

class PolyDrive : public ::testing::TestWithParam<const char*> {};

// Degree 3, coefficients 1, −6, 11, −6: SOLVE shows the zeros 1, 2 and 3, and the picture
// changes from the coefficients to the zeros.
TEST_P(PolyDrive, ACubicSolvesToOneTwoThree)
{
    const std::string device = GetParam();
    const auto coefficients = driveScratch("poly-coef-" + device + ".png");
    const auto zeros = driveScratch("poly-zeros-" + device + ".png");
    const DriveRun run = driveScript(kOpenPoly + "dump\ntype 3\nkey ENTER\nwait idle\ndump\n"
                                         "type 1\nkey ENTER\nwait idle\nkey (−)\ntype 6\nkey ENTER\nwait idle\n"
                                         "type 11\nkey ENTER\nwait idle\nkey (−)\ntype 6\nkey ENTER\nwait idle\ndump\nshot "
                                         + coefficients.string() + "\npress SOLVE\nwait idle\ndump\nshot " + zeros.string() + "\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 4u) << run.output;
    EXPECT_EQ(run.dumps[0]["screen"], 20);
    EXPECT_EQ(run.dumps[0]["poly"]["banner"], "POLY:DEGR  ");
    EXPECT_EQ(run.dumps[0]["poly"]["menu"], json::array({"DEGR", "COEF", "", "", ""}));
    EXPECT_EQ(run.dumps[1]["poly"]["state"], 1);
    EXPECT_EQ(run.dumps[1]["poly"]["lines"], json::array({"a3=0", "a2=0", "a1=0", "a0=0"}));
    EXPECT_EQ(run.dumps[2]["poly"]["lines"], json::array({"a3=1", "a2=-6", "a1=11", "a0=-6"}));
    const json& solved = run.dumps[3]["poly"];
    EXPECT_EQ(solved["state"], 2);
    EXPECT_EQ(solved["banner"], "POLY:SOLN  ");
    EXPECT_EQ(solved["menu"], json::array({"DEGR", "COEF", "GRAPH", "STO", "SOLVE"}));
    std::vector<std::string> lines = solved["lines"];
    std::sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) { return a.back() < b.back(); });
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(3), "1");
    EXPECT_EQ(lines[1].substr(3), "2");
    EXPECT_EQ(lines[2].substr(3), "3");
    EXPECT_EQ(run.dumps[3]["error"], 0);
    EXPECT_GT(changed(coefficients, zeros), 50);
}

// x² + 1 has no real zeros: "Nonreal" in real mode, ±i in a+bi mode.
TEST_P(PolyDrive, ComplexZerosShowAsNonrealUnlessTheModeIsComplex)
{
    const std::string entry = kOpenPoly + "type 2\nkey ENTER\nwait idle\ntype 1\nkey ENTER\nwait idle\nkey ENTER\nwait idle\n"
                                          "type 1\nkey ENTER\nwait idle\npress SOLVE\nwait idle\ndump\n";
    const DriveRun real = driveScript(entry, std::string("--device ") + GetParam());
    ASSERT_EQ(real.exitCode, 0) << real.output;
    ASSERT_EQ(real.dumps.size(), 1u) << real.output;
    EXPECT_EQ(real.dumps[0]["poly"]["lines"], json::array({"x1=Nonreal", "x2=Nonreal"}));
    const DriveRun complex = driveScript("key 2ND\nkey 0\nhkey Return\nkey ENTER\nwait idle\n" + entry, std::string("--device ") + GetParam());
    ASSERT_EQ(complex.exitCode, 0) << complex.output;
    ASSERT_EQ(complex.dumps.size(), 1u) << complex.output;
    const json lines = complex.dumps[0]["poly"]["lines"];
    ASSERT_EQ(lines.size(), 2u);
    for (const json& line : lines) {
        const std::string text = line;
        EXPECT_NE(text.find("\xF0\x9D\x91\x96"), std::string::npos) << text; // 𝑖
        EXPECT_EQ(text.find("Nonreal"), std::string::npos) << text;
    }
}

// A degree of 30 is refused with 88 and the coefficients typed stay; a leading 0 refuses
// SOLVE with 87.
TEST_P(PolyDrive, RefusedDegreesAndCoefficientsChangeNothing)
{
    const DriveRun run = driveScript(kOpenPoly + "type 2\nkey ENTER\nwait idle\ntype 4\nkey ENTER\nwait idle\n"
                                         "press DEGR\nwait idle\ntype 30\nkey ENTER\nwait idle\ndump\nkey ENTER\nwait idle\n"
                                         "press COEF\nwait idle\ndump\npress CLR\nwait idle\npress SOLVE\nwait idle\ndump\n",
                                     std::string("--device ") + GetParam());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
    EXPECT_EQ(run.dumps[0]["error"], 88);
    EXPECT_EQ(run.dumps[0]["poly"]["state"], 0);
    EXPECT_EQ(run.dumps[1]["poly"]["lines"], json::array({"a2=4", "a1=0", "a0=0"}));
    EXPECT_EQ(run.dumps[2]["error"], 87);
    EXPECT_EQ(run.dumps[2]["poly"]["state"], 1);
}

// The dimension prompt: the arrows set 3 × 4, ENTER puts the template on the home screen's
// entry line; pictured at both sizes.
TEST_P(PolyDrive, TheDimensionPromptSetsAMatrixTemplate)
{
    const std::string device = GetParam();
    const auto bare = driveScratch("prompt-bare-" + device + ".png");
    const auto shown = driveScratch("prompt-" + device + ".png");
    const DriveRun run = driveScript("wait idle\nshot " + bare.string() + "\nopen 19\nwait idle\ndump\nkey RIGHT\nkey DOWN\nkey RIGHT\n"
                                         "key RIGHT\nwait idle\ndump\nshot " + shown.string() + "\nkey ENTER\nwait idle\ndump\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
    EXPECT_EQ(run.dumps[0]["matrixPrompt"], json::parse(R"({"rows":2,"cols":2,"selected":0})"));
    EXPECT_EQ(run.dumps[1]["matrixPrompt"], json::parse(R"({"rows":3,"cols":4,"selected":1})"));
    EXPECT_GT(changed(bare, shown), 100);
    EXPECT_EQ(run.dumps[2]["screen"], 0);
    EXPECT_NE(run.dumps[2]["entry"], "");
}

// The equation solver: X²=2 typed as X²−2, X from 1, SOLVE gives 1.414213562 with the
// line marked and left-rt 0; the picture shows it.
TEST_P(PolyDrive, TheSolverSolvesXSquaredIsTwo)
{
    const std::string device = GetParam();
    const auto typed = driveScratch("solver-typed-" + device + ".png");
    const auto solved = driveScratch("solver-solved-" + device + ".png");
    const DriveRun run = driveScript("open 10\nwait idle\ntype X²-2\nkey DOWN\nwait idle\ntype 1\nwait idle\ndump\nshot " + typed.string()
                                         + "\npress SOLVE\nwait idle\ndump\nshot " + solved.string() + "\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 2u) << run.output;
    const json& before = run.dumps[0]["solver"];
    ASSERT_TRUE(before.is_object()) << run.dumps[0];
    EXPECT_EQ(before["line"], 1);
    ASSERT_EQ(before["lines"].size(), 4u) << before;
    EXPECT_EQ(before["lines"][1], "X=1");
    const json& after = run.dumps[1]["solver"];
    EXPECT_EQ(after["lines"][1], "X=1.414213562");
    EXPECT_EQ(after["result"], 1);
    // The residual is 0 or a rounding's worth.
    const std::string leftRt = after["leftRt"];
    EXPECT_TRUE(leftRt == "left-rt=0" || leftRt.find("E-1") != std::string::npos || leftRt.find("\xE1\xB4\xB1-1") != std::string::npos) << leftRt;
    EXPECT_GT(changed(typed, solved), 20);
}

// 0 = X³ − 8 solved from X = 1 gives 2. PLOT shows the graph around it: X from 0 to 4 and
// Y within twice the slope (12) of 0, the curve and the traced point on the picture.
// Back on the solver, 3 typed on the solved line and ENTER re-evaluate it (the mark and
// "left-rt=19" shown); a further ENTER moves down.
TEST_P(PolyDrive, TheSolversPlotShowsItsWindowAndTheSolvedLineReEvaluates)
{
    const std::string device = GetParam();
    const auto plotted = driveScratch("solver-plot-" + device + ".png");
    const auto typed = driveScratch("solver-typed3-" + device + ".png");
    const auto again = driveScratch("solver-again-" + device + ".png");
    const DriveRun run = driveScript("open 10\nwait idle\ntype X³-8\nkey DOWN\nwait idle\ntype 1\npress SOLVE\nwait idle\ndump\n"
                                         "press PLOT\nwait idle\ndump\nshot " + plotted.string() + "\nhkey Escape\nwait idle\n"
                                         "type 3\nwait idle\nshot " + typed.string() + "\nkey ENTER\nwait idle\ndump\nshot " + again.string()
                                         + "\nkey ENTER\nwait idle\ndump\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 4u) << run.output;
    EXPECT_EQ(run.dumps[0]["solver"]["lines"][1], "X=2");
    const json& plot = run.dumps[1];
    EXPECT_EQ(plot["screen"], 8);
    ASSERT_TRUE(plot["shown"].is_array()) << plot;
    const std::vector<double> shown = plot["shown"];
    EXPECT_NEAR(shown[0], 0, 1e-6);
    EXPECT_NEAR(shown[1], 4, 1e-6);
    EXPECT_NEAR(shown[2], -24, 0.01);
    EXPECT_NEAR(shown[3], 24, 0.01);
    ASSERT_TRUE(plot["trace"].is_object()) << plot;
    EXPECT_NEAR(plot["trace"]["x"].get<double>(), 2, 1e-9);
    EXPECT_NEAR(plot["trace"]["y"].get<double>(), 0, 1e-9);
    // The green curve near (2, 0) and (3, 19) on the picture.
    const QImage picture(QString::fromStdString(plotted.string()));
    ASSERT_FALSE(picture.isNull());
    const std::vector<double> graph = plot["graph"];
    const auto greenNear = [&](double x, double y) {
        const double px = graph[0] + (x - shown[0]) / (shown[1] - shown[0]) * graph[2];
        const double py = graph[1] + (shown[3] - y) / (shown[3] - shown[2]) * graph[3];
        const double scale = picture.devicePixelRatio();
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const QColor c = picture.pixelColor(static_cast<int>((px + dx) * scale), static_cast<int>((py + dy) * scale));
                if (c.green() > 150 && c.red() < 100 && c.blue() < 100)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(greenNear(2, 0));
    EXPECT_TRUE(greenNear(3, 19));
    const json& reEvaluated = run.dumps[2]["solver"];
    EXPECT_EQ(reEvaluated["line"], 1);
    EXPECT_EQ(reEvaluated["lines"][1], "X=3");
    EXPECT_EQ(reEvaluated["result"], 1);
    EXPECT_EQ(reEvaluated["leftRt"], "left-rt=19");
    EXPECT_GT(changed(typed, again), 20);
    const json& moved = run.dumps[3]["solver"];
    EXPECT_EQ(moved["line"], 2);
    EXPECT_EQ(moved["result"], -1);
    EXPECT_EQ(moved["lines"][1], "X=3");
}

// A 2 × 2 system typed into the grid, x + y = 3 and x − y = 1: SOLVE shows x₁=2 and
// x₂=1, RREF the reduced matrix; the picture changes from the system to the solution.
TEST_P(PolyDrive, TheSimultaneousSolverSolvesATwoByTwoSystem)
{
    const std::string device = GetParam();
    const auto system = driveScratch("simul-system-" + device + ".png");
    const auto solution = driveScratch("simul-solution-" + device + ".png");
    const DriveRun run = driveScript("key APPS\nkey 4\nkey 2\nwait idle\ndump\ntype 1\nkey ENTER\ntype 1\nkey ENTER\ntype 3\nkey ENTER\n"
                                     "type 1\nkey ENTER\nkey (−)\ntype 1\nkey ENTER\ntype 1\nkey ENTER\nwait idle\ndump\nshot "
                                         + system.string() + "\npress SOLVE\nwait idle\ndump\nshot " + solution.string()
                                         + "\npress RREF\nwait idle\ndump\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 4u) << run.output;
    EXPECT_EQ(run.dumps[0]["screen"], 21);
    const json& opened = run.dumps[0]["simulEq"];
    EXPECT_EQ(opened["menu"], json::array({"SYSM", "CLR", "LOAD", "", "SOLVE"}));
    EXPECT_EQ(opened["editor"]["title"], "SimulEq");
    EXPECT_EQ(opened["editor"]["banner"], json::array({"2", "#eq", "2", "#unknown"}));
    EXPECT_EQ(opened["editor"]["prefix"], "1,1=");
    EXPECT_EQ(run.dumps[1]["simulEq"]["editor"]["cells"], json::parse(R"([["1","1","3"],["1","-1","1"]])"));
    const json& solved = run.dumps[2]["simulEq"];
    EXPECT_EQ(solved["state"], 1);
    EXPECT_EQ(solved["editor"]["title"], "SimulEq:Solution");
    EXPECT_EQ(solved["editor"]["cells"], json::array({"x1=2", "x2=1"}));
    EXPECT_EQ(solved["menu"], json::array({"SYSM", "", "STO SOLN", "RREF", "SOLVE"}));
    EXPECT_EQ(run.dumps[3]["simulEq"]["editor"]["cells"], json::parse(R"([["1","0","2"],["0","1","1"]])"));
    EXPECT_EQ(run.dumps[3]["error"], 0);
    EXPECT_GT(changed(system, solution), 50);
}

// MATRIX ▸ EDIT ▸ [B]: 2 rows, 3 columns, then the cells in row order; Escape goes home and
// the matrix keeps what was typed.
TEST_P(PolyDrive, TheMatrixEditorOpensFromTheMatrixMenu)
{
    const std::string device = GetParam();
    const auto bare = driveScratch("matrix-bare-" + device + ".png");
    const auto edited = driveScratch("matrix-edited-" + device + ".png");
    const DriveRun run = driveScript("wait idle\nshot " + bare.string() + "\nkey 2ND\nkey X⁻¹\nkey RIGHT\nkey RIGHT\nkey 2\nwait idle\ndump\n"
                                         "type 2\nkey ENTER\ntype 3\nkey ENTER\ntype 1\nkey ENTER\ntype 2\nkey ENTER\ntype 3.5\nkey ENTER\n"
                                         "wait idle\ndump\nshot " + edited.string() + "\nkey RIGHT\nkey LEFT\nkey LEFT\nkey UP\nwait idle\ndump\n"
                                         "hkey Escape\nwait idle\ntype [B]\nkey ENTER\nwait idle\ndump\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 4u) << run.output;
    EXPECT_EQ(run.dumps[0]["screen"], 3);
    const json& opened = run.dumps[0]["matrixEdit"];
    EXPECT_EQ(opened["title"], "ARRAY[B]");
    EXPECT_EQ(opened["field"], 0);
    EXPECT_EQ(opened["prefix"], "#rows = ");
    const json& typed = run.dumps[1]["matrixEdit"];
    EXPECT_EQ(typed["cells"], json::parse(R"([["1","2","3.5"],["0","0","0"]])"));
    EXPECT_EQ(typed["prefix"], "2,1=");
    EXPECT_EQ(typed["banner"], json::array({"2", "#row", "3", "#col"}));
    // RIGHT, LEFT, LEFT: to the row above's last cell; UP from the first row: the columns box.
    EXPECT_EQ(run.dumps[2]["matrixEdit"]["field"], 1);
    EXPECT_EQ(run.dumps[2]["matrixEdit"]["prefix"], "#col = ");
    EXPECT_EQ(run.dumps[3]["screen"], 0);
    EXPECT_GT(changed(bare, edited), 100);
}

// The polynomial's remaining keys: LOAD takes L₁ picked from the list menu, RIGHT puts a
// coefficient back on the entry line, GRAPH draws the polynomial on the graph screen; the
// banner writes degree 8 with "…".
TEST_P(PolyDrive, LoadRightAndGraph)
{
    const std::string device = GetParam();
    const auto empty = driveScratch("poly-graph-empty-" + device + ".png");
    const auto drawn = driveScratch("poly-graph-" + device + ".png");
    const DriveRun bare = driveScript("key GRAPH\nwait idle\nshot " + empty.string() + "\n", "--device " + device);
    ASSERT_EQ(bare.exitCode, 0) << bare.output;
    const DriveRun run = driveScript("type {1,\nkey (−)\ntype 0.5,0}\nkey STO→\nkey 2ND\nkey 1\nkey ENTER\nwait idle\n" + kOpenPoly
                                         + "type 8\nkey ENTER\nwait idle\ndump\npress DEGR\ntype 1\nkey ENTER\nwait idle\npress LOAD\nwait idle\n"
                                           "key ENTER\nwait idle\ndump\nkey DOWN\nkey RIGHT\ntype 5\nkey UP\nwait idle\ndump\npress SOLVE\nwait idle\n"
                                           "dump\npress GRAPH\nwait idle\ndump\nshot " + drawn.string() + "\n",
                                     "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 5u) << run.output;
    EXPECT_EQ(run.dumps[0]["poly"]["equation"], "a8x8+a7x7+a6x6+\xE2\x80\xA6+a2x2+a1x+a0");
    EXPECT_EQ(run.dumps[1]["poly"]["lines"], json::array({"a2=1", "a1=-.5", "a0=0"}));
    EXPECT_EQ(run.dumps[1]["poly"]["equation"], "a2x2+a1x+a0");
    // RIGHT on a1 gives -.5 to edit, the cursor after its first token: a 5 typed over the
    // point makes -55.
    EXPECT_EQ(run.dumps[2]["poly"]["lines"][1], "a1=-55");
    EXPECT_EQ(run.dumps[3]["poly"]["state"], 2);
    EXPECT_EQ(run.dumps[4]["screen"], 8);
    ASSERT_EQ(run.dumps[4]["plots"].size(), 1u) << run.dumps[4];
    EXPECT_GT(changed(empty, drawn), 20);
}

// A fraction typed into a coefficient on MathPrint: n/d, 1, DOWN, 2 draw a stacked ½ (the
// line being typed taller than the plain one, whole in view, its ink reaching far below the
// digit's), ENTER takes the ½ the line then shows, and SOLVE with a0 = −1 gives 2. The
// Classic style types the same value on a line of the one height.
TEST_P(PolyDrive, AFractionTypedIntoACoefficientIsDrawnStacked)
{
    const std::string device = GetParam();
    const auto plain = driveScratch("poly-plain-" + device + ".png");
    const auto stacked = driveScratch("poly-fraction-" + device + ".png");
    // The Classic line takes the fraction flat, its DOWN moving to the next line.
    const auto keys = [&](const std::string& half) {
        return "open 20\nwait idle\ntype 1\nkey ENTER\nwait idle\ndump\nshot " + plain.string() + "\n" + half + "wait idle\ndump\nshot "
               + stacked.string() + "\nkey ENTER\nwait idle\nkey (−)\ntype 1\nkey ENTER\nwait idle\npress SOLVE\nwait idle\ndump\n";
    };
    const DriveRun run = driveScript(keys("type ／1\nkey DOWN\ntype 2\n"), "--device " + device);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(run.dumps.size(), 3u) << run.output;
    ASSERT_TRUE(run.dumps[0]["typing"].is_object()) << run.dumps[0];
    ASSERT_TRUE(run.dumps[1]["typing"].is_object()) << run.dumps[1];
    const std::vector<int> before = run.dumps[0]["typing"]["rect"], after = run.dumps[1]["typing"]["rect"];
    EXPECT_GT(after[3], 1.4 * before[3]) << run.dumps[1]["typing"];
    EXPECT_EQ(run.dumps[1]["typing"]["clear"], true);
    EXPECT_EQ(run.dumps[1]["poly"]["line"], 0);
    // The dark ink of the value typed: rows from its top to its bottom.
    const auto inkRows = [](const std::filesystem::path& shot, const std::vector<int>& r) {
        const QImage image(QString::fromStdString(shot.string()));
        int top = -1, bottom = -1;
        for (int y = r[1]; y < r[1] + r[3] && y < image.height(); ++y)
            for (int x = r[0] + 4; x < r[0] + r[2] && x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 60) {
                    top = top < 0 ? y : top;
                    bottom = y;
                    break;
                }
        return top < 0 ? 0 : bottom - top + 1;
    };
    EXPECT_GT(inkRows(stacked, after), 1.6 * inkRows(plain, before));
    EXPECT_GT(changed(plain, stacked), 50);
    const json& solved = run.dumps[2]["poly"];
    EXPECT_EQ(solved["state"], 2);
    EXPECT_EQ(solved["lines"], json::array({"x1=2"}));

    const DriveRun classic = driveScript("type Classic\nkey ENTER\nwait idle\n" + keys("type 1／2\n"), "--device " + device);
    ASSERT_EQ(classic.exitCode, 0) << classic.output;
    ASSERT_EQ(classic.dumps.size(), 3u) << classic.output;
    EXPECT_EQ(classic.dumps[1]["typing"]["rect"], classic.dumps[0]["typing"]["rect"]);
    EXPECT_EQ(classic.dumps[2]["poly"]["lines"], json::array({"x1=2"}));
}

INSTANTIATE_TEST_SUITE_P(Drive, PolyDrive, ::testing::Values("phone", "tablet"));

// A value with a syntax error typed in the solver's or the polynomial's field, then GRAPH:
// the error is told over the graph (turned meanwhile), and Done brings the screen back with
// the line as typed, the cursor on the error; DEL, 7 and ENTER then enter 27. The list
// editor, which the graph does not give back, carries nothing to the home line.
TEST(FieldDrive, ATypedValueThatFailedComesBackAfterTheGraph)
{
    struct App {
        std::string name;
        std::string open;
        int screen;
        std::string field;  // the dump's key of its lines (none: not checked)
    };
    const std::vector<App> apps{
        {"solver", "open 10\nwait idle\ntype X²-2\nkey DOWN\nwait idle\n", 10, "solver"},
        {"polynomial", kOpenPoly + "type 2\nkey ENTER\nwait idle\ntype 5\nkey ENTER\nwait idle\n", 20, "poly"},
        {"list editor", "open 4\nwait idle\n", 0, ""},
    };
    for (const App& app : apps) {
        const DriveRun run = driveScript(app.open + "type 2+\nwait idle\nkey GRAPH\nwait idle\nsize 844x390\nwait idle\ndump\n"
                                                    "press OK\nwait idle\nhkey Escape\nwait idle\nsize 390x844\nwait idle\ndump\n"
                                                    "key DEL\ntype 7\nkey ENTER\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(run, 3)) << app.name;
        const json& graph = run.dumps[0];
        EXPECT_EQ(graph["screen"], 8) << app.name;
        EXPECT_EQ(graph["alerts"], json::array({{{"buttons", {"OK"}}, {"message", "Syntax error"}, {"title", "Calc Error"}}})) << app.name;
        EXPECT_EQ(graph["entry"], "") << app.name;
        const json& back = run.dumps[1];
        EXPECT_EQ(back["screen"], app.screen) << app.name;
        if (app.field.empty()) {
            EXPECT_EQ(back["entry"], "") << app.name;
            continue;
        }
        EXPECT_EQ(back["entry"], "2+") << app.name;
        EXPECT_EQ(back["cursor"], 1) << app.name;
        const std::string label = app.field == "solver" ? "X=" : "a1=";
        EXPECT_EQ(back[app.field]["lines"][1], label + "2+") << app.name;
        EXPECT_EQ(run.dumps[2][app.field]["lines"][1], label + "27") << app.name;
        EXPECT_EQ(run.dumps[2]["entry"], "") << app.name;
    }
}


// A value with a syntax error typed in the second field of every screen whose entry line
// fills a field (as the app lists them): after its alert the line stands as typed; QUIT
// tells the error, and the screen opened again has the line back in the same field; a
// launch after the app ended with such lines waiting gives each back to its screen. The
// key set editor's lines and the wizard take any text, and tell no error; the chemistry
// screen's formula lasts while the app runs.
TEST(FieldDrive, ATypedValueThatFailedWaitsForItsScreen)
{
    const DriveRun listing = driveScript("screens\n");
    ASSERT_TRUE(endedWithDumps(listing, 1));
    std::vector<int> screens;
    for (const json& screen : listing.dumps[0]["screens"])
        if (screen["field"] == true)
            screens.push_back(screen["id"].get<int>());
    ASSERT_GE(screens.size(), 14u);
    const auto told = [](int screen) { return screen == 22 || screen == 23 ? "" : "press OK\nwait idle\n"; };
    const std::string quit = "key 2ND\nkey MODE\nwait idle\n";
    std::string here, ending, next;
    for (int screen : screens) {
        const std::string open = "open " + std::to_string(screen) + "\nwait idle\n";
        const std::string typed = open + "key DOWN\ntype 2+\nwait idle\n";
        here += typed + (told(screen)[0] ? "key ENTER\nwait idle\n" + std::string(told(screen)) : "") + "dump\n" + quit + told(screen) + open
            + "dump\nkey CLEAR\n" + quit;
        ending += typed + quit + told(screen);
        next += open + "dump\nkey CLEAR\n" + quit;
    }
    const DriveRun run = driveScript(here);
    ASSERT_TRUE(endedWithDumps(run, 2 * screens.size()));
    const auto data = driveScratch("failed-fields");
    std::filesystem::remove_all(data);
    std::filesystem::create_directories(data);
    ASSERT_EQ(driveScript(ending + "close\n", "--data " + data.string()).exitCode, 0);
    const DriveRun launched = driveScript(next, "--data " + data.string());
    ASSERT_TRUE(endedWithDumps(launched, screens.size()));
    for (std::size_t k = 0; k < screens.size(); ++k) {
        const json& typed = run.dumps[2 * k];
        // The chemistry screen keeps its formula itself, while the app runs.
        std::vector<const json*> dumps{&typed, &run.dumps[2 * k + 1]};
        if (screens[k] != 14)
            dumps.push_back(&launched.dumps[k]);
        for (const json* dump : dumps) {
            EXPECT_EQ((*dump)["screen"], screens[k]);
            EXPECT_EQ((*dump)["entry"], "2+") << "screen " << screens[k];
            EXPECT_EQ(dump->value("typing", json()), typed.value("typing", json())) << "screen " << screens[k] << ": the same field";
        }
    }
}

} // namespace
} // namespace orvenda::test
