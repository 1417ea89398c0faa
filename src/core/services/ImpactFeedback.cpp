#include "core/services/ImpactFeedback.h"

#include "core/services/ServiceSlot.h"

namespace orvenda {

void ImpactFeedback::setFactory(Factory factory)
{
    registeredFactory<ImpactFeedback>().set(std::move(factory));
}

std::shared_ptr<ImpactFeedback> ImpactFeedback::generatorWithStyle(Style style)
{
    const Factory factory = registeredFactory<ImpactFeedback>().get();
    return factory ? factory(style) : nullptr;
}

} // namespace orvenda
