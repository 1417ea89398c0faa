// The trace walked with the calculator's keys over every kind of plot it follows: where
// TRACE puts it, how far RIGHT and LEFT move it in each angle mode, and where the keys go
// on from after a typed value, a turn of the window, a tap, the panel or the next launch.

#include "DriveSession.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <utility>

namespace orvenda::test {
namespace {

using nlohmann::json;

const std::string kEnter = "key ENTER\nwait idle\n";
const std::string kTrace = "key 0x403\nwait idle\n";

double radians(double t, bool degrees) { return degrees ? t * std::numbers::pi / 180 : t; }

// One point of x on the graph a dump shows.
double pointOfX(const json& dump)
{
    return (dump["shown"][1].get<double>() - dump["shown"][0].get<double>()) / dump["graph"][2].get<double>();
}

// Where a graph point lies in the window, as `tap` takes it.
std::string tapAt(const json& dump, double x, double y)
{
    const json& w = dump["shown"];
    const json& g = dump["graph"];
    const double px = g[0].get<double>() + (x - w[0].get<double>()) / (w[1].get<double>() - w[0].get<double>()) * g[2].get<double>();
    const double py = g[1].get<double>() + (w[3].get<double>() - y) / (w[3].get<double>() - w[2].get<double>()) * g[3].get<double>();
    return "tap " + std::to_string(std::lround(px)) + " " + std::to_string(std::lround(py)) + "\n";
}

// A plot and the walk along it: the keys that draw it (ending on the home screen), the
// value TRACE starts at (none: the window's middle x), the step (0: one point of x), a
// value typed on the Calc sheet (none: it has none), and the plot's point at a value in an
// angle mode (none: the value alone is checked).
struct Walk {
    std::string name;
    std::string draw;
    std::optional<double> start;
    double step;
    std::optional<double> typed;
    std::function<std::optional<std::pair<double, double>>(double, bool)> at;
};

const std::string kData = "type {1,2,3,4,5}->L₁\n" + kEnter + "type {2,4,5,4,5}->L₂\n" + kEnter;

std::string statPlot(const std::string& plot) { return kData + "type Plot1(" + plot + ")\n" + kEnter + "type ZoomStat\n" + kEnter + "key CLEAR\nwait idle\n"; }

std::optional<std::pair<double, double>> dataPoint(double i, bool)
{
    static constexpr std::array<double, 5> x{1, 2, 3, 4, 5}, y{2, 4, 5, 4, 5};
    return std::pair(x.at(static_cast<std::size_t>(i)), y.at(static_cast<std::size_t>(i)));
}

// Each plot in Degree and in Radian: TRACE, RIGHT, LEFT twice (a walk with a first value
// stops there), a value typed on the Calc sheet and RIGHT, the window turned and RIGHT.
TEST(TraceDrive, EveryPlotStepsByItsOwnVariableFromItsFirstValueInEitherAngleMode)
{
    const std::vector<Walk> walks{
        {"function", "type \"sin(X)\"->Y₁\n" + kEnter, std::nullopt, 0, 0.3,
         [](double t, bool degrees) { return std::optional(std::pair(t, std::sin(radians(t, degrees)))); }},
        {"parametric", "type Param\n" + kEnter + "type \"cos(T)\"->Xt₁\n" + kEnter + "type \"2sin(T)\"->Yt₁\n" + kEnter + "type 0.5->Tmin\n" + kEnter,
         0.5, 0.1, 0.73,
         [](double t, bool degrees) {
             return std::optional(std::pair(std::cos(radians(t, degrees)), 2 * std::sin(radians(t, degrees))));
         }},
        {"polar", "type Polar\n" + kEnter + "type \"2+sin(θ)\"->r₁\n" + kEnter + "type 0.5->θmin\n" + kEnter, 0.5,
         std::numbers::pi / 180, 0.9,
         [](double t, bool degrees) {
             const double a = radians(t, degrees), r = 2 + std::sin(a);
             return std::optional(std::pair(r * std::cos(a), r * std::sin(a)));
         }},
        {"sequence", "type Seq\n" + kEnter + "type \"sin(η)+η\"->u\n" + kEnter + "type 2->ηMin\n" + kEnter + "type 10->ηMax\n" + kEnter, 2,
         1, 5, [](double n, bool degrees) { return std::optional(std::pair(n, std::sin(radians(n, degrees)) + n)); }},
        {"scatter", statPlot("Scatter,L₁,L₂"), 0, 1, std::nullopt, dataPoint},
        {"xyLine", statPlot("xyLine,L₁,L₂"), 0, 1, std::nullopt, dataPoint},
        {"normal probability", statPlot("NormProbPlot,L₁,X"), 0, 1, std::nullopt,
         [](double, bool) { return std::optional<std::pair<double, double>>(); }},
        {"histogram",
         "type {0.5,1.5,2.5,3.5,4.5,5.5}->L₁\n" + kEnter + "type 0->Xmin\n" + kEnter + "type 6->Xmax\n" + kEnter + "type 1->Xscl\n" + kEnter
             + "type -1->Ymin\n" + kEnter + "type 2->Ymax\n" + kEnter + "type Plot1(Histogram,L₁)\n" + kEnter,
         0, 1, std::nullopt, [](double bar, bool) { return std::optional(std::pair(bar + 0.5, 1.0)); }},
        // Its middle away from the marks μ ± kσ the trace snaps to.
        {"distribution", "type ShadeNorm(-1,1)\n" + kEnter + "key CLEAR\nwait idle\ntype -2.9->Xmin\n" + kEnter + "type 3.1->Xmax\n" + kEnter,
         std::nullopt, 0, std::nullopt,
         [](double t, bool) { return std::optional(std::pair(t, std::exp(-t * t / 2) / std::sqrt(2 * std::numbers::pi))); }},
    };
    for (const Walk& walk : walks) {
        std::string script = walk.draw;
        for (const char* angle : {"Degree", "Radian"}) {
            script += std::string("type ") + angle + "\n" + kEnter + "key GRAPH\nwait idle\n" + kTrace + "dump\nkey RIGHT\ndump\nkey LEFT\nkey LEFT\ndump\n";
            if (walk.typed)
                script += "press Calc\nwait idle\ntype " + std::to_string(*walk.typed) + "\n" + kEnter + "press Done\nwait idle\nkey RIGHT\ndump\n";
            script += "size 844x390\nwait idle\nkey RIGHT\ndump\nsize 390x844\nwait idle\nkey CLEAR\nwait idle\n";
        }
        const DriveRun run = driveScript(script);
        const std::size_t perAngle = walk.typed ? 5 : 4;
        ASSERT_TRUE(endedWithDumps(run, 2 * perAngle)) << walk.name;
        for (std::size_t a = 0; a < 2; ++a) {
            const bool degrees = a == 0;
            const std::string where = walk.name + (degrees ? " in Degree" : " in Radian");
            const auto dump = [&](std::size_t k) -> const json& { return run.dumps[a * perAngle + k]; };
            const auto step = [&](std::size_t k) { return walk.step > 0 ? walk.step : pointOfX(dump(k)); };
            const double start = walk.start.value_or((dump(0)["shown"][0].get<double>() + dump(0)["shown"][1].get<double>()) / 2);
            std::vector<double> expected{start, start + step(1), walk.start ? start : start - step(2)};
            if (walk.typed)
                expected.push_back(*walk.typed + step(3));
            expected.push_back(expected.back() + step(perAngle - 1));
            for (std::size_t k = 0; k < perAngle; ++k) {
                const json& trace = dump(k)["trace"];
                ASSERT_TRUE(trace.is_object()) << where << " step " << k << ": " << dump(k);
                const double t = trace["t"];
                EXPECT_NEAR(t, expected[k], 1e-9) << where << " step " << k;
                if (const auto point = walk.at(expected[k], degrees)) {
                    EXPECT_NEAR(trace["x"].get<double>(), point->first, 1e-9) << where << " step " << k;
                    EXPECT_NEAR(trace["y"].get<double>(), point->second, 1e-9) << where << " step " << k;
                }
            }
        }
    }
}

// A value typed on the Calc sheet for a curve traced by its parameter stays where it was
// typed once Done is pressed, a zero of the curve beside it or not (near Tmin, θmin), in
// either angle mode; RIGHT then goes on from it by the curve's step.
TEST(TraceDrive, ATypedValueStaysWhereItWasTypedInEitherAngleMode)
{
    struct Curve {
        std::string name;
        std::string draw;
        double step;
        std::vector<double> typed;
    };
    // Each curve crosses zero at its first value and near π: sin of its parameter.
    const std::vector<Curve> curves{
        {"parametric", "type Param\n" + kEnter + "type \"T\"->Xt₁\n" + kEnter + "type \"sin(T)\"->Yt₁\n" + kEnter + "type 0->Tmin\n" + kEnter
                           + "type 7->Tmax\n" + kEnter + "type 0.1->Tstep\n" + kEnter,
         0.1, {0.05, 0.001, 1.5, 3.14}},
        {"polar", "type Polar\n" + kEnter + "type \"sin(θ)\"->r₁\n" + kEnter + "type 0->θmin\n" + kEnter + "type 7->θmax\n" + kEnter
                      + "type 0.1->θstep\n" + kEnter,
         0.1, {0.001, 3.14}},
        {"sequence", "type Seq\n" + kEnter + "type \"η-3\"->u\n" + kEnter + "type 1->ηMin\n" + kEnter + "type 10->ηMax\n" + kEnter,
         1, {3, 4}},
    };
    std::vector<std::string> scripts;
    for (const Curve& curve : curves) {
        std::string script = curve.draw;
        for (const char* angle : {"Degree", "Radian"}) {
            script += std::string("type ") + angle + "\n" + kEnter + "key GRAPH\nwait idle\n" + kTrace;
            for (const double value : curve.typed)
                script += "press Calc\nwait idle\ntype " + std::to_string(value) + "\n" + kEnter + "press Done\nwait idle\ndump\nkey RIGHT\ndump\n";
            script += "key CLEAR\nwait idle\n";
        }
        scripts.push_back(std::move(script));
    }
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts);
    for (std::size_t c = 0; c < curves.size(); ++c) {
        const Curve& curve = curves[c];
        ASSERT_TRUE(endedWithDumps(runs[c], 2 * 2 * curve.typed.size())) << curve.name;
        std::size_t k = 0;
        for (const char* angle : {"Degree", "Radian"})
            for (const double value : curve.typed) {
                const std::string where = curve.name + " in " + angle + " typed " + std::to_string(value);
                for (const double expected : {value, value + curve.step}) {
                    const json& trace = runs[c].dumps[k++]["trace"];
                    ASSERT_TRUE(trace.is_object()) << where;
                    EXPECT_NEAR(trace["t"].get<double>(), expected, 1e-9) << where;
                }
            }
    }
}

// A curve of T or θ over 0..1 by 0.3, in either angle mode: RIGHT stops at the range's end
// between two steps, LEFT goes back to the last step, the panel's + stops at the end again
// and its − goes back to the last step too.
TEST(TraceDrive, FromTheRangesEndTheTraceStepsBackOntoItsSteps)
{
    const std::vector<std::pair<std::string, std::string>> curves{
        {"parametric", "type Param\n" + kEnter + "type \"T\"->Xt₁\n" + kEnter + "type \"1\"->Yt₁\n" + kEnter + "type 0->Tmin\n" + kEnter
                           + "type 1->Tmax\n" + kEnter + "type 0.3->Tstep\n" + kEnter},
        {"polar", "type Polar\n" + kEnter + "type \"2\"->r₁\n" + kEnter + "type 0->θmin\n" + kEnter + "type 1->θmax\n" + kEnter
                      + "type 0.3->θstep\n" + kEnter},
    };
    for (const auto& [name, draw] : curves)
        for (const std::string angle : {"Degree", "Radian"}) {
            const std::string own = name == "polar" ? "θ" : "T";
            const DriveRun run = driveScript("type " + angle + "\n" + kEnter + draw + "key GRAPH\nwait idle\n" + kTrace
                                             + "key RIGHT\nkey RIGHT\nkey RIGHT\nkey RIGHT\ndump\nkey LEFT\ndump\npress " + own
                                             + "\nwait idle\npress +\nwait idle\npress +\nwait idle\ndump\npress −\nwait idle\ndump\n");
            ASSERT_TRUE(endedWithDumps(run, 4)) << name << " " << angle;
            const std::array<double, 4> expected{1, 0.9, 1, 0.9};
            for (std::size_t k = 0; k < expected.size(); ++k)
                EXPECT_NEAR(run.dumps[k]["trace"]["t"].get<double>(), expected[k], 1e-9) << name << " " << angle << " step " << k;
        }
}

// A box plot walked by the keys: LEFT to its first value and no further, RIGHT from value to
// value (the modified plot's whisker ends and outliers among them) and no further than its
// last, and on again from a value tapped.
TEST(TraceDrive, ABoxPlotStepsFromValueToValue)
{
    struct Box {
        std::string plot;
        std::string data;
        std::vector<std::pair<double, std::string>> stops;  // from the left, with the value's line
    };
    const std::vector<Box> boxes{
        {"Boxplot", "{1,2,3,4,5,9}", {{1, "minX=1"}, {2, "Q1=2"}, {3.5, "Med=3.5"}, {5, "Q3=5"}, {9, "maxX=9"}}},
        // 20 lies beyond the fences; the right whisker ends at 5, Q3 too.
        {"ModBoxplot", "{1,2,3,4,5,20}", {{1, "minX=1"}, {2, "Q1=2"}, {3.5, "Med=3.5"}, {5, "Q3=5"}, {20, "maxX=20"}}},
    };
    for (const Box& box : boxes) {
        std::string script = "type " + box.data + "->L₁\n" + kEnter + "type Plot1(" + box.plot + ",L₁)\n" + kEnter + "type ZoomStat\n" + kEnter
            + "key CLEAR\nwait idle\nkey GRAPH\nwait idle\n" + kTrace;
        for (std::size_t k = 0; k <= box.stops.size(); ++k)
            script += "key LEFT\n";
        script += "dump\n";
        for (std::size_t k = 0; k < box.stops.size(); ++k)
            script += "key RIGHT\ndump\n";
        const DriveRun run = driveScript(script);
        ASSERT_TRUE(endedWithDumps(run, box.stops.size() + 1)) << box.plot;
        for (std::size_t k = 0; k <= box.stops.size(); ++k) {
            const auto& [value, line] = box.stops[std::min(k, box.stops.size() - 1)];
            const json& trace = run.dumps[k]["trace"];
            ASSERT_TRUE(trace.is_object()) << box.plot << " step " << k;
            EXPECT_EQ(trace["x"].get<double>(), value) << box.plot << " step " << k;
            EXPECT_EQ(trace["lines"].back().get<std::string>(), line) << box.plot << " step " << k;
        }
        // Tapped on its centre line near Q1, LEFT goes on to minX and RIGHT back over Q1 to the median.
        const double centre = run.dumps[0]["trace"]["y"];
        const DriveRun tapped = driveScript(script + tapAt(run.dumps[0], 2.2, centre) + "wait idle\ndump\nkey LEFT\ndump\nkey RIGHT\nkey RIGHT\ndump\n");
        ASSERT_TRUE(endedWithDumps(tapped, box.stops.size() + 4)) << box.plot;
        const std::size_t at = box.stops.size() + 1;
        EXPECT_EQ(tapped.dumps[at]["trace"]["x"].get<double>(), box.stops[1].first) << box.plot;
        EXPECT_EQ(tapped.dumps[at + 1]["trace"]["x"].get<double>(), box.stops[0].first) << box.plot;
        EXPECT_EQ(tapped.dumps[at + 2]["trace"]["x"].get<double>(), box.stops[2].first) << box.plot;
    }
}

// A launch that goes on from the saved state traces the curve from Tmin again.
TEST(TraceDrive, TheNextLaunchTracesFromTmin)
{
    const auto data = driveScratch("trace-launch");
    std::filesystem::create_directories(data);
    const std::string options = "--data " + data.string();
    ASSERT_TRUE(endedWithDumps(driveScript("type Param\n" + kEnter + "type \"cos(T)\"->Xt₁\n" + kEnter + "type \"2sin(T)\"->Yt₁\n" + kEnter
                                               + "type 0.5->Tmin\n" + kEnter + "key GRAPH\nwait idle\n" + kTrace + "key RIGHT\ndump\n",
                                           options),
                               1));
    const DriveRun again = driveScript("key GRAPH\nwait idle\n" + kTrace + "dump\nkey RIGHT\ndump\n", options);
    ASSERT_TRUE(endedWithDumps(again, 2));
    EXPECT_NEAR(again.dumps[0]["trace"]["t"].get<double>(), 0.5, 1e-12);
    EXPECT_NEAR(again.dumps[1]["trace"]["t"].get<double>(), 0.6, 1e-12);
}

// A plot walked away from its start and then tapped elsewhere: LEFT steps from the point
// tapped, and the panel's − from where LEFT left it to the step below.
TEST(TraceDrive, TheKeysGoOnFromAPointTapped)
{
    struct Tapped {
        std::string name;
        std::string draw;
        double tapX, tapY;
        double t;      // the tapped point's value, within tolerance
        double within;
        double step;   // LEFT's step (0: one point of x)
        std::string panel;  // the own variable's button, whose − is pressed after LEFT
    };
    const std::string window = "type 0->Xmin\n" + kEnter + "type 6->Xmax\n" + kEnter + "type 1->Xscl\n" + kEnter + "type -1->Ymin\n" + kEnter
        + "type 2->Ymax\n" + kEnter;
    const std::string halves = "type {0.5,1.5,2.5,3.5,4.5,5.5}->L₁\n" + kEnter + "type {1,1,1,1,1,1}->L₂\n" + kEnter;
    const std::vector<Tapped> cases{
        {"histogram", halves + window + "type Plot1(Histogram,L₁)\n" + kEnter, 1.5, 0.5, 1, 0, 1, ""},
        {"scatter", halves + window + "type Plot1(Scatter,L₁,L₂)\n" + kEnter, 1.5, 1, 1, 0, 1, ""},
        {"function", window + "type \"X/2\"->Y₁\n" + kEnter, 1.5, 0.75, 1.5, 0.05, 0, ""},
        {"parametric", "type Param\n" + kEnter + window + "type \"T\"->Xt₁\n" + kEnter + "type \"1\"->Yt₁\n" + kEnter + "type 6->Tmax\n" + kEnter
                           + "type 0.5->Tstep\n" + kEnter,
         4.5, 1, 4.5, 0.05, 0.5, "T"},
    };
    for (const Tapped& c : cases) {
        // The window and graph of the phone's upright screen, read from a first run.
        const DriveRun shown = driveScript(c.draw + "key GRAPH\nwait idle\ndump\n");
        ASSERT_TRUE(endedWithDumps(shown, 1)) << c.name;
        const std::string panel = c.panel.empty() ? "" : "press " + c.panel + "\nwait idle\npress −\nwait idle\ndump\n";
        const DriveRun run = driveScript(c.draw + "key GRAPH\nwait idle\n" + kTrace + "key RIGHT\nkey RIGHT\nkey RIGHT\nkey RIGHT\ndump\n"
                                         + tapAt(shown.dumps[0], c.tapX, c.tapY) + "wait idle\ndump\nkey LEFT\ndump\n" + panel);
        ASSERT_TRUE(endedWithDumps(run, c.panel.empty() ? 3 : 4)) << c.name;
        const double tapped = run.dumps[1]["trace"]["t"];
        EXPECT_NEAR(tapped, c.t, c.within) << c.name;
        EXPECT_NE(run.dumps[0]["trace"]["t"].get<double>(), tapped) << c.name;
        const double step = c.step > 0 ? c.step : pointOfX(run.dumps[2]);
        EXPECT_NEAR(run.dumps[2]["trace"]["t"].get<double>(), tapped - step, 1e-9) << c.name;
        if (!c.panel.empty()) {
            // The panel's − lands on the step below, counted from Tmin (0).
            EXPECT_NEAR(run.dumps[3]["trace"]["t"].get<double>(), (std::ceil((tapped - step) / step - 1e-9) - 1) * step, 1e-9) << c.name;
        }
    }
}

// Changed while the graph was away, a plot is traced as it is drawn now: a normal probability
// plot of {3,1,2} traced at (0,2) and redefined by command for {4} reads (0,4), and the other
// way round the first point of {3,1,2}, where RIGHT and LEFT come back to; a web traced two
// steps, then Time with a fractional ηMin (nothing drawn), is traced no more.
TEST(TraceDrive, AfterAChangeAwayTheTraceReadsThePlotAsDrawnNow)
{
    const std::string quit = "key 2ND\nkey MODE\nwait idle\n", graph = "key GRAPH\nwait idle\n";
    const auto normProb = [&](const std::string& from, const std::string& to, const std::string& steps) {
        return "type {3,1,2}->L₁:{4}->L₃:Plot1(NormProbPlot," + from + ",Y):-2->Xmin:2->Xmax:0->Ymin:5->Ymax\n" + kEnter + graph + kTrace
            + steps + "dump\n" + quit + "type Plot1(NormProbPlot," + to + ",Y)\n" + kEnter + graph + "dump\nkey RIGHT\nkey LEFT\ndump\n";
    };
    const std::vector<DriveRun> runs = driveScriptsAtOnce({normProb("L₁", "L₃", "key RIGHT\n"), normProb("L₃", "L₁", ""),
        "type Seq:Web:\"0.5u(η—1)+1\"->u:1->ηMin:10->ηMax:0->u(ηMin)\n" + kEnter + graph + kTrace + "key RIGHT\nkey RIGHT\ndump\n" + quit
            + "type Time:.5->ηMin\n" + kEnter + graph + "dump\n"});
    const std::array<std::array<double, 4>, 2> points{{{0, 2, 0, 4}, {0, 4, -0.967421566101701, 1}}};
    for (std::size_t k = 0; k < points.size(); ++k) {
        ASSERT_TRUE(endedWithDumps(runs[k], 3)) << k;
        const json& before = runs[k].dumps[0]["trace"];
        const json& after = runs[k].dumps[1]["trace"];
        ASSERT_TRUE(before.is_object() && after.is_object()) << k;
        EXPECT_NEAR(before["x"].get<double>(), points[k][0], 1e-9) << k;
        EXPECT_NEAR(before["y"].get<double>(), points[k][1], 1e-9) << k;
        EXPECT_NEAR(after["x"].get<double>(), points[k][2], 1e-9) << k;
        EXPECT_NEAR(after["y"].get<double>(), points[k][3], 1e-9) << k;
        EXPECT_EQ(runs[k].dumps[2]["trace"], after) << k;
    }
    ASSERT_TRUE(endedWithDumps(runs[2], 2));
    EXPECT_EQ(runs[2].dumps[0]["trace"]["lines"][1], "η:2");
    EXPECT_TRUE(runs[2].dumps[1]["trace"].is_null()) << runs[2].dumps[1];
}

} // namespace
} // namespace orvenda::test
