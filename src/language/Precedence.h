#pragma once

#include <cstdint>
#include <string>

namespace orvenda {

// How tightly each token binds when an infix statement is put into reverse Polish order.
// A smaller order binds tighter; -1 marks a token that is not an operator (numbers,
// variables, commands, closing brackets). Order 1 is a prefix function.
class Precedence {
public:
    static constexpr std::int32_t notAnOperator = -1;

    // Callers pass the bare 16-bit token (op & 0xFFFF): a token still carrying data in its
    // high half is found on no page and answers -1.
    static std::int32_t opOrder(std::int32_t token);

    // Debug text of an (op, order) entry of the operand stack: "name,order", with ASCII
    // stand-ins for the store arrow, negation and square root ("->", "(-)", "sqrt(").
    static std::string description(std::int32_t op, std::int32_t order);
};

} // namespace orvenda
