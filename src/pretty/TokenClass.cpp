#include "pretty/TokenClass.h"

#include "pretty/GlyphNames.h"

#include "language/TokenRanges.h"

#include <string_view>

namespace orvenda {

namespace {

using tokens::in;
using tokens::Range;

constexpr Range kInfix[] = {
    {0x04, 0x04}, {0x3B, 0x3D}, {0x40, 0x40}, {0x6A, 0x71}, {0x82, 0x83}, {0x94, 0x95},
    {0xB0, 0xB0}, {0xF0, 0xF1}, {0x5C40, 0x5C42}, {0x5C4B, 0x5C4B}, {0xEF38, 0xEF39},
};
constexpr Range kPostfix[] = {
    {0x01, 0x03}, {0x0A, 0x0F}, {0x2D, 0x2D}, {0xAE, 0xAE}, {0xBB2F, 0xBB30}, {0xBB5D, 0xBB5D},
    {0xBBDA, 0xBBDA}, {0xBBEF, 0xBBEF}, {0xBBF6, 0xBBF7}, {0xEF30, 0xEF31}, {0x5C63, 0x5C63},
};
constexpr Range kOperands[] = {
    {0x2C, 0x2C}, {0x30, 0x3A}, {0x41, 0x5B}, {0x72, 0x72}, {0x7F, 0x81}, {0xAB, 0xAD},
    {0xEB, 0xEB}, {0x1020, 0x1025}, {0x5C00, 0x5C09}, {0x5D00, 0x5D05}, {0x5E00, 0x5EFF},
    {0x6000, 0x6009}, {0x6100, 0x6109}, {0x6200, 0x62FF}, {0x6300, 0x63FF}, {0xAA00, 0xAA09},
    {0xBB31, 0xBB31}, {0xBB5E, 0xBB5E}, {0xBBAA, 0xBBAA}, {0xBBB0, 0xBBCA}, {0xEF09, 0xEF0A},
    {0xEF1E, 0xEF1E}, {0xEF41, 0xEF4F}, {0xEF92, 0xEF94},
};
constexpr Range kStatementEnds[] = {
    {0x04, 0x04}, {0x3E, 0x3F}, {0xD5, 0xD5}, {0xD9, 0xD9}, {0x101B, 0x101B}, {0x5C34, 0x5C34}, {0x5C58, 0x5C58},
};
constexpr Range kTakesArguments[] = {
    {0x72, 0x72}, {0x5C00, 0x5C09}, {0x5D00, 0x5D05}, {0x5E10, 0x5E19}, {0x5E20, 0x5E2B},
    {0x5E40, 0x5E45}, {0x5E80, 0x5E82}, {0x5EA0, 0x5EA9}, {0xBBC5, 0xBBC7},
};

bool nameEndsWithParen(std::uint32_t token)
{
    const std::string_view name = GlyphNames::name(token);
    return name.size() > 1 && name.back() == '(';
}

} // namespace

int TokenClass::opType(std::uint32_t op)
{
    const std::uint32_t t = token(op);
    if (templateId(op) != 0) {
        if (t == kCloseParen || t == kCloseBracket || t == kCloseBrace)
            return CloseBracket;
        if (t == kOpenParen || t == kOpenBracket || t == kOpenBrace || t == kComma || t == kPower || t == kXRoot
            || t == kFractionBar || t == kMixedSeparator || templatePartCount(t) > 0)
            return TemplatePart;
    }
    switch (t) {
    case kOpenParen: case kOpenBracket: case kOpenBrace: return OpenBracket;
    case kCloseParen: case kCloseBracket: case kCloseBrace: return CloseBracket;
    case kComma: return Comma;
    case kQuote: return Quote;
    case 0x3E: case kNewLine: return StatementStart;
    default: break;
    }
    if (in(kInfix, t))
        return Infix;
    if (in(kPostfix, t))
        return Postfix;
    if (in(kOperands, t))
        return Operand;
    if (nameEndsWithParen(t))
        return Function;
    const std::string_view name = GlyphNames::name(t);
    if (name.empty() || name.starts_with("op(") || name == " " || name == "▸")
        return Other;
    return StatementStart;
}

bool TokenClass::opensGroup(std::uint32_t token)
{
    return token == kOpenParen || token == kOpenBracket || token == kOpenBrace || nameEndsWithParen(token);
}

std::uint32_t TokenClass::closerFor(std::uint32_t token)
{
    return token == kOpenBracket ? kCloseBracket : token == kOpenBrace ? kCloseBrace : kCloseParen;
}

bool TokenClass::isStatementEnd(std::uint32_t token)
{
    return in(kStatementEnds, token);
}

bool TokenClass::isNumberToken(std::uint32_t token)
{
    return (token >= 0x30 && token <= 0x3A) || token == kExponentMark;
}

bool TokenClass::isSuperscriptPostfix(std::uint32_t token)
{
    return token >= 0x0C && token <= 0x0F;
}

int TokenClass::templatePartCount(std::uint32_t token)
{
    switch (token) {
    case kSquareRoot: case kCubeRoot: case kAbs: case kExpE: case kExpTen: return 1;
    case kLogBase: return 2;
    case kDerivative: return 3;
    case kSum: case kIntegral: return 4;
    default: return 0;
    }
}

bool TokenClass::takesArguments(std::uint32_t token)
{
    return in(kTakesArguments, token);
}

bool TokenClass::isLetter(std::uint32_t token)
{
    return (token >= 0x41 && token <= 0x5B) || (token >= 0xBBB0 && token <= 0xBBCA && token != 0xBBBB);
}

} // namespace orvenda
