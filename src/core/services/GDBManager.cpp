#include "core/services/GDBManager.h"

#include <mutex>

namespace orvenda {

namespace {

std::mutex& lock()
{
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<GDBManager>& registered()
{
    static std::shared_ptr<GDBManager> manager;
    return manager;
}

} // namespace

void GDBManager::setShared(std::shared_ptr<GDBManager> manager)
{
    std::lock_guard guard(lock());
    registered() = std::move(manager);
}

std::shared_ptr<GDBManager> GDBManager::shared()
{
    std::lock_guard guard(lock());
    return registered();
}

bool GDBManager::isSavedGDB(const std::string& name)
{
    auto manager = shared();
    return manager && manager->isSaved(name);
}

void GDBManager::saveGDB(const std::string& name)
{
    if (auto manager = shared())
        manager->save(name);
}

void GDBManager::deleteGDB(const std::string& name)
{
    if (auto manager = shared())
        manager->remove(name);
}

} // namespace orvenda
