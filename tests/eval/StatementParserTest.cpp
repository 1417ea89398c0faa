#include "eval/Parser.h"

#include "cases/EntryText.h"
#include "core/Calculator.h"
#include "language/Vocabulary.h"

#include <gtest/gtest.h>
#include <charconv>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Answers of parsed entries are in tests/cases; these check the reverse Polish output record
// by record and the token index of each parse error.

using namespace orvenda;
using Ops = std::vector<std::uint32_t>;

namespace {

constexpr std::uint32_t kNewLine = 0x3F;
constexpr std::uint32_t kL1 = 0x5D00;
constexpr std::uint32_t kL2 = 0x5D01;
constexpr std::uint32_t kY1 = 0x5E10;
constexpr std::uint32_t kY2 = 0x5E11;
constexpr std::uint32_t kMatA = 0x5C00;
constexpr std::uint32_t kComment = 0x5C34;
constexpr std::uint32_t kConversion = 0xBB5D;

// Typed text as tokens, as the case files type it.
Ops t(const std::string& text)
{
    static const cases::EntryText entry;
    std::string bad;
    auto ops = entry.toOps(text, bad);
    EXPECT_TRUE(ops) << "no token for " << bad;
    return ops ? *ops : Ops{};
}

// The output as words between single blanks: numbers by value, the rest by name.
std::string words(const VQStack& rpn)
{
    const Vocabulary& v = Vocabulary::shared();
    auto name = [&](std::uint32_t op) {
        std::string n = v.nameForOpcode(op);
        const auto first = n.find_first_not_of(' ');
        return first == std::string::npos ? n : n.substr(first, n.find_last_not_of(' ') - first + 1);
    };
    std::string out;
    for (const Operand& r : rpn.stack()) {
        std::string w;
        switch (r.kind) {
        case KindOpcode:
            w = name(r.opcode & 0xFFFFu) + (r.var.name.empty() ? "" : ":" + r.var.name);
            break;
        case KindReal: {
            char buf[64];
            w.assign(buf, std::to_chars(buf, buf + sizeof buf, r.re()).ptr);
            break;
        }
        case KindVariable:
            w = r.var.subKind == VarList && r.var.index < 0 ? "ʟ" + r.var.name
                                                              : name(static_cast<std::uint32_t>(r.var.token));
            break;
        case KindString:
            w = "\"";
            for (std::uint32_t op : *r.string)
                w += v.nameForOpcode(op);
            w += "\"";
            break;
        case KindGDBName:
            w = "GDB:" + r.var.name;
            break;
        default:
            w = "kind" + std::to_string(r.kind);
        }
        out += (out.empty() ? "" : " ") + w;
    }
    return out;
}

class StatementParserTest : public ::testing::Test {
protected:
    Calculator calc;
    Parser& parser = calc.parser();

    int parse(Ops ops, int start = 0)
    {
        ops_ = std::move(ops);
        parser.setError(0);
        return parser.infixToRPN(&ops_, start, false);
    }
    std::string rpn(Ops ops)
    {
        parse(std::move(ops));
        EXPECT_EQ(parser.error(), 0) << "at token " << parser.errorToken();
        return words(parser.rpnStack());
    }

    Ops ops_;
};

} // namespace

TEST_F(StatementParserTest, ReversePolishOutput)
{
    struct Case {
        Ops ops;
        const char* words;
    };
    const Case cases[] = {
        // Implied multiplication; nothing multiplies after a string.
        {t("2(3)"), "2 3 *"},
        {t("2A"), "2 A *"},
        {{0x32, 0xB0, 0x33}, "2 3 - *"},
        {t("ABsin(C"), "A B * C sin( *"},
        {t("2ɩ̇"), "2 ɩ̇ *"},
        {t("\"A\"2"), "\"A\" 2"},
        // Precedence: equal orders go left to right, "^" too; a prefix function keeps the
        // operator before it.
        {t("1+2*3"), "1 2 3 * +"},
        {t("2^3^2"), "2 3 ^ 2 ^"},
        {t("-2^2"), "2 2 ^ -"},
        {t("A²+1"), "A ² 1 +"},
        {t("1+(2—3)*4"), "1 2 3 — 4 * +"},
        {t("2^√(4)"), "2 4 √( ^"},
        {t("√(4)^2"), "4 √( 2 ^"},
        {t("max(1,2"), "1 2 2 max("},
        {t("(1+2->A"), "1 2 + A ➞"},
        // Lists and matrices.
        {t("{1,2,3}"), "1 2 3 3 {"},
        {t("[[1,2][3,4]]"), "1 2 2 [ 3 4 2 [ 2 ]"},
        {t("2{1}"), "2 1 1 { *"},
        // Elements.
        {{kL1, 0x10, 0x32, 0x11}, "2 List1e"},
        {{kMatA, 0x10, 0x31, 0x2B, 0x32, 0x11}, "1 2 MatrixAe"},
        {t("ʟAB(3)"), "3 Liste:AB"},
        {t("ʟAB+1"), "ʟAB 1 +"},
        {{kL1, 0x32}, "L₁ 2 *"},
        {{kY1, 0x10, 0x32, 0x11}, "2 Y₁"},
        // A MathPrint template (template ID 1 in the high half) is one operand once its last
        // part closes; plain brackets are not.
        {{0x10010, 0x32, 0x10011, 0x1EF38, 0x10010, 0x33, 0x10011, 0x0D}, "2 3 ／ ²"},
        {{0x32, 0x100F0, 0x10010, 0x33, 0x10011, 0x0D}, "2 3 ^ ²"},
        {{0x32, 0x1EF39, 0x10010, 0x31, 0x10011, 0x1EF38, 0x10010, 0x34, 0x10011, 0x0D}, "2 1 4 ␣ ²"},
        {t("2^(3)²"), "2 3 ² ^"},
        {t("Ans(2)"), "2 1 ANSe"},
        // Argument counts; a group inside a group counts only when it holds several values.
        {t("gcd(4,6)"), "4 6 2 gcd("},
        {t("sub(\"A\",1,1)"), "\"A\" 1 1 3 sub("},
        {t("sin(1)"), "1 sin("},
        {t("(1)"), "1"},
        // Commands with optional arguments.
        {t("Disp"), "0 Disp"},
        {t("Disp 1,A"), "1 A 2 Disp"},
        {t("FnOn"), "FnOn"},
        {t("FnOn 1,2"), "1 2 2 FnOn"},
        {t("2-SampTTest"), "2-SampTTest"},
        {t("Pause"), "0 Pause"},
        {t("Pause A"), "A 1 Pause"},
        {t("Plot1(Scatter,A)"), "Scatter A 2 Plot1("},
        // Expression arguments stay unevaluated; they end at the statement end too, and count
        // their own commas.
        {t("solve(X²—2,X,1)"), "fnBegin X ² 2 — fnEnd X 1 3 solve("},
        {t("fnInt(X²,X,0,1"), "fnBegin X ² fnEnd X 0 1 4 fnInt("},
        {t("DrawF sin(X"), "fnBegin X sin( fnEnd 1 DrawF"},
        {{0xA4, kY1, 0x2B, kY2}, "fnBegin Y₁ fnEnd fnBegin Y₂ fnEnd 2 Shade("},
        {{0xA4, kY1, 0x2B, kY2, 0x2B, 0x31, 0x11}, "fnBegin Y₁ fnEnd fnBegin Y₂ fnEnd 1 3 Shade("},
        {t("fnInt(max(X,1),X,0,1)"), "fnBegin X 1 2 max( fnEnd X 0 1 4 fnInt("},
        // Menu labels packed into numbers.
        {t("Menu(\"T\",\"A\",1,\"B\",Q 1)"), "\"T\" \"A\" 49 \"B\" 5308465 5 Menu("},
        // Store targets.
        {t("3->A"), "3 A ➞"},
        {t("3->ABC"), "3 ʟABC ➞"},
        {t("3->AB(2)"), "3 2 Liste:AB ➞"},
        {{0x33, 0x04, 0xB5, kL1}, "3 L₁ StoDim("},
        {t("1->rand"), "1 rand ➞"},
        {t("\"A:B\""), "\"A:B\""},
        {{0x2A, 0x41, 0x42, 0x04, 0xAA00}, "\"AB\" Str1 ➞"},
        // Names and variables of commands.
        {{0xBB4A, kL1, 0x2B, 0x41, 0x42, 0x2B, kL2}, "ʟL₂ ʟAB ʟL₁ 3 SetUpEditor"},
        {{0xBB4A}, "0 SetUpEditor"},
        {t("DelVar ADelVar B"), "A DelVar B DelVar"},
        {{0xBB54, kL1}, "L₁ DelVar"},
        {t("StoreGDB 1"), "1 StoreGDB"},
        {t("StoreGDB \"AB\""), "GDB:AB StoreGDB"},
        {t("tvm_Pmt"), "0 tvm_Pmt"},
        {t("tvm_Pmt->A"), "0 tvm_Pmt A ➞"},
        {t("tvm_Pmt(1)"), "1 1 tvm_Pmt"},
        // Statement words and settings.
        {t("If A=1"), "A 1 = If"},
        {t("For(I,1,9"), "I 1 9 3 For("},
        {t("Then"), ""},
        {t("Radian"), "Radian"},
        {t("Fix 2"), "2 Fix"},
        {t("ZStandard"), "ZStandard"},
        {t("1/3▸Frac"), "1 3 / ▸Frac"},
        // Literals: minutes without "'" are a factor, not lost.
        {t("30°15"), "30 ° 15 *"},
        {t("30°+1"), "30 ° 1 +"},
        {t("0b101"), "5"},
        {t("0hFF"), "255"},
        {t("20h10"), "2 16 *"},
        {t("0b"), ""},
        {t("rand"), "Rand0"},
        {t("rand(3)"), "3 rand"},
        {t("2／3"), "2 3 ／"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rpn(c.ops), c.words) << c.words;
}

TEST_F(StatementParserTest, ErrorsAndTheirTokens)
{
    struct Case {
        Ops ops;
        int error, at;  // at -1: not checked
    };
    Ops editor{0xBB4A};  // SetUpEditor with 21 lists
    for (int k = 0; k < 21; ++k) {
        if (k)
            editor.push_back(0x2B);
        editor.push_back(kL1);
    }
    Ops gdb{0x9A, 0x2A};  // StoreGDB with a 21-letter name
    gdb.insert(gdb.end(), 21, 0x41);
    Ops ones{0xBBF8};  // 33 binary digits
    ones.insert(ones.end(), 33, 0x31);
    const Case cases[] = {
        {t("{1,{2}}"), 1, 3},
        {t("[[[1]]]"), 1, 2},
        {t("[1,[2]]"), 1, 3},
        {t("{1)"), 1, 2},
        {t("{}"), 39, -1},
        {{kL1, 0x10, 0x31, 0x2B, 0x32, 0x11}, 27, 5},
        {{kMatA, 0x10, 0x31, 0x11}, 27, -1},
        {t("sub(\"A\",1)"), 39, 6},
        {t("gcd(1,2,3)"), 40, 6},
        {t("sin()"), 39, 1},
        {t("sin(1,2)"), 40, 4},
        {t("max(1,)"), 39, 3},
        {t("max(,1)"), 1, 1},
        {t("sin("), 39, 1},
        {t("1+sin(:"), 39, 3},
        {t("1+FnOn"), 1, 2},
        {t("fnInt(X)"), 39, -1},
        // Nesting: seq( and the solvers never, fnInt( and nDeriv( once.
        {t("seq(seq(X,X,1,2),X,1,2"), 22, 1},
        {t("fMin(fMax(X"), 22, -1},
        {t("fnInt(fnInt(X,X,0,1),X,0,1)"), 0, -1},
        {t("nDeriv(nDeriv(X²,X,X),X,1)"), 0, -1},
        {t("nDeriv(nDeriv(nDeriv(X"), 22, 2},
        {t("Lbl ABC"), 1, 3},
        {t("Lbl +"), 1, 1},
        {t("Menu(\"T\",\"A\",A+"), 1, 10},
        {t("3->ABCDEF"), 27, 7},
        {t("3+->A"), 1, 2},
        {t("\"A\"\""), 20, 3},
        {t("prgm1A"), 27, 1},
        {t("prgmA+"), 27, 2},
        {editor, 27, 41},
        {{0xBB4A, 0x41, 0x70}, 27, 2},
        {gdb, 1, 1},
        {t("tvm_Pmt+1"), 39, 1},
        {t("Radian1"), 1, 1},
        {t("1+Radian"), 1, 2},
        {t("Fix"), 39, 1},
        {t("1+If A"), 1, 2},
        {t("1▸Frac+2"), 1, 2},
        {t("1+▸Frac"), 1, 2},
        {t("°"), 1, 0},
        {t("30°15'30+"), 1, 8},
        {ones, 27, 34},
        {t("1ᴱ309"), 1, 4},
        {{0x41, Vocabulary::shared().opcodeForName("␣"), 0x32}, 1, 1},
        {t("2+*3"), 1, 2},
        {t(")"), 1, 0},
        {t("1,"), 1, 1},
        {t("1+²"), 1, 2},
        {t("1'"), 1, 1},
        {{0x31, 0x0000}, 1, 1},
        // An operator left without its operand is told by the parse itself, at the operator:
        // a line is checked by compiling it.
        {t("2+"), 1, 1},
        {t("(2*)"), 1, 2},
        {t("max(2-,3)"), 1, 2},
        {t("2+:3"), 1, 1},
        {t("{1,2^}"), 1, 4},
        {t("3--"), 1, 2},
        {t("X=2+"), 1, 3},
        {t("2->"), 1, 1},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        parse(cases[i].ops);
        EXPECT_EQ(parser.error(), cases[i].error) << "case " << i;
        if (cases[i].at >= 0) {
            EXPECT_EQ(parser.errorToken(), cases[i].at) << "case " << i;
        }
    }
    EXPECT_FALSE(parser.nestedOp(0x24));
}

// Closing brackets are appended when asked; a statement end closes open brackets first.
TEST_F(StatementParserTest, BracketsAndStatementEnds)
{
    Ops ops = t("max(1,2");
    parser.setError(0);
    EXPECT_EQ(parser.infixToRPN(&ops, 0, true), 4);
    EXPECT_EQ(ops, t("max(1,2)"));
    EXPECT_EQ(words(parser.rpnStack()), "1 2 2 max(");
    ops = t("1+(2*(3");
    parser.infixToRPN(&ops, 0, true);
    EXPECT_EQ(ops, t("1+(2*(3))"));
    EXPECT_EQ(words(parser.rpnStack()), "1 2 3 * +");

    EXPECT_EQ(parse(t("1+2:3")), 4);
    EXPECT_EQ(words(parser.rpnStack()), "1 2 +");
    EXPECT_EQ(parse(t("1:3+4"), 2), 5);
    EXPECT_EQ(words(parser.rpnStack()), "3 4 +");
    EXPECT_EQ(parse({0x10, 0x31, 0x70, 0x32, kNewLine, 0x33}), 5);
    EXPECT_EQ(words(parser.rpnStack()), "1 2 +");
    EXPECT_EQ(parse(t("DrawF X²:1")), 4);
    EXPECT_EQ(words(parser.rpnStack()), "fnBegin X ² fnEnd 1 DrawF");
    // A comment runs to the end of its line.
    EXPECT_EQ(parse({kComment, 0x41, 0x42, kNewLine, 0x31}), 4);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(parser.rpnStack().count(), 0);
    EXPECT_EQ(parse({kComment, 0x41}), 2);
    EXPECT_EQ(parser.rpnStack().count(), 0);
}

TEST_F(StatementParserTest, LabelsGotoAndMenus)
{
    EXPECT_EQ(parse(t("Lbl AB:1")), 4);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(parser.rpnStack().count(), 0);
    // Goto keeps its compiled jump target and outputs nothing for the label.
    parse({0x002A00D7u, 0x41, 0x31});
    ASSERT_EQ(parser.rpnStack().count(), 1);
    EXPECT_EQ(parser.rpnStack().peek()->opcode, 0x002A00D7u);

    Ops ops = t("A1:");
    int i = 0;
    EXPECT_EQ(parser.getLabel(ops, i), (0x41u << 16) + 0x31u);
    EXPECT_EQ(i, 2);
    i = 0;
    ops = t("θ");
    EXPECT_EQ(parser.getLabel(ops, i), 0x5Bu);

    rpn(t("Menu(\"T\",\"A\",1)"));
    EXPECT_FALSE(parser.processingMenu());
}

TEST_F(StatementParserTest, RecordsKeepWhatTheWordsDoNotShow)
{
    // A string keeps full opcodes; a program name its text.
    parse({0x2A, 0x00050070u, 0x2A});
    EXPECT_EQ((*parser.rpnStack().peek()->string)[0], 0x00050070u);
    EXPECT_EQ(rpn(t("prgmAB1:2")), "\"AB1\" prgm»");
    EXPECT_EQ(parser.rpnStack().opAtIndex(0)->var.name, "AB1");

    // A unit conversion stays inside its brackets.
    const std::uint32_t ftToM = kConversion | (1u << 26) | (2u << 21) | (3u << 16);
    parse({0x10, 0x33, ftToM, 0x11, 0x70, 0x31});
    ASSERT_EQ(parser.error(), 0) << parser.errorToken();
    ASSERT_EQ(parser.rpnStack().count(), 4);
    EXPECT_EQ(parser.rpnStack().opAtIndex(1)->opcode, ftToM);

    // 30°15'30" is one value, to full precision.
    Ops dms = t("30°15'30");
    dms.push_back(0x2A);
    parse(dms);
    ASSERT_EQ(parser.rpnStack().count(), 1);
    EXPECT_NEAR(parser.rpnStack().peek()->re(), 30.258333333333333, 1e-12);

    // 1 2/3 as a mixed number.
    parse({0x31, Vocabulary::shared().opcodeForName("␣"), 0x32, 0xEF38, 0x33});
    ASSERT_EQ(parser.rpnStack().count(), 4);
    EXPECT_EQ(parser.rpnStack().peek()->opcode, 0x5C4Bu);
}

TEST_F(StatementParserTest, LiteralsInPlace)
{
    parse(t("1200+1.5"));
    const VQStack& out = parser.rpnStack();
    ASSERT_EQ(out.count(), 3);
    EXPECT_EQ(out.opAtIndex(0)->sigFig, 2);
    EXPECT_EQ(out.opAtIndex(0)->sigDec, 2);
    EXPECT_EQ(out.opAtIndex(1)->location, 5);
    EXPECT_TRUE(out.hasDecimalPoint());
    parse(t("2+3"));
    EXPECT_FALSE(parser.rpnStack().hasDecimalPoint());
    parse(t("2π"));
    ASSERT_EQ(parser.rpnStack().count(), 3);
    EXPECT_DOUBLE_EQ(parser.rpnStack().opAtIndex(1)->re(), 3.141592653589793);
    EXPECT_TRUE(parser.rpnStack().hasDecimalPoint());
    parse(t("BLUE"));
    EXPECT_EQ(parser.rpnStack().peek()->re(), 10);
    EXPECT_EQ(parser.rpnStack().peek()->sigFig, -1);
}

TEST_F(StatementParserTest, EntryConditions)
{
    EXPECT_EQ(parser.infixToRPN(static_cast<Ops*>(nullptr), 0, false), 0);
    // An error already set stops the parse before it starts.
    Ops ops = t("1+2");
    parser.setError(16);
    EXPECT_EQ(parser.infixToRPN(&ops, 1, false), 1);
    EXPECT_EQ(parser.error(), 16);
    // A const op array parses the same, and the parse resets the working stacks.
    parser.setError(0);
    const Ops fixed = t("(1");
    EXPECT_EQ(parser.infixToRPN(&fixed, 0), 2);
    EXPECT_EQ(words(parser.rpnStack()), "1");
    EXPECT_EQ(parser.opStack().count(), 0);
    EXPECT_EQ(parser.openParenStack().count(), 0);
    EXPECT_EQ(parser.parensCountOfType(0x10), 0);
}

TEST_F(StatementParserTest, Names)
{
    Ops ops = {0xEB, 0x41, 0x5B, 0x31, 0xBBB0, 0xBBBC, 0x70};
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
    Ops ops = t("12.50+");
    bool decimal = false;
    int sigFig = 0, digDec = 0;
    parser.setError(0);
    parser.setNextToken(0);
    EXPECT_EQ(parser.parseNumber(ops, decimal, sigFig, digDec), 12.5);
    EXPECT_TRUE(decimal);
    EXPECT_EQ(sigFig, 4);
    EXPECT_EQ(digDec, -2);
    EXPECT_EQ(parser.nextToken(), 5);

    ops = t("102");
    parser.setNextToken(0);
    EXPECT_EQ(parser.parseBinary(ops), 2);
    EXPECT_EQ(parser.nextToken(), 2);
    parser.setNextToken(0);
    EXPECT_EQ(parser.parseHex(ops), 0x102);

    // Minutes and seconds go into the degrees on top of the output.
    parser.rpnStack().clear();
    parser.rpnStack().pushReal(10, 2, 0, 0);
    ops = t("30'");
    parser.setNextToken(0);
    EXPECT_TRUE(parser.parseDMS(ops, decimal));
    EXPECT_DOUBLE_EQ(parser.rpnStack().peek()->re(), 10.5);
    EXPECT_EQ(parser.nextToken(), 3);
}

TEST_F(StatementParserTest, ConstantsHaveTheirValuesAndOnlyTheTablesIndices)
{
    constexpr std::uint32_t kConstant = 0xBB5E;
    parse({kConstant | (5u << 16)});  // the electron mass
    ASSERT_EQ(parser.error(), 0);
    ASSERT_EQ(parser.rpnStack().count(), 1);
    EXPECT_EQ(parser.rpnStack().peek()->re(), 9.10938215e-31);
    parse({0x32, kConstant});  // 2c: implied product with the speed of light
    ASSERT_EQ(parser.error(), 0);
    EXPECT_EQ(words(parser.rpnStack()), "2 299792458 *");
    // An index from a file beyond the twenty constants is a domain error at its token.
    parse({0x31, 0x70, kConstant | (20u << 16)});
    EXPECT_EQ(parser.error(), 17);
    EXPECT_EQ(parser.errorToken(), 2);
}

// Each token is classed the first time a parser meets it, on whichever thread that is: two
// parsers meeting the same tokens on two threads at once read them as one parser does.
TEST(StatementParserThreadsTest, ParsersOnTwoThreadsReadTheSameTokensAlike)
{
    const std::vector<std::pair<Ops, std::string>> cases = {
        {t("1+2*3"), "1 2 3 * +"},
        {t("max(1,2"), "1 2 2 max("},
        {t("If A=1"), "A 1 = If"},
        {t("Disp 1,A"), "1 A 2 Disp"},
        {t("fnInt(X²,X,0,1"), "fnBegin X ² fnEnd X 0 1 4 fnInt("},
        {t("3->AB(2)"), "3 2 Liste:AB ➞"},
        {{0xBB4A, kL1, 0x2B, 0x41, 0x42, 0x2B, kL2}, "ʟL₂ ʟAB ʟL₁ 3 SetUpEditor"},
    };
    auto parseAll = [&cases] {
        Calculator calc;
        std::vector<std::string> out;
        for (const auto& c : cases) {
            Ops ops = c.first;
            calc.parser().setError(0);
            calc.parser().infixToRPN(&ops, 0, false);
            out.push_back(calc.parser().error() == 0 ? words(calc.parser().rpnStack()) : "error");
        }
        return out;
    };
    std::vector<std::string> other;
    std::thread thread([&] { other = parseAll(); });
    const std::vector<std::string> mine = parseAll();
    thread.join();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(mine[i], cases[i].second);
        EXPECT_EQ(other[i], cases[i].second);
    }
}
