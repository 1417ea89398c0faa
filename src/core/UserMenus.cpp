#include "core/UserMenus.h"

#include "core/Calculator.h"

#include <array>

namespace orvenda {

namespace {

int menuIndex(int menu) { return menu >= 1 && menu <= 3 ? menu : 0; }

// The menu's lists, const or not as the calculator is.
template <class C>
auto& opsOf(C& calc, int menu)
{
    const std::array ops{&calc.userOps1, &calc.userOps2, &calc.userOps3, &calc.userOps4};
    return *ops[static_cast<std::size_t>(menuIndex(menu))];
}

template <class C>
auto& namesOf(C& calc, int menu)
{
    const std::array names{&calc.userNames1, &calc.userNames2, &calc.userNames3, &calc.userNames4};
    return *names[static_cast<std::size_t>(menuIndex(menu))];
}

} // namespace

const std::vector<std::string>& UserMenus::userNamesForMenu(const Calculator& calc, int menu)
{
    return namesOf(calc, menu);
}

const std::vector<UserMenus::Ops>& UserMenus::userOpsForMenu(const Calculator& calc, int menu)
{
    return opsOf(calc, menu);
}

std::optional<std::string> UserMenus::userNameForMenu(const Calculator& calc, int menu, int item)
{
    const auto& names = userNamesForMenu(calc, menu);
    if (item < 0 || static_cast<std::size_t>(item) >= names.size())
        return std::nullopt;
    return names[static_cast<std::size_t>(item)];
}

std::optional<UserMenus::Ops> UserMenus::userOpsForMenu(const Calculator& calc, int menu, int item)
{
    const auto& ops = userOpsForMenu(calc, menu);
    if (item < 0 || static_cast<std::size_t>(item) >= ops.size())
        return std::nullopt;
    return ops[static_cast<std::size_t>(item)];
}

std::optional<std::string> UserMenus::userLabelForMenu(const Calculator& calc, int menu, int item)
{
    const auto ops = userOpsForMenu(calc, menu, item);
    if (!ops || ops->empty())
        return std::nullopt;
    std::string label;
    for (std::uint32_t op : *ops)
        label += calc.nameForOpcode(op);
    return label;
}

void UserMenus::userAddMenu(Calculator& calc, int menu, const Ops& entryOps, const std::string& name)
{
    if (entryOps.empty())
        return;
    opsOf(calc, menu).push_back(entryOps);
    namesOf(calc, menu).push_back(name);
}

void UserMenus::userDeleteMenu(Calculator& calc, int menu, int item)
{
    if (item < 0)
        return;
    const auto at = static_cast<std::size_t>(item);
    auto& ops = opsOf(calc, menu);
    auto& names = namesOf(calc, menu);
    if (at < ops.size())
        ops.erase(ops.begin() + item);
    if (at < names.size())
        names.erase(names.begin() + item);
}

} // namespace orvenda
