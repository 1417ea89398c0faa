#include "StatTestSupport.h"

#include "core/MemoryArchive.h"
#include "stats/HistogramBins.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvenda::test {
namespace {

using StatPlotModelTest = StatPlotTest;

TEST_F(StatPlotModelTest, ANewModelHasEveryPlotOffAsARedScatterOfL1)
{
    for (int n = 0; n < 6; ++n) {
        EXPECT_FALSE(model->plotVisible(n));
        EXPECT_EQ(model->plotType(n), StatGraphManager::Scatter);
        EXPECT_EQ(model->plotMark(n), 0);
        EXPECT_EQ(model->plotDataAxis(n), 0);
        const VQColor c = model->plotColor(n);
        EXPECT_EQ(std::tuple(c.r(), c.g(), c.b(), c.a()), std::tuple(1.0, 0.0, 0.0, 1.0));
        EXPECT_EQ(model->stats(n)->listXName, L1);
        EXPECT_EQ(model->stats(n)->listYName, L1);
        EXPECT_FALSE(model->varInfo(n));
    }
    EXPECT_TRUE(std::isnan(model->histogramXOrigin()));
}

TEST_F(StatPlotModelTest, SettersReplaceOneFieldOfTheFlagWord)
{
    model->setPlotVisible(2, true);
    model->setPlotMark(2, 1);
    model->setPlotAxis(2, 1);
    ASSERT_EQ(model->flags(2), 0x91);
    model->setPlotType(2, 5);
    EXPECT_EQ(model->flags(2), 0x9B);
    model->setPlotMark(2, 2);
    EXPECT_EQ(model->flags(2), 0xAB);
    model->setPlotAxis(2, 2);
    EXPECT_EQ(model->flags(2), 0x2B);
    model->setPlotColor(2, VQColor::colorR(0, 0, 1, 1));
    EXPECT_EQ(model->plotColor(2).b(), 1);
    EXPECT_EQ(model->flags(2), 0x2B);
}

// A type of 8 would spill into the mark bits, a mark of 8 into the data axis; plot
// numbers beyond 0..5 name no plot.
TEST_F(StatPlotModelTest, OutOfRangeTypesMarksAndPlotsAreRefusedAndQueriesAnswerNeutrally)
{
    model->setPlotVisible(0, true);
    model->setPlotType(0, 4);
    model->setPlotMark(0, 1);
    const int word = model->flags(0);
    for (int type : {-1, 6, 8, 15})
        model->setPlotType(0, type);
    for (int mark : {-1, 3, 8})
        model->setPlotMark(0, mark);
    EXPECT_EQ(model->flags(0), word);
    for (int plot : {-1, 6, 100}) {
        model->setPlotVisible(plot, true);
        model->setPlotType(plot, 2);
        model->setPlotColor(plot, VQColor::colorR(0, 1, 0, 1));
        EXPECT_FALSE(model->plotVisible(plot));
        EXPECT_EQ(model->plotType(plot), 0);
        EXPECT_EQ(model->plotColor(plot).r(), 1);
        EXPECT_EQ(model->stats(plot), nullptr);
        EXPECT_EQ(model->numBars(plot), 0);
        model->updateStatsFor(plot);
    }
}

TEST_F(StatPlotModelTest, TheAutomaticBarCountFollowsTheSampleSize)
{
    EXPECT_EQ(StatPlotModel::tiBarsForSampleSize(0), 3);
    EXPECT_EQ(StatPlotModel::tiBarsForSampleSize(3), 3);
    EXPECT_EQ(StatPlotModel::tiBarsForSampleSize(4), 4);
    EXPECT_EQ(StatPlotModel::tiBarsForSampleSize(12), 5);
    EXPECT_EQ(StatPlotModel::tiBarsForSampleSize(725), 11);
    EXPECT_EQ(StatPlotModel::tiBarsForSampleSize(726), 12);
}

TEST_F(StatPlotModelTest, TheLeftEdgeFixesAnOriginNotYetFixedAtXmin)
{
    setVar(kSlotXmin, -10);
    model->setHistogramBarOffset(3);
    EXPECT_EQ(model->leftEdge(), -10);
    EXPECT_EQ(model->histogramXOrigin(), -10);
    EXPECT_EQ(model->histogramBarOffset(), 0);
    model->setHistogramXOrigin(2);
    model->setHistogramBarOffset(0.5);
    EXPECT_EQ(model->leftEdge(), 2.5);
}

TEST_F(StatPlotModelTest, NumBarsCountsBinsFromTheOriginToTheLargestValue)
{
    setList(L2, {0, 3, 10});
    definePlot(0, StatGraphManager::Histogram, L2);
    model->updateStatsFor(0);
    model->setHistogramXOrigin(0);
    setVar(kSlotXscl, 2);
    EXPECT_EQ(model->numBars(0), 6);
    setVar(kSlotXscl, 0);  // 10 / 5 = 2
    EXPECT_EQ(model->numBars(0), 6);
    model->setHistogramXOrigin(10);
    EXPECT_EQ(model->numBars(0), 0);
    // A width far below the data's range is widened to at most a million bins.
    model->setHistogramXOrigin(0);
    setVar(kSlotXscl, 1e-300);
    EXPECT_LE(model->numBars(0), HistogramBins::kMaxBins + 2);
}

TEST_F(StatPlotModelTest, HistogramSlidersOfferTheWidthUpToTheDataRange)
{
    calc.locked()->lists[L1] = VQList();
    for (int i = 0; i < 20; ++i)
        calc.locked()->lists[L1].addReal(i * 10.0 / 19, 15, -15);
    definePlot(0, StatGraphManager::Histogram, L1);
    model->updateStatsFor(0);
    setVar(kSlotXscl, 0);
    const auto sliders = model->varInfoForPlot(0);
    ASSERT_TRUE(sliders);
    ASSERT_EQ(sliders->size(), 2u);
    EXPECT_DOUBLE_EQ(var(kSlotXscl), 10.0001 / 7);
    const YEqVarInfo& width = (*sliders)[0];
    EXPECT_EQ(width.name, "width");
    EXPECT_EQ(width.varNum, StatPlotModel::kWidthVar);
    EXPECT_DOUBLE_EQ(width.min, 0.500005);
    EXPECT_DOUBLE_EQ(width.max, 10.100101);
    EXPECT_DOUBLE_EQ(width.value, 10.0001 / 7);
    const YEqVarInfo& offset = (*sliders)[1];
    EXPECT_EQ(offset.varNum, StatPlotModel::kOffsetVar);
    EXPECT_EQ(offset.min, 0);
    EXPECT_DOUBLE_EQ(offset.max, 10.0001 / 7);
    EXPECT_EQ(model->varInfo(0)->size(), 2u);
}

// An empty list used to divide by no samples and store NaN into the user's Xscl.
TEST_F(StatPlotModelTest, WithoutDataXsclAndTheSlidersStayAsTheyAre)
{
    setList(L1, {1, 2, 3});
    definePlot(0, StatGraphManager::Histogram, L1);
    model->updateStatsFor(0);
    setVar(kSlotXscl, 0);
    const auto before = model->varInfoForPlot(0);
    const double xscl = var(kSlotXscl);
    calc.locked()->lists[L1] = VQList();
    model->updateStatsFor(0);
    setVar(kSlotXscl, -3);
    EXPECT_EQ(model->varInfoForPlot(0), before);
    EXPECT_EQ(var(kSlotXscl), -3);
    EXPECT_TRUE(std::isfinite(xscl));
    // Equal values have no range: a unit bin.
    setList(L1, {5, 5, 5});
    model->updateStatsFor(0);
    model->varInfoForPlot(0);
    EXPECT_DOUBLE_EQ(var(kSlotXscl), 1.0 / 3);
}

TEST_F(StatPlotModelTest, HistogramBoundsCountTheTallestBin)
{
    setList(L1, {1, 2, 2, 3, 7});
    definePlot(0, StatGraphManager::Histogram, L1);
    model->updateStatsFor(0);
    model->setHistogramXOrigin(0);
    setVar(kSlotXscl, 2);
    const StatPlotModel::Bounds b = model->bounds(0);
    EXPECT_EQ(b.xMin, -1);
    EXPECT_EQ(b.xMax, 9);
    EXPECT_EQ(b.yMin, 0);
    EXPECT_EQ(b.yMax, 3);
}

TEST_F(StatPlotModelTest, StatisticsFollowTheListsAndAShortFrequencyListIsReportedAndIgnored)
{
    setList(L1, {3, 1, 2});
    setList(L2, {1, 1});
    definePlot(1, StatGraphManager::Boxplot, L1, "", L2);
    model->updateStatsFor(1);
    ASSERT_EQ(view->errors.size(), 1u);
    EXPECT_EQ(view->errors[0]["errorNum"], 25);
    const auto s = model->stats(1);
    EXPECT_EQ(s->n, 3);
    EXPECT_FALSE(s->freq);
    EXPECT_EQ(s->listXName, L1);
    EXPECT_EQ(s->freqName, L2);
    EXPECT_EQ(s->minX, 1);
    model->updateStatsFor(1);
    EXPECT_EQ(view->errors.size(), 2u);

    // Pairs of unequal length keep the statistics they had.
    setList(L3, {4, 5, 6});
    definePlot(2, StatGraphManager::Scatter, L1, L3);
    model->updateStatsFor(2);
    EXPECT_EQ(model->stats(2)->maxY, 6);
    setList(L3, {4, 5});
    model->updateStatsFor(2);
    EXPECT_EQ(model->stats(2)->maxY, 6);
}

TEST_F(StatPlotModelTest, ClearAllGoesBackToTheFactoryPlots)
{
    definePlot(3, StatGraphManager::NormProbPlot, L2);
    model->setPlotColor(3, VQColor::colorR(0, 0, 1, 1));
    model->setHistogramXOrigin(4);
    model->setHistogramBarOffset(1);
    model->clearAll();
    EXPECT_EQ(model->flags(3), 0);
    EXPECT_EQ(model->plotColor(3).r(), 1);
    EXPECT_EQ(model->stats(3)->listXName, L1);
    EXPECT_TRUE(std::isnan(model->histogramXOrigin()));
    EXPECT_EQ(model->histogramBarOffset(), 0);
}

// ---- Archive ----

TEST_F(StatPlotModelTest, TheArchiveRoundTripsEveryPlot)
{
    definePlot(0, StatGraphManager::Scatter, L1, L2);
    definePlot(4, StatGraphManager::Histogram, L3, "", L2);
    model->setPlotMark(4, 2);
    model->setPlotAxis(5, 1);
    model->setPlotColor(4, VQColor::colorR(0, 0.5, 1, 1));
    setList(L3, {1, 2, 3});
    model->updateStatsFor(4);
    model->varInfoForPlot(4);
    model->setHistogramXOrigin(-2);
    model->setHistogramBarOffset(0.25);

    StatPlotModel copy(calc);
    copy.decode(model->encode());
    for (int n = 0; n < 6; ++n) {
        EXPECT_EQ(copy.flags(n), model->flags(n)) << n;
        EXPECT_EQ(copy.plotColor(n).g(), model->plotColor(n).g()) << n;
        EXPECT_EQ(copy.stats(n)->listXName, model->stats(n)->listXName) << n;
        EXPECT_EQ(copy.stats(n)->listYName, model->stats(n)->listYName) << n;
        EXPECT_EQ(copy.stats(n)->freqName, model->stats(n)->freqName) << n;
        EXPECT_EQ(copy.varInfo(n), model->varInfo(n)) << n;
    }
    EXPECT_EQ(copy.histogramXOrigin(), -2);
    EXPECT_EQ(copy.histogramBarOffset(), 0.25);

    // The NaN origin (not fixed yet) survives the archive's bytes too.
    model->setHistogramXOrigin(std::nan(""));
    const auto bytes = nlohmann::json::to_cbor(model->encode());
    copy.decode(nlohmann::json::from_cbor(bytes));
    EXPECT_TRUE(std::isnan(copy.histogramXOrigin()));
}

// Arrays of another length than six were read out of range.
TEST_F(StatPlotModelTest, DecodingCutsOrPadsTheArraysToSixPlots)
{
    nlohmann::json archive = model->encode();
    archive["info"].push_back({{"lx", L3}});
    archive["info"].push_back({{"lx", L3}});
    archive["f"] = {0x01 | (2 << 1), 0x01 | (7 << 1) | (7 << 4)};
    archive["cl"] = nlohmann::json::array();
    archive.erase("vi");
    model->decode(archive);
    EXPECT_TRUE(model->plotVisible(0));
    EXPECT_EQ(model->plotType(0), StatGraphManager::Histogram);
    // A damaged type or mark reads as the factory one.
    EXPECT_TRUE(model->plotVisible(1));
    EXPECT_EQ(model->plotType(1), 0);
    EXPECT_EQ(model->plotMark(1), 0);
    for (int n = 2; n < 6; ++n)
        EXPECT_EQ(model->flags(n), 0);
    EXPECT_EQ(model->plotColor(5).r(), 1);
    for (int n = 0; n < 6; ++n)
        EXPECT_FALSE(model->varInfo(n)) << n;

    archive["info"] = nlohmann::json::array({{{"lx", L2}}});
    model->decode(archive);
    EXPECT_EQ(model->stats(0)->listXName, L2);
    EXPECT_EQ(model->stats(5)->listXName, L1);
}

// The saved state carries the stat plots; a state saved before there was a model (its
// member null) leaves the factory plots.
TEST_F(StatPlotModelTest, TheSavedStateCarriesTheStatPlotsAndOlderStatesStillLoad)
{
    definePlot(2, StatGraphManager::XYLine, L2, L3);
    std::vector<Calculator::Archive> memory;
    calc.saveMemory(memory, false);
    ASSERT_EQ(memory.size(), 1u);

    Calculator restored;
    auto plots = std::make_shared<StatPlotModel>(restored);
    restored.statGraphManager = plots;
    restored.initMemory(memory);
    EXPECT_TRUE(plots->plotVisible(2));
    EXPECT_EQ(plots->plotType(2), StatGraphManager::XYLine);
    EXPECT_EQ(plots->stats(2)->listYName, L3);

    nlohmann::json older = nlohmann::json::from_cbor(memory[0]);
    older["statMgr"] = nullptr;
    Calculator old;
    auto fresh = std::make_shared<StatPlotModel>(old);
    old.statGraphManager = fresh;
    old.initMemory({nlohmann::json::to_cbor(older)});
    EXPECT_FALSE(fresh->plotVisible(2));
    EXPECT_EQ(fresh->stats(2)->listXName, L1);
    old.statGraphManager.reset();
    restored.statGraphManager.reset();
}

TEST(HistogramBinsTest, WalksBinsByJumpsAndKeepsTheWidthUsable)
{
    const HistogramBins bins(0, 10, 2);
    EXPECT_EQ(bins.advance(0, 1), 0);
    EXPECT_EQ(bins.advance(0, 2), 1);  // a right edge belongs to the next bin
    EXPECT_EQ(bins.advance(0, 7), 3);
    EXPECT_EQ(bins.advance(3, std::nan("")), 3);
    EXPECT_EQ(bins.binOf(6), 3);
    for (double w : {0.0, -1.0, std::nan(""), double(INFINITY)})
        EXPECT_EQ(HistogramBins(0, 10, w, std::nan("")).width(), 1) << w;
    EXPECT_EQ(HistogramBins(0, 10, 0, 0.5).width(), 0.5);
    EXPECT_EQ(HistogramBins(0, 10, 1e-300).width(), 10 / HistogramBins::kMaxBins);
    // Far from zero the edges still move.
    const HistogramBins far(1e20, 1e20 + 1e6, 1e-3);
    EXPECT_GT(far.edge(1), far.edge(0));
}

} // namespace
} // namespace orvenda::test
