#include "eval/Parser.h"

#include "core/Calculator.h"
#include "eval/TestTokens.h"
#include "language/Vocabulary.h"

#include <gtest/gtest.h>
#include <charconv>
#include <string>
#include <vector>

using namespace orvenda;
using orvenda::testing::toks;

namespace {

constexpr std::uint32_t kNewLine = 0x3F;
constexpr std::uint32_t kL1 = 0x5D00;
constexpr std::uint32_t kL2 = 0x5D01;
constexpr std::uint32_t kY1 = 0x5E10;
constexpr std::uint32_t kY2 = 0x5E11;
constexpr std::uint32_t kMatA = 0x5C00;
constexpr std::uint32_t kComment = 0x5C34;
constexpr std::uint32_t kConversion = 0xBB5D;

// The output as readable words: numbers by value, variables and operators by name.
std::vector<std::string> words(const VQStack& rpn)
{
    const Vocabulary& v = Vocabulary::shared();
    std::vector<std::string> out;
    for (const Operand& r : rpn.stack()) {
        switch (r.kind) {
        case KindOpcode: {
            std::string w = v.nameForOpcode(r.opcode & 0xFFFFu);
            if (!r.var.name.empty())
                w += ":" + r.var.name;
            out.push_back(w);
            break;
        }
        case KindReal: {
            char buf[64];
            auto res = std::to_chars(buf, buf + sizeof buf, r.re());
            out.emplace_back(buf, res.ptr);
            break;
        }
        case KindVariable:
            out.push_back(r.var.subKind == VarList && r.var.index < 0 ? "ʟ" + r.var.name
                                                                      : v.nameForOpcode(static_cast<std::uint32_t>(r.var.token)));
            break;
        case KindString: {
            std::string w = "\"";
            for (std::uint32_t op : *r.string)
                w += v.nameForOpcode(op);
            out.push_back(w + "\"");
            break;
        }
        case KindGDBName:
            out.push_back("GDB:" + r.var.name);
            break;
        default:
            out.push_back("kind" + std::to_string(r.kind));
        }
    }
    return out;
}

using Words = std::vector<std::string>;

class StatementParserTest : public ::testing::Test {
protected:
    Calculator calc;
    Parser& parser = calc.parser();

    int parse(std::vector<std::uint32_t> ops, int start = 0)
    {
        ops_ = std::move(ops);
        parser.setError(0);
        return parser.infixToRPN(&ops_, start, false);
    }
    Words rpn(std::vector<std::uint32_t> ops)
    {
        parse(std::move(ops));
        EXPECT_EQ(parser.error(), 0) << "at token " << parser.errorToken();
        return words(parser.rpnStack());
    }
    // The error number and its token index.
    std::pair<int, int> failure(std::vector<std::uint32_t> ops)
    {
        parse(std::move(ops));
        return {parser.error(), parser.errorToken()};
    }

    std::vector<std::uint32_t> ops_;
};

} // namespace

TEST_F(StatementParserTest, ImpliedMultiplication)
{
    EXPECT_EQ(rpn(toks({"2", "(", "3", ")"})), (Words{"2", "3", "*"}));
    EXPECT_EQ(rpn(toks({"2", "A"})), (Words{"2", "A", "*"}));
    EXPECT_EQ(rpn(toks({"2", "-", "3"})), (Words{"2", "3", "-", "*"}));
    EXPECT_EQ(rpn(toks({"A", "B", "sin(", "C"})), (Words{"A", "B", "*", "C", "sin(", "*"}));
    EXPECT_EQ(rpn(toks({"2", "ɩ̇"})), (Words{"2", "ɩ̇", "*"}));
    // Nothing multiplies after a string.
    EXPECT_EQ(rpn(toks({"\"", "A", "\"", "2"})), (Words{"\"A\"", "2"}));
}

TEST_F(StatementParserTest, OperatorPrecedence)
{
    EXPECT_EQ(rpn(toks({"1", "+", "2", "*", "3"})), (Words{"1", "2", "3", "*", "+"}));
    // Equal orders go left to right, "^" too.
    EXPECT_EQ(rpn(toks({"2", "^", "3", "^", "2"})), (Words{"2", "3", "^", "2", "^"}));
    EXPECT_EQ(rpn(toks({"-", "2", "^", "2"})), (Words{"2", "2", "^", "-"}));
    EXPECT_EQ(rpn(toks({"A", "²", "+", "1"})), (Words{"A", "²", "1", "+"}));
    EXPECT_EQ(rpn(toks({"1", "+", "(", "2", "—", "3", ")", "*", "4"})), (Words{"1", "2", "3", "—", "4", "*", "+"}));
}

TEST_F(StatementParserTest, PrefixFunctionKeepsTheOperatorBeforeIt)
{
    EXPECT_EQ(rpn(toks({"2", "^", "√(", "4", ")"})), (Words{"2", "4", "√(", "^"}));
    EXPECT_EQ(rpn(toks({"√(", "4", ")", "^", "2"})), (Words{"4", "√(", "2", "^"}));
}

TEST_F(StatementParserTest, BracketsCloseAtTheEnd)
{
    EXPECT_EQ(rpn(toks({"max(", "1", ",", "2"})), (Words{"1", "2", "2", "max("}));

    std::vector<std::uint32_t> ops = toks({"max(", "1", ",", "2"});
    parser.setError(0);
    EXPECT_EQ(parser.infixToRPN(&ops, 0, true), 4);
    EXPECT_EQ(ops, toks({"max(", "1", ",", "2", ")"}));
    EXPECT_EQ(words(parser.rpnStack()), (Words{"1", "2", "2", "max("}));

    ops = toks({"1", "+", "(", "2", "*", "(", "3"});
    parser.infixToRPN(&ops, 0, true);
    EXPECT_EQ(ops, toks({"1", "+", "(", "2", "*", "(", "3", ")", ")"}));
    EXPECT_EQ(words(parser.rpnStack()), (Words{"1", "2", "3", "*", "+"}));
}

TEST_F(StatementParserTest, StatementEnds)
{
    EXPECT_EQ(parse(toks({"1", "+", "2", ":", "3"})), 4);
    EXPECT_EQ(words(parser.rpnStack()), (Words{"1", "2", "+"}));
    EXPECT_EQ(parse(toks({"1", ":", "3", "+", "4"}), 2), 5);
    EXPECT_EQ(words(parser.rpnStack()), (Words{"3", "4", "+"}));

    // A statement end closes open brackets first.
    EXPECT_EQ(parse({0x10, 0x31, 0x70, 0x32, kNewLine, 0x33}), 5);
    EXPECT_EQ(words(parser.rpnStack()), (Words{"1", "2", "+"}));
    EXPECT_EQ(rpn(toks({"(", "1", "+", "2", "➞", "A"})), (Words{"1", "2", "+", "A", "➞"}));

    // A comment runs to the end of its line.
    EXPECT_EQ(parse({kComment, 0x41, 0x42, kNewLine, 0x31}), 4);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(parser.rpnStack().count(), 0);
    EXPECT_EQ(parse({kComment, 0x41}), 2);
    EXPECT_EQ(parser.rpnStack().count(), 0);
}

TEST_F(StatementParserTest, ListsAndMatrices)
{
    EXPECT_EQ(rpn(toks({"{", "1", ",", "2", ",", "3", "}"})), (Words{"1", "2", "3", "3", "{"}));
    EXPECT_EQ(rpn(toks({"[", "[", "1", ",", "2", "]", "[", "3", ",", "4", "]", "]"})),
              (Words{"1", "2", "2", "[", "3", "4", "2", "[", "2", "]"}));
    EXPECT_EQ(rpn(toks({"2", "{", "1", "}"})), (Words{"2", "1", "1", "{", "*"}));

    EXPECT_EQ(failure(toks({"{", "1", ",", "{", "2", "}", "}"})), std::make_pair(1, 3));
    EXPECT_EQ(failure(toks({"[", "[", "[", "1", "]", "]", "]"})), std::make_pair(1, 2));
    EXPECT_EQ(failure(toks({"[", "1", ",", "[", "2", "]", "]"})), std::make_pair(1, 3));
    EXPECT_EQ(failure(toks({"{", "1", ")"})), std::make_pair(1, 2));
    EXPECT_EQ(failure(toks({"{", "}"})).first, 39);
}

TEST_F(StatementParserTest, ElementAccess)
{
    EXPECT_EQ(rpn({kL1, 0x10, 0x32, 0x11}), (Words{"2", "List1e"}));
    EXPECT_EQ(rpn({kMatA, 0x10, 0x31, 0x2B, 0x32, 0x11}), (Words{"1", "2", "MatrixAe"}));
    EXPECT_EQ(failure({kL1, 0x10, 0x31, 0x2B, 0x32, 0x11}), std::make_pair(27, 5));
    EXPECT_EQ(failure({kMatA, 0x10, 0x31, 0x11}).first, 27);
    EXPECT_EQ(rpn(toks({"ʟ", "A", "B", "(", "3", ")"})), (Words{"3", "Liste:AB"}));
    EXPECT_EQ(rpn(toks({"ʟ", "A", "B", "+", "1"})), (Words{"ʟAB", "1", "+"}));
    EXPECT_EQ(rpn({kL1, 0x32}), (Words{"L₁", "2", "*"}));
    EXPECT_EQ(rpn({kY1, 0x10, 0x32, 0x11}), (Words{"2", "Y₁"}));
    EXPECT_EQ(rpn(toks({"Ans", "(", "2", ")"})), (Words{"2", "1", "ANSe"}));
}

TEST_F(StatementParserTest, ArgumentCounts)
{
    EXPECT_EQ(rpn(toks({"gcd(", "4", ",", "6", ")"})), (Words{"4", "6", "2", "gcd("}));
    EXPECT_EQ(rpn(toks({"sub(", "\"", "A", "\"", ",", "1", ",", "1", ")"})), (Words{"\"A\"", "1", "1", "3", "sub("}));
    EXPECT_EQ(failure(toks({"sub(", "\"", "A", "\"", ",", "1", ")"})), std::make_pair(39, 6));
    EXPECT_EQ(failure(toks({"gcd(", "1", ",", "2", ",", "3", ")"})), std::make_pair(40, 6));
    EXPECT_EQ(failure(toks({"sin(", ")"})), std::make_pair(39, 1));
    EXPECT_EQ(failure(toks({"sin(", "1", ",", "2", ")"})), std::make_pair(40, 4));
    EXPECT_EQ(failure(toks({"max(", "1", ",", ")"})), std::make_pair(39, 3));
    EXPECT_EQ(failure(toks({"max(", ",", "1", ")"})), std::make_pair(1, 1));
    EXPECT_EQ(rpn(toks({"sin(", "1", ")"})), (Words{"1", "sin("}));
    // A group inside a group counts only when it holds several values.
    EXPECT_EQ(rpn(toks({"(", "1", ")"})), (Words{"1"}));
    // A function with nothing after it.
    EXPECT_EQ(failure(toks({"sin("})), std::make_pair(39, 1));
    EXPECT_EQ(failure(toks({"1", "+", "sin(", ":"})), std::make_pair(39, 3));
}

TEST_F(StatementParserTest, CommandsWithOptionalArguments)
{
    EXPECT_EQ(rpn(toks({"Disp "})), (Words{"0", "Disp "}));
    EXPECT_EQ(rpn(toks({"Disp ", "1", ",", "A"})), (Words{"1", "A", "2", "Disp "}));
    EXPECT_EQ(rpn(toks({"FnOn"})), (Words{"FnOn"}));
    EXPECT_EQ(rpn(toks({"FnOn", "1", ",", "2"})), (Words{"1", "2", "2", "FnOn"}));
    EXPECT_EQ(rpn(toks({"2-SampTTest "})), (Words{"2-SampTTest "}));
    EXPECT_EQ(rpn(toks({"Pause "})), (Words{"0", "Pause "}));
    EXPECT_EQ(rpn(toks({"Pause ", "A"})), (Words{"A", "1", "Pause "}));
    EXPECT_EQ(rpn(toks({"Plot1(", "Scatter", ",", "A", ")"})), (Words{"Scatter", "A", "2", "Plot1("}));
    EXPECT_EQ(failure(toks({"1", "+", "FnOn"})), std::make_pair(1, 2));
}

TEST_F(StatementParserTest, UnevaluatedArguments)
{
    EXPECT_EQ(rpn(toks({"solve(", "X", "²", "—", "2", ",", "X", ",", "1", ")"})),
              (Words{"fnBegin", "X", "²", "2", "—", "fnEnd", "X", "1", "3", "solve("}));
    EXPECT_EQ(rpn(toks({"fnInt(", "X", "²", ",", "X", ",", "0", ",", "1"})),
              (Words{"fnBegin", "X", "²", "fnEnd", "X", "0", "1", "4", "fnInt("}));
    // An expression argument ends at the statement end too.
    EXPECT_EQ(parse(toks({"DrawF ", "X", "²", ":", "1"})), 4);
    EXPECT_EQ(words(parser.rpnStack()), (Words{"fnBegin", "X", "²", "fnEnd", "1", "DrawF "}));
    EXPECT_EQ(rpn(toks({"DrawF ", "sin(", "X"})), (Words{"fnBegin", "X", "sin(", "fnEnd", "1", "DrawF "}));
    // Shade( takes two expressions.
    EXPECT_EQ(rpn({0xA4, kY1, 0x2B, kY2}), (Words{"fnBegin", "Y₁", "fnEnd", "fnBegin", "Y₂", "fnEnd", "2", "Shade("}));
    EXPECT_EQ(rpn({0xA4, kY1, 0x2B, kY2, 0x2B, 0x31, 0x11}),
              (Words{"fnBegin", "Y₁", "fnEnd", "fnBegin", "Y₂", "fnEnd", "1", "3", "Shade("}));
    // An expression cut short by ")" is a missing argument.
    EXPECT_EQ(failure(toks({"fnInt(", "X", ")"})).first, 39);
    // Inside the expression, groups count their own commas.
    EXPECT_EQ(rpn(toks({"fnInt(", "max(", "X", ",", "1", ")", ",", "X", ",", "0", ",", "1", ")"})),
              (Words{"fnBegin", "X", "1", "2", "max(", "fnEnd", "X", "0", "1", "4", "fnInt("}));
}

TEST_F(StatementParserTest, IllegalNesting)
{
    EXPECT_EQ(failure(toks({"seq(", "seq(", "X", ",", "X", ",", "1", ",", "2", ")", ",", "X", ",", "1", ",", "2"})),
              std::make_pair(22, 1));
    EXPECT_EQ(failure(toks({"fMin(", "fMax(", "X"})).first, 22);
    parse(toks({"fnInt(", "fnInt(", "X", ",", "X", ",", "0", ",", "1", ")", ",", "X", ",", "0", ",", "1", ")"}));
    EXPECT_EQ(parser.error(), 0);
    parse(toks({"nDeriv(", "nDeriv(", "X", "²", ",", "X", ",", "X", ")", ",", "X", ",", "1", ")"}));
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(failure(toks({"nDeriv(", "nDeriv(", "nDeriv(", "X"})), std::make_pair(22, 2));
    EXPECT_FALSE(parser.nestedOp(0x24));
}

TEST_F(StatementParserTest, Labels)
{
    EXPECT_EQ(failure(toks({"Lbl ", "A", "B", "C"})), std::make_pair(1, 3));
    EXPECT_EQ(parse(toks({"Lbl ", "A", "B", ":", "1"})), 4);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(parser.rpnStack().count(), 0);
    EXPECT_EQ(failure(toks({"Lbl ", "+"})), std::make_pair(1, 1));

    // Goto keeps its compiled jump target and outputs nothing for the label.
    parse({0x002A00D7u, 0x41, 0x31});
    ASSERT_EQ(parser.error(), 0);
    ASSERT_EQ(parser.rpnStack().count(), 1);
    EXPECT_EQ(parser.rpnStack().peek()->opcode, 0x002A00D7u);

    std::vector<std::uint32_t> ops = toks({"A", "1", ":"});
    int i = 0;
    EXPECT_EQ(parser.getLabel(ops, i), (0x41u << 16) + 0x31u);
    EXPECT_EQ(i, 2);
    i = 0;
    ops = toks({"θ"});
    EXPECT_EQ(parser.getLabel(ops, i), 0x5Bu);
}

TEST_F(StatementParserTest, MenuLabels)
{
    EXPECT_EQ(rpn(toks({"Menu(", "\"", "T", "\"", ",", "\"", "A", "\"", ",", "1", ",", "\"", "B", "\"", ",", "Q", "1", ")"})),
              (Words{"\"T\"", "\"A\"", "49", "\"B\"", std::to_string((0x51 << 16) + 0x31), "5", "Menu("}));
    EXPECT_FALSE(parser.processingMenu());
    EXPECT_EQ(failure(toks({"Menu(", "\"", "T", "\"", ",", "\"", "A", "\"", ",", "A", "+"})), std::make_pair(1, 10));
}

TEST_F(StatementParserTest, StoreTargets)
{
    EXPECT_EQ(rpn(toks({"3", "➞", "A"})), (Words{"3", "A", "➞"}));
    EXPECT_EQ(rpn(toks({"3", "➞", "A", "B", "C"})), (Words{"3", "ʟABC", "➞"}));
    EXPECT_EQ(rpn(toks({"3", "➞", "A", "B", "(", "2", ")"})), (Words{"3", "2", "Liste:AB", "➞"}));
    EXPECT_EQ(rpn({0x33, 0x04, 0xB5, kL1}), (Words{"3", "L₁", "StoDim("}));
    EXPECT_EQ(rpn(toks({"1", "➞", "rand"})), (Words{"1", "rand", "➞"}));
    EXPECT_EQ(failure(toks({"3", "➞", "A", "B", "C", "D", "E", "F"})), std::make_pair(27, 7));
    EXPECT_EQ(failure(toks({"3", "+", "➞", "A"})), std::make_pair(1, 2));
}

TEST_F(StatementParserTest, Strings)
{
    EXPECT_EQ(rpn(toks({"\"", "A", ":", "B", "\""})), (Words{"\"A:B\""}));
    EXPECT_EQ(rpn({0x2A, 0x41, 0x42, 0x04, 0xAA00}), (Words{"\"AB\"", "Str1", "➞"}));
    EXPECT_EQ(failure(toks({"\"", "A", "\"", "\""})), std::make_pair(20, 3));
    // The string keeps full opcodes.
    parse({0x2A, 0x00050070u, 0x2A});
    EXPECT_EQ((*parser.rpnStack().peek()->string)[0], 0x00050070u);
}

TEST_F(StatementParserTest, ProgramNames)
{
    parse(toks({"prgm»", "A", "B", "1", ":", "2"}));
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(words(parser.rpnStack()), (Words{"\"AB1\"", "prgm»"}));
    EXPECT_EQ(parser.rpnStack().opAtIndex(0)->var.name, "AB1");
    EXPECT_EQ(failure(toks({"prgm»", "1", "A"})), std::make_pair(27, 1));
    EXPECT_EQ(failure(toks({"prgm»", "A", "+"})), std::make_pair(27, 2));
}

TEST_F(StatementParserTest, SetUpEditor)
{
    EXPECT_EQ(rpn({0xBB4A, kL1, 0x2B, 0x41, 0x42, 0x2B, kL2}), (Words{"ʟL₂", "ʟAB", "ʟL₁", "3", "SetUpEditor "}));
    EXPECT_EQ(rpn({0xBB4A}), (Words{"0", "SetUpEditor "}));
    std::vector<std::uint32_t> ops{0xBB4A};
    for (int k = 0; k < 21; ++k) {
        if (k)
            ops.push_back(0x2B);
        ops.push_back(kL1);
    }
    EXPECT_EQ(failure(ops), std::make_pair(27, 41));
    EXPECT_EQ(failure({0xBB4A, 0x41, 0x70}), std::make_pair(27, 2));
}

TEST_F(StatementParserTest, DelVar)
{
    EXPECT_EQ(rpn(toks({"DelVar ", "A", "DelVar ", "B"})), (Words{"A", "DelVar ", "B", "DelVar "}));
    EXPECT_EQ(rpn({0xBB54, kL1}), (Words{"L₁", "DelVar "}));
}

TEST_F(StatementParserTest, GraphDatabases)
{
    EXPECT_EQ(rpn(toks({"StoreGDB ", "1"})), (Words{"1", "StoreGDB "}));
    EXPECT_EQ(rpn(toks({"StoreGDB ", "\"", "A", "B", "\""})), (Words{"GDB:AB", "StoreGDB "}));
    std::vector<std::uint32_t> ops{0x9A, 0x2A};
    ops.insert(ops.end(), 21, 0x41);
    EXPECT_EQ(failure(ops), std::make_pair(1, 1));
}

TEST_F(StatementParserTest, FinanceVariables)
{
    EXPECT_EQ(rpn(toks({"tvm_Pmt"})), (Words{"0", "tvm_Pmt"}));
    EXPECT_EQ(rpn(toks({"tvm_Pmt", "➞", "A"})), (Words{"0", "tvm_Pmt", "A", "➞"}));
    EXPECT_EQ(failure(toks({"tvm_Pmt", "+", "1"})), std::make_pair(39, 1));
    EXPECT_EQ(rpn(toks({"tvm_Pmt", "(", "1", ")"})), (Words{"1", "1", "tvm_Pmt"}));
}

TEST_F(StatementParserTest, StatementWordsAndSettings)
{
    EXPECT_EQ(rpn(toks({"If ", "A", "=", "1"})), (Words{"A", "1", "=", "If "}));
    EXPECT_EQ(rpn(toks({"For(", "I", ",", "1", ",", "9"})), (Words{"I", "1", "9", "3", "For("}));
    EXPECT_EQ(rpn(toks({"Then"})), (Words{}));
    EXPECT_EQ(rpn(toks({"Radian"})), (Words{"Radian"}));
    EXPECT_EQ(failure(toks({"Radian", "1"})), std::make_pair(1, 1));
    EXPECT_EQ(failure(toks({"1", "+", "Radian"})), std::make_pair(1, 2));
    EXPECT_EQ(rpn(toks({"Fix ", "2"})), (Words{"2", "Fix "}));
    EXPECT_EQ(failure(toks({"Fix "})), std::make_pair(39, 1));
    EXPECT_EQ(failure(toks({"1", "+", "If ", "A"})), std::make_pair(1, 2));
    EXPECT_EQ(rpn(toks({"ZStandard"})), (Words{"ZStandard"}));
}

TEST_F(StatementParserTest, ConversionsEndTheExpression)
{
    EXPECT_EQ(rpn(toks({"1", "/", "3", "▸Frac"})), (Words{"1", "3", "/", "▸Frac"}));
    EXPECT_EQ(failure(toks({"1", "▸Frac", "+", "2"})), std::make_pair(1, 2));
    EXPECT_EQ(failure(toks({"1", "+", "▸Frac"})), std::make_pair(1, 2));
}

TEST_F(StatementParserTest, UnitConversionStaysInsideItsBrackets)
{
    const std::uint32_t ftToM = kConversion | (1u << 26) | (2u << 21) | (3u << 16);
    parse({0x10, 0x33, ftToM, 0x11, 0x70, 0x31});
    ASSERT_EQ(parser.error(), 0) << parser.errorToken();
    const VQStack& out = parser.rpnStack();
    ASSERT_EQ(out.count(), 4);
    EXPECT_EQ(out.opAtIndex(1)->opcode, ftToM);
    EXPECT_EQ(words(out)[3], "+");
}

TEST_F(StatementParserTest, Degrees)
{
    // 30°15'30" is one value.
    parse(toks({"3", "0", "°", "1", "5", "'", "3", "0", "\""}));
    ASSERT_EQ(parser.error(), 0);
    ASSERT_EQ(parser.rpnStack().count(), 1);
    EXPECT_NEAR(parser.rpnStack().peek()->re(), 30.258333333333333, 1e-12);
    // Minutes without "'" are a factor, not lost.
    EXPECT_EQ(rpn(toks({"3", "0", "°", "1", "5"})), (Words{"30", "°", "15", "*"}));
    EXPECT_EQ(rpn(toks({"3", "0", "°", "+", "1"})), (Words{"30", "°", "1", "+"}));
    EXPECT_EQ(failure(toks({"°"})), std::make_pair(1, 0));
    EXPECT_EQ(failure(toks({"3", "0", "°", "1", "5", "'", "3", "0", "+"})), std::make_pair(1, 8));
}

TEST_F(StatementParserTest, LiteralsInPlace)
{
    parse(toks({"1", "2", "0", "0", "+", "1", ".", "5"}));
    const VQStack& out = parser.rpnStack();
    ASSERT_EQ(out.count(), 3);
    EXPECT_EQ(out.opAtIndex(0)->sigFig, 2);
    EXPECT_EQ(out.opAtIndex(0)->sigDec, 2);
    EXPECT_EQ(out.opAtIndex(1)->location, 5);
    EXPECT_TRUE(out.hasDecimalPoint());

    parse(toks({"2", "+", "3"}));
    EXPECT_FALSE(parser.rpnStack().hasDecimalPoint());

    EXPECT_EQ(rpn(toks({"0b", "1", "0", "1"})), (Words{"5"}));
    EXPECT_EQ(rpn(toks({"0h", "F", "F"})), (Words{"255"}));
    EXPECT_EQ(rpn(toks({"2", "0h", "1", "0"})), (Words{"2", "16", "*"}));
    EXPECT_EQ(rpn(toks({"0b"})), (Words{}));
    std::vector<std::uint32_t> ones{0xBBF8};
    ones.insert(ones.end(), 33, 0x31);
    EXPECT_EQ(failure(ones), std::make_pair(27, 34));
    EXPECT_EQ(failure(toks({"1", "ᴱ", "3", "0", "9"})), std::make_pair(1, 4));

    parse(toks({"2", "π"}));
    ASSERT_EQ(parser.rpnStack().count(), 3);
    EXPECT_DOUBLE_EQ(parser.rpnStack().opAtIndex(1)->re(), 3.141592653589793);
    EXPECT_TRUE(parser.rpnStack().hasDecimalPoint());

    parse(toks({"BLUE"}));
    EXPECT_EQ(parser.rpnStack().peek()->re(), 10);
    EXPECT_EQ(parser.rpnStack().peek()->sigFig, -1);
    EXPECT_EQ(rpn(toks({"rand"})), (Words{"Rand0"}));
    EXPECT_EQ(rpn(toks({"rand", "(", "3", ")"})), (Words{"3", "rand"}));
}

TEST_F(StatementParserTest, MixedNumbers)
{
    parse(toks({"1", "␣", "2", "／", "3"}));
    ASSERT_EQ(parser.error(), 0);
    const VQStack& out = parser.rpnStack();
    ASSERT_EQ(out.count(), 4);
    EXPECT_EQ(out.peek()->opcode, 0x5C4Bu);
    EXPECT_EQ(rpn(toks({"2", "／", "3"})), (Words{"2", "3", "／"}));
    EXPECT_EQ(failure(toks({"A", "␣", "2"})), std::make_pair(1, 1));
}

TEST_F(StatementParserTest, SyntaxErrors)
{
    EXPECT_EQ(failure(toks({"2", "+", "*", "3"})), std::make_pair(1, 2));
    EXPECT_EQ(failure(toks({")"})), std::make_pair(1, 0));
    EXPECT_EQ(failure(toks({"1", ","})), std::make_pair(1, 1));
    EXPECT_EQ(failure(toks({"1", "+", "²"})), std::make_pair(1, 2));
    EXPECT_EQ(failure(toks({"1", "'"})), std::make_pair(1, 1));
    EXPECT_EQ(failure({0x31, 0x0000}), std::make_pair(1, 1));
}

TEST_F(StatementParserTest, EntryConditions)
{
    EXPECT_EQ(parser.infixToRPN(static_cast<std::vector<std::uint32_t>*>(nullptr), 0, false), 0);
    // An error already set stops the parse before it starts.
    std::vector<std::uint32_t> ops = toks({"1", "+", "2"});
    parser.setError(16);
    EXPECT_EQ(parser.infixToRPN(&ops, 1, false), 1);
    EXPECT_EQ(parser.error(), 16);
    // A const op array parses the same, and the parse resets the working stacks.
    parser.setError(0);
    const std::vector<std::uint32_t> fixed = toks({"(", "1"});
    EXPECT_EQ(parser.infixToRPN(&fixed, 0), 2);
    EXPECT_EQ(words(parser.rpnStack()), (Words{"1"}));
    EXPECT_EQ(parser.opStack().count(), 0);
    EXPECT_EQ(parser.openParenStack().count(), 0);
    EXPECT_EQ(parser.parensCountOfType(0x10), 0);
}

TEST_F(StatementParserTest, Names)
{
    std::vector<std::uint32_t> ops = {0xEB, 0x41, 0x5B, 0x31, 0xBBB0, 0xBBBC, 0x70};
    parser.setNextToken(0);
    parser.setError(0);
    EXPECT_EQ(parser.parseNameMaxLen(5, ops), std::optional<std::string>("Aθ1al"));
    EXPECT_EQ(parser.nextToken(), 6);
    parser.setNextToken(0);
    EXPECT_EQ(parser.parseNameMaxLen(4, ops), std::nullopt);
    EXPECT_EQ(parser.error(), 27);
    parser.setError(0);
    parser.setNextToken(3);
    EXPECT_EQ(parser.parseNameMaxLen(5, ops), std::nullopt);
    EXPECT_EQ(parser.error(), 1);
    parser.setError(0);
    parser.setNextToken(6);
    EXPECT_EQ(parser.parseNameMaxLen(5, ops), std::nullopt);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_TRUE(Parser::isAlpha(0x5B));
    EXPECT_TRUE(Parser::isAlpha(0xBBCA));
    EXPECT_FALSE(Parser::isAlpha(0xBBBB));
    EXPECT_FALSE(Parser::isAlpha(0x30));
}

TEST_F(StatementParserTest, LiteralScannersOnTheParser)
{
    std::vector<std::uint32_t> ops = toks({"1", "2", ".", "5", "0", "+"});
    bool decimal = false;
    int sigFig = 0, digDec = 0;
    parser.setError(0);
    parser.setNextToken(0);
    EXPECT_EQ(parser.parseNumber(ops, decimal, sigFig, digDec), 12.5);
    EXPECT_TRUE(decimal);
    EXPECT_EQ(sigFig, 4);
    EXPECT_EQ(digDec, -2);
    EXPECT_EQ(parser.nextToken(), 5);

    ops = toks({"1", "0", "2"});
    parser.setNextToken(0);
    EXPECT_EQ(parser.parseBinary(ops), 2);
    EXPECT_EQ(parser.nextToken(), 2);
    parser.setNextToken(0);
    EXPECT_EQ(parser.parseHex(ops), 0x102);

    // Minutes and seconds go into the degrees on top of the output.
    parser.rpnStack().clear();
    parser.rpnStack().pushReal(10, 2, 0, 0);
    ops = toks({"3", "0", "'"});
    parser.setNextToken(0);
    EXPECT_TRUE(parser.parseDMS(ops, decimal));
    EXPECT_DOUBLE_EQ(parser.rpnStack().peek()->re(), 10.5);
    EXPECT_EQ(parser.nextToken(), 3);
}
