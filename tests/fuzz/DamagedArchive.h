#pragma once

// Damaged copies of a good archive, made from fuzz input: bytes overwritten or cut short,
// or one member replaced by any CBOR value.

#include "core/MemoryArchive.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvenda::fuzz {

using Bytes = std::vector<std::uint8_t>;

// The archive with the pairs (position, byte) of the input written over it, cut after the
// position the first input byte picks.
inline Bytes overwritten(const Bytes& archive, std::span<const std::uint8_t> input)
{
    Bytes bytes = archive;
    for (std::size_t k = 1; k + 2 < input.size(); k += 3)
        bytes[(input[k] | (input[k + 1] << 8)) % bytes.size()] = input[k + 2];
    if (!input.empty() && input[0] < 16)
        bytes.resize(bytes.size() * input[0] / 16);
    return bytes;
}

// The archive with the member the first input byte picks among keys replaced by the CBOR
// value the rest of the input holds (a map {key: input} read through the archive's own
// reader, so its depth limit holds).
inline std::optional<nlohmann::json> replaced(const Bytes& archive, const std::vector<std::string>& keys,
    std::span<const std::uint8_t> input)
{
    if (input.empty() || keys.empty())
        return std::nullopt;
    const std::string& key = keys[input[0] % keys.size()];
    Bytes member{0xA1, static_cast<std::uint8_t>(0x60 + key.size())};
    member.insert(member.end(), key.begin(), key.end());
    member.insert(member.end(), input.begin() + 1, input.end());
    const auto value = MemoryArchive::parse(member);
    if (!value)
        return std::nullopt;
    auto parsed = MemoryArchive::parse(archive);
    (*parsed)[key] = (*value)[key];
    return parsed;
}

} // namespace orvenda::fuzz
