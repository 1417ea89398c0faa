#include "apps/CSVText.h"

#include "core/Calculator.h"
#include "language/Utf8.h"

namespace orvenda {

namespace {

constexpr std::size_t kMaxStem = 80;

void newLine(std::string& out)
{
    if (!out.empty())
        out += '\n';
}

bool isMatrix(int m) { return m >= 0 && m < Calculator::kMatrixCount; }

} // namespace

std::string CSVText::listsText(const Calculator& calc, const std::vector<std::string>& names)
{
    std::string out;
    const NumberFormatter numbers = calc.plainFormatter();
    const auto state = calc.locked();
    for (const std::string& name : names) {
        auto it = state->lists.find(name);
        if (it == state->lists.end())
            continue;
        newLine(out);
        out += name;
        for (int k = 0; k < it->second.count(); ++k) {
            const std::complex<double> z = it->second.complexAtIndex(k);
            out += ',';
            out += numbers.formatComplex(z.real(), z.imag(), false);
        }
    }
    return out;
}

std::string CSVText::listsFileName(const std::vector<std::string>& names)
{
    std::string stem;
    for (const std::string& name : names)
        if (Utf8::codePointCount(stem) < kMaxStem)
            stem += name;
    return stem + ".csv";
}

std::string CSVText::matricesText(const Calculator& calc, const std::vector<int>& matrices)
{
    std::string out;
    const NumberFormatter numbers = calc.plainFormatter();
    const auto state = calc.locked();
    for (int m : matrices) {
        if (!isMatrix(m))
            continue;
        const VQMatrix& matrix = state->matrices[static_cast<std::size_t>(m)];
        for (std::size_t r = 0; r < matrix.dimRow(); ++r) {
            newLine(out);
            for (std::size_t c = 0; c < matrix.dimCol(); ++c) {
                if (c > 0)
                    out += ',';
                out += numbers.formatReal(matrix.row(r, c));
            }
        }
    }
    return out;
}

std::string CSVText::matricesFileName(const std::vector<int>& matrices)
{
    std::string name = "Matrix";
    for (int m : matrices)
        if (isMatrix(m))
            name += static_cast<char>('A' + m);
    return name + ".csv";
}

} // namespace orvenda
