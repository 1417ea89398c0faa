#pragma once

#include "numeric/TVM.h"

#include <vector>

namespace orvenda {

class Calculator;
class NumericArguments;
class Parser;
struct EvalRun;

// The finance functions: npv(, irr(, bal(, Σprn(, ΣInt( and the five time-value-of-money
// solvers tvm_Pmt, tvm_I%, tvm_PV, tvm_N and tvm_FV (▸Nom(, ▸Eff( and dbd( are
// two-argument operators). Loan and solver values the call leaves out come from the finance
// variables N, I%, PV, PMT, FV, P/Y, C/Y and the payment timing; nothing is stored back.
class FinanceHandlers {
public:
    explicit FinanceHandlers(Parser& parser);

    static bool handles(int token);
    void handle(EvalRun& run);

    // The finance variables as a solver record.
    static TVMRecord record(const Calculator& calc);

private:
    void npv(EvalRun& run);
    void irr(EvalRun& run);
    void amortization(EvalRun& run);
    void solve(EvalRun& run);
    // Takes an optional frequency list: whole counts, none negative (17 otherwise).
    bool frequencies(NumericArguments& args, std::vector<double>& counts);
    // Takes rounding digits: a whole real (27) from 0 to 9 (17).
    bool digits(NumericArguments& args, int& d);
    // The solver's error as the calculator's, else the value.
    void finish(NumericArguments& args, const TVM& tvm, double value);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
