#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// The calculator's four user menus: parallel lists of items (op arrays) and names ("" for
// an item without one). Menus 0..3; any other number means menu 0. Main thread.
class UserMenus {
public:
    using Ops = std::vector<std::uint32_t>;

    static const std::vector<std::string>& userNamesForMenu(const Calculator& calc, int menu);
    static const std::vector<Ops>& userOpsForMenu(const Calculator& calc, int menu);
    // Nothing for an item out of range.
    static std::optional<std::string> userNameForMenu(const Calculator& calc, int menu, int item);
    static std::optional<Ops> userOpsForMenu(const Calculator& calc, int menu, int item);
    // The item's ops' names joined ("sin(X)"); nothing for a missing or empty item.
    static std::optional<std::string> userLabelForMenu(const Calculator& calc, int menu, int item);
    // Appends the entry line's ops with the name ("" for none); nothing when the entry line
    // is empty. The entry line stays as it is.
    static void userAddMenu(Calculator& calc, int menu, const Ops& entryOps, const std::string& name = {});
    // Removes the item from both lists; nothing past the end.
    static void userDeleteMenu(Calculator& calc, int menu, int item);
};

} // namespace orvenda
