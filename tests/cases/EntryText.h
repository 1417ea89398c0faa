#pragma once

// Typed entry text to tokens, as the case files write it (language/EntryText).

#include "language/EntryText.h"

namespace orvenda::cases {

using orvenda::EntryText;

} // namespace orvenda::cases
