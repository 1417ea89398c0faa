#pragma once

#include <mutex>
#include <utility>

namespace orvenda {

// What the platform layer registers for the engine (a factory or a shared instance): set
// once from any thread, read as a copy so a call through it holds no lock.
template <class T>
class ServiceSlot {
public:
    void set(T value)
    {
        std::lock_guard guard(mutex_);
        value_ = std::move(value);
    }

    T get() const
    {
        std::lock_guard guard(mutex_);
        return value_;
    }

private:
    mutable std::mutex mutex_;
    T value_{};
};

// The factory registered for a service class that makes its instances through one.
template <class Service>
ServiceSlot<typename Service::Factory>& registeredFactory()
{
    static ServiceSlot<typename Service::Factory> factory;
    return factory;
}

} // namespace orvenda
