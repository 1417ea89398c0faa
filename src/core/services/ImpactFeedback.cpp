#include "core/services/ImpactFeedback.h"

#include "core/services/ServiceSlot.h"

namespace orvenda {

namespace {

ServiceSlot<ImpactFeedback::Factory>& registered()
{
    static ServiceSlot<ImpactFeedback::Factory> factory;
    return factory;
}

} // namespace

void ImpactFeedback::setFactory(Factory factory)
{
    registered().set(std::move(factory));
}

std::shared_ptr<ImpactFeedback> ImpactFeedback::generatorWithStyle(Style style)
{
    const Factory factory = registered().get();
    return factory ? factory(style) : nullptr;
}

} // namespace orvenda
