#pragma once

#include <cstdint>

namespace orvenda {

// What the two-dimensional form needs to know of a token: the type code editors ask for,
// the template structure it takes part in, and the brackets it opens or closes. An op's
// high 16 bits are its template ID (0 for plain ops), except on the unit conversion and
// constant tokens, whose high bits are their parameters.
class TokenClass {
public:
    // Type codes of opType().
    enum Type {
        Operand = 0,        // a number, a variable or another atom
        Infix = 1,          // a binary operator (➞, ᴱ, ／ and ␣ included) or the negation
        Postfix = 2,
        Function = 3,       // a prefix function whose name ends in "("
        OpenBracket = 4,
        Comma = 5,
        StatementStart = 6, // ":", new line, commands without "("
        CloseBracket = 7,
        Quote = 8,
        Other = 9,
        TemplatePart = 10,  // a template's opener or part separator
    };

    static constexpr std::uint32_t kOpenParen = 0x10;
    static constexpr std::uint32_t kCloseParen = 0x11;
    static constexpr std::uint32_t kOpenBracket = 0x06;
    static constexpr std::uint32_t kCloseBracket = 0x07;
    static constexpr std::uint32_t kOpenBrace = 0x08;
    static constexpr std::uint32_t kCloseBrace = 0x09;
    static constexpr std::uint32_t kComma = 0x2B;
    static constexpr std::uint32_t kQuote = 0x2A;
    static constexpr std::uint32_t kStore = 0x04;
    static constexpr std::uint32_t kNewLine = 0x3F;
    static constexpr std::uint32_t kExponentMark = 0x3B;
    static constexpr std::uint32_t kNegate = 0xB0;
    static constexpr std::uint32_t kPower = 0xF0;
    static constexpr std::uint32_t kXRoot = 0xF1;
    static constexpr std::uint32_t kFractionBar = 0xEF38;
    static constexpr std::uint32_t kMixedSeparator = 0xEF39;
    static constexpr std::uint32_t kSquareRoot = 0xBC;
    static constexpr std::uint32_t kCubeRoot = 0xBD;
    static constexpr std::uint32_t kAbs = 0xB2;
    static constexpr std::uint32_t kExpE = 0xBF;
    static constexpr std::uint32_t kExpTen = 0xC1;
    static constexpr std::uint32_t kLogBase = 0xEF34;
    static constexpr std::uint32_t kSum = 0xEF33;
    static constexpr std::uint32_t kIntegral = 0x24;
    static constexpr std::uint32_t kDerivative = 0x25;
    static constexpr std::uint32_t kListName = 0xEB;
    static constexpr std::uint32_t kBox = 0xEF1E;
    static constexpr std::uint32_t kUnitConversion = 0xBB5D;
    static constexpr std::uint32_t kConstant = 0xBB5E;

    static int opType(std::uint32_t op);

    static constexpr std::uint32_t token(std::uint32_t op) { return op & 0xFFFFu; }
    static constexpr std::uint16_t templateId(std::uint32_t op)
    {
        const std::uint32_t t = token(op);
        return (t == kUnitConversion || t == kConstant) ? 0 : static_cast<std::uint16_t>(op >> 16);
    }
    static constexpr std::uint32_t withId(std::uint32_t token, std::uint16_t id)
    {
        return (static_cast<std::uint32_t>(id) << 16) | token;
    }

    // "(", "[", "{" or a token whose name ends in "(".
    static bool opensGroup(std::uint32_t token);
    // The closing token of a group opened by `token`.
    static std::uint32_t closerFor(std::uint32_t token);
    // Where the parser closes every open bracket: ➞, ":", new line and the like.
    static bool isStatementEnd(std::uint32_t token);
    // Digits, the decimal point and the exponent mark.
    static bool isNumberToken(std::uint32_t token);
    // ², ³, ⁻¹ and ᵀ, drawn as superscripts.
    static bool isSuperscriptPostfix(std::uint32_t token);
    // Function tokens that are drawn as templates, and how many parts each takes:
    // √( ³√( abs( e^( ₁₀^( one, logBASE( two, nDeriv( three, ∑( and fnInt( four; 0 otherwise.
    static int templatePartCount(std::uint32_t token);
    // Lists, matrices and equations, which a following "(" indexes or calls.
    static bool takesArguments(std::uint32_t token);
    // A to Z, θ and the lower-case letters.
    static bool isLetter(std::uint32_t token);
};

} // namespace orvenda
