#include "core/NotificationCenter.h"

#include <atomic>

namespace orvenda {

struct NotificationCenter::Observation {
    const void* observer;
    Callback callback;
    std::atomic<bool> active{true};
};

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::post(std::string_view name, const void* poster, const nlohmann::json& userInfo)
{
    // Deliver from a snapshot, outside the lock, so callbacks may post, add and remove.
    std::string key(name);
    std::vector<std::shared_ptr<Observation>> targets;
    {
        std::lock_guard guard(mutex_);
        auto it = byName_.find(key);
        if (it == byName_.end())
            return;
        targets = it->second;
    }
    Notification notification{std::move(key), poster, userInfo};
    for (const auto& target : targets) {
        if (target->active.load(std::memory_order_acquire))
            target->callback(notification);
    }
}

void NotificationCenter::addObserver(const void* observer, std::string_view name, Callback callback)
{
    if (!callback)
        return;
    auto observation = std::make_shared<Observation>();
    observation->observer = observer;
    observation->callback = std::move(callback);
    std::lock_guard guard(mutex_);
    byName_[std::string(name)].push_back(std::move(observation));
}

void NotificationCenter::removeObserver(const void* observer)
{
    std::lock_guard guard(mutex_);
    for (auto it = byName_.begin(); it != byName_.end();) {
        auto& list = it->second;
        std::erase_if(list, [observer](const std::shared_ptr<Observation>& o) {
            if (o->observer != observer)
                return false;
            o->active.store(false, std::memory_order_release);
            return true;
        });
        it = list.empty() ? byName_.erase(it) : std::next(it);
    }
}

} // namespace orvenda
