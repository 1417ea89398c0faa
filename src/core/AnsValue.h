#pragma once

#include "core/VQValue.h"

#include <atomic>
#include <memory>

namespace orvenda {

// The last answer, published whole: every change makes a new value, so a reader that
// takes one snapshot reads its type and its object from the same answer even while a
// program stores the next one. The readers below each take a snapshot of their own; to
// read several parts of one answer, take snapshot() once.
class AnsValue {
public:
    // A real 0 with the full-precision pair.
    AnsValue();
    AnsValue(const AnsValue&) = delete;
    AnsValue& operator=(const AnsValue&) = delete;

    AnsValue& operator=(VQValue value);
    std::shared_ptr<const VQValue> snapshot() const { return value_.load(); }

    int type() const { return snapshot()->type(); }
    int displayMod() const { return snapshot()->displayMod(); }
    int sigFigures() const { return snapshot()->sigFigures(); }
    int sigDecPlace() const { return snapshot()->sigDecPlace(); }
    double r() const { return snapshot()->r(); }
    double i() const { return snapshot()->i(); }
    std::complex<double> c() const { return snapshot()->c(); }
    std::shared_ptr<VQList> list() const { return snapshot()->list(); }
    std::shared_ptr<VQMatrix> matrix() const { return snapshot()->matrix(); }
    std::shared_ptr<VQValue::Ops> string() const { return snapshot()->string(); }
    void getOperand(Operand& op) const { snapshot()->getOperand(op); }
    nlohmann::json encode() const { return snapshot()->encode(); }

    // Each publishes a changed copy.
    void setANS(const Operand& op, int defaultDisplay);
    void setDisplayMod(int mod);
    void setSigFigures(int sigFig);
    void setSigDecPlace(int sigDec);

private:
    template <class Change>
    void change(Change&& change);

    std::atomic<std::shared_ptr<const VQValue>> value_;
};

} // namespace orvenda
