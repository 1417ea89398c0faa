#include "core/NotificationCenter.h"

#include <algorithm>
#include <thread>

namespace orvenda {

struct NotificationCenter::Observation {
    const void* observer;
    Callback callback;
    // Both guarded by the center's mutex.
    bool active = true;
    // One entry per callback of this observation running now.
    std::vector<std::thread::id> callers;
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
    const std::thread::id me = std::this_thread::get_id();
    for (const auto& target : targets) {
        {
            std::lock_guard guard(mutex_);
            if (!target->active)
                continue;
            target->callers.push_back(me);
        }
        target->callback(notification);
        {
            std::lock_guard guard(mutex_);
            auto& callers = target->callers;
            callers.erase(std::find(callers.begin(), callers.end(), me));
        }
        finished_.notify_all();
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
    std::vector<std::shared_ptr<Observation>> removed;
    std::unique_lock guard(mutex_);
    for (auto it = byName_.begin(); it != byName_.end();) {
        auto& list = it->second;
        std::erase_if(list, [&](const std::shared_ptr<Observation>& o) {
            if (o->observer != observer)
                return false;
            o->active = false;
            removed.push_back(o);
            return true;
        });
        it = list.empty() ? byName_.erase(it) : std::next(it);
    }
    const std::thread::id me = std::this_thread::get_id();
    finished_.wait(guard, [&] {
        return std::all_of(removed.begin(), removed.end(), [&](const std::shared_ptr<Observation>& o) {
            return std::all_of(o->callers.begin(), o->callers.end(), [&](std::thread::id t) { return t == me; });
        });
    });
}

} // namespace orvenda
