#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class UserKeySet;

// The calculator's user key sets: the list (calc.uKeys), the set in use
// (calc.userKeySetName) and the keys of that set. Main thread.
class KeySets {
public:
    using Ops = std::vector<std::uint32_t>;

    // Appends a user set (type 1) of that title unless a set has it already.
    static void userKeySetAdd(Calculator& calc, const std::string& title);
    // The titles of the sets that come with the system (type 0), and of the user's.
    static std::vector<std::string> keySetNames(const Calculator& calc);
    static std::vector<std::string> userKeySetNames(const Calculator& calc);
    // The first set of exactly that title (case counts); nullptr when none.
    static UserKeySet* keySetNamed(Calculator& calc, const std::string& title);
    static const UserKeySet* keySetNamed(const Calculator& calc, const std::string& title);
    // The set in use; nullptr when none.
    static const UserKeySet* currentUserKeys(const Calculator& calc);
    // A slot's label and ops in the set in use; nothing when empty or no set is in use.
    static std::optional<Ops> userKeyTitle(const Calculator& calc, int slot);
    static std::optional<Ops> userKeyOps(const Calculator& calc, int slot);
    // Store in the set in use; nothing when none is.
    static void setUserKeyTitle(Calculator& calc, int slot, const Ops& title);
    static void setUserKeyOps(Calculator& calc, int slot, const Ops& ops);
};

} // namespace orvenda
