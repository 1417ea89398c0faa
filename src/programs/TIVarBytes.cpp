#include "programs/TIVarBytes.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace orvenda {

namespace {

constexpr std::uint32_t kUnitConversion = 0xBB5D, kConstant = 0xBB5E;

bool isPrefix(unsigned byte)
{
    switch (byte) {
    case 0x5C: case 0x5D: case 0x5E: case 0x60: case 0x61: case 0x62: case 0x63: case 0x7E: case 0xAA:
    case 0xBB: case 0xEF:
        return true;
    default:
        return false;
    }
}

bool hasParameter(std::uint32_t token)
{
    return token == kUnitConversion || token == kConstant;
}

} // namespace

double TIVarBytes::dblFrom(const std::uint8_t* bytes)
{
    std::uint64_t mantissa = 0;
    for (std::size_t i = 2; i < kRealSize; ++i)
        mantissa = mantissa * 100 + (bytes[i] >> 4) * 10 + (bytes[i] & 0x0F);
    if (mantissa == 0)
        return 0;
    // The digits as an integer times a power of ten, read back correctly rounded.
    const int exponent = static_cast<int>(bytes[1]) - 0x80 - 13;
    double x = 0;
    // The digits times a power of ten both held exactly: one rounding, as reading the text
    // would give. Otherwise the text is read back.
    static constexpr double kExact[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12,
        1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (exponent >= 0 && exponent <= 22) {
        x = static_cast<double>(mantissa) * kExact[exponent];
    } else if (exponent < 0 && exponent >= -22) {
        x = static_cast<double>(mantissa) / kExact[-exponent];
    } else {
        // At most 14 digits, "e" and a sign with 3 digits.
        char text[32];
        char* e = std::to_chars(text, text + 16, mantissa).ptr;
        *e = 'e';
        const char* end = std::to_chars(e + 1, text + sizeof text, exponent).ptr;
        std::from_chars(text, end, x);
    }
    return (bytes[0] & 0x80) ? -x : x;
}

bool TIVarBytes::isDecimal(const std::uint8_t* bytes)
{
    for (std::size_t i = 2; i < kRealSize; ++i)
        if ((bytes[i] >> 4) > 9 || (bytes[i] & 0x0F) > 9)
            return false;
    return true;
}

bool TIVarBytes::writeReal(double x, std::uint8_t* bytes)
{
    std::fill(bytes, bytes + kRealSize, std::uint8_t(0));
    if (std::isinf(x))
        return false;
    if (x == 0 || std::isnan(x))
        return true;
    // "d.ddddddddddddde±x": 14 significant digits.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, std::fabs(x), std::chars_format::scientific, 13).ptr;
    const char* e = std::find(text, end, 'e');
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);
    // Too small for the file's exponent: kept as 0.
    if (exponent < -99)
        return true;
    if (exponent > 99)
        return false;
    bytes[0] = x < 0 ? 0x80 : 0x00;
    bytes[1] = static_cast<std::uint8_t>(exponent + 0x80);
    std::size_t digit = 0;
    for (const char* c = text; c < e; ++c) {
        if (*c == '.')
            continue;
        const auto d = static_cast<std::uint8_t>(*c - '0');
        bytes[2 + digit / 2] |= digit % 2 == 0 ? static_cast<std::uint8_t>(d << 4) : d;
        ++digit;
    }
    return true;
}

std::size_t TIVarBytes::opByteLength(const Ops& ops)
{
    std::size_t n = 0;
    for (std::uint32_t op : ops) {
        const std::uint32_t token = op & 0xFFFF;
        n += isPrefix(token >> 8) ? 2 : 1;
        if (hasParameter(token))
            n += 2;
    }
    return n;
}

void TIVarBytes::writeTokens(const Ops& ops, Bytes& out)
{
    for (std::uint32_t op : ops) {
        const std::uint32_t token = op & 0xFFFF;
        if (isPrefix(token >> 8))
            out.push_back(static_cast<std::uint8_t>(token >> 8));
        out.push_back(static_cast<std::uint8_t>(token & 0xFF));
        if (hasParameter(token)) {
            out.push_back(static_cast<std::uint8_t>(op >> 24));
            out.push_back(static_cast<std::uint8_t>((op >> 16) & 0xFF));
        }
    }
}

std::optional<TIVarBytes::Ops> TIVarBytes::tokensFrom(std::span<const std::uint8_t> bytes)
{
    Ops ops;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::uint32_t op = bytes[i++];
        if (isPrefix(op)) {
            if (i >= bytes.size())
                return std::nullopt;
            op = op << 8 | bytes[i++];
        }
        if (hasParameter(op)) {
            if (i + 2 > bytes.size())
                return std::nullopt;
            op |= static_cast<std::uint32_t>(bytes[i]) << 24 | static_cast<std::uint32_t>(bytes[i + 1]) << 16;
            i += 2;
        }
        ops.push_back(op);
    }
    return ops;
}

} // namespace orvenda
