#pragma once

#include "core/Operand.h"

namespace orvenda {

class Calculator;
class Parser;

// Writes a value into the variable a reference names, outside any evaluation: the answer
// typed at a prompt and the program editor's Enter. (The store arrow in an expression is
// the StoreHandler.) Every check is made before anything is written.
class VariableStore {
public:
    explicit VariableStore(Parser& parser);

    // Failures through the parser's error and errorToken (the value's location): 27 for a
    // target that is not a variable or a value of the wrong kind, 24 for a list element or
    // matrix cell outside what is stored (lists do not grow here), 1 for an untyped name
    // and a value that is neither number, list nor string, or a real-variable name that is
    // not one letter.
    void store(const Operand& value, const Operand& target);

private:
    bool fail(int error, int location);
    void storeReal(const Operand& value, const Operand& target);
    void storeListElement(const Operand& value, const Operand& target);
    void storeMatrixCell(const Operand& value, const Operand& target);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
