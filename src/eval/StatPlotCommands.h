#pragma once

namespace orvenda {

class Calculator;
class Parser;
struct EvalRun;

// The commands that switch stat plots and Y= equations on and off (PlotsOn, PlotsOff,
// FnOn, FnOff) and define a stat plot (Plot1( to Plot6(). They act on the calculator's
// stat plot and Y= managers, doing nothing where a manager is missing, and answer done.
// A plot definition checks every argument before it changes anything.
class StatPlotCommands {
public:
    explicit StatPlotCommands(Parser& parser);

    static bool handles(int token);
    void handle(EvalRun& run);

private:
    bool fail(int error, int location);
    // Plot number 0..5 from the arguments on the run's stack.
    void definePlot(EvalRun& run, int plot);
    void switchPlots(EvalRun& run, bool on);
    void switchFunctions(EvalRun& run, bool on);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
