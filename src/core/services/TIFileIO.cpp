#include "core/services/TIFileIO.h"

#include "core/services/ServiceSlot.h"

namespace orvenda {

void TIFileIO::setFactory(Factory factory)
{
    registeredFactory<TIFileIO>().set(std::move(factory));
}

std::unique_ptr<TIFileIO> TIFileIO::tiFileIOWithData(const std::vector<std::uint8_t>& data)
{
    const Factory factory = registeredFactory<TIFileIO>().get();
    return factory ? factory(data) : nullptr;
}

} // namespace orvenda
