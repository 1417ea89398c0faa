#pragma once

#include <nlohmann/json.hpp>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvenda {

// What an observer receives; it owns its parts, so an observer may keep it to act on it
// later on another thread.
struct Notification {
    std::string name;
    // Who posted it.
    const void* poster = nullptr;
    // An object; empty unless the name says otherwise.
    nlohmann::json userInfo;
};

// The notification bus. Posting may come from any thread (the program queue posts too);
// observers run synchronously on the posting thread, in the order they were added, and
// marshal to the main thread themselves where they need to.
//
// An observer added or removed while a notification is being delivered takes effect for
// that delivery too: a removed observer is not called any more, an added one not yet.
// Removal waits for the observer's callbacks running on other threads to finish, so the
// observer may be destroyed as soon as it returns (a callback may remove its own
// observer; that call does not wait for itself).
class NotificationCenter {
public:
    using Callback = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    void post(std::string_view name, const void* poster = nullptr,
        const nlohmann::json& userInfo = nlohmann::json::object());

    // observer identifies the observation for removal; one observer may observe many names
    // and the same name more than once.
    void addObserver(const void* observer, std::string_view name, Callback callback);
    // Removes every observation of the observer.
    void removeObserver(const void* observer);

private:
    struct Observation;

    std::mutex mutex_;
    // Signalled when a callback returns.
    std::condition_variable finished_;
    std::unordered_map<std::string, std::vector<std::shared_ptr<Observation>>> byName_;
};

} // namespace orvenda
