#pragma once

#include "core/Operand.h"

#include <complex>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// A growable array of operand records: the parser's operator, output and bracket stacks,
// compiled RPN, and the evaluator's value stack. The capacity it reports grows in steps of
// 10 records and is kept by clear(); the storage under it grows geometrically. Records own their objects through shared pointers, so a record
// taken off the stack (pop, copies) stays valid on its own.
//
// Variable references are resolved through the calculator the stack was given; with none
// it uses Calculator::calculator(). Copies and nested stacks keep the same calculator.
class VQStack {
public:
    using Ops = std::vector<std::uint32_t>;

    static constexpr int kGrowth = 10;

    explicit VQStack(Calculator* calc = nullptr);
    // initWithStack: the other's capacity, records and decimal-point flag.
    VQStack(const VQStack& other);
    VQStack& operator=(const VQStack& other);
    // A moved-from stack is empty with no capacity; its next push grows it.
    VQStack(VQStack&& other) noexcept;
    VQStack& operator=(VQStack&& other) noexcept;
    ~VQStack() = default;

    static std::shared_ptr<VQStack> stackWithStack(const VQStack& other);
    // Makes this stack a copy of the other in place.
    void set(const VQStack& other);
    // Drops every record; the capacity stays.
    void clear();
    void grow();
    // Storage for at least this many records, taken at once (the reported capacity keeps
    // its steps of 10).
    void reserveStorage(int records)
    {
        if (records > 0)
            stack_.reserve(static_cast<std::size_t>(records));
    }

    // ---- Pushing: each sets `location` and clears `error` unless said otherwise ----

    // A copy of the record with the given location; the caller's record gets the location
    // too (not for a const or temporary record).
    void pushOperand(Operand& op, int location);
    void pushOperand(const Operand& op, int location);
    void pushOperand(Operand&& op, int location);
    void pushReal(double x, int sigFig, int sigDec, int location);
    // Pair (15, -15).
    void pushComplex(std::complex<double> z, int location);
    // Kind 3 whatever the list's type.
    void pushList(std::shared_ptr<VQList> list, int location);
    void pushMatrix(std::shared_ptr<VQMatrix> matrix, int location);
    void pushString(VQString ops, int location);
    // Kind 0 with the whole opcode word and the precedence of its low 16 bits.
    void pushOpcode(std::uint32_t opcode, int location);
    // Kind 7 classified by the token; a token naming no variable is logged and pushed as
    // kind 44 with error 16.
    void pushVar(int token, int location);
    // A named list.
    void pushVarName(const std::string& name, int location);
    void pushGDBName(const std::string& name, int location);
    // Kind 32: an input request for the variable, with its prompt.
    void pushIO(std::optional<VQString> prompt, const VarRef& var, int location);
    // Moves the top n records (or as many as there are) into a new stack, the old top
    // first, and pushes it as kind 34 (results) or 36 (prompt).
    void pushResults(int n, int location);
    void pushPrompt(int n, int location);

    // ---- Reading and removing ----

    // Removes the top record and hands it over; nothing when the stack is empty.
    std::optional<Operand> pop();
    // The same, moved into `into`; false (into untouched) when the stack is empty.
    bool pop(Operand& into);
    // Moves the top record as it is (location kept) onto another stack, as the parser
    // moves operators to its output; false when this stack is empty.
    bool moveTopTo(VQStack& to);
    // Removes the top record; nothing when the stack is empty.
    void drop();
    // Null when empty. The pointers stay valid until the stack next changes size.
    Operand* peek();
    const Operand* peek() const;
    // The first record (index 0).
    Operand* lastOperand();
    const Operand* lastOperand() const;
    // Null for an index outside 0..count-1.
    Operand* opAtIndex(int index)
    {
        return index >= 0 && index < count() ? &stack_[static_cast<std::size_t>(index)] : nullptr;
    }
    const Operand* opAtIndex(int index) const
    {
        return index >= 0 && index < count() ? &stack_[static_cast<std::size_t>(index)] : nullptr;
    }
    int count() const { return static_cast<int>(stack_.size()); }
    int top() const { return count(); }
    int stackReserve() const { return reserve_; }
    std::span<Operand> stack() { return stack_; }
    std::span<const Operand> stack() const { return stack_; }
    bool hasDecimalPoint() const { return hasDecimalPoint_; }
    void setHasDecimalPoint(bool b) { hasDecimalPoint_ = b; }

    Calculator& calc() const;
    void setCalc(Calculator* calc) { calc_ = calc; }

    // The value of a record with variable references resolved; null gives the real 0 with
    // pair (10, -10). Failures come back as kind 44 with error 83 (bad index), 29
    // (self-referencing equation), 16 (undefined) or 0 (empty equation).
    Operand getValueWithOp(const Operand* op) const;
    void getValueWithOp(const Operand* op, Operand& into) const;
    // Kind 44 with error 16 and location 0 for an index outside the stack.
    Operand getValueAt(int index) const;
    // The resolved top record; an empty stack gives the real 0 with pair (10, -10).
    Operand popValue();
    // The same into an existing record, which saves the evaluator a copy per argument.
    void popValue(Operand& into);

    // Turns every real-variable reference except those to `token` into its current value.
    void replaceVarsExcept(int token);
    // A copy in which every list reference is the real part of the list's first element.
    std::vector<VQStack> expandLists() const;

    std::string description() const;

private:
    Operand& pushSlot();
    // The record lives in this stack's storage.
    bool holds(const Operand& op) const;
    Operand resolveEquation(const VarRef& var, int location) const;
    // The value a variable reference names, into `into` (which must not hold `var`).
    void resolveInto(const VarRef& var, int location, Operand& into) const;

    std::vector<Operand> stack_;
    int reserve_ = 0;
    bool hasDecimalPoint_ = false;
    Calculator* calc_ = nullptr;
};

} // namespace orvenda
