#pragma once

#include "eval/EvalRun.h"

#include <memory>
#include <optional>
#include <string>

namespace orvenda {

class Calculator;
class DrawControl;
class Parser;

// The system's own commands that take their arguments off the stack: the program widgets
// (InputField(, Button(, Selector(, Slider(), TriSolve(, the mixed number w␣n/d, the
// element properties chem_atomicWt( to chem_density(, GraphVar( and PolyRoots(.
class OwnPageHandlers {
public:
    explicit OwnPageHandlers(Parser& parser);

    // Whether the own-page token is one of these commands.
    static bool handles(int token);
    // X is the argument count (the mixed number: its denominator).
    void handle(EvalRun& run);

    // The equation that equation number index (0-based) names in a graph mode: Y, X/Y
    // pairs, r, u/v/w or the functions of x and y.
    static int equationToken(int graphMode, int index);
    // How many equations a graph mode numbers: 6 pairs, 6 polar, 3 sequences, else 10.
    static int equationCount(int graphMode);

private:
    void inputField(EvalRun& run);
    void button(EvalRun& run);
    void selector(EvalRun& run);
    void slider(EvalRun& run);
    void triSolve(EvalRun& run);
    void mixedNumber(EvalRun& run);
    void elementProperty(EvalRun& run);
    void graphVar(EvalRun& run);
    void polyRoots(EvalRun& run);

    bool count(EvalRun& run, int min, int max);
    bool popReal(EvalRun& run, double& value);
    std::optional<std::string> popText(EvalRun& run);
    // The two texts that end a widget's arguments, the last one first.
    bool popTexts(EvalRun& run, std::string& last, std::string& before);
    // The label and the variable (taken raw) that end a field's or slider's arguments.
    bool popLabelAndVariable(EvalRun& run, std::string& label, int& varNum);
    // A widget's x, y and width, popped width first.
    bool popPlace(EvalRun& run, DrawControl& widget);
    // A variable reference taken raw; error 27 at its place when it is none.
    std::optional<Operand> popReference(EvalRun& run);
    // The widget into the program's controls (on the main thread), R as the command says.
    void addControl(EvalRun& run, std::shared_ptr<DrawControl> control, bool named);
    void fail(int error, int location);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
