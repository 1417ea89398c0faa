#include "core/Calculator.h"

#include <gtest/gtest.h>

#include <numbers>

using namespace orvenda;

namespace {

const LocaleFormats kUS{"h a", "MMMM d, y"};

struct WindowSlot {
    int slot;
    double value;
};

const WindowSlot kFactoryWindow[] = {
    {38, -1}, {39, 1}, {40, -1}, {41, 1}, {43, 1}, {45, 2 * std::numbers::pi}, {61, 0.1}, {62, 0.1},
    {63, std::numbers::pi / 180}, {76, 12}, {77, 12}, {86, 1}, {87, 320}, {88, 760},
};

void expectOpaque(const VQColor& color, double level)
{
    EXPECT_EQ(color.r(), level);
    EXPECT_EQ(color.g(), level);
    EXPECT_EQ(color.b(), level);
    EXPECT_EQ(color.a(), 1);
}

void expectFactoryWindow(const Calculator& calc)
{
    for (const auto& w : kFactoryWindow) {
        EXPECT_DOUBLE_EQ(calc.vars[w.slot].real(), w.value) << "slot " << w.slot;
        EXPECT_EQ(calc.vars[w.slot].imag(), 0) << "slot " << w.slot;
    }
}

bool isWindowSlot(int slot)
{
    for (const auto& w : kFactoryWindow)
        if (w.slot == slot)
            return true;
    return false;
}

} // namespace

TEST(CalculatorState, FreshModes)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.angleFormat(), 0);
    EXPECT_EQ(calc.tableMode, 0);
    EXPECT_EQ(calc.fractionFormat, 4);
    EXPECT_EQ(calc.answerFormat, 0);
    EXPECT_EQ(calc.numFormat, 0);
    EXPECT_EQ(calc.numDigits, -1);
    EXPECT_EQ(calc.maxWidth, 15);
    EXPECT_EQ(calc.thousandSeperator, u' ');
    EXPECT_EQ(calc.realCplxMode(), 0);
    EXPECT_EQ(calc.graphMode(), 0);
    EXPECT_TRUE(calc.mathPrint);
    EXPECT_TRUE(calc.bubbleHelp);
    EXPECT_TRUE(calc.reduce);
    EXPECT_FALSE(calc.fixDenominator);
    EXPECT_EQ(calc.maxDenominator, 9999);
    EXPECT_TRUE(calc.statWiz);
    EXPECT_EQ(calc.pdfPageSize, 1);
    EXPECT_EQ(calc.graphFitModel, -1);
    EXPECT_EQ(calc.lockStatPlot, -1);
    EXPECT_EQ(calc.textColor, 20);
    EXPECT_TRUE(calc.firstTime);
    EXPECT_TRUE(calc.clickPref);
    EXPECT_TRUE(calc.honorDarkMode);
    EXPECT_EQ(calc.currentScreen(), 0);
    EXPECT_EQ(calc.prevScreen(), 0);
    EXPECT_EQ(calc.graphBounds, (Calculator::Bounds{-10, 10, -10, 10}));
    EXPECT_EQ(calc.saveBounds, calc.graphBounds);
    EXPECT_EQ(calc.prevBounds, calc.graphBounds);
    EXPECT_EQ(calc.pixelBits.size(), 322624u);
    expectOpaque(calc.backgroundColor, 0);
    expectOpaque(calc.gridColor, 1);
    expectOpaque(calc.axesColor, 1);
    EXPECT_EQ(calc.fileExtensions.size(), 18u);
    EXPECT_EQ(calc.fileExtensions.front(), "lbxDat");
    EXPECT_EQ(calc.fileExtensions.back(), "csv");
    EXPECT_EQ(calc.statEditList, (std::vector<std::string>{"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"}));
}

TEST(CalculatorState, FreshVariableStore)
{
    Calculator calc(kUS);
    expectFactoryWindow(calc);
    for (int slot = 0; slot < Calculator::kVarCount; ++slot) {
        EXPECT_EQ(calc.varsSigFig[slot], 15);
        EXPECT_EQ(calc.varsSigDec[slot], -15);
        if (!isWindowSlot(slot)) {
            EXPECT_EQ(calc.vars[slot], std::complex<double>(0, 0)) << "slot " << slot;
        }
    }
}

TEST(CalculatorState, FactoryKeySets)
{
    Calculator calc(kUS);
    ASSERT_EQ(calc.uKeys.size(), 2u);
    const UserKeySet& compSci = calc.uKeys[0];
    EXPECT_EQ(compSci.title(), "CompSci");
    EXPECT_EQ(compSci.type(), 0u);
    const std::vector<UserKeySet::Ops> compSciOps{{0xBBF8}, {0xBBF9}, {0xBBF6, 1065}, {0xBBF7}, {2},
        {0x5C40}, {0x5C41}, {0x5C42}, {0x5C43}, {0xBBFA}, {0xBBFB}};
    for (int k = 0; k < UserKeySet::kKeyCount; ++k) {
        EXPECT_EQ(compSci.nameForKey(k), nullptr);
        if (k < int(compSciOps.size())) {
            ASSERT_NE(compSci.opsForKey(k), nullptr);
            EXPECT_EQ(*compSci.opsForKey(k), compSciOps[k]) << "key " << k;
        } else {
            EXPECT_EQ(compSci.opsForKey(k), nullptr);
        }
    }
    const UserKeySet& angle = calc.uKeys[1];
    EXPECT_EQ(angle.title(), "Angle");
    const std::vector<UserKeySet::Ops> angleOps{{11}, {174}, {42}, {10}, {1}, {0xEF38}};
    for (int k = 0; k < UserKeySet::kKeyCount; ++k) {
        if (k < int(angleOps.size())) {
            ASSERT_NE(angle.opsForKey(k), nullptr);
            EXPECT_EQ(*angle.opsForKey(k), angleOps[k]);
        } else {
            EXPECT_EQ(angle.opsForKey(k), nullptr);
        }
    }
}

TEST(CalculatorReset, DefaultsSetTheResetColumn)
{
    Calculator calc(kUS);
    calc.fractionFormat = 2;
    calc.answerFormat = 3;
    calc.secondShift = true;
    calc.numBase = 2;
    calc.mathPrint = false;
    calc.keyboardColorSet = 3;
    calc.lcdColorSet = 4;
    calc.uKeys.pop_back();
    calc.alphaLock = true;
    calc.insert = 1;
    calc.numFormat = 2;
    calc.numDigits = 4;
    calc.maxWidth = 10;
    calc.thousandSeperator = u',';
    calc.tableMode = 0;
    calc.graphFitModel = 3;
    calc.drawGrid = false;
    calc.drawDyDx = true;
    calc.graphBounds = {-1, 1, -2, 2};
    calc.saveBounds = calc.prevBounds = calc.graphBounds;
    calc.vars[38] = 5;
    calc.vars[0] = 42;
    calc.varsSigFig[38] = 3;
    calc.pixelsVisible = true;
    calc.pixelBits[17] = 255;
    calc.backgroundColor = VQColor::colorR(0.2, 0.3, 0.4, 0.5);
    calc.gridColor = VQColor::colorR(0.2, 0.3, 0.4, 0.5);
    calc.axesColor = VQColor::colorR(0.2, 0.3, 0.4, 0.5);
    calc.textColor = 11;

    calc.resetDefaults();

    EXPECT_EQ(calc.angleFormat(), 1);
    EXPECT_EQ(calc.tableMode, 1);
    EXPECT_FALSE(calc.alphaLock);
    EXPECT_EQ(calc.insert, 0);
    EXPECT_EQ(calc.numFormat, 0);
    EXPECT_EQ(calc.numDigits, -1);
    EXPECT_EQ(calc.maxWidth, 15);
    EXPECT_EQ(calc.thousandSeperator, u' ');
    EXPECT_EQ(calc.graphFitModel, -1);
    EXPECT_TRUE(calc.drawGrid);
    EXPECT_FALSE(calc.drawDyDx);
    EXPECT_EQ(calc.graphBounds, (Calculator::Bounds{-10, 10, -10, 10}));
    EXPECT_EQ(calc.saveBounds, calc.graphBounds);
    EXPECT_EQ(calc.prevBounds, calc.graphBounds);
    expectFactoryWindow(calc);
    EXPECT_EQ(calc.varsSigFig[38], 3);
    EXPECT_EQ(calc.vars[0], std::complex<double>(42, 0));
    EXPECT_FALSE(calc.pixelsVisible);
    EXPECT_EQ(calc.pixelBits[17], 0);
    expectOpaque(calc.backgroundColor, 0);
    expectOpaque(calc.gridColor, 1);
    expectOpaque(calc.axesColor, 1);
    EXPECT_EQ(calc.textColor, 20);

    // Untouched by the narrower defaults.
    EXPECT_EQ(calc.fractionFormat, 2);
    EXPECT_EQ(calc.answerFormat, 3);
    EXPECT_TRUE(calc.secondShift);
    EXPECT_EQ(calc.numBase, 2);
    EXPECT_FALSE(calc.mathPrint);
    EXPECT_EQ(calc.keyboardColorSet, 3);
    EXPECT_EQ(calc.lcdColorSet, 4);
    EXPECT_EQ(calc.uKeys.size(), 1u);
}

TEST(CalculatorReset, AllZeroesValuesButKeepsSignificance)
{
    Calculator calc(kUS);
    calc.setVar(0, {{3.5, 1}, 2, -1});
    calc.setVar(150, {{8, 0}, 4, 0});
    calc.keyboardColorSet = 3;
    calc.lcdColorSet = 4;
    calc.strings[3] = {0x41, 0x42};
    calc.solverEq = {0x41};
    calc.statEditList = {"ABC"};

    calc.resetAll();

    EXPECT_EQ(calc.getVar(0).value, std::complex<double>(0, 0));
    EXPECT_EQ(calc.getVar(0).sigFig, 2);
    EXPECT_EQ(calc.getVar(0).sigDec, -1);
    EXPECT_EQ(calc.getVar(150).value, std::complex<double>(0, 0));
    EXPECT_EQ(calc.getVar(150).sigFig, 4);
    expectFactoryWindow(calc);
    EXPECT_EQ(calc.keyboardColorSet, 0);
    EXPECT_EQ(calc.lcdColorSet, 0);
    EXPECT_TRUE(calc.strings[3].empty());
    EXPECT_TRUE(calc.solverEq.empty());
    EXPECT_EQ(calc.statEditList.size(), 6u);
    EXPECT_EQ(calc.angleFormat(), 1);
}

TEST(CalculatorState, ProcessInstanceIsShared)
{
    EXPECT_EQ(&Calculator::calculator(), &Calculator::calculator());
}

TEST(CalculatorVariables, RoundTripKeepsValueAndSignificance)
{
    Calculator calc(kUS);
    calc.setVar(0, {{2.5, -1.25}, 3, -1});
    VariableRecord a = calc.getVar(0);
    EXPECT_EQ(a.value, std::complex<double>(2.5, -1.25));
    EXPECT_EQ(a.sigFig, 3);
    EXPECT_EQ(a.sigDec, -1);
    // Negative bytes are sign-extended into the 32-bit stores.
    EXPECT_EQ(calc.varsSigDec[0], -1);

    calc.setVar(217, {{7, 0}, 15, -15});
    EXPECT_EQ(calc.getVar(217).value, std::complex<double>(7, 0));
    EXPECT_EQ(calc.getVar(217).sigDec, -15);
}

TEST(CalculatorVariables, ReadingTruncatesTheStoreToBytes)
{
    Calculator calc(kUS);
    calc.varsSigFig[5] = 200;
    calc.varsSigDec[5] = 0x1FF;
    VariableRecord r = calc.getVar(5);
    EXPECT_EQ(r.sigFig, -56);
    EXPECT_EQ(r.sigDec, -1);
}

TEST(CalculatorVariables, SlotsOutsideTheStoreAreIgnored)
{
    Calculator calc(kUS);
    const auto before = calc.vars;
    calc.setVar(-1, {{9, 9}, 1, 1});
    calc.setVar(218, {{9, 9}, 1, 1});
    EXPECT_EQ(calc.vars, before);
    for (int slot : {-1, 218, 100000}) {
        VariableRecord r = calc.getVar(slot);
        EXPECT_EQ(r.value, std::complex<double>(0, 0));
        EXPECT_EQ(r.sigFig, 15);
        EXPECT_EQ(r.sigDec, -15);
    }
}

TEST(CalculatorLocale, TimeFormatFollowsTheAmPmMarker)
{
    EXPECT_EQ(Calculator::timeFormatForLocale({"h a", "MMMM d, y"}), 0);
    EXPECT_EQ(Calculator::timeFormatForLocale({"HH", "d MMMM y"}), 1);
    EXPECT_EQ(Calculator::timeFormatForLocale({"H時", "y年M月d日"}), 1);
    EXPECT_EQ(Calculator::timeFormatForLocale({"a h", "y. MMMM d."}), 0);
}

TEST(CalculatorLocale, DateFormatFollowsTheLongDateOrder)
{
    // Month first, or a pattern without a spelled-out month: month first.
    EXPECT_EQ(Calculator::dateFormatForLocale({"h a", "MMMM d, y"}), 0);
    EXPECT_EQ(Calculator::dateFormatForLocale({"H", "y年M月d日"}), 0);
    EXPECT_EQ(Calculator::dateFormatForLocale({"H", "MMMM y"}), 0);
    // Day before year.
    EXPECT_EQ(Calculator::dateFormatForLocale({"HH", "d MMMM y"}), 1);
    EXPECT_EQ(Calculator::dateFormatForLocale({"HH", "d. MMMM y"}), 1);
    // Year before day.
    EXPECT_EQ(Calculator::dateFormatForLocale({"H", "y. MMMM d."}), 2);
    EXPECT_EQ(Calculator::dateFormatForLocale({"H", "y MMMM d"}), 2);
}

TEST(CalculatorLocale, CreationAndResetTakeTheCalculatorsLocale)
{
    Calculator uk(LocaleFormats{"HH", "d MMMM y"});
    EXPECT_EQ(uk.timeFormat, 1);
    EXPECT_EQ(uk.dateFormat, 1);

    Calculator us(kUS);
    EXPECT_EQ(us.timeFormat, 0);
    EXPECT_EQ(us.dateFormat, 0);
    us.setLocale({"H", "y. MMMM d."});
    EXPECT_EQ(us.timeFormat, 0); // only a reset rereads the locale
    us.resetDefaults();
    EXPECT_EQ(us.timeFormat, 1);
    EXPECT_EQ(us.dateFormat, 2);
}

TEST(CalculatorState, GridLineWidthByMachine)
{
    EXPECT_EQ(Calculator::gridLineWidthForMachine("iPhone6,1"), 0.3);
    EXPECT_EQ(Calculator::gridLineWidthForMachine("iPhone10,6"), 0.3);
    EXPECT_EQ(Calculator::gridLineWidthForMachine("iPhone5,4"), 0.25);
    EXPECT_EQ(Calculator::gridLineWidthForMachine("iPad6,12"), 0.25);
    EXPECT_EQ(Calculator::gridLineWidthForMachine("i386"), 0.25);
    EXPECT_EQ(Calculator::gridLineWidthForMachine("x86_64"), 0.3);
    EXPECT_EQ(Calculator(kUS).gridAdjustment.size(), 69u);
}
