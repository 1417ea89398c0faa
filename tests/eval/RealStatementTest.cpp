#include "eval/RealStatement.h"

#include "ProgramTestSupport.h"
#include "core/Calculator.h"
#include "core/RandomSource.h"
#include "core/VQList.h"
#include "eval/Parser.h"
#include "eval/ProgramTokens.h"
#include "language/Vocabulary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

// The fast path is checked against the general evaluator, the reference: for each
// statement and starting state both run, and the fast path must either leave exactly what
// the general evaluator leaves (variables, lists, the random engine, the result's value,
// pair and location, or its decision) or hand the statement back having changed nothing.

namespace orvenda {
namespace {

using testing::ProgramHarness;

constexpr double kNegativeZero = -0.0;

struct Variable {
    char name;
    std::complex<double> value;
    int sigFig = 15;
    int sigDec = -15;
};

struct Element {
    std::complex<double> value;
    int sigFig = 15;
    int sigDec = -15;
};

struct Case {
    const char* program;
    // The statement checked (0-based) in the program.
    int statement;
    std::vector<Variable> variables;
    std::vector<Element> list1;
    // The fast path does the statement (else it must hand it back).
    bool taken;
};

// Everything a statement can change.
struct Snapshot {
    std::array<std::complex<double>, Calculator::kVarCount> vars;
    std::array<std::int32_t, Calculator::kVarCount> sigFigs;
    std::array<std::int32_t, Calculator::kVarCount> sigDecs;
    std::map<std::string, std::vector<std::tuple<double, double, int, int>>> lists;
    std::mt19937_64 random;

    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const Calculator& calc)
{
    Snapshot s{calc.locked()->vars, calc.locked()->varsSigFig, calc.locked()->varsSigDec, {}, RandomSource::shared().engineState()};
    for (const auto& [name, list] : calc.locked()->lists)
        for (const VQNumber& n : list.v())
            s.lists[name].emplace_back(n.r(), n.i(), n.sigFig(), n.sigDec());
    return s;
}

void restore(Calculator& calc, const Case& c)
{
    calc.locked()->vars = {};
    calc.locked()->varsSigFig = {};
    calc.locked()->varsSigDec = {};
    for (const Variable& v : c.variables) {
        const auto slot = static_cast<std::size_t>(v.name - 'A');
        calc.locked()->vars[slot] = v.value;
        calc.locked()->varsSigFig[slot] = v.sigFig;
        calc.locked()->varsSigDec[slot] = v.sigDec;
    }
    calc.locked()->lists.clear();
    if (!c.list1.empty()) {
        VQList& l1 = calc.locked()->lists[Vocabulary::shared().nameForOpcode(0x5D00)];
        for (const Element& e : c.list1) {
            if (e.value.imag() != 0)
                l1.addComplex(e.value);
            else
                l1.addReal(e.value.real(), e.sigFig, e.sigDec);
        }
    }
    RandomSource::shared().seed(20240611);
}

// The RPN of the statement as the interpreter caches it; the For( its End runs again gets
// ForNext( as the interpreter gives it.
VQStack statementRpn(Parser& parser, const Case& c, bool stepping)
{
    std::vector<std::uint32_t> ops = ProgramHarness::ops(c.program);
    parser.setError(0);
    parser.compile(ops);
    int at = 0;
    for (int k = 0; k < c.statement; ++k)
        at = parser.infixToRPN(&ops, at, false);
    parser.infixToRPN(&ops, at, false);
    EXPECT_EQ(parser.error(), 0) << c.program;
    VQStack rpn = parser.rpnStack();
    if (stepping)
        for (Operand& r : rpn.stack())
            if (r.kind == KindOpcode && ProgramTokens::token(r.opcode) == ProgramTokens::kFor)
                r.opcode = ProgramTokens::kForNext;
    return rpn;
}

void expectSameAsGeneral(const Case& c, bool stepping = false)
{
    SCOPED_TRACE(std::string(c.program) + " statement " + std::to_string(c.statement));
    Calculator calc;
    // Statements run inside an evaluation, which holds the state lock.
    const auto hold = calc.lockState();
    Parser& parser = calc.parser();
    const VQStack rpn = statementRpn(parser, c, stepping);
    const std::unique_ptr<RealStatement> fast = RealStatement::compile(rpn);
    ASSERT_TRUE(fast) << "not compiled";

    restore(calc, c);
    const Snapshot before = snapshot(calc);
    parser.setError(0);
    const Operand general = parser.evalRPN(rpn, false, true);
    const Snapshot afterGeneral = snapshot(calc);

    restore(calc, c);
    PairedReal value{};
    bool condition = false;
    const RealStatement::Outcome outcome = fast->run(calc, value, condition);
    const Snapshot afterFast = snapshot(calc);

    if (!c.taken) {
        EXPECT_EQ(outcome, RealStatement::Outcome::General);
        EXPECT_TRUE(afterFast == before) << "a statement handed back changed something";
        return;
    }
    ASSERT_NE(outcome, RealStatement::Outcome::General);
    ASSERT_EQ(general.error, 0);
    EXPECT_TRUE(afterFast == afterGeneral) << "the state differs from the general evaluator's";
    EXPECT_EQ(fast->location(), general.location);
    if (outcome == RealStatement::Outcome::Value) {
        EXPECT_EQ(general.kind, KindReal);
        EXPECT_EQ(value.value, general.re());
        EXPECT_FALSE(std::signbit(general.im()));
        EXPECT_EQ(value.sigFig, general.sigFig);
        EXPECT_EQ(value.sigDec, general.sigDec);
    } else {
        EXPECT_EQ(general.kind, KindBranch);
        EXPECT_EQ(condition, general.ints[2] != 0);
        EXPECT_EQ(fast->opcode(), general.opcode);
    }
}

TEST(RealStatementTest, ValuesAndStoresMatchTheGeneralEvaluator)
{
    const Case cases[] = {
        {"A+I->A", 0, {{'A', 5e11}, {'I', 1e6, 1, 6}}, {}, true},
        // Crossing a power of ten, where the pair comes from the logarithm itself.
        {"A+I->A", 0, {{'A', 999999999999999.0}, {'I', 1, 1, 0}}, {}, true},
        {"A-B", 0, {{'A', 1.25, 3, -2}, {'B', 0.005, 1, -3}}, {}, true},
        {"A*B/C->D", 0, {{'A', 2.5, 2, -1}, {'B', 4e-7, 1, -7}, {'C', 3, 1, 0}}, {}, true},
        {"-A+abs(B)", 0, {{'A', 7, 1, 0}, {'B', -0.125, 3, -3}}, {}, true},
        {"fPart(A)", 0, {{'A', -2.75, 3, -2}}, {}, true},
        {"iPart(A)", 0, {{'A', -2.75, 3, -2}}, {}, true},
        {"int(A)", 0, {{'A', -2.75, 3, -2}}, {}, true},
        {"abs(A)", 0, {{'A', -2.75, 3, -2}}, {}, true},
        {"A²->θ", 0, {{'A', 3.5, 2, -1}}, {}, true},
        {"0->A", 0, {{'A', 8}}, {}, true},
        {"12.50->A", 0, {}, {}, true},
        {"A=B", 0, {{'A', 1}, {'B', 1 + 1e-12}}, {}, true},
        {"A≠B or not(C)", 0, {{'A', 1}, {'B', 2}, {'C', 0}}, {}, true},
        {"A<B and B≥C xor A>C", 0, {{'A', 1}, {'B', 2}, {'C', 2}}, {}, true},
        {"fPart(I/2)=0", 0, {{'I', 7, 1, 0}}, {}, true},
        // A pair wider than a byte is kept in the result but stored a byte each.
        {"A*B->C", 0, {{'A', 1e150}, {'B', 1e50}}, {}, true},
        {"A/B", 0, {{'A', 1}, {'B', 0}}, {}, false},
        {"A*B->C", 0, {{'A', 1e200}, {'B', 1e200}}, {}, false},
        {"A+1", 0, {{'A', {1, 2}}}, {}, false},
        {"A->B", 0, {{'A', {1, kNegativeZero}}}, {}, false},
        {"A+1->B", 0, {{'A', std::numeric_limits<double>::infinity()}}, {}, false},
    };
    for (const Case& c : cases)
        expectSameAsGeneral(c);
}

TEST(RealStatementTest, ListElementsMatchTheGeneralEvaluator)
{
    const std::vector<Element> squares = {{1, 1, 0}, {4, 1, 0}, {9, 1, 0}};
    const Case cases[] = {
        {"I²->L₁(I)", 0, {{'I', 2, 1, 0}}, squares, true},
        // One past the end appends.
        {"I²->L₁(I)", 0, {{'I', 4, 1, 0}}, squares, true},
        {"I²->L₁(I)", 0, {{'I', 1, 1, 0}}, {}, true},
        {"L₁(I)+1->A", 0, {{'I', 3, 1, 0}}, squares, true},
        {"I²->L₁(I)", 0, {{'I', 5}}, squares, false},
        {"I²->L₁(I)", 0, {{'I', 1.5}}, squares, false},
        {"I²->L₁(I)", 0, {{'I', 0}}, squares, false},
        {"L₁(I)", 0, {{'I', 4}}, squares, false},
        {"L₁(I)", 0, {{'I', 1}}, {}, false},
        {"L₁(I)", 0, {{'I', 1}}, {{{1, 2}}}, false},
        // dim( counts the list; a store one past its end appends.
        {"I->L₁(dim(L₁)+1)", 0, {{'I', 7, 1, 0}}, squares, true},
        {"dim(L₁)", 0, {}, squares, true},
        {"2dim(L₁)-L₁(dim(L₁))->A", 0, {}, squares, true},
        {"dim(L₁)", 0, {}, {{{1, 2}}}, true},
        {"I->L₁(dim(L₁)+1)", 0, {{'I', 7, 1, 0}}, {}, false},
        {"I->L₁(dim(L₁)+2)", 0, {{'I', 7, 1, 0}}, squares, false},
        // The append written the other way round, with a sum stored, or counting another list.
        {"I->L₁(1+dim(L₁))", 0, {{'I', 7, 1, 0}}, squares, true},
        {"I+.5->L₁(dim(L₁)+1)", 0, {{'I', 7, 1, 0}}, squares, true},
        {"I->L₁(dim(L₁)+1)", 0, {{'I', {7, 1}}}, squares, false},
    };
    for (const Case& c : cases)
        expectSameAsGeneral(c);
    // A full list takes no element more: the statement goes back to the general evaluator,
    // which reports the dimension error.
    const std::vector<Element> full(999, Element{2, 1, 0});
    expectSameAsGeneral({"I->L₁(dim(L₁)+1)", 0, {{'I', 7, 1, 0}}, full, false});
}

TEST(RealStatementTest, DecisionsMatchTheGeneralEvaluator)
{
    const Case cases[] = {
        {"If A>5:1->B", 0, {{'A', 6}}, {}, true},
        {"If A>5:1->B", 0, {{'A', 5}}, {}, true},
        {"While I<10:I+1->I:End", 0, {{'I', 3}}, {}, true},
        {"Repeat A:1->A:End", 0, {{'A', 0}}, {}, true},
        {"While I<10:I+1->I:End", 2, {}, {}, true},
        {"For(I,1,10):End", 0, {{'I', 99}}, {}, true},
        {"For(I,5,1,-1):End", 0, {}, {}, true},
        {"For(I,B,B-1):End", 0, {{'B', 2.5, 2, -1}}, {}, true},
        {"If A:Then:1->B:End", 0, {{'A', {0, 1}}}, {}, false},
    };
    for (const Case& c : cases)
        expectSameAsGeneral(c);
}

TEST(RealStatementTest, TheForStepMatchesTheGeneralEvaluator)
{
    const Case cases[] = {
        {"For(I,1,10):End", 0, {{'I', 9, 1, 0}}, {}, true},
        {"For(I,1,10):End", 0, {{'I', 10, 1, 0}}, {}, true},
        {"For(I,1,10,2.5):End", 0, {{'I', 9, 3, -2}}, {}, true},
        {"For(I,10,1,-1):End", 0, {{'I', 1}}, {}, true},
        {"For(I,1,N):End", 0, {{'I', 4}, {'N', 5}}, {}, true},
        {"For(I,1,10,0):End", 0, {{'I', 1}}, {}, false},
        {"For(I,1,10):End", 0, {{'I', {1, 1}}}, {}, false},
    };
    for (const Case& c : cases)
        expectSameAsGeneral(c, true);
}

// A draw is the general handler's draw; a statement handed back after its draw leaves the
// engine where it was, so the general evaluator draws the same number.
TEST(RealStatementTest, RandomDrawsMatchAndAreTakenBackWhenHandedBack)
{
    const Case cases[] = {
        {"X+2randInt(0,1)-1->X", 0, {{'X', 0}}, {}, true},
        {"randInt(-5,5.9)", 0, {}, {}, true},
        {"X*2randInt(1,2)->X", 0, {{'X', 1e308}}, {}, false},
        {"randInt(0,1ᴱ17)", 0, {}, {}, false},
    };
    for (const Case& c : cases)
        expectSameAsGeneral(c);
}

TEST(RealStatementTest, StatementsOutsideThePathAreNotCompiled)
{
    Calculator calc;
    // Statements run inside an evaluation, which holds the state lock.
    const auto hold = calc.lockState();
    Parser& parser = calc.parser();
    for (const char* program : {"sin(A)", "A->Xmin", "{1,2}->L₁", "Disp A", "A+Ans", "randInt(1,6,3)",
                                "Input A", "\"AB\"->Str1", "A+L₁"}) {
        const VQStack rpn = statementRpn(parser, {program, 0, {}, {}, false}, false);
        EXPECT_FALSE(RealStatement::compile(rpn)) << program;
    }
}

} // namespace
} // namespace orvenda
