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
    // How a token leaves the parse: Next, the token is now the previous token; Keep, the
    // previous token stays (a failure, a store target); Finish, the statement ends here.
    enum class Step { Next, Keep, Finish };

    // What the parser reads a token as; each class has its function below.
    enum class TokenClass : std::uint8_t {
        Digit, Letter, ImaginaryOrAns, PiOrE, Constant, ColourName, Tail, Clock, Marker, Rand, Quote,
        ProgramName, ListName, MatrixOrList, Equation, ImpliedVariable, PlainVariable, BinaryOperator, Negation,
        Postfix, AngleMark, Conversion, FractionSlash, MixedSeparator, Function, CommandWithArguments,
        GroupedCommand, Dim, BlockStart, Then, ElseOrEnd, ReturnStopClrHome, LoneCommand, LabelOrJump, Pause,
        Menu, Fix, GraphDatabase, NestingChecked, DrawingCommand, OptionalArguments, StatementCommand, Zoom,
        Setting, Tvm, SetUpEditor, BinaryOrHex, OpeningBracket, ClosingBracket, Comma, StatementEnd, Comment,
        Break, Unknown,
    };

    // The token being read: its whole opcode, its low 16 bits, its index, and whether it
    // follows "➞" or a number literal.
    struct Token {
        std::uint32_t op;
        std::uint32_t t;
        int at;
        bool afterStore;
        bool wasNumber;
    };

    std::uint32_t tokenAt(int i) const;
    bool atStatementEnd(int i) const;
    Step fail(int error, int token);
    bool requireFirst();

    static TokenClass classOf(std::uint32_t t);
    static TokenClass classify(std::uint32_t t);
    Step dispatch(std::uint32_t op, std::uint32_t t);

    // ---- Token classes ----
    Step digit(const Token& token);
    Step letter(const Token& token);
    Step imaginaryOrAns(const Token& token);
    Step piOrE(const Token& token);
    Step constant(const Token& token);
    Step colourName(const Token& token);
    Step tail(const Token& token);
    Step clock(const Token& token);
    Step marker(const Token& token);
    Step rand(const Token& token);
    Step quote(const Token& token);
    Step programName(const Token& token);
    Step listName(const Token& token);
    Step matrixOrList(const Token& token);
    Step equation(const Token& token);
    Step variableOrElement(const Token& token, std::uint32_t function, std::uint32_t variable);
    Step impliedVariable(const Token& token);
    Step plainVariable(const Token& token);
    Step binaryOperator(const Token& token);
    Step negation(const Token& token);
    Step postfix(const Token& token);
    Step angleMark(const Token& token);
    Step conversion(const Token& token);
    Step fractionSlash(const Token& token);
    Step mixedSeparator(const Token& token);
    Step function(const Token& token);
    Step commandWithArguments(const Token& token);
    Step groupedCommand(const Token& token);
    Step dim(const Token& token);
    Step blockStart(const Token& token);
    Step then(const Token& token);
    Step elseOrEnd(const Token& token);
    Step returnStopClrHome(const Token& token);
    Step loneCommand(const Token& token);
    Step labelOrJump(const Token& token);
    Step pause(const Token& token);
    Step menu(const Token& token);
    Step fix(const Token& token);
    Step graphDatabase(const Token& token);
    Step nestingChecked(const Token& token);
    Step drawingCommand(const Token& token);
    Step optionalArguments(const Token& token);
    Step statementCommand(const Token& token);
    Step zoom(const Token& token);
    Step setting(const Token& token);
    Step tvm(const Token& token);
    Step setUpEditor();
    Step binaryOrHex(const Token& token);
    Step openingBracket(std::uint32_t t);
    Step closingBracketToken(const Token& token);
    Step comma();
    Step statementEnd();
    Step comment();
    Step breakToken(const Token& token);
    Step operatorToken(std::uint32_t op, int state);
    Step value(int state);
    bool followsOperand(int at);

    // ---- Operators, groups and literals ----
    void impliedMultiply();
    void pushPrefix(std::uint32_t opcode);
    void openGroup(int location);
    void openUnevaluated(int location);
    bool pendingUnevaluated() const;
    void closeUnevaluated();
    // The closing marker of the open unevaluated argument, at the token `end`.
    void pushFunctionEnd(int end);
    bool moveDownToBracket();
    void closeInnermost();
    void number();
    void storeTarget();
    void pushListElement(const std::string& name, int from);
    void menuLabel();
    void functionWithGroup(std::uint32_t op, bool implied, bool mustGoOn);
    void commandArguments(std::uint32_t op);
    void closeTemplate(int location);
    void closingBracket(std::uint32_t t, int location);
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
    // Where the operator stands that still waits for its right operand (-1: none).
    int danglingOperator_ = -1;
};

} // namespace orvenda
