#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class EvalContext;
struct Operand;
class Parser;

// One statement of tokens into reverse Polish form: a shunting-yard pass with the
// calculator language's own rules (statement ends, brackets closed by the statement end,
// implied multiplication, argument counting, unevaluated expression arguments and the
// literals, names, strings and labels read in place). Lives for one parse and works in
// the context it is given; Parser forwards its parsing operations here.
class StatementParser {
public:
    using Ops = std::vector<std::uint32_t>;

    // `appendTo`, when given, receives every closing bracket the parser supplies; it may
    // be `ops` itself.
    StatementParser(Parser& parser, EvalContext& context, const Ops& ops, Ops* appendTo = nullptr);

    int run(int start);

    void processOp(std::uint32_t opcode);
    int parensCountOfType(int token) const;
    bool nestedOp(int token) const;
    unsigned getLabel(int& i);
    std::optional<std::string> parseNameMaxLen(int maxLen);
    std::optional<Ops> parseString();
    // The name's text and its tokens.
    std::optional<std::string> parseProgramName(Ops* tokens = nullptr);

    static bool isAlpha(int token);

private:
    enum class Step { Next, Finish };

    std::uint32_t tokenAt(int i) const;
    bool atStatementEnd(int i) const;
    void fail(int error, int token);
    bool requireFirst();

    Step dispatch(std::uint32_t op, std::uint32_t t);
    void impliedMultiply();
    void pushPrefix(std::uint32_t opcode);
    void openGroup(int location);
    void openUnevaluated(int location);
    bool pendingUnevaluated() const;
    void closeUnevaluated();
    bool moveDownToBracket();
    void closeInnermost();

    void number();
    void letter(std::uint32_t t);
    void storeTarget();
    void pushListElement(const std::string& name, int from);
    void menuLabel();
    void functionWithGroup(std::uint32_t op, bool implied, bool mustGoOn);
    void commandArguments(std::uint32_t op);
    void openingBracket(std::uint32_t t);
    void comma();
    void closeTemplate(int location);
    void closingBracket(std::uint32_t t, int location);
    void setUpEditor();
    void graphDatabase(std::uint32_t op);
    void finish();

    Parser& parser_;
    EvalContext& c_;
    const Ops& ops_;
    Ops* appendTo_;
    int count_;

    // State of one parse.
    std::uint32_t prevToken_ = 0;
    int operandState_ = 0;
    int groupMark_ = 0;
    bool matrix_ = false;
    bool delVarArmed_ = false;
    bool lastWasNumber_ = false;
};

} // namespace orvenda
