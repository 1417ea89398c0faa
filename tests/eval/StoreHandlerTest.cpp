#include "eval/StoreHandler.h"

#include "core/Calculator.h"
#include "core/RandomSource.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/services/StatGraphManager.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;

class RecordingYEq : public YEqManager {
public:
    std::map<int, Ops> equations;
    std::map<int, std::vector<double>> starts;
    int initSeqResult = 0;

    void clearAll() override {}
    std::string eqString(int) const override { return {}; }
    void changeMode(int) override {}
    std::optional<Ops> plotForFunction(int) const override { return std::nullopt; }
    std::shared_ptr<VQStack> rpnForFunction(int) override { return nullptr; }
    int seqFlagsFor(int) override { return 0; }
    int numSeqInitializersFor(int) const override { return 0; }
    void setYEqFunc(int token, const Ops& ops) override { equations[token] = ops; }
    void setYEqFunc(int, int, double, double, double, double) override {}
    void setFunction(int, bool) override {}
    int initSeq(int token, const VQList* list) override
    {
        if (initSeqResult == 0 && list)
            starts[token] = list->realList();
        return initSeqResult;
    }
    void setStyle(int, const VQColor&, int) override {}
    void setColor(const VQColor&, int) override {}
    bool shouldPlotFunction(int) const override { return true; }
    void deleteEquation(int) override {}
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

class RecordingStatGraph : public StatGraphManager {
public:
    double origin = 5;
    double offset = 5;
    void clearAll() override {}
    std::vector<std::shared_ptr<VQStatistics>> statInfo() const override { return {}; }
    void setPlotAxis(int, int) override {}
    void setPlotMark(int, int) override {}
    void setPlotType(int, int) override {}
    void setPlotVisible(int, bool) override {}
    void setPlotColor(int, const VQColor&) override {}
    void setHistogramXOrigin(double o) override { origin = o; }
    void setHistogramBarOffset(double o) override { offset = o; }
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

Operand realValue(double x, int sigFig = 15, int sigDec = -15)
{
    Operand v;
    v.kind = KindReal;
    v.value = {x, 0};
    v.sigFig = sigFig;
    v.sigDec = sigDec;
    return v;
}

Operand complexValue(double re, double im)
{
    Operand v;
    v.kind = KindComplex;
    v.value = {re, im};
    return v;
}

Operand listValue(std::initializer_list<double> xs)
{
    Operand v;
    v.kind = KindRealList;
    v.list = std::make_shared<VQList>();
    for (double x : xs)
        v.list->addReal(x, 15, -15);
    return v;
}

Operand stringValue(Ops ops)
{
    Operand v;
    v.kind = KindString;
    v.string = std::make_shared<Ops>(std::move(ops));
    return v;
}

Operand reference(int subKind, int index, std::string name = {}, int token = 0)
{
    Operand r;
    r.kind = KindVariable;
    r.location = 9;
    r.var.subKind = subKind;
    r.var.index = index;
    r.var.name = std::move(name);
    r.var.token = token;
    return r;
}

class StoreHandlerTest : public ::testing::Test {
protected:
    StoreHandlerTest()
    {
        calc.yEqManager = yEq;
        calc.statGraphManager = statGraph;
    }

    // Stores value into target; R is the answer.
    Operand store(const Operand& value, const Operand& target)
    {
        parser.setError(0);
        VQStack stack(&calc);
        stack.pushOperand(value, 3);
        Operand R;
        R.location = 5;
        handler.store(target, stack, R);
        return R;
    }
    Operand storeVar(const Operand& value, int token)
    {
        VQStack s(&calc);
        s.pushVar(token, 9);
        return store(value, *s.peek());
    }

    std::shared_ptr<RecordingYEq> yEq = std::make_shared<RecordingYEq>();
    std::shared_ptr<RecordingStatGraph> statGraph = std::make_shared<RecordingStatGraph>();
    Calculator calc;
    Parser& parser = calc.parser();
    StoreHandler handler{parser};
};

TEST_F(StoreHandlerTest, StoresAndAnswersTheValue)
{
    const Operand R = storeVar(realValue(5, 1, 0), 0x41);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(R.kind, KindReal);
    EXPECT_EQ(R.re(), 5);
    EXPECT_EQ(R.location, 5);
    EXPECT_EQ(calc.vars[0], std::complex<double>(5, 0));
    EXPECT_EQ(calc.varsSigFig[0], 1);
    EXPECT_EQ(calc.varsSigDec[0], 0);

    storeVar(complexValue(1, 2), 0x41);
    EXPECT_EQ(calc.vars[0], std::complex<double>(1, 2));
}

TEST_F(StoreHandlerTest, UntypedNamesAreTypedByTheValue)
{
    store(realValue(7), reference(VarNone, -1, "B"));
    EXPECT_EQ(calc.vars[1].real(), 7);
    store(realValue(8), reference(VarNone, -1, "θ"));
    EXPECT_EQ(calc.vars[26].real(), 8);
    store(listValue({1, 2}), reference(VarNone, -1, "ABC"));
    ASSERT_EQ(calc.lists.count("ABC"), 1u);
    EXPECT_EQ(calc.lists["ABC"].count(), 2);

    Operand m;
    m.kind = KindMatrix;
    m.matrix = std::make_shared<VQMatrix>(*VQMatrix::matrixWithRow(1, 1));
    const Operand R = store(m, reference(VarNone, -1, "Q"));
    EXPECT_EQ(parser.error(), 1);
    EXPECT_EQ(R.kind, KindError);
}

TEST_F(StoreHandlerTest, BadRealNamesWriteNothing)
{
    const auto before = calc.vars;
    store(realValue(5), reference(VarReal, -1, "AB"));
    EXPECT_EQ(parser.error(), 1);
    // One character that names no slot: nothing may land anywhere.
    const Operand R = store(realValue(5), reference(VarReal, -1, "a"));
    EXPECT_EQ(parser.error(), 1);
    EXPECT_EQ(R.kind, KindError);
    EXPECT_EQ(parser.errorToken(), 3);
    EXPECT_EQ(calc.vars, before);
}

TEST_F(StoreHandlerTest, TargetAndStackChecks)
{
    VQStack empty(&calc);
    Operand R;
    handler.store(reference(VarReal, 0), empty, R);
    EXPECT_EQ(parser.error(), 1);

    store(realValue(5), realValue(3));
    EXPECT_EQ(parser.error(), 27);
    EXPECT_EQ(parser.errorToken(), 0);

    // Dimensions are set through StoDim(, never through a plain store.
    store(realValue(5), reference(VarDim, -1));
    EXPECT_EQ(parser.error(), 27);

    // A value carrying an error stops the store with it.
    Operand bad;
    bad.error = 16;
    store(bad, reference(VarReal, 0));
    EXPECT_EQ(parser.error(), 16);
}

TEST_F(StoreHandlerTest, ListStoreKeepsItsOwnCopy)
{
    Operand value = listValue({1, 2});
    const Operand R = storeVar(value, 0x5D00);
    ASSERT_EQ(parser.error(), 0);
    VQList& stored = calc.lists["L₁"];
    ASSERT_EQ(stored.count(), 2);

    // Changing the stored list leaves the answer alone, and the other way round.
    stored.setReal(9, 15, -15, 0);
    EXPECT_EQ(R.list->realAtIndex(0), 1);
    value.list->setReal(7, 15, -15, 1);
    EXPECT_EQ(calc.lists["L₁"].realAtIndex(1), 2);

    storeVar(realValue(3), 0x5D00);
    EXPECT_EQ(parser.error(), 27);
}

TEST_F(StoreHandlerTest, ListIntoRealVariableBecomesListOfThatName)
{
    storeVar(listValue({4}), 0x41);
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.lists["A"].realAtIndex(0), 4);
}

TEST_F(StoreHandlerTest, ListElements)
{
    calc.lists["L₁"] = VQList();
    calc.lists["L₁"].addReal(1, 15, -15);
    calc.lists["L₁"].addReal(2, 15, -15);
    calc.lists["L₁"].addReal(3, 15, -15);
    auto element = [](int position) {
        Operand r = reference(VarListElement, 0, "L₁");
        r.var.elem1 = position;
        return r;
    };
    store(realValue(7, 1, 0), element(1));
    EXPECT_EQ(calc.lists["L₁"].realAtIndex(1), 7);
    EXPECT_EQ(calc.lists["L₁"].sigFigAtIndex(1), 1);
    // One past the end appends; two past is an error.
    store(realValue(8), element(3));
    EXPECT_EQ(calc.lists["L₁"].count(), 4);
    store(realValue(9), element(5));
    EXPECT_EQ(parser.error(), 24);
    store(realValue(9), element(-1));
    EXPECT_EQ(parser.error(), 24);
    EXPECT_EQ(calc.lists["L₁"].count(), 4);
    // Lists end at 999 elements.
    calc.lists["L₂"].resize(999);
    Operand last = reference(VarListElement, 1, "L₂");
    last.var.elem1 = 998;
    store(realValue(1), last);
    EXPECT_EQ(parser.error(), 0);
    last.var.elem1 = 999;
    store(realValue(1), last);
    EXPECT_EQ(parser.error(), 24);
    EXPECT_EQ(calc.lists["L₂"].count(), 999);

    store(complexValue(0, 1), element(0));
    EXPECT_EQ(calc.lists["L₁"].complexAtIndex(0), std::complex<double>(0, 1));
    store(listValue({1}), element(0));
    EXPECT_EQ(parser.error(), 27);
}

TEST_F(StoreHandlerTest, ListElementCreatesAMissingListOnlyWhenItStores)
{
    Operand r = reference(VarListElement, -1, "NEW");
    r.var.elem1 = 1;
    store(realValue(1), r);
    EXPECT_EQ(parser.error(), 24);
    EXPECT_EQ(calc.lists.count("NEW"), 0u);
    r.var.elem1 = 0;
    store(realValue(1), r);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.lists["NEW"].count(), 1);
}

TEST_F(StoreHandlerTest, MatricesAndCells)
{
    auto m = std::make_shared<VQMatrix>(*VQMatrix::matrixWithRow(2, 3));
    Operand value;
    value.kind = KindMatrix;
    value.matrix = m;
    storeVar(value, 0x5C00);
    ASSERT_EQ(parser.error(), 0);
    m->set(4, 0, 0);
    EXPECT_EQ(calc.matrices[0].row(0, 0), 0) << "the stored matrix is a copy";
    EXPECT_EQ(calc.matrices[0].dimCol(), 3u);

    auto cell = [](int row, int col) {
        Operand r = reference(VarMatrixElement, 0);
        r.var.elem1 = col;
        r.var.elem2 = row;
        return r;
    };
    store(realValue(6), cell(1, 2));
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.matrices[0].row(1, 2), 6);
    store(realValue(6), cell(2, 0));
    EXPECT_EQ(parser.error(), 24);
    store(realValue(6), cell(0, 3));
    EXPECT_EQ(parser.error(), 24);
    store(realValue(6), cell(-1, 0));
    EXPECT_EQ(parser.error(), 24);
    store(complexValue(1, 1), cell(0, 0));
    EXPECT_EQ(parser.error(), 27);
    storeVar(realValue(1), 0x5C01);
    EXPECT_EQ(parser.error(), 27);
}

TEST_F(StoreHandlerTest, WindowBoundsKeepTheStepsInLine)
{
    calc.vars[38] = -10;
    calc.vars[39] = 10;
    calc.vars[87] = 284;
    calc.vars[66] = 1;
    storeVar(realValue(2), 0x630A); // Xmin
    ASSERT_EQ(parser.error(), 0);
    EXPECT_DOUBLE_EQ(calc.vars[66].real(), 8.0 / 284);
    storeVar(realValue(12), 0x630A);
    EXPECT_EQ(calc.vars[38].real(), 12);
    EXPECT_DOUBLE_EQ(calc.vars[66].real(), 8.0 / 284);

    calc.vars[38] = -10;
    storeVar(realValue(0.1), 0x6326); // ΔX
    ASSERT_EQ(parser.error(), 0);
    EXPECT_DOUBLE_EQ(calc.vars[39].real(), -10 + 0.1 * 284);

    const auto before = calc.vars;
    storeVar(realValue(-1), 0x6326);
    EXPECT_EQ(parser.error(), 17);
    storeVar(complexValue(1, 1), 0x6326);
    EXPECT_EQ(parser.error(), 17);
    storeVar(complexValue(1, 1), 0x630C); // Ymin
    EXPECT_EQ(parser.error(), 17);
    storeVar(realValue(5), 0x633B); // scrWidth
    EXPECT_EQ(parser.error(), 27);
    EXPECT_EQ(calc.vars, before);
}

TEST_F(StoreHandlerTest, FinanceAndHistogramSideEffects)
{
    storeVar(realValue(12), 0x6330); // P/Y
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.vars[76].real(), 12);
    EXPECT_EQ(calc.vars[77].real(), 12);

    storeVar(realValue(1), 0x6302); // Xscl
    EXPECT_TRUE(std::isnan(statGraph->origin));
    EXPECT_EQ(statGraph->offset, 0);
    EXPECT_EQ(calc.vars[30].real(), 1);
}

TEST_F(StoreHandlerTest, SequenceStartsAndTableInput)
{
    storeVar(realValue(3), 0x6304); // u(ηMin)
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(yEq->starts[0x5E83], std::vector<double>{3});
    storeVar(listValue({1, 2}), 0x6305); // v(ηMin)
    EXPECT_EQ(yEq->starts[0x5E84], (std::vector<double>{1, 2}));
    yEq->initSeqResult = 13;
    storeVar(realValue(3), 0x6304);
    EXPECT_EQ(parser.error(), 13);
    storeVar(complexValue(1, 1), 0x6304);
    EXPECT_EQ(parser.error(), 27);

    storeVar(listValue({1, 2}), 0x632A); // TblInput
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.tableList.count(), 2);
    storeVar(realValue(3), 0x632A);
    EXPECT_EQ(parser.error(), 27);
}

TEST_F(StoreHandlerTest, StringsAndEquations)
{
    storeVar(stringValue({0x41, 0x70, 0x31}), 0xAA00);
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.strings[0], (Ops{0x41, 0x70, 0x31}));
    storeVar(realValue(1), 0xAA01);
    EXPECT_EQ(parser.error(), 27);
    // A string reference that names no string stores nothing and says so.
    store(stringValue({0x41}), reference(VarString, 0xAA0A));
    EXPECT_EQ(parser.error(), 27);
    store(stringValue({0x41}), reference(VarNone, -1, "S"));
    EXPECT_EQ(parser.error(), 27);

    storeVar(stringValue({0x58}), 0x5E10); // Y₁
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(yEq->equations[0x5E10], Ops{0x58});
    storeVar(realValue(5), 0x5E10);
    EXPECT_EQ(parser.error(), 27);
    store(stringValue({0x58}), reference(VarEquation, 0x5E30));
    EXPECT_EQ(parser.error(), 27);
    EXPECT_EQ(yEq->equations.count(0x5E30), 0u);
}

TEST_F(StoreHandlerTest, SeedMakesRandomRepeatable)
{
    storeVar(realValue(42), 0xAB);
    ASSERT_EQ(parser.error(), 0);
    const double first = RandomSource::shared().uniform();
    storeVar(realValue(42), 0xAB);
    EXPECT_EQ(RandomSource::shared().uniform(), first);
    storeVar(listValue({1}), 0xAB);
    EXPECT_EQ(parser.error(), 27);
}

} // namespace
} // namespace orvenda
