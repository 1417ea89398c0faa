#include "eval/StoreHandler.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "core/services/StatGraphManager.h"
#include "eval/Parser.h"

#include "EvalTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

// Stores an entry line can make are in tests/cases/store.cases; these are the targets an
// entry cannot name, refused stores that must write nothing, and the graph services.

namespace orvenda {
namespace {

using namespace orvenda::testing;
using Ops = std::vector<std::uint32_t>;

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
    double histogramXOrigin() const override { return origin; }
    void setHistogramXOrigin(double o) override { origin = o; }
    void setHistogramBarOffset(double o) override { offset = o; }
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

Operand reference(int subKind, int index, std::string name = {}, int elem1 = 0)
{
    Operand r;
    r.kind = KindVariable;
    r.location = 9;
    r.var.subKind = subKind;
    r.var.index = index;
    r.var.name = std::move(name);
    r.var.elem1 = elem1;
    return r;
}

class StoreHandlerTest : public ::testing::Test {
protected:
    StoreHandlerTest()
    {
        calc.yEqManager = yEq;
        calc.statGraphManager = statGraph;
    }

    // Stores value (at token 3) into target and gives the error.
    int store(const Operand& value, const Operand& target)
    {
        parser.setError(0);
        VQStack stack(&calc);
        stack.pushOperand(value, 3);
        Operand R;
        handler.store(target, stack, R);
        EXPECT_EQ(R.kind == KindError, parser.error() != 0);
        return parser.error();
    }
    int storeVar(const Operand& value, int token)
    {
        VQStack s(&calc);
        s.pushVar(token, 9);
        return store(value, *s.peek());
    }

    std::shared_ptr<RecordingYEq> yEq = std::make_shared<RecordingYEq>();
    std::shared_ptr<RecordingStatGraph> statGraph = std::make_shared<RecordingStatGraph>();
    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser& parser = calc.parser();
    StoreHandler handler{parser};
};

TEST_F(StoreHandlerTest, UntypedNamesAreTypedByTheValue)
{
    EXPECT_EQ(store(real(7), reference(VarNone, -1, "B")), 0);
    EXPECT_EQ(calc.locked()->vars[1].real(), 7);
    store(real(8), reference(VarNone, -1, "θ"));
    EXPECT_EQ(calc.locked()->vars[26].real(), 8);
    store(list({1, 2}), reference(VarNone, -1, "ABC"));
    EXPECT_EQ(calc.locked()->lists["ABC"].count(), 2);
    EXPECT_EQ(store(matrix(1, 1, {0}), reference(VarNone, -1, "Q")), 1);
    EXPECT_EQ(store(string({0x41}), reference(VarNone, -1, "S")), 27);
}

TEST_F(StoreHandlerTest, RefusedStoresWriteNothing)
{
    const auto vars = calc.locked()->vars;
    EXPECT_EQ(store(real(5), reference(VarReal, -1, "AB")), 1);
    // One character that names no slot: nothing may land anywhere.
    EXPECT_EQ(store(real(5), reference(VarReal, -1, "a")), 1);
    EXPECT_EQ(parser.errorToken(), 3);
    EXPECT_EQ(store(real(5), real(3)), 27);
    EXPECT_EQ(parser.errorToken(), 0);
    // Dimensions are set through StoDim(, never through a plain store.
    EXPECT_EQ(store(real(5), reference(VarDim, -1)), 27);
    Operand bad;
    bad.error = 16;
    EXPECT_EQ(store(bad, reference(VarReal, 0)), 16);
    VQStack empty(&calc);
    Operand R;
    handler.store(reference(VarReal, 0), empty, R);
    EXPECT_EQ(parser.error(), 1);
    EXPECT_EQ(calc.state().vars, vars);

    // A missing list is made only by a store that succeeds.
    EXPECT_EQ(store(real(1), reference(VarListElement, -1, "NEW", 1)), 24);
    EXPECT_EQ(calc.state().lists.count("NEW"), 0u);
    EXPECT_EQ(store(real(1), reference(VarListElement, -1, "NEW", 0)), 0);
    EXPECT_EQ(calc.state().lists["NEW"].count(), 1);
    // A string reference that names no string.
    EXPECT_EQ(store(string({0x41}), reference(VarString, 0xAA0A)), 27);
    EXPECT_EQ(calc.state().strings[0].size(), 0u);
}

TEST_F(StoreHandlerTest, EquationsSequencesAndHistogram)
{
    EXPECT_EQ(storeVar(string({0x58}), 0x5E10), 0);  // Y₁
    EXPECT_EQ(yEq->equations[0x5E10], Ops{0x58});
    EXPECT_EQ(store(string({0x58}), reference(VarEquation, 0x5E30)), 27);
    EXPECT_EQ(yEq->equations.count(0x5E30), 0u);

    EXPECT_EQ(storeVar(real(3), 0x6304), 0);  // u(ηMin)
    EXPECT_EQ(yEq->starts[0x5E83], std::vector<double>{3});
    storeVar(list({1, 2}), 0x6305);  // v(ηMin)
    EXPECT_EQ(yEq->starts[0x5E84], (std::vector<double>{1, 2}));
    EXPECT_EQ(storeVar(cplx(1, 1), 0x6304), 27);
    yEq->initSeqResult = 13;
    EXPECT_EQ(storeVar(real(3), 0x6304), 13);

    EXPECT_EQ(storeVar(real(1), 0x6302), 0);  // Xscl resets the histogram
    EXPECT_TRUE(std::isnan(statGraph->origin));
    EXPECT_EQ(statGraph->offset, 0);
}

} // namespace
} // namespace orvenda
