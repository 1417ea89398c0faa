#include "language/Precedence.h"

#include "language/Vocabulary.h"

#include <array>
#include <charconv>

namespace orvenda {

namespace {

// 0x00-0xFF, indexed by the token.
constexpr std::array<std::int8_t, 256> kOneByte = {
    -1,  9,  9,  9, 10, -1, 10, -1, 10, -1,  5,  5,  2,  2,  2,  2, // 0x0000
    10, -1,  2, -1,  1,  1,  1,  1,  1,  1,  1,  2,  2,  2,  2,  1, // 0x0010
     1,  1,  1,  1,  1,  1, -1,  1,  1, -1,  1, -1, -1,  1,  1,  1, // 0x0020
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  1,  9,  9, -1, -1, // 0x0030
     8, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x0040
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x0050
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  7,  7,  7,  7,  7,  7, // 0x0060
     6,  6,  1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x0070
    -1, -1,  5,  5, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x0080
    -1, -1, -1, -1,  4,  4, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x0090
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  1, -1, -1,  1, -1, // 0x00a0
     5,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, -1,  3,  3,  1,  1, // 0x00b0
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, -1, -1, // 0x00c0
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x00d0
    -1, -1,  1,  1,  1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x00e0
     3,  3, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x00f0
};

// 0x5C20-0x5C68.
constexpr std::array<std::int32_t, 73> kOwnPage = {
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0x5c20
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0x5c30
     8,  9,  9,  1, -1, -1, -1,  5, -1, -1, -1,  1,  1,  1,  1,  1, // 0x5c40
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, -1, // 0x5c50
    -1,  1,  1,  9,  2,  1,  1,  1,  1, // 0x5c60
};

// 0xBB00-0xBBFF.
constexpr std::array<std::int32_t, 256> kPageBB = {
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbb00
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbb10
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  9, // 0xbb20
     9,  1,  1,  1,  1,  1,  1,  1,  1,  2,  2,  1,  1,  1,  1,  1, // 0xbb30
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbb40
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, 10,  1,  1, // 0xbb50
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbb60
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbb70
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbb80
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbb90
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1, -1,  1,  1,  1,  1,  1, // 0xbba0
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbbb0
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbbc0
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  2,  1,  1,  1,  1,  1, // 0xbbd0
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  9, // 0xbbe0
     1,  1,  1,  1,  1,  1,  9,  9,  1,  1,  1,  1,  1,  1,  1,  1, // 0xbbf0
};

// 0xEF00-0xEF9F.
constexpr std::array<std::int32_t, 160> kPageEF = {
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, // 0xef00
     1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1,  1, -1, // 0xef10
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xef20
     9,  9,  1,  1,  1,  1,  1,  1,  4,  4,  1,  1,  1,  1, -1,  1, // 0xef30
     1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xef40
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xef50
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xef60
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xef70
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xef80
    -1, -1, -1, -1, -1,  1, -1, -1,  1, -1, -1, -1, -1, -1, -1, -1, // 0xef90
};

} // namespace

std::int32_t Precedence::opOrder(std::int32_t token)
{
    // Negative tokens are not tokens; they must not index the one-byte table.
    if (token < 0)
        return notAnOperator;
    if (token <= 0xFF)
        return kOneByte[token];
    if ((token & 0x7FFFF000) == 0x1000) // internal page; Rand0 alone has order 2
        return token == 0x1000 ? 2 : 1;
    if (token >= 0x5C20 && token <= 0x5C68)
        return kOwnPage[token - 0x5C20];
    // Y=, parametric and polar equations, and graph format settings act as functions.
    if ((token >= 0x5E10 && token < 0x5E46) || (token >= 0x7E00 && token < 0x7E13))
        return 1;
    if ((token & 0x7FFFFF00) == 0xBB00)
        return kPageBB[token - 0xBB00];
    if (token >= 0xEF00 && token <= 0xEF9F)
        return kPageEF[token - 0xEF00];
    return notAnOperator;
}

std::string Precedence::description(std::int32_t op, std::int32_t order)
{
    std::string text;
    switch (op) {
    case 0x04: text = "->"; break;
    case 0xB0: text = "(-)"; break;
    case 0xBC: text = "sqrt("; break;
    default: text = Vocabulary::shared().nameForOpcode(static_cast<std::uint32_t>(op)); break;
    }
    char digits[12];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, order);
    (void)ec;
    text += ',';
    text.append(digits, end);
    return text;
}

} // namespace orvenda
