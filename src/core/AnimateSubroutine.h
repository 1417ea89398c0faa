#pragma once

#include <string>

namespace orvenda {

// A subroutine run asked for by a graph-screen slider or button while a program runs.
class AnimateSubroutine {
public:
    AnimateSubroutine() = default;
    // value is the slider's as it was moved (a 0…1 slider sends its fractions too).
    AnimateSubroutine(std::string prgmName, int ip, int varNum, double value)
        : prgmName_(std::move(prgmName)), ip_(ip), varNum_(varNum), value_(value)
    {
    }

    const std::string& prgmName() const { return prgmName_; }
    // Index after the label.
    int ip() const { return ip_; }
    // Variable slot of a slider; -1 for a button.
    int varNum() const { return varNum_; }
    double value() const { return value_; }

private:
    std::string prgmName_;
    int ip_ = 0;
    int varNum_ = -1;
    double value_ = 0;
};

} // namespace orvenda
