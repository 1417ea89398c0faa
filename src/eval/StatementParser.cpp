#include "eval/StatementParser.h"

#include "eval/EvalContext.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/UnitNames.h"
#include "language/LiteralScanner.h"
#include "language/Precedence.h"
#include "language/TokenRanges.h"
#include "language/Vocabulary.h"

#include <atomic>
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

// Tokens that end the operand before them: an operator just before one has none.
bool endsOperand(std::uint32_t t)
{
    return (t != kStore && in(kStatementEnds, t)) || t == kComma || t == kMatrixClose || t == kListClose
        || t == kParenClose;
}

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

StatementParser::Step StatementParser::fail(int error, int token)
{
    // The first error stands; later ones are consequences of it.
    if (!c_.error) {
        c_.error = error;
        c_.errorToken = token;
    }
    return Step::Keep;
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
    danglingOperator_ = -1;
    if (c_.error)
        return c_.nextToken;
    // Most tokens of the statement output one record each (a group's count takes the
    // place of its brackets): storage for that many is taken at once, so a long entry is
    // not moved from block to block as it grows.
    int end = start;
    while (end < count_ && tokenAt(end) != kColon && tokenAt(end) != kNewLine)
        ++end;
    c_.rpnStack().reserveStorage(end - start + 1);

    while (!c_.error) {
        const int i = c_.nextToken;
        if (i > count_)
            break;
        if (i == count_) {
            if (danglingOperator_ >= 0) {
                // "2+" compiles into a form that only fails when it runs: told here, so
                // a line is checked by compiling it.
                fail(ErrSyntax, danglingOperator_);
                break;
            }
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
        // (A bracket that closes nothing is the fault to tell there.)
        const bool closesNothing = (t == kParenClose || t == kListClose || t == kMatrixClose) && c_.openParenStack.count() == 0;
        if (endsOperand(t) && danglingOperator_ >= 0 && !closesNothing) {
            fail(ErrSyntax, danglingOperator_);
            break;
        }
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
                pushFunctionEnd(i);
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

// ---- Token classes ----

// The class of a token, each read by a function of its own. Tested in this order: the
// first class whose test a token passes is its class.
StatementParser::TokenClass StatementParser::classOf(std::uint32_t t)
{
    using C = TokenClass;
    if (t >= 0x30 && t <= 0x3B) return C::Digit;
    if (isUpperLetter(t)) return C::Letter;
    if (t == 0x2C || t == 0x72) return C::ImaginaryOrAns;
    if (t == 0xAC || t == 0xBB31) return C::PiOrE;
    if (t == 0xBB5E) return C::Constant;
    if (t >= 0xEF41 && t <= 0xEF4F) return C::ColourName;
    if (t >= 0xEF92 && t <= 0xEF94) return C::Tail;
    if (t == 0xAD || t == 0xEF09 || t == 0xEF0A) return C::Clock;
    if (in(kMarkers, t)) return C::Marker;
    if (t == 0xAB) return C::Rand;
    if (t == kQuote) return C::Quote;
    if (t == 0x5F) return C::ProgramName;
    if (t == kList) return C::ListName;
    if ((t >= 0x5C00 && t <= 0x5C09) || (t >= 0x5D00 && t <= 0x5D05)) return C::MatrixOrList;
    if (in(kEquations, t)) return C::Equation;
    if (in(kImpliedVariables, t)) return C::ImpliedVariable;
    if (in(kPlainVariables, t)) return C::PlainVariable;
    if (in(kBinaryOperators, t) || t == kStore) return C::BinaryOperator;
    if (t == kNegate) return C::Negation;
    if (in(kPostfix, t)) return C::Postfix;
    if (t == 0x0A || t == 0x0B) return C::AngleMark;
    if (in(kConversions, t)) return C::Conversion;
    if (t == kFractionSlash) return C::FractionSlash;
    if (t == kMixedSeparator) return C::MixedSeparator;
    if (in(kFunctions, t)) return C::Function;
    if (in(kCommandsWithArguments, t)) return C::CommandWithArguments;
    if (in(kGroupedCommands, t)) return C::GroupedCommand;
    if (t == 0xB5) return C::Dim;
    if (in(kBlockStarts, t)) return C::BlockStart;
    if (t == 0xCF) return C::Then;
    if (t == 0xD0 || t == 0xD4) return C::ElseOrEnd;
    if (t == kReturn || t == kStop || t == 0xE1) return C::ReturnStopClrHome;
    if (t == 0x84 || t == 0xDF || t == 0xE5 || t == 0xBB52 || t == kDelVar || t == 0x5C3B) return C::LoneCommand;
    if (t == 0xD6 || t == 0xD7 || t == 0x5C35) return C::LabelOrJump;
    if (t == 0xD8) return C::Pause;
    if (t == 0xE6) return C::Menu;
    if (t == 0x73) return C::Fix;
    if (t == 0x9A || t == 0x9B) return C::GraphDatabase;
    if (in(kNestingChecked, t)) return C::NestingChecked;
    if (in(kDrawingCommands, t)) return C::DrawingCommand;
    if (in(kOptionalArgumentCommands, t)) return C::OptionalArguments;
    if (in(kStatementCommands, t)) return C::StatementCommand;
    if (in(kZoomCommands, t)) return C::Zoom;
    if (in(kSettings, t)) return C::Setting;
    if (t >= 0xBB20 && t <= 0xBB24) return C::Tvm;
    if (t == kSetUpEditor) return C::SetUpEditor;
    if (t == 0xBBF8 || t == 0xBBF9) return C::BinaryOrHex;
    if (isOpenBracket(t)) return C::OpeningBracket;
    if (t == kMatrixClose || t == kListClose || t == kParenClose) return C::ClosingBracket;
    if (t == kComma) return C::Comma;
    if (t == kColon || t == kNewLine) return C::StatementEnd;
    if (t == kComment) return C::Comment;
    if (t == kQuestion || t == kBreakpoint) return C::Break;
    return C::Unknown;
}

// Each 16-bit token is classed the first time it is met and remembered, rather than all of
// them at the first parse: a process meets few of them, and classing them all took a
// noticeable part of every start-up. A slot holds the class plus one; 0 is not classed yet.
// The parser runs on more than one thread; threads that class the same token store the same
// byte, so no order between them is needed.
StatementParser::TokenClass StatementParser::classify(std::uint32_t t)
{
    static std::atomic<std::uint8_t> classes[0x10000];
    std::atomic<std::uint8_t>& slot = classes[t & 0xFFFFu];
    std::uint8_t stored = slot.load(std::memory_order_relaxed);
    if (stored == 0) {
        stored = static_cast<std::uint8_t>(static_cast<std::uint8_t>(classOf(t & 0xFFFFu)) + 1);
        slot.store(stored, std::memory_order_relaxed);
    }
    return static_cast<TokenClass>(stored - 1);
}

StatementParser::Step StatementParser::dispatch(std::uint32_t op, std::uint32_t t)
{
    const Token token{op, t, c_.nextToken, prevToken_ == kStore, lastWasNumber_};
    lastWasNumber_ = false;
    Step step = Step::Next;
    switch (classify(t)) {
    case TokenClass::Digit: step = digit(token); break;
    case TokenClass::Letter: step = letter(token); break;
    case TokenClass::ImaginaryOrAns: step = imaginaryOrAns(token); break;
    case TokenClass::PiOrE: step = piOrE(token); break;
    case TokenClass::Constant: step = constant(token); break;
    case TokenClass::ColourName: step = colourName(token); break;
    case TokenClass::Tail: step = tail(token); break;
    case TokenClass::Clock: step = clock(token); break;
    case TokenClass::Marker: step = marker(token); break;
    case TokenClass::Rand: step = rand(token); break;
    case TokenClass::Quote: step = quote(token); break;
    case TokenClass::ProgramName: step = programName(token); break;
    case TokenClass::ListName: step = listName(token); break;
    case TokenClass::MatrixOrList: step = matrixOrList(token); break;
    case TokenClass::Equation: step = equation(token); break;
    case TokenClass::ImpliedVariable: step = impliedVariable(token); break;
    case TokenClass::PlainVariable: step = plainVariable(token); break;
    case TokenClass::BinaryOperator: step = binaryOperator(token); break;
    case TokenClass::Negation: step = negation(token); break;
    case TokenClass::Postfix: step = postfix(token); break;
    case TokenClass::AngleMark: step = angleMark(token); break;
    case TokenClass::Conversion: step = conversion(token); break;
    case TokenClass::FractionSlash: step = fractionSlash(token); break;
    case TokenClass::MixedSeparator: step = mixedSeparator(token); break;
    case TokenClass::Function: step = function(token); break;
    case TokenClass::CommandWithArguments: step = commandWithArguments(token); break;
    case TokenClass::GroupedCommand: step = groupedCommand(token); break;
    case TokenClass::Dim: step = dim(token); break;
    case TokenClass::BlockStart: step = blockStart(token); break;
    case TokenClass::Then: step = then(token); break;
    case TokenClass::ElseOrEnd: step = elseOrEnd(token); break;
    case TokenClass::ReturnStopClrHome: step = returnStopClrHome(token); break;
    case TokenClass::LoneCommand: step = loneCommand(token); break;
    case TokenClass::LabelOrJump: step = labelOrJump(token); break;
    case TokenClass::Pause: step = pause(token); break;
    case TokenClass::Menu: step = menu(token); break;
    case TokenClass::Fix: step = fix(token); break;
    case TokenClass::GraphDatabase: step = graphDatabase(token); break;
    case TokenClass::NestingChecked: step = nestingChecked(token); break;
    case TokenClass::DrawingCommand: step = drawingCommand(token); break;
    case TokenClass::OptionalArguments: step = optionalArguments(token); break;
    case TokenClass::StatementCommand: step = statementCommand(token); break;
    case TokenClass::Zoom: step = zoom(token); break;
    case TokenClass::Setting: step = setting(token); break;
    case TokenClass::Tvm: step = tvm(token); break;
    case TokenClass::SetUpEditor: step = setUpEditor(); break;
    case TokenClass::BinaryOrHex: step = binaryOrHex(token); break;
    case TokenClass::OpeningBracket: step = openingBracket(token.t); break;
    case TokenClass::ClosingBracket: step = closingBracketToken(token); break;
    case TokenClass::Comma: step = comma(); break;
    case TokenClass::StatementEnd: step = statementEnd(); break;
    case TokenClass::Comment: step = comment(); break;
    case TokenClass::Break: step = breakToken(token); break;
    case TokenClass::Unknown: step = fail(ErrSyntax, token.at); break;
    }
    if (step == Step::Next)
        prevToken_ = t;
    const TokenClass cls = classify(t);
    danglingOperator_ = !c_.error && (cls == TokenClass::BinaryOperator || cls == TokenClass::Negation) ? token.at : -1;
    return step == Step::Finish ? Step::Finish : Step::Next;
}

// ---- Token classes, one function each ----
//
// Each leaves the operand state for what may follow; Next when the token counts as the
// previous token from now on, Keep when it does not (a failure, a store target), Finish
// when the statement ends here.

StatementParser::Step StatementParser::digit(const Token& token)
{
    if (c_.processingMenu && token.t <= 0x39) {
        menuLabel();
    } else {
        number();
        lastWasNumber_ = true;
    }
    operandState_ = kNumber;
    return Step::Next;
}

StatementParser::Step StatementParser::letter(const Token& token)
{
    if (token.afterStore) {
        storeTarget();
        return Step::Keep;
    }
    if (c_.processingMenu) {
        menuLabel();
    } else {
        impliedMultiply();
        c_.rpnStack().pushVar(static_cast<int>(token.t), token.at);
        ++c_.nextToken;
    }
    operandState_ = kVariable;
    return Step::Next;
}

// "ɩ̇", "Ans"
StatementParser::Step StatementParser::imaginaryOrAns(const Token& token)
{
    impliedMultiply();
    ++c_.nextToken;
    if (token.t == 0x72 && tokenAt(c_.nextToken) == kParenOpen) {
        c_.nextToken = token.at;
        pushPrefix(kAnsElement);
        ++c_.nextToken;
        operandState_ = kOperandExpected;
    } else {
        c_.rpnStack().pushOpcode(token.op, token.at);
        operandState_ = kNumber;
    }
    return Step::Next;
}

// "π", "e"
StatementParser::Step StatementParser::piOrE(const Token& token)
{
    impliedMultiply();
    c_.rpnStack().pushReal(token.t == 0xAC ? std::numbers::pi : std::numbers::e, 15, -15, token.at);
    c_.rpnStack().setHasDecimalPoint(true);
    return value(kNumber);
}

StatementParser::Step StatementParser::constant(const Token& token)
{
    // The index comes from the op, which a file may have brought: only the table's.
    if (!UnitNames::constantForOp(token.op))
        return fail(ErrDomain, token.at);
    impliedMultiply();
    c_.rpnStack().pushReal(parser_.constantValue(static_cast<int>(token.op >> 16)), 15, -15, token.at);
    return value(kNumber);
}

// The colour numbers 10-24.
StatementParser::Step StatementParser::colourName(const Token& token)
{
    impliedMultiply();
    c_.rpnStack().pushReal(static_cast<double>(token.t - 0xEF37), -1, 0, token.at);
    return value(kNumber);
}

// The tails of a distribution: the token itself.
StatementParser::Step StatementParser::tail(const Token& token)
{
    c_.rpnStack().pushReal(static_cast<double>(token.t), 15, -15, token.at);
    return value(kNumber);
}

// getKey, getDate, getTime
StatementParser::Step StatementParser::clock(const Token& token)
{
    impliedMultiply();
    c_.rpnStack().pushOpcode(token.op, token.at);
    return value(kNumber);
}

StatementParser::Step StatementParser::marker(const Token& token)
{
    c_.rpnStack().pushOpcode(token.op, token.at);
    return value(kNumber);
}

// "rand": the seed after "➞", the function before "(", else a draw.
StatementParser::Step StatementParser::rand(const Token& token)
{
    impliedMultiply();
    ++c_.nextToken;
    if (token.afterStore) {
        c_.rpnStack().pushVar(static_cast<int>(token.t), token.at);
        operandState_ = kNumber;
    } else if (tokenAt(c_.nextToken) == kParenOpen) {
        c_.nextToken = token.at;
        pushPrefix(token.op);
        ++c_.nextToken;
        operandState_ = kOperandExpected;
    } else {
        c_.rpnStack().pushOpcode(kRand0, token.at);
        operandState_ = kNumber;
    }
    return Step::Next;
}

StatementParser::Step StatementParser::quote(const Token& token)
{
    auto s = parseString();
    if (!s)
        return Step::Keep;
    c_.rpnStack().pushString(VQString(*s), token.at);
    operandState_ = kString;
    return Step::Next;
}

// "prgm»" and the name after it, output as a string.
StatementParser::Step StatementParser::programName(const Token& token)
{
    processOp(token.op);
    ++c_.nextToken;
    const int nameAt = c_.nextToken;
    Ops tokens;
    auto name = parseProgramName(&tokens);
    if (!name)
        return Step::Keep;
    c_.rpnStack().pushString(VQString(tokens), nameAt);
    c_.rpnStack().peek()->var.name = std::move(*name);
    operandState_ = kString;
    return Step::Next;
}

// "ʟ" and a list name: an element before "(", else the list.
StatementParser::Step StatementParser::listName(const Token& token)
{
    impliedMultiply();
    auto name = parseNameMaxLen(5);
    if (!name)
        return fail(ErrSyntax, c_.nextToken);
    if (tokenAt(c_.nextToken) == kParenOpen) {
        pushListElement(*name, token.at);
        operandState_ = kOperandExpected;
    } else {
        c_.rpnStack().pushVarName(*name, token.at);
        operandState_ = kVariable;
    }
    return Step::Next;
}

// [A]-[J], L₁-L₆: an element before "(", else the variable.
StatementParser::Step StatementParser::matrixOrList(const Token& token)
{
    const std::uint32_t t = token.t;
    return variableOrElement(token, t >= 0x5D00 ? 0x1002 + (t - 0x5D00) : 0x1008 + (t - 0x5C00), t);
}

// An equation: a function before "(", else the variable (u v w as their equations).
StatementParser::Step StatementParser::equation(const Token& token)
{
    const std::uint32_t eq = token.t >= 0xBBC5 ? 0x5E80 + (token.t - 0xBBC5) : token.t;
    return variableOrElement(token, eq, eq);
}

StatementParser::Step StatementParser::variableOrElement(const Token& token, std::uint32_t function, std::uint32_t variable)
{
    impliedMultiply();
    ++c_.nextToken;
    if (tokenAt(c_.nextToken) == kParenOpen) {
        c_.nextToken = token.at;
        pushPrefix(function);
        ++c_.nextToken;
        operandState_ = kOperandExpected;
    } else {
        c_.rpnStack().pushVar(static_cast<int>(variable), token.at);
        operandState_ = kVariable;
    }
    return Step::Next;
}

// Statistics, window and sequence variables and η.
StatementParser::Step StatementParser::impliedVariable(const Token& token)
{
    impliedMultiply();
    return plainVariable(token);
}

// Strings and graph databases: nothing multiplies with them.
StatementParser::Step StatementParser::plainVariable(const Token& token)
{
    c_.rpnStack().pushVar(static_cast<int>(token.t), token.at);
    return value(kVariable);
}

// Binary operators and "➞".
StatementParser::Step StatementParser::binaryOperator(const Token& token)
{
    if (!followsOperand(token.at))
        return Step::Keep;
    return operatorToken(token.op, kOperandExpected);
}

StatementParser::Step StatementParser::negation(const Token& token)
{
    impliedMultiply();
    return operatorToken(token.op, kOperandExpected);
}

StatementParser::Step StatementParser::postfix(const Token& token)
{
    if (!followsOperand(token.at))
        return Step::Keep;
    // A converted measure is a decimal, never a fraction of its factors.
    if (token.t == 0xBB5D)
        c_.rpnStack().setHasDecimalPoint(true);
    return operatorToken(token.op, kNumber);
}

// "ʳ", "°": after a number "°" may start a degree-minute-second literal.
StatementParser::Step StatementParser::angleMark(const Token& token)
{
    if (operandState_ == kStart || operandState_ == kOperandExpected)
        return fail(ErrSyntax, token.at);
    ++c_.nextToken;
    VQStack& rpn = c_.rpnStack();
    if (token.t == 0x0B && operandState_ == kNumber && token.wasNumber && rpn.peek() && rpn.peek()->kind == KindReal) {
        LiteralScanner::Cursor cursor{c_.nextToken, 0, 0};
        Operand* degrees = rpn.peek();
        double angle = degrees->re();
        bool decimal = false;
        const bool found = LiteralScanner::parseDMS(ops_, cursor, angle, decimal);
        c_.nextToken = cursor.next;
        if (cursor.error)
            return fail(cursor.error, cursor.errorToken);
        if (found) {
            degrees->value = {angle, 0.0};
            // The figures typed for the degrees say nothing of the whole angle.
            degrees->sigFig = 15;
            degrees->sigDec = -15;
            if (decimal)
                rpn.setHasDecimalPoint(true);
            operandState_ = kNumber;
            lastWasNumber_ = true;
            return Step::Next;
        }
    }
    c_.nextToken = token.at;
    // A postfix operator ends an operand, so what follows multiplies.
    return operatorToken(token.op, kNumber);
}

// Display conversions end their argument.
StatementParser::Step StatementParser::conversion(const Token& token)
{
    if (!followsOperand(token.at))
        return Step::Keep;
    const std::uint32_t n = tokenAt(token.at + 1);
    if (!(token.at + 1 >= count_ || n == kComma || n == kColon || n == kNewLine || n == kReturn || n == kStop
          || n == kComment))
        return fail(ErrSyntax, token.at + 1);
    processOp(token.op);
    ++c_.nextToken;
    return Step::Next;
}

// "／": after "␣" it makes the pair a mixed number.
StatementParser::Step StatementParser::fractionSlash(const Token& token)
{
    if (!followsOperand(token.at))
        return Step::Keep;
    Operand* top = c_.opStack.peek();
    if (top && top->kind == KindOpcode && (top->opcode & 0xFFFFu) == kMixedSeparator)
        top->opcode = (top->opcode & 0xFFFF0000u) | kMixedNumber;  // keeps a template ID
    else
        processOp(token.op);
    ++c_.nextToken;
    operandState_ = kOperandExpected;
    return Step::Next;
}

// "␣" of a mixed number.
StatementParser::Step StatementParser::mixedSeparator(const Token& token)
{
    if (operandState_ != kNumber)
        return fail(ErrSyntax, token.at);
    // A negation just before the whole part is the whole part's sign: -2␣1/2 is
    // -2 + 1/2.
    const Operand* top = c_.opStack.peek();
    if (top && top->kind == KindOpcode && (top->opcode & 0xFFFFu) == kNegate)
        c_.opStack.moveTopTo(c_.rpnStack());
    return operatorToken(token.op, kOperandExpected);
}

StatementParser::Step StatementParser::function(const Token& token)
{
    functionWithGroup(token.op, true, true);
    return Step::Next;
}

StatementParser::Step StatementParser::commandWithArguments(const Token& token)
{
    functionWithGroup(token.op, false, true);
    return Step::Next;
}

StatementParser::Step StatementParser::groupedCommand(const Token& token)
{
    functionWithGroup(token.op, false, false);
    return Step::Next;
}

// "dim(": after "➞" the store becomes StoDim(.
StatementParser::Step StatementParser::dim(const Token& token)
{
    impliedMultiply();
    std::uint32_t use = token.op;
    if (token.afterStore) {
        c_.opStack.drop();
        use = kStoDim;
    }
    functionWithGroup(use, false, false);
    return Step::Next;
}

// If, While, Repeat, For(, IS>(, DS<( begin their statement.
StatementParser::Step StatementParser::blockStart(const Token& token)
{
    if (c_.opStack.count() != 0)
        return fail(ErrSyntax, token.at);
    functionWithGroup(token.op, false, false);
    return Step::Next;
}

// "Then" outputs nothing.
StatementParser::Step StatementParser::then(const Token&)
{
    ++c_.nextToken;
    operandState_ = kOperandExpected;
    return Step::Next;
}

StatementParser::Step StatementParser::elseOrEnd(const Token& token)
{
    return operatorToken(token.op, kOperandExpected);
}

StatementParser::Step StatementParser::returnStopClrHome(const Token& token)
{
    processOp(token.op);
    ++c_.nextToken;
    return Step::Next;
}

// Trace, DispGraph, DispTable, ClrAllLists, DelVar, DispControls.
StatementParser::Step StatementParser::loneCommand(const Token& token)
{
    processOp(token.op);
    ++c_.nextToken;
    if (token.t == kDelVar)
        delVarArmed_ = true;
    operandState_ = kOperandExpected;
    return Step::Next;
}

// "Lbl ", "Goto ", "Gosub ": the label is skipped.
StatementParser::Step StatementParser::labelOrJump(const Token& token)
{
    int i = token.at + 1;
    getLabel(i);
    if (c_.error)
        return Step::Keep;
    if (token.t != 0xD6)
        processOp(token.op);
    c_.nextToken = i;
    operandState_ = kOperandExpected;
    return Step::Next;
}

// "Pause ": alone it pauses with 0.
StatementParser::Step StatementParser::pause(const Token& token)
{
    processOp(token.op);
    ++c_.nextToken;
    if (atStatementEnd(c_.nextToken))
        c_.rpnStack().pushReal(0, 15, -15, token.at);
    else
        openGroup(token.at);
    return Step::Next;
}

StatementParser::Step StatementParser::menu(const Token& token)
{
    processOp(token.op);
    ++c_.nextToken;
    openGroup(token.at);
    c_.processingMenu = true;
    operandState_ = kOperandExpected;
    return Step::Next;
}

StatementParser::Step StatementParser::fix(const Token& token)
{
    requireFirst();  // the rest of the statement is still read
    functionWithGroup(token.op, false, true);
    return Step::Next;
}

// solve(, seq(, fnInt(, nDeriv(, fMin(, fMax(, ∑(: the expression argument is kept.
StatementParser::Step StatementParser::nestingChecked(const Token& token)
{
    if (nestedOp(static_cast<int>(token.t)))
        return fail(ErrIllegalNest, token.at);
    functionWithGroup(token.op, true, true);
    if (!c_.error)
        openUnevaluated(token.at);
    return Step::Next;
}

StatementParser::Step StatementParser::drawingCommand(const Token& token)
{
    functionWithGroup(token.op, false, false);
    openUnevaluated(token.at);
    return Step::Next;
}

// Commands that may stand alone at the end of the entry.
StatementParser::Step StatementParser::optionalArguments(const Token& token)
{
    if (token.at + 1 < count_)
        return statementCommand(token);
    if (!requireFirst())
        return Step::Keep;
    c_.rpnStack().pushOpcode(token.op, token.at);
    ++c_.nextToken;
    operandState_ = kOperandExpected;
    return Step::Next;
}

StatementParser::Step StatementParser::statementCommand(const Token& token)
{
    if (!requireFirst())
        return Step::Keep;
    commandArguments(token.op);
    operandState_ = kOperandExpected;
    return Step::Next;
}

StatementParser::Step StatementParser::zoom(const Token& token)
{
    if (!requireFirst())
        return Step::Keep;
    return operatorToken(token.op, kOperandExpected);
}

// Settings stand alone in their statement.
StatementParser::Step StatementParser::setting(const Token& token)
{
    requireFirst();  // the token is still output
    c_.rpnStack().pushOpcode(token.op, token.at);
    ++c_.nextToken;
    const std::uint32_t n = tokenAt(c_.nextToken);
    if (c_.nextToken < count_ && n != kColon && n != kNewLine && n != kComment)
        fail(ErrSyntax, c_.nextToken);
    operandState_ = kOperandExpected;
    return Step::Next;
}

// tvm_Pmt ... tvm_FV: with arguments in a group, or none at the end or before "➞".
StatementParser::Step StatementParser::tvm(const Token& token)
{
    impliedMultiply();
    pushPrefix(token.op);
    ++c_.nextToken;
    if (tokenAt(c_.nextToken) == kParenOpen) {
        ++c_.nextToken;
        openGroup(token.at);
        operandState_ = kOperandExpected;
    } else if (atStatementEnd(c_.nextToken) || tokenAt(c_.nextToken) == kStore) {
        c_.rpnStack().pushReal(0, 15, -15, token.at);
        operandState_ = kNumber;
    } else {
        fail(ErrMissingArgument, c_.nextToken);
    }
    return Step::Next;
}

// "0b", "0h" and the digits after them; nothing at the end of the ops.
StatementParser::Step StatementParser::binaryOrHex(const Token& token)
{
    impliedMultiply();
    ++c_.nextToken;
    if (c_.nextToken < count_) {
        LiteralScanner::Cursor cursor{c_.nextToken, 0, 0};
        const double v = token.t == 0xBBF8 ? LiteralScanner::parseBinary(ops_, cursor)
                                           : LiteralScanner::parseHex(ops_, cursor);
        c_.nextToken = cursor.next;
        if (cursor.error)
            return fail(cursor.error, cursor.errorToken);
        c_.rpnStack().pushReal(v, 15, -15, token.at);
    }
    operandState_ = kNumber;
    return Step::Next;
}

StatementParser::Step StatementParser::closingBracketToken(const Token& token)
{
    closingBracket(token.t, token.at);
    if (!c_.error)
        ++c_.nextToken;
    return Step::Next;
}

// ":" and new line end the statement.
StatementParser::Step StatementParser::statementEnd()
{
    ++c_.nextToken;
    return Step::Finish;
}

// A comment runs to the end of its line.
StatementParser::Step StatementParser::comment()
{
    while (c_.nextToken < count_ && tokenAt(c_.nextToken) != kColon && tokenAt(c_.nextToken) != kNewLine)
        ++c_.nextToken;
    if (c_.nextToken < count_)
        ++c_.nextToken;
    return Step::Finish;
}

// The internal "?" and a breakpoint end the statement.
StatementParser::Step StatementParser::breakToken(const Token& token)
{
    processOp(token.op);
    ++c_.nextToken;
    return Step::Finish;
}

// ---- Helpers of the token classes ----

// An operator pushed with processOp, then the operand state for what follows.
StatementParser::Step StatementParser::operatorToken(std::uint32_t op, int state)
{
    processOp(op);
    ++c_.nextToken;
    operandState_ = state;
    return Step::Next;
}

// A value was output at nextToken, which moves past it.
StatementParser::Step StatementParser::value(int state)
{
    ++c_.nextToken;
    operandState_ = state;
    return Step::Next;
}

// Operators that stand after an operand: anything else before them is a syntax error.
bool StatementParser::followsOperand(int at)
{
    if (operandState_ != kOperandExpected)
        return true;
    fail(ErrSyntax, at);
    return false;
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

void StatementParser::pushFunctionEnd(int end)
{
    VQStack& rpn = c_.rpnStack();
    rpn.pushOpcode(kFnEnd, end);
    // The closing marker keeps the argument's own tokens, from after its opening marker's
    // place (the command or the comma) to here: a drawing names its function by them.
    int level = 0;
    for (int i = rpn.count() - 2; i >= 0; --i) {
        const Operand& r = *rpn.opAtIndex(i);
        if (r.kind != KindOpcode)
            continue;
        const std::uint32_t t = r.opcode & 0xFFFFu;
        if (t == kFnEnd) {
            ++level;
        } else if (t == kFnBegin && level-- == 0) {
            const int from = r.location + 1;
            if (from >= 0 && from <= end && end <= static_cast<int>(ops_.size()))
                rpn.peek()->string = VQString(Ops(ops_.begin() + from, ops_.begin() + end));
            return;
        }
    }
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
    pushFunctionEnd(c_.nextToken);
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

StatementParser::Step StatementParser::openingBracket(std::uint32_t t)
{
    const int at = c_.nextToken;
    if (!matrix_)
        impliedMultiply();
    if (t == kListOpen && parensCountOfType(kListOpen) > 0) {
        return fail(ErrSyntax, at);
    }
    if (t == kMatrixOpen) {
        const int open = parensCountOfType(kMatrixOpen);
        if (open == 0) {
            if (matrix_)
                return fail(ErrSyntax, at);
            matrix_ = true;
        } else if (open == 1 && prevToken_ == kMatrixOpen) {
        } else if (open == 1 && prevToken_ == kMatrixClose) {
            ++c_.listCounts.back();  // rows follow each other without commas
        } else {
            return fail(ErrSyntax, at);
        }
    }
    c_.opStack.pushOpcode(t, at);
    c_.openParenStack.pushOpcode(t, at);
    c_.listCounts.push_back(0);
    groupMark_ = c_.rpnStack().count();
    ++c_.nextToken;
    operandState_ = kOperandExpected;
    return Step::Next;
}

StatementParser::Step StatementParser::comma()
{
    const int at = c_.nextToken;
    if (c_.rpnStack().count() == groupMark_)
        return fail(ErrSyntax, at);
    if (!moveDownToBracket())
        return Step::Keep;
    if (pendingUnevaluated() && (c_.functionStart.back() & 0xFFFF) == c_.opStack.count()) {
        c_.functionStart.pop_back();
        pushFunctionEnd(at);
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
    return Step::Next;
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

StatementParser::Step StatementParser::setUpEditor()
{
    const int at = c_.nextToken;
    if (!requireFirst())
        return Step::Keep;
    ++c_.nextToken;
    const Vocabulary& vocabulary = Vocabulary::shared();
    int names = 0;
    while (c_.nextToken < count_) {
        const std::uint32_t t = tokenAt(c_.nextToken);
        if (t == kColon || t == kNewLine)
            break;
        if (names == kMaxSetUpEditorNames)
            return fail(ErrArgument, c_.nextToken);
        const int nameAt = c_.nextToken;
        if (t >= 0x5D00 && t <= 0x5D05) {
            c_.opStack.pushVarName(vocabulary.nameForOpcode(t), nameAt);
            ++c_.nextToken;
        } else {
            auto name = parseNameMaxLen(5);
            if (!name)
                return fail(ErrSyntax, c_.nextToken);
            c_.opStack.pushVarName(*name, nameAt);
        }
        ++names;
        const std::uint32_t n = tokenAt(c_.nextToken);
        if (c_.nextToken >= count_ || n == kColon || n == kNewLine)
            break;
        if (n != kComma)
            return fail(ErrArgument, c_.nextToken);
        ++c_.nextToken;
    }
    while (c_.opStack.moveTopTo(c_.rpnStack())) {
    }
    c_.rpnStack().pushReal(names, 15, -15, at);
    c_.rpnStack().pushOpcode(kSetUpEditor, at);
    operandState_ = kOperandExpected;
    return Step::Next;
}

// StoreGDB and RecallGDB: a quoted name becomes a graph-database name, else the number
// that follows is the argument.
StatementParser::Step StatementParser::graphDatabase(const Token& token)
{
    processOp(token.op);
    ++c_.nextToken;
    operandState_ = kOperandExpected;
    if (tokenAt(c_.nextToken) != kQuote)
        return Step::Next;
    const int at = c_.nextToken;
    auto s = parseString();
    if (!s)
        return Step::Next;
    if (static_cast<int>(s->size()) > kMaxGDBNameTokens)
        return fail(ErrSyntax, at);
    std::string text;
    const Vocabulary& vocabulary = Vocabulary::shared();
    for (std::uint32_t o : *s)
        text += vocabulary.nameForOpcode(o);
    c_.rpnStack().pushGDBName(text, at);
    operandState_ = kVariable;
    return Step::Next;
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
