#include "eval/StatementParser.h"

#include "eval/EvalContext.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/LiteralScanner.h"
#include "language/Precedence.h"
#include "language/TokenRanges.h"
#include "language/Vocabulary.h"

#include <numbers>
#include <span>

namespace orvenda {

namespace {

// Operand state: what the parse expects next.
constexpr int kStart = 0;
constexpr int kOperandExpected = 1;  // after an operator, bracket, comma or statement word
constexpr int kNumber = 2;           // after a number, constant or postfix operator
constexpr int kVariable = 3;         // after a variable, name or closing bracket
constexpr int kString = 4;           // after a string or program name

constexpr std::uint32_t kStore = 0x04;
constexpr std::uint32_t kMatrixOpen = 0x06;
constexpr std::uint32_t kMatrixClose = 0x07;
constexpr std::uint32_t kListOpen = 0x08;
constexpr std::uint32_t kListClose = 0x09;
constexpr std::uint32_t kParenOpen = 0x10;
constexpr std::uint32_t kParenClose = 0x11;
constexpr std::uint32_t kQuote = 0x2A;
constexpr std::uint32_t kComma = 0x2B;
constexpr std::uint32_t kColon = 0x3E;
constexpr std::uint32_t kNewLine = 0x3F;
constexpr std::uint32_t kTimes = 0x82;
constexpr std::uint32_t kNegate = 0xB0;
constexpr std::uint32_t kList = 0xEB;  // "ʟ"
constexpr std::uint32_t kReturn = 0xD5;
constexpr std::uint32_t kStop = 0xD9;
constexpr std::uint32_t kComment = 0x5C34;
constexpr std::uint32_t kBreakpoint = 0x5C58;
constexpr std::uint32_t kQuestion = 0x101B;
constexpr std::uint32_t kRand0 = 0x1000;
constexpr std::uint32_t kListElement = 0x1001;
constexpr std::uint32_t kFnBegin = 0x1012;
constexpr std::uint32_t kFnEnd = 0x1013;
constexpr std::uint32_t kStoDim = 0x101C;
constexpr std::uint32_t kAnsElement = 0x101D;
constexpr std::uint32_t kShade = 0xA4;
constexpr std::uint32_t kMixedSeparator = 0xEF39;
constexpr std::uint32_t kFractionSlash = 0xEF38;
constexpr std::uint32_t kMixedNumber = 0x5C4B;
constexpr std::uint32_t kSetUpEditor = 0xBB4A;
constexpr std::uint32_t kDelVar = 0xBB54;
constexpr int kMaxSetUpEditorNames = 20;
constexpr int kMaxGDBNameTokens = 20;
constexpr int kMaxNameLength = 80;

using tokens::in;
using tokens::Range;

constexpr Range kBinaryOperators[] = {
    {0x3C, 0x3D}, {0x40, 0x40}, {0x6A, 0x71}, {0x82, 0x83}, {0x94, 0x95}, {0xF0, 0xF1}, {0x5C40, 0x5C42},
};
constexpr Range kPostfix[] = {
    {0x0C, 0x0F}, {0x2D, 0x2D}, {0xBBDA, 0xBBDA}, {0xBB5D, 0xBB5D},
};
constexpr Range kConversions[] = {
    {0x01, 0x03}, {0xBB2F, 0xBB30}, {0xBBEF, 0xBBEF}, {0xBBF6, 0xBBF7}, {0xEF30, 0xEF31}, {0x5C63, 0x5C63},
};
constexpr Range kFunctions[] = {
    {0x12, 0x14}, {0x19, 0x21}, {0xA2, 0xA2}, {0xB1, 0xB4}, {0xB6, 0xBA}, {0xBC, 0xCD}, {0xE2, 0xE4},
    {0xBB00, 0xBB1F}, {0xBB25, 0xBB2E}, {0xBB35, 0xBB3A}, {0xBB55, 0xBB56}, {0xBB5C, 0xBB5C},
    {0xBBFA, 0xBBFF}, {0xEF02, 0xEF08}, {0xEF13, 0xEF13}, {0xEF32, 0xEF32}, {0xEF34, 0xEF35},
    {0xEF95, 0xEF95}, {0xEF98, 0xEF98}, {0x5C3C, 0x5C3E}, {0x5C43, 0x5C43}, {0x5C52, 0x5C56},
    {0x5C62, 0x5C62}, {0x5C64, 0x5C64},
};
constexpr Range kCommandsWithArguments[] = {
    {0x93, 0x93}, {0x9C, 0xA1}, {0xA3, 0xA3}, {0xA5, 0xA6}, {0xEF97, 0xEF97}, {0x5C3F, 0x5C3F}, {0x5C61, 0x5C61},
};
constexpr Range kGroupedCommands[] = {
    {0x15, 0x18}, {0xDC, 0xDE}, {0xE0, 0xE0}, {0xFA, 0xFA},
};
constexpr Range kBlockStarts[] = {
    {0xCE, 0xCE}, {0xD1, 0xD3}, {0xDA, 0xDB},
};
constexpr Range kNestingChecked[] = {
    {0x22, 0x25}, {0x27, 0x28}, {0xEF33, 0xEF33},
};
constexpr Range kDrawingCommands[] = {
    {0xA4, 0xA4}, {0xA7, 0xA9},
};
// 0xBB46-0xBB49 take their arguments the same way as 0xBB42-0xBB45 and may also stand
// alone, so they are read like them.
constexpr Range kOptionalArgumentCommands[] = {
    {0x2E, 0x2F}, {0x96, 0x97}, {0xE9, 0xEA}, {0xF2, 0xF9}, {0xFF, 0xFF}, {0xBB32, 0xBB34},
    {0xBB42, 0xBB49}, {0xEF15, 0xEF15}, {0x7E08, 0x7E08},
};
constexpr Range kStatementCommands[] = {
    {0xEC, 0xEE}, {0xBB3B, 0xBB41}, {0xBB59, 0xBB59}, {0xEF14, 0xEF14}, {0xEF5A, 0xEF5B},
    {0xEF65, 0xEF65}, {0xEF67, 0xEF67}, {0x5C36, 0x5C39}, {0x5C44, 0x5C46}, {0x5C60, 0x5C60},
};
constexpr Range kZoomCommands[] = {
    {0x86, 0x90}, {0x92, 0x92}, {0xBB65, 0xBB65},
};
constexpr Range kSettings[] = {
    {0x64, 0x69}, {0x74, 0x7D}, {0x85, 0x85}, {0xFB, 0xFB}, {0x7E00, 0x7E07}, {0x7E09, 0x7E12},
    {0xBB4B, 0xBB51}, {0xBB57, 0xBB57}, {0xBB64, 0xBB64}, {0xBB66, 0xBB67}, {0xEF36, 0xEF37},
    {0xEF3A, 0xEF3C}, {0xEF64, 0xEF64}, {0x5C3A, 0x5C3A}, {0x5C57, 0x5C57}, {0x5C5F, 0x5C5F},
    {0x5C66, 0x5C66},
};
constexpr Range kEquations[] = {
    {0x5E10, 0x5E19}, {0x5E20, 0x5E2B}, {0x5E40, 0x5E45}, {0x5E80, 0x5E82}, {0x5EA0, 0x5EA9}, {0xBBC5, 0xBBC7},
};
constexpr Range kImpliedVariables[] = {
    {0x6200, 0x623C}, {0x6300, 0x633C}, {0xBBAA, 0xBBAA}, {0x1020, 0x1025},
};
constexpr Range kPlainVariables[] = {
    {0xAA00, 0xAA09}, {0x6100, 0x6109},
};
constexpr Range kMarkers[] = {
    {0x05, 0x05}, {0x7F, 0x81}, {0xFC, 0xFE}, {0xBB5A, 0xBB5B}, {0xEF0B, 0xEF0D},
};
constexpr Range kStatementEnds[] = {
    {kStore, kStore}, {kColon, kNewLine}, {kReturn, kReturn}, {kStop, kStop}, {kQuestion, kQuestion},
    {kComment, kComment}, {kBreakpoint, kBreakpoint},
};

// Argument counts checked at ")" against the function owning the group.
constexpr Range kAnyCount[] = {
    {0x12, 0x12}, {0x15, 0x1A}, {0x1F, 0x1F}, {0x21, 0x25}, {0x27, 0x28}, {0x2E, 0x2F}, {0x84, 0x84},
    {0x93, 0x93}, {0x96, 0x97}, {0x9C, 0xA1}, {0xA3, 0xA9}, {0xB6, 0xB7}, {0xC0, 0xC0}, {0xD3, 0xD3},
    {0xD8, 0xD8}, {0xDC, 0xE0}, {0xE3, 0xE4}, {0xE6, 0xE6}, {0xE9, 0xEA}, {0xEC, 0xEE}, {0xF2, 0xFA},
    {0xFF, 0xFF}, {0xBB00, 0xBB04}, {0xBB0A, 0xBB0B}, {0xBB0D, 0xBB24}, {0xBB32, 0xBB49},
    {0xBB52, 0xBB52}, {0xBB59, 0xBB59}, {0xBBFA, 0xBBFB}, {0xEF13, 0xEF15}, {0xEF33, 0xEF33},
    {0xEF35, 0xEF35}, {0xEF65, 0xEF65}, {0xEF67, 0xEF67}, {0xEF95, 0xEF95}, {0x101A, 0x101A},
    {0x101D, 0x101D}, {0x5C3F, 0x5C3F}, {0x5C44, 0x5C46}, {0x5C53, 0x5C56}, {0x5C61, 0x5C61},
    {0x5C64, 0x5C64}, {0x5E80, 0x5E82}, {0x5EA0, 0x5EA9}, {0x7E08, 0x7E08},
};
constexpr Range kTwoArguments[] = {
    {0x13, 0x14}, {0x1B, 0x1E}, {0x20, 0x20}, {0xA2, 0xA2}, {0xDA, 0xDB}, {0xE2, 0xE2},
    {0xBB05, 0xBB09}, {0xBB55, 0xBB56}, {0xEF32, 0xEF32}, {0xEF34, 0xEF34}, {0x5C3D, 0x5C3E},
};
constexpr Range kThreeArguments[] = {{0xBB0C, 0xBB0C}, {0xEF06, 0xEF06}};
constexpr Range kFiveArguments[] = {{0x5C36, 0x5C38}};
constexpr Range kSixArguments[] = {{0x5C3C, 0x5C3C}, {0x5C60, 0x5C60}};
constexpr Range kSevenArguments[] = {{0x5C39, 0x5C39}};
// Commands whose ")" may follow an empty last argument.
constexpr Range kEmptyLastAllowed[] = {
    {0x2E, 0x2F}, {0x96, 0x97}, {0xA4, 0xA4}, {0xA7, 0xA9}, {0xDE, 0xDE}, {0xE9, 0xEA}, {0xF2, 0xF9},
    {0xFF, 0xFF}, {0xBB32, 0xBB33}, {0xBB38, 0xBB38}, {0x7E08, 0x7E08},
};

bool isOpenBracket(std::uint32_t t)
{
    return t == kMatrixOpen || t == kListOpen || t == kParenOpen;
}

std::uint32_t closerFor(std::uint32_t open)
{
    return open == kMatrixOpen ? kMatrixClose : open == kListOpen ? kListClose : kParenClose;
}

std::uint32_t openerFor(std::uint32_t close)
{
    return close == kMatrixClose ? kMatrixOpen : close == kListClose ? kListOpen : kParenOpen;
}

bool isBracketRecord(const Operand& r)
{
    return r.kind == KindOpcode && isOpenBracket(r.opcode & 0xFFFFu);
}

bool isUpperLetter(std::uint32_t t)
{
    return t >= 0x41 && t <= 0x5B;
}

bool isLowerLetter(std::uint32_t t)
{
    return t >= 0xBBB0 && t <= 0xBBCA && t != 0xBBBB;
}

// The character a name token stands for, appended as UTF-8.
char32_t nameChar(std::uint32_t t)
{
    if (t == 0x5B)
        return U'θ';
    if (isLowerLetter(t))
        return static_cast<char32_t>('a' + (t < 0xBBBB ? t - 0xBBB0 : t - 0xBBB1));
    return static_cast<char32_t>(t);
}

void appendNameChar(std::string& out, std::uint32_t t)
{
    if (t == 0x5B)
        out += "θ";
    else
        out += static_cast<char>(nameChar(t));
}

} // namespace

StatementParser::StatementParser(Parser& parser, EvalContext& context, const Ops& ops, Ops* appendTo)
    : parser_(parser), c_(context), ops_(ops), appendTo_(appendTo), count_(static_cast<int>(ops.size()))
{
}

std::uint32_t StatementParser::tokenAt(int i) const
{
    return (i >= 0 && i < count_) ? (ops_[static_cast<std::size_t>(i)] & 0xFFFFu) : 0xFFFFFFFFu;
}

// The end of the ops, ":", new line or the comment token.
bool StatementParser::atStatementEnd(int i) const
{
    const std::uint32_t t = tokenAt(i);
    return i >= count_ || t == kColon || t == kNewLine || t == kComment;
}

void StatementParser::fail(int error, int token)
{
    // The first error stands; later ones are consequences of it.
    if (c_.error)
        return;
    c_.error = error;
    c_.errorToken = token;
}

bool StatementParser::requireFirst()
{
    if (c_.opStack.count() == 0 && c_.rpnStack().count() == 0)
        return true;
    fail(ErrSyntax, c_.nextToken);
    return false;
}

// ---- The parse ----

int StatementParser::run(int start)
{
    c_.nextToken = start;
    c_.rpnStack().clear();
    c_.opStack.clear();
    c_.openParenStack.clear();
    c_.functionStart.clear();
    c_.listCounts.clear();
    c_.processingMenu = false;
    prevToken_ = 0;
    operandState_ = kStart;
    groupMark_ = 0;
    matrix_ = false;
    delVarArmed_ = false;
    lastWasNumber_ = false;
    if (c_.error)
        return c_.nextToken;

    while (!c_.error) {
        const int i = c_.nextToken;
        if (i > count_)
            break;
        if (i == count_) {
            // Open brackets close by themselves at the end, innermost first.
            if (c_.openParenStack.count() == 0)
                break;
            if (pendingUnevaluated())
                closeUnevaluated();
            else
                closeInnermost();
            continue;
        }
        const std::uint32_t op = ops_[static_cast<std::size_t>(i)];
        const std::uint32_t t = op & 0xFFFFu;
        if (in(kStatementEnds, t)) {
            c_.processingMenu = false;
            if (c_.openParenStack.count() > 0) {
                if (pendingUnevaluated())
                    closeUnevaluated();
                else
                    closeInnermost();
                continue;  // read the same token again
            }
            if (!c_.functionStart.empty() && (c_.functionStart.back() & 0xFFFF) == c_.opStack.count()) {
                c_.functionStart.pop_back();
                c_.rpnStack().pushOpcode(kFnEnd, i);
            }
        }

        const bool armed = delVarArmed_;
        const Step step = dispatch(op, t);
        if (c_.error)
            break;
        if (armed && delVarArmed_) {
            // DelVar applies to the one variable just read.
            delVarArmed_ = false;
            if (c_.opStack.count() == 0) {
                fail(ErrSyntax, c_.nextToken - 1);
                break;
            }
            c_.opStack.moveTopTo(c_.rpnStack());
        }
        if (step == Step::Finish)
            break;
    }
    if (!c_.error)
        finish();
    return c_.nextToken;
}

void StatementParser::finish()
{
    while (const Operand* r = c_.opStack.peek()) {
        if (isBracketRecord(*r)) {
            const int location = r->location;
            c_.opStack.drop();
            fail(ErrMissingArgument, location);
            return;
        }
        c_.opStack.moveTopTo(c_.rpnStack());
    }
}

StatementParser::Step StatementParser::dispatch(std::uint32_t op, std::uint32_t t)
{
    VQStack& rpn = c_.rpnStack();
    const int at = c_.nextToken;
    const bool afterStore = prevToken_ == kStore;
    const bool wasNumber = lastWasNumber_;
    lastWasNumber_ = false;
    bool updatePrev = true;

    auto next = [&] { return tokenAt(c_.nextToken); };
    auto state = [&](int s) { operandState_ = s; };
    // Operators that stand after an operand: anything else before them is a syntax error.
    auto followsOperand = [&] {
        if (operandState_ != kOperandExpected)
            return true;
        fail(ErrSyntax, at);
        return false;
    };

    if ((t >= 0x30 && t <= 0x3B)) {
        if (c_.processingMenu && t <= 0x39) {
            menuLabel();
            state(kNumber);
        } else {
            number();
            lastWasNumber_ = true;
            state(kNumber);
        }
    } else if (isUpperLetter(t)) {
        if (afterStore) {
            storeTarget();
            updatePrev = false;
        } else if (c_.processingMenu) {
            menuLabel();
            state(kVariable);
        } else {
            impliedMultiply();
            rpn.pushVar(static_cast<int>(t), at);
            ++c_.nextToken;
            state(kVariable);
        }
    } else if (t == 0x2C || t == 0x72) {  // "ɩ̇", "Ans"
        impliedMultiply();
        ++c_.nextToken;
        if (t == 0x72 && next() == kParenOpen) {
            c_.nextToken = at;
            pushPrefix(kAnsElement);
            ++c_.nextToken;
            state(kOperandExpected);
        } else {
            rpn.pushOpcode(op, at);
            state(kNumber);
        }
    } else if (t == 0xAC || t == 0xBB31) {  // "π", "e"
        impliedMultiply();
        rpn.pushReal(t == 0xAC ? std::numbers::pi : std::numbers::e, 15, -15, at);
        rpn.setHasDecimalPoint(true);
        ++c_.nextToken;
        state(kNumber);
    } else if (t == 0xBB5E) {
        impliedMultiply();
        rpn.pushReal(parser_.constantValue(static_cast<int>(op >> 16)), 15, -15, at);
        ++c_.nextToken;
        state(kNumber);
    } else if (t >= 0xEF41 && t <= 0xEF4F) {  // colour names: the colour numbers 10-24
        impliedMultiply();
        rpn.pushReal(static_cast<double>(t - 0xEF37), -1, 0, at);
        ++c_.nextToken;
        state(kNumber);
    } else if (t >= 0xEF92 && t <= 0xEF94) {  // tails of a distribution: the token itself
        rpn.pushReal(static_cast<double>(t), 15, -15, at);
        ++c_.nextToken;
        state(kNumber);
    } else if (t == 0xAD || t == 0xEF09 || t == 0xEF0A) {
        impliedMultiply();
        rpn.pushOpcode(op, at);
        ++c_.nextToken;
        state(kNumber);
    } else if (in(kMarkers, t)) {
        rpn.pushOpcode(op, at);
        ++c_.nextToken;
        state(kNumber);
    } else if (t == 0xAB) {  // "rand"
        impliedMultiply();
        ++c_.nextToken;
        if (afterStore) {
            rpn.pushVar(static_cast<int>(t), at);
            state(kNumber);
        } else if (next() == kParenOpen) {
            c_.nextToken = at;
            pushPrefix(op);
            ++c_.nextToken;
            state(kOperandExpected);
        } else {
            rpn.pushOpcode(kRand0, at);
            state(kNumber);
        }
    } else if (t == kQuote) {
        auto s = parseString();
        if (!s)
            return Step::Next;
        rpn.pushString(std::make_shared<Ops>(std::move(*s)), at);
        state(kString);
    } else if (t == 0x5F) {  // "prgm»"
        processOp(op);
        ++c_.nextToken;
        const int nameAt = c_.nextToken;
        Ops tokens;
        auto name = parseProgramName(&tokens);
        if (!name)
            return Step::Next;
        rpn.pushString(std::make_shared<Ops>(std::move(tokens)), nameAt);
        rpn.peek()->var.name = std::move(*name);
        state(kString);
    } else if (t == kList) {
        impliedMultiply();
        auto name = parseNameMaxLen(5);
        if (!name) {
            fail(ErrSyntax, c_.nextToken);
            return Step::Next;
        }
        if (next() == kParenOpen) {
            pushListElement(*name, at);
            state(kOperandExpected);
        } else {
            rpn.pushVarName(*name, at);
            state(kVariable);
        }
    } else if ((t >= 0x5C00 && t <= 0x5C09) || (t >= 0x5D00 && t <= 0x5D05)) {
        impliedMultiply();
        ++c_.nextToken;
        if (next() == kParenOpen) {
            c_.nextToken = at;
            pushPrefix(t >= 0x5D00 ? 0x1002 + (t - 0x5D00) : 0x1008 + (t - 0x5C00));
            ++c_.nextToken;
            state(kOperandExpected);
        } else {
            rpn.pushVar(static_cast<int>(t), at);
            state(kVariable);
        }
    } else if (in(kEquations, t)) {
        const std::uint32_t eq = (t >= 0xBBC5) ? 0x5E80 + (t - 0xBBC5) : t;
        impliedMultiply();
        ++c_.nextToken;
        if (next() == kParenOpen) {
            c_.nextToken = at;
            pushPrefix(eq);
            ++c_.nextToken;
            state(kOperandExpected);
        } else {
            rpn.pushVar(static_cast<int>(eq), at);
            state(kVariable);
        }
    } else if (in(kImpliedVariables, t)) {
        impliedMultiply();
        rpn.pushVar(static_cast<int>(t), at);
        ++c_.nextToken;
        state(kVariable);
    } else if (in(kPlainVariables, t)) {
        rpn.pushVar(static_cast<int>(t), at);
        ++c_.nextToken;
        state(kVariable);
    } else if (in(kBinaryOperators, t) || t == kStore) {
        if (!followsOperand())
            return Step::Next;
        processOp(op);
        ++c_.nextToken;
        state(kOperandExpected);
    } else if (t == kNegate) {
        impliedMultiply();
        processOp(op);
        ++c_.nextToken;
        state(kOperandExpected);
    } else if (in(kPostfix, t)) {
        if (!followsOperand())
            return Step::Next;
        processOp(op);
        ++c_.nextToken;
        state(kNumber);
    } else if (t == 0x0A || t == 0x0B) {  // "ʳ", "°"
        if (operandState_ == kStart || operandState_ == kOperandExpected) {
            fail(ErrSyntax, at);
            return Step::Next;
        }
        ++c_.nextToken;
        if (t == 0x0B && operandState_ == kNumber && wasNumber && rpn.peek() && rpn.peek()->kind == KindReal) {
            LiteralScanner::Cursor cursor{c_.nextToken, 0, 0};
            Operand* degrees = rpn.peek();
            double angle = degrees->re();
            bool decimal = false;
            const bool found = LiteralScanner::parseDMS(ops_, cursor, angle, decimal);
            c_.nextToken = cursor.next;
            if (cursor.error) {
                fail(cursor.error, cursor.errorToken);
                return Step::Next;
            }
            if (found) {
                degrees->value = {angle, 0.0};
                // The figures typed for the degrees say nothing of the whole angle.
                degrees->sigFig = 15;
                degrees->sigDec = -15;
                if (decimal)
                    rpn.setHasDecimalPoint(true);
                state(kNumber);
                lastWasNumber_ = true;
                prevToken_ = t;
                return Step::Next;
            }
        }
        c_.nextToken = at;
        processOp(op);
        ++c_.nextToken;
        // A postfix operator ends an operand, so what follows multiplies.
        state(kNumber);
    } else if (in(kConversions, t)) {
        if (!followsOperand())
            return Step::Next;
        const std::uint32_t n = tokenAt(at + 1);
        if (!(at + 1 >= count_ || n == kComma || n == kColon || n == kNewLine || n == kReturn || n == kStop || n == kComment)) {
            fail(ErrSyntax, at + 1);
            return Step::Next;
        }
        processOp(op);
        ++c_.nextToken;
    } else if (t == kFractionSlash) {
        if (!followsOperand())
            return Step::Next;
        Operand* top = c_.opStack.peek();
        if (top && top->kind == KindOpcode && (top->opcode & 0xFFFFu) == kMixedSeparator)
            top->opcode = (top->opcode & 0xFFFF0000u) | kMixedNumber;  // keeps a template ID
        else
            processOp(op);
        ++c_.nextToken;
        state(kOperandExpected);
    } else if (t == kMixedSeparator) {
        if (operandState_ != kNumber) {
            fail(ErrSyntax, at);
            return Step::Next;
        }
        // A negation just before the whole part is the whole part's sign: -2␣1/2 is
        // -2 + 1/2.
        const Operand* top = c_.opStack.peek();
        if (top && top->kind == KindOpcode && (top->opcode & 0xFFFFu) == kNegate)
            c_.opStack.moveTopTo(c_.rpnStack());
        processOp(op);
        ++c_.nextToken;
        state(kOperandExpected);
    } else if (in(kFunctions, t)) {
        functionWithGroup(op, true, true);
    } else if (in(kCommandsWithArguments, t)) {
        functionWithGroup(op, false, true);
    } else if (in(kGroupedCommands, t)) {
        functionWithGroup(op, false, false);
    } else if (t == 0xB5) {  // "dim("
        impliedMultiply();
        std::uint32_t use = op;
        if (afterStore) {
            c_.opStack.drop();
            use = kStoDim;
        }
        functionWithGroup(use, false, false);
    } else if (in(kBlockStarts, t)) {
        if (c_.opStack.count() != 0) {
            fail(ErrSyntax, at);
            return Step::Next;
        }
        functionWithGroup(op, false, false);
    } else if (t == 0xCF) {  // "Then"
        ++c_.nextToken;
        state(kOperandExpected);
    } else if (t == 0xD0 || t == 0xD4) {  // "Else", "End"
        processOp(op);
        ++c_.nextToken;
        state(kOperandExpected);
    } else if (t == kReturn || t == kStop || t == 0xE1) {
        processOp(op);
        ++c_.nextToken;
    } else if (t == 0x84 || t == 0xDF || t == 0xE5 || t == 0xBB52 || t == kDelVar || t == 0x5C3B) {
        processOp(op);
        ++c_.nextToken;
        if (t == kDelVar)
            delVarArmed_ = true;
        state(kOperandExpected);
    } else if (t == 0xD6 || t == 0xD7 || t == 0x5C35) {  // "Lbl ", "Goto ", "Gosub "
        int i = at + 1;
        getLabel(i);
        if (c_.error)
            return Step::Next;
        if (t != 0xD6)
            processOp(op);
        c_.nextToken = i;
        state(kOperandExpected);
    } else if (t == 0xD8) {  // "Pause "
        processOp(op);
        ++c_.nextToken;
        if (atStatementEnd(c_.nextToken)) {
            rpn.pushReal(0, 15, -15, at);
        } else {
            openGroup(at);
        }
    } else if (t == 0xE6) {  // "Menu("
        processOp(op);
        ++c_.nextToken;
        openGroup(at);
        c_.processingMenu = true;
        state(kOperandExpected);
    } else if (t == 0x73) {  // "Fix "
        requireFirst();  // the rest of the statement is still read
        functionWithGroup(op, false, true);
    } else if (t == 0x9A || t == 0x9B) {
        graphDatabase(op);
    } else if (in(kNestingChecked, t)) {
        if (nestedOp(static_cast<int>(t))) {
            fail(ErrIllegalNest, at);
            return Step::Next;
        }
        functionWithGroup(op, true, true);
        if (!c_.error)
            openUnevaluated(at);
    } else if (in(kDrawingCommands, t)) {
        functionWithGroup(op, false, false);
        openUnevaluated(at);
    } else if (in(kOptionalArgumentCommands, t)) {
        if (!requireFirst())
            return Step::Next;
        if (at + 1 >= count_) {
            rpn.pushOpcode(op, at);
            ++c_.nextToken;
        } else {
            commandArguments(op);
        }
        state(kOperandExpected);
    } else if (in(kStatementCommands, t)) {
        if (!requireFirst())
            return Step::Next;
        commandArguments(op);
        state(kOperandExpected);
    } else if (in(kZoomCommands, t)) {
        if (!requireFirst())
            return Step::Next;
        processOp(op);
        ++c_.nextToken;
        state(kOperandExpected);
    } else if (in(kSettings, t)) {
        requireFirst();  // the token is still output
        rpn.pushOpcode(op, at);
        ++c_.nextToken;
        const std::uint32_t n = next();
        if (c_.nextToken < count_ && n != kColon && n != kNewLine && n != kComment)
            fail(ErrSyntax, c_.nextToken);
        state(kOperandExpected);
    } else if (t >= 0xBB20 && t <= 0xBB24) {  // tvm_Pmt ... tvm_FV
        impliedMultiply();
        pushPrefix(op);
        ++c_.nextToken;
        if (next() == kParenOpen) {
            ++c_.nextToken;
            openGroup(at);
            state(kOperandExpected);
        } else if (atStatementEnd(c_.nextToken) || next() == kStore) {
            rpn.pushReal(0, 15, -15, at);
            state(kNumber);
        } else {
            fail(ErrMissingArgument, c_.nextToken);
        }
    } else if (t == kSetUpEditor) {
        setUpEditor();
        state(kOperandExpected);
    } else if (t == 0xBBF8 || t == 0xBBF9) {  // "0b", "0h"
        impliedMultiply();
        ++c_.nextToken;
        if (c_.nextToken < count_) {
            LiteralScanner::Cursor cursor{c_.nextToken, 0, 0};
            const double v = t == 0xBBF8 ? LiteralScanner::parseBinary(ops_, cursor) : LiteralScanner::parseHex(ops_, cursor);
            c_.nextToken = cursor.next;
            if (cursor.error) {
                fail(cursor.error, cursor.errorToken);
                return Step::Next;
            }
            rpn.pushReal(v, 15, -15, at);
        }
        state(kNumber);
    } else if (isOpenBracket(t)) {
        openingBracket(t);
    } else if (t == kMatrixClose || t == kListClose || t == kParenClose) {
        closingBracket(t, at);
        if (!c_.error)
            ++c_.nextToken;
    } else if (t == kComma) {
        comma();
    } else if (t == kColon || t == kNewLine) {
        ++c_.nextToken;
        return Step::Finish;
    } else if (t == kComment) {
        while (c_.nextToken < count_ && tokenAt(c_.nextToken) != kColon && tokenAt(c_.nextToken) != kNewLine)
            ++c_.nextToken;
        if (c_.nextToken < count_)
            ++c_.nextToken;
        return Step::Finish;
    } else if (t == kQuestion || t == kBreakpoint) {
        processOp(op);
        ++c_.nextToken;
        return Step::Finish;
    } else {
        fail(ErrSyntax, at);
        return Step::Next;
    }
    if (updatePrev)
        prevToken_ = t;
    return Step::Next;
}

// ---- Operators and groups ----

void StatementParser::impliedMultiply()
{
    if (operandState_ == kNumber || operandState_ == kVariable)
        processOp(kTimes);
}

void StatementParser::processOp(std::uint32_t opcode)
{
    const std::uint32_t t = opcode & 0xFFFFu;
    if (t != kNegate) {
        const int p = Precedence::opOrder(static_cast<std::int32_t>(t));
        while (const Operand* top = c_.opStack.peek()) {
            // Brackets leave only through their closing bracket or a statement end.
            if (top->kind != KindOpcode || isBracketRecord(*top) || top->precedence > p)
                break;
            c_.opStack.moveTopTo(c_.rpnStack());
        }
    }
    c_.opStack.pushOpcode(opcode, c_.nextToken);
}

// A function or command whose arguments follow in a group: nothing stands to its left
// that it could bind, so it moves nothing ("2^√(4)" keeps its "^").
void StatementParser::pushPrefix(std::uint32_t opcode)
{
    c_.opStack.pushOpcode(opcode, c_.nextToken);
}

void StatementParser::openGroup(int location)
{
    c_.opStack.pushOpcode(kParenOpen, location);
    c_.openParenStack.pushOpcode(kParenOpen, location);
    c_.listCounts.push_back(0);
    groupMark_ = c_.rpnStack().count();
}

// A command's arguments follow it with or without an opening bracket; either way they are
// read as one group.
void StatementParser::commandArguments(std::uint32_t op)
{
    const int at = c_.nextToken;
    pushPrefix(op);
    ++c_.nextToken;
    if (tokenAt(c_.nextToken) == kParenOpen)
        ++c_.nextToken;
    openGroup(at);
}

void StatementParser::functionWithGroup(std::uint32_t op, bool implied, bool mustGoOn)
{
    const int at = c_.nextToken;
    if (implied)
        impliedMultiply();
    pushPrefix(op);
    ++c_.nextToken;
    openGroup(at);
    operandState_ = kOperandExpected;
    if (mustGoOn && atStatementEnd(c_.nextToken))
        fail(ErrMissingArgument, c_.nextToken);
}

void StatementParser::openUnevaluated(int location)
{
    c_.functionStart.push_back((c_.openParenStack.count() << 16) | c_.opStack.count());
    c_.rpnStack().pushOpcode(kFnBegin, location);
}

// The innermost group holds an unevaluated argument that is still open.
bool StatementParser::pendingUnevaluated() const
{
    return !c_.functionStart.empty() && (c_.functionStart.back() >> 16) == c_.openParenStack.count();
}

// Ends the open unevaluated argument of the innermost group as a comma would.
void StatementParser::closeUnevaluated()
{
    if (!moveDownToBracket())
        return;
    c_.functionStart.pop_back();
    c_.rpnStack().pushOpcode(kFnEnd, c_.nextToken);
    ++c_.listCounts.back();
    groupMark_ = c_.rpnStack().count();
}

// Moves the operators above the innermost open bracket to the output.
bool StatementParser::moveDownToBracket()
{
    for (;;) {
        const Operand* top = c_.opStack.peek();
        if (!top) {
            fail(ErrSyntax, c_.nextToken);
            return false;
        }
        if (isBracketRecord(*top))
            return true;
        c_.opStack.moveTopTo(c_.rpnStack());
    }
}

// Closes the innermost group as if its closing bracket stood at nextToken.
void StatementParser::closeInnermost()
{
    const std::uint32_t open = c_.openParenStack.peek()->opcode & 0xFFFFu;
    const std::uint32_t close = closerFor(open);
    closingBracket(close, c_.nextToken);
    if (appendTo_ && !c_.error)
        appendTo_->push_back(close);
}

void StatementParser::openingBracket(std::uint32_t t)
{
    const int at = c_.nextToken;
    if (!matrix_)
        impliedMultiply();
    if (t == kListOpen && parensCountOfType(kListOpen) > 0) {
        fail(ErrSyntax, at);
        return;
    }
    if (t == kMatrixOpen) {
        const int open = parensCountOfType(kMatrixOpen);
        if (open == 0) {
            if (matrix_) {
                fail(ErrSyntax, at);
                return;
            }
            matrix_ = true;
        } else if (open == 1 && prevToken_ == kMatrixOpen) {
        } else if (open == 1 && prevToken_ == kMatrixClose) {
            ++c_.listCounts.back();  // rows follow each other without commas
        } else {
            fail(ErrSyntax, at);
            return;
        }
    }
    c_.opStack.pushOpcode(t, at);
    c_.openParenStack.pushOpcode(t, at);
    c_.listCounts.push_back(0);
    groupMark_ = c_.rpnStack().count();
    ++c_.nextToken;
    operandState_ = kOperandExpected;
}

void StatementParser::comma()
{
    const int at = c_.nextToken;
    if (c_.rpnStack().count() == groupMark_) {
        fail(ErrSyntax, at);
        return;
    }
    if (!moveDownToBracket())
        return;
    if (pendingUnevaluated() && (c_.functionStart.back() & 0xFFFF) == c_.opStack.count()) {
        c_.functionStart.pop_back();
        c_.rpnStack().pushOpcode(kFnEnd, at);
    }
    const int commas = ++c_.listCounts.back();
    groupMark_ = c_.rpnStack().count();
    if (commas == 1 && c_.opStack.count() >= 2) {
        const Operand* owner = c_.opStack.opAtIndex(c_.opStack.count() - 2);
        if (owner->kind == KindOpcode && (owner->opcode & 0xFFFFu) == kShade)
            openUnevaluated(at);
    }
    ++c_.nextToken;
    operandState_ = kOperandExpected;
}

// The ")" that closes the last part of a MathPrint template (its template ID in the high
// half) ends the template: the template's ^, ˣ√, ／ or mixed-number operator takes its
// operands now, so an operator after it applies to the whole template as drawn ((2/3)²,
// not 2/3²).
void StatementParser::closeTemplate(int location)
{
    const std::uint32_t id = location < count_ ? (ops_[static_cast<std::size_t>(location)] >> 16) : 0;
    const Operand* top = c_.opStack.peek();
    if (id == 0 || !top || top->kind != KindOpcode || (top->opcode >> 16) != id)
        return;
    const std::uint32_t t = top->opcode & 0xFFFFu;
    if (t == 0xF0 || t == 0xF1 || t == kFractionSlash || t == kMixedNumber)
        c_.opStack.moveTopTo(c_.rpnStack());
}

void StatementParser::closingBracket(std::uint32_t t, int location)
{
    c_.processingMenu = false;
    const Operand* inner = c_.openParenStack.peek();
    if (!inner || (inner->opcode & 0xFFFFu) != openerFor(t)) {
        fail(ErrSyntax, location);
        return;
    }
    // An unevaluated argument still open ends with its group.
    if (pendingUnevaluated())
        closeUnevaluated();
    if (c_.error)
        return;

    const int commas = c_.listCounts.back();
    const bool emptyLast = c_.rpnStack().count() == groupMark_;
    const int n = commas + (emptyLast ? 0 : 1);

    // The owner of the group: the record under its bracket.
    int bracketIndex = c_.opStack.count() - 1;
    while (bracketIndex >= 0 && !isBracketRecord(*c_.opStack.opAtIndex(bracketIndex)))
        --bracketIndex;
    const Operand* owner = bracketIndex > 0 ? c_.opStack.opAtIndex(bracketIndex - 1) : nullptr;
    const std::uint32_t ownerToken = (owner && owner->kind == KindOpcode) ? (owner->opcode & 0xFFFFu) : 0xFFFFFFFFu;

    if (emptyLast && !(t == kParenClose && in(kEmptyLastAllowed, ownerToken))) {
        fail(ErrMissingArgument, location);
        return;
    }
    if (bracketIndex < 0) {
        fail(ErrMissingArgument, location);
        return;
    }
    while (c_.opStack.count() - 1 > bracketIndex) {
        c_.opStack.moveTopTo(c_.rpnStack());
    }
    c_.opStack.drop();
    c_.openParenStack.drop();
    c_.listCounts.pop_back();
    operandState_ = kVariable;

    VQStack& rpn = c_.rpnStack();
    if (t == kParenClose) {
        auto exactly = [&](int wanted) {
            if (n < wanted)
                fail(ErrMissingArgument, location);
            else if (n > wanted)
                fail(ErrTooManyArguments, location);
            else
                rpn.pushReal(n, 15, -15, location);
        };
        const Operand* top = c_.opStack.peek();
        const std::uint32_t f = (top && top->kind == KindOpcode) ? (top->opcode & 0xFFFFu) : 0xFFFFFFFFu;
        if (f >= 0x1008 && f <= 0x1011) {
            if (n != 2)
                fail(ErrArgument, location);
        } else if (f >= 0x1001 && f <= 0x1007) {
            if (n != 1)
                fail(ErrArgument, location);
        } else if (in(kAnyCount, f)) {
            rpn.pushReal(n, 15, -15, top->location);
        } else if (in(kTwoArguments, f)) {
            exactly(2);
        } else if (in(kThreeArguments, f)) {
            exactly(3);
        } else if (in(kFiveArguments, f)) {
            exactly(5);
        } else if (in(kSixArguments, f)) {
            exactly(6);
        } else if (in(kSevenArguments, f)) {
            exactly(7);
        } else if (!top || isBracketRecord(*top)) {
            if (n >= 2)
                rpn.pushReal(n, 15, -15, location);
        } else if (n > 1) {
            fail(ErrTooManyArguments, location);
        }
        closeTemplate(location);
        return;
    }

    rpn.pushReal(n, 15, -15, location);
    if (t == kListClose) {
        rpn.pushOpcode(kListOpen, location);
    } else if (parensCountOfType(kMatrixOpen) > 0) {
        rpn.pushOpcode(kMatrixOpen, location);
    } else {
        rpn.pushOpcode(kMatrixClose, location);
        matrix_ = false;
    }
}

// ---- Literals, names, strings and labels ----

void StatementParser::number()
{
    impliedMultiply();
    const int at = c_.nextToken;
    LiteralScanner::Cursor cursor{at, 0, 0};
    const LiteralScanner::Decimal d = LiteralScanner::parseNumber(ops_, cursor);
    c_.nextToken = cursor.next;
    if (cursor.error) {
        fail(cursor.error, cursor.errorToken);
        return;
    }
    c_.rpnStack().pushReal(d.value, d.sigFig, d.digDec, at);
    if (d.hasDecimal)
        c_.rpnStack().setHasDecimalPoint(true);
}

void StatementParser::menuLabel()
{
    const int at = c_.nextToken;
    int i = at;
    const unsigned label = getLabel(i);
    if (c_.error)
        return;
    c_.nextToken = i;
    c_.rpnStack().pushReal(static_cast<double>(label), 15, -15, at);
}

void StatementParser::storeTarget()
{
    const int at = c_.nextToken;
    auto name = parseNameMaxLen(5);
    if (!name) {
        fail(ErrSyntax, c_.nextToken);
        return;
    }
    const int length = c_.nextToken - at;
    if (tokenAt(c_.nextToken) == kParenOpen) {
        pushListElement(*name, at);
        operandState_ = kOperandExpected;
        return;  // the previous token stays "➞"
    }
    if (length == 1) {
        c_.rpnStack().pushVar(static_cast<int>(tokenAt(at)), at);
    } else {
        c_.rpnStack().pushVarName(*name, at);
    }
    operandState_ = kVariable;
    prevToken_ = tokenAt(at);
}

// The list element operator for the list name read from `from` up to nextToken, where its
// bracket stands. It carries the name as text and as characters.
void StatementParser::pushListElement(const std::string& name, int from)
{
    c_.opStack.pushOpcode(kListElement, from);
    Operand& r = *c_.opStack.peek();
    r.var.name = name;
    std::size_t k = 0;
    for (int i = from; i < c_.nextToken && k + 1 < r.name.size(); ++i)
        if (tokenAt(i) != kList)
            r.name[k++] = nameChar(tokenAt(i));
}

std::optional<std::string> StatementParser::parseNameMaxLen(int maxLen)
{
    int& i = c_.nextToken;
    if (i >= count_) {
        fail(ErrSyntax, i);
        return std::nullopt;
    }
    std::string name;
    int length = 0;
    for (;; ++i) {
        const std::uint32_t t = tokenAt(i);
        if (t == kList)
            continue;
        if (!(isUpperLetter(t) || LiteralScanner::isDigit(t) || isLowerLetter(t)))
            break;
        if (length == 0 && !isUpperLetter(t)) {
            fail(ErrSyntax, i);
            return std::nullopt;
        }
        if (++length > maxLen || length > kMaxNameLength) {
            fail(ErrArgument, i);
            return std::nullopt;
        }
        appendNameChar(name, t);
    }
    if (length == 0)
        return std::nullopt;
    return name;
}

std::optional<StatementParser::Ops> StatementParser::parseString()
{
    int& i = c_.nextToken;
    ++i;  // the opening quote
    Ops out;
    while (i < count_) {
        const std::uint32_t op = ops_[static_cast<std::size_t>(i)];
        const std::uint32_t t = op & 0xFFFFu;
        if (t == kQuote) {
            ++i;
            if (tokenAt(i) == kQuote) {
                fail(ErrExprSyntax, i);
                return std::nullopt;
            }
            break;
        }
        if (t == kStore || t == kNewLine)
            break;
        out.push_back(op);
        ++i;
    }
    return out;
}

std::optional<std::string> StatementParser::parseProgramName(Ops* tokens)
{
    int& i = c_.nextToken;
    std::string name;
    const Vocabulary& vocabulary = Vocabulary::shared();
    for (bool first = true; i < count_; ++i, first = false) {
        const std::uint32_t t = tokenAt(i);
        if (t == kColon || t == kNewLine || t == kComment)
            break;
        if (!(isAlpha(static_cast<int>(t)) || (!first && LiteralScanner::isDigit(t)))) {
            fail(ErrArgument, i);
            return std::nullopt;
        }
        name += vocabulary.nameForOpcode(t);
        if (tokens)
            tokens->push_back(t);
    }
    return name;
}

unsigned StatementParser::getLabel(int& i)
{
    auto isLabelChar = [](std::uint32_t t) { return isUpperLetter(t) || LiteralScanner::isDigit(t); };
    unsigned value = 0;
    int length = 0;
    while (length < 2 && i < count_ && isLabelChar(tokenAt(i))) {
        value = length == 0 ? tokenAt(i) : (value << 16) + tokenAt(i);
        ++length;
        ++i;
    }
    const std::uint32_t t = tokenAt(i);
    const bool endsWell = i >= count_ || t == kColon || t == kNewLine || t == kComment ||
                          (c_.processingMenu && (t == kComma || t == kParenClose));
    if (length == 0 || !endsWell) {
        fail(ErrSyntax, i);
        return 0;
    }
    return value;
}

void StatementParser::setUpEditor()
{
    const int at = c_.nextToken;
    if (!requireFirst())
        return;
    ++c_.nextToken;
    const Vocabulary& vocabulary = Vocabulary::shared();
    int names = 0;
    while (c_.nextToken < count_) {
        const std::uint32_t t = tokenAt(c_.nextToken);
        if (t == kColon || t == kNewLine)
            break;
        if (names == kMaxSetUpEditorNames) {
            fail(ErrArgument, c_.nextToken);
            return;
        }
        const int nameAt = c_.nextToken;
        if (t >= 0x5D00 && t <= 0x5D05) {
            c_.opStack.pushVarName(vocabulary.nameForOpcode(t), nameAt);
            ++c_.nextToken;
        } else {
            auto name = parseNameMaxLen(5);
            if (!name) {
                fail(ErrSyntax, c_.nextToken);
                return;
            }
            c_.opStack.pushVarName(*name, nameAt);
        }
        ++names;
        const std::uint32_t n = tokenAt(c_.nextToken);
        if (c_.nextToken >= count_ || n == kColon || n == kNewLine)
            break;
        if (n != kComma) {
            fail(ErrArgument, c_.nextToken);
            return;
        }
        ++c_.nextToken;
    }
    while (c_.opStack.moveTopTo(c_.rpnStack())) {
    }
    c_.rpnStack().pushReal(names, 15, -15, at);
    c_.rpnStack().pushOpcode(kSetUpEditor, at);
}

void StatementParser::graphDatabase(std::uint32_t op)
{
    processOp(op);
    ++c_.nextToken;
    operandState_ = kOperandExpected;
    if (tokenAt(c_.nextToken) != kQuote)
        return;  // the number that follows is the argument
    const int at = c_.nextToken;
    auto s = parseString();
    if (!s)
        return;
    if (static_cast<int>(s->size()) > kMaxGDBNameTokens) {
        fail(ErrSyntax, at);
        return;
    }
    std::string text;
    const Vocabulary& vocabulary = Vocabulary::shared();
    for (std::uint32_t o : *s)
        text += vocabulary.nameForOpcode(o);
    c_.rpnStack().pushGDBName(text, at);
    operandState_ = kVariable;
}

// ---- Queries ----

int StatementParser::parensCountOfType(int token) const
{
    int n = 0;
    for (const Operand& r : c_.openParenStack.stack())
        if (static_cast<int>(r.opcode & 0xFFFFu) == token)
            ++n;
    return n;
}

bool StatementParser::nestedOp(int token) const
{
    int found = 0;
    for (const Operand& r : c_.opStack.stack()) {
        if (r.kind != KindOpcode)
            continue;
        const int t = static_cast<int>(r.opcode & 0xFFFFu);
        switch (token) {
        case 0x22:  // solve(
        case 0x23:  // seq(
            if (t == token)
                return true;
            break;
        case 0x25:  // nDeriv(: one level of nesting is allowed
            if (t == token && ++found >= 2)
                return true;
            break;
        case 0x27:  // fMin(
        case 0x28:  // fMax(
            if (t == 0x27 || t == 0x28)
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

bool StatementParser::isAlpha(int token)
{
    const auto t = static_cast<std::uint32_t>(token);
    return isUpperLetter(t) || isLowerLetter(t);
}

} // namespace orvenda
