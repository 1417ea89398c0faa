#pragma once

namespace orvenda {

class Calculator;
class Parser;
struct EvalRun;

// The 0xBB-page commands that change stored data rather than compute a value: Matr▸list(
// and List▸matr(, SetUpEditor, DelVar, GraphStyle(, and the distribution shading
// commands. Each answers done, the shading commands a shown graph (kind 35). A command
// checks all its arguments before it stores anything.
class StoredDataCommands {
public:
    explicit StoredDataCommands(Parser& parser);

    static bool handles(int token);
    void handle(EvalRun& run);

private:
    bool fail(int error, int location);
    void matrixToLists(EvalRun& run);
    void listsToMatrix(EvalRun& run);
    void setUpEditor(EvalRun& run);
    void deleteVariable(EvalRun& run);
    void graphStyle(EvalRun& run);
    void shade(EvalRun& run);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
