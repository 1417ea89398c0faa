#pragma once

#include "core/Operand.h"

namespace orvenda {

class Calculator;
class Parser;
class VQMatrix;
class EvalContext;

// The two entry points of the operator layer: every token that works on one or two values
// comes through unaryOp or binaryOp, which pick the work by the kinds of the operands and
// hand it to the scalar, list or matrix operators. X is the right-hand operand (popped
// first, the last argument), Y the left-hand one; every operator computes Y op X.
//
// Errors travel in the evaluation context's error and errorToken; the returned record
// carries them too (error, and errorToken as its location). Nothing already set there is
// cleared. The operands' records are never changed; their lists and matrices are changed
// only by the operations defined on the operand itself (sorting, Fill(, StoDim().
class OperandOperators {
public:
    explicit OperandOperators(Parser& parser) : p_(parser) {}

    // opcode is the whole opcode word (a unit conversion keeps its packed units above the
    // low 16 bits).
    Operand unaryOp(std::uint32_t opcode, const Operand& X);
    // token is the 16-bit token.
    Operand binaryOp(int token, const Operand& X, const Operand& Y);

    // The error number for a matrix's error code (0 when it has none).
    static int calcMatrixError(const VQMatrix& matrix);

private:
    EvalContext& ctx();
    Calculator& calc();
    void nonRealCheck(const Operand& result);
    Operand stringUnaryOp(std::uint32_t token, const Operand& X);
    // Whether binaryOp checks a real-mode result for a non-real value afterwards, and
    // which operand an error then points at.
    enum class NonRealCheck { None, PointAtX, PointAtY };
    Operand binaryWork(int token, const Operand& X, const Operand& Y, NonRealCheck& check);
    Operand matrixBinaryOp(int token, const Operand& X, const Operand& Y);
    Operand equationStringOp(int token, const Operand& X, const Operand& Y);
    Operand stringBinaryOp(int token, const Operand& X, const Operand& Y);
    Operand randomMatrix(const Operand& X, const Operand& Y);

    Parser& p_;
};

} // namespace orvenda
