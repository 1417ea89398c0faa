#pragma once

#include <string>
#include <vector>

namespace orvenda {

// The menu a waiting Menu( shows: a title and one prompt and label per item.
class VQMenu {
public:
    std::string title;
    std::vector<std::string> prompts;
    // The label each item jumps to, packed as a number.
    std::vector<int> labels;
    int currentSelection = 0;
    bool singleStepping = false;
};

} // namespace orvenda
