#include "core/services/TIFileIO.h"

#include "core/services/ServiceSlot.h"

namespace orvenda {

namespace {

ServiceSlot<TIFileIO::Factory>& registered()
{
    static ServiceSlot<TIFileIO::Factory> factory;
    return factory;
}

} // namespace

void TIFileIO::setFactory(Factory factory)
{
    registered().set(std::move(factory));
}

std::unique_ptr<TIFileIO> TIFileIO::tiFileIOWithData(const std::vector<std::uint8_t>& data)
{
    const Factory factory = registered().get();
    return factory ? factory(data) : nullptr;
}

} // namespace orvenda
