#pragma once

#include <string>

namespace orvenda {

class Calculator;
class VQStatistics;
struct Operand;

// The multi-line texts of statistics results (result kinds 10 to 30) that the history and
// the program output show, lines separated by "\n". The summaries read the statistics
// object of their result, the regression the calculator's last fit, ANOVA and the tests
// and intervals the statistics variable slots. Numbers are in the current number format;
// the summaries format theirs at most 10 characters wide. Nothing is changed.
class StatisticsText {
public:
    explicit StatisticsText(const Calculator& calc) : calc_(calc) {}

    // By the record's kind; "" for a kind outside 10..30 or a summary without its object.
    std::string format(const Operand& op) const;
    std::string format1VarStat(const VQStatistics& stats) const;
    std::string format2VarStat(const VQStatistics& stats) const;
    // "" for no fit or a model outside 0..10.
    std::string formatRegression() const;
    // Kinds 13 to 30 from the slots.
    std::string formatFromSlots(int kind) const;

private:
    const Calculator& calc_;
};

} // namespace orvenda
