// Damaged archives for the restore: raw bytes, the factory archive with bytes overwritten
// or cut short, and the factory archive with one member replaced by any value. Whatever
// the input, the calculator must come out usable: it formats its values, and what it saves
// restores to the same state.

#include "core/Calculator.h"
#include "core/MemoryArchive.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

using namespace orvenda;

namespace {

using Bytes = std::vector<std::uint8_t>;

const LocaleFormats kLocale{"h a", "MMMM d, y"};

const Bytes& factoryArchive()
{
    static const Bytes bytes = [] {
        Calculator calc(kLocale);
        return MemoryArchive::save(calc);
    }();
    return bytes;
}

const std::vector<std::string>& factoryKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> out;
        const nlohmann::json archive = *MemoryArchive::parse(factoryArchive());
        for (const auto& [key, value] : archive.items())
            out.push_back(key);
        return out;
    }();
    return keys;
}

// The factory archive with the pairs (position, byte) of the input written over it, cut
// after the position the first input byte picks.
Bytes overwritten(std::span<const std::uint8_t> input)
{
    Bytes bytes = factoryArchive();
    for (std::size_t k = 1; k + 2 < input.size(); k += 3)
        bytes[(input[k] | (input[k + 1] << 8)) % bytes.size()] = input[k + 2];
    if (!input.empty() && input[0] < 16)
        bytes.resize(bytes.size() * input[0] / 16);
    return bytes;
}

// The factory archive with member key replaced by the CBOR value the input holds (a map
// {key: input} read through the archive's own reader, so its depth limit holds).
std::optional<nlohmann::json> replaced(std::span<const std::uint8_t> input)
{
    if (input.empty())
        return std::nullopt;
    const std::string& key = factoryKeys()[input[0] % factoryKeys().size()];
    Bytes member{0xA1, static_cast<std::uint8_t>(0x60 + key.size())};
    member.insert(member.end(), key.begin(), key.end());
    member.insert(member.end(), input.begin() + 1, input.end());
    const auto value = MemoryArchive::parse(member);
    if (!value)
        return std::nullopt;
    auto archive = MemoryArchive::parse(factoryArchive());
    (*archive)[key] = (*value)[key];
    return archive;
}

void exercise(const Calculator& calc)
{
    (void)calc.getAns();
    (void)calc.getVariable(0x41);
    (void)calc.formatReal(calc.vars[38].real());
    for (const VQMatrix& m : calc.matrices)
        (void)calc.formatMatrix(&m);
    for (const auto& [name, list] : calc.lists)
        (void)calc.formatList(&list);
    (void)calc.stringFromOps(calc.strings[0]);
    (void)calc.interfaceColorIndex(3);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    Calculator calc(kLocale);
    switch (data[0] % 3) {
    case 0:
        MemoryArchive::restore(calc, input);
        break;
    case 1:
        MemoryArchive::restore(calc, overwritten(input));
        break;
    default:
        if (auto archive = replaced(input))
            MemoryArchive::apply(calc, *archive);
        break;
    }
    exercise(calc);

    const Bytes saved = MemoryArchive::save(calc);
    Calculator again(kLocale);
    if (!MemoryArchive::restore(again, saved) || MemoryArchive::save(again) != saved)
        std::abort();
    return 0;
}
