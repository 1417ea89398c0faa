#pragma once

#include <cstdint>

namespace orvenda {
struct Operand;
}

namespace orvenda::ProgramTokens {

// Tokens that shape a program: statement ends, strings, blocks, jumps and I/O.
inline constexpr std::uint32_t kStore = 0x04;  // ➞
inline constexpr std::uint32_t kDegree = 0x0B;
inline constexpr std::uint32_t kQuote = 0x2A;
inline constexpr std::uint32_t kColon = 0x3E;
inline constexpr std::uint32_t kNewLine = 0x3F;
inline constexpr std::uint32_t kProgram = 0x5F;
inline constexpr std::uint32_t kEqual = 0x6A;
inline constexpr std::uint32_t kFix = 0x73;
inline constexpr std::uint32_t kApostrophe = 0xAE;
inline constexpr std::uint32_t kQuestionMark = 0xAF;
inline constexpr std::uint32_t kIf = 0xCE;
inline constexpr std::uint32_t kThen = 0xCF;
inline constexpr std::uint32_t kElse = 0xD0;
inline constexpr std::uint32_t kWhile = 0xD1;
inline constexpr std::uint32_t kRepeat = 0xD2;
inline constexpr std::uint32_t kFor = 0xD3;
inline constexpr std::uint32_t kEnd = 0xD4;
inline constexpr std::uint32_t kReturn = 0xD5;
inline constexpr std::uint32_t kLbl = 0xD6;
inline constexpr std::uint32_t kGoto = 0xD7;
inline constexpr std::uint32_t kPause = 0xD8;
inline constexpr std::uint32_t kStop = 0xD9;
inline constexpr std::uint32_t kIncrementSkip = 0xDA;  // IS>(
inline constexpr std::uint32_t kDecrementSkip = 0xDB;  // DS<(
inline constexpr std::uint32_t kInput = 0xDC;
inline constexpr std::uint32_t kPrompt = 0xDD;
inline constexpr std::uint32_t kDisp = 0xDE;
inline constexpr std::uint32_t kOutput = 0xE0;
inline constexpr std::uint32_t kClrHome = 0xE1;
inline constexpr std::uint32_t kMenu = 0xE6;
inline constexpr std::uint32_t kForNext = 0x101A;
inline constexpr std::uint32_t kBreak = 0x101B;
inline constexpr std::uint32_t kComment = 0x5C34;
inline constexpr std::uint32_t kGosub = 0x5C35;
// A breakpoint of the debugger, at the start of a statement line (no text of its own).
inline constexpr std::uint32_t kBreakpoint = 0x5C58;
inline constexpr std::uint32_t kOpenBrace = 0x08;
inline constexpr std::uint32_t kListName = 0xEB;  // ʟ
inline constexpr std::uint32_t kAns = 0x72;

inline constexpr std::uint32_t token(std::uint32_t op) { return op & 0xFFFF; }
// The jump target a compiled control token carries.
inline constexpr int target(std::uint32_t op) { return static_cast<int>(op >> 16); }
inline constexpr std::uint32_t withTarget(std::uint32_t op, int target)
{
    return (op & 0xFFFF) | (static_cast<std::uint32_t>(target) << 16);
}
inline constexpr bool endsStatement(std::uint32_t op)
{
    const std::uint32_t t = token(op);
    return t == kColon || t == kNewLine;
}

// The input request for a variable, prompting with [its token, "=", "?"].
Operand promptRecord(const Operand& variable);

} // namespace orvenda::ProgramTokens
