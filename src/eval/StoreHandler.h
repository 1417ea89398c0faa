#pragma once

#include "core/Operand.h"

#include <complex>
#include <string>

namespace orvenda {

class Calculator;
class Parser;
class VQList;
class VQStack;
struct EvalRun;

// The store arrow ➞: writes the value under the target into the variable the target
// names (a real or complex variable, a list or one element, a matrix or one cell, a
// string, an equation, a sequence's initial values, the table input, the random seed, a
// window or finance variable).
//
// Every check on the target and the value is made before anything is written, so a store
// that fails leaves every store as it was; a target that cannot take a value is an error,
// never a silent no-op.
class StoreHandler {
public:
    explicit StoreHandler(Parser& parser);

    // `target` is the reference taken raw off the stack; the value is still on `stack`.
    // R becomes the stored value (5➞A answers 5) or carries the error.
    void store(const Operand& target, VQStack& stack, Operand& R);
    // ➞ in a run: X is the target, popped raw.
    void handle(EvalRun& run);

    // The real-variable slot a reference names: its index when set, else a one-character
    // name A..Z (0..25) or θ (26); -1 when the name is one other character, -2 when it is
    // not one character long.
    static int slotForReference(const VarRef& var);
    // Whether a token names an equation that can be stored into (Y=, parametric, polar,
    // sequence and XY equations).
    static bool isEquationToken(int token);
    // The most elements a list holds.
    static constexpr int kMaxListLength = 999;
    // The list that a value stored at `position` (0-based) of the list `name` goes into,
    // made now when it does not exist yet; null when the position lies past the list's
    // end or the longest list, or the element would pass what a save keeps (nothing is
    // made then).
    static VQList* listForElement(Calculator& calc, const std::string& name, int position);
    // Whether that position lies within the list or just after its end, short of the
    // longest list.
    static bool inReach(const Calculator& calc, const std::string& name, int position);

private:
    bool fail(int error, int location, Operand& R);
    bool storeReal(const Operand& target, const Operand& value, Operand& R);
    // A real variable by its slot; a window slot changes the window.
    bool storeWindow(int slot, const Operand& value, Operand& R);
    bool storeSlot(int slot, const Operand& value, Operand& R);
    bool storeList(const Operand& target, const Operand& value, Operand& R);
    bool storeListElement(const Operand& target, const Operand& value, Operand& R);
    bool storeMatrix(const Operand& target, const Operand& value, Operand& R);
    bool storeMatrixCell(const Operand& target, const Operand& value, Operand& R);
    bool storeString(const Operand& target, const Operand& value, Operand& R);
    bool storeEquation(const Operand& target, const Operand& value, Operand& R);
    bool storeSeed(const Operand& value, Operand& R);
    bool storeSequenceStart(int slot, const Operand& value, Operand& R);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
