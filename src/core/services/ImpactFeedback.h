#pragma once

#include <functional>
#include <memory>

namespace orvenda {

// A haptic impact generator (the trace's feature-lock buzz). The platform layer registers
// how generators are made; with nothing registered none can be made and nothing is felt.
class ImpactFeedback {
public:
    enum class Style { Light = 0, Medium = 1, Heavy = 2 };
    using Factory = std::function<std::shared_ptr<ImpactFeedback>(Style style)>;

    virtual ~ImpactFeedback() = default;

    static void setFactory(Factory factory);
    // Null when no factory is registered.
    static std::shared_ptr<ImpactFeedback> generatorWithStyle(Style style);

    virtual void impactOccurred() = 0;
};

} // namespace orvenda
