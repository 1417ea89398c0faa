#include "core/ValueText.h"

#include "core/Calculator.h"
#include "core/Operand.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQValue.h"
#include "core/services/GDBManager.h"
#include "core/services/YEqManager.h"
#include "language/ErrorTable.h"
#include "language/VariableSlots.h"

#include <gtest/gtest.h>

#include <set>

using namespace orvenda;

namespace {

const LocaleFormats kUS{"h a", "MMMM d, y"};
const std::string kI = "\xC9\xA9\xCC\x87"; // ɩ̇

constexpr std::uint32_t kTokenA = 0x41;
constexpr std::uint32_t kTokenXmin = 0x630A;
constexpr std::uint32_t kTblInput = 0x632A;
constexpr std::uint32_t kBeginEnd = 0x633A;
constexpr std::uint32_t kGDB1 = 0x6100;
constexpr std::uint32_t kStr1 = 0xAA00;
constexpr std::uint32_t kStr0 = 0xAA09;
constexpr std::uint32_t kY1 = 0x5E10;

// "HI"
const Calculator::Ops kHI{0x48, 0x49};

Operand operandOfKind(int kind)
{
    Operand op;
    op.kind = kind;
    return op;
}

Operand realOperand(double x, int displayMod = 0)
{
    Operand op = operandOfKind(KindReal);
    op.value = x;
    op.displayMod = displayMod;
    return op;
}

VQList listOf(std::initializer_list<double> xs)
{
    VQList list;
    for (double x : xs)
        list.addReal(x, 15, -15);
    return list;
}

VQMatrix twoByTwo()
{
    VQMatrix m = *VQMatrix::matrixWithRow(2, 2);
    m.set(1, 0, 0);
    m.set(2, 0, 1);
    m.set(3, 1, 0);
    m.set(4, 1, 1);
    return m;
}

void setSlot(Calculator& calc, std::uint32_t token, double x)
{
    calc.setVar(VariableSlots::varNumFromOpcode(token), VariableRecord{x});
}

class FakeGDBs : public GDBManager {
public:
    std::set<std::string> saved;

protected:
    bool isSaved(const std::string& name) override { return saved.count(name) != 0; }
    void save(const std::string& name) override { saved.insert(name); }
    void remove(const std::string& name) override { saved.erase(name); }
};

class FakeEquations : public YEqManager {
public:
    std::string y1Text;

    void clearAll() override {}
    std::string eqString(int token) const override { return token == int(kY1) ? y1Text : std::string(); }
    void changeMode(int) override {}
    std::optional<Ops> plotForFunction(int) const override { return std::nullopt; }
    std::shared_ptr<VQStack> rpnForFunction(int) override { return nullptr; }
    int seqFlagsFor(int) override { return 0; }
    int numSeqInitializersFor(int) const override { return 0; }
    void setYEqFunc(int, const Ops&) override {}
    void setYEqFunc(int, int, double, double, double, double) override {}
    void setFunction(int, bool) override {}
    int initSeq(int, const VQList*) override { return 0; }
    void setStyle(int, const VQColor&, int) override {}
    void setColor(const VQColor&, int) override {}
    bool shouldPlotFunction(int) const override { return false; }
    void deleteEquation(int) override {}
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

} // namespace

// ---- Results ----

TEST(ValueTextTest, NumberResultsFollowTheirDisplayMode)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.formatOperand(realOperand(2.5)), "2.5");
    EXPECT_EQ(calc.formatOperand(realOperand(0.5, 1)), calc.formatFraction(0.5));
    EXPECT_EQ(calc.formatOperand(realOperand(255, 5)), calc.formatHex(255));
}

TEST(ValueTextTest, ComplexResultsAreShownAsComplexNumbers)
{
    Calculator calc(kUS);
    Operand z = operandOfKind(KindComplex);
    z.value = {3, 4};
    EXPECT_EQ(calc.formatOperand(z), "3+4" + kI);
    // Its own display mode wins over the complex mode setting (degrees by default).
    z.value = {0, 2};
    z.displayMod = 6;
    EXPECT_EQ(calc.formatOperand(z), "2e^(90" + kI + ")");
    calc.setRealCplxMode(2);
    z.displayMod = 0;
    EXPECT_EQ(calc.formatOperand(z), "2e^(90" + kI + ")");
}

TEST(ValueTextTest, ListMatrixAndStringResults)
{
    Calculator calc(kUS);
    Operand list = operandOfKind(KindRealList);
    list.list = std::make_shared<VQList>(listOf({1, 2.5}));
    EXPECT_EQ(calc.formatOperand(list), "{1 2.5}");

    Operand cpx = operandOfKind(KindComplexList);
    cpx.list = std::make_shared<VQList>();
    cpx.list->addComplex({1, -1});
    EXPECT_EQ(calc.formatOperand(cpx), "{1-" + kI + "}");

    Operand matrix = operandOfKind(KindMatrix);
    matrix.matrix = std::make_shared<VQMatrix>(twoByTwo());
    EXPECT_EQ(calc.formatOperand(matrix), "[[1 2] \n [3 4]]");

    Operand text = operandOfKind(KindString);
    text.string = std::make_shared<Calculator::Ops>(kHI);
    EXPECT_EQ(calc.formatOperand(text), "HI");
    // Records without their object show nothing rather than failing.
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindString)), "");
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindRealList)), "");
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindMatrix)), "");
}

TEST(ValueTextTest, DoneErrorsAndOtherKinds)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindDone)), "Done");
    Operand error = operandOfKind(KindError);
    error.error = 16;
    EXPECT_EQ(calc.formatOperand(error), ErrorTable::errorStrings()[16]);
    error.error = 94;
    EXPECT_EQ(calc.formatOperand(error), "Bad error");
    error.error = -3;
    EXPECT_EQ(calc.formatOperand(error), "Bad error");
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindWidgetAdded)), "");
    // Statistics results have no text source in the engine.
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindOneVarStats)), "");
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindStatTestLast)), "");
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindVariable)), "<not implemented>");
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindOpcode)), "<not implemented>");
    EXPECT_EQ(calc.formatOperand(operandOfKind(KindGDBRecall)), "<not implemented>");
}

TEST(ValueTextTest, FormatErrorGuardsTheTable)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.formatError(0), "No error");
    EXPECT_EQ(calc.formatError(93), ErrorTable::errorStrings()[93]);
    EXPECT_NE(calc.formatError(93), "Bad error");
    EXPECT_EQ(calc.formatError(-1), "Bad error");
    EXPECT_EQ(calc.formatError(94), "Bad error");
    EXPECT_EQ(calc.formatError(1 << 30), "Bad error");
}

// ---- Ans ----

TEST(ValueTextTest, AnsStartsAsRealZeroAndResetAllRestoresIt)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.ans.type(), VQValue::TypeReal);
    EXPECT_EQ(calc.getAns(), "0");
    calc.ans = VQValue::valWithDone();
    calc.resetAll();
    EXPECT_EQ(calc.ans.type(), VQValue::TypeReal);
    EXPECT_EQ(calc.getAns(), "0");
}

TEST(ValueTextTest, AnsNumbers)
{
    Calculator calc(kUS);
    calc.ans = VQValue(2.5);
    EXPECT_EQ(calc.getAns(), "2.5");
    calc.ans.setDisplayMod(1);
    EXPECT_EQ(calc.getAns(), calc.formatFraction(2.5));
    // Significant-figure display uses the answer's own figures.
    calc.ans = VQValue(2.0 / 3);
    calc.ans.setSigFigures(3);
    calc.ans.setDisplayMod(9);
    EXPECT_EQ(calc.getAns(), calc.formatSigFig(2.0 / 3, 3));
    EXPECT_NE(calc.getAns(), calc.formatReal(2.0 / 3, 9));

    calc.ans = VQValue(std::complex<double>(3, -4));
    EXPECT_EQ(calc.getAns(), "3-4" + kI);
    calc.ans.setDisplayMod(6);
    EXPECT_EQ(calc.getAns(), calc.formatComplex(3, -4, true));
}

TEST(ValueTextTest, AnsObjects)
{
    Calculator calc(kUS);
    calc.ans = VQValue::valWithList(listOf({1, 2.5}));
    EXPECT_EQ(calc.getAns(), "{1 2.5}");
    calc.ans = VQValue::valWithMatrix(twoByTwo());
    EXPECT_EQ(calc.getAns(), "[[1 2] \n [3 4]]");
    calc.ans = VQValue::valWithDone();
    EXPECT_EQ(calc.getAns(), "Done");
    calc.ans = VQValue::valWithString(kHI);
    EXPECT_EQ(calc.getAns(), "\"HI\"");
    calc.ans = VQValue::valWithString({});
    EXPECT_EQ(calc.getAns(), "\"\"");
    calc.ans.setType(7);
    EXPECT_EQ(calc.getAns(), "");
}

TEST(ValueTextTest, AnsTakenFromAResult)
{
    Calculator calc(kUS);
    Operand list = operandOfKind(KindComplexList);
    list.list = std::make_shared<VQList>();
    list.list->addComplex({0, 1});
    calc.ans.setANS(list, 0);
    EXPECT_EQ(calc.getAns(), "{" + kI + "}");
}

// ---- Variable listings ----

TEST(ValueTextTest, VariableValueEndsAtColumn22)
{
    Calculator calc(kUS);
    setSlot(calc, kTokenA, 5);
    EXPECT_EQ(calc.getVariable(kTokenA), "A" + std::string(20, ' ') + "5");

    const std::string xmin = calc.nameForOpcode(kTokenXmin);
    ASSERT_EQ(xmin, "Xmin");
    setSlot(calc, kTokenXmin, -2.5);
    const std::string value = calc.formatReal(-2.5);
    const std::string line = calc.getVariable(kTokenXmin);
    EXPECT_EQ(line, xmin + std::string(22 - 4 - value.size(), ' ') + value);
    // Only the real part is listed.
    calc.setVar(VariableSlots::varNumFromOpcode(kTokenA), VariableRecord{{7, 3}});
    EXPECT_EQ(calc.getVariable(kTokenA), "A" + std::string(20, ' ') + "7");
}

TEST(ValueTextTest, VariableWithoutRoomGetsNoBlanks)
{
    Calculator calc(kUS);
    const std::string name = calc.nameForOpcode(kTblInput);
    ASSERT_EQ(name, "TblInput");
    // 8 + 13 columns: room for exactly one blank.
    calc.tableList = listOf({1, 2, 3, 4, 500});
    EXPECT_EQ(calc.getVariable(kTblInput), "TblInput {1 2 3 4 500}");
    // 8 + 14 columns: no room.
    calc.tableList = listOf({1, 2, 3, 4, 5000});
    EXPECT_EQ(calc.getVariable(kTblInput), "TblInput{1 2 3 4 5000}");
    calc.tableList = VQList::listSeqStart(1, 12);
    EXPECT_EQ(calc.getVariable(kTblInput), name + calc.formatList(&calc.tableList));
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

TEST(ValueTextTest, StringVariables)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.getStringVariable(kStr1), "Str1");
    calc.strings[0] = kHI;
    EXPECT_EQ(calc.getStringVariable(kStr1), "Str1 \"HI\"");
    calc.strings[9] = kHI;
    EXPECT_EQ(calc.getStringVariable(kStr0), "Str0 \"HI\"");
    // Outside Str1..Str0 only the name.
    EXPECT_EQ(calc.getStringVariable(kTokenA), "A");
}

TEST(ValueTextTest, EquationVariables)
{
    Calculator calc(kUS);
    EXPECT_EQ(calc.getYEqVariable(kY1), "Y₁");
    auto equations = std::make_shared<FakeEquations>();
    calc.yEqManager = equations;
    EXPECT_EQ(calc.getYEqVariable(kY1), "Y₁");
    equations->y1Text = "X+1";
    EXPECT_EQ(calc.getYEqVariable(kY1), "Y₁ \"X+1\"");
}

TEST(ValueTextTest, NameForListIsByIdentity)
{
    Calculator calc(kUS);
    calc.lists["L₂"].addReal(4, 15, -15);
    calc.lists["DATA"] = listOf({4});
    EXPECT_EQ(calc.nameForList(&calc.lists.at("L₂")), "L₂");
    EXPECT_EQ(calc.nameForList(&calc.lists.at("DATA")), "DATA");
    const VQList copy = calc.lists.at("L₂");
    EXPECT_FALSE(calc.nameForList(&copy).has_value());
    EXPECT_FALSE(calc.nameForList(nullptr).has_value());
}
