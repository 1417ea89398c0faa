#include "core/ValueText.h"

#include "core/VQValue.h"
#include "language/ErrorTable.h"
#include "language/VariableSlots.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace orvenda;
using namespace orvenda::test;

namespace {

constexpr std::uint32_t kTokenA = 0x41;
constexpr std::uint32_t kTokenXmin = 0x630A;
constexpr std::uint32_t kTblInput = 0x632A;
constexpr std::uint32_t kBeginEnd = 0x633A;
constexpr std::uint32_t kGDB1 = 0x6100;
constexpr std::uint32_t kStr1 = 0xAA00;
constexpr std::uint32_t kStr0 = 0xAA09;
constexpr std::uint32_t kY1 = 0x5E10;
const Calculator::Ops kHI{0x48, 0x49};

Operand number(std::complex<double> z, int displayMod = 0)
{
    Operand op = operandOf(z.imag() == 0 ? KindReal : KindComplex);
    op.value = z;
    op.displayMod = displayMod;
    return op;
}

template <class T>
Operand holding(int kind, std::shared_ptr<T> Operand::*field, T object)
{
    Operand op = operandOf(kind);
    op.*field = std::make_shared<T>(std::move(object));
    return op;
}

Operand error(int number)
{
    Operand op = operandOf(KindError);
    op.error = number;
    return op;
}

void setSlot(Calculator& calc, std::uint32_t token, double x)
{
    calc.setVar(VariableSlots::varNumFromOpcode(token), VariableRecord{x});
}

} // namespace

TEST(ValueTextTest, ResultTextByKind)
{
    Calculator calc(kUS);
    const std::pair<Operand, std::string> cases[] = {
        {number(2.5), "2.5"},
        {number(0.5, 1), "1/2"},
        {number(255, 5), "0hFF"},
        {number({3, 4}), "3+4" + kI},
        // Its own display mode wins over the complex mode setting (degrees by default).
        {number({0, 2}, 6), "2e^(90" + kI + ")"},
        {holding(KindRealList, &Operand::list, reals({1, 2.5})), "{1 2.5}"},
        {holding(KindComplexList, &Operand::list, complexes({{1, -1}})), "{1-" + kI + "}"},
        {holding(KindMatrix, &Operand::matrix, matrixOf({{1, 2}, {3, 4}})), "[[1 2] \n [3 4]]"},
        {holding(KindString, &Operand::string, kHI), "HI"},
        // Records without their object show nothing rather than failing.
        {operandOf(KindString), ""},
        {operandOf(KindRealList), ""},
        {operandOf(KindMatrix), ""},
        {operandOf(KindDone), "Done"},
        {error(16), "Undefined"},
        {error(0), "No error"},
        {error(94), "Bad error"},
        {error(-3), "Bad error"},
        {operandOf(KindWidgetAdded), ""},
        // A summary without its statistics object has no text.
        {operandOf(KindOneVarStats), ""},
        // Every kind without a text of its own.
        {operandOf(KindVariable), "<not implemented>"},
    };
    for (const auto& [op, text] : cases)
        EXPECT_EQ(calc.formatOperand(op), text) << "kind " << op.kind;
    calc.setRealCplxMode(2);
    EXPECT_EQ(calc.formatOperand(number({0, 2})), "2e^(90" + kI + ")");
}

// ---- Ans ----

TEST(ValueTextTest, AnsText)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.ans.type(), VQValue::TypeReal);
    EXPECT_EQ(calc.getAns(), "0");
    calc.ans = VQValue(2.5);
    EXPECT_EQ(calc.getAns(), "2.5");
    calc.ans.setDisplayMod(1);
    EXPECT_EQ(calc.getAns(), "5/2");
    // Significant-figure display uses the answer's own figures.
    calc.ans = VQValue(2.0 / 3);
    calc.ans.setSigFigures(3);
    calc.ans.setDisplayMod(9);
    EXPECT_EQ(calc.getAns(), ".667" + kMark);
    calc.ans = VQValue(std::complex<double>(3, -4));
    EXPECT_EQ(calc.getAns(), "3-4" + kI);
    calc.ans.setDisplayMod(6);
    EXPECT_EQ(calc.getAns(), "5e^(-53.13010235" + kI + ")");

    calc.ans = VQValue::valWithList(reals({1, 2.5}));
    EXPECT_EQ(calc.getAns(), "{1 2.5}");
    calc.ans = VQValue::valWithMatrix(matrixOf({{1, 2}, {3, 4}}));
    EXPECT_EQ(calc.getAns(), "[[1 2] \n [3 4]]");
    calc.ans = VQValue::valWithString(kHI);
    EXPECT_EQ(calc.getAns(), "\"HI\"");
    calc.ans = VQValue::valWithString({});
    EXPECT_EQ(calc.getAns(), "\"\"");
    VQValue unknown;
    unknown.setType(7);
    calc.ans = unknown;
    EXPECT_EQ(calc.getAns(), "");
    calc.ans.setANS(holding(KindComplexList, &Operand::list, complexes({{0, 1}})), 0);
    EXPECT_EQ(calc.getAns(), "{" + kI + "}");
    calc.ans = VQValue::valWithDone();
    EXPECT_EQ(calc.getAns(), "Done");
}

// ---- Variable listings ----

TEST(ValueTextTest, VariableValueEndsAtColumn22)
{
    Calculator calc(kUS);
    setSlot(calc, kTokenA, 5);
    EXPECT_EQ(calc.getVariable(kTokenA), "A" + std::string(20, ' ') + "5");
    setSlot(calc, kTokenXmin, -2.5);
    EXPECT_EQ(calc.getVariable(kTokenXmin), "Xmin" + std::string(22 - 4 - 4, ' ') + "-2.5");
    // Only the real part is listed.
    calc.setVar(VariableSlots::varNumFromOpcode(kTokenA), VariableRecord{{7, 3}});
    EXPECT_EQ(calc.getVariable(kTokenA), "A" + std::string(20, ' ') + "7");

    // 8 + 13 columns: room for exactly one blank; 8 + 14: none.
    calc.locked()->tableList = reals({1, 2, 3, 4, 500});
    EXPECT_EQ(calc.getVariable(kTblInput), "TblInput {1 2 3 4 500}");
    calc.locked()->tableList = reals({1, 2, 3, 4, 5000});
    EXPECT_EQ(calc.getVariable(kTblInput), "TblInput{1 2 3 4 5000}");
    calc.locked()->tableList = VQList::listSeqStart(1, 12);
    EXPECT_EQ(calc.getVariable(kTblInput), "TblInput" + calc.formatList(&calc.locked()->tableList));
}

TEST(ValueTextTest, BeginEndGraphDatabasesAndUnnamedSlots)
{
    Calculator calc(kUS);
    // Factory value 1.
    EXPECT_EQ(calc.getVariable(kBeginEnd), "begin/end" + std::string(22 - 9 - 3, ' ') + "end");
    setSlot(calc, kBeginEnd, 0.75);
    EXPECT_TRUE(calc.getVariable(kBeginEnd).ends_with(" begin"));
    setSlot(calc, kBeginEnd, -1.5);
    EXPECT_TRUE(calc.getVariable(kBeginEnd).ends_with(" end"));

    EXPECT_EQ(calc.getVariable(kGDB1), "GDB1" + std::string(17, ' ') + "-");
    auto gdbs = std::make_shared<FakeGDBs>();
    gdbs->saved.insert("GDB1");
    GDBManager::setShared(gdbs);
    EXPECT_EQ(calc.getVariable(kGDB1), "GDB1" + std::string(13, ' ') + "saved");
    EXPECT_TRUE(calc.getVariable(kGDB1 + 1).ends_with(" -"));
    GDBManager::setShared(nullptr);

    // A token naming no slot reads 0 instead of reaching outside the store.
    EXPECT_TRUE(calc.getVariable(0xC2).ends_with(" 0"));
}

TEST(ValueTextTest, StringAndEquationVariables)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.getStringVariable(kStr1), "Str1");
    calc.locked()->strings[0] = kHI;
    EXPECT_EQ(calc.getStringVariable(kStr1), "Str1 \"HI\"");
    calc.locked()->strings[9] = kHI;
    EXPECT_EQ(calc.getStringVariable(kStr0), "Str0 \"HI\"");
    EXPECT_EQ(calc.getStringVariable(kTokenA), "A"); // outside Str1..Str0 only the name

    EXPECT_EQ(calc.getYEqVariable(kY1), "Y₁");
    auto equations = std::make_shared<FakeYEq>();
    calc.yEqManager = equations;
    EXPECT_EQ(calc.getYEqVariable(kY1), "Y₁");
    equations->texts[kY1] = "X+1";
    EXPECT_EQ(calc.getYEqVariable(kY1), "Y₁ \"X+1\"");
}

TEST(ValueTextTest, NameForListIsByIdentity)
{
    Calculator calc(kUS);
    calc.locked()->lists["L₂"].addReal(4, 15, -15);
    calc.locked()->lists["DATA"] = reals({4});
    EXPECT_EQ(calc.nameForList(&calc.locked()->lists.at("L₂")), "L₂");
    EXPECT_EQ(calc.nameForList(&calc.locked()->lists.at("DATA")), "DATA");
    const VQList copy = calc.locked()->lists.at("L₂");
    EXPECT_FALSE(calc.nameForList(&copy).has_value());
    EXPECT_FALSE(calc.nameForList(nullptr).has_value());
}
