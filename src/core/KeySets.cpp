#include "core/KeySets.h"

#include "core/Calculator.h"

#include <algorithm>

namespace orvenda {

namespace {

constexpr unsigned kUserSet = 1;

} // namespace

void KeySets::userKeySetAdd(Calculator& calc, const std::string& title)
{
    if (!keySetNamed(calc, title))
        calc.uKeys.emplace_back(title, kUserSet);
}

std::vector<std::string> KeySets::keySetNames(const Calculator& calc)
{
    std::vector<std::string> names;
    for (const UserKeySet& set : calc.uKeys)
        if (set.type() != kUserSet)
            names.push_back(set.title());
    return names;
}

std::vector<std::string> KeySets::userKeySetNames(const Calculator& calc)
{
    std::vector<std::string> names;
    for (const UserKeySet& set : calc.uKeys)
        if (set.type() == kUserSet)
            names.push_back(set.title());
    return names;
}

UserKeySet* KeySets::keySetNamed(Calculator& calc, const std::string& title)
{
    const auto found = std::ranges::find(calc.uKeys, title, &UserKeySet::title);
    return found == calc.uKeys.end() ? nullptr : &*found;
}

const UserKeySet* KeySets::keySetNamed(const Calculator& calc, const std::string& title)
{
    const auto found = std::ranges::find(calc.uKeys, title, &UserKeySet::title);
    return found == calc.uKeys.end() ? nullptr : &*found;
}

const UserKeySet* KeySets::currentUserKeys(const Calculator& calc) { return keySetNamed(calc, calc.userKeySetName); }

std::optional<KeySets::Ops> KeySets::userKeyTitle(const Calculator& calc, int slot)
{
    const UserKeySet* set = currentUserKeys(calc);
    const Ops* title = set ? set->nameForKey(slot) : nullptr;
    return title ? std::optional<Ops>(*title) : std::nullopt;
}

std::optional<KeySets::Ops> KeySets::userKeyOps(const Calculator& calc, int slot)
{
    const UserKeySet* set = currentUserKeys(calc);
    const Ops* ops = set ? set->opsForKey(slot) : nullptr;
    return ops ? std::optional<Ops>(*ops) : std::nullopt;
}

void KeySets::setUserKeyTitle(Calculator& calc, int slot, const Ops& title)
{
    if (UserKeySet* set = keySetNamed(calc, calc.userKeySetName))
        set->setName(title, slot);
}

void KeySets::setUserKeyOps(Calculator& calc, int slot, const Ops& ops)
{
    if (UserKeySet* set = keySetNamed(calc, calc.userKeySetName))
        set->setOps(ops, slot);
}

} // namespace orvenda
