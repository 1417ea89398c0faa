#pragma once

#include "core/Operand.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace orvenda {

class Parser;
class VQList;

// The numeric library's polynomial, chemistry and text services as the parser offers
// them to the evaluator and the apps: the routines themselves (PolynomialRoots,
// ElementDatabase) know nothing of lists, equations or tokens.
class NumericServices {
public:
    explicit NumericServices(Parser& parser) : p_(parser) {}

    // The zeros of the polynomial whose coefficients the list holds (the leading one
    // first): a real list when every zero is real, else a complex one. Errors: 35 fewer
    // than 2 coefficients, 40 more than 30, 87 a leading 0, 17 a coefficient that is not
    // finite, 27 no zeros found; on an error nothing comes back. A Y= token from Y₁ to Y₀
    // also receives the polynomial, made visible.
    std::shared_ptr<VQList> polySolve(const VQList* coefficients, int yEqu, int& error);
    // Molar mass of a formula; -1 with the index of the faulty character in errLocation.
    double chemWeight(std::string_view formula, int& errLocation) const;
    // Atomic weight (0x5C53), melting point (0x5C54), boiling point (0x5C55) or density
    // (0x5C56) of element first, or a real list of it for first to last. Another token
    // gives kind 44 with error 27.
    Operand chemProperty(int token, int first, int last) const;
    // The value written out in tokens as a string: numbers as the display shows them,
    // lists and matrices in their brackets, a string as it is. Other kinds: error 12.
    Operand toString(const Operand& value);
    // Tokens of the polynomial, highest power first (3X²−X+2); none when every
    // coefficient is 0.
    std::vector<std::uint32_t> polynomialOps(const VQList& coefficients) const;

private:
    Parser& p_;
};

} // namespace orvenda
