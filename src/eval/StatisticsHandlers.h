#pragma once

#include "core/Operand.h"

#include <optional>
#include <string>

namespace orvenda {

class Calculator;
class Parser;
class VQList;
class VQStatistics;
struct EvalRun;

// The statistics commands: 1-Var Stats and 2-Var Stats, the eleven regressions, ANOVA(,
// and (through StatTestCommands) the tests and intervals. Summaries answer a result that
// carries their statistics object (kinds 10 and 11); a regression makes its fit the
// calculator's statistics, writes the statistics variables and RESID, and answers kind
// 12; ANOVA( answers kind 13.
class StatisticsHandlers {
public:
    explicit StatisticsHandlers(Parser& parser);

    static bool handles(int token);
    // Fills R with the result or sets the error.
    void handle(EvalRun& run);

    // Regression model of a regression token (LinReg(ax+b) for any other token).
    static int modelFor(int token);

private:
    bool fail(int error, int location);
    // A list argument popped as its value: error 12 unless it is a list.
    std::optional<Operand> popList(EvalRun& run);
    bool checkFrequencies(const VQList& data, const Operand& freq);
    void oneVarStats(EvalRun& run);
    void twoVarStats(EvalRun& run);
    void regression(EvalRun& run);
    void sinRegression(EvalRun& run);
    // Builds, fits and keeps the regression of the named lists.
    void fit(EvalRun& run, const std::string& x, const std::string& y, const std::optional<std::string>& freq,
             int freqLocation, int equation, const std::optional<double>& period);
    void anova(EvalRun& run);
    // A popped reference to a stored list: its name.
    std::optional<std::string> listName(const Operand& raw) const;
    // A real, or a real variable's value.
    bool realArgument(EvalRun& run, const Operand& raw, double& value) const;

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
