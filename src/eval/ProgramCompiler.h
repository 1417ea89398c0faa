#pragma once

#include "core/Operand.h"
#include "core/VQStack.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Parser;

// Turns op arrays into something runnable outside the program queue: compiles program
// block structure into jump targets, evaluates editor fields on the calling thread, and
// compiles equations once for repeated evaluation.
//
// A compiled control token ("If ", "Else", "While ", "Repeat ", "For(", "End", "Goto ",
// "Gosub ", "IS>(", "DS<(") keeps its token in the low 16 bits and the index it jumps to
// in the high 16 bits, so a running program never searches for labels or Ends.
class ProgramCompiler {
public:
    using Ops = std::vector<std::uint32_t>;

    explicit ProgramCompiler(Parser& parser) : p_(parser) {}

    // Writes every jump target into ops. Failures set the parser's error and errorToken:
    // 1 syntax, 2 duplicate label, 3 label not found, 4 Else without If, 5 Then without If,
    // 6-10 If, For(, While, Repeat, Else without End, 11 bad Goto label.
    void compile(Ops& ops);

    // At a quote token: the index of its closing quote, the index before a new line that
    // ends the string first, or the count when it runs to the end. Elsewhere: at itself.
    static unsigned skipStringInOps(const Ops& ops, unsigned at);

    // Evaluates ops statement by statement on the calling thread (editor fields, the
    // solver, the program editor). With doSubprogram a program waiting for an answer is
    // continued after the end of ops. The record's flag tells that a program waits.
    Operand eval(Ops& ops, bool doSubprogram);

    // The RPN of ops parsed whole (missing closing brackets are appended to ops); the
    // caller checks the parser's error.
    VQStack getRPNfor(Ops& ops);
    // The same for a sequence equation: u(η—1) and the like become one token each, and a
    // bit for each kind found is set in flags. Nothing for a sequence name followed by
    // anything but (η—1) or (η—2).
    std::optional<VQStack> getSeqRPNfor(const Ops& ops, int* flags);

    // A listing of ops with the compiled targets, for diagnostics.
    std::string printProgram(const Ops& ops) const;

private:
    // Where a compiled branch's record sends the statement pointer from ip in ops (a loop's
    // End tests its head again); a Gosub also asks for a frame to come back to.
    int branchTo(const Operand& branch, Ops* ops, int ip, bool& gosub);

    Parser& p_;
};

} // namespace orvenda
