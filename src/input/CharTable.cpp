#include "input/CharTable.h"

#include "app/CurrentRowKeeper.h"
#include "core/Calculator.h"

namespace orvenda {

CharTable::CharTable(const Calculator& calc, QWidget* parent) : QListWidget(parent), calc_(calc) { CurrentRowKeeper::keep(*this); }

std::vector<std::uint32_t> CharTable::characterCodes()
{
    struct Run {
        std::uint32_t first;
        std::uint32_t last;
    };
    static constexpr Run kRuns[] = {
        {0xBB6E, 0xBB7D}, {0xBB7F, 0xBBAF}, {0xBBCB, 0xBBCD}, {0xBBCF, 0xBBCF}, {0xBBD1, 0xBBEE}, {0xBBF0, 0xBBF5},
    };
    std::vector<std::uint32_t> codes;
    for (const Run& run : kRuns)
        for (std::uint32_t c = run.first; c <= run.last; ++c)
            codes.push_back(c);
    return codes;
}

void CharTable::doInit()
{
    characters_ = characterCodes();
    clear();
    for (const std::uint32_t code : characters_)
        addItem(QString::fromStdString(calc_.nameForOpcode(code)));
}

} // namespace orvenda
