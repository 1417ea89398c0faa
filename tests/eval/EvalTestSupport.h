#pragma once

// Operand records built by hand for the operator and handler tests.

#include "core/Calculator.h"
#include "core/Operand.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"
#include "core/services/YEqManager.h"
#include "eval/EvalRun.h"
#include "eval/Parser.h"

#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <vector>

namespace orvenda::testing {

inline Operand real(double x, int location = 0, int sigFig = 15, int sigDec = -15)
{
    Operand r;
    r.kind = KindReal;
    r.value = {x, 0.0};
    r.location = location;
    r.sigFig = sigFig;
    r.sigDec = sigDec;
    return r;
}

inline Operand cplx(double re, double im, int location = 0)
{
    Operand r = real(re, location);
    r.kind = KindComplex;
    r.value = {re, im};
    return r;
}

inline Operand list(std::initializer_list<std::complex<double>> xs, int location = 0)
{
    auto l = std::make_shared<VQList>();
    for (auto x : xs)
        l->addNumber(VQNumber(x, 15, -15));
    Operand r;
    r.kind = l->type() ? KindComplexList : KindRealList;
    r.list = l;
    r.location = location;
    return r;
}

// Cells row by row.
inline Operand matrix(std::size_t rows, std::size_t cols, std::initializer_list<double> cells, int location = 0)
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

inline Operand string(std::vector<std::uint32_t> ops, int location = 0)
{
    Operand r;
    r.kind = KindString;
    r.string = std::make_shared<std::vector<std::uint32_t>>(std::move(ops));
    r.location = location;
    return r;
}

inline std::vector<double> cells(const VQMatrix& m)
{
    return std::vector<double>(m.m(), m.m() + m.dimRow() * m.dimCol());
}

// One- and two-operand work through the parser, each from a clean error state.
class OperatorTest : public ::testing::Test {
protected:
    Operand unary(unsigned op, const Operand& x)
    {
        parser.ctx().error = 0;
        return parser.unaryOp(op, x);
    }
    Operand binary(int op, const Operand& x, const Operand& y)
    {
        parser.ctx().error = 0;
        return parser.binaryOp(op, x, y);
    }

    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser parser{calc};
};

// A handler's run record over its own argument stack.
class HandlerTest : public ::testing::Test {
protected:
    Calculator calc;
    // Handlers run inside an evaluation, which holds the state lock.
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser& parser = calc.parser();
    VQStack stack{&calc};
    VQStack rpn{&calc};
    EvalRun run{stack, rpn};
};

// Equations kept in maps, so stores and String▸Equ( can be watched.
class RecordingYEq : public YEqManager {
public:
    std::map<int, Ops> equations;
    std::map<int, bool> visible;
    std::map<int, std::vector<double>> starts;
    int initSeqResult = 0;

    void clearAll() override {}
    std::string eqString(int) const override { return {}; }
    void changeMode(int) override {}
    std::optional<Ops> plotForFunction(int token) const override
    {
        auto it = equations.find(token);
        return it == equations.end() ? std::nullopt : std::optional<Ops>(it->second);
    }
    std::shared_ptr<VQStack> rpnForFunction(int) override { return nullptr; }
    int seqFlagsFor(int) override { return 0; }
    int numSeqInitializersFor(int) const override { return 0; }
    int setYEqFunc(int token, const Ops& ops) override
    {
        equations[token] = ops;
        return 0;
    }
    void setYEqFunc(int, int, double, double, double, double) override {}
    void setFunction(int token, bool plotVisible) override { visible[token] = plotVisible; }
    int initSeq(int token, const VQList* l) override
    {
        if (initSeqResult == 0 && l)
            starts[token] = l->realList();
        return initSeqResult;
    }
    void setStyle(int, const VQColor&, int) override {}
    void setColor(const VQColor&, int) override {}
    bool shouldPlotFunction(int) const override { return true; }
    void deleteEquation(int) override {}
    nlohmann::json encode() const override { return {}; }
    void decode(const nlohmann::json&) override {}
};

} // namespace orvenda::testing
