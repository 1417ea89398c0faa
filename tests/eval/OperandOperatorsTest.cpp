#include "eval/OperandOperators.h"

#include <cmath>
#include <complex>
#include <initializer_list>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "core/Calculator.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/services/YEqManager.h"
#include "eval/Parser.h"

using namespace orvenda;
using cplx = std::complex<double>;
using Ops = std::vector<std::uint32_t>;

namespace {

// Keeps equations in a map so String▸Equ( and Equ▸String( can be watched.
class FakeYEq : public YEqManager {
public:
    std::map<int, Ops> eqs;
    std::map<int, bool> visible;

    void clearAll() override {}
    std::string eqString(int) const override { return {}; }
    void changeMode(int) override {}
    std::optional<Ops> plotForFunction(int token) const override
    {
        auto it = eqs.find(token);
        return it == eqs.end() ? std::nullopt : std::optional<Ops>(it->second);
    }
    std::shared_ptr<VQStack> rpnForFunction(int) override { return nullptr; }
    int seqFlagsFor(int) override { return 0; }
    int numSeqInitializersFor(int) const override { return 0; }
    void setYEqFunc(int token, const Ops& ops) override { eqs[token] = ops; }
    void setYEqFunc(int, int, double, double, double, double) override {}
    void setFunction(int token, bool plotVisible) override { visible[token] = plotVisible; }
    int initSeq(int, const VQList*) override { return 0; }
    void setStyle(int, const VQColor&, int) override {}
    void setColor(const VQColor&, int) override {}
    bool shouldPlotFunction(int) const override { return false; }
    void deleteEquation(int) override {}
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

class OperandOps : public ::testing::Test {
protected:
    Calculator calc;
    Parser parser{calc};

    EvalContext& ctx() { return parser.ctx(); }

    static Operand real(double x, int location = 0, int sf = 15, int sd = -15)
    {
        Operand r;
        r.kind = KindReal;
        r.value = {x, 0.0};
        r.location = location;
        r.sigFig = sf;
        r.sigDec = sd;
        return r;
    }

    static Operand complex(cplx z, int location = 0)
    {
        Operand r;
        r.kind = KindComplex;
        r.value = z;
        r.location = location;
        return r;
    }

    static Operand list(std::initializer_list<cplx> xs, int location = 0)
    {
        auto l = std::make_shared<VQList>();
        for (cplx x : xs)
            l->addNumber(VQNumber(x, 15, -15));
        Operand r;
        r.kind = l->type() ? KindComplexList : KindRealList;
        r.list = l;
        r.location = location;
        return r;
    }

    static Operand matrix(std::size_t rows, std::size_t cols, std::initializer_list<double> cells,
                          int location = 0)
    {
        auto m = std::make_shared<VQMatrix>(*VQMatrix::matrixWithRow(rows, cols));
        std::size_t k = 0;
        for (double v : cells) {
            m->set(v, k / cols, k % cols);
            ++k;
        }
        Operand r;
        r.kind = KindMatrix;
        r.matrix = m;
        r.location = location;
        return r;
    }

    static Operand string(Ops ops, int location = 0)
    {
        Operand r;
        r.kind = KindString;
        r.string = std::make_shared<Ops>(std::move(ops));
        r.location = location;
        return r;
    }

    static Operand var(int subKind, int token, int location = 0)
    {
        Operand r;
        r.kind = KindVariable;
        r.var.subKind = subKind;
        r.var.token = token;
        r.var.index = token;
        r.location = location;
        return r;
    }

    static std::vector<double> cells(const VQMatrix& m)
    {
        return std::vector<double>(m.m(), m.m() + m.dimRow() * m.dimCol());
    }

    Operand unary(unsigned op, const Operand& x) { return parser.unaryOp(op, x); }
    Operand binary(int op, const Operand& x, const Operand& y) { return parser.binaryOp(op, x, y); }

    // Runs one operation from a clean error state and gives its error number.
    template <class Fn>
    int errorOf(Fn fn)
    {
        ctx().error = 0;
        Operand r = fn();
        EXPECT_EQ(r.error, ctx().error);
        int e = ctx().error;
        ctx().error = 0;
        return e;
    }
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

} // namespace

// ---- Strings ----

TEST_F(OperandOps, StringsJoinLeftFirstAndCompare)
{
    Operand r = binary(0x70, string({0x44, 0x45}), string({0x41, 0x42, 0x43})); // "ABC"+"DE"
    ASSERT_EQ(r.kind, KindString);
    EXPECT_EQ(*r.string, (Ops{0x41, 0x42, 0x43, 0x44, 0x45}));

    r = binary(0x6A, string({0x41, 0x42}), string({0x41, 0x42}));
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.value, cplx(1, 0));
    EXPECT_EQ(binary(0x6F, string({0x41, 0x42, 0x43}), string({0x41, 0x42})).re(), 1);
    EXPECT_EQ(binary(0x6F, string({0x41}), string({0x41})).re(), 0);
    // Equal means every opcode word, template half included.
    EXPECT_EQ(binary(0x6A, string({0x50070}), string({0x70})).re(), 0);

    EXPECT_EQ(errorOf([&] { return binary(0x71, string({0x41}), string({0x41})); }), 1);
    EXPECT_EQ(errorOf([&] { return binary(0x70, real(1), string({0x41})); }), 12);
    EXPECT_EQ(errorOf([&] { return binary(0x70, string({0x41}), real(1)); }), 12);
}

TEST_F(OperandOps, StringFunctions)
{
    Operand r = unary(0xBB2B, string({0x41, 0x42, 0x43}));
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 3);

    r = unary(0xBC, string({0x41}, 6));
    EXPECT_EQ(r.error, 12);
    EXPECT_EQ(r.location, 6);
}

TEST_F(OperandOps, EquationAndStringConversion)
{
    auto yEq = std::make_shared<FakeYEq>();
    calc.yEqManager = yEq;

    // String▸Equ("AB", Y1)
    Operand r = binary(0xBB56, var(VarEquation, 0x5E10), string({0x41, 0x42}));
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(yEq->eqs[0x5E10], (Ops{0x41, 0x42}));
    EXPECT_TRUE(yEq->visible[0x5E10]);

    // String▸Equ(Str3, Y2)
    calc.strings[2] = {0x58};
    r = binary(0xBB56, var(VarEquation, 0x5E11), var(VarString, 0xAA02));
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(yEq->eqs[0x5E11], (Ops{0x58}));

    // Equ▸String(Y1, Str1)
    r = binary(0xBB55, var(VarString, 0xAA00), var(VarEquation, 0x5E10));
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(calc.strings[0], (Ops{0x41, 0x42}));

    EXPECT_EQ(errorOf([&] { return binary(0xBB56, var(VarReal, 0x41), string({0x41})); }), 12);
    EXPECT_EQ(errorOf([&] { return binary(0xBB55, var(VarEquation, 0x5E10), var(VarEquation, 0x5E11)); }), 12);
    EXPECT_EQ(errorOf([&] { return binary(0xBB55, var(VarString, 0xAA00), string({0x41})); }), 12);
    EXPECT_EQ(errorOf([&] { return binary(0x70, var(VarString, 0xAA00), string({0x41})); }), 1);
    EXPECT_EQ(errorOf([&] { return binary(0x70, var(VarReal, 0x41), real(1)); }), 12);
}

// ---- Matrices with numbers and lists ----

TEST_F(OperandOps, MatrixWithNumber)
{
    Operand a = matrix(2, 2, {1, 2, 3, 4}, 1);
    Operand left = binary(0x82, a, real(2, 0));  // 2 * [A]
    Operand right = binary(0x82, real(2, 3), a); // [A] * 2
    ASSERT_EQ(left.kind, KindMatrix);
    ASSERT_EQ(right.kind, KindMatrix);
    EXPECT_EQ(cells(*left.matrix), (std::vector<double>{2, 4, 6, 8}));
    EXPECT_EQ(cells(*left.matrix), cells(*right.matrix));
    EXPECT_EQ(cells(*a.matrix), (std::vector<double>{1, 2, 3, 4}));

    Operand sq = binary(0xF0, real(2), a); // [A]^2
    EXPECT_EQ(cells(*sq.matrix), (std::vector<double>{7, 10, 15, 22}));
    Operand rounded = binary(0x12, real(1), matrix(1, 2, {1.26, 2.04})); // round([A], 1)
    EXPECT_EQ(cells(*rounded.matrix), (std::vector<double>{1.3, 2.0}));

    Operand r = binary(0x70, real(2, 5), a); // [A] + 2
    EXPECT_EQ(r.error, 1);
    EXPECT_EQ(r.location, 5);
    EXPECT_EQ(errorOf([&] { return binary(0x70, list({1, 2}), a); }), 12);
    EXPECT_EQ(errorOf([&] { return binary(0x82, complex({1, 1}), a); }), 12);
    // A power of a non-square matrix is the non-square error of the matrix work.
    EXPECT_EQ(errorOf([&] { return binary(0xF0, real(2), matrix(1, 2, {1, 2})); }), 90);
    EXPECT_EQ(errorOf([&] { return binary(0xF0, real(NAN), a); }), 17);
}

TEST_F(OperandOps, FillMatrix)
{
    Operand a = matrix(2, 2, {1, 2, 3, 4});
    Operand r = binary(0xE2, a, real(7));
    EXPECT_EQ(r.kind, KindDone);
    EXPECT_EQ(cells(*a.matrix), (std::vector<double>{7, 7, 7, 7}));
}

TEST_F(OperandOps, MatrixDimensionList)
{
    Operand a = matrix(1, 1, {5});
    Operand dims = list({2, 3}, 4);
    Operand r = binary(0x101C, a, dims); // {2,3}→dim([A])
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindRealList);
    EXPECT_EQ(r.list->realList(), (std::vector<double>{2, 3}));
    EXPECT_EQ(a.matrix->dimRow(), 2u);
    EXPECT_EQ(a.matrix->dimCol(), 3u);
    EXPECT_EQ(a.matrix->row(0, 0), 5);

    r = binary(0x101C, a, list({2, 3.5}, 4));
    EXPECT_EQ(r.error, 27);
    EXPECT_GE(r.location, 3);
    EXPECT_LE(r.location, 4);
    EXPECT_EQ(errorOf([&] { return binary(0x101C, a, list({100, 1})); }), 24);
    EXPECT_EQ(errorOf([&] { return binary(0x101C, a, list({-1, 1})); }), 24);
    EXPECT_EQ(errorOf([&] { return binary(0x101C, a, list({1, 2, 3})); }), 27);
    EXPECT_EQ(errorOf([&] { return binary(0x101C, a, list({kNaN, 2})); }), 27);
    EXPECT_EQ(errorOf([&] { return binary(0x70, a, list({1, 2})); }), 12);
    EXPECT_EQ(a.matrix->dimCol(), 3u);
}

TEST_F(OperandOps, MatrixErrorMapping)
{
    VQMatrix m;
    const int expected[] = {0, 90, 28, 26, 13, 17, 0};
    for (int code = 0; code <= 6; ++code) {
        m.setError(code);
        EXPECT_EQ(Parser::calcMatrixError(m), expected[code]) << code;
    }
}

// ---- Real mode ----

TEST_F(OperandOps, NonRealAnswersInRealMode)
{
    Operand r = unary(0xBC, real(-4, 3)); // √(−4)
    EXPECT_EQ(r.error, 15);
    EXPECT_EQ(r.location, 3);

    ctx().error = 0;
    r = unary(0xBC, complex({-4, 0})); // √(−4+0i) entered as a complex value
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.value, cplx(0, 2));

    calc.setRealCplxMode(1);
    r = unary(0xBC, real(-4));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindComplex);
    EXPECT_EQ(r.value, cplx(0, 2));
}

TEST_F(OperandOps, NonRealListAnswersInRealMode)
{
    // {−4, 9}^0.5: the list is on the left, the check points at the number.
    Operand r = binary(0xF0, real(0.5, 6), list({-4, 9}, 2));
    EXPECT_EQ(r.error, 15);
    ctx().error = 0;
    r = binary(0xF0, real(0.5, 6), list({-4, 9, cplx(0, 1)}, 2));
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.list->type(), 1);

    // With the list on the right the error points at the left operand.
    r = binary(0xF0, list({0.5}, 2), real(-4, 6));
    EXPECT_EQ(r.error, 15);
    EXPECT_EQ(r.location, 6);
    ctx().error = 0;
    r = binary(0x70, list({1}, 2), real(4, 6));
    EXPECT_EQ(r.error, 0);
}

// ---- Numbers ----

TEST_F(OperandOps, SignificanceFunctions)
{
    Operand r = unary(0x5C62, real(2.5, 0, 2, -1)); // sigFig(
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 2);
    EXPECT_EQ(r.sigFig, 15);
    EXPECT_EQ(unary(0x5C62, real(2.5)).re(), 15);

    r = unary(0x5C64, real(123.456, 0, 4, -1)); // roundSigFig( to the recorded figures
    EXPECT_EQ(r.re(), 123.5);
    EXPECT_EQ(r.sigFig, 4);
    EXPECT_EQ(r.sigDec, -1);
    r = unary(0x5C64, complex({2.5, 1}));
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.value, cplx(2.5, 0));
}

TEST_F(OperandOps, UnsupportedKindsAreDataTypeErrors)
{
    Operand done;
    done.kind = KindDone;
    Operand r = unary(0xBC, done);
    EXPECT_EQ(r.error, 12);
    EXPECT_EQ(r.kind, KindError);
    EXPECT_EQ(errorOf([&] { return unary(0xB0, var(VarReal, 0x41)); }), 12);
    EXPECT_EQ(errorOf([&] { return binary(0x70, done, real(1)); }), 12);
    EXPECT_EQ(errorOf([&] { return binary(0x70, real(1), done); }), 12);
    EXPECT_EQ(errorOf([&] { return binary(0x70, list({1}), string({0x41})); }), 12);
}

TEST_F(OperandOps, EarlierErrorIsKept)
{
    ctx().error = 5;
    Operand r = unary(0xBB2B, string({0x41}));
    EXPECT_EQ(r.error, 5);
    EXPECT_EQ(ctx().error, 5);
}

TEST_F(OperandOps, IdentitySizes)
{
    Operand r = unary(0xB4, real(2.9));
    ASSERT_EQ(r.kind, KindMatrix);
    EXPECT_EQ(cells(*r.matrix), (std::vector<double>{1, 0, 0, 1}));
    for (double bad : {0.0, 0.5, -1.0, -4e9, 100.0, 1e300, kNaN, kInf, -kInf}) {
        ctx().error = 0;
        r = unary(0xB4, real(bad, 4));
        EXPECT_EQ(r.error, 24) << bad;
        EXPECT_GE(r.location, 3);
    EXPECT_LE(r.location, 4);
        EXPECT_FALSE(r.matrix);
    }
    ctx().error = 0;
    EXPECT_EQ(unary(0xB4, real(99)).matrix->dimRow(), 99u);
}

TEST_F(OperandOps, RandomMatrixSizes)
{
    Operand r = binary(0x20, real(3), real(2)); // randM(2, 3)
    ASSERT_EQ(r.kind, KindMatrix);
    EXPECT_EQ(r.matrix->dimRow(), 2u);
    EXPECT_EQ(r.matrix->dimCol(), 3u);
    for (double v : cells(*r.matrix)) {
        EXPECT_GE(v, -9);
        EXPECT_LE(v, 9);
        EXPECT_EQ(v, std::trunc(v));
    }

    r = binary(0x20, real(3, 5), real(2.5, 2));
    EXPECT_EQ(r.error, 27);
    EXPECT_EQ(r.location, 2);
    ctx().error = 0;
    r = binary(0x20, real(kNaN, 5), real(2, 2));
    EXPECT_EQ(r.error, 27);
    EXPECT_EQ(r.location, 5);
    ctx().error = 0;
    for (double bad : {0.0, -1.0, 100.0, 1e10, 1e300}) {
        r = binary(0x20, real(bad, 5), real(2, 2));
        EXPECT_EQ(r.error, 24) << bad;
        EXPECT_EQ(r.location, 5);
        ctx().error = 0;
        r = binary(0x20, real(2, 5), real(bad, 2));
        EXPECT_EQ(r.error, 24) << bad;
        EXPECT_EQ(r.location, 2);
        ctx().error = 0;
    }
    EXPECT_EQ(errorOf([&] { return binary(0x20, complex({2, 1}), real(2)); }), 27);
}

TEST_F(OperandOps, NumbersKeepLeftOpRight)
{
    Operand r = binary(0x71, real(2, 3), real(7, 1)); // 7 − 2
    EXPECT_EQ(r.re(), 5);
    EXPECT_EQ(r.location, 1);
    r = binary(0x83, real(0, 4), real(1, 1));
    EXPECT_EQ(r.error, 14);
}

TEST_F(OperandOps, ExprOfAString)
{
    Operand r = unary(0xBB2A, string({0x34, 0x32}, 3)); // expr("42")
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.kind, KindReal);
    EXPECT_EQ(r.re(), 42);

    r = unary(0xBB2A, string({}, 3));
    EXPECT_EQ(r.error, 19);
    EXPECT_EQ(r.location, 3);

    // expr("1+"): a string that does not compile, reported at the string's position.
    ctx().error = 0;
    r = unary(0xBB2A, string({0x31, 0x70}, 3));
    EXPECT_EQ(r.error, 20);
    EXPECT_GE(r.location, 3);
    EXPECT_LE(r.location, 4);

    // The statement being run keeps its compiled form.
    ctx().error = 0;
    parser.rpnStack().pushReal(7, 15, -15, 0);
    unary(0xBB2A, string({0x35}, 3));
    EXPECT_EQ(parser.rpnStack().count(), 1);
}
