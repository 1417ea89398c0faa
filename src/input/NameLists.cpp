#include "input/NameLists.h"

#include "core/Calculator.h"

namespace orvenda {

std::vector<NameLists::Section> NameLists::letterSections(const std::vector<std::string>& names, bool hashSection)
{
    std::vector<Section> sections;
    Section other{QStringLiteral("#"), {}};
    std::vector<std::vector<std::string>> letters(26);
    for (const std::string& name : names) {
        const QString text = QString::fromStdString(name);
        const QChar first = text.isEmpty() ? QChar() : text.at(0).toUpper();
        if (first >= QLatin1Char('A') && first <= QLatin1Char('Z'))
            letters[static_cast<std::size_t>(first.unicode() - 'A')].push_back(name);
        else if (hashSection)
            other.names.push_back(name);
    }
    // "#" sorts before the letters.
    if (!other.names.empty())
        sections.push_back(std::move(other));
    for (std::size_t i = 0; i < letters.size(); ++i)
        if (!letters[i].empty())
            sections.push_back({QString(QChar(static_cast<char16_t>('A' + i))), std::move(letters[i])});
    return sections;
}

std::vector<std::string> NameLists::matrixNames(const Calculator& calc)
{
    std::vector<std::string> names;
    const auto lock = calc.lockState();
    for (int i = 0; i < Calculator::kMatrixCount; ++i) {
        const VQMatrix& m = calc.state().matrices[static_cast<std::size_t>(i)];
        std::string name = "[" + std::string(1, static_cast<char>('A' + i)) + "]";
        if (m.dimCol() > 0)
            name += " " + std::to_string(m.dimRow()) + "×" + std::to_string(m.dimCol());
        names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::uint32_t> NameLists::yVarsForMode(int graphMode)
{
    struct Range {
        std::uint32_t first;
        std::uint32_t count;
    };
    static constexpr Range kRanges[] = {{0x5E10, 10}, {0x5E20, 12}, {0x5E40, 6}, {0x5E80, 3}, {0x5EA0, 10}};
    std::vector<std::uint32_t> tokens;
    if (graphMode < 0 || graphMode > 4)
        return tokens;
    const Range r = kRanges[graphMode];
    for (std::uint32_t i = 0; i < r.count; ++i)
        tokens.push_back(r.first + i);
    return tokens;
}

const std::vector<std::string>& NameLists::userNames(const Calculator& calc, int menu)
{
    switch (menu) {
    case 1: return calc.userNames2;
    case 2: return calc.userNames3;
    case 3: return calc.userNames4;
    default: return calc.userNames1;
    }
}

const std::vector<std::vector<std::uint32_t>>& NameLists::userOps(const Calculator& calc, int menu)
{
    switch (menu) {
    case 1: return calc.userOps2;
    case 2: return calc.userOps3;
    case 3: return calc.userOps4;
    default: return calc.userOps1;
    }
}

} // namespace orvenda
