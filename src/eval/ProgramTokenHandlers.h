#pragma once

#include "eval/EvalRun.h"

#include <optional>

namespace orvenda {

class Parser;

// The program commands of the one-byte page. None acts by itself: each turns its
// arguments into a record the statement interpreter and result handling act on (show
// text, ask for input, show a menu, pause, branch or loop). Fix is the one plain command.
class ProgramTokenHandlers {
public:
    explicit ProgramTokenHandlers(Parser& parser) : p_(parser) {}

    // Whether the token is one of these commands.
    static bool handles(int token);
    // Runs the command of run.token; X holds its argument count (prgm: its name).
    void handle(EvalRun& run);

    void input(EvalRun& run);
    void prompt(EvalRun& run);
    void disp(EvalRun& run);
    void output(EvalRun& run);
    void menu(EvalRun& run);
    void pause(EvalRun& run);
    // If, While and Repeat.
    void condition(EvalRun& run);
    // For( and the loop step ForNext(.
    void forLoop(EvalRun& run);
    // IS>( and DS<(.
    void incrementSkip(EvalRun& run);
    void program(EvalRun& run);
    void fix(EvalRun& run);

private:
    void fail(int error, int location);
    std::optional<Operand> onlyArgument(EvalRun& run);
    template <class Accepts>
    std::optional<Operand> popArgument(EvalRun& run, Accepts accepts, int error);
    std::optional<Operand> popRealVariable(EvalRun& run, int error);
    // Puts a shown value (Output(, Pause) into r: its kind in ints[2] and the value.
    bool takeShownValue(Operand& r, const Operand& value);

    Parser& p_;
};

} // namespace orvenda
