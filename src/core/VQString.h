#pragma once

#include "core/SharedArray.h"

#include <cstdint>

namespace orvenda {

// A string value: its tokens, shared by every copy (the variable, the stack, Ans). Joining
// onto the newest copy of a string extends it in place, so a loop that builds a string one
// piece at a time is linear.
using VQString = SharedArray<std::uint32_t>;

} // namespace orvenda
