#include "core/services/TIFileIO.h"

#include <mutex>

namespace orvenda {

namespace {

std::mutex& lock()
{
    static std::mutex mutex;
    return mutex;
}

TIFileIO::Factory& registered()
{
    static TIFileIO::Factory factory;
    return factory;
}

} // namespace

void TIFileIO::setFactory(Factory factory)
{
    std::lock_guard guard(lock());
    registered() = std::move(factory);
}

std::unique_ptr<TIFileIO> TIFileIO::tiFileIOWithData(const std::vector<std::uint8_t>& data)
{
    Factory factory;
    {
        std::lock_guard guard(lock());
        factory = registered();
    }
    return factory ? factory(data) : nullptr;
}

} // namespace orvenda
