#pragma once

#include "core/StateMutex.h"
#include "core/VQValue.h"

#include <mutex>

namespace orvenda {

// The last answer. Every read and write takes the calculator's state lock, so a reader
// sees one whole answer even while a program stores the next: snapshot() is a copy of it
// (sharing the elements of its list, matrix or string, which are never changed in place
// while shared), and each reader below reads from the answer as it is at that moment. To read several parts of one
// answer, take snapshot() once.
class AnsValue {
    template <class Read>
    auto read(Read read) const
    {
        std::lock_guard lock(state_);
        return read(value_);
    }
    template <class Change>
    void change(Change change)
    {
        std::lock_guard lock(state_);
        change(value_);
    }

    StateMutex& state_;
    VQValue value_{0.0};

public:
    // A real 0 with the full-precision pair.
    explicit AnsValue(StateMutex& state) : state_(state) {}
    AnsValue(const AnsValue&) = delete;
    AnsValue& operator=(const AnsValue&) = delete;

    AnsValue& operator=(VQValue value)
    {
        std::lock_guard lock(state_);
        value_ = std::move(value);
        return *this;
    }
    VQValue snapshot() const { return read([](const VQValue& v) { return v; }); }

    int type() const { return read([](const VQValue& v) { return v.type(); }); }
    int displayMod() const { return read([](const VQValue& v) { return v.displayMod(); }); }
    int sigFigures() const { return read([](const VQValue& v) { return v.sigFigures(); }); }
    int sigDecPlace() const { return read([](const VQValue& v) { return v.sigDecPlace(); }); }
    double r() const { return read([](const VQValue& v) { return v.r(); }); }
    double i() const { return read([](const VQValue& v) { return v.i(); }); }
    std::complex<double> c() const { return read([](const VQValue& v) { return v.c(); }); }
    std::shared_ptr<VQList> list() const { return read([](const VQValue& v) { return v.list(); }); }
    std::shared_ptr<VQMatrix> matrix() const { return read([](const VQValue& v) { return v.matrix(); }); }
    std::optional<VQString> string() const { return read([](const VQValue& v) { return v.string(); }); }
    void getOperand(Operand& op) const
    {
        std::lock_guard lock(state_);
        value_.getOperand(op);
    }
    nlohmann::json encode() const { return read([](const VQValue& v) { return v.encode(); }); }

    void setANS(const Operand& op, int defaultDisplay) { change([&](VQValue& v) { v.setANS(op, defaultDisplay); }); }
    void setDisplayMod(int mod) { change([&](VQValue& v) { v.setDisplayMod(mod); }); }
    void setSigFigures(int sigFig) { change([&](VQValue& v) { v.setSigFigures(sigFig); }); }
    void setSigDecPlace(int sigDec) { change([&](VQValue& v) { v.setSigDecPlace(sigDec); }); }
};

} // namespace orvenda
