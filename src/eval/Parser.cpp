#include "eval/Parser.h"

#include "core/Calculator.h"
#include "eval/EquationApplier.h"
#include "eval/SequenceEvaluator.h"
#include "eval/StatementParser.h"
#include "eval/VariableStore.h"
#include "language/LiteralScanner.h"
#include "numeric/AngleConversion.h"
#include "numeric/UnitConverter.h"

#include <limits>

namespace orvenda {

Parser::Parser(Calculator& calc) : calc(calc), main_(&calc)
{
    // Equation variables take their values through the calculator's own parser.
    if (!calc.equationEvaluator)
        calc.equationEvaluator = std::make_shared<EquationApplier>(*this);
}

Parser::~Parser() = default;

// ==== Parsing ====

int Parser::infixToRPN(Ops* ops, int startingAt, bool closeParens)
{
    if (!ops)
        return 0;
    StatementParser parse(*this, ctx(), *ops, closeParens ? ops : nullptr);
    return parse.run(startingAt);
}

int Parser::infixToRPN(const Ops* ops, int startingAt)
{
    if (!ops)
        return 0;
    StatementParser parse(*this, ctx(), *ops);
    return parse.run(startingAt);
}

void Parser::processOp(std::uint32_t opcode)
{
    static const Ops none;
    StatementParser(*this, ctx(), none).processOp(opcode);
}

int Parser::parensCountOfType(int token) const
{
    static const Ops none;
    auto& self = const_cast<Parser&>(*this);
    return StatementParser(self, self.ctx(), none).parensCountOfType(token);
}

bool Parser::nestedOp(int token) const
{
    static const Ops none;
    auto& self = const_cast<Parser&>(*this);
    return StatementParser(self, self.ctx(), none).nestedOp(token);
}

unsigned Parser::getLabel(const Ops& ops, int& i)
{
    return StatementParser(*this, ctx(), ops).getLabel(i);
}

std::optional<std::string> Parser::parseNameMaxLen(int maxLen, const Ops& ops)
{
    return StatementParser(*this, ctx(), ops).parseNameMaxLen(maxLen);
}

std::optional<Parser::Ops> Parser::parseString(const Ops& ops)
{
    return StatementParser(*this, ctx(), ops).parseString();
}

std::optional<std::string> Parser::parseProgramName(const Ops& ops)
{
    return StatementParser(*this, ctx(), ops).parseProgramName();
}

bool Parser::isAlpha(int token)
{
    return StatementParser::isAlpha(token);
}

double Parser::parseNumber(const Ops& ops, bool& hasDecimal, int& sigFig, int& digDec)
{
    EvalContext& c = ctx();
    LiteralScanner::Cursor cursor{c.nextToken, 0, 0};
    const LiteralScanner::Decimal d = LiteralScanner::parseNumber(ops, cursor);
    c.nextToken = cursor.next;
    if (cursor.error) {
        c.error = cursor.error;
        c.errorToken = cursor.errorToken;
    }
    hasDecimal = d.hasDecimal;
    sigFig = d.sigFig;
    digDec = d.digDec;
    return d.value;
}

namespace {

template <class Scan>
double scanWith(EvalContext& c, Scan scan)
{
    LiteralScanner::Cursor cursor{c.nextToken, 0, 0};
    const double v = scan(cursor);
    c.nextToken = cursor.next;
    if (cursor.error) {
        c.error = cursor.error;
        c.errorToken = cursor.errorToken;
    }
    return v;
}

} // namespace

double Parser::parseBinary(const Ops& ops)
{
    return scanWith(ctx(), [&](LiteralScanner::Cursor& cursor) { return LiteralScanner::parseBinary(ops, cursor); });
}

double Parser::parseHex(const Ops& ops)
{
    return scanWith(ctx(), [&](LiteralScanner::Cursor& cursor) { return LiteralScanner::parseHex(ops, cursor); });
}

bool Parser::parseDMS(const Ops& ops, bool& hasDecimal)
{
    EvalContext& c = ctx();
    Operand* degrees = c.rpnStack().peek();
    if (!degrees)
        return false;
    LiteralScanner::Cursor cursor{c.nextToken, 0, 0};
    double angle = degrees->re();
    const bool found = LiteralScanner::parseDMS(ops, cursor, angle, hasDecimal);
    c.nextToken = cursor.next;
    if (cursor.error) {
        c.error = cursor.error;
        c.errorToken = cursor.errorToken;
    }
    if (found) {
        degrees->value = {angle, 0.0};
        // The figures typed for the degrees say nothing of the whole angle.
        degrees->sigFig = 15;
        degrees->sigDec = -15;
    }
    return found;
}

double Parser::constantValue(int index) const
{
    return UnitConverter::constant(static_cast<std::uint32_t>(index)).value_or(std::numeric_limits<double>::quiet_NaN());
}

// ==== Expressions over a variable ====

Operand Parser::applyYEq(int token, const Operand& X) { return EquationApplier(*this).applyYEq(token, X); }

Operand Parser::applyXYEq(int token, double x, double y) { return EquationApplier(*this).applyXYEq(token, x, y); }

Operand Parser::evalSeqNum(int token, double n, double* out)
{
    return SequenceEvaluator(*this).evalSeqNum(token, n, out);
}

void Parser::store(const Operand& value, const Operand& target) { VariableStore(*this).store(value, target); }

// ==== Numeric helpers ====

double Parser::toRadians(double x) const { return AngleConversion::toRadians(x, calc.angleFormat()); }

double Parser::fromRadians(double x) const { return AngleConversion::fromRadians(x, calc.angleFormat()); }

} // namespace orvenda
