#include "eval/VariableStore.h"

#include "core/Calculator.h"
#include "core/RandomSource.h"
#include "core/VQStack.h"
#include "eval/Parser.h"

#include "EvalTestSupport.h"
#include "ProgramTestSupport.h"

#include <gtest/gtest.h>

// Answers typed at a prompt go into their variable through the parser's store; unlike the
// store arrow it never grows a list and stores nothing into a window variable's neighbours.

namespace orvenda {
namespace {

using namespace orvenda::testing;

constexpr int kValueAt = 3;

class VariableStoreTest : public ::testing::Test {
protected:
    VariableStoreTest() { calc.yEqManager = yEq; }

    // Stores value (at token 3) into target and gives the error; a failure points at the
    // value.
    int store(Operand value, const Operand& target)
    {
        parser.setError(0);
        parser.setErrorToken(0);
        value.location = kValueAt;
        parser.store(value, target);
        if (parser.error() != 0 && target.kind == KindVariable) {
            EXPECT_EQ(parser.errorToken(), kValueAt);
        }
        return parser.error();
    }
    // The reference the parser makes for a token.
    Operand var(int token)
    {
        VQStack s(&calc);
        s.pushVar(token, 9);
        return *s.peek();
    }
    Operand named(int subKind, std::string name, int elem1 = 0)
    {
        Operand r;
        r.kind = KindVariable;
        r.var.subKind = subKind;
        r.var.index = -1;
        r.var.name = std::move(name);
        r.var.elem1 = elem1;
        return r;
    }

    std::shared_ptr<RecordingYEq> yEq = std::make_shared<RecordingYEq>();
    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser& parser = calc.parser();
};

TEST_F(VariableStoreTest, RealVariables)
{
    EXPECT_EQ(store(real(5, 0, 3, -2), var(0x41)), 0);
    EXPECT_EQ(calc.getVar(0).value, std::complex<double>(5, 0));
    EXPECT_EQ(calc.getVar(0).sigFig, 3);
    // A name seen first here is typed by its value: one letter names its slot.
    EXPECT_EQ(store(cplx(1, 2), named(VarNone, "B")), 0);
    EXPECT_EQ(calc.getVar(1).value, std::complex<double>(1, 2));
    EXPECT_EQ(store(real(1), named(VarNone, "AB")), 1);
    EXPECT_EQ(store(real(1), named(VarReal, "?")), 1);
    EXPECT_EQ(store(matrix(1, 1, {1}), named(VarNone, "C")), 1);
    EXPECT_EQ(store(string({0x41}), var(0x41)), 27);
    EXPECT_EQ(calc.getVar(0).value, std::complex<double>(5, 0));
    EXPECT_EQ(store(real(1), real(1)), 27);
}

TEST_F(VariableStoreTest, TableInputTakesOnlyLists)
{
    EXPECT_EQ(store(list({1, 2}), var(0x632A)), 0);
    EXPECT_EQ(calc.locked()->tableList.realList(), (std::vector<double>{1, 2}));
    EXPECT_EQ(store(real(3), var(0x632A)), 27);
    EXPECT_EQ(calc.locked()->tableList.count(), 2);
}

TEST_F(VariableStoreTest, ListsAndElementsKeepTheirLength)
{
    EXPECT_EQ(store(list({1, 2, 3}), named(VarList, "L₁")), 0);
    EXPECT_EQ(store(list({{1, 1}}), named(VarList, "L₁")), 27);
    EXPECT_EQ(store(real(7), named(VarListElement, "L₁", 3)), 24);
    EXPECT_EQ(store(real(7), named(VarListElement, "L₂", 0)), 24);
    EXPECT_EQ(store(cplx(0, 7), named(VarListElement, "L₁", 1)), 0);
    EXPECT_EQ(store(string({0x41}), named(VarListElement, "L₁", 1)), 27);
    const VQList& l = calc.locked()->lists.at("L₁");
    ASSERT_EQ(l.count(), 3);
    EXPECT_EQ(l.complexAtIndex(1), std::complex<double>(0, 7));
    EXPECT_EQ(calc.locked()->lists.at("L₂").count(), 0);
}

TEST_F(VariableStoreTest, MatricesAndCells)
{
    Operand a = var(0x5C00);
    EXPECT_EQ(store(matrix(2, 2, {1, 2, 3, 4}), a), 0);
    Operand cell = a;
    cell.var.subKind = VarMatrixElement;
    cell.var.elem1 = 1;  // column
    cell.var.elem2 = 0;  // row
    EXPECT_EQ(store(real(9), cell), 0);
    EXPECT_EQ(calc.locked()->matrices[0].row(0, 1), 9);
    cell.var.elem2 = 2;
    EXPECT_EQ(store(real(9), cell), 24);
    cell.var.elem2 = 1;
    EXPECT_EQ(store(cplx(1, 1), cell), 27);
    EXPECT_EQ(store(real(1), a), 27);
}

TEST_F(VariableStoreTest, StringsEquationsAndTheSeed)
{
    EXPECT_EQ(store(string({0x41, 0x42}), var(0xAA00)), 0);
    EXPECT_EQ(calc.locked()->strings[0], (std::vector<std::uint32_t>{0x41, 0x42}));
    EXPECT_EQ(store(real(1), var(0xAA01)), 27);
    EXPECT_EQ(store(string({0x58, 0x0D}), var(0x5E10)), 0);
    EXPECT_EQ(yEq->equations.at(0x5E10), (std::vector<std::uint32_t>{0x58, 0x0D}));
    EXPECT_EQ(store(real(5), var(0x5E10)), 27);
    // The same seed, the same numbers.
    EXPECT_EQ(store(real(42.7), var(0xAB)), 0);
    const double first = RandomSource::shared().uniform();
    EXPECT_EQ(store(real(42), var(0xAB)), 0);
    EXPECT_EQ(RandomSource::shared().uniform(), first);
    EXPECT_EQ(store(list({1}), var(0xAB)), 27);
}

// A program's prompt stores its answer the same way: a string for A is refused.
TEST(VariableStorePromptTest, AnAnswerOfTheWrongKindIsRefused)
{
    ProgramHarness h;
    h.store("P", "5->A:Prompt A");
    ASSERT_EQ(h.enter("prgmP").kind, KindInputRequest);
    EXPECT_EQ(h.enter("\"X\"").error, 27);
    EXPECT_EQ(h.var('A'), 5);
}

} // namespace
} // namespace orvenda
