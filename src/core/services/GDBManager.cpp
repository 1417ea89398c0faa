#include "core/services/GDBManager.h"

#include "core/services/ServiceSlot.h"
#include "language/ErrorNumbers.h"

namespace orvenda {

namespace {

ServiceSlot<std::shared_ptr<GDBManager>>& registered()
{
    static ServiceSlot<std::shared_ptr<GDBManager>> manager;
    return manager;
}

} // namespace

void GDBManager::setShared(std::shared_ptr<GDBManager> manager)
{
    registered().set(std::move(manager));
}

std::shared_ptr<GDBManager> GDBManager::shared()
{
    return registered().get();
}

bool GDBManager::isSavedGDB(const std::string& name)
{
    auto manager = shared();
    return manager && manager->isSaved(name);
}

bool GDBManager::saveGDB(const std::string& name)
{
    auto manager = shared();
    return manager && manager->save(name);
}

bool GDBManager::saveGDB(const std::string& name, std::span<const std::uint8_t> data)
{
    auto manager = shared();
    return manager && manager->saveData(name, data);
}

std::optional<std::vector<std::uint8_t>> GDBManager::getGDBData(const std::string& name)
{
    auto manager = shared();
    return manager ? manager->storedData(name) : std::nullopt;
}

void GDBManager::deleteGDB(const std::string& name)
{
    if (auto manager = shared())
        manager->remove(name);
}

int GDBManager::recallGDB(const std::string& name)
{
    auto manager = shared();
    return manager ? manager->recall(name) : int{ErrGdbNotFound};
}

std::vector<std::string> GDBManager::gdbNames(bool includeUndefined)
{
    auto manager = shared();
    return manager ? manager->names(includeUndefined) : std::vector<std::string>{};
}

int GDBManager::recall(const std::string&) { return ErrGdbNotFound; }
std::vector<std::string> GDBManager::names(bool) const { return {}; }

} // namespace orvenda
