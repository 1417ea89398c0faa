// Damaged archives for the restore: raw bytes, the factory archive with bytes overwritten
// or cut short, and the factory archive with one member replaced by any value. Whatever
// the input, the calculator must come out usable: it formats its values, and what it saves
// restores to the same state.

#include "core/Calculator.h"
#include "core/MemoryArchive.h"

#include "DamagedArchive.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

using namespace orvenda;

namespace {

using fuzz::Bytes;

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

void exercise(const Calculator& calc)
{
    (void)calc.getAns();
    (void)calc.getVariable(0x41);
    const auto state = calc.locked();
    (void)calc.formatReal(state->vars[38].real());
    for (const VQMatrix& m : state->matrices)
        (void)calc.formatMatrix(&m);
    for (const auto& [name, list] : state->lists)
        (void)calc.formatList(&list);
    (void)calc.stringFromOps(state->strings[0]);
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
        MemoryArchive::restore(calc, fuzz::overwritten(factoryArchive(), input));
        break;
    default:
        if (auto archive = fuzz::replaced(factoryArchive(), factoryKeys(), input))
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
