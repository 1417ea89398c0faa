#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvenda {

class Calculator;
class VQList;
struct Operand;

// Whole results and stored variables as display text: evaluation results for the editor
// fields, error numbers, Ans, and the one-line listings of the variables menu. Reads the
// calculator's modes and stores at the moment of the call, under its state lock.
class ValueText {
public:
    // Listing lines end their value at this column.
    static constexpr int kListingWidth = 22;

    explicit ValueText(const Calculator& calc) : calc_(calc) {}

    // The text of an evaluation result by its kind; statistics results (kinds 10-30) by
    // StatisticsText.
    std::string formatOperand(const Operand& op) const;
    // "Bad error" for a number outside the error table.
    static const std::string& formatError(int number);
    std::string getAns() const;
    // The token's name, blanks, and its value ending at column 22.
    std::string getVariable(std::uint32_t token) const;
    // Whether getVariable shows the token's value as the number in its slot: not for
    // TblInput (a list), RegEQ (an equation), a GDB (saved or not) or Begin/End.
    static bool showsNumber(std::uint32_t token);
    // Str1..Str0: the name, then the text in double quotes unless it is empty.
    std::string getStringVariable(std::uint32_t token) const;
    // An equation's name, then its text in double quotes unless it is empty.
    std::string getYEqVariable(std::uint32_t token) const;
    // The key under which this very list object is stored; an equal copy has none.
    std::optional<std::string> nameForList(const VQList* list) const;

private:
    std::string variableValue(std::uint32_t token, const std::string& name) const;

    const Calculator& calc_;
};

} // namespace orvenda
