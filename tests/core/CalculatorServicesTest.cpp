#include "core/Calculator.h"

#include "core/DeviceInfo.h"
#include "core/GraphScale.h"
#include "core/services/ImpactFeedback.h"
#include "core/services/TIFileIO.h"
#include "core/services/ViewControlDelegate.h"
#include "numeric/VQStatistics.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace orvenda;
using namespace orvenda::test;

namespace {

class RecordingDelegate : public ViewControlDelegate {
public:
    std::vector<std::string> calls;
    void VCUpdateDisplay() override { calls.push_back("update"); }
    void VCShowGraph(bool) override { }
    void VCGraphChanged() override { }
    void VCProgramRunning(bool) override { calls.push_back("running"); }
    void VCPauseProgram() override { }
    void VCShowProgramOutput() override { calls.push_back("output"); }
    void VCShowDebugger(bool) override { }
    void VCSuspendDebugger() override { }
    void VCShowError(const nlohmann::json& error) override { calls.push_back("error " + error.dump()); }
    void VCShowPeriodicTable() override { }
    void VCShowStatTest(int token) override { calls.push_back("statTest " + std::to_string(token)); }
    void VCShowGeometry(int) override { }
    void VCShowSolverPlot(const nlohmann::json&) override { }
};

class CountingImpact : public ImpactFeedback {
public:
    int impacts = 0;
    void impactOccurred() override { ++impacts; }
};

} // namespace

TEST(CalculatorServices, ForwardsReachTheDelegate)
{
    Calculator calc(kUS);
    calc.updateDisplay(); // no delegate: nothing happens
    auto delegate = std::make_shared<RecordingDelegate>();
    calc.viewDelegate = delegate;
    calc.showError({{"errorNum", 13}});
    calc.showStatTest(0xBB3B);
    calc.updateDisplay();
    calc.reportProgramRunning(true);
    calc.showProgramOutput();
    EXPECT_EQ(delegate->calls, (std::vector<std::string>{R"(error {"errorNum":13})", "statTest 47931", "update",
                                   "running", "output"}));

    // With the graph screen in front, showing it only asks for a redraw.
    auto view = std::make_shared<FakeView>();
    calc.viewDelegate = view;
    calc.showGraphView(true);
    calc.setCurrentScreen(8);
    calc.showGraphView(true);
    EXPECT_EQ(view->graphShown, 1);
    EXPECT_EQ(view->graphChanged, 1);
}

TEST(CalculatorServices, FileExtensionsMatchWhole)
{
    Calculator calc(kUS);
    const std::pair<const char*, bool> cases[] = {
        {"8xp", true}, {"83P", true}, {"CSV", true}, {"lbxdat", true}, {"8Xg", true},
        {"txt", false}, {"pdf", false}, {"lbx", false}, {"8", false}, {"", false}, {"8xpz", false},
    };
    for (const auto& [extension, valid] : cases)
        EXPECT_EQ(calc.validFileExtension(extension), valid) << extension;
}

TEST(CalculatorServices, LoadingACalculatorFile)
{
    Calculator calc(kUS);
    TIFileIO::setFactory([](const std::vector<std::uint8_t>& data) -> std::unique_ptr<TIFileIO> {
        if (data.empty())
            return nullptr;
        return std::make_unique<FakeTIFile>(data[0]);
    });
    EXPECT_EQ(calc.loadProgram({}), 1);
    EXPECT_EQ(calc.loadProgram({0}), 0);
    // A bad entry's own number comes back unchanged.
    EXPECT_EQ(calc.loadProgram({77}), 77);
    TIFileIO::setFactory(nullptr);
}

TEST(CalculatorServices, StatisticsIntoTheirVariables)
{
    Calculator calc(kUS);
    calc.locked()->varsSigFig[92] = 4;
    calc.locked()->vars[92] = {0, 5};
    VQStatistics stats;
    stats.n = 5;
    stats.Xmean = 2.5;
    stats.medianX = 3;
    stats.e = 7;
    stats.P2 = {8, 9};
    stats.R2 = 0.5;
    calc.syncStatVars(stats);
    const std::pair<int, double> expected[] = {{91, 5}, {92, 2.5}, {108, 3}, {115, 7}, {117, 8}, {120, 9}, {143, 0.5}, {94, 0}};
    for (const auto& [slot, value] : expected)
        EXPECT_EQ(calc.locked()->vars[slot], (std::complex<double>(value, 0))) << slot;
    EXPECT_EQ(calc.locked()->varsSigFig[92], 4);
    EXPECT_FALSE(calc.locked()->lists.contains("RESID"));

    stats.resid = reals({0.5, -0.5});
    calc.syncStatVars(stats);
    EXPECT_EQ(calc.locked()->lists.at("RESID").count(), 2);
}

TEST(CalculatorServices, DeviceNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"i386", "Simulator"}, {"iPad2,6", "iPad mini"}, {"iPad6,12", "iPad 5"}, {"iPhone2,1", "iPhone 3"},
        {"iPhone10,6", "iPhone X"}, {"iPod4,1", "iPod Touch4"}, {"iPod9,1", "iPod Touch"},
        {"iPad99,1", "iPad"}, {"iPhone12,1", "iPhone"}, {"x86_64", "Simulator"},
    };
    for (const auto& [machine, name] : cases)
        EXPECT_EQ(DeviceInfo::deviceNameForMachine(machine), name) << machine;
    Calculator calc(kUS);
    EXPECT_EQ(calc.machineName(), DeviceInfo::machineIdentifier());
    EXPECT_NE(calc.versionString().find(" ("), std::string::npos);
}

TEST(CalculatorServices, PageSizesAndTextScreenFont)
{
    const std::pair<int, Calculator::Rect> pages[] = {
        {0, {0, 0, 595, 841}}, {1, {0, 0, 612, 792}}, {2, {0, 0, 612, 1008}}, {7, {0, 0, 612, 792}}};
    for (const auto& [form, page] : pages) {
        const Calculator::Rect r = Calculator::pdfPageRectForForm(form);
        EXPECT_EQ(std::tie(r.x, r.y, r.width, r.height), std::tie(page.x, page.y, page.width, page.height)) << form;
    }
    double size = 0, leading = 0;
    Calculator::standardFontSize(size, leading, {0, 0, 100, 100});
    EXPECT_EQ(size, 16);
    EXPECT_EQ(leading, 15);
    // 33 columns of 1229/2048 em at 16 points are 316.85 points wide.
    Calculator::standardFontSize(size, leading, {0, 0, 633.703125, 100});
    EXPECT_DOUBLE_EQ(size, 32);
    EXPECT_DOUBLE_EQ(leading, 30);
}

TEST(CalculatorServices, AxisTicks)
{
    const struct {
        double scale;
        double step;
        int plain, decimals;
    } cases[] = {
        {12, 10, 1, 0}, {40, 2, 1, 0}, {120, 1, 1, 0}, {30, 2, 1, 0}, {20, 5, 1, 0},
        {4000, 0.02, 1, 2}, {-12, 10, 1, 0}, {6e-6, 2e7, 0, 0},
    };
    Calculator calc(kUS);
    for (const auto& c : cases) {
        GraphScale info;
        calc.adjustScale(c.scale, c.scale, info);
        EXPECT_DOUBLE_EQ(info.yStep, c.step) << c.scale;
        EXPECT_DOUBLE_EQ(info.xStep, c.step) << c.scale;
        EXPECT_EQ(info.yPlain, c.plain) << c.scale;
        EXPECT_EQ(info.yDecimals, c.decimals) << c.scale;
    }

    // Multiples of π: 120 points span 3.77 units at 31.83 points per unit, so steps of π.
    calc.locked()->graphXAxisLabelMode = 1;
    GraphScale info;
    calc.adjustScale(120 / (1.2 * std::numbers::pi), 12, info);
    EXPECT_DOUBLE_EQ(info.xStep, std::numbers::pi);
    EXPECT_EQ(info.xAxisMode, 1);
    calc.adjustScale(120 / (0.3 * std::numbers::pi), 12, info);
    EXPECT_DOUBLE_EQ(info.xStep, std::numbers::pi / 4);

    // Unchanged scales and mode: the record is left alone.
    info.xStep = 99;
    calc.adjustScale(120 / (0.3 * std::numbers::pi), 12, info);
    EXPECT_EQ(info.xStep, 99);
    // A zero scale keeps the step it had.
    info.yStep = 5;
    calc.adjustScale(1, 0, info);
    EXPECT_EQ(info.yStep, 5);
}

TEST(CalculatorServices, FeatureLockBuzzesOncePerMove)
{
    auto impact = std::make_shared<CountingImpact>();
    ImpactFeedback::setFactory([impact](ImpactFeedback::Style style) {
        EXPECT_EQ(style, ImpactFeedback::Style::Heavy);
        return impact;
    });
    Calculator calc(kUS);
    calc.tracking = true;
    calc.lockMagnifier = true;
    calc.t.a = 10; // 2 points are 0.2 units across
    calc.t.d = 20; // and 0.1 up
    calc.pTrackPoint = {0.15, 0.05, 0};

    calc.setFeatureLock(1); // not far enough from the last buzz at the origin
    EXPECT_EQ(impact->impacts, 0);
    EXPECT_EQ(calc.featureLock, 1);
    calc.pTrackPoint = {0.15, 0.15, 0};
    calc.setFeatureLock(1); // the same lock again
    EXPECT_EQ(impact->impacts, 0);
    calc.setFeatureLock(2);
    EXPECT_EQ(impact->impacts, 1);
    EXPECT_EQ(calc.buzzPoint.y, 0.15);
    calc.setFeatureLock(3); // has not moved since
    EXPECT_EQ(impact->impacts, 1);

    calc.pTrackPoint = {5, 5, 0};
    calc.trackingVar = true;
    calc.setFeatureLock(4);
    calc.trackingVar = false;
    calc.setFeatureLock(0);
    EXPECT_EQ(impact->impacts, 1);
    ImpactFeedback::setFactory(nullptr);
}

TEST(CalculatorServices, DrawingTime)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.drawTime(), 0);
    calc.startDrawing();
    EXPECT_GE(calc.drawTime(), 0);
    EXPECT_LT(calc.drawTime(), 60);
}
