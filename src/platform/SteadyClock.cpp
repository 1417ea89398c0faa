#include "platform/SteadyClock.h"

namespace orvenda {

std::atomic<SteadyClock::Source> SteadyClock::source_{nullptr};

} // namespace orvenda
