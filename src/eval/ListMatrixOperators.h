#pragma once

#include <memory>

#include "core/Operand.h"

namespace orvenda {

class Calculator;
class Parser;
class VQList;
class VQMatrix;
class EvalContext;

// The operator layer's work on lists and matrices: the one-operand list and matrix
// functions, list arithmetic element by element (with a number or another list), the
// two-list statistics and sorting, and matrix arithmetic. X is the right-hand operand and Y
// the left-hand one; element-wise work calls the scalar operators once per element, so
// every scalar rule (domains, errors, significance) holds per element.
//
// Results are new lists and matrices, except where the operation is defined on the operand
// itself: the display conversions hand back the operand's own object, and SortA(, SortD(,
// Fill( and StoDim( change the operand (a variable's stored object).
class ListMatrixOperators {
public:
    explicit ListMatrixOperators(Parser& parser) : p_(parser) {}

    // One list; the whole opcode (template bits included) picks the function.
    Operand doOp(std::uint32_t opcode, const Operand& XLc);
    // One matrix; token is the low 16 bits.
    Operand doOp(int token, const std::shared_ptr<VQMatrix>& XM);
    // Two matrices: X's (right) and Y's (left).
    Operand doOp(int token, VQMatrix& XM, VQMatrix& YM);

    // A number X with a list Y on the left.
    Operand doOpXcYLc(int token, const Operand& Xc, const Operand& YLc);
    // A list X on the right with a number Y.
    Operand doOpXLcYc(int token, const Operand& XLc, const Operand& Yc);
    // Two lists: Y's is the first argument, X's the second.
    Operand doOpXLcYLc(int token, const Operand& XLc, const Operand& YLc);

    // The display mode a display-conversion token gives a list or a number; false for any
    // other token.
    bool displayModFor(std::uint32_t token, int& displayMod);

private:
    EvalContext& ctx();
    Calculator& calc();
    Operand elementwise(int token, const Operand& number, const Operand& listRec, bool listOnLeft);
    Operand frequencyStat(int token, const Operand& XLc, const Operand& YLc);

    Parser& p_;
};

} // namespace orvenda
