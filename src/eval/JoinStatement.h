#pragma once

#include "core/Operand.h"

#include <memory>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class VQStack;

// A statement that joins onto a string or list variable and stores the result back into
// it, done without the general evaluator: Str1+"A"➞Str1 and Str1+Str2➞Str1, and
// augment(L₁,{…})➞L₁ with numbers and real variables in the braces. The variable's
// elements grow in place while it holds their newest copy (the copies Ans and others hold
// keep theirs), so a loop that builds a string or list this way is linear.
//
// Its result record is the one the general evaluator gave when the statement first ran
// (learn()), with the new string or list: until then it is not ready and the general
// evaluator does the statement.
class JoinStatement {
public:
    // Null when the statement is not such a join.
    static std::unique_ptr<JoinStatement> compile(const VQStack& rpn);

    bool ready() const { return ready_; }
    // The general evaluator's record for the statement, and the token it left as the
    // statement's place.
    void learn(const Operand& result, int errorToken);
    int errorToken() const { return errorToken_; }

    // Joins and stores; the caller holds the calculator's state lock. False, with nothing
    // changed, when the general evaluator must do it (a list not stored, a variable that
    // is not a plain real).
    bool run(Calculator& calc) const;
    // The general evaluator's record for the statement just run: the variable's new value.
    void result(const Calculator& calc, Operand& into) const;

private:
    JoinStatement() = default;
    static std::unique_ptr<JoinStatement> compileString(const VQStack& rpn);
    static std::unique_ptr<JoinStatement> compileList(const VQStack& rpn);
    bool runList(Calculator& calc) const;

    // A string: Str1..Str0 as 0..9, joined onto and stored into, and the one joined (-1
    // for the string written in the statement).
    int target_ = -1;
    int source_ = -1;
    VQString literal_;
    // A list: its name and the elements joined, each a number or (slot >= 0) a variable.
    struct Element {
        double value = 0;
        int slot = -1;
    };
    std::string list_;
    std::vector<Element> elements_;

    Operand record_;
    int errorToken_ = 0;
    bool ready_ = false;
};

} // namespace orvenda
