#include "core/VQStack.h"

#include "core/services/EquationEvaluator.h"
#include "language/Precedence.h"
#include "language/Vocabulary.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace orvenda;
using namespace orvenda::test;

namespace {

constexpr int Y1 = 0x5E10;
constexpr int Y2 = 0x5E11;
constexpr int Y3 = 0x5E12;
using C = std::complex<double>;

// Evaluates a compiled equation as the value of its first record.
class FakeEvaluator : public EquationEvaluator {
public:
    int seqToken = 0;
    double seqN = -1;
    Operand failWith;
    bool fail = false;

    Operand evalSeqNum(int token, double n) override
    {
        seqToken = token;
        seqN = n;
        Operand r = operandOf(KindReal);
        r.value = {n * 2, 0};
        return r;
    }
    Operand evaluate(const VQStack& rpn) override { return fail ? failWith : rpn.getValueAt(0); }
};

void expectValue(const Operand& r, int kind, C value, int sigFig, int sigDec)
{
    EXPECT_EQ(r.kind, kind);
    EXPECT_EQ(r.value, value);
    EXPECT_EQ(r.sigFig, sigFig);
    EXPECT_EQ(r.sigDec, sigDec);
}

void expectError(const Operand& r, int error)
{
    EXPECT_EQ(r.kind, KindError);
    EXPECT_EQ(r.error, error);
}

std::string listName(int token) { return Vocabulary::shared().nameForOpcode(token); }

class StackTest : public ::testing::Test {
protected:
    Calculator calc;
    VQStack s{&calc};
    std::shared_ptr<FakeYEq> yEq = std::make_shared<FakeYEq>();
    std::shared_ptr<FakeEvaluator> evaluator = std::make_shared<FakeEvaluator>();

    void SetUp() override { yEq->calc = &calc; }
    void wireEquations()
    {
        calc.yEqManager = yEq;
        calc.equationEvaluator = evaluator;
    }
    Operand resolveVar(int token)
    {
        VQStack t(&calc);
        t.pushVar(token, 4);
        return t.getValueAt(0);
    }
    // The value of an element reference pushed with the given indexes.
    Operand element(int token, int elem1, int elem2 = 0, const std::string& name = {})
    {
        VQStack t(&calc);
        t.pushVar(token, 6);
        t.peek()->var.elem1 = elem1;
        t.peek()->var.elem2 = elem2;
        if (!name.empty())
            t.peek()->var.name = name;
        return t.getValueAt(0);
    }
    void pushCount(int n)
    {
        for (int k = 0; k < n; ++k)
            s.pushReal(k, 15, -15, k);
    }
};

} // namespace

// ---- Storage ----

TEST_F(StackTest, GrowsByTenAndClearKeepsCapacity)
{
    EXPECT_EQ(s.stackReserve(), 10);
    pushCount(10);
    EXPECT_EQ(s.stackReserve(), 10);
    s.pushReal(10, 15, -15, 10);
    EXPECT_EQ(s.stackReserve(), 20);
    EXPECT_EQ(s.count(), 11);
    EXPECT_EQ(s.opAtIndex(10)->re(), 10);
    EXPECT_EQ(s.opAtIndex(0)->location, 0);
    EXPECT_EQ(s.peek()->re(), 10);
    EXPECT_EQ(s.lastOperand()->re(), 0);
    EXPECT_EQ(s.opAtIndex(11), nullptr);
    EXPECT_EQ(s.top(), 11);
    EXPECT_EQ(s.stack().size(), 11u);

    s.setHasDecimalPoint(true);
    s.clear();
    EXPECT_EQ(s.count(), 0);
    EXPECT_EQ(s.stackReserve(), 20);
    EXPECT_FALSE(s.hasDecimalPoint());
}

TEST_F(StackTest, EmptyStackAnswersNothing)
{
    EXPECT_FALSE(s.pop().has_value());
    EXPECT_EQ(s.peek(), nullptr);
    EXPECT_EQ(s.lastOperand(), nullptr);
    EXPECT_EQ(s.opAtIndex(0), nullptr);
    EXPECT_EQ(s.opAtIndex(-1), nullptr);
    Operand v = s.popValue();
    expectValue(v, KindReal, 0, 10, -10);
    EXPECT_EQ(v.location, 0);
    expectValue(s.getValueWithOp(nullptr), KindReal, 0, 10, -10);
}

// ---- Push forms ----

TEST_F(StackTest, PushFormsSetTheirPairsKindsAndPrecedence)
{
    s.pushReal(2.5, 3, -1, 4);
    Operand r = *s.pop();
    expectValue(r, KindReal, 2.5, 3, -1);
    EXPECT_EQ(r.location, 4);
    // The slot just vacated held a pair of (3, -1); a complex push must not inherit it.
    s.pushComplex({1, -2}, 5);
    expectValue(*s.peek(), KindComplex, C(1, -2), 15, -15);
    EXPECT_EQ(s.peek()->displayMod, 0);
    s.pushList(std::make_shared<VQList>(complexes({{1, 1}})), 6);
    EXPECT_EQ(s.peek()->kind, KindRealList); // even for a complex list

    // An opcode keeps its whole word and takes the precedence of its low half.
    const std::uint32_t constant = 0xBB5E | (7u << 16);
    s.pushOpcode(constant, 2);
    EXPECT_EQ(s.peek()->kind, KindOpcode);
    EXPECT_EQ(s.peek()->opcode, constant);
    EXPECT_EQ(s.peek()->precedence, Precedence::opOrder(0xBB5E));
    s.pushOpcode(0x70, 3); // +
    EXPECT_EQ(s.peek()->precedence, Precedence::opOrder(0x70));
    EXPECT_NE(s.peek()->precedence, Precedence::notAnOperator);

    // A pushed copy is whole (error included) and the caller's record gets the location.
    Operand op = operandOf(KindReal);
    op.value = {9, 0};
    op.error = 3;
    s.pushOperand(op, 12);
    EXPECT_EQ(op.location, 12);
    EXPECT_EQ(s.peek()->location, 12);
    EXPECT_EQ(s.peek()->error, 3);
    // Pushing a record that lives in the stack itself, across a growth.
    s.clear();
    s.pushOperand(op, 0);
    for (int k = 0; k < 9; ++k)
        s.pushOperand(*s.lastOperand(), k);
    EXPECT_EQ(s.count(), 10);
    s.pushOperand(*s.lastOperand(), 99);
    EXPECT_EQ(s.count(), 11);
    EXPECT_EQ(s.peek()->value, C(9, 0));
    EXPECT_EQ(s.peek()->location, 99);
}

TEST_F(StackTest, PushVarClassifiesEveryVariableFamily)
{
    struct Case {
        int token, subKind, index, tokenField;
    };
    const Case cases[] = {
        {0x41, VarReal, 0, 0x41},          {0x5A, VarReal, 25, 0x5A},
        {0x5B, VarReal, 26, 0x5B},         {0xBBAA, VarReal, 27, 0xBBAA},
        {0x6300, VarReal, 28, 0x6300},     {0x633C, VarReal, 88, 0x633C},
        {0x6200, VarReal, 89, 0x6200},     {0x623C, VarReal, 149, 0x623C},
        {0x1020, VarReal, 212, 0x1020},    {0x1025, VarReal, 217, 0x1025},
        {0x5D00, VarList, 0, 0x5D00},      {0x5D05, VarList, 5, 0x5D05},
        {0x5C00, VarMatrix, 0, 0x5C00},    {0x5C09, VarMatrix, 9, 0x5C09},
        {0xAB, VarSeed, -1, 0xAB},         {0xB5, VarDim, -1, 0xB5},
        {0x1002, VarListElement, 0, 1},    {0x1007, VarListElement, 5, 1},
        {0x1008, VarMatrixElement, 0, 1},  {0x1011, VarMatrixElement, 9, 1},
        {0xAA00, VarString, 0xAA00, 0xAA00}, {0xAA09, VarString, 0xAA09, 0xAA09},
        {0x5E10, VarEquation, 0x5E10, 0x5E10}, {0x5E2B, VarEquation, 0x5E2B, 0x5E2B},
        {0x5E45, VarEquation, 0x5E45, 0x5E45}, {0x5E82, VarEquation, 0x5E82, 0x5E82},
        {0x5EA9, VarEquation, 0x5EA9, 0x5EA9}, {0x6109, VarGDB, 0x6109, 0x6109},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        s.clear();
        s.pushVar(c.token, 3);
        ASSERT_EQ(s.count(), 1);
        const Operand& r = *s.peek();
        EXPECT_EQ(r.kind, KindVariable);
        EXPECT_EQ(r.var.subKind, c.subKind);
        EXPECT_EQ(r.var.index, c.index);
        EXPECT_EQ(r.var.token, c.tokenField);
        EXPECT_EQ(r.location, 3);
    }
    s.pushVar(0x5D01, 0);
    EXPECT_EQ(s.peek()->var.name, listName(0x5D01));
    s.pushVar(0x1003, 0);
    EXPECT_EQ(s.peek()->var.name, listName(0x5D01));
    s.pushVar(0x41, 0);
    EXPECT_TRUE(s.peek()->var.name.empty());

    // A token naming no variable pushes an undefined error.
    for (int token : {0x30, 0x5E1A, 0x5E83, 0x5D06, 0x5C0A, 0x6245, 0x1001, 0x1026}) {
        SCOPED_TRACE(token);
        s.clear();
        s.pushVar(token, 9);
        ASSERT_EQ(s.count(), 1);
        expectError(*s.peek(), 16);
        EXPECT_EQ(s.peek()->location, 9);
        EXPECT_EQ(s.peek()->var.subKind, VarNone);
    }
}

TEST_F(StackTest, NamedListAndGDBRecords)
{
    s.pushVarName("ABC", 1);
    EXPECT_EQ(s.peek()->var.subKind, VarList);
    EXPECT_EQ(s.peek()->var.index, -1);
    s.pushGDBName("GDB3", 2);
    EXPECT_EQ(s.peek()->kind, KindGDBName);
    EXPECT_EQ(s.peek()->var.subKind, VarGDB);
    // A name record is not a variable reference: it resolves to itself.
    EXPECT_EQ(s.getValueAt(1).kind, KindGDBName);
}

TEST_F(StackTest, PushResultsNestsTheTopRecordsTopFirst)
{
    pushCount(4);
    s.pushResults(3, 8);
    ASSERT_EQ(s.count(), 2);
    const Operand& r = *s.peek();
    EXPECT_EQ(r.kind, KindResults);
    EXPECT_EQ(r.location, 8);
    EXPECT_EQ(r.displayMod, 0);
    ASSERT_TRUE(r.stack);
    ASSERT_EQ(r.stack->count(), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(r.stack->opAtIndex(k)->re(), 3 - k);
    EXPECT_EQ(r.stack->opAtIndex(0)->location, 3);

    // Asking for more than there is takes what there is.
    s.pushPrompt(5, 9);
    ASSERT_EQ(s.count(), 1);
    EXPECT_EQ(s.peek()->kind, KindPrompt);
    EXPECT_EQ(s.peek()->stack->count(), 2);
    EXPECT_EQ(s.peek()->stack->opAtIndex(0)->kind, KindResults);
}

// ---- Ownership ----

TEST_F(StackTest, PoppedAndCopiedRecordsOutliveTheStack)
{
    auto list = std::make_shared<VQList>(reals({1, 2, 3}));
    s.pushList(list, 0);
    s.pushResults(1, 1);
    Operand results = *s.peek();
    std::optional<Operand> popped = s.pop();
    ASSERT_TRUE(popped);
    // The vacated slot is reused; the popped record is unaffected.
    s.pushReal(7, 15, -15, 2);
    s.pushReal(8, 15, -15, 3);
    s.clear();
    list.reset();
    ASSERT_TRUE(popped->stack);
    ASSERT_EQ(popped->stack->count(), 1);
    EXPECT_EQ(popped->stack->opAtIndex(0)->list->count(), 3);
    EXPECT_EQ(results.stack->opAtIndex(0)->list->realAtIndex(2), 3);

    // A copy of the stack shares the list, and keeps it when the original is cleared.
    VQStack a(&calc);
    auto shared = std::make_shared<VQList>(reals({4}));
    a.pushList(shared, 0);
    VQStack b(a);
    Operand copy = *a.peek();
    EXPECT_EQ(b.peek()->list, shared);
    a.clear();
    shared.reset();
    EXPECT_EQ(b.peek()->list->realAtIndex(0), 4);
    EXPECT_EQ(copy.list->realAtIndex(0), 4);
    EXPECT_EQ(copy.list.use_count(), 2);
}

TEST_F(StackTest, CopiesTakeCapacityCountAndFlagAndMovesStartAgain)
{
    pushCount(12);
    s.setHasDecimalPoint(true);
    auto copy = VQStack::stackWithStack(s);
    EXPECT_EQ(copy->count(), 12);
    EXPECT_EQ(copy->stackReserve(), 20);
    EXPECT_TRUE(copy->hasDecimalPoint());
    EXPECT_EQ(copy->opAtIndex(11)->re(), 11);

    VQStack small(&calc);
    small.pushReal(1, 15, -15, 0);
    small.set(s);
    EXPECT_EQ(small.count(), 12);
    EXPECT_EQ(small.stackReserve(), 20);
    small.set(small);
    EXPECT_EQ(small.count(), 12);

    // The evaluator's save-and-restore around a nested run.
    s.clear();
    s.pushReal(-1, 15, -15, 0);
    s.set(*copy);
    EXPECT_EQ(s.count(), 12);
    EXPECT_EQ(s.peek()->re(), 11);

    VQStack moved(std::move(s));
    EXPECT_EQ(moved.count(), 12);
    EXPECT_EQ(moved.stackReserve(), 20);
    EXPECT_EQ(s.count(), 0); // NOLINT(bugprone-use-after-move)
    s.pushReal(1, 15, -15, 0);
    EXPECT_EQ(s.stackReserve(), 10);
    EXPECT_EQ(s.count(), 1);
}

// ---- Resolution ----

TEST_F(StackTest, GetValueAtOutsideTheStackIsUndefined)
{
    s.pushReal(1, 15, -15, 5);
    for (int index : {-1, 1}) {
        Operand r = s.getValueAt(index);
        expectError(r, 16);
        EXPECT_EQ(r.location, 0);
    }
    Operand same = s.getValueAt(0);
    expectValue(same, KindReal, 1, 15, -15); // not a reference: unchanged
    EXPECT_EQ(same.location, 5);
}

TEST_F(StackTest, RealAndStringVariablesResolveWithTheirStore)
{
    calc.setVar(0, {{2.5, 0}, 2, -1});
    calc.setVar(1, {{1, -1}, 4, -3});
    Operand a = resolveVar(0x41);
    expectValue(a, KindReal, 2.5, 2, -1);
    EXPECT_EQ(a.location, 4);
    EXPECT_EQ(a.error, 0);
    expectValue(resolveVar(0x42), KindComplex, C(1, -1), 4, -3);
    calc.locked()->vars[213] = {6, 0};
    EXPECT_EQ(resolveVar(0x1021).re(), 6);

    // The seed, the dimension and a graph database read as 0.
    for (int token : {0xAB, 0xB5, 0x6100})
        expectValue(resolveVar(token), KindReal, 0, 10, -10);

    calc.locked()->strings[2] = {0x41, 0x42};
    Operand str = resolveVar(0xAA02);
    EXPECT_EQ(str.kind, KindString);
    ASSERT_TRUE(str.string);
    calc.locked()->strings[2].clear();
    EXPECT_EQ(*str.string, (Ops{0x41, 0x42})); // a copy of the store
}

TEST_F(StackTest, MovingTheTopToAnotherStackKeepsTheRecordAndItsLocation)
{
    VQStack out(&calc);
    EXPECT_FALSE(s.moveTopTo(out));
    s.pushOpcode(0x70, 4);
    s.pushList(std::make_shared<VQList>(), 9);
    ASSERT_TRUE(s.moveTopTo(out));
    ASSERT_TRUE(s.moveTopTo(out));
    EXPECT_EQ(s.count(), 0);
    ASSERT_EQ(out.count(), 2);
    EXPECT_EQ(out.opAtIndex(0)->kind, KindRealList);
    EXPECT_TRUE(out.opAtIndex(0)->list);
    EXPECT_EQ(out.opAtIndex(0)->location, 9);
    EXPECT_EQ(out.peek()->opcode, 0x70u);
    EXPECT_EQ(out.peek()->location, 4);
    // Onto itself nothing changes.
    EXPECT_TRUE(out.moveTopTo(out));
    EXPECT_EQ(out.count(), 2);

    out.drop();
    EXPECT_EQ(out.count(), 1);
    out.drop();
    out.drop();
    EXPECT_EQ(out.count(), 0);
}

// The evaluator pops its arguments into records it reuses: whatever they held before
// must not survive into the value.
TEST_F(StackTest, PoppingIntoAUsedRecordLeavesNothingOfItBehind)
{
    Operand used = operandOf(KindRealList);
    used.list = std::make_shared<VQList>();
    used.var.name = "OLD";
    used.displayMod = 4;
    used.name[3] = U'Q';

    EXPECT_FALSE(s.pop(used));
    EXPECT_EQ(used.kind, KindRealList);  // untouched

    calc.setVar(0, {{2.5, 0}, 2, -1});
    s.pushVar(0x41, 7);
    s.popValue(used);
    expectValue(used, KindReal, 2.5, 2, -1);
    EXPECT_EQ(used.location, 7);
    EXPECT_FALSE(used.list);
    EXPECT_TRUE(used.var.name.empty());
    EXPECT_EQ(used.displayMod, 0);
    EXPECT_EQ(used.name[3], 0);
    EXPECT_EQ(s.count(), 0);

    s.pushVar(0x41, 2);
    ASSERT_TRUE(s.pop(used));
    EXPECT_EQ(used.kind, KindVariable);  // the reference itself
    EXPECT_EQ(used.var.token, 0x41);

    // A record resolved into itself keeps its reference until it has read it.
    s.getValueWithOp(&used, used);
    expectValue(used, KindReal, 2.5, 2, -1);
    EXPECT_EQ(used.location, 2);

    s.popValue(used);
    expectValue(used, KindReal, 0, 10, -10);
}

TEST_F(StackTest, ListVariablesAndElements)
{
    calc.locked()->lists[listName(0x5D00)] = figures({{1, 3, -1}, {2, 3, -1}, {3, 3, -1}});
    Operand whole = resolveVar(0x5D00);
    EXPECT_EQ(whole.kind, KindRealList);
    ASSERT_TRUE(whole.list);
    EXPECT_EQ(whole.list->count(), 3);

    Operand bad = element(0x1002, 4); // L1(5)
    expectError(bad, 83);
    EXPECT_EQ(bad.location, 6);
    expectError(element(0x1002, -1), 83);
    expectValue(element(0x1002, 1), KindReal, 2, 3, -1); // L1(2)

    // The same complex list is kind 3 pushed, kind 4 reached through a reference.
    calc.locked()->lists["CPX"] = complexes({{1, 2}});
    s.pushVarName("CPX", 0);
    EXPECT_EQ(s.getValueAt(0).kind, KindComplexList);
    expectValue(element(0x1002, 0, 0, "CPX"), KindComplex, C(1, 2), 10, -10);

    // An unknown list name reads as an empty list, an element of it as undefined; reading
    // stores nothing.
    s.pushVarName("NEW", 2);
    Operand created = s.getValueAt(1);
    EXPECT_EQ(created.kind, KindRealList);
    ASSERT_TRUE(created.list);
    EXPECT_EQ(created.list->count(), 0);
    EXPECT_EQ(calc.locked()->lists.count("NEW"), 0u);
    expectError(element(0x1002, 0, 0, "GONE"), 16);
    EXPECT_EQ(calc.locked()->lists.count("GONE"), 0u);

    // The table-list slot (TblInput, slot 70) resolves to the table list.
    calc.locked()->tableList = complexes({{0, 1}});
    Operand table = resolveVar(0x632A);
    EXPECT_EQ(table.kind, KindComplexList);
    ASSERT_TRUE(table.list);
    EXPECT_EQ(table.list->count(), 1);
}

TEST_F(StackTest, MatricesAndTheirCells)
{
    calc.locked()->matrices[1] = *VQMatrix::matrixWithRow(2, 3);
    calc.locked()->matrices[1].set(5.5, 1, 2);
    Operand whole = resolveVar(0x5C01);
    EXPECT_EQ(whole.kind, KindMatrix);
    ASSERT_TRUE(whole.matrix);
    EXPECT_EQ(whole.matrix->dimCol(), 3u);

    expectValue(element(0x1009, 2, 1), KindReal, 5.5, 10, -10); // column, row
    for (auto [col, row] : {std::pair{3, 0}, {0, 2}, {0, -1}, {-1, 0}})
        expectError(element(0x1009, col, row), 83);

    // A matrix number outside [A]..[J] (a damaged reference) never gives a matrix record
    // without its matrix.
    s.pushVar(0x5C00, 0);
    s.peek()->var.index = 12;
    expectError(s.getValueAt(0), 16);
    s.pushVar(0x1008, 0);
    s.peek()->var.index = -1;
    expectError(s.getValueAt(1), 16);
    // A slot outside the store.
    s.pushVar(0x41, 0);
    s.peek()->var.index = 218;
    expectError(s.getValueAt(2), 16);

    // [J] exists, empty: the whole matrix resolves, any cell is a bad index.
    Operand j = resolveVar(0x5C09);
    EXPECT_EQ(j.kind, KindMatrix);
    ASSERT_TRUE(j.matrix);
    EXPECT_EQ(j.matrix->dimRow(), 0u);
    expectError(element(0x1011, 0), 83);
}

TEST_F(StackTest, ResolvedObjectsAreTheRecordsOwn)
{
    calc.locked()->lists[listName(0x5D00)] = reals({1, 2});
    Operand r = resolveVar(0x5D00);
    calc.clearAllLists();
    calc.locked()->matrices[0] = *VQMatrix::matrixWithRow(1, 1);
    Operand m = resolveVar(0x5C00);
    calc.clearMatrix(0);
    calc.locked()->matrices[0] = VQMatrix();
    ASSERT_TRUE(r.list);
    EXPECT_EQ(r.list->count(), 2);
    ASSERT_TRUE(m.matrix);
    EXPECT_EQ(m.matrix->dimRow(), 1u);
}

// ---- Equations ----

TEST_F(StackTest, EquationsResolveThroughTheEvaluator)
{
    wireEquations();
    calc.locked()->vars[0] = {3, 0};
    yEq->equations[Y1] = {0x41}; // Y1 = A
    Operand r = resolveVar(Y1);
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 3);
    EXPECT_EQ(r.location, 7); // the evaluated record's own location
    EXPECT_EQ(r.error, 0);

    // Sequences go to the sequence evaluator at n = the real part of slot 27.
    calc.locked()->vars[27] = {4, 1};
    Operand u = resolveVar(0x5E81);
    EXPECT_EQ(evaluator->seqToken, 0x5E81);
    EXPECT_EQ(evaluator->seqN, 4);
    EXPECT_EQ(u.re(), 8);
}

TEST_F(StackTest, SelfReferencingMutualAndEmptyEquations)
{
    wireEquations();
    yEq->equations[Y1] = {0x41, 0x70, Y1};
    Operand self = resolveVar(Y1);
    expectError(self, 29);
    EXPECT_EQ(self.location, 4);
    yEq->equations[Y1] = {static_cast<std::uint32_t>(Y2)};
    yEq->equations[Y2] = {static_cast<std::uint32_t>(Y1)};
    expectError(resolveVar(Y1), 29); // stops instead of recursing

    yEq->equations[Y2] = {};
    expectError(resolveVar(Y2), 0);
    expectError(resolveVar(Y3), 0); // no such equation
}

TEST_F(StackTest, EquationsWithoutAnEvaluatorOrFailing)
{
    calc.equationEvaluator.reset();
    calc.yEqManager = yEq;
    yEq->equations[Y1] = {0x41};
    expectError(resolveVar(Y1), 16);
    expectError(resolveVar(0x5E80), 16);

    wireEquations();
    evaluator->fail = true;
    evaluator->failWith.kind = KindError;
    evaluator->failWith.error = 17;
    evaluator->failWith.location = 2;
    Operand r = resolveVar(Y1);
    expectError(r, 17);
    EXPECT_EQ(r.location, 2);
    // A value is never reported with a stale error.
    evaluator->failWith.kind = KindReal;
    Operand v = resolveVar(Y1);
    EXPECT_EQ(v.kind, KindReal);
    EXPECT_EQ(v.error, 0);
}

// ---- Whole-stack operations ----

TEST_F(StackTest, ReplaceVarsExceptAndExpandLists)
{
    calc.setVar(0, {{1.5, 0}, 2, -1}); // A
    calc.locked()->vars[1] = {0, 2};             // B
    s.pushVar(0x58, 0);                // X
    s.pushVar(0x41, 1);
    s.pushVar(0x42, 2);
    s.pushVar(0x5D00, 3);              // L1
    s.pushOpcode(0x70, 4);
    s.replaceVarsExcept(0x58);
    EXPECT_EQ(s.opAtIndex(0)->kind, KindVariable);
    EXPECT_EQ(s.opAtIndex(0)->var.token, 0x58);
    expectValue(*s.opAtIndex(1), KindReal, 1.5, 2, -1);
    EXPECT_EQ(s.opAtIndex(1)->location, 1);
    EXPECT_EQ(s.opAtIndex(2)->kind, KindComplex);
    EXPECT_EQ(s.opAtIndex(2)->value, C(0, 2));
    EXPECT_EQ(s.opAtIndex(3)->kind, KindVariable);
    EXPECT_EQ(s.opAtIndex(4)->kind, KindOpcode);

    // Each list reference becomes its list's first element; the original is untouched.
    calc.locked()->lists[listName(0x5D00)] = reals({6, 7});
    std::vector<VQStack> expanded = s.expandLists();
    ASSERT_EQ(expanded.size(), 1u);
    EXPECT_EQ(expanded[0].opAtIndex(3)->kind, KindReal);
    EXPECT_EQ(expanded[0].opAtIndex(3)->re(), 6);
    EXPECT_EQ(s.opAtIndex(3)->kind, KindVariable);
}

TEST_F(StackTest, DescriptionListsOneLinePerRecord)
{
    EXPECT_EQ(s.description(), "<empty stack>\n");
    s.pushReal(1.25, 3, -2, 3);
    EXPECT_EQ(s.description(), "     3   1.2500e+00 [3:-2]\n");
}
