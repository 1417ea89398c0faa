// Any bytes handed to the CSV import. The import takes the file whole or not at all: on
// success every list it stored has 1 to 999 numbers, all finite, under a name that can be
// typed, no more than 999 of them, the lists already there under other names stay, and the
// lists survive the saved state and their own export; on a refusal (85 or 86) nothing
// changed.

#include "apps/CSVImport.h"
#include "apps/CSVText.h"
#include "core/Calculator.h"
#include "core/MemoryArchive.h"
#include "core/VQList.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using namespace orvenda;

namespace {

const LocaleFormats kLocale{"h a", "MMMM d, y"};

void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}

// A name the list-name line takes: L₁ to L₆, or 1 to 5 of A–Z, 0–9 and θ, a letter first.
bool typeable(std::string_view name)
{
    for (const char* builtIn : {"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"})
        if (name == builtIn)
            return true;
    const std::string_view theta = "θ";
    int length = 0;
    for (std::size_t i = 0; i < name.size(); ++length) {
        if (name.substr(i, theta.size()) == theta) {
            i += theta.size();
            continue;
        }
        const char c = name[i++];
        const bool digit = c >= '0' && c <= '9';
        if (!(c >= 'A' && c <= 'Z') && !(digit && length > 0))
            return false;
    }
    return length >= 1 && length <= 5;
}

using Lists = std::map<std::string, std::vector<std::complex<double>>>;

// Calculators made once (making one costs far more than an import); each run sets the
// lists it starts from, the only state the import touches.
Calculator& calculator(int k)
{
    static Calculator* calcs[] = {new Calculator(kLocale), new Calculator(kLocale), new Calculator(kLocale),
        new Calculator(kLocale)};
    calcs[k]->locked()->lists.clear();
    return *calcs[k];
}

Lists listsOf(const Calculator& calc)
{
    Lists out;
    for (const auto& [name, list] : calc.locked()->lists) {
        std::vector<std::complex<double>>& values = out[name];
        for (int k = 0; k < list.count(); ++k)
            values.push_back(list.complexAtIndex(k));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Calculator& calc = calculator(0);
    const int result = CSVImport::loadCSV(calc, text);
    check(result == 0 || result == 85 || result == 86);
    const Lists imported = listsOf(calc);
    check(result == 0 ? !imported.empty() : imported.empty());
    check(imported.size() <= static_cast<std::size_t>(CSVImport::kMaxLists));
    std::vector<std::string> names;
    for (const auto& [name, list] : calc.locked()->lists) {
        names.push_back(name);
        check(typeable(name));
        check(list.count() >= 1 && list.count() <= CSVImport::kMaxElements);
        // A field written as a+bɩ̇ makes its list complex.
        check(list.type() == 0 || list.type() == 1);
        for (int k = 0; k < list.count(); ++k) {
            const std::complex<double> z = list.complexAtIndex(k);
            check(std::isfinite(z.real()) && std::isfinite(z.imag()));
        }
    }

    // Into a calculator holding lists: the others stay, and a refusal changes nothing.
    Calculator& holding = calculator(1);
    holding.locked()->lists.insert_or_assign("KEEP", VQList::listSeqStart(1, 3));
    Lists expected = listsOf(holding);
    check(CSVImport::loadCSV(holding, text) == result);
    if (result == 0)
        for (const auto& [name, values] : imported)
            expected.insert_or_assign(name, values);
    check(listsOf(holding) == expected);
    if (result != 0)
        return 0;

    // Saved and restored, the lists are the same.
    Calculator& restored = calculator(2);
    check(MemoryArchive::restore(restored, MemoryArchive::save(calc)));
    check(listsOf(restored) == imported);

    // Exported and imported again, the lists come back under their names and lengths.
    Calculator& again = calculator(3);
    check(CSVImport::loadCSV(again, CSVText::listsText(calc, names)) == 0);
    const auto back = again.locked(), first = calc.locked();
    check(back->lists.size() == names.size());
    for (const std::string& name : names)
        check(back->lists.contains(name) && back->lists.at(name).count() == first->lists.at(name).count());
    return 0;
}
