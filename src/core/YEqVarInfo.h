#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace orvenda {

// One free variable of an equation that the graph screen offers as a slider: the
// calculator variable it sets, the slider's range and step (0 = continuous), its current
// value and its label. Archived inside the Y= equations and kept by distribution shadings.
class YEqVarInfo {
public:
    int varNum = 0;
    double min = 0;
    double max = 0;
    double step = 0;
    double value = 0;
    std::string name;

    bool operator==(const YEqVarInfo&) const = default;

    nlohmann::json encode() const;
    static YEqVarInfo decode(const nlohmann::json& archive);
};

} // namespace orvenda
