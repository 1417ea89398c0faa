#include "core/Calculator.h"
#include "core/LeafMutex.h"

#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQGraphPtArray.h"
#include "core/services/EntryManager.h"
#include "core/services/HistoryManager.h"
#include "core/services/ProgramManager.h"
#include "core/services/Reachability.h"
#include "core/services/StatGraphManager.h"
#include "core/services/ViewControlDelegate.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <future>
#include <numbers>
#include <thread>

using namespace orvenda;
using namespace orvenda::test;

namespace {

const std::pair<int, double> kFactoryWindow[] = {
    {38, -1}, {39, 1}, {40, -1}, {41, 1}, {43, 1}, {45, 2 * std::numbers::pi}, {61, 0.1}, {62, 0.1},
    {63, std::numbers::pi / 180}, {76, 12}, {77, 12}, {86, 1}, {87, 320}, {88, 760},
};
const std::vector<std::string> kStatLists{"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"};

void expectOpaque(const VQColor& color, double level)
{
    EXPECT_EQ(color.r(), level);
    EXPECT_EQ(color.g(), level);
    EXPECT_EQ(color.b(), level);
    EXPECT_EQ(color.a(), 1);
}

// What a fresh calculator, resetDefaults and resetAll all give: number display, graph
// bounds, colours and the factory window.
void expectDisplayDefaults(const Calculator& calc)
{
    EXPECT_EQ(calc.locked()->numFormat, 0);
    EXPECT_EQ(calc.locked()->numDigits, -1);
    EXPECT_EQ(calc.locked()->maxWidth, 15);
    EXPECT_EQ(calc.locked()->thousandSeperator, u' ');
    EXPECT_EQ(calc.locked()->graphFitModel, -1);
    EXPECT_EQ(calc.graphBounds, (Calculator::Bounds{-10, 10, -10, 10}));
    EXPECT_EQ(calc.saveBounds, calc.graphBounds);
    EXPECT_EQ(calc.prevBounds, calc.graphBounds);
    expectOpaque(calc.locked()->backgroundColor, 0);
    expectOpaque(calc.locked()->gridColor, 1);
    expectOpaque(calc.locked()->axesColor, 1);
    EXPECT_EQ(calc.locked()->textColor, 20);
    for (const auto& [slot, value] : kFactoryWindow) {
        EXPECT_DOUBLE_EQ(calc.locked()->vars[slot].real(), value) << "slot " << slot;
        EXPECT_EQ(calc.locked()->vars[slot].imag(), 0) << "slot " << slot;
    }
}

} // namespace

TEST(CalculatorState, FreshModesAndStores)
{
    Calculator calc(kUS);
    expectDisplayDefaults(calc);
    const struct {
        const char* name;
        long long value, fresh;
    } fields[] = {
        {"angleFormat", calc.angleFormat(), 0}, {"tableMode", calc.locked()->tableMode, 0},
        {"fractionFormat", calc.locked()->fractionFormat, 4}, {"answerFormat", calc.locked()->answerFormat, 0},
        {"realCplxMode", calc.realCplxMode(), 0}, {"graphMode", calc.graphMode(), 0},
        {"mathPrint", calc.locked()->mathPrint, 1}, {"bubbleHelp", calc.bubbleHelp, 1}, {"reduce", calc.locked()->reduce, 1},
        {"fixDenominator", calc.locked()->fixDenominator, 0}, {"maxDenominator", calc.locked()->maxDenominator, 9999},
        {"statWiz", calc.statWiz, 1}, {"pdfPageSize", calc.pdfPageSize, 1},
        {"lockStatPlot", calc.lockStatPlot, -1}, {"firstTime", calc.firstTime, 1},
        {"clickPref", calc.clickPref, 1}, {"honorDarkMode", calc.honorDarkMode, 1},
        {"currentScreen", calc.currentScreen(), 0}, {"prevScreen", calc.prevScreen(), 0},
        {"pixelBits", static_cast<long long>(calc.pixelBits.size()), 322624},
        {"fileExtensions", static_cast<long long>(calc.fileExtensions.size()), 18},
        {"gridAdjustment", static_cast<long long>(calc.gridAdjustment.size()), 69},
    };
    for (const auto& f : fields)
        EXPECT_EQ(f.value, f.fresh) << f.name;
    EXPECT_EQ(calc.fileExtensions.front(), "lbxDat");
    EXPECT_EQ(calc.fileExtensions.back(), "csv");
    EXPECT_EQ(calc.locked()->statEditList, kStatLists);

    for (int slot = 0; slot < Calculator::kVarCount; ++slot) {
        EXPECT_EQ(calc.locked()->varsSigFig[slot], 15);
        EXPECT_EQ(calc.locked()->varsSigDec[slot], -15);
        bool window = false;
        for (const auto& w : kFactoryWindow)
            window = window || w.first == slot;
        if (!window) {
            EXPECT_EQ(calc.locked()->vars[slot], std::complex<double>(0, 0)) << "slot " << slot;
        }
    }
    ASSERT_EQ(calc.locked()->lists.size(), 6u);
    for (const std::string& name : kStatLists) {
        ASSERT_EQ(calc.locked()->lists.count(name), 1u) << name;
        EXPECT_EQ(calc.locked()->lists.at(name).count(), 0);
    }
    for (const auto& m : calc.locked()->matrices)
        EXPECT_EQ(m.dimRow() * m.dimCol(), 0u);
    for (const auto& s : calc.locked()->strings)
        EXPECT_TRUE(s.empty());
    EXPECT_EQ(calc.simulMatrix.dimRow(), 2u);
    EXPECT_EQ(calc.simulMatrix.dimCol(), 3u);
    EXPECT_FALSE(calc.simulSolution);
    EXPECT_NE(calc.graphPts(), nullptr);
    EXPECT_EQ(calc.locked()->tableList.count(), 0);
    EXPECT_EQ(calc.ans.type(), 0);
    EXPECT_EQ(calc.ans.r(), 0);
}

TEST(CalculatorState, FactoryKeySets)
{
    Calculator calc(kUS);
    ASSERT_EQ(calc.uKeys.size(), 2u);
    const std::vector<UserKeySet::Ops> compSci{{0xBBF8}, {0xBBF9}, {0xBBF6, 1065}, {0xBBF7}, {2},
        {0x5C40}, {0x5C41}, {0x5C42}, {0x5C43}, {0xBBFA}, {0xBBFB}};
    const std::vector<UserKeySet::Ops> angle{{11}, {174}, {42}, {10}, {1}, {0xEF38}};
    EXPECT_EQ(calc.uKeys[0].title(), "CompSci");
    EXPECT_EQ(calc.uKeys[0].type(), 0u);
    EXPECT_EQ(calc.uKeys[1].title(), "Angle");
    for (int set = 0; set < 2; ++set) {
        const UserKeySet& keys = calc.uKeys[set];
        const auto& want = set == 0 ? compSci : angle;
        for (int k = 0; k < UserKeySet::kKeyCount; ++k) {
            EXPECT_EQ(keys.nameForKey(k), nullptr);
            if (k < int(want.size())) {
                ASSERT_NE(keys.opsForKey(k), nullptr);
                EXPECT_EQ(*keys.opsForKey(k), want[k]) << "set " << set << " key " << k;
            } else {
                EXPECT_EQ(keys.opsForKey(k), nullptr);
            }
        }
    }
}

TEST(CalculatorReset, DefaultsSetTheResetColumn)
{
    Calculator calc(kUS);
    calc.locked()->fractionFormat = 2;
    calc.locked()->answerFormat = 3;
    calc.secondShift = true;
    calc.locked()->numBase = 2;
    calc.locked()->mathPrint = false;
    calc.keyboardColorSet = 3;
    calc.lcdColorSet = 4;
    calc.ans = VQValue(7.0);
    calc.uKeys.pop_back();
    calc.alphaLock = true;
    calc.insert = 1;
    calc.locked()->numFormat = 2;
    calc.locked()->numDigits = 4;
    calc.locked()->maxWidth = 10;
    calc.locked()->thousandSeperator = u',';
    calc.locked()->tableMode = 0;
    calc.locked()->graphFitModel = 3;
    calc.locked()->drawGrid = false;
    calc.locked()->drawDyDx = true;
    calc.graphBounds = {-1, 1, -2, 2};
    calc.saveBounds = calc.prevBounds = calc.graphBounds;
    calc.locked()->vars[38] = 5;
    calc.locked()->vars[0] = 42;
    calc.locked()->varsSigFig[38] = 3;
    calc.pixelsVisible = true;
    calc.pixelBits[17] = 255;
    calc.locked()->backgroundColor = calc.locked()->gridColor = calc.locked()->axesColor = VQColor::colorR(0.2, 0.3, 0.4, 0.5);
    calc.locked()->textColor = 11;

    calc.resetDefaults();

    expectDisplayDefaults(calc);
    EXPECT_EQ(calc.angleFormat(), 1);
    EXPECT_EQ(calc.locked()->tableMode, 1);
    EXPECT_FALSE(calc.alphaLock);
    EXPECT_EQ(calc.insert, 0);
    EXPECT_TRUE(calc.locked()->drawGrid);
    EXPECT_FALSE(calc.locked()->drawDyDx);
    EXPECT_EQ(calc.locked()->varsSigFig[38], 3);
    EXPECT_EQ(calc.locked()->vars[0], std::complex<double>(42, 0));
    EXPECT_FALSE(calc.pixelsVisible);
    EXPECT_EQ(calc.pixelBits[17], 0);
    // Untouched by the narrower defaults.
    EXPECT_EQ(calc.locked()->fractionFormat, 2);
    EXPECT_EQ(calc.locked()->answerFormat, 3);
    EXPECT_TRUE(calc.secondShift);
    EXPECT_EQ(calc.locked()->numBase, 2);
    EXPECT_FALSE(calc.locked()->mathPrint);
    EXPECT_EQ(calc.keyboardColorSet, 3);
    EXPECT_EQ(calc.lcdColorSet, 4);
    EXPECT_EQ(calc.uKeys.size(), 1u);
    EXPECT_EQ(calc.ans.r(), 7);
}

TEST(CalculatorReset, AllZeroesValuesButKeepsSignificance)
{
    Calculator calc(kUS);
    calc.setVar(0, {{3.5, 1}, 2, -1});
    calc.setVar(150, {{8, 0}, 4, 0});
    calc.keyboardColorSet = 3;
    calc.lcdColorSet = 4;
    calc.locked()->strings[3] = {0x41, 0x42};
    calc.locked()->solverEq = {0x41};
    calc.locked()->statEditList = {"ABC"};
    calc.locked()->numDigits = 3;

    calc.resetAll();

    EXPECT_EQ(calc.getVar(0).value, std::complex<double>(0, 0));
    EXPECT_EQ(calc.getVar(0).sigFig, 2);
    EXPECT_EQ(calc.getVar(0).sigDec, -1);
    EXPECT_EQ(calc.getVar(150).value, std::complex<double>(0, 0));
    EXPECT_EQ(calc.getVar(150).sigFig, 4);
    expectDisplayDefaults(calc);
    EXPECT_EQ(calc.keyboardColorSet, 0);
    EXPECT_EQ(calc.lcdColorSet, 0);
    EXPECT_TRUE(calc.locked()->strings[3].empty());
    EXPECT_TRUE(calc.locked()->solverEq.empty());
    EXPECT_EQ(calc.locked()->statEditList.size(), 6u);
    EXPECT_EQ(calc.angleFormat(), 1);
}

TEST(CalculatorVariables, SignificanceIsStoredAsSignedBytes)
{
    Calculator calc(kUS);
    calc.setVar(0, {{2.5, -1.25}, 3, -1});
    VariableRecord a = calc.getVar(0);
    EXPECT_EQ(a.value, std::complex<double>(2.5, -1.25));
    EXPECT_EQ(a.sigFig, 3);
    EXPECT_EQ(a.sigDec, -1);
    EXPECT_EQ(calc.locked()->varsSigDec[0], -1); // sign-extended into the 32-bit store
    calc.setVar(217, {{7, 0}, 15, -15});
    EXPECT_EQ(calc.getVar(217).value, std::complex<double>(7, 0));
    EXPECT_EQ(calc.getVar(217).sigDec, -15);

    // Reading truncates the store to bytes.
    calc.locked()->varsSigFig[5] = 200;
    calc.locked()->varsSigDec[5] = 0x1FF;
    EXPECT_EQ(calc.getVar(5).sigFig, -56);
    EXPECT_EQ(calc.getVar(5).sigDec, -1);
}

TEST(CalculatorVariables, SlotsOutsideTheStoreAreIgnored)
{
    Calculator calc(kUS);
    const auto before = calc.locked()->vars;
    calc.setVar(-1, {{9, 9}, 1, 1});
    calc.setVar(218, {{9, 9}, 1, 1});
    EXPECT_EQ(calc.locked()->vars, before);
    for (int slot : {-1, 218, 100000}) {
        VariableRecord r = calc.getVar(slot);
        EXPECT_EQ(r.value, std::complex<double>(0, 0));
        EXPECT_EQ(r.sigFig, 15);
        EXPECT_EQ(r.sigDec, -15);
    }
}

TEST(CalculatorLocale, TimeAndDateFormatsFollowTheLocaleDescription)
{
    struct Case {
        LocaleFormats locale;
        int time, date;
    };
    // Date: month first (or no spelled-out month) 0, day before year 1, year before day 2.
    const Case cases[] = {
        {{"h a", "MMMM d, y"}, 0, 0}, {{"HH", "d MMMM y"}, 1, 1},   {{"H時", "y年M月d日"}, 1, 0},
        {{"a h", "y. MMMM d."}, 0, 2}, {{"H", "MMMM y"}, 1, 0},      {{"HH", "d. MMMM y"}, 1, 1},
        {{"H", "y MMMM d"}, 1, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Calculator::timeFormatForLocale(c.locale), c.time) << c.locale.longDateFormat;
        EXPECT_EQ(Calculator::dateFormatForLocale(c.locale), c.date) << c.locale.longDateFormat;
    }

    Calculator uk(LocaleFormats{"HH", "d MMMM y"});
    EXPECT_EQ(uk.locked()->timeFormat, 1);
    EXPECT_EQ(uk.locked()->dateFormat, 1);
    Calculator us(kUS);
    EXPECT_EQ(us.locked()->timeFormat, 0);
    EXPECT_EQ(us.locked()->dateFormat, 0);
    us.setLocale({"H", "y. MMMM d."});
    EXPECT_EQ(us.locked()->timeFormat, 0); // only a reset rereads the locale
    us.resetDefaults();
    EXPECT_EQ(us.locked()->timeFormat, 1);
    EXPECT_EQ(us.locked()->dateFormat, 2);
}

TEST(CalculatorState, GridLineWidthByMachine)
{
    for (const char* machine : {"iPhone6,1", "iPhone10,6", "x86_64"})
        EXPECT_EQ(Calculator::gridLineWidthForMachine(machine), 0.3) << machine;
    for (const char* machine : {"iPhone5,4", "iPad6,12", "i386"})
        EXPECT_EQ(Calculator::gridLineWidthForMachine(machine), 0.25) << machine;
}

// ---- Services ----

namespace {

class FakeEntry : public EntryManager {
public:
    std::string typed;
    int clears = 0;
    void setScreenWidth(int) override {}
    std::string text() const override { return typed; }
    void clear() override
    {
        typed.clear();
        ++clears;
    }
    std::vector<std::uint32_t> lineOps() const override { return {}; }
    void restoreLine(const std::vector<std::uint32_t>&) override {}
    std::pair<std::vector<std::uint32_t>, int> takeLineQuietly() override
    {
        std::vector<std::uint32_t> ops(typed.begin(), typed.end());
        typed.clear();
        return {ops, static_cast<int>(ops.size()) - 1};
    }
    void putLineBackQuietly(std::vector<std::uint32_t> ops, int) override { typed.assign(ops.begin(), ops.end()); }
    void insertOpcode(std::uint32_t, int) override {}
    void cursorEndSilent() override {}
    void startNewEntry() override {}
    void clearEntries() override {}
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

class FakeStatPlots : public StatGraphManager {
public:
    int clears = 0;
    std::set<int> hidden;
    void clearAll() override { ++clears; }
    std::vector<std::shared_ptr<VQStatistics>> statInfo() const override { return {}; }
    void setPlotAxis(int, int) override {}
    void setPlotMark(int, int) override {}
    void setPlotType(int, int) override {}
    void setPlotVisible(int plot, bool visible) override
    {
        if (!visible)
            hidden.insert(plot);
    }
    void setPlotColor(int, const VQColor&) override {}
    double histogramXOrigin() const override { return 0; }
    void setHistogramXOrigin(double) override {}
    void setHistogramBarOffset(double) override {}
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

class FakeMonitor : public Reachability {
public:
    int status = 0;
    bool started = false;
    bool startNotifier() override { return started = true; }
    int currentReachabilityStatus() const override { return status; }
};

// A calculator wired to doubles, on its own notification bus, whose ENTER key enters the
// typed text the way the real key handling does.
struct Wired {
    NotificationCenter bus;
    Calculator calc{kUS, bus};
    std::shared_ptr<FakeEntry> entry = std::make_shared<FakeEntry>();
    std::shared_ptr<FakeHistory> history = std::make_shared<FakeHistory>();
    std::shared_ptr<FakePrograms> programs = std::make_shared<FakePrograms>();
    std::shared_ptr<FakeYEq> yEq = std::make_shared<FakeYEq>();
    std::shared_ptr<FakeStatPlots> statPlots = std::make_shared<FakeStatPlots>();
    std::shared_ptr<FakeView> view = std::make_shared<FakeView>();
    std::vector<std::pair<int, int>> keys; // key, screen it arrived on
    std::vector<std::string> entered;
    // ENTER leaves the typed text on the line, as a value whose error is told does.
    bool fails = false;

    Wired()
    {
        calc.entryManager = entry;
        calc.historyManager = history;
        calc.prgmManager = programs;
        calc.yEqManager = yEq;
        calc.statGraphManager = statPlots;
        calc.viewDelegate = view;
        calc.keyProcessor = [this](int key) {
            keys.emplace_back(key, calc.currentScreen());
            if (key == Calculator::kEnterKey && !entry->typed.empty() && !fails) {
                entered.push_back(entry->typed);
                entry->typed.clear();
            }
        };
    }
    // Leaves `from` for home with text typed; the keys that arrived.
    std::size_t leave(int from, const std::string& text = "1")
    {
        calc.setCurrentScreen(from);
        entry->typed = text;
        calc.setCurrentScreen(0);
        return keys.size();
    }
};

} // namespace

TEST(CalculatorScreens, LeavingTheListEditorEntersTheTypedFieldOnceHomeOrGraphNothing)
{
    Wired w;
    w.calc.setCurrentScreen(4);
    EXPECT_TRUE(w.keys.empty());
    ASSERT_EQ(w.leave(4, "5"), 1u);
    // Entered on the screen being left, before the change.
    EXPECT_EQ(w.keys[0], std::make_pair(Calculator::kEnterKey, 4));
    EXPECT_EQ(w.entered, std::vector<std::string>{"5"});
    EXPECT_EQ(w.calc.currentScreen(), 0);
    EXPECT_EQ(w.calc.prevScreen(), 4);

    Wired v;
    v.entry->typed = "5";
    v.calc.setCurrentScreen(8);
    v.calc.setCurrentScreen(0);
    v.calc.setCurrentScreen(1);
    EXPECT_TRUE(v.keys.empty());
    EXPECT_EQ(v.entry->typed, "5");
    EXPECT_EQ(v.calc.currentScreen(), 1);
    EXPECT_EQ(v.calc.prevScreen(), 0);
}

// A field screen's value that failed as it was left for the graph waits, whatever is shown
// meanwhile, and comes back with its own screen only.
TEST(CalculatorScreens, AFailedValueWaitsForItsOwnScreen)
{
    struct Case {
        int from;
        std::vector<int> then;
        std::string back;
    };
    const std::vector<Case> cases{
        {10, {10}, "2+"}, {20, {20}, "2+"}, {10, {0, 10}, "2+"}, {20, {1, 20}, "2+"}, {4, {4}, "2+"}, {10, {20}, ""},
    };
    for (const Case& c : cases) {
        Wired w;
        w.fails = true;
        w.calc.setCurrentScreen(c.from);
        w.entry->typed = "2+";
        w.calc.setCurrentScreen(8);
        EXPECT_EQ(w.entry->typed, "") << c.from << " not carried to the graph";
        for (int screen : c.then)
            w.calc.setCurrentScreen(screen);
        EXPECT_EQ(w.entry->typed, c.back) << c.from << " then " << c.then.back();
    }
}

TEST(CalculatorScreens, EveryEditorScreenCommitsAndOthersDoNot)
{
    const std::set<int> committing{3, 4, 5, 6, 7, 10, 12, 14, 15, 16, 20, 21, 22, 23};
    for (int screen = 1; screen <= 23; ++screen)
        EXPECT_EQ(Wired().leave(screen), committing.count(screen)) << "screen " << screen;
}

TEST(CalculatorScreens, ProgramEditorOnlyWhileDebuggingNothingForEmptyOrSameScreen)
{
    Wired w;
    EXPECT_EQ(w.leave(2), 0u);
    w.programs->debugging = true;
    EXPECT_EQ(w.leave(2), 1u);

    Wired v;
    EXPECT_EQ(v.leave(4, ""), 0u);
    v.calc.setCurrentScreen(4);
    v.entry->typed = "5";
    v.calc.setCurrentScreen(4);
    EXPECT_TRUE(v.keys.empty());
    EXPECT_EQ(v.calc.currentScreen(), 4);
    EXPECT_EQ(v.calc.prevScreen(), 0);

    // And without any services.
    Calculator calc(kUS);
    calc.setCurrentScreen(4);
    calc.setCurrentScreen(0);
    calc.processKeyOp(Calculator::kEnterKey);
    calc.resetAll();
    EXPECT_EQ(calc.prevScreen(), 4);
}

TEST(CalculatorGraphMode, PostsOnlyWhenTheModeChanges)
{
    Wired w;
    std::vector<const void*> posters;
    int observer = 0;
    w.bus.addObserver(&observer, VQGraphModeChanged, [&](const Notification& n) { posters.push_back(n.poster); });

    w.calc.setGraphMode(0);
    EXPECT_TRUE(posters.empty());
    EXPECT_TRUE(w.yEq->modes.empty());
    w.calc.setGraphMode(2);
    ASSERT_EQ(posters.size(), 1u);
    EXPECT_EQ(posters[0], &w.calc);
    EXPECT_EQ(w.calc.graphMode(), 2);
    EXPECT_EQ(w.yEq->modes, std::vector<int>{2});
    w.calc.setGraphMode(2);
    EXPECT_EQ(posters.size(), 1u);

    // Resetting goes through the setter as well.
    w.calc.resetDefaults();
    EXPECT_EQ(posters.size(), 2u);
    EXPECT_EQ(w.calc.graphMode(), 0);
    w.calc.resetDefaults();
    EXPECT_EQ(posters.size(), 2u);
    w.bus.removeObserver(&observer);
}

TEST(CalculatorReset, AllClearsManagersListsAndMatrices)
{
    Wired w;
    w.calc.locked()->lists["L₂"].addReal(3, 1, 0);
    w.calc.locked()->lists["ABC"] = VQList::listSeqStart(1, 3);
    w.calc.locked()->statEditList = {"ABC", "L₁"};
    w.calc.locked()->matrices[4] = VQMatrix::matrixWithRow(2, 2).value();
    w.calc.locked()->tableList = VQList::listSeqStart(1, 5);
    w.entry->typed = "1+";
    w.calc.ans = VQValue::valWithComplex({2, 3});

    w.calc.resetAll();

    EXPECT_EQ(w.calc.ans.type(), 0);
    EXPECT_EQ(w.calc.ans.c(), std::complex<double>(0, 0));
    EXPECT_EQ(w.history->clears, 1);
    EXPECT_EQ(w.entry->clears, 1);
    EXPECT_EQ(w.yEq->clears, 1);
    EXPECT_EQ(w.statPlots->clears, 1);
    ASSERT_EQ(w.calc.locked()->lists.size(), 6u);
    for (const auto& [name, list] : w.calc.locked()->lists)
        EXPECT_EQ(list.count(), 0) << name;
    EXPECT_EQ(w.calc.locked()->lists.count("L₆"), 1u);
    EXPECT_EQ(w.calc.locked()->statEditList, kStatLists);
    EXPECT_EQ(w.calc.locked()->matrices[4].dimRow(), 0u);
    EXPECT_EQ(w.calc.locked()->tableList.count(), 0);
}

TEST(CalculatorReset, ClearMatrixIgnoresNumbersOutsideTheTen)
{
    Calculator calc(kUS);
    for (auto& m : calc.locked()->matrices)
        m = VQMatrix::matrixWithRow(1, 1).value();
    calc.clearMatrix(-1);
    calc.clearMatrix(10);
    for (const auto& m : calc.locked()->matrices)
        EXPECT_EQ(m.dimRow(), 1u);
    calc.clearMatrix(9);
    EXPECT_EQ(calc.locked()->matrices[9].dimRow(), 0u);
    EXPECT_EQ(calc.locked()->matrices[8].dimRow(), 1u);
}

TEST(CalculatorReset, ClearDrawingHidesEveryPlotAndTellsTheGraph)
{
    Wired w;
    w.calc.graphPts()->ptOnAtX(1, 2, 1, 0, 0, 0);
    w.calc.backgroundImage = std::make_shared<int>(1);
    w.calc.clearDrawing();
    EXPECT_EQ(w.calc.graphPts()->count(), 0u);
    EXPECT_EQ(w.calc.backgroundImage, nullptr);
    EXPECT_EQ(w.yEq->hidden.size(), 44u);
    EXPECT_TRUE(w.yEq->hidden.count(0x5E10) && w.yEq->hidden.count(0x5EA9) && w.yEq->hidden.count(0x5E85));
    EXPECT_EQ(w.statPlots->hidden, (std::set<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(w.view->graphChanged, 1);
}

TEST(CalculatorState, ReachabilityMonitorsStartAndReportChanges)
{
    std::vector<std::shared_ptr<FakeMonitor>> made;
    std::vector<std::string> hosts;
    Reachability::setFactory([&](Reachability::Target, const std::string& host) {
        hosts.push_back(host);
        made.push_back(std::make_shared<FakeMonitor>());
        return made.back();
    });
    {
        NotificationCenter bus;
        Calculator calc(kUS, bus);
        ASSERT_EQ(made.size(), 3u);
        EXPECT_FALSE(hosts[0].empty());
        for (const auto& m : made)
            EXPECT_TRUE(m->started);
        made[0]->status = 2;
        made[2]->status = 1;
        bus.post(kNetworkReachabilityChangedNotification, made[0].get());
        EXPECT_EQ(calc.remoteHostStatus, 2);
        EXPECT_EQ(calc.internetConnectionStatus, 0);
        EXPECT_EQ(calc.localWiFiConnectionStatus, 1);
    }
    Reachability::setFactory(nullptr);
}

// The guarded state is reached with the lock: a guard, a copy of the settings or the window,
// and state() for a thread that holds the lock, however deep (a handler inside an
// evaluation takes it again).
TEST(CalculatorState, GuardsAndCopiesReadAndWriteTheSameState)
{
    Calculator calc(kUS);
    calc.locked()->numDigits = 3;
    calc.locked()->drawAxes = false;
    calc.setVar(38, {{-4, 0}});
    calc.setVar(41, {{7, 0}});
    const Calculator::Settings settings = calc.settings();
    EXPECT_EQ(settings.numDigits, 3);
    EXPECT_FALSE(settings.drawAxes);
    EXPECT_EQ(calc.window(), (Calculator::Bounds{-4, 1, -1, 7}));
    {
        const auto outer = calc.lockState();
        const auto inner = calc.locked();
        inner->numDigits = 5;
        EXPECT_EQ(calc.state().numDigits, 5);
    }
    // The copy is the settings as they were when it was taken.
    EXPECT_EQ(settings.numDigits, 3);
    EXPECT_EQ(calc.settings().numDigits, 5);
}

#ifndef NDEBUG
// Debug and sanitizer builds stop at a read without the lock, also while another thread
// holds it: the next screen that forgets the lock fails a test instead of racing a program.
TEST(CalculatorStateDeathTest, TheStateWithoutItsLockStopsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Calculator calc(kUS);
    EXPECT_DEATH((void)calc.state().numFormat, "without the state lock");
    const auto readWhileAnotherThreadHolds = [&calc] {
        std::promise<void> held;
        std::promise<void> release;
        std::thread holder([&] {
            const auto hold = calc.lockState();
            held.set_value();
            release.get_future().wait();
        });
        held.get_future().wait();
        (void)calc.state().vars[0];
        release.set_value();
        holder.join();
    };
    EXPECT_DEATH(readWhileAnotherThreadHolds(), "without the state lock");
}
#endif

// The lock order is checked in every build the tests run in, optimized ones too: the state
// lock taken while a leaf lock (a model's, the program queue's) is held stops the process.
// Only that order: the state lock first, then a leaf, is the order of every holder.
TEST(CalculatorStateDeathTest, TheStateLockAfterALeafLockStopsTheProcessInEveryBuild)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Calculator calc(kUS);
    LeafMutex leaf;
    {
        const auto state = calc.lockState();
        const std::lock_guard inner(leaf);
        EXPECT_EQ(LeafMutex::heldByThisThread(), 1);
    }
    EXPECT_EQ(LeafMutex::heldByThisThread(), 0);
    EXPECT_DEATH(
        {
            const std::lock_guard first(leaf);
            const auto state = calc.lockState();
        },
        "state lock was taken while");
}
