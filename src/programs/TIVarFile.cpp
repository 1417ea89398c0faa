#include "programs/TIVarFile.h"

#include "language/Utf8.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace orvenda {

namespace {

using Signature = std::array<std::uint8_t, TIVarFile::kSignatureSize>;

constexpr Signature signature(const char (&text)[9], std::uint8_t last)
{
    Signature s{};
    for (std::size_t i = 0; i < 8; ++i)
        s[i] = static_cast<std::uint8_t>(text[i]);
    s[8] = 0x1A;
    s[9] = 0x0A;
    s[10] = last;
    return s;
}

struct Accepted {
    Signature bytes;
    TIVarFile::FileType type;
};

constexpr std::array<Accepted, 5> kAccepted{{
    {signature("**TI83**", 0x00), TIVarFile::TI83},
    {signature("**TI83F*", 0x00), TIVarFile::TI83F},
    {signature("**TI83F*", 0x0A), TIVarFile::TI83F},
    {signature("**TI83F*", 0x0F), TIVarFile::TI83F},
    {signature("**TI82**", 0x00), TIVarFile::TI82},
}};

constexpr std::string_view kThetaText = "θ";

} // namespace

std::optional<TIVarFile::FileType> TIVarFile::fileType(std::span<const std::uint8_t> data)
{
    if (data.size() < kSignatureSize)
        return std::nullopt;
    for (const Accepted& accepted : kAccepted)
        if (std::equal(accepted.bytes.begin(), accepted.bytes.end(), data.begin()))
            return accepted.type;
    return std::nullopt;
}

std::span<const std::uint8_t> TIVarFile::exportSignature()
{
    return kAccepted[2].bytes;
}

std::uint16_t TIVarFile::checksum(std::span<const std::uint8_t> bytes)
{
    return static_cast<std::uint16_t>(std::accumulate(bytes.begin(), bytes.end(), std::uint32_t{0}) & 0xFFFF);
}

bool TIVarFile::isEquationToken(std::uint32_t token)
{
    return (token >= 0x5E10 && token <= 0x5E19) || (token >= 0x5E20 && token <= 0x5E2B)
        || (token >= 0x5E40 && token <= 0x5E45) || (token >= 0x5E80 && token <= 0x5E82);
}

std::optional<std::string> TIVarFile::nameFromBytes(std::span<const std::uint8_t> field, bool lowerCase)
{
    std::string name;
    for (std::uint8_t b : field) {
        if (b == 0)
            break;
        if ((b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || (lowerCase && b >= 'a' && b <= 'z'))
            name += static_cast<char>(b);
        else if (b == kTheta)
            name += kThetaText;
        else
            return std::nullopt;
    }
    return name;
}

std::optional<TIVarFile::Bytes> TIVarFile::bytesForName(std::string_view name, std::size_t max, bool lowerCase)
{
    Bytes bytes;
    for (std::size_t i = 0; i < name.size() && bytes.size() < max;) {
        const char32_t c = Utf8::next(name, i);
        if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || (lowerCase && c >= U'a' && c <= U'z'))
            bytes.push_back(static_cast<std::uint8_t>(c));
        else if (c == U'θ')
            bytes.push_back(kTheta);
        else
            return std::nullopt;
    }
    return bytes;
}

} // namespace orvenda
